// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Decimal.h"
#include "model/NumberText.h"

namespace zarnik {

// The codes printed on surface-mount parts and in circuit diagrams, read and
// written exactly.
//
// 3-digit: two significant digits and a power of ten ("472" is 4.7 K Ohm), or
//   R as the decimal point ("4R7", "R47").
// 4-digit: three significant digits and a power of ten ("4701"), or R as the
//   decimal point ("10R0", "4R70", "R470").
// EIA-96: two digits 01 to 96 naming the E96 value of that rank, then a
//   multiplier letter: Z x0.001, Y or R x0.01, X or S x0.1, A x1, B or H x10,
//   C x100, D x1000, E x10^4, F x10^5 ("01C" is 10 K Ohm).
// RKM: digits with a unit letter as the decimal point, R, K, M, G or T
//   ("R47", "4R7", "47R", "4K7", "1M0", "1G5"), optionally followed by a
//   tolerance letter: B 0.1, C 0.25, D 0.5, F 1, G 2, J 5, K 10, M 20 percent.
// "0", "00" and "000" are the 3-digit zero-ohm link, "0000" the 4-digit one.
//
// Codes are read in any letter case, without the blanks around them. A
// leading zero before the multiplier digit ("047") is no 3- or 4-digit code,
// and no code but the links reads as zero ohm.
enum class CodeSystem { ThreeDigit, FourDigit, Eia96, Rkm };

// The four systems in the order readings are listed: 3-digit, 4-digit, EIA-96, RKM.
[[nodiscard]] std::span<const CodeSystem> CodeSystems();
// "3-digit", "4-digit", "EIA-96", "RKM".
[[nodiscard]] std::string_view CodeSystemName(CodeSystem system);

// One system's reading of a code.
struct CodeReading {
    CodeSystem system;
    Decimal ohms;
    std::optional<Decimal> tolerancePercent;  // an RKM tolerance letter's; nothing otherwise
};

// Every system's reading of a code, in the order of CodeSystems, one per
// system that reads it: "47R" reads 3.01 Ohm in EIA-96 and 47 Ohm in RKM;
// "4R7" reads 4.7 Ohm both as 3-digit and as RKM and lists both. Empty where
// no system reads it.
[[nodiscard]] std::vector<CodeReading> ReadCode(std::string_view code);

// "4.7 K Ohm (3-digit)", "4.7 K Ohm \u00B15% (RKM)", "0 Ohm (3-digit)".
[[nodiscard]] std::string CodeReadingText(const CodeReading& reading, const NumberFormat& format = {});

// The codes of a value; each is absent where the value cannot have it
// (negative values, too many significant digits, out of the system's range).
// Zero is the link "000" in 3 digits and "0000" in 4, and has no other code.
// RKM: the letter of the largest unit at or below the value is the decimal
// point, at least three characters (4.7 K "4K7", 470 "470R", 1 K "1K0", 10 K
// "10K", 0.47 "R47"), with the tolerance letter of tolerancePercent appended
// where one is given (absent where that tolerance has no letter).
[[nodiscard]] std::optional<std::string> RkmCode(const Decimal& ohms,
                                                 const std::optional<Decimal>& tolerancePercent = std::nullopt);
// 3-digit: two significant digits at most, from 0.01 Ohm to 99 x 10^9 Ohm
// (4.7 K "472", 4.7 "4R7", 0.47 "R47").
[[nodiscard]] std::optional<std::string> ThreeDigitCode(const Decimal& ohms);
// 4-digit: three significant digits at most, from 0.001 Ohm to 999 x 10^9 Ohm
// (49.9 "49R9", 100 "1000", 0.47 "R470").
[[nodiscard]] std::optional<std::string> FourDigitCode(const Decimal& ohms);
// EIA-96: E96 members from 0.1 Ohm to 97.6 M Ohm, with the letters Z Y X A B
// C D E F (10 K "01C", 49.9 "68X").
[[nodiscard]] std::optional<std::string> Eia96Code(const Decimal& ohms);
// The code of the system (RKM without a tolerance letter).
[[nodiscard]] std::optional<std::string> CodeOf(const Decimal& ohms, CodeSystem system);

// All of a value's codes at once.
struct ValueCodes {
    std::optional<std::string> rkm, smd3, smd4, eia96;
};
[[nodiscard]] ValueCodes CodesOf(const Decimal& ohms);

// One line of the codes there are: "4K7 (RKM)   472 (3-digit)   4701 (4-digit)";
// "no code" where the value has none.
[[nodiscard]] std::string CodesText(const ValueCodes& codes);

}  // namespace zarnik
