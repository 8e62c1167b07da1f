// SPDX-License-Identifier: MIT
#pragma once

// The commands of every marking on a resistor: `encode` (a value's bands),
// `nearest` (its standard neighbours), `decode` with one, three, four, five
// or six colours and the reading from the other end, `code` (what a printed
// code reads as) and `codes` (a value's printed codes), and the temperature
// coefficient `encode --tc` adds. Each is a function from the
// command's words to its answer, so that a single call and a batch line
// answer alike.

#include <optional>
#include <string>

#include "cli/Answer.h"
#include "model/ColourTable.h"

namespace zarnik::cli {

// decode C1 [C2 M | C2 M T | C2 C3 M T | C2 C3 M T TC]. Four and five bands
// of the decoder's palettes print exactly the decoder window's line and its
// range and series; every answer adds, between the two, a line for the
// temperature coefficient and one for the reading from the other end (JSON
// "tc_ppm" and "reversed").
[[nodiscard]] Answer DecodeMarking(const Words& words);

// code CODE: one line per reading, "4.7 K Ohm (3-digit)"; refused where no
// system reads it.
[[nodiscard]] Answer ReadPrintedCode(const Words& words);

// codes VALUE UNIT: the value's RKM, 3-digit, 4-digit and EIA-96 codes and
// its series.
[[nodiscard]] Answer WritePrintedCodes(const Words& words);

// encode VALUE UNIT TOLERANCE [--five] [--tc PPM]: the encoder window's
// result line and band colours for the value, read in ohms first; refused
// where the bands cannot carry it exactly, saying what would.
[[nodiscard]] Answer Encode(const Words& words);

// nearest VALUE UNIT [--series NAME]: the standard values at or below and at
// or above the value, and the series it belongs to.
[[nodiscard]] Answer Nearest(const Words& words);

// encode ... --tc PPM: the colour that stands for the coefficient, which goes
// after the five bands; a wrong word where no colour stands for it.
[[nodiscard]] const ColourCode& CoefficientColour(const std::string& ppm);
// The coefficient's line of text, "temperature coefficient: 50 ppm/K".
[[nodiscard]] std::string CoefficientLine(const std::optional<int>& ppm);

}  // namespace zarnik::cli
