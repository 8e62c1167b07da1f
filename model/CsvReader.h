// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zarnik {

// Reads the rows of a separated text (CSV, semicolon- or tab-separated) as it
// streams in: memory stays at one block and one row whatever the size of
// the file. The separator is the one of , ; tab | that the first lines hold
// most often outside quotes (a first line "sep=;" names it); fields may be
// quoted, with "" for a quote and separators and line ends inside; a quote
// inside an unquoted field is kept as written. CRLF, LF and CR end lines; a
// UTF-8 byte order mark is skipped. A file with a NUL byte, or whose first
// block is more than 1% control characters, is no text (a NUL in the first
// block is refused before any row, a later one after the rows before it),
// and a UTF-16 one is refused by name. A quote that is never closed, and a row
// longer than kLongestRow, are reported on their row, and reading goes on
// from the row's second line.
class CsvReader {
public:
    static constexpr std::size_t kLongestRow = 1 << 20;
    static constexpr std::size_t kBlock = 1 << 16;

    // Fills `into` with up to `room` bytes; returns how many, 0 at the end,
    // and -1 on a read error (the reader keeps errno's text).
    using Source = std::function<long(char* into, std::size_t room)>;

    struct Row {
        std::vector<std::string> fields;
        long line = 0;        // where the row starts, from 1
        std::string problem;  // why the row is damaged; "" for a sound row
    };

    explicit CsvReader(Source source);

    // The next row that is not blank; false at the end and after a fatal
    // problem (Fatal says which).
    bool Next(Row& row);

    // Why the file cannot be read as text: "not a text file (a NUL byte at
    // byte 12)", "UTF-16 text: save it as UTF-8", a read error; "" while it
    // can.
    [[nodiscard]] const std::string& Fatal() const { return fatal_; }
    // The separator found, once the first row has been read.
    [[nodiscard]] char Separator() const { return separator_; }

private:
    bool Fill();
    void DetectSeparator();
    // Starts the reading again after the first line of a damaged row.
    void ReplayAfterFirstLine();

    Source source_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool ended_ = false;
    bool started_ = false;
    std::string fatal_;
    char separator_ = ',';
    long line_ = 1;
    long long offset_ = 0;  // of buffer_'s first byte in the file
    // The row being read, as written, for a replay.
    std::string raw_;
    // While positive: the bytes still to read of a replay, in which a line
    // end always ends the row.
    std::size_t replay_ = 0;
};

// The text of a file as the reader takes it, for a reader of a file
// descriptor: read(2) on `fd`.
[[nodiscard]] CsvReader::Source FileSource(int fd);
// The text of a string, in pieces of at most `piece` bytes (tests, the
// fuzzer).
[[nodiscard]] CsvReader::Source TextSource(std::string text, std::size_t piece = CsvReader::kBlock);

}  // namespace zarnik
