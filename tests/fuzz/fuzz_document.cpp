// Fuzz target: a file's bytes through the whole document core and back.
//
// The bytes are loaded as a working document, tested for the marker line, and the setting lines,
// the first lines and the whole input go through every line parser. The reader then takes the
// settings out (with the corrections the window's boxes apply), the writer puts them back in (every
// referenced file "exists"), and the result is reloaded from its bytes. Checked, with abort() on
// any failure:
// - loading: the lines are the bytes without their line ends, one per end; reloading the saved
//   bytes gives the same lines; a file of CR LF lines comes back byte for byte; the encoding is
//   UTF-8 exactly when the bytes are, and every line's text gives its bytes back;
// - reading: a document stops exactly at its first missing setting line, and every value is one
//   the window's controls could hold (corrected sizes and loop count, a list colour or none);
// - writing: a complete document always takes its own settings; every line other than the six
//   setting lines stays byte for byte; the six lines are the composed ones;
// - reloading: the settings read back equal those written, wherever the line format can carry
//   them (see the carries* functions for the values it cannot).
// A second round writes settings cut from the input at its NUL bytes, so that values the reader
// would never produce (quotes, line breaks, invalid UTF-8, characters Latin-1 lacks) reach the
// writer too: it must refuse exactly the texts that a line cannot hold, changing nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "controls/file_services.h"
#include "document/core.h"

namespace {

using namespace tessivane;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_document: %s\n", what);
    std::abort();
}

void check(bool ok, const char* what) {
    if (!ok) {
        fail(what);
    }
}

bool contains(std::string_view text, std::string_view piece) {
    return text.find(piece) != std::string_view::npos;
}

bool endsWith(std::string_view text, std::string_view piece) {
    return text.size() >= piece.size() && text.substr(text.size() - piece.size()) == piece;
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// The indices of the six lines the writer replaces.
bool isSettingLine(std::size_t index) {
    for (const int line : {lines::kFont, lines::kColour, lines::kSound, lines::kPanel,
                           lines::kDescription, lines::kLineImage}) {
        if (index == static_cast<std::size_t>(line)) {
            return true;
        }
    }
    return false;
}

// True when every line of the bytes ends in CR LF: then saving gives the same bytes.
bool onlyCrLfLines(std::string_view bytes) {
    if (bytes.empty()) {
        return true;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) {
            return false;
        }
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
            return false;
        }
    }
    return endsWith(bytes, "\r\n");
}

// Whether a UTF-8 text can go into a line of a document in this encoding, worked out without the
// document's own test: no line break, valid UTF-8, and for Latin-1 nothing above U+00FF (a lead
// byte of 0xC4 or more starts a character from U+0100 on).
bool storable(std::string_view text, TextEncoding encoding) {
    if (hasLineBreak(text) || !isValidUtf8(text)) {
        return false;
    }
    if (encoding == TextEncoding::Latin1) {
        for (const char c : text) {
            if (static_cast<unsigned char>(c) >= 0xC4) {
                return false;
            }
        }
    }
    return true;
}

// --- What the line format can carry -------------------------------------------------------------
// Each setting line is a constant frame around the values; the reader removes every occurrence of
// the frame's pieces and then cuts at separators. A value survives exactly when it does not bring
// a piece or a separator of its own line, whole or completed by the frame next to it. Sizes are
// always corrected (numeric) texts here, so they can only bring a blank.

// body  {font: INFOpt/TITLEpt FACE; margin: 0}
bool carriesFont(const FolderViewSettings& s) {
    const auto size = [](const std::string& v) {
        return v.find_first_of(" /") == std::string::npos && !contains(v, "pt");
    };
    return size(s.infoSize) && size(s.titleSize) && !contains(s.fontFace, "body  {font: ") &&
           !contains(s.fontFace, "; margin: 0}");
}

// <bgsound src="file://SOUND"loop="LOOP" >
bool carriesSound(const FolderViewSettings& s) {
    const std::string loop = s.loopForever ? "infinite" : s.loopCount;
    for (const std::string* v : {&s.soundFile, &loop}) {
        if (contains(*v, "\"") || contains(*v, "file://") || endsWith(*v, "<bgsound src=") ||
            endsWith(*v, "loop=")) {
            return false;
        }
    }
    return loop.empty() || loop.front() != '>';
}

// <div id=Panel style="background: white URL(file://BACKGROUND)">
bool carriesBackground(const FolderViewSettings& s) {
    return !contains(s.backgroundImage, "<div id=Panel style=\"background: white URL(file://") &&
           !contains(s.backgroundImage, ")\">");
}

// <img src="LINE" width=100% height=1px>
bool carriesLineImage(const FolderViewSettings& s) {
    return !contains(s.lineImage, "<img src=\"") && !endsWith(s.lineImage, "<img src=") &&
           !contains(s.lineImage, "\" width=100% height=1px>");
}

// The same text, or, when reloading changed the document's encoding (a legacy document whose
// only bytes above 0x7F sat in the replaced parts of its setting lines becomes valid UTF-8), the
// same bytes in the file.
bool sameValue(const std::string& written, TextEncoding writtenIn, const std::string& read,
               TextEncoding readIn) {
    if (writtenIn == readIn) {
        return written == read;
    }
    return encodeText(written, writtenIn) == encodeText(read, readIn);
}

void checkReadableValues(const FolderViewSettings& s) {
    const auto size = [](const std::string& v) {
        return isNumeric(v) && numericValue(v) >= kMinimumSize && numericValue(v) <= kMaximumSize;
    };
    check(size(s.infoSize) && size(s.titleSize), "a size the window would have corrected");
    check(isNumeric(s.loopCount) && numericValue(s.loopCount) >= 1,
          "a loop count the window would have corrected");
    check(s.textColour.empty() || findColour(s.textColour) >= 0, "a colour outside the list");
    if (!s.textColour.empty()) {
        check(s.textColour == kColourNames[std::size_t(findColour(s.textColour))],
              "a colour not in its list spelling");
    }
}

// The document as written from `original` with `settings`, then saved and loaded again.
void checkWrittenAndReloaded(const WorkingDocument& original, const WorkingDocument& written,
                             const FolderViewSettings& settings) {
    check(written.size() == original.size(), "writing changed the number of lines");
    check(written.encoding() == original.encoding(), "writing changed the encoding");
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (!isSettingLine(i)) {
            check(written.line(i) == original.line(i), "writing changed a line it does not own");
        }
    }
    for (const SettingLine& line : composeSettingLines(settings)) {
        const auto bytes = encodeText(line.text, written.encoding());
        check(bytes.has_value() && written.line(std::size_t(line.index)) == *bytes,
              "a setting line is not the composed line");
    }

    const WorkingDocument reloaded = WorkingDocument::fromBytes(written.toBytes());
    check(reloaded.lines() == written.lines(), "the saved bytes load as other lines");
    for (std::size_t i = 0; i < reloaded.size(); ++i) {
        if (!isSettingLine(i)) {
            check(reloaded.line(i) == original.line(i), "a line changed on the way to disk");
        }
    }

    ReadOutcome outcome;
    const FolderViewSettings read = readFolderViewSettings(reloaded, &outcome);
    check(outcome.complete, "a written document reads as too short");
    const TextEncoding in = written.encoding();
    const TextEncoding out = reloaded.encoding();

    check(read.textColour == settings.textColour, "the colour did not come back");
    check(sameValue(settings.description, in, read.description, out),
          "the description did not come back");
    if (carriesFont(settings)) {
        check(read.infoSize == settings.infoSize, "the information size did not come back");
        check(read.titleSize == settings.titleSize, "the title size did not come back");
        check(sameValue(settings.fontFace, in, read.fontFace, out),
              "the font face did not come back");
    }
    if (carriesSound(settings)) {
        check(sameValue(settings.soundFile, in, read.soundFile, out),
              "the sound file did not come back");
        check(read.loopForever == settings.loopForever, "the loop choice did not come back");
        // Looping forever leaves the count out of the line; reading leaves its initial value.
        check(read.loopCount == (settings.loopForever ? "1" : settings.loopCount),
              "the loop count did not come back");
    }
    if (carriesBackground(settings)) {
        check(sameValue(settings.backgroundImage, in, read.backgroundImage, out),
              "the background image did not come back");
    }
    if (carriesLineImage(settings)) {
        check(sameValue(settings.lineImage, in, read.lineImage, out),
              "the line image did not come back");
    }
}

const FileExists kEverythingExists = [](const std::string&) { return true; };

// The document's own settings, written back into it.
void writeOwnSettings(const WorkingDocument& document, const FolderViewSettings& settings) {
    WorkingDocument written = document;
    const WriteOutcome outcome = writeSettings(written, settings, kEverythingExists);
    check(outcome.written(), "a complete document refused its own settings");
    checkWrittenAndReloaded(document, written, settings);
}

// Settings cut from the input at its NUL bytes (after the first piece), as raw bytes: description,
// background, line image, sound, loop (empty: forever), face, colour (by its first byte), and the
// two sizes. Sizes and the loop count are corrected first, as every caller of the writer does.
void writeSettingsFromPieces(const WorkingDocument& document, FolderViewSettings settings,
                             std::string_view bytes) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (pieces.size() < 11) {
        const std::size_t nul = bytes.find('\0', start);
        pieces.emplace_back(bytes.substr(start, nul == std::string_view::npos ? nul : nul - start));
        if (nul == std::string_view::npos) {
            break;
        }
        start = nul + 1;
    }
    if (pieces.size() < 2) {
        return;
    }
    const auto piece = [&](std::size_t i) -> const std::string* {
        return i < pieces.size() ? &pieces[i] : nullptr;
    };
    if (auto p = piece(1))
        settings.description = *p;
    if (auto p = piece(2))
        settings.backgroundImage = *p;
    if (auto p = piece(3))
        settings.lineImage = *p;
    if (auto p = piece(4))
        settings.soundFile = *p;
    if (auto p = piece(5)) {
        settings.loopForever = p->empty();
        if (!p->empty()) {
            settings.loopCount = correctedLoopCount(*p);
        }
    }
    if (auto p = piece(6))
        settings.fontFace = *p;
    if (auto p = piece(7)) {
        settings.textColour =
            p->empty() ? std::string()
                       : std::string(kColourNames[static_cast<unsigned char>((*p)[0]) % 16]);
    }
    if (auto p = piece(8))
        settings.infoSize = correctedSize(*p, kInfoSizeFallback);
    if (auto p = piece(9))
        settings.titleSize = correctedSize(*p, kTitleSizeFallback);

    bool expectRefusal = false;
    for (const std::string* value :
         {&settings.description, &settings.backgroundImage, &settings.lineImage,
          &settings.soundFile, &settings.loopCount, &settings.fontFace, &settings.textColour,
          &settings.infoSize, &settings.titleSize}) {
        expectRefusal = expectRefusal || !storable(*value, document.encoding());
    }

    WorkingDocument written = document;
    const WriteOutcome outcome = writeSettings(written, settings, kEverythingExists);
    if (expectRefusal) {
        check(outcome.status == WriteOutcome::Status::TextNotStorable,
              "the writer took a text that a line cannot hold");
        check(written == document, "a refused write changed the document");
        return;
    }
    check(outcome.written(), "the writer refused a text that a line can hold");
    checkWrittenAndReloaded(document, written, settings);
}

void checkLoad(std::string_view bytes, const WorkingDocument& document) {
    // Splitting drops the line ends and nothing else: the lines, put together, are the bytes
    // without CR and LF, and there is one line per line end (CR LF counting once) plus a last one
    // without an end.
    std::string content;
    std::size_t ends = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\r') {
            ends += (bytes[i] == '\n' && i > 0 && bytes[i - 1] == '\r') ? 0 : 1;
        } else {
            content += bytes[i];
        }
    }
    const bool unterminated = !bytes.empty() && bytes.back() != '\r' && bytes.back() != '\n';
    check(document.size() == ends + (unterminated ? 1 : 0), "a line end was missed or invented");
    std::string joined;
    for (const std::string& line : document.lines()) {
        check(!hasLineBreak(line), "a loaded line holds a line break");
        joined += line;
    }
    check(joined == content, "loading lost, added or moved a byte");
    check(WorkingDocument::fromBytes(document.toBytes()) == document,
          "saved bytes load as another document");
    if (onlyCrLfLines(bytes)) {
        check(document.toBytes() == bytes, "a CR LF file does not come back byte for byte");
    }
    check((document.encoding() == TextEncoding::Utf8) == isValidUtf8(bytes),
          "the encoding does not match the bytes");
    for (std::size_t i = 0; i < document.size(); ++i) {
        const auto text = document.text(i);
        check(text.has_value() && isValidUtf8(*text), "a line's text is not UTF-8");
        check(encodeText(*text, document.encoding()) == document.line(i),
              "a line's text does not give its bytes back");
    }
    check(
        hasMarkerLine(document) == (document.size() > 1 && document.line(1) == lines::kMarkerText),
        "the marker test disagrees with the second line");
}

void runLineParsers(std::string_view line) {
    const FontFields font = parseFontLine(line);
    check(!font.titleSize || font.infoSize, "a title size without an information size");
    check(!font.face || font.titleSize, "a font face without a title size");
    const std::string colour = parseColourLine(line);
    check(!contains(colour, "}"), "a colour that still holds its closing brace");
    const SoundFields sound = parseSoundLine(line);
    check(!sound.loopValue || sound.soundFile, "a loop value without a sound file");
    check(!sound.soundFile || !contains(*sound.soundFile, "\""), "a sound path with a quote");
    check(!sound.loopValue || !contains(*sound.loopValue, "\""), "a loop value with a quote");
    (void)parsePanelLine(line);
    (void)parseLineImageLine(line);
}

void checkReadOutcome(const WorkingDocument& document, const ReadOutcome& outcome) {
    std::size_t expectedMissing = 0;
    bool complete = true;
    for (const int line :
         {lines::kFont, lines::kColour, lines::kSound, lines::kPanel, lines::kLineImage}) {
        if (std::size_t(line) >= document.size()) {
            expectedMissing = std::size_t(line);
            complete = false;
            break;
        }
    }
    check(outcome.complete == complete, "reading did not stop at the first missing line");
    if (!complete) {
        check(outcome.missingLine == expectedMissing, "reading named the wrong missing line");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const WorkingDocument document = WorkingDocument::fromBytes(bytes);
    checkLoad(bytes, document);

    // Every parser on the lines it is meant for and on the first lines (where short inputs put
    // their text), and on the whole input as one line, line breaks and all.
    for (std::size_t i = 0; i < document.size(); ++i) {
        if (i < 16 || isSettingLine(i)) {
            runLineParsers(*document.text(i));
        }
    }
    runLineParsers(bytes);

    ReadOutcome outcome;
    const FolderViewSettings settings = readFolderViewSettings(document, &outcome);
    checkReadOutcome(document, outcome);
    checkReadableValues(settings);

    if (outcome.complete) {
        writeOwnSettings(document, settings);
        writeSettingsFromPieces(document, settings, bytes);
    } else {
        WorkingDocument fresh;
        ListCopy(fresh);
        writeSettingsFromPieces(fresh, readFolderViewSettings(fresh), bytes);
    }
    return 0;
}
