#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tavrel {

// Window measures are given in twips: 1,440 per inch, 15 per pixel at 96 dpi. Qt lays widgets out
// in device-independent pixels (one of them is one pixel at 96 dpi), so a twip measure divides
// by 15; the toolkit scales the result on high-density screens.
constexpr int kTwipsPerPixel = 15;

// Rounds to the nearest pixel, halves away from zero.
constexpr int TwipsToPixels(int twips) {
    return twips >= 0 ? (twips * 2 + kTwipsPerPixel) / (2 * kTwipsPerPixel)
                      : -((-twips * 2 + kTwipsPerPixel) / (2 * kTwipsPerPixel));
}

constexpr int PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

constexpr QPoint TwipsPoint(int x, int y) {
    return {TwipsToPixels(x), TwipsToPixels(y)};
}

constexpr QSize TwipsSize(int width, int height) {
    return {TwipsToPixels(width), TwipsToPixels(height)};
}

// A control's rectangle as the layout tables give it: left, top, width, height.
constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return {TwipsPoint(left, top), TwipsSize(width, height)};
}

} // namespace tavrel
