// SPDX-License-Identifier: MIT
#include "preview/page_folder.h"

#include <unistd.h>
#include <cerrno>
#include <csignal>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <limits>

namespace tessivane {

namespace {
constexpr char kPrefix[] = "tessivane-preview-";

bool processRuns(qint64 pid) {
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max() &&
           (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}
}  // namespace

QString pageFolderTemplate(const QString& tempPath) {
    return QDir(tempPath).filePath(QString::fromLatin1(kPrefix) + QString::number(::getpid()) +
                                   QStringLiteral("-XXXXXX"));
}

int removeStalePageFolders(const QString& tempPath) {
    static const QRegularExpression pattern(QString::fromLatin1(kPrefix) +
                                            QStringLiteral("([1-9][0-9]{0,9})-[A-Za-z0-9]{6}"));
    int removed = 0;
    const QDir temp(tempPath);
    const QStringList names = temp.entryList({QString::fromLatin1(kPrefix) + u'*'},
                                             QDir::Dirs | QDir::NoSymLinks | QDir::Hidden);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        const QFileInfo info(temp.filePath(name));
        if (!match.hasMatch() || match.capturedLength() != name.size() || info.isSymLink() ||
            info.ownerId() != ::geteuid() || processRuns(match.captured(1).toLongLong())) {
            continue;
        }
        if (QDir(info.filePath()).removeRecursively()) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace tessivane
