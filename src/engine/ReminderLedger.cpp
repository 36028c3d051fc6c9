#include "ReminderLedger.h"

#include "DateText.h"
#include "ProgramError.h"

#include <tuple>

namespace tavrel {

WindowVerdict JudgeWindow(const MessageRecord& message, QTime now) {
    const QTime t = DateText::minuteCut(now);
    const QTime start = DateText::minuteCut(DateText::parseTime(message.startTime));
    const QTime end = DateText::minuteCut(DateText::parseTime(message.endTime));
    if (start == end)
        return WindowVerdict::NoWindow;
    // Later rules overwrite earlier ones; for a start before now the first or the third always
    // holds, so every moment has a verdict.
    WindowVerdict verdict = WindowVerdict::Missed;
    if (start > t)
        verdict = WindowVerdict::Ahead;
    if (start < t && t <= end)
        verdict = WindowVerdict::Open;
    if (start == t)
        verdict = WindowVerdict::Open;
    return verdict;
}

WindowVerdict JudgeReminder(const MessageRecord& message, QDate day, const QDateTime& now) {
    const WindowVerdict verdict = JudgeWindow(message, now.time());
    if (verdict == WindowVerdict::NoWindow || day == now.date())
        return verdict;
    return day < now.date() ? WindowVerdict::Missed : WindowVerdict::Ahead;
}

QTime ReminderLedger::startOf(const MessageRecord& record) {
    try {
        const QTime start = DateText::minuteCut(DateText::parseTime(record.startTime));
        const QTime end = DateText::minuteCut(DateText::parseTime(record.endTime));
        return start == end ? QTime() : start;
    } catch (const ProgramError&) {
        return QTime();
    }
}

qsizetype ReminderLedger::find(QDate day, const QString& file, QTime start,
                               const QString& text) const {
    for (qsizetype i = 0; i < m_reminders.size(); ++i) {
        const Reminder& r = m_reminders.at(i);
        if (r.day == day && r.file == file && r.start == start &&
            (!file.isEmpty() || r.record.messageText == text))
            return i;
    }
    return -1;
}

bool ReminderLedger::admit(QDate day, const QString& file, const MessageRecord& record, bool timed,
                           QTime dueAt) {
    const QTime start = startOf(record);
    qsizetype i = find(day, file, start, record.messageText);
    if (i < 0) {
        m_reminders.append(
            {day, file, start, record, timed, false, timed ? start : dueAt, ++m_admitted, {}});
        i = m_reminders.size() - 1;
    }
    Reminder& r = m_reminders[i];
    if (timed && !r.lines.contains(record.messageText))
        r.lines.append(record.messageText);
    if (r.presented)
        return false;
    r.record = record;
    return true;
}

void ReminderLedger::admitLine(QDate day, QTime start, const QString& text) {
    const QTime minute = DateText::minuteCut(start);
    // Any day's: the table of a day just gone is still in force until the daily routine runs.
    for (const Reminder& r : std::as_const(m_reminders)) {
        if (r.start == minute && (r.record.messageText == text || r.lines.contains(text)))
            return;
    }
    MessageRecord record;
    record.messageText = text;
    record.startTime = DateText::ampmTime(minute);
    m_reminders.append({day, QString(), minute, record, true, false, minute, ++m_admitted, {text}});
}

bool ReminderLedger::presented(QDate day, const QString& file, const MessageRecord& record) const {
    const qsizetype i = find(day, file, startOf(record), record.messageText);
    return i >= 0 && m_reminders.at(i).presented;
}

std::optional<ReminderLedger::Reminder> ReminderLedger::next(const QDateTime& now) const {
    const QDate today = now.date();
    const QTime minute = DateText::minuteCut(now.time());
    const Reminder* first = nullptr;
    const auto key = [](const Reminder& r) {
        return std::tie(r.day, r.dueAt, r.order);
    };
    for (const Reminder& r : m_reminders) {
        if (r.presented || r.day > today ||
            (r.day == today && r.start.isValid() && r.start > minute))
            continue;
        if (!first || key(r) < key(*first))
            first = &r;
    }
    if (!first)
        return std::nullopt;
    return *first;
}

void ReminderLedger::markPresented(const Reminder& reminder) {
    const qsizetype i =
        find(reminder.day, reminder.file, reminder.start, reminder.record.messageText);
    if (i >= 0)
        m_reminders[i].presented = true;
}

void ReminderLedger::update(const Reminder& reminder, const MessageRecord& record) {
    const qsizetype i =
        find(reminder.day, reminder.file, reminder.start, reminder.record.messageText);
    if (i >= 0)
        m_reminders[i].record = record;
}

void ReminderLedger::forget(const Reminder& reminder) {
    const qsizetype i =
        find(reminder.day, reminder.file, reminder.start, reminder.record.messageText);
    if (i >= 0)
        m_reminders.removeAt(i);
}

void ReminderLedger::prune(QDate day) {
    m_reminders.removeIf([day](const Reminder& r) { return r.presented && r.day < day; });
}

QList<ReminderLedger::Reminder> ReminderLedger::owed() const {
    QList<Reminder> out;
    for (const Reminder& r : m_reminders) {
        if (!r.presented)
            out.append(r);
    }
    return out;
}

} // namespace tavrel
