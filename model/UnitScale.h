// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "model/Decimal.h"
#include "model/NumberText.h"

namespace zarnik {

// A family of units of one quantity, each a power of ten of the base unit:
// Ohm, K Ohm, M Ohm and G Ohm of the ohm; pF, nF, uF and F of the farad; nH,
// uH, mH and H of the henry. A value is written in the largest unit of its
// family at or below it (4700 pF is "4.7 nF", 220 nF stays "220 nF", 0.5 pF
// "0.5 pF": below the smallest unit the smallest one). Every value the
// program writes with its unit (result lines, ranges, codes, JSON
// descriptions) takes its unit by this one rule.
struct ScaleUnit {
    std::string_view text;  // "nF"; UTF-8 ("µF")
    int exponent;           // of the base unit: -9 for nF
};
using UnitFamily = std::span<const ScaleUnit>;

// Ohm K Ohm M Ohm G Ohm, pF nF µF F, and nH µH mH H, ascending.
[[nodiscard]] UnitFamily OhmUnits();
[[nodiscard]] UnitFamily FaradUnits();
[[nodiscard]] UnitFamily HenryUnits();

// The unit the value is written in.
[[nodiscard]] const ScaleUnit& ScaleUnitOf(const Decimal& value, UnitFamily family);

// "4.7 nF": the value in its unit, one blank, the unit.
[[nodiscard]] std::string ScaledText(const Decimal& value, UnitFamily family, const NumberFormat& format = {});

// The unit a text names, in any letter case of its ASCII letters, with "u"
// for "µ" (micro sign or Greek mu): "uF", "µF", "nf"; nullptr for any other.
// Only "m" (milli) keeps its case: "MH" is no unit.
[[nodiscard]] const ScaleUnit* UnitByText(std::string_view text, UnitFamily family);

}  // namespace zarnik
