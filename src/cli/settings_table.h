// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include "document/settings.h"
#include "document/working_document.h"

namespace tessivane::cli {

class Reporter;

// How write checks the value of a setting's option, and stores it.
enum class ValueKind {
    Text,    // stored as given, which must be UTF-8
    Path,    // a file, stored as Windows finds it from the written file's folder
    Loop,    // "forever", or a count stored as a whole number of at least 1
    Colour,  // one of the sixteen names, stored as the list spells it
    Size,    // a number of points, kept between 1 and 2160
};

// One setting of a document: the name that show prints it under, which is also its key in the
// JSON object; the option of write that sets it; and the note that write gives when the written
// document reads it back otherwise.
struct Setting {
    const char* key;
    std::string FolderViewSettings::*text = nullptr;  // the setting, when it is a text
    bool FolderViewSettings::*flag = nullptr;         // the setting, when it is true or false
    const char* option = nullptr;  // without its dashes; nullptr when another row's option sets it
    const char* valueName = nullptr;
    const char* help = nullptr;  // marked for translation
    ValueKind kind = ValueKind::Text;
    std::string_view sizeFallback = {};  // what correcting a size takes for one it cannot read
    const char* readBack = nullptr;      // marked for translation; %1 is the value read back
};

// The settings, in the order in which write's --help and show list them.
extern const std::array<Setting, 10> kSettings;

// write's options that set the settings, in the table's order.
QList<QCommandLineOption> settingOptions();

// One "name: value" line a setting, or one JSON object with the same names, in which every value
// is a string except loopForever.
void printSettings(std::ostream& out, const FolderViewSettings& settings, bool json);

// Names on standard error each setting that the written document will give back otherwise: a
// value the line format cannot carry, such as a quote in the sound file's path.
void warnAboutReadingBack(const WorkingDocument& document, const FolderViewSettings& wanted,
                          Reporter& reporter);

// The settings that write's options give, checked and corrected before the document is read.
class SettingChanges {
public:
    // Checks each value given and corrects numbers as the window does, naming each correction
    // on standard error. Returns the exit status when a value is refused.
    std::optional<int> read(const QCommandLineParser& parser, Reporter& reporter);

    // Sets the settings given; a file in folder is named as Windows finds it wherever the folder
    // goes.
    void applyTo(FolderViewSettings& settings, const QString& folder) const;

private:
    std::array<std::optional<QString>, kSettings.size()> values_;  // as kSettings
};

}  // namespace tessivane::cli
