// SPDX-License-Identifier: MIT
#pragma once

// The commands of capacitors and inductors beside those of resistors: `code`,
// `codes` and `decode` take `--part capacitor|inductor|resistor` (resistor
// when it is absent, answered as ever), and `dielectric` reads a ceramic
// capacitor's dielectric code.

#include "cli/Answer.h"

namespace zarnik::cli {

// code CODE [--part P]: one line per reading, "470 nF ±5%, 100 V (3-digit pF)".
[[nodiscard]] Answer ReadPartCode(const Words& words);
// codes VALUE UNIT [--part P]: the value's codes in each system of its part.
[[nodiscard]] Answer WritePartCodes(const Words& words);
// decode COLOURS [--part P]: an inductor's three or four bands in µH.
[[nodiscard]] Answer DecodePart(const Words& words);
// dielectric CODE: the temperature range and change of class 2, the
// coefficient of class 1; refused for a code no table holds.
[[nodiscard]] Answer ReadDielectricCode(const Words& words);

}  // namespace zarnik::cli
