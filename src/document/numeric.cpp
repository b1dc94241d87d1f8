// SPDX-License-Identifier: MIT
#include "document/numeric.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

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

namespace {

// The integer and fraction digits of a numeric text's value, without leading or trailing zeros.
struct Decimal {
    bool negative = false;
    std::string whole;     // "0" when there is no whole part
    std::string fraction;  // empty when there is none
};

std::optional<Decimal> decimalOf(std::string_view text) {
    const auto parsed = parse(text);
    if (!parsed) {
        return std::nullopt;
    }
    const std::string_view number = parsed->number;
    const std::size_t exponentAt = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, exponentAt);
    long long exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::string_view digits = number.substr(exponentAt + 1);
        if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
            digits.remove_prefix(1);
        }
        digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
        if (digits.size() > 4) {
            return std::nullopt;  // beyond 10^9999: no size or count to be stored plainly
        }
        std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
        exponent = parsed->exponentNegative ? -exponent : exponent;
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    std::string digits = std::string(mantissa.substr(0, point));
    if (point < mantissa.size()) {
        digits += mantissa.substr(point + 1);
    }
    const long long wholeDigits = static_cast<long long>(point) + exponent;
    Decimal decimal;
    if (wholeDigits <= 0) {
        decimal.whole = "0";
        decimal.fraction = std::string(std::size_t(-wholeDigits), '0') + digits;
    } else if (std::size_t(wholeDigits) >= digits.size()) {
        decimal.whole = digits + std::string(std::size_t(wholeDigits) - digits.size(), '0');
    } else {
        decimal.whole = digits.substr(0, std::size_t(wholeDigits));
        decimal.fraction = digits.substr(std::size_t(wholeDigits));
    }
    decimal.whole.erase(0,
                        std::min(decimal.whole.find_first_not_of('0'), decimal.whole.size() - 1));
    decimal.fraction.erase(
        std::min(decimal.fraction.find_last_not_of('0') + 1, decimal.fraction.size()));
    decimal.negative = parsed->negative;
    return decimal;
}

std::string signedText(const Decimal& decimal, bool withFraction) {
    const bool hasFraction = withFraction && !decimal.fraction.empty();
    const bool zero = decimal.whole == "0" && !hasFraction;
    return (decimal.negative && !zero ? "-" : "") + decimal.whole +
           (hasFraction ? "." + decimal.fraction : "");
}

// How a numeric text's value compares with a positive whole bound (-1, 0 or 1), on its decimal
// digits: a double would round ".9999999999999999999" up to 1 and let a count of 0 through.
int compareWithWhole(std::string_view text, unsigned bound) {
    const auto decimal = decimalOf(text);
    if (!decimal) {
        // An exponent beyond 10^9999: the double's infinity or zero is exact enough.
        const double value = numericValue(text);
        return value < bound ? -1 : value > bound ? 1 : 0;
    }
    const bool zero = decimal->whole == "0" && decimal->fraction.empty();
    if (decimal->negative || zero) {
        return -1;
    }
    const std::string limit = std::to_string(bound);
    if (decimal->whole.size() != limit.size()) {
        return decimal->whole.size() < limit.size() ? -1 : 1;
    }
    if (const int order = decimal->whole.compare(limit); order != 0) {
        return order < 0 ? -1 : 1;
    }
    return decimal->fraction.empty() ? 0 : 1;
}

}  // namespace

std::string plainNumber(std::string_view text) {
    const auto decimal = decimalOf(text);
    return decimal ? signedText(*decimal, true) : std::string(text);
}

std::string wholeNumber(std::string_view text) {
    const auto decimal = decimalOf(text);
    return decimal ? signedText(*decimal, false) : std::string(text);
}

std::string correctedSize(std::string_view text, std::string_view fallback) {
    if (!isNumeric(text)) {
        return std::string(fallback);
    }
    if (compareWithWhole(text, kMinimumSize) < 0) {
        return std::to_string(kMinimumSize);
    }
    if (compareWithWhole(text, kMaximumSize) > 0) {
        return std::to_string(kMaximumSize);
    }
    return std::string(text);
}

std::string correctedLoopCount(std::string_view text) {
    if (!isNumeric(text) || compareWithWhole(text, 1) < 0) {
        return "1";
    }
    return std::string(text);
}

}  // namespace tessivane
