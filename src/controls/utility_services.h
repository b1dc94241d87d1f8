// SPDX-License-Identifier: MIT
#pragma once
// Utility services: whether a file exists, and the screen colour of a colour name.
#include <QString>

namespace tessivane {

// True exactly when a regular file exists at the path (a bare name resolves against the current
// folder). An empty path, a folder or a dangling link is no file.
bool fileExists(const QString& path);

// The screen colour of one of the sixteen colour names as 0x00BBGGRR; 0 for the empty text.
quint32 screenColourOf(const QString& colourName);

}  // namespace tessivane
