// SPDX-License-Identifier: MIT
#include "cli/cli.h"

#include <new>
#include <optional>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "app/messages.h"
#include "document/colours.h"
#include "document/desktop_ini.h"
#include "document/numeric.h"
#include "document/reader.h"
#include "document/template.h"
#include "document/writer.h"
#include "storage/file_services.h"
#include "storage/folder_use.h"
#include "storage/windows_files.h"

namespace tessivane::cli {
namespace {

// The context in which every text the tool prints is translated. Option names, the value names
// beside them (FILE, FOLDER), command names and the names that show prints are the command
// line's syntax, the same in every language.
class CommandLineTool {
    Q_DECLARE_TR_FUNCTIONS(CommandLineTool)

public:
    // A text marked with QT_TRANSLATE_NOOP in this context.
    static QString translated(const char* text) {
        return QCoreApplication::translate("CommandLineTool", text);
    }
};

QCommandLineOption outputOption(const QString& help) {
    return QCommandLineOption({"o", "output"}, help, "FILE");
}

QList<QCommandLineOption> templateOptions() {
    return {outputOption(CommandLineTool::tr("Write to FILE instead of standard output."))};
}

QList<QCommandLineOption> showOptions() {
    return {{"json", CommandLineTool::tr("Print one JSON object instead of 'name: value' lines.")}};
}

// The options of write; each may be given once.
QList<QCommandLineOption> writeOptions() {
    return {
        {"from",
         CommandLineTool::tr(
             "Start from this template, which Tessivane saved, instead of the built-in one."),
         "FILE"},
        {"description",
         CommandLineTool::tr(
             "The folder description; %THISDIRNAME% and %THISDIRPATH% stand for the "
             "folder's name and path."),
         "TEXT"},
        {"background", CommandLineTool::tr("The background image of the left info panel."), "PATH"},
        {"line-image", CommandLineTool::tr("The line image under the title."), "PATH"},
        {"sound", CommandLineTool::tr("The background sound."), "PATH"},
        {"loop",
         CommandLineTool::tr("Play the sound forever, or N times; a count below 1 becomes 1."),
         "forever|N"},
        {"font", CommandLineTool::tr("The font face of the page's text."), "NAME"},
        {"colour",
         CommandLineTool::tr("The text colour: one of the sixteen names of the window's list."),
         "NAME"},
        {"info-size", CommandLineTool::tr("The size of the information text in points, 1 to 2160."),
         "N"},
        {"title-size", CommandLineTool::tr("The size of the title in points, 1 to 2160."), "N"},
        {"discard-recovery-copy",
         CommandLineTool::tr(
             "Save over FILE even where an earlier save of it was cut short, and remove the "
             "copy of its earlier content that that save left.")},
        outputOption(CommandLineTool::tr("The file to write.")),
    };
}

QList<QCommandLineOption> applyOptions() {
    return {
        {"name",
         CommandLineTool::tr("The template's file name in the folder; Folder.htt when not given."),
         "NAME.htt", kFolderTemplateName},
        {"replace",
         CommandLineTool::tr("Replace a page of Tessivane's that is already at that name; it is "
                             "kept in the folder, and unapply brings it back.")},
        {"comment",
         CommandLineTool::tr("The folder's comment, which Windows shows as its tooltip."), "TEXT"},
        {"icon",
         CommandLineTool::tr("The folder's icon: an .ico file, or a .dll or .exe with the icon's "
                             "index."),
         "FILE[,INDEX]"},
        {"list-picture", CommandLineTool::tr("The picture behind the folder's file list."), "FILE"},
        {"list-text-colour",
         CommandLineTool::tr("The colour of the file names in the list: one of the sixteen names, "
                             "or #RRGGBB."),
         "COLOUR"}};
}

QList<QCommandLineOption> noOptions() {
    return {};
}

struct Argument {
    const char* name;
    const char* help;  // marked for translation
};

// A command: its options and file arguments, from which its usage lines are made, and what it
// does, the start of its own --help and its entry in the tool's --help.
struct CommandText {
    const char* name;
    QList<QCommandLineOption> (*options)();
    Argument arguments[2];
    const char* required;     // the option that must be given, or nullptr
    const char* description;  // lines that fit beside the name in the tool's --help, marked
};
constexpr const char* kSavedTemplate =
    QT_TRANSLATE_NOOP("CommandLineTool", "A template that Tessivane saved.");
constexpr CommandText kTemplate{
    "template",
    templateOptions,
    {},
    nullptr,
    QT_TRANSLATE_NOOP("CommandLineTool",
                      "Write the built-in template to FILE, or to standard output.")};
constexpr CommandText kShow{
    "show",
    showOptions,
    {{"FILE", kSavedTemplate}},
    nullptr,
    QT_TRANSLATE_NOOP("CommandLineTool",
                      "Print the settings of a template that Tessivane saved, one\n"
                      "'name: value' line each, or one JSON object with --json.")};
constexpr CommandText kWrite{
    "write",
    writeOptions,
    {},
    "output",
    QT_TRANSLATE_NOOP("CommandLineTool",
                      "Start from the built-in template, or from a template given with\n"
                      "--from, change the settings given, check that the sound, background\n"
                      "and line image files exist as Windows will look for them, and save\n"
                      "the result to FILE. A file in FILE's folder is named\n"
                      "%THISDIRPATH%\\NAME, which Windows finds wherever the folder goes; a\n"
                      "drive or network path (C:\\..., \\\\server\\...) is not checked here.")};
constexpr CommandText kApply{
    "apply",
    applyOptions,
    {{"TEMPLATE", kSavedTemplate},
     {"FOLDER", QT_TRANSLATE_NOOP("CommandLineTool", "The folder that will show it.")}},
    nullptr,
    QT_TRANSLATE_NOOP("CommandLineTool",
                      "Use a template that Tessivane saved for FOLDER: check that its\n"
                      "sound, background and line image files exist, copy those that lie\n"
                      "outside FOLDER into it, write the template there as Folder.htt\n"
                      "naming them as Windows finds them, make the folder's Desktop.ini\n"
                      "show it, and mark the folder read-only and the files hidden and\n"
                      "system where the volume keeps Windows attributes. All of it is\n"
                      "done, or none. --comment, --icon and the list's picture and colour\n"
                      "give the folder its look too; without TEMPLATE, only those.")};
constexpr CommandText kShowFolder{
    "show-folder",
    showOptions,
    {{"FOLDER", QT_TRANSLATE_NOOP("CommandLineTool", "A folder.")}},
    nullptr,
    QT_TRANSLATE_NOOP("CommandLineTool",
                      "Print what a folder's Desktop.ini gives it: its page, comment,\n"
                      "icon, list picture and list text colour, one 'name: value' line\n"
                      "each, or one JSON object with --json.")};
constexpr CommandText kUnapply{
    "unapply",
    noOptions,
    {{"FOLDER", QT_TRANSLATE_NOOP("CommandLineTool", "A folder that apply used a template for.")}},
    nullptr,
    QT_TRANSLATE_NOOP("CommandLineTool",
                      "Take out of FOLDER exactly what apply put in: Desktop.ini's keys,\n"
                      "the template while it is as written, and the attributes.")};
constexpr const CommandText* kCommands[] = {&kTemplate, &kShow,    &kWrite,
                                            &kApply,    &kUnapply, &kShowFolder};

QString optionUsage(const QCommandLineOption& option) {
    const QString name = option.names().first();
    QString usage = (name.size() == 1 ? "-" : "--") + name;
    if (!option.valueName().isEmpty()) {
        usage += ' ' + option.valueName();
    }
    return usage;
}

// The file arguments, and the option that must be given: what follows "[options]" in the
// command's --help.
QString requiredUsage(const CommandText& command) {
    QString usage;
    for (const Argument& argument : command.arguments) {
        if (argument.name) {
            usage += QString(" ") + argument.name;
        }
    }
    for (const QCommandLineOption& option : command.options()) {
        if (command.required && option.names().contains(command.required)) {
            usage += ' ' + optionUsage(option);
        }
    }
    return usage;
}

// The tool's usage: one line a command with all its options, wrapped under the first option.
QString usageText() {
    constexpr int kWidth = 90;
    QString text = CommandLineTool::tr("Usage:") + '\n';
    for (const CommandText* command : kCommands) {
        const QString start = QString("  tessivane-cli ") + command->name;
        QStringList words;
        for (const QCommandLineOption& option : command->options()) {
            if (!command->required || !option.names().contains(command->required)) {
                words << '[' + optionUsage(option) + ']';
            }
        }
        if (const QString required = requiredUsage(*command); !required.isEmpty()) {
            words << required.mid(1);
        }
        QString line = start;
        for (const QString& word : words) {
            if (line.size() + 1 + word.size() > kWidth && line.size() > start.size()) {
                text += line + '\n';
                line = QString(start.size(), ' ');
            }
            line += ' ' + word;
        }
        text += line + '\n';
    }
    return text + "  tessivane-cli --help | --version\n";
}

// The tool's --help: the usage, what the tool does, each command's description beside its name.
QString toolHelp() {
    QString commands;
    for (const CommandText* command : kCommands) {
        commands += QString("  %1").arg(command->name, -12) +
                    CommandLineTool::translated(command->description)
                        .replace('\n', '\n' + QString(14, ' ')) +
                    '\n';
    }
    return usageText() + '\n' +
           CommandLineTool::tr(
               "Tessivane writes folder Web View templates (.htt) from its built-in template.") +
           "\n\n" + CommandLineTool::tr("Commands:") + '\n' + commands + '\n' +
           CommandLineTool::tr(
               "Sizes and the loop count are numbers, corrected as in the window: sizes are kept "
               "between\n1 and 2160 and a loop count below 1 becomes 1, with a note on standard "
               "error. They are\nstored in plain decimal form, the loop count as a whole number. "
               "Colours are the sixteen\nnames of the window's list.") +
           '\n';
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

// Reports to standard output and standard error, and loads and saves with what goes wrong
// reported there.
class Reporter {
public:
    Reporter(std::ostream& out, std::ostream& err, const QStringList& notUtf8)
        : out_(out), err_(err), notUtf8_(notUtf8) {}

    // Whether a value came from an argument whose bytes were UTF-8: only then does a replacement
    // character in it stand for itself.
    bool cameAsUtf8(const QString& value) const {
        if (!value.contains(QChar::ReplacementCharacter)) {
            return true;
        }
        for (const QString& argument : notUtf8_) {
            if (argument.endsWith(value)) {
                return false;
            }
        }
        return true;
    }

    int usage(const QString& problem) {
        err_ << "tessivane-cli: " << utf8(problem) << "\n" << utf8(usageText());
        return kUsage;
    }
    int fail(const std::string& message) {
        err_ << message << "\n";
        return kFailed;
    }
    int fail(const Message& message) { return fail(utf8(message.text)); }
    void note(const QString& text) { err_ << "tessivane-cli: " << utf8(text) << "\n"; }

    // The value as it will be stored, named on standard error when it differs from the one given.
    std::string corrected(const QString& option, const std::string& given, std::string stored) {
        if (plainNumber(given) != stored) {
            // Marked where it stands: lupdate places no tr() in a function returning std::string.
            note(CommandLineTool::translated(
                     QT_TRANSLATE_NOOP("CommandLineTool", "%1 %2 is corrected to %3"))
                     .arg(option, QString::fromStdString(given), QString::fromStdString(stored)));
        }
        return stored;
    }

    // Names each setting that the written document will give back otherwise: a value the line
    // format cannot carry, such as a quote in the sound file's path.
    void warnAboutReadingBack(const WorkingDocument& document, const FolderViewSettings& wanted) {
        const FolderViewSettings back = readFolderViewSettings(document);
        const struct {
            const char* warning;  // marked for translation
            const std::string& wanted;
            const std::string& back;
        } fields[] = {
            {QT_TRANSLATE_NOOP("CommandLineTool",
                               "warning: the description will read back as '%1'"),
             wanted.description, back.description},
            {QT_TRANSLATE_NOOP("CommandLineTool",
                               "warning: the background image will read back as '%1'"),
             wanted.backgroundImage, back.backgroundImage},
            {QT_TRANSLATE_NOOP("CommandLineTool", "warning: the line image will read back as '%1'"),
             wanted.lineImage, back.lineImage},
            {QT_TRANSLATE_NOOP("CommandLineTool", "warning: the sound file will read back as '%1'"),
             wanted.soundFile, back.soundFile},
            {QT_TRANSLATE_NOOP("CommandLineTool", "warning: the loop count will read back as '%1'"),
             wanted.loopForever ? back.loopCount : wanted.loopCount, back.loopCount},
            {QT_TRANSLATE_NOOP("CommandLineTool", "warning: the font will read back as '%1'"),
             wanted.fontFace, back.fontFace},
            {QT_TRANSLATE_NOOP("CommandLineTool", "warning: the colour will read back as '%1'"),
             wanted.textColour, back.textColour},
            {QT_TRANSLATE_NOOP("CommandLineTool",
                               "warning: the information size will read back as '%1'"),
             wanted.infoSize, back.infoSize},
            {QT_TRANSLATE_NOOP("CommandLineTool", "warning: the title size will read back as '%1'"),
             wanted.titleSize, back.titleSize},
        };
        for (const auto& field : fields) {
            if (field.wanted != field.back) {
                note(CommandLineTool::translated(field.warning)
                         .arg(QString::fromStdString(field.back)));
            }
        }
        if (wanted.loopForever != back.loopForever) {
            note(back.loopForever
                     ? CommandLineTool::tr("warning: the sound will read back as looping forever")
                     : CommandLineTool::tr("warning: the sound will read back as looping %1 times")
                           .arg(QString::fromStdString(back.loopCount)));
        }
    }

    // A file of ours, loaded whole, or a failure already reported. A recovery copy of it, which
    // a save cut short left, is named on standard error.
    std::optional<WorkingDocument> loadOurs(const QString& path) {
        LoadResult loaded = cameAsUtf8(path)
                                ? loadDocument(path)
                                : LoadResult{{}, {FileError::Kind::InvalidName, {}}, {}, {}, {}};
        if (loaded.error) {
            fail(messages::cannotRead(path, loaded.error));
            return std::nullopt;
        }
        if (!hasMarkerLine(loaded.document)) {
            fail(messages::notOurFile(path));
            return std::nullopt;
        }
        if (!loaded.untrustedCopies.isEmpty()) {
            note(messages::untrustedCopies(path, loaded.untrustedCopies));
        }
        if (!loaded.recoveryCopy.isEmpty()) {
            note(CommandLineTool::tr(
                     "a save of '%1' was cut short, so the file may hold part of the new "
                     "content and part of the old; the file as it was before that save is "
                     "kept in '%2', followed by a record of its own: do not copy it back by "
                     "hand. Opening the file in the Tessivane window offers to restore it; "
                     "write with --discard-recovery-copy saves over the file and removes the "
                     "copy.")
                     .arg(path, loaded.recoveryCopy));
        }
        return std::move(loaded.document);
    }

    int save(const WorkingDocument& document, const QString& path,
             RecoveryCopy existing = RecoveryCopy::Refuse) {
        const FileError error = cameAsUtf8(path) ? saveDocument(document, path, existing)
                                                 : FileError{FileError::Kind::InvalidName, {}};
        if (!error) {
            return kDone;
        }
        fail(messages::saveFailed(path, error));
        if (error.kind == FileError::Kind::RecoveryCopyExists) {
            note(CommandLineTool::tr(
                "write --discard-recovery-copy saves over it and removes the copy"));
        }
        return kFailed;
    }

    std::ostream& out() { return out_; }

private:
    std::ostream& out_;
    std::ostream& err_;
    const QStringList& notUtf8_;
};

// One "name: value" line each, or one JSON object with the same names, in which every value is
// a string except loopForever.
void printSettings(std::ostream& out, const FolderViewSettings& s, bool json) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"description", &s.description}, {"backgroundImage", &s.backgroundImage},
        {"lineImage", &s.lineImage},     {"soundFile", &s.soundFile},
        {"loopForever", nullptr},        {"loopCount", &s.loopCount},
        {"fontFace", &s.fontFace},       {"textColour", &s.textColour},
        {"infoSize", &s.infoSize},       {"titleSize", &s.titleSize},
    };
    QJsonObject object;
    for (const auto& [name, value] : fields) {
        if (json) {
            object.insert(QLatin1String(name), value ? QJsonValue(QString::fromStdString(*value))
                                                     : QJsonValue(s.loopForever));
        } else {
            out << name << ": " << (value ? *value : s.loopForever ? "true" : "false") << "\n";
        }
    }
    if (json) {
        // One line, so that scripts can read one object per line.
        out << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << "\n";
    }
}

// Parses the arguments that follow the command's name, with the command's options and -h,
// --help. Returns the exit status when the command ends here: a usage error, or its --help
// answered on standard output.
std::optional<int> parse(QCommandLineParser& parser, const CommandText& text, QStringList arguments,
                         Reporter& reporter) {
    parser.setApplicationDescription(CommandLineTool::translated(text.description));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(
        {{"h", "help"}, CommandLineTool::tr("Print this command's usage and options, and exit.")});
    parser.addOptions(text.options());
    for (const Argument& argument : text.arguments) {
        if (argument.name) {
            parser.addPositionalArgument(argument.name, CommandLineTool::translated(argument.help));
        }
    }
    arguments.removeAt(1);  // the command's name
    if (!parser.parse(arguments)) {
        return reporter.usage(parser.errorText());
    }
    if (parser.isSet("help")) {
        // Qt's text starts with the program's path as started; the tool's name stands there.
        const QString help = parser.helpText();
        reporter.out() << utf8(
            CommandLineTool::tr("Usage: %1 [options]%2")
                .arg(QString("tessivane-cli ") + text.name, requiredUsage(text)) +
            help.mid(help.indexOf('\n')));
        return kDone;
    }
    return std::nullopt;
}

int templateCommand(const QStringList& arguments, Reporter& reporter) {
    QCommandLineParser parser;
    if (const auto ended = parse(parser, kTemplate, arguments, reporter)) {
        return *ended;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return reporter.usage(CommandLineTool::tr("template takes no file name; use -o FILE"));
    }
    WorkingDocument document = WorkingDocument::fromTemplate();
    if (!parser.isSet("output")) {
        reporter.out() << document.toBytes();
        return kDone;  // a failed write to standard output is reported as the tool ends
    }
    return reporter.save(document, parser.value("output"));
}

int showCommand(const QStringList& arguments, Reporter& reporter) {
    QCommandLineParser parser;
    if (const auto ended = parse(parser, kShow, arguments, reporter)) {
        return *ended;
    }
    if (parser.positionalArguments().size() != 1) {
        return reporter.usage(CommandLineTool::tr("show needs exactly one FILE"));
    }
    const QString path = parser.positionalArguments().first();
    const auto document = reporter.loadOurs(path);
    if (!document) {
        return kFailed;
    }
    ReadOutcome outcome;
    const FolderViewSettings settings = readFolderViewSettings(*document, &outcome);
    printSettings(reporter.out(), settings, parser.isSet("json"));
    if (!outcome.complete) {
        return reporter.fail(messages::loadError(path));
    }
    return kDone;
}

int writeCommand(const QStringList& arguments, Reporter& reporter) {
    QCommandLineParser parser;
    if (const auto ended = parse(parser, kWrite, arguments, reporter)) {
        return *ended;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return reporter.usage(
            CommandLineTool::tr("write takes its file names through --from and -o"));
    }
    if (!parser.isSet("output")) {
        return reporter.usage(CommandLineTool::tr("write needs -o FILE"));
    }
    for (const QCommandLineOption& option : writeOptions()) {
        const QString name = option.names().first();
        if (parser.values(name).size() > 1) {
            return reporter.usage(CommandLineTool::tr("%1 given more than once")
                                      .arg((name.size() == 1 ? "-" : "--") + name));
        }
    }
    const auto value = [&](const char* name) { return utf8(parser.value(name)); };
    // Bytes that are not UTF-8 reach the tool as replacement characters, which would be stored
    // in their place: a path is refused as a name, a text as a usage error.
    for (const char* path : {"background", "line-image", "sound"}) {
        if (!reporter.cameAsUtf8(parser.value(path)) || !isFaithfulName(parser.value(path))) {
            return reporter.fail(
                messages::cannotRead(parser.value(path), {FileError::Kind::InvalidName, {}}));
        }
    }
    for (const char* text : {"description", "font"}) {
        if (!reporter.cameAsUtf8(parser.value(text))) {
            return reporter.usage(
                CommandLineTool::tr("%1 is not valid UTF-8").arg(QString("--") + text));
        }
    }

    std::optional<std::string> colour;
    if (parser.isSet("colour")) {
        const int index = findColour(value("colour"));
        if (index < 0) {
            QStringList names;
            for (const std::string_view colourName : kColourNames) {
                names << QString::fromUtf8(colourName.data(), qsizetype(colourName.size()));
            }
            return reporter.usage(CommandLineTool::tr("unknown colour '%1'; use one of %2")
                                      .arg(parser.value("colour"), names.join(", ")));
        }
        colour = std::string(kColourNames[std::size_t(index)]);
    }
    std::optional<std::string> loop;
    if (parser.isSet("loop")) {
        loop = value("loop");
        if (*loop != "forever" && !isNumeric(*loop)) {
            return reporter.usage(
                CommandLineTool::tr("--loop takes 'forever' or a number, not '%1'")
                    .arg(parser.value("loop")));
        }
        if (*loop != "forever") {
            loop = reporter.corrected("--loop", *loop, wholeNumber(correctedLoopCount(*loop)));
        }
    }
    std::optional<std::string> sizes[2];
    const std::pair<const char*, std::string_view> sizeOptions[2] = {
        {"info-size", kInfoSizeFallback}, {"title-size", kTitleSizeFallback}};
    for (int i = 0; i < 2; ++i) {
        const auto& [name, fallback] = sizeOptions[i];
        if (!parser.isSet(name)) {
            continue;
        }
        const std::string given = value(name);
        if (!isNumeric(given)) {
            return reporter.usage(CommandLineTool::tr("%1 takes a number, not '%2'")
                                      .arg(QString("--") + name, parser.value(name)));
        }
        sizes[i] = reporter.corrected(QString("--") + name, given,
                                      plainNumber(correctedSize(given, fallback)));
    }

    WorkingDocument document;
    if (parser.isSet("from")) {
        auto loaded = reporter.loadOurs(parser.value("from"));
        if (!loaded) {
            return kFailed;
        }
        document = std::move(*loaded);
    } else {
        document = WorkingDocument::fromTemplate();
    }
    ReadOutcome outcome;
    FolderViewSettings settings = readFolderViewSettings(document, &outcome);
    if (!outcome.complete) {
        return reporter.fail(messages::loadError(parser.value("from")));
    }
    const FolderViewSettings shown = settings;  // the lines of settings not given stay as read

    if (parser.isSet("description")) {
        settings.description = value("description");
    }
    // A file in the output's folder is named as Windows finds it wherever the folder goes.
    const QString folder = QFileInfo(parser.value("output")).absolutePath();
    const auto pageName = [&](const char* name) {
        return utf8(pageNameFor(parser.value(name), folder));
    };
    if (parser.isSet("background")) {
        settings.backgroundImage = pageName("background");
    }
    if (parser.isSet("line-image")) {
        settings.lineImage = pageName("line-image");
    }
    if (parser.isSet("sound")) {
        settings.soundFile = pageName("sound");
    }
    if (parser.isSet("font")) {
        settings.fontFace = value("font");
    }
    if (colour) {
        settings.textColour = *colour;
    }
    if (sizes[0]) {
        settings.infoSize = *sizes[0];
    }
    if (sizes[1]) {
        settings.titleSize = *sizes[1];
    }
    if (loop) {
        settings.loopForever = *loop == "forever";
        if (!settings.loopForever) {
            settings.loopCount = *loop;
        }
    }

    WindowsNameCheck check(folder);
    const WriteOutcome written = writeSettings(
        document, settings, [&check](const std::string& path) { return check(path); }, &shown);
    for (const QString& note : check.notes()) {
        reporter.note(CommandLineTool::tr("note: %1").arg(note));
    }
    if (!written.written()) {
        return reporter.fail(messages::writeRefused(written, parser.value("output")));
    }
    reporter.warnAboutReadingBack(document, settings);
    return reporter.save(
        document, parser.value("output"),
        parser.isSet("discard-recovery-copy") ? RecoveryCopy::Discard : RecoveryCopy::Refuse);
}

// What a change of a folder ended with: reported, and the exit status. A signal that came while
// the folder changed ends the tool with 128 + its number when the change was stopped; one that
// came as the change completed leaves the status that the change earned.
int reportFolderChange(const FolderUseResult& result, const QString& done, Reporter& reporter) {
    if (result.error) {
        reporter.fail(messages::folderUseFailed(result.error));
        return result.error.kind == FolderUseError::Kind::Stopped && result.signal != 0
                   ? 128 + result.signal
                   : kFailed;
    }
    reporter.out() << utf8(done) << "\n";
    return kDone;
}

// The look the options give a folder; nothing, after a usage error, when one is not a value.
std::optional<FolderLook> lookOptions(const QCommandLineParser& parser, Reporter& reporter) {
    FolderLook look;
    look.comment = utf8(parser.value("comment"));
    look.listPicture = utf8(parser.value("list-picture"));
    QString icon = parser.value("icon");
    // FILE,INDEX: the index is what follows the last comma, when it is a number.
    const qsizetype comma = icon.lastIndexOf(',');
    if (comma > 0 && QRegularExpression("^-?[0-9]+$").match(icon.mid(comma + 1)).hasMatch()) {
        look.iconIndex = utf8(icon.mid(comma + 1));
        icon.truncate(comma);
    }
    look.iconFile = utf8(icon);
    if (look.iconIndex.empty() && !look.iconFile.empty()) {
        look.iconIndex.push_back('0');  // the file's first icon
    }
    if (parser.isSet("list-text-colour")) {
        const auto colour = iniColourFromText(utf8(parser.value("list-text-colour")));
        if (!colour) {
            reporter.usage(
                CommandLineTool::tr("--list-text-colour takes a colour name or #RRGGBB, not '%1'")
                    .arg(parser.value("list-text-colour")));
            return std::nullopt;
        }
        look.listTextColour = *colour;
    }
    return look;
}

int applyCommand(const QStringList& arguments, Reporter& reporter) {
    QCommandLineParser parser;
    const QString name = "name";
    if (const auto ended = parse(parser, kApply, arguments, reporter)) {
        return *ended;
    }
    const auto look = lookOptions(parser, reporter);
    if (!look) {
        return kUsage;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2 && !(files.size() == 1 && !look->empty())) {
        return reporter.usage(CommandLineTool::tr("apply needs a TEMPLATE and a FOLDER"));
    }
    if (parser.values(name).size() > 1 || !isTemplateFileName(utf8(parser.value(name)))) {
        return reporter.usage(messages::folderUseFailed(
                                  {FolderUseError::Kind::BadTemplateName, parser.value(name), {}})
                                  .text);
    }
    std::optional<WorkingDocument> document;
    if (files.size() == 2 && !(document = reporter.loadOurs(files[0]))) {
        return kFailed;
    }
    const QString folder = files.last();
    FolderUseRequest request;
    request.page = document ? &*document : nullptr;
    request.templateName = parser.value(name);
    request.look = *look;
    request.existing =
        parser.isSet("replace") ? ExistingTemplate::Replace : ExistingTemplate::Refuse;
    // The template's own folder is where its %THISDIRPATH% names are; the look's files are
    // paths as given.
    request.sourceFolder = document ? QFileInfo(files[0]).absolutePath() : QDir::currentPath();
    request.keepEarlierLook = true;
    const FolderUseResult result = useForFolder(folder, request);
    if (result.error.kind == FolderUseError::Kind::TemplateExists) {
        reporter.fail(messages::folderUseFailed(result.error));
        reporter.note(CommandLineTool::tr("apply --replace replaces it and keeps it for unapply"));
        return kFailed;
    }
    return reportFolderChange(result,
                              document ? messages::folderUseDone(folder, parser.value(name), result)
                                       : messages::folderLookDone(folder, result),
                              reporter);
}

int showFolderCommand(const QStringList& arguments, Reporter& reporter) {
    QCommandLineParser parser;
    if (const auto ended = parse(parser, kShowFolder, arguments, reporter)) {
        return *ended;
    }
    if (parser.positionalArguments().size() != 1) {
        return reporter.usage(CommandLineTool::tr("show-folder needs exactly one FOLDER"));
    }
    const FolderShown shown = showFolder(parser.positionalArguments().first());
    if (shown.error) {
        return reporter.fail(messages::folderUseFailed(shown.error));
    }
    const FolderLook& look = shown.look;
    std::string icon = look.iconFile;
    if (!icon.empty()) {
        icon.append(",").append(look.iconIndex);
    }
    const std::pair<const char*, std::string> fields[] = {
        {"page", utf8(shown.page)},
        {"comment", look.comment},
        {"icon", icon},
        {"listPicture", look.listPicture},
        {"listTextColour", rgbFromIniColour(look.listTextColour).value_or(look.listTextColour)}};
    if (parser.isSet("json")) {
        QJsonObject object;
        for (const auto& [key, value] : fields) {
            object[key] = QString::fromStdString(value);
        }
        reporter.out() << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString()
                       << "\n";
    } else {
        for (const auto& [key, value] : fields) {
            reporter.out() << key << ": " << value << "\n";
        }
    }
    return kDone;
}

int unapplyCommand(const QStringList& arguments, Reporter& reporter) {
    QCommandLineParser parser;
    if (const auto ended = parse(parser, kUnapply, arguments, reporter)) {
        return *ended;
    }
    if (parser.positionalArguments().size() != 1) {
        return reporter.usage(CommandLineTool::tr("unapply needs exactly one FOLDER"));
    }
    const QString folder = parser.positionalArguments().first();
    const FolderUseResult result = undoFolderUse(folder);
    return reportFolderChange(result, messages::folderUseUndone(folder, result), reporter);
}

int dispatch(const QStringList& arguments, std::ostream& out, std::ostream& err,
             const QStringList& notUtf8) {
    Reporter reporter(out, err, notUtf8);
    if (arguments.size() < 2) {
        return reporter.usage(CommandLineTool::tr("no command given"));
    }
    const QString name = arguments[1];
    if (name == "--help" || name == "-h") {
        out << utf8(toolHelp());
        return kDone;
    }
    if (name == "--version" || name == "-v") {
        out << "tessivane-cli " << TESSIVANE_VERSION << "\n";
        return kDone;
    }
    const std::pair<const CommandText*, int (*)(const QStringList&, Reporter&)> commands[] = {
        {&kTemplate, templateCommand}, {&kShow, showCommand},
        {&kWrite, writeCommand},       {&kApply, applyCommand},
        {&kUnapply, unapplyCommand},   {&kShowFolder, showFolderCommand}};
    for (const auto& [text, function] : commands) {
        if (name == text->name) {
            return function(arguments, reporter);
        }
    }
    return reporter.usage(CommandLineTool::tr("unknown command '%1'").arg(name));
}

}  // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err,
        const QStringList& notUtf8) {
    try {
        const int status = dispatch(arguments, out, err, notUtf8);
        // Standard output may be a full disk or a closed pipe: that is a failure too.
        if (!out.flush() && status == kDone) {
            err << "tessivane-cli: "
                << utf8(CommandLineTool::tr("could not write to standard output")) << "\n";
            return kFailed;
        }
        return status;
    } catch (const std::bad_alloc&) {
        // Left untranslated: translating would ask for the memory that is not there.
        err << "tessivane-cli: out of memory\n";
        return kFailed;
    }
}

}  // namespace tessivane::cli
