// SPDX-License-Identifier: MIT
#pragma once
// Parts of a test that run in a child process: to change limits or privileges without touching
// the test program itself. Root may read and write any file whatever its mode, so checks about
// refused access run as an ordinary user: as root the child first becomes "nobody" (65534, no
// supplementary groups); as an ordinary user it runs as it is.
#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace tessivane::testing {

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

}  // namespace tessivane::testing

// Skips the rest of a test whose set-up needs root (another owner, a device node).
#define TESSIVANE_SKIP_UNLESS_ROOT(what)        \
    if (!::tessivane::testing::runningAsRoot()) \
    GTEST_SKIP() << (what) << " needs root"
