// SPDX-License-Identifier: MIT
#include "app/preview_link.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <thread>
#include <utility>
#include <vector>

#include "protocol/preview_protocol.h"

namespace tessivane {

namespace {
constexpr char kProgramName[] = "tessivane-preview";
// How long the program may take to close after its input ends.
constexpr int kCloseWaitMs = 2000;
}  // namespace

PreviewLink::PreviewLink(std::function<QByteArray()> composeDocument, QObject* parent)
    : QObject(parent), composeDocument_(std::move(composeDocument)) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &PreviewLink::sendDocument);
    // The browser engine's diagnostics would flood the editor's terminal; they are wanted only
    // when looking into a preview that misbehaves.
    if (qEnvironmentVariableIsSet("TESSIVANE_PREVIEW_STDERR")) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    } else {
        process_.setStandardErrorFile(QProcess::nullDevice());
    }
    connect(&process_, &QProcess::readyReadStandardOutput, this, &PreviewLink::readOutput);
    // A program that ends by itself with status 0 was closed by the user; anything else stopped.
    connect(&process_, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        if (!closing_ && (status == QProcess::CrashExit || code != 0)) {
            emit stopped();
        }
    });
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && !closing_) {
            emit stopped();
        }
    });
}

PreviewLink::~PreviewLink() {
    close();
}

QString PreviewLink::programPath() {
    const QString chosen = qEnvironmentVariable("TESSIVANE_PREVIEW_PROGRAM");
    if (!chosen.isEmpty()) {
        return QFileInfo(chosen).isExecutable() ? chosen : QString();
    }
    QString beside = QCoreApplication::applicationDirPath() + '/' + kProgramName;
    if (QFileInfo(beside).isExecutable()) {
        return beside;
    }
    return QStandardPaths::findExecutable(kProgramName);
}

// The engine's library, its helper process and its resources make up nearly all of what a first
// start reads from disk.
QStringList PreviewLink::engineFiles() {
    QStringList files = {
        QLibraryInfo::path(QLibraryInfo::LibrariesPath) + "/libQt6WebEngineCore.so.6",
        QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + "/QtWebEngineProcess",
    };
    const QDir resources(QLibraryInfo::path(QLibraryInfo::DataPath) + "/resources");
    for (const QString& name : resources.entryList(QDir::Files)) {
        files << resources.filePath(name);
    }
    return files;
}

void PreviewLink::warmUp() {
    if (programPath().isEmpty()) {
        return;
    }
    std::vector<QByteArray> paths;
    for (const QString& file : engineFiles()) {
        paths.push_back(QFile::encodeName(file));
    }
    std::thread([paths = std::move(paths)] {
        std::vector<char> buffer(1 << 20);
        for (const QByteArray& path : paths) {
            const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) {
                continue;
            }
            while (::read(fd, buffer.data(), buffer.size()) > 0) {
            }
            ::close(fd);
        }
    }).detach();
}

void PreviewLink::show(const QString& title, const QString& folder) {
    if (!isRunning()) {
        const QString program = programPath();
        closing_ = false;
        sent_.clear();
        output_ = {};
        process_.start(program.isEmpty() ? QString::fromLatin1(kProgramName) : program, {});
        send("version", QByteArray::number(kPreviewProtocolVersion));
    }
    send("title", title.toUtf8());
    send("folder", folder.toUtf8());
    sendDocument();
}

void PreviewLink::update() {
    if (isRunning()) {
        settle_.start();
    }
}

void PreviewLink::setTitle(const QString& title) {
    if (isRunning()) {
        send("title", title.toUtf8());
    }
}

void PreviewLink::close() {
    settle_.stop();
    if (!isRunning()) {
        return;
    }
    closing_ = true;
    process_.closeWriteChannel();
    if (!process_.waitForFinished(kCloseWaitMs)) {
        process_.kill();
        process_.waitForFinished(kCloseWaitMs);
    }
}

void PreviewLink::send(const QByteArray& name, const QByteArray& payload) {
    // Writing is buffered by QProcess, so a large document never holds up the editor.
    process_.write(encodePreviewFrame(name, payload));
}

void PreviewLink::sendDocument() {
    settle_.stop();
    if (!isRunning()) {
        return;
    }
    QByteArray document = composeDocument_();
    if (document != sent_) {
        send("document", document);
        sent_ = std::move(document);
    }
}

void PreviewLink::readOutput() {
    output_.append(process_.readAllStandardOutput());
    while (auto frame = output_.next()) {
        if (frame->name == "shown") {
            emit shown();
        }
    }
}

}  // namespace tessivane
