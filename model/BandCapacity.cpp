// SPDX-License-Identifier: MIT
#include "model/BandCapacity.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "model/ResultFacts.h"

namespace zarnik {

namespace {

std::int64_t PowerOfTen(int n)
{
    std::int64_t power = 1;
    for (int i = 0; i < n; ++i) {
        power *= 10;
    }
    return power;
}

}  // namespace

BandCapacity CapacityOf(bool fiveBands)
{
    // The multipliers run from 10^-2 to 10^7; five bands end at 10^6, as
    // 100 x 10^7 is already 10^9.
    const int digits = fiveBands ? 3 : 2;
    const int top = fiveBands ? 6 : 7;
    return {digits, Decimal{PowerOfTen(digits - 1), -2}, Decimal{PowerOfTen(digits) - 1, top}};
}

int SignificantDigits(const Decimal& value)
{
    const std::int64_t c = Normalized(value).coefficient;
    return DigitCount(static_cast<std::uint64_t>(c < 0 ? -c : c));
}

Fit FitOf(const Decimal& ohms, bool fiveBands)
{
    const BandCapacity capacity = CapacityOf(fiveBands);
    if (ohms <= Decimal{}) {
        return Fit::NotPositive;
    }
    if (ohms < capacity.smallest) {
        return Fit::TooSmall;
    }
    if (ohms > capacity.largest) {
        return Fit::TooLarge;
    }
    return SignificantDigits(ohms) > capacity.digits ? Fit::TooManyDigits : Fit::Carried;
}

Rounded RoundedTo(const Decimal& value, int digits)
{
    const Decimal n = Normalized(value);
    const int drop = std::max(0, SignificantDigits(n) - digits);
    const std::int64_t step = PowerOfTen(drop);
    const Decimal below{n.coefficient / step, n.exponent + drop};
    return {below, drop == 0 ? below : Decimal{below.coefficient + 1, below.exponent}};
}

std::optional<std::string> ShortenedNote(const Encoding& encoding, std::string_view value, std::string_view unit,
                                         const NumberFormat& format)
{
    const auto facts = EncodingFacts(encoding, "_+5%");
    const auto typed = ReadDecimal(value, format);
    const auto it = std::ranges::find_if(Units(), [&](const Unit& u) { return u.text == unit; });
    if (!facts || !typed || it == Units().end()) {
        return std::nullopt;
    }
    const auto ohms = Shifted(*typed, it->exponent);
    if (!ohms || *ohms == facts->ohms) {
        return std::nullopt;
    }
    return "the bands carry " + OhmsText(facts->ohms, format) + ", not the typed " + OhmsText(*ohms, format);
}

}  // namespace zarnik
