#pragma once

#include <QDateTime>
#include <chrono>

namespace tavrel {

// The only source of the current date and time; tests substitute a settable one.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // The wall clock as milliseconds since the epoch: no time zone work, cheap on every tick.
    virtual qint64 epochMSecs() const { return now().toMSecsSinceEpoch(); }
    // Milliseconds on a steady count that neither the user nor a suspend moves. Its difference
    // from the wall clock between two looks shows a jump of the wall clock.
    virtual qint64 elapsedMSecs() const = 0;

    QDate today() const { return now().date(); }
    QTime timeOfDay() const { return now().time(); }
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 epochMSecs() const override { return QDateTime::currentMSecsSinceEpoch(); }
    // CLOCK_MONOTONIC on Linux, which stands still while the machine sleeps.
    qint64 elapsedMSecs() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

} // namespace tavrel
