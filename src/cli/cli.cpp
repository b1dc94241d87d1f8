// SPDX-License-Identifier: MIT
#include "cli/cli.h"

#include <new>

#include "cli/commands.h"
#include "cli/reporter.h"

namespace tessivane::cli {

const std::vector<const Command*>& commands() {
    static const TemplateCommand templateCommand;
    static const ShowCommand showCommand;
    static const WriteCommand writeCommand;
    static const ApplyCommand applyCommand;
    static const UnapplyCommand unapplyCommand;
    static const ShowFolderCommand showFolderCommand;
    static const std::vector<const Command*> all{&templateCommand, &showCommand,
                                                 &writeCommand,    &applyCommand,
                                                 &unapplyCommand,  &showFolderCommand};
    return all;
}

QString toolUsage() {
    // The commands' lines hold only the command line's syntax (command, option, value and file
    // names), the same in every language, so they are made once; a usage error prints them each
    // time, and making them asked every command for its options. Only the heading is translated,
    // in the language installed now.
    static const QString lines = [] {
        QString text;
        for (const Command* command : commands()) {
            text += command->usage();
        }
        return text + "  tessivane-cli --help | --version\n";
    }();
    return CommandLineTool::tr("Usage:") + '\n' + lines;
}

namespace {

// The tool's --help: the usage, what the tool does, each command's description beside its name.
QString toolHelp() {
    QString descriptions;
    for (const Command* command : commands()) {
        descriptions +=
            QString("  %1").arg(command->name(), -12) +
            CommandLineTool::tr(command->description()).replace('\n', '\n' + QString(14, ' ')) +
            '\n';
    }
    return toolUsage() + '\n' +
           CommandLineTool::tr(
               "Tessivane writes folder Web View templates (.htt) from its built-in template.") +
           "\n\n" + CommandLineTool::tr("Commands:") + '\n' + descriptions + '\n' +
           CommandLineTool::tr(
               "Sizes and the loop count are numbers, corrected as in the window: sizes are kept "
               "between\n1 and 2160 and a loop count below 1 becomes 1, with a note on standard "
               "error. They are\nstored in plain decimal form, the loop count as a whole number. "
               "Colours are the sixteen\nnames of the window's list.") +
           '\n';
}

int dispatch(const QStringList& arguments, std::ostream& out, std::ostream& err,
             const QStringList& notUtf8) {
    Reporter reporter(out, err, notUtf8);
    if (arguments.size() < 2) {
        return reporter.usage(CommandLineTool::tr("no command given"));
    }
    const QString& name = arguments[1];
    if (name == "--help" || name == "-h") {
        out << toolHelp().toStdString();
        return kDone;
    }
    if (name == "--version" || name == "-v") {
        out << "tessivane-cli " << TESSIVANE_VERSION << "\n";
        return kDone;
    }
    for (const Command* command : commands()) {
        if (name == command->name()) {
            return command->execute(arguments, reporter);
        }
    }
    return reporter.usage(CommandLineTool::tr("unknown command '%1'").arg(name));
}

}  // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err,
        const QStringList& notUtf8) {
    try {
        const int status = dispatch(arguments, out, err, notUtf8);
        // Standard output may be a full disk or a closed pipe: that is a failure too.
        if (!out.flush() && status == kDone) {
            err << "tessivane-cli: "
                << CommandLineTool::tr("could not write to standard output").toStdString() << "\n";
            return kFailed;
        }
        return status;
    } catch (const std::bad_alloc&) {
        // Left untranslated: translating would ask for the memory that is not there.
        err << "tessivane-cli: out of memory\n";
        return kFailed;
    }
}

}  // namespace tessivane::cli
