#include "EngineRig.h"

#include <QDir>
#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

namespace {

const QString kStart = QStringLiteral("02:30:00 pm");
const QString kEnd = QStringLiteral("03:00:00 pm");
const QByteArray kGarageLine = "#02:30:00 pm#, \"Call the garage\"\r\n";

void loadGarage(StartupAndRoutines& engine, const QString& text = QStringLiteral("Call the garage"),
                const QString& start = kStart) {
    engine.CurrentMessage = MessageRecord{QStringLiteral("7-12-2026"), text,  QStringLiteral("0"),
                                          QStringLiteral("7-12-2026"), start, kEnd};
}

} // namespace

class TestTimerFile : public QObject {
    Q_OBJECT
private slots:
    void checkTime_data() {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("showNow");
        QTest::addColumn<bool>("missedToday");
        QTest::addColumn<bool>("registered");
        QTest::newRow("14:29:59 ahead")
            << QTime(14, 29, 59) << kStart << kEnd << false << false << true;
        QTest::newRow("14:30:40 start minute")
            << QTime(14, 30, 40) << kStart << kEnd << true << false << false;
        QTest::newRow("14:45 inside") << QTime(14, 45) << kStart << kEnd << true << false << false;
        QTest::newRow("15:00 end minute")
            << QTime(15, 0, 30) << kStart << kEnd << true << false << false;
        QTest::newRow("15:01 missed") << QTime(15, 1) << kStart << kEnd << false << true << false;
        const QString midnight = QStringLiteral("12:00:00 am");
        for (const QTime t : {QTime(0, 0), QTime(14, 30), QTime(23, 59, 59)})
            QTest::addRow("no window at %s", qPrintable(t.toString()))
                << t << midnight << midnight << true << false << false;
    }
    void checkTime() {
        QFETCH(QTime, now);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(bool, showNow);
        QFETCH(bool, missedToday);
        QFETCH(bool, registered);
        EngineRig rig(now);
        StartupAndRoutines& e = rig.engine;
        e.CurrentMessage = MessageRecord{
            rig.day(0), QStringLiteral("Call the garage"), QStringLiteral("0"), rig.day(0), start,
            end};
        // Both flags start opposite to the expected outcome: each row must set both.
        e.showNow = !showNow;
        e.missedToday = !missedToday;
        e.CheckTime();
        QCOMPARE(e.showNow, showNow);
        QCOMPARE(e.missedToday, missedToday);
        QCOMPARE(rig.folder.exists(QStringLiteral("Timerfile")), registered);
        QCOMPARE(rig.window.timerMessageEnabled, registered);
        QVERIFY(rig.dialogs.boxes.isEmpty());
    }

    void registrationWritesLineAndState() {
        EngineRig rig(QTime(14, 29, 59));
        StartupAndRoutines& e = rig.engine;
        loadGarage(e);
        e.CheckTime();
        QCOMPARE(rig.folder.read(QStringLiteral("Timerfile")), kGarageLine);
        QCOMPARE(e.lastTimerCheck, QTime(14, 29, 59));
        QVERIFY(rig.window.timerMessageEnabled);
        QCOMPARE(e.timerEntryCount, 1);
        QCOMPARE(e.timerEntries.at(0).time, QTime(14, 30));
        QCOMPARE(e.timerEntries.at(0).text, QStringLiteral("Call the garage"));
        // The wrapped forms stay in CurrentMessage; the message file is not touched.
        QCOMPARE(e.CurrentMessage.startTime, QStringLiteral("#02:30:00 pm#"));
        QCOMPARE(e.CurrentMessage.messageText, QStringLiteral("\"Call the garage\""));
    }

    void registrationsAppendOrOverwrite() {
        EngineRig rig(QTime(9, 0));
        StartupAndRoutines& e = rig.engine;
        loadGarage(e, QStringLiteral("First"));
        e.CheckTime();
        loadGarage(e, QStringLiteral("Second"), QStringLiteral("02:45:00 pm"));
        e.CheckTime();
        QCOMPARE(rig.folder.read(QStringLiteral("Timerfile")),
                 QByteArray("#02:30:00 pm#, \"First\"\r\n#02:45:00 pm#, \"Second\"\r\n"));
        QCOMPARE(e.timerEntryCount, 2);

        e.overwriteExisting = true;
        loadGarage(e);
        e.CheckTime();
        QCOMPARE(rig.folder.read(QStringLiteral("Timerfile")), kGarageLine);
        QCOMPARE(e.timerEntryCount, 1);
        QVERIFY(!e.overwriteExisting);
    }

    void lineBreakInTextRoundTrips() {
        EngineRig rig(QTime(9, 0));
        StartupAndRoutines& e = rig.engine;
        loadGarage(e, QStringLiteral("Call the garage,\r\nthen the bank"));
        e.CheckTime();
        QCOMPARE(rig.folder.read(QStringLiteral("Timerfile")),
                 QByteArray("#02:30:00 pm#, \"Call the garage,\r\nthen the bank\"\r\n"));
        QCOMPARE(e.timerEntries.at(0).text, QStringLiteral("Call the garage,\r\nthen the bank"));
    }

    void writeFailureLeavesTimerAndFlag() {
        EngineRig rig(QTime(9, 0));
        StartupAndRoutines& e = rig.engine;
        QVERIFY(QDir().mkdir(rig.folder.file(QStringLiteral("Timerfile"))));
        e.overwriteExisting = true;
        loadGarage(e);
        e.CheckTime();
        QCOMPARE(rig.dialogs.boxes.size(), 1);
        QCOMPARE(rig.dialogs.boxes.at(0).title, QStringLiteral("Error"));
        QCOMPARE(rig.dialogs.boxes.at(0).style, 0u);
        QVERIFY(
            rig.dialogs.boxes.at(0).text.contains(QStringLiteral("\r\nwriteTimerTempfile\r\n")));
        QVERIFY(!rig.window.timerMessageEnabled);
        QVERIFY(e.overwriteExisting);
        QCOMPARE(e.CurrentMessage.startTime, QStringLiteral("#02:30:00 pm#"));
    }

    void unreadableTimeReportsCheckTime() {
        EngineRig rig(QTime(9, 0));
        StartupAndRoutines& e = rig.engine;
        loadGarage(e, QStringLiteral("x"), QStringLiteral("half past two"));
        e.showNow = true;
        e.missedToday = true;
        e.CheckTime();
        QCOMPARE(rig.texts(), QStringList{genericText(QStringLiteral("13 - Type mismatch"),
                                                      QStringLiteral("CheckTime"))});
        QVERIFY(e.showNow && e.missedToday);
        QVERIFY(!rig.folder.exists(QStringLiteral("Timerfile")));
    }

    void readTimerFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("firstText");
        // The table holds one old entry before each read.
        QTest::newRow("empty file keeps table") << QByteArray() << true << 0 << "old";
        QTest::newRow("two lines")
            << QByteArray("#02:30:00 pm#, \"A\"\r\n#04:00:00 pm#, \"B\"\r\n") << true << 2 << "A";
        QTest::newRow("second line unreadable counts it")
            << QByteArray("#02:30:00 pm#, \"A\"\r\n#noon#, \"B\"\r\n") << false << 2 << "A";
        QTest::newRow("cut off in text") << QByteArray("#02:30:00 pm#, \"A") << false << 1 << "old";
    }
    void readTimerFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, result);
        QFETCH(int, count);
        QFETCH(QString, firstText);
        EngineRig rig;
        StartupAndRoutines& e = rig.engine;
        e.timerEntries = {{QTime(8, 0), QStringLiteral("old")}};
        e.timerEntryCount = 1;
        rig.folder.write(QStringLiteral("Timerfile"), bytes);
        QCOMPARE(e.ReadTimerFile(), result);
        QCOMPARE(e.timerEntryCount, count);
        QCOMPARE(e.timerEntries.at(0).text, firstText);
    }

    void readMissingTimerFileFails() {
        EngineRig rig;
        rig.engine.timerEntryCount = 3;
        QVERIFY(!rig.engine.ReadTimerFile());
        QCOMPARE(rig.engine.timerEntryCount, 3);
    }

    void fortyThousandLinesDoNotWrap() {
        EngineRig rig;
        QByteArray bytes;
        for (int i = 0; i < 40000; ++i)
            bytes += "#02:30:00 pm#, \"Line " + QByteArray::number(i) + "\"\r\n";
        rig.folder.write(QStringLiteral("Timerfile"), bytes);
        QVERIFY(rig.engine.ReadTimerFile());
        QCOMPARE(rig.engine.timerEntryCount, 40000);
        QCOMPARE(rig.engine.timerEntries.last().text, QStringLiteral("Line 39999"));
    }

    void deleteTimerFile_data() {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("timerBefore");
        QTest::addColumn<bool>("timerAfter");
        QTest::newRow("file, timer on") << true << true << false;
        QTest::newRow("no file, timer on") << false << true << true;
        QTest::newRow("no file, timer off") << false << false << false;
    }
    void deleteTimerFile() {
        QFETCH(bool, fileExists);
        QFETCH(bool, timerBefore);
        QFETCH(bool, timerAfter);
        EngineRig rig;
        if (fileExists)
            rig.folder.write(QStringLiteral("Timerfile"), kGarageLine);
        rig.window.timerMessageEnabled = timerBefore;
        rig.engine.DeleteTimerFile();
        QVERIFY(!rig.folder.exists(QStringLiteral("Timerfile")));
        QCOMPARE(rig.window.timerMessageEnabled, timerAfter);
        // Only an existing file touches (and so loads) the main window.
        QCOMPARE(rig.loads, fileExists ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestTimerFile)
#include "tst_timerfile.moc"
