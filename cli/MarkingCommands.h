// SPDX-License-Identifier: MIT
#pragma once

// The commands of every marking on a resistor: `decode` with one, three,
// four, five or six colours and the reading from the other end, `code` (what
// a printed code reads as) and `codes` (a value's printed codes), and the
// temperature coefficient `encode --tc` adds. Each is a function from the
// command's words to its answer, so that a single call and a batch line
// answer alike.

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

namespace zarnik::cli {

// What a command answers: its lines of text for stdout, the same as one JSON
// object, its exit status (0 done, 1 refused, 2 a wrong word), and one line
// for stderr where the status needs one (without the program's name). A
// refusal and a wrong word print no lines; their JSON is {"error": note},
// with "refused": true for a refusal.
struct MarkingAnswer {
    std::vector<std::string> lines;
    QJsonObject json;
    int status = 0;
    std::string note;
};

// decode C1 [C2 M | C2 M T | C2 C3 M T | C2 C3 M T TC]. Four and five bands
// of the decoder's palettes print exactly the decoder window's line and its
// range and series; every answer adds, between the two, a line for the
// temperature coefficient and one for the reading from the other end (JSON
// "tc_ppm" and "reversed").
[[nodiscard]] MarkingAnswer DecodeMarking(const QStringList& words);

// code CODE: one line per reading, "4.7 K Ohm (3-digit)"; refused where no
// system reads it.
[[nodiscard]] MarkingAnswer ReadPrintedCode(const QStringList& words);

// codes VALUE UNIT: the value's RKM, 3-digit, 4-digit and EIA-96 codes and
// its series.
[[nodiscard]] MarkingAnswer WritePrintedCodes(const QStringList& words);

// encode ... --tc PPM: the coefficient's colour goes after the five bands of
// an encoding's bands line (lines[1]) and JSON "bands", its text on a line of
// its own after it, and JSON "tc_ppm". A PPM no colour stands for gives the
// wrong-word message and changes nothing.
[[nodiscard]] std::optional<std::string> AddTemperatureCoefficient(std::vector<std::string>& lines, QJsonObject& json,
                                                                   const QString& ppm);

// A word of the command line as a message quotes it: at most 40 characters,
// control characters escaped ("\n", "\x1b"), in single quotes.
[[nodiscard]] std::string Echoed(const QString& word);

}  // namespace zarnik::cli
