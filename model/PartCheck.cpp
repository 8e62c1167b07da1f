// SPDX-License-Identifier: MIT
#include "model/PartCheck.h"

#include "model/BandCapacity.h"
#include "model/CapacitorCodes.h"
#include "model/InductorCodes.h"
#include "model/Markings.h"
#include "model/ResultFacts.h"
#include "model/SmdCodes.h"
#include "model/UnitScale.h"

namespace zarnik {

Series SeriesAskedBy(const std::optional<Decimal>& tolerancePercent)
{
    if (!tolerancePercent) {
        return Series::E24;
    }
    const Decimal& t = *tolerancePercent;
    return t >= Decimal{20, 0}   ? Series::E6
           : t >= Decimal{10, 0} ? Series::E12
           : t >= Decimal{5, 0}  ? Series::E24
           : t >= Decimal{2, 0}  ? Series::E48
           : t >= Decimal{1, 0}  ? Series::E96
                                 : Series::E192;
}

std::optional<SeriesCheck> CheckSeries(const Decimal& value, const std::optional<Decimal>& tolerancePercent)
{
    if (value.coefficient <= 0) {
        return std::nullopt;
    }
    SeriesCheck check;
    const Series asked = SeriesAskedBy(tolerancePercent);
    if (BelongsTo(value, asked)) {
        check.series = asked;
    } else if (BelongsTo(value, Series::E24)) {
        check.series = Series::E24;
    } else if (!tolerancePercent) {
        for (const Series finer : {Series::E96, Series::E192}) {
            if (!check.series && BelongsTo(value, finer)) {
                check.series = finer;
            }
        }
    }
    if (!check.series) {
        check.nearest.emplace_back(asked, *NearestStandard(value, asked));
        if (asked != Series::E24) {
            check.nearest.emplace_back(Series::E24, *NearestStandard(value, Series::E24));
        } else if (!tolerancePercent) {
            check.nearest.emplace_back(Series::E96, *NearestStandard(value, Series::E96));
        }
    }
    return check;
}

const ColourCode* ResistorToleranceColour(const std::optional<Decimal>& tolerancePercent)
{
    if (!tolerancePercent) {
        return nullptr;
    }
    const ColourCode* colour = ColourByTolerance("_+" + DecimalText(*tolerancePercent) + "%");
    return colour != nullptr && IsNoBand(*colour) ? nullptr : colour;  // 20%: no band is painted
}

std::vector<const ColourCode*> ResistorBands(const Decimal& ohms, const std::optional<Decimal>& tolerancePercent)
{
    if (ohms == Decimal{}) {
        return {ColourByName("Black")};
    }
    const ColourCode* tolerance = ResistorToleranceColour(tolerancePercent);
    const int digits = SignificantDigits(ohms);
    bool five = digits == 3 || (tolerancePercent && *tolerancePercent <= Decimal{2, 0});
    if (five && digits < 3 && FitOf(ohms, true) != Fit::Carried) {
        five = false;
    }
    if (FitOf(ohms, five) != Fit::Carried) {
        return {};
    }
    const int count = five ? 3 : 2;
    Decimal n = Normalized(ohms);
    while (DigitCount(std::uint64_t(n.coefficient)) < count) {
        n.coefficient *= 10;
        n.exponent -= 1;
    }
    std::vector<const ColourCode*> bands;
    const std::string text = std::to_string(n.coefficient);
    for (const char c : text) {
        bands.push_back(ColourByDigit(c - '0'));
    }
    bands.push_back(ColourByMultiplier(n.exponent));
    if (tolerance != nullptr) {
        bands.push_back(tolerance);
    }
    return bands;
}

std::vector<const ColourCode*> InductorBandsOf(const Decimal& henries, const std::optional<Decimal>& tolerancePercent)
{
    auto bands = InductorBands(henries, tolerancePercent);
    if (!bands && tolerancePercent) {
        bands = InductorBands(henries);
    }
    std::vector<const ColourCode*> painted = bands.value_or(std::vector<const ColourCode*>{});
    std::erase_if(painted, [](const ColourCode* band) { return IsNoBand(*band); });  // 20%: three bands
    return painted;
}

std::vector<NamedCode> PrintedCodes(PartKind kind, const Decimal& value)
{
    std::vector<NamedCode> codes;
    const auto add = [&codes](std::string_view system, const std::optional<std::string>& code) {
        if (code) {
            codes.push_back({system, *code});
        }
    };
    switch (kind) {
    case PartKind::Resistor:
        add(CodeSystemName(CodeSystem::ThreeDigit), ThreeDigitCode(value));
        add(CodeSystemName(CodeSystem::FourDigit), FourDigitCode(value));
        add(CodeSystemName(CodeSystem::Eia96), Eia96Code(value));
        break;
    case PartKind::Capacitor:
        add(CapacitorSystemName(CapacitorSystem::ThreeDigit), CapacitorCodeOf(value, CapacitorSystem::ThreeDigit));
        break;
    case PartKind::Inductor:
        for (const InductorSystem system : InductorCodeSystems()) {
            add(InductorSystemName(system), InductorCodeOf(value, system));
        }
        break;
    case PartKind::Other: break;
    }
    return codes;
}

std::string ValueText(PartKind kind, const Decimal& value, const NumberFormat& format)
{
    switch (kind) {
    case PartKind::Capacitor: return ScaledText(value, FaradUnits(), format);
    case PartKind::Inductor: return ScaledText(value, HenryUnits(), format);
    case PartKind::Resistor:
    case PartKind::Other: break;
    }
    return OhmsText(value, format);
}

}  // namespace zarnik
