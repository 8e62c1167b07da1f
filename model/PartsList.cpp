// SPDX-License-Identifier: MIT
#include "model/PartsList.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "model/ResultFacts.h"

namespace zarnik {

namespace {

// How many rows may stand above the header (a title, a date, blank cells).
constexpr std::size_t kRowsBeforeHeader = 10;

// A header name without letter case, blanks and punctuation: "Part
// References" is "partreferences".
std::string Key(std::string_view name)
{
    std::string key;
    for (const char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            key += c;
        } else if (c >= 'A' && c <= 'Z') {
            key += char(c - 'A' + 'a');
        }
    }
    return key;
}

template <std::size_t N>
bool OneOf(const std::string& key, const std::array<std::string_view, N>& keys)
{
    return std::ranges::find(keys, key) != keys.end();
}

constexpr std::array<std::string_view, 13> kDesignatorKeys = {"reference",
                                                              "references",
                                                              "ref",
                                                              "refs",
                                                              "refdes",
                                                              "designator",
                                                              "designators",
                                                              "referencedesignator",
                                                              "referencedesignators",
                                                              "partreferences",
                                                              "partreference",
                                                              "designation",
                                                              "reference(s)"};
constexpr std::array<std::string_view, 5> kValueKeys = {"value", "values", "val", "partvalue", "componentvalue"};
constexpr std::array<std::string_view, 6> kDescriptionKeys = {
    "description", "desc", "partdescription", "itemdescription", "characteristics", "componentdescription"};
constexpr std::array<std::string_view, 2> kToleranceKeys = {"tolerance", "tol"};
constexpr std::array<std::string_view, 4> kVoltageKeys = {"voltage", "ratedvoltage", "voltagerating", "volts"};
constexpr std::array<std::string_view, 5> kQuantityKeys = {"qty", "quantity", "count", "qnty", "amount"};
constexpr std::array<std::string_view, 6> kDoNotPlaceKeys = {"dnp",        "dnf",           "dni",
                                                             "donotplace", "donotpopulate", "excludefromboard"};
constexpr std::array<std::string_view, 5> kPopulateKeys = {"populate", "fitted", "fit", "place", "mount"};
// Columns that never describe the part's value.
constexpr std::array<std::string_view, 24> kNotDescriptionKeys = {"manufacturer",
                                                                  "mfr",
                                                                  "mfg",
                                                                  "maker",
                                                                  "mpn",
                                                                  "partnumber",
                                                                  "mfrpartnumber",
                                                                  "manufacturerpartnumber",
                                                                  "manufacturerpartnum",
                                                                  "footprint",
                                                                  "package",
                                                                  "datasheet",
                                                                  "supplier",
                                                                  "distributor",
                                                                  "link",
                                                                  "url",
                                                                  "price",
                                                                  "cost",
                                                                  "lcsc",
                                                                  "digikey",
                                                                  "mouser",
                                                                  "supplierpartnumber",
                                                                  "distributorpartnum",
                                                                  "sku"};

bool IsDesignatorKey(const std::string& key)
{
    return OneOf(key, kDesignatorKeys) || key.find("designator") != std::string::npos;
}

bool Yes(std::string_view text)
{
    const std::string key = Key(text);
    return key == "yes" || key == "y" || key == "true" || key == "1" || key == "x" || key == "dnp" || key == "dnf";
}

bool No(std::string_view text)
{
    const std::string key = Key(text);
    return key == "no" || key == "n" || key == "false" || key == "0" || key == "dnp" || key == "dnf";
}

// Whether a row's first field is designators ("R1", "C6, C8"): a headerless list.
bool LooksLikeDesignators(std::string_view text)
{
    const std::vector<std::string> refs = SplitDesignators(text);
    return !refs.empty() && std::ranges::all_of(refs, [](const std::string& r) {
        std::size_t letters = 0;
        while (letters < r.size() &&
               ((r[letters] >= 'A' && r[letters] <= 'Z') || (r[letters] >= 'a' && r[letters] <= 'z'))) {
            ++letters;
        }
        return letters > 0 && letters <= 3 && letters < r.size() &&
               std::all_of(r.begin() + long(letters), r.end(), [](char c) { return c >= '0' && c <= '9'; });
    });
}

std::string_view FieldAt(const CsvReader::Row& row, int column)
{
    return column >= 0 && std::size_t(column) < row.fields.size() ? std::string_view(row.fields[std::size_t(column)])
                                                                  : std::string_view();
}

// The distinct values of `kind` among `values`.
std::vector<Decimal> Distinct(const std::vector<Quantity>& values, PartKind kind)
{
    std::vector<Decimal> distinct;
    for (const Quantity& q : values) {
        if (q.kind == kind && std::ranges::find(distinct, q.value) == distinct.end()) {
            distinct.push_back(q.value);
        }
    }
    return distinct;
}

}  // namespace

std::optional<ListColumns> ColumnsOfHeader(const std::vector<std::string>& names)
{
    ListColumns columns;
    columns.names = names;
    std::vector<std::string> keys;
    for (const std::string& name : names) {
        keys.push_back(Key(name));
    }
    const auto first = [&](const auto& accepted) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (OneOf(keys[i], accepted)) {
                return int(i);
            }
        }
        return -1;
    };
    for (std::size_t i = 0; i < keys.size() && columns.designators < 0; ++i) {
        if (IsDesignatorKey(keys[i])) {
            columns.designators = int(i);
        }
    }
    if (columns.designators < 0) {
        return std::nullopt;
    }
    columns.value = first(kValueKeys);
    const int comment = first(std::array<std::string_view, 2>{"comment", "comments"});
    if (columns.value < 0) {
        columns.value = comment;  // the value column of some exporters
    }
    columns.tolerance = first(kToleranceKeys);
    columns.voltage = first(kVoltageKeys);
    columns.quantity = first(kQuantityKeys);
    columns.doNotPlace = first(kDoNotPlaceKeys);
    columns.populate = first(kPopulateKeys);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (OneOf(keys[i], kDescriptionKeys) || (int(i) == comment && comment != columns.value)) {
            columns.descriptions.push_back(int(i));
        }
    }
    const bool named = !columns.descriptions.empty();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const int c = int(i);
        if (c == columns.designators || c == columns.value || c == columns.quantity) {
            continue;
        }
        columns.others.push_back(c);
        if (!named && c != columns.tolerance && c != columns.voltage && c != columns.doNotPlace &&
            c != columns.populate && !OneOf(keys[i], kNotDescriptionKeys)) {
            columns.descriptions.push_back(c);
        }
    }
    return columns;
}

CheckedPart CheckRow(const CsvReader::Row& row, const ListColumns& columns)
{
    CheckedPart part;
    part.line = row.line;
    part.references = SplitDesignators(FieldAt(row, columns.designators));
    part.written = std::string(FieldAt(row, columns.value));
    part.kind = part.references.empty() ? PartKind::Other : KindOfDesignator(part.references.front());
    if (!row.problem.empty()) {
        part.unreadable = row.problem;
        part.damaged = true;
        return part;
    }

    // The description may name another kind: an L row of "RES 3.32K OHM".
    std::vector<FieldWords> described;
    for (const int c : columns.descriptions) {
        described.push_back(ReadFieldWords(FieldAt(row, c), part.kind, false));
    }
    for (const FieldWords& words : described) {
        if (words.namedKind) {
            part.kind = *words.namedKind;
            break;
        }
    }
    FieldWords value = ReadFieldWords(part.written, part.kind, true);
    bool doNotPlace = value.doNotPlace;
    for (const FieldWords& words : described) {
        doNotPlace = doNotPlace || words.doNotPlace;
    }
    // A DNP may stand in any column: a note, a field of its own.
    for (const int c : columns.others) {
        doNotPlace = doNotPlace || SaysDoNotPlace(FieldAt(row, c));
    }
    if (columns.doNotPlace >= 0 && Yes(FieldAt(row, columns.doNotPlace))) {
        doNotPlace = true;
    }
    if (columns.populate >= 0 && No(FieldAt(row, columns.populate))) {
        doNotPlace = true;
    }
    // A value's unit names its kind: "10uH" in a C row.
    if (part.kind != PartKind::Other && !value.values.empty() && value.values.front().kind != part.kind &&
        value.values.front().kind != PartKind::Other) {
        part.kind = value.values.front().kind;
        value = ReadFieldWords(part.written, part.kind, true);
        described.clear();
        for (const int c : columns.descriptions) {
            described.push_back(ReadFieldWords(FieldAt(row, c), part.kind, false));
        }
    }
    if (part.kind == PartKind::Other) {
        return part;
    }

    std::vector<Decimal> fromDescriptions;
    for (const FieldWords& words : described) {
        for (const Decimal& d : Distinct(words.values, part.kind)) {
            if (std::ranges::find(fromDescriptions, d) == fromDescriptions.end()) {
                fromDescriptions.push_back(d);
            }
        }
    }
    const std::vector<Decimal> written = Distinct(value.values, part.kind);
    if (written.size() > 1) {
        part.unreadable =
            "two values: " + ValueText(part.kind, written[0]) + " and " + ValueText(part.kind, written[1]);
    } else if (written.size() == 1) {
        part.value = written.front();
        if (!fromDescriptions.empty() && std::ranges::find(fromDescriptions, *part.value) == fromDescriptions.end()) {
            part.described = fromDescriptions.front();
        }
    } else if (fromDescriptions.size() == 1) {
        part.value = fromDescriptions.front();
        part.fromDescription = true;
    } else if (fromDescriptions.size() > 1) {
        part.unreadable = "no value in the value column, and the description holds " +
                          ValueText(part.kind, fromDescriptions[0]) + " and " +
                          ValueText(part.kind, fromDescriptions[1]);
    } else if (!doNotPlace) {
        part.unreadable = !value.refused.empty() ? value.refused.front()
                          : part.written.empty()
                              ? "no value in the value column or the description"
                              : "'" + part.written + "' is no value of a " + std::string(PartKindName(part.kind));
    }
    part.doNotPlace = doNotPlace;

    // The tolerance and the voltage: the value's, their own columns', then
    // the other columns' left to right.
    part.tolerancePercent = value.tolerancePercent;
    part.volts = value.volts;
    std::vector<int> order;
    for (const int c : {columns.tolerance, columns.voltage}) {
        if (c >= 0) {
            order.push_back(c);
        }
    }
    order.insert(order.end(), columns.others.begin(), columns.others.end());
    for (const int c : order) {
        if (part.tolerancePercent && part.volts) {
            break;
        }
        const std::string_view text = FieldAt(row, c);
        if (text.find_first_of("%Vv") == std::string_view::npos) {
            continue;
        }
        // A description has been read already.
        const auto at = std::ranges::find(columns.descriptions, c);
        const FieldWords words = at != columns.descriptions.end() && described.size() == columns.descriptions.size()
                                     ? described[std::size_t(at - columns.descriptions.begin())]
                                     : ReadFieldWords(text, part.kind, false);
        if (!part.tolerancePercent && words.tolerancePercent) {
            part.tolerancePercent = words.tolerancePercent;
        }
        if (!part.volts && words.volts) {
            part.volts = words.volts;
        }
    }

    if (part.value) {
        part.series = CheckSeries(*part.value, part.tolerancePercent);
        part.notStandard = part.series && !part.series->series;
        if (part.kind == PartKind::Resistor) {
            part.bands = ResistorBands(*part.value, part.tolerancePercent);
        } else if (part.kind == PartKind::Inductor) {
            part.bands = InductorBandsOf(*part.value, part.tolerancePercent);
        }
        part.codes = PrintedCodes(part.kind, *part.value);
    }
    return part;
}

std::vector<std::string> FlagWords(const CheckedPart& part)
{
    std::vector<std::string> flags;
    if (part.damaged) {
        flags.emplace_back("unreadable row");
        return flags;
    }
    if (part.kind == PartKind::Other) {
        return flags;
    }
    if (part.notStandard) {
        flags.emplace_back("not a standard value");
    }
    if (!part.unreadable.empty()) {
        flags.emplace_back("unreadable value");
    }
    if (part.doNotPlace) {
        flags.emplace_back("do not place");
    }
    if (part.described) {
        flags.emplace_back("differs from its description");
    }
    return flags;
}

std::string FlagNote(const CheckedPart& part, const NumberFormat& format)
{
    std::vector<std::string> notes;
    if (!part.unreadable.empty()) {
        notes.push_back(part.unreadable);
    }
    if (part.series && !part.series->nearest.empty()) {
        std::string text;
        for (const auto& [series, neighbours] : part.series->nearest) {
            text += (text.empty() ? "nearest " : ", ") + std::string(SeriesName(series)) + ": " +
                    ValueText(part.kind, neighbours.below, format) + " and " +
                    ValueText(part.kind, neighbours.above, format);
        }
        notes.push_back(text);
    }
    if (part.described) {
        notes.push_back("description: " + ValueText(part.kind, *part.described, format));
    }
    if (part.fromDescription) {
        notes.push_back("value from the description");
    }
    if (part.kind == PartKind::Resistor && part.value && *part.value == Decimal{}) {
        notes.emplace_back("zero-ohm link");
    }
    std::string joined;
    for (const std::string& note : notes) {
        joined += (joined.empty() ? "" : "; ") + note;
    }
    return joined;
}

std::string BandsText(const std::vector<const ColourCode*>& bands)
{
    std::string text;
    for (const ColourCode* band : bands) {
        text += (text.empty() ? "" : " ") + std::string(band->name);
    }
    return text;
}

void ListSummary::Add(const CheckedPart& part)
{
    ++rows;
    const long n = std::max<long>(1, long(part.references.size()));
    if (part.damaged) {
        // Counted by its designator's kind where that is a part's.
        unreadable += n;
        ++flaggedRows;
    }
    if (part.kind == PartKind::Other) {
        others += part.damaged ? 0 : 1;
        return;
    }
    parts += n;
    (part.kind == PartKind::Resistor ? resistors : part.kind == PartKind::Capacitor ? capacitors : inductors) += n;
    notStandard += part.notStandard ? n : 0;
    unreadable += part.unreadable.empty() || part.damaged ? 0 : n;
    doNotPlace += part.doNotPlace ? n : 0;
    differing += part.described ? n : 0;
    flaggedRows += FlagWords(part).empty() || part.damaged ? 0 : 1;
}

std::string ListSummary::Text() const
{
    const auto count = [](long n, std::string_view one, std::string_view many) {
        return std::to_string(n) + " " + std::string(n == 1 ? one : many);
    };
    std::string text = count(parts, "part", "parts") + ": " + count(resistors, "resistor", "resistors") + ", " +
                       count(capacitors, "capacitor", "capacitors") + ", " + count(inductors, "inductor", "inductors");
    std::string flags;
    const auto flag = [&flags](long n, std::string_view words) {
        if (n > 0) {
            flags += (flags.empty() ? "; " : ", ") + std::to_string(n) + " " + std::string(words);
        }
    };
    flag(notStandard, "not standard");
    flag(unreadable, "unreadable");
    flag(doNotPlace, "do not place");
    flag(differing, "differ from their description");
    text += flags;
    if (others > 0) {
        text += "; " + count(others, "other row", "other rows");
    }
    return text;
}

PartsListReader::PartsListReader(CsvReader::Source source) : csv_(std::move(source)) {}

bool PartsListReader::FindHeader()
{
    CsvReader::Row row;
    while (pending_.size() < kRowsBeforeHeader && csv_.Next(row)) {
        if (pending_.empty() && row.fields.size() < 2 && row.problem.empty()) {
            fatal_ = "it has one column: no separator (, ; tab |) in its first line";
            return false;
        }
        if (auto columns = ColumnsOfHeader(row.fields)) {
            columns_ = std::move(*columns);
            pending_.clear();
            return true;
        }
        if (pending_.empty() && !row.fields.empty() && LooksLikeDesignators(row.fields[0])) {
            // No header: designators, then the value.
            std::vector<std::string> names(std::max<std::size_t>(2, row.fields.size()));
            names[0] = "Designator";
            names[1] = "Value";
            columns_ = *ColumnsOfHeader(names);
            pending_.push_back(row);
            return true;
        }
        pending_.push_back(row);
    }
    if (!csv_.Fatal().empty()) {
        fatal_ = csv_.Fatal();
    } else if (pending_.empty()) {
        fatal_ = "it is empty";
    } else {
        fatal_ = "no column of designators (Reference, Designator, Ref ...) in its first rows";
    }
    pending_.clear();
    return false;
}

bool PartsListReader::Next(CheckedPart& part)
{
    if (!started_) {
        started_ = true;
        if (!FindHeader()) {
            return false;
        }
    }
    if (!fatal_.empty()) {
        return false;
    }
    if (nextPending_ < pending_.size()) {
        part = CheckRow(pending_[nextPending_++], columns_);
        return true;
    }
    pending_.clear();
    if (!csv_.Next(row_)) {
        fatal_ = csv_.Fatal();
        return false;
    }
    part = CheckRow(row_, columns_);
    return true;
}

}  // namespace zarnik
