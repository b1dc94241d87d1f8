// SPDX-License-Identifier: MIT
#pragma once
// Window geometry is laid out in twips (1/1440 inch). These convert between twips and device
// independent pixels at a screen's logical DPI: at 96 DPI a pixel is 15 twips.
#include <QtGlobal>

namespace tessivane {

inline constexpr int kTwipsPerInch = 1440;

// Rounded to the nearest pixel.
inline int twipsToPixels(int twips, qreal logicalDpi) {
    return qRound(twips * logicalDpi / kTwipsPerInch);
}

// Rounded to the nearest twip; 0 when the DPI is not positive.
inline int pixelsToTwips(int px, qreal logicalDpi) {
    if (logicalDpi <= 0) {
        return 0;
    }
    return qRound(px * kTwipsPerInch / logicalDpi);
}

}  // namespace tessivane
