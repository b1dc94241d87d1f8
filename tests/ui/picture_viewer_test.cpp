// The picture viewer window and its surface, checked on the pixels a person would see, and the
// program's icons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QSize>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

#include "support/temp_dir.h"
#include "ui/icons.h"
#include "ui/picture_viewer.h"
#include "ui/twips.h"

namespace tessivane {
namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kGreen = 0xFF008000;
constexpr QRgb kYellow = 0xFFFFFF00;

// An 8 x 8 picture whose left half is `left` and right half `right`.
QImage twoColourPicture(QRgb left = kRed, QRgb right = kBlue) {
    QImage image(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, x < 4 ? left : right);
        }
    }
    return image;
}

// The colour of the tiled two-colour picture at a point of the surface.
QRgb tiledColour(int x) {
    return x % 8 < 4 ? kRed : kBlue;
}

// The colour at a point, without alpha.
QRgb rgbAt(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xFF000000;
}

// What the surface shows, at one device pixel per logical pixel.
QImage grabSurface(PicView* view) {
    QImage image = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(image.size(), view->size()) << "the grab must not be scaled";
    return image;
}

QRgb background(const PicView& view) {
    return view.palette().color(QPalette::Base).rgb();
}

// Runs the event loop until the condition holds or a second has passed.
bool waitFor(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 1000) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

// A 1 x 1 GIF with one red pixel: header, logical screen with a two-entry colour table (red,
// black), an image descriptor and its LZW data.
QByteArray redGifBytes() {
    static const unsigned char kBytes[] = {'G',  'I',  'F',  '8',  '9',  'a',  0x01, 0x00, 0x01,
                                           0x00, 0x80, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00,
                                           0x00, ',',  0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,
                                           0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, ';'};
    return QByteArray(reinterpret_cast<const char*>(kBytes), sizeof(kBytes));
}

// The surface's size as the viewer must set it: the outer size less 100 twips each way.
QSize expectedSurfaceSize(const WZPicView& viewer) {
    const QSize outer = viewer.frameGeometry().size();
    const int w = pixelsToTwips(outer.width(), viewer.logicalDpiX()) - 100;
    const int h = pixelsToTwips(outer.height(), viewer.logicalDpiY()) - 100;
    return {twipsToPixels(std::max(w, 0), viewer.logicalDpiX()),
            twipsToPixels(std::max(h, 0), viewer.logicalDpiY())};
}

// Checks the surface against the outer size directly in twips, within half a pixel of rounding.
void expectSurfaceFollowsOuterSize(const WZPicView& viewer) {
    const QSize outer = viewer.frameGeometry().size();
    const QSize surface = viewer.picView()->size();
    EXPECT_EQ(surface, expectedSurfaceSize(viewer));
    const qreal dpiX = viewer.logicalDpiX();
    const qreal dpiY = viewer.logicalDpiY();
    const int wantedWidth = std::max(pixelsToTwips(outer.width(), dpiX) - 100, 0);
    const int wantedHeight = std::max(pixelsToTwips(outer.height(), dpiY) - 100, 0);
    EXPECT_LE(std::abs(pixelsToTwips(surface.width(), dpiX) - wantedWidth), 720.0 / dpiX + 1);
    EXPECT_LE(std::abs(pixelsToTwips(surface.height(), dpiY) - wantedHeight), 720.0 / dpiY + 1);
    EXPECT_EQ(viewer.picView()->pos(), QPoint(0, 0));
}

// Owns a viewer for a test but lets it delete itself when closed.
struct ViewerHolder {
    QPointer<WZPicView> viewer = new WZPicView;
    ~ViewerHolder() { delete viewer.data(); }
    WZPicView* operator->() const { return viewer.data(); }
};

void deletePosted() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// ---- twips ----

TEST(TwipsTest, FifteenTwipsAPixelAt96Dpi) {
    EXPECT_EQ(twipsToPixels(4680, 96), 312);
    EXPECT_EQ(twipsToPixels(3195, 96), 213);
    EXPECT_EQ(twipsToPixels(15, 96), 1);
    EXPECT_EQ(pixelsToTwips(312, 96), 4680);
    EXPECT_EQ(pixelsToTwips(1, 96), 15);
}

TEST(TwipsTest, RoundsToTheNearestUnit) {
    EXPECT_EQ(twipsToPixels(100, 96), 7);  // 6.67
    EXPECT_EQ(twipsToPixels(97, 96), 6);   // 6.47
    EXPECT_EQ(twipsToPixels(0, 96), 0);
    EXPECT_EQ(twipsToPixels(4680, 120), 390);
    EXPECT_EQ(pixelsToTwips(7, 144), 70);
    EXPECT_EQ(pixelsToTwips(1, 72), 20);
}

TEST(TwipsTest, NoTwipsWithoutAResolution) {
    EXPECT_EQ(pixelsToTwips(100, 0), 0);
}

// ---- the surface ----

TEST(PicViewTest, StartsEmptyWithTheBackgroundColourOnly) {
    PicView view;
    view.resize(40, 30);
    EXPECT_EQ(view.objectName(), "PicView");
    EXPECT_TRUE(view.picture().isNull());
    EXPECT_EQ(view.pictureAlignment(), PicView::kTopLeft);
    const QImage shown = grabSurface(&view);
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            ASSERT_EQ(rgbAt(shown, x, y), background(view)) << x << "," << y;
        }
    }
}

TEST(PicViewTest, TiledPictureRepeatsOverTheWholeSurface) {
    PicView view;
    view.resize(101, 67);
    view.setPicture(twoColourPicture());
    view.setPictureAlignment(PicView::kTile);
    const QImage shown = grabSurface(&view);
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            ASSERT_EQ(rgbAt(shown, x, y), tiledColour(x)) << x << "," << y;
        }
    }
    // Tiles start at the top-left corner: the first column is red, and the last (x = 100, the
    // fifth pixel of the thirteenth tile) blue.
    EXPECT_EQ(rgbAt(shown, 0, 0), kRed);
    EXPECT_EQ(rgbAt(shown, 4, 0), kBlue);
    EXPECT_EQ(rgbAt(shown, 100, 66), kBlue);
    EXPECT_EQ(rgbAt(shown, 99, 66), kRed);
}

TEST(PicViewTest, CentredPictureSitsOnceInTheMiddle) {
    PicView view;
    view.resize(100, 70);
    view.setPicture(twoColourPicture());
    view.setPictureAlignment(PicView::kCentre);
    const QImage shown = grabSurface(&view);
    const QRect picture(46, 31, 8, 8);  // ((100 - 8) / 2, (70 - 8) / 2)
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb expected =
                picture.contains(x, y) ? tiledColour(x - picture.left()) : background(view);
            ASSERT_EQ(rgbAt(shown, x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(rgbAt(shown, 50, 35), kBlue);
    EXPECT_EQ(rgbAt(shown, 49, 35), kRed);
    EXPECT_EQ(rgbAt(shown, 0, 0), background(view));
    EXPECT_EQ(rgbAt(shown, 99, 69), background(view));
}

TEST(PicViewTest, CentredPictureLargerThanTheSurfaceShowsItsMiddle) {
    PicView view;
    view.resize(4, 4);
    QImage big(12, 12, QImage::Format_RGB32);
    big.fill(kGreen);
    for (int y = 4; y < 8; ++y) {
        for (int x = 4; x < 8; ++x) {
            big.setPixel(x, y, kYellow);
        }
    }
    view.setPicture(big);
    view.setPictureAlignment(PicView::kCentre);
    const QImage shown = grabSurface(&view);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            ASSERT_EQ(rgbAt(shown, x, y), kYellow) << x << "," << y;
        }
    }
}

TEST(PicViewTest, CornerAlignmentsPlaceThePictureOnce) {
    PicView view;
    view.resize(30, 20);
    view.setPicture(twoColourPicture());
    struct Case {
        int alignment;
        QPoint origin;
    };
    for (const Case& c :
         {Case{PicView::kTopLeft, {0, 0}}, Case{PicView::kTopRight, {22, 0}},
          Case{PicView::kBottomLeft, {0, 12}}, Case{PicView::kBottomRight, {22, 12}}}) {
        view.setPictureAlignment(c.alignment);
        const QImage shown = grabSurface(&view);
        EXPECT_EQ(rgbAt(shown, c.origin.x(), c.origin.y()), kRed) << c.alignment;
        EXPECT_EQ(rgbAt(shown, c.origin.x() + 7, c.origin.y() + 7), kBlue) << c.alignment;
        EXPECT_EQ(rgbAt(shown, 14, 10), background(view)) << c.alignment;
    }
}

TEST(PicViewTest, ChangingTheAlignmentRepaintsInPlace) {
    PicView view;
    view.resize(40, 40);
    view.setPicture(twoColourPicture());
    view.setPictureAlignment(PicView::kCentre);
    EXPECT_EQ(rgbAt(grabSurface(&view), 0, 0), background(view));
    view.setPictureAlignment(PicView::kTile);
    EXPECT_EQ(view.pictureAlignment(), PicView::kTile);
    EXPECT_EQ(rgbAt(grabSurface(&view), 0, 0), kRed);
    EXPECT_EQ(rgbAt(grabSurface(&view), 39, 39), kBlue);
}

TEST(PicViewTest, UnknownAlignmentsAreIgnored) {
    PicView view;
    view.setPictureAlignment(PicView::kTile);
    view.setPictureAlignment(6);
    EXPECT_EQ(view.pictureAlignment(), PicView::kTile);
    view.setPictureAlignment(-1);
    EXPECT_EQ(view.pictureAlignment(), PicView::kTile);
    view.setPictureAlignment(PicView::kCentre);
    EXPECT_EQ(view.pictureAlignment(), PicView::kCentre);
}

TEST(PicViewTest, NullPictureRemovesThePicture) {
    PicView view;
    view.resize(16, 16);
    view.setPictureAlignment(PicView::kTile);
    view.setPicture(twoColourPicture());
    view.setPicture(QImage());
    EXPECT_TRUE(view.picture().isNull());
    EXPECT_EQ(rgbAt(grabSurface(&view), 0, 0), background(view));
}

class PicViewFileTest : public ::testing::Test {
protected:
    QString save(const QString& name, const QImage& image, const char* format) {
        const QString path = dir_.path(name);
        EXPECT_TRUE(image.save(path, format)) << name.toStdString();
        return path;
    }
    testing::TempDir dir_;
};

TEST_F(PicViewFileTest, LoadsPngBmpJpegAndGif) {
    PicView view;
    ASSERT_TRUE(view.loadPicture(save("a.png", twoColourPicture(), "PNG")));
    EXPECT_EQ(view.picture().pixel(0, 0) | 0xFF000000, kRed);
    EXPECT_EQ(view.picture().pixel(7, 7) | 0xFF000000, kBlue);

    ASSERT_TRUE(view.loadPicture(save("b.bmp", twoColourPicture(kGreen, kYellow), "BMP")));
    EXPECT_EQ(view.picture().pixel(0, 0) | 0xFF000000, kGreen);
    EXPECT_EQ(view.picture().pixel(7, 0) | 0xFF000000, kYellow);

    QImage solid(10, 6, QImage::Format_RGB32);
    solid.fill(kBlue);
    ASSERT_TRUE(view.loadPicture(save("c.jpg", solid, "JPEG")));
    EXPECT_EQ(view.picture().size(), QSize(10, 6));
    EXPECT_GT(qBlue(view.picture().pixel(5, 3)), 200);
    EXPECT_LT(qRed(view.picture().pixel(5, 3)), 50);

    ASSERT_TRUE(view.loadPicture(dir_.file("d.gif", redGifBytes())));
    EXPECT_EQ(view.picture().size(), QSize(1, 1));
    EXPECT_EQ(view.picture().pixel(0, 0) | 0xFF000000, kRed);
}

TEST_F(PicViewFileTest, RecognisesAPictureByItsContentNotItsName) {
    PicView view;
    const QString path = save("really-a-png.gif", twoColourPicture(), "PNG");
    ASSERT_TRUE(view.loadPicture(path));
    EXPECT_EQ(view.picture().size(), QSize(8, 8));
}

TEST_F(PicViewFileTest, TextFileKeepsTheEarlierPicture) {
    PicView view;
    const QString text = dir_.file("notes.gif", "This is no picture.\r\n");
    EXPECT_FALSE(view.loadPicture(text));
    EXPECT_TRUE(view.picture().isNull());

    ASSERT_TRUE(view.loadPicture(save("a.png", twoColourPicture(), "PNG")));
    EXPECT_FALSE(view.loadPicture(text));
    ASSERT_EQ(view.picture().size(), QSize(8, 8));
    EXPECT_EQ(view.picture().pixel(0, 0) | 0xFF000000, kRed);
}

TEST_F(PicViewFileTest, MissingEmptyAndDamagedFilesKeepTheEarlierPicture) {
    PicView view;
    ASSERT_TRUE(view.loadPicture(save("a.png", twoColourPicture(), "PNG")));
    EXPECT_FALSE(view.loadPicture(dir_.path("missing.bmp")));
    EXPECT_FALSE(view.loadPicture(dir_.file("empty.bmp", QByteArray())));
    EXPECT_FALSE(view.loadPicture(dir_.file("cut.gif", redGifBytes().left(12))));
    EXPECT_FALSE(view.loadPicture(dir_.root()));
    EXPECT_EQ(view.picture().size(), QSize(8, 8));
}

TEST_F(PicViewFileTest, RefusesFormatsOutsideGifJpegBmpPng) {
    PicView view;
    ASSERT_TRUE(view.loadPicture(save("a.png", twoColourPicture(), "PNG")));
    QImage other(3, 3, QImage::Format_RGB32);
    other.fill(kGreen);
    EXPECT_FALSE(view.loadPicture(save("b.tif", other, "TIFF")));
    EXPECT_EQ(view.picture().size(), QSize(8, 8));
}

// ---- the window ----

TEST(WZPicViewTest, FreshViewerHasTheDesignLook) {
    ViewerHolder holder;
    WZPicView& viewer = *holder.viewer;
    EXPECT_EQ(viewer.objectName(), "WZPicView");
    EXPECT_EQ(viewer.windowTitle(), "WZPicView");
    EXPECT_EQ(viewer.size(), QSize(twipsToPixels(4680, viewer.logicalDpiX()),
                                   twipsToPixels(3195, viewer.logicalDpiY())));
    EXPECT_TRUE(viewer.isWindow());
    EXPECT_EQ(viewer.parentWidget(), nullptr);
    EXPECT_FALSE(viewer.isModal());
    EXPECT_TRUE(viewer.testAttribute(Qt::WA_DeleteOnClose));
    const Qt::WindowFlags flags = viewer.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    EXPECT_EQ(viewer.minimumSize(), QSize(0, 0));
    EXPECT_EQ(viewer.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    ASSERT_NE(viewer.picView(), nullptr);
    EXPECT_EQ(viewer.picView()->parentWidget(), &viewer);
    EXPECT_EQ(viewer.findChild<PicView*>("PicView"), viewer.picView());
    EXPECT_TRUE(viewer.picView()->picture().isNull());
    expectSurfaceFollowsOuterSize(viewer);
}

TEST(WZPicViewTest, DesignSizeAt96DpiIs312By213AndTheSurface305By206) {
    ViewerHolder holder;
    if (holder->logicalDpiX() != 96 || holder->logicalDpiY() != 96) {
        GTEST_SKIP() << "screen is not at 96 DPI";
    }
    EXPECT_EQ(holder->size(), QSize(312, 213));
    holder->show();
    if (holder->frameGeometry().size() == holder->size()) {
        // 4680 - 100 twips = 305.3 pixels, 3195 - 100 = 206.3 pixels.
        EXPECT_EQ(holder->picView()->size(), QSize(305, 206));
    }
}

TEST(WZPicViewTest, HasItsOwnIcon) {
    ViewerHolder holder;
    const QIcon icon = holder->windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage shown =
        icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(shown, paintViewerIcon(16));
    EXPECT_NE(shown, paintAppIcon(16));
}

TEST(WZPicViewTest, SurfaceFollowsEveryResize) {
    ViewerHolder holder;
    holder->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(holder.viewer.data()));
    expectSurfaceFollowsOuterSize(*holder.viewer);
    for (const QSize size : {QSize(400, 300), QSize(150, 500), QSize(640, 120), QSize(8, 8)}) {
        holder->resize(size);
        ASSERT_TRUE(waitFor([&] { return holder->size() == size; })) << size.width();
        expectSurfaceFollowsOuterSize(*holder.viewer);
    }
}

TEST(WZPicViewTest, SurfaceNeverGoesBelowZero) {
    ViewerHolder holder;
    holder->show();
    holder->resize(3, 2);
    ASSERT_TRUE(waitFor([&] { return holder->size() == QSize(3, 2); }));
    // 3 pixels are under 100 twips at any usual resolution.
    if (holder->frameGeometry().size() == holder->size()) {
        EXPECT_EQ(holder->picView()->size(), QSize(0, 0));
    }
    expectSurfaceFollowsOuterSize(*holder.viewer);
}

TEST(WZPicViewTest, MaximiseEnlargesTheSurfaceAndRestoreBringsItBack) {
    ViewerHolder holder;
    holder->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(holder.viewer.data()));
    const QSize normal = holder->size();
    const QSize normalSurface = holder->picView()->size();

    holder->showMaximized();
    if (!waitFor([&] { return holder->size() != normal; })) {
        // On X11 the window manager maximises; a bare X server has none.
        if (QGuiApplication::platformName() != "offscreen") {
            GTEST_SKIP() << "the platform did not maximise the window";
        }
        FAIL() << "maximising did not change the size";
    }
    EXPECT_TRUE(holder->isMaximized());
    EXPECT_GT(holder->picView()->width(), normalSurface.width());
    EXPECT_GT(holder->picView()->height(), normalSurface.height());
    expectSurfaceFollowsOuterSize(*holder.viewer);

    holder->showNormal();
    ASSERT_TRUE(waitFor([&] { return holder->size() == normal; }));
    EXPECT_FALSE(holder->isMaximized());
    EXPECT_EQ(holder->picView()->size(), normalSurface);
    expectSurfaceFollowsOuterSize(*holder.viewer);
}

class WZPicViewFileTest : public ::testing::Test {
protected:
    QString picture(const QString& name, QRgb left = kRed, QRgb right = kBlue) {
        const QString path = dir_.path(name);
        EXPECT_TRUE(twoColourPicture(left, right).save(path, "BMP"));
        return path;
    }
    testing::TempDir dir_;
};

TEST_F(WZPicViewFileTest, ShowPictureSetsCaptionShowsAndTiles) {
    ViewerHolder holder;
    const QString path = picture("panel.bmp");
    holder->showPicture(path, PicView::kTile);
    EXPECT_EQ(holder->windowTitle(), "Picture Viewer - " + path);
    EXPECT_TRUE(holder->isVisible());
    EXPECT_FALSE(holder->isModal());
    EXPECT_EQ(holder->picView()->pictureAlignment(), PicView::kTile);
    EXPECT_EQ(holder->picView()->picture().size(), QSize(8, 8));

    // The tiles cover the whole surface, including the part beyond the client area.
    const QImage shown = grabSurface(holder->picView());
    for (int y = 0; y < shown.height(); y += 5) {
        for (int x = 0; x < shown.width(); ++x) {
            ASSERT_EQ(rgbAt(shown, x, y), tiledColour(x)) << x << "," << y;
        }
    }
    const int right = shown.width() - 1;
    const int bottom = shown.height() - 1;
    EXPECT_EQ(rgbAt(shown, right, bottom), tiledColour(right));
}

TEST_F(WZPicViewFileTest, EnlargingATiledViewerShowsMoreTiles) {
    ViewerHolder holder;
    holder->showPicture(picture("panel.bmp"), PicView::kTile);
    holder->resize(500, 400);
    ASSERT_TRUE(waitFor([&] { return holder->size() == QSize(500, 400); }));
    const QImage shown = grabSurface(holder->picView());
    ASSERT_GT(shown.width(), 480);
    for (const int x : {0, 3, 4, 7, 250, 333, 479, shown.width() - 1}) {
        EXPECT_EQ(rgbAt(shown, x, shown.height() - 1), tiledColour(x)) << x;
        EXPECT_EQ(rgbAt(shown, x, 0), tiledColour(x)) << x;
    }
}

TEST_F(WZPicViewFileTest, CentredPictureFollowsTheSurfaceCentre) {
    ViewerHolder holder;
    holder->showPicture(picture("line.bmp"), PicView::kCentre);
    EXPECT_EQ(holder->picView()->pictureAlignment(), PicView::kCentre);
    for (const QSize size : {QSize(312, 213), QSize(451, 300)}) {
        holder->resize(size);
        ASSERT_TRUE(waitFor([&] { return holder->size() == size; }));
        const QImage shown = grabSurface(holder->picView());
        const QPoint origin((shown.width() - 8) / 2, (shown.height() - 8) / 2);
        EXPECT_EQ(rgbAt(shown, origin.x(), origin.y()), kRed);
        EXPECT_EQ(rgbAt(shown, origin.x() + 7, origin.y() + 7), kBlue);
        EXPECT_EQ(rgbAt(shown, origin.x() - 1, origin.y()), background(*holder->picView()));
        EXPECT_EQ(rgbAt(shown, origin.x() + 8, origin.y() + 7), background(*holder->picView()));
        EXPECT_EQ(rgbAt(shown, 0, 0), background(*holder->picView()));
        EXPECT_EQ(rgbAt(shown, shown.width() - 1, shown.height() - 1),
                  background(*holder->picView()));
    }
}

TEST_F(WZPicViewFileTest, TextFileChangesCaptionAndAlignmentButNotThePicture) {
    ViewerHolder holder;
    const QString first = picture("panel.bmp");
    holder->showPicture(first, PicView::kTile);
    const QString text = dir_.file("readme.txt", "plain text\r\n");
    holder->showPicture(text, PicView::kCentre);
    EXPECT_EQ(holder->windowTitle(), "Picture Viewer - " + text);
    EXPECT_EQ(holder->picView()->pictureAlignment(), PicView::kCentre);
    ASSERT_EQ(holder->picView()->picture().size(), QSize(8, 8));
    EXPECT_EQ(holder->picView()->picture().pixel(0, 0) | 0xFF000000, kRed);
    EXPECT_TRUE(QApplication::activeModalWidget() == nullptr);
}

TEST_F(WZPicViewFileTest, TextFileInAFreshViewerShowsNoPicture) {
    ViewerHolder holder;
    holder->showPicture(dir_.file("readme.txt", "plain text\r\n"), PicView::kTile);
    EXPECT_TRUE(holder->isVisible());
    EXPECT_TRUE(holder->picView()->picture().isNull());
    EXPECT_EQ(rgbAt(grabSurface(holder->picView()), 0, 0), background(*holder->picView()));
}

TEST_F(WZPicViewFileTest, SecondImageReplacesTheFirstInTheSameWindow) {
    ViewerHolder holder;
    WZPicView* const window = holder.viewer.data();
    holder->showPicture(picture("first.bmp"), PicView::kTile);
    const QString second = picture("second.bmp", kGreen, kYellow);
    holder->showPicture(second, PicView::kCentre);
    EXPECT_EQ(holder.viewer.data(), window);
    EXPECT_EQ(holder->windowTitle(), "Picture Viewer - " + second);
    EXPECT_EQ(holder->picView()->picture().pixel(0, 0) | 0xFF000000, kGreen);
    const QImage shown = grabSurface(holder->picView());
    EXPECT_EQ(rgbAt(shown, (shown.width() - 8) / 2, (shown.height() - 8) / 2), kGreen);
    EXPECT_EQ(rgbAt(shown, 0, 0), background(*holder->picView()));
}

TEST_F(WZPicViewFileTest, ShowingAgainKeepsThePositionAndSize) {
    ViewerHolder holder;
    holder->showPicture(picture("first.bmp"), PicView::kTile);
    holder->move(40, 50);
    holder->resize(333, 222);
    ASSERT_TRUE(waitFor([&] { return holder->size() == QSize(333, 222); }));
    const QRect before = holder->geometry();
    holder->showPicture(picture("second.bmp"), PicView::kTile);
    EXPECT_EQ(holder->geometry(), before);
}

TEST_F(WZPicViewFileTest, ClosingDeletesTheWindowAndItsPicture) {
    ViewerHolder holder;
    holder->showPicture(picture("panel.bmp"), PicView::kTile);
    QPointer<PicView> surface = holder->picView();
    EXPECT_TRUE(holder->close());
    deletePosted();
    EXPECT_TRUE(holder.viewer.isNull());
    EXPECT_TRUE(surface.isNull());
}

TEST_F(WZPicViewFileTest, NewViewerAfterCloseHasTheDesignSizeAndNoPicture) {
    QSize design;
    {
        ViewerHolder holder;
        design = holder->size();
        holder->showPicture(picture("panel.bmp"), PicView::kTile);
        holder->resize(500, 400);
        ASSERT_TRUE(waitFor([&] { return holder->size() == QSize(500, 400); }));
        holder->close();
        deletePosted();
        EXPECT_TRUE(holder.viewer.isNull());
    }
    ViewerHolder again;
    EXPECT_EQ(again->size(), design);
    EXPECT_TRUE(again->picView()->picture().isNull());
    EXPECT_EQ(again->windowTitle(), "WZPicView");
}

// ---- icons ----

void expectCleanIcon(const QImage& image, int size) {
    ASSERT_EQ(image.size(), QSize(size, size));
    QSet<QRgb> colours;
    int opaque = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0) {
                continue;
            }
            ASSERT_EQ(qAlpha(pixel), 255) << size << ": " << x << "," << y;
            ASSERT_NE(std::find(kVgaColours.begin(), kVgaColours.end(), pixel), kVgaColours.end())
                << size << ": " << x << "," << y << " has " << std::hex << pixel;
            colours.insert(pixel);
            ++opaque;
        }
    }
    EXPECT_GT(opaque, size * size / 2) << size;
    EXPECT_GE(colours.size(), 5) << size;
}

TEST(IconsTest, PaintedInTheSixteenColoursAtEverySize) {
    for (const int size : kIconSizes) {
        SCOPED_TRACE(size);
        expectCleanIcon(paintAppIcon(size), size);
        expectCleanIcon(paintViewerIcon(size), size);
    }
    expectCleanIcon(paintAppIcon(24), 24);
    expectCleanIcon(paintViewerIcon(64), 64);
}

TEST(IconsTest, TheTwoIconsDiffer) {
    for (const int size : {16, 32}) {
        EXPECT_NE(paintAppIcon(size), paintViewerIcon(size)) << size;
    }
}

TEST(IconsTest, DrawingIsRepeatable) {
    EXPECT_EQ(paintAppIcon(32), paintAppIcon(32));
    EXPECT_EQ(paintViewerIcon(16), paintViewerIcon(16));
}

TEST(IconsTest, NoImageForNoSize) {
    EXPECT_TRUE(paintAppIcon(0).isNull());
    EXPECT_TRUE(paintViewerIcon(-5).isNull());
}

TEST(IconsTest, IconsCarrySixteenThirtyTwoAndPackagingSizes) {
    for (const QIcon& icon : {appIcon(), viewerIcon()}) {
        const QList<QSize> sizes = icon.availableSizes();
        for (const int size : kIconSizes) {
            EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
        }
        EXPECT_TRUE(sizes.contains(QSize(16, 16)));
        EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    }
    const QImage app32 =
        appIcon().pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(app32, paintAppIcon(32));
}

}  // namespace
}  // namespace tessivane
