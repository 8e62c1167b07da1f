// SPDX-License-Identifier: MIT
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/NumberText.h"

namespace zarnik {

// An exact decimal number: coefficient x 10^exponent. The values behind the
// result lines are short decimal texts; held this way they compare, scale and
// take a tolerance without binary rounding, so 4.7 K Ohm is 47 x 10^2 and
// never 4699.999... ReadDecimal, Add, Multiply and Shifted keep the
// coefficient below 10^18 in magnitude and the exponent within
// +-kMaxDecimalExponent, and refuse what would leave those limits.
struct Decimal {
    std::int64_t coefficient = 0;
    int exponent = 0;
};

inline constexpr int kMaxDecimalDigits = 18;
inline constexpr int kMaxDecimalExponent = 40;

// Equal and ordered by value: 47 x 10^2 == 4700 x 10^0.
[[nodiscard]] bool operator==(const Decimal& a, const Decimal& b);
[[nodiscard]] std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

// The same value with no trailing zeros in the coefficient (zero is 0 x 10^0).
[[nodiscard]] Decimal Normalized(Decimal value);

// Reads a whole text as Parse reads it (blanks, sign, digits with the format's
// separator or ".", an exponent), but exactly. Nothing where Parse reads
// nothing, and for numbers of more than kMaxDecimalDigits significant digits
// or beyond 10^+-kMaxDecimalExponent.
[[nodiscard]] std::optional<Decimal> ReadDecimal(std::string_view text, const NumberFormat& format = {});

// Plain decimal text, no exponent, no trailing zeros, no grouping: "4.465",
// "4700", "0.05", "-2.5".
[[nodiscard]] std::string DecimalText(const Decimal& value, const NumberFormat& format = {});

// The nearest double, for those who want a number (JSON).
[[nodiscard]] double ToDouble(const Decimal& value);

// Exact sum and product, or nothing where they leave the limits above.
[[nodiscard]] std::optional<Decimal> Add(const Decimal& a, const Decimal& b);
[[nodiscard]] std::optional<Decimal> Multiply(const Decimal& a, const Decimal& b);

// value x 10^places, or nothing beyond the exponent limit.
[[nodiscard]] std::optional<Decimal> Shifted(const Decimal& value, int places);

// The number of decimal digits of a whole number (1 for 0).
[[nodiscard]] int DigitCount(std::uint64_t magnitude);

}  // namespace zarnik
