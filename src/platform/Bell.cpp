#include "Session.h"

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace tavrel {

void RingBell() {
    if (!Session::NativeWayland()) {
        QApplication::beep();
        return;
    }
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    // Made once and kept with the application; a ring while one sounds starts it over.
    static QPointer<QSoundEffect> bell;
    if (!bell) {
        bell = new QSoundEffect(qApp);
        bell->setSource(QUrl(QStringLiteral("qrc:/sounds/bell.wav")));
    }
    bell->stop();
    bell->play();
}

} // namespace tavrel
