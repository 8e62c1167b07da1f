// SPDX-License-Identifier: MIT
#include "model/ResultFacts.h"

#include <charconv>
#include <initializer_list>

#include "model/Decoding.h"
#include "model/UnitScale.h"

namespace zarnik {

namespace {

std::optional<PartFacts> FactsOfBands(std::optional<Decimal> ohms, std::string_view tolerance)
{
    return ohms ? FactsOf(*ohms, tolerance) : std::nullopt;
}

std::optional<std::string> Described(const std::optional<PartFacts>& facts, const NumberFormat& format)
{
    return facts ? std::optional(Describe(*facts, format)) : std::nullopt;
}

}  // namespace

std::optional<PartFacts> FactsOf(const Decimal& ohms, std::string_view toleranceText)
{
    const auto range = ToleranceRange(ohms, toleranceText);
    if (!range) {
        return std::nullopt;
    }
    PartFacts facts{ohms, *range, SeriesOf(ohms), {}};
    if (facts.series.empty()) {
        facts.nearest.emplace_back(Series::E24, *NearestStandard(ohms, Series::E24));
        // Parts of 1% and tighter come in E96.
        if (*TolerancePercent(toleranceText) <= Decimal{1, 0}) {
            facts.nearest.emplace_back(Series::E96, *NearestStandard(ohms, Series::E96));
        }
    }
    return facts;
}

std::optional<PartFacts> FourBandFacts(std::string_view first, std::string_view second, std::string_view multiplier,
                                       std::string_view tolerance, const NumberFormat& format)
{
    return FactsOfBands(BandOhms({first, second}, multiplier, format), tolerance);
}

std::optional<PartFacts> FiveBandFacts(std::string_view first, std::string_view second, std::string_view third,
                                       std::string_view multiplier, std::string_view tolerance,
                                       const NumberFormat& format)
{
    return FactsOfBands(BandOhms({first, second, third}, multiplier, format), tolerance);
}

std::optional<PartFacts> EncodingFacts(const Encoding& encoding, std::string_view tolerance)
{
    if (encoding.resultText == kPromptText || !HasCompleteCode(encoding)) {
        return std::nullopt;
    }
    // A complete code has one-digit digit texts and an exponent count of 4 to 13.
    const auto digits = ReadDecimal(encoding.firstDigitText + encoding.secondDigitText + encoding.thirdDigitText);
    int count = 0;
    const std::string& countText = encoding.exponentCountText;
    const auto [end, error] = std::from_chars(countText.data(), countText.data() + countText.size(), count);
    if (!digits || error != std::errc() || end != countText.data() + countText.size()) {
        return std::nullopt;
    }
    return FactsOfBands(Shifted(*digits, count - 6), tolerance);
}

std::string OhmsText(const Decimal& ohms, const NumberFormat& format) { return ScaledText(ohms, OhmUnits(), format); }

std::string SeriesText(std::span<const Series> series)
{
    if (series.empty()) {
        return "not a standard value";
    }
    std::string text = "standard value in ";
    for (std::size_t i = 0; i < series.size(); ++i) {
        text += i == 0 ? "" : ", ";
        text += SeriesName(series[i]);
    }
    return text;
}

std::string Describe(const PartFacts& facts, const NumberFormat& format)
{
    std::string text = OhmsText(facts.range.min, format) + " to " + OhmsText(facts.range.max, format) + "; " +
                       SeriesText(facts.series);
    for (const auto& [series, neighbours] : facts.nearest) {
        text += "; nearest ";
        text += SeriesName(series);
        text += ": " + OhmsText(neighbours.below, format) + " and " + OhmsText(neighbours.above, format);
    }
    return text;
}

std::optional<std::string> DescribeFourBands(std::string_view first, std::string_view second,
                                             std::string_view multiplier, std::string_view tolerance,
                                             const NumberFormat& format)
{
    return Described(FourBandFacts(first, second, multiplier, tolerance, format), format);
}

std::optional<std::string> DescribeFiveBands(std::string_view first, std::string_view second, std::string_view third,
                                             std::string_view multiplier, std::string_view tolerance,
                                             const NumberFormat& format)
{
    return Described(FiveBandFacts(first, second, third, multiplier, tolerance, format), format);
}

std::optional<std::string> DescribeEncoding(const Encoding& encoding, std::string_view tolerance,
                                            const NumberFormat& format)
{
    return Described(EncodingFacts(encoding, tolerance), format);
}

}  // namespace zarnik
