// SPDX-License-Identifier: MIT
#include "cli/CheckCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "model/PartsList.h"

namespace zarnik::cli {

namespace {

// A text from the file as a terminal shows it: its control characters,
// which could move the cursor or recolour the screen, as '?'.
std::string Shown(std::string_view text)
{
    std::string shown(text);
    for (char& c : shown) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            c = '?';
        }
    }
    return shown;
}

std::string Joined(const std::vector<std::string>& words, std::string_view gap)
{
    std::string joined;
    for (const std::string& word : words) {
        joined += (joined.empty() ? "" : std::string(gap)) + word;
    }
    return joined;
}

std::string CodesText(const std::vector<NamedCode>& codes)
{
    std::vector<std::string> texts;
    for (const NamedCode& code : codes) {
        texts.push_back(code.code);
    }
    return Joined(texts, " ");
}

std::string ReadAsText(const CheckedPart& part)
{
    if (!part.value) {
        return "-";
    }
    std::string text = ValueText(part.kind, *part.value, kPoint);
    if (part.tolerancePercent) {
        text += " \u00B1" + DecimalText(*part.tolerancePercent, kPoint) + "%";
    }
    if (part.volts) {
        text += " " + DecimalText(*part.volts, kPoint) + " V";
    }
    return text;
}

std::string SeriesWord(const CheckedPart& part)
{
    if (!part.series) {
        return "-";
    }
    return part.series->series ? std::string(SeriesName(*part.series->series)) : "none";
}

// Pads to `width` display columns (UTF-8 continuation bytes take none).
std::string Padded(std::string text, std::size_t width)
{
    std::size_t columns = 0;
    for (const char c : text) {
        columns += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0 : 1;
    }
    if (columns < width) {
        text.append(width - columns, ' ');
    }
    return text + " ";
}

std::string TableHeading()
{
    return Padded("Line", 5) + Padded("Designators", 14) + Padded("Value", 10) + Padded("Reads as", 22) +
           Padded("Series", 6) + Padded("Bands", 34) + Padded("Codes", 14) + "Flags\n";
}

std::string TableLine(const CheckedPart& part)
{
    std::string line = Padded(std::to_string(part.line), 5) + Padded(Shown(Joined(part.references, " ")), 14) +
                       Padded(Shown(part.written.empty() ? "-" : part.written), 10) + Padded(ReadAsText(part), 22) +
                       Padded(SeriesWord(part), 6) + Padded(part.bands.empty() ? "-" : BandsText(part.bands), 34) +
                       Padded(part.codes.empty() ? "-" : CodesText(part.codes), 14);
    const std::vector<std::string> flags = FlagWords(part);
    const std::string note = FlagNote(part, kPoint);
    line += flags.empty() ? "ok" : Joined(flags, ", ");
    if (!note.empty()) {
        line += " (" + Shown(note) + ")";
    }
    while (line.back() == ' ') {
        line.pop_back();
    }
    return line + "\n";
}

std::string JsonOrNull(const std::optional<Decimal>& value) { return value ? JsonNumber(*value) : "null"; }

std::string JsonLine(const CheckedPart& part)
{
    std::vector<std::string> references;
    for (const std::string& reference : part.references) {
        references.push_back(JsonString(reference));
    }
    JsonObject json{{"line", std::to_string(part.line)},
                    {"references", JsonArray(references)},
                    {"part", JsonString(PartKindName(part.kind))},
                    {"value", JsonString(part.written)}};
    if (part.kind != PartKind::Other) {
        json[SiUnitName(part.kind)] = JsonOrNull(part.value);
        json["tolerance_percent"] = JsonOrNull(part.tolerancePercent);
        json["volts"] = JsonOrNull(part.volts);
        json["series"] =
            part.series && part.series->series ? JsonString(SeriesName(*part.series->series)) : std::string("null");
        std::string nearest = "null";
        if (part.series && !part.series->nearest.empty()) {
            JsonObject object;
            for (const auto& [series, neighbours] : part.series->nearest) {
                object[SeriesName(series)] = JsonArray({JsonNumber(neighbours.below), JsonNumber(neighbours.above)});
            }
            nearest = object.Text();
        }
        json["nearest"] = nearest;
        std::vector<std::string> bands;
        for (const ColourCode* band : part.bands) {
            bands.push_back(JsonString(band->name));
        }
        json["bands"] = bands.empty() ? std::string("null") : JsonArray(bands);
        JsonObject codes;
        for (const NamedCode& code : part.codes) {
            codes[code.system] = JsonString(code.code);
        }
        json["codes"] = codes.Text();
    }
    std::vector<std::string> flags;
    for (const std::string& flag : FlagWords(part)) {
        flags.push_back(JsonString(flag));
    }
    json["flags"] = JsonArray(flags);
    const std::string note = FlagNote(part, kPoint);
    json["note"] = note.empty() ? std::string("null") : JsonString(note);
    return json.Text() + "\n";
}

// One field of a spreadsheet row: quoted where it holds a separator, a
// quote or a line end; a text a spreadsheet would take for a formula gets
// a leading apostrophe.
std::string CsvField(std::string text)
{
    if (!text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '@')) {
        text.insert(text.begin(), '\'');
    }
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

constexpr std::string_view kCsvHeading =
    "line,references,part,value,si_value,unit,tolerance_percent,volts,series,nearest,bands,codes,flags,note\n";

std::string CsvLine(const CheckedPart& part)
{
    const auto number = [](const std::optional<Decimal>& value) {
        return value ? DecimalText(*value, kPoint) : std::string();
    };
    std::string nearest;
    std::string series;
    if (part.series) {
        series = part.series->series ? std::string(SeriesName(*part.series->series)) : "none";
        for (const auto& [s, neighbours] : part.series->nearest) {
            nearest += (nearest.empty() ? "" : " ") + std::string(SeriesName(s)) + ":" +
                       DecimalText(neighbours.below, kPoint) + "/" + DecimalText(neighbours.above, kPoint);
        }
    }
    std::vector<std::string> codes;
    for (const NamedCode& code : part.codes) {
        codes.push_back(std::string(code.system) + " " + code.code);
    }
    const std::vector<std::string> fields = {std::to_string(part.line),
                                             Joined(part.references, " "),
                                             std::string(PartKindName(part.kind)),
                                             part.written,
                                             number(part.value),
                                             std::string(SiUnitName(part.kind)),
                                             number(part.tolerancePercent),
                                             number(part.volts),
                                             series,
                                             nearest,
                                             BandsText(part.bands),
                                             Joined(codes, "; "),
                                             Joined(FlagWords(part), "; "),
                                             FlagNote(part, kPoint)};
    std::string line;
    for (const std::string& field : fields) {
        line += (line.empty() ? "" : ",") + CsvField(field);
    }
    return line + "\n";
}

void Write(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

}  // namespace

int RunCheck(const Words& words, int input, std::FILE* out, std::FILE* err)
{
    const auto fail = [err](const std::string& why) {
        Write(err, "zarnik: " + why + "\n");
        std::fflush(err);
        return kUsage;
    };
    if (words.plain.size() != 1) {
        return fail("check takes one FILE, not " + Echoed(cli::Joined(words.plain)));
    }
    const std::string& file = words.plain.front();
    const int fd = file == "-" ? input : open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return fail("cannot read " + FileNamed(file) + ": " + std::strerror(errno));
    }
    std::FILE* csv = nullptr;
    if (words.Has("csv")) {
        const std::string target = words.Value("csv", "");
        csv = target == "-" ? out : std::fopen(target.c_str(), "w");
        if (csv == nullptr) {
            if (fd != input) {
                close(fd);
            }
            return fail("cannot write " + FileNamed(target) + ": " + std::strerror(errno));
        }
        Write(csv, kCsvHeading);
    }
    PartsListReader reader(FileSource(fd));
    ListSummary summary;
    CheckedPart part;
    bool headed = false;
    while (reader.Next(part)) {
        summary.Add(part);
        if (words.json) {
            Write(out, JsonLine(part));
        } else if (csv != out && (part.kind != PartKind::Other || part.damaged)) {
            if (!headed) {
                Write(out, TableHeading());
                headed = true;
            }
            Write(out, TableLine(part));
        }
        if (csv != nullptr) {
            Write(csv, CsvLine(part));
        }
    }
    if (fd != input) {
        close(fd);
    }
    bool written = std::fflush(out) == 0 && !std::ferror(out);
    if (csv != nullptr && csv != out) {
        written = std::fflush(csv) == 0 && !std::ferror(csv) && written;
        written = std::fclose(csv) == 0 && written;
    }
    if (!reader.Fatal().empty()) {
        return fail(FileNamed(file) + ": " + reader.Fatal());
    }
    if (!words.json && csv != out) {
        Write(out, summary.Text() + "\n");
    }
    written = std::fflush(out) == 0 && !std::ferror(out) && written;
    if (!written) {
        Write(err, std::string("zarnik: cannot write the answer: ") + std::strerror(errno) + "\n");
        return kWriteFailed;
    }
    return summary.flaggedRows > 0 ? kRefused : kDone;
}

}  // namespace zarnik::cli
