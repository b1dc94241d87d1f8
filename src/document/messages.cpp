// SPDX-License-Identifier: MIT
#include "document/messages.h"

namespace tessivane::messages {
namespace {

std::string concat(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const auto piece : pieces) {
        text += piece;
    }
    return text;
}

}  // namespace

std::string fileDoesNotExist(std::string_view path) {
    return concat({"The file '", path, "' does not exist.  Please specify another file"});
}

std::string notOurFile(std::string_view path) {
    return concat({"The file '", path,
                   "' is not a currently supported or is corrupted.  Make a new file with this "
                   "program."});
}

std::string cannotRead(std::string_view path, std::string_view reason) {
    return concat({"The file '", path, "' could not be read: ", reason});
}

std::string invalidFileName(std::string_view path) {
    return concat({"The file name '", path, "' is not valid UTF-8"});
}

std::string fileChanged(std::string_view path) {
    return concat(
        {"'", path, "' was changed by another program since it was opened. Overwrite it?"});
}

std::string loadError(std::string_view name) {
    return concat({"There was an error during loading the HTT file '", name, "'."});
}

std::string readOnly(std::string_view path) {
    return concat({"'", path, "' has the read only attribute set."});
}

std::string saveFailed(std::string_view path, std::string_view reason) {
    return concat({"'", path, "' could not be saved: ", reason});
}

std::string textNotStorable(std::string_view text) {
    return concat({"The text '", text,
                   "' cannot be stored in this file: it contains a line break or a character "
                   "that the file's 8-bit encoding cannot hold. Nothing was saved."});
}

std::string saveChanges(std::string_view currentFile) {
    return concat({"Save changes to '", currentFile, "'?"});
}

std::string placeholderName(long long n) {
    return "HyperText Template" + std::to_string(n) + ".htt";
}

std::string information() {
    return concat({"1.  Create or edit an existing HTT file (only one previously saved by this)",
                   "\r",
                   "2.  Change the line 'PersistMoniker=file://Folder.htt' to "
                   "'PersistMoniker=file://Yourfile.htt' in the Desktop.ini file",
                   "\r\r",
                   "In the description box, you can type '%THISDIRNAME%' for the name of the "
                   "folder or '%THISDIRPATH%' for the folder's full path."});
}

std::string about() {
    return "Tessivane, by the Tessivane authors, 2026";
}

}  // namespace tessivane::messages
