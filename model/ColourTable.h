// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/NumberText.h"

namespace zarnik {

// The tolerance text of "no band": the tolerance band is not drawn.
inline constexpr std::string_view kNoBandToleranceText = "_+20%";

// The blanks between the unit and the tolerance text in every result line.
inline constexpr std::string_view kToleranceGap = "    ";

// One entry of the resistor colour code.
struct ColourCode {
    std::string_view name;             // "Black" ... "Silver", and "no band"
    std::uint32_t rgb;                 // 0xRRGGBB, the colour that is painted (never for "no band")
    std::optional<int> digit;          // 0..9
    std::optional<double> multiplier;  // 0.01 .. 10^7
    std::string_view toleranceText;    // "" where the colour has none
};

// The thirteen entries in table order: Black, Brown, Red, Orange, Yellow, Green,
// Blue, Violet, Grey, White, Gold, Silver, no band.
[[nodiscard]] std::span<const ColourCode> ColourTable();

// Whether the entry is "no band", the tolerance that draws no band.
[[nodiscard]] bool IsNoBand(const ColourCode& colour);

// Look-ups; nullptr where the table has no such entry.
[[nodiscard]] const ColourCode* ColourByName(std::string_view name);
[[nodiscard]] const ColourCode* ColourByDigit(int digit);                  // 0..9
[[nodiscard]] const ColourCode* ColourByMultiplierExponent(int exponent);  // -2..7
[[nodiscard]] const ColourCode* ColourByTolerance(std::string_view toleranceText);

// The bands of the decoder window, left to right: five, and the temperature
// coefficient of six-band parts.
enum class Band { First, Second, Third, Multiplier, Tolerance, Coefficient };

// Which entries a band offers in the decoder window's palette, top to bottom,
// and the names of its band label, its hidden text field and its swatches.
struct BandRule {
    Band band;
    std::string_view label;  // "a", "b", "CG", "c", "d", "e"
    std::string_view field;  // "At", "Bt", "CGt", "ct", "Dt", "Et"
    std::span<const ColourCode* const> entries;
};

[[nodiscard]] std::span<const BandRule> BandRules();
[[nodiscard]] const BandRule& RuleOf(Band band);

// The tolerance texts in the order of the tolerance band's palette, "_+1%"
// ... "_+20%": the encoder window lists them so too.
[[nodiscard]] std::span<const std::string_view> ToleranceTexts();

// The colour a band of the encoder window shows when the window opens (Brown,
// Red, Green, Blue, Gold); a band an encoding gives no colour keeps it.
[[nodiscard]] const ColourCode& EncoderStartColour(Band band);

// The number in a swatch's name: the digit for Black to White, 11 for Gold, 12
// for Silver, 13 for no band.
[[nodiscard]] int SwatchNumber(const ColourCode& colour);

// The swatch name: the band label followed by the swatch number ("a4", "c11", "d13").
[[nodiscard]] std::string SwatchName(Band band, const ColourCode& colour);

// The multiplier text of an entry: "1" ... "1000000", and the number texts of
// 0.1 and 0.01 (with the user's separator) for Gold and Silver; "" where the
// entry has no multiplier on the decoder's palette.
[[nodiscard]] std::string MultiplierText(const ColourCode& colour, const NumberFormat& format = {});

// The text a band's hidden field takes when the swatch is chosen: the digit
// text, the multiplier text, the tolerance text or the temperature coefficient
// ("50 ppm/K"); "" where the entry has none.
[[nodiscard]] std::string BandText(Band band, const ColourCode& colour, const NumberFormat& format = {});

// What the colour stands for on that band, for tooltips and screen readers:
// "Yellow: 4", "Gold: x0.1", "Violet: x10000000", "Gold: ±5%", "no band: ±20%",
// "Red: 50 ppm/K";
// "" where the colour means nothing on that band.
[[nodiscard]] std::string BandMeaning(Band band, const ColourCode& colour, const NumberFormat& format = {});

// The same for a screen reader, with the band first, since it is heard apart
// from the drawing: "Band 1: Yellow, 4", "Multiplier: Gold, x0.1",
// "Tolerance: no band, \u00B120%", "Temperature coefficient: Red, 50 ppm/K"; ""
// where the colour means nothing there.
[[nodiscard]] std::string SpokenBandMeaning(Band band, const ColourCode& colour, const NumberFormat& format = {});

}  // namespace zarnik
