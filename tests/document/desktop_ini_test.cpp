// SPDX-License-Identifier: MIT
// Desktop.ini edited to show a template and the edit taken out again, byte for byte.
#include <gtest/gtest.h>

#include "document/desktop_ini.h"

namespace tessivane {
namespace {

const std::string kId(kWebViewClassId);
const std::string kViews = "[ExtShellFolderViews]\r\nDefault=" + kId + "\r\n" + kId + "=" + kId +
                           "\r\n\r\n[" + kId + "]\r\nPersistMoniker=file://Folder.htt\r\n";
const std::string kShell = "\r\n[.ShellClassInfo]\r\nConfirmFileOp=0\r\n";

// UTF-8 text as UTF-16LE behind its byte order mark.
std::string utf16(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
        unsigned unit = length == 1 ? c : c & (length == 2 ? 0x1F : 0x0F);
        for (int k = 1; k < length; ++k) {
            unit = unit << 6 | (static_cast<unsigned char>(utf8[i + std::size_t(k)]) & 0x3F);
        }
        bytes += {char(unit & 0xFF), char(unit >> 8)};
        i += std::size_t(length);
    }
    return bytes;
}

// The text with each CR LF as the given line end.
std::string withEnds(std::string text, const std::string& end) {
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += end.size()) {
        text.replace(at, 2, end);
    }
    return text;
}

// Each file before and after the edit, in which "@" stands for the record's line:
// ";tessivane-use:", the tokens given and " file=Folder.htt". Taking the edit out gives the file
// back byte for byte, and editing an edited file again gives the same bytes.
TEST(DesktopIni, EditKeepsEveryOtherByteAndUndoGivesTheFileBack) {
    const std::string moniker = "[" + kId + "]\r\nPersistMoniker=";
    const std::string viewsOnly = kViews.substr(0, kViews.find("\r\n\r\n") + 2);
    const std::string webViewOnly = kViews.substr(kViews.find("[{"));
    const struct {
        const char* name;
        std::optional<std::string> before;
        const char* record;
        std::string after;
        bool utf16 = false;
    } cases[] = {
        {"absent", std::nullopt, " new sections=VWS keys=DIPC", "@\r\n" + kViews + kShell},
        {"other sections only", "[Other]\r\nA=1\r\n", " sections=VWS keys=DIPC",
         "@\r\n[Other]\r\nA=1\r\n\r\n" + kViews + kShell},
        {"another PersistMoniker", moniker + "file://Old%20 x.htt \r\n", " sections=VS keys=DIC",
         "@ was-P=file://Old%2520%20x.htt%20\r\n" + moniker + "file://Folder.htt\r\n\r\n" +
             viewsOnly + kShell},
        {"UTF-16LE", "[.ShellClassInfo]\r\nLocalizedResourceName=Ünïcode €\r\n",
         " sections=VW keys=DIPC",
         "@\r\n[.ShellClassInfo]\r\nLocalizedResourceName=Ünïcode €\r\nConfirmFileOp=0\r\n\r\n" +
             kViews,
         true},
        {"blanks and case",
         "[ extshellfolderviews ]\r\n  default =  {x} \r\n" + kId + " = " + kId +
             "\r\n[.SHELLCLASSINFO]\r\nCONFIRMFILEOP = 1\r\n",
         " sections=W keys=P",
         "@ was-D={x}%20\r\n[ extshellfolderviews ]\r\n  default =  " + kId + "\r\n" + kId + " = " +
             kId + "\r\n[.SHELLCLASSINFO]\r\nCONFIRMFILEOP = 1\r\n\r\n" + webViewOnly},
        {"comments", "; top\r\n[ExtShellFolderViews]\r\n; Default=x\r\nA=1\r\n; end\r\n\r\n",
         " sections=WS keys=DIPC",
         "@\r\n; top\r\n[ExtShellFolderViews]\r\n; Default=x\r\nA=1\r\nDefault=" + kId + "\r\n" +
             kId + "=" + kId + "\r\n; end\r\n\r\n\r\n" + webViewOnly + kShell},
        {"duplicate keys", moniker + "a.htt\r\nPersistMoniker=b.htt\r\n", " sections=VS keys=DIC",
         "@ was-P=a.htt\r\n" + moniker + "file://Folder.htt\r\nPersistMoniker=b.htt\r\n\r\n" +
             viewsOnly + kShell},
        {"no final line end", "[Other]\r\nA=1", " end sections=VWS keys=DIPC",
         "@\r\n[Other]\r\nA=1\r\n\r\n" + kViews + kShell},
        {"CR-only lines", "[Other]\rA=1\r", " sections=VWS keys=DIPC",
         withEnds("@\r\n[Other]\r\nA=1\r\n\r\n" + kViews + kShell, "\r")},
        {"a lone CR before new lines", "x\n\r", " sections=VWS keys=DIPC",
         "@\nx\n\r\r" + withEnds(kViews + kShell, "\n")},
        {"empty", "", " sections=VWS keys=DIPC", "@\r\n" + kViews + kShell},
        {"already shows it", "\xEF\xBB\xBF" + kViews + kShell, "",
         "\xEF\xBB\xBF@\r\n" + kViews + kShell},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto form = [&](const std::string& text) { return c.utf16 ? utf16(text) : text; };
        const std::optional<std::string> before =
            c.before ? std::make_optional(form(*c.before)) : std::nullopt;
        FolderUse use{"Folder.htt", "", 0, 0, 0, false, "", "", {}, {}, false};
        const DesktopIniEdit edit = useTemplateIn(before, use);
        ASSERT_EQ(edit.status, DesktopIniEdit::Status::Done);
        std::string after = c.after;
        after.replace(after.find('@'), 1,
                      std::string(";tessivane-use:") + c.record + " file=Folder.htt");
        EXPECT_EQ(edit.bytes, form(after));
        use.createdIni = !c.before;
        EXPECT_EQ(recordedFolderUse(edit.bytes), use);
        EXPECT_EQ(useTemplateIn(edit.bytes, use).bytes, edit.bytes);
        const DesktopIniEdit undone = undoTemplateIn(edit.bytes);
        EXPECT_EQ(undone.removeFile, !c.before);
        EXPECT_EQ(undone.bytes, before.value_or(""));
        EXPECT_TRUE(undone.keptKeys.empty());
    }
}

// What was changed since the edit stays: a key of the edit with another value, a section of the
// edit that holds more, a file of the edit that holds more. The record keeps the rest of the use.
TEST(DesktopIni, UndoKeepsWhatChangedSinceAndRefusesWhatIsNotText) {
    const std::string moniker = "[" + kId + "]\r\nPersistMoniker=";
    FolderUse use{"My Page.htt",
                  std::string(64, 'a'),
                  attributes::kReadOnly,
                  attributes::kHidden | attributes::kSystem,
                  attributes::kSystem,
                  false,
                  "My Page.htt.tessivane-replaced",
                  std::string(64, 'b'),
                  {{"a b\xC3\xBC.gif", std::string(64, 'd')}, {"s.wav", std::string(64, 'e')}},
                  {},
                  false};
    std::string edited = useTemplateIn(moniker + "file://Old.htt\r\n", use).bytes;
    EXPECT_EQ(recordedFolderUse(edited), use);
    edited.replace(edited.find("file://My Page.htt"), 18, "file://Mine.htt");
    edited.replace(edited.find("ConfirmFileOp=0"), 15, "ConfirmFileOp=1\r\nB=2");
    DesktopIniEdit undone = undoTemplateIn(edited);
    EXPECT_EQ(undone.bytes,
              moniker + "file://Mine.htt\r\n\r\n[.ShellClassInfo]\r\nConfirmFileOp=1\r\nB=2\r\n");
    EXPECT_EQ(undone.keptKeys, (std::vector<std::string>{"PersistMoniker", "ConfirmFileOp"}));

    undone = undoTemplateIn(useTemplateIn(std::nullopt, use).bytes + "[Mine]\r\nX=1\r\n");
    EXPECT_EQ(undone.bytes, "[Mine]\r\nX=1\r\n");
    EXPECT_FALSE(undone.removeFile);
    EXPECT_EQ(undoTemplateIn("[Other]\r\n").status, DesktopIniEdit::Status::NothingToUndo);

    for (const std::string& bytes : {std::string("a\0b", 3), std::string("\xFE\xFF\0a", 4),
                                     std::string("\xFF\xFE"
                                                 "a",
                                                 3),
                                     std::string("\xFF\xFE\0\0", 4)}) {
        EXPECT_FALSE(isDesktopIniText(bytes));
        EXPECT_EQ(useTemplateIn(bytes, use).status, DesktopIniEdit::Status::NotText);
        EXPECT_EQ(undoTemplateIn(bytes).status, DesktopIniEdit::Status::NotText);
    }
}

// A record that is not exactly what an edit writes is trusted for nothing: the file is neither
// edited nor undone, and holds no use.
TEST(DesktopIni, ARecordChangedByHandIsRefused) {
    const std::string digest(64, 'c');
    const std::string whole =
        ";tessivane-use: sections=VWS keys=DIPC file=Folder.htt sha256=" + digest +
        " was-P=file://Old.htt\r\n[A]\r\n";
    ASSERT_TRUE(recordedFolderUse(whole));
    const std::vector<std::pair<std::string, std::string>> tampered = {
        {"was-P=file://Old.htt", "was-P=file://Old.htt%0D%0A[X]%00"},
        {"was-P=file://Old.htt", "was-Z=1"},
        {"was-P=file://Old.htt", "colour=red"},
        {"keys=DIPC", "keys=DIPZ"},
        {"keys=DIPC", "keys=DD"},
        {"sha256=" + digest, "sha256=" + digest.substr(1)},
        {"sha256=" + digest, "sha256=" + std::string(64, 'C')},
        {"file=Folder.htt", "file=../x.htt"},
        {"file=Folder.htt", "file=CON.htt"},
        {"file=Folder.htt", "file=Folder.htt kept=a.htt"},
        {"file=Folder.htt", "file=Folder.htt file=Other.htt"},
        {"[A]", ";tessivane-use: file=Folder.htt"},
    };
    for (const auto& [from, to] : tampered) {
        std::string bytes = whole;
        bytes.replace(bytes.find(from), from.size(), to);
        SCOPED_TRACE(bytes);
        EXPECT_TRUE(hasDamagedRecord(bytes));
        EXPECT_FALSE(recordedFolderUse(bytes));
        EXPECT_EQ(useTemplateIn(bytes, {}).status, DesktopIniEdit::Status::DamagedRecord);
        EXPECT_EQ(undoTemplateIn(bytes).status, DesktopIniEdit::Status::DamagedRecord);
    }
    EXPECT_FALSE(hasDamagedRecord(whole));
}

TEST(DesktopIni, TemplateNamesArePlainAsciiNamesEndingInHtt) {
    for (const char* name : {"Folder.htt", "my page.HTT", "a-b_c (1).htt", "CONSOLE.htt"}) {
        EXPECT_TRUE(isTemplateFileName(name)) << name;
    }
    const std::vector<std::string> refused = {"",
                                              ".htt",
                                              "a/b.htt",
                                              "a\\b.htt",
                                              "x.html",
                                              " x.htt",
                                              "a%b.htt",
                                              "a:b.htt",
                                              "\xC3\xA9.htt",
                                              "CON.htt",
                                              "nul.htt",
                                              "Com1.htt",
                                              "LPT9.x.htt",
                                              "aux .htt",
                                              "a|b.htt",
                                              "a\tb.htt",
                                              std::string(197, 'n') + ".htt"};
    for (const std::string& name : refused) {
        EXPECT_FALSE(isTemplateFileName(name)) << name;
    }
}

// A folder's comment, icon and list look: each key added or given its new value, in any encoding
// the file can hold it in, and taken out again byte for byte; a folder may have them without a
// page.
TEST(DesktopIni, LookKeysAreAddedAndTakenOutByteForByte) {
    FolderLook look{"Holiday \"2026\"; the sea", "pics\\sea.ico", "3", "%THISDIRPATH%\\back.jpg",
                    "0x00FF8000"};
    const std::string ascii = "[.ShellClassInfo]\r\nInfoTip=old tip\r\nIconFile=x.ico\r\n";
    const struct {
        const char* name;
        std::optional<std::string> before;
        std::string comment;
        DesktopIniEdit::Status status;
        bool utf16;  // the edited file is UTF-16LE
    } cases[] = {
        {"absent", std::nullopt, look.comment, DesktopIniEdit::Status::Done, false},
        {"other values", ascii, look.comment, DesktopIniEdit::Status::Done, false},
        {"non-ASCII into ASCII", ascii, "Fotos \xC3\xBC\xE2\x82\xAC", DesktopIniEdit::Status::Done,
         true},
        {"non-ASCII, new file", std::nullopt, "\xF0\x9F\x8C\x8A Meer", DesktopIniEdit::Status::Done,
         true},
        {"non-ASCII into UTF-16", utf16("[A]\r\nB=\xC3\xA9\r\n"), "\xC3\xBC",
         DesktopIniEdit::Status::Done, true},
        {"non-ASCII into UTF-8 with its mark", "\xEF\xBB\xBF[A]\r\nB=\xC3\xA9\r\n", "\xC3\xBC",
         DesktopIniEdit::Status::Done, false},
        {"non-ASCII into a code page", "[A]\r\nB=\xE9\r\n", "\xC3\xBC",
         DesktopIniEdit::Status::NotStorable, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FolderUse use;
        use.look = look;
        use.look.comment = c.comment;
        const DesktopIniEdit edit = useTemplateIn(c.before, use);
        ASSERT_EQ(edit.status, c.status);
        if (c.status != DesktopIniEdit::Status::Done) {
            continue;
        }
        EXPECT_EQ(edit.bytes.starts_with("\xFF\xFE"), c.utf16);
        const FolderLook found = folderLookIn(edit.bytes);
        EXPECT_EQ(found.comment, c.comment);
        EXPECT_EQ(found.iconFile, look.iconFile);
        EXPECT_EQ(found.iconIndex, "3");
        EXPECT_EQ(found.listPicture, look.listPicture);
        EXPECT_EQ(found.listTextColour, "0x00FF8000");
        EXPECT_EQ(recordedFolderUse(edit.bytes)->look.comment, c.comment);
        const DesktopIniEdit undone = undoTemplateIn(edit.bytes);
        EXPECT_EQ(undone.status, DesktopIniEdit::Status::Done);
        EXPECT_EQ(undone.removeFile, !c.before);
        EXPECT_EQ(undone.bytes, c.before.value_or(""));
    }
    // With a page, and the page's own keys alongside; a look changed since stays and is named.
    FolderUse both{"Folder.htt", "", 0, 0, 0, false, "", "", {}, look, false};
    std::string edited = useTemplateIn(ascii, both).bytes;
    const std::string viewsKey =
        std::string(kIconAreaClassId) + "=" + std::string(kIconAreaClassId);
    EXPECT_NE(edited.find(viewsKey), std::string::npos);
    EXPECT_NE(edited.find("IconResource=pics\\sea.ico,3\r\n"), std::string::npos);
    edited.replace(edited.find("IconArea_Text=0x00FF8000"), 24, "IconArea_Text=0x000000FF");
    const DesktopIniEdit undone = undoTemplateIn(edited);
    EXPECT_EQ(undone.keptKeys, std::vector<std::string>{"IconArea_Text"});
}

TEST(DesktopIni, ColoursConvertBetweenRgbAndWindowsOrder) {
    const std::pair<const char*, const char*> pairs[] = {{"#FF0000", "0x000000FF"},
                                                         {"#008000", "0x00008000"},
                                                         {"#0000FF", "0x00FF0000"},
                                                         {"#12AB9F", "0x009FAB12"},
                                                         {"#FFFFFF", "0x00FFFFFF"}};
    for (const auto& [rgb, ini] : pairs) {
        EXPECT_EQ(iniColourFromRgb(rgb), ini);
        EXPECT_EQ(rgbFromIniColour(ini), rgb);
    }
    EXPECT_EQ(iniColourFromRgb("#12ab9f"), "0x009FAB12");
    EXPECT_EQ(iniColourFromText("navy"), "0x00800000");
    EXPECT_EQ(iniColourFromText("#12ab9f"), "0x009FAB12");
    EXPECT_FALSE(iniColourFromText("mauve"));
    for (const char* bad : {"FF0000", "#FF00", "#GG0000", "", "#FF00001"}) {
        EXPECT_FALSE(iniColourFromRgb(bad)) << bad;
    }
    for (const char* bad : {"0x01FF0000", "FF0000", "0xFF0000", "0x00GG0000"}) {
        EXPECT_FALSE(rgbFromIniColour(bad)) << bad;
    }
}

}  // namespace
}  // namespace tessivane
