// SPDX-License-Identifier: MIT
#include "model/Markings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "model/Decoding.h"
#include "model/Letters.h"
#include "model/UnitScale.h"

namespace zarnik {

namespace {

constexpr ColourCode kPink{"Pink", 0xFFC0CB, std::nullopt, std::nullopt, ""};

// The temperature coefficients of the digit colours Black to Grey, in ppm/K.
constexpr std::array<int, 9> kCoefficients{250, 100, 50, 15, 25, 20, 10, 5, 1};

// The colour table's entries but "no band", in table order, then Pink: the
// colour table holds every fact of its entries (names, digits, the
// multipliers of Gold and Silver), and this file only what it lacks.
const std::array<const ColourCode*, 13> kMarkingColours = [] {
    std::array<const ColourCode*, 13> colours{};
    std::size_t count = 0;
    for (const ColourCode& colour : ColourTable()) {
        if (!IsNoBand(colour) && count + 1 < colours.size()) {
            colours[count++] = &colour;
        }
    }
    colours[count] = &kPink;
    return colours;
}();

// Whether the entry is one of MarkingColours (by name, so a copy of an
// entry counts too).
bool IsMarkingColour(const ColourCode& colour)
{
    return std::ranges::find(kMarkingColours, colour.name, &ColourCode::name) != kMarkingColours.end();
}

// The coefficient colours are the digit colours Black to Grey.
const std::array<const ColourCode*, 9> kCoefficientColours = [] {
    std::array<const ColourCode*, 9> colours{};
    for (std::size_t digit = 0; digit < colours.size(); ++digit) {
        colours[digit] = ColourByDigit(int(digit));
    }
    return colours;
}();

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
    if (!IsMarkingColour(colour)) {
        return std::nullopt;
    }
    // A digit colour multiplies by ten to its digit, beyond the decoder's
    // palette too (Grey x10^8, White x10^9); Gold and Silver by their
    // table multipliers; Pink by 0.001.
    if (colour.digit) {
        return *colour.digit;
    }
    if (colour.multiplier) {
        return int(std::lround(std::log10(*colour.multiplier)));
    }
    return colour.name == kPink.name ? std::optional(-3) : std::nullopt;
}

const ColourCode* ColourByMultiplier(int exponent)
{
    const auto colour = std::ranges::find(kMarkingColours, std::optional(exponent),
                                          [](const ColourCode* c) { return MultiplierExponent(*c); });
    return colour == kMarkingColours.end() ? nullptr : *colour;
}

std::optional<int> TemperatureCoefficient(const ColourCode& colour)
{
    if (!IsMarkingColour(colour) || !colour.digit || *colour.digit >= int(kCoefficients.size())) {
        return std::nullopt;
    }
    return kCoefficients[std::size_t(*colour.digit)];
}

const ColourCode* ColourByTemperatureCoefficient(int ppmPerKelvin)
{
    const auto it = std::ranges::find(kCoefficients, ppmPerKelvin);
    return it == kCoefficients.end() ? nullptr : kCoefficientColours[std::size_t(it - kCoefficients.begin())];
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
        if (!IsMarkingColour(*bands[0]) || bands[0]->digit != 0) {
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
        const ColourCode& band = *bands[std::size_t(i)];
        if (!IsMarkingColour(band) || !band.digit || *band.digit < (i == 0 ? 1 : 0)) {
            return std::nullopt;
        }
        coefficient = coefficient * 10 + *band.digit;
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
    if ((!IsMarkingColour(tolerance) && !IsNoBand(tolerance)) || !tolerance.toleranceText.starts_with("_+")) {
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
