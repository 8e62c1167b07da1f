// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/ColourTable.h"
#include "model/Decoding.h"
#include "tests/model/Separators.h"

namespace zarnik {
namespace {

using namespace zarnik::test;

// Bands by colour name, as the window's swatches would write the texts.
std::string Digit(const char* colour) { return BandText(Band::Second, *ColourByName(colour)); }
std::string Multiplier(const char* colour, const NumberFormat& format)
{
    return BandText(Band::Multiplier, *ColourByName(colour), format);
}
std::string Tolerance(const char* colour) { return BandText(Band::Tolerance, *ColourByName(colour)); }

struct Worked {
    std::vector<const char*> digits;
    const char* multiplier;
    const char* tolerance;
    const char* number;  // written with the point
    const char* unit;
};

TEST(Decoding, GivesTheWorkedResultsInEveryLocale)
{
    const Worked fourBands[] = {
        {{"Brown", "Black"}, "Black", "Gold", "10", "   Ohm"},
        {{"Red", "Red"}, "Red", "Gold", "2.2", "   K Ohm"},
        {{"Yellow", "Violet"}, "Red", "Gold", "4.7", "   K Ohm"},
        {{"Yellow", "Violet"}, "Silver", "Silver", "0.47", "   Ohm"},
        {{"Brown", "Black"}, "Blue", "Brown", "10", "   M Ohm"},
        {{"Brown", "Black"}, "Brown", "no band", "100", "   Ohm"},
        {{"Brown", "Black"}, "Orange", "Red", "10", "   K Ohm"},   // exactly 10 000
        {{"Brown", "Black"}, "Yellow", "Red", "100", "   K Ohm"},  // 100 000
        {{"White", "White"}, "Orange", "Red", "99", "   K Ohm"},
        {{"Brown", "Black"}, "Silver", "Grey", "0.1", "   Ohm"},   // the smallest four-band value
        {{"White", "White"}, "Blue", "Violet", "99", "   M Ohm"},  // the largest
        {{"Grey", "Green"}, "Gold", "Blue", "8.5", "   Ohm"},
    };
    const Worked fiveBands[] = {
        {{"Red", "Red", "Red"}, "Red", "Gold", "22.2", "    K Ohm"},
        {{"Brown", "Black", "Black"}, "Brown", "Brown", "1", "    K Ohm"},  // exactly 1000
        {{"Brown", "Black", "Black"}, "Silver", "Red", "1", "    Ohm"},
        {{"White", "White", "White"}, "Blue", "Violet", "999", "    M Ohm"},
        {{"Brown", "Black", "Black"}, "Yellow", "Gold", "1", "    M Ohm"},  // exactly 1 000 000
        {{"White", "White", "White"}, "Black", "Gold", "999", "    Ohm"},
        {{"Yellow", "Violet", "Green"}, "Silver", "Green", "4.75", "    Ohm"},
        {{"Yellow", "Violet", "Green"}, "Brown", "no band", "4.75", "    K Ohm"},
    };
    for (const NumberFormat* format : kFormats) {
        for (const Worked& w : fourBands) {
            const std::string expected = WithSeparator(w.number, *format) + w.unit + "    " + Tolerance(w.tolerance);
            EXPECT_EQ(DecodeFourBands(Digit(w.digits[0]), Digit(w.digits[1]), Multiplier(w.multiplier, *format),
                                      Tolerance(w.tolerance), *format),
                      expected);
        }
        for (const Worked& w : fiveBands) {
            const std::string expected = WithSeparator(w.number, *format) + w.unit + "    " + Tolerance(w.tolerance);
            EXPECT_EQ(DecodeFiveBands(Digit(w.digits[0]), Digit(w.digits[1]), Digit(w.digits[2]),
                                      Multiplier(w.multiplier, *format), Tolerance(w.tolerance), *format),
                      expected);
        }
    }
}

TEST(Decoding, DiffersBetweenModesOnlyInTheBlanksBeforeTheUnit)
{
    // 4.7 K Ohm as four bands (47 x 100) and as five bands (470 x 10).
    EXPECT_EQ(DecodeFourBands("4", "7", "100", "_+5%"), "4.7   K Ohm    _+5%");
    EXPECT_EQ(DecodeFiveBands("4", "7", "0", "10", "_+5%"), "4.7    K Ohm    _+5%");
    // The result depends on the texts only: the same call twice gives the same line.
    EXPECT_EQ(DecodeFiveBands("4", "7", "0", "10", "_+5%"), DecodeFiveBands("4", "7", "0", "10", "_+5%"));
}

// The exact decimal text of n / 10^places, written with the format's separator.
std::string DecimalText(std::int64_t n, int places, const NumberFormat& format)
{
    std::string digits = std::to_string(n);
    if (static_cast<int>(digits.size()) <= places) {
        digits.insert(0, static_cast<std::size_t>(places) + 1 - digits.size(), '0');
    }
    std::string whole = digits.substr(0, digits.size() - static_cast<std::size_t>(places));
    std::string fraction = digits.substr(digits.size() - static_cast<std::size_t>(places));
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    return fraction.empty() ? whole : whole + format.decimalSeparator + fraction;
}

std::int64_t Power10(int exponent)
{
    std::int64_t p = 1;
    for (int i = 0; i < exponent; ++i) {
        p *= 10;
    }
    return p;
}

// Every combination the palettes allow, against an integer oracle: the number
// text must be the exact decimal value of digits x multiplier in the unit of
// the line, whatever the separator.
TEST(Decoding, ShowsEveryPaletteCombinationExactly)
{
    const auto& multipliers = RuleOf(Band::Multiplier).entries;
    const auto& tolerances = RuleOf(Band::Tolerance).entries;
    int checked = 0;
    for (const NumberFormat* format : kFormats) {
        for (const bool five : {false, true}) {
            const std::int64_t lowest = five ? 100 : 10;
            const std::int64_t highest = five ? 999 : 99;
            const std::string blanks = five ? "    " : "   ";
            for (std::int64_t d = lowest; d <= highest; ++d) {
                const std::string digits = std::to_string(d);
                for (const ColourCode* multiplier : multipliers) {
                    const int exponent =
                        multiplier->digit ? *multiplier->digit : (multiplier->name == "Gold" ? -1 : -2);
                    // In hundredths of an ohm, an integer for every combination.
                    const std::int64_t hundredths = d * Power10(exponent + 2);
                    const int scale = hundredths < 100'000 ? 0 : hundredths < 100'000'000 ? 3 : 6;
                    const char* unit = scale == 0 ? "Ohm" : scale == 3 ? "K Ohm" : "M Ohm";
                    const ColourCode* tolerance = tolerances[static_cast<std::size_t>(checked) % tolerances.size()];
                    const std::string expected = DecimalText(hundredths, 2 + scale, *format) + blanks + unit + "    " +
                                                 std::string(tolerance->toleranceText);

                    const std::string multiplierText = MultiplierText(*multiplier, *format);
                    const std::string toleranceText(tolerance->toleranceText);
                    const std::string result =
                        five ? DecodeFiveBands(digits.substr(0, 1), digits.substr(1, 1), digits.substr(2, 1),
                                               multiplierText, toleranceText, *format)
                             : DecodeFourBands(digits.substr(0, 1), digits.substr(1, 1), multiplierText, toleranceText,
                                               *format);
                    ASSERT_EQ(result, expected) << digits << " x " << multiplierText;
                    ++checked;
                }
            }
        }
    }
    EXPECT_EQ(checked, 3 * (90 + 900) * 9);
}

TEST(Decoding, FollowsItsStepsOutsideTheTableRange)
{
    // Products beyond the palettes: no unit past 10^9, exponent notation from 10^15,
    // and in five-band mode no unit for zero or negative values.
    EXPECT_EQ(DecodeFourBands("9", "9", "1e9", "_+5%"), "99000000000    _+5%");
    EXPECT_EQ(DecodeFourBands("9", "9", "1e14", "_+5%"), "9.9E+15    _+5%");
    EXPECT_EQ(DecodeFourBands("1", "0", "1e8", "_+5%"), "1000    _+5%");  // 10^9: scaled, but P has no unit
    EXPECT_EQ(DecodeFourBands("0", "0", "1", "_+5%"), "0   Ohm    _+5%");
    EXPECT_EQ(DecodeFiveBands("0", "0", "0", "1", "_+5%"), "0    _+5%");
    EXPECT_EQ(DecodeFiveBands("1", "0", "0", "-1", "_+5%"), "-100    _+5%");
    EXPECT_EQ(DecodeFiveBands("1", "0", "0", "1e7", "_+5%"), "1000000000    _+5%");
    EXPECT_EQ(DecodeFourBands("4", "7", "1e-9", "_+5%"), "4.7E-08   Ohm    _+5%");
    // The tolerance text is taken as it is.
    EXPECT_EQ(DecodeFourBands("4", "7", "100", ""), "4.7   K Ohm    ");
    EXPECT_EQ(DecodeFourBands("4", "7", "100", "\u00B15 %"), "4.7   K Ohm    \u00B15 %");
}

TEST(Decoding, AnswersTextsThatAreNoNumbersWithTheIdleText)
{
    struct Bad {
        const char* first;
        const char* second;
        const char* third;
        const char* multiplier;
    };
    const Bad cases[] = {
        {"", "7", "0", "100"},     {"4", "", "0", "100"},   {"x", "7", "0", "100"},   {"4", "7", "0", ""},
        {"4", "7", "0", "abc"},    {"4", "7", "0", "0,1"},  {"4", "7", "0", "inf"},   {"4", "7", "0", "nan"},
        {"1e", "5", "5", "100"},   {"4", "-7", "0", "100"}, {"4", "7", "0", "1e400"}, {"4", "7", "0", "1e308"},
        {"4", "7", "0", "-1e308"}, {"4", "7", "0", "0x10"}, {"\xFF", "7", "0", "1"},  {"4", "7", "0", "1 0"},
    };
    for (const Bad& c : cases) {
        EXPECT_EQ(DecodeFourBands(c.first, c.second, c.multiplier, "_+5%"), kIdleText)
            << c.first << "|" << c.second << "|" << c.multiplier;
    }
    for (const Bad& c : cases) {
        EXPECT_EQ(DecodeFiveBands(c.first, c.second, c.third, c.multiplier, "_+5%"), kIdleText)
            << c.first << "|" << c.second << "|" << c.multiplier;
    }
    EXPECT_EQ(DecodeFiveBands("4", "7", "", "100", "_+5%"), kIdleText);
    EXPECT_EQ(DecodeFiveBands("4", "7", "x", "100", "_+5%"), kIdleText);
}

// Random texts from an alphabet of number pieces: the decoder must answer
// every one with a line, never fail (run under the sanitizers too).
TEST(Decoding, AnswersRandomTextsWithoutFailing)
{
    const std::vector<std::string> pieces = {"0", "1", "5",    "9",    ".",    ",", "\u066B", "e",         "E",   "+",
                                             "-", " ", "\xD9", "\xAB", "\xFF", "x", "inf",    "999999999", "e308"};
    std::mt19937 random(1234);
    auto text = [&] {
        std::string t;
        const int length = static_cast<int>(random() % 6);
        for (int i = 0; i < length; ++i) {
            t += pieces[random() % pieces.size()];
        }
        return t;
    };
    for (int i = 0; i < 20000; ++i) {
        const NumberFormat& format = *kFormats[i % 3];
        const std::string tolerance = text();
        const std::string four = DecodeFourBands(text(), text(), text(), tolerance, format);
        const std::string five = DecodeFiveBands(text(), text(), text(), text(), tolerance, format);
        for (const std::string& line : {four, five}) {
            EXPECT_TRUE(line == kIdleText || line.ends_with("    " + tolerance)) << line;
        }
    }
}

}  // namespace
}  // namespace zarnik
