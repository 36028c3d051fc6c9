#include "tray/TrayIcon.h"

#include <QApplication>
#include <QTest>

using namespace tavrel;

class TestTrayIcon : public QObject {
    Q_OBJECT
private slots:
    void tipText() {
        QCOMPARE(TrayIcon::tipText(2, 0, 8), QStringLiteral(" Tavrel 2.08"));
        QCOMPARE(TrayIcon::tipText(3, 1, 12), QStringLiteral(" Tavrel 3.112"));
    }

    void eventCodes_data() {
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("code");
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << 515;
        QTest::newRow("right button") << int(QSystemTrayIcon::Context) << 517;
        QTest::newRow("single left click") << int(QSystemTrayIcon::Trigger) << 0;
        QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << 0;
        QTest::newRow("unknown") << int(QSystemTrayIcon::Unknown) << 0;
    }
    void eventCodes() {
        QFETCH(int, reason);
        QFETCH(int, code);
        QCOMPARE(TrayIcon::eventCode(QSystemTrayIcon::ActivationReason(reason)), code);
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
        };
        tray.menuAbout_Click = [&] {
            ran << "about";
        };
        tray.menuExit_Click = [&] {
            ran << "exit";
        };
        for (QAction* a :
             {tray.menuSettings(), tray.menuStatus(), tray.menuAbout(), tray.menuExit()})
            a->trigger();
        QCOMPARE(ran, (QStringList{"settings", "status", "about", "exit"}));
    }

    void noTrayOffscreen() {
        // Decision: without a notification area add() reports failure, so the window is shown.
        TrayIcon tray{QIcon()};
        QVERIFY(!tray.add());
        QVERIFY(!tray.isAdded());
    }
};

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"
