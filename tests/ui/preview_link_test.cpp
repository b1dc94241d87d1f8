// SPDX-License-Identifier: MIT
// View > Preview from the window's side, with a stand-in preview program that records the frames
// it is sent: what is sent and when, a preview that dies, and the menu item without the program.
#include <gtest/gtest.h>
#include <signal.h>

#include <QtTest>
#include <QtWidgets>
#include <memory>

#include "app/dialogs.h"
#include "controls/preview_frames.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"

namespace tessivane::testing {
namespace {

// The frames the stand-in program has written down so far, by name, in order.
QList<PreviewFrame> framesIn(const QString& path) {
    PreviewFrameReader reader;
    reader.append(readBytes(path));
    QList<PreviewFrame> frames;
    while (auto frame = reader.next()) {
        frames << *frame;
    }
    return frames;
}

QByteArrayList documentsIn(const QString& path) {
    QByteArrayList documents;
    for (const PreviewFrame& frame : framesIn(path)) {
        if (frame.name == "document") {
            documents << frame.payload;
        }
    }
    return documents;
}

class PreviewLinkTest : public ::testing::Test {
protected:
    void TearDown() override {
        window.reset();
        qunsetenv("TESSIVANE_PREVIEW_PROGRAM");
        EXPECT_TRUE(dialogs.scriptUsedUp());
    }
    void start(const QString& program) {
        qputenv("TESSIVANE_PREVIEW_PROGRAM", QFile::encodeName(program));
        window = std::make_unique<MainWindow>(QString(), dialogs);
        window->show();
    }
    // The process id the stand-in program last wrote, or 0.
    pid_t pid() const { return readBytes(temp.path("preview.pid")).trimmed().toInt(); }

    ScriptedDialogs dialogs;
    TempDir temp;
    std::unique_ptr<MainWindow> window;
};

// The program is sent the title, the folder and the document as Save would write it; typing
// sends one more document once the keys pause; a preview that dies is said in the status bar
// and Reload starts it again; closing the window ends it.
TEST_F(PreviewLinkTest, PreviewIsFedAndFollowedThroughItsLife) {
    const QString frames = temp.path("preview.frames");
    const QString program =
        temp.file("preview", "#!/bin/sh\necho $$ >\"$0.pid\"\nexec cat >>\"$0.frames\"\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    start(program);
    auto* preview = window->findChild<QAction*>("mnuPreview");
    ASSERT_TRUE(preview && preview->isEnabled());
    preview->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return documentsIn(frames).size() == 1; }));
    const QList<PreviewFrame> sent = framesIn(frames);
    ASSERT_GE(sent.size(), 3);
    EXPECT_EQ(sent[0].name + '=' + sent[0].payload, "title=HyperText Template1.htt");
    EXPECT_EQ(sent[1].name + '=' + sent[1].payload, "folder=" + QDir::homePath().toUtf8());
    EXPECT_TRUE(documentsIn(frames)[0].contains("\r\n%THISDIRNAME%\r\n"));

    auto* description = window->findChild<QLineEdit*>("Fol");
    description->selectAll();
    QTest::keyClicks(description, "Holidays");
    ASSERT_TRUE(QTest::qWaitFor([&] { return documentsIn(frames).size() == 2; }));
    EXPECT_TRUE(documentsIn(frames)[1].contains("\r\nHolidays\r\n"));
    QTest::qWait(3 * PreviewLink::kSettleMs);
    EXPECT_EQ(documentsIn(frames).size(), 2) << "one document for the whole word";

    auto* notice = window->findChild<QWidget*>("previewStopped");
    ASSERT_TRUE(notice && !notice->isVisible());
    const pid_t first = pid();
    ASSERT_GT(first, 0);
    ::kill(first, SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice->isVisible(); }));
    window->findChild<QPushButton*>("previewReload")->click();
    EXPECT_FALSE(notice->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return pid() != first && documentsIn(frames).size() == 3; }));
    EXPECT_TRUE(documentsIn(frames)[2].contains("\r\nHolidays\r\n"));

    const pid_t second = pid();
    dialogs.answer(Dialogs::Answer::No);
    EXPECT_TRUE(window->close());
    EXPECT_NE(::kill(second, 0), 0) << "the preview outlived the window";
    EXPECT_FALSE(notice->isVisible());
}

// Without the program the item is there but disabled, and says where the preview comes from.
TEST_F(PreviewLinkTest, WithoutTheProgramTheItemSaysWhichPackageHasIt) {
    start(temp.path("not-installed"));
    const auto* preview = window->findChild<QAction*>("mnuPreview");
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(preview->isEnabled());
    EXPECT_TRUE(preview->toolTip().contains("tessivane-preview")) << preview->toolTip().toStdString();
}

}  // namespace
}  // namespace tessivane::testing
