// SPDX-License-Identifier: MIT
#include "controls/file_services.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include "document/line_map.h"

namespace tessivane {
namespace {

FileError failure(FileError::Kind kind, QString reason) {
    return {kind, std::move(reason)};
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Refuses what a save must not touch before any temporary file exists: a target that is not a
// regular file (an atomic rename would replace a device node or a FIFO), a target whose
// permission bits grant no write access (checked by the bits, because root passes access()), a
// target the process may not write, and a folder that does not exist.
FileError checkSaveTarget(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            return failure(FileError::Kind::NotRegularFile,
                           S_ISDIR(info.st_mode) ? QStringLiteral("it is a folder")
                                                 : QStringLiteral("it is not a regular file"));
        }
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return failure(FileError::Kind::NotWritable, QStringLiteral("the file is read-only"));
        }
        if (::access(native.constData(), W_OK) != 0) {
            return failure(FileError::Kind::NotWritable, systemReason(errno));
        }
        return {};
    }
    if (errno != ENOENT) {
        return failure(FileError::Kind::Other, systemReason(errno));
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        return failure(FileError::Kind::Other,
                       QStringLiteral("the folder '%1' does not exist").arg(folder));
    }
    return {};
}

// A save links its finished file under a hidden name of its own next to the target, then renames
// it over the target. Were QSaveFile given the target itself, it would link an existing target's
// replacement under "TARGET.XXXXXX" first, and a save killed between that link and the rename
// would leave a copy that nothing can tell from a file of the user's. Ours are
// ".tessivane-save-PID-RANDOM" (QSaveFile may add ".XXXXXX" where it cannot write unnamed
// files); whatever a killed save left is removed by the next save into the same folder.
const QString kSavePrefix = QStringLiteral(".tessivane-save-");

// Removes what saves of processes that no longer run left in the folder.
void removeLeftovers(const QString& folder) {
    const QStringList names =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (!name.startsWith(kSavePrefix)) {
            continue;
        }
        bool isNumber = false;
        const qint64 pid =
            name.mid(kSavePrefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&isNumber);
        if (isNumber && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) {
            QFile::remove(folder + QLatin1Char('/') + name);
        }
    }
}

// The file a save replaces: the target, or the file a symbolic link at the target points to.
QString realTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) {
        return info.absoluteFilePath();
    }
    return info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
}

}  // namespace

LoadResult loadDocument(const QString& path) {
    LoadResult result;
    if (path.isEmpty()) {
        result.error = failure(FileError::Kind::Other, QStringLiteral("no file name was given"));
        return result;
    }
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        result.error = failure(FileError::Kind::NotRegularFile,
                               S_ISDIR(info.st_mode) ? QStringLiteral("it is a folder")
                                                     : QStringLiteral("it is not a regular file"));
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {  // never Text mode: it would drop every CR
        result.error = failure(FileError::Kind::Other, file.errorString());
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = failure(FileError::Kind::Other, file.errorString());
        return result;
    }
    result.document =
        WorkingDocument::fromBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    return result;
}

FileError saveDocument(const WorkingDocument& document, const QString& path) {
    if (path.isEmpty()) {
        return failure(FileError::Kind::Other, QStringLiteral("no file name was given"));
    }
    if (FileError refused = checkSaveTarget(path)) {
        return refused;
    }
    const QString target = realTarget(path);
    const QString folder = QFileInfo(target).absolutePath();
    struct stat previous {};
    const bool replacing = ::stat(QFile::encodeName(target).constData(), &previous) == 0;
    const QString hidden = folder + QLatin1Char('/') + kSavePrefix +
                           QString::number(qint64(::getpid())) + QLatin1Char('-') +
                           QString::number(QRandomGenerator::global()->generate64(), 36);

    QSaveFile file(hidden);
    // Unbuffered, and written until done or refused: a buffered or a short write that fails only
    // says "Unknown error", while the write after a short one names the cause ("No space left on
    // device", "File too large").
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return failure(FileError::Kind::Other, file.errorString());
    }
    // commit() alone can report success after a failed write and put a cut-off file in place, so
    // every step is checked and the temporary file is dropped at the first failure.
    const std::string bytes = document.toBytes();
    const qint64 size = qint64(bytes.size());
    qint64 written = 0;
    while (written < size) {
        const qint64 chunk = file.write(bytes.data() + written, size - written);
        if (chunk <= 0) {
            break;
        }
        written += chunk;
    }
    if (written != size || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(FileError::Kind::Other, reason);
    }
    if (!file.commit()) {
        return failure(FileError::Kind::Other, file.errorString());
    }
    // The finished file is complete and on disk under the hidden name; it takes the target's
    // permission bits and then its place, in one step.
    const QByteArray hiddenName = QFile::encodeName(hidden);
    if ((replacing && ::chmod(hiddenName.constData(), previous.st_mode & 07777) != 0) ||
        ::rename(hiddenName.constData(), QFile::encodeName(target).constData()) != 0) {
        const QString reason = systemReason(errno);
        ::unlink(hiddenName.constData());
        return failure(FileError::Kind::Other, reason);
    }
    removeLeftovers(folder);
    return {};
}

bool hasMarkerLine(const WorkingDocument& document) {
    return document.size() > std::size_t(lines::kMarker) &&
           document.line(lines::kMarker) == lines::kMarkerText;
}

int findIgnoringCase(const QStringList& items, const QString& text) {
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].compare(text, Qt::CaseInsensitive) == 0) {
            return int(i);
        }
    }
    return -1;
}

}  // namespace tessivane
