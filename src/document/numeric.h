// SPDX-License-Identifier: MIT
#pragma once
// The numeric test and the corrections applied to the size and loop-count boxes as they change.
//
// A text is numeric when, after optional blanks, it is an optional sign, digits with an optional
// "." fraction (or a fraction alone) and an optional exponent, followed by optional blanks. "." is
// the decimal separator whatever the locale, because the value ends up in a style sheet.
#include <string>
#include <string_view>

namespace tessivane {

inline constexpr std::string_view kInfoSizeFallback = "8";
inline constexpr std::string_view kTitleSizeFallback = "10";
inline constexpr unsigned kMinimumSize = 1;
inline constexpr unsigned kMaximumSize = 2160;

bool isNumeric(std::string_view text);
// The value of a numeric text (0 for a text that is not numeric). Values too large for a double
// are infinite, values too small are zero.
double numericValue(std::string_view text);

// A size box's text after its correction: the fallback when not numeric, "1" below 1, "2160"
// above 2160, otherwise the text unchanged (a fraction such as 12.5 stays as typed). The limits
// hold for the text's exact value, however many digits it has.
std::string correctedSize(std::string_view text, std::string_view fallback);
// The plain decimal form of a numeric text, as a document stores it: no blanks, no "+", no
// exponent, no leading zeros and no trailing zeros after the point (" +1.50e1" gives "15",
// "12." gives "12", "-0" gives "0"). A text that is not numeric, or whose exponent is beyond any
// sensible size, comes back unchanged.
std::string plainNumber(std::string_view text);
// The whole part of plainNumber ("2.9" gives "2"): how a loop count is stored.
std::string wholeNumber(std::string_view text);

// The loop-count box's text after its correction: "1" when not numeric or below 1, otherwise
// unchanged; there is no upper limit.
std::string correctedLoopCount(std::string_view text);

}  // namespace tessivane
