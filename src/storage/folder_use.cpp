// SPDX-License-Identifier: MIT
#include "storage/folder_use.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>

#include "document/desktop_ini.h"
#include "storage/file_services.h"
#include "storage/windows_attributes.h"

namespace tessivane {
namespace {

// The reasons this file gives, which the program's messages quote, in the user's language.
class FolderUseReasons {
    Q_DECLARE_TR_FUNCTIONS(FolderUseReasons)
};

using Kind = FolderUseError::Kind;

constexpr char kIniName[] = "Desktop.ini";
// A Desktop.ini holds a few lines; anything this large is something else.
constexpr off_t kMaxIniSize = 1 << 20;
constexpr unsigned kHiddenSystem = attributes::kHidden | attributes::kSystem;

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// A file of the folder, found ignoring letter case.
struct Entry {
    std::string name;                 // as it is in the folder, or as wanted when it is not there
    std::optional<struct stat> info;  // not followed when a link; nothing when it is not there
    QString path;
};

struct Folder {
    Fd fd;
    QString path;

    Entry entry(const std::string& wanted) const {
        Entry found{wanted, std::nullopt, {}};
        const int listed = ::openat(fd.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* listing = listed >= 0 ? ::fdopendir(listed) : nullptr;
        if (listing == nullptr && listed >= 0) {
            ::close(listed);
        }
        if (listing != nullptr) {
            bool exact = false;
            while (const dirent* item = ::readdir(listing)) {
                if (!exact && ::strcasecmp(item->d_name, wanted.c_str()) == 0) {
                    found.name = item->d_name;
                    exact = found.name == wanted;
                }
            }
            ::closedir(listing);
        }
        struct stat info {};
        if (::fstatat(fd.get(), found.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            found.info = info;
        }
        found.path =
            path + QLatin1Char('/') + QFile::decodeName(QByteArray::fromStdString(found.name));
        return found;
    }

    Fd open(const Entry& entry) const {
        return Fd(
            ::openat(fd.get(), entry.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    }

    std::optional<std::string> read(const Entry& entry) const {
        const Fd file = open(entry);
        if (!file.valid()) {
            return std::nullopt;
        }
        std::string bytes;
        char chunk[65536];
        for (ssize_t got; (got = ::read(file.get(), chunk, sizeof chunk)) != 0;) {
            if (got < 0 && errno != EINTR) {
                return std::nullopt;
            }
            bytes.append(chunk, std::size_t(std::max<ssize_t>(got, 0)));
        }
        return bytes;
    }

    // The Windows attributes of the folder (no entry) or an entry; nothing where none are kept.
    std::optional<unsigned> attributesOf(const Entry* entry) const {
        if (!entry) {
            return readWindowsAttributes(fd.get());
        }
        const Fd file = open(*entry);
        return file.valid() ? readWindowsAttributes(file.get()) : std::nullopt;
    }

    // Sets and clears bits; true when nothing needed changing.
    bool change(const Entry* entry, unsigned set, unsigned clear) const {
        const Fd file = entry ? open(*entry) : Fd(::dup(fd.get()));
        const auto bits = file.valid() ? readWindowsAttributes(file.get()) : std::nullopt;
        if (!bits) {
            return set == 0;
        }
        const unsigned wanted = (*bits | set) & ~clear;
        return wanted == *bits || writeWindowsAttributes(file.get(), wanted);
    }
};

FolderUseError error(Kind kind, const QString& path, const QString& reason = {}) {
    return {kind, path, reason};
}

QString whatItIs(const struct stat& info) {
    return S_ISLNK(info.st_mode)   ? FolderUseReasons::tr("it is a link")
           : S_ISDIR(info.st_mode) ? FolderUseReasons::tr("it is a folder")
                                   : FolderUseReasons::tr("it is not a regular file");
}

std::string digestOf(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// What is in the folder now.
struct Survey {
    FolderUseError error;
    Folder folder;
    Entry ini;
    std::optional<std::string> iniBytes;
    std::optional<FolderUse> earlier;  // the record of a use, when Desktop.ini holds one
};

Survey survey(const QString& path) {
    Survey found;
    if (!isFaithfulName(path)) {
        found.error =
            error(Kind::BadFolder, path, FolderUseReasons::tr("the name is not valid UTF-8"));
        return found;
    }
    found.folder.path = path;
    found.folder.fd =
        Fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!found.folder.fd.valid()) {
        found.error = error(
            Kind::BadFolder, path,
            errno == ENOTDIR ? FolderUseReasons::tr("it is not a folder") : systemReason(errno));
        return found;
    }
    found.ini = found.folder.entry(kIniName);
    if (!found.ini.info) {
        return found;
    }
    if (!S_ISREG(found.ini.info->st_mode)) {
        found.error = error(Kind::IniNotUsable, found.ini.path, whatItIs(*found.ini.info));
    } else if (found.ini.info->st_size > kMaxIniSize) {
        found.error = error(Kind::IniNotUsable, found.ini.path,
                            FolderUseReasons::tr("it is too large to be a Desktop.ini"));
    } else if (!(found.iniBytes = found.folder.read(found.ini))) {
        found.error = error(Kind::IniNotUsable, found.ini.path, systemReason(errno));
    } else if (!isDesktopIniText(*found.iniBytes)) {
        found.error =
            error(Kind::IniNotUsable, found.ini.path, FolderUseReasons::tr("it is not text"));
    } else {
        found.earlier = recordedFolderUse(*found.iniBytes);
    }
    return found;
}

// The survey for a use, with the template's entry and what is in it.
struct UseSurvey : Survey {
    Entry htt;
    std::optional<std::string> httBytes;
};

UseSurvey surveyForUse(const QString& path, const QString& templateName) {
    UseSurvey found{survey(path), {}, {}};
    const std::string name = templateName.toStdString();
    if (found.error) {
        return found;
    }
    if (!isTemplateFileName(name)) {
        found.error = error(Kind::BadTemplateName, templateName);
        return found;
    }
    if (found.earlier && ::strcasecmp(found.earlier->templateName.c_str(), name.c_str()) != 0) {
        found.error =
            error(Kind::OtherTemplate, path, QString::fromStdString(found.earlier->templateName));
        return found;
    }
    found.htt = found.folder.entry(name);
    if (!found.htt.info) {
        return found;
    }
    if (!S_ISREG(found.htt.info->st_mode)) {
        found.error = error(Kind::TemplateInTheWay, found.htt.path, whatItIs(*found.htt.info));
    } else if (!(found.httBytes = found.folder.read(found.htt))) {
        found.error = error(Kind::TemplateInTheWay, found.htt.path, systemReason(errno));
    } else if (!hasMarkerLine(WorkingDocument::fromBytes(*found.httBytes)) &&
               !(found.earlier && found.earlier->templateDigest == digestOf(*found.httBytes))) {
        found.error = error(Kind::TemplateInTheWay, found.htt.path,
                            FolderUseReasons::tr("it was not written by Tessivane"));
    }
    return found;
}

// Puts a file back as it was: its old content and attributes, or no file.
void restore(const Folder& folder, const Entry& entry, const std::optional<std::string>& bytes,
             std::optional<unsigned> bits) {
    if (!bytes) {
        ::unlinkat(folder.fd.get(), entry.name.c_str(), 0);
    } else if (!saveBytes(*bytes, entry.path) && bits) {
        folder.change(&entry, *bits, ~*bits);
    }
}

FolderUseError failed(const QString& path, const FileError& cause) {
    return error(Kind::Failed, path, cause.reason);
}

}  // namespace

FolderUsePlan planFolderUse(const QString& folder, const QString& templateName) {
    const UseSurvey found = surveyForUse(folder, templateName);
    FolderUsePlan plan;
    plan.error = found.error;
    plan.templatePath = found.htt.path;
    plan.templateExists = found.htt.info.has_value();
    plan.iniExists = found.ini.info.has_value();
    plan.keepsAttributes = !found.error && found.folder.attributesOf(nullptr).has_value();
    return plan;
}

FolderUseResult useForFolder(const WorkingDocument& document, const QString& folder,
                             const QString& templateName) {
    FolderUseResult result;
    const UseSurvey found = surveyForUse(folder, templateName);
    if (found.error) {
        result.error = found.error;
        return result;
    }
    const Folder& dir = found.folder;
    const FolderUse earlier = found.earlier.value_or(FolderUse{});
    const std::string bytes = document.toBytes();
    FolderUse use;
    use.templateName = found.htt.name;
    // The template is the use's own when the use made the file, now or the last time.
    if (!found.htt.info || !earlier.templateDigest.empty()) {
        use.templateDigest = digestOf(bytes);
    }
    const auto folderBits = dir.attributesOf(nullptr);
    result.keepsAttributes = folderBits.has_value();
    use.folderAttributes = earlier.folderAttributes;
    use.iniAttributes = earlier.iniAttributes;
    use.templateAttributes = earlier.templateAttributes;
    const auto iniBits = found.ini.info ? dir.attributesOf(&found.ini) : std::nullopt;
    const auto httBits = found.htt.info ? dir.attributesOf(&found.htt) : std::nullopt;
    if (folderBits) {
        use.folderAttributes |= attributes::kReadOnly & ~*folderBits;
        use.iniAttributes |= kHiddenSystem & ~iniBits.value_or(0);
        use.templateAttributes |= kHiddenSystem & ~httBits.value_or(0);
    }
    const DesktopIniEdit edit = useTemplateIn(found.iniBytes, use);

    if (const FileError failure = saveDocument(document, found.htt.path)) {
        result.error = failed(found.htt.path, failure);
        return result;
    }
    if (const FileError failure = saveBytes(edit.bytes, found.ini.path)) {
        restore(dir, found.htt, found.httBytes, httBits);
        result.error = failed(found.ini.path, failure);
        return result;
    }
    if (folderBits) {
        const Entry ini = dir.entry(kIniName);
        const Entry htt = dir.entry(found.htt.name);
        if (!dir.change(&htt, kHiddenSystem, 0) || !dir.change(&ini, kHiddenSystem, 0) ||
            !dir.change(nullptr, attributes::kReadOnly, 0)) {
            const int cause = errno;
            dir.change(nullptr, 0, use.folderAttributes & ~earlier.folderAttributes);
            restore(dir, found.ini, found.iniBytes, iniBits);
            restore(dir, found.htt, found.httBytes, httBits);
            result.error = error(Kind::Failed, folder, systemReason(cause));
        }
    }
    return result;
}

FolderUseResult undoFolderUse(const QString& folder) {
    FolderUseResult result;
    const Survey found = survey(folder);
    if (!found.error && !found.earlier) {
        result.error = error(Kind::NothingToUndo, folder);
    }
    if (found.error || result.error) {
        result.error = found.error ? found.error : result.error;
        return result;
    }
    const Folder& dir = found.folder;
    const FolderUse use = *found.earlier;
    const DesktopIniEdit edit = undoTemplateIn(*found.iniBytes);
    for (const std::string& key : edit.keptKeys) {
        result.keptKeys << QString::fromStdString(key);
    }
    const Entry htt = dir.entry(use.templateName);
    const auto httBytes = htt.info && S_ISREG(htt.info->st_mode) ? dir.read(htt) : std::nullopt;
    const bool removeTemplate =
        httBytes && !use.templateDigest.empty() && digestOf(*httBytes) == use.templateDigest;
    if (htt.info && !use.templateDigest.empty() && !removeTemplate) {
        result.keptTemplate = htt.path;
    }
    const auto folderBits = dir.attributesOf(nullptr);
    const auto iniBits = dir.attributesOf(&found.ini);
    result.keepsAttributes = folderBits.has_value();

    // The folder first: on some volumes a read-only folder cannot be written.
    if (!dir.change(nullptr, 0, use.folderAttributes)) {
        result.error = error(Kind::Failed, folder, systemReason(errno));
        return result;
    }
    const auto undoIniAndFolder = [&] {
        restore(dir, found.ini, found.iniBytes, iniBits);
        dir.change(nullptr, use.folderAttributes & folderBits.value_or(0), 0);
    };
    const FileError iniFailure =
        edit.removeFile ? (::unlinkat(dir.fd.get(), found.ini.name.c_str(), 0) == 0
                               ? FileError{}
                               : FileError{FileError::Kind::Other, systemReason(errno)})
                        : saveBytes(edit.bytes, found.ini.path);
    if (iniFailure || (!edit.removeFile && !dir.change(&found.ini, 0, use.iniAttributes))) {
        result.error = error(Kind::Failed, found.ini.path,
                             iniFailure ? iniFailure.reason : systemReason(errno));
        undoIniAndFolder();
        return result;
    }
    const bool templateDone = removeTemplate ? ::unlinkat(dir.fd.get(), htt.name.c_str(), 0) == 0
                                             : !htt.info || !S_ISREG(htt.info->st_mode) ||
                                                   dir.change(&htt, 0, use.templateAttributes);
    if (!templateDone) {
        result.error = error(Kind::Failed, htt.path, systemReason(errno));
        undoIniAndFolder();
    }
    return result;
}

}  // namespace tessivane
