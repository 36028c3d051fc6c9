#include "ComposerFixture.h"

#include "ComposerLineEdit.h"
#include "IniRegistryStore.h"
#include "MessageFile.h"
#include "MessageTextEdit.h"
#include "ProgramFolder.h"

#include <QComboBox>
#include <QLabel>

namespace tavrel::test {

std::optional<QDate> FakeComposerDialogs::GetDate(QDate userdate, const QString& title) {
    getDateCalls.append(userdate);
    getDateTitles.append(title);
    return pickedDate;
}

void FakeComposerDialogs::ShowOptionalTime() {
    ++optionalTimeCalls;
    if (onOptionalTime)
        onOptionalTime();
}

void FakeComposerDialogs::ShowAbout() {
    ++aboutCalls;
    if (onAbout)
        onAbout();
}

ComposerFixture::ComposerFixture(QDateTime now)
    : clock(std::move(now)), m_programFolder(folder.path()) {
    build();
}

void ComposerFixture::setProgramFolder(const QString& path) {
    m_programFolder = path;
    build();
}

ComposerFixture::~ComposerFixture() {
    window.reset();
    realDialogs.reset();
    engine.reset();
}

void ComposerFixture::build() {
    window.reset();
    realDialogs.reset();
    engine.reset();
    registry = std::make_unique<Registry>(
        dialogs,
        std::make_unique<IniRegistryStore>(settingsDir.filePath(QStringLiteral("Tavrel.ini"))));
    engine = std::make_unique<StartupAndRoutines>(
        clock, dialogs, sound, dates, m_programFolder,
        [this]() -> MainWindowPort& { return load(); }, [this] { ++endProgramCalls; });
}

void ComposerFixture::useRealDialogs() {
    realDialogs = std::make_unique<QtComposerDialogs>(*engine);
}

frmmain& ComposerFixture::load() {
    if (!window) {
        window = std::make_unique<frmmain>(*engine, *registry,
                                           realDialogs ? static_cast<ComposerDialogs&>(*realDialogs)
                                                       : composerDialogs);
        if (realDialogs)
            realDialogs->setWindow(window.get());
        window->setTrayHook(&tray);
        window->setEndProgram([this] { ++endProgramCalls; });
        window->Form_Load();
        if (!lazyControls)
            window->ensureControls();
    }
    return *window;
}

frmmain& ComposerFixture::restart() {
    build();
    return load();
}

QString ComposerFixture::day(int offsetFromToday) const {
    return dates.shortDate(clock.today().addDays(offsetFromToday));
}

void ComposerFixture::writeMessage(const QString& description, const MessageRecord& r) {
    WriteMessageFile(folder.file(description + QStringLiteral(".tvr")), r);
}

MessageRecord ComposerFixture::record(int dueOffset, int daysPrior, const QString& text) const {
    return MessageRecord{day(dueOffset),
                         text,
                         QString::number(daysPrior),
                         day(dueOffset - daysPrior),
                         QStringLiteral("12:00:00 am"),
                         QStringLiteral("12:00:00 am")};
}

void ComposerFixture::compose(const QString& description, const QString& text, int dueOffset,
                              int daysPrior) {
    frmmain& w = load();
    w.txtMessageName->setText(description);
    w.txtmessage->setFileText(text);
    w.txtMessageName_KeyUp();
    w.lblchoosendate->setText(day(dueOffset));
    w.txtDaysprior->setText(QString::number(daysPrior));
    w.actionPrior();
}

QString ComposerFixture::setting(const QString& name) {
    return registry->ReadStringValue(kSettingsKey, name);
}

QStringList ComposerFixture::listEntries() const {
    QStringList entries;
    for (int i = 0; i < window->cboSavedmessages->count(); ++i)
        entries.append(window->cboSavedmessages->itemText(i));
    return entries;
}

QStringList ComposerFixture::messageFiles() const {
    return ListMessageFiles(folder.path());
}

} // namespace tavrel::test
