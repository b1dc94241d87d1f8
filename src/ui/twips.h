// SPDX-License-Identifier: MIT
#pragma once
// Window geometry is laid out in twips (1/1440 inch). This converts twips to device independent
// pixels at a screen's logical DPI: at 96 DPI a pixel is 15 twips.
#include <QRect>
#include <QWidget>
#include <QtGlobal>

namespace tessivane {

inline constexpr int kTwipsPerInch = 1440;

// Rounded to the nearest pixel.
inline int twipsToPixels(int twips, qreal logicalDpi) {
    return qRound(twips * logicalDpi / kTwipsPerInch);
}

// A position and size in twips, relative to the containing group box or window.
struct Twips {
    int left;
    int top;
    int width;
    int height;
};

// A place in twips as pixels at the widget's screen's logical DPI. Every position and size of
// the window is converted here.
inline QRect pixels(const QWidget* widget, const Twips& twips) {
    const qreal dpiX = widget->logicalDpiX();
    const qreal dpiY = widget->logicalDpiY();
    return {twipsToPixels(twips.left, dpiX), twipsToPixels(twips.top, dpiY),
            twipsToPixels(twips.width, dpiX), twipsToPixels(twips.height, dpiY)};
}

}  // namespace tessivane
