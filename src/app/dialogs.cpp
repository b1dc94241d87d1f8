// SPDX-License-Identifier: MIT
#include "app/dialogs.h"

#include <QCoreApplication>

namespace tessivane {

namespace filters {
namespace {

// A filter from its descriptions, each in the user's language, and their patterns.
QString filter(std::initializer_list<std::pair<const char*, const char*>> choices) {
    QStringList parts;
    for (const auto& [description, patterns] : choices) {
        parts << QCoreApplication::translate("Filters", description)
              << QString::fromLatin1(patterns);
    }
    return parts.join(QLatin1Char('|'));
}

}  // namespace

QString templates() {
    return filter({{QT_TRANSLATE_NOOP("Filters", "HyperText Template (*.htt)"), "*.htt"}});
}

QString sound() {
    return filter({{QT_TRANSLATE_NOOP("Filters", "Wave Sound (*.wav)"), "*.wav"},
                   {QT_TRANSLATE_NOOP("Filters", "MIDI Sequence (*.mid;*.rmi)"), "*.mid;*.rmi"},
                   {QT_TRANSLATE_NOOP("Filters", "MP3 files (*.mp3)"), "*.mp3"},
                   {QT_TRANSLATE_NOOP("Filters", "Movie Clip (*.mp2)"), "*.mp2"},
                   {QT_TRANSLATE_NOOP("Filters", "All files (*.*)"), "*.*"}});
}

QString image() {
    return filter({{QT_TRANSLATE_NOOP("Filters", "Gif Image (*.gif)"), "*.gif"},
                   {QT_TRANSLATE_NOOP("Filters", "JPEG Image (*.jpe;*.jfif;*.jpg;*.jpeg)"),
                    "*.jpe;*.jfif;*.jpg;*.jpeg"},
                   {QT_TRANSLATE_NOOP("Filters", "Bitmap Image (*.bmp)"), "*.bmp"},
                   {QT_TRANSLATE_NOOP("Filters", "All files (*.*)"), "*.*"}});
}

QString icon() {
    return filter({{QT_TRANSLATE_NOOP("Filters", "Icons (*.ico;*.dll;*.exe)"), "*.ico;*.dll;*.exe"},
                   {QT_TRANSLATE_NOOP("Filters", "All files (*.*)"), "*.*"}});
}

}  // namespace filters

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
