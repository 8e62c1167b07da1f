// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/Decimal.h"
#include "model/Encoding.h"
#include "model/NumberText.h"

namespace zarnik {

// What the bands of a resistor show exactly: a number of significant digits
// times a multiplier from x0.01 (Silver) up, below 10^9 ohms, where the
// encoders' micro-ohm text stops being a plain number. Four bands carry 0.1
// Ohm to 990 M Ohm in two digits, five bands 1 Ohm to 999 M Ohm in three.
struct BandCapacity {
    int digits;
    Decimal smallest;
    Decimal largest;
};

[[nodiscard]] BandCapacity CapacityOf(bool fiveBands);

enum class Fit { Carried, NotPositive, TooSmall, TooLarge, TooManyDigits };

// Whether the bands carry the value in ohms exactly, and if not, the first
// reason: the sign, then the range, then the digits.
[[nodiscard]] Fit FitOf(const Decimal& ohms, bool fiveBands);

// The count of significant digits: 3 for 4.75 K Ohm, 1 for 4700.
[[nodiscard]] int SignificantDigits(const Decimal& value);

// The values next to `value` with at most `digits` significant digits, the
// one below (or equal) and the one above: 4.7 K and 4.8 K for 4.75 K.
struct Rounded {
    Decimal below;
    Decimal above;
};
[[nodiscard]] Rounded RoundedTo(const Decimal& value, int digits);

// Where an encoding's bands carry a shorter value than the one typed (4.75 K
// Ohm in four bands gives 4.7 K Ohm): "the bands carry 4.7 K Ohm, not the
// typed 4.75 K Ohm". Nothing when they carry it, and for refused values.
[[nodiscard]] std::optional<std::string> ShortenedNote(const Encoding& encoding, std::string_view value,
                                                       std::string_view unit, const NumberFormat& format = {});

}  // namespace zarnik
