// SPDX-License-Identifier: MIT
#include "document/desktop_ini.h"

#include "document/colours.h"
#include "document/text_encoding.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace tessivane {
namespace {

// The file's text as 16-bit units: one per byte of an 8-bit file, so that every byte comes back,
// or the UTF-16 units of a UTF-16LE file.
using Units = std::u16string;
// A part of a line, or of a value, looked at where it is.
using UnitsView = std::u16string_view;

struct Line {
    Units text;
    Units end;           // CR LF, CR, LF, or nothing for a last line without one
    bool added = false;  // put in by the edit
};

struct IniText {
    bool utf16 = false;
    std::string mark;  // the byte order mark as found
    std::vector<Line> lines;
};

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

Units unitsOf(std::string_view ascii) {
    // Read as unsigned, a byte above 0x7F becomes the unit of the same value.
    const auto* bytes = reinterpret_cast<const unsigned char*>(ascii.data());
    return Units(bytes, bytes + ascii.size());
}

// The text's lines, each with its line end, made the file's units by toUnits. Each line end is
// looked for with find(), which for bytes is memchr.
template <typename Text, typename ToUnits>
std::vector<Line> splitLines(Text text, const ToUnits& toUnits) {
    std::vector<Line> lines;
    std::size_t start = 0, cr = text.find('\r'), lf = text.find('\n');
    while (cr != Text::npos || lf != Text::npos) {
        const std::size_t i = std::min(cr, lf);
        const std::size_t breakSize = i == cr && lf == i + 1 ? 2 : 1;
        lines.push_back(
            {toUnits(text.substr(start, i - start)), toUnits(text.substr(i, breakSize))});
        start = i + breakSize;
        cr = cr < start ? text.find('\r', start) : cr;
        lf = lf < start ? text.find('\n', start) : lf;
    }
    if (start < text.size()) {
        lines.push_back({toUnits(text.substr(start)), {}});
    }
    return lines;
}

std::optional<IniText> decode(std::string_view bytes) {
    IniText text;
    Units units;
    if (bytes.substr(0, 2) == kUtf16BigEndianMark) {
        return std::nullopt;
    }
    if (bytes.substr(0, 2) == kUtf16Mark) {
        text.utf16 = true;
        text.mark = kUtf16Mark;
        bytes.remove_prefix(2);
        if (bytes.size() % 2 != 0) {
            return std::nullopt;
        }
        units.resize(bytes.size() / 2);
        for (std::size_t i = 0; i < units.size(); ++i) {
            units[i] = char16_t(static_cast<unsigned char>(bytes[2 * i]) |
                                static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
        }
        if (units.find(u'\0') != Units::npos) {
            return std::nullopt;
        }
        text.lines = splitLines(UnitsView(units), [](UnitsView part) { return Units(part); });
        return text;
    }
    if (bytes.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    if (bytes.substr(0, 3) == kUtf8Mark) {
        text.mark = kUtf8Mark;
        bytes.remove_prefix(3);
    }
    text.lines = splitLines(bytes, unitsOf);  // one unit a byte
    return text;
}

std::string encode(const IniText& text) {
    const std::size_t width = text.utf16 ? 2 : 1;
    std::size_t size = text.mark.size();
    for (const Line& line : text.lines) {
        size += (line.text.size() + line.end.size()) * width;
    }
    std::string bytes(size, '\0');
    std::copy(text.mark.begin(), text.mark.end(), bytes.begin());
    char* at = bytes.data() + text.mark.size();
    const auto put = [&](const Units& units) {
        for (const char16_t unit : units) {
            *at++ = char(unit & 0xFF);
            if (width == 2) {
                *at++ = char(unit >> 8);
            }
        }
    };
    for (const Line& line : text.lines) {
        put(line.text);
        put(line.end);
    }
    return bytes;
}

// A line that ends in a lone CR followed by an empty line that ends in LF would read back as one
// line ending in CR LF. Where a line of the edit meets such a pair, its own line end changes.
void keepLinesApart(IniText& text) {
    for (std::size_t i = 1; i < text.lines.size(); ++i) {
        Line& before = text.lines[i - 1];
        Line& after = text.lines[i];
        if (before.end == u"\r" && after.text.empty() && after.end == u"\n") {
            if (before.added) {
                before.end = u"\r\n";
            } else if (after.added) {
                after.end = u"\r";
            }
        }
    }
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

UnitsView trimmed(UnitsView text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

char16_t lowerAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

// Whether two values are the same, letter case aside (ASCII).
bool sameValue(UnitsView a, UnitsView b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return lowerAscii(x) == lowerAscii(y); });
}

bool sameName(UnitsView a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char y) {
               return lowerAscii(x) == lowerAscii(char16_t(static_cast<unsigned char>(y)));
           });
}

// "[ name ]": the name, without the blanks around it.
std::optional<UnitsView> sectionName(const Line& line) {
    const UnitsView text = trimmed(line.text);
    if (text.empty() || text[0] != u'[') {
        return std::nullopt;
    }
    const std::size_t close = text.find(u']');
    if (close == UnitsView::npos) {
        return std::nullopt;
    }
    return trimmed(text.substr(1, close - 1));
}

// "key = value": where the value starts, after '=' and the blanks behind it.
struct KeyLine {
    UnitsView key;
    std::size_t valueStart;
};

std::optional<KeyLine> keyLine(const Line& line) {
    const UnitsView text = trimmed(line.text);
    const std::size_t equals = line.text.find(u'=');
    if (text.empty() || text[0] == u';' || sectionName(line) || equals == Units::npos) {
        return std::nullopt;
    }
    std::size_t valueStart = equals + 1;
    while (valueStart < line.text.size() && isBlank(line.text[valueStart])) {
        ++valueStart;
    }
    return KeyLine{trimmed(UnitsView(line.text).substr(0, equals)), valueStart};
}

UnitsView valueOf(const Line& line) {
    return UnitsView(line.text).substr(keyLine(line)->valueStart);
}

std::optional<std::size_t> findSection(const IniText& text, std::string_view name) {
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        if (const auto found = sectionName(text.lines[i]); found && sameName(*found, name)) {
            return i;
        }
    }
    return std::nullopt;
}

// The line after the section's last line.
std::size_t sectionEnd(const IniText& text, std::size_t header) {
    std::size_t i = header + 1;
    while (i < text.lines.size() && !sectionName(text.lines[i])) {
        ++i;
    }
    return i;
}

// The section's first line with the key, or its first with the key and the value.
std::optional<std::size_t> findKey(const IniText& text, std::size_t header, std::string_view key,
                                   const Units* value = nullptr) {
    const std::size_t end = sectionEnd(text, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const auto found = keyLine(text.lines[i]);
        if (found && sameName(found->key, key) && (!value || valueOf(text.lines[i]) == *value)) {
            return i;
        }
    }
    return std::nullopt;
}

// The sections and keys that make a folder show a web view template. Each has a letter for the
// record. Only the keys that decide what the folder shows are given the new value when they
// have another one; the others keep theirs.
struct KeySpec {
    std::string_view name;
    Units value;
    char code;
    bool replaces;
};

struct SectionSpec {
    std::string_view name;
    char code;
    std::vector<KeySpec> keys;
};

// How a value is put into the file's units: one unit a byte (an 8-bit file, UTF-8 behind its
// mark or ASCII), or UTF-16.
enum class Encoding { Bytes, Utf16 };

Encoding encodingOf(const IniText& text) {
    return text.utf16 ? Encoding::Utf16 : Encoding::Bytes;
}

// UTF-8 text as the file's units.
Units unitsFor(std::string_view utf8, Encoding encoding) {
    if (encoding == Encoding::Bytes) {
        return unitsOf(utf8);
    }
    Units units;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length && i + std::size_t(k) < utf8.size(); ++k) {
            point = point << 6 | (static_cast<unsigned char>(utf8[i + std::size_t(k)]) & 0x3F);
        }
        if (point >= 0x10000) {
            point -= 0x10000;
            units += {char16_t(0xD800 + (point >> 10)), char16_t(0xDC00 + (point & 0x3FF))};
        } else {
            units += char16_t(point);
        }
        i += std::size_t(length);
    }
    return units;
}

// The file's units as UTF-8 text (an 8-bit file's bytes as they are).
std::string utf8Of(UnitsView units, Encoding encoding) {
    std::string text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t point = units[i];
        if (encoding == Encoding::Bytes) {
            text += char(point);
            continue;
        }
        if (point >= 0xD800 && point < 0xDC00 && i + 1 < units.size()) {
            point = 0x10000 + ((point - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        if (point < 0x80) {
            text += char(point);
        } else if (point < 0x800) {
            text += {char(0xC0 | point >> 6), char(0x80 | (point & 0x3F))};
        } else if (point < 0x10000) {
            text += {char(0xE0 | point >> 12), char(0x80 | (point >> 6 & 0x3F)),
                     char(0x80 | (point & 0x3F))};
        } else {
            text += {char(0xF0 | point >> 18), char(0x80 | (point >> 12 & 0x3F)),
                     char(0x80 | (point >> 6 & 0x3F)), char(0x80 | (point & 0x3F))};
        }
    }
    return text;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The sections and keys that make a folder show a web view template and the look it is given.
// Each has a letter for the record. Only the keys that decide what the folder shows are given
// the new value when they have another one; the others keep theirs.
std::vector<SectionSpec> specsFor(const FolderUse& use, Encoding encoding) {
    const Units id = unitsOf(kWebViewClassId), area = unitsOf(kIconAreaClassId);
    const FolderLook& look = use.look;
    const bool page = !use.templateName.empty();
    const bool list = !look.listPicture.empty() || !look.listTextColour.empty();
    std::vector<SectionSpec> specs;
    SectionSpec views{"ExtShellFolderViews", 'V', {}};
    if (page) {
        views.keys = {{"Default", id, 'D', true}, {kWebViewClassId, id, 'I', false}};
    }
    if (list) {
        views.keys.push_back({kIconAreaClassId, area, 'E', false});
    }
    if (!views.keys.empty()) {
        specs.push_back(views);
    }
    if (page) {
        specs.push_back({kWebViewClassId,
                         'W',
                         {{"PersistMoniker", unitsOf("file://" + use.templateName), 'P', true}}});
    }
    if (list) {
        SectionSpec icons{kIconAreaClassId, 'B', {}};
        if (!look.listPicture.empty()) {
            icons.keys.push_back(
                {"IconArea_Image", unitsFor(look.listPicture, encoding), 'A', true});
        }
        if (!look.listTextColour.empty()) {
            icons.keys.push_back({"IconArea_Text", unitsOf(look.listTextColour), 'X', true});
        }
        specs.push_back(icons);
    }
    SectionSpec shell{".ShellClassInfo", 'S', {{"ConfirmFileOp", u"0", 'C', false}}};
    if (!look.comment.empty()) {
        shell.keys.push_back({"InfoTip", unitsFor(look.comment, encoding), 'T', true});
    }
    if (!look.iconFile.empty()) {
        const std::string index = look.iconIndex.empty() ? "0" : look.iconIndex;
        shell.keys.push_back({"IconFile", unitsFor(look.iconFile, encoding), 'F', true});
        shell.keys.push_back({"IconIndex", unitsOf(index), 'N', true});
        shell.keys.push_back(
            {"IconResource", unitsFor(look.iconFile + "," + index, encoding), 'R', true});
    }
    specs.push_back(shell);
    return specs;
}

// The letters of the keys and sections above, for checking a record.
constexpr std::string_view kKeyLetters = "DIPCETFNRAX";
constexpr std::string_view kSectionLetters = "VWBS";
// The keys whose old value a record may hold, and the look values it holds, by letter.
constexpr std::string_view kReplacedLetters = "DPTFNRAX";
constexpr std::string_view kLookLetters = "TFNAX";

// The record is one comment line:
//   ;tessivane-use: new end sections=VWS keys=DIPC file=Folder.htt sha256=HEX folder=R ini=HS
//   htt=HS kept=NAME kept-sha256=HEX copies=HEXNAME:HEX,HEXNAME:HEX was-D=OLD was-P=OLD
// "new": the file was made; "end": the last line had no line end and was given one; "sections"
// and "keys": the letters of those added; "was-X": the old value of key X, which was replaced;
// "folder", "ini", "htt": the attributes set, as letters; "kept": the page that was at the
// template's name before, kept under another name; "copies": the files copied into the folder
// for the page, each name as the hex digits of its UTF-8 bytes. A value holds no blank: '%', space
// and tab are written as %25, %20 and %09.
constexpr std::string_view kRecordPrefix = ";tessivane-use:";

struct Record {
    FolderUse use;
    bool addedEnd = false;
    std::string sections;
    std::string keys;
    std::map<char, Units> oldValues;
};

Units escaped(const Units& value) {
    Units result;
    for (const char16_t c : value) {
        if (c == u'%' || c == u' ' || c < 0x20 || c == 0x7F) {
            static const char hex[] = "0123456789ABCDEF";
            result += {u'%', char16_t(hex[c >> 4]), char16_t(hex[c & 0xF])};
        } else {
            result += c;
        }
    }
    return result;
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return c >= u'a' && c <= u'f' ? c - u'a' + 10 : -1;
}

Units unescaped(UnitsView value) {
    Units result;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == u'%' && i + 2 < value.size() && hexValue(value[i + 1]) >= 0 &&
            hexValue(value[i + 2]) >= 0) {
            result += char16_t(hexValue(value[i + 1]) * 16 + hexValue(value[i + 2]));
            i += 2;
        } else {
            result += value[i];
        }
    }
    return result;
}

constexpr std::pair<unsigned, char> kAttributeLetters[] = {
    {attributes::kReadOnly, 'R'}, {attributes::kHidden, 'H'}, {attributes::kSystem, 'S'}};

std::string attributeLetters(unsigned bits) {
    std::string letters;
    for (const auto& [bit, letter] : kAttributeLetters) {
        if (bits & bit) {
            letters += letter;
        }
    }
    return letters;
}

// The look's values by their key letters.
std::vector<std::pair<char, std::string*>> lookFields(FolderLook& look) {
    return {{'T', &look.comment},
            {'F', &look.iconFile},
            {'N', &look.iconIndex},
            {'A', &look.listPicture},
            {'X', &look.listTextColour}};
}

Units recordText(const Record& record, Encoding encoding) {
    Units text = unitsOf(kRecordPrefix);
    const auto add = [&](std::string_view name, const Units& value) {
        text += u' ';
        text += unitsOf(name);
        if (!value.empty()) {
            text += u'=';
            text += escaped(value);
        }
    };
    const FolderUse& use = record.use;
    if (use.createdIni) {
        add("new", {});
    }
    if (record.addedEnd) {
        add("end", {});
    }
    if (use.madeUtf16) {
        add("utf16", {});
    }
    const std::pair<std::string_view, std::string> lists[] = {
        {"sections", record.sections},
        {"keys", record.keys},
        {"file", use.templateName},
        {"sha256", use.templateDigest},
        {"kept", use.keptName},
        {"kept-sha256", use.keptDigest},
        {"folder", attributeLetters(use.folderAttributes)},
        {"ini", attributeLetters(use.iniAttributes)},
        {"htt", attributeLetters(use.templateAttributes)}};
    for (const auto& [name, value] : lists) {
        if (!value.empty()) {
            add(name, unitsOf(value));
        }
    }
    if (!use.copies.empty()) {
        std::string copies;
        for (const FolderUse::Copy& copy : use.copies) {
            static const char digits[] = "0123456789abcdef";
            copies += copies.empty() ? "" : ",";
            for (const char c : copy.name) {
                const auto byte = static_cast<unsigned char>(c);
                copies += {digits[byte >> 4], digits[byte & 0xF]};
            }
            copies += ":" + copy.digest;
        }
        add("copies", unitsOf(copies));
    }
    FolderLook look = use.look;
    for (const auto& [code, value] : lookFields(look)) {
        if (!value->empty()) {
            text += unitsOf(std::string(" set-") + code + "=");
            text += escaped(unitsFor(*value, encoding));
        }
    }
    for (const auto& [code, old] : record.oldValues) {
        text += unitsOf(std::string(" was-") + code + "=");
        text += escaped(old);
    }
    return text;
}

std::optional<std::string> asAscii(UnitsView units) {
    std::string ascii;
    for (const char16_t unit : units) {
        if (unit >= 0x80) {
            return std::nullopt;
        }
        ascii += char(unit);
    }
    return ascii;
}

std::optional<unsigned> attributeBits(const std::string& letters) {
    unsigned bits = 0;
    for (const char letter : letters) {
        const auto* found = std::find_if(std::begin(kAttributeLetters), std::end(kAttributeLetters),
                                         [&](const auto& entry) { return entry.second == letter; });
        if (found == std::end(kAttributeLetters)) {
            return std::nullopt;
        }
        bits |= found->first;
    }
    return bits;
}

bool isLowerHexDigest(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// Whether each letter is one of the allowed ones, and none comes twice.
bool isLetterSet(const std::string& letters, std::string_view allowed) {
    for (std::size_t i = 0; i < letters.size(); ++i) {
        if (allowed.find(letters[i]) == std::string_view::npos ||
            letters.find(letters[i], i + 1) != std::string::npos) {
            return false;
        }
    }
    return true;
}

// The copies' list: "HEXNAME:DIGEST,..." with names Windows opens; nothing when it is not that.
std::optional<std::vector<FolderUse::Copy>> parseCopies(const std::string& text) {
    std::vector<FolderUse::Copy> copies;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find(',', at), text.size());
        const std::string item = text.substr(at, end - at);
        const std::size_t colon = item.find(':');
        if (colon == std::string::npos || colon % 2 != 0 ||
            item.find_first_not_of("0123456789abcdef:") != std::string::npos) {
            return std::nullopt;
        }
        FolderUse::Copy copy{{}, item.substr(colon + 1)};
        for (std::size_t i = 0; i < colon; i += 2) {
            copy.name += char(hexValue(char16_t(item[i])) * 16 + hexValue(char16_t(item[i + 1])));
        }
        if (!isWindowsFileName(copy.name) || !isLowerHexDigest(copy.digest)) {
            return std::nullopt;
        }
        copies.push_back(std::move(copy));
        at = end + 1;
    }
    return copies;
}

// What a line of the file cannot hold: a line end would add lines, and a NUL is not text.
bool breaksLine(const Units& value) {
    return std::any_of(value.begin(), value.end(),
                       [](char16_t c) { return c == u'\r' || c == u'\n' || c == 0; });
}

// A value Tessivane wrote holds no control character at all.
bool hasControlCharacter(const Units& value) {
    return std::any_of(value.begin(), value.end(),
                       [](char16_t c) { return c < 0x20 || c == 0x7F; });
}

bool isRecordLine(const Units& line) {
    return line.size() >= kRecordPrefix.size() &&
           std::equal(kRecordPrefix.begin(), kRecordPrefix.end(), line.begin(),
                      [](char c, char16_t unit) { return unit == char16_t(c); });
}

// Takes a value the record holds as ASCII text into it: the letters of what was added, the
// names, digests, copies and attributes. False when the name is none of those or the value is
// not what an edit writes for it.
bool takeText(Record& record, const std::string& name, const std::string& text) {
    if (name == "sections" && isLetterSet(text, kSectionLetters)) {
        record.sections = text;
    } else if (name == "keys" && isLetterSet(text, kKeyLetters)) {
        record.keys = text;
    } else if (name == "file") {
        record.use.templateName = text;
    } else if (name == "sha256" && isLowerHexDigest(text)) {
        record.use.templateDigest = text;
    } else if (name == "kept" && isWindowsFileName(text)) {
        record.use.keptName = text;
    } else if (name == "kept-sha256" && isLowerHexDigest(text)) {
        record.use.keptDigest = text;
    } else if (auto copies = name == "copies" ? parseCopies(text) : std::nullopt) {
        record.use.copies = std::move(*copies);
    } else if ((name == "folder" || name == "ini" || name == "htt") && isLetterSet(text, "RHS")) {
        (name == "folder" ? record.use.folderAttributes
         : name == "ini"  ? record.use.iniAttributes
                          : record.use.templateAttributes) = *attributeBits(text);
    } else {
        return false;
    }
    return true;
}

// Takes one "name" or "name=value" token of a record line into the record: an old value, a
// look value, a flag or a text. False when it is not one an edit writes.
bool takeToken(Record& record, const std::string& name, bool hasValue, const Units& value,
               Encoding encoding) {
    if (name.size() == 5 && name.starts_with("was-") &&
        kReplacedLetters.find(name[4]) != std::string_view::npos) {
        record.oldValues[name[4]] = value;
        return true;
    }
    if (name.size() == 5 && name.starts_with("set-") &&
        kLookLetters.find(name[4]) != std::string_view::npos && !value.empty() &&
        !hasControlCharacter(value)) {
        for (const auto& [code, field] : lookFields(record.use.look)) {
            if (code == name[4]) {
                *field = utf8Of(value, encoding);
            }
        }
        return true;
    }
    if (name == "new" || name == "end" || name == "utf16") {
        if (hasValue) {
            return false;
        }
        (name == "new"   ? record.use.createdIni
         : name == "end" ? record.addedEnd
                         : record.use.madeUtf16) = true;
        return true;
    }
    const auto text = asAscii(value);
    return text && !text->empty() && takeText(record, name, *text);
}

// Whether the recorded use is one an edit makes: a page with a template's name, or a look; a
// kept page with its digest; a list text colour in Windows's form.
bool isWholeUse(const FolderUse& use) {
    const bool page = !use.templateName.empty();
    return (page ? isTemplateFileName(use.templateName) : !use.look.empty()) &&
           use.keptName.empty() == use.keptDigest.empty() &&
           (use.look.listTextColour.empty() || rgbFromIniColour(use.look.listTextColour));
}

// The record on a record line, or nothing when any of it is not what an edit writes: the line
// is then not trusted for anything.
std::optional<Record> parseRecord(const Units& line, Encoding encoding) {
    Record record;
    std::string seen;  // the names met so far, each once
    std::size_t at = kRecordPrefix.size();
    while (at < line.size()) {
        const std::size_t space = std::min(line.find(u' ', at), line.size());
        const UnitsView token = UnitsView(line).substr(at, space - at);
        at = space + 1;
        if (token.empty()) {
            continue;
        }
        const std::size_t equals = token.find(u'=');
        const auto name = asAscii(token.substr(0, equals));
        const Units value =
            equals == UnitsView::npos ? Units() : unescaped(token.substr(equals + 1));
        if (!name || name->empty() || seen.find(" " + *name + " ") != std::string::npos ||
            breaksLine(value)) {
            return std::nullopt;
        }
        seen += " " + *name + " ";
        if (!takeToken(record, *name, equals != UnitsView::npos, value, encoding)) {
            return std::nullopt;
        }
    }
    return isWholeUse(record.use) ? std::make_optional(record) : std::nullopt;
}

// The record line of the text: none, one that is whole, or one that cannot be trusted (a
// second record line counts as that too).
struct FoundRecord {
    enum class State { None, Whole, Damaged };
    State state = State::None;
    Record record;
    std::size_t line = 0;
};

FoundRecord findRecord(const IniText& text) {
    FoundRecord found;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        if (!isRecordLine(text.lines[i].text)) {
            continue;
        }
        if (found.state != FoundRecord::State::None) {
            found.state = FoundRecord::State::Damaged;
            return found;
        }
        const auto record = parseRecord(text.lines[i].text, encodingOf(text));
        found.state = record ? FoundRecord::State::Whole : FoundRecord::State::Damaged;
        found.record = record.value_or(Record{});
        found.line = i;
    }
    return found;
}

bool isAsciiLine(const Line& line) {
    return std::all_of(line.text.begin(), line.text.end(), [](char16_t c) { return c < 0x80; });
}

bool isAsciiText(const IniText& text) {
    return std::all_of(text.lines.begin(), text.lines.end(), isAsciiLine);
}

// Gives the keys the edit replaced their old values back; a key whose value changed since the
// edit keeps it and is named in kept.
void putBackOldValues(IniText& text, const Record& record, const std::vector<SectionSpec>& specs,
                      std::vector<std::string>& kept) {
    for (const SectionSpec& section : specs) {
        const auto header = findSection(text, section.name);
        for (const KeySpec& key : section.keys) {
            const auto old = record.oldValues.find(key.code);
            if (old == record.oldValues.end() || !header) {
                continue;
            }
            if (const auto line = findKey(text, *header, key.name)) {
                Line& found = text.lines[*line];
                if (valueOf(found) == key.value) {
                    found.text.replace(keyLine(found)->valueStart, Units::npos, old->second);
                } else {
                    kept.emplace_back(key.name);
                }
            }
        }
    }
}

// Removes the section's keys that the edit added and that still hold its value; one whose
// value changed since stays and is named in kept.
void removeAddedKeys(IniText& text, std::size_t header, const Record& record,
                     const SectionSpec& section, std::vector<std::string>& kept) {
    for (const KeySpec& key : section.keys) {
        if (record.keys.find(key.code) == std::string::npos) {
            continue;
        }
        const Units& value = key.value;
        if (const auto line = findKey(text, header, key.name, &value)) {
            text.lines.erase(text.lines.begin() + std::ptrdiff_t(*line));
        } else if (findKey(text, header, key.name)) {
            kept.emplace_back(key.name);
        }
    }
}

// Removes a section the edit added when nothing but blank lines is left in it, with the blank
// line that separated it from the one before.
void removeSectionIfAdded(IniText& text, std::size_t header, const Record& record,
                          const SectionSpec& section) {
    // A blank line left in the section separates the next one, which keeps it.
    const auto isBlankLine = [](const Line& line) { return trimmed(line.text).empty(); };
    if (record.sections.find(section.code) != std::string::npos &&
        std::all_of(text.lines.begin() + std::ptrdiff_t(header + 1),
                    text.lines.begin() + std::ptrdiff_t(sectionEnd(text, header)), isBlankLine)) {
        std::size_t first = header;
        if (first > 0 && isBlankLine(text.lines[first - 1])) {
            --first;
        }
        text.lines.erase(text.lines.begin() + std::ptrdiff_t(first),
                         text.lines.begin() + std::ptrdiff_t(header + 1));
    }
}

// Takes the edit's lines out of the text (the record line already taken out); returns the keys
// of the edit changed since, which are left as they are.
std::vector<std::string> undo(IniText& text, const Record& record) {
    std::vector<std::string> kept;
    const std::vector<SectionSpec> specs = specsFor(record.use, encodingOf(text));
    putBackOldValues(text, record, specs, kept);
    for (auto section = specs.rbegin(); section != specs.rend(); ++section) {
        if (const auto header = findSection(text, section->name)) {
            removeAddedKeys(text, *header, record, *section, kept);
            removeSectionIfAdded(text, *header, record, *section);
        }
    }
    if (record.addedEnd && !text.lines.empty()) {
        text.lines.back().end.clear();
    }
    // A file that was ASCII before the edit made it UTF-16 is ASCII again once nothing else needs
    // more.
    if (record.use.madeUtf16 && text.utf16 && isAsciiText(text)) {
        text.utf16 = false;
        text.mark.clear();
    }
    return kept;
}

// The text a use starts from: the file as found, with the record and the edit of an earlier use
// taken out, so that the new record describes the file as it was before any use.
struct StartingText {
    DesktopIniEdit::Status status = DesktopIniEdit::Status::Done;
    IniText text;
    bool absent = false;     // no file, or one the earlier use made that holds nothing else
    bool madeUtf16 = false;  // UTF-16 only for the earlier use's sake
};

StartingText startingText(const std::optional<std::string>& existing) {
    StartingText start;
    start.absent = !existing;
    if (existing) {
        auto decoded = decode(*existing);
        if (!decoded) {
            start.status = DesktopIniEdit::Status::NotText;
            return start;
        }
        start.text = std::move(*decoded);
        const FoundRecord earlier = findRecord(start.text);
        if (earlier.state == FoundRecord::State::Damaged) {
            start.status = DesktopIniEdit::Status::DamagedRecord;
            return start;
        }
        if (earlier.state == FoundRecord::State::Whole) {
            start.text.lines.erase(start.text.lines.begin() + std::ptrdiff_t(earlier.line));
            undo(start.text, earlier.record);
            start.absent = earlier.record.use.createdIni && start.text.lines.empty();
            // Still UTF-16 only for the earlier use's sake: the next undoing makes it 8-bit.
            start.madeUtf16 = earlier.record.use.madeUtf16 && start.text.utf16;
        }
    }
    if (start.absent) {
        start.text = IniText{};
    }
    return start;
}

// Whether a line of the file can hold each of the look's values: UTF-8 without a control
// character or blanks around it.
bool isStorable(FolderLook look) {
    const auto fields = lookFields(look);
    // A value is one line's end, read back without the blanks around it.
    return std::all_of(fields.begin(), fields.end(), [](const auto& field) {
        const std::string& value = *field.second;
        return isValidUtf8(value) &&
               std::none_of(value.begin(), value.end(),
                            [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; }) &&
               (value.empty() ||
                (!isBlank(char16_t(value.front())) && !isBlank(char16_t(value.back()))));
    });
}

// Makes the text able to hold the look's values: an 8-bit file of ASCII text becomes UTF-16LE
// for values beyond ASCII. False for a file of other 8-bit characters, whose code page is not
// known here.
bool holdsLook(IniText& text, FolderUse& use) {
    FolderLook look = use.look;
    const auto fields = lookFields(look);
    const bool plain = std::all_of(fields.begin(), fields.end(),
                                   [](const auto& field) { return isAscii(*field.second); });
    if (plain || text.utf16 || text.mark == kUtf8Mark) {
        return true;
    }
    if (!isAsciiText(text)) {
        return false;
    }
    text.utf16 = true;
    text.mark = kUtf16Mark;
    use.madeUtf16 = true;
    return true;
}

// The line end the file uses: that of its first line that has one; CR LF when none has.
Units lineEndOf(const IniText& text) {
    for (const Line& line : text.lines) {
        if (!line.end.empty()) {
            return line.end;
        }
    }
    return u"\r\n";
}

// Adds a section the file lacks, with all its keys, at the end of the file after a blank line.
void addSection(IniText& text, const SectionSpec& section, const Units& end, Record& record) {
    if (!text.lines.empty()) {
        text.lines.push_back({{}, end, true});
    }
    text.lines.push_back({u"[" + unitsOf(section.name) + u"]", end, true});
    record.sections += section.code;
    for (const KeySpec& key : section.keys) {
        text.lines.push_back({unitsOf(key.name) + u"=" + key.value, end, true});
        record.keys += key.code;
    }
}

// The section's last key line; its header when it has none.
std::size_t lastKeyLine(const IniText& text, std::size_t header) {
    std::size_t after = header;
    const std::size_t end = sectionEnd(text, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (keyLine(text.lines[i])) {
            after = i;
        }
    }
    return after;
}

// Adds the keys a section of the file lacks after its last key, and gives the keys that decide
// what the folder shows the new value, recording the value each had.
void addKeys(IniText& text, std::size_t header, const SectionSpec& section, const Units& end,
             Record& record) {
    for (const KeySpec& key : section.keys) {
        if (const auto line = findKey(text, header, key.name)) {
            Line& found = text.lines[*line];
            const std::size_t valueStart = keyLine(found)->valueStart;
            const UnitsView value = UnitsView(found.text).substr(valueStart);
            if (key.replaces && !sameValue(trimmed(value), key.value)) {
                record.oldValues[key.code] = Units(value);
                found.text.replace(valueStart, Units::npos, key.value);
            }
            continue;
        }
        text.lines.insert(text.lines.begin() + std::ptrdiff_t(lastKeyLine(text, header) + 1),
                          {unitsOf(key.name) + u"=" + key.value, end, true});
        record.keys += key.code;
    }
}

}  // namespace

bool isDesktopIniText(std::string_view bytes) {
    return decode(bytes).has_value();
}

bool isWindowsFileName(std::string_view name) {
    constexpr std::string_view kRefused = "\"*/:<>?\\|";
    if (name.empty() || name.size() > 255 || name.back() == '.' || name.back() == ' ' ||
        name == "." || name == "..") {
        return false;
    }
    for (const char c : name) {
        if ((c >= 0 && c < 0x20) || c == 0x7F || kRefused.find(c) != std::string_view::npos) {
            return false;
        }
    }
    // A device name, with or without an extension, opens the device on Windows.
    std::string base(name.substr(0, std::min(name.find('.'), name.size())));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    std::transform(base.begin(), base.end(), base.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") {
        return false;
    }
    return !(base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
             base[3] >= '1' && base[3] <= '9');
}

bool isTemplateFileName(std::string_view name) {
    constexpr std::string_view kRefused = "%#";  // they would end the file: URL's path
    constexpr std::string_view kExtension = ".htt";
    if (name.size() <= kExtension.size() || name.size() > 200 || name.front() == ' ' ||
        !isWindowsFileName(name)) {
        return false;
    }
    for (const char c : name) {
        if (c < 0x20 || c > 0x7E || kRefused.find(c) != std::string_view::npos) {
            return false;
        }
    }
    return sameName(unitsOf(name.substr(name.size() - kExtension.size())), kExtension);
}

std::optional<FolderUse> recordedFolderUse(std::string_view bytes) {
    const auto text = decode(bytes);
    if (!text) {
        return std::nullopt;
    }
    const FoundRecord found = findRecord(*text);
    return found.state == FoundRecord::State::Whole ? std::make_optional(found.record.use)
                                                    : std::nullopt;
}

bool hasDamagedRecord(std::string_view bytes) {
    const auto text = decode(bytes);
    return text && findRecord(*text).state == FoundRecord::State::Damaged;
}

DesktopIniEdit useTemplateIn(const std::optional<std::string>& existing, FolderUse use) {
    DesktopIniEdit edit;
    StartingText start = startingText(existing);
    if (start.status != DesktopIniEdit::Status::Done) {
        edit.status = start.status;
        return edit;
    }
    IniText& text = start.text;
    use.createdIni = start.absent;
    // A value the 8-bit text cannot hold: an ASCII file becomes UTF-16LE, as Windows writes it.
    use.madeUtf16 = start.madeUtf16 && !start.absent;
    if (use.look.iconFile.empty()) {
        use.look.iconIndex.clear();  // an index is of an icon file
    }
    if (!isStorable(use.look) || !holdsLook(text, use)) {
        edit.status = DesktopIniEdit::Status::NotStorable;
        return edit;
    }
    Record record{use, false, {}, {}, {}};
    const Units end = lineEndOf(text);
    if (!text.lines.empty() && text.lines.back().end.empty()) {
        text.lines.back().end = end;
        record.addedEnd = true;
    }
    for (const SectionSpec& section : specsFor(use, encodingOf(text))) {
        if (const auto header = findSection(text, section.name)) {
            addKeys(text, *header, section, end, record);
        } else {
            addSection(text, section, end, record);
        }
    }
    text.lines.insert(text.lines.begin(), {recordText(record, encodingOf(text)), end, true});
    keepLinesApart(text);
    edit.bytes = encode(text);
    edit.use = use;
    return edit;
}

DesktopIniEdit undoTemplateIn(std::string_view existing) {
    DesktopIniEdit edit;
    auto text = decode(existing);
    if (!text) {
        edit.status = DesktopIniEdit::Status::NotText;
        return edit;
    }
    const FoundRecord found = findRecord(*text);
    if (found.state != FoundRecord::State::Whole) {
        edit.status = found.state == FoundRecord::State::None
                          ? DesktopIniEdit::Status::NothingToUndo
                          : DesktopIniEdit::Status::DamagedRecord;
        return edit;
    }
    text->lines.erase(text->lines.begin() + std::ptrdiff_t(found.line));
    edit.keptKeys = undo(*text, found.record);
    edit.use = found.record.use;
    edit.removeFile = found.record.use.createdIni && text->lines.empty();
    edit.bytes = encode(*text);
    return edit;
}

namespace {

// Hex digits with their letters in upper case, as colours are written.
std::string upperHex(std::string_view digits) {
    std::string upper(digits);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'f' ? char(c - 'a' + 'A') : c; });
    return upper;
}

}  // namespace

std::optional<std::string> iniColourFromRgb(std::string_view rgb) {
    if (rgb.size() != 7 || rgb[0] != '#' ||
        rgb.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string upper = upperHex(rgb.substr(1));
    return "0x00" + upper.substr(4, 2) + upper.substr(2, 2) + upper.substr(0, 2);
}

std::optional<std::string> iniColourFromText(std::string_view text) {
    const int index = findColour(text);
    if (index < 0) {
        return iniColourFromRgb(text);
    }
    const std::uint32_t bgr = screenColour(kColourNames[std::size_t(index)]);
    char written[11];
    std::snprintf(written, sizeof written, "0x%08X", static_cast<unsigned>(bgr));
    return std::string(written);
}

std::optional<std::string> rgbFromIniColour(std::string_view value) {
    if (value.size() != 10 || (value.substr(0, 2) != "0x" && value.substr(0, 2) != "0X") ||
        value.substr(2, 2) != "00" ||
        value.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string bgr = upperHex(value.substr(4));
    return "#" + bgr.substr(4, 2) + bgr.substr(2, 2) + bgr.substr(0, 2);
}

std::string webViewPageIn(std::string_view bytes) {
    const auto text = decode(bytes);
    const auto header = text ? findSection(*text, kWebViewClassId) : std::nullopt;
    const auto line = header ? findKey(*text, *header, "PersistMoniker") : std::nullopt;
    return line ? utf8Of(trimmed(valueOf(text->lines[*line])), encodingOf(*text)) : std::string();
}

FolderLook folderLookIn(std::string_view bytes) {
    FolderLook look;
    const auto text = decode(bytes);
    if (!text) {
        return look;
    }
    const Encoding encoding = encodingOf(*text);
    const auto value = [&](std::string_view section, std::string_view key) {
        const auto header = findSection(*text, section);
        const auto line = header ? findKey(*text, *header, key) : std::nullopt;
        return line ? utf8Of(trimmed(valueOf(text->lines[*line])), encoding) : std::string();
    };
    look.comment = value(".ShellClassInfo", "InfoTip");
    look.iconFile = value(".ShellClassInfo", "IconFile");
    look.iconIndex = value(".ShellClassInfo", "IconIndex");
    if (const std::string resource = value(".ShellClassInfo", "IconResource");
        look.iconFile.empty() && !resource.empty()) {
        const std::size_t comma = resource.rfind(',');
        look.iconFile = resource.substr(0, comma);
        look.iconIndex = comma == std::string::npos ? "0" : resource.substr(comma + 1);
    }
    look.listPicture = value(kIconAreaClassId, "IconArea_Image");
    look.listTextColour = value(kIconAreaClassId, "IconArea_Text");
    return look;
}

}  // namespace tessivane
