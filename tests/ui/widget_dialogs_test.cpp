// The real dialogs: message boxes with the right icon, buttons and answers, and Qt's file dialog
// set up from the shared dialog state. Every box shown here is answered from the event loop, and
// a watchdog closes any box left open, so no test can hang on one.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <functional>

#include "support/temp_dir.h"
#include "ui/widget_dialogs.h"
#include "window_fixture.h"

namespace tessivane::testing {
namespace {

TEST(WidgetDialogsText, LineBreaksBecomeLineFeeds) {
    const std::vector<std::pair<QString, QString>> cases = {
        {"a\rb", "a\nb"},     {"a\r\nb", "a\nb"},         {"a\nb", "a\nb"}, {"a\r\rb", "a\n\nb"},
        {"a\n\rb", "a\n\nb"}, {"no breaks", "no breaks"}, {"\r", "\n"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(withLineFeeds(text), expected) << text.toStdString();
    }
}

TEST(WidgetDialogsText, IconsMatchTheMessageStyles) {
    EXPECT_EQ(messageBoxIcon(Dialogs::Icon::Critical), QMessageBox::Critical);
    EXPECT_EQ(messageBoxIcon(Dialogs::Icon::Exclamation), QMessageBox::Warning);
    EXPECT_EQ(messageBoxIcon(Dialogs::Icon::Question), QMessageBox::Question);
    EXPECT_EQ(messageBoxIcon(Dialogs::Icon::Information), QMessageBox::Information);
}

// Answers the next modal dialog of type D, once it is up, by running the action on it. While the
// answer lives, a watchdog closes any dialog still open after five seconds, so that no test can
// hang on one.
template <class D>
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(D&)> action) : action_(std::move(action)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
                poll_.stop();
                action_(*dialog);
            }
        });
        poll_.start(10);
        watchdog_.setSingleShot(true);
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a dialog was still open";
                modal->close();
            }
        });
        watchdog_.start(5000);
    }

private:
    std::function<void(D&)> action_;
    QTimer poll_;
    QTimer watchdog_;
};

struct BoxCase {
    const char* what;
    Dialogs::Buttons buttons;
    std::function<void(QMessageBox&)> action;
    Dialogs::Answer expected;
};

class MessageBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxTest, AnswersAsTheUserChose) {
    WidgetDialogs dialogs;
    QMessageBox::StandardButtons seenButtons;
    QMessageBox::StandardButton seenDefault = QMessageBox::NoButton;
    QString seenText;
    Qt::WindowModality seenModality = Qt::NonModal;
    const ModalAnswer<QMessageBox> answerer([&](QMessageBox& box) {
        seenButtons = box.standardButtons();
        seenDefault = box.standardButton(box.defaultButton());
        seenText = box.text();
        seenModality = box.windowModality();
        GetParam().action(box);
    });
    const Dialogs::Answer answer =
        dialogs.message(Dialogs::Icon::Question, GetParam().buttons, "Title", "one\rtwo");
    EXPECT_EQ(answer, GetParam().expected);
    EXPECT_EQ(seenText, "one\ntwo");
    EXPECT_EQ(seenModality, Qt::ApplicationModal);
    if (GetParam().buttons == Dialogs::Buttons::YesNoCancel) {
        EXPECT_EQ(seenButtons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(seenDefault, QMessageBox::Yes);
    } else {
        EXPECT_EQ(seenButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

void press(QMessageBox& box, int key) {
    QTest::keyClick(&box, Qt::Key(key));
}
void clickButton(QMessageBox& box, QMessageBox::StandardButton which) {
    box.button(which)->click();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MessageBoxTest,
    ::testing::Values(
        BoxCase{"Enter", Dialogs::Buttons::YesNoCancel,
                [](QMessageBox& b) { press(b, Qt::Key_Return); }, Dialogs::Answer::Yes},
        BoxCase{"Escape", Dialogs::Buttons::YesNoCancel,
                [](QMessageBox& b) { press(b, Qt::Key_Escape); }, Dialogs::Answer::Cancel},
        BoxCase{"CloseButton", Dialogs::Buttons::YesNoCancel, [](QMessageBox& b) { b.close(); },
                Dialogs::Answer::Cancel},
        BoxCase{"No", Dialogs::Buttons::YesNoCancel,
                [](QMessageBox& b) { clickButton(b, QMessageBox::No); }, Dialogs::Answer::No},
        BoxCase{"Cancel", Dialogs::Buttons::YesNoCancel,
                [](QMessageBox& b) { clickButton(b, QMessageBox::Cancel); },
                Dialogs::Answer::Cancel},
        BoxCase{"Ok", Dialogs::Buttons::Ok, [](QMessageBox& b) { press(b, Qt::Key_Return); },
                Dialogs::Answer::Ok},
        BoxCase{"OkEscape", Dialogs::Buttons::Ok, [](QMessageBox& b) { press(b, Qt::Key_Escape); },
                Dialogs::Answer::Ok}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(WidgetDialogsMessage, TextThatLooksLikeMarkupIsShownAsItIs) {
    WidgetDialogs dialogs;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    const ModalAnswer<QMessageBox> answerer([&](QMessageBox& box) {
        format = box.textFormat();
        icon = box.icon();
        box.close();
    });
    dialogs.message(Dialogs::Icon::Critical, Dialogs::Buttons::Ok, "File Access Error",
                    "'/tmp/<b>bold</b>.htt' has the read only attribute set.");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(icon, QMessageBox::Critical);
}

// Qt's file dialog keeps its history in the user's settings when it closes; these tests keep it
// in a scratch folder instead.
class WidgetDialogsFile : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.root());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.root());
    }

private:
    TempDir settings_;
};

QString fileNameField(const QFileDialog& dialog) {
    const auto* field = dialog.findChild<QLineEdit*>("fileNameEdit");
    return field != nullptr ? field->text() : QString("<no file name field>");
}

TEST_F(WidgetDialogsFile, SaveDialogProposesTheFileInItsFolder) {
    TempDir dir;
    DialogState state{"Save", filters::kTemplate, dir.path("HyperText Template1.htt"), 1};
    QFileDialog dialog;
    prepareFileDialog(dialog, state, true);
    EXPECT_EQ(dialog.windowTitle(), "Save");
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.defaultSuffix(), "htt");
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog.nameFilters(), QStringList{"HyperText Template (*.htt)"});
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(dir.root()).canonicalPath());
    EXPECT_EQ(fileNameField(dialog), "HyperText Template1.htt");
}

TEST_F(WidgetDialogsFile, BareNameIsProposedInTheCurrentFolder) {
    DialogState state{"Save", filters::kTemplate, "HyperText Template3.htt", 1};
    QFileDialog dialog;
    prepareFileDialog(dialog, state, true);
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir::current().canonicalPath());
    EXPECT_EQ(fileNameField(dialog), "HyperText Template3.htt");
}

TEST_F(WidgetDialogsFile, OpenDialogStartsOnTheFilterChosenLast) {
    const std::vector<std::pair<int, QString>> cases = {
        {1, "Wave Sound (*.wav)"}, {2, "MIDI Sequence (*.mid *.rmi)"}, {3, "MP3 files (*.mp3)"},
        {5, "All files (*)"},      {9, "Wave Sound (*.wav)"},  // out of range: the first
    };
    for (const auto& [index, expected] : cases) {
        DialogState state{"Choose Sound File", filters::kSound, QString(), index};
        QFileDialog dialog;
        prepareFileDialog(dialog, state, false);
        EXPECT_EQ(dialog.windowTitle(), "Choose Sound File");
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog.nameFilters().size(), 5);
        EXPECT_EQ(dialog.selectedNameFilter(), expected) << index;
    }
}

TEST_F(WidgetDialogsFile, ConfirmedChoiceGivesThePathAndFilterIndexBack) {
    TempDir dir;
    const QString picture = dir.file("tile.bmp", "BM");
    DialogState state{"Choose Background Image", filters::kImage, QString(), 1};
    QFileDialog dialog;
    prepareFileDialog(dialog, state, false);
    dialog.setDirectory(dir.root());
    dialog.selectNameFilter(dialog.nameFilters().at(2));
    dialog.selectFile(picture);
    takeFileDialogResult(dialog, state);
    EXPECT_EQ(QFileInfo(state.fileName).canonicalFilePath(),
              QFileInfo(picture).canonicalFilePath());
    EXPECT_EQ(state.filterIndex, 3);
}

// The whole dialog, shown: confirming with Enter on a typed name, and cancelling with Escape.
TEST_F(WidgetDialogsFile, ShownDialogConfirmsAndCancels) {
    TempDir dir;
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

    const ModalAnswer<QFileDialog> answerer(
        [](QFileDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_FALSE(dialogs.showSave(state));
    EXPECT_EQ(state.fileName, dir.path("typed.htt")) << "a cancelled dialog keeps the name";
}

}  // namespace
}  // namespace tessivane::testing
