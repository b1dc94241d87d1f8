// SPDX-License-Identifier: MIT
// Starts the application, builds and shows the main window with the built-in template, and exits
// once the window has been painted: the start-up a user waits for.
#include <QApplication>

#include "first_paint.h"
#include "ui/icons.h"
#include "ui/main_window.h"
#include "ui/style.h"
#include "ui/widget_dialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Set up as the program sets itself up: its style, and the application's icon for the window.
    QApplication::setStyle(new tessivane::Style);
    app.setWindowIcon(tessivane::appIcon());
    tessivane::WidgetDialogs dialogs;
    tessivane::MainWindow window(QString(), dialogs);
    new ExitAfterFirstPaint(window);
    window.show();
    return app.exec();
}
