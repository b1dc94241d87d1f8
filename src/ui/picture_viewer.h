// SPDX-License-Identifier: MIT
#pragma once
// The picture viewer: a resizable window that previews a chosen background or line image, filled
// wholly by its PictureView. It is top-level, never modal and without an owner, and deletes itself
// when closed, taking its picture with it. Choosing files is left to the main window, which keeps
// a QPointer to the viewer and makes a new one when that pointer has gone null.
#include <QString>
#include <QWidget>

#include "ui/picture_view.h"

namespace tessivane {

class PictureViewer : public QWidget {
    Q_OBJECT

public:
    PictureViewer();

    // Sets the caption to "Picture Viewer - " + path, shows the window and brings it forward,
    // sets the placement and then loads the picture. A file that is no picture leaves the picture
    // as it was; the caption and placement change all the same, and no message is shown.
    void showPicture(const QString& path, PictureView::Placement placement);

private:
    PictureView* view_;
};

}  // namespace tessivane
