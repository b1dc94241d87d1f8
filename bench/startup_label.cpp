// SPDX-License-Identifier: MIT
// The reference for startup_window: the same start, first paint and exit with a Qt main window
// that shows one label.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "first_paint.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Tessivane"), &window));
    new ExitAfterFirstPaint(window);
    window.show();
    return app.exec();
}
