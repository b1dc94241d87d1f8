// SPDX-License-Identifier: MIT
// Bad input, row by row as docs/bad-input.md lists it, where the other suites do not already
// prove it: tessivane-cli through its executable, the window through its file commands.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/file_commands.h"
#include "app/messages.h"
#include "app/startup.h"
#include "document/line_map.h"
#include "support/plain_form.h"
#include "support/processes.h"

// Failures print Qt's texts as text.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
static void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"' << bytes.toStdString() << '"';
}

namespace tessivane {
namespace {

using Answer = Dialogs::Answer;
using test::cli;
using test::CliRun;
using test::folderEntries;
using test::readBytes;
using test::templateBytes;

constexpr int kTenMb = 10 * 1024 * 1024;
const QString kPlaceholder = QStringLiteral("HyperText Template1.htt");

// Permission checks mean nothing to root: the program under test starts as an ordinary user.
void asNobody() {
    if (!test::becomeOrdinaryUser()) {
        ::_exit(test::kNoOrdinaryUser);
    }
}

// A run's exit status and standard error, and those of a run that refused with the message.
std::pair<int, QByteArray> ended(const CliRun& run) {
    return {run.status, run.err};
}
std::pair<int, QByteArray> refused(const QString& message) {
    return {1, message.toUtf8() + "\n"};
}

class BadInput : public test::CommandsTest {
protected:
    // tessivane-cli write with the arguments, naming files that exist.
    CliRun write(const QStringList& arguments, const std::function<void()>& inChild = {}) const {
        return cli(QStringList{"write"} + arguments + files, inChild);
    }
    QString out = dir.path("out.htt");
    QStringList files{"--sound", sound, "--background", background, "--line-image", lineImage};
};

// A document of ours with NUL bytes, a 10 MB line, a 10 MB description and a million lines is
// kept whole, and show prints its description whole.
TEST_F(BadInput, NulBytesHugeLinesAndAMillionLinesAreKeptWhole) {
    const QByteArray description = QByteArray("a\0b", 3) + QByteArray(kTenMb, 'z');
    QByteArray bytes = templateBytes({{lines::kDescription, description},
                                      {40, {"var nul = \"\0\";", 14}},
                                      {200, QByteArray(kTenMb, 'y')}});
    for (int i = lines::kTemplateLineCount; i < 1'000'000; ++i) {
        bytes += "<!-- " + QByteArray::number(i) + " -->\r\n";
    }
    const CliRun written = write({"--from", dir.file("big.htt", bytes), "-o", out});
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    const QByteArray after = readBytes(out);
    EXPECT_EQ(after.count("\r\n"), 1'000'000);
    EXPECT_EQ(after.mid(after.indexOf("<!-- 344 -->")), bytes.mid(bytes.indexOf("<!-- 344 -->")));
    const QList<QByteArray> lines = after.split('\n'), before = bytes.split('\n');
    for (const int i : {lines::kDescription, 40, 200}) {
        EXPECT_EQ(lines[i], before[i]) << "line " << i;
    }
    EXPECT_TRUE(cli({"show", out}).out.contains("description: " + description + "\n"));
    EXPECT_TRUE(cli({"show", out, "--json"}).out.contains("\"description\":\"a\\u0000bzzz"));
}

// Files that are not ours and paths that cannot be read or written are refused everywhere with
// the same text, naming the system's reason; nothing changes. The window says nothing about a
// file without a second line, and start-up only warns about a file it cannot read.
TEST_F(BadInput, UnusableFilesAndPathsAreRefused) {
    QByteArray binary;
    for (int i = 0; i < 4096; ++i) {
        binary += char((i * 7919 + 13) % 256);  // every byte value, CR and LF among them
    }
    QByteArray noBreaks = binary;
    noBreaks.replace('\r', 'r').replace('\n', 'n');
    ASSERT_EQ(::chmod(QFile::encodeName(dir.root()).constData(), 0755), 0);
    const QString folder = dir.path("folder.htt");
    const QString locked = dir.path("locked");
    ASSERT_TRUE(QDir().mkdir(folder) && QDir().mkdir(locked));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0555), 0);
    const QString secret = dir.file("secret.htt", templateBytes());
    ASSERT_EQ(::chmod(QFile::encodeName(secret).constData(), 0), 0);
    struct Case {
        QString path;
        QString readError;
        bool openSays;       // whether the window's Open says so
        QString saveReason;  // for saving to the path; "" when not tried here
    };
    const auto notOurs = [&](const char* name, const QByteArray& bytes, bool says) {
        const QString path = dir.file(name, bytes);
        return Case{path, messages::notOurFile(path).text, says, ""};
    };
    const auto unusable = [&](const QString& path, const char* reason, QString saveReason) {
        return Case{path, messages::cannotRead(path, {FileError::Kind::Other, reason}).text, true,
                    saveReason};
    };
    const Case cases[] = {
        notOurs("picture.gif", binary, true),
        notOurs("blob.bin", noBreaks, false),
        notOurs("empty.htt", "", false),
        notOurs("one.htt", "* WZ.exe", false),
        notOurs("single.htt", QByteArray(kTenMb, 'x'), false),
        unusable(folder, "it is a folder", "it is a folder"),
        unusable("/dev/zero", "it is not a regular file", ""),
        unusable(secret, "Permission denied", ""),
        unusable(dir.path("no/such/folder/x.htt"), "No such file or directory",
                 "the folder '" + dir.path("no/such/folder") + "' does not exist"),
        unusable(dir.path(QString(4000, QLatin1Char('n'))), "File name too long",
                 "File name too long"),
        unusable(locked + "/new.htt", "No such file or directory",
                 "the folder '" + locked + "' cannot be written: Permission denied"),
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.left(80).toStdString());
        const QString saveFailed =
            messages::saveFailed(c.path, {FileError::Kind::Other, c.saveReason}).text;
        const CliRun shown = cli({"show", c.path}, asNobody);
        EXPECT_EQ(ended(shown), refused(c.readError));
        EXPECT_TRUE(shown.out.isEmpty());
        EXPECT_EQ(ended(write({"--from", c.path, "-o", out}, asNobody)), refused(c.readError));
        if (!c.saveReason.isEmpty()) {
            EXPECT_EQ(ended(write({"-o", c.path}, asNobody)), refused(saveFailed));
        }
        // The window, as the same user: the exit status has a bit for each check that failed.
        const QString opened = c.openSays ? "File Load Error: " + c.readError : QString();
        const QString warning = c.path == secret ? c.readError : QString();
        EXPECT_EQ(test::asOrdinaryUser([&] {
                      const FirstDocument first = firstDocument(c.path);
                      return int(run(kOpen, c.path, c.openSays) != opened) |
                             int(!c.saveReason.isEmpty() &&
                                 run(kSaveAs, c.path, true) != "File Access Error: " + saveFailed)
                                 << 1 |
                             int(form.shownDocuments != 0 || form.file != kPlaceholder) << 2 |
                             int(!first.sourceName.isEmpty() || first.warning.text != warning) << 3;
                  }),
                  0);
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(folderEntries(locked).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.path("no")));
    EXPECT_FALSE(QFile::exists(out));
}

// Limits of the process are messages, not deaths: a file size limit (whose signal the tool
// ignores itself), too little memory to read a file, a full standard output. The file to save
// is kept as it was.
TEST_F(BadInput, LimitsAreMessagesAndKeepTheOldFile) {
    QByteArray old;
    for (int i = 0; i < 1000; ++i) {
        old += "the old file, line " + QByteArray::number(i) + "\r\n";
    }
    const QString target = dir.file("full.htt", old);
    // A sparse document of ours of 3 GB, more than the memory limit below allows.
    const QString huge = dir.file("huge.htt", templateBytes());
    ASSERT_EQ(::truncate(QFile::encodeName(huge).constData(), 3LL << 30), 0);
    const auto fileSizeLimit = [] {
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
    const auto memoryLimit = [] {
        const rlimit limit{1LL << 30, 1LL << 30};
        ::setrlimit(RLIMIT_AS, &limit);
    };
    const auto fullOutput = [] { ::dup2(::open("/dev/full", O_WRONLY), 1); };
    const struct {
        const char* what;
        QStringList arguments;
        std::function<void()> limit;
        QString message;
    } cases[] = {
        {"file size", QStringList{"write", "-o", target} + files, fileSizeLimit,
         messages::saveFailed(target, {FileError::Kind::Other, "File too large"}).text},
        {"memory",
         {"show", huge},
         memoryLimit,
         messages::cannotRead(huge, {FileError::Kind::Other, "Cannot allocate memory"}).text},
        {"full output",
         {"template"},
         fullOutput,
         "tessivane-cli: could not write to standard output"},
    };
    for (const auto& c : cases) {
#if defined(__SANITIZE_ADDRESS__)
        if (std::string(c.what) == "memory") {
            continue;  // the address sanitizer reserves more address space than any limit
        }
#endif
        EXPECT_EQ(ended(cli(c.arguments, c.limit)), refused(c.message)) << c.what;
    }
    EXPECT_EQ(readBytes(target), old);
    EXPECT_EQ(folderEntries(dir.root()),
              (QStringList{"back.gif", "ding.wav", "full.htt", "huge.htt", "line.gif"}));
}

// A real path of 4,090 bytes, a few short of the system's limit, is written, read, opened and
// saved in place like any other.
TEST_F(BadInput, PathsNearTheLimit) {
    QString folder = dir.root();
    while (folder.size() < 3850) {
        folder += "/" + QString(200, QLatin1Char('d'));
    }
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/" + QString(4085 - folder.size(), QLatin1Char('f')) + ".htt";
    ASSERT_EQ(path.size(), 4090);

    ASSERT_EQ(write({"-o", path, "--description", "deeper"}).status, 0);
    EXPECT_EQ(run(kOpen, path), "");
    EXPECT_EQ(form.settings.description, "deeper");
    form.settings.description = "deepest";
    EXPECT_EQ(run(kSave), "");
    EXPECT_TRUE(readBytes(path).contains("\r\ndeepest\r\n"));
    EXPECT_EQ(firstDocument(path).sourceName, path);
}

}  // namespace
}  // namespace tessivane
