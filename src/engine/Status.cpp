#include "StartupAndRoutines.h"

#include "Clock.h"
#include "DateText.h"
#include "Dialogs.h"
#include "ProgramError.h"

#include <QFile>
#include <algorithm>

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
        // A tick inside one of the boxes may rebuild the table: the report goes on from what
        // the file held when it was read.
        const QList<TimerEntry> snapshot =
            timerEntries.first(std::min<qsizetype>(timerEntryCount, timerEntries.size()));
        for (const TimerEntry& entry : snapshot) {
            m_dialogs.messageBox(QStringLiteral("You have an upcoming message at:\r\n----- ") +
                                     m_dates.timeText(entry.time),
                                 QStringLiteral("Status for ") + today, MB::ICONINFORMATION);
        }
    } catch (const ProgramError&) {
        // No timer file is the usual way to get here.
        m_dialogs.messageBox(QStringLiteral("You have no messages waiting today."),
                             QStringLiteral("Status ") + today, MB::ICONINFORMATION);
    }
}

} // namespace tavrel
