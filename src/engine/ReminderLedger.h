#pragma once

#include "MessageRecord.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>
#include <optional>

namespace tavrel {

// How a message's window stands at a moment, by the time check's four rules (to the minute,
// the end minute inside the window).
enum class WindowVerdict { NoWindow, Ahead, Open, Missed };
// Throws ProgramError (13) when a time cannot be read.
WindowVerdict JudgeWindow(const MessageRecord& message, QTime now);
// The same for a reminder of `day`: a window of a day already past was missed whatever the time
// of day, and one of a later day (the clock set back) still lies ahead.
WindowVerdict JudgeReminder(const MessageRecord& message, QDate day, const QDateTime& now);

// The record of reminders: those the rules made due, keyed by day, message file and window
// start, and whether each has been put in front of the user. Routines only admit into it; the
// presenter takes from it what is owed now, in the order it fell due.
class ReminderLedger {
public:
    struct Reminder {
        QDate day;
        QString file; // "Dentist.tvr"; empty for a timer line with no message behind it
        QTime start;  // the window's start minute; null without a window
        MessageRecord record;
        // Registered in the timer file: its window opens it as the timed box, and a rebuild
        // follows its showing.
        bool timed = false;
        bool presented = false;
        QTime dueAt; // when on its day it fell due: its window's start, or when it was admitted
        qint64 order = 0; // admission order, so the passes' reminders keep their file order
        // The texts it was written to the timer file with: its lines, whatever text its file
        // holds by now.
        QStringList lines;
    };

    // Admits a reminder due on `day`. One still owed takes the record given (its file was
    // rewritten); one presented stays as it is. Returns false when it was presented.
    bool admit(QDate day, const QString& file, const MessageRecord& record, bool timed,
               QTime dueAt);
    // A line of the timer file that no reminder stands behind: owed at its time, as the file
    // says.
    void admitLine(QDate day, QTime start, const QString& text);
    bool presented(QDate day, const QString& file, const MessageRecord& record) const;

    // The reminder owed that came due first by `now` (an earlier day's before a later one's),
    // or none. Its window must have begun; a later day's waits for its day.
    std::optional<Reminder> next(const QDateTime& now) const;
    void markPresented(const Reminder& reminder);
    // Its file holds it with another text: the reminder keeps its key and takes the text.
    void update(const Reminder& reminder, const MessageRecord& record);
    void forget(const Reminder& reminder);
    // Forgets what was presented before `day`; what is still owed stays.
    void prune(QDate day);
    QList<Reminder> owed() const;

    static QTime startOf(const MessageRecord& record);

private:
    qsizetype find(QDate day, const QString& file, QTime start, const QString& text) const;

    QList<Reminder> m_reminders;
    qint64 m_admitted = 0;
};

} // namespace tavrel
