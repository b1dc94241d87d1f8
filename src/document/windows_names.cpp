// SPDX-License-Identifier: MIT
#include "document/windows_names.h"

#include <algorithm>

namespace tessivane {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Whether the text starts with the prefix, letter case aside (ASCII).
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
               };
               return lower(a) == lower(b);
           });
}

std::vector<std::string> splitParts(std::string_view rest) {
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i <= rest.size(); ++i) {
        if (i == rest.size() || isSeparator(rest[i])) {
            if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += rest[i];
        }
    }
    return parts;
}

}  // namespace

WindowsName parseWindowsName(std::string_view value) {
    WindowsName name;
    // The page names files as file: URLs; a value may carry the scheme itself.
    if (startsWithIgnoringCase(value, "file:///")) {
        value.remove_prefix(7);
    } else if (startsWithIgnoringCase(value, "file://")) {
        value.remove_prefix(7);
    }
    if (value.empty()) {
        return name;
    }
    if (startsWithIgnoringCase(value, kThisDirPath)) {
        name.kind = WindowsName::Kind::InFolder;
        name.parts = splitParts(value.substr(kThisDirPath.size()));
        return name;
    }
    if (value[0] == '%') {
        // %SystemRoot%\..., %WINDIR%\...: a place the Windows machine fills in.
        name.kind = WindowsName::Kind::DrivePath;
        return name;
    }
    const std::size_t colon = value.find(':');
    if (value.size() >= 2 && isLetter(value[0]) && value[1] == ':') {
        name.kind = WindowsName::Kind::DrivePath;
    } else if (value.size() >= 2 && isSeparator(value[0]) && isSeparator(value[1])) {
        name.kind = WindowsName::Kind::NetworkPath;
    } else if (colon != std::string_view::npos && colon > 1 && value.find_first_of("/\\") > colon) {
        name.kind = WindowsName::Kind::NetworkPath;  // http:, ftp: and the like
    } else if (value[0] == '\\') {
        name.kind = WindowsName::Kind::DrivePath;
    } else if (value[0] == '/') {
        name.kind = WindowsName::Kind::LocalPath;
    } else {
        name.kind = WindowsName::Kind::InFolder;
        name.parts = splitParts(value);
    }
    return name;
}

std::string portableName(const std::vector<std::string>& parts) {
    std::string name(kThisDirPath);
    for (const std::string& part : parts) {
        name += '\\' + part;
    }
    return name;
}

bool staysInFolder(const std::vector<std::string>& parts) {
    return !parts.empty() && std::find(parts.begin(), parts.end(), "..") == parts.end();
}

}  // namespace tessivane
