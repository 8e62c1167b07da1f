// SPDX-License-Identifier: MIT
#include "cli/PartCommands.h"

#include <string>
#include <string_view>
#include <vector>

#include "cli/MarkingCommands.h"
#include "model/CapacitorCodes.h"
#include "model/Dielectrics.h"
#include "model/InductorCodes.h"
#include "model/Markings.h"
#include "model/ResultFacts.h"
#include "model/StandardValues.h"
#include "model/UnitScale.h"

namespace zarnik::cli {

namespace {

enum class Part { Resistor, Capacitor, Inductor };

Part PartOf(const Words& given)
{
    static const AcceptedWord kParts[] = {{"resistor", {}}, {"capacitor", {}}, {"inductor", {}}};
    return Part(Accepted(given.Value("part", "resistor"), kParts, "a part"));
}

std::string JsonText(const std::optional<std::string>& text) { return text ? JsonString(*text) : "null"; }

std::string UnitNames(UnitFamily family)
{
    std::string names;
    for (const ScaleUnit& unit : family) {
        names += (names.empty() ? "" : " ") + std::string(unit.text);
    }
    return names;
}

// The value in the family's base unit, exactly; a wrong word for a unit or
// number it does not take, or one not above zero.
Decimal ValueOf(const std::vector<std::string>& words, UnitFamily family, std::string_view quantity)
{
    const ScaleUnit* unit = UnitByText(words[1], family);
    if (unit == nullptr) {
        throw WrongWord(Echoed(words[1]) + " is not a unit of " + std::string(quantity) +
                        "; accepted: " + UnitNames(family) + " (u for \u00B5)");
    }
    const auto typed = Parse(words[0], kPoint) ? ReadDecimal(words[0], kPoint) : std::nullopt;
    if (!typed) {
        throw WrongWord(Echoed(words[0]) +
                        " is not a number zarnik holds exactly; VALUE is written with '.' as the "
                        "decimal separator, as 4.7");
    }
    const auto value = Shifted(*typed, unit->exponent);
    if (!value || value->coefficient <= 0) {
        throw WrongWord(Echoed(words[0] + " " + words[1]) + " is no " + std::string(quantity) +
                        " zarnik holds: VALUE is above zero, within 10^-" + std::to_string(kMaxDecimalExponent) +
                        " to 10^" + std::to_string(kMaxDecimalExponent) + " of the base unit");
    }
    return *value;
}

JsonObject CapacitorObject(const CapacitorReading& reading)
{
    JsonObject object{{"system", JsonString(CapacitorSystemName(reading.system))},
                      {"farads", JsonNumber(reading.farads)}};
    const auto& tolerance = reading.tolerance;
    using Kind = CapacitorTolerance::Kind;
    if (tolerance && tolerance->kind == Kind::Farads) {
        object["tolerance_farads"] = JsonNumber(tolerance->value);
    } else if (tolerance && tolerance->kind == Kind::Asymmetric) {
        object["tolerance_percent_min"] = JsonNumber(tolerance->minPercent);
        object["tolerance_percent_max"] = JsonNumber(tolerance->maxPercent);
    } else {
        object["tolerance_percent"] = Ohms(tolerance ? std::optional(tolerance->value) : std::nullopt);
    }
    object["volts"] = Ohms(reading.volts);
    object["text"] = JsonString(CapacitorReadingText(reading, kPoint));
    return object;
}

JsonObject InductorObject(const InductorReading& reading)
{
    return {{"system", JsonString(InductorSystemName(reading.system))},
            {"henries", JsonNumber(reading.henries)},
            {"tolerance_percent", Ohms(reading.tolerancePercent)},
            {"note", JsonText(InductorReadingNote(reading))},
            {"text", JsonString(InductorReadingText(reading, kPoint))}};
}

std::string ColourNames(const std::vector<const ColourCode*>& bands, bool json)
{
    std::vector<std::string> names;
    for (const ColourCode* colour : bands) {
        names.push_back(json ? JsonString(WordOf(*colour)) : std::string(WordOf(*colour)));
    }
    return json ? JsonArray(names) : Joined(names);
}

}  // namespace

Answer ReadPartCode(const Words& given)
{
    const Part part = PartOf(given);
    if (part == Part::Resistor) {
        return ReadPrintedCode(given);
    }
    const bool capacitor = part == Part::Capacitor;
    if (given.plain.size() != 1) {
        throw WrongWord(std::string("code takes one CODE, as ") +
                        (capacitor ? "104, 4n7 or 2A474J" : "4R7, 47N or 101") + ", not " +
                        std::to_string(given.plain.size()) + " words: " + Echoed(Joined(given.plain)));
    }
    const std::string code(TrimBlanks(given.plain[0]));
    Answer answer;
    std::vector<std::string> list;
    if (capacitor) {
        for (const CapacitorReading& reading : ReadCapacitorCode(code)) {
            list.push_back(CapacitorObject(reading).Text());
            answer.lines.push_back(CapacitorReadingText(reading, kPoint));
        }
    } else {
        for (const InductorReading& reading : ReadInductorCode(code)) {
            list.push_back(InductorObject(reading).Text());
            answer.lines.push_back(InductorReadingText(reading, kPoint));
        }
    }
    if (list.empty()) {
        const std::string dielectric =
            capacitor && ReadDielectric(code) ? "; it is a dielectric code: zarnik dielectric " + code : "";
        throw Refusal(Echoed(given.plain[0]) +
                      (capacitor ? " is no capacitor code: 3-digit pF (104, 479), pF digits (47), R pF (4R7), "
                                   "IEC 60062 (4n7, p68), with a tolerance letter (104K) or a voltage code (2A474J)"
                                 : " is no inductor code: R \u00B5H (4R7, R10), N nH (8N2, 47N), 3-digit \u00B5H "
                                   "(101), with a tolerance letter (4R7M)") +
                      dielectric);
    }
    if (given.json) {
        answer.json = {{"code", JsonString(code)},
                       {"part", JsonString(capacitor ? "capacitor" : "inductor")},
                       {"readings", JsonArray(list)}};
    }
    return answer;
}

Answer WritePartCodes(const Words& given)
{
    const Part part = PartOf(given);
    if (part == Part::Resistor) {
        return WritePrintedCodes(given);
    }
    const bool capacitor = part == Part::Capacitor;
    if (given.plain.size() != 2) {
        throw WrongWord(std::string("codes takes VALUE UNIT, as ") + (capacitor ? "4.7 nF" : "4.7 uH") + ", not " +
                        Echoed(Joined(given.plain)));
    }
    const Decimal value =
        ValueOf(given.plain, capacitor ? FaradUnits() : HenryUnits(), capacitor ? "capacitance" : "inductance");
    const std::vector<Series> series = SeriesOf(value);
    Answer answer;
    const auto line = [&](std::string_view system, const std::optional<std::string>& code) {
        answer.lines.push_back(std::string(system) + ": " + code.value_or("none"));
    };
    if (capacitor) {
        const auto code = [&](CapacitorSystem system) { return CapacitorCodeOf(value, system); };
        for (const CapacitorSystem system : CapacitorSystems()) {
            line(CapacitorSystemName(system), code(system));
        }
        answer.json = {{"farads", JsonNumber(value)},
                       {"three_digit", JsonText(code(CapacitorSystem::ThreeDigit))},
                       {"pf_digits", JsonText(code(CapacitorSystem::Digits))},
                       {"r_pf", JsonText(code(CapacitorSystem::RPoint))},
                       {"iec60062", JsonText(code(CapacitorSystem::Iec))}};
    } else {
        const auto code = [&](InductorSystem system) { return InductorCodeOf(value, system); };
        for (const InductorSystem system : InductorCodeSystems()) {
            line(InductorSystemName(system), code(system));
        }
        const auto bands = InductorBands(value);
        answer.lines.push_back(bands ? "bands: " + ColourNames(*bands, false) + ", then the tolerance band (" +
                                           InductorToleranceColoursText() + ")"
                                     : std::string("bands: none"));
        answer.json = {{"henries", JsonNumber(value)},
                       {"r_uh", JsonText(code(InductorSystem::RPoint))},
                       {"n_nh", JsonText(code(InductorSystem::NPoint))},
                       {"three_digit", JsonText(code(InductorSystem::ThreeDigit))},
                       {"bands", bands ? ColourNames(*bands, true) : "null"}};
    }
    answer.lines.push_back(SeriesText(series));
    answer.json["series"] = SeriesArray(series);
    answer.json["description"] = JsonString(SeriesText(series));
    if (!given.json) {
        answer.json = {};
    }
    return answer;
}

Answer DecodePart(const Words& given)
{
    const Part part = PartOf(given);
    if (part == Part::Resistor) {
        return DecodeMarking(given);
    }
    if (part == Part::Capacitor) {
        throw WrongWord(
            "decode reads the bands of resistors and inductors; capacitors: zarnik code CODE --part "
            "capacitor");
    }
    const std::vector<std::string>& words = given.plain;
    if (words.size() != 3 && words.size() != 4) {
        throw WrongWord("decode --part inductor takes 3 colours (C1 C2 M) or 4 (C1 C2 M T), not " +
                        std::to_string(words.size()) + ": " + Echoed(Joined(words)));
    }
    std::vector<const ColourCode*> colours(MarkingColours().begin(), MarkingColours().end());
    colours.push_back(ColourByName("no band"));
    // Each word is checked at its place against bands that read; what the
    // place accepts is every colour that reads there.
    const std::vector<const ColourCode*> fits{ColourByName("Brown"), ColourByName("Black"), ColourByName("Black"),
                                              ColourByName("Gold")};
    constexpr const char* kPlaces[] = {"first digit", "second digit", "multiplier", "tolerance"};
    std::vector<const ColourCode*> bands;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::vector<const ColourCode*> trial(fits.begin(), fits.begin() + std::ptrdiff_t(words.size()));
        std::vector<const ColourCode*> fitting;
        std::vector<AcceptedWord> accepted;
        for (const ColourCode* colour : colours) {
            trial[i] = colour;
            if (ReadInductorBands(trial)) {
                fitting.push_back(colour);
                accepted.push_back({std::string(WordOf(*colour)), {}});
            }
        }
        bands.push_back(
            fitting[Accepted(words[i], accepted, std::string("a colour of an inductor's ") + kPlaces[i] + " band")]);
    }
    const InductorReading reading = *ReadInductorBands(bands);
    Answer answer;
    answer.lines = {InductorReadingText(reading, kPoint)};
    if (given.json) {
        answer.json = InductorObject(reading);
        answer.json["bands"] = ColourNames(bands, true);
    }
    return answer;
}

Answer ReadDielectricCode(const Words& given)
{
    if (given.plain.size() != 1) {
        throw WrongWord("dielectric takes one CODE, as X7R or C0G, not " + Echoed(Joined(given.plain)));
    }
    const std::string code(TrimBlanks(given.plain[0]));
    const auto dielectric = ReadDielectric(code);
    if (!dielectric) {
        throw Refusal(Echoed(given.plain[0]) +
                      " is no EIA-198 dielectric code: class 2 as X7R, X5R, Y5V, Z5U; class 1 as C0G (NP0), U2J");
    }
    Answer answer;
    answer.lines = {code + ": " + DielectricText(*dielectric, kPoint)};
    if (!given.json) {
        return answer;
    }
    answer.json = {{"code", JsonString(code)},
                   {"class", std::to_string(dielectric->dielectricClass)},
                   {"text", JsonString(DielectricText(*dielectric, kPoint))}};
    if (dielectric->dielectricClass == 2) {
        answer.json["min_celsius"] = std::to_string(dielectric->minCelsius);
        answer.json["max_celsius"] = std::to_string(dielectric->maxCelsius);
        answer.json["change_percent_min"] = JsonNumber(dielectric->changePercentMin);
        answer.json["change_percent_max"] = JsonNumber(dielectric->changePercentMax);
    } else {
        answer.json["ppm_per_kelvin"] = JsonNumber(dielectric->ppmPerKelvin);
        answer.json["ppm_tolerance"] = std::to_string(dielectric->ppmTolerance);
    }
    return answer;
}

}  // namespace zarnik::cli
