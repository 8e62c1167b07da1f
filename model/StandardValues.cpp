// SPDX-License-Identifier: MIT
#include "model/StandardValues.h"

#include <algorithm>
#include <array>
#include <string>

#include "model/ColourTable.h"
#include "model/Letters.h"

namespace zarnik {

namespace {

// IEC 60063:2015, tables 1 and 2: one decade of each series. E3 to E24 keep
// the two-digit values of the older practice (2.7, 3.3, 4.7, 8.2 ... instead
// of the rounded powers of ten); E48 to E192 are the powers rounded to three
// digits, except 9.20 in E192 (the power gives 9.19).
constexpr int kE3[] = {10, 22, 47};
constexpr int kE6[] = {10, 15, 22, 33, 47, 68};
constexpr int kE12[] = {10, 12, 15, 18, 22, 27, 33, 39, 47, 56, 68, 82};
constexpr int kE24[] = {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30, 33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91};
constexpr int kE48[] = {100, 105, 110, 115, 121, 127, 133, 140, 147, 154, 162, 169, 178, 187, 196, 205,
                        215, 226, 237, 249, 261, 274, 287, 301, 316, 332, 348, 365, 383, 402, 422, 442,
                        464, 487, 511, 536, 562, 590, 619, 649, 681, 715, 750, 787, 825, 866, 909, 953};
constexpr int kE96[] = {100, 102, 105, 107, 110, 113, 115, 118, 121, 124, 127, 130, 133, 137, 140, 143,
                        147, 150, 154, 158, 162, 165, 169, 174, 178, 182, 187, 191, 196, 200, 205, 210,
                        215, 221, 226, 232, 237, 243, 249, 255, 261, 267, 274, 280, 287, 294, 301, 309,
                        316, 324, 332, 340, 348, 357, 365, 374, 383, 392, 402, 412, 422, 432, 442, 453,
                        464, 475, 487, 499, 511, 523, 536, 549, 562, 576, 590, 604, 619, 634, 649, 665,
                        681, 698, 715, 732, 750, 768, 787, 806, 825, 845, 866, 887, 909, 931, 953, 976};
constexpr int kE192[] = {
    100, 101, 102, 104, 105, 106, 107, 109, 110, 111, 113, 114, 115, 117, 118, 120, 121, 123, 124, 126, 127, 129,
    130, 132, 133, 135, 137, 138, 140, 142, 143, 145, 147, 149, 150, 152, 154, 156, 158, 160, 162, 164, 165, 167,
    169, 172, 174, 176, 178, 180, 182, 184, 187, 189, 191, 193, 196, 198, 200, 203, 205, 208, 210, 213, 215, 218,
    221, 223, 226, 229, 232, 234, 237, 240, 243, 246, 249, 252, 255, 258, 261, 264, 267, 271, 274, 277, 280, 284,
    287, 291, 294, 298, 301, 305, 309, 312, 316, 320, 324, 328, 332, 336, 340, 344, 348, 352, 357, 361, 365, 370,
    374, 379, 383, 388, 392, 397, 402, 407, 412, 417, 422, 427, 432, 437, 442, 448, 453, 459, 464, 470, 475, 481,
    487, 493, 499, 505, 511, 517, 523, 530, 536, 542, 549, 556, 562, 569, 576, 583, 590, 597, 604, 612, 619, 626,
    634, 642, 649, 657, 665, 673, 681, 690, 698, 706, 715, 723, 732, 741, 750, 759, 768, 777, 787, 796, 806, 816,
    825, 835, 845, 856, 866, 876, 887, 898, 909, 920, 931, 942, 953, 965, 976, 988};

struct SeriesEntry {
    Series series;
    std::string_view name;
    std::span<const int> members;
    int digits;
};

constexpr std::array<SeriesEntry, 7> kSeries{{
    {Series::E3, "E3", kE3, 2},
    {Series::E6, "E6", kE6, 2},
    {Series::E12, "E12", kE12, 2},
    {Series::E24, "E24", kE24, 2},
    {Series::E48, "E48", kE48, 3},
    {Series::E96, "E96", kE96, 3},
    {Series::E192, "E192", kE192, 3},
}};

constexpr std::array<Series, 7> kAll{Series::E3,  Series::E6,  Series::E12, Series::E24,
                                     Series::E48, Series::E96, Series::E192};

const SeriesEntry& EntryOf(Series series) { return kSeries[static_cast<std::size_t>(series)]; }

std::int64_t PowerOfTen(int n)
{
    std::int64_t power = 1;
    while (n-- > 0) {
        power *= 10;
    }
    return power;
}

}  // namespace

std::span<const Series> AllSeries() { return kAll; }

std::string_view SeriesName(Series series) { return EntryOf(series).name; }

std::optional<Series> SeriesByName(std::string_view name)
{
    for (const SeriesEntry& entry : kSeries) {
        if (SameLetters(name, entry.name)) {
            return entry.series;
        }
    }
    return std::nullopt;
}

std::span<const int> SeriesMembers(Series series) { return EntryOf(series).members; }

int SignificantDigits(Series series) { return EntryOf(series).digits; }

std::optional<Neighbours> NearestStandard(const Decimal& ohms, Series series)
{
    const Decimal value = Normalized(ohms);
    if (value.coefficient <= 0) {
        return std::nullopt;
    }
    const SeriesEntry& entry = EntryOf(series);
    // Compare in whole numbers at the value's last digit, or at the series'
    // last digit where the value has fewer: 4.7 K Ohm (47 x 10^2) against
    // E96 is 470 x 10^1 against the members 100 ... 976, each x 10^1. With at
    // most 18 digits in the value, a member so scaled stays below 10^18.
    const int valueDigits = DigitCount(static_cast<std::uint64_t>(value.coefficient));
    const int decade = value.exponent + valueDigits - entry.digits;  // the members' exponent
    std::int64_t target = value.coefficient;
    std::int64_t scale = 1;
    if (valueDigits >= entry.digits) {
        scale = PowerOfTen(valueDigits - entry.digits);
    } else {
        target *= PowerOfTen(entry.digits - valueDigits);
    }
    const auto members = entry.members;
    // The first member is 10^(digits - 1), at or below any value of the decade.
    const auto above = std::ranges::find_if(members, [&](int m) { return m * scale >= target; });
    const auto below =
        std::ranges::find_if(members.rbegin(), members.rend(), [&](int m) { return m * scale <= target; });
    Neighbours neighbours;
    neighbours.below = Normalized({*below, decade});
    // Beyond the decade's last member comes the next decade's first: 1 x 10^(decade + digits).
    neighbours.above = above == members.end() ? Decimal{1, decade + entry.digits} : Normalized({*above, decade});
    return neighbours;
}

bool BelongsTo(const Decimal& ohms, Series series)
{
    // A member has at most the series' digits once its trailing zeros are
    // gone: its digits, filled up to the series' count, are one of the
    // decade's members (9.2 is E192's 920).
    const Decimal value = Normalized(ohms);
    if (value.coefficient <= 0) {
        return false;
    }
    const SeriesEntry& entry = EntryOf(series);
    const int valueDigits = DigitCount(static_cast<std::uint64_t>(value.coefficient));
    if (valueDigits > entry.digits) {
        return false;
    }
    const std::int64_t digits = value.coefficient * PowerOfTen(entry.digits - valueDigits);
    return std::ranges::binary_search(entry.members, digits, {}, [](int m) { return std::int64_t(m); });
}

std::vector<Series> SeriesOf(const Decimal& ohms)
{
    std::vector<Series> series;
    for (const Series s : kAll) {
        if (BelongsTo(ohms, s)) {
            series.push_back(s);
        }
    }
    return series;
}

std::optional<Decimal> TolerancePercent(std::string_view toleranceText)
{
    if (toleranceText.empty() || ColourByTolerance(toleranceText) == nullptr || !toleranceText.starts_with("_+") ||
        !toleranceText.ends_with('%')) {
        return std::nullopt;
    }
    // The tolerance texts write their numbers with the point in every locale.
    return ReadDecimal(toleranceText.substr(2, toleranceText.size() - 3));
}

std::optional<OhmRange> ToleranceRange(const Decimal& ohms, std::string_view toleranceText)
{
    const auto percent = TolerancePercent(toleranceText);
    if (!percent || ohms.coefficient <= 0) {
        return std::nullopt;
    }
    // ohms x (100 -+ p) / 100, exactly.
    const Decimal hundred{100, 0};
    const auto lowFactor = Add(hundred, {-percent->coefficient, percent->exponent});
    const auto highFactor = Add(hundred, *percent);
    if (!lowFactor || !highFactor) {
        return std::nullopt;
    }
    const auto low = Multiply(ohms, *lowFactor);
    const auto high = Multiply(ohms, *highFactor);
    if (!low || !high) {
        return std::nullopt;
    }
    const auto min = Shifted(*low, -2);
    const auto max = Shifted(*high, -2);
    if (!min || !max) {
        return std::nullopt;
    }
    return OhmRange{*min, *max};
}

}  // namespace zarnik
