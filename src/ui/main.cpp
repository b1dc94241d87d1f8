// SPDX-License-Identifier: MIT
// Tessivane: edits folder Web View templates (.htt).
//
// The whole argument text names one file to open at start.
#include <csignal>

#include <QApplication>

#include "app/startup.h"
#include "l10n/translations.h"
#include "ui/icons.h"
#include "ui/main_window.h"
#include "ui/style.h"
#include "ui/widget_dialogs.h"

int main(int argc, char** argv) {
    const QString commandLine = tessivane::commandLineText(argc, argv);
    // Qt sees none of the user's arguments, so a file named "-reverse" is a file like any other;
    // Qt's own settings stay reachable through its environment variables (QT_QPA_PLATFORM...).
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    tessivane::installTranslations();
    // A file size limit makes a save fail with "File too large" instead of ending the program.
    ::signal(SIGXFSZ, SIG_IGN);
    // The platform's own style, reading one icon the window never shows only when it is drawn.
    QApplication::setStyle(new tessivane::Style);
    app.setWindowIcon(tessivane::appIcon());
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessivane"));

    tessivane::keepSettingsOffDisk();

    tessivane::WidgetDialogs dialogs;
    tessivane::MainWindow window(commandLine, dialogs);
    dialogs.setParentWidget(&window);
    window.show();
    return app.exec();
}
