// SPDX-License-Identifier: MIT
#pragma once
// Runs the tessivane-cli executable that this build made.
#include <functional>

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace tessivane::testing {

struct CliRun {
    int status;  // the exit status, or -1 when the program did not exit normally
    QByteArray out;
    QByteArray err;
};

// `inChild`, when given, runs in the new process just before the program starts.
inline CliRun cli(const QStringList& arguments, const std::function<void()>& inChild = {}) {
    QProcess process;
    if (inChild) {
        process.setChildProcessModifier(inChild);
    }
    process.start(QStringLiteral(TESSIVANE_BINARY_DIR "/src/cli/tessivane-cli"), arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

}  // namespace tessivane::testing
