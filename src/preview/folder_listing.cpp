// SPDX-License-Identifier: MIT
#include "preview/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCollator>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

namespace tessivane {

namespace {

// The first batch is small, so that the first rows show at once; later ones are larger. It is
// about a screenful: its names are put in order before the others are.
constexpr int kFirstBatch = 200;
constexpr int kBatch = 5000;

using Post = std::function<void(std::function<void(FolderLister*)>)>;

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

// The names in a folder, in the order the directory gives them; the folders among them known
// from the directory where it says.
struct Names {
    QStringList folders, files;
};

Names readNames(DIR* dir, const std::atomic<bool>& cancelled) {
    Names names;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (cancelled) {
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
        (isFolder ? names.folders : names.files) << QFile::decodeName(raw);
    }
    return names;
}

// Describes entries, [name, size, is a folder, type key, modified, attributes], and posts them
// in batches with the types first met in each.
class Describer {
public:
    Describer(int fd, Post post) : fd_(fd), post_(std::move(post)) {}

    void add(const QString& name, bool isFolder) {
        struct stat status;
        const QByteArray raw = QFile::encodeName(name);
        if (::fstatat(fd_, raw.constData(), &status, 0) != 0 &&
            ::fstatat(fd_, raw.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            status = {};
        }
        const QMimeType type = isFolder
                                   ? types_.mimeTypeForName(QStringLiteral("inode/directory"))
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
        batch_.append(QJsonArray{name, isFolder ? 0.0 : double(status.st_size), isFolder ? 1 : 0,
                                 type.name(), modified(status.st_mtim.tv_sec), attributes});
        if (batch_.size() >= (sent_ == 0 ? kFirstBatch : kBatch)) {
            flush();
        }
    }

    void flush() {
        if (batch_.isEmpty()) {
            return;
        }
        post_([batch = batch_, newTypes = newTypes_](FolderLister* lister) {
            emit lister->listed(batch, newTypes);
        });
        sent_ += int(batch_.size());
        batch_ = {};
        newTypes_ = {};
    }

private:
    // The time as the user's locale writes it; files made together share it, and the last few
    // are kept, formatting being slow.
    QString modified(qint64 seconds) {
        auto found = modified_.constFind(seconds);
        if (found != modified_.constEnd()) {
            return *found;
        }
        if (modified_.size() > 1024) {
            modified_.clear();
        }
        return modified_[seconds] =
                   locale_.toString(QDateTime::fromSecsSinceEpoch(seconds), QLocale::ShortFormat);
    }

    int fd_;
    Post post_;
    const QMimeDatabase types_;
    const QLocale locale_;
    QHash<qint64, QString> modified_;
    QSet<QString> typesSent_;
    QJsonArray batch_;
    QJsonObject newTypes_;
    int sent_ = 0;
};

// Describes the names in the order given, unless the job is cancelled.
void describe(Describer& describer, const QStringList& names, bool isFolder,
              const std::atomic<bool>& cancelled) {
    for (qsizetype i = 0; i < names.size() && !cancelled; ++i) {
        describer.add(names[i], isFolder);
    }
}

// Sends the entries in page order, folders first. The first screenful is put in order and sent
// before the rest of the names are sorted and each of them statted; the sort keys are let go
// before the rest is statted.
void sendInOrder(DIR* dir, Names names, const std::atomic<bool>& cancelled, const Post& post) {
    const QLocale locale;
    NaturalOrder folders(std::move(names.folders), locale);
    NaturalOrder files(std::move(names.files), locale);
    const qsizetype firstFolders = std::min<qsizetype>(kFirstBatch, folders.size());
    const qsizetype firstFiles = std::min<qsizetype>(kFirstBatch - firstFolders, files.size());
    folders.order(0, firstFolders);
    files.order(0, firstFiles);
    Describer describer(::dirfd(dir), post);
    describe(describer, folders.names(0, firstFolders), true, cancelled);
    describe(describer, files.names(0, firstFiles), false, cancelled);
    describer.flush();
    folders.order(firstFolders, folders.size());
    files.order(firstFiles, files.size());
    const QStringList restOfFolders = folders.names(firstFolders, folders.size());
    const QStringList restOfFiles = files.names(firstFiles, files.size());
    folders.clear();
    files.clear();
    giveBackFreedMemory();
    describe(describer, restOfFolders, true, cancelled);
    describe(describer, restOfFiles, false, cancelled);
    describer.flush();
}

}  // namespace

struct FolderLister::Job {
    std::atomic<bool> cancelled{false};
};

void sortNaturally(QStringList& names, const QLocale& locale) {
    NaturalOrder order(names, locale);
    order.order(0, order.size());
    names = order.names(0, order.size());
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
    const Post post = [self, job](std::function<void(FolderLister*)> deliver) {
        if (job->cancelled || !QCoreApplication::instance()) {
            return;
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, job, deliver = std::move(deliver)] {
                if (self && !job->cancelled) {
                    deliver(self.data());
                }
            },
            Qt::QueuedConnection);
    };
    std::thread([folder, job, post] {
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
        if (dir) {
            Names names = readNames(dir, job->cancelled);
            if (!job->cancelled) {
                sendInOrder(dir, std::move(names), job->cancelled, post);
            }
            ::closedir(dir);
        }
        giveBackFreedMemory();
        post([](FolderLister* lister) { emit lister->finished(); });
    }).detach();
}

}  // namespace tessivane
