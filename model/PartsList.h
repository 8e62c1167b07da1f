// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/ColourTable.h"
#include "model/CsvReader.h"
#include "model/Decimal.h"
#include "model/PartCheck.h"
#include "model/PartValue.h"
#include "model/StandardValues.h"

namespace zarnik {

// A parts list (a bill of materials) read row by row and checked: each row's
// designators, its part, its value in ohms, farads or henries, its
// tolerance and voltage, its series and markings, and what is wrong with it.
//
// The header is the first row (of the first ten) with a designator column
// (Reference, Designator, Part References, Ref ...); the value column is
// Value (or Comment), the description Description; without a named
// description every column that is no designator, value, quantity, maker,
// part number, footprint or link describes the part. A file whose first row
// starts with designators has no header: designators first, value second.
// A row's part is its designator's kind, unless its description names
// another (an L described as "RES 3.32K OHM" is a resistor; a ferrite bead
// is no resistor) or its value's unit does. The value is the value column's;
// where that holds none (or a number without a unit on a capacitor), the
// description's. The tolerance and the voltage are the first written in
// the value, a Tolerance or Voltage column, or the other columns left to
// right.
struct ListColumns {
    int designators = -1;
    int value = -1;
    int tolerance = -1;
    int voltage = -1;
    int doNotPlace = -1;  // a DNP column: a yes in it
    int populate = -1;    // a Populate or Fitted column: a no in it
    int quantity = -1;
    std::vector<int> descriptions;
    std::vector<int> others;  // searched for the tolerance and the voltage
    std::vector<std::string> names;
};

struct CheckedPart {
    long line = 0;
    std::vector<std::string> references;
    PartKind kind = PartKind::Other;
    std::string written;  // the value as written ("" where it came from no column)
    std::optional<Decimal> value;
    bool fromDescription = false;
    std::optional<Decimal> tolerancePercent;
    std::optional<Decimal> volts;
    std::optional<SeriesCheck> series;
    std::vector<const ColourCode*> bands;
    std::vector<NamedCode> codes;
    // The flags.
    bool notStandard = false;
    bool doNotPlace = false;
    std::string unreadable;            // why the value cannot be read; "" where it can
    bool damaged = false;              // the row itself cannot be read (a quote not closed)
    std::optional<Decimal> described;  // the description's other value
};

// "not a standard value", "unreadable value", "do not place", "differs from
// its description", in that order, those the part has; "unreadable row" for
// a damaged row. Other rows have none.
[[nodiscard]] std::vector<std::string> FlagWords(const CheckedPart& part);
// The reasons behind the flags, "; "-joined: "'10x': not a value",
// "description: 470 Ohm", "nearest E24: 470 Ohm and 510 Ohm"; "" where
// there is none.
[[nodiscard]] std::string FlagNote(const CheckedPart& part, const NumberFormat& format = {});
// "Brown Black Orange Gold"; "" for no bands.
[[nodiscard]] std::string BandsText(const std::vector<const ColourCode*>& bands);

// The count of parts, by kind and by flag, as the summary line says them.
struct ListSummary {
    long rows = 0;
    long parts = 0;  // resistors, capacitors and inductors, one per designator
    long resistors = 0, capacitors = 0, inductors = 0, others = 0;
    long notStandard = 0, unreadable = 0, doNotPlace = 0, differing = 0;
    long flaggedRows = 0;

    void Add(const CheckedPart& part);
    // "38 parts: 21 resistors, 15 capacitors, 2 inductors; 2 not standard,
    // 1 unreadable, 3 do not place; 12 other rows" (each flag only where
    // some part has it).
    [[nodiscard]] std::string Text() const;
};

// Reads and checks a parts list as it streams in.
class PartsListReader {
public:
    explicit PartsListReader(CsvReader::Source source);

    // The next row checked; false at the end and where the file cannot be
    // read as a parts list (Fatal says why).
    bool Next(CheckedPart& part);
    [[nodiscard]] const std::string& Fatal() const { return fatal_; }
    [[nodiscard]] const ListColumns& Columns() const { return columns_; }

private:
    bool FindHeader();

    CsvReader csv_;
    CsvReader::Row row_;
    ListColumns columns_;
    std::vector<CsvReader::Row> pending_;  // rows read before the header was known
    std::size_t nextPending_ = 0;
    bool started_ = false;
    std::string fatal_;
};

// The columns of a header row; nothing where no column names designators.
[[nodiscard]] std::optional<ListColumns> ColumnsOfHeader(const std::vector<std::string>& names);
// Checks one row of a list with those columns.
[[nodiscard]] CheckedPart CheckRow(const CsvReader::Row& row, const ListColumns& columns);

}  // namespace zarnik
