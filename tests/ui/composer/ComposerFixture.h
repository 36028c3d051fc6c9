#pragma once

#include "ComposerDialogs.h"
#include "DateText.h"
#include "Fakes.h"
#include "QtComposerDialogs.h"
#include "Registry.h"
#include "StartupAndRoutines.h"
#include "TempProgramFolder.h"
#include "TrayHook.h"
#include "frmmain.h"

#include <QTemporaryDir>
#include <memory>

namespace tavrel::test {

// Answers the composer's dialogs from a script and records how they were opened.
class FakeComposerDialogs final : public ComposerDialogs {
public:
    std::optional<QDate> GetDate(QDate userdate, const QString& title) override;
    void ShowOptionalTime() override;
    bool AboutVisible() const override { return aboutVisible; }
    void ShowAbout() override;

    std::optional<QDate> pickedDate; // what GetDate answers
    QList<QDate> getDateCalls;
    QStringList getDateTitles;
    int optionalTimeCalls = 0;
    std::function<void()> onOptionalTime; // the user's work in the time dialog
    bool aboutVisible = false;
    int aboutCalls = 0;
    std::function<void()> onAbout;
    // Runs while a dialog is "open" (its title given), as FakeDialogs::whileOpen does for boxes.
    std::function<void(const QString& title)> whileOpen;
    int openDepth = 0;

private:
    void open(const QString& title);
};

// What a real event loop could deliver while a box or dialog of the program is open.
enum class Delivery {
    TimedTick,    // TimerMessage, the clock moved past the timed entry of the day
    TimePasses,   // the clock moves past that entry, and no tick comes before the box closes
    NewDayTick,   // TimerNewDay's 31st tick, the clock moved past midnight
    ShowSettings, // the tray's "&Show Settings" (or the icon's double-click)
    Status,       // "S&tatus"
    About,        // "&About"
    ExitYes,      // "E&xit", answered Yes
    LongBox,      // the user stays away: two minutes pass, no tick comes
    Sleep,        // the machine sleeps past midnight (only the wall clock moves), then both
                  // timers tick
};

// Thrown where the program ends, as the real program ends its process there.
struct ProgramEnded {};

class FakeTray final : public TrayHook {
public:
    bool add() override {
        ++adds;
        return available;
    }
    void remove() override { ++removes; }
    bool docked() const override { return available && dockedByHost; }
    bool available = true;
    bool dockedByHost = true;
    int adds = 0;
    int removes = 0;
};

// A program folder (also the current directory), a settings file, the fakes, the engine and the
// composer window, as the program puts them together.
class ComposerFixture {
public:
    explicit ComposerFixture(QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    ~ComposerFixture();

    // Another program folder for the engine (a tmpfs, say); call before load().
    void setProgramFolder(const QString& path);
    // The program's real dialogs instead of the scripted ones; call before load().
    void useRealDialogs();
    // Creates the window and runs its load, as the engine's first use does.
    frmmain& load();
    // Leaves the window's controls unbuilt after load(), as the program does until the window
    // is wanted; otherwise load() builds them so that tests can reach them at once.
    bool lazyControls = false;
    // A second run of the program on the same folder and settings.
    frmmain& restart();

    // Once, while the first box or dialog titled `title` is open, delivers `what`; from then on
    // the window's end of the program throws ProgramEnded, "Terminate" is answered Yes when
    // `what` is ExitYes, and a missed-message question is answered Yes.
    void deliverWhileOpen(const QString& title, Delivery what);
    void deliver(Delivery what);
    // The clock set by the tick deliveries.
    QTime timedTickTime{10, 6};
    bool delivered = false;

    QString day(int offsetFromToday) const;
    // Writes a message file as the program would.
    void writeMessage(const QString& description, const MessageRecord& record);
    MessageRecord record(int dueOffset, int daysPrior = 0, const QString& text = "text") const;
    // Fills the composer as a user would leave it before saving.
    void compose(const QString& description, const QString& text, int dueOffset, int daysPrior = 0);
    QString setting(const QString& name);
    QStringList listEntries() const;
    QStringList messageFiles() const;

    TempProgramFolder folder;
    QTemporaryDir settingsDir;
    EventLog log;
    FakeClock clock;
    FakeDialogs dialogs{&log};
    FakeSound sound{&log};
    DateText dates{QLocale(QLocale::English, QLocale::UnitedKingdom)};
    FakeComposerDialogs composerDialogs;
    std::unique_ptr<QtComposerDialogs> realDialogs;
    FakeTray tray;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<StartupAndRoutines> engine;
    std::unique_ptr<frmmain> window;
    int endProgramCalls = 0;

private:
    void whileOpen(const QString& title);
    QString m_deliverIn;
    Delivery m_delivery = Delivery::TimedTick;
    bool m_quitting = false;
    QString m_programFolder;
    void build();
};

} // namespace tavrel::test
