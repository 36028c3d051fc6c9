#pragma once

#include <QRect>

namespace tavrel {

// Window measures are designed in twips: 1,440 per inch, 15 per device-independent pixel.
constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(double twips) {
    return static_cast<int>(twips >= 0 ? twips / kTwipsPerPixel + 0.5
                                       : twips / kTwipsPerPixel - 0.5);
}
constexpr int PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

// A design rectangle (left, top, width, height in twips) in pixels.
constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

} // namespace tavrel
