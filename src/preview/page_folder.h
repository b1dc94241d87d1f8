// SPDX-License-Identifier: MIT
#pragma once
// The private folder the preview writes its page into: "tessivane-preview-PID-XXXXXX" in the
// temporary folder, PID the preview's process. A preview that was killed cannot remove its
// folder, so each preview, when it starts, removes those of earlier ones whose process is gone.
#include <QString>

namespace tessivane {

// The name pattern for QTemporaryDir, in the given temporary folder.
QString pageFolderTemplate(const QString& tempPath);

// Removes the folders in tempPath named exactly as pageFolderTemplate names them, owned by this
// user, whose process no longer runs. Anything else, a name with more after it or a link
// included, is left alone. Returns how many were removed.
int removeStalePageFolders(const QString& tempPath);

}  // namespace tessivane
