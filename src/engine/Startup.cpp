#include "StartupAndRoutines.h"

#include "Clock.h"
#include "Dialogs.h"
#include "FlagScope.h"
#include "MessageFile.h"
#include "ProgramError.h"
#include "ProgramFolder.h"
#include "Sound.h"

namespace tavrel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

StartupAndRoutines::MainResult StartupAndRoutines::Main(bool anotherCopyRunning) {
    if (anotherCopyRunning) {
        m_dialogs.messageBox(
            QStringLiteral("Tavrel is already running.") + kCrLf +
                QStringLiteral("To view its popupmenu, right-click on the Tavrel icon") + kCrLf +
                QStringLiteral("in the system tray (on the taskbar, next to the clock)."),
            QStringLiteral("Tavrel - Information"), MB::ICONINFORMATION);
        return MainResult::Ended;
    }

    const FlagScope pass(m_passRunning);
    m_passStart = m_clock.timeOfDay();
    try {
        DeleteTempFile(m_programFolder);
        DeleteTimerFile();
        const QStringList names = ListMessageFiles(m_programFolder);
        if (names.isEmpty()) {
            showNoMessagesWindow();
            return MainResult::Running;
        }
        for (const QString& name : names) {
            ReadMessageFile(name, CurrentMessage);
            const QString description = name.left(name.size() - 4);
            mainWindow().addSavedMessage(description);

            const QDate finalDate = readDate(CurrentMessage.finalDate);
            const QDate priorDate = readDate(CurrentMessage.priorDate);
            const QDate today = m_clock.today();
            if (finalDate == today || priorDate == today ||
                (today <= finalDate && today >= priorDate)) {
                CheckTime();
                if (missedToday)
                    PromptMissedMessage();
                if (showNow) {
                    m_sound.PlaySoundCue(m_programFolder + QStringLiteral("Tavrel.wav"));
                    ShowDueMessageBox();
                }
            }

            if (today.daysTo(finalDate) < -31)
                AppendTempLine(m_programFolder,
                               TempLineText(CurrentMessage.priorDate, description));
        }
        olderMessages();
    } catch (const ProgramError& error) {
        if (reportScanFailure(error))
            return MainResult::Ended;
    }
    return mainWindowLoaded() ? MainResult::Running : MainResult::Ended;
}

void StartupAndRoutines::olderMessages() {
    try {
        if (!FileExists(m_programFolder + kTempFileName))
            return;
        QString list;
        for (const QString& line : ReadTempLines(m_programFolder))
            list += line + kCrLf;
        m_dialogs.messageBox(
            QStringLiteral("Some previously saved messages are older than 30 days:") + kCrLf +
                kCrLf + list,
            QStringLiteral("Information:"), MB::ICONINFORMATION);
        DeleteTempFile(m_programFolder);
    } catch (const ProgramError& error) {
        m_dialogs.messageBox(GenericErrorText(error, QStringLiteral("sub olderMessages")),
                             kErrorTitle, MB::OK);
    }
}

} // namespace tavrel
