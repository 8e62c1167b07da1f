// SPDX-License-Identifier: MIT
#include "model/PartValue.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace zarnik {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool SameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

template <std::size_t N>
bool OneOf(std::string_view word, const std::array<std::string_view, N>& words)
{
    return std::ranges::any_of(words, [&](std::string_view w) { return SameLetters(word, w); });
}

// The micro sign and Greek mu as "u", the ohm signs as "ohm", the
// plus-minus sign and "+/-" as "±"'s stand-in '~'; a lone byte 0xB5 is the
// micro sign of a Latin-1 file.
std::string Plain(std::string_view text)
{
    if (std::ranges::none_of(text, [](char c) { return c == '+' || static_cast<unsigned char>(c) >= 0x80; })) {
        return std::string(text);
    }
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("\u00B5") || rest.starts_with("\u03BC")) {
            plain += 'u';
            ++i;
        } else if (rest.starts_with("\u03A9")) {
            plain += "ohm";
            ++i;
        } else if (rest.starts_with("\u2126")) {
            plain += "ohm";
            i += 2;
        } else if (rest.starts_with("\u00B1")) {
            plain += '~';
            ++i;
        } else if (rest.starts_with("+/-") || rest.starts_with("+-")) {
            plain += '~';
            i += rest[1] == '/' ? 2 : 1;
        } else if (static_cast<unsigned char>(text[i]) == 0xB5) {
            plain += 'u';
        } else {
            plain += text[i];
        }
    }
    return plain;
}

constexpr std::array<std::string_view, 3> kOhmUnits = {"ohm", "ohms", "r"};
constexpr std::array<std::string_view, 4> kFaradUnits = {"f", "fd", "farad", "farads"};
constexpr std::array<std::string_view, 4> kHenryUnits = {"h", "henry", "henries", "henrys"};
constexpr std::array<std::string_view, 7> kVoltUnits = {"v", "vdc", "vac", "wv", "wvdc", "volt", "volts"};

std::optional<PartKind> UnitKind(std::string_view letters)
{
    if (OneOf(letters, kOhmUnits)) {
        return PartKind::Resistor;
    }
    if (OneOf(letters, kFaradUnits)) {
        return PartKind::Capacitor;
    }
    if (OneOf(letters, kHenryUnits)) {
        return PartKind::Inductor;
    }
    return std::nullopt;
}

// The power of ten of a prefix letter for a value of `unit`'s kind (none:
// the letter alone); nothing for a letter that is no prefix there.
std::optional<int> PrefixExponent(char letter, std::optional<PartKind> unit)
{
    switch (letter) {
    case 'p':
    case 'P': return -12;
    case 'n':
    case 'N': return -9;
    case 'u':
    case 'U': return -6;
    case 'm': return -3;
    case 'M':
        if (unit == PartKind::Capacitor) {
            return -6;  // "MF", "MFD": the old microfarad
        }
        return unit == PartKind::Inductor ? std::optional(-3) : std::optional(6);
    case 'k':
    case 'K': return 3;
    case 'G': return 9;
    case 'T': return 12;
    default: return std::nullopt;
    }
}

// A scale and the kind it names, from the letters after a number or around
// an RKM point.
struct Scale {
    int exponent = 0;
    std::optional<PartKind> kind;  // nothing: the row's kind decides
};

// `point`: the letter as a decimal point ('\0' for none); `unit`: the letters
// after the number.
std::optional<Scale> ScaleOf(char point, std::string_view unit, PartKind row, std::string& why)
{
    std::optional<PartKind> named = UnitKind(unit);
    std::string_view prefixed = unit;
    if (!unit.empty() && !named && point == '\0') {
        // A prefix and a unit: "nF", "kOhm", "MEG", "megohm".
        if (unit.size() >= 3 && SameLetters(unit.substr(0, 3), "meg")) {
            named = unit.size() == 3 ? std::optional(PartKind::Resistor) : UnitKind(unit.substr(3));
            if (named != PartKind::Resistor) {
                why = "'" + std::string(unit) + "' is no unit";
                return std::nullopt;
            }
            return Scale{6, PartKind::Resistor};
        }
        named = unit.size() > 1 ? UnitKind(unit.substr(1)) : std::nullopt;
        if (unit.size() > 1 && !named) {
            why = "'" + std::string(unit) + "' is no unit";
            return std::nullopt;
        }
        point = unit[0];
        prefixed = unit.substr(1);
    }
    if (point == '\0') {
        return Scale{0, named};
    }
    if (!prefixed.empty() && !named) {
        why = "'" + std::string(prefixed) + "' is no unit";
        return std::nullopt;
    }
    if (point == 'R' || point == 'r') {
        // R is the point of ohms, of pF on a capacitor and of µH on an
        // inductor, as their printed codes have it.
        const PartKind kind = named.value_or(row);
        return Scale{kind == PartKind::Capacitor ? -12 : kind == PartKind::Inductor ? -6 : 0, kind};
    }
    std::optional<PartKind> unitForPrefix = named;
    if (!named && row != PartKind::Resistor) {
        unitForPrefix = row;
    }
    if (point == 'M' && !named && (row == PartKind::Capacitor || row == PartKind::Inductor)) {
        why = "M alone names no unit of a " + std::string(PartKindName(row));
        return std::nullopt;
    }
    const std::optional<int> power = PrefixExponent(point, point == 'M' ? named : unitForPrefix);
    if (!power) {
        why = "'" + std::string(1, point) + "' is no prefix";
        return std::nullopt;
    }
    if (named) {
        return Scale{*power, named};
    }
    // No unit: k, M, G and T are ohms; p, n and u the row's farads or
    // henries; m milli of the row's unit.
    if (*power > 0) {
        return Scale{*power, PartKind::Resistor};
    }
    if (*power == -3) {
        return Scale{*power, std::nullopt};
    }
    if (row == PartKind::Resistor) {
        why = "'" + std::string(1, point) + "' is no prefix of ohms";
        return std::nullopt;
    }
    return Scale{*power, row == PartKind::Inductor ? PartKind::Inductor : PartKind::Capacitor};
}

// The tolerance letters of RKM codes: "4K7J" is 4.7 K Ohm +-5%.
std::optional<Decimal> ToleranceLetter(char letter)
{
    switch (Upper(letter)) {
    case 'B': return Decimal{1, -1};
    case 'C': return Decimal{25, -2};
    case 'D': return Decimal{5, -1};
    case 'F': return Decimal{1, 0};
    case 'G': return Decimal{2, 0};
    case 'J': return Decimal{5, 0};
    case 'K': return Decimal{10, 0};
    case 'M': return Decimal{20, 0};
    default: return std::nullopt;
    }
}

// What one stretch of a word is.
struct Piece {
    enum class Type { None, Value, Tolerance, Volts } type = Type::None;
    Quantity quantity;
    Decimal number;
};

std::optional<Decimal> NumberOf(std::string_view whole, std::string_view fraction)
{
    if (whole.empty() && fraction.empty()) {
        return std::nullopt;
    }
    std::string text(whole.empty() ? "0" : whole);
    if (!fraction.empty()) {
        text += '.';
        text += fraction;
    }
    return ReadDecimal(text);
}

std::size_t Run(std::string_view s, std::size_t at, bool (*is)(char))
{
    while (at < s.size() && is(s[at])) {
        ++at;
    }
    return at;
}

// Reads the piece of `s` at `at` and moves `at` past it; a None piece, with
// `why`, where the text there is no value, tolerance or voltage.
Piece ReadPiece(std::string_view s, std::size_t& at, PartKind row, std::string& why)
{
    Piece piece;
    const bool plusMinus = at < s.size() && s[at] == '~';
    std::size_t pos = at + (plusMinus ? 1 : 0);
    const std::size_t start = pos;
    // A leading point letter: "R47", "p68", "n47", "u1".
    char leadingPoint = '\0';
    if (pos < s.size() && IsLetter(s[pos])) {
        const char c = s[pos];
        if (!(c == 'R' || c == 'r' || c == 'p' || c == 'P' || c == 'n' || c == 'N' || c == 'u' || c == 'U') ||
            pos + 1 >= s.size() || !IsDigit(s[pos + 1])) {
            why = "no number";
            return piece;
        }
        leadingPoint = c;
        ++pos;
    }
    const std::size_t wholeEnd = Run(s, pos, IsDigit);
    std::string_view whole = s.substr(pos, wholeEnd - pos);
    std::string_view fraction;
    pos = wholeEnd;
    bool decimalPoint = false;
    if (leadingPoint != '\0') {
        fraction = whole;
        whole = {};
    } else if (pos + 1 < s.size() && (s[pos] == '.' || s[pos] == ',') && IsDigit(s[pos + 1])) {
        // A comma between digits is a decimal comma: "4,7k".
        decimalPoint = true;
        const std::size_t end = Run(s, pos + 1, IsDigit);
        fraction = s.substr(pos + 1, end - pos - 1);
        pos = end;
    } else if (pos < s.size() && s[pos] == '.' && whole.size() > 0) {
        ++pos;  // "10." is 10
    }
    if (whole.empty() && fraction.empty()) {
        why = "no number";
        return piece;
    }
    if (pos < s.size() && s[pos] == '%') {
        const auto number = NumberOf(whole, fraction);
        at = pos + 1;
        if (!number || leadingPoint != '\0') {
            why = "no tolerance";
            return piece;
        }
        piece.type = Piece::Type::Tolerance;
        piece.number = *number;
        return piece;
    }
    if (plusMinus) {
        why = "± before no percentage";
        return piece;
    }
    const std::size_t lettersEnd = Run(s, pos, IsLetter);
    const std::string_view letters = s.substr(pos, lettersEnd - pos);
    pos = lettersEnd;
    char point = leadingPoint;
    std::string_view unit = letters;
    std::optional<Decimal> toleranceLetter;
    if (leadingPoint == '\0' && !decimalPoint && letters.size() == 1 && !whole.empty() && pos < s.size() &&
        IsDigit(s[pos])) {
        // RKM: the letter is the decimal point ("4k7", "2n2", "4R7").
        point = letters[0];
        const std::size_t digitsEnd = Run(s, pos, IsDigit);
        fraction = s.substr(pos, digitsEnd - pos);
        const std::size_t unitEnd = Run(s, digitsEnd, IsLetter);
        unit = s.substr(digitsEnd, unitEnd - digitsEnd);
        pos = unitEnd;
        if (unit.size() == 1 && !UnitKind(unit) &&
            (row == PartKind::Resistor || point == 'R' || point == 'K' || point == 'k' || point == 'M' ||
             point == 'G')) {
            toleranceLetter = ToleranceLetter(unit[0]);
            if (toleranceLetter) {
                unit = {};
            }
        }
    }
    if (point == '\0' && OneOf(letters, kVoltUnits)) {
        const auto number = NumberOf(whole, fraction);
        at = pos;
        piece.type = number ? Piece::Type::Volts : Piece::Type::None;
        piece.number = number.value_or(Decimal{});
        return piece;
    }
    if (point == '\0' && letters.size() == 2 && (letters[0] == 'k' || letters[0] == 'K') && Lower(letters[1]) == 'v') {
        const auto number = NumberOf(whole, fraction);
        const auto volts = number ? Shifted(*number, 3) : std::nullopt;
        at = pos;
        piece.type = volts ? Piece::Type::Volts : Piece::Type::None;
        piece.number = volts.value_or(Decimal{});
        return piece;
    }
    at = pos;
    if (start == pos) {
        why = "no number";
        return piece;
    }
    const std::optional<Scale> scale =
        point == '\0' && unit.empty() ? std::optional(Scale{}) : ScaleOf(point, unit, row, why);
    if (!scale) {
        return piece;
    }
    const auto number = NumberOf(whole, fraction);
    const auto value = number ? Shifted(*number, scale->exponent) : std::nullopt;
    if (!value) {
        why = "too many digits";
        return piece;
    }
    piece.type = Piece::Type::Value;
    piece.quantity.value = Normalized(*value);
    piece.quantity.bare = point == '\0' && unit.empty();
    piece.quantity.kind = scale->kind.value_or(row);
    if (toleranceLetter) {
        piece.number = *toleranceLetter;
    }
    return piece;
}

// The words of a field: split at blanks, commas (but a decimal comma),
// semicolons, colons, brackets and quotes. "470 OHM", "35 VDC" and "10 %"
// come back as one word.
std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    const auto flush = [&] {
        if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool decimalComma =
            c == ',' && i > 0 && i + 1 < text.size() && IsDigit(text[i - 1]) && IsDigit(text[i + 1]);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || (c == ',' && !decimalComma) || c == ';' || c == ':' ||
            c == '(' || c == ')' || c == '[' || c == ']' || c == '{' || c == '}' || c == '"' || c == '=') {
            flush();
        } else {
            word += c;
        }
    }
    flush();
    // A number and the unit, prefix or percent sign written apart from it.
    std::vector<std::string> joined;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        const bool number = !w.empty() &&
                            std::ranges::all_of(w, [](char c) { return IsDigit(c) || c == '.' || c == ','; }) &&
                            IsDigit(w.back());
        if (number && i + 1 < words.size()) {
            const std::string& next = words[i + 1];
            const bool unitWord = next == "%" || OneOf(next, kVoltUnits) || UnitKind(next) ||
                                  (next.size() <= 6 && IsLetter(next[0]) && PrefixExponent(next[0], std::nullopt) &&
                                   (next.size() == 1 || UnitKind(next.substr(1))));
            if (unitWord && !SameLetters(next, "r")) {
                joined.push_back(w + next);
                ++i;
                continue;
            }
        }
        joined.push_back(w);
    }
    return joined;
}

constexpr std::array<std::string_view, 6> kDoNotPlaceWords = {"dnp", "dnf", "dni", "dns", "nopop", "unfitted"};
constexpr std::array<std::string_view, 7> kDoNotPlacePhrases = {
    "do not place", "do not populate", "do not fit", "do not mount", "not fitted", "not placed", "no fit"};

struct KindWord {
    std::string_view word;
    PartKind kind;
};
constexpr KindWord kKindWords[] = {
    {"res", PartKind::Resistor},        {"resistor", PartKind::Resistor},   {"resistors", PartKind::Resistor},
    {"cap", PartKind::Capacitor},       {"capacitor", PartKind::Capacitor}, {"capacitors", PartKind::Capacitor},
    {"mlcc", PartKind::Capacitor},      {"ind", PartKind::Inductor},        {"inductor", PartKind::Inductor},
    {"inductors", PartKind::Inductor},  {"inductr", PartKind::Inductor},    {"choke", PartKind::Inductor},
    {"ferrite", PartKind::Other},       {"bead", PartKind::Other},          {"pot", PartKind::Other},
    {"potentiometer", PartKind::Other}, {"trimmer", PartKind::Other},       {"trimpot", PartKind::Other},
    {"thermistor", PartKind::Other},    {"ntc", PartKind::Other},           {"ptc", PartKind::Other},
    {"varistor", PartKind::Other},      {"fuse", PartKind::Other},
};

std::string LowerText(std::string_view text)
{
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(), Lower);
    return lower;
}

bool IsFraction(std::string_view word)
{
    const std::size_t slash = word.find('/');
    if (slash == 0 || slash == std::string_view::npos) {
        return false;
    }
    std::string_view after = word.substr(slash + 1);
    if (!after.empty() && (after.back() == 'W' || after.back() == 'w')) {
        after.remove_suffix(1);
    }
    return std::ranges::all_of(word.substr(0, slash), IsDigit) && !after.empty() && std::ranges::all_of(after, IsDigit);
}

}  // namespace

std::string_view PartKindName(PartKind kind)
{
    switch (kind) {
    case PartKind::Resistor: return "resistor";
    case PartKind::Capacitor: return "capacitor";
    case PartKind::Inductor: return "inductor";
    case PartKind::Other: break;
    }
    return "other";
}

std::string_view SiUnitName(PartKind kind)
{
    switch (kind) {
    case PartKind::Resistor: return "ohms";
    case PartKind::Capacitor: return "farads";
    case PartKind::Inductor: return "henries";
    case PartKind::Other: break;
    }
    return "";
}

std::optional<Quantity> ReadQuantity(std::string_view word, PartKind kind, std::string& why)
{
    const std::string plain = Plain(word);
    std::size_t at = 0;
    const Piece piece = ReadPiece(plain, at, kind, why);
    if (piece.type != Piece::Type::Value || at != plain.size()) {
        if (why.empty()) {
            why = "not a value";
        }
        return std::nullopt;
    }
    if (piece.quantity.bare && piece.quantity.kind != PartKind::Resistor) {
        why = "a " + std::string(PartKindName(kind)) + "'s value needs a unit";
        return std::nullopt;
    }
    return piece.quantity;
}

FieldWords ReadFieldWords(std::string_view text, PartKind kind, bool bareValues)
{
    FieldWords field;
    if (text.find("://") != std::string_view::npos) {
        return field;  // a link to a datasheet or a shop
    }
    const std::string lower = LowerText(text);
    field.doNotPlace = std::ranges::any_of(
        kDoNotPlacePhrases, [&](std::string_view phrase) { return lower.find(phrase) != std::string::npos; });
    bool firstWord = true;
    for (const std::string& word : Words(Plain(text))) {
        const bool first = std::exchange(firstWord, false);
        if (IsFraction(word)) {
            continue;  // a power, "1/16W"
        }
        std::size_t begin = 0;
        while (begin <= word.size()) {
            const std::size_t slash = std::min(word.size(), word.find('/', begin));
            const std::string_view part = std::string_view(word).substr(begin, slash - begin);
            begin = slash + 1;
            if (part.empty()) {
                continue;
            }
            if (OneOf(part, kDoNotPlaceWords)) {
                field.doNotPlace = true;
                continue;
            }
            if (!field.namedKind) {
                for (const KindWord& k : kKindWords) {
                    if (SameLetters(part, k.word) || (part.size() == k.word.size() + 1 && part.back() == '.' &&
                                                      SameLetters(part.substr(0, k.word.size()), k.word))) {
                        field.namedKind = k.kind;
                    }
                }
            }
            // One word may hold several pieces: "4.7uf6.3V".
            std::vector<Piece> pieces;
            std::string why;
            for (std::size_t at = 0; at < part.size();) {
                const std::size_t before = at;
                Piece piece = ReadPiece(part, at, kind, why);
                if (piece.type == Piece::Type::None || at == before) {
                    pieces.clear();
                    break;
                }
                pieces.push_back(piece);
            }
            for (const Piece& piece : pieces) {
                switch (piece.type) {
                case Piece::Type::Tolerance:
                    if (!field.tolerancePercent) {
                        field.tolerancePercent = piece.number;
                    }
                    break;
                case Piece::Type::Volts:
                    if (!field.volts) {
                        field.volts = piece.number;
                    }
                    break;
                case Piece::Type::Value:
                    // A plain number is a resistor's value only as the value
                    // column's first word: elsewhere it is a package size
                    // ("0402") or a count.
                    if (piece.quantity.bare && (!bareValues || kind != PartKind::Resistor || !first)) {
                        if (bareValues && first && pieces.size() == 1) {
                            field.refused.push_back("'" + std::string(part) + "': a " +
                                                    std::string(PartKindName(kind)) + "'s value needs a unit");
                        }
                        break;
                    }
                    field.values.push_back(piece.quantity);
                    if (piece.number != Decimal{} && !field.tolerancePercent) {
                        field.tolerancePercent = piece.number;
                    }
                    break;
                case Piece::Type::None: break;
                }
            }
            if (pieces.empty() && bareValues && !why.empty() && why != "no number" && IsDigit(part[0])) {
                field.refused.push_back("'" + std::string(part) + "': " + why);
            }
        }
    }
    return field;
}

bool SaysDoNotPlace(std::string_view text)
{
    if (text.empty() || text.find("://") != std::string_view::npos) {
        return false;
    }
    const std::string lower = LowerText(text);
    if (std::ranges::any_of(kDoNotPlacePhrases,
                            [&](std::string_view phrase) { return lower.find(phrase) != std::string::npos; })) {
        return true;
    }
    // Whole words only: "dnp" inside a part number is none.
    for (std::size_t at = 0; at < lower.size();) {
        const auto isWord = [](char c) { return (c >= 'a' && c <= 'z') || IsDigit(c); };
        while (at < lower.size() && !isWord(lower[at])) {
            ++at;
        }
        std::size_t end = at;
        while (end < lower.size() && isWord(lower[end])) {
            ++end;
        }
        if (end > at && OneOf(std::string_view(lower).substr(at, end - at), kDoNotPlaceWords)) {
            return true;
        }
        at = end;
    }
    return false;
}

PartKind KindOfDesignator(std::string_view designator)
{
    std::string prefix;
    for (const char c : designator) {
        if (!IsLetter(c)) {
            break;
        }
        prefix += Upper(c);
    }
    constexpr std::array<std::string_view, 4> kResistors = {"R", "RN", "RA", "RES"};
    constexpr std::array<std::string_view, 4> kCapacitors = {"C", "CN", "CA", "CAP"};
    constexpr std::array<std::string_view, 2> kInductors = {"L", "IND"};
    if (OneOf(prefix, kResistors)) {
        return PartKind::Resistor;
    }
    if (OneOf(prefix, kCapacitors)) {
        return PartKind::Capacitor;
    }
    return OneOf(prefix, kInductors) ? PartKind::Inductor : PartKind::Other;
}

std::vector<std::string> SplitDesignators(std::string_view text)
{
    std::vector<std::string> designators;
    std::string word;
    const auto split = [](std::string_view d) {
        std::size_t digits = d.size();
        while (digits > 0 && IsDigit(d[digits - 1])) {
            --digits;
        }
        return std::pair(d.substr(0, digits), d.substr(digits));
    };
    const auto flush = [&] {
        if (word.empty()) {
            return;
        }
        // "R1-R4" and "R1-4": the designators of the range, in order.
        const std::size_t dash = word.find('-');
        if (dash != std::string::npos && dash > 0 && word.find('-', dash + 1) == std::string::npos) {
            const auto [prefix, first] = split(std::string_view(word).substr(0, dash));
            auto [lastPrefix, last] = split(std::string_view(word).substr(dash + 1));
            if (lastPrefix.empty()) {
                lastPrefix = prefix;
            }
            if (!prefix.empty() && !first.empty() && !last.empty() && lastPrefix == prefix && first.size() < 7 &&
                last.size() < 7) {
                const long from = std::stol(std::string(first));
                const long to = std::stol(std::string(last));
                if (to >= from && to - from < 1000) {
                    for (long n = from; n <= to; ++n) {
                        designators.push_back(std::string(prefix) + std::to_string(n));
                    }
                    word.clear();
                    return;
                }
            }
        }
        designators.push_back(std::move(word));
        word.clear();
    };
    for (const char c : text) {
        if (c == ',' || c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            flush();
        } else {
            word += c;
        }
    }
    flush();
    return designators;
}

}  // namespace zarnik
