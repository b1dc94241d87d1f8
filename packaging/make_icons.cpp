// SPDX-License-Identifier: MIT
// make_icons: writes the application icon as PNG files, from the same painting code the program
// uses for its window icon, so the installed theme icons and the window icon are one drawing.
//
//   make_icons SIZE FILE [SIZE FILE ...]
//
// Each FILE gets a SIZE x SIZE picture, or the scalable SVG drawing where SIZE is "svg". Runs at
// build time; it needs no application object and no display, because the icon is painted from
// shapes only.
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/icons.h"

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "make_icons: %s\n", message.c_str());
    return EXIT_FAILURE;
}

// A drawing with no visible pixel is a painting fault; installing it would give an empty icon.
bool hasVisiblePixel(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3 || argc % 2 == 0) {
        return fail("usage: make_icons SIZE FILE [SIZE FILE ...]");
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string sizeText = argv[i];
        const QString path = QString::fromLocal8Bit(argv[i + 1]);
        if (sizeText == "svg") {
            QFile file(path);
            const QByteArray svg = tessivane::appIconSvg();
            if (!file.open(QIODevice::WriteOnly) || file.write(svg) != svg.size() ||
                !file.flush()) {
                return fail("could not write " + path.toStdString());
            }
            continue;
        }
        bool ok = false;
        const int size = QString::fromStdString(sizeText).toInt(&ok);
        if (!ok || size <= 0) {
            return fail("'" + sizeText + "' is not a size in pixels");
        }
        const QImage image = tessivane::paintAppIcon(size);
        if (image.isNull() || image.width() != size || image.height() != size) {
            return fail("the icon could not be painted at " + sizeText + " pixels");
        }
        if (!hasVisiblePixel(image)) {
            return fail("the icon painted at " + sizeText + " pixels is empty");
        }
        if (!image.save(path, "PNG")) {
            return fail("could not write " + path.toStdString());
        }
    }
    return EXIT_SUCCESS;
}
