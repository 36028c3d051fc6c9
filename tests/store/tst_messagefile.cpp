#include "DateText.h"
#include "ErrorCode.h"
#include "FailDevice.h"
#include "FileOps.h"
#include "MessageFile.h"
#include "ProgramError.h"
#include "ProgramFolder.h"
#include "TempProgramFolder.h"

#include <QStringEncoder>
#include <QTest>
#include <csignal>
#if __has_include(<sys/resource.h>)
#include <sys/resource.h>
#define TAVREL_HAVE_RLIMIT 1
#endif

using namespace tavrel;
using tavrel::test::ErrorCodeOf;
using tavrel::test::FailDevice;
using tavrel::test::TempProgramFolder;

namespace {

MessageRecord buyMilk() {
    const DateText dates(QLocale(QLocale::English, QLocale::UnitedKingdom),
                         QStringLiteral("d-M-yyyy"));
    const QDate due(2003, 8, 21);
    const QString noWindow = DateText::ampmTime(QTime(0, 0));
    return {dates.shortDate(due),
            QStringLiteral("Buy milk"),
            QStringLiteral("2"),
            dates.shortDate(due.addDays(-2)),
            noWindow,
            noWindow};
}

const QByteArray kBuyMilkBytes =
    "\"21-8-2003\",\"Buy milk\",\"2\",\"19-8-2003\",\"12:00:00 am\",\"12:00:00 am\"\r\n";

MessageRecord record(const QString& text, const QString& start = QStringLiteral("12:00:00 am"),
                     const QString& end = QStringLiteral("12:00:00 am")) {
    return {QStringLiteral("21-8-2003"), text,  QStringLiteral("0"),
            QStringLiteral("21-8-2003"), start, end};
}

} // namespace

class TestMessageFile : public QObject {
    Q_OBJECT
private slots:
    void buyMilkIsWrittenByteForByte() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("Buy milk.tvr"));
        WriteMessageFile(path, buyMilk());
        QCOMPARE(folder.read(QStringLiteral("Buy milk.tvr")), kBuyMilkBytes);
        QCOMPARE(folder.entries(), QStringList{QStringLiteral("Buy milk.tvr")});

        MessageRecord back;
        ReadMessageFile(path, back);
        QCOMPARE(back, buyMilk());
    }

    void timeWindowIsStoredAsAmPm() {
        const MessageRecord r =
            record(QStringLiteral("Call the garage"), DateText::ampmTime(QTime(14, 30)),
                   DateText::ampmTime(QTime(15, 0)));
        QVERIFY(EncodeMessageRecord(r).endsWith("\"02:30:00 pm\",\"03:00:00 pm\"\r\n"));
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("commas") << QStringLiteral("eggs, milk,, bread,");
        QTest::newRow("line breaks") << QStringLiteral("first line\r\nsecond, line\r\n\r\nlast");
        QTest::newRow("leading and trailing blanks") << QStringLiteral("  padded  ");
        QTest::newRow("empty") << QString();
        QTest::newRow("accents") << QStringLiteral("Caf\u00e9 \u20ac5 na\u00efve");
        QTest::newRow("hash and quotes-free punctuation") << QStringLiteral("#1: 'a' & b; c#");
    }
    void roundTrip() {
        QFETCH(QString, text);
        TempProgramFolder folder;
        const MessageRecord r = record(text);
        WriteMessageFile(folder.file(QStringLiteral("m.tvr")), r);
        const QByteArray bytes = folder.read(QStringLiteral("m.tvr"));
        // In the system's code page: UTF-8 here, the ANSI code page on Windows.
        QCOMPARE(bytes, "\"21-8-2003\",\"" +
                            QByteArray(QStringEncoder(QStringConverter::System).encode(text)) +
                            "\",\"0\",\"21-8-2003\",\"12:00:00 am\",\"12:00:00 am\"\r\n");
        MessageRecord back;
        ReadMessageFile(folder.file(QStringLiteral("m.tvr")), back);
        QCOMPARE(back, r);
    }

    void parse_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("endTime");
        const QByteArray one = "\"1-1-2020\",\"first\",\"0\",\"1-1-2020\",\"a\",\"b\"\r\n";
        const QByteArray two = "\"2-2-2020\",\"second\",\"0\",\"2-2-2020\",\"c\",\"d\"\r\n";
        QTest::newRow("one record") << one << 0 << "first"
                                    << "b";
        QTest::newRow("two records: the second wins") << one + two << 0 << "second"
                                                      << "d";
        QTest::newRow("no final line break") << one.chopped(2) << 0 << "first"
                                             << "b";
        QTest::newRow("bare LF line ends") << one.chopped(2) + "\n"
                                           << 0 << "first"
                                           << "b";
        QTest::newRow("unquoted fields, blanks trimmed")
            << QByteArray("  1-1-2020 ,plain text  ,0,1-1-2020,x,  y  \r\n") << 0 << "plain text"
            << "y";
        QTest::newRow("junk after a closing quote is passed over")
            << QByteArray("\"1-1-2020\"junk,\"t\",\"0\",\"1-1-2020\",\"a\",\"b\"  \r\n") << 0 << "t"
            << "b";
        QTest::newRow("five fields")
            << QByteArray("\"1-1-2020\",\"t\",\"0\",\"1-1-2020\",\"a\"\r\n") << 62 << ""
            << "";
        QTest::newRow("cut inside the text") << one.left(18) << 62 << ""
                                             << "";
        QTest::newRow("cut inside the last field") << one.left(one.size() - 4) << 62 << ""
                                                   << "";
        QTest::newRow("blank line after the record") << one + "\r\n"
                                                     << 62 << ""
                                                     << "";
        QTest::newRow("incomplete further line") << one + "\"3-3-2020\",\"x\"\r\n"
                                                 << 62 << ""
                                                 << "";
        QTest::newRow("empty file") << QByteArray() << 62 << ""
                                    << "";
        QTest::newRow("only a line break") << QByteArray("\r\n") << 62 << ""
                                           << "";
    }
    void parse() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(QString, endTime);
        const MessageRecord before = record(QStringLiteral("previous"));
        MessageRecord into = before;
        QCOMPARE(ErrorCodeOf([&] { ParseMessageRecords(bytes, into); }), code);
        if (code == 0) {
            QCOMPARE(into.messageText, text);
            QCOMPARE(into.endTime, endTime);
        } else {
            // A corrupted or empty file never leaves half a record behind.
            QCOMPARE(into, before);
        }
    }

    void windows1252BytesAreDecoded() {
        MessageRecord into;
        ParseMessageRecords(
            "\"1-1-2020\",\"Caf\xe9 \x80 \x93ok\x94\",\"0\",\"1-1-2020\",\"a\",\"b\"\r\n", into);
        QCOMPARE(into.messageText, QStringLiteral("Caf\u00e9 \u20ac \u201cok\u201d"));
    }

    void readFailures() {
        TempProgramFolder folder;
        QDir(folder.path()).mkdir(QStringLiteral("Folder.tvr"));
        MessageRecord into;
        QCOMPARE(
            ErrorCodeOf([&] { ReadMessageFile(folder.file(QStringLiteral("none.tvr")), into); }),
            53);
        QCOMPARE(
            ErrorCodeOf([&] { ReadMessageFile(folder.file(QStringLiteral("Folder.tvr")), into); }),
            53);
        folder.write(QStringLiteral("Empty.tvr"), {});
        QCOMPARE(
            ErrorCodeOf([&] { ReadMessageFile(folder.file(QStringLiteral("Empty.tvr")), into); }),
            62);
    }

    void bareNameIsReadFromTheCurrentDirectory() {
        TempProgramFolder folder;
        folder.write(QStringLiteral("Dentist.tvr"), kBuyMilkBytes);
        const QStringList listed = ListMessageFiles(folder.path());
        QCOMPARE(listed, QStringList{QStringLiteral("Dentist.tvr")});
        QCOMPARE(listed.first().chopped(4), QStringLiteral("Dentist"));
        MessageRecord into;
        ReadMessageFile(listed.first(), into);
        QCOMPARE(into, buyMilk());
    }

    void savingOverAMessageLeavesOneLine() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("Dentist.tvr"));
        WriteMessageFile(path, record(QStringLiteral("a much longer first text, with commas")));
        WriteMessageFile(path, buyMilk());
        const QByteArray bytes = folder.read(QStringLiteral("Dentist.tvr"));
        QCOMPARE(bytes, kBuyMilkBytes);
        QCOMPARE(bytes.count("\r\n"), 1);
        QCOMPARE(folder.entries(), QStringList{QStringLiteral("Dentist.tvr")});
    }

    // Whatever byte the disk gives out at, the previous file survives unchanged and no
    // temporary file is left in the folder.
    void failedWriteKeepsThePreviousFile() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("Dentist.tvr"));
        WriteMessageFile(path, buyMilk());
        const QByteArray next = EncodeMessageRecord(record(QStringLiteral("replacement")));
        for (qint64 budget = 0; budget < next.size(); ++budget) {
            const int code = ErrorCodeOf([&] {
                ReplaceFileAtomically(path, next, [budget](QIODevice& file) {
                    return std::make_unique<FailDevice>(file, budget);
                });
            });
            QCOMPARE(code, 61);
            QCOMPARE(folder.read(QStringLiteral("Dentist.tvr")), kBuyMilkBytes);
            QCOMPARE(folder.entries(), QStringList{QStringLiteral("Dentist.tvr")});
        }
        // With room for every byte the same path completes.
        ReplaceFileAtomically(path, next, [&next](QIODevice& file) {
            return std::make_unique<FailDevice>(file, next.size());
        });
        QCOMPARE(folder.read(QStringLiteral("Dentist.tvr")), next);
    }

    // The same through the real file system: the process may not grow any file past 64 bytes,
    // so the save fails when the data is flushed at commit time.
    void fileSizeLimitKeepsThePreviousFile() {
#ifdef TAVREL_HAVE_RLIMIT
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("Dentist.tvr"));
        WriteMessageFile(path, buyMilk());
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit limited = old;
        limited.rlim_cur = 64;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const int code =
            ErrorCodeOf([&] { WriteMessageFile(path, record(QString(200, QLatin1Char('x')))); });
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(code, 61);
        QCOMPARE(folder.read(QStringLiteral("Dentist.tvr")), kBuyMilkBytes);
        QCOMPARE(folder.entries(), QStringList{QStringLiteral("Dentist.tvr")});
#else
        QSKIP("no file size limit on this system");
#endif
    }

    void failedFirstWriteLeavesNoFile() {
        TempProgramFolder folder;
        const QByteArray bytes = EncodeMessageRecord(buyMilk());
        QCOMPARE(ErrorCodeOf([&] {
                     ReplaceFileAtomically(
                         folder.file(QStringLiteral("New.tvr")), bytes, [](QIODevice& file) {
                             return std::make_unique<FailDevice>(file, 10, EACCES);
                         });
                 }),
                 70);
        QVERIFY(folder.entries().isEmpty());
    }

    void unwritablePlaces() {
        TempProgramFolder folder;
        folder.write(QStringLiteral("plain"), "not a folder");
        QDir(folder.path()).mkdir(QStringLiteral("Folder.tvr"));
        const QStringList before = folder.entries();

        // The parent is a regular file: the temporary file cannot even be created.
        QCOMPARE(ErrorCodeOf([&] {
                     WriteMessageFile(folder.file(QStringLiteral("plain/x.tvr")), buyMilk());
                 }),
                 75);
        // A folder of that name cannot be replaced by a file.
        QVERIFY(ErrorCodeOf([&] {
                    WriteMessageFile(folder.file(QStringLiteral("Folder.tvr")), buyMilk());
                }) != 0);
        QCOMPARE(folder.entries(), before);
        QVERIFY(QFileInfo(folder.file(QStringLiteral("Folder.tvr"))).isDir());
        QCOMPARE(folder.read(QStringLiteral("plain")), QByteArray("not a folder"));

        // The system would cut the name at the NUL and save "a" instead of "a\0b.tvr".
        QCOMPARE(ErrorCodeOf([&] {
                     WriteMessageFile(
                         folder.file(QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b.tvr")),
                         buyMilk());
                 }),
                 52);
        QCOMPARE(folder.entries(), before);
    }

    void fileErrorCodes_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("systemError");
        QTest::addColumn<int>("code");
        QTest::newRow("no space") << int(QFileDevice::WriteError) << ENOSPC << 61;
        QTest::newRow("file too large") << int(QFileDevice::WriteError) << EFBIG << 61;
        QTest::newRow("resource, no errno") << int(QFileDevice::ResourceError) << 0 << 61;
        QTest::newRow("access") << int(QFileDevice::OpenError) << EACCES << 70;
        QTest::newRow("read-only file system") << int(QFileDevice::OpenError) << EROFS << 70;
        QTest::newRow("not a folder") << int(QFileDevice::OpenError) << ENOTDIR << 75;
        QTest::newRow("rename") << int(QFileDevice::RenameError) << 0 << 75;
    }
    void fileErrorCodes() {
        QFETCH(int, error);
        QFETCH(int, systemError);
        QFETCH(int, code);
        QCOMPARE(FileErrorCode(static_cast<QFileDevice::FileError>(error), systemError), code);
    }
};

QTEST_GUILESS_MAIN(TestMessageFile)
#include "tst_messagefile.moc"
