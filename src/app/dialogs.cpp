// SPDX-License-Identifier: MIT
#include "app/dialogs.h"

#include <QCoreApplication>

namespace tessivane {

namespace filters {
namespace {

QStringList translated(std::initializer_list<const char*> choices) {
    QStringList result;
    for (const char* choice : choices) {
        result << QCoreApplication::translate("Filters", choice);
    }
    return result;
}

}  // namespace

QStringList templates() {
    return translated({QT_TRANSLATE_NOOP("Filters", "HyperText Template (*.htt)")});
}

QStringList sound() {
    return translated({QT_TRANSLATE_NOOP("Filters", "Wave Sound (*.wav)"),
                       QT_TRANSLATE_NOOP("Filters", "MIDI Sequence (*.mid *.rmi)"),
                       QT_TRANSLATE_NOOP("Filters", "MP3 files (*.mp3)"),
                       QT_TRANSLATE_NOOP("Filters", "Movie Clip (*.mp2)"),
                       QT_TRANSLATE_NOOP("Filters", "All files (*)")});
}

QStringList image() {
    return translated({QT_TRANSLATE_NOOP("Filters", "Gif Image (*.gif)"),
                       QT_TRANSLATE_NOOP("Filters", "JPEG Image (*.jpe *.jfif *.jpg *.jpeg)"),
                       QT_TRANSLATE_NOOP("Filters", "Bitmap Image (*.bmp)"),
                       QT_TRANSLATE_NOOP("Filters", "All files (*)")});
}

QStringList icon() {
    return translated({QT_TRANSLATE_NOOP("Filters", "Icons (*.ico *.dll *.exe)"),
                       QT_TRANSLATE_NOOP("Filters", "All files (*)")});
}

}  // namespace filters

void DialogState::setNameFilters(const QStringList& filters) {
    // A choice with no counterpart here stays as it was: this dialog opens on its first filter,
    // and a later one of the kind it came from finds it again.
    const qsizetype place = nameFilters.indexOf(selectedNameFilter);
    if (place >= 0 && place < filters.size()) {
        selectedNameFilter = filters.at(place);
    }
    nameFilters = filters;
}

}  // namespace tessivane
