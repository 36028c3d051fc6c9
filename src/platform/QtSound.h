#pragma once

#include "Sound.h"

#include <QPointer>
#include <QSoundEffect>
#include <functional>

namespace tavrel {

// PlaySoundCue through Qt Multimedia. The output count and the beep are injectable so that the
// "no audio output" path can be tested on machines that have one, and vice versa.
class QtSoundPlayer final : public SoundPlayer {
public:
    using OutputCount = std::function<int()>;
    using Beep = std::function<void()>;

    QtSoundPlayer();
    QtSoundPlayer(OutputCount outputCount, Beep beep);
    ~QtSoundPlayer() override;
    Q_DISABLE_COPY_MOVE(QtSoundPlayer)

    void PlaySoundCue(const QString& path) override;

    // The cue being played (or last played); null when none was started.
    QSoundEffect* current() const { return m_effect; }

private:
    OutputCount m_outputCount;
    Beep m_beep;
    QPointer<QSoundEffect> m_effect;
};

} // namespace tavrel
