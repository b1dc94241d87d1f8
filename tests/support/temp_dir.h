// SPDX-License-Identifier: MIT
#pragma once
// Small file helpers for tests: a scratch folder, whole files as bytes, the built-in template's
// bytes with lines replaced, and the smallest GIF.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <map>

#include "document/template.h"

namespace tessivane::test {

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

// The built-in template as the program writes it (every line followed by CR LF), its first
// lineCount lines only, with some lines (counted from 0) replaced.
inline QByteArray templateBytes(const std::map<int, QByteArray>& replaced = {},
                                int lineCount = 344) {
    QByteArray bytes;
    for (int i = 0; i < lineCount && i < int(templateLines().size()); ++i) {
        bytes += (replaced.count(i) ? replaced.at(i)
                                    : QByteArray::fromStdString(templateLines()[std::size_t(i)])) +
                 "\r\n";
    }
    return bytes;
}

// A 1 x 1 GIF: header, logical screen with a two-entry colour table, image descriptor, LZW data.
inline const QByteArray kGif("GIF89a\1\0\1\0\x80\0\0\xFF\0\0\0\0\0,\0\0\0\0\1\0\1\0\0\2\2\x44\1\0;",
                             35);

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

}  // namespace tessivane::test
