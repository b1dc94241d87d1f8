// SPDX-License-Identifier: MIT
#include "cli/command.h"

#include "cli/cli.h"
#include "cli/reporter.h"

namespace tessivane::cli {

QString optionUsage(const QCommandLineOption& option) {
    const QString name = option.names().first();
    QString usage = (name.size() == 1 ? "-" : "--") + name;
    if (!option.valueName().isEmpty()) {
        usage += ' ' + option.valueName();
    }
    return usage;
}

QCommandLineOption Command::outputOption(const QString& help) {
    return QCommandLineOption({"o", "output"}, help, "FILE");
}

QCommandLineOption Command::jsonOption() {
    return {"json", tr("Print one JSON object instead of 'name: value' lines.")};
}

QString Command::requiredUsage() const {
    QString usage;
    for (const Argument& argument : arguments()) {
        usage += QString(" ") + argument.name;
    }
    const char* required = requiredOption();
    for (const QCommandLineOption& option : options()) {
        if (required && option.names().contains(required)) {
            usage += ' ' + optionUsage(option);
        }
    }
    return usage;
}

QString Command::usage() const {
    constexpr int kWidth = 90;
    const QString start = QString("  tessivane-cli ") + name();
    const char* required = requiredOption();
    QStringList words;
    for (const QCommandLineOption& option : options()) {
        if (!required || !option.names().contains(required)) {
            words << '[' + optionUsage(option) + ']';
        }
    }
    if (const QString files = requiredUsage(); !files.isEmpty()) {
        words << files.mid(1);
    }
    QString text;
    QString line = start;
    for (const QString& word : words) {
        if (line.size() + 1 + word.size() > kWidth && line.size() > start.size()) {
            text += line + '\n';
            line = QString(start.size(), ' ');
        }
        line += ' ' + word;
    }
    return text + line + '\n';
}

std::optional<int> Command::parse(QCommandLineParser& parser, QStringList given,
                                  Reporter& reporter) const {
    parser.setApplicationDescription(tr(description()));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{"h", "help"}, tr("Print this command's usage and options, and exit.")});
    parser.addOptions(options());
    for (const Argument& argument : arguments()) {
        parser.addPositionalArgument(argument.name, tr(argument.help));
    }
    given.removeAt(1);  // the command's name
    if (!parser.parse(given)) {
        return reporter.usage(parser.errorText());
    }
    if (parser.isSet("help")) {
        // Qt's text starts with the program's path as started; the tool's name stands there.
        const QString help = parser.helpText();
        reporter.out() << (tr("Usage: %1 [options]%2")
                               .arg(QString("tessivane-cli ") + name(), requiredUsage()) +
                           help.mid(help.indexOf('\n')))
                              .toStdString();
        return kDone;
    }
    return std::nullopt;
}

int Command::execute(const QStringList& given, Reporter& reporter) const {
    QCommandLineParser parser;
    if (const auto ended = parse(parser, given, reporter)) {
        return *ended;
    }
    return run(parser, reporter);
}

}  // namespace tessivane::cli
