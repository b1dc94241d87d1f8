// SPDX-License-Identifier: MIT
#pragma once
// The picture viewer: a resizable window that previews a chosen background or line image, and
// the surface inside it that paints the picture.
//
// The image choosers drive it through showPicture(): caption, show, layout, picture. The window
// deletes itself when closed, taking its picture with it; whoever opens it keeps a QPointer and
// makes a new one when that pointer has gone null.
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace tessivane {

// A surface that paints one background picture over the window colour. It holds no items.
class PictureView : public QWidget {
    Q_OBJECT

public:
    // Picture alignments, as the choosers pass them.
    static constexpr int kTopLeft = 0;
    static constexpr int kTopRight = 1;
    static constexpr int kBottomLeft = 2;
    static constexpr int kBottomRight = 3;
    static constexpr int kCentre = 4;  // once, centred in the surface
    static constexpr int kTile = 5;    // repeated over the whole surface from the top-left corner

    explicit PictureView(QWidget* parent = nullptr);

    // Values outside kTopLeft..kTile are ignored and keep the alignment as it was.
    void setPictureAlignment(int alignment);
    int pictureAlignment() const { return alignment_; }

    // Reads a GIF, JPEG, BMP or PNG file, recognised by its content. Returns false and keeps the
    // picture shown so far when the file cannot be read as one of those.
    bool loadPicture(const QString& path);
    // A null image removes the picture.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QPixmap pixmap_;  // picture_ converted once for painting
    int alignment_ = kTopLeft;
};

// The viewer window. Top-level, sizable, never modal and without an owner; it deletes itself
// when closed.
class PictureViewer : public QWidget {
    Q_OBJECT

public:
    // The client area at design, in twips.
    static constexpr int kDesignWidthTwips = 4680;
    static constexpr int kDesignHeightTwips = 3195;
    // How much smaller than the window's outer size the surface is made, in twips.
    static constexpr int kSurfaceInsetTwips = 100;

    PictureViewer();

    PictureView* picView() const { return picView_; }

    // Sets the caption to "Picture Viewer - " + path, shows the window and brings it forward,
    // sets the alignment and then loads the picture. A file that is no picture leaves the picture
    // as it was; the caption and alignment change all the same, and no message is shown.
    void showPicture(const QString& path, int alignment);

    // Sizes the surface to the window's outer size (frame included) less kSurfaceInsetTwips in
    // each direction, never below zero, and keeps it at the client area's top-left corner. The
    // surface may therefore reach beyond the client area. Runs whenever the size may have
    // changed.
    void Form_Resize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    PictureView* picView_;
};

}  // namespace tessivane
