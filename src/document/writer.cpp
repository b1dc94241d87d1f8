// SPDX-License-Identifier: MIT
#include "document/writer.h"

#include "document/colours.h"
#include "document/line_map.h"
#include "document/numeric.h"
#include "document/working_document.h"

namespace tessivane {

std::array<SettingLine, 6> composeSettingLines(const FolderViewSettings& s) {
    const std::string q = "\"";
    // Sizes and the loop count are stored as plain numbers: a blank or an exponent in the line
    // would make it read back as other settings.
    const std::string loop = s.loopForever ? std::string("infinite") : wholeNumber(s.loopCount);
    return {{
        {lines::kFont, "body  {font: " + plainNumber(s.infoSize) + "pt/" +
                           plainNumber(s.titleSize) + "pt " + s.fontFace + "; margin: 0}"},
        {lines::kColour, "{font-weight: bold; color: " + colourForDocument(s.textColour) + "}"},
        {lines::kSound,
         "<bgsound src=" + q + "file://" + s.soundFile + q + "loop=" + q + loop + q + " > "},
        {lines::kPanel, "<div id=Panel style=" + q + "background: white URL(file://" +
                            s.backgroundImage + ")" + q + ">"},
        {lines::kDescription, s.description},
        {lines::kLineImage, "<img src=" + q + s.lineImage + q + " width=100% height=1px>"},
    }};
}

std::optional<std::string> firstMissingFile(const FolderViewSettings& settings,
                                            const FileExists& fileExists) {
    for (const std::string* path :
         {&settings.soundFile, &settings.backgroundImage, &settings.lineImage}) {
        if (!fileExists(*path)) {
            return *path;
        }
    }
    return std::nullopt;
}

namespace {

// Whether the two hold the same values for the setting line.
bool sameValues(int line, const FolderViewSettings& a, const FolderViewSettings& b) {
    switch (line) {
        case lines::kFont:
            return a.infoSize == b.infoSize && a.titleSize == b.titleSize &&
                   a.fontFace == b.fontFace;
        case lines::kColour:
            return a.textColour == b.textColour;
        case lines::kSound:
            return a.soundFile == b.soundFile && a.loopForever == b.loopForever &&
                   (a.loopForever || a.loopCount == b.loopCount);
        case lines::kPanel:
            return a.backgroundImage == b.backgroundImage;
        case lines::kDescription:
            return a.description == b.description;
        default:
            return a.lineImage == b.lineImage;
    }
}

}  // namespace

WriteOutcome writeSettings(WorkingDocument& document, const FolderViewSettings& settings,
                           const FileExists& fileExists, const FolderViewSettings* shown) {
    using Status = WriteOutcome::Status;
    if (auto missing = firstMissingFile(settings, fileExists)) {
        return {Status::MissingFile, std::move(*missing)};
    }
    // Check everything before replacing anything, so a refusal leaves the document as it was.
    // The constant pieces of the lines are ASCII, so the lines can be stored when every value can.
    for (const std::string* value :
         {&settings.infoSize, &settings.titleSize, &settings.fontFace, &settings.textColour,
          &settings.soundFile, &settings.loopCount, &settings.backgroundImage,
          &settings.description, &settings.lineImage}) {
        if (!document.canStore(*value)) {
            return {Status::TextNotStorable, *value};
        }
    }
    const auto settingLines = composeSettingLines(settings);
    for (const auto& line : settingLines) {
        if (static_cast<std::size_t>(line.index) >= document.size()) {
            return {Status::DocumentTooShort, {}};
        }
    }
    for (const auto& line : settingLines) {
        if (shown == nullptr || !sameValues(line.index, settings, *shown)) {
            document.replaceText(static_cast<std::size_t>(line.index), line.text);
        }
    }
    return {};
}

}  // namespace tessivane
