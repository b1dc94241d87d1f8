// SPDX-License-Identifier: MIT
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/reporter.h"
#include "document/template.h"

namespace tessivane::cli {

const char* TemplateCommand::description() const {
    return QT_TRANSLATE_NOOP("CommandLineTool",
                             "Write the built-in template to FILE, or to standard output.");
}

QList<QCommandLineOption> TemplateCommand::options() const {
    return {outputOption(tr("Write to FILE instead of standard output."))};
}

int TemplateCommand::run(const QCommandLineParser& parser, Reporter& reporter) const {
    if (!parser.positionalArguments().isEmpty()) {
        return reporter.usage(tr("template takes no file name; use -o FILE"));
    }
    WorkingDocument document = WorkingDocument::fromTemplate();
    if (!parser.isSet("output")) {
        reporter.out() << document.toBytes();
        return kDone;  // a failed write to standard output is reported as the tool ends
    }
    return reporter.save(document, parser.value("output"));
}

}  // namespace tessivane::cli
