// SPDX-License-Identifier: MIT
#pragma once
// FolderViewSettings: the ten values the user edits. Each maps onto one of the six setting lines
// of a document (see line_map.h); nothing else in a document is editable.
//
// All fields are UTF-8 texts exactly as the user typed or chose them, except loopForever. The
// defaults are the main window's values before any document has been read.
#include <string>

namespace tessivane {

struct FolderViewSettings {
    std::string description;
    std::string backgroundImage;
    std::string lineImage;
    std::string soundFile;
    bool loopForever = false;
    std::string loopCount = "1";
    std::string fontFace;
    std::string textColour;
    std::string infoSize = "10";
    std::string titleSize = "12";

    friend bool operator==(const FolderViewSettings&, const FolderViewSettings&) = default;
};

}  // namespace tessivane
