// Load: many message files at start-up and at a change of day, very long timer files, a huge
// message file and one of random bytes. Every case runs in seconds; files are made in memory
// and written in one go.
#include "../engine/EngineRig.h"
#include "ErrorCode.h"
#include "MessageFile.h"
#include "ProgramFolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <sys/resource.h>

using namespace tavrel;
using namespace tavrel::test;

namespace {

constexpr int kManyFiles = 10000;

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QString name(int i) {
    return QStringLiteral("Message %1").arg(i, 5, 10, QLatin1Char('0'));
}

// Every 100th message is due today, every 250th (not due today) is 40 days old, the rest lie
// ahead; every 1000th has a window later today.
void writeManyMessages(EngineRig& rig) {
    for (int i = 0; i < kManyFiles; ++i) {
        int offset = 3 + i % 200;
        if (i % 100 == 0)
            offset = 0;
        else if (i % 250 == 0)
            offset = -40;
        const bool timed = i % 1000 == 0;
        rig.due(name(i), offset, QStringLiteral("Text %1, with a comma").arg(i),
                timed ? QStringLiteral("02:30:00 pm") : QStringLiteral("12:00:00 am"),
                timed ? QStringLiteral("03:00:00 pm") : QStringLiteral("12:00:00 am"));
    }
}

QByteArray timerLines(int count) {
    QByteArray bytes;
    bytes.reserve(count * 32);
    for (int i = 0; i < count - 1; ++i)
        bytes += "#09:00:00 am#, \"entry " + QByteArray::number(i) + "\"\r\n";
    bytes += "#02:30:00 pm#, \"the last one\"\r\n";
    return bytes;
}

} // namespace

class TestLoad : public QObject {
    Q_OBJECT
private slots:
    // Measured first, while the process's peak is still low.
    void hugeMessageFile() {
        EngineRig rig(QTime(10, 0));
        {
            // One record whose text is 100 MB long, written in blocks.
            QFile f(rig.folder.file(QStringLiteral("Huge.tvr")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("\"" + rig.day(0).toUtf8() + "\",\"");
            const QByteArray block(1 << 20, 'x');
            for (int i = 0; i < 100; ++i)
                QCOMPARE(f.write(block), block.size());
            f.write("\",\"0\",\"" + rig.day(0).toUtf8() + "\",\"12:00:00 am\",\"12:00:00 am\"\r\n");
        }
        const long before = peakRssKb();
        QElapsedTimer timer;
        timer.start();
        MessageRecord into;
        QCOMPARE(ErrorCodeOf([&] { ReadMessageFile(QStringLiteral("Huge.tvr"), into); }),
                 int(InputPastEndOfFile));
        QVERIFY(into.messageText.isEmpty());
        // Through start-up: the corrupted-messages warning, and the program ends.
        QCOMPARE(rig.engine.Main(false), StartupAndRoutines::MainResult::Ended);
        QCOMPARE(rig.texts(), QStringList{kCorruptedText});
        QCOMPARE(rig.ends, 1);
        const long grownKb = peakRssKb() - before;
        qInfo("100 MB message file: %lld ms, peak memory grew by %ld KB", timer.elapsed(), grownKb);
        QVERIFY2(grownKb < 64 * 1024, qPrintable(QString::number(grownKb)));
    }

    // The largest file that is still read, and the smallest that is not.
    void sizeBound() {
        EngineRig rig(QTime(10, 0));
        const QByteArray head = "\"" + rig.day(5).toUtf8() + "\",\"";
        const QByteArray tail =
            "\",\"0\",\"" + rig.day(5).toUtf8() + "\",\"12:00:00 am\",\"12:00:00 am\"\r\n";
        const QByteArray fits =
            head + QByteArray(kMaxMessageFileBytes - head.size() - tail.size(), 'x') + tail;
        QCOMPARE(fits.size(), kMaxMessageFileBytes);
        rig.folder.write(QStringLiteral("Fits.tvr"), fits);
        rig.folder.write(QStringLiteral("Over.tvr"), head + 'x' + fits.mid(head.size()));
        MessageRecord into;
        ReadMessageFile(QStringLiteral("Fits.tvr"), into);
        QCOMPARE(into.messageText.size(), kMaxMessageFileBytes - head.size() - tail.size());
        QCOMPARE(ErrorCodeOf([&] { ReadMessageFile(QStringLiteral("Over.tvr"), into); }),
                 int(InputPastEndOfFile));
    }

    void randomBytes_data() {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("size");
        for (quint32 seed = 1; seed <= 40; ++seed)
            QTest::addRow("seed %u", seed) << seed << int(seed * 997 % 20000 + 1);
    }
    // Bytes of any kind: corrupted (62) or a date that does not read (13), nothing else.
    void randomBytes() {
        QFETCH(quint32, seed);
        QFETCH(int, size);
        QRandomGenerator random(seed);
        QByteArray bytes(size, Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random.bounded(256));
        EngineRig rig(QTime(10, 0));
        rig.folder.write(QStringLiteral("Random.tvr"), bytes);
        rig.engine.Main(false);
        QCOMPARE(rig.dialogs.boxes.size(), 1);
        const QString text = rig.dialogs.boxes.first().text;
        QVERIFY2(text == kCorruptedText || text == genericText(QStringLiteral("13 - Type mismatch"),
                                                               QStringLiteral("sub Main")),
                 qPrintable(text));
        QCOMPARE(rig.folder.read(QStringLiteral("Random.tvr")), bytes);
    }

    void tenThousandFilesAtStartUp() {
        EngineRig rig(QTime(10, 0));
        writeManyMessages(rig);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(rig.engine.Main(false), StartupAndRoutines::MainResult::Running);
        qInfo("Main over %d files: %lld ms", kManyFiles, timer.elapsed());

        QCOMPARE(rig.window.savedMessages.size(), kManyFiles);
        QCOMPARE(rig.window.savedMessages.first(), name(0));
        QCOMPARE(rig.window.savedMessages.last(), name(kManyFiles - 1));
        // 100 due today, 10 of them held for their window; then one report of 20 lines.
        QCOMPARE(rig.sound.played.size(), 90);
        QCOMPARE(rig.dialogs.boxes.size(), 91);
        QCOMPARE(rig.dialogs.boxes.last().title, QStringLiteral("Information:"));
        QCOMPARE(rig.dialogs.boxes.last().text.count(QStringLiteral("-Message dated ")), 20);
        QCOMPARE(rig.engine.timerEntryCount, 10);
        QVERIFY(!rig.folder.exists(QStringLiteral("Temp")));
        QCOMPARE(ListMessageFiles(rig.folder.path()).size(), kManyFiles);
    }

    void tenThousandFilesAtAChangeOfDay() {
        EngineRig rig(QTime(0, 20));
        writeManyMessages(rig);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(rig.engine.CheckforNewDay(rig.day(-1)));
        qInfo("NewRoutine over %d files: %lld ms", kManyFiles, timer.elapsed());
        QCOMPARE(rig.sound.played.size(), 90);
        QCOMPARE(rig.dialogs.boxes.size(), 90);
        QCOMPARE(rig.engine.timerEntryCount, 10);
        QVERIFY(rig.window.timerMessageEnabled);
        QCOMPARE(ListMessageFiles(rig.folder.path()).size(), kManyFiles);
    }

    void longTimerFile_data() {
        QTest::addColumn<int>("lines");
        QTest::newRow("32767") << 32767;
        QTest::newRow("32768") << 32768;
        QTest::newRow("40000") << 40000;
    }
    // More entries than a 16-bit count holds: all read, the last one shown at its time, the
    // status report lists them all, and one more registration lands after them.
    void longTimerFile() {
        QFETCH(int, lines);
        EngineRig rig(QTime(14, 0));
        rig.folder.write(QStringLiteral("Timerfile"), timerLines(lines));
        StartupAndRoutines& e = rig.engine;
        QVERIFY(e.ReadTimerFile());
        QCOMPARE(e.timerEntryCount, lines);
        QCOMPARE(e.timerEntries.at(lines - 1).text, QStringLiteral("the last one"));
        QCOMPARE(e.timerEntries.at(lines - 1).time, QTime(14, 30));

        e.ShowStatus();
        QCOMPARE(rig.dialogs.boxes.size(), lines);
        rig.dialogs.boxes.clear();

        e.CurrentMessage = {
            rig.day(0), QStringLiteral("registered"),  QStringLiteral("0"),
            rig.day(0), QStringLiteral("03:00:00 pm"), QStringLiteral("04:00:00 pm")};
        e.CheckTime();
        QVERIFY(rig.dialogs.boxes.isEmpty());
        QCOMPARE(e.timerEntryCount, lines + 1);
        QCOMPARE(e.timerEntries.at(lines).text, QStringLiteral("registered"));

        // 14:30:05: only the last file entry is due (the 09:00 ones lie before lastTimerCheck).
        rig.at(14, 30, 5);
        e.ShowDueTimedMessages();
        QCOMPARE(rig.texts(), QStringList{QStringLiteral("the last one")});
    }
};

QTEST_GUILESS_MAIN(TestLoad)
#include "tst_load.moc"
