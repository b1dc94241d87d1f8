// SPDX-License-Identifier: MIT
#include "document/reader.h"

#include <utility>
#include <vector>

#include "document/colours.h"
#include "document/line_map.h"
#include "document/numeric.h"
#include "document/working_document.h"

namespace tessivane {
namespace {

// Removes every occurrence of the piece, scanning left to right once (the result is not rescanned).
std::string removeAll(std::string_view text, std::string_view piece) {
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = text.find(piece, pos);
        if (hit == std::string_view::npos) {
            result.append(text.substr(pos));
            return result;
        }
        result.append(text.substr(pos, hit - pos));
        pos = hit + piece.size();
    }
}

std::string removeAll(std::string_view text, std::initializer_list<std::string_view> pieces) {
    std::string result(text);
    for (const auto piece : pieces) {
        result = removeAll(result, piece);
    }
    return result;
}

}  // namespace

FontFields parseFontLine(std::string_view line) {
    const std::string rest = removeAll(line, {"body  {font: ", "; margin: 0}"});
    FontFields fields;
    if (rest.empty()) {
        return fields;
    }
    const std::string_view text = rest;
    const std::size_t first = text.find_first_of(" /");
    fields.infoSize = removeAll(text.substr(0, first), "pt");
    if (first == std::string_view::npos) {
        return fields;
    }
    const std::size_t second = text.find_first_of(" /", first + 1);
    fields.titleSize = removeAll(text.substr(first + 1, second - (first + 1)), "pt");
    if (second == std::string_view::npos) {
        return fields;
    }
    fields.face = std::string(text.substr(second + 1));
    return fields;
}

std::string parseColourLine(std::string_view line) {
    return colourFromDocument(removeAll(line, {"{font-weight: bold; color: ", "}"}));
}

SoundFields parseSoundLine(std::string_view line) {
    const std::string rest = removeAll(line, {"<bgsound src=\"", "loop=\"", "\">", "file://"});
    SoundFields fields;
    if (rest.empty()) {
        return fields;
    }
    const std::size_t quote = rest.find('"');
    fields.soundFile = rest.substr(0, quote);
    if (quote != std::string::npos) {
        const std::size_t next = rest.find('"', quote + 1);
        fields.loopValue =
            rest.substr(quote + 1, next == std::string::npos ? next : next - quote - 1);
    }
    return fields;
}

std::string parsePanelLine(std::string_view line) {
    return removeAll(line, {"<div id=Panel style=\"background: white URL(file://", ")\">"});
}

std::string parseLineImageLine(std::string_view line) {
    return removeAll(line, {"<img src=\"", "\" width=100% height=1px>"});
}

ReadOutcome readSettings(const WorkingDocument& document, SettingsTarget& target) {
    const auto missing = [](int index) {
        return ReadOutcome{false, static_cast<std::size_t>(index)};
    };
    const auto font = document.text(lines::kFont);
    if (!font) {
        return missing(lines::kFont);
    }
    const FontFields fontFields = parseFontLine(*font);
    if (fontFields.infoSize) {
        target.setInfoSize(*fontFields.infoSize);
    }
    if (fontFields.titleSize) {
        target.setTitleSize(*fontFields.titleSize);
    }
    if (fontFields.face) {
        target.selectFontFace(*fontFields.face);
    }

    const auto colour = document.text(lines::kColour);
    if (!colour) {
        return missing(lines::kColour);
    }
    target.selectColour(parseColourLine(*colour));

    const auto sound = document.text(lines::kSound);
    if (!sound) {
        return missing(lines::kSound);
    }
    const SoundFields soundFields = parseSoundLine(*sound);
    if (soundFields.soundFile) {
        target.setSoundFile(*soundFields.soundFile);
    }
    if (soundFields.loopValue) {
        if (isNumeric(*soundFields.loopValue)) {
            target.chooseLoopCount(*soundFields.loopValue);
        } else {
            target.chooseLoopForever();
        }
    }

    const auto panel = document.text(lines::kPanel);
    if (!panel) {
        return missing(lines::kPanel);
    }
    target.setBackgroundImage(parsePanelLine(*panel));

    const auto lineImage = document.text(lines::kLineImage);
    if (!lineImage) {
        return missing(lines::kLineImage);
    }
    target.setLineImage(parseLineImageLine(*lineImage));

    const auto description = document.text(lines::kDescription);
    target.setDescription(*description);  // present: the document reaches past it
    return {};
}

void SettingsRecorder::setInfoSize(const std::string& text) {
    settings_.infoSize = correctedSize(text, kInfoSizeFallback);
}
void SettingsRecorder::setTitleSize(const std::string& text) {
    settings_.titleSize = correctedSize(text, kTitleSizeFallback);
}
void SettingsRecorder::selectFontFace(const std::string& face) {
    settings_.fontFace = face;
}
void SettingsRecorder::selectColour(const std::string& colour) {
    const int index = findColour(colour);
    settings_.textColour = index < 0 ? colour : std::string(kColourNames[std::size_t(index)]);
}
void SettingsRecorder::setSoundFile(const std::string& path) {
    settings_.soundFile = path;
}
void SettingsRecorder::chooseLoopCount(const std::string& count) {
    settings_.loopCount = correctedLoopCount(count);
    settings_.loopForever = false;
}
void SettingsRecorder::chooseLoopForever() {
    settings_.loopForever = true;
}
void SettingsRecorder::setBackgroundImage(const std::string& path) {
    settings_.backgroundImage = path;
}
void SettingsRecorder::setLineImage(const std::string& path) {
    settings_.lineImage = path;
}
void SettingsRecorder::setDescription(const std::string& text) {
    settings_.description = text;
}

FolderViewSettings readFolderViewSettings(const WorkingDocument& document, ReadOutcome* outcome) {
    SettingsRecorder recorder;
    const ReadOutcome result = readSettings(document, recorder);
    if (outcome != nullptr) {
        *outcome = result;
    }
    return recorder.settings();
}

}  // namespace tessivane
