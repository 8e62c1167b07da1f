// SPDX-License-Identifier: MIT
#include "cli/Answer.h"

#include <algorithm>
#include <cstdio>

#include "model/Letters.h"
#include "model/ResultFacts.h"
#include "model/StandardValues.h"

namespace zarnik::cli {

namespace {

// The length of the UTF-8 sequence at `pos` and its code point; 0 where the
// bytes are no valid sequence.
std::size_t Utf8At(std::string_view text, std::size_t pos, char32_t& point)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || pos + length > text.size()) {
        return 0;
    }
    point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        point = (point << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
    return overlong || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000) ? 0 : length;
}

// A unit's one-letter form, "K" for "K Ohm"; "" for "Ohm".
std::string_view LetterOf(const Unit& unit)
{
    const auto blank = unit.text.find(' ');
    return blank == std::string_view::npos ? std::string_view() : unit.text.substr(0, blank);
}

}  // namespace

// A word as messages echo it: quoted, cut to 40 characters, with control
// characters and stray bytes escaped, so that nothing reaches the terminal
// raw and a huge argument does not flood it.
std::string Echoed(std::string_view word, int longest)
{
    std::string echo = "'";
    std::size_t pos = 0;
    for (int count = 0; pos < word.size(); ++count) {
        if (count == longest) {
            echo += "...";
            break;
        }
        char32_t point = 0;
        const std::size_t length = Utf8At(word, pos, point);
        char escape[16];
        if (length == 0) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(word[pos]));
            echo += escape;
            ++pos;
            continue;
        }
        if (point < 0x20 || (point >= 0x7F && point < 0xA0) || point == '\\') {
            const char* named = point == '\n'   ? "\\n"
                                : point == '\t' ? "\\t"
                                : point == '\r' ? "\\r"
                                : point == '\\' ? "\\\\"
                                                : nullptr;
            if (named == nullptr) {
                std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(point));
            }
            echo += named ? named : escape;
        } else {
            echo.append(word.substr(pos, length));
        }
        pos += length;
    }
    return echo + "'";
}

std::string FileNamed(std::string_view file) { return Echoed(file, 120); }

std::string Joined(std::span<const std::string> words)
{
    std::string joined;
    for (const std::string& word : words) {
        joined += (joined.empty() ? "" : " ") + word;
    }
    return joined;
}

bool SameWord(std::string_view word, std::string_view accepted) { return SameLetters(word, accepted); }

std::size_t Accepted(const std::string& word, std::span<const AcceptedWord> accepted, std::string_view notWhat,
                     std::string_view label, std::string_view note)
{
    std::string list;
    for (std::size_t i = 0; i < accepted.size(); ++i) {
        if (SameWord(word, accepted[i].shown) || (!accepted[i].alias.empty() && SameWord(word, accepted[i].alias))) {
            return i;
        }
        list += (list.empty() ? "" : " ") + accepted[i].shown;
    }
    throw WrongWord(Echoed(word) + " is not " + std::string(notWhat) + "; " + std::string(label) + ": " + list +
                    std::string(note));
}

// The tolerance band's no-band entry is written "none".
std::string_view WordOf(const ColourCode& colour)
{
    return colour.name == "no band" ? std::string_view("none") : colour.name;
}

// "K Ohm" may come as one word or as two.
std::vector<std::string> WithUnitJoined(std::vector<std::string> words, std::size_t unitAt)
{
    if (words.size() > unitAt + 1 && SameWord(words[unitAt + 1], "Ohm") &&
        (SameWord(words[unitAt], "K") || SameWord(words[unitAt], "M"))) {
        words[unitAt] += " Ohm";
        words.erase(words.begin() + std::ptrdiff_t(unitAt) + 1);
    }
    return words;
}

const Unit& UnitOf(const std::string& word)
{
    for (const Unit& unit : Units()) {
        const std::string_view letter = LetterOf(unit);
        if (SameWord(word, unit.text) || (!letter.empty() && SameWord(word, letter))) {
            return unit;
        }
    }
    throw WrongWord(Echoed(word) + " is not a unit; accepted: Ohm, K, M, K Ohm, M Ohm");
}

// The value in ohms, exactly: the same resistance whatever unit it is
// written in.
Decimal OhmsOf(const std::string& valueWord, const Unit& unit)
{
    if (!Parse(valueWord, kPoint)) {
        throw WrongWord(Echoed(valueWord) +
                        " is not a number; VALUE is written with '.' as the decimal separator, as 4.7");
    }
    const auto typed = ReadDecimal(valueWord, kPoint);
    const auto ohms = typed ? Shifted(*typed, unit.exponent) : std::nullopt;
    if (!ohms) {
        throw WrongWord(Echoed(valueWord) + " is not a value zarnik holds exactly; accepted: at most " +
                        std::to_string(kMaxDecimalDigits) + " significant digits, from 10^-" +
                        std::to_string(kMaxDecimalExponent) + " to 10^" + std::to_string(kMaxDecimalExponent));
    }
    return *ohms;
}

// Exact decimals are exact JSON numbers: 4.465, not 4.4649999...
std::string JsonNumber(const Decimal& value) { return DecimalText(value, kPoint); }

std::string Ohms(const std::optional<Decimal>& value) { return value ? JsonNumber(*value) : "null"; }

std::string SeriesArray(const std::vector<Series>& series)
{
    std::vector<std::string> names;
    for (const Series s : series) {
        names.push_back(JsonString(SeriesName(s)));
    }
    return JsonArray(names);
}

std::string NearestObject(const std::vector<std::pair<Series, Neighbours>>& nearest)
{
    JsonObject object;
    for (const auto& [series, neighbours] : nearest) {
        object[SeriesName(series)] = JsonArray({JsonNumber(neighbours.below), JsonNumber(neighbours.above)});
    }
    return object.Text();
}

// The keys every answer writes; the values are null where the result holds
// no value.
JsonObject FactsObject(const std::string& result, const std::optional<PartFacts>& facts)
{
    return {{"result", JsonString(result)},
            {"description", facts ? JsonString(Describe(*facts, kPoint)) : "null"},
            {"ohms", Ohms(facts ? std::optional(facts->ohms) : std::nullopt)},
            {"min_ohms", Ohms(facts ? std::optional(facts->range.min) : std::nullopt)},
            {"max_ohms", Ohms(facts ? std::optional(facts->range.max) : std::nullopt)},
            {"series", SeriesArray(facts ? facts->series : std::vector<Series>{})},
            {"nearest", NearestObject(facts ? facts->nearest : decltype(facts->nearest){})}};
}

}  // namespace zarnik::cli
