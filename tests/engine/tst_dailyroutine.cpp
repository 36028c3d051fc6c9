#include "EngineRig.h"

#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

namespace {

constexpr uint32_t kForeground = 0x110000;
constexpr uint32_t kYesNoInformation = 0x44;

// Final date on the 10th, shown from the 7th.
void daysPriorMessage(const EngineRig& rig) {
    rig.message(QStringLiteral("Dentist"), QStringLiteral("10-12-2026"),
                QStringLiteral("Dentist at nine"), QStringLiteral("3"),
                QStringLiteral("7-12-2026"));
}

} // namespace

class TestDailyRoutine : public QObject {
    Q_OBJECT
private slots:
    void daysPriorAtChangeOfDay_data() {
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("shown");
        QTest::newRow("7th, first day") << 7 << true;
        QTest::newRow("8th") << 8 << false;
        QTest::newRow("9th") << 9 << false;
        QTest::newRow("10th, final day") << 10 << true;
        QTest::newRow("11th, day after") << 11 << false;
    }
    void daysPriorAtChangeOfDay() {
        QFETCH(int, day);
        QFETCH(bool, shown);
        EngineRig rig;
        daysPriorMessage(rig);
        rig.onDay(day);
        rig.engine.NewRoutine();
        QCOMPARE(rig.dialogs.boxes.size(), shown ? 1 : 0);
        QCOMPARE(rig.sound.played.size(), shown ? 1 : 0);
        // The file is never touched by the routine.
        QVERIFY(rig.folder.exists(QStringLiteral("Dentist.tvr")));
    }

    void dueBoxAfterSound() {
        EngineRig rig(QTime(0, 20));
        // The final date is shown exactly as stored, leading zero included.
        rig.message(QStringLiteral("Milk"), QStringLiteral("07-12-2026"),
                    QStringLiteral("Buy milk,\r\nand bread"), QStringLiteral("0"),
                    QStringLiteral("07-12-2026"));
        rig.engine.NewRoutine();
        QCOMPARE(rig.log.events, (QStringList{QStringLiteral("sound:Tavrel.wav"),
                                              QStringLiteral("box:") + kDueTitle}));
        QCOMPARE(rig.sound.played, QStringList{rig.folder.file(QStringLiteral("Tavrel.wav"))});
        QCOMPARE(rig.dialogs.boxes.at(0).text,
                 QStringLiteral("Buy milk,\r\nand bread\r\n\r\n[ Final message: 07-12-2026 ]"));
        QCOMPARE(rig.dialogs.boxes.at(0).style, kForeground);
    }

    void windowAheadGoesToTimerFile_data() {
        QTest::addColumn<QTime>("detected");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::newRow("15:00 to 16:00 at 00:20") << QTime(0, 20) << "03:00:00 pm"
                                                 << "04:00:00 pm";
        QTest::newRow("09:00 to 10:00 at 00:10") << QTime(0, 10) << "09:00:00 am"
                                                 << "10:00:00 am";
    }
    void windowAheadGoesToTimerFile() {
        QFETCH(QTime, detected);
        QFETCH(QString, start);
        QFETCH(QString, end);
        EngineRig rig(detected);
        rig.due(QStringLiteral("Meeting"), 0, QStringLiteral("Meeting"), start, end);
        rig.engine.NewRoutine();
        QVERIFY(rig.dialogs.boxes.isEmpty());
        QCOMPARE(rig.folder.read(QStringLiteral("Timerfile")),
                 QByteArray("#") + start.toUtf8() + QByteArray("#, \"Meeting\"\r\n"));
        QVERIFY(rig.window.timerMessageEnabled);
    }

    void noTimedMessageAheadLeavesNoTimerFile() {
        EngineRig rig(QTime(0, 20));
        rig.folder.write(QStringLiteral("Timerfile"), "#11:00:00 pm#, \"yesterday\"\r\n");
        rig.folder.write(QStringLiteral("Temp"), "\"-Message dated x description: y\"\r\n");
        rig.window.timerMessageEnabled = true;
        rig.due(QStringLiteral("Plain"), 0, QStringLiteral("Plain"));
        rig.due(QStringLiteral("Yesterday"), -1, QStringLiteral("Old"),
                QStringLiteral("03:00:00 pm"), QStringLiteral("04:00:00 pm"));
        rig.engine.NewRoutine();
        QVERIFY(!rig.folder.exists(QStringLiteral("Timerfile")));
        QVERIFY(!rig.folder.exists(QStringLiteral("Temp")));
        QVERIFY(!rig.window.timerMessageEnabled);
        // Yesterday's message: nothing happens to it.
        QCOMPARE(rig.texts(), QStringList{dueBoxText(QStringLiteral("Plain"), rig.day(0))});
        QVERIFY(rig.folder.exists(QStringLiteral("Yesterday.tvr")));
        QVERIFY(rig.window.savedMessages.isEmpty());
    }

    void noFilesShowsWindow() {
        EngineRig rig;
        rig.engine.NewRoutine();
        QVERIFY(rig.dialogs.boxes.isEmpty());
        QVERIFY(rig.window.placeholder);
        QVERIFY(!rig.window.editDeleteEnabled);
        QCOMPARE(rig.window.shown, 1);
    }

    void failureStopsTheScan_data() {
        QTest::addColumn<bool>("enterFolder");
        QTest::addColumn<QByteArray>("badFile");
        QTest::addColumn<QStringList>("texts");
        const QString first = dueBoxText(QStringLiteral("First"), QStringLiteral("7-12-2026"));
        QTest::newRow("corrupted")
            << true << QByteArray("\"7-12-2026\",\"text\"\r\n\r\n")
            << QStringList{first, genericText(QStringLiteral("62 - Input past end of file"),
                                              QStringLiteral("NewRoutine"))};
        QTest::newRow("unreadable date")
            << true
            << QByteArray("\"soon\",\"t\",\"0\",\"soon\",\"12:00:00 am\",\"12:00:00 am\"\r\n")
            << QStringList{first, genericText(QStringLiteral("13 - Type mismatch"),
                                              QStringLiteral("NewRoutine"))};
        QTest::newRow("invalid shortcut")
            << false << QByteArray()
            << QStringList{genericText(QStringLiteral("53 - File not found"),
                                       QStringLiteral("NewRoutine"))};
    }
    void failureStopsTheScan() {
        QFETCH(bool, enterFolder);
        QFETCH(QByteArray, badFile);
        QFETCH(QStringList, texts);
        EngineRig rig(QTime(0, 20), enterFolder);
        rig.due(QStringLiteral("A"), 0, QStringLiteral("First"));
        if (!badFile.isEmpty())
            rig.folder.write(QStringLiteral("B.tvr"), badFile);
        rig.due(QStringLiteral("C"), 0, QStringLiteral("Never read"));
        rig.engine.NewRoutine();
        QCOMPARE(rig.texts(), texts);
        QCOMPARE(rig.dialogs.boxes.last().title, QStringLiteral("Error"));
        QCOMPARE(rig.ends, 0);
        QVERIFY(!rig.engine.programEnded());
    }

    void missedPrompt_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("shown");
        QTest::newRow("yes") << int(IDYES) << true;
        QTest::newRow("no") << int(IDNO) << false;
    }
    void missedPrompt() {
        QFETCH(int, answer);
        QFETCH(bool, shown);
        EngineRig rig(QTime(11, 30));
        rig.due(QStringLiteral("Call"), 0, QStringLiteral("Call Anna"),
                QStringLiteral("09:00:00 am"), QStringLiteral("10:00:00 am"));
        rig.dialogs.answers = {answer};
        rig.engine.NewRoutine();
        QCOMPARE(rig.dialogs.boxes.size(), shown ? 2 : 1);
        const ShownBox& question = rig.dialogs.boxes.at(0);
        QCOMPARE(question.text, QStringLiteral("You had a message planned for today at 09:00:00 am "
                                               "     \r\nWould you like to see it now?"));
        QCOMPARE(question.title, QStringLiteral("Tavrel"));
        QCOMPARE(question.style, kYesNoInformation);
        if (shown) {
            QCOMPARE(rig.dialogs.boxes.at(1).text,
                     dueBoxText(QStringLiteral("Call Anna"), rig.day(0)));
            QCOMPARE(rig.dialogs.boxes.at(1).title, kDueTitle);
        }
        QVERIFY(rig.sound.played.isEmpty());
    }

    void insideWindowShownWithoutQuestion() {
        EngineRig rig(QTime(9, 30));
        rig.due(QStringLiteral("Call"), 0, QStringLiteral("Call Anna"),
                QStringLiteral("09:00:00 am"), QStringLiteral("10:00:00 am"));
        rig.engine.NewRoutine();
        QCOMPARE(rig.titles(), QStringList{kDueTitle});
        QCOMPARE(rig.sound.played.size(), 1);
    }

    void checkEveryThirtyFirstTick() {
        EngineRig rig(QTime(0, 20));
        rig.due(QStringLiteral("Today"), 0, QStringLiteral("New day"));
        const QString yesterday = rig.day(-1);
        for (int tick = 1; tick <= 30; ++tick)
            QVERIFY(!rig.engine.TimerNewDay_Timer(yesterday));
        QCOMPARE(rig.engine.newDayTicks, 30);
        QVERIFY(rig.dialogs.boxes.isEmpty());
        QVERIFY(rig.engine.TimerNewDay_Timer(yesterday));
        QCOMPARE(rig.engine.newDayTicks, 0);
        QCOMPARE(rig.dialogs.boxes.size(), 1);
    }

    // The new-day timer ticks every 65 s for as long as the program runs: thirty of every
    // thirty-one ticks must cost nothing, not even a look at the clock or the folder.
    void ticksBeforeTheThirtyFirstDoNoWork() {
        EngineRig rig(QTime(0, 20));
        rig.due(QStringLiteral("Today"), 0, QStringLiteral("New day"));
        const QString yesterday = rig.day(-1);
        const QStringList files = rig.folder.entries();
        const int reads = rig.clock.reads;
        for (int tick = 1; tick <= 30; ++tick)
            QVERIFY(!rig.engine.TimerNewDay_Timer(yesterday));
        QCOMPARE(rig.clock.reads, reads);
        QCOMPARE(rig.folder.entries(), files);
        QVERIFY(rig.log.events.isEmpty());
        QVERIFY(rig.window.calls.isEmpty());
    }

    // Between two ticks the wall clock moves by `secs`: with the steady count (time passed) or
    // alone (asleep, the clock set). More than two minutes off the steady count, or ticks more
    // than two minutes late, bring the check forward to this tick.
    void jumpBringsTheCheckForward_data() {
        QTest::addColumn<qint64>("secs");
        QTest::addColumn<bool>("jump");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QStringList>("texts");
        const QString planted =
            QStringLiteral("You had a message planned for today at 01:00:00 pm      \r\n"
                           "Would you like to see it now?");
        const QString rent =
            dueBoxText(QStringLiteral("Pay the rent"), QStringLiteral("8-12-2026"));
        QTest::newRow("one tick later") << 65LL << false << false << QStringList();
        QTest::newRow("off by two minutes") << 120LL << true << false << QStringList();
        QTest::newRow("off by more") << 121LL << true << true << QStringList();
        QTest::newRow("ticks held up") << 65LL + 121 << false << true << QStringList();
        QTest::newRow("asleep across midnight")
            << 21 * 3600LL << true << true << QStringList{planted, rent};
    }
    void jumpBringsTheCheckForward() {
        QFETCH(qint64, secs);
        QFETCH(bool, jump);
        QFETCH(bool, checked);
        QFETCH(QStringList, texts);
        EngineRig rig(QTime(10, 0));
        rig.due(QStringLiteral("Plants"), 0, QStringLiteral("Water the plants"),
                QStringLiteral("01:00:00 pm"), QStringLiteral("02:00:00 pm"));
        rig.due(QStringLiteral("Rent"), 1, QStringLiteral("Pay the rent"));
        rig.engine.RebuildTimerFile();
        const QString today = rig.day(0);
        QVERIFY(!rig.engine.TimerNewDay_Timer(today));
        const QDateTime to = rig.clock.now().addSecs(secs);
        if (jump)
            rig.clock.jumpTo(to);
        else
            rig.clock.set(to);
        QCOMPARE(rig.engine.TimerNewDay_Timer(today).has_value(),
                 checked && to.date() != QDate(2026, 12, 7));
        QCOMPARE(rig.engine.newDayTicks, checked ? 0 : 2);
        QCOMPARE(rig.texts(), texts);
        // The earlier day's table is gone, its entries offered.
        QCOMPARE(rig.folder.exists(QStringLiteral("Timerfile")), to.date() == QDate(2026, 12, 7));
    }

    void checkforNewDay_data() {
        QTest::addColumn<int>("remembered");
        QTest::addColumn<bool>("runs");
        QTest::newRow("midnight passed") << -1 << true;
        QTest::newRow("clock set back a day") << 1 << true;
        QTest::newRow("same day") << 0 << false;
    }
    void checkforNewDay() {
        QFETCH(int, remembered);
        QFETCH(bool, runs);
        EngineRig rig(QTime(0, 20));
        rig.due(QStringLiteral("Today"), 0, QStringLiteral("New day"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(rig.engine.CheckforNewDay(rig.day(remembered)).has_value(), runs);
        // The routine runs each time, but a day's reminder comes up once.
        QCOMPARE(rig.dialogs.boxes.size(), runs ? 1 : 0);
    }

    void unreadableRememberedDate() {
        EngineRig rig;
        rig.engine.newDayTicks = 30;
        QVERIFY(!rig.engine.TimerNewDay_Timer(QStringLiteral("not a date")));
        QCOMPARE(rig.texts(), QStringList{genericText(QStringLiteral("13 - Type mismatch"),
                                                      QStringLiteral("CheckforNewDay"))});
        QCOMPARE(rig.engine.newDayTicks, 0);
    }

    void tickDuringDailyRoutineDoesNothing() {
        EngineRig rig(QTime(0, 20));
        rig.due(QStringLiteral("Today"), 0, QStringLiteral("New day"));
        const QString yesterday = rig.day(-1);
        rig.engine.newDayTicks = 30;
        int nested = 0;
        rig.dialogs.whileOpen = [&](const ShownBox&) {
            ++nested;
            QVERIFY(!rig.engine.TimerNewDay_Timer(yesterday));
        };
        QVERIFY(rig.engine.TimerNewDay_Timer(yesterday));
        QCOMPARE(nested, 1);
        QCOMPARE(rig.dialogs.boxes.size(), 1);
        QCOMPARE(rig.engine.newDayTicks, 0);
    }
};

QTEST_GUILESS_MAIN(TestDailyRoutine)
#include "tst_dailyroutine.moc"
