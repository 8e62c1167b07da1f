// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Decoding.h"
#include "model/Encoding.h"
#include "tests/model/Separators.h"

namespace zarnik {
namespace {

using namespace zarnik::test;

// A band's colour name; "-" for a band that keeps its colour.
std::string NameOf(const ColourCode* colour) { return colour ? std::string(colour->name) : "-"; }

struct Case {
    const char* value;  // written with the point
    const char* unit;
    const char* tolerance;
    const char* microOhms;
    const char* digits[3];
    const char* count;
    const char* bands[4];  // first, second, third, multiplier
    const char* toleranceBand;
    bool shown;
    const char* result;  // written with the point; nullptr for the prompt
};

std::string ExpectedResult(const Case& c, const NumberFormat& format)
{
    if (!c.result) {
        return std::string(kPromptText);
    }
    // Only the number carries the separator; tolerance texts are fixed.
    const std::string result = c.result;
    const auto numberEnd = result.find(' ');
    return WithSeparator(result.substr(0, numberEnd), format) + result.substr(numberEnd);
}

void ExpectEncoding(const Encoding& e, const Case& c, const NumberFormat& format, bool five)
{
    SCOPED_TRACE(std::string(c.value) + " " + c.unit + " " + c.tolerance + " sep " + format.decimalSeparator);
    EXPECT_EQ(e.microOhmText, c.microOhms);
    EXPECT_EQ(e.firstDigitText, c.digits[0]);
    EXPECT_EQ(e.secondDigitText, c.digits[1]);
    EXPECT_EQ(e.thirdDigitText, five ? c.digits[2] : "");
    EXPECT_EQ(e.exponentCountText, c.count);
    EXPECT_EQ(NameOf(e.first), c.bands[0]);
    EXPECT_EQ(NameOf(e.second), c.bands[1]);
    EXPECT_EQ(NameOf(e.third), five ? c.bands[2] : "-");
    EXPECT_EQ(NameOf(e.multiplier), c.bands[3]);
    EXPECT_EQ(NameOf(e.tolerance), c.toleranceBand);
    EXPECT_EQ(e.toleranceShown, c.shown);
    EXPECT_EQ(e.resultText, ExpectedResult(c, format));
}

TEST(EncodeFourBands, GivesTheWorkedResultsInEveryLocale)
{
    const Case cases[] = {
        {"2.2",
         "Ohm",
         "_+5%",
         "2200000",
         {"2", "2"},
         "5",
         {"Red", "Red", "-", "Gold"},
         "Gold",
         true,
         "2.2   Ohm    _+5%"},
        {"4.7",
         "K Ohm",
         "_+1%",
         "4700000000",
         {"4", "7"},
         "8",
         {"Yellow", "Violet", "-", "Red"},
         "Brown",
         true,
         "4.7   K Ohm    _+1%"},
        {"0.47",
         "Ohm",
         "_+10%",
         "470000",
         {"4", "7"},
         "4",
         {"Yellow", "Violet", "-", "Silver"},
         "Silver",
         true,
         "470   m Ohm    _+10%"},
        {"10",
         "M Ohm",
         "_+2%",
         "10000000000000",
         {"1", "0"},
         "12",
         {"Brown", "Black", "-", "Blue"},
         "Red",
         true,
         "10   M Ohm    _+2%"},
        {"475",
         "Ohm",
         "_+5%",
         "475000000",
         {"4", "7"},
         "7",
         {"Yellow", "Violet", "-", "Brown"},
         "Gold",
         true,
         "470   Ohm    _+5%"},
        {"999",
         "M Ohm",
         "_+5%",
         "999000000000000",
         {"9", "9"},
         "13",
         {"White", "White", "-", "Violet"},
         "Gold",
         true,
         "990   M Ohm    _+5%"},
        {"999",
         "K Ohm",
         "_+5%",
         "999000000000",
         {"9", "9"},
         "10",
         {"White", "White", "-", "Yellow"},
         "Gold",
         true,
         "990   K Ohm    _+5%"},
        {"1",
         "M Ohm",
         "_+0.05%",
         "1000000000000",
         {"1", "0"},
         "11",
         {"Brown", "Black", "-", "Green"},
         "Grey",
         true,
         "1   M Ohm    _+0.05%"},
        {"0.1",
         "Ohm",
         "_+5%",
         "100000",
         {"1", "0"},
         "4",
         {"Brown", "Black", "-", "Silver"},
         "Gold",
         true,
         "100   m Ohm    _+5%"},
        {"0.99",
         "Ohm",
         "_+0.5%",
         "990000",
         {"9", "9"},
         "4",
         {"White", "White", "-", "Silver"},
         "Green",
         true,
         "990   m Ohm    _+0.5%"},
        // Below 0.1 only "Ohm" is refused: 0.01 K Ohm is 10 ohms.
        {"0.01",
         "K Ohm",
         "_+5%",
         "10000000",
         {"1", "0"},
         "6",
         {"Brown", "Black", "-", "Black"},
         "Gold",
         true,
         "10   Ohm    _+5%"},
        {"0.05", "Ohm", "_+5%", "50000", {"5", "0"}, "3", {"Green", "Black", "-", "-"}, "Gold", true, nullptr},
        {"0", "Ohm", "_+5%", "0", {"0", ""}, "0", {"-", "-", "-", "-"}, "Gold", true, nullptr},
        {"0", "M Ohm", "_+0.25%", "0", {"0", ""}, "0", {"-", "-", "-", "-"}, "Blue", true, nullptr},
        {"-5", "Ohm", "_+5%", "-5000000", {"-", "5"}, "6", {"-", "Green", "-", "Black"}, "Gold", true, nullptr},
        {"-0", "Ohm", "_+5%", "0", {"0", ""}, "0", {"-", "-", "-", "-"}, "Gold", true, nullptr},
        {"2.2",
         "Ohm",
         "_+20%",
         "2200000",
         {"2", "2"},
         "5",
         {"Red", "Red", "-", "Gold"},
         "-",
         false,
         "2.2   Ohm    _+20%"},
        // A tolerance text outside the table: band d keeps its colour and stays drawn.
        {"2.2", "Ohm", "_+3%", "2200000", {"2", "2"}, "5", {"Red", "Red", "-", "Gold"}, "-", true, "2.2   Ohm    _+3%"},
    };
    for (const NumberFormat* format : kFormats) {
        for (const Case& c : cases) {
            ExpectEncoding(EncodeFourBands(WithSeparator(c.value, *format), c.unit, c.tolerance, *format), c, *format,
                           false);
        }
    }
}

TEST(EncodeFiveBands, GivesTheWorkedResultsInEveryLocale)
{
    const Case cases[] = {
        {"2.2",
         "Ohm",
         "_+5%",
         "2200000",
         {"2", "2", "0"},
         "4",
         {"Red", "Red", "Black", "Silver"},
         "Gold",
         true,
         "2.2    Ohm    _+5%"},
        {"1",
         "Ohm",
         "_+0.1%",
         "1000000",
         {"1", "0", "0"},
         "4",
         {"Brown", "Black", "Black", "Silver"},
         "Violet",
         true,
         "1    Ohm    _+0.1%"},
        {"12",
         "Ohm",
         "_+5%",
         "12000000",
         {"1", "2", "0"},
         "5",
         {"Brown", "Red", "Black", "Gold"},
         "Gold",
         true,
         "12    Ohm    _+5%"},
        {"4.75",
         "K Ohm",
         "_+1%",
         "4750000000",
         {"4", "7", "5"},
         "7",
         {"Yellow", "Violet", "Green", "Brown"},
         "Brown",
         true,
         "4.75    K Ohm    _+1%"},
        {"100",
         "M Ohm",
         "_+2%",
         "100000000000000",
         {"1", "0", "0"},
         "12",
         {"Brown", "Black", "Black", "Blue"},
         "Red",
         true,
         "100    M Ohm    _+2%"},
        {"999",
         "M Ohm",
         "_+2%",
         "999000000000000",
         {"9", "9", "9"},
         "12",
         {"White", "White", "White", "Blue"},
         "Red",
         true,
         "999    M Ohm    _+2%"},
        {"1",
         "K Ohm",
         "_+10%",
         "1000000000",
         {"1", "0", "0"},
         "7",
         {"Brown", "Black", "Black", "Brown"},
         "Silver",
         true,
         "1    K Ohm    _+10%"},
        {"8.25",
         "Ohm",
         "_+0.05%",
         "8250000",
         {"8", "2", "5"},
         "4",
         {"Grey", "Red", "Green", "Silver"},
         "Grey",
         true,
         "8.25    Ohm    _+0.05%"},
        // Five bands refuse every typed number below 1, whatever the unit.
        {"0.5",
         "K Ohm",
         "_+2%",
         "500000000",
         {"5", "0", "0"},
         "6",
         {"Green", "Black", "Black", "Black"},
         "Red",
         true,
         nullptr},
        {"0.99", "Ohm", "_+2%", "990000", {"9", "9", "0"}, "3", {"White", "White", "Black", "-"}, "Red", true, nullptr},
        {"0", "M Ohm", "_+5%", "0", {"0", "", ""}, "0", {"-", "-", "-", "-"}, "Gold", true, nullptr},
        {"-5", "Ohm", "_+5%", "-5000000", {"-", "5", "0"}, "5", {"-", "Green", "Black", "Gold"}, "Gold", true, nullptr},
        {"2.2",
         "Ohm",
         "_+20%",
         "2200000",
         {"2", "2", "0"},
         "4",
         {"Red", "Red", "Black", "Silver"},
         "-",
         false,
         "2.2    Ohm    _+20%"},
        {"2.2",
         "Ohm",
         "_+3%",
         "2200000",
         {"2", "2", "0"},
         "4",
         {"Red", "Red", "Black", "Silver"},
         "-",
         true,
         "2.2    Ohm    _+3%"},
    };
    for (const NumberFormat* format : kFormats) {
        for (const Case& c : cases) {
            ExpectEncoding(EncodeFiveBands(WithSeparator(c.value, *format), c.unit, c.tolerance, *format), c, *format,
                           true);
        }
    }
}

TEST(Encoding, ShowsTheToleranceBandAgainAfterNoBand)
{
    for (const bool five : {false, true}) {
        auto encode = five ? EncodeFiveBands : EncodeFourBands;
        const Encoding hidden = encode("2.2", "Ohm", "_+20%", {});
        EXPECT_FALSE(hidden.toleranceShown);
        EXPECT_EQ(hidden.tolerance, nullptr);
        const Encoding shown = encode("2.2", "Ohm", five ? "_+1%" : "_+5%", {});
        EXPECT_TRUE(shown.toleranceShown);
        EXPECT_EQ(NameOf(shown.tolerance), five ? "Brown" : "Gold");
    }
}

// Values that cannot be encoded: the prompt, and no digit or multiplier band
// is touched. The tolerance band is handled as for any other value.
TEST(Encoding, RefusesValuesWithoutDigitsAndLeavesTheBands)
{
    struct Refused {
        const char* value;
        const char* unit;
        const char* microOhms;  // what the conversion wrote, if anything
    };
    const Refused cases[] = {
        // not numbers
        {"", "Ohm", ""},
        {" ", "Ohm", ""},
        {"abc", "Ohm", ""},
        {"4,7", "K Ohm", ""},
        {"inf", "Ohm", ""},
        {"nan", "M Ohm", ""},
        {"0x1A", "Ohm", ""},
        {"1e", "Ohm", ""},
        {"2.2.", "Ohm", ""},
        {"1 000", "Ohm", ""},
        {"1e400", "Ohm", ""},
        // units other than the three
        {"2.2", "ohm", ""},
        {"2.2", "KOhm", ""},
        {"2.2", "", ""},
        {"2.2", " Ohm", ""},
        {"2.2", "Ohm ", ""},
        {"2.2", "k Ohm", ""},
        {"2.2", "G Ohm", ""},
        // micro-ohm texts in exponent notation
        {"9e9", "Ohm", "9E+15"},
        {"1000", "M Ohm", "1E+15"},
        {"-9e9", "Ohm", "-9E+15"},
        {"123456789", "M Ohm", "1.23456789E+20"},
        {"1e-20", "K Ohm", "1E-11"},
        {"5e-11", "Ohm", "5E-05"},
        // overflow
        {"1e308", "M Ohm", ""},
        {"-1e308", "K Ohm", ""},
    };
    for (const bool five : {false, true}) {
        for (const Refused& c : cases) {
            SCOPED_TRACE(std::string(c.value) + " " + c.unit + (five ? " five" : " four"));
            const Encoding e =
                five ? EncodeFiveBands(c.value, c.unit, "_+10%") : EncodeFourBands(c.value, c.unit, "_+10%");
            EXPECT_EQ(e.resultText, kPromptText);
            EXPECT_EQ(e.microOhmText, c.microOhms);
            EXPECT_EQ(e.firstDigitText + e.secondDigitText + e.thirdDigitText + e.exponentCountText, "");
            EXPECT_EQ(e.first, nullptr);
            EXPECT_EQ(e.second, nullptr);
            EXPECT_EQ(e.third, nullptr);
            EXPECT_EQ(e.multiplier, nullptr);
            EXPECT_EQ(NameOf(e.tolerance), "Silver");
            EXPECT_TRUE(e.toleranceShown);
        }
    }
}

TEST(Encoding, TakesCharactersNotBytesOfTheMicroOhmText)
{
    // 1.5e-9 K Ohm is 1.5 micro-ohms: its text holds the two-byte separator.
    const Encoding four = EncodeFourBands("1.5e-9", "K Ohm", "_+5%", kArabic);
    EXPECT_EQ(four.microOhmText,
              "1\u066B"
              "5");
    EXPECT_EQ(four.firstDigitText, "1");
    EXPECT_EQ(four.secondDigitText, "\u066B");
    EXPECT_EQ(four.exponentCountText, "1");
    EXPECT_EQ(NameOf(four.first), "Brown");
    EXPECT_EQ(four.second, nullptr);
    EXPECT_EQ(four.multiplier, nullptr);
    EXPECT_EQ(four.resultText,
              "0\u066B"
              "01    _+5%");  // no unit for an exponent count of 1

    const Encoding five = EncodeFiveBands("1.5e-9", "K Ohm", "_+5%", kArabic);
    EXPECT_EQ(five.secondDigitText, "\u066B");
    EXPECT_EQ(five.thirdDigitText, "5");
    EXPECT_EQ(five.exponentCountText, "0");
    EXPECT_EQ(NameOf(five.third), "Green");
    EXPECT_EQ(five.resultText, kPromptText);
}

// Splits a decoded line into its number text and unit.
std::pair<std::string, std::string> NumberAndUnit(const std::string& line, std::string_view tolerance)
{
    const auto numberEnd = line.find(' ');
    const auto unitBegin = line.find_first_not_of(' ', numberEnd);
    const auto unitEnd = line.size() - 4 - tolerance.size();
    return {line.substr(0, numberEnd), line.substr(unitBegin, unitEnd - unitBegin)};
}

// Decode every palette combination, type the decoded value and unit into the
// encoder, and expect the same bands back and, from 1 ohm up, the same line.
TEST(Encoding, RoundTripsEveryDecodedValue)
{
    const auto& multipliers = RuleOf(Band::Multiplier).entries;
    const auto& tolerances = RuleOf(Band::Tolerance).entries;
    std::size_t n = 0;
    for (const NumberFormat* format : kFormats) {
        for (int d = 10; d <= 999; ++d) {
            const bool five = d >= 100;
            const std::string digits = std::to_string(d);
            for (const ColourCode* multiplier : multipliers) {
                const ColourCode* tolerance = tolerances[n++ % tolerances.size()];
                const std::string tol(tolerance->toleranceText);
                const std::string m = MultiplierText(*multiplier, *format);
                const std::string line =
                    five ? DecodeFiveBands(digits.substr(0, 1), digits.substr(1, 1), digits.substr(2, 1), m, tol,
                                           *format)
                         : DecodeFourBands(digits.substr(0, 1), digits.substr(1, 1), m, tol, *format);
                const auto [number, unit] = NumberAndUnit(line, tol);
                const Encoding e =
                    five ? EncodeFiveBands(number, unit, tol, *format) : EncodeFourBands(number, unit, tol, *format);
                SCOPED_TRACE(line);
                ASSERT_EQ(e.first, ColourByDigit(digits[0] - '0'));
                ASSERT_EQ(e.second, ColourByDigit(digits[1] - '0'));
                ASSERT_EQ(e.third, five ? ColourByDigit(digits[2] - '0') : nullptr);
                ASSERT_EQ(e.multiplier, multiplier);
                ASSERT_EQ(e.tolerance, tolerance->name == "no band" ? nullptr : tolerance);
                ASSERT_EQ(e.toleranceShown, tolerance->name != "no band");
                // Four bands show values below 1 ohm in milliohms; the decoder in ohms.
                const bool belowOneOhm = !five && multiplier->name == "Silver";
                if (!belowOneOhm) {
                    ASSERT_EQ(e.resultText, line);
                }
            }
        }
        // The encoder's own multiplier, Violet (10^7): d1d2 x 10 M Ohm.
        for (int d = 10; d <= 99; ++d) {
            const std::string digits = std::to_string(d);
            const Encoding e = EncodeFourBands(std::to_string(d * 10), "M Ohm", "_+5%", *format);
            EXPECT_EQ(e.first, ColourByDigit(digits[0] - '0'));
            EXPECT_EQ(e.second, ColourByDigit(digits[1] - '0'));
            EXPECT_EQ(NameOf(e.multiplier), "Violet");
            EXPECT_EQ(e.resultText, std::to_string(d * 10) + "   M Ohm    _+5%");
        }
    }
}

}  // namespace
}  // namespace zarnik
