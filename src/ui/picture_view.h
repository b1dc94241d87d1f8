// SPDX-License-Identifier: MIT
#pragma once
// The picture viewer's painted surface: one picture, centred or tiled, over the colour that
// windows' contents are drawn on. It reads the picture file itself and knows nothing of the window
// around it (PictureViewer) or of who chose the picture.
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace tessivane {

class PictureView : public QWidget {
    Q_OBJECT

public:
    enum class Placement {
        Centred,  // once, in the middle of the surface
        Tiled,    // repeated over the whole surface from its top-left corner
    };

    explicit PictureView(QWidget* parent = nullptr);

    void setPlacement(Placement placement);
    Placement placement() const { return placement_; }

    // Reads a GIF, JPEG, BMP or PNG file, recognised by its content. Returns false and keeps the
    // picture shown so far when the file cannot be read as one of those.
    bool loadPicture(const QString& path);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QPixmap pixmap_;  // picture_ converted once for painting
    Placement placement_ = Placement::Centred;
};

}  // namespace tessivane
