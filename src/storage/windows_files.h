// SPDX-License-Identifier: MIT
#pragma once
// The file a page's name stands for on this machine, found as Windows finds it when it shows the
// folder (document/windows_names.h): %THISDIRPATH% and a bare name below the folder, each part
// matched letter case aside when the exact name is not there, a drive or network path not
// looked for at all, a path of this machine as it is.
#include <string>

#include <QString>
#include <QStringList>

#include "document/windows_names.h"

namespace tessivane {

struct FoundName {
    enum class State { Found, Missing, NotChecked };
    State state = State::Missing;
    WindowsName::Kind kind = WindowsName::Kind::Empty;
    QString localPath;       // Found: the file on this machine
    bool otherCase = false;  // ... found only with another letter case
};

// The name a page should give a file chosen on this machine: %THISDIRPATH%\... when it lies in
// the folder (links resolved), which Windows finds wherever the folder is; otherwise the path as
// chosen, made absolute when it was relative (the page would read a relative name as one in its
// folder). A value that names no file here (a drive path, a portable name) is kept as it is.
QString pageNameFor(const QString& chosen, const QString& folder);

// folder stands for %THISDIRPATH%; a name below the folder is not checked when it is empty.
FoundName findAsWindows(const std::string& value, const QString& folder);

// The writer's existence check with Windows's rules: a name is refused only when it names a
// file of this machine that is missing. What was not checked, or found only with another letter
// case, is added to the notes.
class WindowsNameCheck {
public:
    explicit WindowsNameCheck(QString folder) : folder_(std::move(folder)) {}
    bool operator()(const std::string& value);
    const QStringList& notes() const { return notes_; }

private:
    QString folder_;
    QStringList notes_;
};

}  // namespace tessivane
