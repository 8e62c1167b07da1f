// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Decimal.h"

namespace zarnik {

// The values parts lists write, read exactly: "4k7", "4.7k", "10K", "49.9R",
// "0R", "475" (ohms); "100n", "0.1u", "4U7", "3N3", "8p2", "4R7" (pF),
// "0.1uf/50V", "4.7uf6.3V" (farads); "6.2nH", "4u7", "47N", "4R7" (µH)
// (henries); with the tolerance and the voltage written beside them
// ("2k2 1%", "CAP CER 0.1UF 25V 10% X7R").
//
// A letter as the decimal point or after the number scales it: p n u (µ) m
// k (K) M (mega for ohms) G T, and "meg". R is the point of ohms, of pF on a
// capacitor and of µH on an inductor. A unit after it (ohm, Ω, R, F, FD, H)
// names the part's kind; without one the kind of the row decides. "m" is
// milli and "M" mega, but for farads and henries, where parts lists in
// capitals write "MH" for mH, and "MF" and "MFD" are the old microfarad.
enum class PartKind { Resistor, Capacitor, Inductor, Other };

// "resistor", "capacitor", "inductor", "other".
[[nodiscard]] std::string_view PartKindName(PartKind kind);
// "ohms", "farads", "henries"; "" for Other.
[[nodiscard]] std::string_view SiUnitName(PartKind kind);

// One word read as a value.
struct Quantity {
    Decimal value;      // in ohms, farads or henries
    PartKind kind;      // the kind its unit or letter names, else the row's
    bool bare = false;  // a plain number, with no letter or unit
};

// Reads one word of a value ("4k7", "0.1uF", "475") for a part of `kind`;
// nothing, with the reason in `why`, for a word that is no value of that
// kind. A bare number is a value only in ohms; `why` says a capacitor's or
// an inductor's needs a unit.
[[nodiscard]] std::optional<Quantity> ReadQuantity(std::string_view word, PartKind kind, std::string& why);

// What the words of one field say: the values of the part's kind in it, the
// tolerance ("5%", "±1%", "+/-0.1%"), the voltage ("50V", "6.3 V", "35
// VDC"), a "do not place" word (DNP, DNF, DNI, "do not place", "not
// fitted"), and a word that names a kind (RES, resistor, CAP, MLCC,
// inductor, ferrite, bead, potentiometer ...). `bareValues` takes plain
// numbers as ohms (the value column of a resistor); a description's
// numbers are package sizes and counts.
struct FieldWords {
    std::vector<Quantity> values;
    std::vector<std::string> refused;  // the reasons of words that looked like values but were none
    std::optional<Decimal> tolerancePercent;
    std::optional<Decimal> volts;
    bool doNotPlace = false;
    std::optional<PartKind> namedKind;
};
[[nodiscard]] FieldWords ReadFieldWords(std::string_view text, PartKind kind, bool bareValues);

// Whether a field says the part is not to be placed: one of the words or
// phrases ReadFieldWords takes for it; a link never does.
[[nodiscard]] bool SaysDoNotPlace(std::string_view text);

// The kind a designator's letters name: R, RN, RA, RES (resistors); C, CN,
// CA, CAP (capacitors); L, IND (inductors); everything else (FB, RV, VR, U,
// D ...) is Other.
[[nodiscard]] PartKind KindOfDesignator(std::string_view designator);

// The designators of a field: "C6, C8, C10", "C1 C3 C5", "R1-R4" and
// "R1-4" (each of the range, up to 1000), in the order written.
[[nodiscard]] std::vector<std::string> SplitDesignators(std::string_view text);

}  // namespace zarnik
