// The engine's own writes (the timer file, "Temp") and deletions on a real full disk and a real
// read-only folder: a clear box, message files untouched, no half-written scratch file, and the
// engine goes on.
#include "../engine/EngineRig.h"
#include "PrivateTmpfs.h"
#include "ProgramFolder.h"

#include <QFile>
#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

namespace {

const QString kWindowStart = QStringLiteral("02:30:00 pm");
const QString kWindowEnd = QStringLiteral("03:00:00 pm");

QByteArray timerLine(const QString& text) {
    return ("#" + kWindowStart + "#, \"" + text + "\"\r\n").toUtf8();
}

} // namespace

class TestEngineFaults : public QObject {
    Q_OBJECT
private slots:
    // The disk fills up in the middle of a registration: the timer file keeps its complete
    // lines only, so every entry registered before and after is still read.
    void timerLineCutByAFullDisk() {
        EngineRig rig(QTime(10, 0));
        PrivateTmpfs fs(16 * 1024, rig.folder.path());
        TMPFS_OR_SKIP(fs);
        rig.due(QStringLiteral("Garage"), 0, QStringLiteral("Call the garage"), kWindowStart,
                kWindowEnd);
        const QByteArray garage = fs.read(QStringLiteral("Garage.tvr"));
        // 15 lines of 259 bytes: the timer file's block has 211 bytes left.
        QByteArray lines;
        for (int i = 0; i < 15; ++i)
            lines += timerLine(QString(240, QChar(u'a' + i)));
        rig.folder.write(QStringLiteral("Timerfile"), lines);
        QVERIFY(fs.fill(QStringLiteral("filler")) > 0);
        const QStringList before = fs.entries();

        StartupAndRoutines& e = rig.engine;
        const QString longText(250, QLatin1Char('z'));
        e.CurrentMessage = {rig.day(0), longText,     QStringLiteral("0"),
                            rig.day(0), kWindowStart, kWindowEnd};
        e.CheckTime();
        QCOMPARE(rig.texts(), QStringList{genericText(QStringLiteral("61 - Disk full"),
                                                      QStringLiteral("writeTimerTempfile"))});
        QCOMPARE(rig.titles(), QStringList{QStringLiteral("Error")});
        QCOMPARE(fs.read(QStringLiteral("Timerfile")), lines);
        QCOMPARE(fs.read(QStringLiteral("Garage.tvr")), garage);
        QCOMPARE(fs.entries(), before);
        QVERIFY(e.ReadTimerFile());
        QCOMPARE(e.timerEntryCount, 15);

        // With room again the next registration lands after the last complete line.
        QVERIFY(QFile::remove(fs.file(QStringLiteral("filler"))));
        e.CurrentMessage = {rig.day(0), longText,     QStringLiteral("0"),
                            rig.day(0), kWindowStart, kWindowEnd};
        e.CheckTime();
        QCOMPARE(rig.dialogs.boxes.size(), 1);
        QCOMPARE(fs.read(QStringLiteral("Timerfile")), lines + timerLine(longText));
        QCOMPARE(e.timerEntryCount, 16);
        QCOMPARE(e.timerEntries.at(15).text, longText);
        QVERIFY(rig.window.timerMessageEnabled);
        QCOMPARE(rig.ends, 0);
    }

    // Start-up on a full disk: what can be shown is shown; the registration and the old-message
    // line fail with their boxes and leave no scratch file behind.
    void startUpOnAFullDisk() {
        EngineRig rig(QTime(10, 0));
        PrivateTmpfs fs(16 * 1024, rig.folder.path());
        TMPFS_OR_SKIP(fs);
        rig.due(QStringLiteral("A now"), 0, QStringLiteral("Shown now"));
        rig.due(QStringLiteral("B later"), 0, QString(250, QLatin1Char('b')), kWindowStart,
                kWindowEnd);
        rig.due(QStringLiteral("C old"), -40, QStringLiteral("Long gone"));
        QVERIFY(fs.fill(QStringLiteral("filler")) > 0);
        const QStringList before = fs.entries();
        QByteArray filesBefore;
        for (const QString& name : ListMessageFiles(fs.path()))
            filesBefore += fs.read(name);

        QCOMPARE(rig.engine.Main(false), StartupAndRoutines::MainResult::Running);
        QCOMPARE(rig.texts(), (QStringList{dueBoxText(QStringLiteral("Shown now"), rig.day(0)),
                                           genericText(QStringLiteral("61 - Disk full"),
                                                       QStringLiteral("writeTimerTempfile")),
                                           genericText(QStringLiteral("61 - Disk full"),
                                                       QStringLiteral("sub Main"))}));
        QCOMPARE(rig.window.savedMessages,
                 (QStringList{QStringLiteral("A now"), QStringLiteral("B later"),
                              QStringLiteral("C old")}));
        QCOMPARE(fs.entries(), before);
        QByteArray filesAfter;
        for (const QString& name : ListMessageFiles(fs.path()))
            filesAfter += fs.read(name);
        QCOMPARE(filesAfter, filesBefore);
        QCOMPARE(rig.ends, 0);
    }

    // A read-only program folder at start-up: the previous run's timer file cannot be deleted.
    // Main reports it with its generic box and, the window never having been touched, ends.
    void startUpInAReadOnlyFolderWithAStaleTimerFile() {
        EngineRig rig(QTime(10, 0));
        PrivateTmpfs fs(16 * 1024, rig.folder.path());
        TMPFS_OR_SKIP(fs);
        rig.due(QStringLiteral("A now"), 0, QStringLiteral("Shown now"));
        rig.folder.write(QStringLiteral("Timerfile"), timerLine(QStringLiteral("old")));
        QVERIFY(fs.remountReadOnly());
        const QStringList before = fs.entries();

        QCOMPARE(rig.engine.Main(false), StartupAndRoutines::MainResult::Ended);
        QCOMPARE(rig.texts(), QStringList{genericText(QStringLiteral("70 - Permission denied"),
                                                      QStringLiteral("sub Main"))});
        QCOMPARE(fs.entries(), before);
        QCOMPARE(rig.ends, 0);
    }

    void startUpInAReadOnlyFolder() {
        EngineRig rig(QTime(10, 0));
        PrivateTmpfs fs(16 * 1024, rig.folder.path());
        TMPFS_OR_SKIP(fs);
        rig.due(QStringLiteral("A now"), 0, QStringLiteral("Shown now"));
        rig.due(QStringLiteral("B later"), 0, QStringLiteral("Later"), kWindowStart, kWindowEnd);
        rig.due(QStringLiteral("C old"), -40, QStringLiteral("Long gone"));
        QVERIFY(fs.remountReadOnly());
        const QStringList before = fs.entries();

        QCOMPARE(rig.engine.Main(false), StartupAndRoutines::MainResult::Running);
        QCOMPARE(rig.texts(), (QStringList{dueBoxText(QStringLiteral("Shown now"), rig.day(0)),
                                           genericText(QStringLiteral("70 - Permission denied"),
                                                       QStringLiteral("writeTimerTempfile")),
                                           genericText(QStringLiteral("70 - Permission denied"),
                                                       QStringLiteral("sub Main"))}));
        QCOMPARE(fs.entries(), before);
        QCOMPARE(rig.ends, 0);
    }

    // The change of day in a read-only folder: the daily routine's own box, never an end.
    void newDayInAReadOnlyFolder() {
        EngineRig rig(QTime(0, 20));
        PrivateTmpfs fs(16 * 1024, rig.folder.path());
        TMPFS_OR_SKIP(fs);
        rig.due(QStringLiteral("A now"), 0, QStringLiteral("Shown now"));
        rig.folder.write(QStringLiteral("Timerfile"), timerLine(QStringLiteral("yesterday")));
        QVERIFY(fs.remountReadOnly());
        const QStringList before = fs.entries();

        rig.engine.NewRoutine();
        QCOMPARE(rig.texts(), QStringList{genericText(QStringLiteral("70 - Permission denied"),
                                                      QStringLiteral("NewRoutine"))});
        QCOMPARE(fs.entries(), before);
        QCOMPARE(rig.ends, 0);
    }
};

QTEST_GUILESS_MAIN(TestEngineFaults)
#include "tst_enginefaults.moc"
