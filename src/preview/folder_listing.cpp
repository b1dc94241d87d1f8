// SPDX-License-Identifier: MIT
#include "preview/folder_listing.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QJsonArray>
#include <QLocale>
#include <QMimeDatabase>
#include <QStyle>
#include <QUrl>

namespace tessivane {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("FolderListing", text);
}

QString pngDataUrl(const QIcon& icon, int size) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    icon.pixmap(QSize(size, size), 1.0).save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

// The theme's icon for the type, its generic icon, or the style's file or folder icon: a bare
// system has no icon theme at all.
QIcon typeIcon(const QMimeType& type, bool isFolder) {
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(isFolder ? QStyle::SP_DirIcon
                                                            : QStyle::SP_FileIcon);
    return icon;
}

}  // namespace

QString attributeCodes(const QString& path) {
    const QFileInfo info(path);
    QString codes;
    if (!info.permission(QFileDevice::WriteOwner))
        codes += u'R';
    if (info.fileName().startsWith(u'.'))
        codes += u'H';
    return codes;
}

FolderListing listFolder(const QString& folder) {
    FolderListing listing;
    const QFileInfo folderInfo(folder);
    const QString path = folderInfo.absoluteFilePath();
    const QMimeDatabase types;
    const QMimeType folderType = types.mimeTypeForName(QStringLiteral("inode/directory"));
    listing.data[QStringLiteral("folder")] = QJsonObject{
        {QStringLiteral("name"), folderInfo.fileName().isEmpty() ? path : folderInfo.fileName()},
        {QStringLiteral("path"), path},
        {QStringLiteral("icon"), pngDataUrl(typeIcon(folderType, true), 32)},
    };

    QDir dir(path);
    if (!folderInfo.exists())
        listing.problem = tr("The folder %1 does not exist.").arg(path);
    else if (!folderInfo.isDir())
        listing.problem = tr("%1 is not a folder.").arg(path);
    else if (!folderInfo.isReadable() || !dir.isReadable())
        listing.problem = tr("The folder %1 cannot be read.").arg(path);

    QJsonArray entries;
    QHash<QString, QString> icons;
    const QFileInfoList infos =
        listing.problem.isEmpty()
            ? dir.entryInfoList(
                  QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDir::DirsFirst | QDir::Name | QDir::IgnoreCase)
            : QFileInfoList();
    for (const QFileInfo& info : infos) {
        const bool isFolder = info.isDir();
        const QMimeType type = isFolder ? folderType : types.mimeTypeForFile(info);
        if (!icons.contains(type.name()))
            icons.insert(type.name(), pngDataUrl(typeIcon(type, isFolder), 16));
        entries.append(QJsonObject{
            {QStringLiteral("name"), info.fileName()},
            {QStringLiteral("path"), info.absoluteFilePath()},
            {QStringLiteral("url"),
             QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded)},
            {QStringLiteral("size"), isFolder ? 0.0 : double(info.size())},
            {QStringLiteral("isFolder"), isFolder},
            {QStringLiteral("type"), type.comment()},
            {QStringLiteral("modified"),
             QLocale().toString(info.lastModified(), QLocale::ShortFormat)},
            {QStringLiteral("attributes"), attributeCodes(info.absoluteFilePath())},
            {QStringLiteral("icon"), type.name()},
        });
    }
    QJsonObject iconUrls;
    for (auto it = icons.cbegin(); it != icons.cend(); ++it)
        iconUrls[it.key()] = it.value();
    listing.data[QStringLiteral("entries")] = entries;
    listing.data[QStringLiteral("icons")] = iconUrls;
    return listing;
}

}  // namespace tessivane
