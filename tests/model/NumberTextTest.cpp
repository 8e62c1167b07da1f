// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "model/NumberText.h"
#include "tests/model/Separators.h"

namespace zarnik {
namespace {

using namespace zarnik::test;

// printf's %.15G in the C locale: what the number texts must look like.
std::string PrintfG15(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return buffer;
}

struct FormatCase {
    double value;
    const char* text;  // written with the point
};

TEST(NumberText, WritesTheGeneralFormatInEveryLocale)
{
    const FormatCase cases[] = {
        {4700, "4700"},
        {4.7, "4.7"},
        {0.47, "0.47"},
        {22000000, "22000000"},
        {999000000000000, "999000000000000"},
        {1e15, "1E+15"},
        {9e15, "9E+15"},
        {999999999999999.9, "1E+15"},
        {0.0001, "0.0001"},
        {5e-6, "5E-06"},
        {-2.5, "-2.5"},
        {-5000000, "-5000000"},
        {0.0, "0"},
        {-0.0, "0"},
        {22 * 0.1, "2.2"},
        {0.33 * 1e9, "330000000"},
        {47 * 0.01, "0.47"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.333333333333333"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {1e300 * 1e10, "INF"},
        {-1e300 * 1e10, "-INF"},
    };
    for (const NumberFormat& format : {kPoint, kComma, kArabic}) {
        for (const FormatCase& c : cases) {
            EXPECT_EQ(NumberText(c.value, format), WithSeparator(c.text, format))
                << c.value << " with separator " << format.decimalSeparator;
        }
    }
}

TEST(NumberText, MatchesPrintfG15ForManyValues)
{
    ASSERT_STREQ(std::localeconv()->decimal_point, ".");
    std::mt19937_64 random(20240601);
    std::uniform_real_distribution<double> exponent(-30.0, 30.0);
    std::uniform_int_distribution<int> digits(1, 20);
    for (int i = 0; i < 20000; ++i) {
        // Random magnitudes, and decimal values with few digits such as users type.
        double value = std::pow(10.0, exponent(random)) * (i % 2 == 0 ? 1 : -1);
        if (i % 3 == 0) {
            value = std::round(value * std::pow(10.0, digits(random) % 6)) / std::pow(10.0, digits(random) % 6);
        }
        if (value == 0.0) {
            continue;
        }
        ASSERT_EQ(NumberText(value), PrintfG15(value)) << "value " << value;
    }
}

struct ParseCase {
    const char* text;
    double value;
};

TEST(Parse, ReadsNumbersWithThePointOrTheFormatsSeparator)
{
    const ParseCase anyLocale[] = {
        {"4.7", 4.7},
        {".5", 0.5},
        {"0.", 0.0},
        {"-3", -3.0},
        {"+2", 2.0},
        {"1e3", 1000.0},
        {"1E+3", 1000.0},
        {"2.5e-3", 0.0025},
        {"  12  ", 12.0},
        {"\t7 ", 7.0},
        {"00012", 12.0},
        {"1.5E2", 150.0},
        {"9E+15", 9e15},
        {"5E-06", 5e-6},
        {"-0.47", -0.47},
        {"1e-400", 0.0},
        {"999000000000000", 999e12},
    };
    for (const NumberFormat& format : {kPoint, kComma, kArabic}) {
        for (const ParseCase& c : anyLocale) {
            EXPECT_EQ(Parse(c.text, format), c.value) << "'" << c.text << "' sep " << format.decimalSeparator;
            const std::string local = WithSeparator(c.text, format);
            EXPECT_EQ(Parse(local, format), c.value) << "'" << local << "'";
        }
    }
    const auto negativeZero = Parse("-0", kPoint);
    ASSERT_TRUE(negativeZero);
    EXPECT_TRUE(std::signbit(*negativeZero));
}

TEST(Parse, RefusesEverythingElse)
{
    struct Refused {
        const char* text;
        const NumberFormat* format;
    };
    const Refused cases[] = {
        {"", &kPoint},
        {"   ", &kPoint},
        {"inf", &kPoint},
        {"-inf", &kPoint},
        {"INF", &kPoint},
        {"nan", &kPoint},
        {"NAN", &kPoint},
        {"Infinity", &kPoint},
        {"0x10", &kPoint},
        {"0x1p3", &kPoint},
        {"1e", &kPoint},
        {"1e+", &kPoint},
        {"1E-", &kPoint},
        {".", &kPoint},
        {"-", &kPoint},
        {"+", &kPoint},
        {"-.", &kPoint},
        {"e5", &kPoint},
        {".e5", &kPoint},
        {"- 5", &kPoint},
        {"--5", &kPoint},
        {"+-5", &kPoint},
        {"5-", &kPoint},
        {"1.2.3", &kPoint},
        {"1 000", &kPoint},
        {"1,000", &kPoint},
        {"4,7", &kPoint},
        {"1_000", &kPoint},
        {"1'000", &kPoint},
        {"1e5.5", &kPoint},
        {"12abc", &kPoint},
        {"abc", &kPoint},
        {"$5", &kPoint},
        {"5%", &kPoint},
        {"1e400", &kPoint},
        {"-1e400", &kPoint},
        {"1e99999999999999999999", &kPoint},
        {"\xD9\xAB", &kArabic},
        {"1,000.5", &kComma},
        {"1.000,5", &kComma},
        {"4,7,", &kComma},
        {",", &kComma},
        {"4\xD9", &kArabic},
        {"4\xAB"
         "7",
         &kArabic},
        {"4\xD9\xAB\xD9\xAB", &kArabic},
        {"\xD9\xAB"
         "5e",
         &kArabic},
        {"4\u066B7", &kPoint},
        {"4\u066B7", &kComma},
        {"5\n", &kPoint},
    };
    for (const Refused& c : cases) {
        EXPECT_EQ(Parse(c.text, *c.format), std::nullopt) << "'" << c.text << "' sep " << c.format->decimalSeparator;
    }
    // An embedded NUL is not a terminator.
    EXPECT_EQ(Parse(std::string_view("4\0"
                                     "7",
                                     3)),
              std::nullopt);
}

TEST(Parse, ReadsBackEveryNumberTextToItsFifteenDigitValue)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-25.0, 25.0);
    for (const NumberFormat& format : {kPoint, kComma, kArabic}) {
        for (int i = 0; i < 5000; ++i) {
            const double value = std::pow(10.0, exponent(random)) * (i % 2 == 0 ? 1 : -1);
            const std::string text = NumberText(value, format);
            const auto back = Parse(text, format);
            ASSERT_TRUE(back) << text;
            EXPECT_EQ(*back, std::strtod(PrintfG15(value).c_str(), nullptr)) << text;
            EXPECT_EQ(NumberText(*back, format), text);
        }
    }
}

TEST(Parse, AgreesWithStrtodOnRandomDecimals)
{
    ASSERT_STREQ(std::localeconv()->decimal_point, ".");
    std::mt19937 random(99);
    for (int i = 0; i < 50000; ++i) {
        std::string text = i % 2 == 0 ? "" : "-";
        const int length = 1 + static_cast<int>(random() % 22);
        const int point = static_cast<int>(random() % static_cast<unsigned>(length + 1));
        for (int k = 0; k < length; ++k) {
            if (k == point) {
                text += '.';
            }
            text += static_cast<char>('0' + random() % 10);
        }
        if (random() % 3 == 0) {
            text += "e" + std::to_string(static_cast<int>(random() % 61) - 30);
        }
        const double expected = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(Parse(text), expected) << text;
        ASSERT_EQ(Parse(WithSeparator(text, kArabic), kArabic), expected) << text;
    }
}

TEST(Parse, ReadsVeryLongDigitStrings)
{
    const std::string longInteger = "1" + std::string(300, '0');
    EXPECT_EQ(Parse(longInteger), 1e300);
    const std::string longFraction = "0." + std::string(400, '0') + "1e401";
    EXPECT_EQ(Parse(longFraction), 1.0);
    EXPECT_EQ(Parse(std::string(1000, '9') + "e-1000"), 1.0);
}

}  // namespace
}  // namespace zarnik
