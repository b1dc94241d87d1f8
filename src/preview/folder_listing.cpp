// SPDX-License-Identifier: MIT
#include "preview/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCollator>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

#include "preview/background.h"

namespace tessivane {

namespace {

// The first batch is small, so that the first rows show at once; later ones are larger.
constexpr int kFirstBatch = 200;
constexpr int kBatch = 5000;

}  // namespace

struct FolderLister::Job {
    std::atomic<bool> cancelled{false};
};

void sortNaturally(QStringList& names, const QLocale& locale) {
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, QString>> keyed;
    keyed.reserve(std::size_t(names.size()));
    for (const QString& name : names) {
        keyed.emplace_back(collator.sortKey(name), name);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    for (qsizetype i = 0; i < names.size(); ++i) {
        names[i] = std::move(keyed[std::size_t(i)].second);
    }
}

FolderLister::~FolderLister() {
    if (job_) {
        job_->cancelled = true;
    }
}

void FolderLister::list(const QString& folder) {
    if (job_) {
        job_->cancelled = true;
    }
    job_ = std::make_shared<Job>();
    const QPointer<FolderLister> self(this);
    const std::shared_ptr<Job> job = job_;
    // Hands a result to this lister on its own thread, unless it is gone or listing another.
    const auto post = [self, job](auto deliver) {
        if (job->cancelled) {
            return;
        }
        postTo(self, [job, deliver = std::move(deliver)](FolderLister* lister) {
            if (!job->cancelled) {
                deliver(lister);
            }
        });
    };
    runDetached([folder, job, post] {
        const QFileInfo info(folder);
        QString problem;
        if (!info.exists()) {
            problem = tr("The folder %1 does not exist.").arg(folder);
        } else if (!info.isDir()) {
            problem = tr("%1 is not a folder.").arg(folder);
        }
        const QString real = info.canonicalFilePath();
        const QByteArray path = QFile::encodeName(folder);
        DIR* dir = problem.isEmpty() ? ::opendir(path.constData()) : nullptr;
        if (problem.isEmpty() && !dir) {
            problem = tr("The folder %1 cannot be read.").arg(folder);
        }
        post([real, problem](FolderLister* lister) { emit lister->started(real, problem); });
        if (!dir) {
            post([](FolderLister* lister) { emit lister->finished(); });
            return;
        }

        // Names first, the folders among them known from the directory where it says.
        QStringList folders, files;
        const int fd = ::dirfd(dir);
        while (const dirent* entry = ::readdir(dir)) {
            if (job->cancelled) {
                break;
            }
            const QByteArray raw(entry->d_name);
            if (raw == "." || raw == "..") {
                continue;
            }
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                struct stat target;
                isFolder = ::fstatat(fd, entry->d_name, &target, 0) == 0 && S_ISDIR(target.st_mode);
            }
            (isFolder ? folders : files) << QFile::decodeName(raw);
        }
        sortNaturally(folders);
        sortNaturally(files);

        const QMimeDatabase types;
        const QLocale locale;
        QSet<QString> typesSent;
        QJsonArray batch;
        QJsonObject newTypes;
        int sent = 0;
        const auto describe = [&](const QString& name, bool isFolder) {
            struct stat status;
            const QByteArray raw = QFile::encodeName(name);
            if (::fstatat(fd, raw.constData(), &status, 0) != 0 &&
                ::fstatat(fd, raw.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
                status = {};
            }
            const QMimeType type = isFolder
                                       ? types.mimeTypeForName(QStringLiteral("inode/directory"))
                                       : types.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
            if (!typesSent.contains(type.name())) {
                typesSent.insert(type.name());
                newTypes[type.name()] = type.comment();
            }
            QString attributes;
            if (!(status.st_mode & S_IWUSR)) {
                attributes += u'R';
            }
            if (name.startsWith(u'.')) {
                attributes += u'H';
            }
            batch.append(QJsonArray{
                name,
                isFolder ? 0.0 : double(status.st_size),
                isFolder ? 1 : 0,
                type.name(),
                locale.toString(QDateTime::fromSecsSinceEpoch(status.st_mtim.tv_sec),
                                QLocale::ShortFormat),
                attributes,
            });
            if (batch.size() >= (sent == 0 ? kFirstBatch : kBatch)) {
                post([batch, newTypes](FolderLister* lister) {
                    emit lister->listed(batch, newTypes);
                });
                sent += int(batch.size());
                batch = {};
                newTypes = {};
            }
        };
        for (const QString& name : folders) {
            if (job->cancelled) {
                break;
            }
            describe(name, true);
        }
        for (const QString& name : files) {
            if (job->cancelled) {
                break;
            }
            describe(name, false);
        }
        ::closedir(dir);
        if (!batch.isEmpty()) {
            post([batch, newTypes](FolderLister* lister) { emit lister->listed(batch, newTypes); });
        }
        post([](FolderLister* lister) { emit lister->finished(); });
    });
}

}  // namespace tessivane
