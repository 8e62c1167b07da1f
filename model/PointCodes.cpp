// SPDX-License-Identifier: MIT
#include "model/PointCodes.h"

#include <algorithm>

#include "model/Letters.h"

namespace zarnik {

namespace {

}  // namespace

bool IsCodeDigit(char c) { return c >= '0' && c <= '9'; }

bool AllCodeDigits(std::string_view text) { return std::ranges::all_of(text, IsCodeDigit); }

std::int64_t CodeNumber(std::string_view digits)
{
    std::int64_t n = 0;
    for (const char c : digits) {
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string UpperCode(std::string_view text)
{
    std::string code;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("\u00B5") || rest.starts_with("\u03BC")) {
            code += 'U';
            ++i;
            continue;
        }
        const char c = text[i];
        code += AsciiUpper(c);
    }
    return code;
}

std::optional<Decimal> ReadPointCode(std::string_view code, char letter, int exponent, const PointShape& shape)
{
    const auto at = code.find(letter);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view before = code.substr(0, at);
    const std::string_view after = code.substr(at + 1);
    if (!AllCodeDigits(before) || !AllCodeDigits(after) || int(before.size()) > shape.maxBefore ||
        int(after.size()) > shape.maxAfter || int(before.size() + after.size()) > shape.maxDigits ||
        (before.size() > 1 && before[0] == '0')) {
        return std::nullopt;
    }
    const std::int64_t digits = CodeNumber(std::string(before) + std::string(after));
    if (digits == 0) {
        return std::nullopt;
    }
    return Decimal{digits, exponent - int(after.size())};
}

std::optional<std::string> WritePointCode(const Decimal& value, char letter, int exponent, const PointShape& shape)
{
    const auto inUnit = Shifted(Normalized(value), -exponent);
    if (!inUnit || inUnit->coefficient <= 0) {
        return std::nullopt;
    }
    std::string text = DecimalText(*inUnit);
    const auto point = text.find('.');
    std::string before = text.substr(0, point);
    std::string after = point == std::string::npos ? std::string() : text.substr(point + 1);
    if (before == "0" && !shape.zeroBefore) {
        before.clear();
    }
    while (before.size() + 1 + after.size() < 3) {
        after += '0';
    }
    if (int(before.size()) > shape.maxBefore || int(after.size()) > shape.maxAfter ||
        int(before.size() + after.size()) > shape.maxDigits) {
        return std::nullopt;
    }
    return before + letter + after;
}

std::optional<Decimal> ReadMultiplierCode(std::string_view code, int exponent, const MultiplierDigits& powers)
{
    if (code.size() != 3 || !AllCodeDigits(code) || code[0] == '0') {
        return std::nullopt;
    }
    const auto power = powers(code[2]);
    if (!power) {
        return std::nullopt;
    }
    return Decimal{CodeNumber(code.substr(0, 2)), exponent + *power};
}

std::optional<std::string> WriteMultiplierCode(const Decimal& value, int exponent, const MultiplierDigits& powers)
{
    const Decimal n = Normalized(value);
    if (n.coefficient <= 0 || n.coefficient > 99) {
        return std::nullopt;
    }
    // Two significant digits: 4.7 is 47 x 10^-1, 5 is 50 x 10^-1.
    const std::int64_t two = n.coefficient < 10 ? n.coefficient * 10 : n.coefficient;
    const int power = (n.coefficient < 10 ? n.exponent - 1 : n.exponent) - exponent;
    for (char digit = '0'; digit <= '9'; ++digit) {
        if (powers(digit) == power) {
            return std::to_string(two) + digit;
        }
    }
    return std::nullopt;
}

}  // namespace zarnik
