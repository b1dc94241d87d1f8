// SPDX-License-Identifier: MIT
#pragma once
// What the main-window tests share: a window started with scripted dialogs, its controls found by
// name, documents written from the built-in template with some lines replaced, and waiting for
// the event loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QString>
#include <QTest>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "document/template.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "ui/form_controls.h"
#include "ui/main_window.h"

// Test failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tessivane::testing {

// Runs the event loop until the condition holds or the time is up.
inline bool waitFor(const std::function<bool()>& condition, int milliseconds = 2000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

// The built-in template's lines with some replaced, cut to a number of lines, as file bytes.
inline QByteArray templateBytes(const std::map<int, std::string>& replaced = {},
                                std::size_t lineCount = 0) {
    std::vector<std::string> lines = templateLines();
    for (const auto& [index, text] : replaced) {
        lines.at(std::size_t(index)) = text;
    }
    if (lineCount != 0) {
        lines.resize(lineCount);
    }
    QByteArray bytes;
    for (const std::string& line : lines) {
        bytes += QByteArray::fromStdString(line) + "\r\n";
    }
    return bytes;
}

class WindowTest : public ::testing::Test {
public:
    void TearDown() override {
        window_.reset();
        EXPECT_TRUE(dialogs.scriptUsedUp()) << "a scripted dialog answer was not used";
    }

    MainWindow& start(const QString& commandLine = QString()) {
        window_ = std::make_unique<MainWindow>(commandLine, dialogs);
        return *window_;
    }
    // Starts, shows and activates the window, for tests that press keys.
    MainWindow& startShown(const QString& commandLine = QString()) {
        start(commandLine);
        window_->show();
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        return *window_;
    }
    MainWindow& window() { return *window_; }

    template <class T = QWidget>
    T* control(const char* name) const {
        T* found = window_->findChild<T*>(QLatin1String(name));
        if (found == nullptr) {
            ADD_FAILURE() << "no control named " << name;
        }
        return found;
    }
    QLineEdit* box(const char* name) const { return control<QLineEdit>(name); }
    ChoiceList* list(const char* name) const { return control<ChoiceList>(name); }
    QRadioButton* option(const char* name) const { return control<QRadioButton>(name); }
    QString text(const char* name) const { return box(name)->text(); }

    // A control's state as one text: a box's text, followed by " (disabled)" when it is; a list's
    // chosen item; "on" or "off" for an option button; a sample's text colour "on" its background.
    QString state(const char* name) const {
        QWidget* widget = control(name);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            return edit->text() + (edit->isEnabled() ? "" : " (disabled)");
        }
        if (auto* choices = qobject_cast<ChoiceList*>(widget)) {
            return choices->text();
        }
        if (auto* button = qobject_cast<QRadioButton*>(widget)) {
            return button->isChecked() ? "on" : "off";
        }
        const auto* sample = qobject_cast<QLabel*>(widget);
        if (sample == nullptr) {
            return "<no such control>";
        }
        const QPalette colours = sample->palette();
        return colours.color(QPalette::WindowText).name() + " on " +
               colours.color(QPalette::Window).name();
    }
    // Checks controls' states, written "name=state|name=state|...".
    void expectStates(const QString& states) const {
        for (const QString& entry : states.split('|', Qt::SkipEmptyParts)) {
            const QString name = entry.section('=', 0, 0);
            EXPECT_EQ(state(name.toLatin1().constData()), entry.section('=', 1))
                << name.toStdString();
        }
    }

    // A file in the scratch folder.
    QString file(const QString& name, const QByteArray& bytes = "x") const {
        return temp.file(name, bytes);
    }

    // Opens a file through the File menu: the save-changes question answered No, then the file
    // chosen in the Open dialog.
    void openThroughMenu(const QString& path) {
        dialogs.answer(Dialogs::Answer::No);
        dialogs.choose(path);
        window_->mnuOpen_Click();
    }

    ScriptedDialogs dialogs;
    TempDir temp;

private:
    std::unique_ptr<MainWindow> window_;
};

}  // namespace tessivane::testing
