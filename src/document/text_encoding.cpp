// SPDX-License-Identifier: MIT
#include "document/text_encoding.h"

#include <cstdint>
#include <cstring>

namespace tessivane {
namespace {

// Length of the well-formed UTF-8 sequence starting at bytes[i], or 0 when it is malformed
// (a stray continuation byte, an overlong form, a surrogate, or a value above U+10FFFF).
std::size_t sequenceLength(std::string_view bytes, std::size_t i, char32_t* codePoint) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    *codePoint = value;
    return length;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    char32_t ignored = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        // Most documents are plain ASCII: skip eight such bytes at a time.
        std::uint64_t word = 0;
        while (i + sizeof word <= bytes.size() &&
               (std::memcpy(&word, bytes.data() + i, sizeof word),
                (word & 0x8080808080808080u) == 0)) {
            i += sizeof word;
        }
        if (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        if (i >= bytes.size()) {
            break;
        }
        const std::size_t length = sequenceLength(bytes, i, &ignored);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string decodeText(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        return std::string(bytes);
    }
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (b >> 6));
            text += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return text;
}

std::optional<std::string> encodeText(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        if (!isValidUtf8(utf8)) {
            return std::nullopt;
        }
        return std::string(utf8);
    }
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t codePoint = 0;
        const std::size_t length = sequenceLength(utf8, i, &codePoint);
        if (length == 0 || codePoint > 0xFF) {
            return std::nullopt;
        }
        bytes += static_cast<char>(codePoint);
        i += length;
    }
    return bytes;
}

}  // namespace tessivane
