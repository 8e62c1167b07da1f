// SPDX-License-Identifier: MIT
#include "model/Decimal.h"

#include <charconv>
#include <cstdlib>
#include <string>

namespace zarnik {

namespace {

constexpr std::int64_t kCoefficientLimit = 1'000'000'000'000'000'000;  // 10^18

constexpr std::int64_t kPowers[] = {1,
                                    10,
                                    100,
                                    1'000,
                                    10'000,
                                    100'000,
                                    1'000'000,
                                    10'000'000,
                                    100'000'000,
                                    1'000'000'000,
                                    10'000'000'000,
                                    100'000'000'000,
                                    1'000'000'000'000,
                                    10'000'000'000'000,
                                    100'000'000'000'000,
                                    1'000'000'000'000'000,
                                    10'000'000'000'000'000,
                                    100'000'000'000'000'000,
                                    kCoefficientLimit};

std::uint64_t Magnitude(std::int64_t coefficient)
{
    // Negated as unsigned, so that even the smallest int64 has a magnitude.
    const auto bits = static_cast<std::uint64_t>(coefficient);
    return coefficient < 0 ? 0 - bits : bits;
}

// The normalized value, if it keeps to the limits.
std::optional<Decimal> WithinLimits(std::int64_t coefficient, std::int64_t exponent)
{
    if (coefficient == 0) {
        return Decimal{};
    }
    while (coefficient % 10 == 0) {
        coefficient /= 10;
        ++exponent;
    }
    if (coefficient <= -kCoefficientLimit || coefficient >= kCoefficientLimit || exponent < -kMaxDecimalExponent ||
        exponent > kMaxDecimalExponent) {
        return std::nullopt;
    }
    return Decimal{coefficient, static_cast<int>(exponent)};
}

// |a| against |b|, both normalized and non-zero.
std::strong_ordering CompareMagnitudes(const Decimal& a, const Decimal& b)
{
    std::uint64_t ma = Magnitude(a.coefficient);
    std::uint64_t mb = Magnitude(b.coefficient);
    const int da = DigitCount(ma);
    const int db = DigitCount(mb);
    // The place of the leading digit decides first.
    if (const auto order = a.exponent + da <=> b.exponent + db; order != 0) {
        return order;
    }
    // Same leading place: pad the shorter coefficient to the longer one's
    // digits; both then have at most 19 digits, within 64 bits unsigned.
    if (da < db) {
        ma *= static_cast<std::uint64_t>(kPowers[db - da]);
    } else if (db < da) {
        mb *= static_cast<std::uint64_t>(kPowers[da - db]);
    }
    return ma <=> mb;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int DigitCount(std::uint64_t magnitude)
{
    int digits = 1;
    while (magnitude >= 10) {
        magnitude /= 10;
        ++digits;
    }
    return digits;
}

Decimal Normalized(Decimal value)
{
    if (value.coefficient == 0) {
        return {};
    }
    while (value.coefficient % 10 == 0) {
        value.coefficient /= 10;
        ++value.exponent;
    }
    return value;
}

bool operator==(const Decimal& a, const Decimal& b) { return (a <=> b) == 0; }

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b)
{
    const Decimal na = Normalized(a);
    const Decimal nb = Normalized(b);
    const int signA = (na.coefficient > 0) - (na.coefficient < 0);
    const int signB = (nb.coefficient > 0) - (nb.coefficient < 0);
    if (signA != signB || signA == 0) {
        return signA <=> signB;
    }
    const auto magnitudes = CompareMagnitudes(na, nb);
    return signA > 0 ? magnitudes : 0 <=> magnitudes;
}

std::optional<Decimal> ReadDecimal(std::string_view text, const NumberFormat& format)
{
    const std::string_view s = TrimBlanks(text);
    const std::string_view separator =
        format.decimalSeparator.empty() ? std::string_view(".") : std::string_view(format.decimalSeparator);

    std::size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }

    // Digits go into the coefficient; zeros after the last non-zero digit
    // wait, so that "4.70000000000000000000" is 47 x 10^-1, not too long.
    std::int64_t coefficient = 0;
    std::int64_t significant = 0;
    std::int64_t waitingZeros = 0;
    std::int64_t exponent = 0;
    bool anyDigit = false;
    bool tooLong = false;
    const auto take = [&](char c, bool fraction) {
        anyDigit = true;
        if (fraction) {
            --exponent;
        }
        if (c == '0') {
            if (coefficient != 0) {
                ++waitingZeros;
            }
            return;
        }
        significant += waitingZeros + 1;
        if (significant > kMaxDecimalDigits) {
            tooLong = true;
            return;
        }
        coefficient = coefficient * kPowers[waitingZeros + 1] + (c - '0');
        waitingZeros = 0;
    };

    for (; pos < s.size() && IsDigit(s[pos]); ++pos) {
        take(s[pos], false);
    }
    const std::string_view rest = s.substr(pos);
    const std::size_t pointLength = rest.starts_with(separator) ? separator.size() : rest.starts_with('.') ? 1 : 0;
    if (pointLength > 0) {
        pos += pointLength;
        for (; pos < s.size() && IsDigit(s[pos]); ++pos) {
            take(s[pos], true);
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        ++pos;
        bool negativeExponent = false;
        if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
            negativeExponent = s[pos] == '-';
            ++pos;
        }
        if (pos == s.size() || !IsDigit(s[pos])) {
            return std::nullopt;
        }
        std::int64_t written = 0;
        for (; pos < s.size() && IsDigit(s[pos]); ++pos) {
            // Saturate: far beyond the limits the exact exponent does not matter.
            written = std::min<std::int64_t>(written * 10 + (s[pos] - '0'), 1'000'000'000);
        }
        exponent += negativeExponent ? -written : written;
    }
    if (pos != s.size() || tooLong) {
        return std::nullopt;
    }
    if (coefficient == 0) {
        return Decimal{};
    }
    exponent += waitingZeros;
    if (exponent < -kMaxDecimalExponent || exponent > kMaxDecimalExponent) {
        return std::nullopt;
    }
    return Decimal{negative ? -coefficient : coefficient, static_cast<int>(exponent)};
}

std::string DecimalText(const Decimal& value, const NumberFormat& format)
{
    const Decimal n = Normalized(value);
    const std::string_view separator =
        format.decimalSeparator.empty() ? std::string_view(".") : std::string_view(format.decimalSeparator);
    std::string digits = std::to_string(Magnitude(n.coefficient));
    std::string text = n.coefficient < 0 ? "-" : "";
    if (n.exponent >= 0) {
        text += digits;
        text.append(static_cast<std::size_t>(n.exponent), '0');
        return text;
    }
    const auto fraction = static_cast<std::size_t>(-n.exponent);
    if (digits.size() > fraction) {
        text += std::string_view(digits).substr(0, digits.size() - fraction);
        text += separator;
        text += std::string_view(digits).substr(digits.size() - fraction);
    } else {
        text += '0';
        text += separator;
        text.append(fraction - digits.size(), '0');
        text += digits;
    }
    return text;
}

double ToDouble(const Decimal& value)
{
    const std::string text = DecimalText(value);
    double number = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

std::optional<Decimal> Shifted(const Decimal& value, int places)
{
    return WithinLimits(value.coefficient, std::int64_t{value.exponent} + places);
}

std::optional<Decimal> Add(const Decimal& a, const Decimal& b)
{
    const Decimal na = Normalized(a);
    const Decimal nb = Normalized(b);
    if (na.coefficient == 0 || nb.coefficient == 0) {
        const Decimal& other = na.coefficient == 0 ? nb : na;
        return WithinLimits(other.coefficient, other.exponent);
    }
    // Bring both to the smaller exponent; a gap of more than 18 places
    // cannot be held in one coefficient.
    const Decimal& high = na.exponent >= nb.exponent ? na : nb;
    const Decimal& low = na.exponent >= nb.exponent ? nb : na;
    const std::int64_t gap = std::int64_t{high.exponent} - low.exponent;
    std::int64_t scaled = 0;
    std::int64_t sum = 0;
    if (gap > kMaxDecimalDigits || __builtin_mul_overflow(high.coefficient, kPowers[gap], &scaled) ||
        __builtin_add_overflow(scaled, low.coefficient, &sum)) {
        return std::nullopt;
    }
    return WithinLimits(sum, low.exponent);
}

std::optional<Decimal> Multiply(const Decimal& a, const Decimal& b)
{
    const Decimal na = Normalized(a);
    const Decimal nb = Normalized(b);
    std::int64_t product = 0;
    if (__builtin_mul_overflow(na.coefficient, nb.coefficient, &product)) {
        return std::nullopt;
    }
    return WithinLimits(product, std::int64_t{na.exponent} + nb.exponent);
}

}  // namespace zarnik
