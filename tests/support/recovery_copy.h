// SPDX-License-Identifier: MIT
#pragma once
// Recovery copies as a save cut short leaves them, written independently of the file services
// so that a change to the format they check shows: the old content, then a record of 64 bytes
// ("TSVCOPY1", the content's length, the file's device and inode, each 8 bytes little-endian, and
// the SHA-256 of the content followed by those 32 bytes).
#include <sys/stat.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include "support/temp_dir.h"

namespace tessivane::test {

inline QByteArray recoveryCopyBytes(const QByteArray& content, const QString& ofFile) {
    struct stat info {};
    ::stat(QFile::encodeName(ofFile).constData(), &info);
    QByteArray record("TSVCOPY1");
    for (const unsigned long long number :
         {(unsigned long long)content.size(), (unsigned long long)info.st_dev,
          (unsigned long long)info.st_ino}) {
        for (int i = 0; i < 8; ++i) {
            record += char((number >> (8 * i)) & 0xFF);
        }
    }
    return content + record +
           QCryptographicHash::hash(content + record, QCryptographicHash::Sha256);
}

// The name a copy of the file gets beside it.
inline QString besideCopyName(const QString& file) {
    const QFileInfo info(file);
    return info.path() + "/." + info.fileName() + ".tessivane-recovery";
}

// Writes a whole copy of the given old content beside the file, private as a save makes it, and
// answers its path.
inline QString plantRecoveryCopy(const QString& file, const QByteArray& content) {
    const QString copy = besideCopyName(file);
    writeBytes(copy, recoveryCopyBytes(content, file));
    ::chmod(QFile::encodeName(copy).constData(), 0600);
    return copy;
}

}  // namespace tessivane::test
