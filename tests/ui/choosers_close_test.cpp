// SPDX-License-Identifier: MIT
// The three choosers, the picture viewer seen from the main window, closing the program, and
// files dropped on the window.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

#include "ui/picture_viewer.h"
#include "window_fixture.h"

namespace tessivane::testing {
namespace {

using Answer = Dialogs::Answer;

// A square picture in a format that Qt can write and read.
QString writePicture(const TempDir& dir, const QString& name, int size = 4) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString path = dir.path(name);
    EXPECT_TRUE(image.save(path));
    return path;
}

// Sends a drag of the files over a widget and drops them there, as the window system would.
bool dropFiles(QWidget* target, const QStringList& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    mime.setUrls(urls);
    const QPointF where = QPointF(target->rect().center());
    QDragEnterEvent enter(where.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

struct Chooser {
    const char* button;
    const char* box;
    const char* title;
    const QString* filter;
    int alignment;  // of the preview; -1 for no preview
};

class ChooserTest : public WindowTest, public ::testing::WithParamInterface<Chooser> {
protected:
    void click() { control<QPushButton>(GetParam().button)->click(); }
    // The box holds the file as if typed (a sound disables the loop count), and a picture is
    // previewed.
    void expectFilled(const QString& path) {
        const Chooser& c = GetParam();
        EXPECT_EQ(text(c.box), path);
        EXPECT_EQ(state("txtLoop"), c.alignment < 0 ? "1 (disabled)" : "1");
        EXPECT_EQ(state("Number"), "on");
        PictureViewer* viewer = window().viewer();
        ASSERT_EQ(viewer != nullptr, c.alignment >= 0);
        if (viewer != nullptr) {
            EXPECT_TRUE(viewer->isVisible());
            EXPECT_EQ(viewer->windowTitle(), "Picture Viewer - " + path);
            EXPECT_EQ(viewer->picView()->pictureAlignment(), c.alignment);
            EXPECT_EQ(viewer->picView()->picture().size(), QSize(4, 4));
        }
    }
};

// Each dialog opens on the file name and filter that the previous one left, whichever command
// showed it. A cancelled one changes nothing; a chosen file, or one dropped on the box, fills it.
TEST_P(ChooserTest, ChosenOrDroppedFileFillsItsBox) {
    start();
    const Chooser& c = GetParam();
    const QString opened = file("opened.htt", templateBytes());
    openThroughMenu(opened);
    option("Number")->setChecked(true);
    const QString before = text(c.box);
    dialogs.cancelDialog();
    click();
    EXPECT_EQ(dialogs.last().kind, ScriptedDialogs::Shown::Kind::Open);
    EXPECT_EQ(dialogs.last().title, c.title);
    EXPECT_EQ(dialogs.last().state.filter, *c.filter);
    EXPECT_EQ(dialogs.last().state.fileName, opened);
    EXPECT_EQ(text(c.box), before);
    EXPECT_EQ(window().viewer(), nullptr);

    const QString chosen = writePicture(temp, "chosen.bmp");
    dialogs.choose(chosen, 4);
    click();
    expectFilled(chosen);
    dialogs.cancelDialog();
    click();
    EXPECT_EQ(dialogs.last().state.fileName, chosen);
    EXPECT_EQ(dialogs.last().state.filterIndex, 4);

    const auto shown = dialogs.shown().size();
    option("Number")->setChecked(true);
    const QString dropped = writePicture(temp, "dropped file.bmp");
    ASSERT_TRUE(dropFiles(box(c.box), {dropped}));
    expectFilled(dropped);
    EXPECT_EQ(dialogs.shown().size(), shown) << "no dialog for a drop";
}

INSTANTIATE_TEST_SUITE_P(Buttons, ChooserTest,
                         ::testing::Values(Chooser{"Browse1", "Sound", "Choose Sound File",
                                                   &filters::kSound, -1},
                                           Chooser{"Browse2", "Bck", "Choose Background Image",
                                                   &filters::kImage, PictureView::kTile},
                                           Chooser{"Browse3", "Img", "Choose Line Image",
                                                   &filters::kImage, PictureView::kCentre}),
                         [](const auto& info) { return std::string(info.param.button); });

// While open, the viewer takes every further choice, staying where and as large as the user left
// it; a file that is no picture changes only the caption, without a message. A closed viewer is
// deleted, and the next choice opens a fresh one at the design size.
TEST_F(WindowTest, ViewerIsReusedWhileOpenAndOpenedAfreshAfterClosing) {
    start();
    const auto choose = [&](const char* button, const QString& path) {
        dialogs.choose(path);
        control<QPushButton>(button)->click();
        ASSERT_NE(window().viewer(), nullptr);
        EXPECT_EQ(window().viewer()->windowTitle(), "Picture Viewer - " + path);
    };
    choose("Browse2", writePicture(temp, "first.bmp"));
    QPointer<PictureViewer> viewer = window().viewer();
    ASSERT_NE(viewer, nullptr);
    const QSize designSize = viewer->size();
    viewer->setGeometry(viewer->geometry().adjusted(30, 20, 80, 60));
    const QRect placed = viewer->geometry();
    for (const QString& path : {writePicture(temp, "second.png", 5), file("notes.txt", "text\n")}) {
        choose("Browse3", path);
        EXPECT_EQ(text("Img"), path);
        EXPECT_EQ(window().viewer(), viewer.data());
        EXPECT_EQ(viewer->geometry(), placed);
        EXPECT_EQ(viewer->picView()->pictureAlignment(), PictureView::kCentre);
        EXPECT_EQ(viewer->picView()->picture().size(), QSize(5, 5));
    }
    EXPECT_EQ(dialogs.shown().size(), 3u) << "no message";

    viewer->close();
    ASSERT_TRUE(waitFor([&] { return viewer.isNull(); }));
    EXPECT_EQ(window().viewer(), nullptr);
    choose("Browse2", file("notes.txt", "text\n"));
    ASSERT_NE(window().viewer(), nullptr);
    EXPECT_TRUE(window().viewer()->isVisible());
    EXPECT_EQ(window().viewer()->size(), designSize);
    EXPECT_TRUE(window().viewer()->picView()->picture().isNull());
}

// Closing the main window, by its close button with the viewer open (which is closed whatever the
// answer), or by the Exit shortcut without a viewer: the question decides whether it closes.
struct Closing {
    const char* what;
    std::function<void(WindowTest&)> script;
    bool closes;
    bool written;  // whether the document was saved on the way
};

class ClosingTest : public WindowTest, public ::testing::WithParamInterface<Closing> {
protected:
    // A shown window with every referenced file in place, so that Yes can save; then the answers.
    void prepare(bool withViewer) {
        startShown();
        box("Sound")->setText(file("s.wav"));
        box("Bck")->setText(writePicture(temp, "panel.bmp"));
        box("Img")->setText(file("line.gif"));
        if (withViewer) {
            dialogs.choose(text("Bck"));
            control<QPushButton>("Browse2")->click();
            viewer_ = window().viewer();
            ASSERT_NE(viewer_, nullptr);
        }
        GetParam().script(*this);
    }
    void expectOutcome() {
        EXPECT_EQ(window().isVisible(), !GetParam().closes);
        EXPECT_TRUE(waitFor([&] { return viewer_.isNull(); })) << "the viewer is closed";
        EXPECT_EQ(QFileInfo::exists(temp.path("saved.htt")), GetParam().written);
    }

    QPointer<PictureViewer> viewer_;
};

TEST_P(ClosingTest, CloseButton) {
    prepare(true);
    EXPECT_EQ(window().close(), GetParam().closes);
    expectOutcome();
}

TEST_P(ClosingTest, ExitShortcut) {
    prepare(false);
    QTest::keyClick(&window(), Qt::Key_F4);
    expectOutcome();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ClosingTest,
    ::testing::Values(
        Closing{"No", [](WindowTest& t) { t.dialogs.answer(Answer::No); }, true, false},
        Closing{"YesAndSaved",
                [](WindowTest& t) {
                    t.dialogs.answer(Answer::Yes);
                    t.dialogs.choose(t.temp.path("saved.htt"));
                },
                true, true},
        Closing{"Cancel", [](WindowTest& t) { t.dialogs.answer(Answer::Cancel); }, false, false},
        Closing{"YesThenCancelledSaveDialog",
                [](WindowTest& t) {
                    t.dialogs.answer(Answer::Yes);
                    t.dialogs.cancelDialog();
                },
                false, false},
        Closing{"YesWithAMissingImage",
                [](WindowTest& t) {
                    t.box("Img")->setText(t.temp.path("gone.gif"));
                    t.dialogs.answer(Answer::Yes);
                    t.dialogs.answer(Answer::Ok);  // "File Does Not Exist"
                },
                false, false}),
    [](const auto& info) { return std::string(info.param.what); });

// A path box takes one existing file and the rest of the window one template, which opens as Open
// would, after the question: Cancel keeps the document. Anything else is refused.
TEST_F(WindowTest, TemplateDroppedOnTheWindowOpensAsOpenWouldAndOtherDropsAreRefused) {
    start();
    const std::pair<QWidget*, QStringList> refused[] = {
        {box("Bck"), {file("a.bmp"), file("b.bmp")}},
        {box("Bck"), {temp.root()}},
        {box("Bck"), {temp.path("missing.bmp")}},
        {window().centralWidget(), {file("picture.bmp")}},
        {list("Fnts"), {file("a.htt"), file("b.htt")}},
    };
    for (const auto& [target, files] : refused) {
        EXPECT_FALSE(dropFiles(target, files)) << files.join(", ").toStdString();
    }
    const QString ours = file("dropped.htt", templateBytes({{299, "Dropped description"}}));
    box("Fol")->setText("mine");
    dialogs.answer(Answer::Cancel);
    ASSERT_TRUE(dropFiles(window().centralWidget(), {ours}));
    ASSERT_TRUE(waitFor([&] { return dialogs.shown().size() == 1; }));
    QTest::qWait(20);
    expectStates("Fol=mine|Bck=c:\\Nothing.gif");
    EXPECT_EQ(window().viewer(), nullptr);

    const QList<QWidget*> targets = {list("Fnts"), box("Fol"), window().centralWidget()};
    for (QWidget* target : targets) {
        SCOPED_TRACE(target->objectName().toStdString());
        dialogs.answer(Answer::No);
        box("Fol")->setText("before");
        ASSERT_TRUE(dropFiles(target, {ours}));
        EXPECT_TRUE(waitFor([&] { return text("Fol") == "Dropped description"; }));
        EXPECT_EQ(window().currentFile(), ours);
        EXPECT_EQ(dialogs.last().title, "Save Changes");
    }
}

}  // namespace
}  // namespace tessivane::testing
