// SPDX-License-Identifier: MIT
#include "model/CapacitorCodes.h"

#include <algorithm>
#include <array>

#include "model/Letters.h"
#include "model/PointCodes.h"
#include "model/UnitScale.h"

namespace zarnik {

namespace {

constexpr std::array<CapacitorSystem, 4> kSystems{CapacitorSystem::ThreeDigit, CapacitorSystem::Digits,
                                                  CapacitorSystem::RPoint, CapacitorSystem::Iec};

constexpr int kPico = -12;
// Longer texts are no code; the bound keeps every digit run exact.
constexpr std::size_t kLongestCode = 12;

// R stands below 10 pF only; the IEC letters take up to four digits.
constexpr PointShape kRShape{1, 2, 3, true};
constexpr PointShape kIecShape{4, 4, 4, false};

struct PointLetter {
    char letter;  // as read; written in lower case
    int exponent;
};
constexpr std::array<PointLetter, 3> kIecLetters{{{'P', -12}, {'N', -9}, {'U', -6}}};

// A tolerance letter: its percent, and where it names picofarads on parts
// below 10 pF, those, and whether makers' tables read it in percent there.
struct ToleranceLetter {
    char letter;
    Decimal percent;
    std::optional<Decimal> smallPicofarads;
    bool percentWhenSmallToo;
};
const std::array<ToleranceLetter, 8> kToleranceLetters{{{'B', {1, -1}, Decimal{1, -1}, false},
                                                        {'C', {25, -2}, Decimal{25, -2}, false},
                                                        {'D', {5, -1}, Decimal{5, -1}, false},
                                                        {'F', {1, 0}, Decimal{1, 0}, true},
                                                        {'G', {2, 0}, Decimal{2, 0}, true},
                                                        {'J', {5, 0}, std::nullopt, false},
                                                        {'K', {10, 0}, std::nullopt, false},
                                                        {'M', {20, 0}, std::nullopt, false}}};
constexpr char kAsymmetricLetter = 'Z';

struct VoltageLetter {
    char letter;
    Decimal volts;  // of the digit 0
};
const std::array<VoltageLetter, 18> kVoltageLetters{{{'A', {10, -1}},
                                                     {'Q', {11, -1}},
                                                     {'B', {125, -2}},
                                                     {'T', {15, -1}},
                                                     {'C', {16, -1}},
                                                     {'Z', {18, -1}},
                                                     {'D', {20, -1}},
                                                     {'P', {22, -1}},
                                                     {'E', {25, -1}},
                                                     {'F', {315, -2}},
                                                     {'V', {35, -1}},
                                                     {'G', {40, -1}},
                                                     {'W', {45, -1}},
                                                     {'H', {50, -1}},
                                                     {'L', {55, -1}},
                                                     {'J', {63, -1}},
                                                     {'N', {75, -1}},
                                                     {'K', {80, -1}}}};
// The voltage digits in use: 0 (6.3 V) to 3 (1 kV and up).
constexpr char kLargestVoltageDigit = '3';

std::optional<int> PowerOfDigit(char digit)
{
    if (digit >= '0' && digit <= '6') {
        return digit - '0';
    }
    if (digit == '8' || digit == '9') {
        return digit - '8' - 2;  // 8: x0.01, 9: x0.1
    }
    return std::nullopt;
}

std::optional<Decimal> ValueIn(CapacitorSystem system, std::string_view code)
{
    switch (system) {
    case CapacitorSystem::ThreeDigit: return ReadMultiplierCode(code, kPico, PowerOfDigit);
    case CapacitorSystem::Digits:
        if (code.empty() || code.size() > 2 || !std::ranges::all_of(code, IsCodeDigit) || code[0] == '0') {
            return std::nullopt;
        }
        return Decimal{std::stoll(std::string(code)), kPico};
    case CapacitorSystem::RPoint: return ReadPointCode(code, 'R', kPico, kRShape);
    case CapacitorSystem::Iec: break;
    }
    for (const PointLetter& letter : kIecLetters) {
        if (const auto value = ReadPointCode(code, letter.letter, letter.exponent, kIecShape)) {
            return value;
        }
    }
    return std::nullopt;
}

// The readings of a value code with its tolerance letter, if any.
void ReadValue(std::string_view code, const std::optional<Decimal>& volts, bool threeDigitOnly,
               std::vector<CapacitorReading>& readings)
{
    std::string_view value = code;
    const ToleranceLetter* letter = nullptr;
    const bool asymmetric = code.size() > 1 && code.back() == kAsymmetricLetter;
    if (code.size() > 1 && !asymmetric) {
        const auto it = std::ranges::find(kToleranceLetters, code.back(), &ToleranceLetter::letter);
        letter = it == kToleranceLetters.end() ? nullptr : &*it;
    }
    if (letter != nullptr || asymmetric) {
        value.remove_suffix(1);
    }
    for (const CapacitorSystem system : kSystems) {
        const auto farads =
            threeDigitOnly && system != CapacitorSystem::ThreeDigit ? std::nullopt : ValueIn(system, value);
        if (!farads) {
            continue;
        }
        CapacitorReading reading{system, *farads, std::nullopt, volts};
        if (asymmetric) {
            reading.tolerance = CapacitorTolerance{CapacitorTolerance::Kind::Asymmetric, {}, {-20, 0}, {80, 0}};
        }
        const bool small = *farads < Decimal{10, kPico};
        if (letter != nullptr && small && letter->smallPicofarads) {
            CapacitorReading absolute = reading;
            absolute.tolerance =
                CapacitorTolerance{CapacitorTolerance::Kind::Farads, *Shifted(*letter->smallPicofarads, kPico), {}, {}};
            readings.push_back(absolute);
            if (!letter->percentWhenSmallToo) {
                continue;
            }
        }
        if (letter != nullptr) {
            reading.tolerance = CapacitorTolerance{CapacitorTolerance::Kind::Percent, letter->percent, {}, {}};
        }
        readings.push_back(reading);
    }
}

}  // namespace

std::span<const CapacitorSystem> CapacitorSystems() { return kSystems; }

std::string_view CapacitorSystemName(CapacitorSystem system)
{
    switch (system) {
    case CapacitorSystem::ThreeDigit: return "3-digit pF";
    case CapacitorSystem::Digits: return "pF digits";
    case CapacitorSystem::RPoint: return "R pF";
    case CapacitorSystem::Iec: break;
    }
    return "IEC 60062";
}

std::optional<Decimal> VoltageOfCode(std::string_view text)
{
    const std::string code = UpperCode(text);
    if (code.size() != 2 || code[0] < '0' || code[0] > kLargestVoltageDigit) {
        return std::nullopt;
    }
    const auto it = std::ranges::find(kVoltageLetters, code[1], &VoltageLetter::letter);
    return it == kVoltageLetters.end() ? std::nullopt : Shifted(it->volts, code[0] - '0');
}

std::vector<CapacitorReading> ReadCapacitorCode(std::string_view text)
{
    const std::string code = UpperCode(TrimBlanks(text));
    std::vector<CapacitorReading> readings;
    if (code.empty() || code.size() > kLongestCode) {
        return readings;
    }
    ReadValue(code, std::nullopt, false, readings);
    if (code.size() > 2) {
        if (const auto volts = VoltageOfCode(code.substr(0, 2))) {
            ReadValue(std::string_view(code).substr(2), volts, true, readings);
        }
    }
    return readings;
}

std::string CapacitorToleranceText(const CapacitorTolerance& tolerance, const NumberFormat& format)
{
    switch (tolerance.kind) {
    case CapacitorTolerance::Kind::Percent: return "\u00B1" + DecimalText(tolerance.value, format) + "%";
    case CapacitorTolerance::Kind::Farads: return "\u00B1" + ScaledText(tolerance.value, FaradUnits(), format);
    case CapacitorTolerance::Kind::Asymmetric: break;
    }
    return "+" + DecimalText(tolerance.maxPercent, format) + "/" + DecimalText(tolerance.minPercent, format) + "%";
}

std::string CapacitorReadingText(const CapacitorReading& reading, const NumberFormat& format)
{
    std::string text = ScaledText(reading.farads, FaradUnits(), format);
    if (reading.tolerance) {
        text += " " + CapacitorToleranceText(*reading.tolerance, format);
    }
    if (reading.volts) {
        text += ", " + DecimalText(*reading.volts, format) + " V";
    }
    return text + " (" + std::string(CapacitorSystemName(reading.system)) + ")";
}

std::optional<std::string> CapacitorCodeOf(const Decimal& farads, CapacitorSystem system)
{
    if (farads.coefficient <= 0) {
        return std::nullopt;
    }
    const auto picofarads = Shifted(farads, -kPico);
    if (!picofarads) {
        return std::nullopt;
    }
    switch (system) {
    case CapacitorSystem::ThreeDigit: return WriteMultiplierCode(farads, kPico, PowerOfDigit);
    case CapacitorSystem::Digits: {
        const Decimal n = Normalized(*picofarads);
        if (n.exponent < 0 || n.exponent > 1 || n.coefficient * (n.exponent == 1 ? 10 : 1) > 99) {
            return std::nullopt;
        }
        return DecimalText(n);
    }
    case CapacitorSystem::RPoint:
        return *picofarads < Decimal{10, 0} ? WritePointCode(farads, 'R', kPico, kRShape) : std::nullopt;
    case CapacitorSystem::Iec: break;
    }
    const PointLetter* unit = &kIecLetters.front();
    for (const PointLetter& letter : kIecLetters) {
        if (farads >= Decimal{1, letter.exponent}) {
            unit = &letter;
        }
    }
    return WritePointCode(farads, AsciiLower(unit->letter), unit->exponent, kIecShape);
}

}  // namespace zarnik
