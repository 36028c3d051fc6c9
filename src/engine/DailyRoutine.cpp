#include "StartupAndRoutines.h"

#include "Clock.h"
#include "Dialogs.h"
#include "MessageFile.h"
#include "ProgramError.h"
#include "ProgramFolder.h"
#include "Sound.h"

#include <algorithm>
#include <utility>

namespace tavrel {

void StartupAndRoutines::NewRoutine() {
    const QDate today = m_clock.today();
    runPass(today, [this, today] {
        try {
            admitDaysLivedThrough(today);
            scanMessageFiles([this](const QString& name) {
                if (currentMessageDays().firstOrFinal())
                    admitCurrent(name);
            });
        } catch (const ProgramError& error) {
            m_dialogs.messageBox(GenericErrorText(error, QStringLiteral("NewRoutine")), kErrorTitle,
                                 MB::OK);
        }
    });
}

void StartupAndRoutines::runPass(QDate day, const std::function<void()>& steps) {
    Pass pass{day};
    {
        struct Under {
            Pass*& current;
            Pass* outer;
            ~Under() { current = outer; }
        } under{m_pass, std::exchange(m_pass, &pass)};
        steps();
    }
    if (m_ended)
        return;
    if (pass.rebuildOwed)
        RebuildTimerFile();
    PresentOwedReminders();
}

void StartupAndRoutines::admitDaysLivedThrough(QDate today) {
    const QDate from = m_cursor.isValid() ? m_cursor.addDays(1) : today;
    m_cursor = std::max(m_cursor, today);
    // What was presented a week ago can no longer come up again: the clock is never set back
    // that far without a new start.
    m_ledger.prune(m_cursor.addDays(-7));
    if (from >= today)
        return;
    const QStringList names = ListMessageFiles(m_programFolder);
    for (const QString& name : names) {
        MessageRecord record;
        if (!readListed(name, record))
            continue;
        const QDate finalDate = readDate(record.finalDate);
        const QDate priorDate = readDate(record.priorDate);
        for (QDate day = from; day < today; day = day.addDays(1)) {
            if (day == finalDate || day == priorDate)
                m_ledger.admit(day, name, record, false, QTime(0, 0));
        }
    }
    // Presented before today's pass begins: day by day, in file order.
    PresentOwedReminders();
}

void StartupAndRoutines::admitCurrent(const QString& file) {
    // The message as read: a box of this routine may run ticks or tray actions that read
    // other messages into CurrentMessage.
    const MessageRecord message = CurrentMessage;
    CheckTimeFor(file);
    if (missedToday || showNow)
        m_ledger.admit(judgedDay(), file, message, false, m_clock.timeOfDay());
    PresentOwedReminders();
}

void StartupAndRoutines::PromptMissedMessage() {
    const MessageRecord message = CurrentMessage;
    const int answer = m_dialogs.reminderBox(
        QStringLiteral("You had a message planned for today at ") + message.startTime +
            QStringLiteral("      \r\nWould you like to see it now?"),
        kProgramTitle, MB::YESNO | MB::ICONINFORMATION);
    if (answer == IDYES)
        showDueMessageBox(message);
}

std::optional<QDate> StartupAndRoutines::TimerNewDay_Timer(const QString& lblHIDDENdateTODAY) {
    // While a pass or a reminder's box is under way the remembered date may still be the old
    // one: a check now would run the daily routine inside it. It comes at the first tick after.
    if (m_pass || m_presenting || m_ended)
        return std::nullopt;
    // Asleep or the clock set between two ticks, or ticks held up (a long box): the day may
    // have changed long ago, so the check comes now instead of on the 31st tick.
    const ClockReading reading = readClock();
    const bool jumped = jumpedBetween(m_lastNewDayTick, reading) ||
                        (m_lastNewDayTick.valid && reading.elapsed - m_lastNewDayTick.elapsed >
                                                       kNewDayIntervalMs + kClockJumpMs);
    m_lastNewDayTick = reading;
    if (jumped || newDayTicks >= 30) {
        const std::optional<QDate> ranFor = CheckforNewDay(lblHIDDENdateTODAY);
        newDayTicks = 0;
        return ranFor;
    }
    ++newDayTicks;
    return std::nullopt;
}

std::optional<QDate> StartupAndRoutines::CheckforNewDay(const QString& lblHIDDENdateTODAY) {
    QDate remembered;
    try {
        remembered = readDate(lblHIDDENdateTODAY);
    } catch (const ProgramError& error) {
        m_dialogs.messageBox(GenericErrorText(error, QStringLiteral("CheckforNewDay")), kErrorTitle,
                             MB::OK);
        return std::nullopt;
    }
    // Any difference counts, also a clock set back.
    if (remembered == m_clock.today())
        return std::nullopt;
    const QDate day = m_clock.today();
    NewRoutine();
    return day;
}

} // namespace tavrel
