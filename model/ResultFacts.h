#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/Decimal.h"
#include "model/Encoding.h"
#include "model/NumberText.h"
#include "model/StandardValues.h"

namespace zarnik {

// What a result line means for a real part: its value in ohms, the range its
// tolerance allows, the series it belongs to and, when it belongs to none, the
// nearest standard values (in E24, and in E96 too for 1% and tighter).
struct PartFacts {
    Decimal ohms;
    OhmRange range;
    std::vector<Series> series;
    std::vector<std::pair<Series, Neighbours>> nearest;
};

// Nothing for zero and negative values and for a tolerance text that is not
// the colour table's.
[[nodiscard]] std::optional<PartFacts> FactsOf(const Decimal& ohms, std::string_view toleranceText);

// The facts behind a decoding, from the same band texts the decoding reads.
// Nothing where it gives the idle text, and as FactsOf.
[[nodiscard]] std::optional<PartFacts> FourBandFacts(std::string_view first, std::string_view second,
                                                     std::string_view multiplier, std::string_view tolerance,
                                                     const NumberFormat& format = {});
[[nodiscard]] std::optional<PartFacts> FiveBandFacts(std::string_view first, std::string_view second,
                                                     std::string_view third, std::string_view multiplier,
                                                     std::string_view tolerance, const NumberFormat& format = {});

// The facts behind an encoding: the value its bands show (D x 10^(n - 6),
// 470 Ohm for a typed 475 in four bands). Nothing for a refused value and for
// a code that is not complete (see HasCompleteCode), and as FactsOf.
[[nodiscard]] std::optional<PartFacts> EncodingFacts(const Encoding& encoding, std::string_view tolerance);

// Ohms as the decoder scales them, one blank before the unit: "0.47 Ohm",
// "4.465 K Ohm", "10 M Ohm".
[[nodiscard]] std::string OhmsText(const Decimal& ohms, const NumberFormat& format = {});

// "standard value in E3, E6, E12, E24, E192" or "not a standard value".
[[nodiscard]] std::string SeriesText(std::span<const Series> series);

// One line, the tooltip of a result line and the command line's second line:
// "4.465 K Ohm to 4.935 K Ohm; standard value in E3, E6, E12, E24, E192", or
// "4.56 K Ohm to 5.04 K Ohm; not a standard value; nearest E24: 4.7 K Ohm and 5.1 K Ohm".
[[nodiscard]] std::string Describe(const PartFacts& facts, const NumberFormat& format = {});

// What the windows call after each result, with the arguments of the call
// that produced it; nothing where the result line holds no value (the idle
// text, the prompt).
[[nodiscard]] std::optional<std::string> DescribeFourBands(std::string_view first, std::string_view second,
                                                           std::string_view multiplier, std::string_view tolerance,
                                                           const NumberFormat& format = {});
[[nodiscard]] std::optional<std::string> DescribeFiveBands(std::string_view first, std::string_view second,
                                                           std::string_view third, std::string_view multiplier,
                                                           std::string_view tolerance,
                                                           const NumberFormat& format = {});
[[nodiscard]] std::optional<std::string> DescribeEncoding(const Encoding& encoding, std::string_view tolerance,
                                                          const NumberFormat& format = {});

}  // namespace zarnik
