// SPDX-License-Identifier: MIT
#include "model/Dielectrics.h"

#include <algorithm>
#include <array>

#include "model/PointCodes.h"

namespace zarnik {

namespace {

struct Temperature {
    char code;
    int celsius;
};
constexpr std::array<Temperature, 3> kLowest{{{'X', -55}, {'Y', -30}, {'Z', 10}}};
constexpr std::array<Temperature, 7> kHighest{
    {{'2', 45}, {'4', 65}, {'5', 85}, {'6', 105}, {'7', 125}, {'8', 150}, {'9', 200}}};

struct Change {
    char code;
    Decimal min;
    Decimal max;
};
const std::array<Change, 12> kChanges{{{'A', {-10, -1}, {10, -1}},
                                       {'B', {-15, -1}, {15, -1}},
                                       {'C', {-22, -1}, {22, -1}},
                                       {'D', {-33, -1}, {33, -1}},
                                       {'E', {-47, -1}, {47, -1}},
                                       {'F', {-75, -1}, {75, -1}},
                                       {'P', {-10, 0}, {10, 0}},
                                       {'R', {-15, 0}, {15, 0}},
                                       {'S', {-22, 0}, {22, 0}},
                                       {'T', {-33, 0}, {22, 0}},
                                       {'U', {-56, 0}, {22, 0}},
                                       {'V', {-82, 0}, {22, 0}}}};

struct Figure {
    char code;
    Decimal figure;
};
const std::array<Figure, 11> kFigures{{{'C', {0, 0}},
                                       {'B', {3, -1}},
                                       {'L', {8, -1}},
                                       {'A', {9, -1}},
                                       {'M', {10, -1}},
                                       {'P', {15, -1}},
                                       {'R', {22, -1}},
                                       {'S', {33, -1}},
                                       {'T', {47, -1}},
                                       {'V', {56, -1}},
                                       {'U', {75, -1}}}};

struct PpmTolerance {
    char code;
    int ppm;
};
constexpr std::array<PpmTolerance, 7> kPpmTolerances{
    {{'G', 30}, {'H', 60}, {'J', 120}, {'K', 250}, {'L', 500}, {'M', 1000}, {'N', 2500}}};

// Digits 0 to 4 are negative powers of ten, 5 to 9 positive ones.
std::optional<Decimal> ClassOneMultiplier(char digit)
{
    if (!IsCodeDigit(digit)) {
        return std::nullopt;
    }
    const int n = digit - '0';
    return n < 5 ? Decimal{-1, n} : Decimal{1, n - 5};
}

template <typename Table>
auto Find(const Table& table, char code)
{
    const auto it = std::ranges::find_if(table, [&](const auto& entry) { return entry.code == code; });
    return it == table.end() ? nullptr : &*it;
}

}  // namespace

std::optional<Dielectric> ReadDielectric(std::string_view text)
{
    std::string code = UpperCode(TrimBlanks(text));
    if (code == "NP0" || code == "NPO") {
        code = "C0G";
    }
    if (code.size() != 3) {
        return std::nullopt;
    }
    const auto* lowest = Find(kLowest, code[0]);
    const auto* highest = Find(kHighest, code[1]);
    const auto* change = Find(kChanges, code[2]);
    if (lowest && highest && change) {
        Dielectric d{};
        d.dielectricClass = 2;
        d.minCelsius = lowest->celsius;
        d.maxCelsius = highest->celsius;
        d.changePercentMin = change->min;
        d.changePercentMax = change->max;
        return d;
    }
    const auto* figure = Find(kFigures, code[0]);
    const auto multiplier = ClassOneMultiplier(code[1]);
    const auto* tolerance = Find(kPpmTolerances, code[2]);
    if (figure && multiplier && tolerance) {
        Dielectric d{};
        d.dielectricClass = 1;
        d.ppmPerKelvin = Normalized(*Multiply(figure->figure, *multiplier));
        d.ppmTolerance = tolerance->ppm;
        return d;
    }
    return std::nullopt;
}

std::string DielectricText(const Dielectric& d, const NumberFormat& format)
{
    if (d.dielectricClass == 1) {
        return "class 1: " + DecimalText(d.ppmPerKelvin, format) + " \u00B1" + std::to_string(d.ppmTolerance) +
               " ppm/K";
    }
    const std::string change =
        d.changePercentMin == Decimal{-d.changePercentMax.coefficient, d.changePercentMax.exponent}
            ? "\u00B1" + DecimalText(d.changePercentMax, format) + "%"
            : "+" + DecimalText(d.changePercentMax, format) + "/" + DecimalText(d.changePercentMin, format) + "%";
    return "class 2: " + std::to_string(d.minCelsius) + " to " + std::to_string(d.maxCelsius) + " \u00B0C, " + change;
}

}  // namespace zarnik
