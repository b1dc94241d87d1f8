#include "controls/file_services.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QFile>
#include <QFileInfo>
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
// permission bits grant no write access (checked by the bits, because root passes access()), and
// a target or folder the process may not write.
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return failure(FileError::Kind::Other, file.errorString());
    }
    // commit() alone can report success after a failed write and put a cut-off file in place, so
    // every step is checked and the temporary file is dropped at the first failure.
    const std::string bytes = document.toBytes();
    const qint64 size = qint64(bytes.size());
    const qint64 written = file.write(bytes.data(), size);
    if (written != size || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(FileError::Kind::Other, reason);
    }
    if (!file.commit()) {
        return failure(FileError::Kind::Other, file.errorString());
    }
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
