// SPDX-License-Identifier: MIT
#include "controls/utility_services.h"

#include <QFileInfo>

#include "document/colours.h"

namespace tessivane {

bool fileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

quint32 screenColourOf(const QString& colourName) {
    return tessivane::screenColour(colourName.toStdString());
}

}  // namespace tessivane
