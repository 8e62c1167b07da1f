// SPDX-License-Identifier: MIT
#include "model/InductorCodes.h"

#include <algorithm>
#include <array>

#include "model/Markings.h"
#include "model/PointCodes.h"
#include "model/UnitScale.h"

namespace zarnik {

namespace {

constexpr std::array<InductorSystem, 3> kCodeSystems{InductorSystem::RPoint, InductorSystem::NPoint,
                                                     InductorSystem::ThreeDigit};
constexpr int kMicro = -6;
constexpr int kNano = -9;
constexpr std::size_t kLongestCode = 12;
constexpr PointShape kShape{3, 3, 4, false};

struct ToleranceLetter {
    char letter;
    int percent;
};
constexpr std::array<ToleranceLetter, 5> kToleranceLetters{{{'F', 1}, {'G', 2}, {'J', 5}, {'K', 10}, {'M', 20}}};

struct ToleranceColour {
    std::string_view colour;  // the colour table's name
    int percent;
};
constexpr std::array<ToleranceColour, 5> kToleranceColours{
    {{"Brown", 1}, {"Red", 2}, {"Gold", 5}, {"Silver", 10}, {"no band", 20}}};
constexpr int kNoBandPercent = 20;

// Silver x0.01 to Yellow x10^4.
constexpr int kSmallestMultiplier = -2;
constexpr int kLargestMultiplier = 4;

std::optional<int> PowerOfDigit(char digit)
{
    return digit >= '0' && digit <= '6' ? std::optional(digit - '0') : std::nullopt;
}

std::optional<Decimal> ValueIn(InductorSystem system, std::string_view code)
{
    switch (system) {
    case InductorSystem::RPoint: return ReadPointCode(code, 'R', kMicro, kShape);
    case InductorSystem::NPoint: return ReadPointCode(code, 'N', kNano, kShape);
    case InductorSystem::ThreeDigit: return ReadMultiplierCode(code, kMicro, PowerOfDigit);
    case InductorSystem::Bands: break;
    }
    return std::nullopt;
}

}  // namespace

std::span<const InductorSystem> InductorCodeSystems() { return kCodeSystems; }

std::string_view InductorSystemName(InductorSystem system)
{
    switch (system) {
    case InductorSystem::RPoint: return "R \u00B5H";
    case InductorSystem::NPoint: return "N nH";
    case InductorSystem::ThreeDigit: return "3-digit \u00B5H";
    case InductorSystem::Bands: break;
    }
    return "colour bands";
}

std::vector<InductorReading> ReadInductorCode(std::string_view text)
{
    const std::string code = UpperCode(TrimBlanks(text));
    std::vector<InductorReading> readings;
    if (code.empty() || code.size() > kLongestCode) {
        return readings;
    }
    std::string_view value = code;
    std::optional<Decimal> tolerance;
    const auto letter = std::ranges::find(kToleranceLetters, code.back(), &ToleranceLetter::letter);
    if (code.size() > 1 && letter != kToleranceLetters.end()) {
        tolerance = Decimal{letter->percent, 0};
        value.remove_suffix(1);
    }
    for (const InductorSystem system : kCodeSystems) {
        if (const auto henries = ValueIn(system, value)) {
            readings.push_back({system, *henries, tolerance});
        }
    }
    return readings;
}

std::optional<std::string> InductorReadingNote(const InductorReading& reading)
{
    if (reading.system != InductorSystem::ThreeDigit) {
        return std::nullopt;
    }
    return "read in \u00B5H; RF chip inductors print it in nH: " +
           ScaledText(*Shifted(reading.henries, kNano - kMicro), HenryUnits());
}

std::string InductorReadingText(const InductorReading& reading, const NumberFormat& format)
{
    std::string text = ScaledText(reading.henries, HenryUnits(), format);
    if (reading.tolerancePercent) {
        text += " \u00B1" + DecimalText(*reading.tolerancePercent, format) + "%";
    }
    text += " (" + std::string(InductorSystemName(reading.system));
    if (reading.system == InductorSystem::ThreeDigit) {
        const Decimal nano = *Shifted(reading.henries, kNano - kMicro);
        text += "; RF chip inductors: " + ScaledText(nano, HenryUnits(), format);
    }
    return text + ")";
}

std::optional<std::string> InductorCodeOf(const Decimal& henries, InductorSystem system)
{
    if (henries.coefficient <= 0) {
        return std::nullopt;
    }
    switch (system) {
    case InductorSystem::RPoint: return WritePointCode(henries, 'R', kMicro, kShape);
    case InductorSystem::NPoint: return WritePointCode(henries, 'N', kNano, kShape);
    case InductorSystem::ThreeDigit: return WriteMultiplierCode(henries, kMicro, PowerOfDigit);
    case InductorSystem::Bands: break;
    }
    return std::nullopt;
}

std::optional<InductorReading> ReadInductorBands(std::span<const ColourCode* const> bands)
{
    if ((bands.size() != 3 && bands.size() != 4) || std::ranges::find(bands, nullptr) != bands.end()) {
        return std::nullopt;
    }
    const auto first = bands[0]->digit;
    const auto second = bands[1]->digit;
    const auto multiplier = MultiplierExponent(*bands[2]);
    if (!first || *first == 0 || !second || !multiplier || *multiplier < kSmallestMultiplier ||
        *multiplier > kLargestMultiplier) {
        return std::nullopt;
    }
    int percent = kNoBandPercent;
    if (bands.size() == 4) {
        const auto it = std::ranges::find(kToleranceColours, bands[3]->name, &ToleranceColour::colour);
        if (it == kToleranceColours.end()) {
            return std::nullopt;
        }
        percent = it->percent;
    }
    return InductorReading{InductorSystem::Bands, {*first * 10 + *second, kMicro + *multiplier}, Decimal{percent, 0}};
}

std::optional<std::vector<const ColourCode*>> InductorBands(const Decimal& henries,
                                                            const std::optional<Decimal>& tolerancePercent)
{
    const auto digits = WriteMultiplierCode(henries, kMicro, [](char digit) -> std::optional<int> {
        // The multiplier digit stands for the power; any in the bands' range.
        const int power = digit - '0' + kSmallestMultiplier;
        return power <= kLargestMultiplier ? std::optional(power) : std::nullopt;
    });
    if (!digits) {
        return std::nullopt;
    }
    std::vector<const ColourCode*> bands{ColourByDigit((*digits)[0] - '0'), ColourByDigit((*digits)[1] - '0'),
                                         ColourByMultiplier((*digits)[2] - '0' + kSmallestMultiplier)};
    if (tolerancePercent) {
        const auto it = std::ranges::find_if(kToleranceColours, [&](const ToleranceColour& c) {
            return Decimal{c.percent, 0} == *tolerancePercent;
        });
        if (it == kToleranceColours.end()) {
            return std::nullopt;
        }
        bands.push_back(ColourByName(it->colour));
    }
    return bands;
}

std::string InductorToleranceColoursText()
{
    std::string text;
    for (const ToleranceColour& c : kToleranceColours) {
        text += text.empty() ? "" : ", ";
        text += (c.colour == "no band" ? std::string("none") : std::string(c.colour)) + " " +
                std::to_string(c.percent) + "%";
    }
    return text;
}

}  // namespace zarnik
