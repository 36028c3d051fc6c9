#include "ComposerFixture.h"
#include "ComposerLineEdit.h"
#include "MessageFile.h"
#include "MessageTextEdit.h"
#include "PrivateTmpfs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

namespace {

struct Snapshot {
    QStringList files;
    QStringList parentFiles;
    QStringList entries;
    QList<bool> buttons;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(ComposerFixture& f) {
    frmmain& w = *f.window;
    QDir parent(f.folder.path());
    parent.cdUp();
    return Snapshot{f.folder.entries(),
                    parent.entryList(QDir::Files),
                    f.listEntries(),
                    {w.cmdSaveMessage->isEnabled(), w.cmdOptional->isEnabled(),
                     w.cmdEdit->isEnabled(), w.cmdDelete->isEnabled()}};
}

QByteArray fileBytes(const MessageRecord& r) {
    return EncodeMessageRecord(r);
}

} // namespace

class TestComposerSave : public QObject {
    Q_OBJECT

private slots:
    // Every refusal shows its box and leaves disk, list and buttons as they were.
    void refusals_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("due");
        QTest::addColumn<int>("prior");
        QTest::addColumn<QString>("boxText");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("focus");

        const QString box3 = QStringLiteral("The following characters are not allowed in a "
                                            "description: \r\n\\ / : * ? \" < > |");
        QTest::newRow("placeholder description")
            << "Alter this..."
            << "text" << -1 << 0 << "Enter a short description for your message here..."
            << "Be poetic..."
            << "txtMessageName";
        QTest::newRow("placeholder text") << "Dentist"
                                          << "Alter this..." << -1 << 0 << "Enter your message"
                                          << "Be poetic..."
                                          << "txtmessage";
        QTest::newRow("quote in text") << "a/b"
                                       << "say \"hi\"" << 5 << 0
                                       << "The following character is not allowed in a "
                                          "message: \r\n\""
                                       << "Snorry!"
                                       << "txtmessage";
        for (const char* bad : {"../x", "a/b", "con:", "\"", "a\\b", "*?", "<>", "|"})
            QTest::newRow(bad) << bad << "text" << -1 << 0 << box3 << "Snorry!"
                               << "txtMessageName";
        // A NUL would cut the file name short: "a" instead of "a<NUL>b.tvr".
        QTest::newRow("nul") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << "text" << 5
                             << 0 << box3 << "Snorry!"
                             << "txtMessageName";
        QTest::newRow("tab") << QStringLiteral("a\tb") << "text" << 5 << 0 << box3 << "Snorry!"
                             << "txtMessageName";
        QTest::newRow("due yesterday before prior")
            << "Dentist"
            << "text" << -1 << 3
            << "The DATE setting is incorrect. (Date is in the past) Please adjust. "
            << "Don't look back: look ahead!"
            << "cmdcalendar";
        QTest::newRow("due in 3, 5 prior")
            << "Dentist"
            << "text" << 3 << 5
            << "The PRIOR DAYS setting is incorrect. (Date is in the past) Please adjust. "
            << "Don't look back: look ahead!"
            << "txtDaysprior";
    }
    void refusals() {
        QFETCH(QString, description);
        QFETCH(QString, text);
        QFETCH(int, due);
        QFETCH(int, prior);
        QFETCH(QString, focus);
        ComposerFixture f;
        f.writeMessage(QStringLiteral("Milk"), f.record(4));
        frmmain& w = f.load();
        w.addSavedMessage(QStringLiteral("Milk"));
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        f.compose(description, text, due, prior);
        const Snapshot before = snapshot(f);
        w.cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QTEST(f.dialogs.boxes[0].text, "boxText");
        QTEST(f.dialogs.boxes[0].title, "title");
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(snapshot(f), before);
        QCOMPARE(f.composerDialogs.optionalTimeCalls, 0);
        QVERIFY(f.sound.played.isEmpty());
        // What the user typed stays where it was.
        QCOMPARE(w.txtMessageName->text(), description);
        QCOMPARE(w.txtmessage->fileText(), text);
    }

    // Today (or a first day today) without a window: the time dialog opens, nothing is written.
    void todayNeedsATimeWindow_data() {
        QTest::addColumn<int>("due");
        QTest::addColumn<int>("prior");
        QTest::newRow("due today") << 0 << 0;
        QTest::newRow("first day today") << 3 << 3;
    }
    void todayNeedsATimeWindow() {
        QFETCH(int, due);
        QFETCH(int, prior);
        ComposerFixture f;
        f.load();
        f.compose(QStringLiteral("Call"), QStringLiteral("Call the garage"), due, prior);
        const Snapshot before = snapshot(f);
        f.window->cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text,
                 QStringLiteral("Please include a time-setting for your message."));
        QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("When today?"));
        QCOMPARE(f.dialogs.boxes[0].style, 0x40u);
        QCOMPARE(f.composerDialogs.optionalTimeCalls, 1);
        QCOMPARE(snapshot(f), before);

        // The user includes 11:00 to 12:00 and saves again.
        f.window->lblHIDDENstart = QStringLiteral("11:00:00");
        f.window->lblHIDDENeinde = QStringLiteral("12:00:00");
        f.window->cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        MessageRecord expected = f.record(due, prior, QStringLiteral("Call the garage"));
        expected.startTime = QStringLiteral("11:00:00 am");
        expected.endTime = QStringLiteral("12:00:00 pm");
        QCOMPARE(f.folder.read(QStringLiteral("Call.tvr")), fileBytes(expected));
    }

    void savedMessage() {
        ComposerFixture f;
        frmmain& w = f.load();
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.setEditDeleteEnabled(false);
        f.compose(QStringLiteral("Dentist"), QStringLiteral("Bring the card\r\nand a pen"), 6, 2);
        w.cmdSaveMessage_Click();
        QVERIFY(f.dialogs.boxes.isEmpty());
        QCOMPARE(f.folder.read(QStringLiteral("Dentist.tvr")),
                 fileBytes(f.record(6, 2, QStringLiteral("Bring the card\r\nand a pen"))));
        QCOMPARE(f.listEntries(), QStringList{QStringLiteral("Dentist")});
        QCOMPARE(w.cboSavedmessages->currentText(), QStringLiteral("Dentist"));
        QVERIFY(w.cmdEdit->isEnabled());
        QVERIFY(w.cmdDelete->isEnabled());
        QVERIFY(!w.cmdSaveMessage->isEnabled());
        QVERIFY(!w.cmdOptional->isEnabled());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.txtMessageName));
        QCOMPARE(f.sound.played, QStringList{f.folder.file(QStringLiteral("Saved.wav"))});
        // The fields keep what the user entered.
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Dentist"));
        QCOMPARE(w.txtDaysprior->text(), QStringLiteral("2"));
    }

    void zeroDaysPriorStoresTheDueDateTwice() {
        ComposerFixture f;
        f.load();
        f.compose(QStringLiteral("Bins"), QStringLiteral("Put the bins out"), 6, 0);
        f.window->cmdSaveMessage_Click();
        const QByteArray bytes = f.folder.read(QStringLiteral("Bins.tvr"));
        QCOMPARE(bytes, QByteArray("\"13/12/2026\",\"Put the bins out\",\"0\",\"13/12/2026\","
                                   "\"12:00:00 am\",\"12:00:00 am\"\r\n"));
    }

    void overwriteCancelled() {
        ComposerFixture f;
        f.writeMessage(QStringLiteral("Milk"), f.record(4, 0, QStringLiteral("old")));
        frmmain& w = f.load();
        w.addSavedMessage(QStringLiteral("Milk"));
        f.engine->overwriteExisting = true;
        f.compose(QStringLiteral("Milk"), QStringLiteral("new"), 5);
        const Snapshot before = snapshot(f);
        f.dialogs.answers = {IDCANCEL};
        w.cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text,
                 QStringLiteral("Do you want to overwrite existing message?"));
        QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("Be careful..."));
        QCOMPARE(f.dialogs.boxes[0].style, 0x41u);
        QCOMPARE(snapshot(f), before);
        QCOMPARE(f.folder.read(QStringLiteral("Milk.tvr")),
                 fileBytes(f.record(4, 0, QStringLiteral("old"))));
        QVERIFY(!f.engine->overwriteExisting);
    }

    // Also with another entry chosen: the list ends with exactly one entry of the description.
    void overwriteConfirmed() {
        ComposerFixture f;
        frmmain& w = f.load();
        for (const char* name : {"Milk", "Bread", "Eggs"}) {
            f.writeMessage(QString::fromUtf8(name), f.record(4));
            w.addSavedMessage(QString::fromUtf8(name));
        }
        w.cboSavedmessages->setCurrentIndex(2);
        f.compose(QStringLiteral("Milk"), QStringLiteral("new"), 5);
        f.dialogs.answers = {IDOK};
        w.cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.listEntries(), QStringList({"Bread", "Eggs", "Milk"}));
        QCOMPARE(w.cboSavedmessages->currentText(), QStringLiteral("Milk"));
        QCOMPARE(f.folder.read(QStringLiteral("Milk.tvr")),
                 fileBytes(f.record(5, 0, QStringLiteral("new"))));
        QCOMPARE(f.messageFiles(), QStringList({"Bread.tvr", "Eggs.tvr", "Milk.tvr"}));
    }

    void namesAreCaseSensitive() {
        ComposerFixture f;
        f.writeMessage(QStringLiteral("Milk"), f.record(4));
        frmmain& w = f.load();
        w.addSavedMessage(QStringLiteral("Milk"));
        f.compose(QStringLiteral("milk"), QStringLiteral("new"), 5);
        w.cmdSaveMessage_Click();
        QVERIFY(f.dialogs.boxes.isEmpty());
        QCOMPARE(f.listEntries(), QStringList({"Milk", "milk"}));
        QCOMPARE(f.messageFiles(), QStringList({"Milk.tvr", "milk.tvr"}));
    }

    void blankDescriptionIsSaved() {
        ComposerFixture f;
        f.load();
        f.compose(QStringLiteral("   "), QStringLiteral("text"), 5);
        f.window->cmdSaveMessage_Click();
        QVERIFY(f.dialogs.boxes.isEmpty());
        QVERIFY(f.folder.exists(QStringLiteral("   .tvr")));
    }

    // A name the file system cannot take: the generic error box, no file, nothing else changed.
    void unwritableName_data() {
        QTest::addColumn<QString>("description");
        QTest::newRow("too long") << QString(300, QLatin1Char('n'));
    }
    void unwritableName() {
        QFETCH(QString, description);
        ComposerFixture f;
        f.writeMessage(QStringLiteral("Milk"), f.record(4));
        frmmain& w = f.load();
        w.addSavedMessage(QStringLiteral("Milk"));
        f.compose(description, QStringLiteral("text"), 5);
        const Snapshot before = snapshot(f);
        w.cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("Error"));
        QVERIFY(f.dialogs.boxes[0].text.startsWith(QStringLiteral("An Error was generated:")));
        QVERIFY(f.dialogs.boxes[0].text.contains(QStringLiteral("\r\ncmdSaveMessage_Click\r\n")));
        QCOMPARE(snapshot(f), before);
        QVERIFY(f.sound.played.isEmpty());
    }

    // A confirmed overwrite that cannot be written keeps the old file and so its list entry.
    void failedOverwriteKeepsTheEntry() {
        ComposerFixture f;
        PrivateTmpfs fs(64 * 1024);
        TMPFS_OR_SKIP(fs);
        f.setProgramFolder(fs.path());
        const QByteArray old = EncodeMessageRecord(f.record(4, 0, QStringLiteral("old")));
        WriteMessageFile(fs.file(QStringLiteral("Milk.tvr")),
                         f.record(4, 0, QStringLiteral("old")));
        frmmain& w = f.load();
        w.addSavedMessage(QStringLiteral("Milk"));
        QVERIFY(fs.remountReadOnly());
        f.compose(QStringLiteral("Milk"), QStringLiteral("new"), 5);
        f.dialogs.answers = {IDOK};
        w.cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), 2);
        QCOMPARE(f.dialogs.boxes[1].title, QStringLiteral("Error"));
        QVERIFY(f.dialogs.boxes[1].text.contains(QStringLiteral("\r\ncmdSaveMessage_Click\r\n")));
        QCOMPARE(f.listEntries(), QStringList{QStringLiteral("Milk")});
        QCOMPARE(fs.read(QStringLiteral("Milk.tvr")), old);
        QCOMPARE(fs.entries(), QStringList{QStringLiteral("Milk.tvr")});
        QVERIFY(f.engine->overwriteExisting);
        QVERIFY(w.cmdSaveMessage->isEnabled());
    }
};

QTEST_MAIN(TestComposerSave)
#include "tst_composersave.moc"
