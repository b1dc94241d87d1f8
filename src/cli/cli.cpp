// SPDX-License-Identifier: MIT
#include "cli/cli.h"

#include <new>
#include <optional>

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/messages.h"
#include "controls/file_services.h"
#include "controls/folder_use.h"
#include "controls/utility_services.h"
#include "document/colours.h"
#include "document/desktop_ini.h"
#include "document/numeric.h"
#include "document/reader.h"
#include "document/template.h"
#include "document/writer.h"

namespace tessivane::cli {
namespace {

constexpr const char* kUsageText =
    "Usage:\n"
    "  tessivane-cli template [-o FILE]\n"
    "  tessivane-cli show FILE [--json]\n"
    "  tessivane-cli write [--from FILE] [--description TEXT] [--background PATH]\n"
    "                      [--line-image PATH] [--sound PATH] [--loop forever|N] [--font NAME]\n"
    "                      [--colour NAME] [--info-size N] [--title-size N]\n"
    "                      [--discard-recovery-copy] -o FILE\n"
    "  tessivane-cli apply [--name NAME.htt] TEMPLATE FOLDER\n"
    "  tessivane-cli unapply FOLDER\n"
    "  tessivane-cli --help | --version\n";

// What each command does: the start of its own --help, and its entry in the tool's --help.
struct CommandText {
    const char* name;
    const char* synopsis;     // what follows "Usage: tessivane-cli NAME" in the command's --help
    const char* description;  // lines that fit beside the name in the tool's --help
};
constexpr CommandText kTemplate{"template", "[options]",
                                "Write the built-in template to FILE, or to standard output."};
constexpr CommandText kShow{"show", "[options] FILE",
                            "Print the settings of a template that Tessivane saved, one\n"
                            "'name: value' line each, or one JSON object with --json."};
constexpr CommandText kWrite{"write", "[options] -o FILE",
                             "Start from the built-in template, or from a template given with\n"
                             "--from, change the settings given, check that the sound, background\n"
                             "and line image files exist, and save the result to FILE."};

constexpr CommandText kApply{"apply", "[options] TEMPLATE FOLDER",
                             "Use a template that Tessivane saved for FOLDER: write it there as\n"
                             "Folder.htt, make the folder's Desktop.ini show it, and mark the\n"
                             "folder read-only and both files hidden and system where the\n"
                             "volume keeps Windows attributes."};
constexpr CommandText kUnapply{"unapply", "[options] FOLDER",
                               "Take out of FOLDER exactly what apply put in: Desktop.ini's keys,\n"
                               "the template while it is as written, and the attributes."};

constexpr const char* kNumbersText =
    "Sizes and the loop count are numbers, corrected as in the window: sizes are kept between\n"
    "1 and 2160 and a loop count below 1 becomes 1, with a note on standard error. They are\n"
    "stored in plain decimal form, the loop count as a whole number. Colours are the sixteen\n"
    "names of the window's list.\n";

// The tool's --help: the usage, what the tool does, each command's description beside its name.
std::string toolHelp() {
    QString commands;
    for (const CommandText* command : {&kTemplate, &kShow, &kWrite, &kApply, &kUnapply}) {
        commands += QString("  %1").arg(command->name, -12) +
                    QString(command->description).replace('\n', '\n' + QString(14, ' ')) + '\n';
    }
    return std::string(kUsageText) +
           "\nTessivane writes folder Web View templates (.htt) from its built-in template.\n"
           "\nCommands:\n" +
           commands.toStdString() + "\n" + kNumbersText;
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

class Command {
public:
    Command(std::ostream& out, std::ostream& err, const QStringList& notUtf8)
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

    int usage(const std::string& problem) {
        err_ << "tessivane-cli: " << problem << "\n" << kUsageText;
        return kUsage;
    }
    int fail(const std::string& message) {
        err_ << message << "\n";
        return kFailed;
    }
    int fail(const Message& message) { return fail(utf8(message.text)); }
    void note(const std::string& text) { err_ << "tessivane-cli: " << text << "\n"; }

    // The value as it will be stored, named on standard error when it differs from the one given.
    std::string corrected(const std::string& option, const std::string& given, std::string stored) {
        if (plainNumber(given) != stored) {
            note(option + " " + given + " is corrected to " + stored);
        }
        return stored;
    }

    // Names each setting that the written document will give back otherwise: a value the line
    // format cannot carry, such as a quote in the sound file's path.
    void warnAboutReadingBack(const WorkingDocument& document, const FolderViewSettings& wanted) {
        const FolderViewSettings back = readFolderViewSettings(document);
        const struct {
            const char* name;
            const std::string& wanted;
            const std::string& back;
        } fields[] = {
            {"description", wanted.description, back.description},
            {"background image", wanted.backgroundImage, back.backgroundImage},
            {"line image", wanted.lineImage, back.lineImage},
            {"sound file", wanted.soundFile, back.soundFile},
            {"loop count", wanted.loopForever ? back.loopCount : wanted.loopCount, back.loopCount},
            {"font", wanted.fontFace, back.fontFace},
            {"colour", wanted.textColour, back.textColour},
            {"information size", wanted.infoSize, back.infoSize},
            {"title size", wanted.titleSize, back.titleSize},
        };
        for (const auto& field : fields) {
            if (field.wanted != field.back) {
                note(std::string("warning: the ") + field.name + " will read back as '" +
                     field.back + "'");
            }
        }
        if (wanted.loopForever != back.loopForever) {
            note(std::string("warning: the sound will read back as looping ") +
                 (back.loopForever ? "forever" : back.loopCount + " times"));
        }
    }

    // A file of ours, loaded whole, or a failure already reported. A recovery copy of it, which
    // a save cut short left, is named on standard error.
    std::optional<WorkingDocument> loadOurs(const QString& path) {
        LoadResult loaded = cameAsUtf8(path)
                                ? loadDocument(path)
                                : LoadResult{{}, {FileError::Kind::InvalidName, {}}, {}, {}};
        if (loaded.error) {
            fail(messages::cannotRead(path, loaded.error));
            return std::nullopt;
        }
        if (!hasMarkerLine(loaded.document)) {
            fail(messages::notOurFile(path));
            return std::nullopt;
        }
        if (!loaded.recoveryCopy.isEmpty()) {
            note("a save of '" + utf8(path) + "' was cut short, so the file may hold part of " +
                 "the new content and part of the old; the file as it was before that save is " +
                 "kept in '" + utf8(loaded.recoveryCopy) + "'. Copy that back over the file to " +
                 "restore it, or write with --discard-recovery-copy to save over the file and " +
                 "remove the copy.");
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
            note("write --discard-recovery-copy saves over it and removes the copy");
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
        // One line, as before, so that scripts can read one object per line.
        out << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << "\n";
    }
}

QCommandLineOption outputOption(const char* help) {
    return QCommandLineOption({"o", "output"}, help, "FILE");
}

// Parses the arguments that follow the command's name, with the command's options and -h,
// --help. Returns the exit status when the command ends here: a usage error, or its --help
// answered on standard output.
std::optional<int> parse(QCommandLineParser& parser, const CommandText& text,
                         const QList<QCommandLineOption>& options, QStringList arguments,
                         Command& command) {
    parser.setApplicationDescription(text.description);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{"h", "help"}, "Print this command's usage and options, and exit."});
    parser.addOptions(options);
    arguments.removeAt(1);  // the command's name
    if (!parser.parse(arguments)) {
        return command.usage(utf8(parser.errorText()));
    }
    if (parser.isSet("help")) {
        // Qt's text starts with the program's path as started; the tool's name stands there.
        const QString help = parser.helpText();
        command.out() << "Usage: tessivane-cli " << text.name << " " << text.synopsis
                      << utf8(help.mid(help.indexOf('\n')));
        return kDone;
    }
    return std::nullopt;
}

int templateCommand(const QStringList& arguments, Command& command) {
    QCommandLineParser parser;
    if (const auto ended =
            parse(parser, kTemplate, {outputOption("Write to FILE instead of standard output.")},
                  arguments, command)) {
        return *ended;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return command.usage("template takes no file name; use -o FILE");
    }
    WorkingDocument document = WorkingDocument::fromTemplate();
    if (!parser.isSet("output")) {
        command.out() << document.toBytes();
        return kDone;  // a failed write to standard output is reported as the tool ends
    }
    return command.save(document, parser.value("output"));
}

int showCommand(const QStringList& arguments, Command& command) {
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE", "A template that Tessivane saved.");
    if (const auto ended = parse(
            parser, kShow, {{"json", "Print one JSON object instead of 'name: value' lines."}},
            arguments, command)) {
        return *ended;
    }
    if (parser.positionalArguments().size() != 1) {
        return command.usage("show needs exactly one FILE");
    }
    const QString path = parser.positionalArguments().first();
    const auto document = command.loadOurs(path);
    if (!document) {
        return kFailed;
    }
    ReadOutcome outcome;
    const FolderViewSettings settings = readFolderViewSettings(*document, &outcome);
    printSettings(command.out(), settings, parser.isSet("json"));
    if (!outcome.complete) {
        return command.fail(messages::loadError(path));
    }
    return kDone;
}

// The options of write; each may be given once.
QList<QCommandLineOption> writeOptions() {
    return {
        {"from", "Start from this template, which Tessivane saved, instead of the built-in one.",
         "FILE"},
        {"description",
         "The folder description; %THISDIRNAME% and %THISDIRPATH% stand for the "
         "folder's name and path.",
         "TEXT"},
        {"background", "The background image of the left info panel.", "PATH"},
        {"line-image", "The line image under the title.", "PATH"},
        {"sound", "The background sound.", "PATH"},
        {"loop", "Play the sound forever, or N times; a count below 1 becomes 1.", "forever|N"},
        {"font", "The font face of the page's text.", "NAME"},
        {"colour", "The text colour: one of the sixteen names of the window's list.", "NAME"},
        {"info-size", "The size of the information text in points, 1 to 2160.", "N"},
        {"title-size", "The size of the title in points, 1 to 2160.", "N"},
        {"discard-recovery-copy",
         "Save over FILE even where an earlier save of it was cut short, and remove the copy "
         "of its earlier content that that save left."},
        outputOption("The file to write."),
    };
}

int writeCommand(const QStringList& arguments, Command& command) {
    QCommandLineParser parser;
    const QList<QCommandLineOption> options = writeOptions();
    if (const auto ended = parse(parser, kWrite, options, arguments, command)) {
        return *ended;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return command.usage("write takes its file names through --from and -o");
    }
    if (!parser.isSet("output")) {
        return command.usage("write needs -o FILE");
    }
    for (const QCommandLineOption& option : options) {
        const QString name = option.names().first();
        if (parser.values(name).size() > 1) {
            return command.usage(utf8((name.size() == 1 ? "-" : "--") + name) +
                                 " given more than once");
        }
    }
    const auto value = [&](const char* name) { return utf8(parser.value(name)); };
    // Bytes that are not UTF-8 reach the tool as replacement characters, which would be stored
    // in their place: a path is refused as a name, a text as a usage error.
    for (const char* path : {"background", "line-image", "sound"}) {
        if (!command.cameAsUtf8(parser.value(path)) || !isFaithfulName(parser.value(path))) {
            return command.fail(
                messages::cannotRead(parser.value(path), {FileError::Kind::InvalidName, {}}));
        }
    }
    for (const char* text : {"description", "font"}) {
        if (!command.cameAsUtf8(parser.value(text))) {
            return command.usage(std::string("--") + text + " is not valid UTF-8");
        }
    }

    std::optional<std::string> colour;
    if (parser.isSet("colour")) {
        const int index = findColour(value("colour"));
        if (index < 0) {
            return command.usage("unknown colour '" + value("colour") +
                                 "'; use one of Black, Maroon, Green, Olive, Navy, Purple, Teal, "
                                 "Grey, Silver, Red, Lime, Yellow, Blue, Fuchsia, Aqua, White");
        }
        colour = std::string(kColourNames[std::size_t(index)]);
    }
    std::optional<std::string> loop;
    if (parser.isSet("loop")) {
        loop = value("loop");
        if (*loop != "forever" && !isNumeric(*loop)) {
            return command.usage("--loop takes 'forever' or a number, not '" + *loop + "'");
        }
        if (*loop != "forever") {
            loop = command.corrected("--loop", *loop, wholeNumber(correctedLoopCount(*loop)));
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
            return command.usage(std::string("--") + name + " takes a number, not '" + given + "'");
        }
        sizes[i] = command.corrected(std::string("--") + name, given,
                                     plainNumber(correctedSize(given, fallback)));
    }

    WorkingDocument document;
    if (parser.isSet("from")) {
        auto loaded = command.loadOurs(parser.value("from"));
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
        return command.fail(messages::loadError(parser.value("from")));
    }
    const FolderViewSettings shown = settings;  // the lines of settings not given stay as read

    if (parser.isSet("description"))
        settings.description = value("description");
    if (parser.isSet("background"))
        settings.backgroundImage = value("background");
    if (parser.isSet("line-image"))
        settings.lineImage = value("line-image");
    if (parser.isSet("sound"))
        settings.soundFile = value("sound");
    if (parser.isSet("font"))
        settings.fontFace = value("font");
    if (colour)
        settings.textColour = *colour;
    if (sizes[0])
        settings.infoSize = *sizes[0];
    if (sizes[1])
        settings.titleSize = *sizes[1];
    if (loop) {
        settings.loopForever = *loop == "forever";
        if (!settings.loopForever) {
            settings.loopCount = *loop;
        }
    }

    const WriteOutcome written = writeSettings(
        document, settings,
        [](const std::string& path) { return fileExists(QString::fromStdString(path)); }, &shown);
    if (!written.written()) {
        return command.fail(messages::writeRefused(written, parser.value("output")));
    }
    command.warnAboutReadingBack(document, settings);
    return command.save(
        document, parser.value("output"),
        parser.isSet("discard-recovery-copy") ? RecoveryCopy::Discard : RecoveryCopy::Refuse);
}

int applyCommand(const QStringList& arguments, Command& command) {
    QCommandLineParser parser;
    parser.addPositionalArgument("TEMPLATE", "A template that Tessivane saved.");
    parser.addPositionalArgument("FOLDER", "The folder that will show it.");
    const QCommandLineOption name(
        "name", "The template's file name in the folder; Folder.htt when not given.", "NAME.htt",
        kFolderTemplateName);
    if (const auto ended = parse(parser, kApply, {name}, arguments, command)) {
        return *ended;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2) {
        return command.usage("apply needs a TEMPLATE and a FOLDER");
    }
    if (parser.values(name).size() > 1 || !isTemplateFileName(utf8(parser.value(name)))) {
        return command.usage(
            utf8(messages::folderUseFailed(
                     {FolderUseError::Kind::BadTemplateName, parser.value(name), {}})
                     .text));
    }
    auto document = command.loadOurs(files[0]);
    if (!document) {
        return kFailed;
    }
    const FolderUseResult result = useForFolder(*document, files[1], parser.value(name));
    if (result.error) {
        return command.fail(messages::folderUseFailed(result.error));
    }
    command.out() << utf8(messages::folderUseDone(files[1], parser.value(name), result)) << "\n";
    return kDone;
}

int unapplyCommand(const QStringList& arguments, Command& command) {
    QCommandLineParser parser;
    parser.addPositionalArgument("FOLDER", "A folder that apply used a template for.");
    if (const auto ended = parse(parser, kUnapply, {}, arguments, command)) {
        return *ended;
    }
    if (parser.positionalArguments().size() != 1) {
        return command.usage("unapply needs exactly one FOLDER");
    }
    const QString folder = parser.positionalArguments().first();
    const FolderUseResult result = undoFolderUse(folder);
    if (result.error) {
        return command.fail(messages::folderUseFailed(result.error));
    }
    command.out() << utf8(messages::folderUseUndone(folder, result)) << "\n";
    return kDone;
}

int dispatch(const QStringList& arguments, std::ostream& out, std::ostream& err,
             const QStringList& notUtf8) {
    Command command(out, err, notUtf8);
    if (arguments.size() < 2) {
        return command.usage("no command given");
    }
    const QString name = arguments[1];
    if (name == "--help" || name == "-h") {
        out << toolHelp();
        return kDone;
    }
    if (name == "--version" || name == "-v") {
        out << "tessivane-cli " << TESSIVANE_VERSION << "\n";
        return kDone;
    }
    const std::pair<const CommandText*, int (*)(const QStringList&, Command&)> commands[] = {
        {&kTemplate, templateCommand},
        {&kShow, showCommand},
        {&kWrite, writeCommand},
        {&kApply, applyCommand},
        {&kUnapply, unapplyCommand}};
    for (const auto& [text, function] : commands) {
        if (name == text->name) {
            return function(arguments, command);
        }
    }
    return command.usage("unknown command '" + utf8(name) + "'");
}

}  // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err,
        const QStringList& notUtf8) {
    try {
        const int status = dispatch(arguments, out, err, notUtf8);
        // Standard output may be a full disk or a closed pipe: that is a failure too.
        if (!out.flush() && status == kDone) {
            err << "tessivane-cli: could not write to standard output\n";
            return kFailed;
        }
        return status;
    } catch (const std::bad_alloc&) {
        err << "tessivane-cli: out of memory\n";
        return kFailed;
    }
}

}  // namespace tessivane::cli
