// SPDX-License-Identifier: MIT
#include "ui/style.h"

#include <QPointer>

#include "ui/icons.h"

namespace tessivane {

QIcon Style::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                          const QWidget* widget) const {
    if (standardIcon != SP_ToolBarHorizontalExtensionButton &&
        standardIcon != SP_ToolBarVerticalExtensionButton) {
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
    // The option and widget may be gone by the time the icon is drawn; neither changes this icon
    // but for the layout direction, which the application's direction gives as well.
    const QPointer<QStyle> base = baseStyle();
    return deferredIcon(
        [base, standardIcon] { return base ? base->standardIcon(standardIcon) : QIcon(); });
}

}  // namespace tessivane
