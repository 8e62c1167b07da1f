// SPDX-License-Identifier: MIT
// Arbitrary texts through the colour-code model: number reading and writing,
// both decodings and both encodings, exact decimals, the standard values and
// the descriptions of results, with the point, the comma and the Arabic
// decimal separator (U+066B). Besides crashes and undefined behaviour it
// checks what the windows rely on: every finite number the model writes reads
// back to the same text, and every result line is the idle text, the prompt
// or ends with the tolerance text it was given; that an exact decimal is the
// number Parse reads and writes back to itself; that the nearest standard
// values enclose the value and are members; that a tolerance range encloses
// the value; and that only results holding a value get a description.
// Each text is also read as a printed code of a resistor, a capacitor and an
// inductor, and as a dielectric: every reading is written back in its own
// system and reads again to the same value. The bytes of the multiplier text pick up to seven
// band colours, read from both ends. The whole input is also read as a
// parts list, in pieces of 7 bytes and in one: both give the same rows,
// their lines ascend, and every row a part has is checked to its flags.
//
// The input is split at line feeds into up to seven texts: value, unit,
// tolerance, first, second and third digit text, multiplier text.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "model/CapacitorCodes.h"
#include "model/Decoding.h"
#include "model/Dielectrics.h"
#include "model/Encoding.h"
#include "model/InductorCodes.h"
#include "model/Markings.h"
#include "model/NumberText.h"
#include "model/PartsList.h"
#include "model/ResultFacts.h"
#include "model/SmdCodes.h"
#include "model/StandardValues.h"

namespace {

using namespace zarnik;

void Check(bool condition, const char* what, std::string_view detail)
{
    if (!condition) {
        std::fprintf(stderr, "model fuzzer: %s: [%.*s]\n", what, static_cast<int>(detail.size()), detail.data());
        std::abort();
    }
}

// The largest double whose 15-digit text does not round up past the largest
// finite double: above it NumberText writes a number too large to read.
constexpr double kLargestReadable = 1.79769313486231e308;

void CheckNumber(std::string_view text, const NumberFormat& format)
{
    const auto value = Parse(text, format);
    if (!value) {
        return;
    }
    Check(std::isfinite(*value), "Parse gave a value that is not finite", text);
    if (std::abs(*value) > kLargestReadable) {
        return;
    }
    const std::string written = NumberText(*value, format);
    const auto reread = Parse(written, format);
    Check(reread.has_value(), "NumberText wrote a text Parse cannot read", written);
    Check(NumberText(*reread, format) == written, "NumberText does not read back to itself", written);
}

bool EndsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

void CheckDecoding(const std::string& result, std::string_view tolerance)
{
    Check(result == kIdleText || EndsWith(result, std::string("    ").append(tolerance)),
          "decoding result is neither the idle text nor ends with the tolerance", result);
}

void CheckEncoding(const Encoding& encoding, std::string_view tolerance)
{
    const std::string& result = encoding.resultText;
    Check(result == kPromptText || EndsWith(result, std::string("    ").append(tolerance)),
          "encoding result is neither the prompt nor ends with the tolerance", result);
    if (result != kPromptText) {
        Check(encoding.microOhmText.find('E') == std::string::npos, "encoded a micro-ohm text in exponent form",
              encoding.microOhmText);
    }
}

void CheckDecimal(std::string_view text, std::string_view tolerance, const NumberFormat& format)
{
    const auto value = ReadDecimal(text, format);
    if (!value) {
        return;
    }
    const auto number = Parse(text, format);
    Check(number.has_value(), "ReadDecimal read a text Parse cannot read", text);
    Check(ToDouble(*value) == *number, "ReadDecimal and Parse read different numbers", text);
    const std::string written = DecimalText(*value, format);
    Check(ReadDecimal(written, format) == value, "DecimalText does not read back to itself", written);
    if (value->coefficient <= 0) {
        Check(SeriesOf(*value).empty(), "a value of zero or below is in a series", text);
        return;
    }
    for (const Series series : AllSeries()) {
        const auto neighbours = NearestStandard(*value, series);
        Check(neighbours.has_value(), "a positive value has no nearest standard values", text);
        Check(neighbours->below <= *value && *value <= neighbours->above, "neighbours do not enclose the value", text);
        Check(BelongsTo(neighbours->below, series) && BelongsTo(neighbours->above, series),
              "a neighbour is not in its series", text);
        Check(BelongsTo(*value, series) == (neighbours->below == *value), "membership and neighbours disagree", text);
    }
    if (const auto range = ToleranceRange(*value, tolerance)) {
        Check(range->min <= *value && *value <= range->max, "tolerance range does not enclose the value", text);
    }
}

void CheckCode(std::string_view text)
{
    for (const CodeReading& reading : ReadCode(text)) {
        Check(reading.ohms.coefficient >= 0, "a code read as a negative value", text);
        const auto written = reading.system == CodeSystem::Rkm ? RkmCode(reading.ohms, reading.tolerancePercent)
                                                               : CodeOf(reading.ohms, reading.system);
        Check(written.has_value(), "a reading is not written back", text);
        bool found = false;
        for (const CodeReading& again : ReadCode(*written)) {
            found = found || (again.system == reading.system && again.ohms == reading.ohms &&
                              again.tolerancePercent == reading.tolerancePercent);
        }
        Check(found, "a written code does not read back to its reading", *written);
        Check(!CodeReadingText(reading).empty(), "a reading has no text", text);
    }
}

void CheckPartCodes(std::string_view text)
{
    for (const CapacitorReading& reading : ReadCapacitorCode(text)) {
        Check(reading.farads.coefficient > 0, "a capacitor code read as no capacitance", text);
        const auto written = CapacitorCodeOf(reading.farads, reading.system);
        Check(written.has_value(), "a capacitor reading is not written back", text);
        bool found = false;
        for (const CapacitorReading& again : ReadCapacitorCode(*written)) {
            found = found || (again.system == reading.system && again.farads == reading.farads && !again.volts);
        }
        Check(found, "a written capacitor code does not read back to its reading", *written);
        Check(!CapacitorReadingText(reading).empty(), "a capacitor reading has no text", text);
    }
    for (const InductorReading& reading : ReadInductorCode(text)) {
        Check(reading.henries.coefficient > 0, "an inductor code read as no inductance", text);
        const auto written = InductorCodeOf(reading.henries, reading.system);
        Check(written.has_value(), "an inductor reading is not written back", text);
        bool found = false;
        for (const InductorReading& again : ReadInductorCode(*written)) {
            found = found || (again.system == reading.system && again.henries == reading.henries);
        }
        Check(found, "a written inductor code does not read back to its reading", *written);
        if (const auto bands = InductorBands(reading.henries)) {
            Check(ReadInductorBands(*bands)->henries == reading.henries, "inductor bands do not read back", text);
        }
    }
    if (const auto dielectric = ReadDielectric(text)) {
        Check(dielectric->dielectricClass == 1 || dielectric->minCelsius < dielectric->maxCelsius,
              "a class 2 dielectric's range is empty", text);
        Check(!DielectricText(*dielectric).empty(), "a dielectric has no text", text);
    }
}

void CheckBands(std::string_view bytes)
{
    const auto colours = MarkingColours();
    std::vector<const ColourCode*> bands;
    for (const char byte : bytes.substr(0, 7)) {
        const auto pick = static_cast<unsigned char>(byte) % (colours.size() + 1);
        bands.push_back(pick < colours.size() ? colours[pick] : nullptr);
    }
    const auto reading = ReadBands(bands);
    if (reading) {
        Check(reading->ohms.coefficient >= 0, "bands read as a negative value", bytes);
        Check(EndsWith(ReadingText(*reading), reading->toleranceText) || bands.size() == 1,
              "a band reading's line does not end with its tolerance", bytes);
    }
    const std::vector<const ColourCode*> reversed(bands.rbegin(), bands.rend());
    const auto other = ReadFromOtherEnd(reversed);
    Check(other.has_value() == (reading.has_value() && bands.size() > 1), "the other end of the other end differs",
          bytes);
}

}  // namespace

// The rows of a parts list, one line each: its line, part, value and flags.
static std::string ListRows(std::string_view input, std::size_t piece)
{
    PartsListReader reader(TextSource(std::string(input), piece));
    CheckedPart part;
    std::string rows;
    long line = 0;
    while (reader.Next(part)) {
        Check(part.line > line, "parts-list lines ascend", input);
        line = part.line;
        const std::vector<std::string> flags = FlagWords(part);
        Check(part.unreadable.empty() || part.kind == PartKind::Other || !flags.empty(),
              "an unreadable part is flagged", input);
        if (part.value && part.series) {
            for (const auto& [series, neighbours] : part.series->nearest) {
                Check(neighbours.below <= *part.value && *part.value <= neighbours.above, "nearest values enclose",
                      input);
            }
        }
        rows += std::to_string(part.line) + " " + std::string(PartKindName(part.kind)) + " " +
                (part.value ? DecimalText(*part.value) : "-") + " " + FlagNote(part) + " " + BandsText(part.bands) +
                "\n";
    }
    return rows + reader.Fatal();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::array<std::string_view, 7> texts{};
    std::size_t begin = 0;
    for (std::size_t i = 0; i < texts.size() && begin <= input.size(); ++i) {
        const std::size_t end = i + 1 == texts.size() ? input.size() : input.find('\n', begin);
        texts[i] = input.substr(begin, (end == std::string_view::npos ? input.size() : end) - begin);
        begin = end == std::string_view::npos ? input.size() + 1 : end + 1;
    }
    const auto& [value, unit, tolerance, first, second, third, multiplier] = texts;
    Check(ListRows(input, 7) == ListRows(input, CsvReader::kBlock), "a parts list reads alike in any pieces", input);

    for (const std::string_view text : texts) {
        CheckCode(text);
        CheckPartCodes(text);
    }
    CheckBands(multiplier);

    static const NumberFormat kFormats[] = {{"."}, {","}, {"\u066B"}};
    for (const NumberFormat& format : kFormats) {
        for (const std::string_view text : texts) {
            CheckNumber(text, format);
        }
        CheckEncoding(EncodeFourBands(value, unit, tolerance, format), tolerance);
        CheckEncoding(EncodeFiveBands(value, unit, tolerance, format), tolerance);
        CheckDecoding(DecodeFourBands(first, second, multiplier, tolerance, format), tolerance);
        CheckDecoding(DecodeFiveBands(first, second, third, multiplier, tolerance, format), tolerance);

        for (const std::string_view text : texts) {
            CheckDecimal(text, tolerance, format);
        }
        if (DescribeFourBands(first, second, multiplier, tolerance, format)) {
            Check(DecodeFourBands(first, second, multiplier, tolerance, format) != kIdleText,
                  "described a four-band result that is the idle text", first);
        }
        if (DescribeFiveBands(first, second, third, multiplier, tolerance, format)) {
            Check(DecodeFiveBands(first, second, third, multiplier, tolerance, format) != kIdleText,
                  "described a five-band result that is the idle text", first);
        }
        for (const Encoding& encoding :
             {EncodeFourBands(value, unit, tolerance, format), EncodeFiveBands(value, unit, tolerance, format)}) {
            if (DescribeEncoding(encoding, tolerance, format)) {
                Check(encoding.resultText != kPromptText && HasCompleteCode(encoding),
                      "described an encoding that holds no value", encoding.resultText);
            }
        }
    }
    return 0;
}
