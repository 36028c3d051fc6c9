// The user of the simulated year who leaves boxes open, from seconds to fourteen hours. While a
// box is open the run goes on inside it, as a real nested event loop would: timer ticks, new
// days, sleeps, clock changes and tray actions arrive, with time passing. The count is taken per
// reminder owed: each must be presented exactly once (its box, or one missed question answered
// with its box), and each box must show the message it is about.
#pragma once

#include "Fakes.h"
#include "MessageFile.h"
#include "StartupAndRoutines.h"
#include "YearSimOracle.h"

#include <QHash>
#include <QTimeZone>
#include <functional>

namespace tavrel::test {

inline const QString kQuestion = QStringLiteral("You had a message planned for today at ");

struct OpenBoxCount {
    int presentations = 0, lost = 0, doubled = 0, wrong = 0, errors = 0;
    int stacked = 0;            // a reminder's box opened over another's
    int boxes = 0, longest = 0; // longest hold, in minutes
    int newDaysInBoxes = 0, jumpsInBoxes = 0, trayInBoxes = 0;
};

class OpenBoxRun final : public Dialogs {
public:
    struct Jump {
        qint64 atUtc; // falls asleep, or the clock is set, when the wall clock reaches this
        qint64 shift; // how far the wall clock moves then; or
        qint64 toUtc; // when non-zero: where it wakes, exactly
    };

    OpenBoxRun(const QList<Message>& messages, const QString& folder, const DateText& dates,
               const QTimeZone& tz, quint32 seed, QList<Jump> jumps)
        : m_messages(messages), m_folder(folder), m_dates(dates), m_tz(tz), m_random(seed),
          m_jumps(std::move(jumps)) {
        for (qsizetype i = 0; i < messages.size(); ++i)
            m_byText.insert(messages.at(i).text, int(i));
    }

    OpenBoxCount run(qint64 startUtc, qint64 endMono) {
        m_wallOffset = startUtc;
        m_clock.setReading(wall(), 0);
        m_occurrences.append({m_clock.today(), 0, true, false});
        if (m_engine.Main(false) != StartupAndRoutines::MainResult::Running)
            ++m_count.errors;
        m_label = m_dates.shortDate(m_clock.today());
        m_nextNewDay = kNewDayPeriodMs;
        m_nextTray = 3 * kHourMs;
        syncMessageTimer();
        runUntil(endMono);
        return count();
    }

    int messageBox(const QString& text, const QString& title, uint32_t style) override {
        ++m_count.boxes;
        classify(text, title);
        const bool reminder =
            title == kDueTitle ||
            (title == kProgramTitle && (text.startsWith(kQuestion) || m_byText.contains(text)));
        // Reminders stay up for seconds to fourteen hours; the others a minute or two.
        const int kind = int(m_random.bounded(100));
        const qint64 hold = !reminder   ? m_random.bounded(1000, 120000)
                            : kind < 30 ? m_random.bounded(1000, 60000)
                            : kind < 60 ? m_random.bounded(60000, kHourMs)
                            : kind < 85 ? m_random.bounded(kHourMs, 6 * kHourMs)
                                        : m_random.bounded(6 * kHourMs, 14 * kHourMs);
        m_count.longest = std::max(m_count.longest, int(hold / 60000));
        m_count.stacked += reminder && m_reminderOpen;
        const bool outer = std::exchange(m_reminderOpen, m_reminderOpen || reminder);
        const QDate before = m_clock.today();
        ++m_depth;
        runUntil(m_mono + hold);
        --m_depth;
        m_reminderOpen = outer;
        m_count.newDaysInBoxes += m_clock.today() != before;
        const bool yes = (style & MB::ButtonMask) == MB::YESNO;
        if (yes && text.startsWith(kQuestion))
            m_answered = text.mid(kQuestion.size()).section(QLatin1Char(' '), 0, 1);
        return yes ? IDYES : IDOK;
    }
    void beep() override {}

private:
    struct Occurrence {
        QDate day;
        qint64 startMono;
        bool wide;          // the start-up pass: every message whose period covers the day
        bool endedBackward; // the clock went back to an earlier day
    };
    struct Presentation {
        int message;
        qint64 mono;
    };

    qint64 wallMs() const { return m_mono + m_wallOffset; }
    QDateTime wall() const { return QDateTime::fromMSecsSinceEpoch(wallMs(), m_tz); }

    void classify(const QString& text, const QString& title) {
        if (!m_answered.isEmpty()) {
            // The box after a missed question answered Yes: that question's own message.
            const QString start = std::exchange(m_answered, QString());
            const int m = dueMessage(text, title);
            if (m < 0 || DateText::ampmTime(*m_messages.at(m).start) != start)
                ++m_count.wrong;
            else
                m_presentations.append({m, m_mono});
            return;
        }
        if (title == kDueTitle) {
            const int m = dueMessage(text, title);
            if (m < 0)
                ++m_count.wrong;
            else
                m_presentations.append({m, m_mono});
        } else if (title == kProgramTitle && m_byText.contains(text)) {
            m_presentations.append({m_byText.value(text), m_mono});
        } else if (text == QLatin1String("Error showing message") ||
                   text.startsWith(QLatin1String("An Error"))) {
            ++m_count.errors;
        }
    }

    int dueMessage(const QString& text, const QString& title) const {
        const qsizetype end = text.indexOf(QStringLiteral("\r\n\r\n[ Final message: "));
        if (title != kDueTitle || end < 0)
            return -1;
        const int m = m_byText.value(text.left(end), -1);
        return m >= 0 && text.endsWith(m_dates.shortDate(m_messages.at(m).finalDate) +
                                       QStringLiteral(" ]"))
                   ? m
                   : -1;
    }

    // The event loop: whatever comes first of the two timers, the tray, or the end of the wait.
    void runUntil(qint64 until) {
        while (true) {
            qint64 next = until;
            int what = 0;
            if (m_nextMessage >= 0 && m_nextMessage < next)
                next = m_nextMessage, what = 1;
            if (m_nextNewDay < next)
                next = m_nextNewDay, what = 2;
            if (m_nextTray < next)
                next = m_nextTray, what = 3;
            m_mono = next;
            applyJumps();
            m_clock.setReading(wall(), m_mono);
            if (what == 0)
                return;
            if (what == 1) {
                m_nextMessage += kMessagePeriodMs;
                m_engine.ShowDueTimedMessages();
            } else if (what == 2) {
                m_nextNewDay += kNewDayPeriodMs;
                const qint64 at = m_mono;
                const QDate day = m_clock.today();
                if (const std::optional<QDate> ranFor = m_engine.TimerNewDay_Timer(m_label)) {
                    m_label = m_dates.shortDate(*ranFor);
                    m_occurrences.last().endedBackward = day < m_occurrences.last().day;
                    m_occurrences.append({day, at, false, false});
                }
            } else {
                m_nextTray = m_mono + m_random.bounded(kHourMs, 9 * kHourMs);
                trayAction();
            }
            syncMessageTimer();
        }
    }

    void applyJumps() {
        while (!m_jumps.isEmpty() && wallMs() >= m_jumps.first().atUtc) {
            const Jump jump = m_jumps.takeFirst();
            if (jump.toUtc == 0)
                m_wallOffset += jump.shift;
            else if (jump.toUtc > wallMs())
                m_wallOffset = jump.toUtc - m_mono;
            m_count.jumpsInBoxes += m_depth > 0;
        }
    }

    // The icon answers while a box is open, but not while one of its own actions runs.
    void trayAction() {
        if (m_trayBusy)
            return;
        m_count.trayInBoxes += m_depth > 0;
        m_trayBusy = true;
        switch (m_random.bounded(4)) {
        case 0: // activation, or "&Show Settings": the last selected message reloaded
        case 1: {
            const Message& m = m_messages.at(int(m_random.bounded(int(m_messages.size()))));
            ReadMessageFile(m_folder + m.description + QStringLiteral(".tvr"),
                            m_engine.CurrentMessage);
            break;
        }
        case 2:
            m_engine.ShowStatus();
            break;
        default:
            messageBox(QStringLiteral("Tavrel 2.0.8"), QStringLiteral("About"), MB::OK);
            break;
        }
        m_trayBusy = false;
    }

    // A timer switched on starts counting afresh; one switched off never ticks.
    void syncMessageTimer() {
        if (!m_window.timerOn)
            m_nextMessage = -1;
        else if (m_window.restarted || m_nextMessage < 0)
            m_nextMessage = m_mono + kMessagePeriodMs;
        m_window.restarted = false;
    }

    // Every presentation goes to the first occurrence that owes it exactly and still lacks it;
    // otherwise to the latest one whose time may not have come (a day the clock left for an
    // earlier one, or the end of the run). None left: presented twice. Owed and not given: lost.
    OpenBoxCount count() {
        struct Owed {
            int occurrence;
            bool exact;
            int given = 0;
        };
        QList<QList<Owed>> owed(m_messages.size());
        const QTime lastTime = wall().time();
        for (qsizetype o = 0; o < m_occurrences.size(); ++o) {
            const Occurrence& occ = m_occurrences.at(o);
            const bool last = o + 1 == m_occurrences.size();
            for (qsizetype i = 0; i < m_messages.size(); ++i) {
                const Message& m = m_messages.at(i);
                const bool due = m.finalDate == occ.day || m.priorDate == occ.day ||
                                 (occ.wide && occ.day <= m.finalDate && occ.day >= m.priorDate);
                if (!due)
                    continue;
                const bool mayNotHaveCome =
                    m.start && (occ.endedBackward || (last && *m.start > lastTime.addSecs(-3600)));
                owed[i].append({int(o), !mayNotHaveCome});
            }
        }
        for (const Presentation& p : std::as_const(m_presentations)) {
            QList<Owed>& list = owed[p.message];
            Owed* to = nullptr;
            for (Owed& w : list) {
                if (m_occurrences.at(w.occurrence).startMono > p.mono || w.given > 0)
                    continue;
                if (w.exact) {
                    to = &w;
                    break;
                }
                to = &w;
            }
            if (to)
                ++to->given;
            else
                ++m_count.doubled;
        }
        for (const QList<Owed>& list : std::as_const(owed)) {
            for (const Owed& w : list)
                m_count.lost += w.exact && w.given == 0;
        }
        m_count.presentations = int(m_presentations.size());
        return m_count;
    }

    const QList<Message>& m_messages;
    QString m_folder;
    const DateText& m_dates;
    QTimeZone m_tz;
    QRandomGenerator m_random;
    QList<Jump> m_jumps;
    QHash<QString, int> m_byText;

    FakeClock m_clock;
    FakeSound m_sound;
    SimWindow m_window;
    StartupAndRoutines m_engine{m_clock,
                                *this,
                                m_sound,
                                m_dates,
                                m_folder,
                                [this]() -> MainWindowPort& { return m_window; },
                                [this] {
                                    ++m_count.errors;
                                }};

    qint64 m_mono = 0;
    qint64 m_wallOffset = 0;
    qint64 m_nextMessage = -1;
    qint64 m_nextNewDay = 0;
    qint64 m_nextTray = 0;
    QString m_label;
    int m_depth = 0;
    bool m_trayBusy = false;
    bool m_reminderOpen = false;
    QString m_answered; // the start time of a missed question just answered Yes
    QList<Occurrence> m_occurrences;
    QList<Presentation> m_presentations;
    OpenBoxCount m_count;
};

} // namespace tavrel::test
