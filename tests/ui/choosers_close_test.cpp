// The three choosers, the picture viewer seen from the main window, closing the program, and
// files dropped on the window.
#include <gtest/gtest.h>

#include <QCloseEvent>
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

// A small two-colour picture in a format that Qt can write and read.
QString writePicture(const TempDir& dir, const QString& name) {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.setPixel(0, 0, qRgb(0, 0, 255));
    const QString path = dir.path(name);
    EXPECT_TRUE(image.save(path));
    return path;
}

struct Chooser {
    const char* button;
    const char* box;
    const char* title;
    const QString* filter;
    int alignment;  // of the preview; -1 for no preview
};

const Chooser kChoosers[] = {
    {"Browse1", "Sound", "Choose Sound File", &filters::kSound, -1},
    {"Browse2", "Bck", "Choose Background Image", &filters::kImage, PicView::kTile},
    {"Browse3", "Img", "Choose Line Image", &filters::kImage, PicView::kCentre},
};

class ChooserTest : public WindowTest, public ::testing::WithParamInterface<Chooser> {
protected:
    void click() { control<QPushButton>(GetParam().button)->click(); }
};

TEST_P(ChooserTest, ChosenFileFillsItsBoxAndPicturesArePreviewed) {
    start();
    const Chooser& c = GetParam();
    const QString chosen = writePicture(temp, "chosen.bmp");
    dialogs.choose(chosen, 4);
    click();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    const auto& shown = dialogs.last();
    EXPECT_EQ(shown.kind, ScriptedDialogs::Shown::Kind::Open);
    EXPECT_EQ(shown.title, c.title);
    EXPECT_EQ(shown.state.filter, *c.filter);
    EXPECT_EQ(text(c.box), chosen);

    if (c.alignment < 0) {
        EXPECT_EQ(window().viewer(), nullptr);
        return;
    }
    WZPicView* viewer = window().viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), "Picture Viewer - " + chosen);
    EXPECT_EQ(viewer->picView()->pictureAlignment(), c.alignment);
    EXPECT_EQ(viewer->picView()->picture().size(), QSize(4, 4));
    EXPECT_EQ(viewer->parentWidget(), nullptr) << "the viewer has no owner";
    EXPECT_FALSE(viewer->isModal());
}

TEST_P(ChooserTest, CancelChangesNothing) {
    start();
    const QString before = text(GetParam().box);
    dialogs.cancelDialog();
    click();
    EXPECT_EQ(text(GetParam().box), before);
    EXPECT_EQ(window().viewer(), nullptr);
    EXPECT_FALSE(box("txtLoop")->isEnabled());
}

// Each dialog opens on the file name and filter that the previous one left, whichever command
// showed it.
TEST_P(ChooserTest, DialogOpensOnWhatThePreviousDialogLeft) {
    start();
    const QString opened = file("opened.htt", templateBytes());
    openThroughMenu(opened);
    dialogs.cancelDialog();
    click();
    EXPECT_EQ(dialogs.last().state.fileName, opened);

    const QString picture = writePicture(temp, "any.bmp");
    dialogs.choose(picture, 3);
    control<QPushButton>("Browse2")->click();
    dialogs.cancelDialog();
    click();
    EXPECT_EQ(dialogs.last().state.fileName, picture);
    EXPECT_EQ(dialogs.last().state.filterIndex, 3);
}

INSTANTIATE_TEST_SUITE_P(Buttons, ChooserTest, ::testing::ValuesIn(kChoosers),
                         [](const auto& info) { return std::string(info.param.button); });

TEST_F(WindowTest, ChosenSoundDisablesTheLoopCountAndKeepsTheLoopChoice) {
    start();
    option("Number")->setChecked(true);
    ASSERT_TRUE(box("txtLoop")->isEnabled());
    dialogs.choose(file("tune.wav"));
    control<QPushButton>("Browse1")->click();
    EXPECT_FALSE(box("txtLoop")->isEnabled());
    EXPECT_TRUE(option("Number")->isChecked());
}

TEST_F(WindowTest, SecondPictureReusesTheOpenViewer) {
    start();
    const QString first = writePicture(temp, "first.bmp");
    const QString second = writePicture(temp, "second.png");
    dialogs.choose(first);
    control<QPushButton>("Browse2")->click();
    const QPointer<WZPicView> viewer = window().viewer();
    ASSERT_NE(viewer, nullptr);
    viewer->resize(viewer->width() + 50, viewer->height() + 40);
    const QSize resized = viewer->size();

    dialogs.choose(second);
    control<QPushButton>("Browse3")->click();
    EXPECT_EQ(window().viewer(), viewer.data());
    EXPECT_EQ(viewer->windowTitle(), "Picture Viewer - " + second);
    EXPECT_EQ(viewer->picView()->pictureAlignment(), PicView::kCentre);
    EXPECT_EQ(viewer->size(), resized) << "the viewer stays as the user left it";
}

TEST_F(WindowTest, ViewerClosedByTheUserIsOpenedAfreshAtItsDesignSize) {
    start();
    dialogs.choose(writePicture(temp, "first.bmp"));
    control<QPushButton>("Browse2")->click();
    QPointer<WZPicView> first = window().viewer();
    ASSERT_NE(first, nullptr);
    const QSize designSize = first->size();
    first->resize(designSize + QSize(80, 60));
    first->close();
    ASSERT_TRUE(waitFor([&] { return first.isNull(); })) << "a closed viewer is deleted";
    EXPECT_EQ(window().viewer(), nullptr);

    dialogs.choose(writePicture(temp, "second.bmp"));
    control<QPushButton>("Browse3")->click();
    ASSERT_NE(window().viewer(), nullptr);
    EXPECT_EQ(window().viewer()->size(), designSize);
    EXPECT_TRUE(window().viewer()->isVisible());
}

TEST_F(WindowTest, FileThatIsNoPictureStillFillsTheBoxAndCaptionsTheViewer) {
    start();
    const QString notes = file("notes.txt", "just text\n");
    dialogs.choose(notes, 4);
    control<QPushButton>("Browse2")->click();
    EXPECT_EQ(text("Bck"), notes);
    ASSERT_NE(window().viewer(), nullptr);
    EXPECT_EQ(window().viewer()->windowTitle(), "Picture Viewer - " + notes);
    EXPECT_TRUE(window().viewer()->picView()->picture().isNull());
    EXPECT_EQ(dialogs.shown().size(), 1u) << "no message";

    // Over an earlier picture, the earlier picture stays.
    dialogs.choose(writePicture(temp, "real.bmp"));
    control<QPushButton>("Browse2")->click();
    dialogs.choose(notes);
    control<QPushButton>("Browse3")->click();
    EXPECT_EQ(window().viewer()->picView()->picture().size(), QSize(4, 4));
    EXPECT_EQ(window().viewer()->picView()->pictureAlignment(), PicView::kCentre);
}

// Closing the main window, by its close button or by Exit: the question decides whether it
// closes, and the viewer is closed in every case.
struct Closing {
    const char* what;
    std::function<void(WindowTest&)> script;
    bool closes;
    bool written;  // whether the document was saved on the way
};

class ClosingTest : public WindowTest, public ::testing::WithParamInterface<Closing> {
protected:
    // A shown window with the viewer open and every referenced file in place, so that Yes can
    // save.
    void prepare() {
        startShown();
        box("Sound")->setText(file("s.wav"));
        dialogs.choose(writePicture(temp, "panel.bmp"));
        control<QPushButton>("Browse2")->click();
        box("Img")->setText(file("line.gif"));
        viewer_ = window().viewer();
        ASSERT_NE(viewer_, nullptr);
        saved_ = temp.path("saved.htt");
    }
    void expectOutcome(bool closed) {
        const Closing& c = GetParam();
        EXPECT_EQ(closed, c.closes);
        EXPECT_EQ(window().isVisible(), !c.closes);
        EXPECT_TRUE(waitFor([&] { return viewer_.isNull(); })) << "the viewer is closed";
        EXPECT_EQ(QFileInfo::exists(saved_), c.written);
    }

    QPointer<WZPicView> viewer_;
    QString saved_;
};

const Closing kClosings[] = {
    {"No", [](WindowTest& t) { t.dialogs.answer(Answer::No); }, true, false},
    {"YesAndSaved",
     [](WindowTest& t) {
         t.dialogs.answer(Answer::Yes);
         t.dialogs.choose(t.temp.path("saved.htt"));
     },
     true, true},
    {"Cancel", [](WindowTest& t) { t.dialogs.answer(Answer::Cancel); }, false, false},
    {"YesThenCancelledSaveDialog",
     [](WindowTest& t) {
         t.dialogs.answer(Answer::Yes);
         t.dialogs.cancelDialog();
     },
     false, false},
    {"YesWithAMissingImage",
     [](WindowTest& t) {
         t.box("Img")->setText(t.temp.path("gone.gif"));
         t.dialogs.answer(Answer::Yes);
         t.dialogs.answer(Answer::Ok);  // "File Does Not Exist"
     },
     false, false},
};

TEST_P(ClosingTest, CloseButton) {
    prepare();
    GetParam().script(*this);
    expectOutcome(window().close());
}

TEST_P(ClosingTest, ExitCommand) {
    prepare();
    GetParam().script(*this);
    window().mnuExit_Click();
    expectOutcome(!window().isVisible());
}

INSTANTIATE_TEST_SUITE_P(Answers, ClosingTest, ::testing::ValuesIn(kClosings),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(WindowTest, ClosingWithoutAViewerOnlyAsks) {
    startShown();
    dialogs.answer(Answer::No);
    EXPECT_TRUE(window().close());
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.last().title, "Save Changes");
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

TEST_F(WindowTest, FileDroppedOnAPathBoxFillsItAsItsChooserWould) {
    start();
    option("Number")->setChecked(true);
    const QString sound = file("drop.wav");
    ASSERT_TRUE(dropFiles(box("Sound"), {sound}));
    EXPECT_EQ(text("Sound"), sound);
    EXPECT_FALSE(box("txtLoop")->isEnabled());
    EXPECT_EQ(window().viewer(), nullptr);

    const QString background = writePicture(temp, "drop panel.bmp");
    ASSERT_TRUE(dropFiles(box("Bck"), {background}));
    EXPECT_EQ(text("Bck"), background);
    ASSERT_NE(window().viewer(), nullptr);
    EXPECT_EQ(window().viewer()->windowTitle(), "Picture Viewer - " + background);
    EXPECT_EQ(window().viewer()->picView()->pictureAlignment(), PicView::kTile);

    const QString line = writePicture(temp, "drop line.png");
    ASSERT_TRUE(dropFiles(box("Img"), {line}));
    EXPECT_EQ(text("Img"), line);
    EXPECT_EQ(window().viewer()->picView()->pictureAlignment(), PicView::kCentre);
    EXPECT_TRUE(dialogs.shown().empty()) << "no dialog for a drop";
}

TEST_F(WindowTest, SeveralFilesOrNoFileAreNotTakenByAPathBox) {
    start();
    const QString before = text("Bck");
    EXPECT_FALSE(dropFiles(box("Bck"), {file("a.bmp"), file("b.bmp")}));
    EXPECT_FALSE(dropFiles(box("Bck"), {temp.root()}));
    EXPECT_FALSE(dropFiles(box("Bck"), {temp.path("missing.bmp")}));
    EXPECT_EQ(text("Bck"), before);
    EXPECT_EQ(window().viewer(), nullptr);
}

TEST_F(WindowTest, TemplateDroppedOnTheWindowOpensAsOpenWould) {
    start();
    const QString ours = file("dropped.htt", templateBytes({{299, "Dropped description"}}));
    const QList<QWidget*> targets = {list("Fnts"), box("Fol"), box("Title"),
                                     window().centralWidget()};
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

TEST_F(WindowTest, ForeignTemplateDroppedOnTheWindowIsRefused) {
    start();
    const QString foreign = file("folder.htt", "<html>\r\n<body>\r\n");
    dialogs.answer(Answer::No);
    dialogs.answer(Answer::Ok);
    ASSERT_TRUE(dropFiles(list("ColSel"), {foreign}));
    ASSERT_TRUE(waitFor([&] { return dialogs.shown().size() == 2; }));
    EXPECT_EQ(dialogs.last().title, "File Load Error");
    EXPECT_EQ(window().currentFile(), "HyperText Template1.htt");
}

TEST_F(WindowTest, CancelledQuestionKeepsTheDocumentWhenATemplateIsDropped) {
    start();
    box("Fol")->setText("mine");
    dialogs.answer(Answer::Cancel);
    ASSERT_TRUE(dropFiles(window().centralWidget(), {file("other.htt", templateBytes())}));
    ASSERT_TRUE(waitFor([&] { return dialogs.shown().size() == 1; }));
    QTest::qWait(20);
    EXPECT_EQ(text("Fol"), "mine");
}

TEST_F(WindowTest, OtherFilesDroppedOnTheWindowAreRefused) {
    start();
    EXPECT_FALSE(dropFiles(window().centralWidget(), {file("picture.bmp")}));
    EXPECT_FALSE(dropFiles(list("Fnts"), {file("a.htt"), file("b.htt")}));
    QTest::qWait(20);
    EXPECT_TRUE(dialogs.shown().empty());
}

}  // namespace
}  // namespace tessivane::testing
