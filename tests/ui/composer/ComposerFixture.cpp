#include "ComposerFixture.h"

#include "ComposerLineEdit.h"
#include "IniRegistryStore.h"
#include "MessageFile.h"
#include "MessageTextEdit.h"
#include "ProgramFolder.h"

#include <QComboBox>
#include <QLabel>

namespace tavrel::test {

void FakeComposerDialogs::open(const QString& title) {
    if (!whileOpen)
        return;
    ++openDepth;
    try {
        whileOpen(title);
    } catch (...) {
        --openDepth;
        throw;
    }
    --openDepth;
}

std::optional<QDate> FakeComposerDialogs::GetDate(QDate userdate, const QString& title) {
    getDateCalls.append(userdate);
    getDateTitles.append(title);
    open(title.isEmpty() ? QStringLiteral("Pick a date") : title);
    return pickedDate;
}

void FakeComposerDialogs::ShowOptionalTime() {
    ++optionalTimeCalls;
    open(QStringLiteral("Optional settings"));
    if (onOptionalTime)
        onOptionalTime();
}

void FakeComposerDialogs::ShowAbout() {
    ++aboutCalls;
    open(QStringLiteral("About"));
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

void ComposerFixture::deliverWhileOpen(const QString& title, Delivery what) {
    m_deliverIn = title;
    m_delivery = what;
    dialogs.whileOpen = [this](const ShownBox& box) {
        whileOpen(box.title);
    };
    composerDialogs.whileOpen = [this](const QString& dialogTitle) {
        whileOpen(dialogTitle);
    };
    dialogs.answer = [this](const ShownBox& box) {
        if (box.text.startsWith(QStringLiteral("You had a message planned")))
            return int(IDYES);
        return m_quitting && box.title == QStringLiteral("Terminate") ? IDYES : 0;
    };
}

void ComposerFixture::whileOpen(const QString& title) {
    if (delivered || title != m_deliverIn)
        return;
    delivered = true;
    deliver(m_delivery);
}

void ComposerFixture::deliver(Delivery what) {
    frmmain& w = load();
    // No window can come up beside an open box, as in the real program.
    w.setModalOpen([this] { return dialogs.openDepth > 0 || composerDialogs.openDepth > 0; });
    w.setEndProgram([this] {
        ++endProgramCalls;
        throw ProgramEnded{};
    });
    switch (what) {
    case Delivery::TimedTick:
        clock.set(clock.today(), timedTickTime);
        w.TimerMessage_Timer();
        break;
    case Delivery::TimePasses:
        clock.set(clock.today(), timedTickTime);
        break;
    case Delivery::NewDayTick:
        clock.set(clock.today().addDays(1), QTime(0, 1));
        engine->newDayTicks = 30;
        w.TimerNewDay_Timer();
        break;
    case Delivery::ShowSettings:
        w.menuSettings_Click();
        break;
    case Delivery::Status:
        w.menuStatus_Click();
        break;
    case Delivery::About:
        w.menuAbout_Click();
        break;
    case Delivery::ExitYes:
        m_quitting = true;
        w.menuExit_Click();
        break;
    case Delivery::LongBox:
        clock.advanceSecs(120);
        break;
    case Delivery::Sleep:
        clock.jumpTo(QDateTime(clock.today().addDays(1), QTime(0, 5)));
        w.TimerNewDay_Timer();
        if (w.TimerMessage.isActive())
            w.TimerMessage_Timer();
        break;
    }
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
