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
#include <cerrno>

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

void StartupAndRoutines::CheckTime() {
    try {
        const QTime now = DateText::minuteCut(m_clock.timeOfDay());
        const QTime start = DateText::minuteCut(DateText::parseTime(CurrentMessage.startTime));
        const QTime end = DateText::minuteCut(DateText::parseTime(CurrentMessage.endTime));
        if (start == end) {
            showNow = true;
            missedToday = false;
            return;
        }
        // Later rules overwrite earlier ones; nothing is cleared first.
        if (end < now) {
            missedToday = true;
            showNow = false;
        }
        if (start > now) {
            writeTimerTempfile();
            missedToday = false;
            showNow = false;
        }
        // The end minute still belongs to the window.
        if (start < now && now <= end) {
            missedToday = false;
            showNow = true;
        }
        if (start == now) {
            missedToday = false;
            showNow = true;
        }
    } catch (const ProgramError& error) {
        m_dialogs.messageBox(GenericErrorText(error, QStringLiteral("CheckTime")), kErrorTitle,
                             MB::OK);
    }
}

void StartupAndRoutines::writeTimerTempfile() {
    CurrentMessage.startTime = QLatin1Char('#') + CurrentMessage.startTime + QLatin1Char('#');
    CurrentMessage.messageText = QLatin1Char('"') + CurrentMessage.messageText + QLatin1Char('"');
    try {
        writeTimerLine(TimerFilePath(),
                       EncodeFileText(CurrentMessage.startTime + QStringLiteral(", ") +
                                      CurrentMessage.messageText + QStringLiteral("\r\n")),
                       overwriteExisting);
        ReadTimerFile();
        lastTimerCheck = m_passRunning ? m_passStart : m_clock.timeOfDay();
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
    // A tick during the box of an earlier tick would show the same entry again; a tick during
    // a pass would rescan the folder under the pass's feet (the next tick catches up).
    if (m_inTimedTick || m_passRunning || m_ended)
        return;
    const FlagScope tick(m_inTimedTick);

    // The entries due now are taken before any is shown: the rebuild after each showing
    // replaces the table and moves lastTimerCheck, which must not drop the others.
    const QTime tickTime = m_clock.timeOfDay();
    QList<TimerEntry> due;
    for (int i = 0; i < timerEntryCount && i < timerEntries.size(); ++i) {
        const TimerEntry& entry = timerEntries.at(i);
        if (entry.time > lastTimerCheck && entry.time <= tickTime)
            due.append(entry);
    }

    for (const TimerEntry& entry : due) {
        if (m_ended)
            break;
        // Each step is skipped on failure and the tick goes on.
        bool failed = false;
        try {
            m_sound.PlaySoundCue(m_programFolder + QStringLiteral("Tavrel.wav"));
        } catch (const std::exception&) {
            failed = true;
        }
        try {
            m_dialogs.reminderBox(entry.text, kProgramTitle, MB::SETFOREGROUND | MB::RTLREADING);
        } catch (const std::exception&) {
            failed = true;
        }
        try {
            RebuildTimerFile();
        } catch (const std::exception&) {
            failed = true;
        }
        if (failed)
            m_dialogs.messageBox(QStringLiteral("Error showing message"), kProgramTitle, MB::OK);
    }
    lastTimerCheck = tickTime;
}

void StartupAndRoutines::RebuildTimerFile() {
    try {
        scanMessageFiles([this](const QString&) {
            if (currentMessageDays().firstOrFinal())
                CheckTime();
        });
    } catch (const ProgramError& error) {
        reportScanFailure(error);
    }
}

} // namespace tavrel
