// SPDX-License-Identifier: MIT
#include "preview/named_files.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "document/windows_names.h"

namespace tessivane {

namespace {

using Outcome = NamedFile::Outcome;

char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

// Letter case aside, ASCII letters only: Windows' own folding of other letters is left alone.
bool sameIgnoringAsciiCase(const QString& a, const QString& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i].unicode()) != asciiLower(b[i].unicode())) {
            return false;
        }
    }
    return true;
}

// A folder's path with the separator after it, so that "/a/Pics-2" is not taken to lie in
// "/a/Pics".
QString withSeparator(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// The entry of the folder with the name; where there is none, the first (in name order) whose name
// differs from it only in letter case, as Windows finds it. "" when there is neither.
QString findEntry(const QString& folder, const QString& name) {
    QString exact = withSeparator(folder) + name;
    const QFileInfo info(exact);
    if (info.exists() || info.isSymLink()) {
        return exact;
    }
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (sameIgnoringAsciiCase(entry, name)) {
            return withSeparator(folder) + entry;
        }
    }
    return {};
}

// The file that the parts (no "." nor ".." among them) name below the folder.
NamedFile findBelow(const QStringList& parts, const QString& folder) {
    if (parts.isEmpty()) {
        return {};  // the folder itself is no picture
    }
    QString path = folder;
    for (const QString& part : parts) {
        path = findEntry(path, part);
        if (path.isEmpty()) {
            return {};
        }
    }
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty() || !QFileInfo(real).isFile()) {
        return {};
    }
    // A link in the folder that leads out of it is not followed, as the request guard does not
    // follow one among the folder's own files: the file it reaches is one of this machine.
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    if (realFolder.isEmpty() || !real.startsWith(withSeparator(realFolder))) {
        return {Outcome::OnlyHere, {}};
    }
    return {Outcome::Found, real};
}

}  // namespace

NamedFile findNamedFile(const QString& name, const QString& folder) {
    const WindowsName parsed = parseWindowsName(name.toStdString());
    switch (parsed.kind) {
        case WindowsName::Kind::Empty:
            return {};
        case WindowsName::Kind::DrivePath:
        case WindowsName::Kind::NetworkPath:
            return {Outcome::NotChecked, {}};
        case WindowsName::Kind::InFolder: {
            // ".." takes back the folder before it. Above the folder itself it names a place on
            // the Windows machine that the folder shown here does not stand for.
            QStringList parts;
            for (const std::string& part : parsed.parts) {
                if (part != "..") {
                    parts << QString::fromStdString(part);
                } else if (parts.isEmpty()) {
                    return {Outcome::NotChecked, {}};
                } else {
                    parts.removeLast();
                }
            }
            return findBelow(parts, folder);
        }
        case WindowsName::Kind::LocalPath:
            break;
    }
    // A path of this machine that lies inside the folder shown is shown: Use for Folder writes
    // it as %THISDIRPATH%\..., which Windows finds there. Any other path of this machine
    // Windows will not find, even where this machine has the file.
    QString path = name;
    if (path.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
        path.remove(0, 7);
    }
    path = QDir::cleanPath(path);
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    for (const QString& inside : {QDir::cleanPath(folder), realFolder}) {
        if (!inside.isEmpty() && path.startsWith(withSeparator(inside))) {
            return findBelow(path.mid(withSeparator(inside).size()).split(u'/', Qt::SkipEmptyParts),
                             folder);
        }
    }
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty() || !QFileInfo(real).isFile()) {
        return {};
    }
    return {Outcome::OnlyHere, {}};
}

}  // namespace tessivane
