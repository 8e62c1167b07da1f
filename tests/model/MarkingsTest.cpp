// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "model/Markings.h"

namespace zarnik {
namespace {

Decimal D(const char* text) { return ReadDecimal(text).value(); }

std::vector<const ColourCode*> Bands(const std::string& names)
{
    std::vector<const ColourCode*> bands;
    std::istringstream words(names);
    for (std::string word; words >> word;) {
        bands.push_back(word == "none" ? ColourByName("no band") : MarkingColourByName(word));
    }
    return bands;
}

struct Read {
    const char* bands;
    const char* ohms;  // nullptr: no reading
    std::string_view tolerance = "";
    std::optional<int> tc = std::nullopt;
    const char* line = "";  // "": not compared
};

void ExpectReading(const std::optional<BandReading>& reading, const Read& c)
{
    ASSERT_EQ(reading.has_value(), c.ohms != nullptr);
    if (!reading) {
        return;
    }
    EXPECT_EQ(reading->ohms, D(c.ohms));
    EXPECT_EQ(reading->toleranceText, c.tolerance);
    EXPECT_EQ(reading->tcPpm, c.tc);
    if (*c.line) {
        EXPECT_EQ(ReadingText(*reading), c.line);
    }
}

// Each count of bands, the IEC multipliers beyond the palette, and the
// places a colour does not fit.
TEST(Markings, ReadsEveryBandCountAndRefusesWhatDoesNotFit)
{
    const Read cases[] = {
        {"Black", "0", "", {}, "0 Ohm (zero-ohm link)"},
        {"Brown", nullptr},
        {"Red Violet Orange", "27000", "_+20%", {}, "27   K Ohm    _+20%"},
        {"Yellow violet red gold", "4700", "_+5%", {}, "4.7   K Ohm    _+5%"},
        {"Brown Black Black Red Brown", "10000", "_+1%", {}, "10    K Ohm    _+1%"},
        {"Brown Black Black Red Brown Red", "10000", "_+1%", 50, "10    K Ohm    _+1%"},
        {"Brown Black Violet Gold", "100000000", "_+5%", {}, "100   M Ohm    _+5%"},
        {"Brown Black Grey Gold", "1000000000", "_+5%", {}, "1   G Ohm    _+5%"},
        {"Red Red White Silver", "22000000000", "_+10%", {}, "22   G Ohm    _+10%"},
        {"Brown Black Black Pink Brown", "0.1", "_+1%", {}, "0.1    Ohm    _+1%"},
        {"Orange White Pink", "0.039", "_+20%", {}, "0.039   Ohm    _+20%"},
        {"Black Brown Red Gold", nullptr},         // a leading zero
        {"Brown Black Red Orange", nullptr},       // Orange is no tolerance
        {"Brown Pink Red Gold", nullptr},          // Pink is no digit
        {"Brown Black Red Brown White", nullptr},  // four digits
        {"Brown Black Black Red Brown White", nullptr},
        {"Brown Black", nullptr},
        {"Brown Black Black Red Brown Red Red", nullptr},
        {"Brown Black Red Magenta", nullptr},
        {"Brown Black Red none", "1000", "_+20%", {}, "1   K Ohm    _+20%"},
        {"Brown Black none Red", nullptr},
    };
    for (const Read& c : cases) {
        SCOPED_TRACE(c.bands);
        ExpectReading(ReadBands(Bands(c.bands)), c);
    }
}

TEST(Markings, EachCoefficientColourReadsItsPpmAndRoundTrips)
{
    const std::pair<const char*, int> coefficients[] = {{"Black", 250}, {"Brown", 100}, {"Red", 50},
                                                        {"Orange", 15}, {"Yellow", 25}, {"Green", 20},
                                                        {"Blue", 10},   {"Violet", 5},  {"Grey", 1}};
    for (const auto& [name, ppm] : coefficients) {
        SCOPED_TRACE(name);
        const auto reading = ReadBands(Bands(std::string("Brown Black Black Red Brown ") + name));
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->tcPpm, ppm);
        EXPECT_EQ(ColourByTemperatureCoefficient(ppm), MarkingColourByName(name));
    }
    for (const char* none : {"White", "Gold", "Silver", "Pink"}) {
        EXPECT_FALSE(ReadBands(Bands(std::string("Brown Black Black Red Brown ") + none))) << none;
    }
    EXPECT_EQ(TemperatureCoefficientColours().size(), std::size(coefficients));
}

// The other end: each band must fit its new place.
TEST(Markings, OtherEndReadsOnlyWhereEveryBandFits)
{
    const Read cases[] = {
        {"Brown Black Black Red Brown", "120", "_+1%", {}, "120    Ohm    _+1%"},
        {"Brown Black Red Brown", "12", "_+1%"},
        {"Red Brown Black Black Brown Brown", "110", "_+1%", 50},
        {"Red Red Brown", "1200", "_+20%"},
        {"Red Red Brown none", "1200", "_+20%"},         // an unpainted band is no end
        {"Yellow Violet Red Gold", nullptr},             // Gold cannot start
        {"Brown Black Black Pink Brown", nullptr},       // Pink is no digit
        {"Brown Black Black Red Brown Brown", nullptr},  // Black would be a tolerance
        {"Brown Black Red Red Black", nullptr},          // Black cannot start, nor read forwards
        {"Black", nullptr},
    };
    for (const Read& c : cases) {
        SCOPED_TRACE(c.bands);
        ExpectReading(ReadFromOtherEnd(Bands(c.bands)), c);
    }
}

}  // namespace
}  // namespace zarnik
