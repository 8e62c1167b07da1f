// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/ColourTable.h"
#include "model/Decimal.h"
#include "model/NumberText.h"
#include "model/PartValue.h"
#include "model/StandardValues.h"

namespace zarnik {

// What a part's value is worth at the bench: the E series it is bought in,
// the standard values beside it when it is in none, and what it is marked
// with.
//
// The series a tolerance asks for: E6 at 20%, E12 at 10%, E24 at 5% (and
// where no tolerance is written), E48 at 2%, E96 at 1%, E192 tighter. E24
// values are made at every tolerance, so a value of E24 is standard at any
// tolerance; one written without a tolerance is standard in E24, E96 or
// E192.
[[nodiscard]] Series SeriesAskedBy(const std::optional<Decimal>& tolerancePercent);

struct SeriesCheck {
    std::optional<Series> series;  // nothing: not a standard value
    // Where it is in none: the neighbours in the series asked for, and in
    // E24 when that is another.
    std::vector<std::pair<Series, Neighbours>> nearest;
};
// Nothing for zero and negative values, which are in no series and need
// none (the zero-ohm link).
[[nodiscard]] std::optional<SeriesCheck> CheckSeries(const Decimal& value,
                                                     const std::optional<Decimal>& tolerancePercent);

// A resistor's colour bands, first digit first: four for two significant
// digits, five for three or for a tolerance of 2% and tighter, the tolerance
// band only where the tolerance is written and has a colour; one Black
// band for the zero-ohm link. Nothing where bands cannot carry the value.
[[nodiscard]] std::vector<const ColourCode*> ResistorBands(const Decimal& ohms,
                                                           const std::optional<Decimal>& tolerancePercent);
// The colour of a resistor's tolerance band; nullptr where none is written
// and where none is painted (20%) or no colour stands for it.
[[nodiscard]] const ColourCode* ResistorToleranceColour(const std::optional<Decimal>& tolerancePercent);
// An inductor's bands (in µH), with the tolerance band where the tolerance
// has one (three bands at 20%); empty where they cannot carry the value.
[[nodiscard]] std::vector<const ColourCode*> InductorBandsOf(const Decimal& henries,
                                                             const std::optional<Decimal>& tolerancePercent);

// The printed codes of a value, each with the name of its system: a
// resistor's 3-digit, 4-digit and EIA-96 codes, a capacitor's 3-digit pF
// code, an inductor's R µH or N nH and 3-digit µH codes; those it has.
struct NamedCode {
    std::string_view system;
    std::string code;
};
[[nodiscard]] std::vector<NamedCode> PrintedCodes(PartKind kind, const Decimal& value);

// The value in its part's unit: "4.7 K Ohm", "100 nF", "6.2 nH".
[[nodiscard]] std::string ValueText(PartKind kind, const Decimal& value, const NumberFormat& format = {});

}  // namespace zarnik
