// SPDX-License-Identifier: MIT
#pragma once

// The letter case of ASCII letters, as every reader of words and codes
// compares them: colour names, units, series, codes and command words are
// ASCII, and every other byte (UTF-8's µ among them) is left as it is, in
// every locale.

#include <algorithm>
#include <string>
#include <string_view>

namespace zarnik {

[[nodiscard]] constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
[[nodiscard]] constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// Equal but for the letter case of ASCII letters.
[[nodiscard]] inline bool SameLetters(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, {}, AsciiLower, AsciiLower);
}

[[nodiscard]] inline std::string AsciiUppercase(std::string_view text)
{
    std::string upper(text);
    std::ranges::transform(upper, upper.begin(), AsciiUpper);
    return upper;
}

}  // namespace zarnik
