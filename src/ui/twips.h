// SPDX-License-Identifier: MIT
#pragma once
// Window geometry is laid out in twips (1/1440 inch). This converts twips to device independent
// pixels at a screen's logical DPI: at 96 DPI a pixel is 15 twips.
#include <QtGlobal>

namespace tessivane {

inline constexpr int kTwipsPerInch = 1440;

// Rounded to the nearest pixel.
inline int twipsToPixels(int twips, qreal logicalDpi) {
    return qRound(twips * logicalDpi / kTwipsPerInch);
}

}  // namespace tessivane
