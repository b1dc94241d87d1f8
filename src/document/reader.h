// SPDX-License-Identifier: MIT
#pragma once
// The document reader: takes the settings back out of the six setting lines.
//
// Each line has a pure parser that removes the line's constant pieces and cuts the rest at its
// separators, accepting both the template's and the writer's forms. readSettings() runs them in
// the fixed reading order and hands each value to a SettingsTarget: the main window puts them
// into its controls (whose change handling corrects them), SettingsRecorder into a settings record
// with the same corrections. Nothing is validated here beyond that.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "document/settings.h"

namespace tessivane {

class WorkingDocument;

struct FontFields {
    std::optional<std::string> infoSize;
    std::optional<std::string> titleSize;
    std::optional<std::string> face;  // the whole rest of the line; may hold spaces and "/"
};
FontFields parseFontLine(std::string_view line);

// The colour as the colour list spells "gray" ("Grey"); any other text unchanged.
std::string parseColourLine(std::string_view line);

struct SoundFields {
    std::optional<std::string> soundFile;
    std::optional<std::string> loopValue;
};
SoundFields parseSoundLine(std::string_view line);

std::string parsePanelLine(std::string_view line);
std::string parseLineImageLine(std::string_view line);

// Receives the values in reading order. Each call corresponds to setting one control.
class SettingsTarget {
public:
    virtual ~SettingsTarget() = default;
    virtual void setInfoSize(const std::string& text) = 0;
    virtual void setTitleSize(const std::string& text) = 0;
    // Select the face when a list entry matches it ignoring case; otherwise the face the document
    // names is shown and chosen as it is.
    virtual void selectFontFace(const std::string& face) = 0;
    // Select the colour matching ignoring case; the empty text chooses none; any other text is
    // shown and chosen as it is.
    virtual void selectColour(const std::string& colour) = 0;
    virtual void setSoundFile(const std::string& path) = 0;
    // A numeric loop value: the loop count takes the text, and looping a set number of times is
    // chosen.
    virtual void chooseLoopCount(const std::string& count) = 0;
    virtual void chooseLoopForever() = 0;
    virtual void setBackgroundImage(const std::string& path) = 0;
    virtual void setLineImage(const std::string& path) = 0;
    virtual void setDescription(const std::string& text) = 0;
};

struct ReadOutcome {
    bool complete = true;
    std::size_t missingLine = 0;  // the first line the document lacked, when not complete
};

// Reads the font, colour, sound, panel, line-image and description lines, in that order, stopping
// at the first line the document does not have. Values read before that stay delivered.
ReadOutcome readSettings(const WorkingDocument& document, SettingsTarget& target);

// A SettingsTarget that fills a settings record the way the main window's controls would: sizes
// and the loop count corrected, a colour of the list in the list's spelling (any other kept as
// stored), the font face kept as stored.
class SettingsRecorder final : public SettingsTarget {
public:
    explicit SettingsRecorder(FolderViewSettings start = {}) : settings_(std::move(start)) {}
    const FolderViewSettings& settings() const { return settings_; }

    void setInfoSize(const std::string& text) override;
    void setTitleSize(const std::string& text) override;
    void selectFontFace(const std::string& face) override;
    void selectColour(const std::string& colour) override;
    void setSoundFile(const std::string& path) override;
    void chooseLoopCount(const std::string& count) override;
    void chooseLoopForever() override;
    void setBackgroundImage(const std::string& path) override;
    void setLineImage(const std::string& path) override;
    void setDescription(const std::string& text) override;

private:
    FolderViewSettings settings_;
};

// The settings a document shows, starting from the window's initial values.
FolderViewSettings readFolderViewSettings(const WorkingDocument& document,
                                          ReadOutcome* outcome = nullptr);

}  // namespace tessivane
