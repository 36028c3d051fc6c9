#pragma once

#include <QString>
#include <memory>

namespace tavrel {

// Plays a wave file as a cue before a message box, or beeps where no audio output exists.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Returns at once; the sound plays on. A missing or broken file is silent.
    virtual void PlaySoundCue(const QString& path) = 0;
};

// The platform's player: winmm on Windows, Qt Multimedia elsewhere.
std::unique_ptr<SoundPlayer> SystemSoundPlayer();

} // namespace tavrel
