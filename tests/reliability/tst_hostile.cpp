// Hostile names and texts at the store and engine level: whatever stands in the program
// folder, start-up and the change of day list, read and show it or give a clear box, and no
// file appears outside the folder.
#include "../engine/EngineRig.h"
#include "MessageFile.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <sys/stat.h>

using namespace tavrel;
using namespace tavrel::test;

namespace {

const QString kNoWindow = QStringLiteral("12:00:00 am");

} // namespace

class TestHostile : public QObject {
    Q_OBJECT
private slots:
    // Descriptions that may reach the disk (the composer refuses the rest): each is written as
    // one file in the folder, listed under exactly its own text and shown at start-up.
    void descriptions_data() {
        QTest::addColumn<QString>("description");
        QTest::newRow("dot dot") << QStringLiteral("..");
        QTest::newRow("dot") << QStringLiteral(".");
        QTest::newRow("dots") << QStringLiteral("...");
        QTest::newRow("leading dot dot") << QStringLiteral("..hidden");
        QTest::newRow("blanks around") << QStringLiteral("  Dentist  ");
        QTest::newRow("blanks only") << QStringLiteral("   ");
        QTest::newRow("tab and controls")
            << QStringLiteral("a\tb") + QChar(1) + QChar(0x1b) + QStringLiteral("[31m");
        QTest::newRow("line breaks") << QStringLiteral("two\r\nlines\n");
        QTest::newRow("accents") << QStringLiteral("Zahn\u00e4rztin \u00e0 R\u00f8ros");
        QTest::newRow("other scripts")
            << QStringLiteral("\u65e5\u672c \u0645\u0631\u062d\u0628\u0627");
        QTest::newRow("emoji") << QStringLiteral("\U0001F9B7 check-up");
        QTest::newRow("200 bytes") << QString(200, QChar(u'\u00e9')).left(100);
        QTest::newRow("ends in .tvr") << QStringLiteral("x.tvr");
        QTest::newRow("percent and dollar") << QStringLiteral("%s %n $HOME `id`");
    }
    void descriptions() {
        QFETCH(QString, description);
        EngineRig rig(QTime(10, 0));
        const QStringList outsideBefore = rig.folder.escapedEntries();
        // Due today (its first day) and tomorrow (its final day): shown by both passes.
        const QString finalDate = rig.day(1);
        const MessageRecord r{finalDate,           QStringLiteral("Hello"),
                              QStringLiteral("1"), rig.day(0),
                              kNoWindow,           kNoWindow};
        WriteMessageFile(rig.folder.path() + description + QStringLiteral(".tvr"), r);
        QCOMPARE(rig.folder.entries(), QStringList{description + QStringLiteral(".tvr")});
        QCOMPARE(rig.folder.escapedEntries(), outsideBefore);

        QCOMPARE(rig.engine.Main(false), StartupAndRoutines::MainResult::Running);
        QCOMPARE(rig.window.savedMessages, QStringList{description});
        QCOMPARE(rig.texts(), QStringList{dueBoxText(QStringLiteral("Hello"), finalDate)});
        rig.dialogs.boxes.clear();
        rig.onDay(8);
        rig.engine.NewRoutine();
        QCOMPARE(rig.texts(), QStringList{dueBoxText(QStringLiteral("Hello"), finalDate)});
        QCOMPARE(rig.folder.escapedEntries(), outsideBefore);
    }

    // Names the file system cannot take: a clear error, nothing written anywhere.
    void unwritableDescriptions_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("code");
        QTest::newRow("300 bytes") << QString(300, QLatin1Char('n')) << int(PathFileAccessError);
        QTest::newRow("300 bytes of accents")
            << QString(150, QChar(u'\u00e9')) << int(PathFileAccessError);
        QTest::newRow("into a missing folder")
            << QStringLiteral("no/such") << int(PathFileAccessError);
    }
    void unwritableDescriptions() {
        QFETCH(QString, description);
        QFETCH(int, code);
        EngineRig rig(QTime(10, 0));
        const QStringList outsideBefore = rig.folder.escapedEntries();
        int got = 0;
        try {
            WriteMessageFile(rig.folder.path() + description + QStringLiteral(".tvr"),
                             MessageRecord{rig.day(0), QStringLiteral("x"), QStringLiteral("0"),
                                           rig.day(0), kNoWindow, kNoWindow});
        } catch (const ProgramError& e) {
            got = e.code();
        }
        QCOMPARE(got, code);
        QVERIFY(rig.folder.entries().isEmpty());
        QCOMPARE(rig.folder.escapedEntries(), outsideBefore);
    }

    // Texts the composer lets through come back byte for byte, from the message file and from
    // the timer file; a text with a quote (written by an older copy) gives a clear box.
    void texts_data() {
        QTest::addColumn<QString>("text");
        QString lines;
        while (lines.size() < 250)
            lines +=
                QStringLiteral("line, ") + QString::number(lines.size()) + QStringLiteral("\r\n");
        QTest::newRow("250 with line breaks") << lines.left(250);
        QTest::newRow("NUL inside")
            << QStringLiteral("before") + QChar(0) + QStringLiteral("after");
        QTest::newRow("only line breaks") << QStringLiteral("\r\n\r\n\r\n");
        QTest::newRow("hash and commas") << QStringLiteral("#12:00:00 am#, \"");
        QTest::newRow("controls") << QString(QChar(7)) + QChar(8) + QChar(0x7f) + QChar(0x9b);
        QTest::newRow("right-to-left mark") << QStringLiteral("\u202eevil\u202c");
    }
    void texts() {
        QFETCH(QString, text);
        EngineRig rig(QTime(10, 0));
        rig.due(QStringLiteral("Now"), 0, text);
        rig.due(QStringLiteral("Later"), 0, text, QStringLiteral("02:30:00 pm"),
                QStringLiteral("03:00:00 pm"));
        rig.engine.Main(false);
        if (text.contains(QLatin1Char('"'))) {
            // The quote ends the field early (the format has no escape; the composer refuses
            // it): the rest lands in the wrong fields or the file reads as corrupted. Either
            // way a box, and the pass is not broken.
            QVERIFY(!rig.dialogs.boxes.isEmpty());
            for (const QString& t : rig.texts())
                QVERIFY2(t == kCorruptedText ||
                             t == genericText(QStringLiteral("13 - Type mismatch"),
                                              QStringLiteral("sub Main")) ||
                             t.contains(QStringLiteral("[ Final message: ")),
                         qPrintable(t));
            return;
        }
        QCOMPARE(rig.texts(), QStringList{dueBoxText(text, rig.day(0))});
        QCOMPARE(rig.engine.timerEntryCount, 1);
        QCOMPARE(rig.engine.timerEntries.first().text, text);
        rig.at(14, 30, 5);
        rig.engine.ShowDueTimedMessages();
        QCOMPARE(rig.texts().last(), text);
    }

    // Things named "*.tvr" that are not message files: never opened, never a crash.
    void notMessageFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("dangling symlink") << QStringLiteral("dangling");
        QTest::newRow("symlink loop") << QStringLiteral("loop");
        QTest::newRow("symlink to a folder") << QStringLiteral("dirlink");
        QTest::newRow("symlink to /dev/zero") << QStringLiteral("zero");
        QTest::newRow("fifo") << QStringLiteral("fifo");
    }
    void notMessageFiles() {
        QFETCH(QString, kind);
        EngineRig rig(QTime(0, 20));
        // Its first day today, its final day tomorrow: shown by both passes.
        const QString finalDate = rig.day(1);
        rig.message(QStringLiteral("Real"), finalDate, QStringLiteral("Hello"), QStringLiteral("1"),
                    rig.day(0));
        const QString odd = rig.folder.file(QStringLiteral("Odd.tvr"));
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(odd));
        else if (kind == QLatin1String("dangling"))
            QVERIFY(QFile::link(rig.folder.file(QStringLiteral("gone")), odd));
        else if (kind == QLatin1String("loop"))
            QVERIFY(QFile::link(odd, odd));
        else if (kind == QLatin1String("dirlink"))
            QVERIFY(QFile::link(QDir::tempPath(), odd));
        else if (kind == QLatin1String("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), odd));
        else
            QCOMPARE(mkfifo(QFile::encodeName(odd).constData(), 0644), 0);

        QCOMPARE(rig.engine.Main(false), StartupAndRoutines::MainResult::Running);
        QCOMPARE(rig.window.savedMessages, QStringList{QStringLiteral("Real")});
        QCOMPARE(rig.texts(), QStringList{dueBoxText(QStringLiteral("Hello"), finalDate)});
        rig.dialogs.boxes.clear();
        const QString remembered = rig.day(0);
        rig.onDay(8);
        QVERIFY(rig.engine.CheckforNewDay(remembered));
        QCOMPARE(rig.texts(), QStringList{dueBoxText(QStringLiteral("Hello"), finalDate)});
        QCOMPARE(rig.ends, 0);
    }

    // Reading such a name directly (the composer's edit reads by name): file not found.
    void readingANonFile() {
        EngineRig rig(QTime(10, 0));
        QVERIFY(QDir().mkdir(rig.folder.file(QStringLiteral("Dir.tvr"))));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), rig.folder.file(QStringLiteral("Z.tvr"))));
        for (const char* n : {"Dir.tvr", "Z.tvr"}) {
            int code = 0;
            MessageRecord into;
            try {
                ReadMessageFile(QString::fromLatin1(n), into);
            } catch (const ProgramError& e) {
                code = e.code();
            }
            QVERIFY2(code == FileNotFound || code == InputPastEndOfFile, n);
        }
    }
};

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
