// Every box and dialog of the program runs a nested event loop in which timer ticks and tray
// actions arrive. One table walks each box with each thing a real loop could deliver while it is
// open, and checks what the user must be able to rely on afterwards.
#include "ComposerFixture.h"
#include "ComposerLineEdit.h"
#include "MessageTextEdit.h"
#include "ProgramFolder.h"
#include "frmOptional.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <algorithm>
#include <tuple>

using namespace tavrel;
using namespace tavrel::test;

namespace {

const QString kDueTitle = QStringLiteral("Tavrel has a message for you:");

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "14:30" as a message file holds it: "02:30:00 pm".
QString ampm(const QString& hhmm) {
    const int hour = hhmm.left(2).toInt();
    const int twelve = hour % 12 == 0 ? 12 : hour % 12;
    return QStringLiteral("%1:%2:00 %3")
        .arg(twelve, 2, 10, QLatin1Char('0'))
        .arg(hhmm.mid(3, 2), hour < 12 ? QStringLiteral("am") : QStringLiteral("pm"));
}

struct Run {
    ComposerFixture& f;
    // What the composer showed when "&Save Message" was pressed, as its file must hold it.
    QString savedAs;
    QByteArray savedBytes;
    bool deleted = false;

    frmmain& w() { return *f.window; }
    void save() {
        savedAs = w().txtMessageName->text();
        savedBytes = QStringLiteral("\"%1\",\"%2\",\"%3\",\"%4\",\"%5\",\"%6\"\r\n")
                         .arg(w().lblchoosendate->text(), w().txtmessage->fileText(),
                              w().txtDaysprior->text(), w().lblchoosenpriordate,
                              ampm(w().lblHIDDENstart), ampm(w().lblHIDDENeinde))
                         .toUtf8();
        w().cmdSaveMessage_Click();
    }
    // The time dialog as the user works it: a window refused, then one included.
    void timeDialog(bool refusedFirst) {
        f.composerDialogs.onOptionalTime = [this, refusedFirst] {
            frmmain& m = w();
            TimeWindowLink link{m.cboSavedmessages->currentText(),
                                m.txtMessageName->text(),
                                m.txtmessage->fileText(),
                                m.txtDaysprior->text(),
                                m.lblchoosendate->text(),
                                m.lblchoosenpriordate,
                                [&m](const QString& start, const QString& end) {
                                    m.lblHIDDENstart = start;
                                    m.lblHIDDENeinde = end;
                                },
                                [] {
                                }};
            frmOptional dialog(f.clock, f.dialogs, f.dates, f.folder.path(),
                               f.engine->CurrentMessage, link);
            const auto choose = [&dialog](const QString& from, const QString& to) {
                auto* first = dialog.findChild<QComboBox*>(QStringLiteral("cboTIMES"));
                auto* second = dialog.findChild<QComboBox*>(QStringLiteral("cboTIMES2"));
                first->setCurrentIndex(first->findText(from));
                second->setCurrentIndex(second->findText(to));
                // The handler itself: the program's end, thrown from inside the refusal, must
                // not unwind through the toolkit's event delivery.
                dialog.cmdTIMEOK_Click();
            };
            if (refusedFirst)
                choose(QStringLiteral("15:00"), QStringLiteral("14:00"));
            choose(QStringLiteral("14:00"), QStringLiteral("15:00"));
        };
        w().cmdOptional_Click();
    }
};

struct Scenario {
    const char* name;
    QString box;                          // the box or dialog open while the delivery comes
    QStringList extraFiles;               // messages beside the usual three, for start-up boxes
    std::function<void(Run&)> afterStart; // what the user does once the program runs
    bool saves = false;                   // the save goes through once the box is answered
};

QList<Scenario> scenarios() {
    const auto composeAndSave = [](const QString& name, const QString& text, int due,
                                   int daysPrior = 0) {
        return [=](Run& r) {
            r.f.compose(name, text, due, daysPrior);
            r.save();
        };
    };
    const auto windowAndSave = [](int due, bool refusedFirst) {
        return [=](Run& r) {
            r.f.compose("Fresh", "Fresh text", due);
            r.timeDialog(refusedFirst);
            r.save();
        };
    };
    const auto status = QStringLiteral("Status for 07/12/2026");
    return {
        {"no description", "Be poetic...", {}, composeAndSave("", "Some text", 3)},
        {"no text", "Be poetic...", {}, composeAndSave("Fresh", "", 3)},
        {"quote in text", "Snorry!", {}, composeAndSave("Fresh", "Say \"hi\"", 3)},
        {"slash in description", "Snorry!", {}, composeAndSave("Den/tist", "Some text", 3)},
        {"date past", "Don't look back: look ahead!", {}, composeAndSave("Fresh", "Text", -1)},
        {"first day past", "Don't look back: look ahead!", {}, composeAndSave("Fresh", "T", 1, 5)},
        {"no window today", "When today?", {}, composeAndSave("Fresh", "Text", 0)},
        {"overwrite", "Be careful...", {}, composeAndSave("Keep", "New text", 7), true},
        {"delete",
         "Destroy...",
         {},
         [](Run& r) {
             r.w().selectSavedMessage(0);
             // The tray's "&Show Settings" meanwhile selects another entry.
             r.f.registry->WriteStringValue(kSettingsKey, "ComboItem", "2");
             r.deleted = true;
             r.w().cmdDelete_Click();
         }},
        // Due today: its window is registered beside the entry that falls due meanwhile.
        {"time dialog", "Optional settings", {}, windowAndSave(0, false), true},
        {"time dialog refusal", "Tempus Fugit", {}, windowAndSave(3, true), true},
        {"date picker",
         "Pick a date",
         {},
         [](Run& r) {
             r.f.compose("Fresh", "Fresh text", 3);
             r.f.composerDialogs.pickedDate = QDate(2026, 12, 16);
             r.w().cmdcalendar_Click();
             r.save();
         },
         true},
        {"due box",
         kDueTitle,
         {"Due"},
         [](Run&) {
         }},
        // A second window opening while the first one's box is open, and one opening with it.
        {"timed box",
         "Tavrel",
         {"Second", "Same"},
         [](Run& r) {
             r.f.clock.set(r.f.clock.today(), QTime(10, 5, 30));
             r.f.timedTickTime = QTime(10, 5, 40);
             r.w().TimerMessage_Timer();
         }},
        {"missed question",
         "Tavrel",
         {"Missed"},
         [](Run&) {
         }},
        {"old messages",
         "Information:",
         {"Old"},
         [](Run&) {
         }},
        // Two upcoming entries: a tick inside the first box rebuilds the table to one.
        {"status",
         status,
         {"Later"},
         [](Run& r) {
             r.w().menuStatus_Click();
         }},
        {"terminate",
         "Terminate",
         {},
         [](Run& r) {
             r.w().menuExit_Click();
         }},
    };
}

const QStringList kDeliveries{"timed tick", "time passes", "new day",  "show settings", "status",
                              "about",      "exit",        "long box", "sleep"};

} // namespace

class TestNestedLoop : public QObject {
    Q_OBJECT

private slots:
    void deliveredWhileOpen_data() {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("delivery");
        const QList<Scenario> all = scenarios();
        for (int s = 0; s < all.size(); ++s) {
            for (int d = 0; d < kDeliveries.size(); ++d)
                QTest::addRow("%s, %s", all[s].name, qPrintable(kDeliveries[d])) << s << d;
        }
    }

    void deliveredWhileOpen() {
        QFETCH(int, scenario);
        QFETCH(int, delivery);
        const QList<Scenario> all = scenarios();
        const Scenario& s = all.at(scenario);
        const auto what = Delivery(delivery);

        ComposerFixture f;
        f.writeMessage("Keep", f.record(5, 0, "Old text"));
        MessageRecord timed = f.record(0, 0, "Timed text");
        timed.startTime = "10:05:00 am";
        timed.endTime = "10:30:00 am";
        f.writeMessage("Timed", timed);
        f.writeMessage("Tomorrow", f.record(1, 0, "Tomorrow text"));
        if (s.extraFiles.contains("Due"))
            f.writeMessage("Due", f.record(0, 0, "Due text"));
        if (s.extraFiles.contains("Missed")) {
            MessageRecord missed = f.record(0, 0, "Missed text");
            missed.startTime = "08:00:00 am";
            missed.endTime = "09:00:00 am";
            f.writeMessage("Missed", missed);
        }
        if (s.extraFiles.contains("Old"))
            f.writeMessage("Old", f.record(-40, 0, "Old text"));
        for (const auto& [name, start, end] : {std::tuple{"Second", "10:06:00 am", "10:40:00 am"},
                                               std::tuple{"Same", "10:05:00 am", "10:20:00 am"},
                                               std::tuple{"Later", "11:00:00 am", "11:30:00 am"}}) {
            if (!s.extraFiles.contains(name))
                continue;
            MessageRecord extra = f.record(0, 0, QString(name) + " text");
            extra.startTime = start;
            extra.endTime = end;
            f.writeMessage(name, extra);
        }
        QMap<QString, QByteArray> expected;
        for (const QString& name : f.messageFiles())
            expected[name] = bytesOf(f.folder.file(name));
        f.registry->CreateKey(kSettingsKey);
        // The tray's "&Show Settings" reloads Keep, listed first, into the shared record.
        f.registry->WriteStringValue(kSettingsKey, "ComboItem", "0");

        f.deliverWhileOpen(s.box, what);
        Run run{f, {}, {}};
        bool ended = false;
        try {
            f.engine->Main(false);
            s.afterStart(run);
        } catch (const ProgramEnded&) {
            ended = true;
        }
        QVERIFY2(f.delivered, "the box never came");

        // The program ends exactly when the user quit, with nothing shown after it.
        QCOMPARE(ended, what == Delivery::ExitYes);
        QCOMPARE(f.endProgramCalls, ended ? 1 : 0);
        if (ended) {
            QCOMPARE(f.dialogs.boxes.last().title, QStringLiteral("Terminate"));
            QVERIFY(!QFile::exists(f.folder.file("Timerfile")));
            QVERIFY(!QFile::exists(f.folder.file("Temp")));
        } else {
            // The first tick after the box, past the day's timed entry: whatever fell due
            // meanwhile comes now.
            f.clock.set(
                std::max(f.clock.now().addSecs(60), QDateTime(QDate(2026, 12, 7), QTime(10, 6))));
            // A timer switched off never ticks.
            if (f.window->TimerMessage.isActive())
                f.window->TimerMessage_Timer();
            f.window->TimerNewDay_Timer();
            if (s.saves)
                expected[run.savedAs + ".tvr"] = run.savedBytes;
            if (run.deleted)
                expected.remove("Keep.tvr");
        }

        // The files hold exactly what the user saved, byte for byte.
        QMap<QString, QByteArray> onDisk;
        for (const QString& name : f.messageFiles())
            onDisk[name] = bytesOf(f.folder.file(name));
        QCOMPARE(onDisk, expected);
        if (!ended) {
            QStringList listed;
            for (const QString& name : onDisk.keys())
                listed << name.chopped(4);
            QStringList entries = f.listEntries();
            entries.sort();
            QCOMPARE(entries, listed);
        }

        // Nothing is shown twice; nothing due is lost.
        const auto shown = [&f](const QString& text) {
            int n = 0;
            for (const ShownBox& box : f.dialogs.boxes)
                n += box.text.startsWith(text) && (box.title == kDueTitle || box.title == "Tavrel");
            return n;
        };
        for (const char* text :
             {"Timed text", "Tomorrow text", "Due text", "Missed text", "Second text", "Same text"})
            QVERIFY2(shown(QString::fromUtf8(text)) <= 1, text);
        if (!ended && (f.clock.today() == QDate(2026, 12, 7) || s.box == "Tavrel"))
            QCOMPARE(shown("Timed text"), 1);
        if (!ended && (what == Delivery::NewDayTick || what == Delivery::Sleep))
            QCOMPARE(shown("Tomorrow text"), 1);
        for (const char* text : {"Due text", "Missed text", "Second text", "Same text"}) {
            if (!ended && s.extraFiles.contains(QString::fromUtf8(text).section(' ', 0, 0)))
                QVERIFY2(shown(QString::fromUtf8(text)) == 1, text);
        }
        // Each box shows the message it is about: none due today is ever shown as due.
        QVERIFY(!shown("Old text"));
        // The status report goes on from the file as it read it (a second report delivered
        // inside it adds its own boxes; the tray refuses one while the first runs).
        if (!ended && s.extraFiles.contains("Later") && what != Delivery::Status)
            QCOMPARE(std::count_if(f.dialogs.boxes.cbegin(), f.dialogs.boxes.cend(),
                                   [&s](const ShownBox& b) { return b.title == s.box; }),
                     2);
    }
};

QTEST_MAIN(TestNestedLoop)
#include "tst_nestedloop.moc"
