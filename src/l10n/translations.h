// SPDX-License-Identifier: MIT
#pragma once
// Chooses the words of the program and of Qt itself by the user's language.
#include <QString>

namespace tessivane {

// Installs, for the first of the user's languages that the program has a translation for, the
// program's translation and Qt's own (the standard buttons, the file dialog). Without one (an
// English or C locale) nothing is installed and the texts stay as written. The user's languages
// come from LANGUAGE, LC_ALL, LC_MESSAGES and LANG, as Qt reads them; no locale needs to be
// generated for the choice to work. Answers the language chosen, or "" for none.
QString installTranslations();

}  // namespace tessivane
