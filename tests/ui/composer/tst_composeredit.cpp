#include "ComposerFixture.h"
#include "ComposerLineEdit.h"
#include "MessageTextEdit.h"
#include "UpDown.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

namespace {

// Three saved messages in the list, nothing chosen.
void threeMessages(ComposerFixture& f) {
    frmmain& w = f.load();
    for (const char* name : {"Bread", "Eggs", "Milk"}) {
        f.writeMessage(QString::fromUtf8(name),
                       f.record(5, 1, QStringLiteral("about ") + QString::fromUtf8(name)));
        w.addSavedMessage(QString::fromUtf8(name));
    }
}

QList<bool> buttons(const frmmain& w) {
    return {w.cmdSaveMessage->isEnabled(), w.cmdOptional->isEnabled(), w.cmdEdit->isEnabled(),
            w.cmdDelete->isEnabled()};
}

} // namespace

class TestComposerEdit : public QObject {
    Q_OBJECT

private slots:
    // The first day shown is computed again; the file's own first day is not used.
    void editFillsTheFields() {
        ComposerFixture f;
        frmmain& w = f.load();
        MessageRecord stored = f.record(10, 3, QStringLiteral("line one\r\nline two"));
        stored.priorDate = f.day(1);
        f.writeMessage(QStringLiteral("Dentist"), stored);
        w.addSavedMessage(QStringLiteral("Dentist"));
        w.cboSavedmessages->setCurrentIndex(0);
        w.cmdEdit_Click();
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Dentist"));
        QCOMPARE(w.txtmessage->toPlainText(), QStringLiteral("line one\nline two"));
        QCOMPARE(w.lblchoosendate->text(), f.day(10));
        QCOMPARE(w.txtDaysprior->text(), QStringLiteral("3"));
        QCOMPARE(w.lblchoosenpriordate, f.day(7));
        QCOMPARE(w.lblDaysprior->text(), f.day(7));
        QVERIFY(w.cmdSaveMessage->isEnabled());
        QVERIFY(w.cmdOptional->isEnabled());
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    void editWithoutChoiceDoesNothing() {
        ComposerFixture f;
        threeMessages(f);
        frmmain& w = *f.window;
        w.cmdEdit_Click();
        QVERIFY(w.txtMessageName->text().isEmpty());
        QVERIFY(!w.cmdSaveMessage->isEnabled());
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    // The user's pick loads the message at once and records its position.
    void selectionLoadsAndRecords() {
        ComposerFixture f;
        threeMessages(f);
        frmmain& w = *f.window;
        w.cboSavedmessages->setCurrentIndex(1);
        emit w.cboSavedmessages->activated(1);
        QCOMPARE(f.setting(QStringLiteral("ComboItem")), QStringLiteral("1"));
        QCOMPARE(w.txtmessage->toPlainText(), QStringLiteral("about Eggs"));
    }

    void unreadableFileKeepsTheFields_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("code");
        QTest::newRow("missing") << QByteArray() << false << "Error 53 - ";
        QTest::newRow("empty") << QByteArray() << true << "Error 62 - ";
        QTest::newRow("cut short") << QByteArray("\"13/12/2026\",\"text") << true << "Error 62 - ";
    }
    void unreadableFileKeepsTheFields() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, present);
        QFETCH(QString, code);
        ComposerFixture f;
        frmmain& w = f.load();
        if (present)
            f.folder.write(QStringLiteral("Broken.tvr"), bytes);
        w.addSavedMessage(QStringLiteral("Broken"));
        w.cboSavedmessages->setCurrentIndex(0);
        w.txtMessageName->setText(QStringLiteral("typed"));
        w.cmdEdit_Click();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("Error"));
        QVERIFY(f.dialogs.boxes[0].text.contains(code));
        QVERIFY(f.dialogs.boxes[0].text.contains(QStringLiteral("\r\ncmdEdit_Click\r\n")));
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("typed"));
        QCOMPARE(w.lblchoosendate->text(), f.day(0));
        QVERIFY(!w.cmdSaveMessage->isEnabled());
    }

    void deleteCancelled() {
        ComposerFixture f;
        threeMessages(f);
        frmmain& w = *f.window;
        w.selectSavedMessage(1);
        f.dialogs.answers = {IDCANCEL};
        w.cmdDelete_Click();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text,
                 QStringLiteral("Are you sure you want to remove Eggs permanently?"));
        QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("Destroy..."));
        QCOMPARE(f.dialogs.boxes[0].style, 0x31u);
        QCOMPARE(f.listEntries(), QStringList({"Bread", "Eggs", "Milk"}));
        QCOMPARE(f.messageFiles(), QStringList({"Bread.tvr", "Eggs.tvr", "Milk.tvr"}));
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Eggs"));
    }

    void deleteTheOnlyMessage() {
        ComposerFixture f;
        frmmain& w = f.load();
        f.writeMessage(QStringLiteral("Milk"), f.record(5, 2));
        f.folder.write(QStringLiteral("Timerfile"), "#09:00:00 pm#, \"x\"\r\n");
        w.addSavedMessage(QStringLiteral("Milk"));
        w.selectSavedMessage(0);
        w.TimerMessage.start();
        w.cmdDelete_Click();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QVERIFY(f.listEntries().isEmpty());
        QCOMPARE(w.cboSavedmessages->currentIndex(), -1);
        QCOMPARE(f.folder.entries(), QStringList());
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Alter this..."));
        QCOMPARE(w.txtmessage->toPlainText(), QStringLiteral("Alter this..."));
        QCOMPARE(w.lblchoosendate->text(), f.day(0));
        QCOMPARE(w.txtDaysprior->text(), QStringLiteral("0"));
        QCOMPARE(w.lblDaysprior->text(), QStringLiteral("Days prior:"));
        QCOMPARE(buttons(w), QList<bool>({false, false, false, false}));
        QVERIFY(!w.TimerMessage.isActive());
    }

    void deleteOneOfThree() {
        ComposerFixture f;
        threeMessages(f);
        frmmain& w = *f.window;
        w.selectSavedMessage(2);
        QCOMPARE(f.setting(QStringLiteral("ComboItem")), QStringLiteral("2"));
        w.cmdDelete_Click();
        QCOMPARE(f.listEntries(), QStringList({"Bread", "Eggs"}));
        QCOMPARE(f.messageFiles(), QStringList({"Bread.tvr", "Eggs.tvr"}));
        QCOMPARE(w.cboSavedmessages->currentIndex(), 0);
        QCOMPARE(f.setting(QStringLiteral("ComboItem")), QStringLiteral("0"));
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Bread"));
        QCOMPARE(w.txtmessage->toPlainText(), QStringLiteral("about Bread"));
        QCOMPARE(buttons(w), QList<bool>({true, true, true, true}));
    }

    // A file removed behind the program's back is reported before anything changes.
    void deleteOfAMissingFile() {
        ComposerFixture f;
        threeMessages(f);
        frmmain& w = *f.window;
        w.selectSavedMessage(0);
        QFile::remove(f.folder.file(QStringLiteral("Bread.tvr")));
        w.cmdDelete_Click();
        QCOMPARE(f.dialogs.boxes.size(), 2);
        QVERIFY(f.dialogs.boxes[1].text.contains(QStringLiteral("Error 53 - ")));
        QVERIFY(f.dialogs.boxes[1].text.contains(QStringLiteral("\r\ncmdDelete_Click\r\n")));
        QCOMPARE(f.listEntries(), QStringList({"Bread", "Eggs", "Milk"}));
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Bread"));
    }

    // Every way of loading a message puts its stored window into the time stores, so a save
    // that changes only the days prior keeps the window; typing afterwards still drops it.
    void loadingRestoresTheWindow_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("storedStart");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("stores");
        QTest::addColumn<QByteArray>("times");
        const QByteArray kept = "\"09:00:00 am\",\"11:00:00 am\"";
        QTest::newRow("edit") << "edit"
                              << "09:00:00 am" << false << "09:00:00 11:00:00" << kept;
        QTest::newRow("list selection") << "select"
                                        << "09:00:00 am" << false << "09:00:00 11:00:00" << kept;
        QTest::newRow("show settings") << "settings"
                                       << "09:00:00 am" << false << "09:00:00 11:00:00" << kept;
        QTest::newRow("first remaining after a delete")
            << "delete"
            << "09:00:00 am" << false << "09:00:00 11:00:00" << kept;
        QTest::newRow("typed after loading") << "edit"
                                             << "09:00:00 am" << true << "00:00 00:00"
                                             << QByteArray("\"12:00:00 am\",\"12:00:00 am\"");
        QTest::newRow("unreadable stored time") << "edit"
                                                << "nine o'clock" << false << "00:00 00:00"
                                                << QByteArray("\"12:00:00 am\",\"12:00:00 am\"");
    }
    void loadingRestoresTheWindow() {
        QFETCH(QString, how);
        QFETCH(QString, storedStart);
        QFETCH(bool, typed);
        QFETCH(QString, stores);
        QFETCH(QByteArray, times);
        ComposerFixture f;
        frmmain& w = f.load();
        f.writeMessage(QStringLiteral("Cancel paper"), f.record(3));
        MessageRecord dentist = f.record(5, 0, QStringLiteral("Ring the dentist"));
        dentist.startTime = storedStart;
        dentist.endTime = QStringLiteral("11:00:00 am");
        f.writeMessage(QStringLiteral("Dentist"), dentist);
        w.addSavedMessage(QStringLiteral("Cancel paper"));
        w.addSavedMessage(QStringLiteral("Dentist"));
        // A window the time dialog left for another message.
        w.lblHIDDENstart = QStringLiteral("13:00:00");
        w.lblHIDDENeinde = QStringLiteral("14:00:00");

        if (how == QLatin1String("edit")) {
            w.cboSavedmessages->setCurrentIndex(1);
            w.cmdEdit_Click();
        } else if (how == QLatin1String("select")) {
            w.selectSavedMessage(1);
        } else if (how == QLatin1String("settings")) {
            f.registry->WriteStringValue(kSettingsKey, QStringLiteral("ComboItem"),
                                         QStringLiteral("1"));
            w.menuSettings_Click();
        } else {
            w.selectSavedMessage(0);
            w.cmdDelete_Click();
        }
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Dentist"));
        if (typed)
            w.txtmessage_KeyUp();
        QCOMPARE(w.lblHIDDENstart + QLatin1Char(' ') + w.lblHIDDENeinde, stores);

        w.UpDownprior->stepBy(2);
        const qsizetype before = f.dialogs.boxes.size();
        w.cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), before + 1); // only the overwrite question
        QCOMPARE(f.folder.read(QStringLiteral("Dentist.tvr")),
                 "\"" + f.day(5).toUtf8() + "\",\"Ring the dentist\",\"2\",\"" + f.day(3).toUtf8() +
                     "\"," + times + "\r\n");
    }

    void resetSelectsThePlaceholder() {
        ComposerFixture f;
        threeMessages(f);
        frmmain& w = *f.window;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.selectSavedMessage(1);
        w.UpDownprior->stepBy(1);
        const QList<bool> before = buttons(w);
        w.cmdReset_Click();
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Alter this..."));
        QCOMPARE(w.txtMessageName->selectedText(), QStringLiteral("Alter this..."));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.txtMessageName));
        QCOMPARE(w.txtmessage->toPlainText(), QStringLiteral("Alter this..."));
        QCOMPARE(w.lblchoosendate->text(), f.day(0));
        QCOMPARE(w.txtDaysprior->text(), QStringLiteral("0"));
        QCOMPARE(w.lblDaysprior->text(), QStringLiteral("Days prior:"));
        QCOMPARE(buttons(w), before);
        QCOMPARE(w.cboSavedmessages->currentIndex(), 1);
        QCOMPARE(f.messageFiles().size(), 3);

        // Saving at once is refused for the missing description.
        w.cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.last().title, QStringLiteral("Be poetic..."));
    }
};

QTEST_MAIN(TestComposerEdit)
#include "tst_composeredit.moc"
