#pragma once

#include "Clock.h"
#include "Dialogs.h"
#include "MainWindowPort.h"
#include "Sound.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace tavrel::test {

// One ordered trace that every fake writes into, so tests can check "sound before box".
struct EventLog {
    QStringList events;
};

class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 7), QTime(10, 0)))
        : m_now(std::move(start)) {}
    QDateTime now() const override {
        ++reads;
        return m_now;
    }
    qint64 epochMSecs() const override { return m_now.toMSecsSinceEpoch(); }
    qint64 elapsedMSecs() const override { return m_elapsed; }
    // Time passes to `t`: the steady count moves by as much, so no jump is seen.
    void set(const QDateTime& t) {
        m_elapsed += m_now.msecsTo(t);
        m_now = t;
    }
    void set(QDate d, QTime t) { set(QDateTime(d, t)); }
    void advanceSecs(qint64 s) { set(m_now.addSecs(s)); }
    void advanceMSecs(qint64 ms) { set(m_now.addMSecs(ms)); }
    // Only the wall clock moves, as when the machine sleeps or the clock is set.
    void jumpTo(const QDateTime& t) { m_now = t; }
    void setReading(const QDateTime& wall, qint64 elapsed) {
        m_now = wall;
        m_elapsed = elapsed;
    }

    // How often the local date and time were asked for: an idle tick must not even look.
    mutable int reads = 0;

private:
    QDateTime m_now;
    qint64 m_elapsed = 0;
};

struct ShownBox {
    QString text;
    QString title;
    uint32_t style = 0;
};

// Records every box and answers from a script (IDOK when the script is empty).
class FakeDialogs final : public Dialogs {
public:
    explicit FakeDialogs(EventLog* log = nullptr) : m_log(log) {}

    int messageBox(const QString& text, const QString& title, uint32_t style) override;
    void beep() override;

    QList<ShownBox> boxes;
    QList<int> answers;
    int beeps = 0;
    // Runs while a box is "open", before it answers: what a real event loop delivers then
    // (timer ticks, tray actions) is run here.
    std::function<void(const ShownBox&)> whileOpen;
    // Answers a box when it gives a result other than 0; otherwise `answers` does.
    std::function<int(const ShownBox&)> answer;
    // Boxes open at this moment (nested ones count each).
    int openDepth = 0;

private:
    EventLog* m_log;
};

class FakeSound final : public SoundPlayer {
public:
    explicit FakeSound(EventLog* log = nullptr) : m_log(log) {}
    void PlaySoundCue(const QString& path) override;
    QStringList played;

private:
    EventLog* m_log;
};

class RecordingMainWindow final : public MainWindowPort {
public:
    explicit RecordingMainWindow(EventLog* log = nullptr) : m_log(log) {}

    void addSavedMessage(const QString& description) override;
    void setEditDeleteEnabled(bool enabled) override;
    void showPlaceholder() override;
    void showWindow() override;
    void setTimerMessageEnabled(bool enabled) override;

    QStringList savedMessages;
    bool editDeleteEnabled = true;
    bool placeholder = false;
    int shown = 0;
    bool timerMessageEnabled = false;
    QStringList calls;

private:
    void note(const QString& call);
    EventLog* m_log;
};

} // namespace tavrel::test
