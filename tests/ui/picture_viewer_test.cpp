// SPDX-License-Identifier: MIT
// The picture viewer as a person sees it, and the files it takes for pictures.
#include <gtest/gtest.h>

#include <QtTest>

#include "support/temp_dir.h"
#include "ui/picture_viewer.h"

namespace tessivane {
namespace {

// An 8 x 8 picture in four quarters: red and blue above, green and yellow below.
QImage quarters() {
    QImage image(8, 8, QImage::Format_RGB32);
    for (int i = 0; i < 64; ++i) {
        image.setPixel(
            i % 8, i / 8,
            QList<QRgb>{0xFFFF0000, 0xFF0000FF, 0xFF008000, 0xFFFFFF00}.at(i / 32 * 2 + i % 8 / 4));
    }
    return image;
}

// Every pixel of the window at every size: the picture tiled to every edge, or once in the middle.
TEST(PictureViewerTest, PictureCoversTheWindowTiledOrSitsInItsMiddle) {
    testing::TempDir dir;
    ASSERT_TRUE(quarters().save(dir.path("quarters.bmp"), "BMP"));
    PictureViewer viewer;  // never closed here, so it does not delete itself
    EXPECT_EQ(viewer.size(), QSize(qRound(viewer.logicalDpiX() * 4680 / 1440.0),
                                   qRound(viewer.logicalDpiY() * 3195 / 1440.0)));
    for (const bool tiled : {true, false}) {
        viewer.showPicture(dir.path("quarters.bmp"),
                           tiled ? PictureView::Placement::Tiled : PictureView::Placement::Centred);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
        for (const QSize size : {viewer.size(), QSize(3, 2), QSize(150, 501), QSize(641, 120)}) {
            viewer.resize(size);
            ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.size() == size; }));
            const QImage shown = viewer.grab().toImage().convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(shown.size(), size);
            const QPoint middle((size.width() - 8) / 2, (size.height() - 8) / 2);
            for (int i = 0; i < size.width() * size.height(); ++i) {
                const QPoint at(i % size.width(), i / size.width());
                const QPoint inPicture = tiled ? QPoint(at.x() % 8, at.y() % 8) : at - middle;
                ASSERT_EQ(shown.pixel(at), quarters().rect().contains(inPicture)
                                               ? quarters().pixel(inPicture)
                                               : viewer.palette().color(QPalette::Base).rgb())
                    << at.x() << "," << at.y() << " of " << size.width() << "x" << size.height();
            }
        }
    }
}

// GIF, JPEG, BMP and PNG by content; anything else (an icon Qt reads too) leaves the picture shown.
TEST(PictureViewerTest, ReadsGifJpegBmpAndPngOnly) {
    testing::TempDir dir;
    const auto saved = [&](const QString& name, int size, const char* format) {
        QImage image(size, size + 1, QImage::Format_RGB32);
        image.fill(Qt::blue);
        EXPECT_TRUE(image.save(dir.path(name), format)) << format;
        return dir.path(name);
    };
    const QByteArray& gif = testing::kGif;
    const std::pair<QString, QSize> cases[] = {
        {dir.file("notes.gif", "This is no picture.\r\n"), {}},
        {saved("a.png", 8, "PNG"), {8, 9}},
        {saved("b.bmp", 5, "BMP"), {5, 6}},
        {saved("icon.ico", 16, "ICO"), {}},
        {saved("c.jpg", 10, "JPEG"), {10, 11}},
        {dir.file("d.gif", gif), {1, 1}},
        {saved("png-named.gif", 7, "PNG"), {7, 8}},
        {dir.file("cut.gif", gif.left(12)), {}},
        {dir.path("missing.bmp"), {}}};
    PictureView view;
    QSize shown(0, 0);
    for (const auto& [path, size] : cases) {
        EXPECT_EQ(view.loadPicture(path), size.isValid()) << path.toStdString();
        shown = size.isValid() ? size : shown;
        EXPECT_EQ(view.picture().size(), shown) << path.toStdString();
    }
}

}  // namespace
}  // namespace tessivane
