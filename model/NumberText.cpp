// SPDX-License-Identifier: MIT
#include "model/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

#include "model/Letters.h"

namespace zarnik {

namespace {

// An empty separator would make numbers unreadable; fall back to the point.
std::string_view SeparatorOf(const NumberFormat& format)
{
    return format.decimalSeparator.empty() ? std::string_view(".") : std::string_view(format.decimalSeparator);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal order of magnitude of a number whose conversion was out of range,
// from its digits and exponent: >= 0 means too large, < 0 too small.
std::int64_t OrderOfMagnitude(std::string_view intDigits, std::string_view fracDigits, std::int64_t exponent)
{
    const auto firstNonZero = intDigits.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos) {
        return static_cast<std::int64_t>(intDigits.size() - firstNonZero) - 1 + exponent;
    }
    const auto fracNonZero = fracDigits.find_first_not_of('0');
    const auto zeros = fracNonZero == std::string_view::npos ? fracDigits.size() : fracNonZero;
    return -static_cast<std::int64_t>(zeros) - 1 + exponent;
}

constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The usual texts (a few digits, a small exponent) need no general
// conversion: a mantissa below 2^53 times or over an exactly held power of
// ten is one correctly rounded operation.
std::optional<double> QuickValue(std::string_view intDigits, std::string_view fracDigits, std::int64_t exponent,
                                 bool negative)
{
    std::uint64_t mantissa = 0;
    int digits = 0;
    const auto take = [&](std::string_view part) {
        for (const char c : part) {
            if (mantissa == 0 && c == '0') {
                continue;  // leading zeros do not count
            }
            if (++digits > 15) {
                return false;
            }
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        }
        return true;
    };
    if (!take(intDigits) || !take(fracDigits)) {
        return std::nullopt;
    }
    const std::int64_t scale = exponent - static_cast<std::int64_t>(fracDigits.size());
    if (scale < -22 || scale > 22) {
        return std::nullopt;
    }
    double value = static_cast<double>(mantissa);
    value = scale < 0 ? value / kExactPowers[-scale] : value * kExactPowers[scale];
    return negative ? -value : value;
}

// The general conversion, on the canonical ASCII form of the number, so that
// std::from_chars never sees the user's separator or a '+'.
std::optional<double> FullValue(std::string_view intDigits, std::string_view fracDigits, std::string_view exponentText,
                                std::int64_t exponent, bool negative)
{
    std::string ascii;
    ascii.reserve(intDigits.size() + fracDigits.size() + exponentText.size() + 3);
    if (negative) {
        ascii += '-';
    }
    ascii += intDigits;
    ascii += '.';
    ascii += fracDigits;
    if (!exponentText.empty()) {
        ascii += 'e';
        ascii += exponentText;
    }
    double value = 0.0;
    const char* last = ascii.data() + ascii.size();
    const auto [ptr, ec] = std::from_chars(ascii.data(), last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small to tell from zero reads as zero; too large is no number.
        if (OrderOfMagnitude(intDigits, fracDigits, exponent) < 0) {
            return negative ? -0.0 : 0.0;
        }
        return std::nullopt;
    }
    if (ec != std::errc() || ptr != last) {
        return std::nullopt;
    }
    return value;
}

std::size_t SkipDigits(std::string_view s, std::size_t pos)
{
    while (pos < s.size() && IsDigit(s[pos])) {
        ++pos;
    }
    return pos;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::optional<double> Parse(std::string_view text, const NumberFormat& format)
{
    const std::string_view s = TrimBlanks(text);

    std::size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }

    std::size_t digitsEnd = SkipDigits(s, pos);
    const std::string_view intDigits = s.substr(pos, digitsEnd - pos);
    pos = digitsEnd;

    std::string_view fracDigits;
    const std::string_view rest = s.substr(pos);
    const std::string_view separator = SeparatorOf(format);
    const std::size_t pointLength = rest.starts_with(separator) ? separator.size() : rest.starts_with('.') ? 1 : 0;
    if (pointLength > 0) {
        pos += pointLength;
        digitsEnd = SkipDigits(s, pos);
        fracDigits = s.substr(pos, digitsEnd - pos);
        pos = digitsEnd;
    }
    if (intDigits.empty() && fracDigits.empty()) {
        return std::nullopt;
    }

    std::string_view exponentText;
    std::int64_t exponent = 0;
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        const std::size_t expBegin = ++pos;
        bool negativeExponent = false;
        if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
            negativeExponent = s[pos] == '-';
            ++pos;
        }
        digitsEnd = SkipDigits(s, pos);
        if (digitsEnd == pos) {
            return std::nullopt;
        }
        for (; pos < digitsEnd; ++pos) {
            // Saturate: beyond this only the order of magnitude matters.
            exponent = std::min<std::int64_t>(exponent * 10 + (s[pos] - '0'), 1'000'000'000);
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
        exponentText = s.substr(expBegin, pos - expBegin);
    }
    if (pos != s.size()) {
        return std::nullopt;
    }

    if (const auto quick = QuickValue(intDigits, fracDigits, exponent, negative)) {
        return quick;
    }
    return FullValue(intDigits, fracDigits, exponentText, exponent, negative);
}

std::string NumberText(double value, const NumberFormat& format)
{
    if (value == 0.0) {
        return "0";  // also for negative zero
    }
    const std::string_view separator = SeparatorOf(format);
    char buffer[64];
    if (std::abs(value) < 1e15 && value == std::trunc(value)) {
        // Whole numbers below 10^15 are written with all their digits.
        const auto result = std::to_chars(buffer, buffer + sizeof(buffer), static_cast<std::int64_t>(value));
        return std::string(buffer, result.ptr);
    }
    // std::to_chars writes as printf("%.15g") does in the C locale, whatever
    // the process locale is; %G writes its exponent and INF/NAN in capitals.
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 15);
    const std::string_view ascii(buffer, static_cast<std::size_t>(result.ptr - buffer));

    std::string text;
    text.reserve(ascii.size() + separator.size());
    for (const char c : ascii) {
        if (c == '.') {
            text += separator;
        } else {
            text += AsciiUpper(c);
        }
    }
    return text;
}

double ReadBack(std::string_view text, const NumberFormat& format) { return Parse(text, format).value_or(0.0); }

}  // namespace zarnik
