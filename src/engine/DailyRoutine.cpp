#include "StartupAndRoutines.h"

#include "Clock.h"
#include "Dialogs.h"
#include "FlagScope.h"
#include "MessageFile.h"
#include "ProgramError.h"
#include "ProgramFolder.h"
#include "Sound.h"

namespace tavrel {

void StartupAndRoutines::NewRoutine() {
    const FlagScope pass(m_passRunning);
    m_passStart = {m_clock.timeOfDay(), readClock()};
    m_passDay = m_clock.today();
    try {
        const QDate today = m_clock.today();
        if (m_timerDay.isValid() && m_timerDay != today)
            dropTableOfAnotherDay(today);
        scanMessageFiles([this](const QString&) {
            if (currentMessageDays().firstOrFinal())
                showOrRegisterCurrent();
        });
    } catch (const ProgramError& error) {
        m_dialogs.messageBox(GenericErrorText(error, QStringLiteral("NewRoutine")), kErrorTitle,
                             MB::OK);
    }
}

void StartupAndRoutines::showOrRegisterCurrent() {
    CheckTime();
    if (missedToday)
        PromptMissedMessage();
    if (showNow) {
        m_sound.PlaySoundCue(m_programFolder + QStringLiteral("Tavrel.wav"));
        ShowDueMessageBox();
    }
}

void StartupAndRoutines::PromptMissedMessage() {
    const int answer = m_dialogs.reminderBox(
        QStringLiteral("You had a message planned for today at ") + CurrentMessage.startTime +
            QStringLiteral("      \r\nWould you like to see it now?"),
        kProgramTitle, MB::YESNO | MB::ICONINFORMATION);
    if (answer == IDYES)
        ShowDueMessageBox();
}

bool StartupAndRoutines::TimerNewDay_Timer(const QString& lblHIDDENdateTODAY) {
    // While the daily routine waits on a box the remembered date is still the old one: a check
    // now would run the routine a second time.
    if (m_passRunning || m_ended)
        return false;
    // Asleep or the clock set between two ticks, or ticks held up (a long pass): the day may
    // have changed long ago, so the check comes now instead of on the 31st tick.
    const ClockReading reading = readClock();
    const bool jumped = jumpedBetween(m_lastNewDayTick, reading) ||
                        (m_lastNewDayTick.valid && reading.elapsed - m_lastNewDayTick.elapsed >
                                                       kNewDayIntervalMs + kClockJumpMs);
    m_lastNewDayTick = reading;
    if (jumped || newDayTicks >= 30) {
        const bool changed = CheckforNewDay(lblHIDDENdateTODAY);
        newDayTicks = 0;
        return changed;
    }
    ++newDayTicks;
    return false;
}

bool StartupAndRoutines::CheckforNewDay(const QString& lblHIDDENdateTODAY) {
    QDate remembered;
    try {
        remembered = readDate(lblHIDDENdateTODAY);
    } catch (const ProgramError& error) {
        m_dialogs.messageBox(GenericErrorText(error, QStringLiteral("CheckforNewDay")), kErrorTitle,
                             MB::OK);
        return false;
    }
    // Any difference counts, also a clock set back.
    if (remembered == m_clock.today())
        return false;
    NewRoutine();
    return true;
}

} // namespace tavrel
