// SPDX-License-Identifier: MIT
#pragma once
// tessivane-cli: write the built-in template, show a document's settings, write a customised
// document, reading and writing exactly as the window does, and use a template for a folder or
// undo that, as the window's Use for Folder does.
//
//   tessivane-cli template [-o FILE]
//   tessivane-cli show FILE [--json]
//   tessivane-cli write [--from FILE] [setting options] [--discard-recovery-copy] -o FILE
//   tessivane-cli apply [--name NAME.htt] [--replace] [look options] [TEMPLATE] FOLDER
//   tessivane-cli unapply FOLDER
//   tessivane-cli show-folder FOLDER [--json]
//   tessivane-cli COMMAND --help      (that command's usage and options)
//   tessivane-cli --help | --version
//
// Each command is a class (commands.h) in a file of its own; cli.cpp lists them and runs the one
// named. The settings that write sets and show prints are one table (settings_table.h).
//
// Exit status: 0 done, 1 refused or failed (the reason on standard error), 2 usage error, 128+n
// when signal n stopped a change of a folder, which was then undone.
#include <ostream>

#include <QStringList>

namespace tessivane::cli {

inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

// arguments[0] is the program's name, as in argv. notUtf8: the arguments, as decoded, whose bytes
// were not UTF-8; a value from one of them is refused rather than stored or used as a name.
int run(const QStringList& arguments, std::ostream& out, std::ostream& err,
        const QStringList& notUtf8 = {});

}  // namespace tessivane::cli
