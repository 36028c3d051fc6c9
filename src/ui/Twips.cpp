#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace tavrel {

Twips Twips::of(const QScreen* screen) {
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return Twips(screen ? screen->logicalDotsPerInch() : kBaseDpi);
}

Twips Twips::of(const QWidget* widget) {
    return of(widget ? widget->screen() : nullptr);
}

int Twips::toPixels(qreal twips) const {
    return int(std::lround(twips * m_dpi / kPerInch));
}

int Twips::fromPixels(int pixels) const {
    return int(std::lround(pixels * kPerInch / m_dpi));
}

} // namespace tavrel
