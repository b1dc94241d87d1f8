// SPDX-License-Identifier: MIT
#include "l10n/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tessivane {

QString installTranslations() {
    // The order of the user's languages: Qt reads LANGUAGE first, then LC_ALL, LC_MESSAGES, LANG.
    const QStringList languages = QLocale::system().uiLanguages();
    for (const QString& language : languages) {
        if (language.startsWith(QLatin1String("en"), Qt::CaseInsensitive)) {
            return {};  // the words as written
        }
        auto* own = new QTranslator(QCoreApplication::instance());
        if (!own->load(QLocale(language), QStringLiteral("tessivane"), QStringLiteral("_"),
                       QStringLiteral(":/tessivane/translations"))) {
            delete own;
            continue;
        }
        QCoreApplication::installTranslator(own);
        auto* qt = new QTranslator(QCoreApplication::instance());
        if (qt->load(QLocale(language), QStringLiteral("qt"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt);
        } else {
            delete qt;
        }
        return own->language();
    }
    return {};
}

}  // namespace tessivane
