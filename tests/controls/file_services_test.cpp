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
#include <map>

#include <QDir>
#include <QFile>
#include <QMap>

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
// besides its content. Each case prepares a folder with shell-like steps and names the path to
// save through; the save runs as this user or, where root would pass a permission check, as an
// ordinary user; afterwards the files hold what the case expects and keep their metadata.
TEST(FileSave, ReachesTheFileReadAndKeepsEverythingItHad) {
    const QByteArray kNot8 = "\xEF\xBF\xBDt\xEF\xBF\xBD.htt";  // how Qt shows "\xE9t\xE9.htt"
    const struct {
        const char* what;
        bool needsRoot, asOrdinaryUser;
        QStringList steps;  // "file NAME", "dir NAME", "link TARGET NAME", "hard NAME NAME",
                            // "mode OCTAL NAME", "owner NAME"
        QString path;       // saved through
        FileError::Kind kind;
        QMap<QString, QByteArray> after;  // file contents afterwards
        QStringList links;                // names that must still be symbolic links
    } cases[] = {
        {"hard links keep their content in step",
         false,
         false,
         {"file f.htt", "hard f.htt other.htt"},
         "f.htt",
         FileError::Kind::None,
         {{"f.htt", "new"}, {"other.htt", "new"}},
         {}},
        {"a linked folder and .. are resolved by the system",
         false,
         false,
         {"dir real", "dir real/sub", "file real/f.htt", "file f.htt", "link real/sub linkdir"},
         "linkdir/../f.htt",
         FileError::Kind::None,
         {{"real/f.htt", "new"}, {"f.htt", "old"}},
         {}},
        {"a chain of links to a missing file creates the last",
         false,
         false,
         {"dir sub", "link b.htt a.htt", "link sub/c.htt b.htt"},
         "a.htt",
         FileError::Kind::None,
         {{"sub/c.htt", "new"}},
         {"a.htt", "b.htt"}},
        {"a name that is not UTF-8 reaches no file",
         false,
         false,
         {"file " + kNot8},
         QString::fromUtf8(kNot8),
         FileError::Kind::InvalidName,
         {{kNot8, "old"}},
         {}},
        {"a private file stays private",
         false,
         false,
         {"file p.htt", "mode 600 p.htt"},
         "p.htt",
         FileError::Kind::None,
         {{"p.htt", "new"}},
         {}},
        {"another owner and group, as root",
         true,
         false,
         {"file theirs.htt", "owner theirs.htt", "mode 640 theirs.htt"},
         "theirs.htt",
         FileError::Kind::None,
         {{"theirs.htt", "new"}},
         {}},
        {"a writable file in a folder that may not be written",
         false,
         true,
         {"dir locked", "file locked/f.htt", "mode 666 locked/f.htt", "mode 555 locked"},
         "locked/f.htt",
         FileError::Kind::None,
         {{"locked/f.htt", "new"}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && !testing::runningAsRoot()) {
            continue;  // only root can give a file to another owner
        }
        TempDir dir;
        ::chmod(QFile::encodeName(dir.root()).constData(), 0755);
        const auto at = [&](const QString& name) { return QFile::encodeName(dir.path(name)); };
        for (const QString& step : c.steps) {
            const QStringList w = step.split(' ');
            if (w[0] == "file") {
                dir.file(w[1], "old");
            } else if (w[0] == "dir") {
                QDir().mkdir(dir.path(w[1]));
            } else if (w[0] == "link") {
                ::symlink(QFile::encodeName(w[1]).constData(), at(w[2]).constData());
            } else if (w[0] == "hard") {
                ::link(at(w[1]).constData(), at(w[2]).constData());
            } else if (w[0] == "mode") {
                ::chmod(at(w[2]).constData(), mode_t(w[1].toInt(nullptr, 8)));
            } else if (w[0] == "owner") {
                ::chown(at(w[1]).constData(), 65534, 65534);
            }
        }
        std::map<QString, struct stat> before;
        for (const QString& name : c.after.keys()) {
            before[name] = statOf(dir.path(name));
        }
        const QString target = dir.path(c.path);
        const auto save = [&] { return int(saveDocument(documentOf("new"), target).kind); };
        EXPECT_EQ(FileError::Kind(c.asOrdinaryUser ? asOrdinaryUser(save) : save()), c.kind);
        for (const auto& [name, bytes] : c.after.asKeyValueRange()) {
            EXPECT_EQ(readBytes(dir.path(name)), bytes == "new" ? "new\r\n" : bytes)
                << name.toStdString();
            const struct stat now = statOf(dir.path(name));
            if (before[name].st_nlink > 0) {  // the file existed: its metadata is kept
                EXPECT_EQ(std::tie(now.st_mode, now.st_uid, now.st_gid, now.st_nlink),
                          std::tie(before[name].st_mode, before[name].st_uid, before[name].st_gid,
                                   before[name].st_nlink))
                    << name.toStdString();
            }
        }
        for (const QString& link : c.links) {
            EXPECT_TRUE(S_ISLNK(statOf(dir.path(link)).st_mode)) << link.toStdString();
        }
        ::chmod(at("locked").constData(), 0755);
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

// A full disk (here a file size limit past 64 KiB) fails the save and leaves the old file byte for
// byte, whether the save replaces it by rename or, for a file with another hard link, in place.
TEST(FileSave, FullDiskLeavesTheOldFileIntact) {
    QByteArray old;
    for (int i = 0; i < 2000; ++i) {
        old += "the old file, line " + QByteArray::number(i) + "\r\n";
    }
    const WorkingDocument big(std::vector<std::string>(20000, std::string(100, 'x')),
                              TextEncoding::Utf8);
    for (const bool linked : {false, true}) {
        TempDir dir;
        const QString path = dir.file("full.htt", old);
        if (linked) {
            ASSERT_EQ(::link(QFile::encodeName(path), QFile::encodeName(dir.path("link.htt"))), 0);
        }
        EXPECT_EQ(inChildProcess([&] {
                      signal(SIGXFSZ, SIG_IGN);
                      const rlimit limit{64 * 1024, 64 * 1024};
                      setrlimit(RLIMIT_FSIZE, &limit);
                      const FileError error = saveDocument(big, path);
                      return error.kind == FileError::Kind::Other && !error.reason.isEmpty() ? 0
                                                                                             : 1;
                  }),
                  0);
        EXPECT_EQ(readBytes(path), old) << linked;
        EXPECT_EQ(folderEntries(dir.root()).size(), linked ? 2 : 1);
    }
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

}  // namespace
}  // namespace tessivane
