// SPDX-License-Identifier: MIT
// Starts the application, builds and shows the main window with the built-in template, and quits
// at the first idle moment: the start-up cost a user waits for.
#include <QApplication>
#include <QTimer>

#include "ui/main_window.h"
#include "ui/widget_dialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tessivane::WidgetDialogs dialogs;
    tessivane::MainWindow window(QString(), dialogs);
    window.show();
    // exit() rather than quit(): quit() first closes the window, which would ask the save question.
    QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    return app.exec();
}
