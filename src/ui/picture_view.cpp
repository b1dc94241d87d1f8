// SPDX-License-Identifier: MIT
#include "ui/picture_view.h"

#include <QByteArray>
#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

namespace tessivane {

namespace {

// The formats a background or line image may have. Anything else Qt happens to read (TIFF,
// WebP, ...) is refused like a file that is no picture at all.
bool isAcceptedFormat(const QByteArray& format) {
    const QByteArray lower = format.toLower();
    return lower == "gif" || lower == "jpeg" || lower == "bmp" || lower == "png";
}

}  // namespace

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PictureView"));
    // The surface of a list view: the colour that windows' contents are drawn on.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void PictureView::setPlacement(Placement placement) {
    if (placement != placement_) {
        placement_ = placement;
        update();
    }
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
    picture_ = image;
    pixmap_ = QPixmap::fromImage(image);
    update();
    return true;
}

void PictureView::paintEvent(QPaintEvent* event) {
    // The background is filled by the widget itself (autoFillBackground).
    if (pixmap_.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (placement_ == Placement::Tiled) {
        painter.drawTiledPixmap(rect(), pixmap_);
        return;
    }
    const QSize size = pixmap_.deviceIndependentSize().toSize();
    painter.drawPixmap((width() - size.width()) / 2, (height() - size.height()) / 2, pixmap_);
}

}  // namespace tessivane
