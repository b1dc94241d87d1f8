// SPDX-License-Identifier: MIT
// How quickly the live preview answers, through the real window and the real preview program:
//   preview_latency PREVIEW_PROGRAM [RUNS]
// Each run starts the preview program cold with View > Preview and times until it reports its
// page shown; then types a word into the folder description, one key every 30 ms as a quick
// typist would, and times from the last key until the page with the word is shown. Prints each
// run and the medians.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/preview_link.h"
#include "ui/main_window.h"
#include "ui/widget_dialogs.h"

namespace {

// Runs the event loop until the link reports a page shown; the milliseconds it took, or -1 after
// a minute without one.
qint64 untilShown(tessivane::PreviewLink& link, const QElapsedTimer& clock) {
    QEventLoop loop;
    QObject::connect(&link, &tessivane::PreviewLink::shown, &loop, &QEventLoop::quit);
    QObject::connect(&link, &tessivane::PreviewLink::stopped, &loop, [&] { loop.exit(1); });
    QTimer::singleShot(60000, &loop, [&] { loop.exit(1); });
    return loop.exec() == 0 ? clock.elapsed() : -1;
}

void pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double median(std::vector<qint64> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? double(values[n / 2]) : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: preview_latency PREVIEW_PROGRAM [RUNS]\n");
        return 2;
    }
    qputenv("TESSIVANE_PREVIEW_PROGRAM", argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    tessivane::WidgetDialogs dialogs;
    tessivane::MainWindow window(QString(), dialogs);
    window.show();
    auto* link = window.findChild<tessivane::PreviewLink*>();
    auto* preview = window.findChild<QAction*>(QStringLiteral("mnuPreview"));
    auto* description = window.findChild<QLineEdit*>(QStringLiteral("Fol"));
    if (!link || !preview || !preview->isEnabled() || !description) {
        std::fprintf(stderr, "preview_latency: no preview program at %s\n", argv[1]);
        return 1;
    }

    std::vector<qint64> firstShown, editShown;
    for (int run = 1; run <= runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        preview->trigger();
        const qint64 shown = untilShown(*link, clock);
        pause(300);  // let the page settle, as a person would look at it before typing
        description->clear();
        pause(200);
        for (const char c : QByteArray("Holidays")) {
            description->insert(QString(QLatin1Char(c)));
            pause(30);
        }
        clock.restart();
        const qint64 edited = untilShown(*link, clock);
        std::printf("run %d: first shown %lld ms, edit shown %lld ms after the last key\n", run,
                    static_cast<long long>(shown), static_cast<long long>(edited));
        std::fflush(stdout);
        if (shown < 0 || edited < 0) {
            return 1;
        }
        firstShown.push_back(shown);
        editShown.push_back(edited + 30);  // the pause after the last key is part of the wait
        link->close();
    }
    std::printf(
        "median over %d runs: first shown %.0f ms after View > Preview, "
        "an edit shown %.0f ms after the last key\n",
        runs, median(firstShown), median(editShown));
    return 0;
}
