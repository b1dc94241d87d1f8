// SPDX-License-Identifier: MIT
#pragma once
// How the bytes of a document's lines become texts and back.
//
// A document that is valid UTF-8 throughout is read as UTF-8. Anything else is an older 8-bit
// file and is read as Latin-1, which maps every byte to one character and back, so no byte is
// ever replaced or dropped. Texts inside the program are always UTF-8; a document keeps the
// encoding it was read with, and texts written into it are encoded the same way.
#include <optional>
#include <string>
#include <string_view>

namespace tessivane {

enum class TextEncoding { Utf8, Latin1 };

bool isValidUtf8(std::string_view bytes);

// The bytes as UTF-8 text.
std::string decodeText(std::string_view bytes, TextEncoding encoding);

// UTF-8 text as bytes in the encoding, or nothing when the text holds a character that the
// encoding cannot store (anything above U+00FF for Latin-1) or is not valid UTF-8.
std::optional<std::string> encodeText(std::string_view utf8, TextEncoding encoding);

}  // namespace tessivane
