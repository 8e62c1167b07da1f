// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/Decimal.h"

namespace zarnik {

// The two shapes every printed value code on a passive part takes, whatever
// the part and its unit: a letter as the decimal point ("4R7", "4n7",
// "R10", "47N"), and significant digits with a power of ten ("104", "471").
// The readers take upper-case codes; the parts' readers upper-case them.

// Where a letter is the decimal point: how many digits may stand before it,
// after it and in all, and whether a value below one unit is written with
// a zero before the letter ("0R5") or with none ("p68").
struct PointShape {
    int maxBefore;
    int maxAfter;
    int maxDigits;
    bool zeroBefore;
};

// The value of a code with `letter` as its point, in units of 10^exponent:
// "4N7" with N at -9 is 4.7 x 10^-9. Nothing where the code is not digits
// around one such letter within the shape, where the digits before it
// start with a zero (but for a lone zero), or where the value is zero.
[[nodiscard]] std::optional<Decimal> ReadPointCode(std::string_view code, char letter, int exponent,
                                                   const PointShape& shape);
// The code of a positive value with `letter` as its point (written as
// given, "n" or "R"), at least three characters ("1R0", "10n"); nothing
// where the shape cannot hold the value's digits.
[[nodiscard]] std::optional<std::string> WritePointCode(const Decimal& value, char letter, int exponent,
                                                        const PointShape& shape);

// A multiplier digit's power of ten; nothing for a digit that is none.
using MultiplierDigits = std::function<std::optional<int>(char digit)>;

// Three digits, two significant ones and a multiplier digit, in units of
// 10^exponent: "104" in pF (-12) is 10 x 10^4 pF. Nothing for other texts,
// a leading zero, or a digit that is no multiplier.
[[nodiscard]] std::optional<Decimal> ReadMultiplierCode(std::string_view code, int exponent,
                                                        const MultiplierDigits& powers);
// The three digits of a positive value of at most two significant digits
// whose power has a multiplier digit; nothing otherwise.
[[nodiscard]] std::optional<std::string> WriteMultiplierCode(const Decimal& value, int exponent,
                                                             const MultiplierDigits& powers);

[[nodiscard]] bool IsCodeDigit(char c);
// Whether every character is a digit (true for the empty text), and the
// number the digits write (at most 18 of them).
[[nodiscard]] bool AllCodeDigits(std::string_view text);
[[nodiscard]] std::int64_t CodeNumber(std::string_view digits);
// The text in upper case (ASCII letters), with the micro sign and Greek mu
// as "U".
[[nodiscard]] std::string UpperCode(std::string_view text);

}  // namespace zarnik
