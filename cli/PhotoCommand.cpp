// SPDX-License-Identifier: MIT
#include "cli/PhotoCommand.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/MarkingCommands.h"
#include "model/Markings.h"
#include "model/ResultFacts.h"
#include "model/StandardValues.h"
#include "photo/module/PhotoModule.h"

namespace zarnik::cli {

namespace {

using photo::PhotoCandidate;
using photo::PhotoReading;
using photo::PhotoStatus;

// "83%": confidences are shown in whole percent, never rounded up to a
// certainty the reader does not have.
std::string Percent(double confidence)
{
    const double percent = std::floor(std::clamp(confidence, 0.0, 1.0) * 100.0);
    return std::to_string(int(percent)) + "%";
}

// A fraction of one with three decimals at most, as JSON.
std::string Fraction(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", std::clamp(value, 0.0, 1.0));
    std::string written = text;
    while (written.back() == '0') {
        written.pop_back();
    }
    if (written.back() == '.') {
        written.pop_back();
    }
    return written;
}

std::string Pixels(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// What the model reads the candidate's bands as; nothing for bands that are
// no marking (the reader gives none such, but the module is another file).
std::optional<BandReading> ReadingOf(const PhotoCandidate& candidate)
{
    std::vector<const ColourCode*> colours;
    for (const std::string& name : candidate.bands) {
        colours.push_back(MarkingColourByName(name));
    }
    return ReadBands(colours);
}

std::string BandsArray(const PhotoCandidate& candidate)
{
    std::vector<std::string> names;
    for (const std::string& name : candidate.bands) {
        names.push_back(JsonString(name));
    }
    return JsonArray(names);
}

// A file's name where the answer's own words surround it.
std::string Unquoted(const std::string& file)
{
    const std::string named = FileNamed(file);
    return named.substr(1, named.size() - 2);
}

void WriteAnnotated(const photo::PhotoModule& module, const std::string& file, const PhotoReading& reading,
                    const std::string& out)
{
    const std::vector<unsigned char> png = module.annotatedPng(file, reading);
    if (png.empty()) {
        throw WrongWord("cannot draw on " + FileNamed(file));
    }
    std::FILE* stream = std::fopen(out.c_str(), "wb");
    if (stream == nullptr) {
        throw WrongWord("cannot write " + FileNamed(out) + ": " + std::strerror(errno));
    }
    const bool written = std::fwrite(png.data(), 1, png.size(), stream) == png.size();
    const int error = errno;
    if (std::fclose(stream) != 0 || !written) {
        throw WrongWord("cannot write " + FileNamed(out) + ": " + std::strerror(written ? errno : error));
    }
}

}  // namespace

Answer ReadPhoto(const Words& given)
{
    if (given.plain.size() != 1) {
        throw WrongWord("photo takes one FILE, not " + std::to_string(given.plain.size()) +
                        " words: " + Echoed(Joined(given.plain)));
    }
    const std::string& file = given.plain.front();
    std::string problem;
    const photo::PhotoModule* module = photo::LoadPhotoModule(problem);
    if (module == nullptr) {
        throw WrongWord(problem);
    }
    const PhotoReading reading = module->readFile(file);
    if (reading.status == PhotoStatus::NoResistor) {
        throw Refusal("no resistor found in " + Unquoted(file));
    }
    if (reading.status != PhotoStatus::Read) {
        throw WrongWord(FileNamed(file) + " " + reading.problem);
    }
    std::vector<std::pair<const PhotoCandidate*, BandReading>> read;
    for (const PhotoCandidate& candidate : reading.candidates) {
        if (auto bands = ReadingOf(candidate)) {
            read.emplace_back(&candidate, std::move(*bands));
        }
    }
    if (read.empty()) {
        throw Refusal("no resistor found in " + Unquoted(file));
    }
    if (given.Has("annotate")) {
        WriteAnnotated(*module, file, reading, given.Value("annotate", ""));
    }

    // The best reading as decode answers its bands.
    Words decode;
    decode.plain = read.front().first->bands;
    decode.json = given.json;
    Answer answer = DecodeMarking(decode);
    const PhotoCandidate& best = *read.front().first;
    if (!given.json) {
        answer.lines.push_back("read from " + Unquoted(file) + ": confidence " + Percent(best.confidence));
        for (std::size_t i = 1; i < read.size() && i < 3; ++i) {
            answer.lines.push_back("alternative: " + Joined(read[i].first->bands) + " = " +
                                   ReadingText(read[i].second, kPoint) + " (confidence " +
                                   Percent(read[i].first->confidence) + ")");
        }
        return answer;
    }
    const std::optional<Decimal> tolerance = TolerancePercent(read.front().second.toleranceText);
    answer.json["file"] = JsonString(file);
    answer.json["bands"] = BandsArray(best);
    answer.json["ohms"] = JsonNumber(read.front().second.ohms);
    answer.json["tolerance_percent"] = tolerance ? JsonNumber(*tolerance) : "null";
    answer.json["confidence"] = Fraction(best.confidence);
    std::vector<std::string> alternatives;
    for (std::size_t i = 1; i < read.size() && i < 3; ++i) {
        alternatives.push_back(JsonObject{{"bands", BandsArray(*read[i].first)},
                                          {"ohms", JsonNumber(read[i].second.ohms)},
                                          {"confidence", Fraction(read[i].first->confidence)}}
                                   .Text());
    }
    answer.json["alternatives"] = JsonArray(alternatives);
    std::vector<std::string> corners;
    for (const photo::PixelPoint& corner : reading.body) {
        corners.push_back(JsonArray({Pixels(corner.x), Pixels(corner.y)}));
    }
    answer.json["body"] = JsonArray(corners);
    return answer;
}

}  // namespace zarnik::cli
