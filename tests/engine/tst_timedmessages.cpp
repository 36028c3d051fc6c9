#include "EngineRig.h"

#include <QFile>
#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

namespace {

const QString kStart = QStringLiteral("02:30:00 pm");
const QString kEnd = QStringLiteral("03:00:00 pm");
constexpr uint32_t kForeground = 0x110000;

} // namespace

class TestTimedMessages : public QObject {
    Q_OBJECT
private slots:
    void shownAtFirstTickAtOrAfterStart() {
        EngineRig rig(QTime(14, 20));
        StartupAndRoutines& e = rig.engine;
        rig.due(QStringLiteral("Garage"), 0, QStringLiteral("Call the garage"), kStart, kEnd);
        e.RebuildTimerFile();
        QVERIFY(rig.window.timerMessageEnabled);

        rig.at(14, 29, 59);
        e.ShowDueTimedMessages();
        QVERIFY(rig.dialogs.boxes.isEmpty());

        rig.log.events.clear();
        rig.at(14, 30, 5);
        e.ShowDueTimedMessages();
        QCOMPARE(rig.log.events,
                 (QStringList{QStringLiteral("sound:Tavrel.wav"), QStringLiteral("box:Tavrel"),
                              QStringLiteral("window:timer off")}));
        QCOMPARE(rig.sound.played, QStringList{rig.folder.file(QStringLiteral("Tavrel.wav"))});
        QCOMPARE(rig.dialogs.boxes.at(0).text, QStringLiteral("Call the garage"));
        QCOMPARE(rig.dialogs.boxes.at(0).style, kForeground);
        QVERIFY(!rig.folder.exists(QStringLiteral("Timerfile")));
        QVERIFY(!rig.window.timerMessageEnabled);
        QCOMPARE(e.lastTimerCheck, QTime(14, 30, 5));
        // The message file stays.
        QVERIFY(rig.folder.exists(QStringLiteral("Garage.tvr")));

        rig.at(14, 30, 15);
        e.ShowDueTimedMessages();
        QCOMPARE(rig.dialogs.boxes.size(), 1);
    }

    void dueBoundary_data() {
        QTest::addColumn<QTime>("lastCheck");
        QTest::addColumn<QTime>("tick");
        QTest::addColumn<bool>("shown");
        QTest::newRow("just after last check") << QTime(14, 29, 59) << QTime(14, 30) << true;
        QTest::newRow("equal to last check") << QTime(14, 30) << QTime(14, 30) << false;
        QTest::newRow("equal to last check, later tick") << QTime(14, 30) << QTime(14, 45) << false;
        QTest::newRow("not yet") << QTime(14, 20) << QTime(14, 29, 59) << false;
    }
    void dueBoundary() {
        QFETCH(QTime, lastCheck);
        QFETCH(QTime, tick);
        QFETCH(bool, shown);
        EngineRig rig(tick);
        rig.due(QStringLiteral("Garage"), 0, QStringLiteral("Call the garage"), kStart, kEnd);
        rig.engine.timerEntries = {{QTime(14, 30), QStringLiteral("Call the garage")}};
        rig.engine.timerEntryCount = 1;
        rig.engine.lastTimerCheck = lastCheck;
        rig.engine.ShowDueTimedMessages();
        QCOMPARE(rig.dialogs.boxes.size(), shown ? 1 : 0);
        QCOMPARE(rig.engine.lastTimerCheck, tick);
    }

    void tickWhileBoxOpenShowsNothingMore() {
        EngineRig rig(QTime(14, 20));
        StartupAndRoutines& e = rig.engine;
        rig.due(QStringLiteral("Garage"), 0, QStringLiteral("Call the garage"), kStart, kEnd);
        e.RebuildTimerFile();
        int nested = 0;
        rig.dialogs.whileOpen = [&](const ShownBox&) {
            // Only the first box ticks again, so a missing guard fails instead of recursing.
            if (nested > 0)
                return;
            for (int i = 0; i < 3; ++i) {
                rig.clock.advanceSecs(10);
                ++nested;
                e.ShowDueTimedMessages();
            }
        };
        rig.at(14, 30, 5);
        e.ShowDueTimedMessages();
        QCOMPARE(nested, 3);
        QCOMPARE(rig.dialogs.boxes.size(), 1);
        QCOMPARE(rig.sound.played.size(), 1);
    }

    // Two messages starting in the same minute and one later: the rebuild after the first
    // registers the later one, yet the second is still shown in the same tick.
    void sameTickEntriesAllShown() {
        EngineRig rig(QTime(14, 0));
        StartupAndRoutines& e = rig.engine;
        rig.due(QStringLiteral("A"), 0, QStringLiteral("First"), kStart, kEnd);
        rig.due(QStringLiteral("B"), 0, QStringLiteral("Second"), kStart, kEnd);
        rig.due(QStringLiteral("C"), 0, QStringLiteral("Later"), QStringLiteral("04:00:00 pm"),
                QStringLiteral("05:00:00 pm"));
        e.RebuildTimerFile();
        QCOMPARE(e.timerEntryCount, 3);
        rig.at(14, 30, 5);
        e.ShowDueTimedMessages();
        QCOMPARE(rig.texts(), (QStringList{QStringLiteral("First"), QStringLiteral("Second")}));
        QCOMPARE(rig.folder.read(QStringLiteral("Timerfile")),
                 QByteArray("#04:00:00 pm#, \"Later\"\r\n"));
        QVERIFY(rig.window.timerMessageEnabled);
        QCOMPARE(e.timerEntryCount, 1);
    }

    // The clock set back within the day, and a save in the repeated half hour: the window
    // presented at 14:30 is neither registered nor shown again when 14:30 comes once more.
    void presentedWindowNotRegisteredAgainAfterClockSetBack() {
        EngineRig rig(QTime(14, 20));
        StartupAndRoutines& e = rig.engine;
        rig.due(QStringLiteral("Garage"), 0, QStringLiteral("Call the garage"), kStart, kEnd);
        e.RebuildTimerFile();
        rig.at(14, 30, 5);
        e.ShowDueTimedMessages();
        QCOMPARE(rig.texts(), QStringList{QStringLiteral("Call the garage")});
        rig.clock.jumpTo(QDateTime(rig.clock.today(), QTime(14, 0)));
        e.RebuildTimerFile();
        QVERIFY(!rig.folder.exists(QStringLiteral("Timerfile")));
        rig.at(14, 30, 5);
        e.ShowDueTimedMessages();
        QCOMPARE(rig.dialogs.boxes.size(), 1);
    }

    void countBeyondTableIsSkipped() {
        EngineRig rig(QTime(14, 30, 5));
        StartupAndRoutines& e = rig.engine;
        rig.due(QStringLiteral("Garage"), 0, QStringLiteral("Call the garage"), kStart, kEnd);
        e.timerEntries = {{QTime(14, 30), QStringLiteral("Call the garage")}};
        e.timerEntryCount = 5;
        e.lastTimerCheck = QTime(14, 0);
        e.ShowDueTimedMessages();
        QCOMPARE(rig.texts(), QStringList{QStringLiteral("Call the garage")});
    }

    void corruptedFileDuringTickEndsProgram() {
        EngineRig rig(QTime(14, 30, 5));
        StartupAndRoutines& e = rig.engine;
        rig.due(QStringLiteral("A"), 0, QStringLiteral("First"), kStart, kEnd);
        rig.folder.write(QStringLiteral("B.tvr"), "\"7-12-2026\",\"cut");
        e.timerEntries = {{QTime(14, 30), QStringLiteral("First")},
                          {QTime(14, 30), QStringLiteral("Second")}};
        e.timerEntryCount = 2;
        e.lastTimerCheck = QTime(14, 0);
        e.ShowDueTimedMessages();
        QCOMPARE(rig.texts(), (QStringList{QStringLiteral("First"), kCorruptedText}));
        QCOMPARE(rig.ends, 1);
        QVERIFY(e.programEnded());
    }

    void rebuild_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("finalOffset");
        QTest::addColumn<int>("daysPrior");
        QTest::addColumn<QByteArray>("timerFile");
        QTest::newRow("window later today")
            << "06:00:00 pm"
            << "07:00:00 pm" << 0 << 0 << QByteArray("#06:00:00 pm#, \"T\"\r\n");
        QTest::newRow("first day of period")
            << "06:00:00 pm"
            << "07:00:00 pm" << 3 << 3 << QByteArray("#06:00:00 pm#, \"T\"\r\n");
        QTest::newRow("window already begun") << "09:00:00 am"
                                              << "12:00:00 pm" << 0 << 0 << QByteArray();
        QTest::newRow("middle of period") << "06:00:00 pm"
                                          << "07:00:00 pm" << 2 << 4 << QByteArray();
        QTest::newRow("no window") << "12:00:00 am"
                                   << "12:00:00 am" << 0 << 0 << QByteArray();
    }
    void rebuild() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, finalOffset);
        QFETCH(int, daysPrior);
        QFETCH(QByteArray, timerFile);
        EngineRig rig(QTime(10, 0));
        rig.folder.write(QStringLiteral("Temp"), "\"-Message dated x description: y\"\r\n");
        rig.message(QStringLiteral("M"), rig.day(finalOffset), QStringLiteral("T"),
                    QString::number(daysPrior), rig.day(finalOffset - daysPrior), start, end);
        rig.engine.RebuildTimerFile();
        QCOMPARE(rig.folder.read(QStringLiteral("Timerfile")), timerFile);
        QCOMPARE(rig.window.timerMessageEnabled, !timerFile.isEmpty());
        QVERIFY(rig.dialogs.boxes.isEmpty());
        QVERIFY(!rig.folder.exists(QStringLiteral("Temp")));
    }

    void rebuildAfterDeletingOneOfTwo() {
        EngineRig rig(QTime(10, 0));
        rig.due(QStringLiteral("A"), 0, QStringLiteral("Gone"), QStringLiteral("04:00:00 pm"),
                QStringLiteral("05:00:00 pm"));
        rig.due(QStringLiteral("B"), 0, QStringLiteral("Stays"), QStringLiteral("06:00:00 pm"),
                QStringLiteral("07:00:00 pm"));
        rig.engine.RebuildTimerFile();
        QVERIFY(QFile::remove(rig.folder.file(QStringLiteral("A.tvr"))));
        rig.engine.RebuildTimerFile();
        QCOMPARE(rig.folder.read(QStringLiteral("Timerfile")),
                 QByteArray("#06:00:00 pm#, \"Stays\"\r\n"));
    }

    void rebuildWithoutMessagesShowsWindow() {
        EngineRig rig;
        rig.folder.write(QStringLiteral("Timerfile"), "#02:30:00 pm#, \"x\"\r\n");
        rig.window.timerMessageEnabled = true;
        rig.engine.RebuildTimerFile();
        QVERIFY(!rig.window.timerMessageEnabled);
        QVERIFY(rig.window.placeholder);
        QVERIFY(!rig.window.editDeleteEnabled);
        QCOMPARE(rig.window.shown, 1);
        QVERIFY(rig.dialogs.boxes.isEmpty());
    }

    void rebuildFailures_data() {
        QTest::addColumn<bool>("enterFolder");
        QTest::addColumn<QByteArray>("badFile");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("style");
        QTest::addColumn<int>("ends");
        QTest::newRow("corrupted") << true << QByteArray("\"7-12-2026\",\"text\",\"0\"\r\n")
                                   << "Snorry!" << kCorruptedText << 0x30u << 1;
        QTest::newRow("invalid shortcut")
            << false << QByteArray() << "Snorry!" << kInvalidShortcutText << 0x30u << 0;
        QTest::newRow("unreadable date")
            << true
            << QByteArray("\"someday\",\"t\",\"0\",\"someday\",\"12:00:00 am\",\"12:00:00 am\"\r\n")
            << "Error"
            << genericText(QStringLiteral("13 - Type mismatch"), QStringLiteral("sub Main")) << 0u
            << 0;
    }
    void rebuildFailures() {
        QFETCH(bool, enterFolder);
        QFETCH(QByteArray, badFile);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(uint, style);
        QFETCH(int, ends);
        EngineRig rig(QTime(10, 0), enterFolder);
        rig.due(QStringLiteral("A later"), 0, QStringLiteral("Later"),
                QStringLiteral("06:00:00 pm"), QStringLiteral("07:00:00 pm"));
        if (!badFile.isEmpty())
            rig.folder.write(QStringLiteral("B bad.tvr"), badFile);
        rig.due(QStringLiteral("C later"), 0, QStringLiteral("Never"),
                QStringLiteral("08:00:00 pm"), QStringLiteral("09:00:00 pm"));
        rig.engine.RebuildTimerFile();
        QCOMPARE(rig.dialogs.boxes.size(), 1);
        QCOMPARE(rig.dialogs.boxes.at(0).title, title);
        QCOMPARE(rig.dialogs.boxes.at(0).text, text);
        QCOMPARE(rig.dialogs.boxes.at(0).style, style);
        QCOMPARE(rig.ends, ends);
        // Only what was registered before the failure stays.
        QCOMPARE(rig.folder.read(QStringLiteral("Timerfile")),
                 enterFolder ? QByteArray("#06:00:00 pm#, \"Later\"\r\n") : QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestTimedMessages)
#include "tst_timedmessages.moc"
