// SPDX-License-Identifier: MIT
// File services against real files: line ends on load, byte-exact saves, and every kind of
// refused or failed save leaving the old file as it was.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <functional>

#include <QDir>
#include <QFile>

#include "controls/file_services.h"
#include "controls/utility_services.h"
#include "document/template.h"
#include "support/processes.h"
#include "support/temp_dir.h"

namespace tessivane {
namespace {

using testing::asOrdinaryUser;
using testing::folderEntries;
using testing::inChildProcess;
using testing::readBytes;
using testing::TempDir;

WorkingDocument documentOf(const QByteArray& bytes) {
    return WorkingDocument::fromBytes(
        std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

TEST(FileLoad, SplitsEveryLineEndAndKeepsTheBytes) {
    TempDir dir;
    const struct {
        QByteArray bytes;
        std::size_t lines;
    } cases[] = {
        {"", 0},
        {"one line", 1},
        {"a\r\nb\r\n", 2},
        {"a\rb\rc", 3},
        {"a\nb\n", 2},
        {"a\r\nb\rc\nd", 4},
        {QByteArray("nul\0inside\r\nx", 13), 2},
        {"caf\xE9\r\n* WZ.exe\r\n", 2},
    };
    for (const auto& c : cases) {
        const QString path = dir.file("doc.htt", c.bytes);
        const LoadResult loaded = loadDocument(path);
        ASSERT_FALSE(loaded.error) << loaded.error.reason.toStdString();
        EXPECT_EQ(loaded.document.size(), c.lines) << c.bytes.toStdString();
        EXPECT_EQ(loaded.document, documentOf(c.bytes));
    }
}

TEST(FileLoad, RefusesFoldersAndDevicesAndReportsUnreadableFiles) {
    TempDir dir;
    EXPECT_EQ(loadDocument(dir.root()).error.kind, FileError::Kind::NotRegularFile);
    EXPECT_EQ(loadDocument(QStringLiteral("/dev/zero")).error.kind,
              FileError::Kind::NotRegularFile);
    EXPECT_EQ(loadDocument(dir.path("missing.htt")).error.kind, FileError::Kind::Other);
    EXPECT_EQ(loadDocument(QString()).error.kind, FileError::Kind::Other);

    const QString secret = dir.file("secret.htt", "x\r\n* WZ.exe\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(secret).constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.root()).constData(), 0755), 0);
    const int kind = asOrdinaryUser([&] {
        const LoadResult loaded = loadDocument(secret);
        return loaded.error && !loaded.error.reason.isEmpty() ? 0 : 1;
    });
    EXPECT_EQ(kind, 0);
}

TEST(FileSave, WritesCrLfAndRoundTripsEveryLoadedFile) {
    TempDir dir;
    WorkingDocument document = WorkingDocument::fromTemplate();
    const QString path = dir.path("new.htt");
    ASSERT_FALSE(saveDocument(document, path));
    const QByteArray bytes = readBytes(path);
    EXPECT_EQ(bytes.count("\r\n"), 344);
    EXPECT_EQ(bytes.count('\r'), 344);
    EXPECT_EQ(bytes.count('\n'), 344);
    EXPECT_EQ(loadDocument(path).document, document);

    // A CR LF file, including a legacy 8-bit one, comes back byte for byte.
    const QByteArray legacy = "<!--\r\n* WZ.exe\r\nCaf\xE9 \x80\x9F\r\n  \r\n";
    const QString legacyPath = dir.file("legacy.htt", legacy);
    ASSERT_FALSE(saveDocument(loadDocument(legacyPath).document, legacyPath));
    EXPECT_EQ(readBytes(legacyPath), legacy);
    EXPECT_EQ(folderEntries(dir.root()), (QStringList{"legacy.htt", "new.htt"}));
}

struct stat statOf(const QString& path) {
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

QByteArray attribute(const QString& path, const char* name) {
    QByteArray value(256, '\0');
    const ssize_t size =
        ::getxattr(QFile::encodeName(path).constData(), name, value.data(), value.size());
    return size < 0 ? QByteArray("<none>") : value.left(size);
}

// An access ACL in the kernel's form: the owner rw, user nobody r, the group r, mask r, others
// nothing.
QByteArray accessAcl() {
    QByteArray acl("\x02\x00\x00\x00", 4);
    const auto entry = [&](quint16 tag, quint16 permissions, quint32 id) {
        const char bytes[8] = {char(tag), char(tag >> 8), char(permissions), 0,
                               char(id),  char(id >> 8),  char(id >> 16),    char(id >> 24)};
        acl.append(bytes, 8);
    };
    entry(0x01, 6, 0xFFFFFFFF);
    entry(0x02, 4, 65534);
    entry(0x04, 4, 0xFFFFFFFF);
    entry(0x10, 4, 0xFFFFFFFF);
    entry(0x20, 0, 0xFFFFFFFF);
    return acl;
}

// Saving reaches the file the system finds at the path, and the file keeps everything it had
// besides its content. Each case prepares a folder and answers the path to save through; the
// save runs as this user or, where root would pass a permission check, as an ordinary user; the
// check looks at the folder afterwards.
TEST(FileSave, ReachesTheFileReadAndKeepsEverythingItHad) {
    struct Case {
        const char* what;
        bool needsRoot;
        bool asOrdinaryUser;
        std::function<QString(const TempDir&)> prepare;
        std::function<void(const TempDir&, FileError::Kind)> check;
    };
    const auto none = FileError::Kind::None;
    const auto path = [](const TempDir& dir, const char* name) {
        return QFile::encodeName(dir.path(name));
    };
    const Case cases[] = {
        {"hard links keep their content in step", false, false,
         [&](const TempDir& dir) {
             const QString file = dir.file("f.htt", "old\r\n");
             ::link(path(dir, "f.htt"), path(dir, "other.htt"));
             return file;
         },
         [&](const TempDir& dir, FileError::Kind kind) {
             EXPECT_EQ(kind, none);
             EXPECT_EQ(readBytes(dir.path("other.htt")), "new\r\n");
             EXPECT_EQ(statOf(dir.path("f.htt")).st_nlink, 2u);
         }},
        {"a linked folder and .. are resolved by the system", false, false,
         [&](const TempDir& dir) {
             QDir().mkpath(dir.path("real/sub"));
             dir.file("real/f.htt", "old\r\n");
             dir.file("f.htt", "unrelated\r\n");
             ::symlink("real/sub", path(dir, "linkdir"));
             return dir.path("linkdir/../f.htt");
         },
         [&](const TempDir& dir, FileError::Kind kind) {
             EXPECT_EQ(kind, none);
             EXPECT_EQ(readBytes(dir.path("real/f.htt")), "new\r\n");
             EXPECT_EQ(readBytes(dir.path("f.htt")), "unrelated\r\n");
         }},
        {"a chain of links to a missing file creates the last", false, false,
         [&](const TempDir& dir) {
             QDir().mkpath(dir.path("sub"));
             ::symlink("b.htt", path(dir, "a.htt"));
             ::symlink("sub/c.htt", path(dir, "b.htt"));
             return dir.path("a.htt");
         },
         [&](const TempDir& dir, FileError::Kind kind) {
             EXPECT_EQ(kind, none);
             EXPECT_EQ(readBytes(dir.path("sub/c.htt")), "new\r\n");
             EXPECT_TRUE(S_ISLNK(statOf(dir.path("a.htt")).st_mode));
             EXPECT_TRUE(S_ISLNK(statOf(dir.path("b.htt")).st_mode));
         }},
        {"a name that is not UTF-8 reaches no file", false, false,
         [&](const TempDir& dir) {
             dir.file("\xEF\xBF\xBDt\xEF\xBF\xBD.htt", "old\r\n");
             return dir.path(QString::fromUtf8("\xEF\xBF\xBDt\xEF\xBF\xBD.htt"));
         },
         [&](const TempDir& dir, FileError::Kind kind) {
             EXPECT_EQ(kind, FileError::Kind::InvalidName);
             EXPECT_EQ(readBytes(dir.path("\xEF\xBF\xBDt\xEF\xBF\xBD.htt")), "old\r\n");
         }},
        {"a private file stays private", false, false,
         [&](const TempDir& dir) {
             const QString file = dir.file("private.htt", "old\r\n");
             ::chmod(path(dir, "private.htt"), 0600);
             return file;
         },
         [&](const TempDir& dir, FileError::Kind kind) {
             EXPECT_EQ(kind, none);
             EXPECT_EQ(statOf(dir.path("private.htt")).st_mode & 07777, 0600u);
         }},
        {"another owner and group, as root", true, false,
         [&](const TempDir& dir) {
             const QString file = dir.file("theirs.htt", "old\r\n");
             ::chown(path(dir, "theirs.htt"), 65534, 65534);
             ::chmod(path(dir, "theirs.htt"), 0640);
             return file;
         },
         [&](const TempDir& dir, FileError::Kind kind) {
             EXPECT_EQ(kind, none);
             const struct stat info = statOf(dir.path("theirs.htt"));
             EXPECT_EQ(info.st_uid, 65534u);
             EXPECT_EQ(info.st_gid, 65534u);
             EXPECT_EQ(info.st_mode & 07777, 0640u);
         }},
        {"a writable file in a folder that may not be written", false, true,
         [&](const TempDir& dir) {
             QDir().mkpath(dir.path("locked"));
             const QString file = dir.file("locked/f.htt", "old\r\n");
             ::chmod(path(dir, "locked/f.htt"), 0666);
             ::chmod(path(dir, "locked"), 0555);
             return file;
         },
         [&](const TempDir& dir, FileError::Kind kind) {
             EXPECT_EQ(kind, none);
             EXPECT_EQ(folderEntries(dir.path("locked")), QStringList{"f.htt"});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && !testing::runningAsRoot()) {
            continue;  // another owner can only be given by root
        }
        TempDir dir;
        ::chmod(QFile::encodeName(dir.root()).constData(), 0755);
        const QString target = c.prepare(dir);
        const auto save = [&] { return int(saveDocument(documentOf("new\r\n"), target).kind); };
        const int kind = c.asOrdinaryUser ? asOrdinaryUser(save) : save();
        c.check(dir, FileError::Kind(kind));
        if (kind == int(none)) {
            EXPECT_EQ(readBytes(target), "new\r\n");
        }
        ::chmod(QFile::encodeName(dir.path("locked")).constData(), 0755);
    }
}

// The ACL and every extended attribute come along, where the file system keeps them.
TEST(FileSave, KeepsTheAclAndExtendedAttributes) {
    TempDir dir;
    const QString file = dir.file("f.htt", "old\r\n");
    const QByteArray native = QFile::encodeName(file);
    const QByteArray acl = accessAcl();
    if (::setxattr(native, "user.tessivane", "kept", 4, 0) != 0 ||
        ::setxattr(native, "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
        GTEST_SKIP() << "this file system keeps no user attributes or ACLs";
    }
    const QByteArray aclBefore = attribute(file, "system.posix_acl_access");
    ASSERT_FALSE(saveDocument(documentOf("new\r\n"), file));
    EXPECT_EQ(readBytes(file), "new\r\n");
    EXPECT_EQ(attribute(file, "user.tessivane"), "kept");
    EXPECT_EQ(attribute(file, "system.posix_acl_access"), aclBefore);
}

TEST(FileSave, RefusalsLeaveTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    const QByteArray old = "old\r\ncontent\r\n";
    const WorkingDocument replacement = documentOf("replacement\r\n");

    const QString readOnly = dir.file("read-only.htt", old);
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    EXPECT_EQ(saveDocument(replacement, readOnly).kind, FileError::Kind::NotWritable);
    EXPECT_EQ(readBytes(readOnly), old);

    const QString folder = dir.path("folder.htt");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_EQ(saveDocument(replacement, folder).kind, FileError::Kind::NotRegularFile);
    EXPECT_TRUE(QFileInfo(folder).isDir());

    const QString fifo = dir.path("fifo.htt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_EQ(saveDocument(replacement, fifo).kind, FileError::Kind::NotRegularFile);

    const FileError missingFolder = saveDocument(replacement, dir.path("no/such/folder/x.htt"));
    EXPECT_EQ(missingFolder.kind, FileError::Kind::Other);
    EXPECT_FALSE(missingFolder.reason.isEmpty());

    const FileError tooLong = saveDocument(replacement, dir.path(QString(300, QLatin1Char('n'))));
    EXPECT_EQ(tooLong.kind, FileError::Kind::Other);
    const FileError pathTooLong =
        saveDocument(replacement, dir.path(QString(4000, QLatin1Char('p'))));
    EXPECT_EQ(pathTooLong.kind, FileError::Kind::Other);

    EXPECT_EQ(folderEntries(dir.root()), (QStringList{"fifo.htt", "folder.htt", "read-only.htt"}));
}

TEST(FileSave, NotWritableForAnUnprivilegedUser) {
    TESSIVANE_SKIP_UNLESS_ROOT("a file of another owner");
    TempDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.root()).constData(), 0777), 0);
    const QByteArray old = "owned by someone else\r\n";
    const QString path = dir.file("theirs.htt", old);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    const int status =
        asOrdinaryUser([&] { return int(saveDocument(documentOf("mine\r\n"), path).kind); });
    EXPECT_EQ(status, int(FileError::Kind::NotWritable));
    EXPECT_EQ(readBytes(path), old);
}

TEST(FileSave, FullDiskLeavesTheOldFileIntact) {
    TempDir dir;
    QByteArray old;
    for (int i = 0; i < 2000; ++i) {
        old += "the old file, line " + QByteArray::number(i) + "\r\n";
    }
    const QString path = dir.file("full.htt", old);
    std::vector<std::string> big(20000, std::string(100, 'x'));
    const WorkingDocument bigDocument(big, TextEncoding::Utf8);

    // The file size limit makes every write past 64 KiB fail as on a full disk.
    const int status = inChildProcess([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 99;
        }
        const FileError error = saveDocument(bigDocument, path);
        return error.kind == FileError::Kind::Other && !error.reason.isEmpty() ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(folderEntries(dir.root()), QStringList{"full.htt"});
}

TEST(FileLookups, FindIgnoresCaseAndMatchesWholeTexts) {
    const QStringList fonts = {"Arial", "DejaVu Sans", "Verdana", "verdana"};
    EXPECT_EQ(findIgnoringCase(fonts, "VERDANA"), 2);
    EXPECT_EQ(findIgnoringCase(fonts, "dejavu sans"), 1);
    EXPECT_EQ(findIgnoringCase(fonts, "DejaVu"), -1);
    EXPECT_EQ(findIgnoringCase(fonts, ""), -1);
    EXPECT_EQ(findIgnoringCase({}, "Arial"), -1);
}

TEST(FileLookups, MarkerLineIsTheWholeSecondLine) {
    const struct {
        QByteArray bytes;
        bool ours;
    } cases[] = {
        {"<!--\r\n* WZ.exe\r\n", true},
        {"<!--\n* WZ.exe", true},
        {"<!--\r* WZ.exe\r", true},
        {"* WZ.exe\r\n<!--\r\n", false},
        {"<!--\r\n* WZ.exe \r\n", false},
        {"<!--\r\n* wz.exe\r\n", false},
        {"* WZ.exe", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hasMarkerLine(documentOf(c.bytes)), c.ours) << c.bytes.toStdString();
    }
}

TEST(Utility, FileExistsOnlyForRegularFiles) {
    TempDir dir;
    const QString file = dir.file("here.gif", "GIF89a");
    EXPECT_TRUE(fileExists(file));
    EXPECT_FALSE(fileExists(QString()));
    EXPECT_FALSE(fileExists(dir.root()));
    EXPECT_FALSE(fileExists(dir.path("absent.gif")));
    ASSERT_TRUE(QFile::link(dir.path("absent.gif"), dir.path("dangling.gif")));
    EXPECT_FALSE(fileExists(dir.path("dangling.gif")));

    // A bare name resolves against the current folder.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.root()));
    EXPECT_TRUE(fileExists(QStringLiteral("here.gif")));
    QDir::setCurrent(previous);
}

TEST(Utility, ScreenColours) {
    EXPECT_EQ(screenColourOf("Silver"), 12632256u);
    EXPECT_EQ(screenColourOf("Black"), 0u);
    EXPECT_EQ(screenColourOf("Red"), 0x0000FFu);  // red in the low byte
    EXPECT_EQ(screenColourOf("Navy"), 0x800000u);
    EXPECT_EQ(screenColourOf("Grey"), 0x808080u);
    EXPECT_EQ(screenColourOf(""), 0u);
}

}  // namespace
}  // namespace tessivane
