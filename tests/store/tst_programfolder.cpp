#include "FileText.h"
#include "ProgramError.h"
#include "ProgramFolder.h"
#include "TempProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringEncoder>
#include <QTest>

using namespace tavrel;
using tavrel::test::TempProgramFolder;

class TestProgramFolder : public QObject {
    Q_OBJECT
private slots:
    void programFolderIsTheExecutablesFolder() {
        const QString folder = ProgramFolder();
        // In the platform's own form: a backslash at the end on Windows.
        QCOMPARE(folder, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) +
                             QDir::separator());
        // Not the current directory.
        TempProgramFolder elsewhere;
        QCOMPARE(ProgramFolder(), folder);
    }

    void trailingSeparator_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("result");
        QTest::newRow("plain") << "/opt/tools/reminder"
                               << "/opt/tools/reminder/";
        QTest::newRow("already ends in one") << "/opt/tools/"
                                             << "/opt/tools/";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("drive root") << "D:/"
                                    << "D:/";
        if (QDir::separator() == QLatin1Char('\\')) {
            QTest::newRow("Windows form") << "C:\\Tools\\Reminder"
                                          << "C:\\Tools\\Reminder\\";
            QTest::newRow("Windows drive root") << "D:\\"
                                                << "D:\\";
        }
    }
    void trailingSeparator() {
        QFETCH(QString, dir);
        QFETCH(QString, result);
        QCOMPARE(WithTrailingSeparator(dir), QDir::toNativeSeparators(result));
    }

    void fileExists() {
        TempProgramFolder folder;
        folder.write(QStringLiteral("present.tvr"), "x");
        folder.write(QStringLiteral("empty"), {});
        QDir(folder.path()).mkdir(QStringLiteral("Folder"));
        QVERIFY(FileExists(folder.file(QStringLiteral("present.tvr"))));
        QVERIFY(FileExists(folder.file(QStringLiteral("empty"))));
        QVERIFY(!FileExists(folder.file(QStringLiteral("missing.tvr"))));
        QVERIFY(!FileExists(folder.file(QStringLiteral("Folder"))));
        QVERIFY(!FileExists(folder.file(QStringLiteral("present.tvr/below"))));
        QVERIFY(!FileExists(QString()));
    }

    void deleteTempFile() {
        TempProgramFolder folder;
        DeleteTempFile(folder.path()); // nothing there: nothing happens
        folder.write(QStringLiteral("Temp"), "\"x\"\r\n");
        folder.write(QStringLiteral("Temp.tvr"), "y");
        DeleteTempFile(folder.path());
        QCOMPARE(folder.entries(), QStringList{QStringLiteral("Temp.tvr")});
        QVERIFY(DeleteIfExists(folder.file(QStringLiteral("Temp.tvr"))));
        QVERIFY(!DeleteIfExists(folder.file(QStringLiteral("Temp.tvr"))));
        // A folder named like the file is not "the file": left alone.
        QDir(folder.path()).mkdir(QStringLiteral("Temp"));
        DeleteTempFile(folder.path());
        QVERIFY(QFileInfo(folder.file(QStringLiteral("Temp"))).isDir());
    }

    void listMessageFiles() {
        TempProgramFolder folder;
        for (const char* name : {"b.tvr", "A.tvr", "a b.tvr", "c.txt", "d.tvr.bak", "tvr", "E.TVR",
                                 "Timerfile", "Temp"})
            folder.write(QString::fromLatin1(name), "x");
        QDir(folder.path()).mkdir(QStringLiteral("Folder.tvr"));
        QCOMPARE(ListMessageFiles(folder.path()), (QStringList{"a b.tvr", "A.tvr", "b.tvr"}));
        TempProgramFolder empty;
        QVERIFY(ListMessageFiles(empty.path()).isEmpty());
    }

    void tempLines() {
        TempProgramFolder folder;
        QCOMPARE(TempLineText(QStringLiteral("19-8-2003"), QStringLiteral("Dentist")),
                 QStringLiteral("-Message dated 19-8-2003 description: Dentist"));
        const QString first = TempLineText(QStringLiteral("1-6-2003"), QStringLiteral("Old one"));
        const QString second =
            TempLineText(QStringLiteral("11-6-2003"), QStringLiteral("Caf\u00e9, older"));
        AppendTempLine(folder.path(), first);
        AppendTempLine(folder.path(), second);
        // In the system's code page: UTF-8 here, the ANSI code page on Windows.
        QStringEncoder system(QStringConverter::System);
        QCOMPARE(folder.read(kTempFileName), "\"" + QByteArray(system.encode(first)) + "\"\r\n\"" +
                                                 QByteArray(system.encode(second)) + "\"\r\n");
        QCOMPARE(ReadTempLines(folder.path()), (QStringList{first, second}));
        DeleteTempFile(folder.path());
        QVERIFY(folder.entries().isEmpty());
    }

    void tempFailures() {
        TempProgramFolder folder;
        try {
            ReadTempLines(folder.path());
            QFAIL("no error");
        } catch (const ProgramError& e) {
            QCOMPARE(e.code(), 53);
        }
        folder.write(QStringLiteral("plain"), "x");
        QVERIFY_THROWS_EXCEPTION(ProgramError, AppendTempLine(folder.file(QStringLiteral("plain/")),
                                                              QStringLiteral("line")));
    }

    void fileTextDecoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("plain") << QStringLiteral("plain");
        // On Windows files are in the ANSI code page, never UTF-8.
        if (UnencodableFileChars(QStringLiteral("\u4e2d")).isEmpty())
            QTest::newRow("utf-8")
                << QByteArray("caf\xc3\xa9 \xe2\x82\xac") << QStringLiteral("caf\u00e9 \u20ac");
        QTest::newRow("1252 letters")
            << QByteArray("caf\xe9 na\xefve \xdf") << QStringLiteral("caf\u00e9 na\u00efve \u00df");
        QTest::newRow("1252 0x80-0x9f")
            << QByteArray("\x80\x85\x8a\x91\x92\x96\x99\x9f")
            << QStringLiteral("\u20ac\u2026\u0160\u2018\u2019\u2013\u2122\u0178");
        QTest::newRow("1252 unassigned bytes") << QByteArray("\x81\x8d\x8f\x90\x9d")
                                               << QStringLiteral("\u0081\u008d\u008f\u0090\u009d");
        QTest::newRow("overlong utf-8 is not utf-8")
            << QByteArray("\xc0\xaf") << QStringLiteral("\u00c0\u00af");
        QTest::newRow("utf-8 cut mid-character")
            << QByteArray("ok\xc3") << QStringLiteral("ok\u00c3");
    }
    void fileTextDecoding() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(DecodeFileText(bytes), text);
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
