// SPDX-License-Identifier: MIT
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "model/Decimal.h"
#include "model/NumberText.h"

namespace zarnik {

inline constexpr std::string_view kIdleText = "Please Select Color";

// The value of band texts, exactly: the joined digit texts times the
// multiplier text, each digit text a number on its own as well as joined;
// nothing where one is not.
[[nodiscard]] std::optional<Decimal> BandOhms(std::initializer_list<std::string_view> digits,
                                              std::string_view multiplier, const NumberFormat& format = {});

// Band texts to the result line: number text, unit, four blanks, tolerance.
// A digit or multiplier text that is not a number gives the idle text.
[[nodiscard]] std::string DecodeFourBands(std::string_view first, std::string_view second, std::string_view multiplier,
                                          std::string_view tolerance, const NumberFormat& format = {});
[[nodiscard]] std::string DecodeFiveBands(std::string_view first, std::string_view second, std::string_view third,
                                          std::string_view multiplier, std::string_view tolerance,
                                          const NumberFormat& format = {});

}  // namespace zarnik
