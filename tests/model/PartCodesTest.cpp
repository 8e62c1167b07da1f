// SPDX-License-Identifier: MIT
// The printed codes of capacitors and inductors and the dielectric codes,
// against the makers' published examples: readings, writings, refusals, and
// the E12 values of six decades written and read back in every system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/CapacitorCodes.h"
#include "model/Dielectrics.h"
#include "model/InductorCodes.h"
#include "model/Markings.h"
#include "model/StandardValues.h"
#include "model/UnitScale.h"

namespace zarnik {
namespace {

Decimal D(const char* text) { return ReadDecimal(text).value(); }

template <typename Reading, typename TextOf>
std::string Joined(const std::vector<Reading>& readings, TextOf text)
{
    std::string joined;
    for (const Reading& reading : readings) {
        joined += (joined.empty() ? "" : "; ") + text(reading, NumberFormat{});
    }
    return joined;
}

TEST(PartCodes, CapacitorCodesReadAsMakersPrintThem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"104", "100 nF (3-digit pF)"},
        {"479", "4.7 pF (3-digit pF)"},
        {"228", "0.22 pF (3-digit pF)"},
        {"335", "3.3 \u00B5F (3-digit pF)"},
        {"4R7", "4.7 pF (R pF)"},
        {"0r5", "0.5 pF (R pF)"},
        {"47", "47 pF (pF digits)"},
        {"47K", "47 pF \u00B110% (pF digits)"},
        {"p68", "0.68 pF (IEC 60062)"},
        {"2p2", "2.2 pF (IEC 60062)"},
        {"4n7", "4.7 nF (IEC 60062)"},
        {"n47", "470 pF (IEC 60062)"},
        {"100n", "100 nF (IEC 60062)"},
        {"1u0", "1 \u00B5F (IEC 60062)"},
        {"0u22", "220 nF (IEC 60062)"},
        {"3N3", "3.3 nF (IEC 60062)"},
        {"4\u00B57", "4.7 \u00B5F (IEC 60062)"},
        {"2A474J", "470 nF \u00B15%, 100 V (3-digit pF)"},
        {"1H103K", "10 nF \u00B110%, 50 V (3-digit pF)"},
        {"104Z", "100 nF +80/-20% (3-digit pF)"},
        {"4R7C", "4.7 pF \u00B10.25 pF (R pF)"},
        {"100D", "10 pF \u00B10.5% (3-digit pF)"},
        {"4R7G", "4.7 pF \u00B12 pF (R pF); 4.7 pF \u00B12% (R pF)"},
        {"473M", "47 nF \u00B120% (3-digit pF)"},
        {"107", ""},  // 7 is no multiplier digit
        {"047", ""},
        {"0", ""},
        {"4K7", ""},
        {"104E", ""},  // E is left out: tables disagree
        {"2A47", ""},  // a voltage code stands before three digits only
        {"X7R", ""},
        {"", ""},
    };
    for (const auto& [code, expected] : cases) {
        EXPECT_EQ(Joined(ReadCapacitorCode(code), CapacitorReadingText), expected) << code;
    }
}

TEST(PartCodes, EiaVoltageCodesReadTheirVolts)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0G", "4"},   {"0J", "6.3"}, {"1A", "10"},   {"1C", "16"},    {"1E", "25"},    {"1V", "35"},   {"1H", "50"},
        {"1J", "63"},  {"2A", "100"}, {"2D", "200"},  {"2E", "250"},   {"2F", "315"},   {"2V", "350"},  {"2G", "400"},
        {"2W", "450"}, {"2J", "630"}, {"3A", "1000"}, {"1I", nullptr}, {"4A", nullptr}, {"A1", nullptr}};
    for (const auto& [code, volts] : cases) {
        EXPECT_EQ(VoltageOfCode(code), volts ? std::optional(D(volts)) : std::nullopt) << code;
    }
}

TEST(PartCodes, CapacitorValuesGetTheirCodes)
{
    struct Case {
        const char* farads;
        std::vector<std::optional<std::string>> codes;  // in the order of CapacitorSystems
    };
    const Case cases[] = {
        {"1e-12", {"109", "1", "1R0", "1p0"}},
        {"4.7e-12", {"479", std::nullopt, "4R7", "4p7"}},
        {"47e-12", {"470", "47", std::nullopt, "47p"}},
        {"4.7e-9", {"472", std::nullopt, std::nullopt, "4n7"}},
        {"220e-9", {"224", std::nullopt, std::nullopt, "220n"}},
        {"1e-6", {"105", std::nullopt, std::nullopt, "1u0"}},
        {"4700e-6", {std::nullopt, std::nullopt, std::nullopt, "4700u"}},
        {"4.75e-9", {std::nullopt, std::nullopt, std::nullopt, "4n75"}},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < CapacitorSystems().size(); ++i) {
            EXPECT_EQ(CapacitorCodeOf(D(c.farads), CapacitorSystems()[i]), c.codes[i]) << c.farads << " " << i;
        }
    }
}

TEST(PartCodes, InductorCodesAndBandsRead)
{
    const std::pair<const char*, const char*> cases[] = {
        {"4R7", "4.7 \u00B5H (R \u00B5H)"},
        {"R10", "100 nH (R \u00B5H)"},
        {"8N2", "8.2 nH (N nH)"},
        {"47n", "47 nH (N nH)"},
        {"4R7M", "4.7 \u00B5H \u00B120% (R \u00B5H)"},
        {"101K", "100 \u00B5H \u00B110% (3-digit \u00B5H; RF chip inductors: 100 nH)"},
        {"107", ""},
        {"4K7", ""},
        {"R", ""},
    };
    for (const auto& [code, expected] : cases) {
        EXPECT_EQ(Joined(ReadInductorCode(code), InductorReadingText), expected) << code;
    }
    const std::pair<std::vector<const char*>, const char*> bands[] = {
        {{"Yellow", "Violet", "Gold", "Silver"}, "4.7 \u00B5H \u00B110% (colour bands)"},
        {{"Brown", "Black", "Silver"}, "100 nH \u00B120% (colour bands)"},
        {{"Brown", "Black", "Red", "no band"}, "1 mH \u00B120% (colour bands)"},
        {{"Red", "Red", "Black", "Gold"}, "22 \u00B5H \u00B15% (colour bands)"},
        {{"Black", "Red", "Black", "Gold"}, ""},
        {{"Red", "Red", "Pink", "Gold"}, ""},
        {{"Red", "Red", "Black", "Green"}, ""},
    };
    for (const auto& [names, expected] : bands) {
        std::vector<const ColourCode*> colours;
        for (const char* name : names) {
            colours.push_back(MarkingColourByName(name) ? MarkingColourByName(name) : ColourByName(name));
        }
        const auto reading = ReadInductorBands(colours);
        EXPECT_EQ(reading ? InductorReadingText(*reading) : "", expected) << names[0];
    }
}

// E12 over six decades, each value written in every system that has a code
// for it and read back to itself.
TEST(PartCodes, E12ValuesOfSixDecadesGoRoundTrip)
{
    for (int decade = 0; decade < 6; ++decade) {
        for (const int member : SeriesMembers(Series::E12)) {
            const Decimal farads{member, decade - 13};  // 1 pF to 820 nF
            int written = 0;
            for (const CapacitorSystem system : CapacitorSystems()) {
                const auto code = CapacitorCodeOf(farads, system);
                written += code.has_value();
                bool found = false;
                for (const CapacitorReading& reading : ReadCapacitorCode(code.value_or(""))) {
                    found = found || (reading.system == system && reading.farads == farads);
                }
                EXPECT_EQ(found, code.has_value()) << code.value_or("?");
            }
            EXPECT_GE(written, 2) << DecimalText(farads);
            const Decimal henries{member, decade - 9};  // 10 nH to 8.2 mH
            for (const InductorSystem system : InductorCodeSystems()) {
                const auto code = InductorCodeOf(henries, system);
                bool found = false;
                for (const InductorReading& reading : ReadInductorCode(code.value_or(""))) {
                    found = found || (reading.system == system && reading.henries == henries);
                }
                EXPECT_EQ(found, code.has_value()) << code.value_or("?");
            }
            const auto bands = InductorBands(henries, D("5"));
            ASSERT_EQ(bands.has_value(), decade >= 1) << DecimalText(henries);
            if (bands) {
                EXPECT_EQ(ReadInductorBands(*bands)->henries, henries);
            }
        }
    }
}

TEST(PartCodes, DielectricCodesReadTheirRangeOrCoefficient)
{
    const std::pair<const char*, const char*> cases[] = {
        {"X7R", "class 2: -55 to 125 \u00B0C, \u00B115%"},
        {"x5r", "class 2: -55 to 85 \u00B0C, \u00B115%"},
        {"Y5V", "class 2: -30 to 85 \u00B0C, +22/-82%"},
        {"Z5U", "class 2: 10 to 85 \u00B0C, +22/-56%"},
        {"X8R", "class 2: -55 to 150 \u00B0C, \u00B115%"},
        {"X6S", "class 2: -55 to 105 \u00B0C, \u00B122%"},
        {"X7T", "class 2: -55 to 125 \u00B0C, +22/-33%"},
        {"Y2B", "class 2: -30 to 45 \u00B0C, \u00B11.5%"},
        {"C0G", "class 1: 0 \u00B130 ppm/K"},
        {"NP0", "class 1: 0 \u00B130 ppm/K"},
        {"U2J", "class 1: -750 \u00B1120 ppm/K"},
        {"P2H", "class 1: -150 \u00B160 ppm/K"},
        {"S2H", "class 1: -330 \u00B160 ppm/K"},
        {"X3R", ""},
        {"C0Q", ""},
        {"X7", ""},
    };
    for (const auto& [code, expected] : cases) {
        const auto dielectric = ReadDielectric(code);
        EXPECT_EQ(dielectric ? DielectricText(*dielectric) : "", expected) << code;
    }
}

TEST(PartCodes, ValuesAreScaledToTheLargestUnitAtOrBelow)
{
    const std::pair<const char*, const char*> farads[] = {
        {"4700e-12", "4.7 nF"}, {"220e-9", "220 nF"}, {"0.5e-12", "0.5 pF"}, {"1e-6", "1 \u00B5F"}, {"2.2", "2.2 F"}};
    for (const auto& [value, text] : farads) {
        EXPECT_EQ(ScaledText(D(value), FaradUnits()), text);
    }
    EXPECT_EQ(ScaledText(D("0.0047"), HenryUnits()), "4.7 mH");
    for (const char* unit : {"uF", "\u00B5F", "\u03BCF", "UF", "uf"}) {
        EXPECT_EQ(UnitByText(unit, FaradUnits()), &FaradUnits()[2]) << unit;
    }
    EXPECT_EQ(UnitByText("MH", HenryUnits()), nullptr);
}

}  // namespace
}  // namespace zarnik
