// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/Decimal.h"
#include "model/NumberText.h"

namespace zarnik {

// The EIA-198 codes of ceramic capacitors' dielectrics.
//
// Class 2 ("X7R"): the lowest temperature (X -55, Y -30, Z +10 degrees C),
// the highest (2 +45, 4 +65, 5 +85, 6 +105, 7 +125, 8 +150, 9 +200), and the
// most the capacitance changes over that range (A 1.0, B 1.5, C 2.2, D 3.3,
// E 4.7, F 7.5, P 10, R 15, S 22 percent either way; T +22/-33, U +22/-56,
// V +22/-82 percent).
// Class 1 ("C0G", "U2J"): the temperature coefficient's significant figure
// (C 0.0, B 0.3, L 0.8, A 0.9, M 1.0, P 1.5, R 2.2, S 3.3, T 4.7, V 5.6,
// U 7.5), its multiplier (0 -1, 1 -10, 2 -100, 3 -1000, 4 -10000, 5 +1,
// 6 +10, 7 +100, 8 +1000, 9 +10000) and its tolerance (G 30, H 60, J 120,
// K 250, L 500, M 1000, N 2500 ppm/K); NP0 is the old name of C0G.
struct Dielectric {
    int dielectricClass = 0;  // 1 or 2
    // Class 2.
    int minCelsius = 0;
    int maxCelsius = 0;
    Decimal changePercentMin;
    Decimal changePercentMax;
    // Class 1.
    Decimal ppmPerKelvin;
    int ppmTolerance = 0;
};

// The dielectric a code names, in any letter case; nothing for any other text.
[[nodiscard]] std::optional<Dielectric> ReadDielectric(std::string_view code);

// "class 2: -55 to 125 °C, ±15%"; "class 2: 10 to 85 °C, +22/-56%";
// "class 1: 0 ±30 ppm/K"; "class 1: -750 ±120 ppm/K".
[[nodiscard]] std::string DielectricText(const Dielectric& dielectric, const NumberFormat& format = {});

}  // namespace zarnik
