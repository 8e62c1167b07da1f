// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/ColourTable.h"
#include "model/Decimal.h"
#include "model/NumberText.h"

namespace zarnik {

// Band markings beyond the decoder window's four- and five-band palettes: the
// one-black-band zero-ohm link, three bands (two digits, multiplier, no
// tolerance band: +-20%), six bands (five bands and a temperature
// coefficient), the multipliers x10^8, x10^9 and x0.001, and the reading of a
// sequence from its other end.

// Pink, the colour of x0.001. It is no entry of the colour table, whose
// entries and order the windows rely on; it carries no digit, no tolerance
// and none of the table's multipliers (its multiplier is MultiplierExponent's).
[[nodiscard]] const ColourCode& Pink();

// Every colour a band marking may carry, in this order: Black, Brown, Red,
// Orange, Yellow, Green, Blue, Violet, Grey, White, Gold, Silver (the colour
// table's entries) and Pink. "no band" is no colour of a marking.
[[nodiscard]] std::span<const ColourCode* const> MarkingColours();

// One of MarkingColours by name, in any letter case; nullptr for any other.
[[nodiscard]] const ColourCode* MarkingColourByName(std::string_view name);

// The multiplier of a colour as a power of ten: Black 0, Brown 1 ... White 9,
// Gold -1, Silver -2, Pink -3; nothing for "no band" and unknown entries.
[[nodiscard]] std::optional<int> MultiplierExponent(const ColourCode& colour);
// The colour of a multiplier exponent, -3 to 9; nullptr for any other.
[[nodiscard]] const ColourCode* ColourByMultiplier(int exponent);

// The temperature coefficient of the sixth band in ppm/K: Black 250, Brown
// 100, Red 50, Orange 15, Yellow 25, Green 20, Blue 10, Violet 5, Grey 1;
// nothing for the other colours.
[[nodiscard]] std::optional<int> TemperatureCoefficient(const ColourCode& colour);
// The colour of a temperature coefficient; nullptr where no colour stands for it.
[[nodiscard]] const ColourCode* ColourByTemperatureCoefficient(int ppmPerKelvin);
// The coefficient colours in swatch order, Black to Grey.
[[nodiscard]] std::span<const ColourCode* const> TemperatureCoefficientColours();
// "100 ppm/K".
[[nodiscard]] std::string TemperatureCoefficientText(int ppmPerKelvin);

// What the one-black-band zero-ohm link is, where other readings tell their
// range and series: it has no tolerance and is in no series.
inline constexpr std::string_view kZeroOhmLinkDescription = "a zero-ohm link: a jumper, no tolerance, in no series";

// What a band sequence reads as.
struct BandReading {
    std::vector<const ColourCode*> bands;  // as read: first digit first
    Decimal ohms;
    // The colour table's tolerance text of the tolerance band ("_+1%"); the
    // no-band text "_+20%" for three bands; "" for the zero-ohm link, which
    // names no tolerance.
    std::string_view toleranceText;
    std::optional<int> tcPpm;  // six bands only
};

// Reads a band sequence in the order given. It takes 1 band (Black: the
// zero-ohm link), 3 (digit, digit, multiplier), 4 (digit, digit, multiplier,
// tolerance), 5 (three digits, multiplier, tolerance) or 6 (five bands and the
// temperature coefficient). The first digit is Brown to White (a marking never
// begins with a zero), the other digits Black to White, the multiplier one of
// MultiplierExponent's colours, the tolerance a colour with a tolerance text
// in the colour table (Brown, Red, Green, Blue, Violet, Grey, Gold, Silver,
// and the table's "no band" for a part without a tolerance band, as on the
// decoder's palette), the coefficient Black to Grey. Nothing where a band does not fit its place,
// for a null entry and for any other count.
[[nodiscard]] std::optional<BandReading> ReadBands(std::span<const ColourCode* const> bands);

// The reading of the same sequence from its other end: the bands reversed and
// read as ReadBands reads them; "no band" entries are left out first, as
// they are not painted (four bands with no tolerance band read from the
// other end as three). Nothing where a band does not fit its new
// place (so a sequence ending in Gold, Silver or Pink reads one way only), and
// for the one-band link, which has no other end.
[[nodiscard]] std::optional<BandReading> ReadFromOtherEnd(std::span<const ColourCode* const> bands);

// Ohms scaled to the largest unit at or below them, one blank before the
// unit: "0.47 Ohm", "4.7 K Ohm", "10 M Ohm", "1.5 G Ohm".
[[nodiscard]] std::string ScaledOhmsText(const Decimal& ohms, const NumberFormat& format = {});

// The result line of a reading, as the decoder window writes it: for four and
// five bands whose colours are all on its palettes exactly its line
// (DecodeFourBands, DecodeFiveBands); a six-band reading has the line of its
// first five bands, a three-band one that of four bands with no tolerance
// band. Readings beyond the palettes get the same layout with the unit up to
// G Ohm ("4.7   G Ohm    _+5%"). The zero-ohm link: "0 Ohm (zero-ohm link)".
[[nodiscard]] std::string ReadingText(const BandReading& reading, const NumberFormat& format = {});

// The colour names of a reading's bands, blank-separated: "Brown Black Black Red Brown".
[[nodiscard]] std::string BandNamesText(const BandReading& reading);

}  // namespace zarnik
