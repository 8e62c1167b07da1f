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

// The codes printed on capacitors, read and written exactly.
//
// 3-digit pF: two significant digits and a multiplier digit, 0 to 6 a power
//   of ten, 8 x0.01 and 9 x0.1 ("104" 100 nF, "479" 4.7 pF).
// pF digits: a bare one- or two-digit number of picofarads ("47").
// R pF: R as the decimal point in picofarads, below 10 pF ("4R7", "0R5").
// IEC 60062: p, n or u (the micro sign and mu too) as the decimal point in
//   its unit ("p68", "2p2", "4n7", "n47", "100n", "1u0", "0u22").
//
// Each may be followed by a tolerance letter: B 0.1, C 0.25, D 0.5 (in pF
// below 10 pF, in percent from 10 pF), F 1, G 2, J 5, K 10, M 20 percent,
// Z +80/-20 percent. Below 10 pF, F and G are 1 and 2 pF in IEC 60062 and 1
// and 2 percent in makers' tables: such a code has both readings. A K after
// a number is the tolerance: "47K" is 47 pF +-10%.
//
// A 3-digit code may follow an EIA voltage code, a digit (a power of ten)
// and a letter (A 1.0, Q 1.1, B 1.25, T 1.5, C 1.6, Z 1.8, D 2.0, P 2.2,
// E 2.5, F 3.15, V 3.5, G 4.0, W 4.5, H 5.0, L 5.5, J 6.3, N 7.5, K 8.0):
// "2A474J" is 470 nF +-5%, 100 V. The single-letter voltage codes of
// tantalum parts differ from maker to maker and are not read.
//
// Codes are read in any letter case without the blanks around them.
enum class CapacitorSystem { ThreeDigit, Digits, RPoint, Iec };

[[nodiscard]] std::span<const CapacitorSystem> CapacitorSystems();
// "3-digit pF", "pF digits", "R pF", "IEC 60062".
[[nodiscard]] std::string_view CapacitorSystemName(CapacitorSystem system);

// A capacitor's tolerance: symmetric in percent or in farads, or the
// asymmetric Z.
struct CapacitorTolerance {
    enum class Kind { Percent, Farads, Asymmetric };
    Kind kind = Kind::Percent;
    Decimal value;       // Percent: the percent; Farads: the farads
    Decimal minPercent;  // Asymmetric only: -20
    Decimal maxPercent;  // Asymmetric only: 80
};

struct CapacitorReading {
    CapacitorSystem system;
    Decimal farads;
    std::optional<CapacitorTolerance> tolerance;
    std::optional<Decimal> volts;  // where a voltage code stands before the value
};

// Every reading of a code, in the order of CapacitorSystems; empty where
// none reads it.
[[nodiscard]] std::vector<CapacitorReading> ReadCapacitorCode(std::string_view code);

// "470 nF \u00B15%, 100 V (3-digit pF)", "4.7 pF \u00B10.25 pF (R pF)",
// "100 nF +80/-20% (3-digit pF)".
[[nodiscard]] std::string CapacitorReadingText(const CapacitorReading& reading, const NumberFormat& format = {});
// "\u00B15%", "\u00B10.25 pF", "+80/-20%".
[[nodiscard]] std::string CapacitorToleranceText(const CapacitorTolerance& tolerance, const NumberFormat& format = {});

// The code of a value in a system, without tolerance or voltage; nothing
// where the system has none for it: 3-digit from 0.1 pF to 99 uF with two
// significant digits ("479", "104"); pF digits for 1 to 99 whole pF; R pF
// below 10 pF with at most three digits ("4R7", "0R5"); IEC 60062 in the
// largest of p, n and u at or below the value with at most four digits
// ("4n7", "p68", "220n", "1u0", "4700u").
[[nodiscard]] std::optional<std::string> CapacitorCodeOf(const Decimal& farads, CapacitorSystem system);

// The voltage a voltage code ("2A") stands for; nothing for any other text.
[[nodiscard]] std::optional<Decimal> VoltageOfCode(std::string_view code);

}  // namespace zarnik
