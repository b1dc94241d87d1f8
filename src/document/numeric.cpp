// SPDX-License-Identifier: MIT
#include "document/numeric.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace tessivane {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Parsed {
    bool negative = false;
    std::string_view number;  // digits, fraction and exponent, without sign or blanks
    bool exponentNegative = false;
};

std::optional<Parsed> parse(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    Parsed parsed;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        parsed.negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i, ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i, ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            parsed.exponentNegative = text[i] == '-';
            ++i;
        }
        std::size_t exponentDigits = 0;
        while (i < n && isDigit(text[i])) {
            ++i, ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    parsed.number = text.substr(start, i - start);
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    if (i != n) {
        return std::nullopt;
    }
    return parsed;
}

}  // namespace

bool isNumeric(std::string_view text) {
    return parse(text).has_value();
}

double numericValue(std::string_view text) {
    const auto parsed = parse(text);
    if (!parsed) {
        return 0;
    }
    double value = 0;
    const char* first = parsed->number.data();
    const char* last = first + parsed->number.size();
    const auto result = std::from_chars(first, last, value);
    if (result.ec == std::errc::result_out_of_range) {
        const std::string_view mantissa =
            parsed->number.substr(0, parsed->number.find_first_of("eE"));
        const bool zero = mantissa.find_first_of("123456789") == std::string_view::npos;
        value = (zero || parsed->exponentNegative) ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return parsed->negative ? -value : value;
}

std::string correctedSize(std::string_view text, std::string_view fallback) {
    if (!isNumeric(text)) {
        return std::string(fallback);
    }
    const double value = numericValue(text);
    if (value < kMinimumSize) {
        return "1";
    }
    if (value > kMaximumSize) {
        return "2160";
    }
    return std::string(text);
}

std::string correctedLoopCount(std::string_view text) {
    if (!isNumeric(text) || numericValue(text) < 1) {
        return "1";
    }
    return std::string(text);
}

}  // namespace tessivane
