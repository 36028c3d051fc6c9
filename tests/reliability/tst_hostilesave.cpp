// Hostile descriptions and texts through the composer's save and a restart: whatever the user
// types, the save either refuses with one box and changes nothing, or writes exactly one file
// inside the program folder that the next start lists under the same description. Nothing is
// ever created outside the folder. (The refusal boxes themselves are tested with the composer.)
#include "../ui/composer/ComposerFixture.h"
#include "ComposerLineEdit.h"
#include "MessageTextEdit.h"

#include <QComboBox>
#include <QDir>
#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

class TestHostileSave : public QObject {
    Q_OBJECT
private slots:
    void descriptions_data() {
        QTest::addColumn<QString>("description");
        for (const char* d : {"../escape", "..", ".", ".hidden", "a/b", "/etc/passwd", "a\\b",
                              "..\\..\\x", "C:x", "  padded  ", "   ", "x.tvr", "%s%n", "*"})
            QTest::newRow(d) << QString::fromUtf8(d);
        QTest::newRow("controls") << QStringLiteral("a\tb") + QChar(1) + QChar(0x7f);
        QTest::newRow("line break") << QStringLiteral("two\r\nlines");
        QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        QTest::newRow("300 bytes") << QString(300, QLatin1Char('n'));
        QTest::newRow("accents") << QStringLiteral("Zahn\u00e4rztin \u00e0 R\u00f8ros");
        QTest::newRow("emoji") << QStringLiteral("\U0001F9B7");
    }
    void descriptions() {
        QFETCH(QString, description);
        ComposerFixture f;
        const QStringList aroundBefore = f.folder.escapedEntries();
        frmmain& w = f.load();
        f.compose(description, QStringLiteral("Hello"), 5);
        w.cmdSaveMessage_Click();
        QCOMPARE(f.folder.escapedEntries(), aroundBefore);

        const QStringList files = f.folder.entries();
        if (files.isEmpty()) {
            QCOMPARE(f.dialogs.boxes.size(), 1);
            QVERIFY(f.listEntries().isEmpty());
            return;
        }
        if (!f.dialogs.boxes.isEmpty())
            QFAIL(qPrintable(f.dialogs.boxes.first().text));
        QCOMPARE(files, QStringList{description + QStringLiteral(".tvr")});

        // The next start finds it under the same description.
        f.restart();
        f.dialogs.boxes.clear();
        QCOMPARE(f.engine->Main(false), StartupAndRoutines::MainResult::Running);
        QCOMPARE(f.listEntries(), QStringList{description});
        QCOMPARE(f.folder.escapedEntries(), aroundBefore);
    }

    void texts_data() {
        QTest::addColumn<QString>("text");
        QString lines;
        while (lines.size() < 250)
            lines +=
                QStringLiteral("line ") + QString::number(lines.size()) + QStringLiteral("\r\n");
        QTest::newRow("250 with line breaks") << lines.left(250);
        QTest::newRow("quote") << QStringLiteral("say \"hi\"");
        QTest::newRow("controls") << QString(QChar(7)) + QChar(0x1b) + QStringLiteral("[2J");
        QTest::newRow("right-to-left override") << QStringLiteral("\u202eevil\u202c");
    }
    // Saved and shown back exactly on its day, or refused with nothing on disk.
    void texts() {
        QFETCH(QString, text);
        ComposerFixture f;
        frmmain& w = f.load();
        f.compose(QStringLiteral("Note"), text, 1);
        w.cmdSaveMessage_Click();
        if (f.folder.entries().isEmpty()) {
            QCOMPARE(f.dialogs.boxes.size(), 1);
            return;
        }
        QVERIFY(f.dialogs.boxes.isEmpty());
        f.clock.set(f.clock.now().addDays(1));
        f.restart();
        f.engine->Main(false);
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes.first().text, text + QStringLiteral("\r\n\r\n[ Final message: ") +
                                                   f.day(0) + QStringLiteral(" ]"));
    }
};

QTEST_MAIN(TestHostileSave)
#include "tst_hostilesave.moc"
