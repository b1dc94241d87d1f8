// SPDX-License-Identifier: MIT
// File services against real files: what a save reaches and keeps, and every refused or failed
// save leaving the old file as it was.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <sys/syscall.h>

#include <functional>
#include <map>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "storage/file_services.h"
#include "support/processes.h"
#include "support/recovery_copy.h"
#include "support/temp_dir.h"

// The file services' calls to fsync, renameat, renameat2, unlinkat and copy_file_range come
// here, linked into this test program ahead of the C library's. While `recording` says so, each
// of the first four is written down as the call and the full path, a synced file with its content
// (a recovery copy's record shown as "+record"). `killAtSync` names a file whose sync ends the
// process with SIGKILL, and `killInCopy` ends it in the middle of the first copy_file_range.
namespace {
bool recording = false;
bool killInCopy = false;
QString killAtSync;
QStringList calls;

QString pathOf(int fd, const char* name = nullptr) {
    const QString path = QFile::symLinkTarget(QString("/proc/self/fd/%1").arg(fd));
    return name ? path + "/" + QFile::decodeName(name) : path;
}
}  // namespace

extern "C" int fsync(int fd) {
    QFile file(pathOf(fd));
    if (!killAtSync.isEmpty() && file.fileName() == killAtSync) {
        ::kill(::getpid(), SIGKILL);
    }
    if (recording && QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly)) {
        QByteArray content = file.readAll();
        if (const qsizetype record = content.indexOf("TSVCOPY1"); record >= 0) {
            content = content.left(record) + "+record";
        }
        calls << "sync " + file.fileName() + "=" + content.trimmed();
    }
    return int(::syscall(SYS_fsync, fd));
}
extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    if (recording) {
        calls << "rename " + pathOf(fromFolder, from) + " " + pathOf(toFolder, to);
    }
    return int(::syscall(SYS_renameat, fromFolder, from, toFolder, to));
}
extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                         unsigned flags) {
    if (recording) {
        calls << "rename " + pathOf(fromFolder, from) + " " + pathOf(toFolder, to);
    }
    return int(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, flags));
}
extern "C" int unlinkat(int folder, const char* name, int flags) {
    if (recording) {
        calls << "unlink " + pathOf(folder, name);
    }
    return int(::syscall(SYS_unlinkat, folder, name, flags));
}
extern "C" ssize_t copy_file_range(int from, __off64_t* fromAt, int to, __off64_t* toAt,
                                   std::size_t size, unsigned flags) {
    const ssize_t copied = ::syscall(SYS_copy_file_range, from, fromAt, to, toAt,
                                     killInCopy ? std::min<std::size_t>(size, 3) : size, flags);
    if (killInCopy) {
        ::kill(::getpid(), SIGKILL);
    }
    return copied;
}

namespace tessivane {

void PrintTo(const UntrustedCopy& copy, std::ostream* out) {
    *out << copy.path.toStdString() << ": " << copy.reason.toStdString();
}

namespace {

using test::asOrdinaryUser;
using test::folderEntries;
using test::inChildProcess;
using test::readBytes;
using test::TempDir;

WorkingDocument documentOf(const QByteArray& bytes) {
    return WorkingDocument::fromBytes(
        std::string_view(bytes.constData(), std::size_t(bytes.size())));
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

// What the files hold before a save: longer than the document saved.
const QByteArray kOld = "the old content, longer than the new";

// An access ACL in the kernel's form: the owner rw, user nobody r, the group r, mask r, others -.
const QByteArray kAccessAcl(
    "\x02\0\0\0\x01\0\x06\0\xFF\xFF\xFF\xFF\x02\0\x04\0\xFE\xFF\0\0"
    "\x04\0\x04\0\xFF\xFF\xFF\xFF\x10\0\x04\0\xFF\xFF\xFF\xFF"
    "\x20\0\0\0\xFF\xFF\xFF\xFF",
    44);

// Saving reaches the file the system finds at the path and keeps everything the file had but its
// content, or refuses and changes nothing. Each case prepares a folder with shell-like steps
// ("file N", "latin1 N" names it by its Latin-1 bytes, "dir N", "fifo N", "link TARGET N", "hard N
// N2", "mode OCTAL N", "owner N" gives N to nobody), saves "new" through a path as this user or,
// where root would pass a permission check, as an ordinary user ("user"), and lists what the
// files hold afterwards ("N=content"); every file that existed keeps its mode, owner, group and
// link count. "root" cases need root. A save in place leaves no recovery copy behind, nor any of
// the old content, which is longer than the new.
TEST(FileSave, ReachesTheFileReadKeepsEverythingItHadOrRefuses) {
    using Kind = FileError::Kind;
    const std::string not8 = "\xEF\xBF\xBDt\xEF\xBF\xBD.htt";  // as Qt shows "\xE9t\xE9.htt"
    const std::string longName(300, 'n'), not8File = "latin1 \xC3\xA9t\xC3\xA9.htt",
                                          ok8 = "ok\xEF\xBF\xBD.htt", ok8File = "file " + ok8,
                                          ok8New = ok8 + "=new";
    TempDir state;  // where a recovery copy goes when the folder may not be written
    ::chmod(QFile::encodeName(state.root()).constData(), 0777);
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.root()));
    const struct {
        const char *who, *steps, *path;
        Kind kind;
        const char* after;
    } cases[] = {
        // Hard links keep their content in step.
        {"", "file f;hard f g", "f", Kind::None, "f=new;g=new"},
        // A linked folder and ".." are resolved by the system, never as text.
        {"", "dir r;dir r/s;file r/f;file f;link r/s l", "l/../f", Kind::None, "r/f=new;f=old"},
        // A chain of links to a missing file creates the last; the links stay links.
        {"", "dir s;link b a;link s/c b", "a", Kind::None, "s/c=new;a=>;b=>"},
        {"", "file p;mode 600 p", "p", Kind::None, "p=new"},
        {"root", "file t;owner t;mode 640 t", "t", Kind::None, "t=new"},
        {"user", "dir d;file d/f;mode 666 d/f;mode 555 d", "d/f", Kind::None, "d/f=new"},
        {"", "file ro;mode 444 ro", "ro", Kind::NotWritable, "ro=old"},
        {"root user", "file t;mode 644 t", "t", Kind::NotWritable, "t=old"},
        {"", "dir d", "d", Kind::NotRegularFile, ""},
        {"", "fifo q", "q", Kind::NotRegularFile, ""},
        {"", "", "no/such/folder/x", Kind::Other, ""},
        {"", "", longName.c_str(), Kind::Other, ""},
        {"", not8File.c_str(), not8.c_str(), Kind::InvalidName, ""},
        {"", ok8File.c_str(), ok8.c_str(), Kind::None, ok8New.c_str()},  // valid UTF-8
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.steps) + " / " + c.path);
        if (QByteArray(c.who).contains("root") && !test::runningAsRoot()) {
            continue;  // only root can give a file to another owner
        }
        TempDir dir;
        ::chmod(QFile::encodeName(dir.root()).constData(), 0755);
        const auto at = [&](const QString& name) { return QFile::encodeName(dir.path(name)); };
        std::map<QString, struct stat> before;
        for (const QString& step : QString(c.steps).split(';', Qt::SkipEmptyParts)) {
            const QStringList w = step.split(' ');
            const QByteArray last = at(w.last());
            if (w[0] == "file") {
                dir.file(w[1], kOld);
            } else if (w[0] == "latin1") {
                ::close(::creat(QFile::encodeName(dir.root()) + "/" + w[1].toLatin1(), 0644));
            } else if (w[0] == "dir") {
                QDir().mkdir(dir.path(w[1]));
            } else if (w[0] == "fifo") {
                ::mkfifo(last, 0644);
            } else if (w[0] == "link") {
                ::symlink(QFile::encodeName(w[1]), last);
            } else if (w[0] == "hard") {
                ::link(at(w[1]), last);
            } else if (w[0] == "mode") {
                ::chmod(last, mode_t(w[1].toInt(nullptr, 8)));
            } else if (w[0] == "owner") {
                ::chown(last, 65534, 65534);
            }
        }
        for (const QString& expected : QString(c.after).split(';', Qt::SkipEmptyParts)) {
            before[expected.section('=', 0, 0)] = statOf(dir.path(expected.section('=', 0, 0)));
        }
        const QStringList entries = folderEntries(dir.root());
        const auto save = [&] {
            return int(saveDocument(documentOf("new"), dir.path(c.path)).kind);
        };
        const bool asUser = QByteArray(c.who).contains("user");
        EXPECT_EQ(Kind(asUser ? asOrdinaryUser(save) : save()), c.kind);
        for (const QString& expected : QString(c.after).split(';', Qt::SkipEmptyParts)) {
            const QString name = expected.section('=', 0, 0), content = expected.section('=', 1);
            const struct stat now = statOf(dir.path(name)), then = before[name];
            if (content == ">") {
                EXPECT_TRUE(S_ISLNK(now.st_mode)) << name.toStdString();
                continue;
            }
            EXPECT_EQ(readBytes(dir.path(name)), content == "new" ? "new\r\n" : kOld);
            if (then.st_nlink > 0) {
                EXPECT_EQ(std::tie(now.st_mode, now.st_uid, now.st_gid, now.st_nlink),
                          std::tie(then.st_mode, then.st_uid, then.st_gid, then.st_nlink));
            }
        }
        if (c.kind != Kind::None) {
            EXPECT_EQ(folderEntries(dir.root()), entries) << "a refusal left something";
        }
        EXPECT_TRUE(folderEntries(state.path("tessivane/recovery")).isEmpty());
        ::chmod(at("d"), 0755);
        ::unlink(QFile::encodeName(dir.root()) + "/\xE9t\xE9.htt");  // Qt cannot remove it
    }
    qunsetenv("XDG_STATE_HOME");
}

// The ACL and every extended attribute come along, where the file system keeps them.
TEST(FileSave, KeepsTheAclAndExtendedAttributes) {
    TempDir dir;
    const QString file = dir.file("f.htt", "old\r\n");
    const QByteArray native = QFile::encodeName(file);
    if (::setxattr(native, "user.tessivane", "kept", 4, 0) != 0 ||
        ::setxattr(native, "system.posix_acl_access", kAccessAcl.data(), kAccessAcl.size(), 0)) {
        GTEST_SKIP() << "this file system keeps no user attributes or ACLs";
    }
    const QByteArray aclBefore = attribute(file, "system.posix_acl_access");
    ASSERT_FALSE(saveDocument(documentOf("new\r\n"), file));
    EXPECT_EQ(readBytes(file), "new\r\n");
    EXPECT_EQ(attribute(file, "user.tessivane"), "kept");
    EXPECT_EQ(attribute(file, "system.posix_acl_access"), aclBefore);
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

// The new content is synced before it takes the old one's place; a save in place first syncs a
// recovery copy of the old content under a hidden name and only then gives it its name, beside
// the file or, where its folder may not be written, in the state folder, and removes it once the
// new content is synced.
TEST(FileSave, SyncsEachFileBeforeItTakesTheOldOnesPlace) {
    const struct {
        const char* steps;  // "hard": the file has another link; "locked": its folder is 0555
        QStringList calls;
    } cases[] = {
        {"", {"sync D/.tessivane-save-N=new", "rename D/.tessivane-save-N D/f.htt"}},
        {"hard",
         {"sync D/.tessivane-save-N=old+record",
          "rename D/.tessivane-save-N D/.f.htt.tessivane-recovery", "sync D/f.htt=new",
          "unlink D/.f.htt.tessivane-recovery"}},
        {"locked",
         {"sync S/tessivane/recovery/.tessivane-save-N=old+record",
          "rename S/tessivane/recovery/.tessivane-save-N S/tessivane/recovery/H-f.htt",
          "sync D/f.htt=new", "unlink S/tessivane/recovery/H-f.htt"}},
    };
    for (const auto& c : cases) {
        TempDir dir, state;
        const QString file = dir.file("f.htt", "old");
        ::chmod(QFile::encodeName(state.root()).constData(), 0777);
        ::chmod(QFile::encodeName(file).constData(), 0666);
        const bool locked = QString(c.steps) == "locked";
        ::chmod(QFile::encodeName(dir.root()).constData(), locked ? 0555 : 0755);
        if (QString(c.steps) == "hard") {
            ::link(QFile::encodeName(file), QFile::encodeName(dir.path("g.htt")));
        }
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.root()));
        // Answers in an exit status, since an ordinary user saves into the locked folder.
        const auto save = [&] {
            calls.clear();
            recording = true;
            const bool saved = !saveDocument(documentOf("new"), file);
            recording = false;
            calls.replaceInStrings(dir.root(), "D").replaceInStrings(state.root(), "S");
            calls.replaceInStrings(QRegularExpression("save-[0-9]+-[0-9]+"), "save-N");
            calls.replaceInStrings(QRegularExpression("/[0-9a-f]{16}-"), "/H-");
            if (!saved || calls != c.calls) {
                std::fprintf(stderr, "called:\n%s\n", qPrintable(calls.join('\n')));
                return 1;
            }
            return 0;
        };
        EXPECT_EQ(locked ? asOrdinaryUser(save) : save(), 0) << c.steps;
        EXPECT_EQ(readBytes(file), "new\r\n");
        ::chmod(QFile::encodeName(dir.root()).constData(), 0755);
    }
    qunsetenv("XDG_STATE_HOME");
}

// A recovery copy that a save cut short left is reported by loading and kept by every save until
// the user settles it: restored into the file in place (its other links too), removed, or saved
// over when a save is told to.
TEST(FileSave, RecoveryCopyIsKeptUntilSettled) {
    const struct {
        std::function<FileError(const QString&)> settle;
        QByteArray after;
    } cases[] = {
        {restoreRecoveryCopy, "before"},
        {discardRecoveryCopy, "mixed"},
        {[](const QString& path) {
             return saveDocument(documentOf("new"), path, RecoveryCopy::Discard);
         },
         "new\r\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const QString file = dir.file("f.htt", "mixed"),
                      copy = dir.path(".f.htt.tessivane-recovery");
        ::link(QFile::encodeName(file), QFile::encodeName(dir.path("g.htt")));
        test::plantRecoveryCopy(file, "before");
        EXPECT_EQ(loadDocument(file).recoveryCopy, copy);
        const FileError refused = saveDocument(documentOf("new"), file);
        EXPECT_EQ(std::pair(refused.kind, refused.reason),
                  std::pair(FileError::Kind::RecoveryCopyExists, copy));
        EXPECT_EQ(readBytes(file), "mixed");
        EXPECT_FALSE(c.settle(file));
        EXPECT_EQ(readBytes(file), c.after);
        EXPECT_EQ(readBytes(dir.path("g.htt")), c.after);
        EXPECT_EQ(folderEntries(dir.root()), (QStringList{"f.htt", "g.htt"}));
        EXPECT_TRUE(recoveryCopyOf(file).isEmpty());
    }
}

// A save in place killed while it writes its recovery copy leaves nothing under the copy's name,
// and the next save removes its hidden file. Killed once the copy has its name, it leaves a whole
// copy, here in the state folder (an untrusted file has the name beside the file), which is found
// and restored even when XDG_STATE_HOME differs the next time.
TEST(FileSave, KilledSaveLeavesOnlyWholeCopiesUnderTheirNames) {
    const QByteArray home = qgetenv("HOME");
    for (const bool copyNamed : {false, true}) {
        SCOPED_TRACE(copyNamed);
        TempDir dir, state, other;
        const QString file = dir.file("f.htt", kOld), beside = test::besideCopyName(file);
        ::link(QFile::encodeName(file), QFile::encodeName(dir.path("g.htt")));
        if (copyNamed) {
            dir.file(QFileInfo(beside).fileName(), "not a copy");
        }
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path(".local/state")));
        EXPECT_EQ(inChildProcess([&] {
                      killInCopy = !copyNamed;
                      killAtSync = copyNamed ? QFileInfo(file).canonicalFilePath() : QString();
                      saveDocument(documentOf("new"), file);
                      return 0;
                  }),
                  -1);
        qputenv("XDG_STATE_HOME", QFile::encodeName(other.root()));
        qputenv("HOME", QFile::encodeName(state.root()));
        const RecoveryCopies copies = recoveryCopiesOf(file);
        if (!copyNamed) {
            EXPECT_EQ(readBytes(file), kOld);
            EXPECT_FALSE(QFile::exists(beside));
            EXPECT_TRUE(copies.ours.isEmpty() && copies.untrusted.isEmpty());
            EXPECT_EQ(folderEntries(dir.root()).filter(".tessivane-save-").size(), 1);
            EXPECT_FALSE(saveDocument(documentOf("new"), file));
            EXPECT_EQ(folderEntries(dir.root()), (QStringList{"f.htt", "g.htt"}));
        } else {
            EXPECT_TRUE(copies.ours.startsWith(state.path(".local/state/tessivane/recovery/")));
            EXPECT_EQ(copies.untrusted,
                      (QList<UntrustedCopy>{{beside, "it is incomplete or no recovery copy"}}));
            EXPECT_FALSE(restoreRecoveryCopy(file));
            EXPECT_EQ(readBytes(dir.path("g.htt")), kOld);
            EXPECT_TRUE(folderEntries(state.path(".local/state/tessivane/recovery")).isEmpty());
        }
    }
    qputenv("HOME", home);
    qunsetenv("XDG_STATE_HOME");
}

// A file under a copy's name that is not a whole copy of the user's own, made from the very file,
// is named with why, never restored and never holds a save back: the save's copy goes to the
// state folder, and the untrusted file stays as it was. "root" cases need root.
TEST(FileSave, UntrustedCopiesAreNamedNeverUsedAndHoldNothingBack) {
    const auto write = [](const QString& path, const QByteArray& bytes) {
        test::writeBytes(path, bytes);
        ::chmod(QFile::encodeName(path).constData(), 0600);
    };
    const struct {
        const char *who, *reason;
        std::function<void(const QString& file, const QString& copy, const QByteArray& whole)> make;
    } cases[] = {
        {"root", "it belongs to another user",
         [&](auto, auto copy, auto whole) {
             write(copy, whole);
             ::chown(QFile::encodeName(copy).constData(), 65534, 65534);
         }},
        {"", "users other than its owner may change it",
         [&](auto, auto copy, auto whole) {
             write(copy, whole);
             ::chmod(QFile::encodeName(copy).constData(), 0620);
         }},
        {"", "it has more than one link",
         [&](auto, auto copy, auto whole) {
             write(copy, whole);
             ::link(QFile::encodeName(copy), QFile::encodeName(copy + ".also"));
         }},
        {"", "it is incomplete or no recovery copy",
         [&](auto, auto copy, auto whole) { write(copy, whole.chopped(1)); }},
        {"", "it is incomplete or no recovery copy",
         [&](auto, auto copy, auto) { write(copy, "before"); }},
        {"", "its content does not match its record",
         [&](auto, auto copy, auto whole) { write(copy, "X" + whole.mid(1)); }},
        {"", "it was made for another file",
         [&](auto file, auto copy, auto) {
             write(file + ".other", "");
             write(copy, test::recoveryCopyBytes("before", file + ".other"));
         }},
        {"", "it was made for another file",  // a file not made yet
         [&](auto file, auto copy, auto whole) {
             write(copy, whole);
             QFile::remove(file);
             QFile::remove(QFileInfo(file).path() + "/g.htt");
         }},
        {"", "it is not a regular file",
         [&](auto, auto copy, auto whole) {
             write(copy + ".real", whole);
             QFile::link(copy + ".real", copy);
         }},
    };
    TempDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.root()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        if (QByteArray(c.who) == "root" && !test::runningAsRoot()) {
            continue;  // only root can give a file to another owner
        }
        TempDir dir;
        const QString file = dir.file("f.htt", kOld), copy = test::besideCopyName(file);
        ::link(QFile::encodeName(file), QFile::encodeName(dir.path("g.htt")));
        c.make(file, copy, test::recoveryCopyBytes("before", file));
        const QByteArray planted = readBytes(copy), before = readBytes(file);
        const RecoveryCopies copies = recoveryCopiesOf(file);
        EXPECT_TRUE(copies.ours.isEmpty());
        EXPECT_EQ(copies.untrusted, (QList<UntrustedCopy>{{copy, c.reason}}));
        if (QFile::exists(file)) {
            EXPECT_EQ(loadDocument(file).untrustedCopies, copies.untrusted);
        }
        EXPECT_TRUE(restoreRecoveryCopy(file));
        EXPECT_EQ(readBytes(file), before);
        EXPECT_FALSE(saveDocument(documentOf("new"), file));
        EXPECT_EQ(readBytes(file), "new\r\n");
        EXPECT_EQ(readBytes(copy), planted);
        EXPECT_TRUE(folderEntries(state.path("tessivane/recovery")).isEmpty());
    }
    qunsetenv("XDG_STATE_HOME");
}

// Discarding removes every copy found, untrusted ones too, or fails naming the one that stays (a
// folder the user may not write), and a save told to discard then writes nothing.
TEST(FileSave, DiscardFailsNamingACopyThatStays) {
    TempDir dir;
    ::chmod(QFile::encodeName(dir.root()).constData(), 0755);
    const QString file = dir.file("f.htt", kOld);
    const QString copy = dir.file(".f.htt.tessivane-recovery", "not a copy");
    ::chmod(QFile::encodeName(file).constData(), 0666);  // whoever the ordinary user is
    ::chmod(QFile::encodeName(dir.root()).constData(), 0555);
    EXPECT_EQ(asOrdinaryUser([&] {
                  const FileError discarded = discardRecoveryCopy(file),
                                  saved =
                                      saveDocument(documentOf("new"), file, RecoveryCopy::Discard);
                  return discarded.reason.startsWith("the recovery copy '" + copy + "' stays: ") &&
                                 saved.reason == discarded.reason
                             ? 0
                             : 1;
              }),
              0);
    EXPECT_EQ(readBytes(file), kOld);
    ::chmod(QFile::encodeName(dir.root()).constData(), 0755);
    EXPECT_FALSE(discardRecoveryCopy(file));
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_TRUE(discardRecoveryCopy(file));  // nothing left to discard
}

// A new file gets the mode the user's umask leaves of 0666.
TEST(FileSave, NewFileTakesItsModeFromTheUmask) {
    for (const auto& [mask, mode] : {std::pair{022, 0644}, std::pair{077, 0600}}) {
        TempDir dir;
        EXPECT_EQ(inChildProcess([&] {
                      ::umask(mode_t(mask));
                      return saveDocument(documentOf("new"), dir.path("f.htt")) ? 1 : 0;
                  }),
                  0);
        EXPECT_EQ(statOf(dir.path("f.htt")).st_mode & 07777, mode_t(mode)) << mask;
    }
}

// Only regular files exist for the writer's checks; a bare name resolves in the current folder.
TEST(Utility, FileExistsOnlyForRegularFiles) {
    TempDir dir;
    ASSERT_TRUE(QFile::link(dir.path("absent.gif"), dir.path("dangling.gif")));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.root()));
    EXPECT_TRUE(fileExists(dir.file("here.gif", "GIF89a")) && fileExists("here.gif"));
    for (const QString& path :
         {QString(), dir.root(), dir.path("absent.gif"), QString("dangling.gif")}) {
        EXPECT_FALSE(fileExists(path)) << path.toStdString();
    }
    QDir::setCurrent(previous);
}

}  // namespace
}  // namespace tessivane
