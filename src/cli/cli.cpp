// SPDX-License-Identifier: MIT
#include "cli/cli.h"

#include <QCommandLineParser>

#include "controls/file_services.h"
#include "controls/utility_services.h"
#include "document/colours.h"
#include "document/messages.h"
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
    "                      [--colour NAME] [--info-size N] [--title-size N] -o FILE\n"
    "  tessivane-cli --help | --version\n";

constexpr const char* kHelpText =
    "Tessivane writes folder Web View templates (.htt) from its built-in template.\n"
    "\n"
    "Commands:\n"
    "  template    Write the built-in template to FILE, or to standard output.\n"
    "  show        Print the settings of a template that Tessivane saved, one\n"
    "              'name: value' line each, or one JSON object with --json.\n"
    "  write       Start from the built-in template, or from a template given with\n"
    "              --from, change the settings given, check that the sound, background\n"
    "              and line image files exist, and save the result to FILE.\n"
    "\n"
    "Sizes and the loop count are corrected as in the window: a size that is not a number\n"
    "becomes 8 (information text) or 10 (title), and sizes are kept between 1 and 2160; a\n"
    "loop count below 1 becomes 1. Colours are the sixteen names of the window's list.\n";

std::string utf8(const QString& text) {
    return text.toStdString();
}

class Command {
public:
    Command(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    int usage(const std::string& problem) {
        err_ << "tessivane-cli: " << problem << "\n" << kUsageText;
        return kUsage;
    }
    int fail(const std::string& message) {
        err_ << message << "\n";
        return kFailed;
    }

    // A file of ours, loaded whole, or a failure already reported.
    std::optional<WorkingDocument> loadOurs(const QString& path) {
        LoadResult loaded = loadDocument(path);
        if (loaded.error) {
            fail(messages::cannotRead(utf8(path), utf8(loaded.error.reason)));
            return std::nullopt;
        }
        if (!hasMarkerLine(loaded.document)) {
            fail(messages::notOurFile(utf8(path)));
            return std::nullopt;
        }
        return std::move(loaded.document);
    }

    int save(const WorkingDocument& document, const QString& path) {
        const FileError error = saveDocument(document, path);
        if (!error) {
            return kDone;
        }
        if (error.kind == FileError::Kind::NotWritable) {
            return fail(messages::readOnly(utf8(path)));
        }
        return fail(messages::saveFailed(utf8(path), utf8(error.reason)));
    }

    std::ostream& out() { return out_; }

private:
    std::ostream& out_;
    std::ostream& err_;
};

std::string jsonString(const std::string& text) {
    std::string result = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                result += "\\\"";
                break;
            case '\\':
                result += "\\\\";
                break;
            case '\n':
                result += "\\n";
                break;
            case '\r':
                result += "\\r";
                break;
            case '\t':
                result += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    static const char* hex = "0123456789abcdef";
                    result += "\\u00";
                    result += hex[byte >> 4];
                    result += hex[byte & 15];
                } else {
                    result += c;
                }
        }
    }
    return result + "\"";
}

void printSettings(std::ostream& out, const FolderViewSettings& s, bool json) {
    const std::pair<const char*, const std::string*> texts[] = {
        {"description", &s.description},
        {"backgroundImage", &s.backgroundImage},
        {"lineImage", &s.lineImage},
        {"soundFile", &s.soundFile},
    };
    const std::pair<const char*, const std::string*> rest[] = {
        {"loopCount", &s.loopCount}, {"fontFace", &s.fontFace},   {"textColour", &s.textColour},
        {"infoSize", &s.infoSize},   {"titleSize", &s.titleSize},
    };
    const char* loopForever = s.loopForever ? "true" : "false";
    if (json) {
        out << "{";
        for (const auto& [name, value] : texts) {
            out << "\"" << name << "\": " << jsonString(*value) << ", ";
        }
        out << "\"loopForever\": " << loopForever;
        for (const auto& [name, value] : rest) {
            out << ", \"" << name << "\": " << jsonString(*value);
        }
        out << "}\n";
        return;
    }
    for (const auto& [name, value] : texts) {
        out << name << ": " << *value << "\n";
    }
    out << "loopForever: " << loopForever << "\n";
    for (const auto& [name, value] : rest) {
        out << name << ": " << *value << "\n";
    }
}

QCommandLineOption outputOption() {
    return QCommandLineOption({"o", "output"}, "Write to FILE.", "FILE");
}

// Parses a command's own arguments; positional arguments are returned, options stay in parser.
bool parse(QCommandLineParser& parser, QStringList arguments, Command& command, int* status) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    arguments.removeAt(1);  // the command's name
    if (!parser.parse(arguments)) {
        *status = command.usage(utf8(parser.errorText()));
        return false;
    }
    return true;
}

int templateCommand(const QStringList& arguments, Command& command) {
    QCommandLineParser parser;
    parser.addOption(outputOption());
    int status = kUsage;
    if (!parse(parser, arguments, command, &status)) {
        return status;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return command.usage("template takes no file name; use -o FILE");
    }
    WorkingDocument document;
    ListCopy(document);
    if (!parser.isSet("output")) {
        command.out() << document.toBytes();
        return command.out().good() ? kDone : command.fail("could not write to standard output");
    }
    return command.save(document, parser.value("output"));
}

int showCommand(const QStringList& arguments, Command& command) {
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption("json", "Print one JSON object."));
    int status = kUsage;
    if (!parse(parser, arguments, command, &status)) {
        return status;
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
        return command.fail(messages::loadError(utf8(path)));
    }
    return kDone;
}

int writeCommand(const QStringList& arguments, Command& command) {
    QCommandLineParser parser;
    const struct {
        const char* name;
        const char* help;
    } valued[] = {
        {"from", "Start from this template instead of the built-in one."},
        {"description", "The folder description (%THISDIRNAME%, %THISDIRPATH% allowed)."},
        {"background", "The left panel's background image."},
        {"line-image", "The line image under the title."},
        {"sound", "The background sound."},
        {"loop", "Loop the sound forever, or N times."},
        {"font", "The font face."},
        {"colour", "The text colour: one of the sixteen list names."},
        {"info-size", "The information text size in points."},
        {"title-size", "The title size in points."},
    };
    for (const auto& option : valued) {
        parser.addOption(QCommandLineOption(option.name, option.help, "VALUE"));
    }
    parser.addOption(outputOption());
    int status = kUsage;
    if (!parse(parser, arguments, command, &status)) {
        return status;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return command.usage("write takes its file names through --from and -o");
    }
    if (!parser.isSet("output")) {
        return command.usage("write needs -o FILE");
    }
    for (const auto& option : valued) {
        if (parser.values(option.name).size() > 1) {
            return command.usage(std::string("--") + option.name + " given more than once");
        }
    }
    if (parser.values("output").size() > 1) {
        return command.usage("-o given more than once");
    }
    const auto value = [&](const char* name) { return utf8(parser.value(name)); };

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
    }

    WorkingDocument document;
    if (parser.isSet("from")) {
        auto loaded = command.loadOurs(parser.value("from"));
        if (!loaded) {
            return kFailed;
        }
        document = std::move(*loaded);
    } else {
        ListCopy(document);
    }
    ReadOutcome outcome;
    FolderViewSettings settings = readFolderViewSettings(document, &outcome);
    if (!outcome.complete) {
        return command.fail(messages::loadError(utf8(parser.value("from"))));
    }

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
    if (parser.isSet("info-size")) {
        settings.infoSize = correctedSize(value("info-size"), kInfoSizeFallback);
    }
    if (parser.isSet("title-size")) {
        settings.titleSize = correctedSize(value("title-size"), kTitleSizeFallback);
    }
    if (loop) {
        settings.loopForever = *loop == "forever";
        if (!settings.loopForever) {
            settings.loopCount = correctedLoopCount(*loop);
        }
    }

    const WriteOutcome written = writeSettings(document, settings, [](const std::string& path) {
        return fileExists(QString::fromStdString(path));
    });
    switch (written.status) {
        case WriteOutcome::Status::Written:
            return command.save(document, parser.value("output"));
        case WriteOutcome::Status::MissingFile:
            return command.fail(messages::fileDoesNotExist(written.detail));
        case WriteOutcome::Status::TextNotStorable:
            return command.fail(messages::textNotStorable(written.detail));
        case WriteOutcome::Status::DocumentTooShort:
            return command.fail(messages::loadError(utf8(parser.value("from"))));
    }
    return kFailed;
}

}  // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    Command command(out, err);
    if (arguments.size() < 2) {
        return command.usage("no command given");
    }
    const QString name = arguments[1];
    if (name == "--help" || name == "-h") {
        out << kUsageText << "\n" << kHelpText;
        return kDone;
    }
    if (name == "--version" || name == "-v") {
        out << "tessivane-cli " << TESSIVANE_VERSION << "\n";
        return kDone;
    }
    if (name == "template") {
        return templateCommand(arguments, command);
    }
    if (name == "show") {
        return showCommand(arguments, command);
    }
    if (name == "write") {
        return writeCommand(arguments, command);
    }
    return command.usage("unknown command '" + utf8(name) + "'");
}

}  // namespace tessivane::cli
