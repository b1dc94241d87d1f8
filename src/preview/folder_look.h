// SPDX-License-Identifier: MIT
#pragma once
// The look that a folder's Desktop.ini gives it beside its page (document/desktop_ini.h), read
// for the preview: the comment, the icon, and the file list's picture and name colour. The file
// is untrusted: it is read only when it is a regular file of a Desktop.ini's size, not a link,
// and a bad or missing one gives no look. Names in it are found as Windows finds them
// (named_files.h).
#include <QImage>
#include <QList>
#include <QString>
#include <optional>
#include <string>

#include "document/desktop_ini.h"
#include "preview/named_files.h"

namespace tessivane {

// The bytes of the folder's Desktop.ini, found letter case aside as Windows finds it ("Desktop.ini"
// itself first, else the first other spelling in name order); nothing when there is none, when it
// is a link or not a regular file, or when it is too large to be a Desktop.ini.
std::optional<std::string> readDesktopIni(const QString& folder);

struct ShownFolderLook {
    FolderLook look;         // as the file gives it; empty without one
    NamedFile listPicture;   // where the list picture is
    QString listTextColour;  // "#RRGGBB", or "" when the file gives none that is a colour
    enum class Icon { None, Shown, NotShown, Missing, OnlyHere };
    Icon icon = Icon::None;  // NotShown: inside a program file, on the Windows machine, unreadable
    QList<QImage> iconImages;  // Shown: the icon's sizes
};

// Reads the folder's Desktop.ini and the files it names. It touches the file system and can wait
// on it: call it off the window's thread.
ShownFolderLook readFolderLook(const QString& folder);

}  // namespace tessivane
