// SPDX-License-Identifier: MIT
#include "model/Markings.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "model/Decoding.h"
#include "model/UnitScale.h"

namespace zarnik {

namespace {

constexpr ColourCode kPink{"Pink", 0xFFC0CB, std::nullopt, std::nullopt, ""};

// The colour table's names in table order; Black is 0 and Silver 11.
constexpr std::array<std::string_view, 12> kTableNames{"Black", "Brown",  "Red",  "Orange", "Yellow", "Green",
                                                       "Blue",  "Violet", "Grey", "White",  "Gold",   "Silver"};
constexpr int kGold = 10;
constexpr int kSilver = 11;
constexpr int kPinkIndex = 12;

// Black to Grey, in ppm/K.
constexpr std::array<int, 9> kCoefficients{250, 100, 50, 15, 25, 20, 10, 5, 1};

// The place of a colour among MarkingColours, by name: -1 for any other
// entry ("no band").
int IndexOf(const ColourCode& colour)
{
    if (colour.name == kPink.name) {
        return kPinkIndex;
    }
    const auto it = std::ranges::find(kTableNames, colour.name);
    return it == kTableNames.end() ? -1 : int(it - kTableNames.begin());
}

const std::array<const ColourCode*, 13> kMarkingColours = [] {
    std::array<const ColourCode*, 13> colours{};
    for (std::size_t i = 0; i < kTableNames.size(); ++i) {
        colours[i] = ColourByName(kTableNames[i]);
    }
    colours[kPinkIndex] = &kPink;
    return colours;
}();

const std::array<const ColourCode*, 9> kCoefficientColours = [] {
    std::array<const ColourCode*, 9> colours{};
    std::copy_n(kMarkingColours.begin(), colours.size(), colours.begin());
    return colours;
}();

bool SameLetters(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::ranges::equal(a, b, {}, lower, lower);
}

// The significant digits a reading starts with.
int DigitBands(std::size_t count) { return count >= 5 ? 3 : 2; }

// The layout of the decoder's result line in the value's unit; the
// four-band line has three blanks before the unit, the five-band line four.
std::string LaidOut(const Decimal& ohms, std::string_view unitGap, std::string_view toleranceText,
                    const NumberFormat& format)
{
    const ScaleUnit& unit = ScaleUnitOf(ohms, OhmUnits());
    std::string text = DecimalText({ohms.coefficient, ohms.exponent - unit.exponent}, format);
    text += unitGap;
    text += unit.text;
    if (!toleranceText.empty()) {
        text += kToleranceGap;
        text += toleranceText;
    }
    return text;
}

}  // namespace

const ColourCode& Pink() { return kPink; }

std::span<const ColourCode* const> MarkingColours() { return kMarkingColours; }

const ColourCode* MarkingColourByName(std::string_view name)
{
    for (const ColourCode* colour : kMarkingColours) {
        if (SameLetters(colour->name, name)) {
            return colour;
        }
    }
    return nullptr;
}

std::optional<int> MultiplierExponent(const ColourCode& colour)
{
    const int index = IndexOf(colour);
    if (index < 0) {
        return std::nullopt;
    }
    return index == kPinkIndex ? -3 : index == kSilver ? -2 : index == kGold ? -1 : index;
}

const ColourCode* ColourByMultiplier(int exponent)
{
    if (exponent < -3 || exponent > 9) {
        return nullptr;
    }
    return kMarkingColours[std::size_t(exponent >= 0    ? exponent
                                       : exponent == -1 ? kGold
                                       : exponent == -2 ? kSilver
                                                        : kPinkIndex)];
}

std::optional<int> TemperatureCoefficient(const ColourCode& colour)
{
    const int index = IndexOf(colour);
    if (index < 0 || index >= int(kCoefficients.size())) {
        return std::nullopt;
    }
    return kCoefficients[std::size_t(index)];
}

const ColourCode* ColourByTemperatureCoefficient(int ppmPerKelvin)
{
    const auto it = std::ranges::find(kCoefficients, ppmPerKelvin);
    return it == kCoefficients.end() ? nullptr : kMarkingColours[std::size_t(it - kCoefficients.begin())];
}

std::span<const ColourCode* const> TemperatureCoefficientColours() { return kCoefficientColours; }

std::string TemperatureCoefficientText(int ppmPerKelvin) { return std::to_string(ppmPerKelvin) + " ppm/K"; }

std::optional<BandReading> ReadBands(std::span<const ColourCode* const> bands)
{
    if (std::ranges::find(bands, nullptr) != bands.end()) {
        return std::nullopt;
    }
    BandReading reading;
    reading.bands.assign(bands.begin(), bands.end());
    if (bands.size() == 1) {
        if (IndexOf(*bands[0]) != 0) {
            return std::nullopt;
        }
        return reading;
    }
    if (bands.size() < 3 || bands.size() > 6) {
        return std::nullopt;
    }
    const int digits = DigitBands(bands.size());
    std::int64_t coefficient = 0;
    for (int i = 0; i < digits; ++i) {
        const int index = IndexOf(*bands[std::size_t(i)]);
        if (index < (i == 0 ? 1 : 0) || index > 9) {
            return std::nullopt;
        }
        coefficient = coefficient * 10 + index;
    }
    const auto exponent = MultiplierExponent(*bands[std::size_t(digits)]);
    if (!exponent) {
        return std::nullopt;
    }
    reading.ohms = {coefficient, *exponent};
    if (bands.size() == 3) {
        reading.toleranceText = kNoBandToleranceText;
        return reading;
    }
    const ColourCode& tolerance = *bands[std::size_t(digits) + 1];
    if ((IndexOf(tolerance) < 0 && !IsNoBand(tolerance)) || !tolerance.toleranceText.starts_with("_+")) {
        return std::nullopt;
    }
    reading.toleranceText = tolerance.toleranceText;
    if (bands.size() == 6) {
        reading.tcPpm = TemperatureCoefficient(*bands[5]);
        if (!reading.tcPpm) {
            return std::nullopt;
        }
    }
    return reading;
}

std::optional<BandReading> ReadFromOtherEnd(std::span<const ColourCode* const> bands)
{
    // "no band" is not painted: the other end starts with the last painted band.
    std::vector<const ColourCode*> reversed;
    for (auto it = bands.rbegin(); it != bands.rend(); ++it) {
        if (*it == nullptr || !IsNoBand(**it)) {
            reversed.push_back(*it);
        }
    }
    if (reversed.size() < 2) {
        return std::nullopt;
    }
    return ReadBands(reversed);
}

std::string ScaledOhmsText(const Decimal& ohms, const NumberFormat& format) { return LaidOut(ohms, " ", "", format); }

std::string ReadingText(const BandReading& reading, const NumberFormat& format)
{
    if (reading.bands.size() == 1) {
        return DecimalText(reading.ohms, format) + " Ohm (zero-ohm link)";
    }
    const int digits = DigitBands(reading.bands.size());
    const ColourCode& multiplier = *reading.bands[std::size_t(digits)];
    const std::string factor = MultiplierText(multiplier, format);
    const auto digit = [&](int i) { return std::to_string(*reading.bands[std::size_t(i)]->digit); };
    if (!factor.empty()) {
        // On the decoder's palettes: its very line.
        return digits == 2 ? DecodeFourBands(digit(0), digit(1), factor, reading.toleranceText, format)
                           : DecodeFiveBands(digit(0), digit(1), digit(2), factor, reading.toleranceText, format);
    }
    return LaidOut(reading.ohms, digits == 2 ? "   " : "    ", reading.toleranceText, format);
}

std::string BandNamesText(const BandReading& reading)
{
    std::string text;
    for (const ColourCode* colour : reading.bands) {
        text += text.empty() ? "" : " ";
        text += colour->name;
    }
    return text;
}

}  // namespace zarnik
