// SPDX-License-Identifier: MIT
#pragma once
// Reads a folder for the preview page: the folder's name, path and icon, and for each entry its
// name, path, file URL, size, type, modified time, attribute codes and icon, as the JSON object
// that the page's compatibility script (folder_view.js) shows in its file list. Reading is all it
// does; drawing the list and answering the template's questions about it is the script's job.
#include <QJsonObject>
#include <QString>

namespace tessivane {

struct FolderListing {
    QJsonObject data;  // "folder": {name, path, icon}, "entries": [...], "icons": {key: data URL}
    QString problem;   // why the folder could not be listed, or empty
};

// Entries come folders first, then by name ignoring case. Icons are small PNG data: URLs from the
// icon theme, or from the style when the system has no theme.
FolderListing listFolder(const QString& folder);

// The attribute codes the file list reports: "R" when the owner may not write the file, "H" for a
// name starting with a dot, in that order; "" for neither.
QString attributeCodes(const QString& path);

}  // namespace tessivane
