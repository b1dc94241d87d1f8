// SPDX-License-Identifier: MIT
#pragma once
// The document core of Tessivane, its template's headers in one include.
//
// Two file formats live here: the .htt template that a folder shows as its web view, and the
// Desktop.ini that a folder carries, which names that template and gives the folder its look.
//
// How the parts fit:
// - template.h holds the built-in 344-line template; WorkingDocument::fromTemplate() makes a copy
//   of it as a WorkingDocument (working_document.h), which keeps a document's lines as the bytes
//   that were read and converts texts with the document's encoding (text_encoding.h). lines.h
//   splits bytes into lines and joins them back; line_map.h says which lines carry the settings.
// - FolderViewSettings (settings.h) are the ten values the user edits.
// - The writer (writer.h) checks the referenced files and composes the six setting lines from the
//   settings; the reader (reader.h) parses them back out, in a fixed order, into a SettingsTarget.
// - numeric.h holds the numeric test and the corrections of the size and loop-count boxes,
//   colours.h the sixteen colours.
// - desktop_ini.h edits a folder's Desktop.ini so that the folder shows a template and a look,
//   and takes that edit out again, by the record it writes into the file; windows_names.h reads
//   the names a page gives its files as Windows reads them. The layers above include these two
//   where they need them (storage/folder_use.h, storage/windows_files.h); this header does not.
// The core returns outcomes; the words for them (app/messages.h), files, dialogs and widgets live
// in the layers above, and nothing here depends on them.
#include "document/colours.h"
#include "document/line_map.h"
#include "document/lines.h"
#include "document/numeric.h"
#include "document/reader.h"
#include "document/settings.h"
#include "document/template.h"
#include "document/text_encoding.h"
#include "document/working_document.h"
#include "document/writer.h"
