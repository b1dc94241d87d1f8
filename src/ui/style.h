// SPDX-License-Identifier: MIT
#pragma once
// The program's widget style: the platform's own style, drawing exactly as it does, except that
// one standard icon is read only when it is first drawn.
//
// Every menu bar asks its style at once for the icon of its overflow button (shown only when the
// bar is too narrow for its menus). Qt reads that icon from a PNG file, and finding out the file's
// format makes Qt load every image format plugin (GIF, ICO, JPEG, with their libraries): about a
// millisecond of the main window's start-up, for a button that the window never shows. Everything
// else is left to the base style.
#include <QProxyStyle>

namespace tessivane {

class Style : public QProxyStyle {
    Q_OBJECT

public:
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

}  // namespace tessivane
