// SPDX-License-Identifier: MIT
#pragma once
// Parts of a test that run in a child process, to change limits or privileges without touching
// the test program itself, and the tessivane-cli that this build made. Root may read and write any
// file whatever its mode, so checks about refused access run as an ordinary user: as root the child
// first becomes "nobody" (65534, no supplementary groups); as an ordinary user it runs as it is.
#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace tessivane::test {

inline bool runningAsRoot() {
    return ::geteuid() == 0;
}

// Gives up root for the rest of this process; true when the process is now an ordinary user.
inline bool becomeOrdinaryUser() {
    return !runningAsRoot() ||
           (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0);
}

// The exit status a child gives when it could not become an ordinary user.
constexpr int kNoOrdinaryUser = 99;

// Runs the body in a child process; returns its exit status, or -1 when it did not exit.
inline int inChildProcess(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the body in a child process as an ordinary user; returns its exit status.
inline int asOrdinaryUser(const std::function<int()>& body) {
    return inChildProcess([&] { return becomeOrdinaryUser() ? body() : kNoOrdinaryUser; });
}

struct CliRun {
    int status;  // the exit status, or -1 when the program did not exit normally
    QByteArray out;
    QByteArray err;
};

// Runs tessivane-cli; `inChild`, when given, runs in the new process just before the program.
inline CliRun cli(const QStringList& arguments, const std::function<void()>& inChild = {}) {
    QProcess process;
    process.setChildProcessModifier(inChild ? inChild : [] {});
    process.start(QStringLiteral(TESSIVANE_BINARY_DIR "/src/cli/tessivane-cli"), arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

}  // namespace tessivane::test
