// SPDX-License-Identifier: MIT
#pragma once
#include <optional>
#include <vector>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QList>
#include <QStringList>

namespace tessivane::cli {

class Reporter;

// A file argument of a command: its name in the usage, and its help.
struct Argument {
    const char* name;
    const char* help;  // marked for translation
};

// The help of the FILE or TEMPLATE argument of the commands that read a saved template.
inline constexpr const char* kSavedTemplate =
    QT_TRANSLATE_NOOP("CommandLineTool", "A template that Tessivane saved.");

// A command of the tool. Its options and file arguments make its usage lines; its description
// starts its own --help and stands beside its name in the tool's --help. The texts are made
// each time they are asked for, in the language installed then.
class Command {
    Q_DECLARE_TR_FUNCTIONS(CommandLineTool)

public:
    virtual ~Command() = default;

    // The command's name on the command line.
    virtual const char* name() const = 0;
    // Lines that fit beside the name in the tool's --help, marked for translation.
    virtual const char* description() const = 0;
    virtual QList<QCommandLineOption> options() const { return {}; }
    virtual std::vector<Argument> arguments() const { return {}; }
    // The option that must be given, or nullptr.
    virtual const char* requiredOption() const { return nullptr; }

    // Parses the arguments, the program's and the command's name first, answers -h and --help,
    // and runs the command; returns the exit status.
    int execute(const QStringList& given, Reporter& reporter) const;

    // The command's lines in the tool's usage: its name with all its options, wrapped under the
    // first option.
    QString usage() const;

protected:
    // Does what the command does, its arguments parsed; returns the exit status.
    virtual int run(const QCommandLineParser& parser, Reporter& reporter) const = 0;

    static QCommandLineOption outputOption(const QString& help);
    static QCommandLineOption jsonOption();

private:
    // The file arguments, and the option that must be given: what follows "[options]" in the
    // command's --help.
    QString requiredUsage() const;
    // Returns the exit status when the command ends in parsing: a usage error, or its --help
    // answered on standard output.
    std::optional<int> parse(QCommandLineParser& parser, QStringList given,
                             Reporter& reporter) const;
};

// Every command, in the order that the tool's usage and --help list them (cli.cpp).
const std::vector<const Command*>& commands();

// The tool's usage: what a usage error prints after the problem (cli.cpp).
QString toolUsage();

// How an option is written on the command line, with its value's name.
QString optionUsage(const QCommandLineOption& option);

}  // namespace tessivane::cli
