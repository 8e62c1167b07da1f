// SPDX-License-Identifier: MIT
#include "model/Decoding.h"

#include <cmath>
#include <optional>
#include <string>

#include "model/ColourTable.h"

namespace zarnik {

namespace {

// P, the band texts' value as the result line writes it: a double, none
// where it is not finite (it could not be written back and read again).
std::optional<double> Product(std::initializer_list<std::string_view> digits, std::string_view multiplier,
                              const NumberFormat& format)
{
    const auto ohms = BandOhms(digits, multiplier, format);
    if (!ohms) {
        return std::nullopt;
    }
    const double product = ToDouble(*ohms);
    if (!std::isfinite(product)) {
        return std::nullopt;
    }
    return product;
}

}  // namespace

std::optional<Decimal> BandOhms(std::initializer_list<std::string_view> digits, std::string_view multiplier,
                                const NumberFormat& format)
{
    std::string joined;
    for (const std::string_view digit : digits) {
        if (!ReadDecimal(digit, format)) {
            return std::nullopt;
        }
        joined += digit;
    }
    const auto number = ReadDecimal(joined, format);
    const auto factor = ReadDecimal(multiplier, format);
    if (!number || !factor) {
        return std::nullopt;
    }
    return Multiply(*number, *factor);
}

std::string DecodeFourBands(std::string_view first, std::string_view second, std::string_view multiplier,
                            std::string_view tolerance, const NumberFormat& format)
{
    const auto product = Product({first, second}, multiplier, format);
    if (!product) {
        return std::string(kIdleText);
    }
    std::string result = NumberText(*product, format);

    double x = ReadBack(result, format);
    if (x >= 1000.0 && x < 1000000.0) {
        result = NumberText(x / 1000.0, format);
    }
    x = ReadBack(result, format);
    if (x >= 1000000.0 && x <= 1000000000.0) {
        result = NumberText(x / 1000000.0, format);
    }

    // The unit follows the product itself, not the scaled text.
    const double p = *product;
    if (p < 1000.0) {
        result += "   Ohm";
    } else if (p < 1000000.0) {
        result += "   K Ohm";
    } else if (p < 1000000000.0) {
        result += "   M Ohm";
    }
    result += kToleranceGap;
    result += tolerance;
    return result;
}

std::string DecodeFiveBands(std::string_view first, std::string_view second, std::string_view third,
                            std::string_view multiplier, std::string_view tolerance, const NumberFormat& format)
{
    const auto product = Product({first, second, third}, multiplier, format);
    if (!product) {
        return std::string(kIdleText);
    }
    std::string result = NumberText(*product, format);

    const double x = ReadBack(result, format);
    std::string_view unit;
    if (x > 0.0 && x < 1000.0) {
        unit = "    Ohm";
    } else if (x >= 1000.0 && x < 1000000.0) {
        unit = "    K Ohm";
        result = NumberText(ReadBack(result, format) / 1000.0, format);
    } else if (x >= 1000000.0 && x < 1000000000.0) {
        unit = "    M Ohm";
        result = NumberText(ReadBack(result, format) / 1000000.0, format);
    }
    result += unit;
    result += kToleranceGap;
    result += tolerance;
    return result;
}

}  // namespace zarnik
