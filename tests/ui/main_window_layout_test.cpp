// SPDX-License-Identifier: MIT
// The main window's layout and keyboard: every control inside its frame, readable and not
// covered, a fixed window, the tab order and the access keys.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include "window_fixture.h"

namespace tessivane::testing {
namespace {

// The frames inside the client area and the controls inside their frames, none covering another;
// every caption at least as large as its text needs, and the colour names readable whole.
TEST_F(WindowTest, ControlsStayInsideTheirFramesUncoveredAndShowTheirWholeCaptions) {
    startShown();
    const QWidget* client = window().centralWidget();
    const QList<const QWidget*> parents = {client, control("frmFont"), control("frmSounds"),
                                           control("frmGraphic")};
    for (const QWidget* parent : parents) {
        const QList<QWidget*> children =
            parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_FALSE(children.isEmpty());
        for (qsizetype i = 0; i < children.size(); ++i) {
            const QWidget* child = children[i];
            const std::string name = child->objectName().toStdString();
            EXPECT_TRUE(parent->rect().contains(child->geometry())) << name;
            for (qsizetype j = i + 1; j < children.size(); ++j) {
                EXPECT_FALSE(child->geometry().intersects(children[j]->geometry()))
                    << name << " covers " << children[j]->objectName().toStdString();
            }
            const auto* label = qobject_cast<const QLabel*>(child);
            if ((label != nullptr && label->buddy() != nullptr) ||
                qobject_cast<const QRadioButton*>(child) != nullptr) {
                EXPECT_GE(child->width(), child->sizeHint().width()) << name;
                EXPECT_GE(child->height(), child->sizeHint().height()) << name;
            }
        }
    }
    EXPECT_LE(list("ColSel")->sizeHintForColumn(0), list("ColSel")->viewport()->width());
}

// Centred, of fixed size, no maximising; below the menu bar the client area, then the status bar,
// which keeps a long path whole without widening anything.
TEST_F(WindowTest, WindowIsFixedAndCentredAndItsStatusBarKeepsALongPathWhole) {
    startShown();
    const QRect screen = window().screen()->availableGeometry();
    EXPECT_LE((window().geometry().center() - screen.center()).manhattanLength(), 2);
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    EXPECT_FALSE(window().windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    const QSize before = window().size();
    const QString path = "/" + QString("a folder with a long name/").repeated(20) + "file.htt";
    window().setCurrentFile(path);
    QTest::qWait(1);
    EXPECT_EQ(window().currentFile(), path);
    EXPECT_EQ(window().size(), before);
    const QStatusBar* status = window().statusBar();
    EXPECT_EQ(status->objectName(), "CurFile");
    EXPECT_EQ(status->width(), window().centralWidget()->width());
    EXPECT_EQ(window().height(),
              window().menuBar()->height() + window().centralWidget()->height() + status->height());
}

// The names of the controls that the focus visits when Tab is pressed from Fnts, until it is back.
QStringList tabRound(QWidget* first) {
    QStringList visited;
    first->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 30; ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == first) {
            break;
        }
    }
    return visited;
}

// Both option buttons are visited, whichever is chosen; the loop count only while enabled.
TEST_F(WindowTest, TabVisitsTheControlsInOrderAndSkipsTheDisabledLoopCount) {
    startShown();
    EXPECT_EQ(QApplication::focusWidget(), list("Fnts")) << "Fnts has the focus at start";
    QStringList order = {"Fnts",   "ColSel", "Title",   "Info", "Sound",   "Browse1", "optLoop",
                         "Number", "Bck",    "Browse2", "Img",  "Browse3", "Fol"};
    EXPECT_EQ(tabRound(list("Fnts")), order);
    option("Number")->setChecked(true);
    order.insert(order.indexOf("Number") + 1, "txtLoop");
    EXPECT_EQ(tabRound(list("Fnts")), order);
}

// Each access key, pressed from a control inside each frame (so that no frame's last focused
// child decides); the option buttons' keys also choose them.
TEST_F(WindowTest, AccessKeysMoveTheFocusToTheirControls) {
    startShown();
    const std::pair<const char*, const char*> keys[] = {
        {"Alt+O", "Fnts"},  {"Alt+C", "ColSel"}, {"Alt+T", "Title"},   {"Alt+I", "Info"},
        {"Alt+S", "Sound"}, {"Alt+P", "Number"}, {"Alt+L", "optLoop"}, {"Alt+B", "Bck"},
        {"Alt+N", "Img"},   {"Alt+D", "Fol"}};
    for (const char* from : {"Title", "Browse1", "Fol"}) {
        for (const auto& [key, focused] : keys) {
            SCOPED_TRACE(std::string(from) + " " + key);
            control(from)->setFocus(Qt::OtherFocusReason);
            QTest::keySequence(&window(), QKeySequence(QString::fromLatin1(key)));
            EXPECT_EQ(QApplication::focusWidget()->objectName(), focused);
            if (auto* button = qobject_cast<QRadioButton*>(QApplication::focusWidget())) {
                EXPECT_TRUE(waitFor([&] { return button->isChecked(); }));
                EXPECT_EQ(box("txtLoop")->isEnabled(), button == option("Number"));
            }
        }
    }
}

}  // namespace
}  // namespace tessivane::testing
