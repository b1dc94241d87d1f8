// SPDX-License-Identifier: MIT
#pragma once
// Small file helpers for tests: a scratch folder, and whole files as bytes.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace tessivane::testing {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Every entry of a folder, hidden files, FIFOs and devices included.
inline QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// A scratch folder removed at the end of the test.
class TempDir {
public:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString root() const { return dir_.path(); }
    // Writes a file in the folder and returns its path.
    QString file(const QString& name, const QByteArray& bytes) const {
        const QString full = path(name);
        writeBytes(full, bytes);
        return full;
    }

private:
    QTemporaryDir dir_;
};

}  // namespace tessivane::testing
