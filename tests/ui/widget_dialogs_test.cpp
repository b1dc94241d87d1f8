// SPDX-License-Identifier: MIT
// The real dialogs: message boxes with the right icon, buttons and answers, and Qt's file dialog
// set up from the shared dialog state. Every box shown here is answered from the event loop, and
// a watchdog closes any box left open, so no test can hang on one.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include "ui/widget_dialogs.h"
#include "window_fixture.h"

namespace tessivane::testing {
namespace {

// A lone CR, CR LF and LF each become one line feed; a CR after an LF starts another line.
TEST(WidgetDialogsText, LineBreaksBecomeLineFeeds) {
    EXPECT_EQ(withLineFeeds("a\rb\r\nc\nd\r\re\n\rf"), "a\nb\nc\nd\n\ne\n\nf");
    EXPECT_EQ(withLineFeeds("no breaks"), "no breaks");
}

// Answers the next modal dialog of type D, once it is up, by running the action on it; after five
// seconds it closes any dialog still open, so that no test can hang on one.
template <class D>
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(D&)> action) {
        clock_.start();
        QObject::connect(&poll_, &QTimer::timeout, [this, action] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<D*>(modal); dialog != nullptr && !answered_) {
                answered_ = true;
                action(*dialog);
            } else if (modal != nullptr && clock_.elapsed() > 5000) {
                ADD_FAILURE() << "a dialog was still open";
                modal->close();
            }
        });
        poll_.start(10);
    }

private:
    QTimer poll_;
    QElapsedTimer clock_;
    bool answered_ = false;
};

struct BoxCase {
    const char* what;
    Dialogs::Icon icon;
    QMessageBox::Icon shownIcon;
    Dialogs::Buttons buttons;
    std::function<void(QMessageBox&)> action;
    Dialogs::Answer expected;
};

class MessageBoxTest : public ::testing::TestWithParam<BoxCase> {};

// The box is modal, shows the text as plain text with CR line breaks as line feeds, the icon of
// the message's kind and its buttons (Yes the default of three), and answers the user's choice.
TEST_P(MessageBoxTest, AnswersAsTheUserChose) {
    const BoxCase& c = GetParam();
    const bool three = c.buttons == Dialogs::Buttons::YesNoCancel;
    bool shown = false;
    const ModalAnswer<QMessageBox> answerer([&](QMessageBox& box) {
        shown = true;
        EXPECT_EQ(box.text(), "<b>one</b>\ntwo");
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.icon(), c.shownIcon);
        EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(box.standardButtons(),
                  three ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                        : QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_EQ(box.standardButton(box.defaultButton()),
                  three ? QMessageBox::Yes : QMessageBox::Ok);
        c.action(box);
    });
    WidgetDialogs dialogs;
    EXPECT_EQ(dialogs.message(c.icon, c.buttons, "Title", "<b>one</b>\rtwo"), c.expected);
    EXPECT_TRUE(shown);
}

using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;

INSTANTIATE_TEST_SUITE_P(
    Answers, MessageBoxTest,
    ::testing::Values(
        BoxCase{"Enter", Icon::Question, QMessageBox::Question, Buttons::YesNoCancel,
                [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); }, Answer::Yes},
        BoxCase{"No", Icon::Question, QMessageBox::Question, Buttons::YesNoCancel,
                [](QMessageBox& b) { b.button(QMessageBox::No)->click(); }, Answer::No},
        BoxCase{"Escape", Icon::Exclamation, QMessageBox::Warning, Buttons::YesNoCancel,
                [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); }, Answer::Cancel},
        BoxCase{"CloseButton", Icon::Critical, QMessageBox::Critical, Buttons::YesNoCancel,
                [](QMessageBox& b) { b.close(); }, Answer::Cancel},
        BoxCase{"Ok", Icon::Information, QMessageBox::Information, Buttons::Ok,
                [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); }, Answer::Ok},
        BoxCase{"OkEscape", Icon::Critical, QMessageBox::Critical, Buttons::Ok,
                [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); }, Answer::Ok}),
    [](const auto& info) { return std::string(info.param.what); });

// Qt's file dialog would keep its history in the user's settings; as in the program, it stays in
// memory.
class WidgetDialogsFile : public ::testing::Test {
protected:
    void SetUp() override { keepSettingsOffDisk(); }
    TempDir dir;
};

QString fileNameField(const QFileDialog& dialog) {
    const auto* field = dialog.findChild<QLineEdit*>("fileNameEdit");
    return field != nullptr ? field->text() : QString("<no file name field>");
}

// The proposed name in its own folder, a bare name in the current folder.
TEST_F(WidgetDialogsFile, SaveDialogProposesTheFileInItsFolder) {
    for (const auto& [proposed, folder] :
         {std::pair{dir.path("HyperText Template1.htt"), dir.root()},
          std::pair{QString("HyperText Template1.htt"), QDir::currentPath()}}) {
        QFileDialog dialog;
        prepareFileDialog(dialog, {"Save", filters::kTemplate, proposed, 1}, true);
        EXPECT_EQ(dialog.windowTitle(), "Save");
        EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(dialog.nameFilters(), QStringList{"HyperText Template (*.htt)"});
        EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(folder).canonicalPath());
        EXPECT_EQ(fileNameField(dialog), "HyperText Template1.htt");
    }
}

// The Open dialog starts on the filter chosen last (the first when out of range), each in Qt's
// form, and gives the chosen file and filter back.
TEST_F(WidgetDialogsFile, OpenDialogStartsOnTheFilterChosenLastAndGivesTheChoiceBack) {
    const QString picture = dir.file("tile.bmp", "BM");
    const std::pair<int, QString> cases[] = {{2, "JPEG Image (*.jpe *.jfif *.jpg *.jpeg)"},
                                             {4, "All files (*)"},
                                             {9, "Gif Image (*.gif)"}};
    for (const auto& [index, expected] : cases) {
        QFileDialog dialog;
        prepareFileDialog(dialog, {"Choose Line Image", filters::kImage, picture, index}, false);
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog.selectedNameFilter(), expected) << index;
        DialogState chosen;
        takeFileDialogResult(dialog, chosen);
        EXPECT_EQ(QFileInfo(chosen.fileName).canonicalFilePath(),
                  QFileInfo(picture).canonicalFilePath());
        EXPECT_EQ(chosen.filterIndex, index <= 4 ? index : 1);
    }
}

// The whole dialog, shown: a name typed into it gets the extension; Escape cancels and keeps the
// name. A later dialog elsewhere still offers the folder visited first.
TEST_F(WidgetDialogsFile, ShownDialogConfirmsAndCancels) {
    WidgetDialogs dialogs;
    DialogState state{"Save As", filters::kTemplate, dir.path("first.htt"), 1};
    {
        const ModalAnswer<QFileDialog> answerer([](QFileDialog& dialog) {
            auto* field = dialog.findChild<QLineEdit*>("fileNameEdit");
            field->setText("typed");
            QTest::keyClick(field, Qt::Key_Return);
        });
        ASSERT_TRUE(dialogs.showSave(state));
    }
    EXPECT_EQ(state.fileName, dir.path("typed.htt")) << "the extension is added";

    const TempDir elsewhere;
    state.fileName = elsewhere.path("other.htt");
    QStringList history;
    const ModalAnswer<QFileDialog> answerer([&](QFileDialog& dialog) {
        history = dialog.history();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialogs.showSave(state));
    EXPECT_EQ(state.fileName, elsewhere.path("other.htt"));
    EXPECT_TRUE(history.contains(dir.root())) << history.join(' ').toStdString();
}

}  // namespace
}  // namespace tessivane::testing
