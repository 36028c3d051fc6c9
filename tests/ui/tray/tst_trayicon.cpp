#include "TrayHost.h"
#include "tray/TrayIcon.h"

#include <QApplication>
#include <QPixmap>
#include <QStyleHints>
#include <QTest>

using namespace tavrel;

class TestTrayIcon : public QObject {
    Q_OBJECT
private slots:
    void tipText() {
        QCOMPARE(TrayIcon::tipText(2, 0, 8), QStringLiteral(" Tavrel 2.08"));
        QCOMPARE(TrayIcon::tipText(3, 1, 12), QStringLiteral(" Tavrel 3.112"));
        // The icon's own tip comes from the version the about box shows.
        QCOMPARE(TrayIcon{QIcon()}.toolTip(), QStringLiteral(" Tavrel 2.08"));
    }

    // XEmbed hosts pass the mouse; StatusNotifierItem hosts report an activation and draw the
    // menu themselves.
    void eventCodes_data() {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("hostDrawsMenu");
        QTest::addColumn<int>("code");
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << false << 515;
        QTest::newRow("right button") << int(QSystemTrayIcon::Context) << false << 517;
        QTest::newRow("single left click") << int(QSystemTrayIcon::Trigger) << false << 0;
        QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false << 0;
        QTest::newRow("unknown") << int(QSystemTrayIcon::Unknown) << false << 0;
        QTest::newRow("activation") << int(QSystemTrayIcon::Trigger) << true << 515;
        QTest::newRow("context request, menu drawn by host")
            << int(QSystemTrayIcon::Context) << true << 0;
        QTest::newRow("secondary activation") << int(QSystemTrayIcon::MiddleClick) << true << 0;
    }
    void eventCodes() {
        QFETCH(int, reason);
        QFETCH(bool, hostDrawsMenu);
        QFETCH(int, code);
        QCOMPARE(TrayIcon::eventCode(QSystemTrayIcon::ActivationReason(reason), hostDrawsMenu),
                 code);
    }

    // Presses on the XEmbed icon while a box is open, read from the X events: "button@time",
    // answered by "-" (nothing), "D" (left double-click) or "R" (right button).
    void blockedPresses_data() {
        QTest::addColumn<QString>("presses");
        QTest::addColumn<QString>("clicks");
        const int slow = QGuiApplication::styleHints()->mouseDoubleClickInterval() + 1;
        QTest::newRow("double click") << "1@1000 1@1080"
                                      << "- D";
        QTest::newRow("two slow clicks") << QStringLiteral("1@1000 1@%1").arg(1000 + slow) << "- -";
        QTest::newRow("each press reported twice") << "1@1000 1@1000 1@1080 1@1080"
                                                   << "- - D -";
        QTest::newRow("third click starts anew") << "1@1000 1@1080 1@1160 1@1240"
                                                 << "- D - D";
        QTest::newRow("right button") << "3@1000 3@1000 3@1300"
                                      << "R - R";
        QTest::newRow("right between lefts") << "1@1000 3@1050 1@1100"
                                             << "- R -";
        QTest::newRow("middle button") << "2@1000 2@1080"
                                       << "- -";
    }
    void blockedPresses() {
        QFETCH(QString, presses);
        QFETCH(QString, clicks);
        BlockedIconClicks filter([](WId) { return true; }, [](BlockedIconClicks::Click) {});
        QStringList got;
        for (const QString& press : presses.split(QLatin1Char(' '))) {
            const std::optional<BlockedIconClicks::Click> click =
                filter.pressed(press.section('@', 0, 0).toUInt(), press.section('@', 1).toUInt());
            got << (!click ? "-" : *click == BlockedIconClicks::Click::LeftDouble ? "D" : "R");
        }
        QCOMPARE(got.join(QLatin1Char(' ')), clicks);
    }

    void menuItemsInOrder() {
        TrayIcon tray{QIcon()};
        QStringList texts;
        for (QAction* a : tray.menuproject()->actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(texts,
                 (QStringList{"&Show Settings", "-", "S&tatus", "-", "&About", "-", "E&xit"}));
        QCOMPARE(tray.menuproject()->title(), QStringLiteral("&Project"));
    }

    void codesRunTheirActions() {
        TrayIcon tray{QIcon()};
        QStringList ran;
        tray.menuSettings_Click = [&] {
            ran << "settings";
        };
        tray.popUp = [&](QMenu&) {
            ran << "menu";
        };
        tray.pichook_MouseMove(515);
        tray.pichook_MouseMove(517);
        for (int ignored : {512, 513, 514, 516, 518, 0})
            tray.pichook_MouseMove(ignored);
        QCOMPARE(ran, (QStringList{"settings", "menu"}));
        QVERIFY(!tray.trayBusy());
    }

    // While the menu (or the settings routine) runs, further icon events are dropped, and the
    // chosen item's handler runs from within it.
    void busyDropsEventsMeanwhile() {
        TrayIcon tray{QIcon()};
        int settings = 0, exits = 0, menus = 0;
        tray.menuSettings_Click = [&] {
            ++settings;
            tray.pichook_MouseMove(515);
            tray.pichook_MouseMove(517);
        };
        tray.menuExit_Click = [&] {
            ++exits;
            QVERIFY(tray.trayBusy());
            tray.pichook_MouseMove(515);
        };
        tray.popUp = [&](QMenu&) {
            ++menus;
            QVERIFY(tray.trayBusy());
            tray.pichook_MouseMove(517);
            tray.pichook_MouseMove(515);
            tray.menuExit()->trigger();
        };
        tray.pichook_MouseMove(517);
        QCOMPARE(menus, 1);
        QCOMPARE(exits, 1);
        QCOMPARE(settings, 0);
        tray.pichook_MouseMove(515);
        QCOMPARE(settings, 1);
        QCOMPARE(menus, 1);
        // After the menu closed, the next right click opens it again.
        tray.popUp = [&](QMenu&) {
            ++menus;
        };
        tray.pichook_MouseMove(517);
        QCOMPARE(menus, 2);
    }

    void menuItemsCallHandlers() {
        TrayIcon tray{QIcon()};
        QStringList ran;
        tray.menuSettings_Click = [&] {
            ran << "settings";
        };
        tray.menuStatus_Click = [&] {
            ran << "status";
            // Chosen again from the host's menu while the report's box is open: refused, or a
            // second "Terminate" would stack on the first.
            tray.menuExit()->trigger();
        };
        tray.menuAbout_Click = [&] {
            ran << "about";
        };
        tray.menuExit_Click = [&] {
            ran << "exit";
            // A host that draws the menu runs the item with no icon event around it: the item
            // itself holds off the icon's events while its box is open.
            QVERIFY(tray.trayBusy());
            tray.pichook_MouseMove(515);
        };
        for (QAction* a :
             {tray.menuSettings(), tray.menuStatus(), tray.menuAbout(), tray.menuExit()})
            a->trigger();
        QCOMPARE(ran, (QStringList{"settings", "status", "about", "exit"}));
        QVERIFY(!tray.trayBusy());
    }

    void noTrayOffscreen() {
        if (TrayHost::NativeArea())
            QSKIP("Windows always has its notification area");
        // Decision: without a notification area add() reports failure, so the window is shown.
        TrayIcon tray{QIcon()};
        QVERIFY(!tray.add());
        QVERIFY(!tray.isAdded());
    }

    // Explorer's notification area: the icon is there and docked at once, with the program's own
    // menu on the right-click; "E&xit" from that menu takes the icon away at once, since the
    // process ends before the icon's event returns (Explorer would keep a ghost icon).
    void windowsNotificationArea() {
        if (!TrayHost::NativeArea())
            QSKIP("only the Windows notification area is always there");
        QPixmap image(16, 16);
        image.fill(Qt::darkBlue);
        TrayIcon tray{QIcon(image)};
        QVERIFY(tray.add());
        QVERIFY(tray.isAdded());
        QVERIFY(tray.docked());
        QVERIFY(!tray.hostDrawsMenu());
        bool goneInsideExit = false;
        tray.menuExit_Click = [&] {
            tray.remove();
            goneInsideExit = !tray.isAdded();
        };
        tray.popUp = [&tray](QMenu&) {
            tray.menuExit()->trigger();
        };
        tray.pichook_MouseMove(TrayIcon::WM_RBUTTONUP);
        QVERIFY(goneInsideExit);
    }
};

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"
