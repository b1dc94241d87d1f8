// SPDX-License-Identifier: MIT
// The names a page gives its files, read as Windows reads them.
#include <gtest/gtest.h>

#include "document/windows_names.h"

namespace tessivane {
namespace {

TEST(WindowsNames, EachFormIsReadAsWindowsReadsIt) {
    using Kind = WindowsName::Kind;
    const struct {
        const char* value;
        Kind kind;
        std::vector<std::string> parts;
    } cases[] = {
        {"", Kind::Empty, {}},
        {"%THISDIRPATH%\\panel.gif", Kind::InFolder, {"panel.gif"}},
        {"%thisdirpath%/art\\.\\Line Ü.gif", Kind::InFolder, {"art", "Line Ü.gif"}},
        {"file://%THISDIRPATH%\\s.wav", Kind::InFolder, {"s.wav"}},
        {"s.wav", Kind::InFolder, {"s.wav"}},
        {"file://s.wav", Kind::InFolder, {"s.wav"}},
        {"art/../x.gif", Kind::InFolder, {"art", "..", "x.gif"}},
        {"C:\\windows\\media\\Nothing.wav", Kind::DrivePath, {}},
        {"c:Nothing.gif", Kind::DrivePath, {}},
        {"\\Nothing.gif", Kind::DrivePath, {}},
        {"%SystemRoot%\\system32\\shell32.dll", Kind::DrivePath, {}},
        {"\\\\server\\share\\a.gif", Kind::NetworkPath, {}},
        {"//server/share/a.gif", Kind::NetworkPath, {}},
        {"http://example.com/a.gif", Kind::NetworkPath, {}},
        {"/home/u/art/panel.gif", Kind::LocalPath, {}},
        {"file:///home/u/art/panel.gif", Kind::LocalPath, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const WindowsName name = parseWindowsName(c.value);
        EXPECT_EQ(name.kind, c.kind);
        EXPECT_EQ(name.parts, c.parts);
    }
    EXPECT_EQ(portableName({"art", "a b.gif"}), "%THISDIRPATH%\\art\\a b.gif");
    EXPECT_TRUE(staysInFolder({"art", "a.gif"}));
    EXPECT_FALSE(staysInFolder({"..", "a.gif"}));
    EXPECT_FALSE(staysInFolder({}));
}

}  // namespace
}  // namespace tessivane
