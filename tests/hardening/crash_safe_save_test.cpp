// Crash-safe save, proven through the real executable: tessivane-cli writing a document of about
// 100 MB is killed with SIGKILL at many moments, while it reads the source, while it writes and
// flushes the new file, around its end, and at the instant the finished file first gets a name in
// the folder. Each time the target must be byte for byte the old file or the new one, never a
// mix; and once a later save has succeeded, the folder holds no temporary file.
//
// Moments are counted from the start of the process, or from the moment its temporary file
// appears among its open files (the write has begun). The last ones are fractions of how long a
// whole run keeps that file open, so that some land around and after the moment the new file
// takes the target's place.
#include <gtest/gtest.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "controls/file_services.h"
#include "document/template.h"
#include "support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;
using tessivane::testing::folderEntries;

const std::string kCli = TESSIVANE_BINARY_DIR "/src/cli/tessivane-cli";

struct Child {
    pid_t pid = -1;
    Clock::time_point started;
};

// Starts tessivane-cli in the folder with the arguments.
Child start(const std::string& folder, const std::vector<std::string>& arguments) {
    std::vector<std::string> all{kCli};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    Child child;
    child.started = Clock::now();
    child.pid = ::fork();
    if (child.pid == 0) {
        if (::chdir(folder.c_str()) != 0) {
            _exit(126);
        }
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

struct Ending {
    bool killed = false;  // SIGKILL ended it, rather than its own exit
    int status = -1;      // the exit status when it exited
};

Ending wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) {
        return {WTERMSIG(status) == SIGKILL, -1};
    }
    return {false, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// Whether the process has ended, without reaping it.
bool exited(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != 0;
}

// Whether the process holds a file in the folder open that is not the source: the new content,
// in an unnamed temporary file ("FOLDER/#inode (deleted)") or a named one.
bool writing(pid_t pid, const std::string& folder, const std::string& source) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    DIR* dir = ::opendir(fds.c_str());
    if (dir == nullptr) {
        return false;
    }
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        char target[4096];
        const ssize_t n =
            ::readlink((fds + "/" + entry->d_name).c_str(), target, sizeof target - 1);
        if (n <= 0) {
            continue;
        }
        const std::string path(target, std::size_t(n));
        found = found || (path.rfind(folder + "/", 0) == 0 && path != source);
    }
    ::closedir(dir);
    return found;
}

// Waits until the process has its temporary file open (true) or has ended (false).
bool waitForWrite(pid_t pid, const std::string& folder, const std::string& source) {
    while (!exited(pid)) {
        if (writing(pid, folder, source)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

// Byte-for-byte comparison of two files.
bool sameBytes(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size()) {
        return false;
    }
    constexpr qint64 kChunk = 1 << 20;
    while (!fa.atEnd()) {
        if (fa.read(kChunk) != fb.read(kChunk)) {
            return false;
        }
    }
    return true;
}

class KillMoments : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = QFileInfo(dir_.path()).canonicalFilePath();
        struct statvfs space {};
        ASSERT_EQ(::statvfs(QFile::encodeName(folder_).constData(), &space), 0);
        const double freeMb = double(space.f_bavail) * double(space.f_frsize) / (1024.0 * 1024.0);
        ASSERT_GE(freeMb, 700.0) << "the test needs about 600 MB free in " << folder_.toStdString();

        // A document of ours: the built-in template, padded after its last line to about 100 MB.
        Child templateRun = start(f(), {"template", "-o", "base.htt"});
        ASSERT_EQ(wait(templateRun.pid).status, 0);
        QFile base(path("base.htt"));
        ASSERT_TRUE(base.open(QIODevice::ReadOnly));
        std::ofstream big(path("big.htt").toStdString(), std::ios::binary);
        big << base.readAll().toStdString();
        char line[128];
        for (int i = 0; i < 1'050'000; ++i) {
            const int n = std::snprintf(line, sizeof line,
                                        "<!-- padding %07d: the quick brown fox jumps over the "
                                        "lazy dog, again and again -->\r\n",
                                        i);
            big.write(line, n);
        }
        big.close();
        ASSERT_TRUE(big.good());
        ASSERT_TRUE(QFile::remove(path("base.htt")));
        for (const char* name : {"ding.wav", "back.gif", "line.gif"}) {
            ASSERT_TRUE(tessivane::testing::writeBytes(path(name), "RIFF"));
        }
        std::cout << "source: " << QFileInfo(path("big.htt")).size() / 1'000'000 << " MB\n";
    }

    std::string f() const { return folder_.toStdString(); }
    QString path(const char* name) const { return folder_ + QLatin1Char('/') + name; }
    std::string source() const { return path("big.htt").toStdString(); }

    static std::vector<std::string> writeArguments(bool versionA, const char* target) {
        return {"write",
                "--from",
                "big.htt",
                "--sound",
                "ding.wav",
                "--background",
                "back.gif",
                "--line-image",
                "line.gif",
                "--description",
                versionA ? "Version A" : "Version B",
                "-o",
                target};
    }

    // Checks the target after a run that may have been killed: the old or the new version.
    void checkTarget(bool wroteA, const std::string& moment, const Ending& ending,
                     bool writingAtKill) {
        const bool isA = sameBytes(path("target.htt"), path("a.htt"));
        const bool isB = !isA && sameBytes(path("target.htt"), path("b.htt"));
        const bool isNew = wroteA ? isA : isB;
        std::cout << moment << ": " << (ending.killed ? "killed" : "had finished")
                  << (ending.killed && writingAtKill ? " while writing" : "") << "; target is "
                  << (isA || isB ? (isNew ? "the new file" : "the old file") : "A MIX") << "\n";
        ASSERT_TRUE(isA || isB) << "after a kill at " << moment
                                << ", the target is neither the old file nor the new one";
        if (!ending.killed) {
            EXPECT_EQ(ending.status, 0) << moment << ": a run that was not killed failed";
        }
        killedWhileWriting_ += (ending.killed && writingAtKill) ? 1 : 0;
        replaced_ += isNew ? 1 : 0;
        targetIsA_ = isA;
    }

    QTemporaryDir dir_{QStringLiteral(TESSIVANE_BINARY_DIR "/crash-safe-save-XXXXXX")};
    QString folder_;
    bool targetIsA_ = true;
    int killedWhileWriting_ = 0;
    int replaced_ = 0;
};

TEST_F(KillMoments, TargetIsTheOldOrTheNewFileAndNoTemporaryFileStays) {
    // The two versions the target alternates between, written whole; the first one is timed.
    Child first = start(f(), writeArguments(true, "target.htt"));
    ASSERT_TRUE(waitForWrite(first.pid, f(), source()));
    const auto writeBegan = Clock::now();
    while (!exited(first.pid) && writing(first.pid, f(), source())) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const auto writeEnded = Clock::now();
    ASSERT_EQ(wait(first.pid).status, 0);
    const auto ended = Clock::now();
    const auto whole = std::chrono::duration_cast<Milliseconds>(ended - first.started).count();
    const auto write = std::chrono::duration_cast<Milliseconds>(writeEnded - writeBegan).count();
    std::cout << "a whole run takes " << whole << " ms, of which writing the new file " << write
              << " ms\n";
    ASSERT_TRUE(QFile::copy(path("target.htt"), path("a.htt")));
    Child second = start(f(), writeArguments(false, "b.htt"));
    ASSERT_EQ(wait(second.pid).status, 0);
    ASSERT_FALSE(sameBytes(path("a.htt"), path("b.htt")));

    // While the source is read and split.
    for (const int ms : {5, 50, 500}) {
        const bool writeA = !targetIsA_;
        Child run = start(f(), writeArguments(writeA, "target.htt"));
        std::this_thread::sleep_until(run.started + Milliseconds(ms));
        const bool writingAtKill = writing(run.pid, f(), source());
        ::kill(run.pid, SIGKILL);
        checkTarget(writeA, "process start + " + std::to_string(ms) + " ms", wait(run.pid),
                    writingAtKill);
    }

    // While the new content is written and flushed, and around the end of the run.
    std::vector<long> afterWriteStart{0, 20, 50, 150};
    for (const double fraction : {0.5, 0.8, 0.95}) {
        afterWriteStart.push_back(long(fraction * double(write)));
    }
    for (const long ms : afterWriteStart) {
        const bool writeA = !targetIsA_;
        Child run = start(f(), writeArguments(writeA, "target.htt"));
        const bool sawWrite = waitForWrite(run.pid, f(), source());
        std::this_thread::sleep_for(Milliseconds(ms));
        const bool writingAtKill = writing(run.pid, f(), source());
        ::kill(run.pid, SIGKILL);
        const Ending ending = wait(run.pid);
        EXPECT_TRUE(sawWrite || !ending.killed) << "never saw the temporary file";
        checkTarget(writeA, "write start + " + std::to_string(ms) + " ms", ending, writingAtKill);
    }

    // At the instant the finished file first gets a name in the folder, before it replaces the
    // target: the narrowest moment, caught by watching the folder.
    {
        const int watch = ::inotify_init1(IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(folder_).constData(),
                                      IN_CREATE | IN_MOVED_TO),
                  0);
        const bool writeA = !targetIsA_;
        Child run = start(f(), writeArguments(writeA, "target.htt"));
        std::string named;
        alignas(inotify_event) char events[4096];
        pollfd ready{watch, POLLIN, 0};
        while (named.empty() && !exited(run.pid)) {
            if (::poll(&ready, 1, 100) > 0 && ::read(watch, events, sizeof events) > 0) {
                const auto* event = reinterpret_cast<const inotify_event*>(events);
                named = event->len > 0 ? event->name : "?";
            }
        }
        const bool writingAtKill = writing(run.pid, f(), source());
        ::kill(run.pid, SIGKILL);
        ::close(watch);
        const Ending ending = wait(run.pid);
        checkTarget(writeA, "first name in the folder (" + named + ")", ending, writingAtKill);
    }

    // The moments must really have caught writes in progress, or the test proves nothing. The
    // first ones after the write's start do on any disk; how many more do depends on its speed.
    EXPECT_GE(killedWhileWriting_, 2);
    std::cout << killedWhileWriting_ << " kills while writing; the target was replaced "
              << replaced_ << " times\n";

    // A later save that runs to the end leaves the new file and nothing else behind.
    const bool writeA = !targetIsA_;
    Child last = start(f(), writeArguments(writeA, "target.htt"));
    ASSERT_EQ(wait(last.pid).status, 0);
    EXPECT_TRUE(sameBytes(path("target.htt"), writeA ? path("a.htt") : path("b.htt")));
    EXPECT_EQ(folderEntries(folder_), (QStringList{"a.htt", "b.htt", "back.gif", "big.htt",
                                                   "ding.wav", "line.gif", "target.htt"}));
}

// What a save killed after naming its finished file leaves behind goes with the next save into
// the folder; a file of the user's that merely looks like a temporary name stays, and so does a
// save in progress in another process.
TEST(CrashSafeSave, NextSaveRemovesWhatAKilledSaveLeft) {
    tessivane::testing::TempDir dir;
    // A process id that no longer runs.
    const pid_t gone = ::fork();
    if (gone == 0) {
        _exit(0);
    }
    ASSERT_EQ(wait(gone).status, 0);
    const QString leftover = dir.file(".tessivane-save-" + QString::number(gone) + "-1x2y3z", "a");
    const QString leftoverNamed =
        dir.file(".tessivane-save-" + QString::number(gone) + "-4k5l6m.AbCdEf", "b");
    const QString running = dir.file(".tessivane-save-" + QString::number(::getpid()) + "-7p", "c");
    const QString users = dir.file("Folder.htt.AbCdEf", "the user's own");
    const QString backup = dir.file(".tessivane-save-notes", "the user's own too");

    tessivane::WorkingDocument document;
    tessivane::ListCopy(document);
    ASSERT_FALSE(tessivane::saveDocument(document, dir.path("Folder.htt")));
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_FALSE(QFile::exists(leftoverNamed));
    EXPECT_TRUE(QFile::exists(running));
    EXPECT_TRUE(QFile::exists(users));
    EXPECT_TRUE(QFile::exists(backup));
    EXPECT_EQ(folderEntries(dir.root()).size(), 4);
}

// The hidden name changes nothing else a save does: through a symbolic link it replaces the file
// the link points to and keeps the link; it keeps the replaced file's permission bits.
TEST(CrashSafeSave, SaveKeepsLinksAndPermissionBits) {
    tessivane::testing::TempDir dir;
    ASSERT_TRUE(QDir().mkdir(dir.path("real")));
    const QString file = dir.file("real/folder.htt", "old\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(file, dir.path("link.htt")));

    tessivane::WorkingDocument document;
    tessivane::ListCopy(document);
    ASSERT_FALSE(tessivane::saveDocument(document, dir.path("link.htt")));
    EXPECT_TRUE(QFileInfo(dir.path("link.htt")).isSymLink());
    EXPECT_EQ(tessivane::testing::readBytes(file), QByteArray::fromStdString(document.toBytes()));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folderEntries(dir.root()), (QStringList{"link.htt", "real"}));
    EXPECT_EQ(folderEntries(dir.path("real")), QStringList{"folder.htt"});
}

}  // namespace
