// SPDX-License-Identifier: MIT
// Fuzz target: the input, split at its NUL bytes, is up to 40 arguments of "tessivane-cli write",
// run by cli::run() in a private folder of prepared files; every document name becomes a prepared
// one (-artifact_prefix must be absolute). Checked: the exit status is 0, 1 or 2; a refusal says
// why, a usage error adds the usage, --help prints write's, and none changes the folder; any other
// success replaces exactly one output, which "show" reads back, and prints only notes.
// The folder is read back after a run only when inotify reports a change in it, or for a sample of
// inputs (sample.h), where a change without a report fails as well.
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include "cli/cli.h"
#include "sample.h"

namespace {

namespace fs = std::filesystem;
namespace cli = tessivane::cli;

void check(bool ok, const char* what, const std::string& detail) {
    if (!ok)
        qFatal("fuzz_cli_write: %s\n%s", what, detail.c_str());  // aborts
}

// Outputs may be replaced (same.htt is also a source), and the folder is then prepared again.
const QStringList kOutputs = {"out.htt", "old.htt", "ro.htt", "sub", "missing/x.htt", "same.htt"};
const QStringList kSources = {"written.htt", "legacy.htt", "cr.htt", "foreign.htt", "short.htt",
                              "empty.htt",   "absent.htt", "sub",    "same.htt"};

const QString kWrite =
    "tessivane-cli write --description Written --loop 3 --sound ding.wav "
    "--background back.gif --line-image line.gif -o written.htt";
fs::path gFolder, gOriginal = fs::current_path();  // the private folder, and the one outside runs
std::error_code gIgnored;                          // whatever removing the folder at exit meets
using Snapshot = std::map<std::string, std::tuple<ino_t, mode_t, QByteArray>>;  // by name
Snapshot gInitial;  // the folder as prepared
int gNotices = -1;  // inotify: the changes in the folder and in "sub"

// A file's bytes, nothing when it cannot be read: through the system's calls, as reading through
// QFile took about a quarter of the fuzzer's time.
QByteArray read(const char* path) {
    QByteArray bytes;
    const int file = ::open(path, O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    for (ssize_t got = 0; file >= 0 && (got = ::read(file, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, got);
    if (file >= 0)
        ::close(file);
    return bytes;
}

Snapshot snapshot() {
    Snapshot result;
    for (const auto& entry : fs::recursive_directory_iterator(gFolder)) {
        struct stat info {};
        ::lstat(entry.path().c_str(), &info);
        result[entry.path().lexically_relative(gFolder)] = {
            info.st_ino, info.st_mode, S_ISREG(info.st_mode) ? read(entry.path().c_str()) : ""};
    }
    return result;
}

// Whether inotify reported a change since the last call (an overflow of its queue is one too);
// takes the reports out.
bool noticed() {
    alignas(inotify_event) char reports[4096];
    bool any = false;
    while (::read(gNotices, reports, sizeof reports) > 0)
        any = true;
    return any;
}

// Puts back every prepared entry that is missing: a sound and pictures, a document that the tool
// wrote and others made from it, files that are not ours, the folder "sub"; takes the snapshot.
void populate() {
    const auto put = [](const char* name, const QByteArray& bytes) {
        QFile file(name);
        if (!file.exists() && file.open(QIODevice::WriteOnly))
            file.write(bytes);
    };
    const std::pair<const char*, const char*> files[] = {
        {"ding.wav", "RIFF"},       {"back.gif", "GIF89a"},
        {"line.gif", "GIF89a"},     {"foreign.htt", "<html>\r\n<head>\r\n"},
        {"empty.htt", ""},          {"old.htt", "keep me\r\n"},
        {"ro.htt", "read only\r\n"}};
    for (const auto& [name, bytes] : files)
        put(name, bytes);
    std::ostringstream log;
    check(fs::exists("written.htt") || cli::run(kWrite.split(' '), log, log) == cli::kDone,
          "cannot write written.htt", log.str());
    const QByteArray written = read("written.htt");
    put("same.htt", written);
    put("legacy.htt", QByteArray(written).replace("\r\nWritten\r\n", "\r\nDossier \xE9t\xE9\r\n"));
    put("cr.htt", QByteArray(written).replace("\r\n", "\r"));
    put("short.htt", written.left(written.indexOf("<bgsound")));  // ends too early
    fs::permissions("ro.htt", fs::perms(0444));
    fs::create_directory("sub");
    gInitial = snapshot();
    check(gInitial.size() == 13, "cannot prepare the folder", gFolder);
    // Every way an entry can change, in the folder and in "sub" (made anew, perhaps); reading
    // them is not one.
    constexpr std::uint32_t kChanges = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE |
                                       IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                       IN_MOVE_SELF;
    check(::inotify_add_watch(gNotices, gFolder.c_str(), kChanges) >= 0 &&
              ::inotify_add_watch(gNotices, (gFolder / "sub").c_str(), kChanges) >= 0,
          "cannot watch the folder", gFolder);
    noticed();
}

// The value of each option that names a document (attached after '=' or the next argument)
// becomes one of the names the option may use: itself when it is one, else one picked by it.
void confine(QStringList& arguments) {
    static const QRegularExpression option("\\A--?(o|output|from)(=|\\z)");
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        if (!arguments[i].startsWith('-'))
            continue;  // no option; the expression costs time on every argument
        const QRegularExpressionMatch match = option.match(arguments[i]);
        const bool attached = !match.captured(2).isEmpty();
        if (!match.hasMatch() || (!attached && ++i == arguments.size())) {
            continue;
        }
        const QStringList& names = match.captured(1) == "from" ? kSources : kOutputs;
        const QString value = attached ? arguments[i].mid(match.capturedEnd()) : arguments[i];
        arguments[i] = (attached ? match.captured(0) : QString()) +
                       (names.contains(value) ? value : names[qHash(value) % names.size()]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // In memory where there is a tmpfs for it: making and syncing files on a disk took a tenth of
    // the time.
    const fs::path base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : fs::temp_directory_path();
    std::string pattern = base / "tessivane-fuzz-cli-XXXXXX";
    check(::mkdtemp(pattern.data()) != nullptr, "cannot make the private folder", pattern);
    std::atexit([] { fs::remove_all(gFolder, gIgnored); });
    gNotices = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    check(gNotices >= 0, "cannot watch the folder", pattern);
    fs::current_path(gFolder = pattern);
    populate();
    fs::current_path(gOriginal);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList arguments{"tessivane-cli", "write"};
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& piece : size == 0 ? QList<QByteArray>{} : input.split('\0').mid(0, 40))
        arguments << QString::fromUtf8(piece);
    confine(arguments);
    fs::current_path(gFolder);
    std::ostringstream out, err;
    const int status = cli::run(arguments, out, err);
    const std::string printed = out.str(), said = err.str();
    // The call and what it said, put together only when a check fails.
    const auto expect = [&](bool ok, const char* what, const std::string& more = {}) {
        if (!ok)
            check(ok, what, "[" + arguments.join("] [").toStdString() + "]\n" + said + more);
    };
    expect(status >= cli::kDone && status <= cli::kUsage, "an exit status beyond 0, 1, 2");
    const bool notice = noticed();
    QStringList changed;  // entries added, changed or removed
    if (notice || tessivane::fuzz::sampled({reinterpret_cast<const char*>(data), size})) {
        const Snapshot after = snapshot();
        Snapshot both = after;
        both.insert(gInitial.begin(), gInitial.end());
        for (const auto& [name, entry] : both) {
            if (!after.contains(name) || !gInitial.contains(name) || entry != gInitial.at(name))
                changed << QString::fromStdString(name);
        }
        expect(notice || changed.empty(), "the folder changed without a report");
    }
    if (status == cli::kDone && printed.empty()) {
        static const QRegularExpression notes(
            "\\A(tessivane-cli: (--|warning: |note: )[^\n]*\n)*\\z");
        expect(notes.match(QString::fromStdString(said)).hasMatch(), "success with a message");
        expect(changed.size() == 1 && kOutputs.contains(changed[0]),
               "success without exactly one new output");
        std::ostringstream shown;
        expect(cli::run({"tessivane-cli", "show", changed[0]}, shown, shown) == cli::kDone,
               "show refuses what write wrote", "\n" + shown.str());
    } else if (status == cli::kDone) {
        expect(printed.starts_with("Usage: tessivane-cli write") && said.empty() && changed.empty(),
               "--help did more than print write's usage", printed);
    } else {
        expect(!said.empty() && printed.empty() && changed.empty() &&
                   (status == cli::kFailed || said.find("\nUsage:\n") != std::string::npos),
               "a refusal without its message or usage, or with a change");
    }
    for (const QString& name : changed)
        fs::remove_all(name.toStdString());
    // With only entries that the run made taken away the folder is as prepared; else prepare it.
    const auto made = [](const QString& name) { return !gInitial.contains(name.toStdString()); };
    if (!changed.empty() && std::all_of(changed.begin(), changed.end(), made))
        noticed();  // the removals
    else if (!changed.empty())
        populate();
    fs::current_path(gOriginal);
    return 0;
}
