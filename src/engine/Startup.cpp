#include "StartupAndRoutines.h"

#include "Clock.h"
#include "Dialogs.h"
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

    const QDate today = m_clock.today();
    m_cursor = today;
    m_lastNewDayTick = readClock();
    runPass(today, [this] { runMainPass(); });
    return m_ended || !mainWindowLoaded() ? MainResult::Ended : MainResult::Running;
}

void StartupAndRoutines::runMainPass() {
    try {
        const bool any = scanMessageFiles([this](const QString& name) {
            const QString description = name.left(name.size() - 4);
            mainWindow().addSavedMessage(description);

            const MessageDays days = currentMessageDays();
            if (days.firstOrFinal() ||
                (days.today <= days.finalDate && days.today >= days.priorDate))
                admitCurrent(name);

            if (days.today.daysTo(days.finalDate) < -31)
                AppendTempLine(m_programFolder,
                               TempLineText(CurrentMessage.priorDate, description));
        });
        if (any)
            olderMessages();
    } catch (const ProgramError& error) {
        reportScanFailure(error);
    }
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
