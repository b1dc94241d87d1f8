// SPDX-License-Identifier: MIT
// The picture viewer window and its surface, checked on the pixels a person would see; the twips
// conversions and the program's icons. (The viewer as the choosers drive it: choosers_close_test.)
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "support/temp_dir.h"
#include "ui/icons.h"
#include "ui/picture_viewer.h"
#include "ui/twips.h"

namespace tessivane {
namespace {

using testing::TempDir;

TEST(TwipsTest, ConvertAtTheResolutionRoundedToTheNearestUnit) {
    const std::tuple<int, qreal, int> toPixels[] = {{4680, 96, 312}, {15, 96, 1}, {100, 96, 7},
                                                    {97, 96, 6},     {0, 96, 0},  {4680, 120, 390}};
    for (const auto& [twips, dpi, pixels] : toPixels) {
        EXPECT_EQ(twipsToPixels(twips, dpi), pixels) << twips << " at " << dpi;
    }
    const std::tuple<int, qreal, int> toTwips[] = {
        {312, 96, 4680}, {1, 96, 15}, {7, 144, 70}, {1, 72, 20}, {100, 0, 0}};
    for (const auto& [pixels, dpi, twips] : toTwips) {
        EXPECT_EQ(pixelsToTwips(pixels, dpi), twips) << pixels << " at " << dpi;
    }
}

// An 8 x 8 picture in four quarters: red and blue above, green and yellow below.
QImage quarters() {
    QImage image(8, 8, QImage::Format_RGB32);
    const QRgb colours[] = {0xFFFF0000, 0xFF0000FF, 0xFF008000, 0xFFFFFF00};
    for (int i = 0; i < 64; ++i) {
        image.setPixel(i % 8, i / 8, colours[i / 32 * 2 + i % 8 / 4]);
    }
    return image;
}

// Checks every pixel that the surface shows: the picture with its top-left corner at origin (and
// repeated from there in both directions when tiled), the background colour elsewhere.
void expectPainted(QWidget* surface, const QImage& picture, QPoint origin, bool tiled) {
    const QImage shown = surface->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), surface->size()) << "the grab must not be scaled";
    const QRgb background = surface->palette().color(QPalette::Base).rgb();
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            QPoint at = QPoint(x, y) - origin;
            if (tiled) {
                const int w = picture.width();
                const int h = picture.height();
                at = {(at.x() % w + w) % w, (at.y() % h + h) % h};
            }
            const QRgb expected = picture.rect().contains(at) ? picture.pixel(at) : background;
            ASSERT_EQ(shown.pixel(x, y) | 0xFF000000, expected) << x << "," << y;
        }
    }
}

TEST(PicViewTest, PaintsThePictureOnceAtItsAlignmentOrTiledOverTheWholeSurface) {
    struct Placement {
        int alignment;
        QSize surface;
        QPoint origin;
    };
    const Placement cases[] = {
        {PictureView::kTopLeft, {30, 20}, {0, 0}},
        {PictureView::kTopRight, {30, 20}, {22, 0}},
        {PictureView::kBottomLeft, {30, 20}, {0, 12}},
        {PictureView::kBottomRight, {30, 20}, {22, 12}},
        {PictureView::kCentre, {100, 70}, {46, 31}},
        {PictureView::kCentre, {4, 4}, {-2, -2}},
        {PictureView::kTile, {101, 67}, {0, 0}},
    };
    PictureView view;
    EXPECT_EQ(view.pictureAlignment(), PictureView::kTopLeft);
    view.resize(40, 30);
    expectPainted(&view, QImage(), {}, false);
    view.setPicture(quarters());
    for (const Placement& c : cases) {
        SCOPED_TRACE(c.alignment);
        view.resize(c.surface);
        view.setPictureAlignment(c.alignment);
        expectPainted(&view, quarters(), c.origin, c.alignment == PictureView::kTile);
    }
    // Unknown alignments are ignored; a null picture removes the picture.
    view.setPictureAlignment(6);
    view.setPictureAlignment(-1);
    EXPECT_EQ(view.pictureAlignment(), PictureView::kTile);
    view.setPicture(QImage());
    EXPECT_TRUE(view.picture().isNull());
    expectPainted(&view, QImage(), {}, false);
}

// A 1 x 1 GIF: header, logical screen with a two-entry colour table, image descriptor, LZW data.
const QByteArray kGifBytes(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\x00\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01"
    "\x00\x00\x02\x02\x44\x01\x00;",
    35);

// A 1 x 1 grey TIFF, uncompressed: little-endian header, one directory of eight entries (width,
// height, bits per sample, compression, photometric, strip offset, rows per strip, strip size),
// then the pixel. Written by hand because the viewer itself never writes or needs a TIFF codec.
QByteArray tiffBytes() {
    QByteArray bytes("II*\x00\x08\x00\x00\x00\x08\x00", 10);
    const auto entry = [&](quint16 tag, quint16 type, quint32 value) {
        const char fields[12] = {char(tag), char(tag >> 8), char(type),       0, 1, 0, 0,
                                 0,         char(value),    char(value >> 8), 0, 0};
        bytes.append(fields, 12);
    };
    const quint32 pixelAt = 10 + 8 * 12 + 4;
    entry(256, 3, 1);
    entry(257, 3, 1);
    entry(258, 3, 8);
    entry(259, 3, 1);
    entry(262, 3, 1);
    entry(273, 4, pixelAt);
    entry(278, 3, 1);
    entry(279, 4, 1);
    bytes.append(4, '\0');
    bytes.append('\x80');
    return bytes;
}

// GIF, JPEG, BMP and PNG are read, recognised by their content; anything else (a text file, a
// TIFF, a cut GIF, nothing; here with no valid size) is refused and the picture shown before stays.
TEST(PicViewTest, ReadsGifJpegBmpAndPngAndKeepsThePictureOtherwise) {
    TempDir dir;
    const auto saved = [&](const QString& name, QSize size, const char* format) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::blue);
        EXPECT_TRUE(image.save(dir.path(name), format)) << format;
        return dir.path(name);
    };
    const std::pair<QString, QSize> cases[] = {
        {dir.file("notes.gif", "This is no picture.\r\n"), {}},
        {saved("a.png", {8, 8}, "PNG"), {8, 8}},
        {saved("b.bmp", {5, 3}, "BMP"), {5, 3}},
        {dir.file("notes.txt", "This is no picture.\r\n"), {}},
        {saved("c.jpg", {10, 6}, "JPEG"), {10, 6}},
        {dir.file("d.gif", kGifBytes), {1, 1}},
        {saved("png-named.gif", {7, 7}, "PNG"), {7, 7}},
        {dir.file("e.tif", tiffBytes()), {}},
        {dir.path("missing.bmp"), {}},
        {dir.file("empty.bmp", QByteArray()), {}},
        {dir.file("cut.gif", kGifBytes.left(12)), {}},
    };
    PictureView view;
    QSize shown(0, 0);  // no picture yet
    for (const auto& [path, size] : cases) {
        EXPECT_EQ(view.loadPicture(path), size.isValid()) << path.toStdString();
        shown = size.isValid() ? size : shown;
        EXPECT_EQ(view.picture().size(), shown) << path.toStdString();
    }
}

// The surface sits at the top-left corner and is the outer size less 100 twips each way (never
// less than nothing), within half a pixel of rounding.
void expectSurfaceFollowsOuterSize(const PictureViewer& viewer) {
    const QSize outer = viewer.frameGeometry().size();
    const QRect surface = viewer.picView()->geometry();
    EXPECT_EQ(surface.topLeft(), QPoint(0, 0));
    for (const auto& [outerPixels, surfacePixels, dpi] :
         {std::tuple{outer.width(), surface.width(), qreal(viewer.logicalDpiX())},
          std::tuple{outer.height(), surface.height(), qreal(viewer.logicalDpiY())}}) {
        const int wanted = std::max(pixelsToTwips(outerPixels, dpi) - 100, 0);
        EXPECT_LE(std::abs(pixelsToTwips(surfacePixels, dpi) - wanted), 720.0 / dpi + 1)
            << outerPixels << " pixels outside, " << surfacePixels << " inside";
    }
}

// A fresh viewer has the design size, its own icon and no picture; the tiled surface then follows
// every resize, maximising and restoring.
TEST(WZPicViewTest, FreshViewerAtTheDesignSizeThenTheSurfaceFollowsResizeMaximiseAndRestore) {
    PictureViewer viewer;  // never closed here, so it does not delete itself
    EXPECT_EQ(viewer.size(), QSize(twipsToPixels(4680, viewer.logicalDpiX()),
                                   twipsToPixels(3195, viewer.logicalDpiY())));
    EXPECT_FALSE(viewer.isModal());
    EXPECT_EQ(viewer.windowIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
              paintViewerIcon(16));
    EXPECT_TRUE(viewer.picView()->picture().isNull());
    expectSurfaceFollowsOuterSize(viewer);

    TempDir dir;
    ASSERT_TRUE(quarters().save(dir.path("panel.bmp"), "BMP"));
    viewer.showPicture(dir.path("panel.bmp"), PictureView::kTile);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    for (const QSize size : {QSize(3, 2), QSize(150, 500), QSize(640, 120), QSize(400, 300)}) {
        SCOPED_TRACE(size.width());
        viewer.resize(size);
        ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.size() == size; }, 1000));
        expectSurfaceFollowsOuterSize(viewer);
        expectPainted(viewer.picView(), quarters(), {0, 0}, true);
    }

    const QSize normalSurface = viewer.picView()->size();
    viewer.showMaximized();
    if (!QTest::qWaitFor([&] { return viewer.size() != QSize(400, 300); }, 1000)) {
        // On X11 the window manager maximises; a bare X server has none.
        ASSERT_NE(QGuiApplication::platformName(), "offscreen") << "maximising changed nothing";
        GTEST_SKIP() << "the platform did not maximise the window";
    }
    EXPECT_GT(viewer.picView()->width(), normalSurface.width());
    EXPECT_GT(viewer.picView()->height(), normalSurface.height());
    expectSurfaceFollowsOuterSize(viewer);
    viewer.showNormal();
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.size() == QSize(400, 300); }, 1000));
    EXPECT_EQ(viewer.picView()->size(), normalSurface);
}

// Every opaque pixel in one of the sixteen colours, most of the square covered, several colours.
void expectCleanIcon(const QImage& image, int size) {
    ASSERT_EQ(image.size(), QSize(size, size));
    QSet<QRgb> colours;
    int opaque = 0;
    for (int i = 0; i < size * size; ++i) {
        const QRgb pixel = image.pixel(i % size, i / size);
        if (qAlpha(pixel) != 0) {
            ASSERT_NE(std::find(kVgaColours.begin(), kVgaColours.end(), pixel), kVgaColours.end())
                << i % size << "," << i / size << " has " << std::hex << pixel;
            colours.insert(pixel);
            ++opaque;
        }
    }
    EXPECT_GT(opaque, size * size / 2);
    EXPECT_GE(colours.size(), 5);
}

// Both drawings are clean and differ at every size; the icons carry them at the packaging sizes.
TEST(IconsTest, TwoDifferentDrawingsInTheSixteenColoursAtEverySize) {
    for (const int size : {16, 24, 32, 48, 64, 256}) {
        SCOPED_TRACE(size);
        const QImage app = paintAppIcon(size);
        const QImage viewer = paintViewerIcon(size);
        expectCleanIcon(app, size);
        expectCleanIcon(viewer, size);
        EXPECT_NE(app, viewer);
        if (std::find(kIconSizes.begin(), kIconSizes.end(), size) != kIconSizes.end()) {
            for (const auto& [icon, drawing] :
                 {std::pair{appIcon(), app}, std::pair{viewerIcon(), viewer}}) {
                EXPECT_EQ(icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32),
                          drawing);
            }
        }
    }
    EXPECT_TRUE(paintAppIcon(0).isNull());
    EXPECT_TRUE(paintViewerIcon(-5).isNull());
}

}  // namespace
}  // namespace tessivane
