// SPDX-License-Identifier: MIT
#pragma once
// Lists a folder for the preview page on a thread of its own, so that neither a folder of a
// hundred thousand entries nor one on a slow or stuck mount holds up the window: the first
// entries arrive at once and the rest in batches. Entries come as a file manager shows them:
// folders first, then names in natural order ("file2" before "file10") by the user's locale.
// Reading is all it does; drawing the list is the page's job (folder_view.js).
#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace tessivane {

// Sorts names as a file manager orders them: numbers by value, letter case aside, by the
// collation of the locale (of English for the C locale, which has none).
void sortNaturally(QStringList& names, const QLocale& locale = QLocale());

class FolderLister : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Asks a listing still running to stop; never waits for one stuck in the file system.
    ~FolderLister() override;

    // Starts listing the folder; what an earlier listing still sends is dropped.
    void list(const QString& folder);

signals:
    // The folder as it really is (links resolved, "" when it does not exist), and why it cannot
    // be listed ("" when it can). Comes first.
    void started(const QString& realFolder, const QString& problem);
    // Entries in order, each [name, size, is a folder (0 or 1), type key, modified, attributes],
    // and the types first met in this batch: key -> description.
    void listed(const QJsonArray& entries, const QJsonObject& newTypes);
    // Every entry has been sent.
    void finished();

private:
    struct Job;
    class Listing;  // one listing, run on a thread of its own
    std::shared_ptr<Job> job_;
};

}  // namespace tessivane
