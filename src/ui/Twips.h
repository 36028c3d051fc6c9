#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace tavrel {

// Window measures are given in twips, 1,440 to the inch. They become the toolkit's pixels through
// the screen's logical dots per inch: 15 twips to a pixel at 96 dpi, 7.5 at 192. With Qt's own
// scaling on, the screen reports 96 and Qt enlarges the pixels; with it off, a font setting of
// 192 dpi reaches us here, so the layout grows with the text it holds either way.
class Twips {
public:
    static constexpr qreal kBaseDpi = 96.0;
    static constexpr qreal kPerInch = 1440.0;

    constexpr explicit Twips(qreal logicalDpi = kBaseDpi)
        : m_dpi(logicalDpi > 0 ? logicalDpi : kBaseDpi) {}

    // The measure of the screen a widget is on (the primary screen before it has one).
    static Twips of(const QWidget* widget);
    static Twips of(const QScreen* screen);

    constexpr qreal dpi() const { return m_dpi; }
    constexpr qreal perPixel() const { return kPerInch / m_dpi; }

    // Rounds to the nearest pixel, halves away from zero.
    int toPixels(qreal twips) const;
    // Whole twips, rounded like toPixels.
    int fromPixels(int pixels) const;

    QPoint point(int x, int y) const { return {toPixels(x), toPixels(y)}; }
    QSize size(int width, int height) const { return {toPixels(width), toPixels(height)}; }
    // A control's rectangle as the layout tables give it: left, top, width, height.
    QRect rect(int left, int top, int width, int height) const {
        return {point(left, top), size(width, height)};
    }

private:
    qreal m_dpi;
};

} // namespace tavrel
