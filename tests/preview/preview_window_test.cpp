// SPDX-License-Identifier: MIT
// The preview window in an offscreen web view: the page follows the document's settings, the
// emulated file list and thumbnail feed the template's own scripts, the page stays contained, and
// a stopped renderer can be reloaded.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QTranslator>
#include <QUdpSocket>
#include <QUrl>
#include <QWebEngineUrlRequestInfo>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "document/core.h"
#include "preview/folder_listing.h"
#include "preview/folder_look.h"
#include "preview/named_files.h"
#include "preview/page_guard.h"
#include "preview/preview_window.h"
#include "protocol/preview_protocol.h"
#include "support/accessible.h"
#include "support/processes.h"
#include "support/pseudo_translation.h"
#include "support/temp_dir.h"

namespace tessivane {
namespace {

QByteArray documentFor(const FolderViewSettings& settings) {
    WorkingDocument document = WorkingDocument::fromTemplate();
    writeSettings(document, settings, [](auto&) { return true; });
    return QByteArray::fromStdString(document.toBytes());
}

QString fileUrl(const QString& path) {
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

class PreviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QImage(300, 200, QImage::Format_RGB32).save(folder_.path("picture.png"));
        folder_.file("big.txt", QByteArray(1234567, 'x'));
        folder_.file("n<i>otes.txt", "a few words\n");  // a name that is no markup
        QFile::setPermissions(folder_.file("readme.txt", "read me\n"), QFile::ReadOwner);
        settings_.description = "%THISDIRNAME% - holiday pictures";
        settings_.backgroundImage = folder_.file("paper.gif", test::kGif).toStdString();
        settings_.lineImage = folder_.file("rule.gif", test::kGif).toStdString();
        settings_.soundFile = folder_.file("chime.wav", "RIFF").toStdString();
        settings_.fontFace = "DejaVu Sans";
        settings_.infoSize = "9";
        settings_.titleSize = "14";
        window_.receiveFrame("title", "Holiday.htt");
        window_.receiveFrame("folder", folder_.root().toUtf8());
        window_.show();
        show(settings_);
    }

    // Sends the document and waits until the page is shown.
    void show(const QByteArray& document) {
        QSignalSpy shown(&window_, &PreviewWindow::pageShown);
        window_.receiveFrame("document", document);
        ASSERT_TRUE(shown.wait(20000));
    }
    void show(const FolderViewSettings& settings) { show(documentFor(settings)); }

    // Runs a script in the document's frame, or in the shell that holds it.
    QVariant js(const QString& script, bool inShell = false) {
        const QByteArray quoted = QJsonDocument(QJsonArray{script}).toJson(QJsonDocument::Compact);
        QVariant result;
        QEventLoop loop;
        window_.page()->runJavaScript(
            inShell ? script
                    : "document.getElementById('tessivane-document').contentWindow.eval(" +
                          QString::fromUtf8(quoted.mid(1, quoted.size() - 2)) + ")",
            [&](const QVariant& value) {
                result = value;
                loop.quit();
            });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        return result;
    }

    // Presses the mouse on a file's row, with the modifier keys that the event names.
    void clickFile(const QString& name, const QString& modifiers = {}) {
        js(QStringLiteral("[...document.querySelectorAll('#tessivane-list tbody tr')]"
                          ".find(r => r.cells[0].textContent == '%1')"
                          ".dispatchEvent(new MouseEvent('mousedown', {bubbles: true, %2}))")
               .arg(name, modifiers));
    }

    QString info() { return js(QStringLiteral("Info.innerHTML")).toString(); }

    std::map<std::string, std::string> outcomesOf(const QString& script, int count);

    test::TempDir folder_;
    FolderViewSettings settings_;
    PreviewWindow window_;
};

TEST_F(PreviewWindowTest, BodyFontFollowsTheSettings) {
    struct Case {
        std::string face, infoSize, titleSize;
        const char *fontSize, *lineHeight;
    };
    for (const Case& c : {Case{"DejaVu Sans", "9", "14", "12px", "18.6667px"},
                          Case{"DejaVu Serif", "12", "20", "16px", "26.6667px"}}) {
        settings_.fontFace = c.face;
        settings_.infoSize = c.infoSize;
        settings_.titleSize = c.titleSize;
        show(settings_);
        const QVariantList style = js("const s = getComputedStyle(document.body); [s.fontFamily, "
                                      "s.fontSize, s.lineHeight]")
                                       .toList();
        ASSERT_EQ(style.size(), 3);
        EXPECT_EQ(style[0].toString().toStdString(), '"' + c.face + '"');
        EXPECT_EQ(style[1].toString(), c.fontSize);
        EXPECT_EQ(style[2].toString(), c.lineHeight);
    }
}

TEST_F(PreviewWindowTest, PanelShowsTheChosenPicturesAndDescription) {
    EXPECT_TRUE(js("getComputedStyle(Panel).backgroundImage")
                    .toString()
                    .contains(fileUrl(folder_.path("paper.gif"))));
    const QVariantList line =
        js("const i = document.querySelector('p.LogoLine img'); [i.src, i.naturalWidth]").toList();
    ASSERT_EQ(line.size(), 2);
    EXPECT_EQ(line[0].toString(), fileUrl(folder_.path("rule.gif")));
    EXPECT_EQ(line[1].toInt(), 1);  // the picture loaded
    EXPECT_EQ(window_.windowTitle(), "Preview - Holiday.htt");
    // The description with the folder's name filled in, from a UTF-8 and from a Latin-1 file.
    settings_.description = "%THISDIRNAME% - caf\u00e9";
    const QByteArray utf8 = documentFor(settings_);
    for (const QByteArray& bytes : {utf8, QByteArray(utf8).replace("\xc3\xa9", "\xe9")}) {
        show(bytes);
        EXPECT_EQ(js("document.querySelector('#Panel p.Title').innerText.trim()").toString(),
                  QFileInfo(folder_.root()).fileName() + " - caf\u00e9");
    }
    // A folder's name is text, whatever it holds.
    QDir(folder_.root()).mkdir("<i>Pics&lt;");
    window_.receiveFrame("folder", folder_.path("<i>Pics&lt;").toUtf8());
    show(settings_);
    EXPECT_EQ(js("const t = document.querySelector('#Panel p.Title');"
                 "t.innerText.trim() + ' ' + t.querySelectorAll('i').length")
                  .toString()
                  .toStdString(),
              "<i>Pics&lt; - caf\u00e9 0");
}

TEST_F(PreviewWindowTest, StripNamesWhatIsMissing) {
    settings_.soundFile = "/nowhere/chime.wav";
    settings_.lineImage = "rule-missing.gif";
    show(settings_);
    EXPECT_TRUE(window_.stripText().startsWith(
        "Not found: /nowhere/chime.wav\nNot found: rule-missing.gif"));
    EXPECT_EQ(window_.stripText().count("Not found"), 2);
    window_.receiveFrame("folder", "/nowhere/at all");
    show(settings_);
    EXPECT_TRUE(window_.stripText().startsWith("The folder /nowhere/at all does not exist.\n"));

    show(QByteArray("<html><body>plain</body></html>"));
    EXPECT_TRUE(window_.stripText().contains("not a document Tessivane wrote"));
    EXPECT_EQ(js("document.body.innerText").toString(), "plain");
}

TEST_F(PreviewWindowTest, NarrowWindowShowsTheMiniBanner) {
    for (const auto& [width, banner, panel] :
         {std::tuple{390, "", "none"}, std::tuple{800, "none", ""}}) {
        window_.resize(width, 500);
        EXPECT_TRUE(QTest::qWaitFor([&] { return js("MiniBanner.style.display") == banner; }))
            << width;
        EXPECT_EQ(js("Panel.style.display").toString(), panel) << width;
    }
}

// One file's details; a new document keeps the selection and describes it again.
TEST_F(PreviewWindowTest, OneFileIsDescribedAndStaysSelected) {
    clickFile("big.txt");
    EXPECT_TRUE(info().contains(QRegularExpression(
        "^<b>big.txt</b><br>plain text document<br><br>Modified:<br>[^<]+<br><br>"
        "Size: 1,234,567&nbsp;bytes<br><br><a [^>]+>Attributes</a>:<br>\\(normal\\)$")))
        << info().toStdString();
    clickFile("readme.txt");
    EXPECT_TRUE(info().contains("Size: 8&nbsp;bytes"));
    EXPECT_TRUE(info().endsWith("Attributes</a>:<br>Read-only"));
    settings_.description = "changed";
    show(settings_);
    EXPECT_TRUE(info().startsWith("<b>readme.txt</b>"));
    EXPECT_EQ(js("document.querySelector('.tessivane-selected').cells[0].textContent").toString(),
              "readme.txt");
}

// The window's controls and then the page's file list, which the arrow keys move through.
TEST_F(PreviewWindowTest, ScreenReaderHearsEveryControlAndTheFileList) {
    EXPECT_EQ(test::expectSpeakableTabStops(&window_).join('|'),
              "Folder:|Choose folder…|Play sound|Folder page");
    js("const list = document.getElementById('tessivane-list'); list.focus();"
       "list.dispatchEvent(new KeyboardEvent('keydown', {key: 'ArrowDown'}))");
    EXPECT_EQ(
        js("const l = document.getElementById('tessivane-list'), r = document.getElementById("
           "l.getAttribute('aria-activedescendant'));"
           "[l.getAttribute('role'), l.getAttribute('aria-label'), l.getAttribute("
           "'aria-rowcount'), r.getAttribute('aria-rowindex'), r.getAttribute('aria-selected'),"
           "r.cells[0].getAttribute('role')].join(' ')")
            .toString(),
        "grid Files 8 2 true gridcell");
}

TEST_F(PreviewWindowTest, SeveralFilesAreCountedAndTotalled) {
    clickFile("big.txt");
    js("const list = document.getElementById('tessivane-list');"
       "for (let i = 0; i < 2; ++i) list.dispatchEvent(new KeyboardEvent('keydown', "
       "{key: 'ArrowDown', shiftKey: true}))");
    EXPECT_EQ(info(),
              "3 items selected.<br><br>Total File Size: 1,234,583&nbsp;bytes<br><br>"
              "big.txt<br>chime.wav<br>n&lt;i&gt;otes.txt<br>");
    clickFile("picture.png", "ctrlKey: true");
    EXPECT_TRUE(info().startsWith("4 items selected."));
    // Shift+click selects from the anchor, the last plain click, however often it is used.
    clickFile("chime.wav");
    clickFile("paper.gif", "shiftKey: true");
    EXPECT_TRUE(info().endsWith("<br>chime.wav<br>n&lt;i&gt;otes.txt<br>paper.gif<br>"));
    clickFile("big.txt", "shiftKey: true");
    EXPECT_TRUE(info().endsWith("<br>big.txt<br>chime.wav<br>")) << info().toStdString();
}

TEST_F(PreviewWindowTest, PictureGetsAThumbnail) {
    clickFile("picture.png");
    EXPECT_TRUE(QTest::qWaitFor([&] { return js("Thumbnail.haveThumbnail()").toBool(); }));
    EXPECT_EQ(js("Thumbnail.style.display").toString(), "");
    EXPECT_EQ(js("const p = Thumbnail.querySelector('img'); [p.width, p.height]").toList(),
              (QVariantList{160, 107}));
    clickFile("n<i>otes.txt");
    EXPECT_FALSE(js("Thumbnail.haveThumbnail()").toBool());
}

TEST_F(PreviewWindowTest, SoundPlaysTheSetNumberOfTimesWhenAsked) {
    // A tenth of a second of silence: 8 kHz, 8-bit mono.
    const QByteArray wave = QByteArray::fromHex(
                                "524946464403000057415645666d74201000000001000100"
                                "401f0000401f0000010008006461746120030000") +
                            QByteArray(800, '\x80');
    settings_.soundFile = folder_.file("chime.wav", wave).toStdString();
    settings_.loopCount = "3";
    show(settings_);
    js("window.plays = 0; const play = HTMLMediaElement.prototype.play;"
       "HTMLMediaElement.prototype.play = function () { ++plays; return play.call(this); }",
       true);
    window_.findChild<QCheckBox*>("previewPlaySound")->setChecked(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return js("plays", true) == 3; }));
    QTest::qWait(400);
    EXPECT_EQ(js("plays", true).toInt(), 3);
}

// Runs a script that fills window.outcomes with one entry for each key, and waits for them all.
std::map<std::string, std::string> PreviewWindowTest::outcomesOf(const QString& script, int count) {
    js("window.outcomes = {};"
       "window.note = (key, promise) => promise.then(() => 'read', () => 'refused')"
       "  .then(r => outcomes[key] = r);" +
       script);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return js("Object.keys(outcomes).length").toInt() == count; }));
    std::map<std::string, std::string> outcomes;
    const QVariantMap map = js("outcomes").toMap();
    for (auto it = map.begin(); it != map.end(); ++it)
        outcomes[it.key().toStdString()] = it.value().toString().toStdString();
    return outcomes;
}

// Names as a file manager orders them, whatever the locale.
TEST(FolderListingTest, SortsNaturally) {
    for (const QLocale& locale :
         {QLocale::c(), QLocale(QLocale::English), QLocale(QLocale::German)}) {
        QStringList names = {"file10", "File2", "file100", "file1", "b", "a10b", "a9b", "A"};
        sortNaturally(names, locale);
        EXPECT_EQ(names.join(' ').toStdString(), "A a9b a10b b file1 File2 file10 file100")
            << locale.name().toStdString();
    }
}

// The first batch is a screenful in page order, sent before the rest is sorted: folders first,
// then files, names that compare equal in the order the directory gives them, as a stable sort.
TEST(FolderListingTest, ListsTheFirstScreenfulInPageOrder) {
    test::TempDir dir;
    for (int i = 500; i >= 1; --i) {
        QFile(dir.path(QStringLiteral("f%1.txt").arg(i))).open(QIODevice::WriteOnly);
    }
    for (const char* name : {"F1.txt", "f01.txt", "F300.txt"}) {
        QFile(dir.path(name)).open(QIODevice::WriteOnly);
    }
    for (const char* name : {"b", "A10", "a9"}) {
        QDir().mkdir(dir.path(name));
    }
    const QDir::Filters hidden = QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    QStringList folders = QDir(dir.root()).entryList(QDir::Dirs | hidden, QDir::Unsorted);
    QStringList files = QDir(dir.root()).entryList(QDir::Files | hidden, QDir::Unsorted);
    sortNaturally(folders);
    sortNaturally(files);

    FolderLister lister;
    QSignalSpy listed(&lister, &FolderLister::listed);
    QSignalSpy finished(&lister, &FolderLister::finished);
    lister.list(dir.root());
    ASSERT_TRUE(finished.wait(20000));
    ASSERT_FALSE(listed.isEmpty());
    EXPECT_EQ(listed.first().first().toJsonArray().size(), 200);
    QStringList names;
    for (const QList<QVariant>& batch : std::as_const(listed)) {
        for (const QJsonValue& entry : batch.first().toJsonArray()) {
            names << entry.toArray().first().toString();
        }
    }
    EXPECT_EQ(names.join(u'|').toStdString(), (folders + files).join(u'|').toStdString());
}

// Pictures and sounds named without a folder, which the page writes as "file://NAME" or "NAME",
// are the folder's; what is found nowhere is named in the strip.
TEST_F(PreviewWindowTest, NamesWithoutAFolderAreFoundInIt) {
    settings_.backgroundImage = "Paper.gif";  // the page's "file://Paper.gif": no host
    folder_.file("Paper.gif", test::kGif);
    settings_.lineImage = "rule.gif";
    settings_.soundFile = "nowhere.wav";
    show(settings_);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return js("const i = new Image(); i.src = getComputedStyle(Panel).backgroundImage"
                  ".slice(5, -2); document.body.append(i); i.complete && i.naturalWidth")
                   .toInt() == 1;
    }));
    EXPECT_EQ(js("document.querySelector('p.LogoLine img').naturalWidth").toInt(), 1);
    EXPECT_EQ(window_.stripText().section(QLatin1Char(10), 0, 0), "Not found: nowhere.wav");
    EXPECT_FALSE(window_.stripText().contains("Paper") || window_.stripText().contains("rule"));
}

// Each form of name as Windows reads it when it shows the folder: below the folder, letter case
// aside; a path of this machine only inside it; a place on the Windows machine not at all.
TEST(NamedFilesTest, FoundAsWindowsFindsThem) {
    test::TempDir base;
    QDir(base.root()).mkpath("Pics/art");
    QDir(base.root()).mkpath("Pics-2");
    QDir(base.root()).mkpath("elsewhere");
    base.file("Pics/panel.gif", test::kGif);
    base.file("Pics/art/Line.gif", test::kGif);
    base.file("Pics-2/x.gif", test::kGif);
    base.file("elsewhere/out.gif", test::kGif);
    QFile::link(base.path("elsewhere/out.gif"), base.path("Pics/link.gif"));
    const QString folder = base.path("Pics");
    using Outcome = NamedFile::Outcome;
    struct Case {
        QString name;
        Outcome outcome;
        const char* real;  // below the base, for a file found
    };
    for (const Case& c : {
             Case{"%THISDIRPATH%\\panel.gif", Outcome::Found, "Pics/panel.gif"},
             Case{"%THISDIRPATH%\\PANEL.GIF", Outcome::Found, "Pics/panel.gif"},
             Case{"file://%thisdirpath%/ART\\line.GIF", Outcome::Found, "Pics/art/Line.gif"},
             Case{"Panel.Gif", Outcome::Found, "Pics/panel.gif"},
             Case{"file://art/../panel.gif", Outcome::Found, "Pics/panel.gif"},
             Case{base.path("Pics/ART/line.gif"), Outcome::Found, "Pics/art/Line.gif"},
             Case{base.path("Pics/../Pics/panel.gif"), Outcome::Found, "Pics/panel.gif"},
             Case{base.path("elsewhere/out.gif"), Outcome::OnlyHere, ""},
             Case{"file://" + base.path("Pics-2/x.gif"), Outcome::OnlyHere, ""},
             Case{"%THISDIRPATH%\\link.gif", Outcome::OnlyHere, ""},
             Case{"..\\elsewhere\\out.gif", Outcome::NotChecked, ""},
             Case{"C:\\art\\panel.gif", Outcome::NotChecked, ""},
             Case{"\\\\server\\share\\panel.gif", Outcome::NotChecked, ""},
             Case{"http://127.0.0.1/panel.gif", Outcome::NotChecked, ""},
             Case{"%THISDIRPATH%\\missing.gif", Outcome::Missing, ""},
             Case{"%THISDIRPATH%\\art", Outcome::Missing, ""},
             Case{base.path("elsewhere/none.gif"), Outcome::Missing, ""},
             Case{"", Outcome::Missing, ""},
         }) {
        const NamedFile found = findNamedFile(c.name, folder);
        EXPECT_EQ(int(found.outcome), int(c.outcome)) << c.name.toStdString();
        EXPECT_EQ(found.real, *c.real ? QFileInfo(base.path(c.real)).canonicalFilePath() : "")
            << c.name.toStdString();
    }
}

// The page draws what Windows would find and nothing else; the strip names the rest.
TEST_F(PreviewWindowTest, PageDrawsWhatWindowsFinds) {
    folder_.file("panel.gif", test::kGif);
    test::TempDir elsewhere;
    const QString outside = elsewhere.file("panel.gif", test::kGif);
    struct Case {
        QString name;
        bool drawn;
        QString notice;
    };
    for (const Case& c : {
             Case{"%THISDIRPATH%\\panel.gif", true, ""},
             Case{"%THISDIRPATH%\\PANEL.GIF", true, ""},
             Case{outside, false,
                  "'" + outside + "': found only on this machine; Use for Folder copies it in"},
             Case{"C:\\art\\panel.gif", false, "'C:\\art\\panel.gif': not checked on this machine"},
         }) {
        SCOPED_TRACE(c.name.toStdString());
        settings_.backgroundImage = settings_.lineImage = c.name.toStdString();
        show(settings_);
        QStringList notices = window_.stripText().split(u'\n', Qt::SkipEmptyParts);
        notices.removeIf([](const QString& n) { return n.startsWith("Running as root"); });
        EXPECT_EQ(notices.join(u'\n'), c.notice);
        const QString panel = js("getComputedStyle(Panel).backgroundImage").toString();
        const QString line = js("document.querySelector('p.LogoLine img').src").toString();
        if (c.drawn) {
            const QString url = fileUrl(folder_.path("panel.gif"));
            EXPECT_EQ(panel, "url(\"" + url + "\")");
            EXPECT_EQ(line, url);
            EXPECT_TRUE(QTest::qWaitFor([&] {
                return js("const i = new Image(); i.src = getComputedStyle(Panel).backgroundImage"
                          ".slice(5, -2); document.body.append(i); i.complete && i.naturalWidth")
                               .toInt() == 1 &&
                       js("document.querySelector('p.LogoLine img').naturalWidth").toInt() == 1;
            }));
        } else {
            EXPECT_EQ(panel, "none");
            EXPECT_EQ(js("const i = document.querySelector('p.LogoLine img');"
                         "i.getAttribute('src') + i.naturalWidth")
                          .toString(),
                      "0");
        }
    }
    // However the page asks for the file Windows would not find, it gets no picture.
    EXPECT_EQ(outcomesOf("note('outside', new Promise((ok, no) => { const i = new Image();"
                         "  i.onload = ok; i.onerror = no; i.src = '" +
                             fileUrl(outside) + "'; }))",
                         1)
                  .at("outside"),
              "refused");
}

// A Desktop.ini written while the folder is shown: its list picture behind the rows, its colour
// on the names of the rows not selected, its comment as text and its icon in the folder box.
TEST_F(PreviewWindowTest, FolderLookIsShown) {
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(Qt::green);
    QDir(folder_.root()).mkdir("art");  // below the folder: served only as the list picture
    tile.save(folder_.path("art/Tile.png"));
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::blue);
    icon.save(folder_.path("folder.ico"), "ICO");
    folder_.file("desktop.INI",
                 "[.ShellClassInfo]\r\nInfoTip=Summer <b>pictures</b> & more\r\n"
                 "IconFile=FOLDER.ico\r\nIconIndex=0\r\n"
                 "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\nIconArea_Image=ART\\tile.PNG\r\n"
                 "IconArea_Text=0x000000FF\r\n");
    const QString rows = "getComputedStyle(document.getElementById('tessivane-rows'))";
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return js(rows + ".backgroundImage").toString() ==
               "url(\"" + fileUrl(folder_.path("art/Tile.png")) + "\")";
    }));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return js("const i = new Image(); i.src = " + rows +
                  ".backgroundImage.slice(5, -2); document.body.append(i);"
                  "i.complete && i.naturalWidth")
                   .toInt() == 8;
    }));
    const QString colours =
        "[...document.querySelector('#tessivane-rows tr:not(.tessivane-selected)').cells]"
        ".map(c => getComputedStyle(c).color).join(' ')";
    // The file may be read while it is being written: the whole of it shows once it is written.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return js(colours).toString().startsWith("rgb(255, 0, 0) rgb(0, 0, 0)");
    })) << js(colours).toString().toStdString();
    clickFile("big.txt");
    EXPECT_NE(js("getComputedStyle(document.querySelector('.tessivane-selected td')).color"),
              "rgb(255, 0, 0)");
    // A new document keeps the look.
    show(settings_);
    EXPECT_TRUE(js(colours).toString().startsWith("rgb(255, 0, 0)"));
    const auto* box = window_.findChild<QLineEdit*>("previewFolder");
    QTextDocument tip;
    tip.setHtml(box->toolTip());
    EXPECT_EQ(tip.toPlainText(), "Summer <b>pictures</b> & more");
    const auto* shownIcon = window_.findChild<QAction*>("previewFolderIcon");
    ASSERT_NE(shownIcon, nullptr);
    EXPECT_TRUE(shownIcon->isVisible());
    EXPECT_FALSE(shownIcon->icon().isNull());
    EXPECT_EQ(window_.stripText().count("Tile") + window_.stripText().count("icon"), 0);
}

// A list picture Windows would not find, and an icon in a program file, are named in the strip;
// the page gets no picture however it asks.
TEST_F(PreviewWindowTest, FolderLookNamesWhatItCannotShow) {
    test::TempDir elsewhere;
    const QString outside = elsewhere.file("tile.gif", test::kGif);
    folder_.file("Desktop.ini",
                 "[.ShellClassInfo]\r\nIconResource=%SystemRoot%\\shell32.dll,4"
                 "\r\n[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\nIconArea_Image=" +
                     outside.toUtf8() + "\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_.stripText().contains("icon"); }));
    EXPECT_TRUE(window_.stripText().contains(
        "'" + outside +
        "': found only on this machine; Use for Folder copies it in\n"
        "The folder's icon %SystemRoot%\\shell32.dll,4 cannot be shown here."))
        << window_.stripText().toStdString();
    EXPECT_EQ(js("getComputedStyle(document.getElementById('tessivane-rows')).backgroundImage"),
              "none");
    EXPECT_FALSE(window_.findChild<QAction*>("previewFolderIcon")->isVisible());
    EXPECT_EQ(outcomesOf("note('outside', new Promise((ok, no) => { const i = new Image();"
                         "  i.onload = ok; i.onerror = no; i.src = '" +
                             fileUrl(outside) + "'; }))",
                         1)
                  .at("outside"),
              "refused");
}

// Desktop.ini is read only as a regular file of its size, found letter case aside; the files it
// names are found as Windows finds them.
TEST(FolderLookTest, ReadsWhatWindowsReads) {
    using Icon = ShownFolderLook::Icon;
    struct Case {
        const char* what;
        std::function<void(const test::TempDir&)> make;
        const char *comment, *colour;
        Icon icon;
        NamedFile::Outcome picture;
    };
    const auto ini = [](const QByteArray& shellClassInfo, const QByteArray& iconArea = {}) {
        return [=](const test::TempDir& dir) {
            dir.file("Desktop.ini", "[.ShellClassInfo]\r\n" + shellClassInfo +
                                        "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\n" + iconArea);
        };
    };
    using Outcome = NamedFile::Outcome;
    test::TempDir elsewhere;
    const QByteArray outside = elsewhere.file("x.ico", "").toUtf8();
    for (const Case& c : {
             Case{"none", [](auto&) {}, "", "", Icon::None, Outcome::Missing},
             Case{"regular", ini("InfoTip=A\r\n", "IconArea_Text=0x00FF8000\r\n"), "A", "#0080FF",
                  Icon::None, Outcome::Missing},
             Case{"other case",
                  [](auto& dir) {
                      dir.file("DESKTOP.INI", "[.ShellClassInfo]\nInfoTip=B\n");
                      dir.file("desktop.ini", "[.ShellClassInfo]\nInfoTip=C\n");
                  },
                  "B", "", Icon::None, Outcome::Missing},
             Case{"link",
                  [](auto& dir) {
                      QFile::link(dir.file("real.ini", "[.ShellClassInfo]\nInfoTip=D\n"),
                                  dir.path("Desktop.ini"));
                  },
                  "", "", Icon::None, Outcome::Missing},
             Case{"folder", [](auto& dir) { QDir(dir.root()).mkdir("Desktop.ini"); }, "", "",
                  Icon::None, Outcome::Missing},
             Case{"fifo",
                  [](auto& dir) {
                      ::mkfifo(QFile::encodeName(dir.path("Desktop.ini")).constData(), 0600);
                  },
                  "", "", Icon::None, Outcome::Missing},
             Case{"too large", ini("InfoTip=E\r\n;" + QByteArray(1 << 20, 'x')), "", "", Icon::None,
                  Outcome::Missing},
             Case{"found", ini("IconFile=a\\F.ICO\r\n", "IconArea_Image=%THISDIRPATH%\\P.gif\r\n"),
                  "", "", Icon::Shown, Outcome::Found},
             Case{"elsewhere", ini("IconFile=" + outside + "\r\n", "IconArea_Image=C:\\p.gif\r\n"),
                  "", "", Icon::OnlyHere, Outcome::NotChecked},
             Case{"program", ini("IconFile=shell32.dll\r\n", "IconArea_Image=none.gif\r\n"), "", "",
                  Icon::NotShown, Outcome::Missing},
             Case{"missing", ini("IconFile=none.ico\r\n", "IconArea_Text=red\r\n"), "", "",
                  Icon::Missing, Outcome::Missing},
             Case{"no picture", ini("IconFile=p.gif.ico\r\n"), "", "", Icon::NotShown,
                  Outcome::Missing},
         }) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        QDir(dir.root()).mkdir("a");
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::blue);
        icon.save(dir.path("a/f.ico"), "ICO");
        dir.file("p.gif", test::kGif);
        dir.file("p.gif.ico", test::kGif.left(10));
        c.make(dir);
        const ShownFolderLook shown = readFolderLook(dir.root());
        EXPECT_EQ(shown.look.comment, c.comment);
        EXPECT_EQ(shown.listTextColour, c.colour);
        EXPECT_EQ(int(shown.icon), int(c.icon));
        EXPECT_EQ(shown.iconImages.isEmpty(), c.icon != Icon::Shown);
        EXPECT_EQ(int(shown.listPicture.outcome), int(c.picture));
    }
}

// Thousands of entries: only the rows in view are drawn, and selecting over all of them works.
// Folders come first, whatever their names, then the files, each in natural order.
TEST_F(PreviewWindowTest, FoldersAreListedBeforeFiles) {
    test::TempDir mixed;
    for (const char* name : {"a2.txt", "a10.txt"}) {
        QFile(mixed.path(name)).open(QIODevice::WriteOnly);
    }
    QDir().mkdir(mixed.path("zz"));
    window_.receiveFrame("folder", mixed.root().toUtf8());
    show(settings_);
    const QString rows =
        "[...document.querySelectorAll('#tessivane-list tbody tr')]"
        ".map(r => r.cells[0].textContent).join('|')";
    EXPECT_TRUE(QTest::qWaitFor([&] { return js(rows).toString() == "zz|a2.txt|a10.txt"; }))
        << js(rows).toString().toStdString();
}

TEST_F(PreviewWindowTest, LargeFolderSelectsOverEveryEntry) {
    test::TempDir big;
    for (int i = 1; i <= 3000; ++i)
        QFile(big.path(QStringLiteral("file%1.txt").arg(i))).open(QIODevice::WriteOnly);
    window_.receiveFrame("folder", big.root().toUtf8());
    show(settings_);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return js("FileList.Folder && document.querySelector('#tessivane-rows > div')"
                  ".style.height")
                   .toString() == QString::number(3000 * 18) + "px";
    }));
    EXPECT_LT(js("document.querySelectorAll('#tessivane-rows tr').length").toInt(), 100);
    clickFile("file2.txt");
    js("const rows = document.getElementById('tessivane-rows');"
       "rows.scrollTop = rows.scrollHeight; rows.dispatchEvent(new Event('scroll'))");
    clickFile("file2999.txt", "shiftKey: true");
    EXPECT_TRUE(info().startsWith("2998 items selected.<br>")) << info().toStdString();
    js("document.getElementById('tessivane-list').dispatchEvent(new KeyboardEvent('keydown', "
       "{key: 'a', ctrlKey: true}))");
    EXPECT_EQ(info(), "3000 items selected.<br>");
    QFile(big.path("file3001.txt")).open(QIODevice::WriteOnly);  // the folder changes
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return info() == "3000 items selected.<br>" &&
               js("FileList.SelectedItems().Count").toInt() == 3000 &&
               js("document.querySelector('#tessivane-rows > div')"
                  ".style.height")
                       .toString() == "54018px";
    }));
}

// What a hostile page tries, and what it gets: it shows pictures of the folder and the named
// files, and reads the bytes of none, nor anything through links, "..", a sibling folder whose
// name starts with the folder's, or a subfolder.
TEST_F(PreviewWindowTest, PageReadsNoFile) {
    test::TempDir base;
    QDir(base.root()).mkpath("Pics/sub");
    QDir(base.root()).mkpath("Pics/art");
    QDir(base.root()).mkpath("Pics-private");
    QDir(base.root()).mkpath("elsewhere");
    const auto picture = [&](const QString& name) {
        QImage(4, 4, QImage::Format_RGB32).save(base.path(name));
        return fileUrl(base.path(name));
    };
    const QString named = picture("Pics/art/named.png");
    const QString entry = picture("Pics/entry.png");
    const QString outside = picture("elsewhere/secret.png");
    const QString namedOutside = picture("elsewhere/named.png");
    QFile::link(base.path("elsewhere/secret.png"), base.path("Pics/link.png"));
    QFile::link(base.path("elsewhere"), base.path("Pics/link-dir"));
    settings_.backgroundImage = "%THISDIRPATH%\\art\\named.png";
    // Named, but outside the folder: Windows would not find it, so the page may not load it.
    settings_.lineImage = base.path("elsewhere/named.png").toStdString();
    window_.receiveFrame("folder", base.path("Pics").toUtf8());
    show(settings_);

    struct Case {
        const char* probe;
        QString url;
        const char* outcome;
    };
    const Case cases[] = {
        {"image", named, "read"},  // shown as pictures
        {"image", entry, "read"},
        {"fetch", named, "refused"},  // but their bytes stay out of reach
        {"xhr", named, "refused"},
        {"fetch", entry, "refused"},
        {"canvas", named, "refused"},
        {"canvas", entry, "refused"},
        {"bitmap", named, "refused"},
        {"blobworker", named, "refused"},
        {"worker", entry, "refused"},
        {"frame", entry, "refused"},
        {"image", outside, "refused"},
        {"image", namedOutside, "refused"},
        {"image", fileUrl(base.path("Pics/link.png")), "refused"},
        {"image", fileUrl(base.path("Pics/link-dir/secret.png")), "refused"},
        {"image", fileUrl(base.path("Pics/../elsewhere/secret.png")), "refused"},
        {"image", picture("Pics-private/secret.png"), "refused"},
        {"image", picture("Pics/sub/secret.png"), "refused"},
        {"fetch", fileUrl(base.path("Pics")), "refused"},
        {"fetch", "file:///etc/passwd", "refused"},
    };
    QString script =
        "const load = (url, how) => new Promise((ok, no) => {"
        "  if (how == 'fetch') return fetch(url).then(r => r.text()).then(ok, no);"
        "  if (how == 'xhr') { const x = new XMLHttpRequest(); x.open('GET', url);"
        "    x.onload = () => x.responseText ? ok() : no(); x.onerror = no; return x.send(); }"
        "  if (how == 'worker') { try { const w = new Worker(url); w.onerror = no;"
        "    w.onmessage = ok; setTimeout(no, 3000); } catch (e) { no(); } return; }"
        "  if (how == 'frame') { const f = document.createElement('iframe'); setTimeout(no, 3000);"
        "    f.onload = () => { try { f.contentDocument.body.innerHTML.length ? ok() : no(); }"
        "      catch (e) { no(); } }; f.src = url; return document.body.append(f); }"
        "  const i = new Image(); i.onerror = no; i.onload = () => {"
        "    if (how == 'image') return ok();"
        "    if (how == 'bitmap') return createImageBitmap(i).then(b => {"
        "      const o = new OffscreenCanvas(4, 4).getContext('2d'); o.drawImage(b, 0, 0);"
        "      o.getImageData(0, 0, 1, 1); }).then(ok, no);"
        "    if (how == 'blobworker') return createImageBitmap(i).then(b => {"
        "      const w = new Worker(URL.createObjectURL(new Blob(['onmessage = e => {"
        "        const o = new OffscreenCanvas(4, 4).getContext(\\'2d\\');"
        "        o.drawImage(e.data, 0, 0); postMessage(o.getImageData(0, 0, 1, 1).data[0]); "
        "}'])));"
        "      w.onmessage = ok; w.onerror = no; setTimeout(no, 3000); w.postMessage(b, [b]); },"
        "      no);"
        "    const c = document.createElement('canvas').getContext('2d'); c.drawImage(i, 0, 0);"
        "    try { c.getImageData(0, 0, 1, 1); ok(); } catch (e) { no(); } };"
        "  i.src = url; });";
    for (std::size_t i = 0; i < std::size(cases); ++i)
        script +=
            QStringLiteral("note(%1, load('%2', '%3'));").arg(i).arg(cases[i].url, cases[i].probe);
    auto outcomes = outcomesOf(script, int(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(outcomes[std::to_string(i)], cases[i].outcome)
            << cases[i].probe << ' ' << cases[i].url.toStdString();
}

// The request guard alone, by resource type: what a script would fetch is refused even where a
// picture of the same file is let through.
TEST(RequestGuardTest, DecidesByTypeAndRealPlace) {
    test::TempDir base;
    QDir(base.root()).mkpath("Pics");
    const QString entry = base.file("Pics/a.png", "png");
    const QString named = base.file("named.gif", "gif");
    RequestGuard guard;
    guard.allow(base.path("page.html"), QFileInfo(base.path("Pics")).canonicalFilePath(),
                {QFileInfo(named).canonicalFilePath()});
    using Info = QWebEngineUrlRequestInfo;
    struct Case {
        QString url;
        Info::ResourceType type;
        bool allowed;
    };
    for (const Case& c : {
             Case{fileUrl(base.path("page.html")), Info::ResourceTypeMainFrame, true},
             Case{fileUrl(entry), Info::ResourceTypeMainFrame, false},
             Case{fileUrl(entry), Info::ResourceTypeImage, true},
             Case{fileUrl(entry), Info::ResourceTypeStylesheet, false},
             Case{fileUrl(entry), Info::ResourceTypeFontResource, false},
             Case{fileUrl(entry), Info::ResourceTypeMedia, false},
             Case{fileUrl(named), Info::ResourceTypeImage, true},
             Case{fileUrl(named), Info::ResourceTypeMedia, true},
             Case{fileUrl(named), Info::ResourceTypeStylesheet, false},
             Case{fileUrl(entry), Info::ResourceTypeXhr, false},
             Case{fileUrl(named), Info::ResourceTypeXhr, false},
             Case{fileUrl(entry), Info::ResourceTypeScript, false},
             Case{fileUrl(entry), Info::ResourceTypeSubFrame, false},
             Case{fileUrl(entry), Info::ResourceTypeWorker, false},
             Case{fileUrl(entry), Info::ResourceTypeSubResource, false},
             Case{"data:image/gif;base64,R0lGODlh", Info::ResourceTypeImage, true},
             Case{"data:text/html,<p>x", Info::ResourceTypeSubFrame, false},
             Case{"http://127.0.0.1/a.png", Info::ResourceTypeImage, false},
             Case{"file://host" + base.path("Pics/a.png"), Info::ResourceTypeImage, false},
         })
        EXPECT_EQ(guard.allows(QUrl(c.url), c.type), c.allowed)
            << c.url.toStdString() << ' ' << int(c.type);
}

// Nothing leaves through WebRTC, which the request guard never sees, whatever frame the page
// makes it in: a listener on the loopback receives nothing.
TEST_F(PreviewWindowTest, PageSendsNothing) {
    QUdpSocket udp;
    ASSERT_TRUE(udp.bind(QHostAddress::LocalHost, 0));
    QTcpServer tcp;
    ASSERT_TRUE(tcp.listen(QHostAddress::LocalHost, udp.localPort()));
    const QString port = QString::number(udp.localPort());
    const auto outcomes = outcomesOf(
        QStringLiteral(
            "const servers = {iceServers: [{urls: 'stun:127.0.0.1:%1'}, {urls:"
            "  ['turn:127.0.0.1:%1?transport=udp', 'turn:127.0.0.1:%1?transport=tcp'],"
            "  username: 'LEAK', credential: 'x'}, {urls: 'stun:leak.invalid:%1'}]};"
            "const connect = w => new Promise((ok, no) => { try {"
            "  const c = new w.RTCPeerConnection(servers); c.createDataChannel('x');"
            "  c.createOffer().then(o => c.setLocalDescription(o)).then(ok, no);"
            "} catch (e) { no(e); } });"
            "note('page', connect(window));"
            "const blank = document.createElement('iframe'); document.body.append(blank);"
            "note('blank', connect(blank.contentWindow));"
            "const doc = document.createElement('iframe'); doc.srcdoc = '<script>parent.note("
            "  \"srcdoc\", new Promise((ok, no) => { try { new RTCPeerConnection(parent.servers)"
            "  .createOffer().then(ok, no); } catch (e) { no(e); } }))</' + 'script>';"
            "document.body.append(doc);"
            "setTimeout(() => outcomes.srcdoc = outcomes.srcdoc || 'refused', 3000);")
            .arg(port),
        3);
    EXPECT_EQ(outcomes.size(), 3u);
    QTest::qWait(1000);
    EXPECT_FALSE(udp.hasPendingDatagrams());
    EXPECT_FALSE(tcp.hasPendingConnections());
}

// The page's dialogs answer at once and show nothing; the strip says the page asked for one.
TEST_F(PreviewWindowTest, PageOpensNoDialog) {
    const QVariant answers =
        js("for (let i = 0; i < 20; ++i) alert('hello'); print();"
           "window.onbeforeunload = () => 'stay'; [confirm('sure?'), prompt('name?', 'x')]");
    EXPECT_EQ(answers.toList(), (QVariantList{true, QVariant()}));
    QTest::qWait(300);
    QStringList windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            windows << widget->windowTitle();
    EXPECT_EQ(windows, QStringList{"Preview - Holiday.htt"});
    EXPECT_TRUE(window_.stripText().contains("asked to show a message box"));
    settings_.description = "next";
    show(settings_);  // leaving the page asks nothing either
}

// An alert alone, with nothing else a page may ask, is noted too.
TEST_F(PreviewWindowTest, AnAlertAloneIsNoted) {
    js("alert('only this')");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window_.stripText().contains("asked to show a message box"); }));
}

// A page stuck in a script never holds up the next document: its renderer is replaced.
TEST_F(PreviewWindowTest, StuckPageIsRestartedForTheNextDocument) {
    js("setTimeout(() => { while (true) {} }, 0)");
    QTest::qWait(200);
    QElapsedTimer clock;
    clock.start();
    settings_.description = "after the hang";
    show(settings_);
    EXPECT_LT(clock.elapsed(), 8000);  // about 1.5 s here; generous for a loaded machine
    EXPECT_EQ(js("document.querySelector('#Panel p.Title').innerText.trim()").toString(),
              "after the hang");
    EXPECT_TRUE(window_.stripText().contains("stopped answering and was restarted"));
    EXPECT_FALSE(window_.stopped());
}

// A stopped renderer can be reloaded; the page follows the folder's entries.
TEST_F(PreviewWindowTest, StoppedRendererCanBeReloadedAndTheListFollowsTheFolder) {
    ASSERT_GT(window_.page()->renderProcessPid(), 0);
    ::kill(pid_t(window_.page()->renderProcessPid()), SIGKILL);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_.stopped(); }));
    QSignalSpy shown(&window_, &PreviewWindow::pageShown);
    window_.findChild<QPushButton*>("previewReload")->click();
    ASSERT_TRUE(shown.wait(20000));
    EXPECT_FALSE(window_.stopped());
    const auto rows = [&] { return js("document.querySelectorAll('#tessivane-rows tr').length"); };
    EXPECT_EQ(rows(), 7);
    folder_.file("new.txt", "");  // a file added to the folder shows at once
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == 8; }));
}

// A folder typed but not confirmed with Enter is dropped with the window: the box's last report
// must not reach a window that is half gone.
TEST(PreviewWindowEndTest, TypedFolderIsDroppedWithTheWindow) {
    auto window = std::make_unique<PreviewWindow>();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* box = window->findChild<QLineEdit*>("previewFolder");
    box->setFocus();
    QTest::keyClicks(box, "/typed");
    EXPECT_TRUE(box->text().endsWith("/typed"));
    const QPointer<QLineEdit> typed = box;
    window.reset();
    EXPECT_TRUE(typed.isNull());  // the box went with the window, its typing pending or not
}

// Under the pseudo-translation every text the preview window shows or says is marked.
TEST(PreviewWindowEndTest, EveryTextIsTranslated) {
    QTranslator pseudo;
    ASSERT_TRUE(pseudo.load(QStringLiteral(TESSIVANE_PSEUDO_QM)));
    QCoreApplication::installTranslator(&pseudo);
    {
        PreviewWindow window;
        window.receiveFrame("title", "Folder.htt");
        window.receiveFrame("document", "<html>not ours</html>");
        QStringList texts{window.windowTitle()};
        for (const QWidget* w : window.findChildren<QWidget*>())
            texts << test::textsOf(w, {"previewStrip"});
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.stripText().isEmpty(); }));
        texts << window.stripText().split(u'\n');
        // What the strip says of each name the page gives its files.
        test::TempDir folder, elsewhere;
        FolderViewSettings settings;
        settings.soundFile = "C:\\chime.wav";
        settings.backgroundImage = elsewhere.file("panel.gif", test::kGif).toStdString();
        settings.lineImage = "missing.gif";
        folder.file("Desktop.ini", "[.ShellClassInfo]\r\nIconFile=shell32.dll\r\n");
        window.receiveFrame("folder", folder.root().toUtf8());
        window.receiveFrame("document", documentFor(settings));
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.stripText().count(u'\n') >= 3; }));
        texts << window.stripText().split(u'\n');
        EXPECT_EQ(test::unmarked(texts), "") << texts.size() << " texts read";
    }
    QCoreApplication::removeTranslator(&pseudo);
}

// The program as the editor runs it: its exit statuses, its network of its own where the system
// allows one, a clean end after a stuck page, and the folders that killed previews left behind.
TEST(PreviewProgramTest, EndsAsTheProtocolSays) {
    test::TempDir temp;
    // A pid that no process has: that of a child that has ended.
    const pid_t deadPid = ::fork();
    if (deadPid == 0)
        ::_exit(0);
    ::waitpid(deadPid, nullptr, 0);
    const QString stale = QStringLiteral("tessivane-preview-%1-abcDEF").arg(deadPid);
    QStringList kept = {QStringLiteral("tessivane-preview-%1-abcDEF-notes").arg(deadPid),
                        QStringLiteral("tessivane-preview-%1-abcDEF").arg(::getpid())};
    kept.sort();
    for (const QString& name : kept + QStringList{stale})
        QDir(temp.root()).mkpath(name + "/inside");
    QDir(temp.root()).mkdir("run");
    QFile::setPermissions(temp.root() + "/run",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QByteArray version = encodePreviewFrame("version", "1");
    const QByteArray stuckPage =
        "<html><body onload=\"setTimeout(() => { while (true) {} }, 50)\">"
        "stuck</body></html>";
    struct Case {
        const char* what;
        QByteArray input;
        bool waitShown;
        int status;
    };
    const Case cases[] = {
        {"another version", encodePreviewFrame("version", "2"), false, 2},
        {"no version", encodePreviewFrame("title", "t"), false, 2},
        {"a malformed frame", version + "Title 1\nx", false, 1},
        {"input cut off inside a frame", version + "document 99\n<html>", false, 1},
        {"closed after a stuck page",
         version + encodePreviewFrame("folder", temp.root().toUtf8()) +
             encodePreviewFrame("document", stuckPage),
         true, 0},
    };
    for (const Case& c : cases) {
        QProcess preview;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", temp.root());
        environment.insert("HOME", temp.root());
        environment.insert("XDG_RUNTIME_DIR", temp.root() + "/run");
        environment.insert("XDG_CONFIG_HOME", temp.root() + "/run");
        preview.setProcessEnvironment(environment);
        preview.start(TESSIVANE_PREVIEW_PROGRAM, {});
        ASSERT_TRUE(preview.waitForStarted()) << c.what;
        preview.write(c.input);
        if (c.waitShown) {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    return preview.state() != QProcess::Running ||
                           preview.readAllStandardOutput() == "shown 0\n";
                },
                30000))
                << c.what;
            // Where this system lets a user have namespaces, the page has no network at all.
            const bool namespaces =
                test::inChildProcess([] {
                    return ::unshare(test::runningAsRoot() ? CLONE_NEWNET
                                                           : CLONE_NEWUSER | CLONE_NEWNET);
                }) == 0;
            const auto network = [](qint64 pid) {
                char target[64] = {};
                const QByteArray link = QByteArray("/proc/") + QByteArray::number(pid) + "/ns/net";
                return std::string(
                    target, std::max<ssize_t>(0, ::readlink(link, target, sizeof target - 1)));
            };
            if (namespaces)
                EXPECT_NE(network(preview.processId()), network(::getpid()));
            else
                std::puts("No namespaces here: the preview's network is not checked.");
            QTest::qWait(500);  // the page is stuck by now
        }
        preview.closeWriteChannel();
        EXPECT_TRUE(preview.waitForFinished(30000)) << c.what;
        EXPECT_EQ(preview.exitStatus(), QProcess::NormalExit) << c.what;
        EXPECT_EQ(preview.exitCode(), c.status)
            << c.what << ": " << preview.readAllStandardError().right(300).toStdString();
    }
    QStringList left = test::folderEntries(temp.root());
    left.removeAll("run");
    left.sort();
    EXPECT_EQ(left.join(' ').toStdString(), kept.join(' ').toStdString());
}

}  // namespace
}  // namespace tessivane

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    tessivane::containEngine();
    // The window remembers its size and place: here, in a folder of the test's own.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
