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
#include <exception>

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

// CheckTime's verdict on a window whose start has come: closed once its end minute is past.
bool windowClosed(const MessageRecord& message, QTime now) {
    try {
        const QTime t = DateText::minuteCut(now);
        const QTime start = DateText::minuteCut(DateText::parseTime(message.startTime));
        const QTime end = DateText::minuteCut(DateText::parseTime(message.endTime));
        return end < t && start != t;
    } catch (const ProgramError&) {
        return false;
    }
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
    const MessageRecord registered = CurrentMessage;
    CurrentMessage.startTime = QLatin1Char('#') + CurrentMessage.startTime + QLatin1Char('#');
    CurrentMessage.messageText = QLatin1Char('"') + CurrentMessage.messageText + QLatin1Char('"');
    try {
        writeTimerLine(TimerFilePath(),
                       EncodeFileText(CurrentMessage.startTime + QStringLiteral(", ") +
                                      CurrentMessage.messageText + QStringLiteral("\r\n")),
                       overwriteExisting);
        if (overwriteExisting)
            m_registered.clear();
        m_registered.append(registered);
        const QDateTime now = m_clock.now();
        m_timerDay = now.date();
        ReadTimerFile();
        lastTimerCheck = m_passRunning ? m_passStart.time : now.time();
        m_lastTimerCheckReading = m_passRunning ? m_passStart.reading : readClock();
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
    m_registered.clear();
    m_timerDay = QDate();
    if (DeleteIfExists(TimerFilePath()))
        mainWindow().setTimerMessageEnabled(false);
}

std::optional<MessageRecord> StartupAndRoutines::registeredFor(const TimerEntry& entry) const {
    for (const MessageRecord& message : m_registered) {
        try {
            if (message.messageText == entry.text &&
                DateText::parseTime(message.startTime) == entry.time)
                return message;
        } catch (const ProgramError&) {
        }
    }
    return std::nullopt;
}

void StartupAndRoutines::dropTableOfAnotherDay(QDate today) {
    QList<MessageRecord> passed;
    if (m_timerDay < today) {
        for (const MessageRecord& message : std::as_const(m_registered)) {
            try {
                if (DateText::parseTime(message.startTime) > lastTimerCheck)
                    passed.append(message);
            } catch (const ProgramError&) {
            }
        }
    }
    // Taken out before any box opens: a routine run inside the box finds nothing to offer
    // again, and a table it builds for today is not deleted afterwards.
    timerEntryCount = 0;
    std::exception_ptr failure;
    try {
        DeleteTimerFile();
    } catch (const ProgramError&) {
        failure = std::current_exception();
    }
    for (const MessageRecord& message : std::as_const(passed)) {
        if (m_ended)
            break;
        CurrentMessage = message;
        PromptMissedMessage();
    }
    if (failure)
        std::rethrow_exception(failure);
}

void StartupAndRoutines::ShowDueTimedMessages() {
    // A tick during the box of an earlier tick would show the same entry again; a tick during
    // a pass would rescan the folder under the pass's feet (the next tick catches up).
    if (m_inTimedTick || m_passRunning || m_ended)
        return;
    const FlagScope tick(m_inTimedTick);

    const QDateTime now = m_clock.now();
    const QTime tickTime = now.time();
    const ClockReading reading = readClock();
    if (m_timerDay.isValid() && m_timerDay != now.date()) {
        try {
            dropTableOfAnotherDay(now.date());
        } catch (const std::exception&) {
        }
        lastTimerCheck = tickTime;
        m_lastTimerCheckReading = reading;
        return;
    }
    // After a jump of the clock an entry may have come due after its whole window passed
    // unseen: it is offered as missed, as CheckTime would have it.
    const bool jumped = jumpedBetween(m_lastTimerCheckReading, reading);

    // The entries due now are taken before any is shown: the rebuild after each showing
    // replaces the table and moves lastTimerCheck, which must not drop the others.
    struct Due {
        TimerEntry entry;
        bool missed = false;
        MessageRecord message; // the registered message, when missed
    };
    QList<Due> due;
    for (int i = 0; i < timerEntryCount && i < timerEntries.size(); ++i) {
        const TimerEntry& entry = timerEntries.at(i);
        if (entry.time > lastTimerCheck && entry.time <= tickTime) {
            Due item{entry, false, {}};
            if (jumped) {
                const std::optional<MessageRecord> message = registeredFor(entry);
                if (message && windowClosed(*message, tickTime)) {
                    item.missed = true;
                    item.message = *message;
                }
            }
            due.append(item);
        }
    }

    for (const Due& item : std::as_const(due)) {
        if (m_ended)
            break;
        // Each step is skipped on failure and the tick goes on.
        bool failed = false;
        if (item.missed) {
            try {
                CurrentMessage = item.message;
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
                m_dialogs.reminderBox(item.entry.text, kProgramTitle,
                                      MB::SETFOREGROUND | MB::RTLREADING);
            } catch (const std::exception&) {
                failed = true;
            }
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
    m_lastTimerCheckReading = reading;
}

void StartupAndRoutines::ShowTimedMessagesDueSinceTick() {
    if (!m_inTimedTick && !m_passRunning && !m_ended)
        ShowDueTimedMessages();
}

void StartupAndRoutines::RebuildTimerFile() {
    ShowTimedMessagesDueSinceTick();
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
