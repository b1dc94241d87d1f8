// SPDX-License-Identifier: MIT
// Fuzz target: a file's bytes through the document core and back, abort() on any failed check:
// loading (each line is the bytes between two line ends, the saved bytes are the lines with CR LF,
// the encoding, the text of each line with a byte above 0x7F or a setting), the reader, the writer
// (lines other than the six setting lines stay byte for byte), and the reloaded settings wherever
// the line format can carry them. Settings cut from the input at its NUL bytes reach the writer too
// (quotes, line breaks, invalid UTF-8, characters Latin-1 lacks): it must refuse exactly the texts
// a line cannot hold. An input too short to be a template takes them to the built-in template with
// the lines nothing reads emptied. On a sample of inputs (sample.h), and on every input replayed as
// a test, also: the text of every line, the saved bytes load as the same document, writing the
// settings shown changes nothing once saved and reloaded, and the pieces go to the whole built-in
// template.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/core.h"
#include "sample.h"

namespace {

using namespace tessivane;

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_document: %s\n", what);
        std::abort();
    }
}

bool contains(std::string_view text, std::initializer_list<std::string_view> pieces) {
    return std::ranges::any_of(pieces, [&](auto piece) { return text.find(piece) != text.npos; });
}

bool isSettingLine(std::size_t index) {
    return std::ranges::any_of(
        std::initializer_list<int>{lines::kFont, lines::kColour, lines::kSound, lines::kPanel,
                                   lines::kDescription, lines::kLineImage},
        [&](int line) { return std::size_t(line) == index; });
}

// Whether a line holds a byte above 0x7F, where the document's encoding matters.
bool hasHighByte(std::string_view line) {
    return std::ranges::any_of(line, [](char c) { return static_cast<unsigned char>(c) > 0x7F; });
}

void checkLoad(std::string_view bytes, const WorkingDocument& document, bool all) {
    check((document.encoding() == TextEncoding::Utf8) == isValidUtf8(bytes),
          "the encoding does not match the bytes");
    // A line ends at CR LF, a lone CR or a lone LF; the bytes after the last line end, if any,
    // are one more line. Saved, each line is followed by CR LF.
    const std::string saved = document.toBytes();
    const std::string_view savedView = saved;
    std::size_t index = 0, at = 0;
    bool crLfOnly = true;
    for (std::size_t start = 0; start < bytes.size(); ++index) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        check(index < document.size(), "a line end was missed");
        const std::string_view line = document.line(index);
        check(line == bytes.substr(start, end - start), "loading lost, added or moved a byte");
        check(savedView.substr(at, line.size()) == line &&
                  savedView.substr(at + line.size(), 2) == "\r\n",
              "the saved bytes are not the lines, each with CR LF");
        at += line.size() + 2;
        // A line's text: every line on the sample, else those where the encoding matters and
        // the setting lines.
        if (all || isSettingLine(index) || hasHighByte(line)) {
            const auto text = document.text(index);
            check(text && isValidUtf8(*text) && encodeText(*text, document.encoding()) == line,
                  "a line's text is not UTF-8 or does not give its bytes back");
        }
        const bool crLf = end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n';
        crLfOnly = crLfOnly && crLf;
        start = end + (crLf ? 2 : 1);
    }
    check(document.size() == index, "a line end was invented");
    check(at == saved.size(), "the saved bytes are not the lines, each with CR LF");
    check(!crLfOnly || saved == bytes, "a CR LF file does not come back byte for byte");
    check(!all || WorkingDocument::fromBytes(saved) == document,
          "saved bytes load as another document");
}

// Reading stops at the first setting line the document lacks, and names it.
void checkRead(const WorkingDocument& document, const ReadOutcome& outcome) {
    constexpr int order[] = {lines::kFont, lines::kColour, lines::kSound, lines::kPanel,
                             lines::kLineImage};
    const auto missing =
        std::ranges::find_if(order, [&](int line) { return std::size_t(line) >= document.size(); });
    check(outcome.complete == (missing == std::end(order)) &&
              (outcome.complete || outcome.missingLine == std::size_t(*missing)),
          "reading did not stop at the first missing line");
}

// Writes the settings into a copy of the document that showed `shown`, and checks the result,
// saved and reloaded. Writing what was shown must change nothing; unless `all`, that is the whole
// check then, as the saved and reloaded original is checked on the sample in checkLoad.
void checkWrite(const WorkingDocument& original, const FolderViewSettings& shown,
                const FolderViewSettings& s, bool refuse, bool all) {
    WorkingDocument written = original;
    const WriteOutcome outcome = writeSettings(
        written, s, [](const std::string&) { return true; }, &shown);
    if (refuse) {
        check(outcome.status == WriteOutcome::Status::TextNotStorable,
              "the writer took a text that a line cannot hold");
        check(written == original, "a refused write changed the document");
        return;
    }
    check(outcome.written(), "the writer refused settings a line can hold");
    if (s == shown && !all) {
        check(written == original, "writing what was shown changed the document");
        return;
    }
    check(written.size() == original.size() && written.encoding() == original.encoding(),
          "writing changed the number of lines or the encoding");
    for (std::size_t i = 0; i < written.size(); ++i) {
        check(isSettingLine(i) || written.line(i) == original.line(i),
              "writing changed a line it does not own");
    }
    // A line is composed anew, or kept as it was where its values are still the ones shown.
    for (const SettingLine& line : composeSettingLines(s)) {
        const auto index = std::size_t(line.index);
        check(encodeText(line.text, written.encoding()) == written.line(index) ||
                  written.line(index) == original.line(index),
              "a setting line is neither the composed line nor the line as it was");
    }
    check(!(s == shown) || written == original, "writing what was shown changed the document");

    // The encoding is told from the whole file: a Latin-1 document whose only bytes that are not
    // UTF-8 stood in a line the write replaced reads back as UTF-8, the same bytes.
    const std::string bytes = written.toBytes();
    const WorkingDocument reloaded = WorkingDocument::fromBytes(bytes);
    check(reloaded.size() == written.size(), "the saved bytes load as other lines");
    for (std::size_t i = 0; i < written.size(); ++i) {
        check(reloaded.line(i) == written.line(i), "the saved bytes load as other lines");
    }
    check(reloaded.encoding() == written.encoding() || isValidUtf8(bytes),
          "the saved bytes load in another encoding");
    ReadOutcome readOutcome;
    const FolderViewSettings read = readFolderViewSettings(reloaded, &readOutcome);
    check(readOutcome.complete, "a written document reads as too short");
    // The same text, or, when reloading changed the encoding (a legacy document whose only bytes
    // above 0x7F sat in the replaced parts of its setting lines becomes UTF-8), the same bytes.
    const auto back = [&](const std::string& before, const std::string& after) {
        return written.encoding() == reloaded.encoding()
                   ? before == after
                   : encodeText(before, written.encoding()) ==
                         encodeText(after, reloaded.encoding());
    };
    check(read.textColour == s.textColour, "the colour did not come back");
    check(back(s.description, read.description), "the description did not come back");

    // What the line format carries back (docs/bad-input.md). The reader removes every occurrence
    // of a line's frame pieces, then cuts at separators: a value is lost when it holds a piece of
    // its line, or ends in one that the double quote after it completes. Sizes and loop counts
    // are corrected numbers, stored in plain form, which hold nothing of their line.
    const bool font = !contains(s.fontFace, {"body  {font: ", "; margin: 0}"});
    const bool sound = !contains(s.soundFile, {"\"", "file://"}) &&
                       !s.soundFile.ends_with("<bgsound src=") && !s.soundFile.ends_with("loop=");
    const bool background = !contains(
        s.backgroundImage, {"<div id=Panel style=\"background: white URL(file://", ")\">"});
    const bool lineImage = !contains(s.lineImage, {"<img src=\"", "\" width=100% height=1px>"}) &&
                           !s.lineImage.ends_with("<img src=");
    // A line whose values are the ones the document showed is kept as it was: its numbers come
    // back as they were written there, plain or not.
    const auto kept = [&](int line) {
        return written.line(std::size_t(line)) == original.line(std::size_t(line));
    };
    check(
        (read.infoSize == plainNumber(s.infoSize) && read.titleSize == plainNumber(s.titleSize)) ||
            kept(lines::kFont),
        "a size did not come back as a plain number");
    check(!font || back(s.fontFace, read.fontFace), "the font face did not come back");
    // Looping forever leaves the count out of the line; reading leaves its initial value.
    check(!sound || (back(s.soundFile, read.soundFile) && read.loopForever == s.loopForever &&
                     (read.loopCount == (s.loopForever ? "1" : wholeNumber(s.loopCount)) ||
                      kept(lines::kSound))),
          "the sound line did not come back");
    check(!background || back(s.backgroundImage, read.backgroundImage),
          "the background image did not come back");
    check(!lineImage || back(s.lineImage, read.lineImage), "the line image did not come back");
}

// Settings cut from the input at its NUL bytes, after the first piece: description, background,
// line image, sound, loop (empty: forever), face, colour (by its first byte), and the two sizes.
// Sizes and the loop count are corrected first, as every caller of the writer does.
void writePieces(const WorkingDocument& document, const FolderViewSettings& shown,
                 std::string_view bytes, bool all) {
    FolderViewSettings s = shown;
    const std::function<void(const std::string&)> set[] = {
        [&](const std::string& p) { s.description = p; },
        [&](const std::string& p) { s.backgroundImage = p; },
        [&](const std::string& p) { s.lineImage = p; },
        [&](const std::string& p) { s.soundFile = p; },
        [&](const std::string& p) {
            s.loopForever = p.empty();
            s.loopCount = p.empty() ? s.loopCount : correctedLoopCount(p);
        },
        [&](const std::string& p) { s.fontFace = p; },
        [&](const std::string& p) {
            s.textColour = p.empty() ? "" : kColourNames[static_cast<unsigned char>(p[0]) % 16];
        },
        [&](const std::string& p) { s.infoSize = correctedSize(p, kInfoSizeFallback); },
        [&](const std::string& p) { s.titleSize = correctedSize(p, kTitleSizeFallback); },
    };
    std::size_t nul = bytes.find('\0');
    if (nul == bytes.npos) {
        return;
    }
    for (std::size_t i = 0; i < std::size(set) && nul != bytes.npos; ++i) {
        const std::size_t start = nul + 1;
        nul = bytes.find('\0', start);
        set[i](std::string(bytes.substr(start, nul - start)));
    }
    // Whether a line can hold each text, worked out without the document's own test: no line
    // break, valid UTF-8, and for Latin-1 nothing from U+0100 on (a lead byte of 0xC4 or more).
    const bool refuse = std::ranges::any_of(
        std::initializer_list<std::string_view>{s.description, s.backgroundImage, s.lineImage,
                                                s.soundFile, s.loopCount, s.fontFace, s.textColour,
                                                s.infoSize, s.titleSize},
        [&](std::string_view text) {
            return text.find_first_of("\r\n") != text.npos || !isValidUtf8(text) ||
                   (document.encoding() == TextEncoding::Latin1 &&
                    std::ranges::any_of(
                        text, [](char c) { return static_cast<unsigned char>(c) >= 0xC4; }));
        });
    checkWrite(document, shown, s, refuse, all);
}

// The built-in template as it reads, made once. The compact one has every line but the marker and
// the setting lines emptied: the writer and the reader use no other line, and the template is
// ASCII, so its encoding stays UTF-8 as well; it writes and reloads in a tenth of the time.
struct Fresh {
    WorkingDocument document;
    FolderViewSettings shown;
};

Fresh makeFresh(bool compact) {
    WorkingDocument document = WorkingDocument::fromTemplate();
    if (compact) {
        std::vector<std::string> kept(document.size());
        for (std::size_t i = 0; i < document.size(); ++i) {
            if (isSettingLine(i) || i == std::size_t(lines::kMarker)) {
                kept[i] = std::string(document.line(i));
            }
        }
        document = WorkingDocument(kept, document.encoding());
    }
    const FolderViewSettings shown = readFolderViewSettings(document);
    return {std::move(document), shown};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool all = fuzz::sampled(bytes);
    const WorkingDocument document = WorkingDocument::fromBytes(bytes);
    checkLoad(bytes, document, all);

    ReadOutcome outcome;
    const FolderViewSettings settings = readFolderViewSettings(document, &outcome);
    checkRead(document, outcome);
    if (outcome.complete) {
        checkWrite(document, settings, settings, false, all);
        writePieces(document, settings, bytes, all);
    } else {
        static const Fresh whole = makeFresh(false), compact = makeFresh(true);
        const Fresh& fresh = all ? whole : compact;
        writePieces(fresh.document, fresh.shown, bytes, all);
    }
    return 0;
}
