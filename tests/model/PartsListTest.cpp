// SPDX-License-Identifier: MIT
// Parts lists: the values they write read to SI values with their tolerance
// and voltage, each row's part and flags, the CSV reader on well-formed and
// damaged texts, and the two real parts lists beside the repository against
// the values read from them by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "model/CsvReader.h"
#include "model/Markings.h"
#include "model/PartsList.h"

namespace zarnik {
namespace {

using namespace std::string_literals;

std::string Text(const std::optional<Decimal>& value) { return value ? DecimalText(*value) : "-"; }

TEST(PartsList, ValuesReadToSiValuesWithTheirToleranceAndVoltage)
{
    struct Case {
        const char* text;
        PartKind kind;
        bool valueColumn;
        const char* si;  // "-": no value; else the value, then the tolerance and volts when written
    };
    const PartKind R = PartKind::Resistor, C = PartKind::Capacitor, L = PartKind::Inductor;
    const Case cases[] = {
        {"4k7", R, true, "4700"},
        {"4.7k", R, true, "4700"},
        {"4K7", R, true, "4700"},
        {"10K", R, true, "10000"},
        {"2k2 1%", R, true, "2200 1%"},
        {"49.9R", R, true, "49.9"},
        {"0R", R, true, "0"},
        {"475", R, true, "475"},
        {"1M", R, true, "1000000"},
        {"4,7k", R, true, "4700"},
        {"4K7J", R, true, "4700 5%"},
        {"10 k\u03A9 \u00B10.1%", R, true, "10000 0.1%"},
        {"806R 1%", R, false, "806 1%"},
        {"RES TF 1/16W 470 OHM 5% 0402", R, false, "470 5%"},
        {"10k 0603", R, true, "10000"},
        {"100n", C, true, "0.0000001"},
        {"0.1u", C, true, "0.0000001"},
        {"0.1uf/50V", C, true, "0.0000001 50V"},
        {"4.7uf6.3V", C, true, "0.0000047 6.3V"},
        {"4U7", C, true, "0.0000047"},
        {"3N3", C, true, "0.0000000033"},
        {"470u", C, true, "0.00047"},
        {"8p2", C, true, "0.0000000000082"},
        {"4R7", C, true, "0.0000000000047"},
        {"2.2 \u00B5F", C, true, "0.0000022"},
        {"10MFD", C, true, "0.00001"},
        {"CAP CER 0.1UF 25V 10% X7R", C, false, "0.0000001 10% 25V"},
        {"CAP: 0402 0u1 16V MLCC", C, false, "0.0000001 16V"},
        {"Capacitor - Electrolytic - 35 VDC", C, false, "- 35V"},
        {"6.2nH", L, true, "0.0000000062"},
        {"4u7", L, true, "0.0000047"},
        {"4R7", L, true, "0.0000047"},
        {"10MH", L, true, "0.01"},
        {"INDUCTOR HIFREQ 6.2+/-0.3NH 0402", L, false, "-"},
        {"100", C, true, "-"},  // a capacitor's number needs a unit
        {"1M", C, true, "-"},
        {"100n", R, true, "-"},
        {"FILTER", R, true, "-"},
    };
    for (const Case& c : cases) {
        const FieldWords words = ReadFieldWords(c.text, c.kind, c.valueColumn);
        std::string got = words.values.empty() ? "-" : DecimalText(words.values.front().value);
        if (words.tolerancePercent) {
            got += " " + DecimalText(*words.tolerancePercent) + "%";
        }
        if (words.volts) {
            got += " " + DecimalText(*words.volts) + "V";
        }
        EXPECT_EQ(got, c.si) << c.text;
    }
}

TEST(PartsList, RowsTellTheirPartAndFlags)
{
    const ListColumns columns = ColumnsOfHeader({"Ref", "Value", "Description", "Tol", "Note"}).value();
    struct Case {
        std::vector<std::string> fields;
        const char* expected;  // part, value, series, flags
    };
    const Case cases[] = {
        {{"L3", "3.32K", "RES 3.32K OHM 1%"}, "resistor 3320 E96 -"},
        {{"FB1", "220R", "FERRITE CHIP 220 OHM"}, "other - - -"},
        {{"C1", "10uH", ""}, "inductor 0.00001 E24 -"},
        {{"R1", "475", "RES 475 OHM 5%"}, "resistor 475 - not a standard value"},
        {{"R2", "4k7", "", "1%"}, "resistor 4700 E24 -"},
        {{"R3", "4.75k", "", "1%"}, "resistor 4750 E96 -"},
        {{"R4", "4.75k"}, "resistor 4750 E96 -"},
        {{"R5", "DNP"}, "resistor - - do not place"},
        {{"R7", "1k", "", "", "fit only for tests: DNP"}, "resistor 1000 E24 do not place"},
        {{"R8", "1k", "", "", "https://example.com/DNP"}, "resistor 1000 E24 -"},
        {{"R6", "10k", "RES 4.7K OHM"}, "resistor 10000 E24 differs from its description"},
        {{"C2", "", "CAP CER 100PF 50V 5%"}, "capacitor 0.0000000001 E24 -"},
        {{"C3", "100", "CAP CER 100PF 50V"}, "capacitor 0.0000000001 E24 -"},
        {{"C4", "100"}, "capacitor - - unreadable value"},
        {{"C5", "4.7u/10u"}, "capacitor - - unreadable value"},
        {{"C6 C7", "1.1n", "", "20%"}, "capacitor 0.0000000011 E24 -"},
        {{"C8", "1.15n", "", "20%"}, "capacitor 0.00000000115 - not a standard value"},
        {{"U1", "10k", "Op amp"}, "other - - -"},
        {{"RV1", "100K", "Potentiometer"}, "other - - -"},
    };
    for (const Case& c : cases) {
        CsvReader::Row row{c.fields, 7, ""};
        const CheckedPart part = CheckRow(row, columns);
        const std::vector<std::string> flags = FlagWords(part);
        const std::string series =
            part.series && part.series->series ? std::string(SeriesName(*part.series->series)) : "-";
        const std::string got = std::string(PartKindName(part.kind)) + " " + Text(part.value) + " " + series + " " +
                                (flags.empty() ? "-" : flags.front());
        EXPECT_EQ(got, c.expected) << c.fields[0];
    }
}

TEST(PartsList, ResistorBandsReadBackAsTheValueAndItsTolerance)
{
    const std::pair<const char*, const char*> cases[] = {{"4700", "5"},  {"4750", "1"}, {"1000", "1"},
                                                         {"0.47", "10"}, {"51", "2"},   {"1000000", "0.1"},
                                                         {"39", ""},     {"0.1", "5"}};
    for (const auto& [value, tolerance] : cases) {
        const Decimal ohms = *ReadDecimal(value);
        const std::optional<Decimal> tol = *tolerance ? ReadDecimal(tolerance) : std::nullopt;
        std::vector<const ColourCode*> bands = ResistorBands(ohms, tol);
        if (!tol) {
            bands.push_back(ColourByName("no band"));  // read as the decoder would, without a tolerance band
        }
        const auto reading = ReadBands(bands);
        ASSERT_TRUE(reading) << value;
        EXPECT_EQ(reading->ohms, ohms) << value;
        if (tol) {
            EXPECT_EQ(reading->toleranceText, "_+" + std::string(tolerance) + "%") << value;
            const std::size_t count = *tol <= Decimal{2, 0} ? 5 : 4;
            EXPECT_EQ(bands.size(), count) << value;
        }
    }
}

TEST(PartsList, DesignatorsSplitAndRangesExpand)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C6, C8, C10", "C6|C8|C10"}, {"C1 C3 C5", "C1|C3|C5"}, {"R1-R4", "R1|R2|R3|R4"},
        {"R8-10", "R8|R9|R10"},       {"U1-A", "U1-A"},         {"R9-R2", "R9-R2"}};
    for (const auto& [text, expected] : cases) {
        std::string joined;
        for (const std::string& d : SplitDesignators(text)) {
            joined += (joined.empty() ? "" : "|") + d;
        }
        EXPECT_EQ(joined, expected) << text;
    }
}

// The rows of a text as "field|field" lines, with a row's problem after '!'.
std::string Rows(const std::string& text, std::size_t piece, std::string* fatal = nullptr)
{
    CsvReader reader(TextSource(text, piece));
    CsvReader::Row row;
    std::string rows;
    while (reader.Next(row)) {
        std::string line = std::to_string(row.line) + ":";
        for (std::size_t i = 0; i < row.fields.size(); ++i) {
            line += (i ? "|" : "") + row.fields[i];
        }
        rows += line + (row.problem.empty() ? "" : "!") + "\n";
    }
    if (fatal) {
        *fatal = reader.Fatal();
    }
    return rows;
}

TEST(PartsList, CsvReaderTakesEachExportersForm)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a,b\r\nc,d\r\n", "1:a|b\n2:c|d\n"},
        {"a;b;c\nd;\"e;f\";g\n", "1:a|b|c\n2:d|e;f|g\n"},
        {"a\tb\n\nc\td", "1:a|b\n3:c|d\n"},
        {"\xEF\xBB\xBF\"Ref\",\"Value\"\n\"C6, C8\",\"1\"\"x\"\n", "1:Ref|Value\n2:C6, C8|1\"x\n"},
        {"sep=;\na,b;c\n", "2:a,b|c\n"},
        {"a,b\rc,d\r", "1:a|b\n2:c|d\n"},
        {"a,\"two\nlines\",b\nc,d\n", "1:a|two\nlines|b\n3:c|d\n"},
        {"a;16PS.1\"\" DL;b\n", "1:a|16PS.1\"\" DL|b\n"},
        {"r,\"open\nc,d\ne,f\n", "1:r|open!\n2:c|d\n3:e|f\n"},
    };
    for (const auto& [text, expected] : cases) {
        for (const std::size_t piece : {std::size_t(3), CsvReader::kBlock}) {
            EXPECT_EQ(Rows(text, piece), expected) << text << " in pieces of " << piece;
        }
    }
}

TEST(PartsList, BadFilesAreRefusedOrReportedRowByRow)
{
    const std::string longField(10000, 'x');
    struct Case {
        std::string text;
        const char* fatal;  // a word of the refusal; "" where it reads
        const char* flags;  // the first row's flags where it reads
        int rows = 0;
    };
    const Case cases[] = {
        {"", "empty", ""},
        {"Ref,Value\nR1,1k\0\x01\x02"s, "NUL", ""},
        {"\xFF\xFER\0e\0f\0"s, "UTF-16", ""},
        {"\x01\x02\x03\x04\x05 ref,value", "not a text", ""},
        {"Reference\nR1\nR2\n", "one column", ""},
        {"Qty,Price\n1,2\n", "no column of designators", ""},
        {"Ref,Value\nR1,\"4k7\nR2,10k\n", "", "unreadable row", 2},
        {"Ref,Value,Description\nR1,4k7,\"" + longField + " 1%\"\n", "", "ok", 1},
        {"R1,4k7\nR2,10k\n", "", "ok", 2},  // no header
    };
    for (const Case& c : cases) {
        PartsListReader reader(TextSource(c.text, 100));
        CheckedPart part;
        const bool read = reader.Next(part);
        EXPECT_NE(reader.Fatal().find(c.fatal), std::string::npos) << c.text.substr(0, 30) << ": " << reader.Fatal();
        EXPECT_EQ(read, *c.fatal == '\0') << c.text.substr(0, 30);
        if (read) {
            const std::vector<std::string> flags = FlagWords(part);
            EXPECT_EQ(flags.empty() ? "ok" : flags.front(), c.flags) << c.text.substr(0, 30);
            int rows = 1;
            while (reader.Next(part)) {
                ++rows;
            }
            EXPECT_EQ(rows, c.rows) << c.text.substr(0, 30);
        }
    }
}

#ifdef ZARNIK_SHARED_BOMS
// Both real lists, every row against values.tsv: the part, the value in SI
// units and the tolerance, by designator.
TEST(PartsList, SharedListsReadAsTheirValuesByHand)
{
    const std::filesystem::path folder = ZARNIK_SHARED_BOMS;
    std::ifstream truth(folder / "values.tsv");
    if (!truth) {
        GTEST_SKIP() << "no parts lists in " << folder;
    }
    std::map<std::string, std::map<std::string, std::vector<std::string>>> expected;  // file, designator
    for (std::string line; std::getline(truth, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) {
            f.push_back(field);
        }
        f.resize(6);
        expected[f[0]][f[1]] = f;
    }
    ASSERT_EQ(expected.size(), 2u);
    for (const auto& [file, parts] : expected) {
        std::ifstream in(folder / file, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        PartsListReader reader(TextSource(text));
        CheckedPart part;
        std::size_t matched = 0;
        while (reader.Next(part)) {
            for (const std::string& reference : part.references) {
                const auto it = parts.find(reference);
                if (it == parts.end()) {
                    EXPECT_EQ(part.kind, PartKind::Other) << file << " " << reference;
                    continue;
                }
                ++matched;
                const std::vector<std::string>& want = it->second;
                EXPECT_EQ(PartKindName(part.kind), want[2]) << file << " " << reference;
                if (want[2] == "other") {
                    continue;
                }
                const std::string value = want[3] == "?" ? "-" : DecimalText(*ReadDecimal(want[3]));
                EXPECT_EQ(Text(part.value), value) << file << " " << reference;
                EXPECT_EQ(Text(part.tolerancePercent), want[4].empty() ? "-" : want[4]) << file << " " << reference;
                // Every flag has its reason in the notes by hand.
                for (const std::string& flag : FlagWords(part)) {
                    const bool explained = (flag == "do not place" && want[5].starts_with("DNP")) ||
                                           (want[5].starts_with("contradiction") &&
                                            (flag == "not a standard value" || flag == "differs from its description"));
                    EXPECT_TRUE(explained) << file << " " << reference << ": " << flag;
                }
            }
        }
        EXPECT_EQ(reader.Fatal(), "") << file;
        EXPECT_EQ(matched, parts.size()) << file;
    }
}
#endif

}  // namespace
}  // namespace zarnik
