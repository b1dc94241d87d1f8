// SPDX-License-Identifier: MIT
#pragma once
// Dialogs answered from a script, in the order the test expects them. Every message box and file
// dialog is recorded; one that the script does not expect fails the test at once instead of
// blocking, and a test can check that the script was used up.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <ostream>
#include <vector>

#include <QString>

#include "app/dialogs.h"

namespace tessivane {

// A look in a failed expectation, readable.
inline void PrintTo(const FolderLook& look, std::ostream* out) {
    *out << "{comment \"" << look.comment << "\", icon \"" << look.iconFile << "\","
         << look.iconIndex << ", list picture \"" << look.listPicture << "\", colour \""
         << look.listTextColour << "\"}";
}

}  // namespace tessivane

namespace tessivane::test {

class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        enum class Kind { Message, Open, Save, Folder, Look } kind;
        Icon icon = Icon::Information;
        Buttons buttons = Buttons::Ok;
        QString title;
        QString text;
        DialogState state;  // for file dialogs: the state as the dialog was shown
        FolderLook look;    // for the look form: the look it was offered (folder: state.fileName)
    };

    // The next message box is answered with this button.
    void answer(Answer answer) { script_.push_back(Reply{Shown::Kind::Message, answer, {}}); }
    // The next file dialog (Open, Save or a folder) is confirmed with this path, with the filter
    // at this place (0 the first) chosen.
    void choose(const QString& path, int filterPlace = 0) {
        script_.push_back(Reply{std::nullopt, Answer::Ok, path, filterPlace});
    }
    // The next file dialog is cancelled.
    void cancelDialog() { script_.push_back(Reply{std::nullopt, Answer::Cancel, {}, 0, true}); }
    // The next folder look form is confirmed with this look, or cancelled.
    void answerLook(const FolderLook& look) {
        script_.push_back(Reply{Shown::Kind::Look, Answer::Ok, {}, 0, false, look});
    }
    void cancelLook() { script_.push_back(Reply{Shown::Kind::Look, Answer::Cancel, {}, 0, true}); }

    Answer message(Icon icon, Buttons buttons, const QString& title, const QString& text) override {
        shown_.push_back({Shown::Kind::Message, icon, buttons, title, text, {}, {}});
        if (script_.empty() || script_.front().kind != Shown::Kind::Message) {
            ADD_FAILURE() << "unexpected message box \"" << title.toStdString()
                          << "\": " << text.toStdString();
            return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
        }
        const Answer reply = script_.front().answer;
        script_.pop_front();
        return reply;
    }
    bool showOpen(DialogState& state) override { return fileDialog(Shown::Kind::Open, state); }
    bool showSave(DialogState& state) override { return fileDialog(Shown::Kind::Save, state); }
    bool showFolder(DialogState& state) override { return fileDialog(Shown::Kind::Folder, state); }
    std::optional<FolderLook> folderLook(const QString& title, const QString& question,
                                         const FolderLook& initial,
                                         const QString& folder) override {
        shown_.push_back({Shown::Kind::Look, Icon::Question, Buttons::Ok, title, question,
                          DialogState{title, {}, folder, {}}, initial});
        if (script_.empty() || script_.front().kind != Shown::Kind::Look) {
            ADD_FAILURE() << "unexpected folder look form: " << question.toStdString();
            return std::nullopt;
        }
        const Reply reply = script_.front();
        script_.pop_front();
        return reply.cancel ? std::nullopt : std::optional<FolderLook>(reply.look);
    }

    const std::vector<Shown>& shown() const { return shown_; }
    const Shown& last() const { return shown_.back(); }
    bool scriptUsedUp() const { return script_.empty(); }
    void clearShown() { shown_.clear(); }

private:
    struct Reply {
        std::optional<Shown::Kind> kind;  // Message, Look, or nothing for a file dialog
        Answer answer = Answer::Ok;
        QString path;
        int filterPlace = 0;
        bool cancel = false;
        FolderLook look{};
    };

    bool fileDialog(Shown::Kind kind, DialogState& state) {
        shown_.push_back({kind, Icon::Information, Buttons::Ok, state.title, {}, state, {}});
        if (script_.empty() || script_.front().kind.has_value()) {
            ADD_FAILURE() << "unexpected file dialog \"" << state.title.toStdString() << "\"";
            return false;
        }
        const Reply reply = script_.front();
        script_.pop_front();
        if (reply.cancel) {
            return false;
        }
        state.fileName = reply.path;
        state.selectedNameFilter = state.nameFilters.value(reply.filterPlace);
        return true;
    }

    std::deque<Reply> script_;
    std::vector<Shown> shown_;
};

}  // namespace tessivane::test
