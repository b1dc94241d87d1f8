// SPDX-License-Identifier: MIT
#include "storage/folder_transaction.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <csignal>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iterator>
#include <map>
#include <sstream>
#include <thread>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>

#include "storage/file_services.h"
#include "storage/signal_handlers.h"
#include "storage/windows_attributes.h"

namespace tessivane {

void (*folderChangeCheckpoint)(int point) = nullptr;

std::string sha256Hex(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

namespace {

void checkpoint() {
    static int point = 0;
    if (folderChangeCheckpoint != nullptr) {
        folderChangeCheckpoint(++point);
    }
}

using Outcome = FolderChangeOutcome;
using Step = FolderStep;

constexpr char kAsidePrefix[] = ".tessivane-aside-";
constexpr char kJournalHeader[] = "tessivane-folder-change 1";
constexpr off_t kMaxJournalSize = 1 << 16;
// How long a change waits for another change of the same folder to end.
constexpr auto kLockWait = std::chrono::seconds(10);

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString decoded(const std::string& name) {
    return QFile::decodeName(QByteArray::fromStdString(name));
}

// Holds SIGTERM, SIGINT and SIGHUP back while a change runs: the first one is kept for the
// change to look at between its steps. A signal the program ignores stays ignored.
class SignalHold {
public:
    SignalHold() = default;
    SignalHold(const SignalHold&) = delete;
    SignalHold& operator=(const SignalHold&) = delete;

    static int received() { return received_.load(); }

private:
    static void onSignal(int signal) {
        int none = 0;
        received_.compare_exchange_strong(none, signal);
    }
    static inline std::atomic<int> received_{0};
    // A hold starts with nothing received, before its handler is in place.
    static void (*freshHandler())(int) {
        received_ = 0;
        return onSignal;
    }
    SignalHandlers handlers_{freshHandler()};
};

std::string hexOf(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += {digits[byte >> 4], digits[byte & 0xF]};
    }
    return hex;
}

std::optional<std::string> fromHex(const std::string& hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const auto value = [](char c) {
            return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        };
        const int high = value(hex[i]);
        const int low = value(hex[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes += char(high * 16 + low);
    }
    return bytes;
}

// A name the journal may hold: one entry of this folder, or the folder itself.
bool isPlainName(const std::string& name) {
    return !name.empty() && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

struct Journal {
    bool done = false;
    std::vector<Step> steps;
};

const char* kindWord(Step::Kind kind) {
    switch (kind) {
        case Step::Kind::SetAside:
            return "aside";
        case Step::Kind::Write:
            return "write";
        case Step::Kind::Copy:
            return "copy";
        case Step::Kind::Attributes:
            return "attributes";
    }
    return "";
}

// One line a step: its kind, its name and what rolling it back needs, names in hex.
std::string journalText(const Journal& journal) {
    std::string text =
        std::string(kJournalHeader) + "\n" + (journal.done ? "state done\n" : "state pending\n");
    for (const Step& step : journal.steps) {
        text += std::string(kindWord(step.kind)) + " " + hexOf(step.name) + " " +
                (step.kind == Step::Kind::SetAside     ? hexOf(step.aside)
                 : step.kind == Step::Kind::Attributes ? std::to_string(step.oldBits)
                                                       : step.digest) +
                "\n";
    }
    return text + "sha256 " + sha256Hex(text) + "\n";
}

std::optional<Journal> parseJournal(const std::string& bytes) {
    const std::size_t last = bytes.rfind("sha256 ", bytes.size() >= 72 ? bytes.size() - 72 : 0);
    if (last == std::string::npos || bytes.size() != last + 72 || bytes.back() != '\n' ||
        bytes.compare(last + 7, 64, sha256Hex(bytes.substr(0, last))) != 0) {
        return std::nullopt;
    }
    std::istringstream lines(bytes.substr(0, last));
    std::string line;
    Journal journal;
    if (!std::getline(lines, line) || line != kJournalHeader || !std::getline(lines, line) ||
        (line != "state done" && line != "state pending")) {
        return std::nullopt;
    }
    journal.done = line == "state done";
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind, name, value, more;
        words >> kind >> name >> value;
        const auto plain = fromHex(name);
        if (!words || (words >> more) || !plain || !isPlainName(*plain)) {
            return std::nullopt;
        }
        Step step;
        step.name = *plain;
        if (kind == "aside") {
            const auto aside = fromHex(value);
            if (!aside || !aside->starts_with(kAsidePrefix) || !isPlainName(*aside)) {
                return std::nullopt;
            }
            step.kind = Step::Kind::SetAside;
            step.aside = *aside;
        } else if (kind == "write" || kind == "copy") {
            if (value.size() != 64 || !fromHex(value)) {
                return std::nullopt;
            }
            step.kind = kind == "write" ? Step::Kind::Write : Step::Kind::Copy;
            step.digest = value;
        } else if (kind == "attributes") {
            char* end = nullptr;
            step.kind = Step::Kind::Attributes;
            step.oldBits = std::strtoll(value.c_str(), &end, 10);
            if (*end != '\0' || step.oldBits < -1 || step.oldBits > 0xFFFFFFFFLL) {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
        journal.steps.push_back(std::move(step));
    }
    return journal;
}

Descriptor openEntry(int folder, const std::string& name) {
    return Descriptor(name == "." ? ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                  : ::openat(folder, name.c_str(),
                                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
}

// The digest of a regular file's bytes, or nothing when there is no such file.
std::optional<std::string> digestOfFile(int folder, const std::string& name) {
    const Descriptor file = openEntry(folder, name);
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    const auto bytes = readRest(file.get());
    return bytes ? std::make_optional(sha256Hex(*bytes)) : std::nullopt;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written == 0 ? EIO : errno;
            return false;
        }
        done += std::size_t(written);
    }
    return true;
}

// A new file under a scratch name, written whole and synced, then renamed to the name. When
// `like` is open, the new file takes its owner, mode and attributes first; `set` and `clear` then
// change the Windows attribute bits where the volume keeps them.
bool writeFile(int folder, const std::string& name, const std::string& bytes, int like,
               unsigned set, unsigned clear) {
    const std::string scratch = files::newScratchName();
    Descriptor file(::openat(folder, scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                             like >= 0 ? 0600 : 0666));
    if (!file.valid()) {
        return false;
    }
    if (like >= 0 && !files::copyMetadata(like, file.get())) {
        const int cause = errno;
        ::unlinkat(folder, scratch.c_str(), 0);
        errno = cause;
        return false;
    }
    // The bits are set after the content: writing marks a file for archiving on some volumes,
    // and the new file is to have exactly the bits wanted.
    const auto bits = readWindowsAttributes(file.get());
    const bool written = writeAll(file.get(), bytes) &&
                         (!bits || writeWindowsAttributes(file.get(), (*bits | set) & ~clear)) &&
                         ::fsync(file.get()) == 0 &&
                         ::renameat(folder, scratch.c_str(), folder, name.c_str()) == 0;
    if (!written) {
        const int cause = errno;
        ::unlinkat(folder, scratch.c_str(), 0);
        errno = cause;
    }
    return written;
}

// Where the volume keeps Windows attributes, the bits of the entry; -1 where it keeps none.
long long attributeBitsOf(int folder, const std::string& name) {
    const Descriptor entry = openEntry(folder, name);
    const auto bits = entry.valid() ? readWindowsAttributes(entry.get()) : std::nullopt;
    return bits ? static_cast<long long>(*bits) : -1;
}

bool setAttributeBits(int folder, const std::string& name, unsigned bits) {
    const Descriptor entry = openEntry(folder, name);
    return entry.valid() && writeWindowsAttributes(entry.get(), bits);
}

class Runner {
public:
    Runner(int folder, const QString& folderPath) : folder_(folder), folderPath_(folderPath) {}

    // Writes the journal under a scratch name, syncs it and renames it into place.
    bool record(const Journal& journal) {
        const std::string text = journalText(journal);
        const std::string scratch = files::newScratchName();
        Descriptor file(
            ::openat(folder_, scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        const bool written = file.valid() && ::fchmod(file.get(), 0600) == 0 &&
                             writeAll(file.get(), text) && ::fsync(file.get()) == 0 &&
                             ::renameat(folder_, scratch.c_str(), folder_, kFolderJournalName) == 0;
        if (!written) {
            const int cause = errno;
            ::unlinkat(folder_, scratch.c_str(), 0);
            errno = cause;
            return false;
        }
        ::fsync(folder_);
        checkpoint();
        return true;
    }

    // Does one step; false with errno set when it failed.
    bool perform(const Step& step, const std::map<std::string, std::string>& asides) {
        const auto asideOf = [&](const std::string& name) {
            const auto found = asides.find(name);
            return found == asides.end() ? std::string() : found->second;
        };
        switch (step.kind) {
            case Step::Kind::SetAside:
                return ::renameat(folder_, step.name.c_str(), folder_, step.aside.c_str()) == 0;
            case Step::Kind::Write: {
                const Descriptor like =
                    step.like.empty() ? Descriptor() : openEntry(folder_, asideOf(step.like));
                if (!step.like.empty() && !like.valid()) {
                    return false;
                }
                return writeFile(folder_, step.name, step.bytes, like.get(), step.setBits,
                                 step.clearBits);
            }
            case Step::Kind::Copy: {
                const std::string from = asideOf(step.like);
                if (::linkat(folder_, from.c_str(), folder_, step.name.c_str(), 0) == 0) {
                    return true;
                }
                if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK && errno != EXDEV) {
                    return false;
                }
                const Descriptor source = openEntry(folder_, from);
                const auto bytes = source.valid() ? readRest(source.get()) : std::nullopt;
                return bytes && writeFile(folder_, step.name, *bytes, source.get(), 0, 0);
            }
            case Step::Kind::Attributes:
                return step.oldBits < 0 ||
                       setAttributeBits(folder_, step.name,
                                        (unsigned(step.oldBits) | step.setBits) & ~step.clearBits);
        }
        return false;
    }

    // Undoes the steps, last first; what could not be undone, named for the user.
    QStringList rollBack(const std::vector<Step>& steps) {
        QStringList left;
        std::map<std::string, bool> setAside;
        for (const Step& step : steps) {
            setAside[step.name] = setAside[step.name] || step.kind == Step::Kind::SetAside;
        }
        for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
            const QString name = decoded(step->name);
            switch (step->kind) {
                case Step::Kind::SetAside: {
                    struct stat info {};
                    if (::fstatat(folder_, step->aside.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                        ::renameat(folder_, step->aside.c_str(), folder_, step->name.c_str()) !=
                            0) {
                        left << QCoreApplication::translate("FolderChangeReasons",
                                                            "'%1' is kept as '%2' (%3)")
                                    .arg(name, decoded(step->aside), systemReason(errno));
                    }
                    break;
                }
                case Step::Kind::Write:
                case Step::Kind::Copy:
                    // A name that was set aside gets its file back by the rename above, which
                    // replaces the new one.
                    if (!setAside[step->name] &&
                        digestOfFile(folder_, step->name) == step->digest &&
                        ::unlinkat(folder_, step->name.c_str(), 0) != 0) {
                        left << QCoreApplication::translate("FolderChangeReasons",
                                                            "'%1' could not be removed (%2)")
                                    .arg(name, systemReason(errno));
                    }
                    break;
                case Step::Kind::Attributes:
                    if (step->oldBits >= 0 &&
                        attributeBitsOf(folder_, step->name) != step->oldBits &&
                        !setAttributeBits(folder_, step->name, unsigned(step->oldBits))) {
                        left << QCoreApplication::translate(
                                    "FolderChangeReasons",
                                    "the attributes of '%1' could not be set back (%2)")
                                    .arg(name, systemReason(errno));
                    }
                    break;
            }
            checkpoint();
        }
        files::removeStaleScratchFiles(folder_);
        ::fsync(folder_);
        if (left.isEmpty() && ::unlinkat(folder_, kFolderJournalName, 0) != 0 && errno != ENOENT) {
            left << systemReason(errno);
        }
        ::fsync(folder_);
        return left;
    }

    // Removes what was set aside, then the journal.
    void finish(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            if (step.kind == Step::Kind::SetAside) {
                ::unlinkat(folder_, step.aside.c_str(), 0);
                checkpoint();
            }
        }
        ::unlinkat(folder_, kFolderJournalName, 0);
        ::fsync(folder_);
    }

    QString journalPath() const { return folderPath_ + "/" + kFolderJournalName; }

private:
    int folder_;
    QString folderPath_;
};

// The journal an earlier change left, when it may be trusted; why not, otherwise.
std::optional<Journal> readJournal(int folder, QString& untrusted) {
    const Descriptor file(
        ::openat(folder, kFolderJournalName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file.valid()) {
        if (errno != ENOENT) {
            untrusted = errno == ELOOP
                            ? QCoreApplication::translate("FolderChangeReasons", "it is a link")
                            : systemReason(errno);
        }
        return std::nullopt;
    }
    // A volume that keeps Windows attributes keeps no Unix owners or modes of its own.
    const bool unixModes = !readWindowsAttributes(folder);
    std::string bytes(std::size_t(kMaxJournalSize) + 1, '\0');
    ssize_t got = -1;
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        untrusted = QCoreApplication::translate("FolderChangeReasons", "it is not a regular file");
    } else if (info.st_nlink != 1) {
        untrusted = QCoreApplication::translate("FolderChangeReasons", "it has more than one link");
    } else if (unixModes && info.st_uid != ::geteuid()) {
        untrusted =
            QCoreApplication::translate("FolderChangeReasons", "it belongs to another user");
    } else if (unixModes && (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        untrusted = QCoreApplication::translate("FolderChangeReasons", "others may write it");
    } else if ((got = ::pread(file.get(), bytes.data(), bytes.size(), 0)) < 0 ||
               got > kMaxJournalSize) {
        untrusted = QCoreApplication::translate("FolderChangeReasons", "it cannot be read whole");
    } else {
        bytes.resize(std::size_t(got));
        if (auto journal = parseJournal(bytes)) {
            return journal;
        }
        untrusted = QCoreApplication::translate("FolderChangeReasons", "it is not whole");
    }
    return std::nullopt;
}

// Fills in what the journal needs to undo each step: the name a file is set aside under, the
// digest of a file written or copied, the attribute bits before. Returns the names set aside, by
// the file's name.
std::map<std::string, std::string> fillInForRollBack(int folder, std::vector<Step>& steps) {
    std::map<std::string, std::string> asides;
    for (Step& step : steps) {
        if (step.kind == Step::Kind::SetAside) {
            step.aside =
                kAsidePrefix + files::newScratchName().substr(sizeof ".tessivane-save-" - 1);
            asides[step.name] = step.aside;
        } else if (step.kind == Step::Kind::Write) {
            step.digest = sha256Hex(step.bytes);
        } else if (step.kind == Step::Kind::Copy) {
            step.digest = digestOfFile(folder, step.like).value_or(std::string(64, '0'));
        } else {
            step.oldBits = attributeBitsOf(folder, step.name);
        }
    }
    return asides;
}

// Rolls back a change that failed or was stopped, and says how it ended: failed for the cause,
// stopped by a signal (no cause), or not rolled back either.
void rollBackAll(Runner& runner, const std::vector<Step>& steps, int cause,
                 const QString& folderPath, FolderChangeOutcome& outcome) {
    // Every step is undone, the one that failed half-way included.
    const QStringList left = runner.rollBack(steps);
    outcome.signal = SignalHold::received();
    outcome.kind = !left.isEmpty() ? Outcome::Kind::RollbackFailed
                   : cause == 0    ? Outcome::Kind::Stopped
                                   : Outcome::Kind::Failed;
    outcome.reason = left.isEmpty() ? systemReason(cause)
                                    : QCoreApplication::translate("FolderChangeReasons",
                                                                  "%1; the record of the change is "
                                                                  "kept in '%2'")
                                          .arg(left.join("; "), runner.journalPath());
    if (!left.isEmpty()) {
        outcome.path = folderPath;
    }
}

}  // namespace

FolderTransaction::FolderTransaction(int folder, QString folderPath)
    : folder_(folder), folderPath_(std::move(folderPath)) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (!(locked_ = ::flock(folder_, LOCK_EX | LOCK_NB) == 0) &&
           (errno == EWOULDBLOCK || errno == EINTR) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!locked_ && (errno == EWOULDBLOCK || errno == EINTR)) {
        outcome_ = {Outcome::Kind::Busy, folderPath_, {}};
        return;
    }
    // A volume that cannot lock (some network folders) still gets every other guarantee.
    Runner runner(folder_, folderPath_);
    QString untrusted;
    const auto journal = readJournal(folder_, untrusted);
    if (!untrusted.isEmpty()) {
        outcome_ = {Outcome::Kind::Untrusted, runner.journalPath(), untrusted};
        return;
    }
    if (!journal) {
        return;
    }
    const SignalHold hold;
    outcome_.settledEarlier = true;
    if (journal->done) {
        runner.finish(journal->steps);
    } else if (const QStringList left = runner.rollBack(journal->steps); !left.isEmpty()) {
        outcome_ = {Outcome::Kind::RollbackFailed, runner.journalPath(), left.join("; ")};
    }
    // A signal while settling stops the program before a new change begins.
    if (const int signal = SignalHold::received(); signal != 0) {
        outcome_.kind =
            outcome_.kind == Outcome::Kind::Done ? Outcome::Kind::Stopped : outcome_.kind;
        outcome_.signal = signal;
    }
}

FolderTransaction::~FolderTransaction() {
    if (locked_) {
        ::flock(folder_, LOCK_UN);
    }
}

FolderChangeOutcome FolderTransaction::run(std::vector<FolderStep> steps) {
    if (outcome_.kind != Outcome::Kind::Done) {
        return outcome_;
    }
    const SignalHold hold;
    Runner runner(folder_, folderPath_);
    files::removeStaleScratchFiles(folder_);
    const std::map<std::string, std::string> asides = fillInForRollBack(folder_, steps);
    FolderChangeOutcome outcome = outcome_;
    Journal journal{false, steps};
    if (!runner.record(journal)) {
        outcome.kind = Outcome::Kind::Failed;
        outcome.path = runner.journalPath();
        outcome.reason = systemReason(errno);
        outcome.signal = SignalHold::received();
        return outcome;
    }
    std::size_t done = 0;
    int cause = 0;
    for (; done < steps.size() && SignalHold::received() == 0; ++done) {
        if (!runner.perform(steps[done], asides)) {
            cause = errno;
            outcome.path = folderPath_ + "/" + decoded(steps[done].name);
            break;
        }
        checkpoint();
    }
    journal.done = true;
    if (done == steps.size() && SignalHold::received() == 0 && runner.record(journal)) {
        runner.finish(steps);
        outcome.signal = SignalHold::received();
        return outcome;
    }
    if (done == steps.size() && SignalHold::received() == 0) {
        cause = errno;
        outcome.path = runner.journalPath();
    }
    rollBackAll(runner, steps, cause, folderPath_, outcome);
    return outcome;
}

}  // namespace tessivane
