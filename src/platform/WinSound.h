#pragma once

#include "Sound.h"

#include <functional>

namespace tavrel {

// PlaySoundCue through the Windows multimedia library: waveOutGetNumDevs, then PlaySound of the
// file, asynchronous and without the system's default sound. The three calls are injectable so
// that both paths can be tested on any machine.
class WinSoundPlayer final : public SoundPlayer {
public:
    using OutputCount = std::function<unsigned()>;
    using Beep = std::function<void()>;
    // PlaySound(path, flags); its result is not looked at.
    using Play = std::function<void(const QString& nativePath, unsigned flags)>;

    // SND_ASYNC | SND_NODEFAULT | SND_FILENAME: returns at once, a missing file is silent and a
    // new cue stops the one playing.
    static constexpr unsigned kFlags = 0x0001 | 0x0002 | 0x00020000;

    WinSoundPlayer();
    WinSoundPlayer(OutputCount outputCount, Beep beep, Play play);
    Q_DISABLE_COPY_MOVE(WinSoundPlayer)

    void PlaySoundCue(const QString& path) override;

private:
    OutputCount m_outputCount;
    Beep m_beep;
    Play m_play;
};

} // namespace tavrel
