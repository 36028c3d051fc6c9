#include "StartupAndRoutines.h"

#include "Clock.h"
#include "DateText.h"
#include "Dialogs.h"
#include "MessageFile.h"
#include "ProgramError.h"
#include "ProgramFolder.h"
#include "Sound.h"

namespace tavrel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The boxes of codes 339 and 50003: the code and description on one line, then the advice.
QString reinstallText(const ProgramError& error, const QString& advice) {
    return QStringLiteral("An Error was generated:") + kCrLf +
           QStringLiteral("Description: Error") + NumberText(error.code()) + QStringLiteral(" - ") +
           error.description() + kCrLf + kCrLf + advice;
}

} // namespace

StartupAndRoutines::StartupAndRoutines(const Clock& clock, Dialogs& dialogs, SoundPlayer& sound,
                                       const DateText& dates, QString programFolder,
                                       WindowLoader loadMainWindow, EndProgram endProgram)
    : m_clock(clock), m_dialogs(dialogs), m_sound(sound), m_dates(dates),
      m_programFolder(std::move(programFolder)), m_loadMainWindow(std::move(loadMainWindow)),
      m_endProgram(std::move(endProgram)) {}

MainWindowPort& StartupAndRoutines::mainWindow() {
    // The loader may throw (codes 339, 50003); the window then counts as not loaded.
    if (!m_window)
        m_window = &m_loadMainWindow();
    return *m_window;
}

QDate StartupAndRoutines::readDate(const QString& text) const {
    return m_dates.parseDate(text);
}

QDate StartupAndRoutines::judgedDay() const {
    return m_pass ? m_pass->day : m_clock.today();
}

StartupAndRoutines::MessageDays StartupAndRoutines::currentMessageDays() const {
    MessageDays days;
    days.finalDate = readDate(CurrentMessage.finalDate);
    days.priorDate = readDate(CurrentMessage.priorDate);
    days.today = judgedDay();
    return days;
}

bool StartupAndRoutines::readListed(const QString& name, MessageRecord& into) const {
    try {
        ReadMessageFile(name, into);
        return true;
    } catch (const ProgramError& error) {
        // Deleted since the listing, while a box of the scan was open: nothing to read. A file
        // that is there but cannot be opened by its bare name still means a wrong folder.
        if (error.code() == FileNotFound && !FileExists(m_programFolder + name))
            return false;
        throw;
    }
}

bool StartupAndRoutines::scanMessageFiles(const std::function<void(const QString&)>& visit) {
    DeleteTempFile(m_programFolder);
    DeleteTimerFile();
    const QStringList names = ListMessageFiles(m_programFolder);
    if (names.isEmpty()) {
        for (const ReminderLedger::Reminder& r : m_ledger.owed())
            reconcile(r.file, std::nullopt);
        showNoMessagesWindow();
        return false;
    }
    // Given back however the scan ends: a rescan run inside a box of another routine's must
    // not leave that routine judging under a name of its own.
    struct CurrentFile {
        QString& file;
        QString before;
        ~CurrentFile() { file = before; }
    } current{m_currentFile, m_currentFile};
    for (const QString& name : names) {
        if (!readListed(name, CurrentMessage))
            continue;
        m_currentFile = name;
        reconcile(name, CurrentMessage);
        visit(name);
    }
    // A file gone since its reminders were admitted owes them no more.
    for (const ReminderLedger::Reminder& r : m_ledger.owed()) {
        if (!r.file.isEmpty() && !names.contains(r.file))
            reconcile(r.file, std::nullopt);
    }
    return true;
}

void StartupAndRoutines::ShowDueMessageBox() {
    showDueMessageBox(CurrentMessage);
}

void StartupAndRoutines::showDueMessageBox(const MessageRecord& message) {
    m_dialogs.reminderBox(
        message.messageText + kCrLf + kCrLf + QStringLiteral("[ Final message: ") +
            message.finalDate + QStringLiteral(" ]"),
        QStringLiteral("Tavrel has a message for you:"), MB::SETFOREGROUND | MB::RTLREADING);
}

void StartupAndRoutines::showNoMessagesWindow() {
    MainWindowPort& window = mainWindow();
    window.setEditDeleteEnabled(false);
    window.showPlaceholder();
    window.showWindow();
}

bool StartupAndRoutines::reportScanFailure(const ProgramError& error) {
    switch (error.code()) {
    case FileNotFound:
        m_dialogs.messageBox(QStringLiteral("The Tavrel shortcut seems to be invalid.") + kCrLf +
                                 QStringLiteral("Please create a new shortcut to the actual Tavrel "
                                                "executable (see the Tavrel program folder) and "
                                                "run Tavrel again."),
                             QStringLiteral("Snorry!"), MB::ICONWARNING);
        return false;
    case InputPastEndOfFile:
        m_dialogs.messageBox(
            QStringLiteral("Tavrel found one or more corrupted messages.") + kCrLf +
                QStringLiteral(
                    "Please delete any .tvr file(s) in the Tavrel program folder and run Tavrel "
                    "again."),
            QStringLiteral("Snorry!"), MB::ICONWARNING);
        m_ended = true;
        if (m_endProgram)
            m_endProgram();
        return true;
    case ComponentMissing:
        m_dialogs.messageBox(
            reinstallText(error, QStringLiteral("Re-install the program to fix this.")),
            kErrorTitle, MB::OK);
        return false;
    case NonModalWhileModal:
        m_dialogs.beep();
        return false;
    case ComponentCreationFailed:
        m_dialogs.messageBox(reinstallText(error, QStringLiteral("Re-install the program to fix "
                                                                 "this, or get the latest "
                                                                 "basepacks at Kestrane.")),
                             kErrorTitle, MB::OK);
        return false;
    default:
        m_dialogs.messageBox(GenericErrorText(error, QStringLiteral("sub Main")), kErrorTitle,
                             MB::OK);
        return false;
    }
}

} // namespace tavrel
