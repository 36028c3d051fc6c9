// The year simulation's messages and its oracle. The oracle knows the message files (every
// version the simulated user or another program wrote, and when) and the wall clock's timeline,
// nothing else: from these alone it says which reminders are owed, and it judges every box the
// program shows against them. It never looks at the engine's record or at which of its routines
// ran.
#pragma once

#include "DateText.h"
#include "Dialogs.h"
#include "MainWindowPort.h"
#include "MessageRecord.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QRandomGenerator>
#include <QString>
#include <QTime>
#include <QTimeZone>
#include <algorithm>
#include <optional>

namespace tavrel::test {

inline constexpr int kDays = 400;
inline constexpr int kMessages = 200;
inline constexpr qint64 kNewDayPeriodMs = 65535;
inline constexpr qint64 kMessagePeriodMs = 10000;
inline constexpr qint64 kMinuteMs = 60 * 1000;
inline constexpr qint64 kHourMs = 3600 * 1000;
inline const QDate kFirstDay(2027, 6, 1);
// Sleeps of eight hours start at 22:30 on these days (counted from the first), of four hours
// at 13:00 on others; the clock goes back an hour at 10:30 on one day and a day at 15:00 on
// another.
inline const QList<int> kSuspendDays{30, 150, 290, 333};
inline const QList<int> kDaySleepDays{60, 240};
inline constexpr int kSetBackHourDay = 120;
inline constexpr int kSetBackDay = 200;
// Asleep through the whole of the next day: 22:30 to 07:00 two days later.
inline constexpr int kSleepOverDay = 80;
// A weekend asleep, Friday 19:00 to Monday 08:00: the first Friday from this day on.
inline constexpr int kWeekendFrom = 170;
// The clock set back across midnight: at 00:15 back to 23:30 of the day before, running on
// over midnight again; and at 00:10 back to 23:40, then forward to 00:20 at 23:50.
inline constexpr int kBackOverMidnightDay = 260;
inline constexpr int kBackAndForwardDay = 310;
// Two windows at 23:50 whose first box stays open past midnight, and a message the next day.
inline constexpr int kLateBoxDay = 45;
// Asleep from 20:00 until 23:50 the next day: the daily routine's box stays open past midnight.
inline constexpr int kWakeLateDay = 100;

inline QDate weekendFriday() {
    QDate d = kFirstDay.addDays(kWeekendFrom);
    while (d.dayOfWeek() != Qt::Friday)
        d = d.addDays(1);
    return d;
}

inline const QString kCrLf = QStringLiteral("\r\n");
inline const QString kDueTitle = QStringLiteral("Tavrel has a message for you:");
inline const QString kQuestion = QStringLiteral("You had a message planned for today at ");

struct Box {
    QString title;
    QString text;
    bool operator==(const Box&) const = default;
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

// One version of a message file.
struct Message {
    QString description;
    QDate finalDate;
    QDate priorDate;
    int daysPrior = 0;
    std::optional<QTime> start; // none: no window
    QTime end;
    QString text;

    bool firstOrFinal(QDate day) const { return day == finalDate || day == priorDate; }
    bool covers(QDate day) const {
        return firstOrFinal(day) || (priorDate <= day && day <= finalDate);
    }
};

inline MessageRecord recordOf(const Message& m, const DateText& dates) {
    const QString none = DateText::ampmTime(QTime(0, 0));
    return {dates.shortDate(m.finalDate),
            m.text,
            QString::number(m.daysPrior),
            dates.shortDate(m.priorDate),
            m.start ? DateText::ampmTime(*m.start) : none,
            m.start ? DateText::ampmTime(m.end) : none};
}

// How a reminder came in front of the user.
enum class Shown { DueBox, TimedBox, Question };

struct YearCount {
    int owed = 0, presented = 0, optionalShown = 0;
    int lost = 0, doubled = 0, wrong = 0, outOfOrder = 0, late = 0;
};

class Oracle {
public:
    Oracle(const DateText& dates, QTimeZone tz) : m_dates(dates), m_tz(std::move(tz)) {}

    // The program starts: every message whose days cover today is owed today.
    void start(qint64 mono, qint64 wallMs, const QList<Message>& files) {
        const QDate today = local(wallMs).date();
        m_startDay = m_maxDay = m_today = today;
        m_clockAt = {mono, wallMs};
        QStringList old;
        for (const Message& m : files) {
            setFile(mono, m.description, m);
            if (m.covers(today))
                owe(m.description, today, m.start, true);
            if (today.daysTo(m.finalDate) < -31)
                old.append(QStringLiteral("-Message dated ") + m_dates.shortDate(m.priorDate) +
                           QStringLiteral(" description: ") + m.description);
        }
        if (!old.isEmpty())
            oldReport = QStringLiteral("Some previously saved messages are older than 30 "
                                       "days:") +
                        kCrLf + kCrLf + old.join(kCrLf) + kCrLf;
        reached(mono);
    }

    // The clock read at every step of the event loop: the day's messages are owed once the
    // date first reaches it (asleep or not), a window once its start minute has come.
    void clock(qint64 mono, qint64 wallMs) {
        const QDate today = local(wallMs).date();
        if (today != m_today) {
            m_dateChangedAt = mono;
            m_routineSure = false;
            m_today = today;
            // The clock went back to a day lived through: its routine runs again, and may
            // bring what that day never owed when it was lived (a window saved after it passed).
            for (const auto& [name, versions] : m_files.asKeyValueRange()) {
                const std::optional<Message>& m = versions.last().second;
                if (today < m_maxDay && m && m->firstOrFinal(today) && !find(name, today, m->start))
                    owe(name, today, m->start, false);
            }
        }
        m_clockAt = {mono, wallMs};
        for (; m_maxDay < today;) {
            m_maxDay = m_maxDay.addDays(1);
            for (const auto& [name, versions] : m_files.asKeyValueRange()) {
                if (versions.last().second && versions.last().second->firstOrFinal(m_maxDay))
                    owe(name, m_maxDay, versions.last().second->start, true);
            }
        }
        reached(mono);
        // The daily routine has surely run once forty minutes passed since the date changed
        // with no reminder box open and no sleep or clock change.
        const qint64 quietFrom = std::max({m_dateChangedAt, m_reminderClosedAt, m_jumpedAt});
        if (!m_reminderOpen && mono - quietFrom >= 40 * kMinuteMs)
            m_routineSure = true;
    }
    void jumped(qint64 mono) {
        m_jumpedAt = mono;
        m_busy.append({mono, mono});
    }
    void reminderBox(qint64 mono, bool open) {
        m_reminderOpen = open;
        if (open)
            m_reminderOpenedAt = mono;
        else {
            m_reminderClosedAt = mono;
            m_busy.append({m_reminderOpenedAt, mono});
        }
    }

    // A message file written (by the composer's save or by another program), or deleted.
    void written(const QString& name, const std::optional<Message>& version, bool bySave) {
        const auto [mono, wallMs] = m_clockAt;
        setFile(mono, name, version);
        // What it no longer holds is owed no more: deleted, another window, another day.
        for (Reminder& r : m_reminders) {
            if (r.file == name && !r.given && r.voidedAt < 0 && !(version && holds(*version, r)))
                r.voidedAt = mono;
        }
        if (!version)
            return;
        const QDateTime now = local(wallMs);
        const QDate today = now.date();
        if (!version->firstOrFinal(today) || find(name, today, version->start))
            return;
        const bool ahead = version->start && minute(*version->start) > minute(now.time());
        // The save's time check registers a window still ahead. Anything else of today waits
        // for the daily routine, which may have read the file before or after this.
        if (ahead && bySave)
            owe(name, today, version->start, true);
        else if (!m_routineSure)
            owe(name, today, version->start, false);
        reached(mono);
    }

    // A box put a reminder in front of the user: judged against the files and the clock at
    // that moment. `text` is the message text shown (for a question: by the box its Yes
    // opened); `detail` is the final date a due box shows, or the start a question names.
    void presented(qint64 mono, qint64 wallMs, Shown how, const QString& text,
                   const QString& detail) {
        ++m_count.presented;
        const QString name = m_owner.value(text);
        const std::optional<Message> file = fileAt(name, mono);
        if (!file || file->text != text) {
            complain("shows what its file did not hold", name,
                     text + QStringLiteral(" / ") + (file ? file->text : QStringLiteral("none")));
            ++m_count.wrong;
            return;
        }
        if ((how == Shown::DueBox && detail != m_dates.shortDate(file->finalDate)) ||
            (how == Shown::Question && detail != DateText::ampmTime(*file->start))) {
            complain("names another date or time", name, text);
            ++m_count.wrong;
            return;
        }
        Reminder* chosen = nullptr;
        for (Reminder& r : m_reminders) {
            if (r.file != name || r.given || (r.voidedAt >= 0 && r.voidedAt <= mono) ||
                r.owedAt < 0 || r.owedAt > mono || r.start != file->start)
                continue;
            if (!chosen || r.day < chosen->day)
                chosen = &r;
        }
        if (!chosen) {
            const bool before =
                std::any_of(m_reminders.cbegin(), m_reminders.cend(), [&](const Reminder& r) {
                    return r.file == name && r.given && r.start == file->start;
                });
            complain(before ? "shown again" : "not owed", name, text);
            ++(before ? m_count.doubled : m_count.wrong);
            return;
        }
        chosen->given = true;
        m_count.optionalShown += chosen->must ? 0 : 1;
        if (!rightWay(how, *chosen, *file, local(wallMs))) {
            complain("shown the wrong way", name, text);
            ++m_count.wrong;
        }
        // In time: a reminder owed while the program could look for forty minutes (no box of
        // a reminder open, no sleep) has come up by then; the new-day check runs every 34.
        if (quietStretch(chosen->owedAt, mono) >= 40 * kMinuteMs) {
            complain("came late", name, chosen->day.toString(Qt::ISODate));
            ++m_count.late;
        }
        // Day by day: nothing of a later day while an earlier day's reminder is still owed.
        for (const Reminder& r : std::as_const(m_reminders)) {
            if (r.must && !r.given && r.voidedAt < 0 && r.owedAt >= 0 && r.owedAt <= mono &&
                r.day < chosen->day) {
                complain("came before an earlier day's", name,
                         r.file + QLatin1Char(' ') + r.day.toString(Qt::ISODate));
                ++m_count.outOfOrder;
                break;
            }
        }
    }

    // Owed by `until` and never presented: lost.
    YearCount finish(qint64 until) {
        for (const Reminder& r : std::as_const(m_reminders)) {
            if (!r.must || r.voidedAt >= 0 || r.owedAt < 0 || r.owedAt > until)
                continue;
            ++m_count.owed;
            if (!r.given) {
                complain("never shown", r.file, r.day.toString(Qt::ISODate));
                ++m_count.lost;
            }
        }
        return m_count;
    }

    // On a settled day (the routine ran, no sleep, clock change or file change since the day
    // began), the timer file holds today's windows still ahead, in listing order, as the
    // files hold them; nullopt when the moment is not such a one.
    std::optional<QList<Message>> ahead(bool dayDisturbed) const {
        const QDateTime now = local(m_clockAt.second);
        const QDate today = now.date();
        if (dayDisturbed || !m_routineSure || m_reminderOpen || today != m_maxDay ||
            m_startDay == today)
            return std::nullopt;
        QList<Message> out;
        for (const auto& [name, versions] : m_files.asKeyValueRange()) {
            const std::optional<Message>& m = versions.last().second;
            if (!m || !m->start || !m->firstOrFinal(today))
                continue;
            const int at = minute(now.time()).secsTo(minute(*m->start)) / 60;
            if (at >= -1 && at <= 0)
                return std::nullopt; // falling due this very minute
            const Reminder* r = find(name, today, m->start);
            if (at > 0 && !(r && r->owedAt >= 0))
                out.append(*m);
        }
        return out;
    }
    QDate lastDay() const { return m_maxDay; }
    std::optional<Message> current(const QString& name) const {
        return m_files.contains(name) ? m_files.value(name).last().second : std::nullopt;
    }
    QStringList names() const {
        QStringList out;
        for (const auto& [name, versions] : m_files.asKeyValueRange()) {
            if (versions.last().second)
                out.append(name);
        }
        return out;
    }

    QString oldReport;
    QStringList complaints;

private:
    struct Reminder {
        QString file;
        QDate day;
        std::optional<QTime> start; // the key: day, file, window start
        qint64 threshold;           // owed once the wall clock reaches this
        bool must;                  // false: the rules leave open whether it is owed
        qint64 owedAt = -1;         // steady time when the wall clock first reached it
        qint64 voidedAt = -1;
        bool given = false;
    };

    static QTime minute(QTime t) { return QTime(t.hour(), t.minute()); }
    // The longest time between `from` and `to` with no reminder box open and no sleep.
    qint64 quietStretch(qint64 from, qint64 to) const {
        QList<std::pair<qint64, qint64>> busy;
        for (const auto& b : m_busy) {
            if (b.second >= from && b.first <= to)
                busy.append(b);
        }
        std::sort(busy.begin(), busy.end());
        qint64 longest = 0, at = from;
        for (const auto& [start, end] : std::as_const(busy)) {
            longest = std::max(longest, start - at);
            at = std::max(at, end);
        }
        return std::max(longest, to - at);
    }
    QDateTime local(qint64 wallMs) const { return QDateTime::fromMSecsSinceEpoch(wallMs, m_tz); }

    static bool holds(const Message& m, const Reminder& r) {
        return m.start == r.start && m.covers(r.day);
    }
    const Reminder* find(const QString& name, QDate day, const std::optional<QTime>& start) const {
        for (const Reminder& r : m_reminders) {
            if (r.file == name && r.day == day && r.start == start && (r.given || r.voidedAt < 0))
                return &r;
        }
        return nullptr;
    }

    // The first moment whose local date and minute are not before the day and start: the
    // first of a repeated hour, the end of a skipped one.
    qint64 thresholdOf(QDate day, const std::optional<QTime>& start) const {
        const QTime at = start ? minute(*start) : QTime(0, 0);
        const auto reached = [&](qint64 ms) {
            const QDateTime t = local(ms);
            return t.date() > day || (t.date() == day && minute(t.time()) >= at);
        };
        qint64 ms = QDateTime(day, at, m_tz).toMSecsSinceEpoch() - 3 * kHourMs;
        ms -= ms % kMinuteMs;
        while (!reached(ms))
            ms += kMinuteMs;
        return ms;
    }

    void owe(const QString& name, QDate day, const std::optional<QTime>& start, bool must) {
        m_reminders.append({name, day, start, thresholdOf(day, start), must});
        m_waiting.append(int(m_reminders.size() - 1));
        std::sort(m_waiting.begin(), m_waiting.end(), [this](int a, int b) {
            return m_reminders.at(a).threshold > m_reminders.at(b).threshold;
        });
    }
    void reached(qint64 mono) {
        while (!m_waiting.isEmpty() &&
               m_reminders.at(m_waiting.last()).threshold <= m_clockAt.second)
            m_reminders[m_waiting.takeLast()].owedAt = mono;
    }

    void setFile(qint64 mono, const QString& name, const std::optional<Message>& version) {
        m_files[name].append({mono, version});
        if (version)
            m_owner.insert(version->text, name);
    }
    std::optional<Message> fileAt(const QString& name, qint64 mono) const {
        std::optional<Message> at;
        for (const auto& [from, version] : m_files.value(name)) {
            if (from <= mono)
                at = version;
        }
        return at;
    }

    // A window's reminder is its box (a routine's due box or the tick's timed box) while the
    // window is open on its day, and the question once the window or the whole day passed.
    bool rightWay(Shown how, const Reminder& r, const Message& m, const QDateTime& now) const {
        if (!r.start)
            return how == Shown::DueBox;
        const QTime t = minute(now.time());
        if (now.date() > r.day || (now.date() == r.day && t > minute(m.end)))
            return how == Shown::Question;
        return now.date() == r.day && t >= minute(*r.start) && how != Shown::Question;
    }

    void complain(const char* what, const QString& name, const QString& detail) {
        if (complaints.size() < 20)
            complaints.append(QStringLiteral("%1 at %2: %3 (%4)")
                                  .arg(name, local(m_clockAt.second).toString(Qt::ISODate),
                                       QString::fromLatin1(what), detail));
    }

    const DateText& m_dates;
    QTimeZone m_tz;
    // Every version of every file, from when it stood; nullopt: deleted.
    QMap<QString, QList<std::pair<qint64, std::optional<Message>>>> m_files;
    QHash<QString, QString> m_owner; // text of a version -> its file
    QList<Reminder> m_reminders;
    QList<int> m_waiting;                      // reminders whose moment has not come, latest first
    std::pair<qint64, qint64> m_clockAt{0, 0}; // steady and wall time now
    QDate m_startDay, m_maxDay, m_today;
    qint64 m_dateChangedAt = 0, m_reminderOpenedAt = 0, m_reminderClosedAt = 0, m_jumpedAt = 0;
    QList<std::pair<qint64, qint64>> m_busy; // reminder boxes open, sleeps and clock changes
    bool m_reminderOpen = false;
    bool m_routineSure = true;
    YearCount m_count;
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
        auto on = [&m](QDate day) {
            m.finalDate = day;
            m.daysPrior = 0;
            m.priorDate = day;
            m.start.reset();
            m.end = QTime(0, 0);
        };
        auto window = [&m, &on](QDate day, QTime start, QTime end) {
            on(day);
            m.start = start;
            m.end = end;
        };
        const QDate friday = weekendFriday();
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
        case 15: // the whole window inside a sleep across midnight
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
        case 24: // the whole day slept through: one due box, one question
            on(kFirstDay.addDays(kSleepOverDay + 1));
            break;
        case 25:
            window(kFirstDay.addDays(kSleepOverDay + 1), QTime(9, 0), QTime(10, 0));
            break;
        case 26: // a weekend asleep: Saturday's, Sunday's, then Monday's
            on(friday.addDays(1));
            break;
        case 27:
            window(friday.addDays(2), QTime(11, 0), QTime(12, 0));
            break;
        case 28:
            on(friday.addDays(3));
            break;
        case 29: // two windows whose box stays open across midnight, and the next day's
            window(kFirstDay.addDays(kLateBoxDay), QTime(23, 50), QTime(23, 58));
            break;
        case 30:
            window(kFirstDay.addDays(kLateBoxDay), QTime(23, 50), QTime(23, 59));
            break;
        case 31:
            on(kFirstDay.addDays(kLateBoxDay + 1));
            break;
        case 32: // the clock set back over midnight: once, not again when midnight recurs
            on(kFirstDay.addDays(kBackOverMidnightDay));
            break;
        case 33:
            window(kFirstDay.addDays(kBackOverMidnightDay), QTime(0, 5), QTime(0, 12));
            break;
        case 34:
            on(kFirstDay.addDays(kBackAndForwardDay));
            break;
        case 35: // inside the twenty minutes the clock skips going forward again
            window(kFirstDay.addDays(kBackAndForwardDay), QTime(0, 12), QTime(0, 18));
            break;
        case 36: // the day the late wake's routine runs for, and the next
            on(kFirstDay.addDays(kWakeLateDay + 1));
            break;
        case 37:
            on(kFirstDay.addDays(kWakeLateDay + 2));
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
