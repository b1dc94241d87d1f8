// SPDX-License-Identifier: MIT
// Using a template for a folder and undoing it, on a plain folder and on the volumes Windows
// reads where this machine can mount them; refusals and failures leave the folder as it was.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <functional>
#include <map>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "document/desktop_ini.h"
#include "document/reader.h"
#include "document/writer.h"
#include "storage/file_services.h"
#include "storage/folder_transaction.h"
#include "storage/folder_use.h"
#include "storage/windows_files.h"
#include "support/processes.h"
#include "support/temp_dir.h"

namespace tessivane {
namespace {

using Kind = FolderUseError::Kind;
using test::readBytes;
using test::writeBytes;

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// The attributes as the volume reports them, read here without the program's own code: NTFS's
// extended attribute, or FAT's ioctl; -1 where the volume keeps none.
long long attributesOf(const QString& path) {
    const int fd = ::open(native(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
    unsigned char be[4];
    std::uint32_t fat = 0;
    long long bits = -1;
    if (::fgetxattr(fd, "system.ntfs_attrib_be", be, 4) == 4) {
        bits = std::uint32_t(be[0]) << 24 | std::uint32_t(be[1]) << 16 | be[2] << 8 | be[3];
    } else if (::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &fat) == 0) {
        bits = fat;
    }
    ::close(fd);
    return bits;
}

// Adds attribute bits as Windows would, without the program's own code.
bool addAttributes(const QString& path, unsigned bits) {
    const std::uint32_t now = std::uint32_t(attributesOf(path)) | bits;
    const unsigned char be[4] = {0, 0, 0, static_cast<unsigned char>(now)};
    const int fd = ::open(native(path).constData(), O_RDONLY | O_NONBLOCK);
    const bool done = ::fsetxattr(fd, "system.ntfs_attrib_be", be, 4, 0) == 0 ||
                      ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &now) == 0;
    ::close(fd);
    return done;
}

bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A volume made in an image file and mounted in a scratch folder ("ntfs" through ntfs-3g, "vfat"
// through the kernel), or the scratch folder itself ("plain"). Why it cannot be had, otherwise.
class Volume {
public:
    explicit Volume(const QString& kind) : root_(dir_.path("mount")) {
        if (kind == "plain") {
            root_ = dir_.root();
            return;
        }
        const QString image = dir_.path("image");
        const QString make = kind == "ntfs" ? "mkntfs" : "mkfs.vfat";
        QDir().mkdir(root_);
        if (!test::runningAsRoot()) {
            why_ = "mounting a volume needs root";
        } else if (QStandardPaths::findExecutable(make, {"/sbin", "/usr/sbin", "/usr/bin"})
                       .isEmpty()) {
            why_ = make + " is not installed";
        } else if (kind == "ntfs" && ::access("/dev/fuse", R_OK | W_OK) != 0) {
            why_ = "/dev/fuse cannot be used here";
        } else if (!QFile(image).open(QIODevice::WriteOnly) || !QFile::resize(image, 16 << 20) ||
                   !run(make, kind == "ntfs" ? QStringList{"-F", "-Q", "-q", image}
                                             : QStringList{image})) {
            why_ = make + " failed";
        } else if (!(kind == "ntfs" ? run("ntfs-3g", {image, root_})
                                    : run("mount", {"-t", "vfat", "-o", "loop", image, root_}))) {
            why_ = "a " + kind + " volume does not mount here";
        } else {
            mounted_ = true;
        }
    }
    ~Volume() {
        if (mounted_) {
            run("umount", {root_});
        }
    }
    QString why() const { return why_; }
    QString path(const QString& name) const { return root_ + '/' + name; }

private:
    test::TempDir dir_;
    QString root_;
    QString why_;
    bool mounted_ = false;
};

// Every entry of the folder and the folder itself ("."), with its content and attributes.
std::map<std::string, std::pair<std::string, long long>> snapshot(const QString& folder) {
    std::map<std::string, std::pair<std::string, long long>> entries{
        {".", {"", attributesOf(folder)}}};
    for (const QString& name : test::folderEntries(folder)) {
        const QFileInfo entry(folder + '/' + name);
        entries[name.toStdString()] = {(entry.isSymLink() ? "link " + native(entry.symLinkTarget())
                                                          : readBytes(entry.filePath()))
                                           .toStdString(),
                                       attributesOf(entry.filePath())};
    }
    return entries;
}

class OnVolume : public ::testing::TestWithParam<const char*> {};

// A fresh folder, and one as Windows leaves it (read-only, with a hidden system desktop.ini in
// UTF-16 holding other keys): the use writes the template, marks the folder read-only and both
// files hidden and system where the volume keeps attributes, edits the existing desktop.ini
// rather than adding a second; saving the template again keeps its attributes; undoing the use
// gives back every byte and attribute.
TEST_P(OnVolume, UseIsMarkedWhereTheVolumeKeepsAttributesAndUndoneWhole) {
    const Volume volume(GetParam());
    if (!volume.why().isEmpty()) {
        GTEST_SKIP() << qPrintable(volume.why());
    }
    const QString fresh = volume.path("fresh"), used = volume.path("windows");
    ASSERT_TRUE(QDir().mkdir(fresh) && QDir().mkdir(used));
    ASSERT_TRUE(writeBytes(used + "/desktop.ini", QByteArray("\xFF\xFE[\0]\0\r\0\n\0", 10)));
    const bool keeps = attributesOf(fresh) >= 0;
    if (keeps) {
        ASSERT_TRUE(addAttributes(used, attributes::kReadOnly));
        ASSERT_TRUE(
            addAttributes(used + "/desktop.ini", attributes::kHidden | attributes::kSystem));
    }
    const WorkingDocument document = WorkingDocument::fromTemplate();
    for (const QString& folder : {fresh, used}) {
        SCOPED_TRACE(folder.toStdString());
        const auto before = snapshot(folder);
        const FolderUseResult result = useForFolder(document, folder, kFolderTemplateName);
        ASSERT_FALSE(result.error) << qPrintable(result.error.reason);
        EXPECT_EQ(result.keepsAttributes, keeps);
        const QString ini = folder + (folder == fresh ? "/Desktop.ini" : "/desktop.ini");
        const QString htt = folder + "/Folder.htt";
        EXPECT_EQ(test::folderEntries(folder).size(), 2);
        EXPECT_EQ(readBytes(htt).toStdString(), document.toBytes());
        EXPECT_TRUE(recordedFolderUse(readBytes(ini).toStdString()));
        if (keeps) {
            EXPECT_EQ(attributesOf(folder) & 0x7, attributes::kReadOnly);
            EXPECT_EQ(attributesOf(ini) & 0x7, attributes::kHidden | attributes::kSystem);
            ASSERT_FALSE(saveDocument(document, htt));
            EXPECT_EQ(attributesOf(htt) & 0x7, attributes::kHidden | attributes::kSystem);
        }
        const FolderUseResult undone = undoFolderUse(folder);
        ASSERT_FALSE(undone.error) << qPrintable(undone.error.reason);
        EXPECT_EQ(snapshot(folder), before);
    }
    // A file Windows marks read-only is neither replaced nor saved over, as a file of mode 0444
    // is not.
    for (const QString name : {"/Desktop.ini", "/Folder.htt"}) {
        const QString folder = volume.path(name.mid(1, 3));
        ASSERT_TRUE(QDir().mkdir(folder) && writeBytes(folder + name, test::templateBytes()));
        if (keeps && addAttributes(folder + name, attributes::kReadOnly)) {
            const auto before = snapshot(folder);
            EXPECT_EQ(useForFolder(document, folder, kFolderTemplateName, ExistingTemplate::Replace)
                          .error.kind,
                      name == "/Desktop.ini" ? Kind::IniNotUsable : Kind::TemplateInTheWay);
            EXPECT_EQ(saveDocument(document, folder + name).kind, FileError::Kind::NotWritable);
            EXPECT_EQ(snapshot(folder), before);
        }
    }
}

// A folder given only a look (a comment the ASCII file cannot hold, an icon and a list picture
// from elsewhere, a colour), then the page beside it: Desktop.ini gets the keys, the files come
// in, and undoing gives back every byte and attribute, the file's ASCII form included.
TEST_P(OnVolume, ALookAloneOrBesideThePageIsUndoneWhole) {
    const Volume volume(GetParam());
    if (!volume.why().isEmpty()) {
        GTEST_SKIP() << qPrintable(volume.why());
    }
    const QString folder = volume.path("looked"), art = volume.path("art");
    ASSERT_TRUE(QDir().mkdir(folder) && QDir().mkdir(art));
    ASSERT_TRUE(writeBytes(folder + "/desktop.ini", "[.ShellClassInfo]\r\nInfoTip=old\r\n"));
    writeBytes(art + "/sea.ico", "ICO");
    writeBytes(art + "/back.gif", test::kGif);
    const auto before = snapshot(folder);
    FolderUseRequest request;
    request.look = {"Fotos vom Meer \xE2\x80\x93 2026", art.toStdString() + "/sea.ico", "0",
                    art.toStdString() + "/back.gif", "0x00800000"};
    const FolderUseResult looked = useForFolder(folder, request);
    ASSERT_FALSE(looked.error) << qPrintable(looked.error.reason);
    const QByteArray ini = readBytes(folder + "/desktop.ini");
    EXPECT_TRUE(ini.startsWith("\xFF\xFE"));
    const FolderLook shown = folderLookIn(ini.toStdString());
    EXPECT_EQ(shown.comment, request.look.comment);
    EXPECT_EQ(shown.iconFile, "sea.ico");
    EXPECT_EQ(shown.listPicture, "back.gif");
    EXPECT_EQ(readBytes(folder + "/back.gif"), test::kGif);
    if (attributesOf(folder) >= 0) {
        EXPECT_EQ(attributesOf(folder + "/sea.ico") & 0x6,
                  attributes::kHidden | attributes::kSystem);
    }
    const WorkingDocument document = WorkingDocument::fromTemplate();
    request.page = &document;
    request.look = {};
    request.keepEarlierLook = true;
    const FolderUseResult paged = useForFolder(folder, request);
    ASSERT_FALSE(paged.error) << qPrintable(paged.error.path + ": " + paged.error.reason);
    EXPECT_EQ(folderLookIn(readBytes(folder + "/desktop.ini").toStdString()), shown);
    ASSERT_FALSE(undoFolderUse(folder).error);
    EXPECT_EQ(snapshot(folder), before);
}

INSTANTIATE_TEST_SUITE_P(Volumes, OnVolume, ::testing::Values("plain", "ntfs", "vfat"));

// Each case prepares a folder, then uses the template for it (or undoes a use) as this user,
// as an ordinary user ("nobody") or under a file size limit ("full"). Whatever is refused or
// fails, the folder keeps every entry, byte and mode it had.
TEST(FolderUse, RefusalsAndFailuresLeaveTheFolderAsItWas) {
    test::TempDir dir;
    ASSERT_EQ(::chmod(native(dir.root()).constData(), 0755), 0);
    const WorkingDocument document = WorkingDocument::fromTemplate();
    const auto use = [&](const QString& folder, const QString& name = kFolderTemplateName) {
        return useForFolder(document, folder, name).error.kind;
    };
    const auto file = [](const QString& path, const QByteArray& bytes) { writeBytes(path, bytes); };
    const struct {
        const char* name;
        std::function<void(const QString&)> prepare;
        const char* as;
        bool undo;
        Kind kind;
    } cases[] = {
        {"missing folder", [](const QString& f) { QDir(f).removeRecursively(); }, "", false,
         Kind::BadFolder},
        {"link out of the folder",
         [&](const QString& f) {
             QFile::link(dir.file("outside.ini", "[A]\r\n"), f + "/Desktop.ini");
         },
         "", false, Kind::IniNotUsable},
        {"Desktop.ini a folder", [](const QString& f) { QDir(f).mkdir("DESKTOP.INI"); }, "", false,
         Kind::IniNotUsable},
        {"binary Desktop.ini",
         [&](const QString& f) { file(f + "/Desktop.ini", QByteArray("[A]\0", 4)); }, "", false,
         Kind::IniNotUsable},
        {"a foreign Folder.htt", [&](const QString& f) { file(f + "/folder.htt", "<html>\r\n"); },
         "", false, Kind::TemplateInTheWay},
        {"another template in use", [&](const QString& f) { use(f, "Other.htt"); }, "", false,
         Kind::OtherTemplate},
        {"folder not writable", [](const QString& f) { ::chmod(native(f).constData(), 0555); },
         "nobody", false, Kind::Failed},
        {"disk full at Desktop.ini",
         [&](const QString& f) { file(f + "/Desktop.ini", "[A]\r\n" + QByteArray(100000, ';')); },
         "full", false, Kind::Failed},
        {"nothing to undo", [&](const QString& f) { file(f + "/Desktop.ini", "[A]\r\n"); }, "",
         true, Kind::NothingToUndo},
        {"undo where nothing may be written",
         [&](const QString& f) {
             use(f);
             ::chmod(native(f).constData(), 0555);
         },
         "nobody", true, Kind::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = dir.path(c.name);
        ASSERT_TRUE(QDir().mkdir(folder));
        c.prepare(folder);
        const auto before = snapshot(folder);
        const auto modeBefore = QFileInfo(folder).permissions();
        const int kind = test::inChildProcess([&] {
            if (std::string(c.as) == "nobody" && !test::becomeOrdinaryUser()) {
                return test::kNoOrdinaryUser;
            }
            if (std::string(c.as) == "full") {
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{50000, 50000};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            return int(c.undo ? undoFolderUse(folder).error.kind : use(folder));
        });
        EXPECT_EQ(kind, int(c.kind));
        EXPECT_EQ(snapshot(folder), before);
        EXPECT_EQ(QFileInfo(folder).permissions(), modeBefore);
        ::chmod(native(folder).constData(), 0755);  // so that the scratch folder can go
    }
}

// A template changed since the use is kept and named; the rest of the use is undone.
TEST(FolderUse, UndoKeepsATemplateChangedSince) {
    test::TempDir dir;
    const WorkingDocument document = WorkingDocument::fromTemplate();
    ASSERT_FALSE(useForFolder(document, dir.root(), "Mine.htt").error);
    const QString htt = dir.path("Mine.htt");
    ASSERT_TRUE(writeBytes(htt, readBytes(htt) + "<!-- mine -->\r\n"));
    const FolderUseResult undone = undoFolderUse(dir.root());
    EXPECT_FALSE(undone.error);
    EXPECT_EQ(undone.keptTemplate, htt);
    EXPECT_EQ(test::folderEntries(dir.root()), QStringList{"Mine.htt"});
}

// The point of a change at which the process stops itself, and how.
int stopAt = 0;
int stopWith = 0;
void stopHere(int point) {
    if (point == stopAt) {
        ::raise(stopWith);
    }
}

// What a child reports: the change ran to its end without reaching the point to stop at.
constexpr int kRanThrough = 50;

// A fresh folder, and one as Windows and a user leave it: a UTF-16 desktop.ini of its own, and a
// page of Tessivane's at Folder.htt that another folder shares through a hard link, which the use
// replaces and keeps. The use (or, in a folder already used, the undoing) is killed, or signalled
// with SIGTERM, at each point in turn, and then at each point of rolling back that change; the
// next undoing always gives back the folder as it was before any use, byte for byte, and the
// shared page is never written through. A signal before the commit ends with the folder as it
// was; one that comes after leaves the change complete.
TEST(FolderUse, AKillOrSignalAtAnyPointLeavesAFolderThatUndoGivesBack) {
    test::TempDir dir;
    const WorkingDocument document = WorkingDocument::fromTemplate();
    const QByteArray page = test::templateBytes({{8, "<!-- mine -->"}});
    const QString shared = dir.file("shared.htt", page);
    const auto prepare = [&](const QString& folder, bool windows, bool used) {
        QDir(folder).removeRecursively();
        QDir().mkdir(folder);
        if (windows) {
            writeBytes(folder + "/desktop.ini", QByteArray("\xFF\xFE[\0A\0]\0\r\0\n\0", 12));
            ::link(native(shared).constData(), native(folder + "/Folder.htt").constData());
        }
        return !used ||
               !useForFolder(document, folder, kFolderTemplateName, ExistingTemplate::Replace)
                    .error;
    };
    const auto change = [&](const QString& folder, bool used) {
        const FolderUseResult result =
            used ? undoFolderUse(folder)
                 : useForFolder(document, folder, kFolderTemplateName, ExistingTemplate::Replace);
        return result.error ? int(result.error.kind) : kRanThrough;
    };
    // Runs the change in a child that stops at the point; false when it ran through.
    const auto stopped = [&](const QString& folder, bool used, int signal, int point) {
        const int status = test::inChildProcess([&] {
            stopAt = point;
            stopWith = signal;
            folderChangeCheckpoint = stopHere;
            const int kind = change(folder, used);
            return kind == kRanThrough && point > 0 ? kRanThrough + 1 : kind;
        });
        if (signal == SIGTERM) {  // held back: the change ends undone, or complete
            EXPECT_TRUE(status == int(Kind::Stopped) || status == kRanThrough + 1) << status;
        }
        return status != kRanThrough + 1 || signal == SIGTERM;
    };
    for (const bool windows : {false, true}) {
        for (const bool used : {false, true}) {
            for (const int signal : {SIGKILL, SIGTERM}) {
                const QString folder = dir.path("folder");
                ASSERT_TRUE(prepare(folder, windows, false));
                const auto before = snapshot(folder);
                int points = 0;
                for (int point = 1; points == 0; ++point) {
                    SCOPED_TRACE(testing::Message() << windows << used << signal << " " << point);
                    ASSERT_TRUE(prepare(folder, windows, used));
                    if (!stopped(folder, used, signal, point) ||
                        (signal == SIGTERM && point > 40)) {
                        points = point;
                    }
                    // Rolling the stopped change back is cut short at each point in turn too.
                    for (int again = 1; signal == SIGKILL && point == 3 && again < 8; ++again) {
                        stopped(folder, true, SIGKILL, again);
                    }
                    const FolderUseResult undone = undoFolderUse(folder);
                    EXPECT_TRUE(!undone.error || undone.error.kind == Kind::NothingToUndo)
                        << qPrintable(undone.error.reason);
                    EXPECT_EQ(snapshot(folder), before);
                    EXPECT_EQ(readBytes(shared), page);
                }
                EXPECT_GT(points, 5);
            }
        }
    }
}

// Desktop.ini and the page are found and trusted as Windows would and safely: each row is
// refused, and the folder, and the other folder sharing a hard link, keep every byte.
TEST(FolderUse, WhatWindowsWouldConfuseOrWhatIsSharedIsRefused) {
    test::TempDir dir;
    const WorkingDocument document = WorkingDocument::fromTemplate();
    const QString other = dir.path("other");
    QDir().mkdir(other);
    const struct {
        const char* name;
        std::function<void(const QString&)> prepare;
        Kind kind;
    } cases[] = {
        {"two Desktop.ini",
         [](const QString& f) {
             writeBytes(f + "/desktop.ini", "[A]\r\n");
             writeBytes(f + "/DESKTOP.INI", "[B]\r\n");
         },
         Kind::IniNotUsable},
        {"two templates",
         [](const QString& f) {
             writeBytes(f + "/folder.htt", test::templateBytes());
             writeBytes(f + "/FOLDER.HTT", test::templateBytes());
         },
         Kind::TemplateInTheWay},
        {"Desktop.ini linked into another folder",
         [&](const QString& f) {
             writeBytes(other + "/Desktop.ini", "[Other]\r\n");
             ::link(native(other + "/Desktop.ini").constData(),
                    native(f + "/Desktop.ini").constData());
         },
         Kind::IniNotUsable},
        {"Desktop.ini read-only",
         [](const QString& f) {
             writeBytes(f + "/Desktop.ini", "[A]\r\n");
             ::chmod(native(f + "/Desktop.ini").constData(), 0444);
         },
         Kind::IniNotUsable},
        {"a page of Tessivane's, not replaced unless asked",
         [](const QString& f) { writeBytes(f + "/Folder.htt", test::templateBytes()); },
         Kind::TemplateExists},
        {"Desktop.ini that the edit would grow too large",
         [](const QString& f) {
             writeBytes(f + "/Desktop.ini", "[A]\r\n" + QByteArray((1 << 20) - 10, ';'));
         },
         Kind::IniNotUsable},
        {"Desktop.ini too large",
         [](const QString& f) { writeBytes(f + "/Desktop.ini", QByteArray(2 << 20, ';')); },
         Kind::IniNotUsable},
        {"a record changed by hand",
         [&](const QString& f) {
             useForFolder(document, f, kFolderTemplateName);
             const QByteArray ini = readBytes(f + "/Desktop.ini");
             writeBytes(f + "/Desktop.ini", ini.left(ini.indexOf("\r\n")) + " was-P=x%0D%0A\r\n" +
                                                ini.mid(ini.indexOf("\r\n") + 2));
         },
         Kind::IniNotUsable},
        {"an unfinished change that is not whole",
         [](const QString& f) { writeBytes(f + "/" + kFolderJournalName, "state pending\n"); },
         Kind::Unsettled},
        {"an unfinished change of another user",
         [](const QString& f) {
             const std::string journal = "tessivane-folder-change 1\nstate pending\n";
             writeBytes(f + "/" + kFolderJournalName,
                        QByteArray::fromStdString(journal + "sha256 " + sha256Hex(journal) + "\n"));
             if (test::runningAsRoot()) {
                 ::chown(native(f + "/" + kFolderJournalName).constData(), 65534, 65534);
             } else {
                 ::chmod(native(f + "/" + kFolderJournalName).constData(), 0666);
             }
         },
         Kind::Unsettled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = dir.path(c.name);
        ASSERT_TRUE(QDir().mkdir(folder));
        c.prepare(folder);
        const auto before = snapshot(folder);
        const auto otherBefore = snapshot(other);
        EXPECT_EQ(useForFolder(document, folder, kFolderTemplateName).error.kind, c.kind);
        EXPECT_EQ(snapshot(folder), before);
        EXPECT_EQ(snapshot(other), otherBefore);
    }
}

// Using a folder again keeps what the user added to Desktop.ini since and still knows the page
// as its own; replacing a page keeps it, and undoing brings it back. A page without the marker
// line is never removed, whatever the record says its digest is.
TEST(FolderUse, UsingAgainAndReplacingKeepEverythingForUndo) {
    test::TempDir dir;
    const WorkingDocument document = WorkingDocument::fromTemplate();
    const QString folder = dir.root(), ini = dir.path("Desktop.ini");
    const QByteArray earlier = test::templateBytes({{8, "<!-- earlier -->"}});
    writeBytes(dir.path("Folder.htt"), earlier);
    const auto before = snapshot(folder);
    EXPECT_EQ(useForFolder(document, folder, kFolderTemplateName).error.kind, Kind::TemplateExists);
    const FolderUseResult used =
        useForFolder(document, folder, kFolderTemplateName, ExistingTemplate::Replace);
    ASSERT_FALSE(used.error);
    EXPECT_EQ(readBytes(used.keptAs), earlier);
    writeBytes(ini, readBytes(ini) + "[Mine]\r\nX=1\r\n");
    ASSERT_FALSE(useForFolder(document, folder, kFolderTemplateName).error);
    EXPECT_TRUE(readBytes(ini).contains("\r\n[Mine]\r\nX=1\r\n"));
    const FolderUseResult undone = undoFolderUse(folder);
    ASSERT_FALSE(undone.error);
    EXPECT_EQ(undone.restored, dir.path("Folder.htt"));
    EXPECT_EQ(readBytes(ini), "[Mine]\r\nX=1\r\n");
    QFile::remove(ini);
    EXPECT_EQ(snapshot(folder), before);

    // A forged record naming a hand-made page by its digest.
    QFile::remove(dir.path("Folder.htt"));
    ASSERT_FALSE(useForFolder(document, folder, kFolderTemplateName).error);
    const QByteArray handMade = "<html>mine</html>\r\n";
    writeBytes(dir.path("Folder.htt"), handMade);
    QByteArray record = readBytes(ini);
    const qsizetype digest = record.indexOf("sha256=") + 7;
    record.replace(digest, 64, QByteArray::fromStdString(sha256Hex(handMade.toStdString())));
    writeBytes(ini, record);
    EXPECT_FALSE(undoFolderUse(folder).error);
    EXPECT_EQ(readBytes(dir.path("Folder.htt")), handMade);
}

// Two changes of one folder at once: one template is used, and nothing else is left behind.
TEST(FolderUse, TwoChangesAtOnceLeaveOneUse) {
    test::TempDir dir;
    const WorkingDocument document = WorkingDocument::fromTemplate();
    for (int round = 0; round < 10; ++round) {
        const QString folder = dir.path(QString::number(round));
        QDir().mkdir(folder);
        const pid_t other = ::fork();
        if (other == 0) {
            ::_exit(int(useForFolder(document, folder, "A.htt").error.kind));
        }
        const Kind mine = useForFolder(document, folder, "B.htt").error.kind;
        int status = 0;
        ::waitpid(other, &status, 0);
        const Kind theirs = Kind(WEXITSTATUS(status));
        EXPECT_TRUE((mine == Kind::None) != (theirs == Kind::None));
        EXPECT_EQ(mine == Kind::None ? theirs : mine, Kind::OtherTemplate);
        EXPECT_EQ(test::folderEntries(folder).size(), 2)
            << test::folderEntries(folder).join(" ").toStdString();
    }
}

// The existence check and the chooser's names read a name as Windows does, the folder standing
// for %THISDIRPATH%: letter case aside (with a note), a drive or network path not checked (with a
// note), a missing path of this machine refused.
TEST(WindowsFiles, NamesAreFoundAsWindowsFindsThem) {
    test::TempDir dir;
    const QString folder = dir.path("Pics"), art = dir.path("art");
    QDir().mkpath(folder + "/Sub");
    QDir().mkpath(art);
    writeBytes(folder + "/panel.gif", test::kGif);
    writeBytes(folder + "/Sub/b.gif", test::kGif);
    writeBytes(art + "/a.gif", test::kGif);
    const struct {
        std::string value;
        QString folder;
        bool accepted;
        const char* note;
    } cases[] = {
        {"%THISDIRPATH%\\panel.gif", folder, true, ""},
        {"%THISDIRPATH%\\PANEL.GIF", folder, true, "in another letter case"},
        {"%thisdirpath%\\sub/B.gif", folder, true, "in another letter case"},
        {"panel.gif", folder, true, ""},
        {"%THISDIRPATH%\\panel.gif", "", true, "checked once the page has a folder"},
        {"C:\\windows\\media\\Nothing.wav", folder, true, "not checked on this machine"},
        {"\\\\server\\share\\a.gif", folder, true, "not checked on this machine"},
        {(art + "/a.gif").toStdString(), folder, true, ""},
        {"%THISDIRPATH%\\gone.gif", folder, false, ""},
        {(art + "/gone.gif").toStdString(), folder, false, ""},
        {"", folder, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        WindowsNameCheck check(c.folder);
        EXPECT_EQ(check(c.value), c.accepted);
        EXPECT_EQ(check.notes().join(' ').contains(c.note), true);
        EXPECT_EQ(check.notes().isEmpty(), std::string(c.note).empty());
    }
    EXPECT_EQ(pageNameFor(folder + "/Sub/b.gif", folder), "%THISDIRPATH%\\Sub\\b.gif");
    EXPECT_EQ(pageNameFor(art + "/a.gif", folder), art + "/a.gif");
    EXPECT_EQ(pageNameFor("C:\\x.gif", folder), "C:\\x.gif");
}

// What the page names outside the folder is copied in, once per file and under a name that takes
// no file's place, and the page names the copies as Windows finds them; undoing takes out
// exactly the copies still as copied, and gives the folder back byte for byte.
TEST(FolderUse, FilesThePageNamesAreBroughtInAndTakenOutExactly) {
    test::TempDir dir;
    const QString folder = dir.path("shown"), art = dir.path("my art");
    QDir().mkpath(folder);
    QDir().mkpath(art);
    writeBytes(art + "/Panel Ü.gif", test::kGif);
    writeBytes(art + "/s.wav", "RIFF mine");
    writeBytes(folder + "/s.wav", "RIFF the user's own");
    writeBytes(folder + "/here.gif", test::kGif);
    WorkingDocument document = WorkingDocument::fromTemplate();
    FolderViewSettings settings = readFolderViewSettings(document);
    const FolderViewSettings shown = settings;
    settings.backgroundImage = (art + "/Panel Ü.gif").toStdString();
    settings.lineImage =
        "%THISDIRPATH%\\panel ü.GIF";  // the same file, through the document's folder
    settings.soundFile = (art + "/s.wav").toStdString();
    ASSERT_TRUE(writeSettings(
                    document, settings, [](const std::string&) { return true; }, &shown)
                    .written());
    const auto before = snapshot(folder);

    const FolderUsePlan plan = planFolderUse(document, folder, kFolderTemplateName, art);
    EXPECT_EQ(plan.copies, (QStringList{"s (2).wav (from " + art + "/s.wav)",
                                        "Panel Ü.gif (from " + art + "/Panel Ü.gif)"}));
    const FolderUseResult used =
        useForFolder(document, folder, kFolderTemplateName, ExistingTemplate::Refuse, art);
    ASSERT_FALSE(used.error) << qPrintable(used.error.reason);
    EXPECT_EQ(used.copies, plan.copies);
    const QByteArray page = readBytes(folder + "/Folder.htt");
    EXPECT_TRUE(page.contains("URL(file://%THISDIRPATH%\\Panel Ü.gif)"));
    EXPECT_TRUE(page.contains("file://%THISDIRPATH%\\s (2).wav"));
    EXPECT_FALSE(page.contains(dir.root().toUtf8()));
    EXPECT_EQ(readBytes(folder + "/s (2).wav"), "RIFF mine");
    EXPECT_EQ(readBytes(folder + "/s.wav"), "RIFF the user's own");
    EXPECT_EQ(test::folderEntries(folder).size(), 6);

    // Using it again copies nothing more; a copy changed since stays when undoing.
    ASSERT_FALSE(
        useForFolder(document, folder, kFolderTemplateName, ExistingTemplate::Refuse, art).error);
    EXPECT_EQ(test::folderEntries(folder).size(), 6);
    writeBytes(folder + "/s (2).wav", "RIFF changed");
    const FolderUseResult undone = undoFolderUse(folder);
    ASSERT_FALSE(undone.error);
    EXPECT_EQ(undone.keptCopies, QStringList{folder + "/s (2).wav"});
    QFile::remove(folder + "/s (2).wav");
    EXPECT_EQ(snapshot(folder), before);

    // A name in the folder already is named so; a drive path stays, named as not checked.
    settings.backgroundImage = (folder + "/here.gif").toStdString();
    settings.lineImage = "C:\\line.gif";
    settings.soundFile = "C:\\s.wav";
    ASSERT_TRUE(writeSettings(
                    document, settings, [](const std::string&) { return true; }, &shown)
                    .written());
    const FolderUseResult portable = useForFolder(document, folder, kFolderTemplateName);
    EXPECT_TRUE(portable.copies.isEmpty());
    EXPECT_EQ(portable.unchecked, (QStringList{"C:\\s.wav", "C:\\line.gif"}));
    EXPECT_TRUE(readBytes(folder + "/Folder.htt").contains("URL(file://%THISDIRPATH%\\here.gif)"));
}

}  // namespace
}  // namespace tessivane
