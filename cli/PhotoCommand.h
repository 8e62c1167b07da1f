// SPDX-License-Identifier: MIT
#pragma once

// photo FILE [--annotate OUT.png]: the bands the photo reader finds in a
// photo of one resistor, answered as `decode` answers those bands, then the
// reading's confidence and up to two other readings. The reader is a module
// of its own, loaded on the first photo, so that the other commands start
// without it.

#include "cli/Answer.h"

namespace zarnik::cli {

[[nodiscard]] Answer ReadPhoto(const Words& words);

}  // namespace zarnik::cli
