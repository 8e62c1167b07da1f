// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "model/SmdCodes.h"
#include "model/StandardValues.h"

namespace zarnik {
namespace {

Decimal D(const char* text) { return ReadDecimal(text).value(); }

// "4.7 K Ohm (3-digit)" per reading, ";"-joined, as one comparable text.
std::string Readings(std::string_view code)
{
    std::string text;
    for (const CodeReading& reading : ReadCode(code)) {
        text += text.empty() ? "" : "; ";
        text += CodeReadingText(reading);
    }
    return text;
}

TEST(SmdCodes, ReadsEachSystemAndTellsTwoReadingsApart)
{
    const std::pair<const char*, const char*> cases[] = {
        {"472", "4.7 K Ohm (3-digit)"},
        {"4R7", "4.7 Ohm (3-digit); 4.7 Ohm (RKM)"},
        {"R47", "0.47 Ohm (3-digit); 0.47 Ohm (RKM)"},
        {"R05", "0.05 Ohm (3-digit); 0.05 Ohm (RKM)"},
        {"4701", "4.7 K Ohm (4-digit)"},
        {"10R0", "10 Ohm (4-digit); 10 Ohm (RKM)"},
        {"R470", "0.47 Ohm (4-digit); 0.47 Ohm (RKM)"},
        {"01C", "10 K Ohm (EIA-96)"},
        {"68x", "49.9 Ohm (EIA-96)"},
        {"47R", "3.01 Ohm (EIA-96); 47 Ohm (RKM)"},
        {" 4k7 ", "4.7 K Ohm (RKM)"},
        {"47K", "47 K Ohm (RKM)"},
        {"1M0", "1 M Ohm (RKM)"},
        {"2M2", "2.2 M Ohm (RKM)"},
        {"1G5", "1.5 G Ohm (RKM)"},
        {"0R47", "0.47 Ohm (RKM)"},
        {"0", "0 Ohm (3-digit)"},
        {"00", "0 Ohm (3-digit)"},
        {"000", "0 Ohm (3-digit)"},
        {"0000", "0 Ohm (4-digit)"},
        {"047", ""},  // no leading zero before a multiplier digit
        {"00000", ""},
        {"0R0", ""},
        {"97A", ""},
        {"00A", ""},
        {"4X7", ""},
        {"4K7Q", ""},
        {"R", ""},
        {"", ""},
        {"4K7 J", ""},
        {"12345678901234567K", ""},
    };
    for (const auto& [code, expected] : cases) {
        EXPECT_EQ(Readings(code), expected) << code;
    }
}

TEST(SmdCodes, EachRkmToleranceLetterReadsItsPercentAndIsWrittenBack)
{
    const std::pair<char, const char*> letters[] = {{'B', "0.1"}, {'C', "0.25"}, {'D', "0.5"}, {'F', "1"},
                                                    {'G', "2"},   {'J', "5"},    {'K', "10"},  {'M', "20"}};
    for (const auto& [letter, percent] : letters) {
        const std::string code = std::string("4K7") + letter;
        const auto readings = ReadCode(code);
        ASSERT_EQ(readings.size(), 1u) << code;
        EXPECT_EQ(readings[0].ohms, D("4700"));
        EXPECT_EQ(readings[0].tolerancePercent, D(percent)) << code;
        EXPECT_EQ(RkmCode(D("4700"), D(percent)), code);
    }
    EXPECT_EQ(RkmCode(D("4700"), D("3")), std::nullopt);
}

// Every rank with every letter; the writer uses the first letter of a power.
TEST(SmdCodes, EveryEia96CodeReadsItsE96ValueAndIsWrittenBack)
{
    const std::pair<char, int> letters[] = {{'Z', -3}, {'Y', -2}, {'R', -2}, {'X', -1}, {'S', -1}, {'A', 0},
                                            {'B', 1},  {'H', 1},  {'C', 2},  {'D', 3},  {'E', 4},  {'F', 5}};
    const auto members = SeriesMembers(Series::E96);
    for (std::size_t rank = 1; rank <= members.size(); ++rank) {
        for (const auto& [letter, exponent] : letters) {
            const std::string code = (rank < 10 ? "0" : "") + std::to_string(rank) + letter;
            const Decimal value{members[rank - 1], exponent};
            const auto readings = ReadCode(code);
            ASSERT_FALSE(readings.empty()) << code;
            EXPECT_EQ(readings[0].system, CodeSystem::Eia96) << code;
            EXPECT_EQ(readings[0].ohms, value) << code;
            const auto written = Eia96Code(value);
            ASSERT_TRUE(written) << code;
            EXPECT_EQ(ReadCode(*written)[0].ohms, value) << code;
            EXPECT_EQ(written->substr(0, 2), code.substr(0, 2));
        }
    }
}

TEST(SmdCodes, WritesEachCodeWhereTheValueHasOne)
{
    struct Case {
        const char* ohms;
        std::optional<std::string> rkm, smd3, smd4, eia96;
    };
    const auto none = std::nullopt;
    const Case cases[] = {
        {"4700", "4K7", "472", "4701", none},
        {"4750", "4K75", none, "4751", "66B"},
        {"470", "470R", "471", "4700", none},
        {"1000", "1K0", "102", "1001", "01B"},
        {"10000", "10K", "103", "1002", "01C"},
        {"100", "100R", "101", "1000", "01A"},
        {"49.9", "49R9", none, "49R9", "68X"},
        {"4.7", "4R7", "4R7", "4R70", none},
        {"0.47", "R47", "R47", "R470", none},
        {"0.1", "R10", "R10", "R100", "01Z"},
        {"0.05", "R05", "R05", "R050", none},
        {"0.005", "R005", none, "R005", none},
        {"0.0005", "R0005", none, none, none},
        {"1", "1R0", "1R0", "1R00", "01Y"},
        {"1500000000", "1G5", "158", "1507", none},
        {"97600000", "97M6", none, "9765", "96F"},
        {"100000000000", "100G", none, "1009", none},
        {"1000000000000", "1T0", none, none, none},
        {"0", none, "000", "0000", none},
        {"-4700", none, none, none, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ohms);
        const ValueCodes codes = CodesOf(D(c.ohms));
        EXPECT_EQ(codes.rkm, c.rkm);
        EXPECT_EQ(codes.smd3, c.smd3);
        EXPECT_EQ(codes.smd4, c.smd4);
        EXPECT_EQ(codes.eia96, c.eia96);
    }
    EXPECT_EQ(CodesText(CodesOf(D("4700"))), "4K7 (RKM)   472 (3-digit)   4701 (4-digit)");
    EXPECT_EQ(CodesText(CodesOf(D("-1"))), "no code");
}

// Every code written for an E24 or E96 value in five decades reads back to
// it in its own system; each of those values has the codes its digits allow.
TEST(SmdCodes, EveryCodeOfAStandardValueReadsBackToIt)
{
    for (const Series series : {Series::E24, Series::E96}) {
        for (const int member : SeriesMembers(series)) {
            for (int decade = 0; decade < 5; ++decade) {
                const Decimal value{member, decade - SignificantDigits(series) + 1};
                SCOPED_TRACE(DecimalText(value));
                const ValueCodes codes = CodesOf(value);
                ASSERT_TRUE(codes.rkm && codes.smd4);
                EXPECT_TRUE(series == Series::E24 ? codes.smd3 : codes.eia96);
                EXPECT_EQ(codes.eia96.has_value(), BelongsTo(value, Series::E96));
                for (const CodeSystem system : CodeSystems()) {
                    const auto code = CodeOf(value, system);
                    if (!code) {
                        continue;
                    }
                    bool found = false;
                    for (const CodeReading& reading : ReadCode(*code)) {
                        found = found || (reading.system == system && reading.ohms == value);
                    }
                    EXPECT_TRUE(found) << *code;
                }
            }
        }
    }
}

}  // namespace
}  // namespace zarnik
