// SPDX-License-Identifier: MIT
// The real message boxes and file dialog, shown and answered from the event loop; the files the
// picture viewer takes for pictures.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <map>
#include <memory>

#include "support/temp_dir.h"
#include "ui/folder_look_dialog.h"
#include "ui/picture_viewer.h"
#include "ui/widget_dialogs.h"

namespace tessivane {
namespace {

using Box = QMessageBox;

// Runs the action on the next modal dialog of type D once it is up, and after five seconds closes
// any modal dialog left open, so that no test can hang on one; until the returned timer goes.
template <class D>
std::unique_ptr<QTimer> answerModal(std::function<void(D&)> action) {
    auto timer = std::make_unique<QTimer>();
    const QDeadlineTimer deadline(5000);
    QObject::connect(timer.get(), &QTimer::timeout, [action, deadline, answered = false]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<D*>(modal); dialog && !std::exchange(answered, true)) {
            action(*dialog);
        } else if (modal != nullptr && deadline.hasExpired()) {
            ADD_FAILURE() << "a dialog was still open";
            modal->close();
        }
    });
    timer->start(10);
    return timer;
}

using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;

// Icon, buttons, the icon shown, the user's action ("No" clicks No) and the answer.
using BoxCase = std::tuple<Icon, Buttons, Box::Icon, const char*, Answer>;

class MessageBoxTest : public ::testing::TestWithParam<BoxCase> {};

// Application-modal plain text (CR as LF), icon, buttons, default (Yes of 3, No of 2), answer.
TEST_P(MessageBoxTest, ShowsTheMessageAndAnswersAsTheUserChose) {
    const auto& [icon, buttons, shownIcon, action, answer] = GetParam();
    const std::map<Buttons, std::pair<Box::StandardButtons, Box::StandardButton>> shownButtons = {
        {Buttons::Ok, {Box::Ok, Box::Ok}},
        {Buttons::YesNo, {Box::Yes | Box::No, Box::No}},
        {Buttons::YesNoCancel, {Box::Yes | Box::No | Box::Cancel, Box::Yes}}};
    bool shown = false;
    const auto answerer = answerModal<Box>([&](Box& box) {
        shown = true;
        EXPECT_EQ(box.text(), "<b>one</b>\ntwo\n\nthree");
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(box.icon(), shownIcon);
        EXPECT_EQ(box.standardButtons(), shownButtons.at(buttons).first);
        EXPECT_EQ(box.standardButton(box.defaultButton()), shownButtons.at(buttons).second);
        const QString act = action;
        act == "No"      ? box.button(Box::No)->click()
        : act == "close" ? void(box.close())
                         : QTest::keyClick(&box, act == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
    });
    EXPECT_EQ(WidgetDialogs().message(icon, buttons, "Title", "<b>one</b>\rtwo\r\n\nthree"),
              answer);
    EXPECT_TRUE(shown);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MessageBoxTest,
    ::testing::Values(
        BoxCase{Icon::Question, Buttons::YesNoCancel, Box::Question, "Return", Answer::Yes},
        BoxCase{Icon::Critical, Buttons::YesNoCancel, Box::Critical, "close", Answer::Cancel},
        BoxCase{Icon::Exclamation, Buttons::YesNo, Box::Warning, "Escape", Answer::No},
        BoxCase{Icon::Information, Buttons::Ok, Box::Information, "Return", Answer::Ok}));

// "Restore" or "Keep the file as it is": neither is the default, and neither Return, Escape nor
// closing the box chooses one for the user.
TEST(MessageBoxTest, RestoreOrKeepIsTheUsersChoiceAlone) {
    for (const Answer answer : {Answer::Restore, Answer::Keep}) {
        const auto answerer = answerModal<Box>([&](Box& box) {
            QStringList texts;
            for (const QAbstractButton* button : box.buttons()) {
                texts << button->text();
            }
            EXPECT_EQ(texts, (QStringList{"Restore", "Keep the file as it is"}));
            EXPECT_EQ(box.defaultButton(), nullptr);
            QTest::keyClick(&box, Qt::Key_Return);
            QTest::keyClick(&box, Qt::Key_Escape);
            box.close();
            EXPECT_TRUE(box.isVisible() && box.clickedButton() == nullptr);
            box.buttons().at(answer == Answer::Restore ? 0 : 1)->click();
        });
        EXPECT_EQ(WidgetDialogs().message(Icon::Question, Buttons::RestoreOrKeep, "T", "t"),
                  answer);
    }
}

// A typed name gets the extension; Escape keeps the name. The folders visited stay in memory for
// the run (not in the user's settings), so a later dialog elsewhere offers the first folder.
TEST(FileDialogTest, ConfirmsCancelsAndKeepsTheHistoryInMemory) {
    keepSettingsOffDisk();
    const test::TempDir dir, elsewhere;
    WidgetDialogs dialogs;
    DialogState state{"Save As", filters::templates(), dir.path("first.htt"), {}};
    {
        const auto answerer = answerModal<QFileDialog>([](QFileDialog& dialog) {
            auto* field = dialog.findChild<QLineEdit*>("fileNameEdit");
            field->setText("typed");
            QTest::keyClick(field, Qt::Key_Return);
        });
        ASSERT_TRUE(dialogs.showSave(state));
    }
    EXPECT_EQ(state.fileName, dir.path("typed.htt"));
    state.fileName = elsewhere.path("other.htt");
    QStringList history;
    const auto answerer = answerModal<QFileDialog>([&](QFileDialog& dialog) {
        history = dialog.history();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialogs.showSave(state));
    EXPECT_EQ(state.fileName, elsewhere.path("other.htt"));
    EXPECT_TRUE(history.contains(dir.root())) << history.join(' ').toStdString();
}

// The look form starts from the folder's look (a colour of the sixteen by its name) under the
// question, and gives back what was typed: a colour as a name or #RRGGBB, an index only with an
// icon file. OK waits for a colour it can write; Escape gives nothing.
TEST(FolderLookDialogTest, StartsFromTheLookAndGivesBackWhatWasTyped) {
    const FolderLook initial{"Old tip", "C:\\icons\\a.ico", "2", "old.gif", "0x000000FF"};
    struct Row {
        const char* icon;
        const char* colour;                  // typed into the colour field
        std::optional<FolderLook> expected;  // nothing: OK disabled, Escape pressed
    };
    const Row rows[] = {
        {"new.ico", "#12aB56", FolderLook{"typed", "new.ico", "-3", "", "0x0056AB12"}},
        {"", "navy", FolderLook{"typed", "", "", "", "0x00800000"}},
        {"new.ico", "", FolderLook{"typed", "new.ico", "-3", "", ""}},
        {"new.ico", "no colour", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.colour);
        bool shown = false;
        const auto answerer = answerModal<QDialog>([&](QDialog& dialog) {
            shown = true;
            EXPECT_EQ(dialog.objectName(), "folderLookDialog");
            EXPECT_EQ(dialog.windowTitle(), "Use for Folder");
            EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
            EXPECT_EQ(dialog.findChild<QLabel*>("lookQuestion")->text(), "Use it?\n\nReally.");
            auto* comment = dialog.findChild<QLineEdit*>("lookComment");
            auto* icon = dialog.findChild<QLineEdit*>("lookIcon");
            auto* index = dialog.findChild<QSpinBox*>("lookIconIndex");
            auto* picture = dialog.findChild<QLineEdit*>("lookListPicture");
            auto* colour = dialog.findChild<QComboBox*>("lookTextColour");
            ASSERT_TRUE(comment && icon && index && picture && colour);
            EXPECT_EQ(comment->text(), "Old tip");
            EXPECT_EQ(icon->text(), "C:\\icons\\a.ico");
            EXPECT_EQ(index->value(), 2);
            EXPECT_EQ(picture->text(), "old.gif");
            EXPECT_EQ(colour->currentText(), "Red");
            comment->clear();
            QTest::keyClicks(comment, "typed");
            icon->setText(row.icon);
            index->setValue(-3);
            picture->clear();
            colour->setCurrentText(row.colour);
            QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            EXPECT_EQ(ok->isEnabled(), row.expected.has_value());
            row.expected ? ok->click() : QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        EXPECT_EQ(WidgetDialogs().folderLook("Use for Folder", "Use it?\r\rReally.", initial, "/"),
                  row.expected);
        EXPECT_TRUE(shown);
    }
}

// GIF, JPEG, BMP and PNG by content; anything else (an icon Qt reads too) leaves the picture shown.
TEST(PictureViewerTest, ReadsGifJpegBmpAndPngOnly) {
    test::TempDir dir;
    const auto saved = [&](const QString& name, int size, const char* format) {
        QImage image(size, size + 1, QImage::Format_RGB32);
        image.fill(Qt::blue);
        EXPECT_TRUE(image.save(dir.path(name), format)) << format;
        return dir.path(name);
    };
    const QByteArray& gif = test::kGif;
    const std::pair<QString, QSize> cases[] = {
        {dir.file("notes.gif", "This is no picture.\r\n"), {}},
        {saved("a.png", 8, "PNG"), {8, 9}},
        {saved("b.bmp", 5, "BMP"), {5, 6}},
        {saved("icon.ico", 16, "ICO"), {}},
        {saved("c.jpg", 10, "JPEG"), {10, 11}},
        {dir.file("d.gif", gif), {1, 1}},
        {saved("png-named.gif", 7, "PNG"), {7, 8}},
        {dir.file("cut.gif", gif.left(12)), {}},
        {dir.path("missing.bmp"), {}}};
    PictureView view;
    QSize shown(0, 0);
    for (const auto& [path, size] : cases) {
        EXPECT_EQ(view.loadPicture(path), size.isValid()) << path.toStdString();
        shown = size.isValid() ? size : shown;
        EXPECT_EQ(view.picture().size(), shown) << path.toStdString();
    }
}

}  // namespace
}  // namespace tessivane
