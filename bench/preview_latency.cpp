// SPDX-License-Identifier: MIT
// How quickly the live preview answers, through the real window and the real preview program, for
// folders of several sizes:
//   preview_latency PREVIEW_PROGRAM [RUNS] [ENTRIES...]      (entries: 10 1000 100000 by default)
// For each size a folder of that many empty files is made and shown (as the home folder, which a
// new document describes). Each run starts the preview program cold with View > Preview and
// times until it reports its page shown; then types a word into the folder description, one key
// every 30 ms as a quick typist would, and times from the last key until the page with the word
// is shown. "Shown" is the preview's report that the document is loaded and the file list
// painted, after the first animation frame that follows the loading of the document's frame. After
// the last run of a size it reads the memory of the preview program and every process it started
// (the browser engine's renderer, GPU and utility processes): the proportional set size from
// /proc/PID/smaps_rollup, which counts a library shared by several of them once, the resident
// size and the peak resident size, summed, and each process's share. Prints each run and, per
// size, the medians.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
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

// The parent of a process, from /proc/PID/stat ("pid (name) state ppid ..."; the name may hold
// spaces and parentheses); -1 when it is gone.
qint64 parentOf(const QString& pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2).split(' ').value(1).toLongLong();
}

// The process and everything it started, parents before children.
QList<qint64> processTree(qint64 root) {
    QList<qint64> tree{root};
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (qsizetype i = 0; i < tree.size(); ++i) {
        for (const QString& entry : processes) {
            if (parentOf(entry) == tree[i]) {
                tree << entry.toLongLong();
            }
        }
    }
    return tree;
}

// A value in kB from a "Name:   1234 kB" file such as /proc/PID/status, in MiB; 0 when absent.
double fieldMiB(const QString& path, const QByteArray& name) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(name + ':')) {
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024;
        }
    }
    return 0;
}

// What a process of the tree is: the engine's helpers say it with --type=, e.g. "renderer"; a
// renderer forked by the engine's zygote keeps the zygote's command line.
QString commandKind(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QList<QByteArray> arguments = file.readAll().split('\0');
    for (const QByteArray& argument : arguments) {
        if (argument.startsWith("--type=")) {
            return QString::fromUtf8(argument.mid(7));
        }
    }
    return QFileInfo(QString::fromUtf8(arguments.value(0))).fileName();
}

QString kindOf(qint64 pid) {
    const QString kind = commandKind(pid);
    return kind == QLatin1String("zygote") && commandKind(parentOf(QString::number(pid))) == kind
               ? QStringLiteral("renderer")
               : kind;
}

// Memory of the process and everything it started, in MiB: the proportional set size (a page
// shared by several of them counts once in all), the resident size (counted in each that maps
// it) and each one's peak resident size, summed.
struct Memory {
    double pss = 0, rss = 0, peakRss = 0;
    QStringList each;  // "kind PSS/RSS" of each process
};

Memory memoryOfTree(qint64 root) {
    Memory memory;
    for (const qint64 pid : processTree(root)) {
        const double pss = fieldMiB(QStringLiteral("/proc/%1/smaps_rollup").arg(pid), "Pss");
        const double rss = fieldMiB(QStringLiteral("/proc/%1/status").arg(pid), "VmRSS");
        memory.pss += pss;
        memory.rss += rss;
        memory.peakRss += fieldMiB(QStringLiteral("/proc/%1/status").arg(pid), "VmHWM");
        memory.each
            << QStringLiteral("%1 %2/%3").arg(kindOf(pid)).arg(pss, 0, 'f', 0).arg(rss, 0, 'f', 0);
    }
    return memory;
}

// The preview program: the child of this process that the link started.
qint64 previewProcess() {
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        if (parentOf(entry) == QCoreApplication::applicationPid()) {
            return entry.toLongLong();
        }
    }
    return 0;
}

double median(std::vector<qint64> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? double(values[n / 2]) : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: preview_latency PREVIEW_PROGRAM [RUNS] [ENTRIES...]\n");
        return 2;
    }
    qputenv("TESSIVANE_PREVIEW_PROGRAM", argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    std::vector<int> sizes;
    for (int i = 3; i < argc; ++i) {
        sizes.push_back(std::max(0, std::atoi(argv[i])));
    }
    if (sizes.empty()) {
        sizes = {10, 1000, 100000};
    }
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

    struct Result {
        int entries;
        double first, edit;
        Memory memory;
    };
    std::vector<Result> results;
    for (const int entries : sizes) {
        QTemporaryDir folder;
        for (int i = 1; i <= entries; ++i) {
            QFile(folder.filePath(QStringLiteral("file%1.txt").arg(i))).open(QIODevice::WriteOnly);
        }
        qputenv("HOME", QFile::encodeName(folder.path()));
        std::vector<qint64> firstShown, editShown;
        Memory memory;
        for (int run = 1; run <= runs; ++run) {
            QElapsedTimer clock;
            clock.start();
            preview->trigger();
            const qint64 shown = untilShown(*link, clock);
            // Let the page settle, as a person would look at it before typing; a folder of 100,000
            // entries is listed in about a second, and edits during that second wait for it.
            pause(2000);
            description->clear();
            pause(200);
            for (const char c : QByteArray("Holidays")) {
                description->insert(QString(QLatin1Char(c)));
                pause(30);
            }
            clock.restart();
            const qint64 edited = untilShown(*link, clock);
            std::printf(
                "%d entries, run %d: first shown %lld ms, edit shown %lld ms after the "
                "last key\n",
                entries, run, static_cast<long long>(shown), static_cast<long long>(edited + 30));
            std::fflush(stdout);
            if (shown < 0 || edited < 0) {
                return 1;
            }
            firstShown.push_back(shown);
            editShown.push_back(edited + 30);  // the pause after the last key is part of the wait
            if (run == runs) {
                memory = memoryOfTree(previewProcess());
                std::printf("%d entries, memory in MiB (PSS/RSS) of each process: %s\n", entries,
                            qPrintable(memory.each.join(QStringLiteral(", "))));
            }
            link->close();
        }
        results.push_back({entries, median(firstShown), median(editShown), memory});
    }
    std::printf(
        "\nmedians over %d runs; memory of the preview and every process it started, "
        "after the last run's edit:\n%10s %14s %14s %12s %12s %14s\n",
        runs, "entries", "first shown", "edit shown", "PSS", "RSS", "peak RSS");
    for (const Result& r : results) {
        std::printf("%10d %11.0f ms %11.0f ms %8.0f MiB %8.0f MiB %10.0f MiB\n", r.entries, r.first,
                    r.edit, r.memory.pss, r.memory.rss, r.memory.peakRss);
    }
    return 0;
}
