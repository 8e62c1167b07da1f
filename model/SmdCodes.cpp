// SPDX-License-Identifier: MIT
#include "model/SmdCodes.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "model/Letters.h"
#include "model/Markings.h"
#include "model/PointCodes.h"
#include "model/StandardValues.h"

namespace zarnik {

namespace {

constexpr std::array<CodeSystem, 4> kSystems{CodeSystem::ThreeDigit, CodeSystem::FourDigit, CodeSystem::Eia96,
                                             CodeSystem::Rkm};

// Longer texts are no code of any system; the bound keeps every digit run
// within an exact decimal.
constexpr std::size_t kLongestCode = 16;

struct Letter {
    char letter;
    int exponent;
};

// The first letter of a power is the one the writer uses.
constexpr std::array<Letter, 12> kEiaLetters{{{'Z', -3},
                                              {'Y', -2},
                                              {'R', -2},
                                              {'X', -1},
                                              {'S', -1},
                                              {'A', 0},
                                              {'B', 1},
                                              {'H', 1},
                                              {'C', 2},
                                              {'D', 3},
                                              {'E', 4},
                                              {'F', 5}}};

constexpr std::array<Letter, 5> kRkmUnits{{{'R', 0}, {'K', 3}, {'M', 6}, {'G', 9}, {'T', 12}}};

struct ToleranceLetter {
    char letter;
    Decimal percent;
};
constexpr std::array<ToleranceLetter, 8> kToleranceLetters{{{'B', {1, -1}},
                                                            {'C', {25, -2}},
                                                            {'D', {5, -1}},
                                                            {'F', {1, 0}},
                                                            {'G', {2, 0}},
                                                            {'J', {5, 0}},
                                                            {'K', {10, 0}},
                                                            {'M', {20, 0}}}};

template <std::size_t N>
std::optional<int> ExponentOf(const std::array<Letter, N>& letters, char letter)
{
    const auto it = std::ranges::find(letters, letter, &Letter::letter);
    return it == letters.end() ? std::nullopt : std::optional(it->exponent);
}

// Digits with one letter as the decimal point, scaled by the letter's power:
// "4K7" is 47 x 10^(3 - 1). Nothing without a digit.
std::optional<Decimal> PointRead(std::string_view before, std::string_view after, int exponent)
{
    if (before.size() + after.size() == 0 || !AllCodeDigits(before) || !AllCodeDigits(after)) {
        return std::nullopt;
    }
    std::string digits(before);
    digits += after;
    return Decimal{CodeNumber(digits), exponent - int(after.size())};
}

// A 3- or 4-digit code of `length` characters: digits and a power of ten
// with no leading zero, or R as the decimal point.
std::optional<Decimal> ReadDigitCode(std::string_view code, std::size_t length)
{
    if (code.size() != length) {
        return std::nullopt;
    }
    std::optional<Decimal> value;
    if (AllCodeDigits(code)) {
        if (code[0] != '0') {
            value = Decimal{CodeNumber(code.substr(0, length - 1)), code[length - 1] - '0'};
        }
    } else if (const auto r = code.find('R');
               r != std::string_view::npos && r + 1 < length && (r == 0 || code[0] != '0')) {
        value = PointRead(code.substr(0, r), code.substr(r + 1), 0);
    }
    if (!value || value->coefficient == 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<Decimal> ReadEia96(std::string_view code)
{
    if (code.size() != 3 || !AllCodeDigits(code.substr(0, 2))) {
        return std::nullopt;
    }
    const auto rank = CodeNumber(code.substr(0, 2));
    const auto exponent = ExponentOf(kEiaLetters, code[2]);
    const auto members = SeriesMembers(Series::E96);
    if (rank < 1 || rank > std::int64_t(members.size()) || !exponent) {
        return std::nullopt;
    }
    return Decimal{members[std::size_t(rank - 1)], *exponent};
}

std::optional<CodeReading> ReadRkm(std::string_view code)
{
    const auto unitAt = std::ranges::find_if(code, [](char c) { return !IsCodeDigit(c); }) - code.begin();
    if (std::size_t(unitAt) >= code.size()) {
        return std::nullopt;
    }
    const auto exponent = ExponentOf(kRkmUnits, code[std::size_t(unitAt)]);
    std::string_view after = code.substr(std::size_t(unitAt) + 1);
    std::optional<Decimal> tolerance;
    if (!after.empty() && !IsCodeDigit(after.back())) {
        const auto it = std::ranges::find(kToleranceLetters, after.back(), &ToleranceLetter::letter);
        if (it == kToleranceLetters.end()) {
            return std::nullopt;
        }
        tolerance = it->percent;
        after.remove_suffix(1);
    }
    const auto value = exponent ? PointRead(code.substr(0, std::size_t(unitAt)), after, *exponent) : std::nullopt;
    if (!value || value->coefficient == 0) {
        return std::nullopt;
    }
    return CodeReading{CodeSystem::Rkm, *value, tolerance};
}

// A positive value's digits and the power of ten of its leading digit.
struct Digits {
    std::int64_t coefficient;  // no trailing zeros
    int count;
    int lead;  // the value is in [10^lead, 10^(lead + 1))
    int exponent;
};

std::optional<Digits> DigitsOf(const Decimal& ohms)
{
    const Decimal n = Normalized(ohms);
    if (n.coefficient <= 0) {
        return std::nullopt;
    }
    const int count = DigitCount(std::uint64_t(n.coefficient));
    return Digits{n.coefficient, count, n.exponent + count - 1, n.exponent};
}

std::string Padded(std::int64_t number, int width)
{
    std::string text = std::to_string(number);
    return std::string(std::size_t(std::max(0, width - int(text.size()))), '0') + text;
}

std::int64_t Power(int n)
{
    std::int64_t p = 1;
    while (n-- > 0) {
        p *= 10;
    }
    return p;
}

// The code of `width` significant digits at most (3-digit: 2, 4-digit: 3):
// the digits and a power of ten from the value 10^(width - 1) up, R as the
// decimal point below it, down to 10^-width.
std::optional<std::string> DigitCode(const Decimal& ohms, int width)
{
    if (ohms.coefficient == 0) {
        return std::string(std::size_t(width) + 1, '0');  // the zero-ohm link
    }
    const auto d = DigitsOf(ohms);
    if (!d || d->count > width || d->lead < -width || d->exponent < -width) {
        return std::nullopt;
    }
    const std::int64_t scaled = d->coefficient * Power(width - d->count);  // exactly `width` digits
    if (d->lead >= width - 1) {
        const int exponent = d->lead - (width - 1);
        if (exponent > 9) {
            return std::nullopt;
        }
        return std::to_string(scaled) + char('0' + exponent);
    }
    // Digits of the whole part, then R, then the rest, all `width` of them.
    const int whole = std::max(0, d->lead + 1);
    const std::string digits =
        whole > 0 ? std::to_string(scaled) : Padded(d->coefficient * Power(d->exponent + width), width);
    return digits.substr(0, std::size_t(whole)) + "R" + digits.substr(std::size_t(whole));
}

}  // namespace

std::span<const CodeSystem> CodeSystems() { return kSystems; }

std::string_view CodeSystemName(CodeSystem system)
{
    switch (system) {
    case CodeSystem::ThreeDigit: return "3-digit";
    case CodeSystem::FourDigit: return "4-digit";
    case CodeSystem::Eia96: return "EIA-96";
    case CodeSystem::Rkm: break;
    }
    return "RKM";
}

std::vector<CodeReading> ReadCode(std::string_view text)
{
    const std::string_view trimmed = TrimBlanks(text);
    if (trimmed.empty() || trimmed.size() > kLongestCode) {
        return {};
    }
    const std::string code = AsciiUppercase(trimmed);
    if (code.find_first_not_of('0') == std::string::npos) {
        // The zero-ohm links.
        if (code.size() <= 3) {
            return {{CodeSystem::ThreeDigit, {}, std::nullopt}};
        }
        if (code.size() == 4) {
            return {{CodeSystem::FourDigit, {}, std::nullopt}};
        }
        return {};
    }
    std::vector<CodeReading> readings;
    if (const auto value = ReadDigitCode(code, 3)) {
        readings.push_back({CodeSystem::ThreeDigit, *value, std::nullopt});
    }
    if (const auto value = ReadDigitCode(code, 4)) {
        readings.push_back({CodeSystem::FourDigit, *value, std::nullopt});
    }
    if (const auto value = ReadEia96(code)) {
        readings.push_back({CodeSystem::Eia96, *value, std::nullopt});
    }
    if (const auto reading = ReadRkm(code)) {
        readings.push_back(*reading);
    }
    return readings;
}

std::string CodeReadingText(const CodeReading& reading, const NumberFormat& format)
{
    std::string text = ScaledOhmsText(reading.ohms, format);
    if (reading.tolerancePercent) {
        text += " \u00B1" + DecimalText(*reading.tolerancePercent, format) + "%";
    }
    text += " (";
    text += CodeSystemName(reading.system);
    text += ")";
    return text;
}

std::optional<std::string> RkmCode(const Decimal& ohms, const std::optional<Decimal>& tolerancePercent)
{
    const auto d = DigitsOf(ohms);
    if (!d) {
        return std::nullopt;
    }
    std::string toleranceLetter;
    if (tolerancePercent) {
        const auto it = std::ranges::find(kToleranceLetters, *tolerancePercent, &ToleranceLetter::percent);
        if (it == kToleranceLetters.end()) {
            return std::nullopt;
        }
        toleranceLetter = it->letter;
    }
    const Letter* unit = &kRkmUnits[0];
    for (const Letter& candidate : kRkmUnits) {
        if (candidate.exponent <= d->lead) {
            unit = &candidate;
        }
    }
    // The value in the unit as a decimal text, its point replaced by the letter.
    const std::string text = DecimalText({d->coefficient, d->exponent - unit->exponent});
    const auto point = text.find('.');
    std::string code;
    if (point == std::string::npos) {
        code = text + unit->letter;
    } else {
        code = (text.starts_with("0.") ? std::string() : text.substr(0, point)) + unit->letter + text.substr(point + 1);
    }
    while (code.size() < 3) {
        code += '0';
    }
    return code + toleranceLetter;
}

std::optional<std::string> ThreeDigitCode(const Decimal& ohms) { return DigitCode(ohms, 2); }

std::optional<std::string> FourDigitCode(const Decimal& ohms) { return DigitCode(ohms, 3); }

std::optional<std::string> Eia96Code(const Decimal& ohms)
{
    const auto d = DigitsOf(ohms);
    if (!d || d->count > 3) {
        return std::nullopt;
    }
    const std::int64_t member = d->coefficient * Power(3 - d->count);
    const int exponent = d->lead - 2;
    const auto members = SeriesMembers(Series::E96);
    const auto rank = std::ranges::find(members, member);
    const auto letter = std::ranges::find(kEiaLetters, exponent, &Letter::exponent);
    if (rank == members.end() || letter == kEiaLetters.end()) {
        return std::nullopt;
    }
    return Padded(rank - members.begin() + 1, 2) + letter->letter;
}

std::optional<std::string> CodeOf(const Decimal& ohms, CodeSystem system)
{
    switch (system) {
    case CodeSystem::ThreeDigit: return ThreeDigitCode(ohms);
    case CodeSystem::FourDigit: return FourDigitCode(ohms);
    case CodeSystem::Eia96: return Eia96Code(ohms);
    case CodeSystem::Rkm: break;
    }
    return RkmCode(ohms);
}

ValueCodes CodesOf(const Decimal& ohms)
{
    return {RkmCode(ohms), ThreeDigitCode(ohms), FourDigitCode(ohms), Eia96Code(ohms)};
}

std::string CodesText(const ValueCodes& codes)
{
    std::string text;
    const auto add = [&](const std::optional<std::string>& code, CodeSystem system) {
        if (code) {
            text += text.empty() ? "" : "   ";
            text += *code + " (" + std::string(CodeSystemName(system)) + ")";
        }
    };
    add(codes.rkm, CodeSystem::Rkm);
    add(codes.smd3, CodeSystem::ThreeDigit);
    add(codes.smd4, CodeSystem::FourDigit);
    add(codes.eia96, CodeSystem::Eia96);
    return text.empty() ? "no code" : text;
}

}  // namespace zarnik
