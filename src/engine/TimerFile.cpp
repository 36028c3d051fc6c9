#include "StartupAndRoutines.h"

#include "Clock.h"
#include "DateText.h"
#include "Dialogs.h"
#include "FieldReader.h"
#include "FileOps.h"
#include "FileText.h"
#include "FlagScope.h"
#include "MessageFile.h"
#include "ProgramError.h"
#include "ProgramFolder.h"
#include "Sound.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <exception>
#include <utility>

namespace tavrel {

namespace {

// Appends a line, or replaces the whole file with it; both create the file. A failed write
// leaves the file as it was: a cut line would hide every entry registered after it.
void writeTimerLine(const QString& path, const QByteArray& bytes, bool overwrite) {
    if (overwrite)
        ReplaceFileAtomically(path, bytes);
    else
        AppendToFile(path, bytes);
}

} // namespace

StartupAndRoutines::ClockReading StartupAndRoutines::readClock() const {
    return {m_clock.epochMSecs(), m_clock.elapsedMSecs(), true};
}

bool StartupAndRoutines::jumpedBetween(const ClockReading& from, const ClockReading& to) {
    if (!from.valid || !to.valid)
        return false;
    return qAbs((to.wall - from.wall) - (to.elapsed - from.elapsed)) > kClockJumpMs;
}

void StartupAndRoutines::CheckTime() {
    try {
        switch (JudgeWindow(CurrentMessage, m_clock.timeOfDay())) {
        case WindowVerdict::NoWindow:
        case WindowVerdict::Open:
            showNow = true;
            missedToday = false;
            break;
        case WindowVerdict::Missed:
            missedToday = true;
            showNow = false;
            break;
        case WindowVerdict::Ahead:
            // Once presented today, a window is not registered again (the clock set back).
            if (!m_ledger.presented(judgedDay(), m_currentFile, CurrentMessage))
                writeTimerTempfile();
            missedToday = false;
            showNow = false;
            break;
        }
    } catch (const ProgramError& error) {
        m_dialogs.messageBox(GenericErrorText(error, QStringLiteral("CheckTime")), kErrorTitle,
                             MB::OK);
    }
}

void StartupAndRoutines::CheckTimeFor(const QString& file) {
    const QString before = m_currentFile;
    m_currentFile = file;
    try {
        CheckTime();
    } catch (...) {
        m_currentFile = before;
        throw;
    }
    m_currentFile = before;
}

void StartupAndRoutines::writeTimerTempfile() {
    const MessageRecord registered = CurrentMessage;
    CurrentMessage.startTime = QLatin1Char('#') + CurrentMessage.startTime + QLatin1Char('#');
    CurrentMessage.messageText = QLatin1Char('"') + CurrentMessage.messageText + QLatin1Char('"');
    try {
        writeTimerLine(TimerFilePath(),
                       EncodeFileText(CurrentMessage.startTime + QStringLiteral(", ") +
                                      CurrentMessage.messageText + QStringLiteral("\r\n")),
                       overwriteExisting);
        m_ledger.admit(judgedDay(), m_currentFile, registered);
        ReadTimerFile();
        lastTimerCheck = m_clock.timeOfDay();
        mainWindow().setTimerMessageEnabled(true);
        overwriteExisting = false;
    } catch (const ProgramError& error) {
        m_dialogs.messageBox(GenericErrorText(error, QStringLiteral("writeTimerTempfile")),
                             kErrorTitle, MB::OK);
    }
}

void StartupAndRoutines::parseTimerFile(const QByteArray& bytes) {
    timerEntryCount = 0;
    FieldReader reader(DecodeFileText(bytes));
    while (!reader.atEnd()) {
        // The entry being read is counted even when reading it fails.
        ++timerEntryCount;
        timerEntries.resize(timerEntryCount);
        TimerEntry& entry = timerEntries[timerEntryCount - 1];
        entry.time = DateText::parseTime(reader.readHashField());
        entry.text = reader.readField();
    }
}

bool StartupAndRoutines::ReadTimerFile() {
    QFile file(TimerFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    file.close();
    try {
        parseTimerFile(bytes);
    } catch (const ProgramError&) {
        return false;
    }
    return true;
}

void StartupAndRoutines::DeleteTimerFile() {
    if (DeleteIfExists(TimerFilePath()))
        mainWindow().setTimerMessageEnabled(false);
}

void StartupAndRoutines::ShowDueTimedMessages() {
    // A tick during a reminder's box or a pass does nothing: the box's routine asks again when
    // it is done, and a rescan must not run under a pass's feet.
    if (m_holds > 0 || m_ended)
        return;
    const QDateTime now = m_clock.now();
    const QDate today = now.date();
    const QTime tickTime = now.time();
    // Lines no message of this run wrote come due by the file's own rule.
    if (!m_ledger.holdsOtherDay(today)) {
        for (int i = 0; i < timerEntryCount && i < timerEntries.size(); ++i) {
            const TimerEntry& entry = timerEntries.at(i);
            if (entry.time > lastTimerCheck && entry.time <= tickTime)
                m_ledger.admitLine(today, entry.time, entry.text);
        }
    }
    PresentOwedReminders();
    lastTimerCheck = tickTime;
}

void StartupAndRoutines::PresentOwedReminders() {
    if (m_holds > 0 || m_ended)
        return;
    const HoldScope presenting(m_holds);
    while (!m_ended) {
        const QDateTime now = m_clock.now();
        const QDate today = now.date();
        try {
            offerLeftBehind(today);
        } catch (const std::exception&) {
        }
        const std::optional<ReminderLedger::Reminder> due = m_ledger.takeDue(today, now.time());
        if (!due)
            break;
        presentTimed(*due);
    }
}

void StartupAndRoutines::presentTimed(const ReminderLedger::Reminder& reminder) {
    if (!stillHeld(reminder))
        return;
    // Each step is skipped on failure and the presentation goes on.
    bool failed = false;
    bool missed = false;
    try {
        missed = !reminder.file.isEmpty() &&
                 JudgeWindow(reminder.record, m_clock.timeOfDay()) == WindowVerdict::Missed;
    } catch (const std::exception&) {
    }
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
    try {
        RebuildTimerFile();
    } catch (const std::exception&) {
        failed = true;
    }
    if (failed)
        m_dialogs.messageBox(QStringLiteral("Error showing message"), kProgramTitle, MB::OK);
}

void StartupAndRoutines::RebuildTimerFile() {
    try {
        if (scanMessageFiles([this](const QString&) {
                if (currentMessageDays().firstOrFinal())
                    CheckTime();
            }))
            registerOwedAhead();
    } catch (const ProgramError& error) {
        reportScanFailure(error);
    }
}

bool StartupAndRoutines::stillHeld(const ReminderLedger::Reminder& reminder) {
    if (reminder.file.isEmpty())
        return true;
    MessageRecord onDisk;
    try {
        ReadMessageFile(m_programFolder + reminder.file, onDisk);
    } catch (const ProgramError& error) {
        // A file that went bad still owes its reminder: nothing is lost to a read error.
        if (error.code() != FileNotFound)
            return true;
        onDisk = {};
    }
    if (onDisk == reminder.record)
        return true;
    m_ledger.forget(reminder);
    return false;
}

void StartupAndRoutines::registerOwedAhead() {
    const QDateTime now = m_clock.now();
    const QTime minute = DateText::minuteCut(now.time());
    QList<ReminderLedger::Reminder> ahead;
    for (const ReminderLedger::Reminder& r : m_ledger.owed()) {
        if (r.day == now.date() && r.start > minute && !r.file.isEmpty())
            ahead.append(r);
    }
    const QList<TimerEntry> registered =
        timerEntries.first(std::min<qsizetype>(timerEntryCount, timerEntries.size()));
    const bool fileThere = FileExists(TimerFilePath());
    for (const ReminderLedger::Reminder& r : std::as_const(ahead)) {
        const bool listed =
            fileThere &&
            std::any_of(registered.cbegin(), registered.cend(), [&r](const TimerEntry& e) {
                return DateText::minuteCut(e.time) == r.start && e.text == r.record.messageText;
            });
        if (listed || !stillHeld(r))
            continue;
        CurrentMessage = r.record;
        const QString before = std::exchange(m_currentFile, r.file);
        writeTimerTempfile();
        m_currentFile = before;
    }
}

} // namespace tavrel
