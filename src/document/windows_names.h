// SPDX-License-Identifier: MIT
#pragma once
// The names a page gives its pictures and sound, read as Windows reads them when it shows the
// folder: the file manager puts the folder's Windows path in place of %THISDIRPATH%, a name
// without a folder is found through the page's base (the folder itself), '\' and '/' both
// separate folders, and letter case does not matter. A drive path (C:\...) or a network path
// (\\server\...) names a place on the Windows machine, which this machine cannot look at; a path
// of this machine (/home/...) is one that Windows will not find.
#include <string>
#include <string_view>
#include <vector>

namespace tessivane {

inline constexpr std::string_view kThisDirPath = "%THISDIRPATH%";

struct WindowsName {
    enum class Kind {
        Empty,        // no name at all
        InFolder,     // %THISDIRPATH%\..., or a relative name: parts below the folder
        DrivePath,    // C:\..., C:..., \... on the current drive, %SystemRoot%\...
        NetworkPath,  // \\server\share\..., or a URL of another scheme (http:, ...)
        LocalPath,    // an absolute path of this machine (/...)
    };
    Kind kind = Kind::Empty;
    // InFolder: the folders and the file below the folder, "." taken out; a ".." stays, and
    // leads out of the folder.
    std::vector<std::string> parts;
};

WindowsName parseWindowsName(std::string_view value);

// The portable name of a file below the folder: %THISDIRPATH%\a\b.gif.
std::string portableName(const std::vector<std::string>& parts);

// Whether the parts stay inside the folder (no "..").
bool staysInFolder(const std::vector<std::string>& parts);

}  // namespace tessivane
