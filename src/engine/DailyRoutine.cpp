#include "StartupAndRoutines.h"

#include "Clock.h"
#include "Dialogs.h"
#include "FlagScope.h"
#include "MessageFile.h"
#include "ProgramError.h"
#include "ProgramFolder.h"
#include "Sound.h"

#include <exception>

namespace tavrel {

void StartupAndRoutines::NewRoutine() {
    {
        const HoldScope pass(m_holds);
        m_passDay = m_clock.today();
        try {
            offerLeftBehind(m_passDay);
            scanMessageFiles([this](const QString& name) {
                if (currentMessageDays().firstOrFinal())
                    showOrRegisterCurrent(name);
            });
        } catch (const ProgramError& error) {
            m_dialogs.messageBox(GenericErrorText(error, QStringLiteral("NewRoutine")), kErrorTitle,
                                 MB::OK);
        }
        m_passDay = QDate();
    }
    if (!m_ended)
        PresentOwedReminders();
}

void StartupAndRoutines::offerLeftBehind(QDate today) {
    if (!m_ledger.holdsOtherDay(today))
        return;
    // Taken out before any box opens: a routine run inside the box finds nothing to offer
    // again. A failure to delete the old file stops no offer.
    const QList<ReminderLedger::Reminder> left = m_ledger.takeLeftBehind(today);
    timerEntryCount = 0;
    std::exception_ptr failure;
    try {
        DeleteTimerFile();
        registerOwedAhead();
    } catch (const ProgramError&) {
        failure = std::current_exception();
    }
    for (const ReminderLedger::Reminder& reminder : left) {
        if (m_ended)
            break;
        CurrentMessage = reminder.record;
        PromptMissedMessage();
    }
    if (failure)
        std::rethrow_exception(failure);
}

void StartupAndRoutines::showOrRegisterCurrent(const QString& file) {
    // The message as read: a box of this routine may run ticks or tray actions that read
    // other messages into CurrentMessage.
    const MessageRecord message = CurrentMessage;
    const QDate today = judgedDay();
    CheckTimeFor(file);
    // Presented already today (its window opened earlier and a tick showed it).
    if (m_ledger.presented(today, file, message))
        return;
    if (missedToday) {
        m_ledger.markPresented(today, file, message);
        CurrentMessage = message;
        PromptMissedMessage();
    } else if (showNow) {
        m_ledger.markPresented(today, file, message);
        m_sound.PlaySoundCue(m_programFolder + QStringLiteral("Tavrel.wav"));
        showDueMessageBox(message);
    }
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
    if (m_holds > 0 || m_ended)
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
