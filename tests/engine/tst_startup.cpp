#include "EngineRig.h"

#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

using Result = StartupAndRoutines::MainResult;

namespace {

constexpr uint32_t kInformation = 0x40;
constexpr uint32_t kWarning = 0x30;
const QString kOldHeading =
    QStringLiteral("Some previously saved messages are older than 30 days:\r\n\r\n");

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void secondCopyOnlyShowsItsBox() {
        EngineRig rig;
        rig.folder.write(QStringLiteral("Temp"), "\"x\"\r\n");
        rig.folder.write(QStringLiteral("Timerfile"), "#02:30:00 pm#, \"x\"\r\n");
        rig.due(QStringLiteral("Today"), 0, QStringLiteral("Due"));
        QCOMPARE(rig.engine.Main(true), Result::Ended);
        QCOMPARE(rig.dialogs.boxes.size(), 1);
        QCOMPARE(rig.dialogs.boxes.at(0).text,
                 QStringLiteral("Tavrel is already running.\r\nTo view its popupmenu, right-click "
                                "on the Tavrel icon\r\nin the system tray (on the taskbar, next to "
                                "the clock)."));
        QCOMPARE(rig.dialogs.boxes.at(0).title, QStringLiteral("Tavrel - Information"));
        QCOMPARE(rig.dialogs.boxes.at(0).style, kInformation);
        QCOMPARE(rig.loads, 0);
        // The first copy's files are not touched.
        QVERIFY(rig.folder.exists(QStringLiteral("Temp")));
        QVERIFY(rig.folder.exists(QStringLiteral("Timerfile")));
    }

    void noMessageFilesShowsWindow() {
        EngineRig rig;
        rig.folder.write(QStringLiteral("Temp"), "\"x\"\r\n");
        QCOMPARE(rig.loads, 0);
        QCOMPARE(rig.engine.Main(false), Result::Running);
        QCOMPARE(rig.loads, 1);
        QVERIFY(rig.dialogs.boxes.isEmpty());
        QVERIFY(rig.window.placeholder);
        QVERIFY(!rig.window.editDeleteEnabled);
        QCOMPARE(rig.window.shown, 1);
        QVERIFY(!rig.folder.exists(QStringLiteral("Temp")));
    }

    void threeFilesOneDue() {
        EngineRig rig;
        rig.folder.write(QStringLiteral("Timerfile"), "#02:30:00 pm#, \"x\"\r\n");
        rig.due(QStringLiteral("Alpha"), 5, QStringLiteral("Later"));
        rig.due(QStringLiteral("Beta"), 0, QStringLiteral("Today"));
        rig.due(QStringLiteral("Gamma"), -40, QStringLiteral("Past"));
        QCOMPARE(rig.engine.Main(false), Result::Running);
        QCOMPARE(rig.window.savedMessages,
                 (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta"),
                              QStringLiteral("Gamma")}));
        QCOMPARE(rig.titles(), (QStringList{kDueTitle, QStringLiteral("Information:")}));
        QCOMPARE(rig.texts().at(0), dueBoxText(QStringLiteral("Today"), rig.day(0)));
        QCOMPARE(rig.sound.played.size(), 1);
        QCOMPARE(rig.window.shown, 0);
        QVERIFY(!rig.folder.exists(QStringLiteral("Timerfile")));
        // The box came up while the list was still being filled.
        const QStringList& ev = rig.log.events;
        QVERIFY(ev.indexOf(QStringLiteral("box:") + kDueTitle) <
                ev.indexOf(QStringLiteral("window:add Gamma")));
    }

    void periodCoveringToday_data() {
        QTest::addColumn<int>("finalOffset");
        QTest::addColumn<int>("daysPrior");
        QTest::addColumn<bool>("shown");
        QTest::newRow("middle of five days") << 2 << 4 << true;
        QTest::newRow("8th of 7th..10th") << 2 << 3 << true;
        QTest::newRow("first day") << 3 << 3 << true;
        QTest::newRow("before first day") << 4 << 3 << false;
        QTest::newRow("day after final") << -1 << 3 << false;
    }
    void periodCoveringToday() {
        QFETCH(int, finalOffset);
        QFETCH(int, daysPrior);
        QFETCH(bool, shown);
        EngineRig rig;
        rig.message(QStringLiteral("Trip"), rig.day(finalOffset), QStringLiteral("Pack"),
                    QString::number(daysPrior), rig.day(finalOffset - daysPrior));
        rig.engine.Main(false);
        QCOMPARE(rig.dialogs.boxes.size(), shown ? 1 : 0);
    }

    void missedWindowAtStartup() {
        EngineRig rig(QTime(11, 30));
        rig.due(QStringLiteral("Call"), 0, QStringLiteral("Call Anna"),
                QStringLiteral("09:00:00 am"), QStringLiteral("10:00:00 am"));
        rig.dialogs.answers = {IDYES};
        rig.engine.Main(false);
        QCOMPARE(rig.titles(), (QStringList{QStringLiteral("Tavrel"), kDueTitle}));
        QVERIFY(rig.sound.played.isEmpty());
    }

    void oldMessageReport_data() {
        QTest::addColumn<int>("age");
        QTest::addColumn<bool>("reported");
        QTest::newRow("31 days") << 31 << false;
        QTest::newRow("32 days") << 32 << true;
    }
    void oldMessageReport() {
        QFETCH(int, age);
        QFETCH(bool, reported);
        EngineRig rig;
        // The line names the first day of showing, though age counts from the final date.
        rig.message(QStringLiteral("Dentist"), rig.day(-age), QStringLiteral("t"),
                    QStringLiteral("3"), rig.day(-age - 3));
        QCOMPARE(rig.engine.Main(false), Result::Running);
        if (reported) {
            QCOMPARE(rig.dialogs.boxes.size(), 1);
            QCOMPARE(rig.dialogs.boxes.at(0).text, kOldHeading + QStringLiteral("-Message dated ") +
                                                       rig.day(-age - 3) +
                                                       QStringLiteral(" description: Dentist\r\n"));
            QCOMPARE(rig.dialogs.boxes.at(0).title, QStringLiteral("Information:"));
            QCOMPARE(rig.dialogs.boxes.at(0).style, kInformation);
        } else {
            QVERIFY(rig.dialogs.boxes.isEmpty());
        }
        QVERIFY(!rig.folder.exists(QStringLiteral("Temp")));
    }

    void twoOldMessagesInListingOrder() {
        EngineRig rig;
        rig.due(QStringLiteral("Alpha"), -40, QStringLiteral("a"));
        rig.due(QStringLiteral("Beta"), -50, QStringLiteral("b"));
        QByteArray tempWhileReporting;
        rig.dialogs.whileOpen = [&](const ShownBox&) {
            tempWhileReporting = rig.folder.read(QStringLiteral("Temp"));
        };
        rig.engine.Main(false);
        QCOMPARE(tempWhileReporting, "\"-Message dated " + rig.day(-40).toUtf8() +
                                         " description: Alpha\"\r\n" + "\"-Message dated " +
                                         rig.day(-50).toUtf8() + " description: Beta\"\r\n");
        QCOMPARE(rig.texts(), QStringList{kOldHeading + QStringLiteral("-Message dated ") +
                                          rig.day(-40) + QStringLiteral(" description: Alpha\r\n") +
                                          QStringLiteral("-Message dated ") + rig.day(-50) +
                                          QStringLiteral(" description: Beta\r\n")});
        QVERIFY(!rig.folder.exists(QStringLiteral("Temp")));
    }

    void unreadableTempIsReported() {
        EngineRig rig;
        rig.folder.write(QStringLiteral("Temp"), "\"-Message dated 2-11-2026 descr");
        rig.engine.olderMessages();
        QCOMPARE(rig.texts(), QStringList{genericText(QStringLiteral("62 - Input past end of file"),
                                                      QStringLiteral("sub olderMessages"))});
        QVERIFY(rig.folder.exists(QStringLiteral("Temp")));
    }

    void corruptedFileEndsProgram() {
        EngineRig rig;
        rig.due(QStringLiteral("A"), 0, QStringLiteral("Shown first"));
        rig.due(QStringLiteral("B old"), -60, QStringLiteral("old"));
        rig.folder.write(QStringLiteral("C.tvr"), "\"7-12-2026\",\"cut off");
        rig.due(QStringLiteral("D"), 0, QStringLiteral("Never"));
        QCOMPARE(rig.engine.Main(false), Result::Ended);
        QCOMPARE(rig.texts(), (QStringList{dueBoxText(QStringLiteral("Shown first"), rig.day(0)),
                                           kCorruptedText}));
        QCOMPARE(rig.dialogs.boxes.at(1).title, QStringLiteral("Snorry!"));
        QCOMPARE(rig.dialogs.boxes.at(1).style, kWarning);
        QCOMPARE(rig.ends, 1);
        QVERIFY(rig.engine.programEnded());
    }

    void emptyFileCountsAsCorrupted() {
        EngineRig rig;
        rig.folder.write(QStringLiteral("Empty.tvr"), QByteArray());
        QCOMPARE(rig.engine.Main(false), Result::Ended);
        QCOMPARE(rig.texts(), QStringList{kCorruptedText});
        QCOMPARE(rig.ends, 1);
    }

    void invalidShortcut_data() {
        QTest::addColumn<bool>("previousTimerFile");
        QTest::addColumn<Result>("result");
        QTest::newRow("timer file of previous run") << true << Result::Running;
        QTest::newRow("no timer file") << false << Result::Ended;
    }
    void invalidShortcut() {
        QFETCH(bool, previousTimerFile);
        QFETCH(Result, result);
        EngineRig rig(QTime(10, 0), false);
        if (previousTimerFile)
            rig.folder.write(QStringLiteral("Timerfile"), "#02:30:00 pm#, \"x\"\r\n");
        rig.due(QStringLiteral("Elsewhere"), 0, QStringLiteral("t"));
        QCOMPARE(rig.engine.Main(false), result);
        QCOMPARE(rig.texts(), QStringList{kInvalidShortcutText});
        QCOMPARE(rig.dialogs.boxes.at(0).title, QStringLiteral("Snorry!"));
        QCOMPARE(rig.dialogs.boxes.at(0).style, kWarning);
        QVERIFY(rig.window.savedMessages.isEmpty());
        QCOMPARE(rig.loads, previousTimerFile ? 1 : 0);
        QCOMPARE(rig.ends, 0);
    }

    void windowFailures_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::newRow("339") << 339
                             << "An Error was generated:\r\nDescription: Error 339 - Broken\r\n\r\n"
                                "Re-install the program to fix this."
                             << 0;
        QTest::newRow("50003") << 50003
                               << "An Error was generated:\r\nDescription: Error 50003 - Broken\r\n"
                                  "\r\nRe-install the program to fix this, or get the latest "
                                  "basepacks at Kestrane."
                               << 0;
        QTest::newRow("401") << 401 << QString() << 1;
        QTest::newRow("other") << 75
                               << genericText(QStringLiteral("75 - Broken"),
                                              QStringLiteral("sub Main"))
                               << 0;
    }
    void windowFailures() {
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        EngineRig rig;
        rig.due(QStringLiteral("Today"), 0, QStringLiteral("t"));
        rig.failLoadWith = code;
        rig.failLoadDescription = QStringLiteral("Broken");
        // The window never loaded: the program ends by itself.
        QCOMPARE(rig.engine.Main(false), Result::Ended);
        QCOMPARE(rig.dialogs.beeps, beeps);
        QCOMPARE(rig.texts(), text.isEmpty() ? QStringList() : QStringList{text});
        if (!text.isEmpty()) {
            QCOMPARE(rig.dialogs.boxes.at(0).title, QStringLiteral("Error"));
            QCOMPARE(rig.dialogs.boxes.at(0).style, 0u);
        }
        QVERIFY(rig.sound.played.isEmpty());
        QCOMPARE(rig.ends, 0);
    }

    void unreadableDateAfterLoad() {
        EngineRig rig;
        rig.message(QStringLiteral("Odd"), QStringLiteral("someday"), QStringLiteral("t"),
                    QStringLiteral("0"), QStringLiteral("someday"));
        rig.due(QStringLiteral("Zed"), 0, QStringLiteral("never reached"));
        QCOMPARE(rig.engine.Main(false), Result::Running);
        QCOMPARE(rig.texts(), QStringList{genericText(QStringLiteral("13 - Type mismatch"),
                                                      QStringLiteral("sub Main"))});
        QCOMPARE(rig.window.savedMessages, QStringList{QStringLiteral("Odd")});
    }

    // A timed message whose start passes while a start-up box is open comes up straight after
    // the pass, even though a later registration happened meanwhile; the tick finds nothing.
    void timedMessageDuringStartupBoxIsShownAfterThePass() {
        EngineRig rig(QTime(14, 20));
        rig.due(QStringLiteral("A timed"), 0, QStringLiteral("Call the garage"),
                QStringLiteral("02:30:00 pm"), QStringLiteral("03:00:00 pm"));
        rig.due(QStringLiteral("B now"), 0, QStringLiteral("Now"));
        rig.due(QStringLiteral("C later"), 0, QStringLiteral("Later"),
                QStringLiteral("04:00:00 pm"), QStringLiteral("05:00:00 pm"));
        rig.dialogs.whileOpen = [&](const ShownBox&) {
            rig.at(14, 35);
            rig.engine.ShowDueTimedMessages();
            rig.engine.newDayTicks = 30;
            QVERIFY(!rig.engine.TimerNewDay_Timer(rig.day(-1)));
        };
        QCOMPARE(rig.engine.Main(false), Result::Running);
        QCOMPARE(rig.titles(), (QStringList{kDueTitle, kProgramTitle}));
        QCOMPARE(rig.texts().last(), QStringLiteral("Call the garage"));

        rig.dialogs.whileOpen = nullptr;
        rig.at(14, 35, 10);
        rig.engine.ShowDueTimedMessages();
        QCOMPARE(rig.dialogs.boxes.size(), 2);
        QCOMPARE(rig.folder.read(QStringLiteral("Timerfile")),
                 QByteArray("#04:00:00 pm#, \"Later\"\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
