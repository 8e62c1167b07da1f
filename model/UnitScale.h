// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "model/Decimal.h"
#include "model/NumberText.h"

namespace zarnik {

// A family of units of one quantity, each a power of ten of the base unit:
// pF, nF, uF and F of the farad; nH, uH, mH and H of the henry. A value is
// written in the largest unit of its family at or below it (4700 pF is
// "4.7 nF", 220 nF stays "220 nF", 0.5 pF "0.5 pF": below the smallest unit
// the smallest one), the rule the resistances follow with Ohm, K Ohm and
// M Ohm.
struct ScaleUnit {
    std::string_view text;  // "nF"; UTF-8 ("µF")
    int exponent;           // of the base unit: -9 for nF
};
using UnitFamily = std::span<const ScaleUnit>;

// pF nF µF F, and nH µH mH H, ascending.
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
