// SPDX-License-Identifier: MIT
#pragma once
// Every text the program shows the user, in one place, so the window and the command-line tool
// say the same things. Paths and names are UTF-8.
#include <string>
#include <string_view>

namespace tessivane::messages {

// Titles.
inline constexpr std::string_view kFileDoesNotExistTitle = "File Does Not Exist";
inline constexpr std::string_view kFileLoadErrorTitle = "File Load Error";
inline constexpr std::string_view kLoadErrorTitle = "Load Error";
inline constexpr std::string_view kFileAccessErrorTitle = "File Access Error";
inline constexpr std::string_view kSaveChangesTitle = "Save Changes";
inline constexpr std::string_view kInformationTitle = "Information";
inline constexpr std::string_view kAboutTitle = "About";
inline constexpr std::string_view kTextNotStorableTitle = "Text Cannot Be Stored";
inline constexpr std::string_view kFileChangedTitle = "File Changed";

// A referenced sound or picture file is missing; nothing is saved.
std::string fileDoesNotExist(std::string_view path);
// A file chosen to open is not one of ours (its second line is not the marker).
std::string notOurFile(std::string_view path);
// A file chosen to open, or named at start-up, could not be read at all.
std::string cannotRead(std::string_view path, std::string_view reason);
// A file name with bytes that are not UTF-8, refused before anything is read or written.
std::string invalidFileName(std::string_view path);
// A file about to be saved in place was changed by another program since it was read.
std::string fileChanged(std::string_view path);
// The document ended before every setting line was read.
std::string loadError(std::string_view name);
// The target of a save is read-only or not writable.
std::string readOnly(std::string_view path);
// Any other failed save: the disk is full, the folder is missing, the name is too long...
std::string saveFailed(std::string_view path, std::string_view reason);
// A text the user entered cannot be put into this document's lines.
std::string textNotStorable(std::string_view text);
// The save-changes question.
std::string saveChanges(std::string_view currentFile);
// The name of untitled document number n.
std::string placeholderName(long long n);

// How to put a saved template to use; its lines are separated by single CR characters.
std::string information();
std::string about();

}  // namespace tessivane::messages
