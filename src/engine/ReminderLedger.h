#pragma once

#include "MessageRecord.h"

#include <QDate>
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

// The reminders the rules made due, keyed by day, message file and window start, and whether
// each has been put in front of the user yet. It is the one answer to "what is owed now";
// whichever routine asks, the answer comes from here, never from which routine is running.
class ReminderLedger {
public:
    struct Reminder {
        QDate day;
        QString file; // "Dentist.tvr"; empty for a timer line with no message behind it
        QTime start;  // the window's start minute; null without a window
        MessageRecord record;
        bool presented = false;
    };

    // Adds a reminder due on `day`; one still owed takes the record given (its message was
    // saved again), one presented stays as it is. Returns false when it was presented.
    bool admit(QDate day, const QString& file, const MessageRecord& record);
    // A line of the timer file that no message of this run registered: owed at its time, as
    // the file says, unless a reminder already stands behind it.
    void admitLine(QDate day, QTime start, const QString& text);
    bool presented(QDate day, const QString& file, const MessageRecord& record) const;
    // Notes a reminder as presented (adding it when new): its box is about to open.
    void markPresented(QDate day, const QString& file, const MessageRecord& record);

    // True when the ledger holds reminders of a day other than `today`.
    bool holdsOtherDay(QDate today) const;
    // Forgets every other day. Returns the reminders of earlier days still owed: their whole
    // day passed unseen. A later day's (the clock set back) are dropped: their time never came.
    QList<Reminder> takeLeftBehind(QDate today);
    // The reminder of `today` still owed whose window began first by `now`, noted as
    // presented.
    std::optional<Reminder> takeDue(QDate today, QTime now);
    // Drops an owed reminder whose message file no longer holds it (deleted, or saved with
    // another window).
    void forget(const Reminder& reminder);
    QList<Reminder> owed() const;

private:
    static QTime startOf(const MessageRecord& record);
    qsizetype find(QDate day, const QString& file, QTime start, const QString& text) const;

    QList<Reminder> m_reminders;
};

} // namespace tavrel
