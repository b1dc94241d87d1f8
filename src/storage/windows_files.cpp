// SPDX-License-Identifier: MIT
#include "storage/windows_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "storage/file_services.h"

namespace tessivane {
namespace {

// The entry of the folder that Windows would open for the name: the exact one, or else the
// first, in byte order, that matches letter case aside.
QString entryAsWindows(const QDir& folder, const QString& name, bool& otherCase) {
    if (name == QLatin1String("..") || QFileInfo::exists(folder.filePath(name))) {
        return name;
    }
    QStringList matches;
    for (const QString& entry :
         folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            matches << entry;
        }
    }
    if (matches.isEmpty()) {
        return {};
    }
    matches.sort();
    otherCase = true;
    return matches.first();
}

}  // namespace

QString pageNameFor(const QString& chosen, const QString& folder) {
    const QFileInfo file(chosen);
    if (chosen.isEmpty() || !file.isFile()) {
        return chosen;
    }
    const QString within = folder.isEmpty() ? QString() : QDir(folder).canonicalPath();
    const QString real = file.canonicalFilePath();
    if (!within.isEmpty() && real.startsWith(within + QLatin1Char('/'))) {
        std::vector<std::string> parts;
        for (const QString& part : real.mid(within.size() + 1).split(QLatin1Char('/'))) {
            parts.push_back(part.toStdString());
        }
        return QString::fromStdString(portableName(parts));
    }
    return file.isRelative() ? file.absoluteFilePath() : chosen;
}

FoundName findAsWindows(const std::string& value, const QString& folder) {
    const WindowsName name = parseWindowsName(value);
    FoundName found;
    found.kind = name.kind;
    switch (name.kind) {
        case WindowsName::Kind::Empty:
            return found;
        case WindowsName::Kind::DrivePath:
        case WindowsName::Kind::NetworkPath:
            found.state = FoundName::State::NotChecked;
            return found;
        case WindowsName::Kind::LocalPath: {
            const QString path =
                QString::fromStdString(value.starts_with("file://") ? value.substr(7) : value);
            if (fileExists(path)) {
                found.state = FoundName::State::Found;
                found.localPath = path;
            }
            return found;
        }
        case WindowsName::Kind::InFolder:
            break;
    }
    if (folder.isEmpty()) {
        found.state = FoundName::State::NotChecked;
        return found;
    }
    QDir at(folder);
    for (std::size_t i = 0; i < name.parts.size(); ++i) {
        const QString part =
            entryAsWindows(at, QString::fromStdString(name.parts[i]), found.otherCase);
        if (part.isEmpty()) {
            return found;
        }
        if (i + 1 == name.parts.size()) {
            found.localPath = at.filePath(part);
        } else if (!at.cd(part)) {
            return found;
        }
    }
    if (fileExists(found.localPath)) {
        found.state = FoundName::State::Found;
    }
    return found;
}

bool WindowsNameCheck::operator()(const std::string& value) {
    const FoundName found = findAsWindows(value, folder_);
    const QString name = QString::fromStdString(value);
    QString note;
    if (found.state == FoundName::State::NotChecked) {
        note =
            (found.kind == WindowsName::Kind::InFolder
                 ? QCoreApplication::translate("NameNotes",
                                               "'%1' is in the folder the page is saved in; it is "
                                               "checked once the page has a folder.")
                 : QCoreApplication::translate(
                       "NameNotes",
                       "'%1' is a place on the Windows machine: not checked on "
                       "this machine."))
                .arg(name);
    } else if (found.state == FoundName::State::Found && found.otherCase) {
        note = QCoreApplication::translate(
                   "NameNotes",
                   "'%1' was found as '%2', in another letter case, which Windows "
                   "does not mind.")
                   .arg(name, found.localPath);
    }
    if (!note.isEmpty() && !notes_.contains(note)) {
        notes_ << note;
    }
    return found.state != FoundName::State::Missing;
}

}  // namespace tessivane
