// SPDX-License-Identifier: MIT
#pragma once
// The tool's commands, each in a file of its own; cli.cpp lists them.
#include "cli/command.h"

namespace tessivane::cli {

// template: the built-in template, to a file or standard output.
class TemplateCommand final : public Command {
    Q_DECLARE_TR_FUNCTIONS(CommandLineTool)

public:
    const char* name() const override { return "template"; }
    const char* description() const override;
    QList<QCommandLineOption> options() const override;

protected:
    int run(const QCommandLineParser& parser, Reporter& reporter) const override;
};

// show: the settings of a saved template.
class ShowCommand final : public Command {
    Q_DECLARE_TR_FUNCTIONS(CommandLineTool)

public:
    const char* name() const override { return "show"; }
    const char* description() const override;
    QList<QCommandLineOption> options() const override { return {jsonOption()}; }
    std::vector<Argument> arguments() const override;

protected:
    int run(const QCommandLineParser& parser, Reporter& reporter) const override;
};

// write: a template with the settings given, saved to a file.
class WriteCommand final : public Command {
    Q_DECLARE_TR_FUNCTIONS(CommandLineTool)

public:
    const char* name() const override { return "write"; }
    const char* description() const override;
    // Each may be given once.
    QList<QCommandLineOption> options() const override;
    const char* requiredOption() const override { return "output"; }

protected:
    int run(const QCommandLineParser& parser, Reporter& reporter) const override;

private:
    // Returns the exit status when the arguments are not a write's.
    std::optional<int> checkArguments(const QCommandLineParser& parser, Reporter& reporter) const;
};

// apply: a saved template, and a look, used for a folder.
class ApplyCommand final : public Command {
    Q_DECLARE_TR_FUNCTIONS(CommandLineTool)

public:
    const char* name() const override { return "apply"; }
    const char* description() const override;
    QList<QCommandLineOption> options() const override;
    std::vector<Argument> arguments() const override;

protected:
    int run(const QCommandLineParser& parser, Reporter& reporter) const override;
};

// unapply: what apply put into a folder, taken out.
class UnapplyCommand final : public Command {
    Q_DECLARE_TR_FUNCTIONS(CommandLineTool)

public:
    const char* name() const override { return "unapply"; }
    const char* description() const override;
    std::vector<Argument> arguments() const override;

protected:
    int run(const QCommandLineParser& parser, Reporter& reporter) const override;
};

// show-folder: what a folder's Desktop.ini gives it.
class ShowFolderCommand final : public Command {
    Q_DECLARE_TR_FUNCTIONS(CommandLineTool)

public:
    const char* name() const override { return "show-folder"; }
    const char* description() const override;
    QList<QCommandLineOption> options() const override { return {jsonOption()}; }
    std::vector<Argument> arguments() const override;

protected:
    int run(const QCommandLineParser& parser, Reporter& reporter) const override;
};

}  // namespace tessivane::cli
