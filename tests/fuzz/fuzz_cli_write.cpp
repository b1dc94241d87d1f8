// SPDX-License-Identifier: MIT
// Fuzz target: tessivane-cli's "write" command fed arbitrary argument lists: the input, split at
// its NUL bytes, gives up to 40 arguments after "tessivane-cli write" for tessivane::cli::run().
//
// Every run happens in a private folder made under TMPDIR (or /tmp), removed at a normal exit.
// It is the current folder during the run, so bare names in the seed corpus (ding.wav, back.gif,
// line.gif) name prepared files; libFuzzer's -artifact_prefix must be an absolute path. Every
// value of an option that names a document (-o, --output, --from, in each spelling Qt's parser
// takes, "=VALUE" attached or in the next argument) becomes one of the prepared names, wherever
// such a spelling appears, so no run reads or writes a document elsewhere; the sound and picture
// options stay as they are, as the command only asks whether those files exist. Checked:
// - the exit status is 0, 1 or 2; 1 and 2 come with a message, 2 with the usage text, 0 with none;
// - a refusal leaves every file of the folder as it was and adds none;
// - success replaced exactly one output with a new file, left every other file as it was, and
//   "show" reads the new file back without complaint.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <QByteArray>
#include <QStringList>

#include "cli/cli.h"
#include "document/core.h"

namespace {

using namespace tessivane;
namespace fs = std::filesystem;

void check(bool ok, const char* what, const std::string& detail) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_cli_write: %s\n%s\n", what, detail.c_str());
        std::abort();
    }
}

// Outputs may be replaced by a run, and the folder is then prepared again; sources are never
// written (same.htt is both).
const QStringList kOutputs = {"out.htt", "existing.htt",  "ro.htt",
                              "sub",     "missing/x.htt", "same.htt"};
const QStringList kSources = {"template.htt", "written.htt", "legacy.htt", "cr.htt",
                              "lf.htt",       "foreign.htt", "short.htt",  "empty.htt",
                              "absent.htt",   "sub",         "same.htt"};

struct Entry {
    ino_t inode = 0;
    mode_t mode = 0;
    std::string bytes;
    bool operator==(const Entry&) const = default;
};
using Snapshot = std::map<std::string, Entry>;  // by the name inside the folder

std::string gFolder;   // the private folder, absolute
int gFolderFd = -1;    // to enter it for a run
int gOriginalFd = -1;  // to leave it after a run
Snapshot gInitial;     // the folder as prepared

Snapshot snapshot() {
    Snapshot result;
    for (const auto& entry : fs::recursive_directory_iterator(gFolder)) {
        struct stat info {};
        ::lstat(entry.path().c_str(), &info);
        std::ifstream in(entry.path(), std::ios::binary);
        result[entry.path().string().substr(gFolder.size() + 1)] = {
            info.st_ino, info.st_mode,
            S_ISREG(info.st_mode) ? std::string(std::istreambuf_iterator<char>(in), {}) : ""};
    }
    return result;
}

// The template, written by the core with the description, naming the prepared files, looping
// three times, in navy.
std::string writtenDocument(const std::string& description) {
    WorkingDocument document = WorkingDocument::fromTemplate();
    const FolderViewSettings settings{description, "back.gif", "line.gif", "ding.wav", false,
                                      "3",         "verdana",  "Navy",     "8",        "10"};
    check(writeSettings(document, settings, [](const std::string&) { return true; }).written(),
          "cannot compose the prepared documents", description);
    return document.toBytes();
}

// The prepared files, by name; besides them the folder holds the folder "sub".
const std::map<std::string, std::string> kPrepared = [] {
    const QByteArray written = QByteArray::fromStdString(writtenDocument("Written by the set-up"));
    return std::map<std::string, std::string>{
        {"ding.wav", "RIFF"},
        {"back.gif", "GIF89a"},
        {"line.gif", "GIF89a"},
        {"template.htt", joinLines(templateLines())},
        {"written.htt", written.toStdString()},
        {"same.htt", written.toStdString()},
        {"legacy.htt",
         *encodeText(writtenDocument("Dossier \xC3\xA9t\xC3\xA9"), TextEncoding::Latin1)},
        {"cr.htt", QByteArray(written).replace("\r\n", "\r").toStdString()},
        {"lf.htt", QByteArray(written).replace("\r\n", "\n").toStdString()},
        {"foreign.htt", "<html>\r\n<head>\r\n<title>x</title>\r\n"},
        {"short.htt", joinLines({templateLines().begin(), templateLines().begin() + 100})},
        {"empty.htt", ""},
        {"existing.htt", "keep me\r\n"},
        {"ro.htt", "read only\r\n"}};
}();

// Puts back every prepared entry that is missing, and takes the folder's snapshot.
void populate() {
    for (const auto& [name, bytes] : kPrepared) {
        if (!fs::exists(gFolder + "/" + name)) {
            std::ofstream(gFolder + "/" + name, std::ios::binary) << bytes;
        }
    }
    fs::permissions(gFolder + "/ro.htt", fs::perms(0444));
    fs::create_directory(gFolder + "/sub");
    gInitial = snapshot();
    check(gInitial.size() == kPrepared.size() + 1, "cannot prepare the folder", gFolder);
}

// The value when it is one of the names, otherwise one of them picked by the value.
QString confined(const QString& value, const QStringList& names) {
    return names.contains(value) ? value : names[qsizetype(qHash(value) % names.size())];
}

void confine(QStringList& arguments) {
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        const QString argument = arguments[i];
        const QString name = argument.mid(argument.startsWith("--") ? 2 : 1).section('=', 0, 0);
        const QStringList& names = name == "from" ? kSources : kOutputs;
        if (!argument.startsWith('-') || (name != "o" && name != "output" && name != "from")) {
            continue;
        }
        if (argument.contains('=')) {
            arguments[i] =
                argument.section('=', 0, 0) + '=' + confined(argument.section('=', 1), names);
        } else if (i + 1 < arguments.size()) {
            ++i;
            arguments[i] = confined(arguments[i], names);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tessivane-fuzz-cli-XXXXXX";
    check(::mkdtemp(pattern.data()) != nullptr, "cannot make the private folder", pattern);
    gFolder = pattern;
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(gFolder, ignored);
    });
    gFolderFd = ::open(gFolder.c_str(), O_RDONLY | O_DIRECTORY);
    gOriginalFd = ::open(".", O_RDONLY | O_DIRECTORY);
    check(gFolderFd >= 0 && gOriginalFd >= 0, "cannot open the folders", gFolder);
    populate();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList arguments{"tessivane-cli", "write"};
    for (std::string_view rest(reinterpret_cast<const char*>(data), size);
         !rest.empty() && arguments.size() < 42;) {
        const std::string_view piece = rest.substr(0, rest.find('\0'));
        arguments << QString::fromUtf8(piece.data(), qsizetype(piece.size()));
        rest.remove_prefix(std::min(rest.size(), piece.size() + 1));
    }
    confine(arguments);

    check(::fchdir(gFolderFd) == 0, "cannot enter the private folder", gFolder);
    std::ostringstream out, err;
    const int status = cli::run(arguments, out, err);
    const Snapshot after = snapshot();
    std::string call;
    for (const QString& argument : arguments) {
        call += "[" + argument.toStdString() + "] ";
    }
    call += "\nstderr: " + err.str();

    check(status == cli::kDone || status == cli::kFailed || status == cli::kUsage,
          "an exit status other than 0, 1 or 2", call);
    if (status == cli::kDone) {
        // Success may only add notes: a corrected number, a value that reads back otherwise.
        std::istringstream notes(err.str());
        for (std::string line; std::getline(notes, line);) {
            check(line.rfind("tessivane-cli: --", 0) == 0 ||
                      line.rfind("tessivane-cli: warning: ", 0) == 0,
                  "success with a message", call);
        }
        std::vector<std::string> replaced;
        for (const auto& [name, entry] : after) {
            if (!gInitial.contains(name) || gInitial.at(name) != entry) {
                check(kOutputs.contains(QString::fromStdString(name)),
                      "success changed a file that is not an output", call + "\n" + name);
                replaced.push_back(name);
            }
        }
        for (const auto& [name, entry] : gInitial) {
            check(after.contains(name), "success removed a file", call + "\n" + name);
        }
        check(replaced.size() == 1, "success without exactly one new file", call);
        std::ostringstream shown;
        check(cli::run({"tessivane-cli", "show", QString::fromStdString(replaced[0])}, shown,
                       shown) == cli::kDone,
              "show refuses what write wrote", call + "\n" + shown.str());
    } else {
        check(!err.str().empty(), "a refusal without a message", call);
        check(status != cli::kUsage || err.str().find("Usage:") != std::string::npos,
              "a usage error without usage", call);
        check(after == gInitial, "a refusal changed the folder", call);
    }
    if (after != gInitial) {
        for (const auto& [name, entry] : after) {
            if (!gInitial.contains(name) || gInitial.at(name) != entry) {
                fs::remove_all(gFolder + "/" + name);
            }
        }
        populate();
    }
    (void)!::fchdir(gOriginalFd);
    return 0;
}
