#pragma once

#include "MainWindowPort.h"
#include "MessageRecord.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QTime>
#include <functional>
#include <optional>

namespace tavrel {

class Clock;
class DateText;
class Dialogs;
class ProgramError;
class SoundPlayer;

// The reminder engine: owner of the program's shared state and of the routines that read the
// message files, decide what is due, keep the timer file and show messages. One instance lives
// as long as the program; everything reaches the main window through MainWindowPort.
class StartupAndRoutines {
public:
    // Creates (on first call) and returns the main window. Its first use loads the window.
    using WindowLoader = std::function<MainWindowPort&()>;
    // Ends the program at once after the corrupted-messages warning (the tray icon is removed
    // by whoever implements it; nothing else of the close sequence runs).
    using EndProgram = std::function<void()>;

    struct TimerEntry {
        QTime time;
        QString text;
    };

    StartupAndRoutines(const Clock& clock, Dialogs& dialogs, SoundPlayer& sound,
                       const DateText& dates, QString programFolder, WindowLoader loadMainWindow,
                       EndProgram endProgram);
    Q_DISABLE_COPY_MOVE(StartupAndRoutines)

    // --- shared state -------------------------------------------------------------------
    MessageRecord CurrentMessage;
    bool showNow = false;
    bool missedToday = false;
    bool overwriteExisting = false;
    QList<TimerEntry> timerEntries; // timerEntries[0] is entry 1
    int timerEntryCount = 0;
    QTime lastTimerCheck{0, 0, 0};

    // --- services -------------------------------------------------------------------------
    QString ProgramFolder() const { return m_programFolder; }
    const DateText& dates() const { return m_dates; }
    const Clock& clock() const { return m_clock; }
    Dialogs& dialogs() { return m_dialogs; }
    SoundPlayer& sound() { return m_sound; }
    bool mainWindowLoaded() const { return m_window != nullptr; }
    MainWindowPort& mainWindow();

    // --- start-up -------------------------------------------------------------------------
    enum class MainResult {
        Running, // the main window is loaded: the program lives on
        Ended,   // the program must end now (second copy, corrupted file, window never loaded)
    };
    MainResult Main(bool anotherCopyRunning);
    void olderMessages();

    // --- timed messages -------------------------------------------------------------------
    void CheckTime();
    void writeTimerTempfile();
    bool ReadTimerFile();
    // ReadTimerFile's reading of the file's bytes into timerEntries and timerEntryCount; throws
    // ProgramError (13, 62) where the reading stops.
    void parseTimerFile(const QByteArray& bytes);
    void ShowDueTimedMessages(); // TimerMessage_Timer
    void DeleteTimerFile();
    void RebuildTimerFile();
    // A registration moves lastTimerCheck to now, and a rescan keeps only windows still ahead:
    // either would drop unseen an entry that came due since the last tick. A save or a delete
    // (outside a tick or a pass) first shows those, as that tick would have.
    void ShowTimedMessagesDueSinceTick();
    QString TimerFilePath() const { return m_programFolder + QStringLiteral("Timerfile"); }

    // --- days -----------------------------------------------------------------------------
    void NewRoutine();
    void PromptMissedMessage();
    void ShowDueMessageBox(); // the due-message box for CurrentMessage
    // TimerNewDay_Timer: counts ticks; on the 31st runs CheckforNewDay, and at once after a jump
    // of the wall clock or ticks held up. Returns true when the day changed and the caller must
    // set its three date labels to today's short date.
    bool TimerNewDay_Timer(const QString& lblHIDDENdateTODAY);
    bool CheckforNewDay(const QString& lblHIDDENdateTODAY);
    int newDayTicks = 0;
    static constexpr qint64 kNewDayIntervalMs = 65535;
    // How far the wall clock must stray from the steady count between two looks to count as a
    // jump (a suspend, the clock set): far above any timer's jitter, far below a sleep.
    static constexpr qint64 kClockJumpMs = 2 * 60 * 1000;

    // --- status ---------------------------------------------------------------------------
    void ShowStatus();

    // True once EndProgram has been called; the timer handlers do nothing from then on.
    bool programEnded() const { return m_ended; }

private:
    struct ClockReading {
        qint64 wall = 0;    // Clock::epochMSecs
        qint64 elapsed = 0; // Clock::elapsedMSecs
        bool valid = false;
    };
    ClockReading readClock() const;
    static bool jumpedBetween(const ClockReading& from, const ClockReading& to);
    // The registered message behind a timer entry, when this program wrote it.
    std::optional<MessageRecord> registeredFor(const TimerEntry& entry) const;
    // A timer table of another day is never shown from. Entries of an earlier day still ahead
    // at the last check passed unseen (asleep across midnight) and are offered as missed; a
    // table of a later day (the clock set back) is dropped. Deletes the timer file.
    void dropTableOfAnotherDay(QDate today);

    // The failure table shared by Main and RebuildTimerFile. Returns true when the program ends.
    bool reportScanFailure(const ProgramError& error);
    void showNoMessagesWindow();
    QDate readDate(const QString& text) const;
    // The scan that opens Main, NewRoutine and RebuildTimerFile: removes "Temp" and the timer
    // file, then reads each message file into CurrentMessage and hands its name to `visit`.
    // Without any message file it shows the main window instead and returns false.
    bool scanMessageFiles(const std::function<void(const QString& name)>& visit);
    struct MessageDays {
        QDate today, finalDate, priorDate;
        bool firstOrFinal() const { return finalDate == today || priorDate == today; }
    };
    MessageDays currentMessageDays() const;
    // Registers CurrentMessage's window, asks about a missed one, or shows it now.
    void showOrRegisterCurrent();

    const Clock& m_clock;
    Dialogs& m_dialogs;
    SoundPlayer& m_sound;
    const DateText& m_dates;
    QString m_programFolder;
    WindowLoader m_loadMainWindow;
    EndProgram m_endProgram;
    MainWindowPort* m_window = nullptr;

    bool m_ended = false;
    // Ticks keep arriving while a modal box is open. A TimerMessage tick during an earlier
    // tick's box, and either timer's tick during the pass of Main or NewRoutine, does nothing.
    bool m_inTimedTick = false;
    bool m_passRunning = false;
    // Registrations during a pass keep lastTimerCheck at the pass's start, so an entry whose
    // start passes while one of the pass's boxes is open is still shown at the next tick.
    struct PassStart {
        QTime time;
        ClockReading reading;
    } m_passStart;
    // Where the clock stood when lastTimerCheck was last set, and at the last counted tick of
    // TimerNewDay: a jump since then is seen by comparing with the steady count.
    ClockReading m_lastTimerCheckReading;
    ClockReading m_lastNewDayTick;
    // The timer file's lines as registered (unwrapped), and the day they were registered on;
    // both cleared with the file. Entries carry neither end nor date, these do.
    QList<MessageRecord> m_registered;
    QDate m_timerDay;
    // A pass judges every message by the day it started on: the rest of a pass that a box held
    // past midnight belongs to the old day, and the daily routine then runs for the new one.
    QDate m_passDay;
};

} // namespace tavrel
