#include "WinSound.h"

#include "Session.h"

#include <QDir>
#include <memory>
#include <utility>

#include <windows.h>

#include <mmsystem.h>

namespace tavrel {

std::unique_ptr<SoundPlayer> SystemSoundPlayer() {
    return std::make_unique<WinSoundPlayer>();
}

WinSoundPlayer::WinSoundPlayer()
    : WinSoundPlayer([] { return static_cast<unsigned>(waveOutGetNumDevs()); }, [] { RingBell(); },
                     [](const QString& nativePath, unsigned flags) {
                         PlaySoundW(reinterpret_cast<LPCWSTR>(nativePath.utf16()), nullptr, flags);
                     }) {}

WinSoundPlayer::WinSoundPlayer(OutputCount outputCount, Beep beep, Play play)
    : m_outputCount(std::move(outputCount)), m_beep(std::move(beep)), m_play(std::move(play)) {}

void WinSoundPlayer::PlaySoundCue(const QString& path) {
    if (m_outputCount() == 0) {
        m_beep();
        return;
    }
    m_play(QDir::toNativeSeparators(path), kFlags);
}

} // namespace tavrel
