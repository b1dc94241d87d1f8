// SPDX-License-Identifier: MIT
#include "preview/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCollator>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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

// The first batch is small, so that the first rows show at once; later ones are larger. It is
// about a screenful: its names are put in order before the others are.
constexpr int kFirstBatch = 200;
constexpr int kBatch = 5000;

// What the listing has freed stays in the threads' heaps unless given back: the names' sort keys
// and the batches, made on the listing's thread and turned into the page's scripts on the
// window's, about 20 MiB at 100,000 entries. Called on the listing's thread, where the tens of
// milliseconds it may take hold up nothing that a person waits for.
void giveBackFreedMemory() {
    ::malloc_trim(0);
}

QCollator naturalCollator(const QLocale& locale) {
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// Names in natural order, put in order in two steps: the few that come first, then the rest.
// Names the collation finds equal keep the order they were given in, as a stable sort keeps it.
class NaturalOrder {
public:
    NaturalOrder(QStringList names, const QLocale& locale) : names_(std::move(names)) {
        const QCollator collator = naturalCollator(locale);
        keyed_.reserve(std::size_t(names_.size()));
        for (qsizetype i = 0; i < names_.size(); ++i) {
            keyed_.emplace_back(collator.sortKey(names_[i]), i);
        }
    }
    qsizetype size() const { return names_.size(); }
    // Puts the names from `from` on in order, or only the first `count` of them.
    void order(qsizetype from, qsizetype count) {
        const auto before = [](const auto& a, const auto& b) {
            const int c = a.first.compare(b.first);
            return c < 0 || (c == 0 && a.second < b.second);
        };
        const auto begin = keyed_.begin() + from;
        const auto middle = begin + std::min(count, size() - from);
        if (middle == keyed_.end()) {
            std::sort(begin, middle, before);
        } else {
            std::partial_sort(begin, middle, keyed_.end(), before);
        }
    }
    const QString& operator[](qsizetype i) const { return names_[keyed_[std::size_t(i)].second]; }
    // The names from `from` to `to` in the order they are put in.
    QStringList names(qsizetype from, qsizetype to) const {
        QStringList out;
        out.reserve(to - from);
        for (qsizetype i = from; i < to; ++i) {
            out << (*this)[i];
        }
        return out;
    }
    // Lets the names and their keys go.
    void clear() {
        names_ = {};
        keyed_ = {};
    }

private:
    QStringList names_;
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keyed_;
};

}  // namespace

struct FolderLister::Job {
    std::atomic<bool> cancelled{false};
};

void sortNaturally(QStringList& names, const QLocale& locale) {
    NaturalOrder order(std::move(names), locale);
    order.order(0, order.size());
    names = order.names(0, order.size());
}

FolderLister::~FolderLister() {
    if (job_) {
        job_->cancelled = true;
    }
}

// One listing, run on a thread of its own, in steps: open the folder, read the names, then
// describe each entry in page order, the first screenful put in order and sent before the rest is
// sorted. What it finds goes to the lister on the lister's thread, unless the lister is gone or
// listing another folder by then.
class FolderLister::Listing {
public:
    Listing(const QPointer<FolderLister>& lister, std::shared_ptr<Job> job)
        : lister_(lister), job_(std::move(job)) {}

    void run(const QString& folder);

private:
    // Opens the folder and sends started(); nullptr when it cannot be listed.
    DIR* openFolder(const QString& folder);
    // The names in the order the directory gives them; the folders among them known from the
    // directory where it says.
    void readNames(DIR* dir);
    void sendInOrder(int fd);
    void describeAll(int fd, const QStringList& names, bool isFolder);
    void describe(int fd, const QString& name, bool isFolder);
    // The time as the user's locale writes it; files made together share it, and the last few
    // are kept, formatting being slow.
    QString modified(qint64 seconds);
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
    QHash<qint64, QString> modified_;
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
    if (DIR* dir = openFolder(folder)) {
        readNames(dir);
        if (!job_->cancelled) {
            sendInOrder(::dirfd(dir));
        }
        ::closedir(dir);
    }
    giveBackFreedMemory();
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
}

// Sends the entries in page order, folders first. The sort keys are let go before the rest is
// statted.
void FolderLister::Listing::sendInOrder(int fd) {
    NaturalOrder folders(std::exchange(folders_, {}), locale_);
    NaturalOrder files(std::exchange(files_, {}), locale_);
    const qsizetype firstFolders = std::min<qsizetype>(kFirstBatch, folders.size());
    const qsizetype firstFiles = std::min<qsizetype>(kFirstBatch - firstFolders, files.size());
    folders.order(0, firstFolders);
    files.order(0, firstFiles);
    describeAll(fd, folders.names(0, firstFolders), true);
    describeAll(fd, files.names(0, firstFiles), false);
    if (!batch_.isEmpty()) {
        sendBatch();
    }
    folders.order(firstFolders, folders.size());
    files.order(firstFiles, files.size());
    const QStringList restOfFolders = folders.names(firstFolders, folders.size());
    const QStringList restOfFiles = files.names(firstFiles, files.size());
    folders.clear();
    files.clear();
    giveBackFreedMemory();
    describeAll(fd, restOfFolders, true);
    describeAll(fd, restOfFiles, false);
    if (!batch_.isEmpty()) {
        sendBatch();
    }
}

void FolderLister::Listing::describeAll(int fd, const QStringList& names, bool isFolder) {
    for (const QString& name : names) {
        if (job_->cancelled) {
            break;
        }
        describe(fd, name, isFolder);
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
        modified(status.st_mtim.tv_sec),
        attributes,
    });
    if (batch_.size() >= (sent_ == 0 ? kFirstBatch : kBatch)) {
        sendBatch();
    }
}

QString FolderLister::Listing::modified(qint64 seconds) {
    const auto found = modified_.constFind(seconds);
    if (found != modified_.constEnd()) {
        return *found;
    }
    if (modified_.size() > 1024) {
        modified_.clear();
    }
    return modified_[seconds] =
               locale_.toString(QDateTime::fromSecsSinceEpoch(seconds), QLocale::ShortFormat);
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
