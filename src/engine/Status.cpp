#include "StartupAndRoutines.h"

#include "Clock.h"
#include "DateText.h"
#include "Dialogs.h"
#include "ProgramError.h"

#include <QFile>

namespace tavrel {

void StartupAndRoutines::ShowStatus() {
    const QString today = m_dates.shortDate(m_clock.today());
    try {
        QFile file(TimerFilePath());
        if (!file.open(QIODevice::ReadOnly))
            throw ProgramError(FileNotFound);
        const QByteArray bytes = file.readAll();
        file.close();
        parseTimerFile(bytes);
        for (int i = 0; i < timerEntryCount && i < timerEntries.size(); ++i) {
            m_dialogs.messageBox(QStringLiteral("You have an upcoming message at:\r\n----- ") +
                                     m_dates.timeText(timerEntries.at(i).time),
                                 QStringLiteral("Status for ") + today, MB::ICONINFORMATION);
        }
    } catch (const ProgramError&) {
        // No timer file is the usual way to get here.
        m_dialogs.messageBox(QStringLiteral("You have no messages waiting today."),
                             QStringLiteral("Status ") + today, MB::ICONINFORMATION);
    }
}

} // namespace tavrel
