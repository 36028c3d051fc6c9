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

// A fault seen on the real program, replayed: the files, the start, what happens (inside which
// box), and every box the user must see, in order.
struct Fault {
    const char* name;
    QDateTime start;
    std::function<void(ComposerFixture&)> files;
    std::function<void(ComposerFixture&)> afterStart;
    QList<std::pair<QString, QString>> boxes; // title, text
};

// Runs `what` once, while the first box whose text starts with `text` is open.
void inside(ComposerFixture& f, const QString& text, std::function<void()> what) {
    auto before = f.dialogs.whileOpen;
    f.dialogs.whileOpen = [=, done = false](const ShownBox& box) mutable {
        if (before)
            before(box);
        if (!done && box.text.startsWith(text)) {
            done = true;
            what();
        }
    };
}

MessageRecord windowed(const ComposerFixture& f, int due, const QString& text, const char* start,
                       const char* end) {
    MessageRecord r = f.record(due, 0, text);
    r.startTime = QString::fromLatin1(start);
    r.endTime = QString::fromLatin1(end);
    return r;
}

QString dueText(const QString& text, const QString& finalDate) {
    return text + QStringLiteral("\r\n\r\n[ Final message: ") + finalDate + QStringLiteral(" ]");
}

QString question(const QString& start) {
    return QStringLiteral("You had a message planned for today at ") + start +
           QStringLiteral("      \r\nWould you like to see it now?");
}

// Both timers as a real loop delivers them: the message timer only while it is on.
void ticks(ComposerFixture& f) {
    if (f.window->TimerMessage.isActive())
        f.window->TimerMessage_Timer();
    f.window->TimerNewDay_Timer();
}

void at(ComposerFixture& f, QDate day, QTime time, bool asleep = false) {
    if (asleep)
        f.clock.jumpTo(QDateTime(day, time));
    else
        f.clock.set(day, time);
    ticks(f);
}

QList<Fault> faults() {
    const QDate d7(2026, 12, 7), d8(2026, 12, 8);
    const QString tavrel = QStringLiteral("Tavrel");
    return {
        {"a box open across midnight keeps the next day",
         QDateTime(QDate(2026, 12, 6), QTime(20, 0)),
         [](ComposerFixture& f) {
             f.writeMessage("Late one", windowed(f, 1, "Late one", "11:50:00 pm", "11:58:00 pm"));
             f.writeMessage("Late two", windowed(f, 1, "Late two", "11:50:00 pm", "11:59:00 pm"));
             f.writeMessage("Bread", f.record(2, 0, "Bread"));
         },
         [=](ComposerFixture& f) {
             inside(f, "Late one", [&f, d8] { at(f, d8, QTime(0, 5), true); });
             at(f, d7, QTime(23, 50), true);
             at(f, d8, QTime(0, 6, 10));
         },
         {{kDueTitle, dueText("Late one", "07/12/2026")},
          {tavrel, question("11:50:00 pm")},
          {kDueTitle, dueText("Late two", "07/12/2026")},
          {kDueTitle, dueText("Bread", "08/12/2026")}}},
        {"the daily routine's box open across midnight keeps the next day",
         QDateTime(QDate(2026, 12, 6), QTime(20, 0)),
         [](ComposerFixture& f) {
             f.writeMessage("Today", f.record(1, 0, "Today"));
             f.writeMessage("Tomorrow", f.record(2, 0, "Tomorrow"));
             f.writeMessage("Tomorrow late",
                            windowed(f, 2, "Tomorrow late", "09:00:00 pm", "10:00:00 pm"));
         },
         [=](ComposerFixture& f) {
             inside(f, "Today", [&f, d8] { f.clock.set(d8, QTime(0, 10)); });
             at(f, d7, QTime(23, 50), true);
             at(f, d8, QTime(0, 11, 10));
             at(f, d8, QTime(21, 0, 5));
             QCOMPARE(f.window->lblHIDDENdateTODAY, QStringLiteral("08/12/2026"));
         },
         {{kDueTitle, dueText("Today", "07/12/2026")},
          {kDueTitle, dueText("Tomorrow", "08/12/2026")},
          {tavrel, "Tomorrow late"}}},
        {"a file rewritten by another program with the same window shows its new text",
         QDateTime(d7, QTime(10, 0)),
         [](ComposerFixture& f) {
             f.writeMessage("Timed", windowed(f, 0, "Old text", "10:05:00 am", "10:30:00 am"));
         },
         [=](ComposerFixture& f) {
             f.writeMessage("Timed", windowed(f, 0, "New text", "10:05:00 am", "10:30:00 am"));
             at(f, d7, QTime(10, 5, 5));
         },
         {{tavrel, "New text"}}},
        {"a file rewritten before its window is not shown again from its old timer line",
         QDateTime(d7, QTime(10, 0)),
         [](ComposerFixture& f) {
             f.writeMessage("Timed", windowed(f, 0, "Old text", "10:05:00 am", "10:30:00 am"));
         },
         [=](ComposerFixture& f) {
             f.writeMessage("Timed", windowed(f, 0, "New text", "10:05:00 am", "10:30:00 am"));
             inside(f, "New text", [&f, d7] { at(f, d7, QTime(10, 5, 15)); });
             at(f, d7, QTime(10, 5, 5));
             at(f, d7, QTime(10, 6, 0));
         },
         {{tavrel, "New text"}}},
        {"a file deleted while a start-up box is open leaves the rest of the pass going",
         QDateTime(d7, QTime(10, 0)),
         [](ComposerFixture& f) {
             f.writeMessage("Aa", f.record(0, 0, "Aa"));
             f.writeMessage("Bb", f.record(0, 0, "Bb"));
             f.writeMessage("Cc", f.record(0, 0, "Cc"));
             inside(f, "Aa", [&f] { QFile::remove(f.folder.file("Bb.tvr")); });
         },
         [](ComposerFixture&) {},
         {{kDueTitle, dueText("Aa", "07/12/2026")}, {kDueTitle, dueText("Cc", "07/12/2026")}}},
        {"saved again with the same window in its first minute, before the first tick",
         QDateTime(d7, QTime(10, 0)),
         [](ComposerFixture& f) {
             f.writeMessage("Timed", windowed(f, 0, "Old text", "10:05:00 am", "10:30:00 am"));
         },
         [=](ComposerFixture& f) {
             f.clock.set(d7, QTime(10, 5, 1));
             f.compose("Timed", "Composed text", 0);
             f.window->lblHIDDENstart = QStringLiteral("10:05:00");
             f.window->lblHIDDENeinde = QStringLiteral("10:30:00");
             f.window->cmdSaveMessage_Click();
         },
         {{"Be careful...", "Do you want to overwrite existing message?"},
          {tavrel, "Composed text"}}},
        {"the overwrite question open across midnight judges by the day it saves on",
         QDateTime(d7, QTime(23, 20)),
         [](ComposerFixture& f) { f.writeMessage("Keep", f.record(5, 0, "Old text")); },
         [=](ComposerFixture& f) {
             inside(f, "Do you want", [&f, d8] { f.clock.set(d8, QTime(0, 10)); });
             f.compose("Keep", "New text", 0);
             f.window->lblHIDDENstart = QStringLiteral("23:50:00");
             f.window->lblHIDDENeinde = QStringLiteral("23:55:00");
             f.window->cmdSaveMessage_Click();
             QVERIFY(!f.folder.exists("Timerfile"));
             at(f, d8, QTime(23, 50, 5));
         },
         {{"Be careful...", "Do you want to overwrite existing message?"}}},
        {"a message deleted during the day is not offered the next day",
         QDateTime(d7, QTime(10, 0)),
         [](ComposerFixture& f) {
             f.writeMessage("Late", windowed(f, 0, "Late", "11:00:00 pm", "11:30:00 pm"));
         },
         [=](ComposerFixture& f) {
             f.window->selectSavedMessage(0);
             f.window->cmdDelete_Click();
             f.engine->newDayTicks = 30;
             at(f, d8, QTime(0, 20));
         },
         {{"Destroy...", "Are you sure you want to remove Late permanently?"}}},
        {"the clock set back across midnight and forward again shows nothing twice",
         QDateTime(d7, QTime(23, 50)),
         [](ComposerFixture& f) {
             f.writeMessage("Daily", f.record(1, 0, "Daily"));
             f.writeMessage("Early", windowed(f, 1, "Early", "12:10:00 am", "12:20:00 am"));
         },
         [=](ComposerFixture& f) {
             at(f, d8, QTime(0, 5), true);
             at(f, d8, QTime(0, 10, 5));
             at(f, d7, QTime(23, 55), true);
             at(f, d8, QTime(0, 15), true);
             at(f, d8, QTime(0, 15, 10));
         },
         {{kDueTitle, dueText("Daily", "08/12/2026")}, {tavrel, "Early"}}},
        {"a window opening inside a start-up box comes next, before the rest of the pass",
         QDateTime(d7, QTime(10, 0)),
         [](ComposerFixture& f) {
             f.writeMessage("Aa", windowed(f, 0, "Aa", "10:05:00 am", "10:30:00 am"));
             f.writeMessage("Bb", f.record(0, 0, "Bb"));
             f.writeMessage("Cc", f.record(0, 0, "Cc"));
             inside(f, "Bb", [&f] {
                 f.clock.set(f.clock.today(), QTime(10, 6));
                 ticks(f);
             });
         },
         [](ComposerFixture&) {},
         {{kDueTitle, dueText("Bb", "07/12/2026")},
          {tavrel, "Aa"},
          {kDueTitle, dueText("Cc", "07/12/2026")}}},
        {"the rest of a start-up pass held past midnight is judged by its own day",
         QDateTime(d7, QTime(23, 50)),
         [=](ComposerFixture& f) {
             f.writeMessage("Aa", f.record(0, 0, "Aa"));
             f.writeMessage("Bb", windowed(f, 0, "Bb", "12:05:00 am", "12:15:00 am"));
             inside(f, "Aa", [&f, d8] { f.clock.set(d8, QTime(0, 10)); });
         },
         [](ComposerFixture&) {},
         {{kDueTitle, dueText("Aa", "07/12/2026")},
          {tavrel, question("12:05:00 am")},
          {kDueTitle, dueText("Bb", "07/12/2026")}}},
        {"a weekend asleep: Saturday's and Sunday's come up before Monday's",
         QDateTime(QDate(2026, 12, 11), QTime(18, 0)),
         [](ComposerFixture& f) {
             f.writeMessage("Mon", f.record(3, 0, "Mon"));
             f.writeMessage("Sat", f.record(1, 0, "Sat"));
             f.writeMessage("Sun", windowed(f, 2, "Sun", "10:00:00 am", "11:00:00 am"));
         },
         [](ComposerFixture& f) {
             at(f, QDate(2026, 12, 14), QTime(8, 0), true);
             QCOMPARE(f.window->lblHIDDENdateTODAY, QStringLiteral("14/12/2026"));
         },
         {{kDueTitle, dueText("Sat", "12/12/2026")},
          {tavrel, question("10:00:00 am")},
          {kDueTitle, dueText("Sun", "13/12/2026")},
          {kDueTitle, dueText("Mon", "14/12/2026")}}},
    };
}

} // namespace

class TestNestedLoop : public QObject {
    Q_OBJECT

private slots:
    void faultReplayed_data() {
        QTest::addColumn<int>("row");
        const QList<Fault> all = faults();
        for (int i = 0; i < all.size(); ++i)
            QTest::addRow("%s", all[i].name) << i;
    }
    void faultReplayed() {
        QFETCH(int, row);
        const Fault fault = faults().at(row);
        ComposerFixture f(fault.start);
        fault.files(f);
        f.dialogs.answer = [](const ShownBox& box) {
            return box.text.startsWith(QStringLiteral("You had a message")) ? int(IDYES) : 0;
        };
        QCOMPARE(f.engine->Main(false), StartupAndRoutines::MainResult::Running);
        fault.afterStart(f);
        QList<std::pair<QString, QString>> shown;
        for (const ShownBox& box : f.dialogs.boxes)
            shown.append({box.title, box.text});
        QCOMPARE(shown, fault.boxes);
    }

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
