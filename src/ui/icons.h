// SPDX-License-Identifier: MIT
#pragma once
// The program's own icons, drawn in code in the sixteen classic VGA colours.
//
// paintAppIcon() and paintViewerIcon() need no application object and no fonts (they draw shapes
// only), so a build-time tool can call them to write icon files. appIcon() and viewerIcon() give
// QIcons that paint their pictures only when first drawn or measured (a window on a platform that
// shows no icons never paints one), and need a QGuiApplication then.
#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QRgb>
#include <array>
#include <functional>

namespace tessivane {

// Black, maroon, green, olive, navy, purple, teal, silver, grey, red, lime, yellow, blue,
// fuchsia, aqua, white.
inline constexpr std::array<QRgb, 16> kVgaColours = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};

// The square sizes, in pixels, that appIcon() and viewerIcon() carry.
inline constexpr std::array<int, 4> kIconSizes = {16, 32, 48, 256};

// A size x size ARGB32 image: a folder holding a web page, with a globe in front. Every pixel is
// either fully transparent or one of kVgaColours. Sizes under 24 use a simpler drawing made for
// 16 pixels. A size of 0 or less gives a null image.
QImage paintAppIcon(int size);
// The same for the picture viewer: a framed landscape.
QImage paintViewerIcon(int size);
// The application icon's large drawing as a scalable SVG picture on a 32-unit grid.
QByteArray appIconSvg();

QIcon appIcon();
QIcon viewerIcon();

// An icon that calls make() the first time it is drawn or measured, and is that icon from then on.
// Making it costs nothing before then.
QIcon deferredIcon(std::function<QIcon()> make);

}  // namespace tessivane
