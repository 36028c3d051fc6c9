#include "ComposerFixture.h"
#include "ComposerLineEdit.h"
#include "MessageTextEdit.h"
#include "Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

namespace {

QPoint centred(const QWidget& w) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return QPoint(screen.x() + (screen.width() - w.width()) / 2,
                  screen.y() + (screen.height() - w.height()) / 2);
}

} // namespace

class TestMainLifecycle : public QObject {
    Q_OBJECT

private slots:
    void firstRunIsCentredAndHidden() {
        ComposerFixture f;
        frmmain& w = f.load();
        QCOMPARE(w.pos(), centred(w));
        QVERIFY(!w.isVisible());
        QCOMPARE(f.tray.adds, 1);
        QVERIFY(f.dialogs.boxes.isEmpty());
        QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
        // The settings key exists from the first load on, though no value was written yet.
        QCOMPARE(f.setting(QStringLiteral("Startup")), QStringLiteral("Error"));
        f.registry->WriteStringValue(kSettingsKey, QStringLiteral("Top"), QStringLiteral("1"));
        QCOMPARE(f.setting(QStringLiteral("Top")), QStringLiteral("1"));
    }

    // Without a notification area, or with one that never took the icon in, the window must
    // stay reachable.
    void noTrayShowsTheWindow_data() {
        QTest::addColumn<bool>("available");
        QTest::addColumn<bool>("docked");
        QTest::addColumn<bool>("shownAtLoad");
        QTest::addColumn<bool>("shownAfterWait");
        // A box open when the wait ends (the due box at start-up): the window does not come up
        // beside it; the check looks again until the box is closed, and by then the icon may
        // have been taken in.
        QTest::addColumn<bool>("boxOpen");
        QTest::addColumn<bool>("dockedWhileBoxOpen");
        QTest::newRow("no notification area") << false << false << true << true << false << false;
        QTest::newRow("icon never docked") << true << false << false << true << false << false;
        QTest::newRow("icon docked") << true << true << false << false << false << false;
        QTest::newRow("never docked, box open") << true << false << false << true << true << false;
        QTest::newRow("docked while a box was open")
            << true << false << false << false << true << true;
    }
    void noTrayShowsTheWindow() {
        QFETCH(bool, available);
        QFETCH(bool, docked);
        QFETCH(bool, shownAtLoad);
        QFETCH(bool, shownAfterWait);
        QFETCH(bool, boxOpen);
        QFETCH(bool, dockedWhileBoxOpen);
        ComposerFixture f;
        f.tray.available = available;
        f.tray.dockedByHost = docked;
        frmmain& w = f.load();
        QCOMPARE(w.isVisible(), shownAtLoad);
        QCOMPARE(w.DockCheck.isActive(), available);
        QCOMPARE(w.DockCheck.interval(), frmmain::kDockWait);
        if (boxOpen) {
            w.setModalOpen([] { return true; });
            for (int wait = 0; wait < 3; ++wait) {
                w.checkDocked();
                QVERIFY(!w.isVisible());
                QVERIFY(w.DockCheck.isActive());
                QCOMPARE(w.DockCheck.interval(), frmmain::kDockRecheck);
            }
            f.tray.dockedByHost = dockedWhileBoxOpen;
            w.setModalOpen([] { return false; });
        }
        w.checkDocked();
        QCOMPARE(w.isVisible(), shownAfterWait);
        if (!shownAfterWait)
            return;
        // "&Hide" then only minimises: a hidden window without an icon could not be reached.
        QTest::mouseClick(w.cmdHide, Qt::LeftButton);
        QVERIFY(w.isVisible());
        QVERIFY(w.isMinimized());
        QCOMPARE(f.setting(QStringLiteral("ComboItem")), QStringLiteral("-1"));
    }

    // A host that comes up after the window stood in for the icon takes it; "&Hide" then hides
    // to it, and minimises again once the host is gone.
    void hideFollowsTheHost() {
        ComposerFixture f;
        f.tray.dockedByHost = false;
        frmmain& w = f.load();
        w.checkDocked();
        QVERIFY(w.isVisible());
        f.tray.dockedByHost = true;
        QTest::mouseClick(w.cmdHide, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        w.menuSettings_Click();
        QVERIFY(w.isVisible());
        f.tray.dockedByHost = false;
        QTest::mouseClick(w.cmdHide, Qt::LeftButton);
        QVERIFY(w.isVisible());
        QVERIFY(w.isMinimized());
    }

    void positionRestoredAfterClose() {
        ComposerFixture f;
        frmmain& w = f.load();
        w.move(Twips().toPixels(2925), Twips().toPixels(1080));
        w.close();
        QCOMPARE(f.setting(QStringLiteral("Top")), QStringLiteral("1080"));
        QCOMPARE(f.setting(QStringLiteral("Left")), QStringLiteral("2925"));
        QCOMPARE(f.setting(QStringLiteral("Startup")), QStringLiteral("True"));
        QCOMPARE(f.setting(QStringLiteral("ComboItem")), QStringLiteral("-1"));
        QCOMPARE(f.restart().pos(), QPoint(195, 72));
    }

    // Twips become pixels through the screen's logical dots per inch, halves away from zero.
    void twips_data() {
        QTest::addColumn<qreal>("dpi");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("backToTwips");
        QTest::newRow("96 dpi") << 96.0 << 2925 << 195 << 2925;
        QTest::newRow("96 dpi, above half") << 96.0 << 8 << 1 << 15;
        QTest::newRow("96 dpi, negative") << 96.0 << -8 << -1 << -15;
        QTest::newRow("144 dpi, a half") << 144.0 << 195 << 20 << 200;
        QTest::newRow("192 dpi") << 192.0 << 270 << 36 << 270;
        QTest::newRow("no dpi reported") << 0.0 << 2925 << 195 << 2925;
    }
    void twips() {
        QFETCH(qreal, dpi);
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QFETCH(int, backToTwips);
        const Twips tw(dpi);
        QCOMPARE(tw.toPixels(twips), pixels);
        QCOMPARE(tw.fromPixels(pixels), backToTwips);
    }

    void savedPosition_data() {
        QTest::addColumn<QString>("startup");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QPoint>("expected"); // (-1, -1): centred
        QTest::newRow("saved") << "True"
                               << "1080"
                               << "2925" << QPoint(195, 72);
        QTest::newRow("negative top") << "True"
                                      << "-300"
                                      << "2925" << QPoint(-1, -1);
        QTest::newRow("negative left") << "True"
                                       << "1080"
                                       << "-15" << QPoint(-1, -1);
        // Partly beyond an edge the window can be dragged back: it stays. Wholly off every
        // screen (a monitor unplugged, another scale) it could not: centred.
        QTest::newRow("partly beyond the screen") << "True"
                                                  << "11985"
                                                  << "11985" << QPoint(799, 799);
        QTest::newRow("wholly beyond the right edge") << "True"
                                                      << "1080"
                                                      << "30000" << QPoint(-1, -1);
        // The offscreen screen is 800 by 800: a top edge at 800 pixels lies just below it.
        QTest::newRow("wholly below the screen") << "True"
                                                 << "12000"
                                                 << "2925" << QPoint(-1, -1);
        QTest::newRow("no Startup") << "Error"
                                    << "1080"
                                    << "2925" << QPoint(-1, -1);
        QTest::newRow("Startup False") << "False"
                                       << "1080"
                                       << "2925" << QPoint(-1, -1);
        QTest::newRow("blanks before") << "True"
                                       << "  1080"
                                       << "2925" << QPoint(195, 72);
        // Values that do not convert leave the edge where the window design put it (0).
        QTest::newRow("top not a number") << "True"
                                          << "about an inch"
                                          << "2925" << QPoint(195, 0);
        QTest::newRow("top of 1,000 digits")
            << "True" << QString(1000, QLatin1Char('9')) << "2925" << QPoint(195, 0);
        QTest::newRow("left past any screen") << "True"
                                              << "1080"
                                              << "1e30" << QPoint(0, 72);
        QTest::newRow("left just past any screen") << "True"
                                                   << "1080"
                                                   << "491520" << QPoint(0, 72);
        QTest::newRow("left at the farthest edge") << "True"
                                                   << "1080"
                                                   << "491505" << QPoint(-1, -1);
    }
    void savedPosition() {
        QFETCH(QString, startup);
        QFETCH(QString, top);
        QFETCH(QString, left);
        QFETCH(QPoint, expected);
        ComposerFixture f;
        f.registry->CreateKey(kSettingsKey);
        if (startup != QLatin1String("Error"))
            f.registry->WriteStringValue(kSettingsKey, QStringLiteral("Startup"), startup);
        f.registry->WriteStringValue(kSettingsKey, QStringLiteral("Top"), top);
        f.registry->WriteStringValue(kSettingsKey, QStringLiteral("Left"), left);
        frmmain& w = f.load();
        QCOMPARE(w.pos(), expected == QPoint(-1, -1) ? centred(w) : expected);
    }

    // Started hidden in the tray, the window builds no controls; what the start-up and a change
    // of day gave it is all there once it is wanted.
    void controlsWaitUntilWanted() {
        ComposerFixture f;
        f.lazyControls = true;
        for (const char* name : {"Milk", "Bread", "Eggs"})
            f.writeMessage(QString::fromUtf8(name), f.record(5, 0, QStringLiteral("later")));
        QCOMPARE(f.engine->Main(false), StartupAndRoutines::MainResult::Running);
        frmmain& w = f.load();
        QVERIFY(!w.isVisible());
        QVERIFY(!w.controlsBuilt());
        QVERIFY(w.findChildren<QWidget*>().isEmpty());

        f.clock.advanceSecs(24 * 3600);
        for (int tick = 0; tick < 31; ++tick)
            w.TimerNewDay_Timer();
        QCOMPARE(w.lblHIDDENdateTODAY, f.day(0));
        QVERIFY(!w.controlsBuilt());

        w.menuSettings_Click();
        QVERIFY(w.isVisible());
        QStringList listed;
        for (int i = 0; i < w.cboSavedmessages->count(); ++i)
            listed << w.cboSavedmessages->itemText(i);
        QCOMPARE(listed, QStringList({"Bread", "Eggs", "Milk"}));
        QCOMPARE(w.lblchoosendate->text(), f.day(0));
        QVERIFY(w.cmdEdit->isEnabled());
        QVERIFY(w.cmdDelete->isEnabled());
    }

    void quitWithoutEverShowing() {
        ComposerFixture f;
        f.lazyControls = true;
        f.writeMessage(QStringLiteral("Milk"), f.record(5, 0, QStringLiteral("later")));
        f.engine->Main(false);
        frmmain& w = f.load();
        f.dialogs.answers = {IDYES};
        w.menuExit_Click();
        QCOMPARE(f.setting(QStringLiteral("ComboItem")), QStringLiteral("-1"));
        QCOMPARE(f.setting(QStringLiteral("Startup")), QStringLiteral("True"));
        QCOMPARE(f.endProgramCalls, 1);
        QVERIFY(!w.controlsBuilt());
    }

    void minimisedCloseKeepsThePosition() {
        ComposerFixture f;
        frmmain& w = f.load();
        w.move(195, 72);
        w.close();
        frmmain& again = f.restart();
        again.move(10, 10);
        again.showMinimized();
        QVERIFY(again.isMinimized());
        again.close();
        QCOMPARE(f.setting(QStringLiteral("Top")), QStringLiteral("1080"));
        QCOMPARE(f.setting(QStringLiteral("Left")), QStringLiteral("2925"));
    }

    void exitAnsweredNo() {
        ComposerFixture f;
        frmmain& w = f.load();
        f.folder.write(QStringLiteral("Temp"), "\"x\"\r\n");
        f.dialogs.answers = {IDNO};
        QTest::mouseClick(w.cmdExit, Qt::LeftButton);
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, QStringLiteral("Are you sure you want to quit?"));
        QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("Terminate"));
        QCOMPARE(f.dialogs.boxes[0].style, 292u);
        QCOMPARE(f.endProgramCalls, 0);
        QCOMPARE(f.setting(QStringLiteral("Startup")), QStringLiteral("Error"));
        QVERIFY(f.folder.exists(QStringLiteral("Temp")));
        QCOMPARE(f.tray.removes, 0);
        QVERIFY(w.TimerNewDay.isActive());
    }

    // "E&xit" answered Yes and the close box run the same close sequence; only Exit asks.
    void closeSequence_data() {
        QTest::addColumn<bool>("viaExit");
        QTest::newRow("exit, yes") << true;
        QTest::newRow("close box") << false;
    }
    void closeSequence() {
        QFETCH(bool, viaExit);
        ComposerFixture f;
        frmmain& w = f.load();
        w.addSavedMessage(QStringLiteral("Milk"));
        w.cboSavedmessages->setCurrentIndex(0);
        f.folder.write(QStringLiteral("Temp"), "\"x\"\r\n");
        f.folder.write(QStringLiteral("Timerfile"), "#09:00:00 pm#, \"x\"\r\n");
        w.TimerMessage.start();
        w.show();
        if (viaExit) {
            f.dialogs.answers = {IDYES};
            w.menuExit_Click();
        } else {
            w.close();
        }
        QCOMPARE(f.dialogs.boxes.size(), viaExit ? 1 : 0);
        QCOMPARE(f.setting(QStringLiteral("ComboItem")), QStringLiteral("0"));
        QCOMPARE(f.setting(QStringLiteral("Startup")), QStringLiteral("True"));
        QVERIFY(f.setting(QStringLiteral("Top")) != QStringLiteral("Error"));
        QVERIFY(!f.folder.exists(QStringLiteral("Temp")));
        QVERIFY(!f.folder.exists(QStringLiteral("Timerfile")));
        QCOMPARE(f.tray.removes, 1);
        QVERIFY(!w.TimerMessage.isActive());
        QVERIFY(!w.TimerNewDay.isActive());
        QCOMPARE(f.endProgramCalls, 1);
        QVERIFY(!w.isVisible());
        // Once only, whatever else closes the window afterwards.
        w.close();
        QCOMPARE(f.tray.removes, 1);
        QCOMPARE(f.endProgramCalls, 1);
    }

    void openDialogsCloseNewestFirst() {
        ComposerFixture f;
        frmmain& w = f.load();
        QStringList closed;
        QDialog older;
        QDialog newer;
        for (QDialog* d : {&older, &newer}) {
            d->setModal(true);
            d->show();
            connect(d, &QDialog::finished, this,
                    [&closed, d, &older] { closed.append(d == &older ? "older" : "newer"); });
        }
        QCOMPARE(QApplication::activeModalWidget(), &newer);
        w.close();
        QCOMPARE(closed, QStringList({"newer", "older"}));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void hideWithoutChoiceWritesMinusOne() {
        ComposerFixture f;
        frmmain& w = f.load();
        w.addSavedMessage(QStringLiteral("Milk"));
        w.show();
        QTest::mouseClick(w.cmdHide, Qt::LeftButton);
        QCOMPARE(f.setting(QStringLiteral("ComboItem")), QStringLiteral("-1"));
        QVERIFY(!w.isVisible());
        QCOMPARE(f.endProgramCalls, 0);
    }

    void showSettings_data() {
        QTest::addColumn<QString>("comboItem");
        QTest::addColumn<int>("selected");
        QTest::newRow("saved position") << "1" << 1;
        QTest::newRow("beyond the list") << "7" << 2;
        QTest::newRow("missing") << "" << 2;
        QTest::newRow("not a number") << "second" << 2;
        QTest::newRow("1,000 digits") << QString(1000, QLatin1Char('1')) << 2;
        QTest::newRow("below -1") << "-2" << 2;
    }
    void showSettings() {
        QFETCH(QString, comboItem);
        QFETCH(int, selected);
        ComposerFixture f;
        frmmain& w = f.load();
        for (const char* name : {"Bread", "Eggs", "Milk"}) {
            f.writeMessage(QString::fromUtf8(name),
                           f.record(5, 0, QStringLiteral("about ") + QString::fromUtf8(name)));
            w.addSavedMessage(QString::fromUtf8(name));
        }
        w.cboSavedmessages->setCurrentIndex(2);
        if (!comboItem.isEmpty())
            f.registry->WriteStringValue(kSettingsKey, QStringLiteral("ComboItem"), comboItem);
        QVERIFY(!w.isVisible());
        w.menuSettings_Click();
        QCOMPARE(w.cboSavedmessages->currentIndex(), selected);
        QCOMPARE(w.txtMessageName->text(), w.cboSavedmessages->currentText());
        QVERIFY(w.isVisible());
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    void showSettingsRestoresAMinimisedWindow() {
        ComposerFixture f;
        frmmain& w = f.load();
        w.showMinimized();
        w.menuSettings_Click();
        QVERIFY(!w.isMinimized());
        QVERIFY(w.isVisible());
    }

    // A visible window stays where it is, but the saved list position is selected again and its
    // message reloaded over whatever the user had typed.
    void showSettingsWhileVisible() {
        ComposerFixture f;
        frmmain& w = f.load();
        for (const char* name : {"Bread", "Eggs"}) {
            f.writeMessage(QString::fromUtf8(name), f.record(5));
            w.addSavedMessage(QString::fromUtf8(name));
        }
        f.registry->WriteStringValue(kSettingsKey, QStringLiteral("ComboItem"),
                                     QStringLiteral("0"));
        w.show();
        w.move(Twips().toPixels(1500), Twips().toPixels(900));
        const QPoint before = w.pos();
        w.cboSavedmessages->setCurrentIndex(1);
        w.txtMessageName->setText(QStringLiteral("typed meanwhile"));
        w.menuSettings_Click();
        QCOMPARE(w.cboSavedmessages->currentIndex(), 0);
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Bread"));
        QVERIFY(w.isVisible());
        QCOMPARE(w.pos(), before);
        QCOMPARE(f.dialogs.beeps, 0);
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    // A window cannot come up beside an open modal box: the message is still loaded, then a beep.
    void showSettingsWhileModal() {
        ComposerFixture f;
        frmmain& w = f.load();
        f.writeMessage(QStringLiteral("Milk"), f.record(5));
        w.addSavedMessage(QStringLiteral("Milk"));
        f.registry->WriteStringValue(kSettingsKey, QStringLiteral("ComboItem"),
                                     QStringLiteral("0"));
        w.setModalOpen([] { return true; });
        w.menuSettings_Click();
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Milk"));
        QVERIFY(!w.isVisible());
        QCOMPARE(f.dialogs.beeps, 1);
    }

    void about() {
        ComposerFixture f;
        frmmain& w = f.load();
        w.move(0, 0);
        QPoint whileOpen;
        f.composerDialogs.onAbout = [&] {
            whileOpen = w.pos();
        };
        w.menuAbout_Click();
        QCOMPARE(f.composerDialogs.aboutCalls, 1);
        QCOMPARE(whileOpen, centred(w));
        QVERIFY(!w.isVisible());

        f.composerDialogs.aboutVisible = true;
        w.move(0, 0);
        w.menuAbout_Click();
        QCOMPARE(f.composerDialogs.aboutCalls, 1);
        QCOMPARE(w.pos(), QPoint(0, 0));
    }

    // A minimised window is restored first, even when the about box is already open.
    void aboutRestoresAMinimisedWindow_data() {
        QTest::addColumn<bool>("aboutOpen");
        QTest::addColumn<int>("aboutCalls");
        QTest::newRow("about closed") << false << 1;
        QTest::newRow("about open") << true << 0;
    }
    void aboutRestoresAMinimisedWindow() {
        QFETCH(bool, aboutOpen);
        QFETCH(int, aboutCalls);
        ComposerFixture f;
        frmmain& w = f.load();
        f.composerDialogs.aboutVisible = aboutOpen;
        w.showMinimized();
        QVERIFY(w.isMinimized());
        w.menuAbout_Click();
        QVERIFY(!w.isMinimized());
        QCOMPARE(f.composerDialogs.aboutCalls, aboutCalls);
    }

    void enginePort() {
        ComposerFixture f;
        frmmain& w = f.load();
        MainWindowPort& port = w;
        port.setTimerMessageEnabled(true);
        QVERIFY(w.TimerMessage.isActive());
        port.setTimerMessageEnabled(false);
        QVERIFY(!w.TimerMessage.isActive());
        port.setEditDeleteEnabled(false);
        QVERIFY(!w.cmdEdit->isEnabled() && !w.cmdDelete->isEnabled());
        port.showPlaceholder();
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Alter this..."));
        QCOMPARE(w.txtmessage->toPlainText(), QStringLiteral("Alter this..."));
        port.showWindow();
        QVERIFY(w.isVisible());
    }
};

QTEST_MAIN(TestMainLifecycle)
#include "tst_mainlifecycle.moc"
