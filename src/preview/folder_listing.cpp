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
#include <QPointer>
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

// One listing, run on a thread of its own, in steps: open the folder, read and sort the names,
// describe each entry. What it finds goes to the lister on the lister's thread, unless the lister
// is gone or listing another folder by then.
class FolderLister::Listing {
public:
    Listing(const QPointer<FolderLister>& lister, std::shared_ptr<Job> job)
        : lister_(lister), job_(std::move(job)) {}

    void run(const QString& folder);

private:
    // Opens the folder and sends started(); nullptr when it cannot be listed.
    DIR* openFolder(const QString& folder);
    // Names first, the folders among them known from the directory where it says, each kind in
    // natural order.
    void readNames(DIR* dir);
    void describeAll(int fd);
    void describe(int fd, const QString& name, bool isFolder);
    void sendBatch();
    // Hands a result to the lister on its own thread, unless it is gone or listing another.
    template <class Deliver>
    void post(Deliver deliver) const;

    QPointer<FolderLister> lister_;
    std::shared_ptr<Job> job_;
    QStringList folders_;
    QStringList files_;
    const QMimeDatabase types_;
    const QLocale locale_;
    QSet<QString> typesSent_;
    QJsonArray batch_;
    QJsonObject newTypes_;  // the types first met in this batch
    int sent_ = 0;
};

template <class Deliver>
void FolderLister::Listing::post(Deliver deliver) const {
    if (job_->cancelled) {
        return;
    }
    postTo(lister_, [job = job_, deliver = std::move(deliver)](FolderLister* lister) {
        if (!job->cancelled) {
            deliver(lister);
        }
    });
}

void FolderLister::list(const QString& folder) {
    if (job_) {
        job_->cancelled = true;
    }
    job_ = std::make_shared<Job>();
    runDetached([folder, lister = QPointer<FolderLister>(this), job = job_] {
        Listing(lister, job).run(folder);
    });
}

void FolderLister::Listing::run(const QString& folder) {
    DIR* dir = openFolder(folder);
    if (!dir) {
        post([](FolderLister* lister) { emit lister->finished(); });
        return;
    }
    readNames(dir);
    describeAll(::dirfd(dir));
    ::closedir(dir);
    if (!batch_.isEmpty()) {
        sendBatch();
    }
    post([](FolderLister* lister) { emit lister->finished(); });
}

DIR* FolderLister::Listing::openFolder(const QString& folder) {
    const QFileInfo info(folder);
    QString problem;
    if (!info.exists()) {
        problem = FolderLister::tr("The folder %1 does not exist.").arg(folder);
    } else if (!info.isDir()) {
        problem = FolderLister::tr("%1 is not a folder.").arg(folder);
    }
    const QString real = info.canonicalFilePath();
    const QByteArray path = QFile::encodeName(folder);
    DIR* dir = problem.isEmpty() ? ::opendir(path.constData()) : nullptr;
    if (problem.isEmpty() && !dir) {
        problem = FolderLister::tr("The folder %1 cannot be read.").arg(folder);
    }
    post([real, problem](FolderLister* lister) { emit lister->started(real, problem); });
    return dir;
}

void FolderLister::Listing::readNames(DIR* dir) {
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (job_->cancelled) {
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
        (isFolder ? folders_ : files_) << QFile::decodeName(raw);
    }
    sortNaturally(folders_);
    sortNaturally(files_);
}

void FolderLister::Listing::describeAll(int fd) {
    for (const QString& name : std::as_const(folders_)) {
        if (job_->cancelled) {
            break;
        }
        describe(fd, name, true);
    }
    for (const QString& name : std::as_const(files_)) {
        if (job_->cancelled) {
            break;
        }
        describe(fd, name, false);
    }
}

// Adds the entry [name, size, is a folder, type key, modified, attributes] to the batch, and
// sends the batch once it is full.
void FolderLister::Listing::describe(int fd, const QString& name, bool isFolder) {
    struct stat status;
    const QByteArray raw = QFile::encodeName(name);
    if (::fstatat(fd, raw.constData(), &status, 0) != 0 &&
        ::fstatat(fd, raw.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        status = {};
    }
    const QMimeType type = isFolder ? types_.mimeTypeForName(QStringLiteral("inode/directory"))
                                    : types_.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    if (!typesSent_.contains(type.name())) {
        typesSent_.insert(type.name());
        newTypes_[type.name()] = type.comment();
    }
    QString attributes;
    if (!(status.st_mode & S_IWUSR)) {
        attributes += u'R';
    }
    if (name.startsWith(u'.')) {
        attributes += u'H';
    }
    batch_.append(QJsonArray{
        name,
        isFolder ? 0.0 : double(status.st_size),
        isFolder ? 1 : 0,
        type.name(),
        locale_.toString(QDateTime::fromSecsSinceEpoch(status.st_mtim.tv_sec),
                         QLocale::ShortFormat),
        attributes,
    });
    if (batch_.size() >= (sent_ == 0 ? kFirstBatch : kBatch)) {
        sendBatch();
    }
}

void FolderLister::Listing::sendBatch() {
    post([batch = batch_, newTypes = newTypes_](FolderLister* lister) {
        emit lister->listed(batch, newTypes);
    });
    sent_ += int(batch_.size());
    batch_ = {};
    newTypes_ = {};
}

}  // namespace tessivane
