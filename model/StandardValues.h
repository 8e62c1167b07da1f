#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "model/Decimal.h"

namespace zarnik {

// The E series of preferred values (IEC 60063), in which resistors are made.
enum class Series { E3, E6, E12, E24, E48, E96, E192 };

// E3 to E192, in that order.
[[nodiscard]] std::span<const Series> AllSeries();
[[nodiscard]] std::string_view SeriesName(Series series);  // "E24"
// "E24", in any letter case.
[[nodiscard]] std::optional<Series> SeriesByName(std::string_view name);

// One decade of the series as its significant digits, ascending: 10 to 91
// (two digits, E3 to E24) or 100 to 988 (three digits, E48 to E192).
[[nodiscard]] std::span<const int> SeriesMembers(Series series);
[[nodiscard]] int SignificantDigits(Series series);

// Whether the value's significant digits, scaled to the series' decade, are a
// member: 4.7 K Ohm is in E3, E6, E12, E24 and E192, not in E48 or E96. Zero
// and negative values are in no series.
[[nodiscard]] bool BelongsTo(const Decimal& ohms, Series series);
// The series the value belongs to, E3 first.
[[nodiscard]] std::vector<Series> SeriesOf(const Decimal& ohms);

// The standard values at or below and at or above the value; both are the
// value itself for a member. Nothing for zero and negative values.
struct Neighbours {
    Decimal below;
    Decimal above;
};
[[nodiscard]] std::optional<Neighbours> NearestStandard(const Decimal& ohms, Series series);

// The tolerance as a percentage, from a tolerance text of the colour table
// ("_+0.5%" is 0.5); nothing for any other text.
[[nodiscard]] std::optional<Decimal> TolerancePercent(std::string_view toleranceText);

// The least and the greatest value a part within its tolerance may have.
// Nothing for a tolerance text that is not the colour table's, and for zero
// and negative values.
struct OhmRange {
    Decimal min;
    Decimal max;
};
[[nodiscard]] std::optional<OhmRange> ToleranceRange(const Decimal& ohms, std::string_view toleranceText);

}  // namespace zarnik
