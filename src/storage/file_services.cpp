// SPDX-License-Identifier: MIT
#include "storage/file_services.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <climits>
#include <csignal>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <functional>
#include <string_view>

#include "document/desktop_ini.h"
#include "document/text_encoding.h"
#include "storage/descriptor.h"
#include "storage/signal_handlers.h"
#include "storage/windows_attributes.h"

namespace tessivane {
namespace {

// What a save writes: handed to the sink piece by piece, so that a large document is never
// copied whole; false when the sink refused a piece.
using Sink = std::function<bool(std::string_view)>;
using Content = std::function<bool(const Sink&)>;

FileError failure(FileError::Kind kind, QString reason) {
    return {kind, std::move(reason)};
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

FileError systemFailure(int error) {
    return failure(FileError::Kind::Other, systemReason(error));
}

QString decoded(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// Checks the name before anything is touched.
std::optional<FileError> checkName(const QString& path) {
    if (path.isEmpty()) {
        return failure(FileError::Kind::Other,
                       QCoreApplication::translate("FileServiceReasons", "no file name was given"));
    }
    if (!isFaithfulName(path)) {
        return failure(FileError::Kind::InvalidName, {});
    }
    return std::nullopt;
}

FileError notRegular(const struct stat& info) {
    return failure(
        FileError::Kind::NotRegularFile,
        S_ISDIR(info.st_mode)
            ? QCoreApplication::translate("FileServiceReasons", "it is a folder")
            : QCoreApplication::translate("FileServiceReasons", "it is not a regular file"));
}

long long nanoseconds(const timespec& time) {
    return static_cast<long long>(time.tv_sec) * 1'000'000'000LL + time.tv_nsec;
}

FileStamp stampOf(const struct stat& info) {
    return {static_cast<unsigned long long>(info.st_dev),
            static_cast<unsigned long long>(info.st_ino), static_cast<long long>(info.st_size),
            nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

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

// Writes the content from the start of the file; the file's size after it.
std::optional<off_t> writeContent(int fd, const Content& content) {
    off_t offset = 0;
    const bool written = content([&](std::string_view piece) {
        if (!writeAll(fd, piece.data(), piece.size(), offset)) {
            return false;
        }
        offset += off_t(piece.size());
        return true;
    });
    return written ? std::make_optional(offset) : std::nullopt;
}

// Copies the content of one open file into another from its start, without holding it in
// memory: the whole of it, or its first `limit` bytes when a limit is given; the number of bytes
// copied.
std::optional<off_t> copyContent(int from, int to, std::optional<off_t> limit = std::nullopt) {
    off_t in = 0;
    off_t out = 0;
    const auto wanted = [&](std::size_t most) {
        return limit ? std::min(most, std::size_t(*limit - in)) : most;
    };
    for (;;) {
        if (wanted(1) == 0) {
            return out;
        }
        const ssize_t copied =
            ::copy_file_range(from, &in, to, &out, wanted(std::size_t(1) << 30), 0);
        if (copied == 0) {
            return out;
        }
        if (copied > 0) {
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
            return std::nullopt;
        }
        break;  // across file systems, or where the system cannot: through a buffer
    }
    std::vector<char> buffer(std::size_t(1) << 20);
    for (;;) {
        if (wanted(1) == 0) {
            return out;
        }
        const ssize_t got = ::pread(from, buffer.data(), wanted(buffer.size()), in);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return out;
        }
        if (!writeAll(to, buffer.data(), std::size_t(got), out)) {
            return std::nullopt;
        }
        in += got;
        out += got;
    }
}

// What SIGTERM, SIGINT and SIGHUP do while a save runs. While the save writes a file of its own
// (the new file or a recovery copy) the handler removes that file and ends the program; while it
// writes over the target in place, the signal is kept until the save has finished. Outside those
// stretches it ends the program at once. It uses only async-signal-safe calls, and the state it
// reads is set before the stretch it covers begins.
class SignalGuard {
public:
    SignalGuard() : handlers_(onSignal) {}
    ~SignalGuard() {
        handlers_.reset();
        const int deferred = deferred_.exchange(0);
        mode_ = End;
        if (deferred != 0) {
            ::_exit(128 + deferred);
        }
    }
    SignalGuard(const SignalGuard&) = delete;
    SignalGuard& operator=(const SignalGuard&) = delete;

    // A signal removes this file of the folder, then ends the program.
    void removeOnSignal(int folder, const std::string& name) {
        mode_ = End;
        const std::size_t size = std::min(name.size(), sizeof name_ - 1);
        std::memcpy(name_, name.data(), size);
        name_[size] = '\0';
        folder_ = folder;
        mode_ = Remove;
    }
    // A signal waits until the save has finished.
    void finishFirst() { mode_ = Finish; }
    // A signal ends the program at once.
    void nothingToRemove() { mode_ = End; }

private:
    enum Mode { End, Remove, Finish };

    static void onSignal(int signal) {
        switch (mode_.load()) {
            case Finish:
                deferred_ = signal;
                return;
            case Remove:
                ::unlinkat(folder_.load(), name_, 0);
                [[fallthrough]];
            default:
                ::_exit(128 + signal);
        }
    }

    static inline std::atomic<int> mode_{End};
    static inline std::atomic<int> folder_{-1};
    static inline std::atomic<int> deferred_{0};
    static inline char name_[NAME_MAX + 1] = {};
    std::optional<SignalHandlers> handlers_;
};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free state");
// The file a save goes to: an open folder and a name in it that is not a symbolic link.
struct Target {
    Descriptor folder;
    std::string name;
    std::string folderBytes;              // the folder's full path, as the system names it
    QString folderPath;                   // the same, for messages
    std::optional<struct stat> existing;  // the file there now, if any
};

std::string pathOfDescriptor(int fd, const std::string& fallback) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    std::string path(PATH_MAX, '\0');
    const ssize_t size = ::readlink(link, path.data(), path.size());
    return size > 0 ? path.substr(0, std::size_t(size)) : fallback;
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
                               QCoreApplication::translate("FileServiceReasons",
                                                           "the folder '%1' does not exist")
                                   .arg(decoded(folder)));
            }
            return systemFailure(errno);
        }
        if (name.empty() || name == "." || name == "..") {
            return failure(FileError::Kind::NotRegularFile,
                           QCoreApplication::translate("FileServiceReasons", "it is a folder"));
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
            target.folderBytes = pathOfDescriptor(opened.get(), folder);
            target.folderPath = decoded(target.folderBytes);
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
// it over the target. Names are ".tessivane-save-PID-RANDOM", both decimal, short enough for any
// folder; what a killed save left is removed by the next save into the same folder: exactly such
// names, and only those whose process no longer runs.
const std::string kSavePrefix = ".tessivane-save-";

bool isDecimal(std::string_view text, std::size_t maxDigits) {
    return !text.empty() && text.size() <= maxDigits &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The process that named a hidden file of ours, or 0 when the name is not exactly our pattern.
pid_t saverOf(std::string_view name) {
    if (!name.starts_with(kSavePrefix)) {
        return 0;
    }
    name.remove_prefix(kSavePrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || !isDecimal(name.substr(0, dash), 9) || name[0] == '0' ||
        !isDecimal(name.substr(dash + 1), 6)) {
        return 0;
    }
    return pid_t(std::atol(std::string(name.substr(0, dash)).c_str()));
}

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
        const pid_t saver = saverOf(entry->d_name);
        if (saver > 0 && saver != ::getpid() && ::kill(saver, 0) != 0 && errno == ESRCH) {
            stale.emplace_back(entry->d_name);
        }
    }
    for (const std::string& name : stale) {
        ::unlinkat(folder, name.c_str(), 0);
    }
    ::closedir(entries);
}

// Creates a new, empty file of ours under a hidden save name in the folder (see kSavePrefix),
// which a signal then removes; errno tells why when none could be created.
Descriptor createHidden(int folder, mode_t mode, SignalGuard& guard, std::string& hidden) {
    Descriptor file;
    for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
        hidden = kSavePrefix + std::to_string(::getpid()) + "-" +
                 std::to_string(QRandomGenerator::global()->bounded(1'000'000));
        guard.removeOnSignal(folder, hidden);
        file.reset(::openat(folder, hidden.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (!file.valid() && errno != EEXIST) {
            break;
        }
    }
    if (!file.valid()) {
        const int cause = errno;
        guard.nothingToRemove();
        errno = cause;
    }
    return file;
}

// A save in place first copies the file's content to ".NAME.tessivane-recovery" beside it, or,
// where the folder may not be written, that name is taken or would be too long, to the user's
// state folder, under a name made of a hash of the file's full path and the file's name. The
// copy is written under a hidden save name, synced, and only then renamed to its own name, so
// that nothing cut short is ever found under that name.
//
// A copy is the file's old content followed by a record of 64 bytes that makes it check itself:
//   bytes  0-7   "TSVCOPY1"
//   bytes  8-15  the length of the old content, unsigned, little-endian
//   bytes 16-23  the device number of the file it was made from (st_dev), the same way
//   bytes 24-31  that file's inode number (st_ino), the same way
//   bytes 32-63  the SHA-256 of the old content followed by bytes 0-31 of the record
// A copy is used (offered, restored, and holding back every save) only when it is a regular file
// of the effective user that no one else may write, with one link, whose record is whole, whose
// digest matches and which was made from the very file it is found for. Any other file under a
// copy's name is untrusted: it is named to the user, never restored, and never holds back a save.
const std::string kRecoverySuffix = ".tessivane-recovery";
constexpr char kCopyMagic[8] = {'T', 'S', 'V', 'C', 'O', 'P', 'Y', '1'};
constexpr std::size_t kRecordSize = 64;
constexpr std::size_t kRecordHead = 32;  // the part of the record that the digest covers

std::string besideName(const std::string& name) {
    std::string beside = "." + name + kRecoverySuffix;
    return beside.size() <= NAME_MAX ? beside : std::string();
}

// Every folder a save may have put a copy in, the one new copies go to first:
// $XDG_STATE_HOME/tessivane/recovery, $HOME/.local/state/tessivane/recovery and the same below
// the home folder the user database names, since the environment may differ from run to run.
std::vector<std::string> stateFolderPaths() {
    std::vector<std::string> paths;
    const auto add = [&](const char* base, const char* below) {
        if (base != nullptr && base[0] == '/') {
            const std::string path = std::string(base) + below + "tessivane/recovery";
            if (std::find(paths.begin(), paths.end(), path) == paths.end()) {
                paths.push_back(path);
            }
        }
    };
    add(std::getenv("XDG_STATE_HOME"), "/");
    add(std::getenv("HOME"), "/.local/state/");
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr) {
        add(found->pw_dir, "/.local/state/");
    }
    return paths;
}

// The folder new copies go to, made private (with the folders above it that are missing).
Descriptor openStateFolder(const std::string& path) {
    if (path.empty()) {
        errno = ENOENT;
        return Descriptor();
    }
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        if (::mkdir(path.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) {
            return Descriptor();
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return Descriptor(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

std::string stateName(const Target& target) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the file's full path
    for (const char c : target.folderBytes + "/" + target.name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    std::size_t keep = std::min<std::size_t>(target.name.size(), 200);
    while (keep > 0 && keep < target.name.size() && (target.name[keep] & 0xC0) == 0x80) {
        --keep;  // not inside a UTF-8 character
    }
    return std::string(hex) + "-" + target.name.substr(0, keep);
}

void putNumber(char* at, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        at[i] = char((value >> (8 * i)) & 0xFF);
    }
}

std::uint64_t getNumber(const char* at) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(at[i]);
    }
    return value;
}

// The SHA-256 of the file's first `length` bytes followed by the record's head.
std::optional<QByteArray> copyDigest(int fd, off_t length, const char* head) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> buffer(std::size_t(1) << 20);
    for (off_t at = 0; at < length;) {
        const ssize_t got =
            ::pread(fd, buffer.data(), std::min(buffer.size(), std::size_t(length - at)), at);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return std::nullopt;
        }
        hash.addData(QByteArrayView(buffer.data(), got));
        at += got;
    }
    hash.addData(QByteArrayView(head, qsizetype(kRecordHead)));
    return hash.result();
}

struct RecoveryPlace {
    Descriptor folder;
    std::string name;
    std::string path;      // for messages
    Descriptor file;       // the copy, open for reading, once it has been checked
    off_t length = 0;      // of the old content in it
    QString untrustedWhy;  // empty for a copy of ours
};

// Checks the file under a copy's name: a copy of ours of the target, or why not.
void check(RecoveryPlace& copy, const Target& target) {
    struct stat info {};
    if (::fstatat(copy.folder.get(), copy.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode)) {
        copy.file.reset(::openat(copy.folder.get(), copy.name.c_str(),
                                 O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (!copy.file.valid() || ::fstat(copy.file.get(), &info) != 0) {
            copy.untrustedWhy =
                QCoreApplication::translate("FileServiceReasons", "it cannot be read: %1")
                    .arg(systemReason(errno));
            return;
        }
    }
    char record[kRecordSize];
    if (!S_ISREG(info.st_mode)) {
        copy.untrustedWhy = notRegular(info).reason;
    } else if (info.st_uid != ::geteuid()) {
        copy.untrustedWhy =
            QCoreApplication::translate("FileServiceReasons", "it belongs to another user");
    } else if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        copy.untrustedWhy = QCoreApplication::translate("FileServiceReasons",
                                                        "users other than its owner may change it");
    } else if (info.st_nlink != 1) {
        copy.untrustedWhy =
            QCoreApplication::translate("FileServiceReasons", "it has more than one link");
    } else if (info.st_size < off_t(kRecordSize) ||
               ::pread(copy.file.get(), record, kRecordSize, info.st_size - off_t(kRecordSize)) !=
                   ssize_t(kRecordSize) ||
               std::memcmp(record, kCopyMagic, sizeof kCopyMagic) != 0 ||
               getNumber(record + 8) != std::uint64_t(info.st_size) - kRecordSize) {
        copy.untrustedWhy = QCoreApplication::translate("FileServiceReasons",
                                                        "it is incomplete or no recovery copy");
    } else if (!target.existing || getNumber(record + 16) != target.existing->st_dev ||
               getNumber(record + 24) != target.existing->st_ino) {
        copy.untrustedWhy =
            QCoreApplication::translate("FileServiceReasons", "it was made for another file");
    } else {
        copy.length = off_t(getNumber(record + 8));
        const auto digest = copyDigest(copy.file.get(), copy.length, record);
        if (!digest || *digest != QByteArray(record + kRecordHead, kRecordSize - kRecordHead)) {
            copy.untrustedWhy = QCoreApplication::translate(
                "FileServiceReasons", "its content does not match its record");
        }
    }
    if (!copy.untrustedWhy.isEmpty()) {
        copy.file.reset();
    }
}

// What is found under the names a save may have given a copy of the target: the copy of ours,
// if any, and every untrusted file.
struct FoundCopies {
    std::optional<RecoveryPlace> ours;
    std::vector<RecoveryPlace> untrusted;
};

FoundCopies findRecoveryCopies(const Target& target) {
    FoundCopies found;
    const auto look = [&](Descriptor folder, const std::string& name, const std::string& path) {
        struct stat info {};
        if (!folder.valid() || name.empty() ||
            ::fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return;
        }
        RecoveryPlace copy{std::move(folder), name, path + "/" + name, Descriptor(), 0, {}};
        check(copy, target);
        if (!copy.untrustedWhy.isEmpty()) {
            found.untrusted.push_back(std::move(copy));
        } else if (!found.ours) {
            found.ours = std::move(copy);
        }
    };
    look(Descriptor(::fcntl(target.folder.get(), F_DUPFD_CLOEXEC, 0)), besideName(target.name),
         target.folderBytes);
    for (const std::string& state : stateFolderPaths()) {
        look(Descriptor(::open(state.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
             stateName(target), state);
    }
    return found;
}

// Removes the copy, and its name from the disk; false, with errno, when it stays.
bool removeCopy(const RecoveryPlace& copy) {
    if (::unlinkat(copy.folder.get(), copy.name.c_str(), 0) != 0) {
        return false;
    }
    ::fsync(copy.folder.get());
    return true;
}

// Writes a copy of the open file with its record under a hidden name in the folder, syncs it and
// gives it its name there, which must be free; errno tells why when it could not.
bool placeCopy(int file, const struct stat& old, RecoveryPlace& copy, SignalGuard& guard) {
    const int folder = copy.folder.get();
    std::string hidden;
    Descriptor written = createHidden(folder, 0600, guard, hidden);
    if (!written.valid()) {
        return false;
    }
    const auto length = copyContent(file, written.get());
    char record[kRecordSize] = {};
    std::memcpy(record, kCopyMagic, sizeof kCopyMagic);
    putNumber(record + 8, length ? std::uint64_t(*length) : 0);
    putNumber(record + 16, old.st_dev);
    putNumber(record + 24, old.st_ino);
    const auto digest = length ? copyDigest(written.get(), *length, record) : std::nullopt;
    if (digest) {
        std::memcpy(record + kRecordHead, digest->constData(), kRecordSize - kRecordHead);
    }
    bool placed = digest && writeAll(written.get(), record, kRecordSize, *length) &&
                  ::fsync(written.get()) == 0;
    bool linked = false;
    if (placed) {
        placed =
            ::renameat2(folder, hidden.c_str(), folder, copy.name.c_str(), RENAME_NOREPLACE) == 0;
        if (!placed && errno == EINVAL) {  // a file system that cannot rename that way
            placed = linked = ::linkat(folder, hidden.c_str(), folder, copy.name.c_str(), 0) == 0;
        }
    }
    const int cause = errno;
    if (!placed || linked) {
        ::unlinkat(folder, hidden.c_str(), 0);
    }
    if (!placed) {
        guard.nothingToRemove();
        errno = cause;
        return false;
    }
    guard.removeOnSignal(folder, copy.name);  // until the file itself is touched
    ::fsync(folder);  // the copy's name is on disk before the file is touched
    copy.file = std::move(written);
    copy.length = *length;
    return true;
}

// Writes a recovery copy of the open file and syncs it, its name included: beside it, or in the
// state folder.
std::optional<FileError> makeRecoveryCopy(const Target& target, int file, const struct stat& old,
                                          SignalGuard& guard, RecoveryPlace& copy) {
    copy.name = besideName(target.name);
    int besideError = ENAMETOOLONG;
    struct stat taken {};
    if (!copy.name.empty() &&
        ::fstatat(target.folder.get(), copy.name.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
        copy.name.clear();  // an untrusted file has the name
        besideError = EEXIST;
    }
    if (!copy.name.empty()) {
        copy.folder.reset(::fcntl(target.folder.get(), F_DUPFD_CLOEXEC, 0));
        copy.path = target.folderBytes + "/" + copy.name;
        if (placeCopy(file, old, copy, guard)) {
            return std::nullopt;
        }
        besideError = errno;
    }
    const std::string state = stateFolderPaths().empty() ? "" : stateFolderPaths().front();
    copy.folder = openStateFolder(state);
    copy.name = stateName(target);
    copy.path = state + "/" + copy.name;
    if (copy.folder.valid() && placeCopy(file, old, copy, guard)) {
        return std::nullopt;
    }
    return failure(
        FileError::Kind::Other,
        QCoreApplication::translate("FileServiceReasons",
                                    "no copy of it for recovery could be written beside it "
                                    "(%1) nor in '%2' (%3)")
            .arg(systemReason(besideError), decoded(state), systemReason(errno)));
}

// Writes the old content the checked copy holds over the file's and syncs it.
bool putBack(const RecoveryPlace& copy, int file) {
    const auto size = copyContent(copy.file.get(), file, copy.length);
    return size && *size == copy.length && ::ftruncate(file, *size) == 0 && ::fsync(file) == 0;
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

// Writes the document to a new file in the folder and renames it over the name. When the old
// file's metadata cannot be given to the new file, or the folder may not be written, nothing is
// changed and NotWithoutLoss is answered.
Replaced replaceByRename(const Target& target, const Content& content,
                         const std::optional<struct stat>& old, SignalGuard& guard,
                         FileStamp* saved, FileError& error) {
    const int folder = target.folder.get();
    std::string hidden;
    // Created private; the old file's mode is given before any content is written.
    Descriptor file = createHidden(folder, old ? 0600 : 0666, guard, hidden);
    if (!file.valid()) {
        if (old && (errno == EACCES || errno == EPERM)) {
            return Replaced::NotWithoutLoss;
        }
        error = errno == EACCES
                    ? failure(FileError::Kind::Other,
                              QCoreApplication::translate("FileServiceReasons",
                                                          "the folder '%1' cannot be written: %2")
                                  .arg(target.folderPath, systemReason(errno)))
                    : systemFailure(errno);
        return Replaced::Failed;
    }
    const auto drop = [&] {
        ::unlinkat(folder, hidden.c_str(), 0);
        guard.nothingToRemove();
    };
    if (old) {
        Descriptor previous(
            ::openat(folder, target.name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
        if (!previous.valid() || !copyMetadata(previous.get(), *old, file.get())) {
            drop();
            return Replaced::NotWithoutLoss;
        }
    }
    if (!writeContent(file.get(), content) || ::fsync(file.get()) != 0 ||
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
    guard.nothingToRemove();
    ::fsync(folder);  // the new name on disk too; a folder opened only to search may refuse
    struct stat info {};
    if (saved != nullptr &&
        ::fstatat(folder, target.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        *saved = stampOf(info);
    }
    removeLeftovers(folder);
    return Replaced::Done;
}

// Opens the target itself for writing over its content.
std::optional<FileError> openInPlace(const Target& target, Descriptor& file) {
    file.reset(::openat(target.folder.get(), target.name.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (!file.valid()) {
        return errno == EACCES || errno == EPERM || errno == EROFS
                   ? failure(FileError::Kind::NotWritable, systemReason(errno))
                   : systemFailure(errno);
    }
    return std::nullopt;
}

// Writes the document over the file's old content, after a synced recovery copy of it. On any
// failure the old content is put back from the copy.
std::optional<FileError> writeInPlace(const Target& target, const Content& content,
                                      SignalGuard& guard, FileStamp* saved) {
    Descriptor file;
    if (auto refused = openInPlace(target, file)) {
        return *refused;
    }
    struct stat old {};
    if (::fstat(file.get(), &old) != 0) {
        return systemFailure(errno);
    }
    RecoveryPlace copy;
    if (auto refused = makeRecoveryCopy(target, file.get(), old, guard, copy)) {
        return refused;
    }
    guard.finishFirst();
    const auto size = writeContent(file.get(), content);
    if (size && ::ftruncate(file.get(), *size) == 0 && ::fsync(file.get()) == 0) {
        removeCopy(copy);
        removeLeftovers(copy.folder.get());  // what a save killed while it wrote a copy left
        struct stat info {};
        if (saved != nullptr && ::fstat(file.get(), &info) == 0) {
            *saved = stampOf(info);
        }
        return std::nullopt;
    }
    const int cause = errno;
    if (putBack(copy, file.get())) {
        removeCopy(copy);
    }
    return systemFailure(cause);
}

FileError recoveryCopyExists(const RecoveryPlace& copy) {
    return failure(FileError::Kind::RecoveryCopyExists, decoded(copy.path));
}

// Removes every copy found, untrusted ones too; the first that stays, and why, when one does.
std::optional<FileError> removeAll(const FoundCopies& found) {
    std::optional<FileError> stays;
    const auto remove = [&](const RecoveryPlace& copy) {
        if (!removeCopy(copy) && !stays) {
            stays = failure(FileError::Kind::Other,
                            QCoreApplication::translate("FileServiceReasons",
                                                        "the recovery copy '%1' stays: %2")
                                .arg(decoded(copy.path), systemReason(errno)));
        }
    };
    if (found.ours) {
        remove(*found.ours);
    }
    for (const RecoveryPlace& copy : found.untrusted) {
        remove(copy);
    }
    return stays;
}

bool isMarkedReadOnly(const Target& target) {
    const Descriptor file(::openat(target.folder.get(), target.name.c_str(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    const auto bits = file.valid() ? readWindowsAttributes(file.get()) : std::nullopt;
    return bits && (*bits & attributes::kReadOnly) != 0;
}

FileError save(const Content& content, const QString& path, RecoveryCopy existing,
               FileStamp* saved) {
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
        // By the bits, because root may write any file; and by the read-only attribute that
        // Windows keeps on NTFS and FAT volumes, which their drivers here do not enforce.
        if ((old->st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || isMarkedReadOnly(target)) {
            return failure(
                FileError::Kind::NotWritable,
                QCoreApplication::translate("FileServiceReasons", "the file is read-only"));
        }
        if (::faccessat(folder, target.name.c_str(), W_OK, AT_EACCESS) != 0) {
            return failure(FileError::Kind::NotWritable, systemReason(errno));
        }
    }
    FoundCopies earlier = findRecoveryCopies(target);
    if (earlier.ours && existing == RecoveryCopy::Refuse) {
        return recoveryCopyExists(*earlier.ours);
    }
    if (existing == RecoveryCopy::Discard) {
        if (auto stays = removeAll(earlier)) {
            return *stays;
        }
    }
    SignalGuard guard;
    FileError error;
    if (!old || old->st_nlink == 1) {
        switch (replaceByRename(target, content, old, guard, saved, error)) {
            case Replaced::Done:
                return {};
            case Replaced::Failed:
                return error;
            case Replaced::NotWithoutLoss:
                break;
        }
    }
    if (auto failed = writeInPlace(target, content, guard, saved)) {
        return *failed;
    }
    return {};
}

// The whole content of an open file, read into one buffer that the document then keeps; throws
// std::bad_alloc when it does not fit in memory.
std::optional<std::string> readAll(int fd, const struct stat& info) {
    std::string bytes;
    bytes.reserve(std::size_t(info.st_size) + 1);
    bytes.resize(std::size_t(info.st_size));
    std::size_t have = 0;
    char more[65536];
    for (;;) {
        const bool full = have == bytes.size();
        const ssize_t got = full ? ::read(fd, more, sizeof more)
                                 : ::read(fd, bytes.data() + have, bytes.size() - have);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            bytes.resize(have);
            return bytes;
        }
        if (full) {
            bytes.append(more, std::size_t(got));  // the file grew while it was read
        }
        have += std::size_t(got);
    }
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
    auto bytes = readAll(file.get(), info);
    if (!bytes) {
        result.error = systemFailure(errno);
        return result;
    }
    result.document = WorkingDocument::fromFileBytes(std::move(*bytes));
    result.stamp = stampOf(info);
    const RecoveryCopies copies = recoveryCopiesOf(path);
    result.recoveryCopy = copies.ours;
    result.untrustedCopies = copies.untrusted;
    return result;
}

// The resolved target of a name and what is found under the names of its recovery copies.
std::optional<FileError> findCopies(const QString& path, Target& target, FoundCopies& found) {
    if (auto refused = checkName(path)) {
        return refused;
    }
    if (auto refused = resolveTarget(QFile::encodeName(path), target)) {
        return refused;
    }
    found = findRecoveryCopies(target);
    return std::nullopt;
}

FileError noCopy() {
    return failure(
        FileError::Kind::Other,
        QCoreApplication::translate("FileServiceReasons", "there is no recovery copy of it"));
}

FileError restore(const QString& path) {
    Target target;
    FoundCopies found;
    if (auto refused = findCopies(path, target, found)) {
        return *refused;
    }
    if (!found.ours) {
        return noCopy();
    }
    Descriptor file;
    if (auto refused = openInPlace(target, file)) {
        return *refused;
    }
    SignalGuard guard;
    guard.finishFirst();
    if (!putBack(*found.ours, file.get())) {
        return systemFailure(errno);
    }
    removeCopy(*found.ours);
    return {};
}

}  // namespace

LoadResult loadDocument(const QString& path) {
    if (auto refused = checkName(path)) {
        return {{}, *refused, {}, {}, {}};
    }
    try {
        return load(path);
    } catch (const std::bad_alloc&) {
        return {{}, systemFailure(ENOMEM), {}, {}, {}};
    }
}

FileError saveDocument(const WorkingDocument& document, const QString& path, RecoveryCopy existing,
                       FileStamp* saved) {
    if (auto refused = checkName(path)) {
        return *refused;
    }
    try {
        return save([&](const Sink& sink) { return document.writeBytes(sink); }, path, existing,
                    saved);
    } catch (const std::bad_alloc&) {
        return systemFailure(ENOMEM);
    }
}

RecoveryCopies recoveryCopiesOf(const QString& path) {
    Target target;
    FoundCopies found;
    RecoveryCopies copies;
    if (findCopies(path, target, found)) {
        return copies;
    }
    if (found.ours) {
        copies.ours = decoded(found.ours->path);
    }
    for (const RecoveryPlace& copy : found.untrusted) {
        copies.untrusted.push_back({decoded(copy.path), copy.untrustedWhy});
    }
    return copies;
}

QString recoveryCopyOf(const QString& path) {
    return recoveryCopiesOf(path).ours;
}

FileError restoreRecoveryCopy(const QString& path) {
    try {
        return restore(path);
    } catch (const std::bad_alloc&) {
        return systemFailure(ENOMEM);
    }
}

FileError discardRecoveryCopy(const QString& path) {
    Target target;
    FoundCopies found;
    if (auto refused = findCopies(path, target, found)) {
        return *refused;
    }
    if (!found.ours && found.untrusted.empty()) {
        return noCopy();
    }
    if (auto stays = removeAll(found)) {
        return *stays;
    }
    return {};
}

bool isFaithfulName(const QString& path) {
    if (!path.contains(QChar::ReplacementCharacter)) {
        return true;
    }
    // Each part that shows a replacement character against the entries of the folder it is in.
    const QStringList parts = path.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!parts[i].contains(QChar::ReplacementCharacter)) {
            continue;
        }
        const QString folder = i == 0                         ? QStringLiteral(".")
                               : parts[0].isEmpty() && i == 1 ? QStringLiteral("/")
                                                              : parts.mid(0, i).join('/');
        DIR* entries = ::opendir(QFile::encodeName(folder).constData());
        if (entries == nullptr) {
            continue;  // nothing there for the name to be confused with
        }
        bool confused = false;
        while (const dirent* entry = ::readdir(entries)) {
            confused = confused || (!isValidUtf8(entry->d_name) &&
                                    QFile::decodeName(entry->d_name) == parts[i]);
        }
        ::closedir(entries);
        if (confused) {
            return false;
        }
    }
    return true;
}

FileStamp fileStamp(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return {};
    }
    return stampOf(info);
}

bool fileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

namespace files {

std::string newScratchName() {
    return kSavePrefix + std::to_string(::getpid()) + "-" +
           std::to_string(QRandomGenerator::global()->bounded(1'000'000));
}

void removeStaleScratchFiles(int folder) {
    removeLeftovers(folder);
}

bool copyMetadata(int from, int to) {
    struct stat old {};
    return ::fstat(from, &old) == 0 && tessivane::copyMetadata(from, old, to);
}

}  // namespace files

}  // namespace tessivane
