#include "QtSound.h"

#include "Session.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace tavrel {

std::unique_ptr<SoundPlayer> SystemSoundPlayer() {
    return std::make_unique<QtSoundPlayer>();
}

QtSoundPlayer::QtSoundPlayer()
    : QtSoundPlayer([] { return static_cast<int>(QMediaDevices::audioOutputs().size()); },
                    [] { RingBell(); }) {}

QtSoundPlayer::QtSoundPlayer(OutputCount outputCount, Beep beep)
    : m_outputCount(std::move(outputCount)), m_beep(std::move(beep)) {}

QtSoundPlayer::~QtSoundPlayer() {
    delete m_effect;
}

void QtSoundPlayer::PlaySoundCue(const QString& path) {
    if (m_outputCount() == 0) {
        m_beep();
        return;
    }
    // A new cue replaces the one still playing.
    delete m_effect;
    m_effect = nullptr;
    // No fallback sound: a missing file gives silence.
    if (!QFileInfo(path).isFile())
        return;
    m_effect = new QSoundEffect();
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->play();
}

} // namespace tavrel
