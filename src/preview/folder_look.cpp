// SPDX-License-Identifier: MIT
#include "preview/folder_look.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <cerrno>
#include <vector>

namespace tessivane {

namespace {

// A Desktop.ini holds a few lines; anything larger is something else.
constexpr off_t kMaxIniSize = 1 << 20;
// An icon file holds a few pictures of at most 256 x 256 pixels.
constexpr qint64 kMaxIconSize = 1 << 20;
constexpr int kMaxIconImages = 16;

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// The pictures of an icon file, when it is a picture Qt reads.
QList<QImage> iconImages(const QString& path) {
    if (QFileInfo(path).size() > kMaxIconSize) {
        return {};
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QList<QImage> images;
    do {
        const QSize size = reader.size();
        if (!size.isValid() || size.width() > 256 || size.height() > 256) {
            break;
        }
        QImage image = reader.read();
        if (image.isNull()) {
            break;
        }
        images << image;
    } while (images.size() < kMaxIconImages && reader.jumpToNextImage());
    return images;
}

}  // namespace

std::optional<std::string> readDesktopIni(const QString& folder) {
    const QByteArray folderName = QFile::encodeName(folder);
    const Fd dir(::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) {
        return std::nullopt;
    }
    constexpr std::string_view wanted = "Desktop.ini";
    std::vector<std::string> matches;
    if (DIR* listing = ::fdopendir(::dup(dir.get()))) {
        while (const dirent* entry = ::readdir(listing)) {
            if (sameIgnoringAsciiCase(entry->d_name, wanted)) {
                matches.emplace_back(entry->d_name);
            }
        }
        ::closedir(listing);
    }
    if (matches.empty()) {
        return std::nullopt;
    }
    std::sort(matches.begin(), matches.end());
    const auto exact = std::find(matches.begin(), matches.end(), wanted);
    const std::string& name = exact != matches.end() ? *exact : matches.front();
    const Fd file(
        ::openat(dir.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > kMaxIniSize) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    for (ssize_t got; (got = ::read(file.get(), chunk, sizeof chunk)) != 0;) {
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        bytes.append(chunk, std::size_t(got));
        if (bytes.size() > std::size_t(kMaxIniSize)) {
            return std::nullopt;  // it grew while it was read
        }
    }
    return bytes;
}

ShownFolderLook readFolderLook(const QString& folder) {
    ShownFolderLook shown;
    const std::optional<std::string> bytes = readDesktopIni(folder);
    if (!bytes) {
        return shown;
    }
    shown.look = folderLookIn(*bytes);
    if (!shown.look.listPicture.empty()) {
        shown.listPicture = findNamedFile(QString::fromStdString(shown.look.listPicture), folder);
    }
    if (const auto rgb = rgbFromIniColour(shown.look.listTextColour)) {
        shown.listTextColour = QString::fromStdString(*rgb);
    }
    const QString icon = QString::fromStdString(shown.look.iconFile);
    using Icon = ShownFolderLook::Icon;
    if (icon.isEmpty()) {
        shown.icon = Icon::None;
    } else if (!icon.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive)) {
        shown.icon = Icon::NotShown;  // one of a program's icons (.dll, .exe): Windows' own
    } else {
        const NamedFile found = findNamedFile(icon, folder);
        switch (found.outcome) {
            case NamedFile::Outcome::Found:
                shown.iconImages = iconImages(found.real);
                shown.icon = shown.iconImages.isEmpty() ? Icon::NotShown : Icon::Shown;
                break;
            case NamedFile::Outcome::OnlyHere:
                shown.icon = Icon::OnlyHere;
                break;
            case NamedFile::Outcome::NotChecked:
                shown.icon = Icon::NotShown;
                break;
            case NamedFile::Outcome::Missing:
                shown.icon = Icon::Missing;
                break;
        }
    }
    return shown;
}

}  // namespace tessivane
