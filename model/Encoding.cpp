#include "model/Encoding.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace zarnik {

namespace {

constexpr Unit kUnits[] = {{"Ohm", 0, 1e6}, {"K Ohm", 3, 1e9}, {"M Ohm", 6, 1e12}};

std::optional<double> MicroOhmsPerUnit(std::string_view unit)
{
    for (const Unit& entry : kUnits) {
        if (entry.text == unit) {
            return entry.microOhms;
        }
    }
    return std::nullopt;
}

// Texts are UTF-8 and "character n" is the n-th code point, so a multi-byte
// decimal separator such as U+066B is one character. A stray continuation
// byte counts as a character of its own; nothing is ever split.
std::size_t CharacterLength(std::string_view text, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    if (lead >= 0xC0) {
        const std::size_t wanted = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        while (length < wanted && pos + length < text.size() &&
               (static_cast<unsigned char>(text[pos + length]) & 0xC0) == 0x80) {
            ++length;
        }
    }
    return length;
}

// The micro-ohm text split into its leading characters (the digit texts) and
// the count of characters after them (the exponent count).
struct Split {
    std::string digits[3];
    int rest = 0;
};

Split SplitCharacters(std::string_view text, int leading)
{
    Split split;
    std::size_t pos = 0;
    int index = 0;
    while (pos < text.size()) {
        const std::size_t length = CharacterLength(text, pos);
        if (index < leading) {
            split.digits[index].assign(text.substr(pos, length));
        } else {
            ++split.rest;
        }
        pos += length;
        ++index;
    }
    return split;
}

const ColourCode* DigitColour(const std::string& text, bool zeroAllowed)
{
    if (text.size() != 1 || text[0] < (zeroAllowed ? '0' : '1') || text[0] > '9') {
        return nullptr;
    }
    return ColourByDigit(text[0] - '0');
}

// Exponent counts 4 to 13 stand for the multipliers 10^-2 to 10^7.
const ColourCode* MultiplierColour(int count)
{
    return count >= 4 && count <= 13 ? ColourByMultiplierExponent(count - 6) : nullptr;
}

void ApplyTolerance(Encoding& encoding, std::string_view tolerance)
{
    // "_+20%" has its own table entry (no band), but its band keeps the colour it had.
    encoding.tolerance = tolerance == kNoBandToleranceText ? nullptr : ColourByTolerance(tolerance);
    encoding.toleranceShown = tolerance != kNoBandToleranceText;
}

// Step 1 of both encodings: the value in micro-ohms as a number text. Values
// whose micro-ohm text is in exponent notation (10^15 micro-ohms and above,
// or tiny ones) have no digits to take; they, overflowing values, values that
// are not numbers and unknown units are refused before any digit or
// multiplier band is touched.
struct MicroOhms {
    std::string text;
    double value = 0.0;  // V, the typed number
    bool usable = false;
};

MicroOhms MicroOhmText(std::string_view value, std::string_view unit, const NumberFormat& format)
{
    MicroOhms micro;
    const auto number = Parse(value, format);
    const auto factor = MicroOhmsPerUnit(unit);
    if (!number || !factor) {
        return micro;
    }
    micro.value = *number;
    const double product = *number * *factor;
    if (!std::isfinite(product)) {
        return micro;
    }
    micro.text = NumberText(product, format);
    micro.usable = micro.text.find('E') == std::string::npos;
    return micro;
}

std::string WriteAndRead(double value, const NumberFormat& format, double& readBack)
{
    std::string text = NumberText(value, format);
    readBack = ReadBack(text, format);
    return text;
}

std::string_view FourBandSuffix(int n)
{
    if (n == 4) {
        return "   m Ohm";
    }
    if (n >= 5 && n <= 7) {
        return "   Ohm";
    }
    if (n >= 8 && n <= 10) {
        return "   K Ohm";
    }
    if (n >= 11 && n <= 13) {
        return "   M Ohm";
    }
    return {};
}

// 10^k as pow() gives it (exactly rounded), from a table where it is short.
double PowerOfTen(int k)
{
    static constexpr double kPowers[] = {1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,
                                         1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (k >= -6 && k <= 22) {
        return kPowers[k + 6];
    }
    return std::pow(10.0, k);
}

// R = D x 10^(n - 6) from the joined digit texts and the exponent count,
// written as text. Nothing when the joined digits do not read as a number,
// which the micro-ohm texts this module writes never give.
std::optional<std::string> ValueText(const std::string& joined, int count, const NumberFormat& format)
{
    const auto digits = Parse(joined, format);
    if (!digits) {
        return std::nullopt;
    }
    return NumberText(*digits * PowerOfTen(count - 6), format);
}


// The steps both encodings share: the tolerance band, the micro-ohm text, its
// leading characters as digit texts with their colours, the exponent count
// with its multiplier colour, and the value R = D x 10^(n - 6) as text.
// Nothing when the value is refused before any digit band could change; the
// result line then already holds the prompt.
struct Start {
    std::string valueText;
    int count = 0;
    double typed = 0;
};

std::optional<Start> StartEncoding(Encoding& encoding, std::string_view value, std::string_view unit,
                                   std::string_view tolerance, int leading, const NumberFormat& format)
{
    ApplyTolerance(encoding, tolerance);
    MicroOhms micro = MicroOhmText(value, unit, format);
    encoding.microOhmText = std::move(micro.text);
    if (!micro.usable) {
        encoding.resultText = kPromptText;
        return std::nullopt;
    }

    Split split = SplitCharacters(encoding.microOhmText, leading);
    encoding.firstDigitText = std::move(split.digits[0]);
    encoding.secondDigitText = std::move(split.digits[1]);
    encoding.thirdDigitText = std::move(split.digits[2]);
    encoding.exponentCountText = std::to_string(split.rest);

    encoding.first = DigitColour(encoding.firstDigitText, false);
    encoding.second = DigitColour(encoding.secondDigitText, true);
    if (leading == 3) {
        encoding.third = DigitColour(encoding.thirdDigitText, true);
    }
    encoding.multiplier = MultiplierColour(split.rest);

    auto valueText = ValueText(encoding.firstDigitText + encoding.secondDigitText + encoding.thirdDigitText,
                               split.rest, format);
    if (!valueText) {
        encoding.resultText = kPromptText;
        return std::nullopt;
    }
    return Start{std::move(*valueText), split.rest, micro.value};
}

}  // namespace

Encoding EncodeFourBands(std::string_view value, std::string_view unit, std::string_view tolerance,
                         const NumberFormat& format)
{
    Encoding encoding;
    auto start = StartEncoding(encoding, value, unit, tolerance, 2, format);
    if (!start) {
        return encoding;
    }
    std::string result = std::move(start->valueText);

    double r = ReadBack(result, format);
    if (r < 1.0) {
        result = WriteAndRead(r * 1000.0, format, r);
    }
    if (r >= 1000.0 && r < 1000000.0) {
        result = WriteAndRead(r / 1000.0, format, r);
    }
    if (r >= 1000000.0 && r <= 1000000000.0) {
        result = WriteAndRead(r / 1000000.0, format, r);
    }

    result += FourBandSuffix(start->count);
    result += kToleranceGap;
    result += tolerance;

    const double v = start->typed;
    if (v <= 0.0 || (v < 0.1 && unit == "Ohm")) {
        result = kPromptText;
    }
    encoding.resultText = std::move(result);
    return encoding;
}

Encoding EncodeFiveBands(std::string_view value, std::string_view unit, std::string_view tolerance,
                         const NumberFormat& format)
{
    Encoding encoding;
    auto start = StartEncoding(encoding, value, unit, tolerance, 3, format);
    if (!start) {
        return encoding;
    }
    std::string result = std::move(start->valueText);

    // The rows of the unit table in order; each test reads the current text.
    std::string_view suffix;
    double r = ReadBack(result, format);
    if (r >= 1.0 && r < 1000.0) {
        suffix = "    Ohm";
    }
    if (r >= 1000.0 && r < 1000000.0) {
        result = WriteAndRead(r / 1000.0, format, r);
        suffix = "    K Ohm";
    }
    if (r >= 1000000.0 && r <= 1000000000.0) {
        result = WriteAndRead(r / 1000000.0, format, r);
        suffix = "    M Ohm";
    }
    if (r < 1.0) {
        result = WriteAndRead(r * 1000.0, format, r);
        suffix = "    m Ohm";
    }
    result += suffix;
    result += kToleranceGap;
    result += tolerance;

    // Five bands need a typed number of at least 1 in every unit.
    if (start->typed < 1.0) {
        result = kPromptText;
    }
    encoding.resultText = std::move(result);
    return encoding;
}

std::span<const Unit> Units()
{
    return kUnits;
}

bool HasCompleteCode(const Encoding& encoding)
{
    const std::string& micro = encoding.microOhmText;
    const bool wholeMicroOhms =
        !micro.empty() && std::all_of(micro.begin(), micro.end(), [](char c) { return c >= '0' && c <= '9'; });
    // Four bands never fill the third digit text; five bands need its colour.
    const bool thirdComplete = encoding.thirdDigitText.empty() || encoding.third != nullptr;
    return wholeMicroOhms && encoding.first && encoding.second && thirdComplete && encoding.multiplier;
}

}  // namespace zarnik
