#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "model/ColourTable.h"
#include "model/Decoding.h"
#include "model/Encoding.h"
#include "model/ResultFacts.h"
#include "model/StandardValues.h"
#include "tests/model/Separators.h"

namespace zarnik {
namespace {

using namespace zarnik::test;

Decimal D(const char* text)
{
    return ReadDecimal(text).value();
}

std::string Names(const std::vector<Series>& series)
{
    std::string names;
    for (const Series s : series) {
        names += names.empty() ? "" : " ";
        names += SeriesName(s);
    }
    return names;
}

// The tables are written once, from the standard; their shape is checked
// here, not their members one by one: sizes, each series every second
// member of the next finer one, and where the standard leaves the rounded
// powers of ten (E24's old two-digit values, E192's 9.20).
TEST(StandardValues, SeriesTablesHaveTheStandardsShapeAndIrregularMembers)
{
    const std::size_t sizes[] = {3, 6, 12, 24, 48, 96, 192};
    const auto all = AllSeries();
    ASSERT_EQ(all.size(), 7u);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto members = SeriesMembers(all[i]);
        EXPECT_EQ(members.size(), sizes[i]) << SeriesName(all[i]);
        EXPECT_TRUE(std::is_sorted(members.begin(), members.end()));
        if (i + 1 < all.size() && all[i] != Series::E24) {
            const auto finer = SeriesMembers(all[i + 1]);
            for (std::size_t k = 0; k < members.size(); ++k) {
                EXPECT_EQ(members[k], finer[2 * k]) << SeriesName(all[i]) << " member " << k;
            }
        }
        std::set<int> offPower;
        const int digits = SignificantDigits(all[i]);
        for (std::size_t k = 0; k < members.size(); ++k) {
            const double power = std::pow(10.0, double(k) / double(members.size()) + digits - 1);
            if (members[k] != std::lround(power)) {
                offPower.insert(members[k]);
            }
        }
        if (all[i] == Series::E24) {
            EXPECT_EQ(offPower, (std::set<int>{27, 30, 33, 36, 39, 43, 47, 82}));
        } else if (all[i] == Series::E192) {
            EXPECT_EQ(offPower, std::set<int>{920});
        } else if (digits == 3) {
            EXPECT_TRUE(offPower.empty()) << SeriesName(all[i]);
        }
    }
    EXPECT_EQ(SeriesByName("e96"), Series::E96);
    EXPECT_EQ(SeriesByName("E25"), std::nullopt);
}

TEST(StandardValues, SeriesAndNeighboursAtIrregularMembersAndDecadeEdges)
{
    struct Row {
        const char* ohms;
        const char* series;  // the series it belongs to
        Series in;
        const char* below;
        const char* above;
    };
    const Row rows[] = {
        {"4700", "E3 E6 E12 E24 E192", Series::E96, "4640", "4750"},
        {"4750", "E96 E192", Series::E24, "4700", "5100"},
        {"4800", "", Series::E24, "4700", "5100"},
        {"1.5", "E6 E12 E24 E96 E192", Series::E48, "1.47", "1.54"},
        {"9.1", "E24", Series::E192, "9.09", "9.2"},
        {"9.2", "E192", Series::E96, "9.09", "9.31"},
        {"9.19", "", Series::E192, "9.09", "9.2"},
        {"8.2", "E12 E24", Series::E48, "7.87", "8.25"},
        {"0.99", "", Series::E24, "0.91", "1"},
        {"0.99", "", Series::E192, "0.988", "1"},
        {"1.0", "E3 E6 E12 E24 E48 E96 E192", Series::E3, "1", "1"},
        {"9.88", "E192", Series::E96, "9.76", "10"},
        {"9.88", "E192", Series::E24, "9.1", "10"},
        {"10", "E3 E6 E12 E24 E48 E96 E192", Series::E192, "10", "10"},
        {"95", "", Series::E3, "47", "100"},
        {"4753", "", Series::E192, "4750", "4810"},
        {"999000000", "", Series::E24, "910000000", "1000000000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ohms);
        EXPECT_EQ(Names(SeriesOf(D(row.ohms))), row.series);
        const auto neighbours = NearestStandard(D(row.ohms), row.in);
        ASSERT_TRUE(neighbours);
        EXPECT_EQ(DecimalText(neighbours->below), row.below);
        EXPECT_EQ(DecimalText(neighbours->above), row.above);
    }
    for (const char* none : {"0", "-4700"}) {
        EXPECT_TRUE(SeriesOf(D(none)).empty());
        EXPECT_FALSE(NearestStandard(D(none), Series::E24));
        EXPECT_FALSE(ToleranceRange(D(none), "_+5%"));
    }
}

TEST(StandardValues, DecimalsReadExactlyAndRefuseWhatTheyCannotHold)
{
    struct Row {
        const char* text;
        const char* plain;  // nullptr: not read
    };
    const Row rows[] = {
        {"4.7", "4.7"},
        {" 4700 ", "4700"},
        {"0.0047", "0.0047"},
        {"4.7e3", "4700"},
        {"-2.50", "-2.5"},
        {"-0", "0"},
        {"4.70000000000000000000000", "4.7"},
        {"123456789012345678", "123456789012345678"},
        {"1234567890123456789", nullptr},
        {"1e40", "10000000000000000000000000000000000000000"},
        {"1e41", nullptr},
        {"4,7", nullptr},
        {"", nullptr},
        {"e3", nullptr},
    };
    for (const Row& row : rows) {
        const auto value = ReadDecimal(row.text);
        EXPECT_EQ(value ? DecimalText(*value) : "(none)", row.plain ? row.plain : "(none)") << row.text;
    }
    for (const NumberFormat* format : kFormats) {
        EXPECT_EQ(DecimalText(ReadDecimal(WithSeparator("0.05", *format), *format).value(), *format),
                  WithSeparator("0.05", *format));
    }
    // 0.1 + 0.2 is 0.3 here, and 4.7 x 1000 is 4700.
    EXPECT_EQ(Add(D("0.1"), D("0.2")), D("0.3"));
    EXPECT_EQ(Multiply(D("4.7"), D("1000")), D("4700"));
    EXPECT_FALSE(Multiply(D("123456789012345678"), D("123")));
}

TEST(ResultFacts, DescribesDecodingsAndEncodingsInEveryLocale)
{
    auto band = [](Band b, const char* colour, const NumberFormat& format) {
        return BandText(b, *ColourByName(colour), format);
    };
    struct Row {
        std::vector<const char*> bands;  // digits, multiplier, tolerance
        const char* text;                // with the point
    };
    const Row rows[] = {
        {{"Yellow", "Violet", "Red", "Gold"}, "4.465 K Ohm to 4.935 K Ohm; standard value in E3, E6, E12, E24, E192"},
        {{"Yellow", "Violet", "Silver", "Silver"}, "0.423 Ohm to 0.517 Ohm; standard value in E3, E6, E12, E24, E192"},
        {{"Brown", "Black", "Red", "Gold"},
         "950 Ohm to 1.05 K Ohm; standard value in E3, E6, E12, E24, E48, E96, E192"},
        {{"Red", "Red", "Red", "Red", "Gold"},
         "21.09 K Ohm to 23.31 K Ohm; not a standard value; nearest E24: 22 K Ohm and 24 K Ohm"},
        {{"Red", "Red", "Red", "Red", "Brown"},
         "21.978 K Ohm to 22.422 K Ohm; not a standard value; nearest E24: 22 K Ohm and 24 K Ohm; "
         "nearest E96: 22.1 K Ohm and 22.6 K Ohm"},
        {{"Yellow", "Violet", "Green", "Brown", "Brown"}, "4.7025 K Ohm to 4.7975 K Ohm; standard value in E96, E192"},
        {{"Brown", "Black", "Brown", "no band"},
         "80 Ohm to 120 Ohm; standard value in E3, E6, E12, E24, E48, E96, E192"},
    };
    for (const NumberFormat* format : kFormats) {
        for (const Row& row : rows) {
            const auto& b = row.bands;
            const std::string multiplier = band(Band::Multiplier, b[b.size() - 2], *format);
            const std::string tolerance = band(Band::Tolerance, b.back(), *format);
            const auto text =
                b.size() == 4
                    ? DescribeFourBands(band(Band::First, b[0], *format), band(Band::Second, b[1], *format),
                                        multiplier, tolerance, *format)
                    : DescribeFiveBands(band(Band::First, b[0], *format), band(Band::Second, b[1], *format),
                                        band(Band::Third, b[2], *format), multiplier, tolerance, *format);
            std::string expected = row.text;
            for (std::size_t at = expected.find('.'); at != std::string::npos; at = expected.find('.', at + 1)) {
                expected.replace(at, 1, format->decimalSeparator);
            }
            EXPECT_EQ(text.value_or("(none)"), expected);
        }
    }
    // An encoding is described by the value its bands show: a typed 475 is 470.
    EXPECT_EQ(DescribeEncoding(EncodeFourBands("475", "Ohm", "_+5%"), "_+5%"),
              "446.5 Ohm to 493.5 Ohm; standard value in E3, E6, E12, E24, E192");
    EXPECT_EQ(DescribeEncoding(EncodeFiveBands("4.75", "K Ohm", "_+1%"), "_+1%"),
              "4.7025 K Ohm to 4.7975 K Ohm; standard value in E96, E192");
    // Refused values, codes that are not complete and the idle text have none.
    EXPECT_FALSE(DescribeEncoding(EncodeFourBands("0", "Ohm", "_+5%"), "_+5%"));
    EXPECT_FALSE(DescribeEncoding(EncodeFourBands("1.2345678", "Ohm", "_+5%"), "_+5%"));
    EXPECT_FALSE(DescribeEncoding(EncodeFourBands("0.00001", "K Ohm", "_+5%"), "_+5%"));
    EXPECT_FALSE(DescribeFourBands("", "7", "100", "_+5%"));
    EXPECT_FALSE(DescribeFourBands("4", "7", "100", "_+3%"));
}

}  // namespace
}  // namespace zarnik
