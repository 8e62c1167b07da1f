// SPDX-License-Identifier: MIT
#include "cli/MarkingCommands.h"

#include <functional>
#include <string_view>
#include <vector>

#include "model/BandCapacity.h"
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

// The tolerance list's texts, with or without their leading "_+".
std::string ToleranceOf(const std::string& word)
{
    std::vector<AcceptedWord> accepted;
    for (const std::string_view text : ToleranceTexts()) {
        accepted.push_back({std::string(text.substr(2)), std::string(text)});
    }
    return std::string(
        ToleranceTexts()[Accepted(word, accepted, "a tolerance", "accepted", " (with or without a leading _+)")]);
}

std::string CountWord(int n)
{
    constexpr std::string_view kNames[] = {"no",   "one", "two",   "three", "four",
                                           "five", "six", "seven", "eight", "nine"};
    return n >= 0 && n < 10 ? std::string(kNames[n]) : std::to_string(n);
}

// Why the bands cannot carry the value exactly, and what would carry it;
// nothing where they can.
// Six bands (--tc) carry what five do, and four bands have no coefficient.
std::optional<std::string> WhyNotCarried(const Decimal& ohms, std::string_view typed, bool five, bool six)
{
    const Fit fit = FitOf(ohms, five);
    const BandCapacity capacity = CapacityOf(five);
    const std::string bands = six ? "six bands" : five ? "five bands" : "four bands";
    const bool otherCarries = !six && FitOf(ohms, !five) == Fit::Carried;
    const std::string other = five ? "four bands carry it: leave out --five" : "five bands carry it: use --five";
    switch (fit) {
    case Fit::Carried: return std::nullopt;
    case Fit::NotPositive:
        return std::string(typed) + " is not above zero; " + bands + " carry " + OhmsText(capacity.smallest, kPoint) +
               " to " + OhmsText(capacity.largest, kPoint);
    case Fit::TooSmall:
        return std::string(typed) + " is below " + OhmsText(capacity.smallest, kPoint) + ", the smallest value " +
               bands + " carry" + (otherCarries ? "; " + other : "");
    case Fit::TooLarge:
        return std::string(typed) + " is above " + OhmsText(capacity.largest, kPoint) + ", the largest value " + bands +
               " carry" + (otherCarries ? "; " + other : "");
    case Fit::TooManyDigits: break;
    }
    std::string why = std::string(typed) + " has " + CountWord(SignificantDigits(ohms)) + " significant digits; " +
                      bands + " carry " + CountWord(capacity.digits) + ": ";
    if (otherCarries) {
        return why + (five ? "leave out --five" : "use --five");
    }
    const Rounded rounded = RoundedTo(ohms, capacity.digits);
    std::vector<std::string> carried;
    for (const Decimal& value : {rounded.below, rounded.above}) {
        if (FitOf(value, five) == Fit::Carried) {
            carried.push_back(OhmsText(value, kPoint));
        }
    }
    return why + "round it" + (carried.empty() ? "" : " to " + carried.front()) +
           (carried.size() > 1 ? " or " + carried.back() : "");
}

// The band colours a, b, (CG,) c, d of the encoding.
std::vector<std::string> BandNames(const Encoding& encoding, bool five)
{
    const auto name = [](const ColourCode* colour, Band band) {
        return std::string((colour ? *colour : EncoderStartColour(band)).name);
    };
    std::vector<std::string> names{name(encoding.first, Band::First), name(encoding.second, Band::Second)};
    if (five) {
        names.push_back(name(encoding.third, Band::Third));
    }
    names.push_back(name(encoding.multiplier, Band::Multiplier));
    names.push_back(encoding.toleranceShown ? name(encoding.tolerance, Band::Tolerance) : "none");
    return names;
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

Answer Encode(const Words& given)
{
    const std::vector<std::string> words = WithUnitJoined(given.plain, 1);
    if (words.size() != 3) {
        throw WrongWord("encode takes VALUE UNIT TOLERANCE, not " + Echoed(Joined(given.plain)));
    }
    const Unit& unit = UnitOf(words[1]);
    const Decimal ohms = OhmsOf(words[0], unit);
    const std::string tolerance = ToleranceOf(words[2]);
    // The coefficient's band goes after five bands.
    const ColourCode* coefficient = given.Has("tc") ? &CoefficientColour(given.Value("tc", "")) : nullptr;
    const bool five = given.Has("five") || coefficient;
    const std::string typed = DecimalText(*ReadDecimal(words[0], kPoint), kPoint) + " " + std::string(unit.text);
    if (const auto why = WhyNotCarried(ohms, typed, five, coefficient)) {
        throw Refusal(*why);
    }

    // Encoded in ohms, so that the unit it was written in makes no difference.
    const std::string value = DecimalText(ohms, kPoint);
    const Encoding encoding =
        five ? EncodeFiveBands(value, "Ohm", tolerance, kPoint) : EncodeFourBands(value, "Ohm", tolerance, kPoint);
    const auto facts = EncodingFacts(encoding, tolerance);
    if (encoding.resultText == kPromptText || !facts || facts->ohms != ohms) {
        throw Refusal(typed + " gets no complete code in " + (coefficient ? "six" : five ? "five" : "four") + " bands");
    }
    std::vector<std::string> bands = BandNames(encoding, five);
    const std::optional<int> ppm = coefficient ? TemperatureCoefficient(*coefficient) : std::nullopt;
    if (coefficient) {
        bands.emplace_back(coefficient->name);
    }
    Answer answer;
    if (!given.json) {
        answer.lines = {encoding.resultText, Joined(bands)};
        if (ppm) {
            answer.lines.push_back(CoefficientLine(ppm));
        }
        answer.lines.push_back(Describe(*facts, kPoint));
        return answer;
    }
    answer.json = FactsObject(encoding.resultText, facts);
    std::vector<std::string> bandStrings;
    for (const std::string& band : bands) {
        bandStrings.push_back(JsonString(band));
    }
    answer.json["bands"] = JsonArray(bandStrings);
    if (ppm) {
        answer.json["tc_ppm"] = std::to_string(*ppm);
    }
    return answer;
}

Answer Nearest(const Words& given)
{
    const std::vector<std::string> words = WithUnitJoined(given.plain, 1);
    if (words.size() != 2) {
        throw WrongWord("nearest takes VALUE UNIT, not " + Echoed(Joined(given.plain)));
    }
    const std::string seriesWord = given.Value("series", "E24");
    const std::optional<Series> series = SeriesByName(seriesWord);
    if (!series) {
        throw WrongWord(Echoed(seriesWord) + " is not a series; accepted: E3 E6 E12 E24 E48 E96 E192");
    }
    const Decimal ohms = OhmsOf(words[0], UnitOf(words[1]));
    const auto neighbours = NearestStandard(ohms, *series);
    if (!neighbours) {
        throw WrongWord(Echoed(words[0]) + " is not above zero; nearest takes a resistance above zero");
    }
    const std::vector<Series> in = SeriesOf(ohms);
    Answer answer;
    answer.lines = {"nearest " + std::string(SeriesName(*series)) + ": " + OhmsText(neighbours->below, kPoint) +
                        " and " + OhmsText(neighbours->above, kPoint),
                    SeriesText(in)};
    if (!given.json) {
        return answer;
    }
    answer.json = FactsObject(answer.lines[0], std::nullopt);
    answer.json["description"] = JsonString(answer.lines[1]);
    answer.json["ohms"] = JsonNumber(ohms);
    answer.json["series"] = SeriesArray(in);
    answer.json["nearest"] = NearestObject({{*series, *neighbours}});
    return answer;
}

}  // namespace zarnik::cli
