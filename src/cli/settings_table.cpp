// SPDX-License-Identifier: MIT
#include "cli/settings_table.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "cli/reporter.h"
#include "document/colours.h"
#include "document/numeric.h"
#include "document/reader.h"
#include "storage/windows_files.h"

namespace tessivane::cli {

using S = FolderViewSettings;

const std::array<Setting, 10> kSettings{{
    {.key = "description",
     .text = &S::description,
     .option = "description",
     .valueName = "TEXT",
     .help = QT_TRANSLATE_NOOP("CommandLineTool",
                               "The folder description; %THISDIRNAME% and %THISDIRPATH% stand for "
                               "the folder's name and path."),
     .kind = ValueKind::Text,
     .readBack =
         QT_TRANSLATE_NOOP("CommandLineTool", "warning: the description will read back as '%1'")},
    {.key = "backgroundImage",
     .text = &S::backgroundImage,
     .option = "background",
     .valueName = "PATH",
     .help = QT_TRANSLATE_NOOP("CommandLineTool", "The background image of the left info panel."),
     .kind = ValueKind::Path,
     .readBack = QT_TRANSLATE_NOOP("CommandLineTool",
                                   "warning: the background image will read back as '%1'")},
    {.key = "lineImage",
     .text = &S::lineImage,
     .option = "line-image",
     .valueName = "PATH",
     .help = QT_TRANSLATE_NOOP("CommandLineTool", "The line image under the title."),
     .kind = ValueKind::Path,
     .readBack =
         QT_TRANSLATE_NOOP("CommandLineTool", "warning: the line image will read back as '%1'")},
    {.key = "soundFile",
     .text = &S::soundFile,
     .option = "sound",
     .valueName = "PATH",
     .help = QT_TRANSLATE_NOOP("CommandLineTool", "The background sound."),
     .kind = ValueKind::Path,
     .readBack =
         QT_TRANSLATE_NOOP("CommandLineTool", "warning: the sound file will read back as '%1'")},
    // --loop sets loopForever too; warnAboutReadingBack names a change of it on its own.
    {.key = "loopForever", .flag = &S::loopForever, .kind = ValueKind::Loop},
    {.key = "loopCount",
     .text = &S::loopCount,
     .option = "loop",
     .valueName = "forever|N",
     .help = QT_TRANSLATE_NOOP("CommandLineTool",
                               "Play the sound forever, or N times; a count below 1 becomes 1."),
     .kind = ValueKind::Loop,
     .readBack =
         QT_TRANSLATE_NOOP("CommandLineTool", "warning: the loop count will read back as '%1'")},
    {.key = "fontFace",
     .text = &S::fontFace,
     .option = "font",
     .valueName = "NAME",
     .help = QT_TRANSLATE_NOOP("CommandLineTool", "The font face of the page's text."),
     .kind = ValueKind::Text,
     .readBack = QT_TRANSLATE_NOOP("CommandLineTool", "warning: the font will read back as '%1'")},
    {.key = "textColour",
     .text = &S::textColour,
     .option = "colour",
     .valueName = "NAME",
     .help = QT_TRANSLATE_NOOP("CommandLineTool",
                               "The text colour: one of the sixteen names of the window's list."),
     .kind = ValueKind::Colour,
     .readBack =
         QT_TRANSLATE_NOOP("CommandLineTool", "warning: the colour will read back as '%1'")},
    {.key = "infoSize",
     .text = &S::infoSize,
     .option = "info-size",
     .valueName = "N",
     .help = QT_TRANSLATE_NOOP("CommandLineTool",
                               "The size of the information text in points, 1 to 2160."),
     .kind = ValueKind::Size,
     .sizeFallback = kInfoSizeFallback,
     .readBack = QT_TRANSLATE_NOOP("CommandLineTool",
                                   "warning: the information size will read back as '%1'")},
    {.key = "titleSize",
     .text = &S::titleSize,
     .option = "title-size",
     .valueName = "N",
     .help = QT_TRANSLATE_NOOP("CommandLineTool", "The size of the title in points, 1 to 2160."),
     .kind = ValueKind::Size,
     .sizeFallback = kTitleSizeFallback,
     .readBack =
         QT_TRANSLATE_NOOP("CommandLineTool", "warning: the title size will read back as '%1'")},
}};

QList<QCommandLineOption> settingOptions() {
    QList<QCommandLineOption> options;
    for (const Setting& setting : kSettings) {
        if (setting.option) {
            options.append({setting.option, CommandLineTool::tr(setting.help), setting.valueName});
        }
    }
    return options;
}

namespace {

// A setting as show prints it: its text, or true or false.
std::string shownValue(const Setting& setting, const FolderViewSettings& settings) {
    if (setting.text) {
        return settings.*setting.text;
    }
    return settings.*setting.flag ? "true" : "false";
}

}  // namespace

void printSettings(std::ostream& out, const FolderViewSettings& settings, bool json) {
    QJsonObject object;
    for (const Setting& setting : kSettings) {
        if (!json) {
            out << setting.key << ": " << shownValue(setting, settings) << "\n";
        } else if (setting.text) {
            object.insert(QLatin1String(setting.key),
                          QString::fromStdString(settings.*setting.text));
        } else {
            object.insert(QLatin1String(setting.key), settings.*setting.flag);
        }
    }
    if (json) {
        // One line, so that scripts can read one object per line.
        out << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << "\n";
    }
}

void warnAboutReadingBack(const WorkingDocument& document, const FolderViewSettings& wanted,
                          Reporter& reporter) {
    const FolderViewSettings back = readFolderViewSettings(document);
    for (const Setting& setting : kSettings) {
        // A sound that loops forever has no count to read back.
        if (!setting.readBack || (setting.kind == ValueKind::Loop && wanted.loopForever)) {
            continue;
        }
        if (wanted.*setting.text != back.*setting.text) {
            reporter.note(CommandLineTool::tr(setting.readBack)
                              .arg(QString::fromStdString(back.*setting.text)));
        }
    }
    if (wanted.loopForever != back.loopForever) {
        reporter.note(
            back.loopForever
                ? CommandLineTool::tr("warning: the sound will read back as looping forever")
                : CommandLineTool::tr("warning: the sound will read back as looping %1 times")
                      .arg(QString::fromStdString(back.loopCount)));
    }
}

namespace {

QStringList colourNames() {
    QStringList names;
    for (const std::string_view name : kColourNames) {
        names << QString::fromUtf8(name.data(), qsizetype(name.size()));
    }
    return names;
}

// The value as it will be stored, named on standard error when it differs from the one given.
QString corrected(const QString& option, const std::string& given, const std::string& stored,
                  Reporter& reporter) {
    if (plainNumber(given) != stored) {
        reporter.note(
            CommandLineTool::tr("%1 %2 is corrected to %3")
                .arg(option, QString::fromStdString(given), QString::fromStdString(stored)));
    }
    return QString::fromStdString(stored);
}

// The value of a setting's option as it will be stored; nothing, with the exit status, when it
// is refused.
std::optional<int> checked(const Setting& setting, const QString& given, Reporter& reporter,
                           std::optional<QString>& value) {
    const QString option = QString("--") + setting.option;
    const std::string text = given.toStdString();
    switch (setting.kind) {
        case ValueKind::Path:
            // Bytes that are not UTF-8 reach the tool as replacement characters, which would be
            // stored in their place: a path is refused as a name, a text as a usage error.
            if (!reporter.cameAsUtf8(given) || !isFaithfulName(given)) {
                return reporter.fail(
                    messages::cannotRead(given, {FileError::Kind::InvalidName, {}}));
            }
            value = given;
            break;
        case ValueKind::Text:
            if (!reporter.cameAsUtf8(given)) {
                return reporter.usage(CommandLineTool::tr("%1 is not valid UTF-8").arg(option));
            }
            value = given;
            break;
        case ValueKind::Colour: {
            const int index = findColour(text);
            if (index < 0) {
                return reporter.usage(CommandLineTool::tr("unknown colour '%1'; use one of %2")
                                          .arg(given, colourNames().join(", ")));
            }
            value = colourNames()[index];
            break;
        }
        case ValueKind::Loop:
            if (text == "forever") {
                value = given;
            } else if (isNumeric(text)) {
                value = corrected(option, text, wholeNumber(correctedLoopCount(text)), reporter);
            } else {
                return reporter.usage(
                    CommandLineTool::tr("--loop takes 'forever' or a number, not '%1'").arg(given));
            }
            break;
        case ValueKind::Size:
            if (!isNumeric(text)) {
                return reporter.usage(
                    CommandLineTool::tr("%1 takes a number, not '%2'").arg(option, given));
            }
            value = corrected(option, text, plainNumber(correctedSize(text, setting.sizeFallback)),
                              reporter);
            break;
    }
    return std::nullopt;
}

}  // namespace

std::optional<int> SettingChanges::read(const QCommandLineParser& parser, Reporter& reporter) {
    // Files first, whose names are refused as failures, then texts, then the values that are
    // read as names or numbers: of several refused values, the same one is named each time.
    for (const ValueKind kind :
         {ValueKind::Path, ValueKind::Text, ValueKind::Colour, ValueKind::Loop, ValueKind::Size}) {
        for (std::size_t i = 0; i < kSettings.size(); ++i) {
            const Setting& setting = kSettings[i];
            if (setting.kind != kind || !setting.option || !parser.isSet(setting.option)) {
                continue;
            }
            if (const auto status =
                    checked(setting, parser.value(setting.option), reporter, values_[i])) {
                return status;
            }
        }
    }
    return std::nullopt;
}

void SettingChanges::applyTo(FolderViewSettings& settings, const QString& folder) const {
    for (std::size_t i = 0; i < kSettings.size(); ++i) {
        const Setting& setting = kSettings[i];
        if (!values_[i]) {
            continue;
        }
        if (setting.kind == ValueKind::Loop) {
            settings.loopForever = *values_[i] == "forever";
            if (settings.loopForever) {
                continue;  // the count stays as it was
            }
        }
        settings.*setting.text = setting.kind == ValueKind::Path
                                     ? pageNameFor(*values_[i], folder).toStdString()
                                     : values_[i]->toStdString();
    }
}

}  // namespace tessivane::cli
