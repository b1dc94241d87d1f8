// SPDX-License-Identifier: MIT
// The preview window in an offscreen web view: the page follows the document's settings, the
// emulated file list and thumbnail feed the template's own scripts, the page stays contained, and
// a stopped renderer can be reloaded.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "document/core.h"
#include "preview/preview_window.h"
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
        settings_.backgroundImage = folder_.file("paper.gif", testing::kGif).toStdString();
        settings_.lineImage = folder_.file("rule.gif", testing::kGif).toStdString();
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

    QVariant js(const QString& script) {
        QVariant result;
        QEventLoop loop;
        window_.page()->runJavaScript(script, [&](const QVariant& value) {
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

    testing::TempDir folder_;
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
       "HTMLMediaElement.prototype.play = function () { ++plays; return play.call(this); }");
    window_.findChild<QCheckBox*>("previewPlaySound")->setChecked(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return js("plays") == 3; }));
    QTest::qWait(400);
    EXPECT_EQ(js("plays").toInt(), 3);
}

TEST_F(PreviewWindowTest, PageReachesNothingElse) {
    testing::TempDir elsewhere;
    QImage(10, 10, QImage::Format_RGB32).save(elsewhere.path("other.png"));
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    js(QStringLiteral("window.outcomes = {};"
                      "const note = (key, p) => p.then(() => 'loaded', () => 'failed')"
                      "  .then(r => outcomes[key] = r);"
                      "note('file', fetch('%1'));"
                      "note('http', fetch('http://127.0.0.1:%2/'));"
                      "const img = new Image(); note('img', new Promise((ok, no) => {"
                      "  img.onload = ok; img.onerror = no; img.src = '%1'; }));")
           .arg(fileUrl(elsewhere.path("other.png")))
           .arg(server.serverPort()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return js("Object.keys(outcomes).length") == 3; }));
    EXPECT_EQ(js("outcomes").toMap(),
              (QVariantMap{{"file", "failed"}, {"http", "failed"}, {"img", "failed"}}));
    EXPECT_FALSE(server.waitForNewConnection(200));
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
    const auto rows = [&] { return js("document.querySelectorAll('#tessivane-list tr').length"); };
    EXPECT_EQ(rows(), 8);         // the heading and seven entries
    folder_.file("new.txt", "");  // a file added to the folder shows at once
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == 9; }));
}

}  // namespace
}  // namespace tessivane

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
