#include "ComposerFixture.h"
#include "ComposerLineEdit.h"
#include "MessageTextEdit.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

// The composer together with the real engine: start-up, timed messages and the change of day.
class TestComposerEngine : public QObject {
    Q_OBJECT

private slots:
    void startWithoutMessagesShowsTheComposer() {
        ComposerFixture f;
        QCOMPARE(f.engine->Main(false), StartupAndRoutines::MainResult::Running);
        QVERIFY(f.window);
        frmmain& w = *f.window;
        QVERIFY(w.isVisible());
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Alter this..."));
        QCOMPARE(w.txtmessage->toPlainText(), QStringLiteral("Alter this..."));
        QVERIFY(!w.cmdEdit->isEnabled());
        QVERIFY(!w.cmdDelete->isEnabled());
        QVERIFY(!w.cmdSaveMessage->isEnabled());
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    void startWithMessagesFillsTheListHidden() {
        ComposerFixture f;
        f.writeMessage(QStringLiteral("Bread"), f.record(5));
        f.writeMessage(QStringLiteral("Eggs"), f.record(9, 2));
        QCOMPARE(f.engine->Main(false), StartupAndRoutines::MainResult::Running);
        frmmain& w = *f.window;
        QCOMPARE(f.listEntries(), QStringList({"Bread", "Eggs"}));
        QCOMPARE(w.cboSavedmessages->currentIndex(), -1);
        QVERIFY(!w.isVisible());
        QVERIFY(w.cmdEdit->isEnabled());
    }

    // Saved at 10:00 for 11:00 to 12:00 today: registered, then shown by the first tick at 11:00.
    void savedTimedMessageComesUpOnTime() {
        ComposerFixture f;
        f.engine->Main(false);
        frmmain& w = *f.window;
        f.compose(QStringLiteral("Call"), QStringLiteral("Call the garage"), 0);
        w.lblHIDDENstart = QStringLiteral("11:00:00");
        w.lblHIDDENeinde = QStringLiteral("12:00:00");
        w.cmdSaveMessage_Click();
        QVERIFY(f.dialogs.boxes.isEmpty());
        QVERIFY(f.folder.exists(QStringLiteral("Timerfile")));
        QVERIFY(w.TimerMessage.isActive());

        f.clock.set(f.clock.today(), QTime(10, 59, 50));
        w.TimerMessage_Timer();
        QVERIFY(f.dialogs.boxes.isEmpty());

        f.clock.set(f.clock.today(), QTime(11, 0, 0));
        int ticksWhileOpen = 0;
        f.dialogs.whileOpen = [&](const ShownBox&) {
            ++ticksWhileOpen;
            w.TimerMessage_Timer(); // a tick while the box is open shows nothing more
        };
        w.TimerMessage_Timer();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(ticksWhileOpen, 1);
        QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("Tavrel"));
        QVERIFY(f.dialogs.boxes[0].text.startsWith(QStringLiteral("Call the garage")));
        QCOMPARE(f.sound.played.last(), f.folder.file(QStringLiteral("Tavrel.wav")));
        QVERIFY(!w.TimerMessage.isActive());
    }

    void changeOfDay() {
        ComposerFixture f;
        f.writeMessage(QStringLiteral("Bread"), f.record(1));
        f.engine->Main(false);
        frmmain& w = *f.window;
        w.lblchoosendate->setText(f.day(20)); // a due date the user had picked
        for (int tick = 0; tick < 31; ++tick)
            w.TimerNewDay_Timer();
        QCOMPARE(w.lblchoosendate->text(), f.day(20));

        f.clock.set(f.clock.today().addDays(1), QTime(0, 20));
        for (int tick = 0; tick < 31; ++tick)
            w.TimerNewDay_Timer();
        QCOMPARE(w.lblchoosendate->text(), f.day(0));
        QCOMPARE(w.lblchoosenpriordate, f.day(0));
        QCOMPARE(w.lblHIDDENdateTODAY, f.day(0));
        // The daily routine ran for the new day: Bread is due.
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("Tavrel has a message for you:"));
    }

    // The deleted message loses its place in the timer file; the others keep theirs.
    void deleteRebuildsTheTimerFile() {
        ComposerFixture f;
        f.engine->Main(false);
        frmmain& w = *f.window;
        for (const char* name : {"Bread", "Milk"}) {
            f.compose(QString::fromUtf8(name), QString::fromUtf8(name), 0);
            w.lblHIDDENstart = QStringLiteral("20:00:00");
            w.lblHIDDENeinde = QStringLiteral("21:00:00");
            w.cmdSaveMessage_Click();
        }
        QVERIFY(f.folder.read(QStringLiteral("Timerfile")).contains("\"Bread\""));
        w.selectSavedMessage(0);
        w.cmdDelete_Click();
        const QByteArray timers = f.folder.read(QStringLiteral("Timerfile"));
        QVERIFY(!timers.contains("\"Bread\""));
        QVERIFY(timers.contains("\"Milk\""));
        QVERIFY(w.TimerMessage.isActive());
        QCOMPARE(w.txtMessageName->text(), QStringLiteral("Milk"));
    }
};

QTEST_MAIN(TestComposerEngine)
#include "tst_composerengine.moc"
