// SPDX-License-Identifier: MIT
#include "ui/picture_viewer.h"

#include <QVBoxLayout>

#include "ui/icons.h"
#include "ui/twips.h"

namespace tessivane {

namespace {

// The window's size when it first opens, in twips.
constexpr int kStartWidthTwips = 4680;
constexpr int kStartHeightTwips = 3195;

}  // namespace

PictureViewer::PictureViewer() : QWidget(nullptr), view_(new PictureView(this)) {
    setObjectName(QStringLiteral("PictureViewer"));
    setWindowTitle(QStringLiteral("PictureViewer"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(viewerIcon());

    // The surface covers the whole client area, edge to edge, at every size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    resize(twipsToPixels(kStartWidthTwips, logicalDpiX()),
           twipsToPixels(kStartHeightTwips, logicalDpiY()));
}

void PictureViewer::showPicture(const QString& path, PictureView::Placement placement) {
    setWindowTitle(tr("Picture Viewer - %1").arg(path));
    show();
    raise();
    view_->setPlacement(placement);
    view_->loadPicture(path);
}

}  // namespace tessivane
