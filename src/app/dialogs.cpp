// SPDX-License-Identifier: MIT
#include "app/dialogs.h"

namespace tessivane {

QStringList qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            if (pattern == QLatin1String("*.*")) {
                pattern = QStringLiteral("*");
            }
        }
        // Qt reads the patterns from the last parentheses, so the description's own "(...)" is
        // replaced by the space-separated patterns rather than followed by a second pair.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')'))) {
            description.truncate(open);
        } else {
            description += QLatin1Char(' ');
        }
        result << description + QLatin1Char('(') + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')');
    }
    return result;
}

}  // namespace tessivane
