// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/ColourTable.h"
#include "tests/model/Separators.h"

namespace zarnik {
namespace {

using namespace zarnik::test;

struct Row {
    const char* name;
    std::uint32_t rgb;
    std::optional<int> digit;
    std::optional<double> multiplier;
    const char* tolerance;
};

TEST(ColourTable, HoldsTheColourCodeInItsOrder)
{
    const Row expected[] = {
        {"Black", 0x000000, 0, 1.0, ""},
        {"Brown", 0x804000, 1, 10.0, "_+1%"},
        {"Red", 0xFF0000, 2, 100.0, "_+2%"},
        {"Orange", 0xFF8000, 3, 1e3, ""},
        {"Yellow", 0xFFFF00, 4, 1e4, ""},
        {"Green", 0x00FF00, 5, 1e5, "_+0.5%"},
        {"Blue", 0x0000FF, 6, 1e6, "_+0.25%"},
        {"Violet", 0x800080, 7, 1e7, "_+0.1%"},
        {"Grey", 0xE0E0E0, 8, std::nullopt, "_+0.05%"},
        {"White", 0xFFFFFF, 9, std::nullopt, ""},
        {"Gold", 0xC0C000, std::nullopt, 0.1, "_+5%"},
        {"Silver", 0xC0C0C0, std::nullopt, 0.01, "_+10%"},
        {"no band", 0xFFFFFF, std::nullopt, std::nullopt, "_+20%"},
    };
    const auto table = ColourTable();
    ASSERT_EQ(table.size(), std::size(expected));
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ColourCode& entry = table[i];
        EXPECT_EQ(entry.name, expected[i].name);
        if (entry.name != "no band") {  // never painted
            EXPECT_EQ(entry.rgb, expected[i].rgb) << entry.name;
        }
        EXPECT_EQ(entry.digit, expected[i].digit) << entry.name;
        EXPECT_EQ(entry.multiplier, expected[i].multiplier) << entry.name;
        EXPECT_EQ(entry.toleranceText, expected[i].tolerance) << entry.name;
        EXPECT_EQ(ColourByName(entry.name), &entry);
    }
}

TEST(ColourTable, LooksUpByDigitExponentAndTolerance)
{
    const char* const byDigit[] = {"Black", "Brown", "Red",    "Orange", "Yellow",
                                   "Green", "Blue",  "Violet", "Grey",   "White"};
    for (int digit = 0; digit <= 9; ++digit) {
        ASSERT_NE(ColourByDigit(digit), nullptr);
        EXPECT_EQ(ColourByDigit(digit)->name, byDigit[digit]);
    }
    const char* const byExponent[] = {"Silver", "Gold",   "Black", "Brown", "Red",
                                      "Orange", "Yellow", "Green", "Blue",  "Violet"};
    for (int exponent = -2; exponent <= 7; ++exponent) {
        ASSERT_NE(ColourByMultiplierExponent(exponent), nullptr);
        EXPECT_EQ(ColourByMultiplierExponent(exponent)->name, byExponent[exponent + 2]);
    }
    const std::pair<const char*, const char*> byTolerance[] = {
        {"_+1%", "Brown"},   {"_+2%", "Red"},  {"_+0.5%", "Green"}, {"_+0.25%", "Blue"},  {"_+0.1%", "Violet"},
        {"_+0.05%", "Grey"}, {"_+5%", "Gold"}, {"_+10%", "Silver"}, {"_+20%", "no band"},
    };
    for (const auto& [text, name] : byTolerance) {
        ASSERT_NE(ColourByTolerance(text), nullptr) << text;
        EXPECT_EQ(ColourByTolerance(text)->name, name);
    }

    for (const int digit : {-1, 10, 1000}) {
        EXPECT_EQ(ColourByDigit(digit), nullptr);
    }
    for (const int exponent : {-3, 8, 100}) {
        EXPECT_EQ(ColourByMultiplierExponent(exponent), nullptr);
    }
    for (const char* text : {"", "_+3%", "+5%", "_+5", "_+0,5%", "_+5% "}) {
        EXPECT_EQ(ColourByTolerance(text), nullptr) << text;
    }
    for (const char* name : {"", "black", "Gray", "noband"}) {
        EXPECT_EQ(ColourByName(name), nullptr) << name;
    }
}

std::vector<std::string> SwatchNames(Band band)
{
    std::vector<std::string> names;
    for (const ColourCode* entry : RuleOf(band).entries) {
        names.push_back(SwatchName(band, *entry));
    }
    return names;
}

TEST(BandRules, OfferTheirEntriesUnderTheirSwatchNames)
{
    using Names = std::vector<std::string>;
    EXPECT_EQ(SwatchNames(Band::First), (Names{"a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9"}));
    EXPECT_EQ(SwatchNames(Band::Second), (Names{"b0", "b1", "b2", "b3", "b4", "b5", "b6", "b7", "b8", "b9"}));
    EXPECT_EQ(SwatchNames(Band::Third), (Names{"CG0", "CG1", "CG2", "CG3", "CG4", "CG5", "CG6", "CG7", "CG8", "CG9"}));
    EXPECT_EQ(SwatchNames(Band::Multiplier), (Names{"c0", "c1", "c2", "c3", "c4", "c5", "c6", "c11", "c12"}));
    EXPECT_EQ(SwatchNames(Band::Tolerance), (Names{"d1", "d2", "d5", "d6", "d7", "d8", "d11", "d12", "d13"}));
    EXPECT_EQ(SwatchNames(Band::Coefficient), (Names{"e0", "e1", "e2", "e3", "e4", "e5", "e6", "e7", "e8"}));

    const std::pair<const char*, const char*> labelsAndFields[] = {{"a", "At"}, {"b", "Bt"}, {"CG", "CGt"},
                                                                   {"c", "ct"}, {"d", "Dt"}, {"e", "Et"}};
    ASSERT_EQ(BandRules().size(), 6u);
    for (std::size_t i = 0; i < BandRules().size(); ++i) {
        const BandRule& rule = BandRules()[i];
        EXPECT_EQ(&RuleOf(rule.band), &rule);
        EXPECT_EQ(rule.label, labelsAndFields[i].first);
        EXPECT_EQ(rule.field, labelsAndFields[i].second);
    }
}

TEST(BandRules, GiveTheFieldTextsOfEachSwatchInEveryLocale)
{
    const char* const multiplierTexts[] = {"1", "10", "100", "1000", "10000", "100000", "1000000"};
    for (const NumberFormat& format : {kPoint, kComma, kArabic}) {
        const std::string& sep = format.decimalSeparator;
        std::vector<std::string> texts;
        for (const ColourCode* entry : RuleOf(Band::Multiplier).entries) {
            texts.push_back(BandText(Band::Multiplier, *entry, format));
        }
        std::vector<std::string> expected(std::begin(multiplierTexts), std::end(multiplierTexts));
        expected.push_back("0" + sep + "1");
        expected.push_back("0" + sep + "01");
        EXPECT_EQ(texts, expected) << sep;

        // Only the decoder's palette has multiplier texts.
        for (const char* name : {"Violet", "Grey", "White", "no band"}) {
            EXPECT_EQ(MultiplierText(*ColourByName(name), format), "") << name;
        }
    }
    for (const ColourCode* entry : RuleOf(Band::First).entries) {
        EXPECT_EQ(BandText(Band::First, *entry), std::to_string(*entry->digit));
    }
    for (const ColourCode* entry : RuleOf(Band::Tolerance).entries) {
        EXPECT_EQ(BandText(Band::Tolerance, *entry), entry->toleranceText);
        EXPECT_EQ(ColourByTolerance(entry->toleranceText), entry);
    }
}

TEST(BandRules, DescribeWhatEachColourMeansOnItsBand)
{
    struct Meaning {
        Band band;
        const char* colour;
        const NumberFormat* format;
        const char* text;
    };
    const Meaning cases[] = {
        {Band::First, "Yellow", &kPoint, "Yellow: 4"},
        {Band::Third, "Black", &kPoint, "Black: 0"},
        {Band::Multiplier, "Black", &kPoint, "Black: x1"},
        {Band::Multiplier, "Blue", &kPoint, "Blue: x1000000"},
        {Band::Multiplier, "Violet", &kPoint, "Violet: x10000000"},
        {Band::Multiplier, "Gold", &kPoint, "Gold: x0.1"},
        {Band::Multiplier, "Gold", &kComma, "Gold: x0,1"},
        {Band::Multiplier, "Silver", &kArabic, "Silver: x0\u066B01"},
        {Band::Tolerance, "Gold", &kPoint, "Gold: \u00B15%"},
        {Band::Tolerance, "Blue", &kComma, "Blue: \u00B10.25%"},
        {Band::Tolerance, "no band", &kPoint, "no band: \u00B120%"},
        {Band::First, "Gold", &kPoint, ""},
        {Band::Multiplier, "White", &kPoint, ""},
        {Band::Tolerance, "Orange", &kPoint, ""},
        {Band::Coefficient, "Black", &kPoint, "Black: 250 ppm/K"},
        {Band::Coefficient, "Grey", &kComma, "Grey: 1 ppm/K"},
        {Band::Coefficient, "White", &kPoint, ""},
    };
    for (const Meaning& c : cases) {
        EXPECT_EQ(BandMeaning(c.band, *ColourByName(c.colour), *c.format), c.text);
    }
}

TEST(BandRules, SayBandColourAndMeaningToAScreenReader)
{
    struct Spoken {
        Band band;
        const char* colour;
        const char* text;
    };
    const Spoken cases[] = {
        {Band::First, "Yellow", "Band 1: Yellow, 4"},
        {Band::Second, "Black", "Band 2: Black, 0"},
        {Band::Third, "White", "Band 3: White, 9"},
        {Band::Multiplier, "Gold", "Multiplier: Gold, x0,1"},
        {Band::Tolerance, "no band", "Tolerance: no band, \u00B120%"},
        {Band::Tolerance, "Orange", ""},
        {Band::Coefficient, "Orange", "Temperature coefficient: Orange, 15 ppm/K"},
    };
    for (const Spoken& c : cases) {
        EXPECT_EQ(SpokenBandMeaning(c.band, *ColourByName(c.colour), kComma), c.text);
    }
}

}  // namespace
}  // namespace zarnik
