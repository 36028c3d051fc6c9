// A year and more of running, tick by tick: the engine with a fake clock in a real time zone,
// both timers driven at their own periods, and an oracle written from the rules (not from the
// engine) that predicts every box. Daylight-saving changes, a leap day, a clock set back by a
// day and suspend gaps of eight hours without ticks are all on the way.
#include "DateText.h"
#include "Fakes.h"
#include "MessageFile.h"
#include "ProgramFolder.h"
#include "StartupAndRoutines.h"
#include "TempProgramFolder.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QTimeZone>
#include <optional>

using namespace tavrel;
using namespace tavrel::test;

namespace {

constexpr int kDays = 400;
constexpr int kMessages = 200;
constexpr qint64 kNewDayPeriodMs = 65535;
constexpr qint64 kMessagePeriodMs = 10000;
constexpr qint64 kHourMs = 3600 * 1000;
const QDate kFirstDay(2027, 6, 1);
// Suspend gaps start at 22:30 on these days (counted from the first); the clock goes back a day
// at 15:00 on another.
const QList<int> kSuspendDays{30, 150, 290, 333};
constexpr int kSetBackDay = 200;

const QString kCrLf = QStringLiteral("\r\n");
const QString kDueTitle = QStringLiteral("Tavrel has a message for you:");

struct Box {
    QString title;
    QString text;
    bool operator==(const Box&) const = default;
};

// Records every box with the tick it came in; answers Yes to the missed-message question.
class SimDialogs final : public Dialogs {
public:
    int messageBox(const QString& text, const QString& title, uint32_t style) override {
        boxes.append({title.isEmpty() ? kProgramTitle : title, text});
        return (style & MB::ButtonMask) == MB::YESNO ? IDYES : IDOK;
    }
    void beep() override {}
    QList<Box> boxes;
};

class SimWindow final : public MainWindowPort {
public:
    void addSavedMessage(const QString&) override {}
    void setEditDeleteEnabled(bool) override {}
    void showPlaceholder() override {}
    void showWindow() override {}
    void setTimerMessageEnabled(bool enabled) override {
        if (enabled && !timerOn)
            restarted = true;
        timerOn = enabled;
    }
    bool timerOn = false;
    bool restarted = false;
};

struct Message {
    QString description;
    QDate finalDate;
    QDate priorDate;
    int daysPrior = 0;
    std::optional<QTime> start; // none: no window
    QTime end;
    QString text;
};

// The rules, written down once more without the engine.
class Oracle {
public:
    Oracle(const QList<Message>& messages, const DateText& dates)
        : m_messages(messages), m_dates(dates) {}

    struct Entry {
        QTime time;
        QString text;
    };

    void startUp(const QDateTime& now) {
        const QDate today = now.date();
        QStringList old;
        for (const Message& m : m_messages) {
            const bool current = m.finalDate == today || m.priorDate == today ||
                                 (today <= m.finalDate && today >= m.priorDate);
            if (current)
                check(m, now);
            if (today.daysTo(m.finalDate) < -31)
                old.append(QStringLiteral("-Message dated ") + m_dates.shortDate(m.priorDate) +
                           QStringLiteral(" description: ") + m.description);
        }
        if (!old.isEmpty())
            expected.append({QStringLiteral("Information:"),
                             QStringLiteral("Some previously saved messages are older than 30 "
                                            "days:") +
                                 kCrLf + kCrLf + old.join(kCrLf) + kCrLf});
    }

    void newDay(const QDateTime& now) {
        entries.clear(); // the timer file is deleted
        const QDate today = now.date();
        for (const Message& m : m_messages) {
            if (m.finalDate == today || m.priorDate == today)
                check(m, now);
        }
    }

    void messageTick(const QDateTime& now) {
        const QTime tick = now.time();
        QList<Entry> due;
        for (const Entry& e : entries) {
            if (e.time > lastCheck && e.time <= tick)
                due.append(e);
        }
        for (const Entry& e : due) {
            expected.append({kProgramTitle, e.text});
            rebuild(now);
        }
        lastCheck = tick;
    }

    bool timerOn() const { return !entries.isEmpty(); }

    QList<Box> expected;
    QList<Entry> entries;
    QTime lastCheck{0, 0};

private:
    static QTime minute(QTime t) { return QTime(t.hour(), t.minute()); }

    void check(const Message& m, const QDateTime& now) {
        const QTime t = minute(now.time());
        if (!m.start) {
            showDue(m);
            return;
        }
        const QTime start = minute(*m.start);
        const QTime end = minute(m.end);
        if (t < start) {
            entries.append({*m.start, m.text});
            lastCheck = now.time();
        } else if (t <= end) {
            showDue(m);
        } else {
            expected.append(
                {kProgramTitle, QStringLiteral("You had a message planned for today at ") +
                                    DateText::ampmTime(*m.start) +
                                    QStringLiteral("      \r\nWould you like to see it now?")});
            showDue(m); // answered Yes
        }
    }

    void showDue(const Message& m) {
        expected.append({kDueTitle, m.text + kCrLf + kCrLf + QStringLiteral("[ Final message: ") +
                                        m_dates.shortDate(m.finalDate) + QStringLiteral(" ]")});
    }

    // After a timed showing: the timer file again from the files, narrow due test.
    void rebuild(const QDateTime& now) {
        entries.clear();
        const QDate today = now.date();
        const QTime t = minute(now.time());
        for (const Message& m : m_messages) {
            if ((m.finalDate == today || m.priorDate == today) && m.start && minute(*m.start) > t) {
                entries.append({*m.start, m.text});
                lastCheck = now.time();
            }
        }
    }

    const QList<Message>& m_messages;
    const DateText& m_dates;
};

QList<Message> makeMessages(quint32 seed) {
    QRandomGenerator random(seed);
    QList<Message> out;
    for (int i = 0; i < kMessages; ++i) {
        Message m;
        m.description = QStringLiteral("m%1").arg(i, 3, 10, QLatin1Char('0'));
        int offset = random.bounded(-70, kDays + 20);
        if (i % 40 == 0)
            offset = 0; // due on the first day
        m.finalDate = kFirstDay.addDays(offset);
        if (i == 7 || i == 8)
            m.finalDate = QDate(2028, 2, 29);
        m.daysPrior = i % 3 == 0 ? int(random.bounded(100)) : 0;
        m.priorDate = m.finalDate.addDays(-m.daysPrior);
        if (random.bounded(10) >= 4) {
            const int startMinute = int(random.bounded(1439));
            const int endMinute = startMinute + 1 + int(random.bounded(1439 - startMinute));
            m.start = QTime(0, 0).addSecs(startMinute * 60);
            m.end = QTime(0, 0).addSecs(endMinute * 60);
        } else {
            m.end = QTime(0, 0);
        }
        // Fixed cases among the random ones.
        auto window = [&m](QDate day, QTime start, QTime end) {
            m.finalDate = day;
            m.daysPrior = 0;
            m.priorDate = day;
            m.start = start;
            m.end = end;
        };
        switch (i) {
        case 1: // missed before start-up: the question, then the message
            window(kFirstDay, QTime(7, 0), QTime(8, 0));
            break;
        case 2: // over before the change of day is noticed
            window(kFirstDay.addDays(50), QTime(0, 5), QTime(0, 20));
            break;
        case 3: // starts in the minute of start-up
            window(kFirstDay, QTime(9, 0), QTime(9, 30));
            break;
        case 4: // later on the first day
            window(kFirstDay, QTime(15, 0), QTime(16, 0));
            break;
        case 10: // inside the hour skipped in spring, in each zone
            window(QDate(2028, 3, 26), QTime(2, 30), QTime(2, 45));
            break;
        case 11:
            window(QDate(2028, 3, 12), QTime(2, 30), QTime(2, 45));
            break;
        case 12: // inside the hour repeated in autumn, in each zone
            window(QDate(2027, 10, 31), QTime(2, 30), QTime(2, 40));
            break;
        case 13:
            window(QDate(2027, 11, 7), QTime(1, 30), QTime(1, 40));
            break;
        case 14: // just after the clock is set back a day
            window(kFirstDay.addDays(kSetBackDay), QTime(15, 10), QTime(15, 20));
            break;
        case 15: // the whole window inside a suspend gap
            window(kFirstDay.addDays(kSuspendDays.first()), QTime(23, 0), QTime(23, 30));
            break;
        case 16: // right after waking up
            window(kFirstDay.addDays(kSuspendDays.at(1) + 1), QTime(6, 30), QTime(6, 45));
            break;
        case 17: // the last minutes of a day, the day before a change of time
            window(QDate(2027, 10, 30), QTime(23, 50), QTime(23, 59));
            break;
        default:
            break;
        }
        m.text = QStringLiteral("Message %1").arg(i);
        if (i % 5 == 0)
            m.text += QStringLiteral(", with a comma\r\nand a second line");
        out.append(m);
    }
    return out;
}

} // namespace

class TestYearSimulation : public QObject {
    Q_OBJECT
private slots:
    void year_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("Europe/Amsterdam") << QByteArray("Europe/Amsterdam") << 20261207u;
        QTest::newRow("America/New_York") << QByteArray("America/New_York") << 20261208u;
    }
    void year() {
        QFETCH(QByteArray, zone);
        QFETCH(quint32, seed);
        const QTimeZone tz(zone);
        QVERIFY(tz.isValid());
        QElapsedTimer elapsed;
        elapsed.start();

        TempProgramFolder folder;
        const DateText dates(QLocale::c(), QStringLiteral("d-M-yyyy"));
        const QList<Message> messages = makeMessages(seed);
        QByteArray filesBefore;
        for (const Message& m : messages) {
            const QString none = DateText::ampmTime(QTime(0, 0));
            WriteMessageFile(folder.file(m.description + QStringLiteral(".tvr")),
                             {dates.shortDate(m.finalDate), m.text, QString::number(m.daysPrior),
                              dates.shortDate(m.priorDate),
                              m.start ? DateText::ampmTime(*m.start) : none,
                              m.start ? DateText::ampmTime(m.end) : none});
        }
        for (const QString& name : ListMessageFiles(folder.path()))
            filesBefore += folder.read(name);

        // Wall time = monotonic time + offset; the offset moves at a suspend (+8 h) and when
        // the clock is set back (-24 h). Timers run on monotonic time.
        const qint64 startUtc = QDateTime(kFirstDay, QTime(9, 0), tz).toMSecsSinceEpoch();
        qint64 mono = 0;
        qint64 wallOffset = startUtc;
        FakeClock clock;
        auto wall = [&] {
            return QDateTime::fromMSecsSinceEpoch(mono + wallOffset, tz);
        };
        clock.set(wall());

        SimDialogs dialogs;
        FakeSound sound;
        SimWindow window;
        StartupAndRoutines engine(
            clock, dialogs, sound, dates, folder.path(),
            [&window]() -> MainWindowPort& { return window; }, [] { QFAIL("program ended"); });
        Oracle oracle(messages, dates);

        int checked = 0;
        auto compare = [&](const char* what) {
            for (; checked < dialogs.boxes.size() || checked < oracle.expected.size(); ++checked) {
                const Box got = checked < dialogs.boxes.size() ? dialogs.boxes.at(checked) : Box{};
                const Box want =
                    checked < oracle.expected.size() ? oracle.expected.at(checked) : Box{};
                if (got != want) {
                    qWarning("%s at %s: box %d differs\n  got:  %s | %s\n  want: %s | %s", what,
                             qPrintable(clock.now().toString(Qt::ISODate)), checked,
                             qPrintable(got.title), qPrintable(got.text), qPrintable(want.title),
                             qPrintable(want.text));
                    return false;
                }
            }
            return true;
        };

        // Start-up.
        QCOMPARE(engine.Main(false), StartupAndRoutines::MainResult::Running);
        oracle.startUp(clock.now());
        QVERIFY(compare("start-up"));
        QString lblHIDDENdateTODAY = dates.shortDate(clock.today());

        QList<qint64> suspendsAt;
        for (int d : kSuspendDays)
            suspendsAt.append(
                QDateTime(kFirstDay.addDays(d), QTime(22, 30), tz).toMSecsSinceEpoch());
        const qint64 setBackAt =
            QDateTime(kFirstDay.addDays(kSetBackDay), QTime(15, 0), tz).toMSecsSinceEpoch();
        bool setBackDone = false;

        qint64 nextNewDay = kNewDayPeriodMs;
        qint64 nextMessage = window.timerOn ? kMessagePeriodMs : -1;
        window.restarted = false;
        int newDayTicks = 0; // the oracle's own count and remembered day
        QDate oracleDay = clock.today();
        const qint64 endMono = qint64(kDays) * 24 * kHourMs;
        qint64 ticks = 0;
        qint64 timedShown = 0;
        while (mono < endMono) {
            const bool messageFirst = nextMessage >= 0 && nextMessage <= nextNewDay;
            mono = messageFirst ? nextMessage : nextNewDay;
            const qint64 wallMs = mono + wallOffset;
            if (!suspendsAt.isEmpty() && wallMs >= suspendsAt.first()) {
                // Asleep from here: no tick for eight hours, then the clock shows the later time.
                wallOffset += 8 * kHourMs;
                suspendsAt.removeFirst();
            }
            if (!setBackDone && wallMs >= setBackAt) {
                wallOffset -= 24 * kHourMs;
                setBackDone = true;
            }
            clock.set(wall());
            ++ticks;

            if (messageFirst) {
                QCOMPARE(window.timerOn, oracle.timerOn());
                const qsizetype before = dialogs.boxes.size();
                engine.ShowDueTimedMessages();
                oracle.messageTick(clock.now());
                QVERIFY(compare("TimerMessage"));
                // Nothing shown twice in one tick.
                QSet<QString> seen;
                for (qsizetype i = before; i < dialogs.boxes.size(); ++i) {
                    QVERIFY(!seen.contains(dialogs.boxes.at(i).text));
                    seen.insert(dialogs.boxes.at(i).text);
                }
                timedShown += dialogs.boxes.size() - before;
                nextMessage += kMessagePeriodMs;
            } else {
                if (engine.TimerNewDay_Timer(lblHIDDENdateTODAY))
                    lblHIDDENdateTODAY = dates.shortDate(clock.today());
                if (newDayTicks >= 30) {
                    newDayTicks = 0;
                    if (oracleDay != clock.today()) {
                        oracle.newDay(clock.now());
                        oracleDay = clock.today();
                    }
                } else {
                    ++newDayTicks;
                }
                QVERIFY(compare("TimerNewDay"));
                nextNewDay += kNewDayPeriodMs;
            }
            // The message timer follows the engine's switch: a fresh start after it was off.
            QCOMPARE(window.timerOn, oracle.timerOn());
            if (!window.timerOn)
                nextMessage = -1;
            else if (window.restarted || nextMessage < 0)
                nextMessage = mono + kMessagePeriodMs;
            window.restarted = false;
        }
        QVERIFY(compare("end"));
        QVERIFY(setBackDone);
        QVERIFY(suspendsAt.isEmpty());

        // Every message due on a day the program ran through was shown at least once.
        int shownMessages = 0;
        int lostInSleep = 0;
        for (const Message& m : messages) {
            const bool inRun =
                m.finalDate >= kFirstDay && m.finalDate < kFirstDay.addDays(kDays - 1);
            bool shown = false;
            for (const Box& b : dialogs.boxes)
                shown = shown || b.text == m.text || b.text.startsWith(m.text + kCrLf + kCrLf);
            // By the rules a window that lies wholly inside a suspend gap is lost: after waking,
            // the timer's entry is not between the last check (before the sleep) and the tick,
            // and the next change of day deletes the timer file. No missed-message question
            // comes either. This is what the program does; the case is counted, not hidden.
            const bool slept = m.start && kSuspendDays.contains(kFirstDay.daysTo(m.finalDate)) &&
                               *m.start >= QTime(22, 30);
            if (inRun && slept && !shown)
                ++lostInSleep;
            else if (inRun && !shown)
                QFAIL(qPrintable(m.description + QStringLiteral(" never shown")));
            shownMessages += shown ? 1 : 0;
        }
        QByteArray filesAfter;
        for (const QString& name : ListMessageFiles(folder.path()))
            filesAfter += folder.read(name);
        QCOMPARE(filesAfter, filesBefore);
        qsizetype prompts = 0;
        for (const Box& b : dialogs.boxes)
            prompts += b.text.startsWith(QStringLiteral("You had a message")) ? 1 : 0;
        qInfo("%s: %lld ticks, %lld boxes (%lld by the message timer, %lld missed prompts), "
              "%d of %d messages shown, %d lost in a suspend gap, %lld ms",
              zone.constData(), ticks, qint64(dialogs.boxes.size()), timedShown, qint64(prompts),
              shownMessages, kMessages, lostInSleep, elapsed.elapsed());
        QCOMPARE(lostInSleep, 1);
        // The set-back day's message: its timer entry recurs on the day before, within the
        // half hour before the daily routine notices the earlier date.
        qsizetype setBackShows = 0;
        for (const Box& b : dialogs.boxes)
            setBackShows += b.text == messages.at(14).text ? 1 : 0;
        qInfo("message due on the set-back day shown %lld times by the message timer",
              qint64(setBackShows));
    }
};

QTEST_GUILESS_MAIN(TestYearSimulation)
#include "tst_yearsim.moc"
