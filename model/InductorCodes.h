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

// The markings of inductors, read and written exactly.
//
// R µH: R as the decimal point in microhenries ("4R7", "R10", "47R").
// N nH: N as the decimal point in nanohenries ("8N2", "47N").
// 3-digit µH: two significant digits and a power of ten, 0 to 6, in
//   microhenries ("470" 47 µH). Makers differ here: RF chip inductors print
//   the same digits in nanohenries, so the reading says which unit it took.
// Each may be followed by a tolerance letter: F 1, G 2, J 5, K 10, M 20
// percent. (RF inductors' letters for nanohenries, B C D S, differ from
// maker to maker and are not read.)
//
// Colour bands: two digits, a multiplier (Black x1 to Yellow x10^4, Gold
// x0.1, Silver x0.01) in microhenries, and a tolerance band: Brown 1, Red 2,
// Gold 5, Silver 10 percent, none 20 percent; without it, three bands.
enum class InductorSystem { RPoint, NPoint, ThreeDigit, Bands };

// The printed systems, R µH, N nH and 3-digit µH, in the order readings are listed.
[[nodiscard]] std::span<const InductorSystem> InductorCodeSystems();
// "R µH", "N nH", "3-digit µH", "colour bands".
[[nodiscard]] std::string_view InductorSystemName(InductorSystem system);

struct InductorReading {
    InductorSystem system;
    Decimal henries;
    std::optional<Decimal> tolerancePercent;
};

// Every reading of a printed code, in the order of InductorCodeSystems;
// empty where none reads it.
[[nodiscard]] std::vector<InductorReading> ReadInductorCode(std::string_view code);

// What a reading's system leaves open: for 3-digit µH, that RF chip
// inductors read the digits in nanohenries; nothing for the others.
[[nodiscard]] std::optional<std::string> InductorReadingNote(const InductorReading& reading);

// "4.7 µH \u00B110% (R µH)"; "47 µH (3-digit µH; RF chip inductors: nH)".
[[nodiscard]] std::string InductorReadingText(const InductorReading& reading, const NumberFormat& format = {});

// The printed code of a value in a system, without tolerance; nothing where
// it has none: R µH and N nH with at most three digits either side of the
// point and four in all ("4R7", "R10", "47N", "470N"); 3-digit µH from
// 10 µH with two significant digits ("100", "471").
[[nodiscard]] std::optional<std::string> InductorCodeOf(const Decimal& henries, InductorSystem system);

// Band colours, first digit first: three (digits and multiplier, +-20%) or
// four (and the tolerance band).
[[nodiscard]] std::optional<InductorReading> ReadInductorBands(std::span<const ColourCode* const> bands);
// The colours of a value from 0.1 µH to 99 x 10^4 µH of at most two
// significant digits, with the tolerance band of tolerancePercent where one
// is given (then nothing where no colour stands for it).
[[nodiscard]] std::optional<std::vector<const ColourCode*>> InductorBands(
    const Decimal& henries, const std::optional<Decimal>& tolerancePercent = std::nullopt);
// The tolerance colours, as "Brown 1%, Red 2%, Gold 5%, Silver 10%, none 20%".
[[nodiscard]] std::string InductorToleranceColoursText();

}  // namespace zarnik
