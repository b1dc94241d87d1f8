// SPDX-License-Identifier: MIT
#include <csignal>

#include <iostream>

#include <QCoreApplication>

#include "cli/cli.h"
#include "document/text_encoding.h"
#include "l10n/translations.h"

int main(int argc, char* argv[]) {
    // Which arguments are not UTF-8 is told by their bytes, before Qt decodes them.
    QStringList notUtf8;
    for (int i = 1; i < argc; ++i) {
        if (!tessivane::isValidUtf8(argv[i])) {
            notUtf8 << QString::fromLocal8Bit(argv[i]);
        }
    }
    QCoreApplication app(argc, argv);
    tessivane::installTranslations();
    // A file size limit makes a save fail with "File too large" instead of ending the tool.
    ::signal(SIGXFSZ, SIG_IGN);
    return tessivane::cli::run(QCoreApplication::arguments(), std::cout, std::cerr, notUtf8);
}
