#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zarnik {

// The user's number conventions. Only the decimal separator matters: number
// texts never group digits.
struct NumberFormat {
    std::string decimalSeparator = ".";  // UTF-8; the user's decimal separator
};

// Reads a whole text as a number: optional blanks, optional sign, digits with at
// most one decimal separator (the format's or "."), optional exponent, optional
// blanks. Anything else, including the empty text, is not a number; so is a
// number too large for a double, while one too small to tell from zero reads
// as zero. Independent of the C library's locale.
[[nodiscard]] std::optional<double> Parse(std::string_view text, const NumberFormat& format = {});

// The general number format: 15 significant digits, no trailing zeros, no
// grouping, the format's decimal separator; exponent notation only for
// magnitudes of 10^15 and above or below 10^-4, as %.15G writes them ("9E+15",
// "5E-06"). Negative zero is written "0".
[[nodiscard]] std::string NumberText(double value, const NumberFormat& format = {});

// A number text this program wrote, read back for the next step. Such texts
// always read; the fallback 0 only keeps the arithmetic defined should a
// separator ever make that untrue.
[[nodiscard]] double ReadBack(std::string_view text, const NumberFormat& format = {});

}  // namespace zarnik
