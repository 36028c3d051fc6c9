#pragma once

#include "MainWindowPort.h"
#include "MessageRecord.h"
#include "ReminderLedger.h"

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
    // CheckTime for CurrentMessage read from (or saved to) `file` in the program folder: what
    // it registers is owed under that file's name.
    void CheckTimeFor(const QString& file);
    void writeTimerTempfile();
    bool ReadTimerFile();
    // ReadTimerFile's reading of the file's bytes into timerEntries and timerEntryCount; throws
    // ProgramError (13, 62) where the reading stops.
    void parseTimerFile(const QByteArray& bytes);
    void ShowDueTimedMessages(); // TimerMessage_Timer
    void DeleteTimerFile();
    void RebuildTimerFile();
    // The one place that decides what comes up: puts in front of the user, one box at a time,
    // every reminder owed by now, in the order they fell due, and asks again after each box.
    // Never while one of its boxes is open (a second reminder box never stacks on the first):
    // that call asks again when its box closes.
    void PresentOwedReminders();
    QString TimerFilePath() const { return m_programFolder + QStringLiteral("Timerfile"); }

    // --- days -----------------------------------------------------------------------------
    void NewRoutine();
    // Both work on a copy of CurrentMessage taken when they begin: what runs while their box is
    // open (a tick, the tray reloading the composer) cannot change what they show.
    void PromptMissedMessage();
    void ShowDueMessageBox(); // the due-message box for CurrentMessage
    // TimerNewDay_Timer: counts ticks; on the 31st runs CheckforNewDay, and at once after a jump
    // of the wall clock or ticks held up. When the daily routine ran, returns the day it ran
    // for: the caller sets its three date labels to that day's short date, so a routine held
    // past midnight by its boxes is followed by the next day's.
    std::optional<QDate> TimerNewDay_Timer(const QString& lblHIDDENdateTODAY);
    std::optional<QDate> CheckforNewDay(const QString& lblHIDDENdateTODAY);
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

    // The failure table shared by Main and RebuildTimerFile. Returns true when the program ends.
    bool reportScanFailure(const ProgramError& error);
    void showNoMessagesWindow();
    QDate readDate(const QString& text) const;
    // The scan that opens Main, NewRoutine and RebuildTimerFile: removes "Temp" and the timer
    // file, then reads each message file into CurrentMessage and hands its name to `visit`.
    // Without any message file it shows the main window instead and returns false.
    bool scanMessageFiles(const std::function<void(const QString& name)>& visit);
    // Reads a listed message file by its bare name; false when it is gone since the listing.
    bool readListed(const QString& name, MessageRecord& into) const;
    struct MessageDays {
        QDate today, finalDate, priorDate;
        bool firstOrFinal() const { return finalDate == today || priorDate == today; }
    };
    MessageDays currentMessageDays() const;
    // The day the rules judge by: a pass's own, otherwise today.
    QDate judgedDay() const;
    void runMainPass();
    // A pass's step for CurrentMessage, read from `file` and due on the pass's day: the time
    // check registers a window still ahead; a reminder to show now, or a window missed, is
    // admitted; then whatever is owed comes up.
    void admitCurrent(const QString& file);
    // Days after the cursor and before `today`, which the program lived through without
    // looking (asleep, or held in a box past midnight): their reminders are admitted, day by
    // day, to come up before today's.
    void admitDaysLivedThrough(QDate today);
    // Brings the record in line with what `file` holds now: its reminders not yet presented
    // take the new text while their key still stands, and go otherwise.
    void reconcile(const QString& file, const std::optional<MessageRecord>& onDisk);
    // True while `record` still makes the reminder owed: the same window start, and its day
    // still within the message's days.
    bool holdsKey(const MessageRecord& record, const ReminderLedger::Reminder& reminder) const;
    void showDueMessageBox(const MessageRecord& message);
    // The reminder's box, or its missed question once its window or its whole day passed.
    void present(const ReminderLedger::Reminder& reminder, const QDateTime& now);
    // The timer file is the view of today's owed windows still ahead: registers again those
    // the last scan did not (made due by a wider test, at start-up), so the timer ticks for
    // them.
    void registerOwedAhead();

    const Clock& m_clock;
    Dialogs& m_dialogs;
    SoundPlayer& m_sound;
    const DateText& m_dates;
    QString m_programFolder;
    WindowLoader m_loadMainWindow;
    EndProgram m_endProgram;
    MainWindowPort* m_window = nullptr;

    bool m_ended = false;
    ReminderLedger m_ledger;
    // The last day whose reminders have been admitted; never moves back (the clock set back).
    QDate m_cursor;
    // The message file CurrentMessage was read from, while CheckTime judges it.
    QString m_currentFile;
    // A pass (Main, NewRoutine) under way. It judges every message by the day it started on:
    // the rest of a pass that a box held past midnight belongs to the old day. The rebuild that
    // follows a timed box shown inside it waits for its end, so the pass's own scan and
    // collection of old messages are not swept away under it.
    struct Pass {
        QDate day;
        bool rebuildOwed = false;
    };
    Pass* m_pass = nullptr;
    void runPass(QDate day, const std::function<void()>& steps);
    // One of the presenter's boxes is open.
    bool m_presenting = false;
    // Where the clock stood at the last counted tick of TimerNewDay: a jump since then is seen
    // by comparing with the steady count.
    ClockReading m_lastNewDayTick;
};

} // namespace tavrel
