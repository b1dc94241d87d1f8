// SPDX-License-Identifier: MIT
#include "storage/folder_use.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "document/desktop_ini.h"
#include "document/reader.h"
#include "document/writer.h"
#include "storage/file_services.h"
#include "storage/folder_transaction.h"
#include "storage/windows_attributes.h"
#include "storage/windows_files.h"

namespace tessivane {
namespace {

using Kind = FolderUseError::Kind;

constexpr char kIniName[] = "Desktop.ini";
// A Desktop.ini holds a few lines; anything this large is something else.
constexpr off_t kMaxIniSize = 1 << 20;
constexpr unsigned kHiddenSystem = attributes::kHidden | attributes::kSystem;

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The entries of the folder that Windows would take for the name: those that match it ignoring
// letter case.
struct Entry {
    std::string name;                 // as it is in the folder, or as wanted when it is not there
    std::optional<struct stat> info;  // not followed when a link; nothing when it is not there
    QString path;
    QStringList others;  // further entries that match, which Windows could not tell apart
};

struct Folder {
    Descriptor fd;
    QString path;

    QString pathOf(const std::string& name) const {
        return path + QLatin1Char('/') + QFile::decodeName(QByteArray::fromStdString(name));
    }

    Entry entry(const std::string& wanted) const {
        Entry found{wanted, std::nullopt, {}, {}};
        std::vector<std::string> matches;
        const int listed = ::openat(fd.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* listing = listed >= 0 ? ::fdopendir(listed) : nullptr;
        if (listing == nullptr && listed >= 0) {
            ::close(listed);
        }
        if (listing != nullptr) {
            while (const dirent* item = ::readdir(listing)) {
                if (::strcasecmp(item->d_name, wanted.c_str()) == 0) {
                    matches.emplace_back(item->d_name);
                }
            }
            ::closedir(listing);
        }
        std::sort(matches.begin(), matches.end());
        if (!matches.empty()) {
            const auto exact = std::find(matches.begin(), matches.end(), wanted);
            found.name = exact != matches.end() ? *exact : matches.front();
            for (const std::string& other : matches) {
                if (other != found.name) {
                    found.others << pathOf(other);
                }
            }
        }
        struct stat info {};
        if (::fstatat(fd.get(), found.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            found.info = info;
        }
        found.path = pathOf(found.name);
        return found;
    }

    Descriptor open(const Entry& entry) const {
        return Descriptor(
            ::openat(fd.get(), entry.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    }

    std::optional<std::string> read(const Entry& entry) const {
        const Descriptor file = open(entry);
        if (!file.valid()) {
            return std::nullopt;
        }
        return readRest(file.get());
    }

    // The Windows attributes of the folder (no entry) or an entry; nothing where none are kept.
    std::optional<unsigned> attributesOf(const Entry* entry) const {
        if (!entry) {
            return readWindowsAttributes(fd.get());
        }
        const Descriptor file = open(*entry);
        return file.valid() ? readWindowsAttributes(file.get()) : std::nullopt;
    }
};

FolderUseError error(Kind kind, const QString& path, const QString& reason = {}) {
    return {kind, path, reason};
}

QString whatItIs(const struct stat& info) {
    return S_ISLNK(info.st_mode) ? QCoreApplication::translate("FolderUseReasons", "it is a link")
           : S_ISDIR(info.st_mode)
               ? QCoreApplication::translate("FolderUseReasons", "it is a folder")
               : QCoreApplication::translate("FolderUseReasons", "it is not a regular file");
}

// Why a file of the folder may not be replaced, or nothing.
std::optional<QString> whyNotReplaceable(const Folder& folder, const Entry& entry) {
    if (!entry.others.isEmpty()) {
        return QCoreApplication::translate("FolderUseReasons", "Windows cannot tell it from %1")
            .arg(entry.others.join(", "));
    }
    if (!S_ISREG(entry.info->st_mode)) {
        return whatItIs(*entry.info);
    }
    // By the bits, as a save checks them, because root may write any file; and as Windows does.
    const auto bits = folder.attributesOf(&entry);
    if ((entry.info->st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
        (bits && (*bits & attributes::kReadOnly))) {
        return QCoreApplication::translate("FolderUseReasons", "it is read-only");
    }
    return std::nullopt;
}

// What is in the folder now.
struct Survey {
    FolderUseError error;
    Folder folder;
    Entry ini;
    std::optional<std::string> iniBytes;
    std::optional<FolderUse> earlier;  // the record of a use, when Desktop.ini holds one
};

FolderUseError openFolder(const QString& path, Folder& folder) {
    if (!isFaithfulName(path)) {
        return error(
            Kind::BadFolder, path,
            QCoreApplication::translate("FolderUseReasons", "the name is not valid UTF-8"));
    }
    folder.path = path;
    folder.fd =
        Descriptor(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.fd.valid()) {
        return error(Kind::BadFolder, path,
                     errno == ENOTDIR
                         ? QCoreApplication::translate("FolderUseReasons", "it is not a folder")
                         : systemReason(errno));
    }
    return {};
}

Survey survey(const QString& path) {
    Survey found;
    if ((found.error = openFolder(path, found.folder))) {
        return found;
    }
    found.ini = found.folder.entry(kIniName);
    if (!found.ini.info) {
        return found;
    }
    const auto refuse = [&](const QString& reason) {
        found.error = error(Kind::IniNotUsable, found.ini.path, reason);
    };
    if (const auto why = whyNotReplaceable(found.folder, found.ini)) {
        refuse(*why);
    } else if (found.ini.info->st_nlink > 1) {
        refuse(QCoreApplication::translate(
            "FolderUseReasons", "it has other hard links, and a change would show in each"));
    } else if (found.ini.info->st_size > kMaxIniSize) {
        refuse(
            QCoreApplication::translate("FolderUseReasons", "it is too large to be a Desktop.ini"));
    } else if (!(found.iniBytes = found.folder.read(found.ini))) {
        refuse(systemReason(errno));
    } else if (!isDesktopIniText(*found.iniBytes)) {
        refuse(QCoreApplication::translate("FolderUseReasons", "it is not text"));
    } else if (hasDamagedRecord(*found.iniBytes)) {
        refuse(QCoreApplication::translate(
            "FolderUseReasons", "its record of an earlier use has been changed by hand"));
    } else {
        found.earlier = recordedFolderUse(*found.iniBytes);
    }
    return found;
}

// A page that undoing may remove: the use wrote exactly these bytes, and they carry the marker.
bool isUsesOwnPage(const std::optional<std::string>& bytes, const std::string& digest) {
    return bytes && !digest.empty() && sha256Hex(*bytes) == digest &&
           hasMarkerLine(WorkingDocument::fromBytes(*bytes));
}

// The survey for a use, with the template's entry and what is in it.
struct UseSurvey : Survey {
    Entry htt;
    std::optional<std::string> httBytes;
    bool replaceable = false;  // the page there is the earlier use's own, as written
    std::string keptName;      // the name a page of Tessivane's there would be kept under
};

// A name for keeping the page at the template's name that no entry of the folder has.
std::string freeKeptName(const Folder& folder, const std::string& templateName) {
    const std::string base = templateName + ".tessivane-replaced";
    for (int n = 1;; ++n) {
        std::string name = n == 1 ? base : base + "-" + std::to_string(n);
        if (!folder.entry(name).info) {
            return name;
        }
    }
}

UseSurvey surveyForUse(const QString& path, const QString& templateName) {
    UseSurvey found{survey(path), {}, {}, false, {}};
    const std::string name = templateName.toStdString();
    if (found.error) {
        return found;
    }
    if (!isTemplateFileName(name)) {
        found.error = error(Kind::BadTemplateName, templateName);
        return found;
    }
    if (found.earlier && !found.earlier->templateName.empty() &&
        ::strcasecmp(found.earlier->templateName.c_str(), name.c_str()) != 0) {
        found.error =
            error(Kind::OtherTemplate, path, QString::fromStdString(found.earlier->templateName));
        return found;
    }
    found.htt = found.folder.entry(name);
    if (!found.htt.info) {
        return found;
    }
    const auto refuse = [&](const QString& reason) {
        found.error = error(Kind::TemplateInTheWay, found.htt.path, reason);
    };
    const FolderUse earlier = found.earlier.value_or(FolderUse{});
    if (const auto why = whyNotReplaceable(found.folder, found.htt)) {
        refuse(*why);
    } else if (!(found.httBytes = found.folder.read(found.htt))) {
        refuse(systemReason(errno));
    } else if ((found.replaceable = isUsesOwnPage(found.httBytes, earlier.templateDigest))) {
        return found;
    } else if (!hasMarkerLine(WorkingDocument::fromBytes(*found.httBytes))) {
        refuse(QCoreApplication::translate("FolderUseReasons", "it was not written by Tessivane"));
    } else if (!earlier.keptName.empty()) {
        refuse(QCoreApplication::translate("FolderUseReasons",
                                           "it was changed since it was written, and the page it "
                                           "replaced is already kept as '%1'")
                   .arg(QString::fromStdString(earlier.keptName)));
    } else {
        found.keptName = freeKeptName(found.folder, name);
    }
    return found;
}

// The page as it will be written into the folder, and the files that come in with it.
struct BroughtIn {
    FolderUseError error;
    std::string bytes;
    std::vector<FolderStep> writes;  // the copies
    std::vector<FolderUse::Copy> copies;
    QStringList copied;
    QStringList unchecked;
};

// A name in the folder for a copy of the file: its own name, or "name (2).ext" and so on where
// that is taken by another file (the same bytes already there are used as they are).
std::string copyName(const Folder& folder, const QString& source, const std::string& digest,
                     const std::vector<FolderUse::Copy>& taken, bool& present) {
    const QFileInfo file(source);
    const QString base = file.completeBaseName();
    const QString suffix = file.suffix().isEmpty() ? QString() : "." + file.suffix();
    for (int n = 1;; ++n) {
        std::string name =
            (n == 1 ? file.fileName() : QString("%1 (%2)%3").arg(base).arg(n).arg(suffix))
                .toStdString();
        const auto same = [&](const FolderUse::Copy& copy) {
            return ::strcasecmp(copy.name.c_str(), name.c_str()) == 0;
        };
        const auto planned = std::find_if(taken.begin(), taken.end(), same);
        if (planned != taken.end()) {
            if (planned->digest == digest) {
                present = true;
                return planned->name;
            }
            continue;
        }
        const Entry entry = folder.entry(name);
        if (!entry.info) {
            return name;
        }
        const auto bytes = S_ISREG(entry.info->st_mode) ? folder.read(entry) : std::nullopt;
        if (bytes && sha256Hex(*bytes) == digest && entry.others.isEmpty()) {
            present = true;
            return entry.name;
        }
    }
}

// Brings the files that a look or a page names into the folder, collecting what it brought and
// the steps that write the copies.
class Bringing {
public:
    Bringing(BroughtIn& brought, const Folder& target, const QString& sourceFolder,
             const FolderUse& earlier, const std::string& templateName, unsigned hiddenSystem)
        : brought_(brought),
          target_(target),
          targetPath_(QDir(target.path).canonicalPath()),
          sourceFolder_(sourceFolder),
          earlier_(earlier),
          templateName_(templateName),
          hiddenSystem_(hiddenSystem) {}

    // The name in the folder for the file a value names, copying it in when it lies outside;
    // nothing for a value that stays as it is.
    std::optional<std::string> bring(const std::string& value) {
        const auto found = find(value);
        if (!found) {
            return std::nullopt;
        }
        const QString local = QFileInfo(*found).canonicalFilePath();
        if (local.startsWith(targetPath_ + QLatin1Char('/'))) {
            return local.mid(targetPath_.size() + 1)
                .replace(QLatin1Char('/'), QLatin1Char('\\'))
                .toStdString();
        }
        return copyIn(local);
    }

private:
    // The file of this machine that the value names, found as Windows would find it from the
    // folder or else from the page's source folder. Nothing when it cannot be checked here (it
    // is noted) or is missing (an error, unless the value is empty).
    std::optional<QString> find(const std::string& value) {
        const QString name = QString::fromStdString(value);
        FoundName found = findAsWindows(value, target_.path);  // already where Windows looks
        if (found.state != FoundName::State::Found) {
            found = findAsWindows(value, sourceFolder_);
        }
        if (found.state == FoundName::State::NotChecked) {
            if (found.kind != WindowsName::Kind::InFolder && !brought_.unchecked.contains(name)) {
                brought_.unchecked << name;
            }
            return std::nullopt;
        }
        if (found.state == FoundName::State::Missing) {
            if (found.kind != WindowsName::Kind::Empty) {
                brought_.error = error(Kind::MissingFile, name);
            }
            return std::nullopt;
        }
        return found.localPath;
    }

    // The names a copy may have only when its bytes are the same: those of the copies brought
    // so far and of the earlier use's.
    std::vector<FolderUse::Copy> takenNames() const {
        std::vector<FolderUse::Copy> taken = brought_.copies;
        taken.insert(taken.end(), earlier_.copies.begin(), earlier_.copies.end());
        // The names the use writes itself are never a copy's.
        for (const std::string& own : {std::string(kIniName), templateName_, earlier_.keptName}) {
            taken.push_back({own, {}});
        }
        return taken;
    }

    // Copies a file from outside the folder in, or finds the copy with its bytes already there;
    // the copy's name.
    std::optional<std::string> copyIn(const QString& local) {
        QFile file(local);
        if (!file.open(QIODevice::ReadOnly)) {
            brought_.error = error(Kind::Failed, local, file.errorString());
            return std::nullopt;
        }
        const QByteArray content = file.readAll();
        const std::string bytes(content.constData(), std::size_t(content.size()));
        const std::string digest = sha256Hex(bytes);
        const std::vector<FolderUse::Copy> taken = takenNames();
        bool present = false;
        const std::string copy = copyName(target_, local, digest, taken, present);
        const bool ours = std::any_of(taken.begin(), taken.end(),
                                      [&](const FolderUse::Copy& c) { return c.name == copy; });
        if (!present) {
            FolderStep write;
            write.kind = FolderStep::Kind::Write;
            write.name = copy;
            write.bytes = bytes;
            write.setBits = hiddenSystem_;
            brought_.writes.push_back(write);
        }
        if ((!present || ours) &&
            !std::any_of(brought_.copies.begin(), brought_.copies.end(),
                         [&](const FolderUse::Copy& c) { return c.name == copy; })) {
            brought_.copies.push_back({copy, digest});
            brought_.copied << QCoreApplication::translate("FolderUseReasons", "%1 (from %2)")
                                   .arg(QString::fromStdString(copy), local);
        }
        return copy;
    }

    BroughtIn& brought_;
    const Folder& target_;
    const QString targetPath_;
    const QString& sourceFolder_;
    const FolderUse& earlier_;
    const std::string& templateName_;
    unsigned hiddenSystem_;
};

// The page as it will be written: the pictures and sound it names brought into the folder, and
// its names for them changed to the ones they have there.
void bringInPageFiles(const WorkingDocument& document, Bringing& bringing, BroughtIn& brought) {
    brought.bytes = document.toBytes();
    const FolderViewSettings shown = readFolderViewSettings(document);
    FolderViewSettings settings = shown;
    for (std::string* value :
         {&settings.soundFile, &settings.backgroundImage, &settings.lineImage}) {
        if (const auto name = bringing.bring(*value)) {
            std::vector<std::string> parts;
            for (const QString& part : QString::fromStdString(*name).split(QLatin1Char('\\'))) {
                parts.push_back(part.toStdString());
            }
            *value = portableName(parts);
        }
        if (brought.error) {
            return;
        }
    }
    if (settings == shown) {
        return;
    }
    WorkingDocument page = document;
    const WriteOutcome written = writeSettings(
        page, settings, [](const std::string&) { return true; }, &shown);
    if (!written.written()) {
        brought.error = error(
            Kind::Failed, QString::fromStdString(written.detail),
            QCoreApplication::translate("FolderUseReasons", "the page cannot hold this name"));
        return;
    }
    brought.bytes = page.toBytes();
}

// Brings in the files the page and the look name (see the header); the look's values become the
// names Desktop.ini gives them, relative to the folder.
BroughtIn bringIn(const WorkingDocument* document, FolderLook& look, const Folder& target,
                  const QString& sourceFolder, const FolderUse& earlier,
                  const std::string& templateName, unsigned hiddenSystem) {
    BroughtIn brought;
    Bringing bringing(brought, target, sourceFolder, earlier, templateName, hiddenSystem);
    for (std::string* value : {&look.iconFile, &look.listPicture}) {
        if (const auto name = bringing.bring(*value)) {
            *value = *name;
        }
        if (brought.error) {
            return brought;
        }
    }
    if (document != nullptr) {
        bringInPageFiles(*document, bringing, brought);
    }
    return brought;
}

FolderUseError fromOutcome(const FolderChangeOutcome& outcome, const QString& folder) {
    using Outcome = FolderChangeOutcome::Kind;
    switch (outcome.kind) {
        case Outcome::Done:
            return {};
        case Outcome::Busy:
            return error(Kind::Busy, folder);
        case Outcome::Untrusted:
            return error(Kind::Unsettled, outcome.path, outcome.reason);
        case Outcome::Failed:
            return error(Kind::Failed, outcome.path, outcome.reason);
        case Outcome::Stopped:
            return error(Kind::Stopped, folder);
        case Outcome::RollbackFailed:
            return error(Kind::NotUndone, outcome.path, outcome.reason);
    }
    return {};
}

void takeOutcome(const FolderChangeOutcome& outcome, const QString& folder,
                 FolderUseResult& result) {
    result.error = fromOutcome(outcome, folder);
    result.signal = outcome.signal;
    result.settledEarlier = result.settledEarlier || outcome.settledEarlier;
}

// The folder opened for a change: its lock taken and what an earlier run left settled.
struct Change {
    Folder folder;
    std::optional<FolderTransaction> transaction;
    FolderUseResult result;
};

bool begin(Change& change, const QString& folder) {
    if ((change.result.error = openFolder(folder, change.folder))) {
        return false;
    }
    change.transaction.emplace(change.folder.fd.get(), folder);
    takeOutcome(change.transaction->outcome(), folder, change.result);
    return !change.result.error;
}

FolderStep step(FolderStep::Kind kind, const std::string& name) {
    FolderStep made;
    made.kind = kind;
    made.name = name;
    return made;
}

}  // namespace

FolderUsePlan planFolderUse(const QString& folder, const FolderUseRequest& request) {
    FolderUsePlan plan;
    Change change;
    if (!begin(change, folder)) {
        plan.error = change.result.error;
        return plan;
    }
    const UseSurvey found = request.page ? surveyForUse(folder, request.templateName)
                                         : UseSurvey{survey(folder), {}, {}, false, {}};
    plan.error = found.error;
    if (found.iniBytes) {
        plan.look = folderLookIn(*found.iniBytes);
    }
    if (found.earlier) {
        plan.recordedLook = found.earlier->look;
    }
    if (!found.error) {
        FolderLook look = request.look;
        const BroughtIn brought = bringIn(request.page, look, found.folder, request.sourceFolder,
                                          found.earlier.value_or(FolderUse{}), found.htt.name, 0);
        plan.error = brought.error;
        plan.copies = brought.copied;
        plan.unchecked = brought.unchecked;
    }
    plan.templatePath = found.htt.path;
    plan.templateExists = found.htt.info.has_value();
    plan.keptAs = QString::fromStdString(found.keptName);
    plan.iniExists = found.ini.info.has_value();
    plan.keepsAttributes = !found.error && found.folder.attributesOf(nullptr).has_value();
    return plan;
}

// Why the look cannot be written, or nothing.
std::optional<QString> whyNotWritable(const FolderLook& look) {
    const auto control = [](const std::string& text) {
        return std::any_of(text.begin(), text.end(),
                           [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; });
    };
    if (control(look.comment) || control(look.iconFile) || control(look.listPicture)) {
        return QCoreApplication::translate(
            "FolderUseReasons", "a value holds a line break or another control character");
    }
    if (!look.iconIndex.empty() &&
        !QString::fromStdString(look.iconIndex).contains(QRegularExpression("^-?[0-9]{1,9}$"))) {
        return QCoreApplication::translate("FolderUseReasons",
                                           "the icon index '%1' is not a whole number")
            .arg(QString::fromStdString(look.iconIndex));
    }
    if (!look.listTextColour.empty() && !rgbFromIniColour(look.listTextColour)) {
        return QCoreApplication::translate("FolderUseReasons", "'%1' is not a colour")
            .arg(QString::fromStdString(look.listTextColour));
    }
    return std::nullopt;
}

// The look without blanks around its values, which a line of Desktop.ini would not keep.
FolderLook trimmedLook(FolderLook look) {
    for (std::string* value : {&look.comment, &look.iconFile, &look.iconIndex, &look.listPicture,
                               &look.listTextColour}) {
        const std::size_t first = value->find_first_not_of(" \t");
        const std::size_t last = value->find_last_not_of(" \t");
        *value =
            first == std::string::npos ? std::string() : value->substr(first, last - first + 1);
    }
    return look;
}

namespace {

// The look asked for, with the earlier use's values where it leaves one empty; the icon index
// goes with the icon file it is of.
FolderLook withEarlierLook(const FolderLook& asked, FolderLook before) {
    FolderLook look = asked;
    const std::pair<std::string*, std::string*> parts[] = {
        {&look.comment, &before.comment},
        {&look.iconFile, &before.iconFile},
        {&look.listPicture, &before.listPicture},
        {&look.listTextColour, &before.listTextColour}};
    for (const auto& [part, kept] : parts) {
        *part = part->empty() ? *kept : *part;
    }
    if (asked.iconFile.empty()) {
        look.iconIndex = before.iconIndex;
    }
    return look;
}

// What the use records: the earlier use's record with the new look, the copies brought in, and
// the page written with the page of Tessivane's it replaces.
FolderUse useToRecord(const FolderUse& earlier, const FolderLook& look, const BroughtIn& brought,
                      const UseSurvey& found, bool page) {
    FolderUse use = earlier;
    use.look = look;
    for (const FolderUse::Copy& copy : brought.copies) {
        if (std::find(use.copies.begin(), use.copies.end(), copy) == use.copies.end()) {
            use.copies.push_back(copy);
        }
    }
    if (page) {
        use.templateName = found.htt.name;
        use.templateDigest = sha256Hex(brought.bytes);
        if (!found.keptName.empty()) {
            use.keptName = found.keptName;
            use.keptDigest = sha256Hex(*found.httBytes);
        }
    }
    return use;
}

// Records the attributes the use sets where the volume keeps them (folderBits): the folder
// read-only, Desktop.ini and the page hidden and system. Only bits that were not set already
// are recorded for Desktop.ini and the folder, so that undoing clears no bit the use found.
void recordAttributes(FolderUse& use, const UseSurvey& found,
                      const std::optional<unsigned>& folderBits, bool page) {
    const auto iniBits = found.ini.info ? found.folder.attributesOf(&found.ini) : std::nullopt;
    if (folderBits) {
        use.folderAttributes |= attributes::kReadOnly & ~*folderBits;
        use.iniAttributes |= kHiddenSystem & ~iniBits.value_or(0);
        use.templateAttributes = page ? kHiddenSystem : use.templateAttributes;
    }
}

// Why the edited Desktop.ini cannot be written, or nothing.
std::optional<QString> whyEditNotUsable(const DesktopIniEdit& edit) {
    if (edit.status == DesktopIniEdit::Status::NotStorable) {
        return QCoreApplication::translate(
            "FolderUseReasons",
            "its 8-bit text cannot hold the comment or a name, and its "
            "code page is not known");
    }
    if (edit.bytes.size() > std::size_t(kMaxIniSize)) {
        return QCoreApplication::translate("FolderUseReasons",
                                           "it would grow too large to be a Desktop.ini");
    }
    return std::nullopt;
}

// The steps of a use, in their order: the copies written; the page there set aside (and kept
// under a name of its own) and the new page written; Desktop.ini set aside and written anew; the
// folder marked.
std::vector<FolderStep> useSteps(const UseSurvey& found, const BroughtIn& brought,
                                 const FolderUse& use, const std::string& iniBytes, bool page) {
    std::vector<FolderStep> steps = brought.writes;
    if (page && found.htt.info) {
        steps.push_back(step(FolderStep::Kind::SetAside, found.htt.name));
        if (!found.keptName.empty()) {
            FolderStep keep = step(FolderStep::Kind::Copy, found.keptName);
            keep.like = found.htt.name;
            steps.push_back(keep);
        }
    }
    if (page) {
        FolderStep written = step(FolderStep::Kind::Write, found.htt.name);
        written.bytes = brought.bytes;
        written.setBits = use.templateAttributes;
        steps.push_back(written);
    }
    if (found.ini.info) {
        steps.push_back(step(FolderStep::Kind::SetAside, found.ini.name));
    }
    FolderStep ini = step(FolderStep::Kind::Write, found.ini.name);
    ini.bytes = iniBytes;
    ini.like = found.ini.info ? found.ini.name : std::string();
    ini.setBits = kHiddenSystem & use.iniAttributes;
    steps.push_back(ini);
    FolderStep marked = step(FolderStep::Kind::Attributes, ".");
    marked.setBits = attributes::kReadOnly & use.folderAttributes;
    steps.push_back(marked);
    return steps;
}

}  // namespace

FolderUseResult useForFolder(const QString& folder, const FolderUseRequest& request) {
    Change change;
    if (!begin(change, folder)) {
        return change.result;
    }
    FolderUseResult& result = change.result;
    if (const auto why = whyNotWritable(request.look)) {
        result.error = error(Kind::BadLook, folder, *why);
        return result;
    }
    const FolderLook asked = trimmedLook(request.look);
    const UseSurvey found = request.page ? surveyForUse(folder, request.templateName)
                                         : UseSurvey{survey(folder), {}, {}, false, {}};
    if (found.error) {
        result.error = found.error;
        return result;
    }
    const FolderUse earlier = found.earlier.value_or(FolderUse{});
    const auto folderBits = found.folder.attributesOf(nullptr);
    FolderLook look = request.keepEarlierLook ? withEarlierLook(asked, earlier.look) : asked;
    const BroughtIn brought = bringIn(request.page, look, found.folder, request.sourceFolder,
                                      earlier, found.htt.name, folderBits ? kHiddenSystem : 0);
    if (brought.error) {
        result.error = brought.error;
        return result;
    }
    if (!found.keptName.empty() && request.existing == ExistingTemplate::Refuse) {
        result.error = error(Kind::TemplateExists, found.htt.path);
        return result;
    }
    const bool page = request.page != nullptr;
    FolderUse use = useToRecord(earlier, look, brought, found, page);
    if (use.templateName.empty() && use.look.empty()) {
        result.error = error(
            Kind::BadLook, folder,
            QCoreApplication::translate("FolderUseReasons", "there is nothing to give the folder"));
        return result;
    }
    result.keepsAttributes = folderBits.has_value();
    recordAttributes(use, found, folderBits, page);
    const DesktopIniEdit edit = useTemplateIn(found.iniBytes, use);
    if (const auto why = whyEditNotUsable(edit)) {
        result.error = error(Kind::IniNotUsable, found.ini.path, *why);
        return result;
    }
    takeOutcome(change.transaction->run(useSteps(found, brought, use, edit.bytes, page)), folder,
                result);
    if (!result.error && !found.keptName.empty()) {
        result.keptAs = found.folder.pathOf(found.keptName);
    }
    if (!result.error) {
        result.copies = brought.copied;
        result.unchecked = brought.unchecked;
    }
    return result;
}

FolderShown showFolder(const QString& folder) {
    FolderShown shown;
    const Survey found = survey(folder);
    shown.error = found.error;
    if (found.iniBytes) {
        shown.look = folderLookIn(*found.iniBytes);
        shown.page = QString::fromStdString(webViewPageIn(*found.iniBytes));
    }
    return shown;
}

namespace {

// What undoing finds at the page's name, and of the page the use replaced.
struct PageToUndo {
    bool isFile = false;     // a regular file is at the page's name
    bool remove = false;     // ... and it is the use's own page, as written
    Entry kept;              // the page the use replaced, kept under another name
    bool bringBack = false;  // ... which goes back to the page's name
};

PageToUndo pageToUndo(const Folder& dir, const FolderUse& use, const Entry& htt) {
    PageToUndo page;
    page.isFile = htt.info && S_ISREG(htt.info->st_mode);
    const auto httBytes = page.isFile ? dir.read(htt) : std::nullopt;
    page.remove = isUsesOwnPage(httBytes, use.templateDigest);
    page.kept = use.keptName.empty() ? Entry{} : dir.entry(use.keptName);
    const Entry& kept = page.kept;
    const auto keptBytes = kept.info && S_ISREG(kept.info->st_mode) && kept.others.isEmpty()
                               ? dir.read(kept)
                               : std::nullopt;
    page.bringBack =
        keptBytes && (page.remove || !htt.info) && sha256Hex(*keptBytes) == use.keptDigest;
    return page;
}

// The first steps of undoing: the folder unmarked, Desktop.ini set aside and, unless the use
// made it and nothing else is left in it, written back as it was.
std::vector<FolderStep> undoIniSteps(const Entry& ini, const FolderUse& use,
                                     const DesktopIniEdit& edit) {
    // The folder first: on some volumes a read-only folder cannot be written.
    FolderStep unmarked = step(FolderStep::Kind::Attributes, ".");
    unmarked.clearBits = use.folderAttributes;
    std::vector<FolderStep> steps{unmarked, step(FolderStep::Kind::SetAside, ini.name)};
    if (!edit.removeFile) {
        FolderStep written = step(FolderStep::Kind::Write, ini.name);
        written.bytes = edit.bytes;
        written.like = ini.name;
        written.clearBits = use.iniAttributes;
        steps.push_back(written);
    }
    return steps;
}

// Sets aside the copies the use made that still hold their bytes; the others stay, named in
// keptCopies.
void setAsideCopies(const Folder& dir, const FolderUse& use, std::vector<FolderStep>& steps,
                    QStringList& keptCopies) {
    for (const FolderUse::Copy& copy : use.copies) {
        const Entry entry = dir.entry(copy.name);
        const auto bytes = entry.info && S_ISREG(entry.info->st_mode) && entry.others.isEmpty()
                               ? dir.read(entry)
                               : std::nullopt;
        if (bytes && sha256Hex(*bytes) == copy.digest) {
            steps.push_back(step(FolderStep::Kind::SetAside, entry.name));
        } else if (entry.info) {
            keptCopies << entry.path;
        }
    }
}

}  // namespace

FolderUseResult undoFolderUse(const QString& folder) {
    Change change;
    if (!begin(change, folder)) {
        return change.result;
    }
    FolderUseResult& result = change.result;
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
    if (!htt.others.isEmpty()) {
        result.error =
            error(Kind::TemplateInTheWay, htt.path,
                  QCoreApplication::translate("FolderUseReasons", "Windows cannot tell it from %1")
                      .arg(htt.others.join(", ")));
        return result;
    }
    const PageToUndo page = pageToUndo(dir, use, htt);
    result.keepsAttributes = dir.attributesOf(nullptr).has_value();

    std::vector<FolderStep> steps = undoIniSteps(found.ini, use, edit);
    if (page.remove) {
        steps.push_back(step(FolderStep::Kind::SetAside, htt.name));
    } else if (page.isFile) {
        FolderStep unmarked = step(FolderStep::Kind::Attributes, htt.name);
        unmarked.clearBits = use.templateAttributes;
        steps.push_back(unmarked);
        result.keptTemplate = htt.path;
    }
    setAsideCopies(dir, use, steps, result.keptCopies);
    if (page.bringBack) {
        steps.push_back(step(FolderStep::Kind::SetAside, page.kept.name));
        FolderStep back = step(FolderStep::Kind::Copy, htt.name);
        back.like = page.kept.name;
        steps.push_back(back);
    }
    takeOutcome(change.transaction->run(std::move(steps)), folder, result);
    if (!result.error && page.bringBack) {
        result.restored = htt.path;
    } else if (!result.error && page.kept.info) {
        result.keptAs = page.kept.path;
    }
    return result;
}

}  // namespace tessivane
