#include "StartupAndRoutines.h"

#include "Clock.h"
#include "Dialogs.h"
#include "FlagScope.h"
#include "MessageFile.h"
#include "ProgramError.h"
#include "Sound.h"

#include <exception>

namespace tavrel {

void StartupAndRoutines::PresentOwedReminders() {
    if (m_presenting || m_ended)
        return;
    const FlagScope presenting(m_presenting);
    while (!m_ended) {
        const QDateTime now = m_clock.now();
        const std::optional<ReminderLedger::Reminder> due = m_ledger.next(now);
        if (!due)
            break;
        ReminderLedger::Reminder reminder = *due;
        if (!reminder.file.isEmpty()) {
            // Shown as its file holds it now; a file deleted, or saved with another window or
            // day, owes it no more. One that cannot be read still owes it: nothing is lost to
            // a read error.
            MessageRecord onDisk;
            std::optional<MessageRecord> held = reminder.record;
            try {
                ReadMessageFile(m_programFolder + reminder.file, onDisk);
                held = onDisk;
            } catch (const ProgramError& error) {
                if (error.code() == FileNotFound)
                    held.reset();
            }
            reconcile(reminder.file, held);
            if (!held || !holdsKey(*held, reminder))
                continue;
            reminder.record = *held;
        }
        // Counted as presented before its box opens: whatever runs inside the box finds it
        // taken.
        m_ledger.markPresented(reminder);
        present(reminder, now);
    }
}

void StartupAndRoutines::present(const ReminderLedger::Reminder& reminder, const QDateTime& now) {
    bool missed = false;
    try {
        missed = !reminder.file.isEmpty() &&
                 JudgeReminder(reminder.record, reminder.day, now) == WindowVerdict::Missed;
    } catch (const ProgramError&) {
    }
    if (!reminder.timed) {
        // A pass's reminder: the due box with the chime, or the question for a window missed.
        CurrentMessage = reminder.record;
        if (missed) {
            PromptMissedMessage();
        } else {
            m_sound.PlaySoundCue(m_programFolder + QStringLiteral("Tavrel.wav"));
            showDueMessageBox(reminder.record);
        }
        return;
    }
    // A timed reminder: each step is skipped on failure and the presentation goes on.
    bool failed = false;
    if (missed) {
        try {
            CurrentMessage = reminder.record;
            PromptMissedMessage();
        } catch (const std::exception&) {
            failed = true;
        }
    } else {
        try {
            m_sound.PlaySoundCue(m_programFolder + QStringLiteral("Tavrel.wav"));
        } catch (const std::exception&) {
            failed = true;
        }
        try {
            m_dialogs.reminderBox(reminder.record.messageText, kProgramTitle,
                                  MB::SETFOREGROUND | MB::RTLREADING);
        } catch (const std::exception&) {
            failed = true;
        }
    }
    if (m_ended)
        return;
    if (m_pass) {
        m_pass->rebuildOwed = true;
    } else {
        try {
            RebuildTimerFile();
        } catch (const std::exception&) {
            failed = true;
        }
    }
    if (failed)
        m_dialogs.messageBox(QStringLiteral("Error showing message"), kProgramTitle, MB::OK);
}

} // namespace tavrel
