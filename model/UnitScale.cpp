// SPDX-License-Identifier: MIT
#include "model/UnitScale.h"

#include <algorithm>
#include <array>

#include "model/Letters.h"

namespace zarnik {

namespace {

constexpr std::array<ScaleUnit, 4> kOhms{{{"Ohm", 0}, {"K Ohm", 3}, {"M Ohm", 6}, {"G Ohm", 9}}};
constexpr std::array<ScaleUnit, 4> kFarads{{{"pF", -12}, {"nF", -9}, {"\u00B5F", -6}, {"F", 0}}};
constexpr std::array<ScaleUnit, 4> kHenries{{{"nH", -9}, {"\u00B5H", -6}, {"mH", -3}, {"H", 0}}};

// The micro sign, Greek mu and "u" are one prefix.
std::string Canonical(std::string_view text)
{
    std::string canonical(text);
    for (const std::string_view micro : {std::string_view("\u00B5"), std::string_view("\u03BC")}) {
        for (auto at = canonical.find(micro); at != std::string::npos; at = canonical.find(micro)) {
            canonical.replace(at, micro.size(), "u");
        }
    }
    return canonical;
}

}  // namespace

UnitFamily OhmUnits() { return kOhms; }

UnitFamily FaradUnits() { return kFarads; }

UnitFamily HenryUnits() { return kHenries; }

const ScaleUnit& ScaleUnitOf(const Decimal& value, UnitFamily family)
{
    const Decimal n = Normalized(value);
    const int lead =
        n.coefficient == 0
            ? 0
            : n.exponent + DigitCount(std::uint64_t(n.coefficient < 0 ? -n.coefficient : n.coefficient)) - 1;
    const ScaleUnit* unit = &family.front();
    for (const ScaleUnit& candidate : family) {
        if (candidate.exponent <= lead) {
            unit = &candidate;
        }
    }
    return *unit;
}

std::string ScaledText(const Decimal& value, UnitFamily family, const NumberFormat& format)
{
    const ScaleUnit& unit = ScaleUnitOf(value, family);
    const auto scaled = Shifted(value, -unit.exponent);
    if (scaled) {
        return DecimalText(*scaled, format) + " " + std::string(unit.text);
    }
    // Beyond the decimal's limits the value is written in the base unit.
    const auto base = std::ranges::find(family, 0, &ScaleUnit::exponent);
    return DecimalText(value, format) + " " + std::string(base != family.end() ? base->text : family.back().text);
}

const ScaleUnit* UnitByText(std::string_view text, UnitFamily family)
{
    const std::string typed = Canonical(text);
    for (const ScaleUnit& unit : family) {
        const std::string name = Canonical(unit.text);
        if (typed.size() != name.size()) {
            continue;
        }
        bool same = true;
        for (std::size_t i = 0; i < name.size(); ++i) {
            // "m" (milli) keeps its case, so that no mega is taken for it.
            const bool caseFree = name[i] != 'm';
            same = same && (caseFree ? AsciiLower(typed[i]) == AsciiLower(name[i]) : typed[i] == name[i]);
        }
        if (same) {
            return &unit;
        }
    }
    return nullptr;
}

}  // namespace zarnik
