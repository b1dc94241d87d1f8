// SPDX-License-Identifier: MIT
#include "ui/icons.h"

#include <QByteArray>
#include <QColor>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>

namespace tessivane {

namespace {

// The palette by name, so the drawings read naturally.
enum Vga {
    Black,
    Maroon,
    Green,
    Olive,
    Navy,
    Purple,
    Teal,
    Silver,
    Grey,
    Red,
    Lime,
    Yellow,
    Blue,
    Fuchsia,
    Aqua,
    White
};

QColor vga(Vga colour) {
    return QColor::fromRgba(kVgaColours[colour]);
}

// Draws shapes on a square grid, in the sixteen colours; ImageCanvas paints them into a picture
// and SvgCanvas writes them as SVG, so both come from one drawing.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void rect(qreal x, qreal y, qreal w, qreal h, Vga colour) = 0;
    virtual void polygon(std::initializer_list<QPointF> points, Vga colour) = 0;
    virtual void ellipse(qreal x, qreal y, qreal w, qreal h, Vga colour) = 0;
    // Limits further drawing to an ellipse, until unclip().
    virtual void clipEllipse(qreal x, qreal y, qreal w, qreal h) = 0;
    virtual void unclip() = 0;

    // A rectangle with a one-unit outline.
    void box(qreal x, qreal y, qreal w, qreal h, Vga fill, Vga outline = Black) {
        rect(x, y, w, h, outline);
        rect(x + 1, y + 1, w - 2, h - 2, fill);
    }
};

// Antialiasing stays off: blended edge pixels would leave the sixteen colours.
class ImageCanvas final : public Canvas {
public:
    ImageCanvas(QImage& image, int grid) : painter_(&image) {
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setPen(Qt::NoPen);
        const qreal scale = static_cast<qreal>(image.width()) / grid;
        painter_.scale(scale, scale);
    }
    void rect(qreal x, qreal y, qreal w, qreal h, Vga colour) override {
        painter_.fillRect(QRectF(x, y, w, h), vga(colour));
    }
    void polygon(std::initializer_list<QPointF> points, Vga colour) override {
        painter_.setBrush(vga(colour));
        painter_.drawPolygon(QPolygonF(QList<QPointF>(points)));
    }
    void ellipse(qreal x, qreal y, qreal w, qreal h, Vga colour) override {
        painter_.setBrush(vga(colour));
        painter_.drawEllipse(QRectF(x, y, w, h));
    }
    void clipEllipse(qreal x, qreal y, qreal w, qreal h) override {
        QPainterPath path;
        path.addEllipse(QRectF(x, y, w, h));
        painter_.setClipPath(path);
    }
    void unclip() override { painter_.setClipping(false); }

private:
    QPainter painter_;
};

class SvgCanvas final : public Canvas {
public:
    explicit SvgCanvas(int grid) {
        svg_ = QStringLiteral(
                   "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                   "viewBox=\"0 0 %1 %1\" shape-rendering=\"crispEdges\">\n")
                   .arg(grid);
    }
    void rect(qreal x, qreal y, qreal w, qreal h, Vga colour) override {
        add(QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"")
                .arg(x)
                .arg(y)
                .arg(w)
                .arg(h),
            colour);
    }
    void polygon(std::initializer_list<QPointF> points, Vga colour) override {
        QStringList coordinates;
        for (const QPointF& point : points) {
            coordinates << QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
        }
        add(QStringLiteral("<polygon points=\"%1\"").arg(coordinates.join(u' ')), colour);
    }
    void ellipse(qreal x, qreal y, qreal w, qreal h, Vga colour) override {
        add(QStringLiteral("<ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\"")
                .arg(x + w / 2)
                .arg(y + h / 2)
                .arg(w / 2)
                .arg(h / 2),
            colour);
    }
    void clipEllipse(qreal x, qreal y, qreal w, qreal h) override {
        const QString id = QStringLiteral("clip%1").arg(++clips_);
        svg_ += QStringLiteral(
                    "<clipPath id=\"%1\"><ellipse cx=\"%2\" cy=\"%3\" rx=\"%4\" "
                    "ry=\"%5\"/></clipPath>\n<g clip-path=\"url(#%1)\">\n")
                    .arg(id)
                    .arg(x + w / 2)
                    .arg(y + h / 2)
                    .arg(w / 2)
                    .arg(h / 2);
        clipped_ = true;
    }
    void unclip() override {
        if (clipped_) {
            svg_ += QStringLiteral("</g>\n");
        }
        clipped_ = false;
    }
    QByteArray finished() {
        unclip();
        return (svg_ + QStringLiteral("</svg>\n")).toUtf8();
    }

private:
    void add(const QString& shape, Vga colour) {
        svg_ += shape + QStringLiteral(" fill=\"%1\"/>\n").arg(vga(colour).name());
    }

    QString svg_;
    int clips_ = 0;
    bool clipped_ = false;
};

// Painted premultiplied: filling shapes on a plain ARGB32 image of 256 pixels makes Qt start
// worker threads, which cost more than the drawing itself. finished() then relabels the pixels as
// plain ARGB32, which is exact because every pixel is either fully opaque or fully transparent.
QImage blankIcon(int size) {
    QImage image(std::max(size, 0), std::max(size, 0), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage finished(QImage image) {
    image.reinterpretAsFormat(QImage::Format_ARGB32);
    return image;
}

// The globe in the application icon: blue sea, green land, black rim.
void globe(Canvas& c, qreal x, qreal y, qreal d, bool small) {
    c.ellipse(x, y, d, d, Black);
    c.ellipse(x + 1, y + 1, d - 2, d - 2, Blue);
    c.clipEllipse(x + 1, y + 1, d - 2, d - 2);
    const auto at = [&](qreal u, qreal v) { return QPointF(x + u * d, y + v * d); };
    if (small) {
        c.polygon({at(0.15, 0.2), at(0.55, 0.15), at(0.5, 0.45), at(0.3, 0.7), at(0.1, 0.55)},
                  Lime);
        c.polygon({at(0.65, 0.55), at(0.95, 0.5), at(0.9, 0.85), at(0.65, 0.85)}, Lime);
    } else {
        c.polygon({at(0.12, 0.18), at(0.52, 0.1), at(0.55, 0.3), at(0.42, 0.42), at(0.38, 0.62),
                   at(0.26, 0.82), at(0.2, 0.6), at(0.05, 0.45)},
                  Green);
        c.polygon({at(0.16, 0.2), at(0.48, 0.14), at(0.5, 0.28), at(0.38, 0.38), at(0.33, 0.55),
                   at(0.26, 0.7), at(0.22, 0.55), at(0.1, 0.42)},
                  Lime);
        c.polygon({at(0.62, 0.45), at(0.9, 0.4), at(1.0, 0.6), at(0.86, 0.88), at(0.66, 0.8),
                   at(0.6, 0.6)},
                  Green);
        c.polygon({at(0.65, 0.48), at(0.88, 0.44), at(0.95, 0.6), at(0.83, 0.82), at(0.68, 0.76),
                   at(0.63, 0.6)},
                  Lime);
    }
    c.unclip();
}

void paintAppSmall(Canvas& c) {
    // The folder's back with its tab.
    c.box(0, 1, 6, 3, Olive);
    c.box(0, 3, 15, 11, Olive);
    // The web page standing in the folder: a title bar and text.
    c.box(3, 1, 10, 8, White);
    c.rect(4, 2, 8, 1, Navy);
    c.rect(4, 4, 6, 1, Grey);
    // The folder's front.
    c.box(0, 6, 15, 9, Yellow);
    c.rect(1, 7, 13, 1, White);
    globe(c, 7, 7, 9, true);
}

void paintAppLarge(Canvas& c) {
    c.box(1, 3, 11, 5, Olive);
    c.rect(2, 4, 9, 1, Yellow);
    c.box(1, 6, 28, 22, Olive);
    // The web page: a blue title bar, a picture and lines of text.
    c.box(5, 1, 20, 17, White);
    c.rect(6, 2, 18, 3, Navy);
    c.rect(21, 3, 2, 1, Silver);
    c.rect(7, 7, 5, 4, Aqua);
    c.rect(7, 9, 5, 2, Green);
    c.rect(14, 7, 8, 1, Grey);
    c.rect(14, 9, 6, 1, Grey);
    c.rect(7, 12, 15, 1, Grey);
    c.rect(7, 14, 12, 1, Grey);
    // The folder's front.
    c.box(1, 12, 28, 17, Yellow);
    c.rect(2, 13, 26, 1, White);
    c.rect(2, 27, 26, 1, Olive);
    globe(c, 15, 15, 17, false);
}

void paintViewerSmall(Canvas& c) {
    c.box(0, 1, 16, 14, Olive);
    c.rect(1, 2, 14, 1, Yellow);
    c.rect(1, 2, 1, 12, Yellow);
    c.box(2, 3, 12, 10, Aqua);
    c.rect(10, 4, 2, 2, Yellow);
    c.polygon({QPointF(3, 12), QPointF(3, 9), QPointF(6, 6), QPointF(9, 9), QPointF(9, 12)}, Green);
    c.polygon({QPointF(6, 12), QPointF(10, 8), QPointF(13, 11), QPointF(13, 12)}, Lime);
}

void paintViewerLarge(Canvas& c) {
    // The frame: dark outside, gilt bevel.
    c.box(0, 3, 32, 27, Olive);
    c.rect(1, 4, 30, 1, Yellow);
    c.rect(1, 4, 1, 25, Yellow);
    c.rect(2, 28, 29, 1, Maroon);
    c.rect(30, 5, 1, 24, Maroon);
    // The picture: sky, sun, a cloud, two hills and a lake.
    c.box(4, 7, 24, 19, Aqua);
    c.ellipse(20, 9, 5, 5, Yellow);
    c.rect(7, 10, 7, 2, White);
    c.rect(9, 9, 3, 1, White);
    c.polygon({QPointF(5, 25), QPointF(5, 19), QPointF(12, 13), QPointF(20, 21), QPointF(20, 25)},
              Green);
    c.polygon({QPointF(12, 25), QPointF(20, 17), QPointF(27, 22), QPointF(27, 25)}, Lime);
    c.rect(5, 23, 10, 2, Blue);
}

// Makes its icon the first time the icon is drawn or measured, and is a plain copy of it from
// then on.
class DeferredIconEngine final : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : make_(std::move(make)) {}

    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
    QString key() const override { return QStringLiteral("DeferredIconEngine"); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return false; }

private:
    const QIcon& icon() {
        if (make_) {
            icon_ = make_();
            make_ = nullptr;
        }
        return icon_;
    }

    std::function<QIcon()> make_;
    QIcon icon_;
};

// The drawing at every size of kIconSizes, painted when the icon is first needed.
QIcon paintedIcon(QImage (*paint)(int)) {
    return deferredIcon([paint] {
        QIcon icon;
        for (const int size : kIconSizes) {
            icon.addPixmap(QPixmap::fromImage(paint(size)));
        }
        return icon;
    });
}

}  // namespace

QImage paintAppIcon(int size) {
    QImage image = blankIcon(size);
    if (image.isNull()) {
        return image;
    }
    if (size < 24) {
        ImageCanvas c(image, 16);
        paintAppSmall(c);
    } else {
        ImageCanvas c(image, 32);
        paintAppLarge(c);
    }
    return finished(image);
}

QImage paintViewerIcon(int size) {
    QImage image = blankIcon(size);
    if (image.isNull()) {
        return image;
    }
    if (size < 24) {
        ImageCanvas c(image, 16);
        paintViewerSmall(c);
    } else {
        ImageCanvas c(image, 32);
        paintViewerLarge(c);
    }
    return finished(image);
}

QByteArray appIconSvg() {
    SvgCanvas c(32);
    paintAppLarge(c);
    return c.finished();
}

QIcon appIcon() {
    return paintedIcon(&paintAppIcon);
}

QIcon viewerIcon() {
    return paintedIcon(&paintViewerIcon);
}

QIcon deferredIcon(std::function<QIcon()> make) {
    return QIcon(new DeferredIconEngine(std::move(make)));
}

}  // namespace tessivane
