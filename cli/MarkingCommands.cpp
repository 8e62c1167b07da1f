// SPDX-License-Identifier: MIT
#include "cli/MarkingCommands.h"

#include <QJsonArray>
#include <charconv>
#include <cstdio>
#include <functional>
#include <string_view>

#include "model/ColourTable.h"
#include "model/Encoding.h"
#include "model/Markings.h"
#include "model/ResultFacts.h"
#include "model/SmdCodes.h"
#include "model/StandardValues.h"

namespace zarnik::cli {

namespace {

// Scripts get the same text in every locale.
const NumberFormat kPoint{"."};

constexpr int kRefused = 1;
constexpr int kWrongWord = 2;
constexpr qsizetype kLongestEcho = 40;

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

bool SameWord(const QString& word, std::string_view accepted)
{
    return word.compare(Q(accepted), Qt::CaseInsensitive) == 0;
}

MarkingAnswer Failed(int status, std::string note)
{
    MarkingAnswer answer;
    answer.status = status;
    answer.json.insert(QStringLiteral("error"), QString::fromStdString(note));
    if (status == kRefused) {
        answer.json.insert(QStringLiteral("refused"), true);
    }
    answer.note = std::move(note);
    return answer;
}

MarkingAnswer WrongWord(std::string note) { return Failed(kWrongWord, std::move(note)); }

std::string EchoedWords(const QStringList& words) { return Echoed(words.join(QLatin1Char(' '))); }

QJsonValue Number(const std::optional<Decimal>& value)
{
    return value ? QJsonValue(ToDouble(*value)) : QJsonValue(QJsonValue::Null);
}

QJsonValue Text(const std::optional<std::string>& text)
{
    return text ? QJsonValue(QString::fromStdString(*text)) : QJsonValue(QJsonValue::Null);
}

QJsonArray SeriesArray(const std::vector<Series>& series)
{
    QJsonArray names;
    for (const Series s : series) {
        names.append(Q(SeriesName(s)));
    }
    return names;
}

// The keys decode has always written, null where the result holds no value.
QJsonObject FactsJson(const std::string& result, const std::optional<PartFacts>& facts)
{
    QJsonObject json;
    json.insert(QStringLiteral("result"), QString::fromStdString(result));
    json.insert(QStringLiteral("description"), Text(facts ? std::optional(Describe(*facts, kPoint)) : std::nullopt));
    json.insert(QStringLiteral("ohms"), Number(facts ? std::optional(facts->ohms) : std::nullopt));
    json.insert(QStringLiteral("min_ohms"), Number(facts ? std::optional(facts->range.min) : std::nullopt));
    json.insert(QStringLiteral("max_ohms"), Number(facts ? std::optional(facts->range.max) : std::nullopt));
    json.insert(QStringLiteral("series"), SeriesArray(facts ? facts->series : std::vector<Series>{}));
    QJsonObject nearest;
    for (const auto& [series, neighbours] : facts ? facts->nearest : decltype(facts->nearest){}) {
        nearest.insert(Q(SeriesName(series)), QJsonArray{ToDouble(neighbours.below), ToDouble(neighbours.above)});
    }
    json.insert(QStringLiteral("nearest"), nearest);
    return json;
}

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

std::vector<const Place*> PlacesOf(qsizetype count)
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

// The tolerance band's "no band" is written "none".
const ColourCode& NoBand() { return *ColourByName("no band"); }
std::string_view WordOf(const ColourCode& colour) { return IsNoBand(colour) ? "none" : colour.name; }

// The colour of a word at its place; the message where it does not fit.
const ColourCode* ColourAt(const Place& place, const QString& word, std::string& wrong)
{
    std::vector<const ColourCode*> colours(MarkingColours().begin(), MarkingColours().end());
    colours.push_back(&NoBand());
    std::string accepted;
    for (const ColourCode* colour : colours) {
        if (!place.takes(*colour)) {
            continue;
        }
        if (SameWord(word, WordOf(*colour))) {
            return colour;
        }
        accepted += accepted.empty() ? "" : " ";
        accepted += WordOf(*colour);
    }
    wrong = Echoed(word) + " is not a colour of the " + place.title + "; accepted: " + accepted;
    return nullptr;
}

QJsonArray NamesArray(const BandReading& reading)
{
    QJsonArray names;
    for (const ColourCode* colour : reading.bands) {
        names.append(Q(colour->name));
    }
    return names;
}

QJsonValue Coefficient(const std::optional<int>& ppm) { return ppm ? QJsonValue(*ppm) : QJsonValue(QJsonValue::Null); }

std::string CoefficientLine(const std::optional<int>& ppm)
{
    return "temperature coefficient: " + (ppm ? TemperatureCoefficientText(*ppm) : std::string("none"));
}

}  // namespace

std::string Echoed(const QString& word)
{
    std::string text = "'";
    qsizetype shown = 0;
    for (const char32_t c : word.toUcs4()) {
        if (shown++ == kLongestEcho) {
            text += "...";
            break;
        }
        if (c == '\n' || c == '\t' || c == '\r') {
            text += c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r";
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", unsigned(c));
            text += escaped;
        } else {
            text += QString::fromUcs4(&c, 1).toStdString();
        }
    }
    return text + "'";
}

MarkingAnswer DecodeMarking(const QStringList& words)
{
    const std::vector<const Place*> places = PlacesOf(words.size());
    if (places.empty()) {
        return WrongWord(
            "decode takes 1 colour (Black, the zero-ohm link), 3 (C1 C2 M), 4 (C1 C2 M T), 5 (C1 C2 C3 M "
            "T) or 6 (C1 C2 C3 M T TC), not " +
            std::to_string(words.size()) + ": " + EchoedWords(words));
    }
    std::vector<const ColourCode*> bands;
    for (qsizetype i = 0; i < words.size(); ++i) {
        std::string wrong;
        bands.push_back(ColourAt(*places[std::size_t(i)], words[i], wrong));
        if (!bands.back()) {
            return WrongWord(wrong);
        }
    }
    // Every band fits its place, so the bands read.
    const auto reading = ReadBands(bands);
    if (!reading) {
        return WrongWord("decode cannot read " + EchoedWords(words));
    }
    const std::string result = ReadingText(*reading, kPoint);
    const auto facts = reading->ohms.coefficient > 0 ? FactsOf(reading->ohms, reading->toleranceText) : std::nullopt;
    const auto other = ReadFromOtherEnd(bands);

    MarkingAnswer answer;
    // Range and series stay the last line, as for encode.
    answer.lines = {result, CoefficientLine(reading->tcPpm),
                    other ? "other end: " + BandNamesText(*other) + " = " + ReadingText(*other, kPoint)
                          : std::string("other end: none; the bands read one way only")};
    if (facts) {
        answer.lines.push_back(Describe(*facts, kPoint));
    }
    answer.json = FactsJson(result, facts);
    answer.json.insert(QStringLiteral("tc_ppm"), Coefficient(reading->tcPpm));
    QJsonValue reversed(QJsonValue::Null);
    if (other) {
        reversed = QJsonObject{{QStringLiteral("bands"), NamesArray(*other)},
                               {QStringLiteral("ohms"), ToDouble(other->ohms)},
                               {QStringLiteral("result"), QString::fromStdString(ReadingText(*other, kPoint))},
                               {QStringLiteral("tc_ppm"), Coefficient(other->tcPpm)}};
    }
    answer.json.insert(QStringLiteral("reversed"), reversed);
    return answer;
}

MarkingAnswer ReadPrintedCode(const QStringList& words)
{
    if (words.size() != 1) {
        return WrongWord("code takes one CODE, as 472, 4R7, 4701, 01C or 4K7J, not " + std::to_string(words.size()) +
                         " words: " + EchoedWords(words));
    }
    const std::string code = words[0].trimmed().toStdString();
    const std::vector<CodeReading> readings = ReadCode(code);
    if (readings.empty()) {
        return Failed(kRefused, Echoed(words[0]) +
                                    " is no code of any system: 3-digit (472, 4R7), 4-digit (4701, 10R0), EIA-96 "
                                    "(01C) or RKM (4K7, 4K7J)");
    }
    MarkingAnswer answer;
    QJsonArray list;
    for (const CodeReading& reading : readings) {
        answer.lines.push_back(CodeReadingText(reading, kPoint));
        list.append(QJsonObject{{QStringLiteral("system"), Q(CodeSystemName(reading.system))},
                                {QStringLiteral("ohms"), ToDouble(reading.ohms)},
                                {QStringLiteral("tolerance_percent"), Number(reading.tolerancePercent)}});
    }
    answer.json.insert(QStringLiteral("code"), QString::fromStdString(code));
    answer.json.insert(QStringLiteral("readings"), list);
    return answer;
}

MarkingAnswer WritePrintedCodes(const QStringList& given)
{
    QStringList words = given;
    // "K Ohm" may come as one word or as two.
    if (words.size() == 3 && SameWord(words[2], "Ohm") && (SameWord(words[1], "K") || SameWord(words[1], "M"))) {
        words[1] += QStringLiteral(" Ohm");
        words.removeLast();
    }
    if (words.size() != 2) {
        return WrongWord("codes takes VALUE UNIT, as 4.7 K, not " + EchoedWords(given));
    }
    const std::string valueText = words[0].toStdString();
    if (!Parse(valueText, kPoint)) {
        return WrongWord(Echoed(words[0]) +
                         " is not a number; VALUE is written with '.' as the decimal separator, as 4.7");
    }
    const auto value = ReadDecimal(valueText, kPoint);
    if (!value) {
        return WrongWord(Echoed(words[0]) + " is not a value zarnik holds exactly; accepted: at most " +
                         std::to_string(kMaxDecimalDigits) + " significant digits, from 10^-" +
                         std::to_string(kMaxDecimalExponent) + " to 10^" + std::to_string(kMaxDecimalExponent));
    }
    if (value->coefficient < 0) {
        return WrongWord(Echoed(words[0]) + " is below zero; VALUE is a resistance, 0 or more");
    }
    const Unit* unit = nullptr;
    for (const Unit& candidate : Units()) {
        const std::string_view letter = candidate.text.substr(0, candidate.text.find(' '));
        if (SameWord(words[1], candidate.text) || (letter != candidate.text && SameWord(words[1], letter))) {
            unit = &candidate;
        }
    }
    if (!unit) {
        return WrongWord(Echoed(words[1]) + " is not a unit; accepted: Ohm, K, M, K Ohm, M Ohm");
    }
    const auto ohms = Shifted(*value, unit->exponent);
    if (!ohms) {
        return WrongWord(Echoed(given.join(QLatin1Char(' '))) + " is beyond 10^" + std::to_string(kMaxDecimalExponent) +
                         " Ohm");
    }
    const ValueCodes codes = CodesOf(*ohms);
    const std::vector<Series> series = SeriesOf(*ohms);
    MarkingAnswer answer;
    const auto line = [](std::string_view system, const std::optional<std::string>& code) {
        return std::string(system) + ": " + code.value_or("none");
    };
    answer.lines = {line("RKM", codes.rkm), line("3-digit", codes.smd3), line("4-digit", codes.smd4),
                    line("EIA-96", codes.eia96), SeriesText(series)};
    answer.json = QJsonObject{{QStringLiteral("ohms"), ToDouble(*ohms)},
                              {QStringLiteral("rkm"), Text(codes.rkm)},
                              {QStringLiteral("smd3"), Text(codes.smd3)},
                              {QStringLiteral("smd4"), Text(codes.smd4)},
                              {QStringLiteral("eia96"), Text(codes.eia96)},
                              {QStringLiteral("series"), SeriesArray(series)},
                              {QStringLiteral("description"), QString::fromStdString(SeriesText(series))}};
    return answer;
}

std::optional<std::string> AddTemperatureCoefficient(std::vector<std::string>& lines, QJsonObject& json,
                                                     const QString& ppm)
{
    const std::string text = ppm.toStdString();
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const ColourCode* colour =
        error == std::errc() && end == text.data() + text.size() ? ColourByTemperatureCoefficient(value) : nullptr;
    if (!colour) {
        std::string accepted;
        for (const ColourCode* entry : TemperatureCoefficientColours()) {
            accepted += (accepted.empty() ? "" : " ") + std::to_string(*TemperatureCoefficient(*entry));
        }
        return Echoed(ppm) + " is not a temperature coefficient; accepted (ppm/K): " + accepted;
    }
    if (lines.size() > 1) {
        lines[1] += " " + std::string(colour->name);
        lines.insert(lines.begin() + 2, CoefficientLine(value));
    }
    QJsonArray bands = json.value(QStringLiteral("bands")).toArray();
    bands.append(Q(colour->name));
    json.insert(QStringLiteral("bands"), bands);
    json.insert(QStringLiteral("tc_ppm"), value);
    return std::nullopt;
}

}  // namespace zarnik::cli
