#pragma once

#include <span>
#include <string>
#include <string_view>

#include "model/ColourTable.h"
#include "model/NumberText.h"

namespace zarnik {

inline constexpr std::string_view kPromptText = "Please Write the value of Ohm";

// A unit of the encoder's unit list: its text, and its size in ohms (a power
// of ten) and in micro-ohms, the encodings' working unit.
struct Unit {
    std::string_view text;  // "Ohm", "K Ohm", "M Ohm"
    int exponent;           // ohms per unit as a power of ten: 0, 3, 6
    double microOhms;       // 1e6, 1e9, 1e12
};

// The units in the order the encoder window lists them.
[[nodiscard]] std::span<const Unit> Units();

// What one encoding writes into the encoder window: the intermediate texts of
// its hidden boxes, the band colours (nullptr: the band keeps its colour),
// whether the tolerance band is drawn, and the result line.
struct Encoding {
    std::string microOhmText, firstDigitText, secondDigitText, thirdDigitText, exponentCountText;
    const ColourCode* first = nullptr;        // band a; nullptr: the band keeps its colour
    const ColourCode* second = nullptr;       // band b
    const ColourCode* third = nullptr;        // band CG (five bands only)
    const ColourCode* multiplier = nullptr;   // band c
    const ColourCode* tolerance = nullptr;    // band d; nullptr for "_+20%" (colour kept)
    bool toleranceShown = true;               // band d drawn
    std::string resultText;
};

// A value that is not a number, a unit other than "Ohm", "K Ohm" and "M Ohm",
// a value too large for a double, and a value whose micro-ohm text would be in
// exponent notation (10^15 micro-ohms and above, or below 10^-4) give the
// prompt and touch no digit or multiplier band; the tolerance band is set as
// for any other value.
[[nodiscard]] Encoding EncodeFourBands(std::string_view value, std::string_view unit, std::string_view tolerance,
                                       const NumberFormat& format = {});
[[nodiscard]] Encoding EncodeFiveBands(std::string_view value, std::string_view unit, std::string_view tolerance,
                                       const NumberFormat& format = {});

// Whether the encoding gave the value a complete code: its micro-ohm text is a
// whole number and every digit band of its mode and the multiplier band took
// a colour. Short texts such as the encoder window's value box holds get one
// or are refused, but for exotic ones such as 1e-4 with K Ohm; a longer value
// may have digits below a micro-ohm (1.2345678 Ohm: the character count then
// takes in the fraction) or be too small for a multiplier (0.00001 K Ohm),
// and its result line would name a value the bands do not show.
[[nodiscard]] bool HasCompleteCode(const Encoding& encoding);

}  // namespace zarnik
