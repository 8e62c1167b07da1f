// SPDX-License-Identifier: MIT
#include "cli/MarkingCommands.h"

#include <functional>
#include <string_view>
#include <vector>

#include "model/ColourTable.h"
#include "model/Encoding.h"
#include "model/Markings.h"
#include "model/ResultFacts.h"
#include "model/SmdCodes.h"
#include "model/StandardValues.h"

namespace zarnik::cli {

namespace {

std::string JsonText(const std::optional<std::string>& text) { return text ? JsonString(*text) : "null"; }

std::string JsonCoefficient(const std::optional<int>& ppm) { return ppm ? std::to_string(*ppm) : "null"; }

// A place on the body and the colours it takes.
struct Place {
    const char* title;
    std::function<bool(const ColourCode&)> takes;
};

const Place kZeroLink{"single band (the zero-ohm link)", [](const ColourCode& c) { return c.name == "Black"; }};
const Place kFirst{"first digit band", [](const ColourCode& c) { return c.digit.value_or(0) > 0; }};
const Place kSecond{"second digit band", [](const ColourCode& c) { return c.digit.has_value(); }};
const Place kThird{"third digit band", [](const ColourCode& c) { return c.digit.has_value(); }};
const Place kMultiplier{"multiplier band", [](const ColourCode& c) { return MultiplierExponent(c).has_value(); }};
const Place kTolerance{"tolerance band", [](const ColourCode& c) { return c.toleranceText.starts_with("_+"); }};
const Place kCoefficient{"temperature coefficient band",
                         [](const ColourCode& c) { return TemperatureCoefficient(c).has_value(); }};

std::vector<const Place*> PlacesOf(std::size_t count)
{
    switch (count) {
    case 1: return {&kZeroLink};
    case 3: return {&kFirst, &kSecond, &kMultiplier};
    case 4: return {&kFirst, &kSecond, &kMultiplier, &kTolerance};
    case 5: return {&kFirst, &kSecond, &kThird, &kMultiplier, &kTolerance};
    case 6: return {&kFirst, &kSecond, &kThird, &kMultiplier, &kTolerance, &kCoefficient};
    default: return {};
    }
}

// The colour of a word at its place; a wrong word where it does not fit.
const ColourCode& ColourAt(const Place& place, const std::string& word)
{
    std::vector<const ColourCode*> colours;
    std::vector<AcceptedWord> accepted;
    for (const ColourCode* colour : MarkingColours()) {
        if (place.takes(*colour)) {
            colours.push_back(colour);
        }
    }
    if (place.takes(*ColourByName("no band"))) {
        colours.push_back(ColourByName("no band"));
    }
    for (const ColourCode* colour : colours) {
        accepted.push_back({std::string(WordOf(*colour)), {}});
    }
    return *colours[Accepted(word, accepted, std::string("a colour of the ") + place.title)];
}

std::string NamesArray(const BandReading& reading)
{
    std::vector<std::string> names;
    for (const ColourCode* colour : reading.bands) {
        names.push_back(JsonString(colour->name));
    }
    return JsonArray(names);
}

std::string Trimmed(const std::string& word)
{
    const std::size_t first = word.find_first_not_of(" \t\r\n\f\v");
    return first == std::string::npos ? std::string()
                                      : word.substr(first, word.find_last_not_of(" \t\r\n\f\v") + 1 - first);
}

}  // namespace

std::string CoefficientLine(const std::optional<int>& ppm)
{
    return "temperature coefficient: " + (ppm ? TemperatureCoefficientText(*ppm) : std::string("none"));
}

const ColourCode& CoefficientColour(const std::string& ppm)
{
    std::vector<AcceptedWord> accepted;
    for (const ColourCode* entry : TemperatureCoefficientColours()) {
        accepted.push_back({std::to_string(*TemperatureCoefficient(*entry)), {}});
    }
    return *TemperatureCoefficientColours()[Accepted(ppm, accepted, "a temperature coefficient", "accepted (ppm/K)")];
}

Answer DecodeMarking(const Words& given)
{
    const std::vector<std::string>& words = given.plain;
    const std::vector<const Place*> places = PlacesOf(words.size());
    if (places.empty()) {
        throw WrongWord(
            "decode takes 1 colour (Black, the zero-ohm link), 3 (C1 C2 M), 4 (C1 C2 M T), 5 (C1 C2 C3 M "
            "T) or 6 (C1 C2 C3 M T TC), not " +
            std::to_string(words.size()) + ": " + Echoed(Joined(words)));
    }
    std::vector<const ColourCode*> bands;
    for (std::size_t i = 0; i < words.size(); ++i) {
        bands.push_back(&ColourAt(*places[i], words[i]));
    }
    // Every band fits its place, so the bands read.
    const auto reading = ReadBands(bands);
    if (!reading) {
        throw WrongWord("decode cannot read " + Echoed(Joined(words)));
    }
    const std::string result = ReadingText(*reading, kPoint);
    const auto facts = reading->ohms.coefficient > 0 ? FactsOf(reading->ohms, reading->toleranceText) : std::nullopt;
    const auto other = ReadFromOtherEnd(bands);

    const bool link = reading->bands.size() == 1;
    Answer answer;
    if (given.json) {
        answer.json = FactsObject(result, facts);
        if (link) {
            answer.json["ohms"] = JsonNumber(reading->ohms);
            answer.json["description"] = JsonString(kZeroOhmLinkDescription);
        }
        answer.json["tc_ppm"] = JsonCoefficient(reading->tcPpm);
        answer.json["reversed"] = other ? JsonObject{{"bands", NamesArray(*other)},
                                                     {"ohms", JsonNumber(other->ohms)},
                                                     {"result", JsonString(ReadingText(*other, kPoint))},
                                                     {"tc_ppm", JsonCoefficient(other->tcPpm)}}
                                              .Text()
                                        : "null";
        return answer;
    }
    // Range and series stay the last line, as for encode.
    answer.lines = {result, CoefficientLine(reading->tcPpm),
                    other ? "other end: " + BandNamesText(*other) + " = " + ReadingText(*other, kPoint)
                          : std::string("other end: none; the bands read one way only")};
    if (facts) {
        answer.lines.push_back(Describe(*facts, kPoint));
    } else if (link) {
        answer.lines.emplace_back(kZeroOhmLinkDescription);
    }
    return answer;
}

Answer ReadPrintedCode(const Words& given)
{
    const std::vector<std::string>& words = given.plain;
    if (words.size() != 1) {
        throw WrongWord("code takes one CODE, as 472, 4R7, 4701, 01C or 4K7J, not " + std::to_string(words.size()) +
                        " words: " + Echoed(Joined(words)));
    }
    const std::string code = Trimmed(words[0]);
    const std::vector<CodeReading> readings = ReadCode(code);
    if (readings.empty()) {
        throw Refusal(Echoed(words[0]) +
                      " is no code of any system: 3-digit (472, 4R7), 4-digit (4701, 10R0), EIA-96 (01C) or RKM "
                      "(4K7, 4K7J)");
    }
    Answer answer;
    std::vector<std::string> list;
    for (const CodeReading& reading : readings) {
        if (given.json) {
            list.push_back(JsonObject{{"system", JsonString(CodeSystemName(reading.system))},
                                      {"ohms", JsonNumber(reading.ohms)},
                                      {"tolerance_percent", Ohms(reading.tolerancePercent)}}
                               .Text());
        } else {
            answer.lines.push_back(CodeReadingText(reading, kPoint));
        }
    }
    if (given.json) {
        answer.json = {{"code", JsonString(code)}, {"readings", JsonArray(list)}};
    }
    return answer;
}

Answer WritePrintedCodes(const Words& given)
{
    const std::vector<std::string> words = WithUnitJoined(given.plain, 1);
    if (words.size() != 2) {
        throw WrongWord("codes takes VALUE UNIT, as 4.7 K, not " + Echoed(Joined(given.plain)));
    }
    const Decimal ohms = OhmsOf(words[0], UnitOf(words[1]));
    if (ohms.coefficient < 0) {
        throw WrongWord(Echoed(words[0]) + " is below zero; VALUE is a resistance, 0 or more");
    }
    const ValueCodes codes = CodesOf(ohms);
    const std::vector<Series> series = SeriesOf(ohms);
    Answer answer;
    if (given.json) {
        answer.json = {{"ohms", JsonNumber(ohms)},
                       {"rkm", JsonText(codes.rkm)},
                       {"smd3", JsonText(codes.smd3)},
                       {"smd4", JsonText(codes.smd4)},
                       {"eia96", JsonText(codes.eia96)},
                       {"series", SeriesArray(series)},
                       {"description", JsonString(SeriesText(series))}};
        return answer;
    }
    const auto line = [](std::string_view system, const std::optional<std::string>& code) {
        return std::string(system) + ": " + code.value_or("none");
    };
    answer.lines = {line("RKM", codes.rkm), line("3-digit", codes.smd3), line("4-digit", codes.smd4),
                    line("EIA-96", codes.eia96), SeriesText(series)};
    return answer;
}

}  // namespace zarnik::cli
