// The simulated user of the year: answers boxes at once or leaves them open from seconds to
// fourteen hours, always across midnight when one comes up late in the evening; uses the tray;
// lets the machine sleep (within a day, across one, over a weekend); sets the clock back; edits
// and deletes messages in the composer, while another program rewrites and deletes files on
// disk. While a box is open the run goes on inside it, as a real nested event loop would:
// timer ticks, new days, sleeps, clock changes, tray actions and file changes arrive with time
// passing. Every box goes to the oracle, which judges it from the files and the clock alone.
#pragma once

#include "Fakes.h"
#include "FileText.h"
#include "MessageFile.h"
#include "StartupAndRoutines.h"
#include "YearSimOracle.h"

#include <QFile>
#include <QSet>
#include <QTimeZone>

namespace tavrel::test {

struct RunCount {
    int boxes = 0, longest = 0; // longest hold, in minutes
    int stacked = 0;            // a reminder's box opened over another's
    int errors = 0;
    int newDaysInBoxes = 0, jumpsInBoxes = 0, trayInBoxes = 0, boxesOverMidnight = 0;
    int sleeps = 0, sleepsOverDays = 0, clockBack = 0, offsetChanges = 0;
    int diskRewrites = 0, diskDeletes = 0, saves = 0, composerDeletes = 0;
    int timerFileChecks = 0, statusChecks = 0, viewMismatches = 0;
};

class YearRun final : public Dialogs {
public:
    struct Jump {
        qint64 atUtc;      // falls asleep, or the clock is set, when the wall clock reaches this
        qint64 shift;      // how far the wall clock moves then; or
        qint64 toUtc = 0;  // when non-zero: where it wakes, exactly
        qint64 backIn = 0; // when non-zero: the clock is set forward again by as much after
                           // this long on the steady count
    };

    YearRun(const QList<Message>& messages, const QString& folder, const DateText& dates,
            const QTimeZone& tz, quint32 seed, QList<Jump> jumps, bool holdBoxes)
        : m_messages(messages), m_folder(folder), m_dates(dates), m_tz(tz), m_random(seed),
          m_jumps(std::move(jumps)), m_holdBoxes(holdBoxes), m_oracle(dates, tz) {
        std::sort(m_jumps.begin(), m_jumps.end(),
                  [](const Jump& a, const Jump& b) { return a.atUtc < b.atUtc; });
        for (const Message& m : messages) {
            WriteMessageFile(path(m.description), recordOf(m, dates));
            m_texts.insert(m.text, m.description);
        }
    }

    YearCount run(qint64 startUtc, qint64 endMono) {
        m_wallOffset = startUtc;
        m_clock.setReading(wall(), 0);
        m_oracle.start(0, wallMs(), m_messages);
        m_label = m_dates.shortDate(m_clock.today());
        m_nextNewDay = kNewDayPeriodMs;
        m_nextTray = 3 * kHourMs;
        m_nextUser = 5 * kHourMs;
        if (m_engine.Main(false) != StartupAndRoutines::MainResult::Running)
            ++count.errors;
        syncMessageTimer();
        runUntil(endMono);
        // Whatever came due by now comes up within the next forty minutes, with nobody
        // sleeping, setting the clock or holding a box.
        const qint64 owedBy = m_mono;
        m_draining = true;
        m_jumps.clear();
        runUntil(m_mono + 45 * kMinuteMs);
        if (!m_oracle.oldReport.isEmpty() && !m_sawOldReport)
            ++count.viewMismatches;
        return m_oracle.finish(owedBy);
    }

    int messageBox(const QString& text, const QString& title, uint32_t style) override {
        ++count.boxes;
        m_boxes.append({title, text});
        const bool question = title == kProgramTitle && text.startsWith(kQuestion);
        const bool reminder =
            title == kDueTitle || question || (title == kProgramTitle && m_texts.contains(text));
        judge(text, title, question);
        const QDateTime opened = wall();
        const qint64 hold = holdFor(reminder, opened);
        count.longest = std::max(count.longest, int(hold / kMinuteMs));
        count.stacked += reminder && m_reminderOpen;
        const bool outer = std::exchange(m_reminderOpen, m_reminderOpen || reminder);
        if (reminder && !outer)
            m_oracle.reminderBox(m_mono, true);
        const qint64 openedMono = m_mono;
        ++m_depth;
        runUntil(m_mono + hold);
        --m_depth;
        m_reminderOpen = outer;
        if (reminder && !outer)
            m_oracle.reminderBox(m_mono, false);
        count.newDaysInBoxes += m_clock.today() != opened.date();
        count.boxesOverMidnight += reminder && m_clock.today() > opened.date();
        if (question)
            m_answered = {openedMono, opened.toMSecsSinceEpoch(),
                          text.mid(kQuestion.size()).section(QLatin1Char(' '), 0, 1)};
        const uint32_t buttons = style & MB::ButtonMask;
        return buttons == MB::YESNO ? IDYES : IDOK;
    }
    void beep() override {}

    RunCount count;
    QStringList complaints() const { return m_oracle.complaints + m_complaints; }
    // Every box shown, in order.
    const QList<Box>& boxes() const { return m_boxes; }

private:
    struct Question {
        qint64 mono = -1, wallMs = 0;
        QString start;
    };

    qint64 wallMs() const { return m_mono + m_wallOffset; }
    QDateTime wall() const { return QDateTime::fromMSecsSinceEpoch(wallMs(), m_tz); }
    QString path(const QString& name) const { return m_folder + name + QStringLiteral(".tvr"); }

    // Seconds when the user is at the desk; otherwise seconds to fourteen hours. A reminder
    // that comes up late in the evening stays open past midnight.
    qint64 holdFor(bool reminder, const QDateTime& now) {
        if (m_draining)
            return 1000;
        if (reminder && now.time() >= QTime(23, 0)) {
            const QDateTime back(now.date().addDays(1),
                                 QTime(0, 5).addSecs(int(m_random.bounded(3600))), m_tz);
            return now.msecsTo(back);
        }
        if (!reminder || !m_holdBoxes)
            return reminder ? m_random.bounded(1000, 5000) : m_random.bounded(1000, 120000);
        const int kind = int(m_random.bounded(100));
        return kind < 30   ? m_random.bounded(1000, 60000)
               : kind < 60 ? m_random.bounded(60000, kHourMs)
               : kind < 85 ? m_random.bounded(kHourMs, 6 * kHourMs)
                           : m_random.bounded(6 * kHourMs, 14 * kHourMs);
    }

    // Every box the program shows: reminders go to the oracle, the rest are looked at here.
    void judge(const QString& text, const QString& title, bool question) {
        const qsizetype finalAt = text.lastIndexOf(QStringLiteral("\r\n\r\n[ Final message: "));
        const QString body = finalAt < 0 ? text : text.left(finalAt);
        const QString finalDate =
            finalAt < 0 ? QString() : text.mid(finalAt + 21).chopped(2); // "... ]"
        if (m_answered.mono >= 0) {
            // The box after a question answered Yes: that question's own message.
            const Question q = std::exchange(m_answered, Question{});
            if (title != kDueTitle) {
                m_complaints.append(QStringLiteral("no due box after a Yes: ") + text);
                ++count.viewMismatches;
                return;
            }
            m_oracle.presented(q.mono, q.wallMs, Shown::Question, body, q.start);
            return;
        }
        if (title == kDueTitle)
            m_oracle.presented(m_mono, wallMs(), Shown::DueBox, body, finalDate);
        else if (title == kProgramTitle && !question && m_texts.contains(text))
            m_oracle.presented(m_mono, wallMs(), Shown::TimedBox, text, QString());
        else if (text == QLatin1String("Error showing message") ||
                 text.startsWith(QLatin1String("An Error")) || title == QLatin1String("Snorry!"))
            ++count.errors;
        else if (title == QLatin1String("Information:")) {
            // As the files stood at start-up, unless one changed while the pass was held open.
            m_sawOldReport = true;
            if (text != m_oracle.oldReport && m_versions == 0 && m_disturbed.isEmpty()) {
                ++count.viewMismatches;
                m_complaints.append(QStringLiteral("old messages: ") + text);
            }
        }
    }

    // The event loop: whatever comes first of the two timers, the tray, the user, or the end
    // of the wait.
    void runUntil(qint64 until) {
        while (true) {
            qint64 next = std::max(until, m_mono);
            int what = 0;
            if (m_nextMessage >= 0 && m_nextMessage < next)
                next = m_nextMessage, what = 1;
            if (m_nextNewDay < next)
                next = m_nextNewDay, what = 2;
            if (!m_draining && m_nextTray < next)
                next = m_nextTray, what = 3;
            if (!m_draining && m_nextUser < next)
                next = m_nextUser, what = 4;
            m_mono = next;
            applyJumps();
            m_clock.setReading(wall(), m_mono);
            m_oracle.clock(m_mono, wallMs());
            if (what == 0)
                return;
            if (what == 1) {
                m_nextMessage += kMessagePeriodMs;
                m_engine.ShowDueTimedMessages();
            } else if (what == 2) {
                m_nextNewDay += kNewDayPeriodMs;
                if (const std::optional<QDate> ranFor = m_engine.TimerNewDay_Timer(m_label))
                    m_label = m_dates.shortDate(*ranFor);
                const int offset = wall().offsetFromUtc();
                count.offsetChanges += m_offset && offset != *m_offset;
                m_offset = offset;
                if (m_depth == 0 && ++m_newDayTicks % 15 == 0)
                    checkTimerFile();
            } else if (what == 3) {
                m_nextTray = m_mono + m_random.bounded(kHourMs, 9 * kHourMs);
                trayAction();
            } else {
                m_nextUser = m_mono + m_random.bounded(10 * kHourMs, 40 * kHourMs);
                userAction();
            }
            syncMessageTimer();
        }
    }

    void applyJumps() {
        while (!m_jumps.isEmpty() && wallMs() >= m_jumps.first().atUtc) {
            const Jump jump = m_jumps.takeFirst();
            const QDateTime before = wall();
            if (jump.toUtc == 0)
                m_wallOffset += jump.shift;
            else if (jump.toUtc > wallMs())
                m_wallOffset = jump.toUtc - m_mono;
            const QDateTime after = wall();
            if (jump.backIn > 0)
                m_jumps.prepend({wallMs() + jump.backIn, -jump.shift});
            count.jumpsInBoxes += m_depth > 0;
            count.sleeps += after > before && jump.backIn == 0;
            count.sleepsOverDays += before.date().daysTo(after.date()) > 1;
            count.clockBack += after < before;
            m_disturbed << before.date() << after.date();
            m_oracle.jumped(m_mono);
        }
    }

    // The icon answers while a box is open, but not while one of its own actions runs.
    void trayAction() {
        if (m_trayBusy)
            return;
        count.trayInBoxes += m_depth > 0;
        m_trayBusy = true;
        const QStringList names = m_oracle.names();
        switch (m_random.bounded(4)) {
        case 0: // activation, or "&Show Settings": the last selected message reloaded
        case 1:
            ReadMessageFile(path(names.at(int(m_random.bounded(int(names.size()))))),
                            m_engine.CurrentMessage);
            break;
        case 2:
            status();
            break;
        default:
            messageBox(QStringLiteral("Tavrel 2.0.8"), QStringLiteral("About"), MB::OK);
            break;
        }
        m_trayBusy = false;
    }

    // The status report lists the timer file as it stands: on a settled day, today's windows
    // still ahead.
    void status() {
        const std::optional<QList<Message>> ahead =
            m_depth == 0 ? m_oracle.ahead(m_disturbed.contains(m_clock.today())) : std::nullopt;
        const QString today = m_dates.shortDate(m_clock.today());
        const qsizetype from = m_boxes.size();
        m_engine.ShowStatus();
        if (!ahead)
            return;
        ++count.statusChecks;
        QList<Box> want;
        for (const Message& m : *ahead)
            want.append({QStringLiteral("Status for ") + today,
                         QStringLiteral("You have an upcoming message at:\r\n----- ") +
                             m_dates.timeText(*m.start)});
        if (want.isEmpty())
            want.append(
                {QStringLiteral("Status ") + today, QStringLiteral("You have no messages waiting "
                                                                   "today.")});
        QList<Box> got;
        for (qsizetype i = from; i < m_boxes.size(); ++i) {
            if (m_boxes.at(i).title.startsWith(QLatin1String("Status")))
                got.append(m_boxes.at(i));
        }
        if (got != want) {
            ++count.viewMismatches;
            m_complaints.append(QStringLiteral("status at %1: %2 boxes, %3 expected")
                                    .arg(wall().toString(Qt::ISODate))
                                    .arg(got.size())
                                    .arg(want.size()));
        }
    }

    void checkTimerFile() {
        const std::optional<QList<Message>> ahead =
            m_oracle.ahead(m_disturbed.contains(m_clock.today()));
        if (!ahead)
            return;
        ++count.timerFileChecks;
        QString want;
        for (const Message& m : *ahead)
            want += QStringLiteral("#") + DateText::ampmTime(*m.start) + QStringLiteral("#, \"") +
                    m.text + QStringLiteral("\"\r\n");
        QFile file(m_folder + QStringLiteral("Timerfile"));
        const QByteArray got = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (got != EncodeFileText(want) || m_window.timerOn == want.isEmpty()) {
            ++count.viewMismatches;
            m_complaints.append(QStringLiteral("Timerfile at %1: %2 lines, %3 expected")
                                    .arg(wall().toString(Qt::ISODate))
                                    .arg(got.count('\n'))
                                    .arg(ahead->size()));
        }
    }

    // Another program rewrites or deletes a file; or the user, in the composer, saves a message
    // anew (another text, window or day) or deletes it.
    void userAction() {
        const QDate today = m_clock.today();
        // The fixed cases stay as they are; the others are fair game, those due soon first.
        QStringList names, soon;
        for (const QString& name : m_oracle.names()) {
            const int i = name.mid(1).toInt();
            if (i < 40 || i % 40 == 0)
                continue;
            names.append(name);
            const Message m = *m_oracle.current(name);
            if (m.firstOrFinal(today) || m.firstOrFinal(today.addDays(1)))
                soon.append(name);
        }
        const QStringList& from = !soon.isEmpty() && m_random.bounded(3) > 0 ? soon : names;
        if (from.isEmpty())
            return;
        const QString name = from.at(int(m_random.bounded(int(from.size()))));
        Message m = *m_oracle.current(name);
        m.text = QStringLiteral("%1 v%2")
                     .arg(m.text.section(QLatin1String(" v"), 0, 0))
                     .arg(++m_versions);
        m_texts.insert(m.text, name);
        const int kind = int(m_random.bounded(100));
        const bool atComposer = m_depth == 0 && today == m_oracle.lastDay();
        m_disturbed << today;
        if (kind < 8) {
            ++count.diskDeletes;
            QFile::remove(path(name));
            m_oracle.written(name, std::nullopt, false);
        } else if (kind < 16 && atComposer) {
            ++count.composerDeletes;
            composerDelete(name);
        } else if (kind < 60 && atComposer) {
            ++count.saves;
            composerSave(anew(m, today));
        } else {
            ++count.diskRewrites;
            WriteMessageFile(path(name), recordOf(m, m_dates));
            m_oracle.written(name, m, false);
        }
    }

    // The message as the user saves it again: the same key, another window, or other days;
    // the save's checks pass (no day past, a window when it is due today).
    Message anew(Message m, QDate today) {
        const int change = int(m_random.bounded(3));
        if (change == 2 || m.priorDate < today) {
            const int k = int(m_random.bounded(21));
            m.daysPrior = int(m_random.bounded(std::min(k, 10) + 1));
            m.finalDate = today.addDays(k);
            m.priorDate = m.finalDate.addDays(-m.daysPrior);
        }
        if (change >= 1 || (!m.start && m.firstOrFinal(today))) {
            if (m_random.bounded(4) == 0 && !m.firstOrFinal(today)) {
                m.start.reset();
                m.end = QTime(0, 0);
            } else {
                const int startMinute = int(m_random.bounded(1439));
                m.start = QTime(0, 0).addSecs(startMinute * 60);
                m.end = QTime(0, 0).addSecs(
                    (startMinute + 1 + int(m_random.bounded(1439 - startMinute))) * 60);
            }
        }
        return m;
    }

    // What "&Save Message" does once its checks pass and the overwrite is confirmed.
    void composerSave(const Message& m) {
        messageBox(QStringLiteral("Do you want to overwrite existing message?"),
                   QStringLiteral("Be careful..."), MB::OKCANCEL | MB::ICONINFORMATION);
        m_engine.overwriteExisting = true;
        const MessageRecord record = recordOf(m, m_dates);
        m_engine.CurrentMessage = record;
        WriteMessageFile(path(m.description), record);
        m_oracle.written(m.description, m, true);
        if (m.firstOrFinal(m_clock.today())) {
            m_engine.CurrentMessage = record;
            m_engine.CheckTimeFor(m.description + QStringLiteral(".tvr"));
        }
        m_engine.RebuildTimerFile();
        m_engine.PresentOwedReminders();
    }

    void composerDelete(const QString& name) {
        messageBox(QStringLiteral("Are you sure you want to remove ") + name +
                       QStringLiteral(" permanently?"),
                   QStringLiteral("Destroy..."), MB::OKCANCEL | MB::ICONWARNING);
        QFile::remove(path(name));
        m_oracle.written(name, std::nullopt, true);
        m_engine.RebuildTimerFile();
        m_engine.PresentOwedReminders();
    }

    // A timer switched on starts counting afresh; one switched off never ticks.
    void syncMessageTimer() {
        if (!m_window.timerOn)
            m_nextMessage = -1;
        else if (m_window.restarted || m_nextMessage < 0)
            m_nextMessage = m_mono + kMessagePeriodMs;
        m_window.restarted = false;
    }

    const QList<Message>& m_messages;
    QString m_folder;
    const DateText& m_dates;
    QTimeZone m_tz;
    QRandomGenerator m_random;
    QList<Jump> m_jumps;
    bool m_holdBoxes;
    Oracle m_oracle;

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
                                    ++count.errors;
                                }};

    qint64 m_mono = 0;
    qint64 m_wallOffset = 0;
    qint64 m_nextMessage = -1;
    qint64 m_nextNewDay = -1;
    qint64 m_nextTray = -1;
    qint64 m_nextUser = -1;
    int m_newDayTicks = 0;
    std::optional<int> m_offset;
    QString m_label;
    int m_depth = 0;
    int m_versions = 0;
    bool m_trayBusy = false;
    bool m_reminderOpen = false;
    bool m_draining = false;
    bool m_sawOldReport = false;
    Question m_answered;
    QHash<QString, QString> m_texts; // every text a version had -> its file
    QSet<QDate> m_disturbed;         // days with a sleep, a clock change or a file change
    QList<Box> m_boxes;
    QStringList m_complaints;
};

} // namespace tavrel::test
