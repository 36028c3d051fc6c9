#include "ReminderLedger.h"

#include "DateText.h"
#include "ProgramError.h"

#include <algorithm>

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

bool ReminderLedger::admit(QDate day, const QString& file, const MessageRecord& record) {
    const qsizetype i = find(day, file, startOf(record), record.messageText);
    if (i < 0) {
        m_reminders.append({day, file, startOf(record), record, false});
        return true;
    }
    if (m_reminders.at(i).presented)
        return false;
    m_reminders[i].record = record;
    return true;
}

void ReminderLedger::admitLine(QDate day, QTime start, const QString& text) {
    const QTime minute = DateText::minuteCut(start);
    for (const Reminder& r : std::as_const(m_reminders)) {
        if (r.day == day && r.start == minute && r.record.messageText == text)
            return;
    }
    MessageRecord record;
    record.messageText = text;
    record.startTime = DateText::ampmTime(minute);
    m_reminders.append({day, QString(), minute, record, false});
}

bool ReminderLedger::presented(QDate day, const QString& file, const MessageRecord& record) const {
    const qsizetype i = find(day, file, startOf(record), record.messageText);
    return i >= 0 && m_reminders.at(i).presented;
}

void ReminderLedger::markPresented(QDate day, const QString& file, const MessageRecord& record) {
    const qsizetype i = find(day, file, startOf(record), record.messageText);
    if (i < 0)
        m_reminders.append({day, file, startOf(record), record, true});
    else
        m_reminders[i].presented = true;
}

bool ReminderLedger::holdsOtherDay(QDate today) const {
    return std::any_of(m_reminders.cbegin(), m_reminders.cend(),
                       [today](const Reminder& r) { return r.day != today; });
}

QList<ReminderLedger::Reminder> ReminderLedger::takeLeftBehind(QDate today) {
    QList<Reminder> left;
    for (const Reminder& r : std::as_const(m_reminders)) {
        if (r.day < today && !r.presented)
            left.append(r);
    }
    m_reminders.removeIf([today](const Reminder& r) { return r.day != today; });
    return left;
}

std::optional<ReminderLedger::Reminder> ReminderLedger::takeDue(QDate today, QTime now) {
    // Earliest window first: after a long box or a sleep, in the order they fell due.
    Reminder* first = nullptr;
    for (Reminder& r : m_reminders) {
        if (r.day != today || r.presented || !r.start.isValid() || r.start > now)
            continue;
        if (!first || r.start < first->start || (r.start == first->start && r.file < first->file))
            first = &r;
    }
    if (!first)
        return std::nullopt;
    first->presented = true;
    return *first;
}

void ReminderLedger::forget(const Reminder& reminder) {
    const qsizetype i =
        find(reminder.day, reminder.file, reminder.start, reminder.record.messageText);
    if (i >= 0)
        m_reminders.removeAt(i);
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
