// SPDX-License-Identifier: MIT
#pragma once

// check FILE [--csv OUT]: a parts list read and checked row by row. Each row
// of a resistor, capacitor or inductor is printed as a line of a table
// (designators, the value as written and as read, its series, its bands and
// codes, its flags), then one summary line; --json writes one JSON object
// per row of the file instead, for a script, without the summary; --csv OUT
// writes the same as a spreadsheet's rows (to standard output for -, in
// place of the table). FILE - is standard input. The file streams through
// in bounded memory whatever its size.

#include <cstdio>

#include "cli/Answer.h"

namespace zarnik::cli {

// 0 when every part was read and none is flagged, 1 when some part is
// flagged, 2 when the file cannot be read as a parts list (one line on
// `err` says why), 3 when the answer could not be written.
[[nodiscard]] int RunCheck(const Words& words, int input, std::FILE* out, std::FILE* err);

}  // namespace zarnik::cli
