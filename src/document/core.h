// SPDX-License-Identifier: MIT
#pragma once
// The document core of Tessivane, in one include.
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
