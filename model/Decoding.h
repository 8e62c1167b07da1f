// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "model/NumberText.h"

namespace zarnik {

inline constexpr std::string_view kIdleText = "Please Select Color";

// Band texts to the result line: number text, unit, four blanks, tolerance.
// A digit or multiplier text that is not a number gives the idle text.
[[nodiscard]] std::string DecodeFourBands(std::string_view first, std::string_view second, std::string_view multiplier,
                                          std::string_view tolerance, const NumberFormat& format = {});
[[nodiscard]] std::string DecodeFiveBands(std::string_view first, std::string_view second, std::string_view third,
                                          std::string_view multiplier, std::string_view tolerance,
                                          const NumberFormat& format = {});

}  // namespace zarnik
