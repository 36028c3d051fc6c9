// The year simulation's messages and its oracle: the rules written down once more without the
// engine, predicting every box in order.
#pragma once

#include "DateText.h"
#include "Dialogs.h"
#include "MainWindowPort.h"

#include <QDate>
#include <QList>
#include <QRandomGenerator>
#include <QSet>
#include <QString>
#include <QTime>
#include <algorithm>
#include <optional>

namespace tavrel::test {

inline constexpr int kDays = 400;
inline constexpr int kMessages = 200;
inline constexpr qint64 kNewDayPeriodMs = 65535;
inline constexpr qint64 kMessagePeriodMs = 10000;
inline constexpr qint64 kHourMs = 3600 * 1000;
inline const QDate kFirstDay(2027, 6, 1);
// Suspend gaps of eight hours start at 22:30 on these days (counted from the first), gaps of four
// hours at 13:00 on others; the clock goes back an hour at 10:30 on one day and a day at 15:00 on
// another.
inline const QList<int> kSuspendDays{30, 150, 290, 333};
inline const QList<int> kDaySleepDays{60, 240};
inline constexpr int kSetBackHourDay = 120;
inline constexpr int kSetBackDay = 200;

inline const QString kCrLf = QStringLiteral("\r\n");
inline const QString kDueTitle = QStringLiteral("Tavrel has a message for you:");

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

// The rules, written down once more without the engine. Each reminder is owed once a day,
// keyed by its message: presented once (its box, or the missed question), never again that day.
class Oracle {
public:
    Oracle(const QList<Message>& messages, const DateText& dates)
        : m_messages(messages), m_dates(dates) {}

    struct Entry {
        QTime time;
        QString text;
        const Message* message = nullptr;
        QDate day;
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
        leaveOtherDays(now.date());
        const QDate today = now.date();
        for (const Message& m : m_messages) {
            if (m.finalDate == today || m.priorDate == today)
                check(m, now);
        }
    }

    // Every owed window that has begun comes up, earliest first; each is followed by a rebuild.
    void messageTick(const QDateTime& now) {
        leaveOtherDays(now.date());
        const QTime tick = now.time();
        QList<Entry> due;
        for (const Entry& e : entries) {
            if (e.time <= tick)
                due.append(e);
        }
        std::stable_sort(due.begin(), due.end(), [this](const Entry& x, const Entry& y) {
            return x.time != y.time ? x.time < y.time : index(x) < index(y);
        });
        for (const Entry& e : due) {
            entries.removeIf([&e](const Entry& o) { return o.message == e.message; });
            m_presented.insert(key(e.day, *e.message));
            // A window that closed unseen (a long box, a sleep) is offered as missed.
            if (minute(e.message->end) < minute(tick) && minute(e.time) != minute(tick))
                missed(*e.message);
            else
                expected.append({kProgramTitle, e.text});
            rebuild(now);
        }
    }

    bool timerOn() const { return !entries.isEmpty(); }

    QList<Box> expected;
    QList<Entry> entries; // owed windows not yet begun (or not yet looked at)

private:
    static QTime minute(QTime t) { return QTime(t.hour(), t.minute()); }
    static QString key(QDate day, const Message& m) {
        return day.toString(Qt::ISODate) + m.description;
    }
    qsizetype index(const Entry& e) const { return e.message - m_messages.constData(); }

    // Another day's record is never shown from. Windows of an earlier day still owed were
    // slept through: each is offered as missed. A later day's (clock set back) never came.
    void leaveOtherDays(QDate today) {
        QList<Entry> kept;
        for (const Entry& e : std::as_const(entries)) {
            if (e.day == today) {
                kept.append(e);
                continue;
            }
            if (e.day < today)
                missed(*e.message);
        }
        entries = kept;
        m_presented.removeIf(
            [&today](const QString& k) { return !k.startsWith(today.toString(Qt::ISODate)); });
    }

    void missed(const Message& m) {
        expected.append(
            {kProgramTitle, QStringLiteral("You had a message planned for today at ") +
                                DateText::ampmTime(*m.start) +
                                QStringLiteral("      \r\nWould you like to see it now?")});
        showDue(m); // answered Yes
    }

    void check(const Message& m, const QDateTime& now) {
        const QDate today = now.date();
        if (m_presented.contains(key(today, m)))
            return;
        const QTime t = minute(now.time());
        if (!m.start) {
            m_presented.insert(key(today, m));
            showDue(m);
            return;
        }
        const QTime start = minute(*m.start);
        const QTime end = minute(m.end);
        if (t < start) {
            registerEntry(m, today);
        } else if (t <= end) {
            m_presented.insert(key(today, m));
            showDue(m);
        } else {
            m_presented.insert(key(today, m));
            missed(m);
        }
    }

    void registerEntry(const Message& m, QDate today) {
        for (const Entry& e : std::as_const(entries)) {
            if (e.message == &m && e.day == today)
                return;
        }
        entries.append({*m.start, m.text, &m, today});
    }

    void showDue(const Message& m) {
        expected.append({kDueTitle, m.text + kCrLf + kCrLf + QStringLiteral("[ Final message: ") +
                                        m_dates.shortDate(m.finalDate) + QStringLiteral(" ]")});
    }

    // After a timed showing: today's owed windows still ahead stay, and the files' (narrow
    // due test) are registered; one presented today never again.
    void rebuild(const QDateTime& now) {
        const QDate today = now.date();
        const QTime t = minute(now.time());
        entries.removeIf(
            [today, t](const Entry& e) { return e.day != today || minute(e.time) <= t; });
        for (const Message& m : m_messages) {
            if ((m.finalDate == today || m.priorDate == today) && m.start && minute(*m.start) > t &&
                !m_presented.contains(key(today, m)))
                registerEntry(m, today);
        }
    }

    const QList<Message>& m_messages;
    const DateText& m_dates;
    QSet<QString> m_presented; // day and description of every reminder presented
};

inline QList<Message> makeMessages(quint32 seed) {
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
        case 18: // the whole window inside a sleep within the day
            window(kFirstDay.addDays(kDaySleepDays.first()), QTime(14, 0), QTime(15, 0));
            break;
        case 19: // begins during that sleep, still open on waking
            window(kFirstDay.addDays(kDaySleepDays.first()), QTime(16, 30), QTime(18, 0));
            break;
        case 20: // the sleep lies inside the window, which was shown before it
            window(kFirstDay.addDays(kDaySleepDays.at(1)), QTime(12, 0), QTime(13, 30));
            break;
        case 21: // shown before the clock goes back an hour, not again after
            window(kFirstDay.addDays(kSetBackHourDay), QTime(10, 0), QTime(10, 15));
            break;
        case 22: // still ahead when the clock goes back an hour
            window(kFirstDay.addDays(kSetBackHourDay), QTime(10, 45), QTime(11, 0));
            break;
        case 23: // on the new day, inside a sleep across midnight
            window(kFirstDay.addDays(kSuspendDays.at(1) + 1), QTime(3, 0), QTime(4, 0));
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

} // namespace tavrel::test
