// SPDX-License-Identifier: MIT
#include "controls/file_services.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QFile>
#include <QRandomGenerator>

#include "controls/windows_attributes.h"
#include "document/line_map.h"

namespace tessivane {
namespace {

FileError failure(FileError::Kind kind, QString reason) {
    return {kind, std::move(reason)};
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

FileError systemFailure(int error) {
    return failure(FileError::Kind::Other, systemReason(error));
}

// Checks the name before anything is touched; the native bytes of an acceptable one.
std::optional<FileError> checkName(const QString& path) {
    if (path.isEmpty()) {
        return failure(FileError::Kind::Other, QStringLiteral("no file name was given"));
    }
    if (!isFaithfulName(path)) {
        return failure(FileError::Kind::InvalidName, {});
    }
    return std::nullopt;
}

FileError notRegular(const struct stat& info) {
    return failure(FileError::Kind::NotRegularFile,
                   S_ISDIR(info.st_mode) ? QStringLiteral("it is a folder")
                                         : QStringLiteral("it is not a regular file"));
}

FileStamp stampOf(const struct stat& info) {
    return {static_cast<long long>(info.st_size),
            static_cast<long long>(info.st_mtim.tv_sec) * 1'000'000'000LL + info.st_mtim.tv_nsec};
}

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~Descriptor() { reset(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, offset);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        data += written;
        size -= std::size_t(written);
        offset += written;
    }
    return true;
}

// The whole content of an open file; throws std::bad_alloc when it does not fit in memory.
std::optional<std::string> readAll(int fd, const struct stat& info) {
    std::string bytes;
    bytes.reserve(std::size_t(info.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(chunk, std::size_t(got));
    }
}

// The file a save goes to: an open folder and a name in it that is not a symbolic link.
struct Target {
    Descriptor folder;
    std::string name;
    QString folderPath;                   // for messages
    std::optional<struct stat> existing;  // the file there now, if any
};

QString pathOfDescriptor(int fd, const std::string& fallback) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    std::string path(4096, '\0');
    const ssize_t size = ::readlink(link, path.data(), path.size());
    return QFile::decodeName(size > 0 ? QByteArray(path.data(), size)
                                      : QByteArray::fromStdString(fallback));
}

// Follows the path the way the system does: the folder part is opened by the system (links and
// ".." resolved in that order), and a last component that is a symbolic link is followed, to the
// end of the chain. A missing last target is where the file will be created.
std::optional<FileError> resolveTarget(const QByteArray& path, Target& target) {
    std::string current = path.toStdString();
    Descriptor base;  // the folder a relative link target is relative to; none: the current one
    for (int hops = 0;; ++hops) {
        const std::size_t slash = current.rfind('/');
        const std::string folder = slash == std::string::npos ? "."
                                   : slash == 0               ? "/"
                                                              : current.substr(0, slash);
        std::string name = slash == std::string::npos ? current : current.substr(slash + 1);
        const int at = base.valid() ? base.get() : AT_FDCWD;
        Descriptor opened(::openat(at, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!opened.valid() && errno == EACCES) {  // a folder that may be searched but not listed
            opened.reset(::openat(at, folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        }
        if (!opened.valid()) {
            if (errno == ENOENT || errno == ENOTDIR) {
                return failure(FileError::Kind::Other,
                               QStringLiteral("the folder '%1' does not exist")
                                   .arg(QFile::decodeName(QByteArray::fromStdString(folder))));
            }
            return systemFailure(errno);
        }
        if (name.empty() || name == "." || name == "..") {
            return failure(FileError::Kind::NotRegularFile, QStringLiteral("it is a folder"));
        }
        struct stat info {};
        const bool exists = ::fstatat(opened.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
        if (!exists && errno != ENOENT) {
            return systemFailure(errno);
        }
        if (!exists || !S_ISLNK(info.st_mode)) {
            if (exists) {
                target.existing = info;
            }
            target.folderPath = pathOfDescriptor(opened.get(), folder);
            target.folder = std::move(opened);
            target.name = std::move(name);
            return std::nullopt;
        }
        if (hops >= 40) {
            return systemFailure(ELOOP);
        }
        std::string link(4096, '\0');
        const ssize_t size = ::readlinkat(opened.get(), name.c_str(), link.data(), link.size());
        if (size < 0) {
            return systemFailure(errno);
        }
        current.assign(link.data(), std::size_t(size));
        base = std::move(opened);
    }
}

// A save writes its new file under a hidden name of its own in the target's folder, then renames
// it over the target. Names are ".tessivane-save-PID-RANDOM", short enough for any folder;
// whatever a killed save left is removed by the next save into the same folder.
const std::string kSavePrefix = ".tessivane-save-";

// Removes what saves of processes that no longer run left in the folder.
void removeLeftovers(int folder) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return;
    }
    DIR* entries = ::fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string name = entry->d_name;
        if (name.compare(0, kSavePrefix.size(), kSavePrefix) != 0) {
            continue;
        }
        const long long pid = std::atoll(name.c_str() + kSavePrefix.size());
        if (pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) {
            stale.push_back(name);
        }
    }
    for (const std::string& name : stale) {
        ::unlinkat(folder, name.c_str(), 0);
    }
    ::closedir(entries);
}

// The extended attributes of a file (its ACL among them), by name.
std::optional<std::vector<std::pair<std::string, std::string>>> attributesOf(int fd) {
    std::vector<std::pair<std::string, std::string>> attributes;
    const ssize_t listSize = ::flistxattr(fd, nullptr, 0);
    if (listSize < 0) {
        return errno == ENOTSUP ? std::make_optional(attributes) : std::nullopt;
    }
    std::string names(std::size_t(listSize), '\0');
    const ssize_t got = ::flistxattr(fd, names.data(), names.size());
    if (got < 0) {
        return std::nullopt;
    }
    names.resize(std::size_t(got));
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const std::string name = names.c_str() + at;
        const ssize_t valueSize = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (valueSize < 0) {
            return std::nullopt;
        }
        std::string value(std::size_t(valueSize), '\0');
        const ssize_t read = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (read < 0) {
            return std::nullopt;
        }
        value.resize(std::size_t(read));
        attributes.emplace_back(name, std::move(value));
    }
    return attributes;
}

// Gives a new, still empty file everything the old one had besides its content: owner and group,
// permission bits, exactly the old file's extended attributes (a folder's default ACL or others
// that the new file inherited are taken off again), and the attributes that Windows reads where
// the volume keeps them (hidden, system...). False when any of it cannot be given.
bool copyMetadata(int from, const struct stat& old, int to) {
    struct stat created {};
    if (::fstat(to, &created) != 0) {
        return false;
    }
    if ((created.st_uid != old.st_uid || created.st_gid != old.st_gid) &&
        ::fchown(to, old.st_uid, old.st_gid) != 0) {
        return false;
    }
    if (::fchmod(to, old.st_mode & 07777) != 0) {  // after fchown, which clears set-id bits
        return false;
    }
    const auto wanted = attributesOf(from);
    const auto inherited = attributesOf(to);
    if (!wanted || !inherited) {
        return false;
    }
    for (const auto& [name, value] : *inherited) {
        bool kept = false;
        for (const auto& attribute : *wanted) {
            kept = kept || attribute.first == name;
        }
        if (!kept && ::fremovexattr(to, name.c_str()) != 0) {
            return false;
        }
    }
    for (const auto& [name, value] : *wanted) {
        if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) {
            return false;
        }
    }
    const auto windows = readWindowsAttributes(from);
    return !windows || writeWindowsAttributes(to, *windows);
}

enum class Replaced { Done, Failed, NotWithoutLoss };

// Writes the bytes to a new file in the folder and renames it over the name. When the old file's
// metadata cannot be given to the new file, or the folder may not be written, nothing is changed
// and NotWithoutLoss is answered.
Replaced replaceByRename(const Target& target, const std::string& bytes,
                         const std::optional<struct stat>& old, FileError& error) {
    const int folder = target.folder.get();
    std::string hidden;
    Descriptor file;
    for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
        hidden = kSavePrefix + std::to_string(::getpid()) + "-" +
                 std::to_string(QRandomGenerator::global()->bounded(1'000'000));
        // Created private; the old file's mode is given before any content is written.
        file.reset(::openat(folder, hidden.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            old ? 0600 : 0666));
        if (!file.valid() && errno != EEXIST) {
            break;
        }
    }
    if (!file.valid()) {
        if (old && (errno == EACCES || errno == EPERM)) {
            return Replaced::NotWithoutLoss;
        }
        error = errno == EACCES ? failure(FileError::Kind::Other,
                                          QStringLiteral("the folder '%1' cannot be written: %2")
                                              .arg(target.folderPath, systemReason(errno)))
                                : systemFailure(errno);
        return Replaced::Failed;
    }
    const auto drop = [&] { ::unlinkat(folder, hidden.c_str(), 0); };
    if (old) {
        Descriptor previous(
            ::openat(folder, target.name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
        if (!previous.valid() || !copyMetadata(previous.get(), *old, file.get())) {
            drop();
            return Replaced::NotWithoutLoss;
        }
    }
    if (!writeAll(file.get(), bytes.data(), bytes.size(), 0) || ::fsync(file.get()) != 0 ||
        ::close(file.release()) != 0) {
        error = systemFailure(errno);
        drop();
        return Replaced::Failed;
    }
    if (::renameat(folder, hidden.c_str(), folder, target.name.c_str()) != 0) {
        error = systemFailure(errno);
        drop();
        return Replaced::Failed;
    }
    ::fsync(folder);  // the new name on disk too; a folder opened only to search may refuse
    removeLeftovers(folder);
    return Replaced::Done;
}

// Writes the bytes over the file's old content. The old content is kept in memory until the new
// one is on disk, and written back on any failure.
std::optional<FileError> writeInPlace(const Target& target, const std::string& bytes) {
    Descriptor file(
        ::openat(target.folder.get(), target.name.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (!file.valid()) {
        return errno == EACCES || errno == EPERM || errno == EROFS
                   ? failure(FileError::Kind::NotWritable, systemReason(errno))
                   : systemFailure(errno);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return systemFailure(errno);
    }
    const auto old = readAll(file.get(), info);
    if (!old) {
        return systemFailure(errno);
    }
    if (writeAll(file.get(), bytes.data(), bytes.size(), 0) &&
        ::ftruncate(file.get(), off_t(bytes.size())) == 0 && ::fsync(file.get()) == 0) {
        return std::nullopt;
    }
    const int cause = errno;
    writeAll(file.get(), old->data(), old->size(), 0);
    if (::ftruncate(file.get(), off_t(old->size())) == 0) {
        ::fsync(file.get());
    }
    return systemFailure(cause);
}

FileError save(const std::string& bytes, const QString& path) {
    Target target;
    if (auto refused = resolveTarget(QFile::encodeName(path), target)) {
        return *refused;
    }
    const int folder = target.folder.get();
    const std::optional<struct stat>& old = target.existing;
    if (old) {
        if (!S_ISREG(old->st_mode)) {
            return notRegular(*old);
        }
        // By the bits, because root may write any file.
        if ((old->st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return failure(FileError::Kind::NotWritable, QStringLiteral("the file is read-only"));
        }
        if (::faccessat(folder, target.name.c_str(), W_OK, AT_EACCESS) != 0) {
            return failure(FileError::Kind::NotWritable, systemReason(errno));
        }
    }
    FileError error;
    if (!old || old->st_nlink == 1) {
        switch (replaceByRename(target, bytes, old, error)) {
            case Replaced::Done:
                return {};
            case Replaced::Failed:
                return error;
            case Replaced::NotWithoutLoss:
                break;
        }
    }
    if (auto failed = writeInPlace(target, bytes)) {
        return *failed;
    }
    return {};
}

LoadResult load(const QString& path) {
    LoadResult result;
    Descriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0) {
        result.error = systemFailure(errno);
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.error = notRegular(info);
        return result;
    }
    const auto bytes = readAll(file.get(), info);
    if (!bytes) {
        result.error = systemFailure(errno);
        return result;
    }
    result.document = WorkingDocument::fromBytes(*bytes);
    result.stamp = stampOf(info);
    return result;
}

}  // namespace

LoadResult loadDocument(const QString& path) {
    if (auto refused = checkName(path)) {
        return {{}, *refused, {}};
    }
    try {
        return load(path);
    } catch (const std::bad_alloc&) {
        return {{}, systemFailure(ENOMEM), {}};
    }
}

FileError saveDocument(const WorkingDocument& document, const QString& path) {
    if (auto refused = checkName(path)) {
        return *refused;
    }
    try {
        return save(document.toBytes(), path);
    } catch (const std::bad_alloc&) {
        return systemFailure(ENOMEM);
    }
}

FileError saveBytes(const std::string& bytes, const QString& path) {
    if (auto refused = checkName(path)) {
        return *refused;
    }
    try {
        return save(bytes, path);
    } catch (const std::bad_alloc&) {
        return systemFailure(ENOMEM);
    }
}

bool isFaithfulName(const QString& path) {
    return !path.contains(QChar::ReplacementCharacter);
}

FileStamp fileStamp(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return {};
    }
    return stampOf(info);
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
