// SPDX-License-Identifier: MIT
// tessivane-preview: shows the document the editor sends on standard input as a folder's window
// would show it. Prints "shown" on standard output each time a page is shown; nothing else.
#include <unistd.h>

#include <QApplication>
#include <cstdio>

#include "preview/preview_window.h"
#include "preview/stdin_frames.h"

int main(int argc, char** argv) {
    // Chromium refuses to run its sandbox as root; an ordinary user always keeps it.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Qt Quick, which the web view draws through, would keep compiled shaders in the user's cache.
    qputenv("QT_DISABLE_SHADER_DISK_CACHE", "1");
    // The web view shares its graphics contexts with the window's; Qt wants to know it first.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessivane-preview"));

    tessivane::PreviewWindow window;
    tessivane::StdinFrames frames;
    QObject::connect(&frames, &tessivane::StdinFrames::frameReceived, &window,
                     &tessivane::PreviewWindow::receiveFrame);
    QObject::connect(&frames, &tessivane::StdinFrames::ended, &app, &QApplication::exit);
    QObject::connect(&window, &tessivane::PreviewWindow::pageShown, [] {
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
    });
    window.show();
    return app.exec();
}
