// SPDX-License-Identifier: MIT
#include <signal.h>

#include <iostream>

#include <QCoreApplication>

#include "cli/cli.h"
#include "l10n/translations.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    tessivane::installTranslations();
    // A file size limit makes a save fail with "File too large" instead of ending the tool.
    ::signal(SIGXFSZ, SIG_IGN);
    return tessivane::cli::run(QCoreApplication::arguments(), std::cout, std::cerr);
}
