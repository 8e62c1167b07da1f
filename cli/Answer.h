// SPDX-License-Identifier: MIT
#pragma once

// What every command of the command line shares: the words it is given, the
// answer it gives, the two ways it says no, and the readers and writers of
// the words and JSON values that more than one command uses.

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/JsonObject.h"
#include "model/ColourTable.h"
#include "model/Decimal.h"
#include "model/Encoding.h"
#include "model/NumberText.h"
#include "model/ResultFacts.h"
#include "model/StandardValues.h"

namespace zarnik::cli {

// Scripts get the same text in every locale.
inline const NumberFormat kPoint{"."};

// A word that is not what its place takes (exit 2), and a value the command
// refuses (exit 1); the message names it and says what is accepted.
class WrongWord : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The words of one command: the plain words after its name, its options
// with their values ("" for a flag), and whether the answer goes out as JSON
// or as lines (a batch need not write both).
struct Words {
    std::vector<std::string> plain;
    std::map<std::string, std::string, std::less<>> options;
    bool json = false;

    bool Has(std::string_view name) const { return options.contains(name); }
    std::string Value(std::string_view name, std::string_view absent) const
    {
        const auto it = options.find(name);
        return it == options.end() ? std::string(absent) : it->second;
    }
};

// What a command answers: its lines of text and the same as one JSON object;
// or, for a refusal or a wrong word, the status and the reason.
struct Answer {
    std::vector<std::string> lines;
    JsonObject json;
    int status = kDone;
    std::string reason;
};

// A word as messages echo it: quoted, cut to 40 characters (or `longest`),
// with control characters and stray bytes escaped.
[[nodiscard]] std::string Echoed(std::string_view word, int longest = 40);
// A file's name as messages show it: echoed as above, cut to 120 characters,
// so that a message about the file stays one readable line.
[[nodiscard]] std::string FileNamed(std::string_view file);
[[nodiscard]] std::string Joined(std::span<const std::string> words);
// Equal but for the letter case of ASCII letters.
[[nodiscard]] bool SameWord(std::string_view word, std::string_view accepted);

// One of the words a place takes: as a message lists it, and another
// spelling it is taken in ("" for none).
struct AcceptedWord {
    std::string shown;
    std::string alias;
};
// The place of `word` among the accepted words (shown or alias, in any
// ASCII letter case); otherwise a wrong word that says what it is not and
// lists what is accepted: "'x' is not a part; accepted: resistor capacitor
// inductor" (`label` "accepted", then `note`).
[[nodiscard]] std::size_t Accepted(const std::string& word, std::span<const AcceptedWord> accepted,
                                   std::string_view notWhat, std::string_view label = "accepted",
                                   std::string_view note = "");

// A colour as a command's words name it: the tolerance band's no-band entry
// is "none".
[[nodiscard]] std::string_view WordOf(const ColourCode& colour);

// "K Ohm" may come as one word or as two: the words with the unit at
// `unitAt` as one.
[[nodiscard]] std::vector<std::string> WithUnitJoined(std::vector<std::string> words, std::size_t unitAt);
// The unit a word names; a wrong word otherwise.
[[nodiscard]] const Unit& UnitOf(const std::string& word);
// The value in ohms, exactly: the same resistance whatever unit it is
// written in; a wrong word where it is no number zarnik holds.
[[nodiscard]] Decimal OhmsOf(const std::string& valueWord, const Unit& unit);

// Exact decimals as JSON numbers ("null" where there is none), series names
// as an array, nearest values as an object.
[[nodiscard]] std::string JsonNumber(const Decimal& value);
[[nodiscard]] std::string Ohms(const std::optional<Decimal>& value);
[[nodiscard]] std::string SeriesArray(const std::vector<Series>& series);
[[nodiscard]] std::string NearestObject(const std::vector<std::pair<Series, Neighbours>>& nearest);

// The keys every value's answer writes; the values are null where the result
// holds no value.
[[nodiscard]] JsonObject FactsObject(const std::string& result, const std::optional<PartFacts>& facts);

}  // namespace zarnik::cli
