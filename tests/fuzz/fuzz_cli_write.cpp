// SPDX-License-Identifier: MIT
// Fuzz target: the input, split at its NUL bytes, is up to 40 arguments of "tessivane-cli write",
// run by cli::run() in a private folder of prepared files; every document name becomes a prepared
// one (-artifact_prefix must be absolute). Checked: the exit status is 0, 1 or 2; a refusal says
// why, a usage error adds the usage, --help prints write's, and none changes the folder; any other
// success replaces exactly one output, which "show" reads back, and prints only notes.
#include <sys/stat.h>

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

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
}

// The value of each option that names a document (attached after '=' or the next argument)
// becomes one of the names the option may use: itself when it is one, else one picked by it.
void confine(QStringList& arguments) {
    static const QRegularExpression option("\\A--?(o|output|from)(=|\\z)");
    for (qsizetype i = 2; i < arguments.size(); ++i) {
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
    std::string pattern = fs::temp_directory_path() / "tessivane-fuzz-cli-XXXXXX";
    check(::mkdtemp(pattern.data()) != nullptr, "cannot make the private folder", pattern);
    std::atexit([] { fs::remove_all(gFolder, gIgnored); });
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
    const std::string printed = out.str(), said = err.str(),
                      call = "[" + arguments.join("] [").toStdString() + "]\n" + said;
    check(status >= cli::kDone && status <= cli::kUsage, "an exit status beyond 0, 1, 2", call);
    const Snapshot after = snapshot();
    Snapshot both = after;
    both.insert(gInitial.begin(), gInitial.end());
    QStringList changed;  // entries added, changed or removed
    for (const auto& [name, entry] : both) {
        if (!after.contains(name) || !gInitial.contains(name) || entry != gInitial.at(name))
            changed << QString::fromStdString(name);
    }
    if (status == cli::kDone && printed.empty()) {
        static const QRegularExpression notes(
            "\\A(tessivane-cli: (--|warning: |note: )[^\n]*\n)*\\z");
        check(notes.match(QString::fromStdString(said)).hasMatch(), "success with a message", call);
        check(changed.size() == 1 && kOutputs.contains(changed[0]),
              "success without exactly one new output", call);
        std::ostringstream shown;
        check(cli::run({"tessivane-cli", "show", changed[0]}, shown, shown) == cli::kDone,
              "show refuses what write wrote", call + "\n" + shown.str());
    } else if (status == cli::kDone) {
        check(printed.starts_with("Usage: tessivane-cli write") && said.empty() && changed.empty(),
              "--help did more than print write's usage", call + printed);
    } else {
        check(!said.empty() && printed.empty() && changed.empty() &&
                  (status == cli::kFailed || said.find("\nUsage:\n") != std::string::npos),
              "a refusal without its message or usage, or with a change", call);
    }
    for (const QString& name : changed)
        fs::remove_all(name.toStdString());
    if (!changed.empty())
        populate();
    fs::current_path(gOriginal);
    return 0;
}
