// SPDX-License-Identifier: MIT
// tessivane-preview: shows the document the editor sends on standard input as a folder's window
// would show it, and says on standard output when a page is shown (protocol/preview_protocol.h).
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "l10n/translations.h"
#include "preview/page_guard.h"
#include "preview/preview_window.h"
#include "preview/stdin_frames.h"
#include "protocol/preview_protocol.h"

namespace {

bool writeFile(const char* path, const char* text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const auto length = ssize_t(std::strlen(text));
    const bool written = ::write(fd, text, size_t(length)) == length;
    ::close(fd);
    return written;
}

// Moves this process into a network namespace of its own, which holds nothing but a loopback
// interface that is down: whatever the page finds around the browser's own blocks, no packet and
// no name look-up leaves. An ordinary user gets it inside a user namespace of its own, mapped to
// the same user and group. X11, Wayland and sound reach their servers through named sockets,
// which stay reachable; a display on another host would not be, so that keeps the network.
// Must run before any thread starts. Returns whether the network is shut off.
bool isolateNetwork() {
    const char* display = std::getenv("DISPLAY");
    if (display && *display && *display != ':' && std::strncmp(display, "unix:", 5) != 0) {
        return false;
    }
    if (::geteuid() == 0) {
        return ::unshare(CLONE_NEWNET) == 0;
    }
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
        return false;
    }
    char map[64];
    std::snprintf(map, sizeof map, "%u %u 1\n", unsigned(uid), unsigned(uid));
    bool mapped = writeFile("/proc/self/setgroups", "deny") && writeFile("/proc/self/uid_map", map);
    std::snprintf(map, sizeof map, "%u %u 1\n", unsigned(gid), unsigned(gid));
    mapped = mapped && writeFile("/proc/self/gid_map", map);
    return mapped;
}

// Has the page drawn in software, by the engine and by Qt Quick, which shows what the engine
// drew, with no OpenGL loaded at all (on X11 Qt would load it for the window anyway). On a machine
// without a graphics card OpenGL is itself software (Mesa's llvmpipe), and drawing one local page
// without it is faster and smaller: measured under Xvfb, the first page about 30% sooner, an edit
// as soon or sooner, and the preview's processes about 85 MiB smaller, as neither the OpenGL
// driver nor its compiler is loaded. A QT_QUICK_BACKEND the user sets leaves all as it is. Must
// run before QApplication.
void drawInSoftware() {
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) {
        return;
    }
    qputenv("QT_QUICK_BACKEND", "software");
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) {
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    }
    tessivane::addEngineFlags("--disable-gpu");
}

}  // namespace

int main(int argc, char** argv) {
    // Where the system allows no namespaces (a container, a chroot), the browser's own blocks
    // stand alone (page_guard.h).
    isolateNetwork();
    tessivane::containEngine();
    drawInSoftware();
    // Chromium refuses to run its sandbox as root; an ordinary user always keeps it.
    if (::geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    // Qt Quick, which the web view draws through, would keep compiled shaders in the user's cache.
    qputenv("QT_DISABLE_SHADER_DISK_CACHE", "1");
    // The web view shares its graphics contexts with the window's; Qt wants to know it first.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("tessivane"));
    QApplication::setApplicationName(QStringLiteral("tessivane-preview"));
    tessivane::installTranslations();

    tessivane::PreviewWindow window;
    tessivane::StdinFrames frames;
    QObject::connect(&frames, &tessivane::StdinFrames::frameReceived, &window,
                     &tessivane::PreviewWindow::receiveFrame);
    QObject::connect(&frames, &tessivane::StdinFrames::ended, &app, &QApplication::exit);
    QObject::connect(&window, &tessivane::PreviewWindow::pageShown, &window, [] {
        const QByteArray frame = tessivane::encodePreviewFrame("shown");
        std::fwrite(frame.constData(), 1, size_t(frame.size()), stdout);
        std::fflush(stdout);
    });
    window.show();
    return app.exec();
}
