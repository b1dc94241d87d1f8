// SPDX-License-Identifier: MIT
#include "app/startup.h"

#include <QStringList>

#include "app/messages.h"
#include "document/template.h"
#include "storage/file_services.h"

namespace tessivane {

QString commandLineText(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments.join(QLatin1Char(' '));
}

FirstDocument firstDocument(const QString& commandLineText) {
    FirstDocument first;
    // A name that is not UTF-8 is refused with a warning before it can reach another file.
    if (!isFaithfulName(commandLineText) || fileExists(commandLineText)) {
        LoadResult loaded = loadDocument(commandLineText);
        if (loaded.error) {
            first.warning = messages::cannotRead(commandLineText, loaded.error);
        } else if (hasMarkerLine(loaded.document)) {
            first.document = std::move(loaded.document);
            first.sourceName = commandLineText;
            first.stamp = loaded.stamp;
            first.recoveryCopy = loaded.recoveryCopy;
            first.untrustedCopies = loaded.untrustedCopies;
            return first;
        }
    }
    first.document = WorkingDocument::fromTemplate();
    return first;
}

}  // namespace tessivane
