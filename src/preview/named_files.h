// SPDX-License-Identifier: MIT
#pragma once
// Where the preview finds a picture or sound that the page names, by the rules Windows follows
// when it shows the folder (document/windows_names.h): %THISDIRPATH%\a\b.gif and a bare relative
// name are files below the folder shown, letter case aside, as on Windows' case-insensitive
// volumes. A path of this machine is found only when it lies inside the folder shown; a drive or
// network path names a place on the Windows machine and is not looked at here.
#include <QString>

namespace tessivane {

struct NamedFile {
    enum class Outcome {
        Found,       // a file below the folder, which Windows finds there too
        OnlyHere,    // a file of this machine outside the folder, which Windows will not find
        NotChecked,  // a place on the Windows machine: a drive, a network path, above the folder
        Missing,     // nothing there
    };
    Outcome outcome = Outcome::Missing;
    QString real;  // Found: the file, links resolved
};

// Looks the name up below the folder (an absolute path). It touches the file system and can wait
// on it: call it off the window's thread.
NamedFile findNamedFile(const QString& name, const QString& folder);

}  // namespace tessivane
