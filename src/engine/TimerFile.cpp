#include "StartupAndRoutines.h"

#include "Clock.h"
#include "DateText.h"
#include "Dialogs.h"
#include "FieldReader.h"
#include "FileOps.h"
#include "FileText.h"
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
        const QDate day = judgedDay();
        const QDateTime now = m_clock.now();
        switch (JudgeReminder(CurrentMessage, day, now)) {
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
            // Once presented, a window is not registered again (the clock set back). The timer
            // file holds today's windows only: one of a later day waits in the record.
            if (!m_ledger.presented(day, m_currentFile, CurrentMessage)) {
                if (day == now.date())
                    writeTimerTempfile();
                else
                    m_ledger.admit(day, m_currentFile, CurrentMessage, true, QTime());
            }
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
        m_ledger.admit(judgedDay(), m_currentFile, registered, true, QTime());
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
    if (m_ended)
        return;
    const QDateTime now = m_clock.now();
    const QTime tickTime = now.time();
    // Lines no message of this run wrote come due by the file's own rule.
    for (int i = 0; i < timerEntryCount && i < timerEntries.size(); ++i) {
        const TimerEntry& entry = timerEntries.at(i);
        if (entry.time > lastTimerCheck && entry.time <= tickTime)
            m_ledger.admitLine(now.date(), entry.time, entry.text);
    }
    // Inside a reminder's box this only admits: the box's presenter asks again when it closes.
    PresentOwedReminders();
    lastTimerCheck = tickTime;
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

bool StartupAndRoutines::holdsKey(const MessageRecord& record,
                                  const ReminderLedger::Reminder& reminder) const {
    if (ReminderLedger::startOf(record) != reminder.start)
        return false;
    try {
        const QDate finalDate = readDate(record.finalDate);
        const QDate priorDate = readDate(record.priorDate);
        const QDate day = reminder.day;
        return day == finalDate || day == priorDate || (priorDate <= day && day <= finalDate);
    } catch (const ProgramError&) {
        // A date that cannot be read loses nothing: the reminder stays as it was.
        return true;
    }
}

void StartupAndRoutines::reconcile(const QString& file,
                                   const std::optional<MessageRecord>& onDisk) {
    for (const ReminderLedger::Reminder& r : m_ledger.owed()) {
        if (r.file != file || file.isEmpty())
            continue;
        if (onDisk && holdsKey(*onDisk, r))
            m_ledger.update(r, *onDisk);
        else
            m_ledger.forget(r);
    }
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
        if (listed)
            continue;
        CurrentMessage = r.record;
        const QString before = std::exchange(m_currentFile, r.file);
        writeTimerTempfile();
        m_currentFile = before;
    }
}

} // namespace tavrel
