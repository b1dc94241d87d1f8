// Fuzz target: tessivane-cli's "write" command fed arbitrary argument lists.
//
// The input is split at its NUL bytes into arguments (at most 40), which follow
// "tessivane-cli write" and go to tessivane::cli::run() as they would from a shell.
//
// Confinement: the fuzzer must never write or read a document outside its own folder. Every run
// happens inside a private folder made by mkdtemp() under TMPDIR (or /tmp), removed at a normal
// exit (a failed check leaves it for a look at what the run did). Before the run, every argument
// spelled as an option that names a document (-o, -output, --o, --output, -from, --from, each
// also with "=VALUE" attached: the forms Qt's parser accepts) has its value, attached or in the
// next argument, replaced by one of the prepared names in that folder. The replacement happens
// wherever such a spelling appears, even where the parser would take it as another option's
// value, so every argument the parser can read as a document path is one of ours. The sound and
// picture options stay as they are: the command only asks whether those files exist. The folder
// is the current folder during each run, so bare names in the seed corpus (ding.wav, back.gif,
// line.gif) name prepared files; libFuzzer writes a crashing input while the run is still in the
// folder, so its -artifact_prefix must be an absolute path.
//
// Checked, with abort() on any failure:
// - the exit status is 0, 1 or 2; 1 and 2 come with a message on standard error, 2 with the
//   usage text, 0 with nothing on standard error;
// - a refusal (1 or 2) leaves every file of the folder as it was and adds none;
// - success replaced exactly one of the output names with a new file, left every other file as
//   it was, and "show" reads the new file back without complaint.
// With TESSIVANE_FUZZ_VERBOSE set, every call is printed with its exit status.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <QString>
#include <QStringList>

#include "cli/cli.h"
#include "document/core.h"

namespace {

using namespace tessivane;

[[noreturn]] void fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "fuzz_cli_write: %s\n%s\n", what, detail.c_str());
    std::abort();
}

void check(bool ok, const char* what, const std::string& detail = {}) {
    if (!ok) {
        fail(what, detail);
    }
}

// Names inside the private folder. Outputs may be replaced by a run and are restored after it;
// sources are never written (same.htt is both).
const char* const kOutputs[] = {"out.htt", "existing.htt",  "ro.htt",
                                "sub",     "missing/x.htt", "same.htt"};
const char* const kSources[] = {"template.htt", "written.htt", "legacy.htt", "cr.htt",
                                "lf.htt",       "foreign.htt", "short.htt",  "empty.htt",
                                "absent.htt",   "sub",         "same.htt"};

struct Entry {
    ino_t inode = 0;
    mode_t mode = 0;
    std::string bytes;
    bool operator==(const Entry&) const = default;
};
using Snapshot = std::map<std::string, Entry>;

std::string gFolder;   // absolute path of the private folder
int gFolderFd = -1;    // to enter it for a run
int gOriginalFd = -1;  // to leave it after a run
Snapshot gInitial;     // the folder as prepared, by name

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& name, std::string_view bytes, mode_t mode = 0644) {
    const std::string path = gFolder + "/" + name;
    ::chmod(path.c_str(), 0644);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    check(bool(out), "cannot prepare the folder", path);
    ::chmod(path.c_str(), mode);
}

// Every entry of the folder and of its sub-folders, with its inode, mode and contents.
void snapshotInto(const std::string& relative, Snapshot& snapshot) {
    const std::string path = relative.empty() ? gFolder : gFolder + "/" + relative;
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string child = relative.empty() ? name : relative + "/" + name;
        struct stat info {};
        if (::lstat((gFolder + "/" + child).c_str(), &info) != 0) {
            continue;
        }
        Entry& e = snapshot[child];
        e.inode = info.st_ino;
        e.mode = info.st_mode;
        if (S_ISREG(info.st_mode)) {
            e.bytes = readFile(gFolder + "/" + child);
        } else if (S_ISDIR(info.st_mode)) {
            snapshotInto(child, snapshot);
        }
    }
    ::closedir(dir);
}

Snapshot snapshot() {
    Snapshot result;
    snapshotInto("", result);
    return result;
}

void removeTree(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return;
    }
    if (S_ISDIR(info.st_mode)) {
        ::chmod(path.c_str(), 0755);
        if (DIR* dir = ::opendir(path.c_str())) {
            std::vector<std::string> names;
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..") {
                    names.push_back(name);
                }
            }
            ::closedir(dir);
            for (const std::string& name : names) {
                removeTree(path + "/" + name);
            }
        }
        ::rmdir(path.c_str());
    } else {
        ::unlink(path.c_str());
    }
}

void removeFolder() {
    if (!gFolder.empty()) {
        removeTree(gFolder);
    }
}

std::string templateBytes() {
    return joinLines(templateLines());
}

// A document written by the core from the template, naming the prepared files.
std::string writtenDocument(const std::string& description) {
    WorkingDocument document;
    ListCopy(document);
    FolderViewSettings settings = readFolderViewSettings(document);
    settings.description = description;
    settings.soundFile = "ding.wav";
    settings.backgroundImage = "back.gif";
    settings.lineImage = "line.gif";
    settings.loopForever = false;
    settings.loopCount = "3";
    settings.textColour = "Navy";
    check(writeSettings(document, settings, [](const std::string&) { return true; }).written(),
          "cannot compose the prepared documents");
    return document.toBytes();
}

std::string withLineEnds(const std::string& crlf, const char* end) {
    std::string result;
    for (const std::string& line : splitLines(crlf)) {
        result += line;
        result += end;
    }
    return result;
}

void prepareFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tessivane-fuzz-cli-XXXXXX";
    check(::mkdtemp(pattern.data()) != nullptr, "cannot make the private folder", pattern);
    gFolder = pattern;
    std::atexit(removeFolder);

    writeFile("ding.wav", "RIFF");
    writeFile("back.gif", "GIF89a");
    writeFile("line.gif", "GIF89a");
    const std::string written = writtenDocument("Written by the fuzzer's set-up");
    writeFile("template.htt", templateBytes());
    writeFile("written.htt", written);
    std::string legacy = writtenDocument("Dossier \xC3\xA9t\xC3\xA9");  // Latin-1 below
    legacy = *encodeText(legacy, TextEncoding::Latin1);
    writeFile("legacy.htt", legacy);
    writeFile("cr.htt", withLineEnds(written, "\r"));
    writeFile("lf.htt", withLineEnds(written, "\n"));
    writeFile("foreign.htt", "<html>\r\n<head>\r\n<title>x</title>\r\n");
    std::string shortDocument;
    for (std::size_t i = 0; i < 100; ++i) {
        shortDocument += templateLines()[i] + "\r\n";
    }
    writeFile("short.htt", shortDocument);
    writeFile("empty.htt", "");
    writeFile("same.htt", written);
    writeFile("existing.htt", "keep me\r\n");
    writeFile("ro.htt", "read only\r\n", 0444);
    check(::mkdir((gFolder + "/sub").c_str(), 0755) == 0, "cannot make a folder");

    gFolderFd = ::open(gFolder.c_str(), O_RDONLY | O_DIRECTORY);
    gOriginalFd = ::open(".", O_RDONLY | O_DIRECTORY);
    check(gFolderFd >= 0 && gOriginalFd >= 0, "cannot open the folders");
    gInitial = snapshot();
}

// Puts back every entry that a run changed or added.
void restoreFolder(const Snapshot& now) {
    for (const auto& [name, entry] : now) {
        if (gInitial.count(name) == 0) {
            removeTree(gFolder + "/" + name);
        }
    }
    for (const auto& [name, entry] : gInitial) {
        const auto found = now.find(name);
        if (found != now.end() && found->second.bytes == entry.bytes &&
            found->second.mode == entry.mode) {
            continue;
        }
        if (S_ISREG(entry.mode)) {
            writeFile(name, entry.bytes, entry.mode & 07777);
        }
    }
    gInitial = snapshot();  // inodes of rewritten files are new
}

// One of the names, picked by the value the fuzzer gave: the name itself when it is one of them.
QString confined(const QString& value, const char* const* names, std::size_t count) {
    std::size_t hash = 0;
    for (const QChar c : value) {
        hash = hash * 31 + c.unicode();
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (value == QLatin1String(names[i])) {
            return value;
        }
    }
    return QString::fromLatin1(names[hash % count]);
}

enum class PathOption { None, Output, Source };

// Whether the argument, as Qt's parser would read it, names -o/--output or --from; and whether
// a value is attached with "=".
PathOption pathOption(const QString& argument, qsizetype* equals) {
    *equals = -1;
    if (!argument.startsWith(QLatin1Char('-')) || argument.size() < 2) {
        return PathOption::None;
    }
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype eq = name.indexOf(QLatin1Char('='));
    if (eq >= 0) {
        name.truncate(eq);
        *equals = argument.indexOf(QLatin1Char('='));
    }
    if (name == QLatin1String("o") || name == QLatin1String("output")) {
        return PathOption::Output;
    }
    if (name == QLatin1String("from")) {
        return PathOption::Source;
    }
    return PathOption::None;
}

void confine(QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        qsizetype equals = -1;
        const PathOption option = pathOption(arguments[i], &equals);
        if (option == PathOption::None) {
            continue;
        }
        const auto pick = [&](const QString& value) {
            return option == PathOption::Output ? confined(value, kOutputs, std::size(kOutputs))
                                                : confined(value, kSources, std::size(kSources));
        };
        if (equals >= 0) {
            arguments[i] = arguments[i].left(equals + 1) + pick(arguments[i].mid(equals + 1));
        } else if (i + 1 < arguments.size()) {
            arguments[i + 1] = pick(arguments[i + 1]);
            ++i;
        }
    }
}

bool isOutputName(const std::string& name) {
    for (const char* output : kOutputs) {
        if (name == output) {
            return true;
        }
    }
    return false;
}

std::string describe(const QStringList& arguments) {
    std::string text;
    for (const QString& argument : arguments) {
        text += "[" + argument.toStdString() + "] ";
    }
    return text;
}

// Leaves the private folder again however a run ends.
struct InFolder {
    InFolder() { check(::fchdir(gFolderFd) == 0, "cannot enter the private folder"); }
    ~InFolder() { (void)!::fchdir(gOriginalFd); }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    prepareFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList arguments{QStringLiteral("tessivane-cli"), QStringLiteral("write")};
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty() && arguments.size() < 42) {
        const std::size_t nul = rest.find('\0');
        const std::string_view piece = rest.substr(0, nul);
        arguments << QString::fromUtf8(piece.data(), qsizetype(piece.size()));
        rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    }
    confine(arguments);

    InFolder inFolder;
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::run(arguments, out, err);
    const Snapshot after = snapshot();
    const std::string call = describe(arguments) + "\nstderr: " + err.str();

    if (std::getenv("TESSIVANE_FUZZ_VERBOSE") != nullptr) {
        std::fprintf(stderr, "exit %d: %s\n", status, call.c_str());
    }
    check(status == cli::kDone || status == cli::kFailed || status == cli::kUsage,
          "an exit status other than 0, 1 or 2", call);
    if (status == cli::kDone) {
        check(err.str().empty(), "success with a message", call);
        std::vector<std::string> replaced;
        for (const auto& [name, entry] : after) {
            const auto before = gInitial.find(name);
            if (before == gInitial.end() || !(before->second == entry)) {
                check(isOutputName(name), "success changed a file that is not an output", call);
                replaced.push_back(name);
            }
        }
        for (const auto& [name, entry] : gInitial) {
            check(after.count(name) == 1, "success removed a file", call + "\n" + name);
        }
        check(replaced.size() == 1, "success without exactly one new file", call);
        std::ostringstream shownOut;
        std::ostringstream shownErr;
        const int shown = cli::run({QStringLiteral("tessivane-cli"), QStringLiteral("show"),
                                    QString::fromStdString(replaced.front())},
                                   shownOut, shownErr);
        check(shown == cli::kDone, "show refuses what write wrote", call + "\n" + shownErr.str());
    } else {
        check(!err.str().empty(), "a refusal without a message", call);
        if (status == cli::kUsage) {
            check(err.str().find("Usage:") != std::string::npos, "a usage error without usage",
                  call);
        }
        check(after == gInitial, "a refusal changed the folder", call);
    }
    if (!(after == gInitial)) {
        restoreFolder(after);
    }
    return 0;
}
