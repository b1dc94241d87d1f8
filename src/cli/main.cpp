// SPDX-License-Identifier: MIT
#include <iostream>

#include <QCoreApplication>

#include "cli/cli.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return tessivane::cli::run(QCoreApplication::arguments(), std::cout, std::cerr);
}
