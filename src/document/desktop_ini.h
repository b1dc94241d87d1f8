// SPDX-License-Identifier: MIT
#pragma once
// A folder's Desktop.ini, edited so that the folder shows a web view template, and the edit taken
// out again.
//
// The file is edited, never rewritten: every line that the edit does not touch keeps its bytes,
// its line end and its place. Section and key names match ignoring ASCII letter case and blanks
// around them and around '='; the first of duplicate sections or keys is the one used. The
// encoding stays as found: 8-bit bytes (ASCII, a Windows code page, UTF-8 with or without its
// mark), or UTF-16LE behind its byte order mark. A new file is ASCII with CR LF line ends.
//
// What the edit adds, and the value of any key it replaces, is written into the file itself as
// one comment line at its top, so that taking the edit out puts back exactly what was there
// before, wherever the folder was copied since. The same line holds what the folder's file
// services did besides (FolderUse): the template file written and the attributes set.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessivane {

// The class id of the shell's folder web view.
inline constexpr std::string_view kWebViewClassId = "{5984FFE0-28D4-11CF-AE66-08002B2E1262}";

// The Windows attribute bits that using a template sets.
namespace attributes {
inline constexpr unsigned kReadOnly = 0x01;
inline constexpr unsigned kHidden = 0x02;
inline constexpr unsigned kSystem = 0x04;
}  // namespace attributes

// What Windows lets a folder have beside its page, each in Desktop.ini; an empty value is not
// set. Texts are UTF-8.
struct FolderLook {
    std::string comment;         // [.ShellClassInfo] InfoTip: the folder's tooltip
    std::string iconFile;        // IconFile with IconIndex, and IconResource=FILE,INDEX
    std::string iconIndex;       // decimal, "0" when the file holds one icon
    std::string listPicture;     // [{BE098140-...}] IconArea_Image: behind the file list
    std::string listTextColour;  // IconArea_Text, as Windows reads it: 0x00BBGGRR

    bool empty() const {
        return comment.empty() && iconFile.empty() && listPicture.empty() && listTextColour.empty();
    }
    friend bool operator==(const FolderLook&, const FolderLook&) = default;
};

// The class id of the view whose icon area a folder's list picture and text colour are for.
inline constexpr std::string_view kIconAreaClassId = "{BE098140-A513-11D0-A3A4-00C04FD706EC}";

// "#RRGGBB" as Windows writes a colour there, "0x00BBGGRR", and back; nothing when it is not one.
std::optional<std::string> iniColourFromRgb(std::string_view rgb);
std::optional<std::string> rgbFromIniColour(std::string_view value);
// A colour as the user gives it, one of the sixteen list names (letter case aside) or "#RRGGBB",
// in Windows's form; nothing when it is neither.
std::optional<std::string> iniColourFromText(std::string_view text);

// What the file holds now of a folder's look (for showing and as a starting point).
FolderLook folderLookIn(std::string_view bytes);
// The page the file makes the folder show: PersistMoniker's value, as written ("" for none).
std::string webViewPageIn(std::string_view bytes);

// What using a template for a folder did outside Desktop.ini's keys.
struct FolderUse {
    std::string templateName;         // the template's file name in the folder
    std::string templateDigest;       // of the template as written, when it was not there before
    unsigned folderAttributes = 0;    // the attribute bits set on the folder
    unsigned iniAttributes = 0;       // ... on Desktop.ini
    unsigned templateAttributes = 0;  // ... on the template
    bool createdIni = false;          // Desktop.ini did not exist
    // A page of Tessivane's that was at the template's name and was replaced: kept in the folder
    // under this name for undoing to bring back, with the digest of its bytes.
    std::string keptName;
    std::string keptDigest;
    // The files the use copied into the folder for the page, each with the digest of its bytes.
    struct Copy {
        std::string name;
        std::string digest;
        friend bool operator==(const Copy&, const Copy&) = default;
    };
    std::vector<Copy> copies;
    // The comment, icon and list look set, as written: undoing takes out keys still holding
    // these values. templateName is empty when the use gave the folder no page.
    FolderLook look;
    bool madeUtf16 = false;  // the file was 8-bit and became UTF-16LE for a value it had to hold

    friend bool operator==(const FolderUse&, const FolderUse&) = default;
};

struct DesktopIniEdit {
    enum class Status { Done, NotText, NothingToUndo, DamagedRecord, NotStorable };
    Status status = Status::Done;
    std::string bytes;        // the file's new content
    bool removeFile = false;  // undoing: the file was made by the edit and nothing else is in it
    FolderUse use;            // as recorded: the new record, or the one undone
    std::vector<std::string> keptKeys;  // undoing: keys of the edit changed since, left alone
};

// Whether the bytes are text in a form the file may have: no NUL in 8-bit bytes, whole UTF-16
// units without U+0000 behind a UTF-16LE mark. A UTF-16BE mark is not a form Windows writes.
bool isDesktopIniText(std::string_view bytes);

// Whether the name can be the template's file name: a plain ASCII name that Windows accepts in a
// folder and in a file: URL, ending in ".htt" in any letter case. Windows's device names (CON,
// PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with any extension) are refused.
bool isTemplateFileName(std::string_view name);

// Whether the name is one Windows opens as a file of a folder: not empty, no control character,
// none of \ / : * ? " < > |, no trailing dot or blank, not a device name.
bool isWindowsFileName(std::string_view name);

// The record of an earlier use, when the file holds one that is whole.
std::optional<FolderUse> recordedFolderUse(std::string_view bytes);

// Whether the file holds a record line that cannot be trusted: a key or value that no edit
// writes, a name that is not a plain file name, a digest that is not 64 hex digits, a value
// with a control character, or more than one record.
bool hasDamagedRecord(std::string_view bytes);

// The file made to show use.templateName (none when empty) and use.look, with the record of use;
// existing is nothing for a file that is not there. A value that the file's 8-bit text cannot
// hold turns a file of ASCII text into UTF-16LE with its mark, as Windows writes one; in a file
// holding other 8-bit characters, of a code page not known here, it is NotStorable, as is a value
// that is not UTF-8, or has a control character or blanks around it (a line cannot hold those). A
// file that holds the record of an earlier use is edited as if that use had been undone first, so
// the record always describes the file as it was before any. use.createdIni is set from what the
// file was.
DesktopIniEdit useTemplateIn(const std::optional<std::string>& existing, FolderUse use);

// The file with the recorded edit taken out: the keys it added go, a key it replaced gets its
// old value back, a section it added goes when nothing else is left in it, and the file goes
// when the edit made it and nothing else is left. A key changed since is left as it is and named.
DesktopIniEdit undoTemplateIn(std::string_view existing);

}  // namespace tessivane
