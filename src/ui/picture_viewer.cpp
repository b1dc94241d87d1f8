// SPDX-License-Identifier: MIT
#include "ui/picture_viewer.h"

#include <QByteArray>
#include <QEvent>
#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QSize>
#include <algorithm>
#include <array>

#include "ui/icons.h"
#include "ui/twips.h"

namespace tessivane {

namespace {

// The formats a background or line image may have. Anything else Qt happens to read (TIFF,
// WebP, ...) is refused like a file that is no picture at all.
bool isAcceptedFormat(const QByteArray& format) {
    static const std::array<QByteArray, 4> kFormats = {"gif", "jpeg", "bmp", "png"};
    const QByteArray lower = format.toLower();
    return std::find(kFormats.begin(), kFormats.end(), lower) != kFormats.end();
}

}  // namespace

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PictureView"));
    // The surface of a list view: the colour that windows' contents are drawn on.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void PictureView::setPictureAlignment(int alignment) {
    if (alignment < kTopLeft || alignment > kTile || alignment == alignment_) {
        return;
    }
    alignment_ = alignment;
    update();
}

bool PictureView::loadPicture(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!isAcceptedFormat(reader.format())) {
        return false;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        return false;
    }
    setPicture(image);
    return true;
}

void PictureView::setPicture(const QImage& picture) {
    picture_ = picture;
    pixmap_ = picture.isNull() ? QPixmap() : QPixmap::fromImage(picture);
    update();
}

void PictureView::paintEvent(QPaintEvent* event) {
    // The background is filled by the widget itself (autoFillBackground).
    if (pixmap_.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    const QRect area = rect();
    if (alignment_ == kTile) {
        painter.drawTiledPixmap(area, pixmap_, QPoint(0, 0));
        return;
    }
    const QSize size = pixmap_.deviceIndependentSize().toSize();
    QPoint origin;
    switch (alignment_) {
        case kTopLeft:
            origin = area.topLeft();
            break;
        case kTopRight:
            origin = QPoint(area.width() - size.width(), 0);
            break;
        case kBottomLeft:
            origin = QPoint(0, area.height() - size.height());
            break;
        case kBottomRight:
            origin = QPoint(area.width() - size.width(), area.height() - size.height());
            break;
        default:  // kCentre
            origin = QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
            break;
    }
    painter.drawPixmap(origin, pixmap_);
}

PictureViewer::PictureViewer() : QWidget(nullptr), picView_(new PictureView(this)) {
    setObjectName(QStringLiteral("PictureViewer"));
    setWindowTitle(QStringLiteral("PictureViewer"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(viewerIcon());

    picView_->move(0, 0);
    resize(twipsToPixels(kDesignWidthTwips, logicalDpiX()),
           twipsToPixels(kDesignHeightTwips, logicalDpiY()));
    Form_Resize();
}

void PictureViewer::showPicture(const QString& path, int alignment) {
    setWindowTitle(QStringLiteral("Picture Viewer - ") + path);
    show();
    raise();
    picView_->setPictureAlignment(alignment);
    picView_->loadPicture(path);
}

void PictureViewer::Form_Resize() {
    // The outer size includes the caption and borders; where the platform reports no frame the
    // frame geometry is the widget's own.
    const QSize outer = frameGeometry().size();
    const int widthTwips = pixelsToTwips(outer.width(), logicalDpiX()) - kSurfaceInsetTwips;
    const int heightTwips = pixelsToTwips(outer.height(), logicalDpiY()) - kSurfaceInsetTwips;
    picView_->setGeometry(0, 0, twipsToPixels(std::max(widthTwips, 0), logicalDpiX()),
                          twipsToPixels(std::max(heightTwips, 0), logicalDpiY()));
}

void PictureViewer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void PictureViewer::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Form_Resize();
}

void PictureViewer::moveEvent(QMoveEvent* event) {
    // A window manager tells the size of its frame only after the window is mapped, usually
    // together with a move; the outer size changes then without a resize of the client area.
    QWidget::moveEvent(event);
    Form_Resize();
}

void PictureViewer::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    }
}

}  // namespace tessivane
