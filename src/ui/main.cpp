// SPDX-License-Identifier: MIT
// Tessivane: edits folder Web View templates (.htt).
//
// The whole argument text names one file to open at start. It is taken before QApplication
// looks at the arguments, so that nothing of it is lost to Qt's own options.
#include <QApplication>

#include "app/startup.h"
#include "ui/icons.h"
#include "ui/main_window.h"
#include "ui/widget_dialogs.h"

int main(int argc, char** argv) {
    const QString commandLine = tessivane::commandLineText(argc, argv);
    QApplication app(argc, argv);
    app.setWindowIcon(tessivane::appIcon());
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessivane"));

    tessivane::keepSettingsOffDisk();

    tessivane::WidgetDialogs dialogs;
    tessivane::frmWZ window(commandLine, dialogs);
    dialogs.setParentWidget(&window);
    window.show();
    return app.exec();
}
