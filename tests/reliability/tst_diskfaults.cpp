// Real file-system failures, not simulated ones: a tmpfs of a few KB in a private mount
// namespace, filled up or remounted read-only. (A write that fails after N bytes is covered
// byte by byte in tst_messagefile.)
#include "ErrorCode.h"
#include "MessageFile.h"
#include "PrivateTmpfs.h"
#include "ProgramError.h"
#include "ProgramFolder.h"

#include <QTest>
#include <functional>

using namespace tavrel;
using tavrel::test::ErrorCodeOf;
using tavrel::test::PrivateTmpfs;

namespace {

const QByteArray kDentist =
    "\"21-8-2003\",\"Buy milk\",\"2\",\"19-8-2003\",\"12:00:00 am\",\"12:00:00 am\"\r\n";

MessageRecord replacement() {
    return {QStringLiteral("1-1-2030"),    QString(200, QLatin1Char('r')),
            QStringLiteral("0"),           QStringLiteral("1-1-2030"),
            QStringLiteral("12:00:00 am"), QStringLiteral("12:00:00 am")};
}

enum Fault { FullDisk, ReadOnly };

// Writes Dentist.tvr, then puts the fault in place.
bool makeFault(PrivateTmpfs& fs, Fault fault) {
    QFile f(fs.file(QStringLiteral("Dentist.tvr")));
    if (!f.open(QIODevice::WriteOnly) || f.write(kDentist) != kDentist.size())
        return false;
    f.close();
    if (fault == FullDisk)
        return fs.fill(QStringLiteral("filler")) > 0;
    return fs.remountReadOnly();
}

} // namespace

class TestDiskFaults : public QObject {
    Q_OBJECT
private:
    void faults() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("code");
        QTest::newRow("full disk") << int(FullDisk) << int(DiskFull);
        QTest::newRow("read-only folder") << int(ReadOnly) << int(PermissionDenied);
    }

private slots:
    void replacingAMessage_data() { faults(); }
    void replacingAMessage() {
        QFETCH(int, fault);
        QFETCH(int, code);
        PrivateTmpfs fs(16 * 1024);
        TMPFS_OR_SKIP(fs);
        QVERIFY(makeFault(fs, Fault(fault)));
        const QStringList before = fs.entries();

        const QString path = fs.file(QStringLiteral("Dentist.tvr"));
        QCOMPARE(ErrorCodeOf([&] { WriteMessageFile(path, replacement()); }), code);
        QCOMPARE(fs.read(QStringLiteral("Dentist.tvr")), kDentist);
        QCOMPARE(fs.entries(), before);
        // The message is still readable as it was.
        MessageRecord back;
        ReadMessageFile(QStringLiteral("Dentist.tvr"), back);
        QCOMPARE(back.messageText, QStringLiteral("Buy milk"));

        // Every further try fails the same way and changes nothing.
        for (int i = 0; i < 20; ++i)
            QCOMPARE(ErrorCodeOf([&] { WriteMessageFile(path, replacement()); }), code);
        QCOMPARE(fs.read(QStringLiteral("Dentist.tvr")), kDentist);
        QCOMPARE(fs.entries(), before);
    }

    void newMessage_data() { faults(); }
    void newMessage() {
        QFETCH(int, fault);
        QFETCH(int, code);
        PrivateTmpfs fs(16 * 1024);
        TMPFS_OR_SKIP(fs);
        QVERIFY(makeFault(fs, Fault(fault)));
        const QStringList before = fs.entries();
        QCOMPARE(ErrorCodeOf(
                     [&] { WriteMessageFile(fs.file(QStringLiteral("New.tvr")), replacement()); }),
                 code);
        QCOMPARE(fs.entries(), before);
        QCOMPARE(ListMessageFiles(fs.path()), QStringList{QStringLiteral("Dentist.tvr")});
    }

    // The start-up pass's scratch file: a failed append leaves "Temp" as it was, so a report
    // never reads half a line.
    void tempLine_data() { faults(); }
    void tempLine() {
        QFETCH(int, fault);
        QFETCH(int, code);
        PrivateTmpfs fs(16 * 1024);
        TMPFS_OR_SKIP(fs);
        const QString first = TempLineText(QStringLiteral("19-8-2003"), QStringLiteral("Dentist"));
        AppendTempLine(fs.path(), first);
        const QByteArray tempBefore = fs.read(kTempFileName);
        QVERIFY(makeFault(fs, Fault(fault)));
        const QStringList before = fs.entries();
        const QString longLine =
            TempLineText(QStringLiteral("1-1-2000"), QString(10000, QLatin1Char('x')));
        QCOMPARE(ErrorCodeOf([&] { AppendTempLine(fs.path(), longLine); }), code);
        QCOMPARE(fs.read(kTempFileName), tempBefore);
        QCOMPARE(fs.entries(), before);
        QCOMPARE(ReadTempLines(fs.path()), QStringList{first});
    }

    void tempLineOnAFullDiskWithoutTemp() {
        PrivateTmpfs fs(16 * 1024);
        TMPFS_OR_SKIP(fs);
        QVERIFY(makeFault(fs, FullDisk));
        const QStringList before = fs.entries();
        QCOMPARE(ErrorCodeOf([&] { AppendTempLine(fs.path(), QString(10000, QLatin1Char('x'))); }),
                 int(DiskFull));
        QCOMPARE(fs.entries(), before);
    }

    // Once there is room again the same save goes through: nothing was left in a broken state.
    void saveSucceedsOnceThereIsRoom() {
        PrivateTmpfs fs(16 * 1024);
        TMPFS_OR_SKIP(fs);
        QVERIFY(makeFault(fs, FullDisk));
        const QString path = fs.file(QStringLiteral("Dentist.tvr"));
        QCOMPARE(ErrorCodeOf([&] { WriteMessageFile(path, replacement()); }), int(DiskFull));
        QVERIFY(QFile::remove(fs.file(QStringLiteral("filler"))));
        WriteMessageFile(path, replacement());
        QCOMPARE(fs.read(QStringLiteral("Dentist.tvr")), EncodeMessageRecord(replacement()));
        QCOMPARE(fs.entries(), QStringList{QStringLiteral("Dentist.tvr")});
    }
};

QTEST_GUILESS_MAIN(TestDiskFaults)
#include "tst_diskfaults.moc"
