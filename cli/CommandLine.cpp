// SPDX-License-Identifier: MIT
#include "cli/CommandLine.h"

#include <unistd.h>

#include <fcntl.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "cli/Answer.h"
#include "cli/CheckCommand.h"
#include "cli/JsonObject.h"
#include "cli/LineReader.h"
#include "cli/MarkingCommands.h"
#include "cli/PartCommands.h"
#include "cli/PhotoCommand.h"
#include "model/ColourTable.h"
#include "model/Markings.h"
#include "model/ResultFacts.h"
#include "model/StandardValues.h"

namespace zarnik::cli {

namespace {

// Qt's window options, and whether each takes a value as the next word.
struct WindowOption {
    std::string_view name;
    bool takesValue;
};
constexpr WindowOption kWindowOptions[] = {{"-platform", true},       {"-platformpluginpath", true},
                                           {"-platformtheme", true},  {"-plugin", true},
                                           {"-qmljsdebugger", false}, {"-qwindowgeometry", true},
                                           {"-qwindowicon", true},    {"-qwindowtitle", true},
                                           {"-reverse", false},       {"-session", true},
                                           {"-display", true},        {"-geometry", true},
                                           {"-style", true},          {"-stylesheet", true},
                                           {"-widgetcount", false}};

const char* const kHelp =
    "Usage: zarnik [--json] COMMAND WORDS...\n"
    "       zarnik [--json] batch [FILE]\n"
    "       zarnik [--json] check FILE [--csv OUT]\n"
    "The markings of resistors, capacitors and inductors in a terminal; without a\n"
    "command zarnik opens its windows.\n"
    "\n"
    "Commands:\n"
    "  decode Black                     one black band: the zero-ohm link\n"
    "  decode C1 C2 M                   three bands: two digits, multiplier (+-20%)\n"
    "  decode C1 C2 M T                 four bands: two digits, multiplier, tolerance\n"
    "  decode C1 C2 C3 M T              five bands: three digits, multiplier, tolerance\n"
    "  decode C1 C2 C3 M T TC           six bands: five and the temperature coefficient\n"
    "  encode VALUE UNIT TOLERANCE      the bands of a value (four bands; five with\n"
    "                                   --five, six with --tc PPM)\n"
    "  nearest VALUE UNIT               the standard values at or below and at or above\n"
    "  code CODE                        what a printed code reads as: 472, 4R7, 4701,\n"
    "                                   10R0, 01C (EIA-96), 4K7 or 4K7J (RKM), 0 or 000\n"
    "  codes VALUE UNIT                 a value's RKM, 3-digit, 4-digit and EIA-96 codes\n"
    "  code CODE --part capacitor       a capacitor's code: 104, 479, 47, 4R7, 4n7, p68,\n"
    "                                   1u0, with a tolerance letter (104K, 4R7C, 104Z)\n"
    "                                   and an EIA voltage code before 3 digits (2A474J)\n"
    "  code CODE --part inductor        an inductor's code: 4R7, R10 (uH), 8N2, 47N (nH),\n"
    "                                   101 (3-digit, read in uH), with F G J K M\n"
    "  codes VALUE UNIT --part capacitor  the 3-digit pF, pF digits, R pF and IEC 60062\n"
    "                                   codes (UNIT: pF nF uF F)\n"
    "  codes VALUE UNIT --part inductor the R uH, N nH and 3-digit uH codes and the bands\n"
    "                                   (UNIT: nH uH mH H)\n"
    "  decode C1 C2 M [T] --part inductor  an inductor's bands in uH: two digits, the\n"
    "                                   multiplier (Silver x0.01 Gold x0.1 Black to Yellow),\n"
    "                                   tolerance Brown 1% Red 2% Gold 5% Silver 10% none 20%\n"
    "  dielectric CODE                  a ceramic dielectric: X7R, X5R, Y5V, Z5U (class 2),\n"
    "                                   C0G, NP0, U2J (class 1)\n"
    "  photo FILE                       the bands read from a photo of one resistor,\n"
    "                                   answered as decode answers them, then the\n"
    "                                   reading's confidence and up to two others\n"
    "  check FILE                       a parts list (CSV, ; or tab separated): each\n"
    "                                   resistor, capacitor and inductor row's value,\n"
    "                                   series, bands and codes, and its flags: not a\n"
    "                                   standard value, unreadable value, do not place,\n"
    "                                   differs from its description; then a summary\n"
    "  batch [FILE]                     one command per line of FILE (standard input when\n"
    "                                   it is absent or -), answered in order\n"
    "\n"
    "Options:\n"
    "  --json                           one JSON object per answer instead of lines\n"
    "  --five                           encode: five bands instead of four\n"
    "  --tc PPM                         encode: six bands, the five and the coefficient's\n"
    "                                   colour (PPM: 250 100 50 15 25 20 10 5 1)\n"
    "  --series NAME                    nearest: E3 E6 E12 E24 E48 E96 E192 (E24)\n"
    "  --annotate OUT.png               photo: also write the photo with the body\n"
    "                                   outlined and each band named\n"
    "  --csv OUT                        check: also write the rows as CSV to OUT (- for\n"
    "                                   standard output, instead of the table)\n"
    "  --part PART                      code, codes, decode: resistor (the default),\n"
    "                                   capacitor or inductor\n"
    "  -h, --help                       this text\n"
    "  -v, --version                    the version\n"
    "\n"
    "Colours: Black Brown Red Orange Yellow Green Blue Violet Grey White Gold Silver\n"
    "Pink, and none for no tolerance band, in any letter case. The first digit is\n"
    "Brown to White, the others Black to White; the multiplier Black (x1) to White\n"
    "(x10^9), Gold (x0.1), Silver (x0.01) or Pink (x0.001); the tolerance Brown Red\n"
    "Green Blue Violet Grey Gold Silver or none; the coefficient (ppm/K) Black 250,\n"
    "Brown 100, Red 50, Orange 15, Yellow 25, Green 20, Blue 10, Violet 5, Grey 1.\n"
    "UNIT: Ohm, K or M (or K Ohm, M Ohm). TOLERANCE: 1% 2% 0.5% 0.25% 0.1% 0.05% 5%\n"
    "10% 20%, with or without a leading _+. VALUE is written with '.' as the\n"
    "decimal separator.\n"
    "\n"
    "decode prints the decoder window's result line, the temperature coefficient,\n"
    "the reading from the other end where the bands have one, then the value's\n"
    "range and series as the result line's tooltip tells them; encode prints the\n"
    "encoder window's result line, its band colours a b (CG) c d (and the\n"
    "coefficient's, with its line), then range and series.\n"
    "encode refuses a value its bands cannot carry exactly (too many significant\n"
    "digits, too small, too large) and says what would carry it; code refuses a\n"
    "code no system reads, dielectric a code no EIA-198 table holds, photo a photo\n"
    "with no resistor found in it; a missing file, a file that is no image or one\n"
    "over 50 megapixels is a wrong word.\n"
    "Capacitor tolerance letters: B C D are 0.1 0.25 0.5 pF below 10 pF and percent\n"
    "from 10 pF; F G are 1 2 percent, and below 10 pF also 1 2 pF (both readings are\n"
    "given); J K M 5 10 20 percent; Z +80/-20 percent. A K after a number is the\n"
    "tolerance (47K is 47 pF +-10%). A 3-digit inductor code is read in uH; RF chip\n"
    "inductors print it in nH, and the reading says so.\n"
    "A batch line holds the words after zarnik, as: encode 4.7 K 5% --five; blank\n"
    "lines and lines starting with # are skipped. With --json each answer is one\n"
    "line of JSON with its line number; a refused or wrong line gives {\"error\": ...}.\n"
    "\n"
    "Exit status: 0 done, 1 a value or code refused, 2 a wrong word (one line on\n"
    "standard error says why), 3 the answer could not be written; a batch exits with\n"
    "the highest status of its lines. check exits 0 when every part was read and\n"
    "none is flagged, 1 when some part is flagged, 2 when the file cannot be read\n"
    "(missing, empty, not text, one column, no designator column).\n";

// An option: its name without dashes, the word its value is written as ("":
// a flag), and the commands it belongs to, blank-separated ("": every command).
struct Option {
    std::string_view name;
    std::string_view value;
    std::string_view command;
};

// The commands: one entry each, a function from its words to its answer.
// Options name the command they belong to.
// A command that reads files (`readsFiles`) may answer the same words
// otherwise the next time; every other one is a function of its words alone.
struct Command {
    std::string_view name;
    Answer (*answer)(const Words&);
    bool readsFiles = false;
};
constexpr Command kCommands[] = {{"decode", DecodePart},    {"encode", Encode},
                                 {"nearest", Nearest},      {"code", ReadPartCode},
                                 {"codes", WritePartCodes}, {"dielectric", ReadDielectricCode},
                                 {"photo", ReadPhoto, true}};
constexpr Option kOptions[] = {{"json", "", ""},
                               {"help", "", ""},
                               {"version", "", ""},
                               {"five", "", "encode"},
                               {"series", "NAME", "nearest"},
                               {"tc", "PPM", "encode"},
                               {"part", "PART", "code codes decode"},
                               {"annotate", "OUT.png", "photo"},
                               {"csv", "OUT", "check"}};
constexpr std::string_view kBatch = "batch";
// check streams its rows as it reads them, as batch does, rather than giving
// one answer.
constexpr std::string_view kCheck = "check";

std::string AcceptedCommands()
{
    std::string accepted;
    for (const Command& command : kCommands) {
        accepted += std::string(command.name) + " ";
    }
    return accepted + std::string(kCheck) + " " + std::string(kBatch);
}

std::string AcceptedOptions()
{
    std::string accepted;
    for (const Option& option : kOptions) {
        accepted += (accepted.empty() ? "--" : " --") + std::string(option.name) +
                    (option.value.empty() ? "" : " " + std::string(option.value));
    }
    return accepted;
}

// Whether a command is one of an option's blank-separated commands.
bool BelongsTo(std::string_view command, std::string_view commands)
{
    for (std::size_t start = 0; start <= commands.size();) {
        const std::size_t end = std::min(commands.size(), commands.find(' ', start));
        if (commands.substr(start, end - start) == command) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// "-4.7" and "-.5" are values, not options; "-inf" and "-x" are options, and
// a wrong one is named by its whole word.
bool IsOption(std::string_view word)
{
    return word.size() > 1 && word[0] == '-' && !(std::isdigit(static_cast<unsigned char>(word[1])) || word[1] == '.');
}

struct Parsed {
    const Command* command = nullptr;  // nullptr: batch or check, or help or version
    bool check = false;
    Words words;  // the words after the command's name
    std::map<std::string, std::string, std::less<>> global;
};

// Reads the words of one command line (after `zarnik`) or of one batch line,
// where the options that concern the whole run (--json, --help, --version,
// batch itself) have no place.
Parsed ParseWords(std::span<const std::string> tokens, bool batchLine)
{
    Parsed parsed;
    std::vector<std::string> plain;
    std::vector<std::pair<const Option*, std::string>> given;
    bool optionsEnd = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string& word = tokens[i];
        if (optionsEnd || !IsOption(word)) {
            plain.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnd = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        std::string_view name = std::string_view(word).substr(0, equals);
        name = name == "-h" || name == "-?" ? "--help" : name == "-v" ? "--version" : name;
        const Option* option = nullptr;
        for (const Option& o : kOptions) {
            if (name.starts_with("--") && name.substr(2) == o.name) {
                option = &o;
            }
        }
        if (option == nullptr) {
            throw WrongWord(Echoed(word) + " is not an option; accepted: " + AcceptedOptions());
        }
        std::string value;
        if (!option->value.empty()) {
            if (equals != std::string::npos) {
                value = word.substr(equals + 1);
            } else if (i + 1 < tokens.size()) {
                value = tokens[++i];
            } else {
                throw WrongWord(Echoed(word) + " takes a value: --" + std::string(option->name) + " " +
                                std::string(option->value));
            }
        } else if (equals != std::string::npos) {
            throw WrongWord(Echoed(word) + " takes no value");
        }
        if (batchLine && option->command.empty()) {
            throw WrongWord(Echoed(word) + " has no place on a batch line: it goes before batch");
        }
        given.emplace_back(option, value);
    }
    for (const auto& [option, value] : given) {
        (option->command.empty() ? parsed.global : parsed.words.options)[std::string(option->name)] = value;
    }
    if (parsed.global.contains("help") || parsed.global.contains("version")) {
        return parsed;
    }
    if (plain.empty()) {
        throw WrongWord("no command; accepted: " + AcceptedCommands() + " (zarnik --help)");
    }
    for (const Command& command : kCommands) {
        if (plain.front() == command.name) {
            parsed.command = &command;
        }
    }
    parsed.check = parsed.command == nullptr && plain.front() == kCheck && !batchLine;
    if (parsed.command == nullptr && !parsed.check && (batchLine || plain.front() != kBatch)) {
        throw WrongWord(Echoed(plain.front()) + " is not a command; accepted: " +
                        (batchLine ? AcceptedCommands().substr(0, AcceptedCommands().rfind(" " + std::string(kCheck)))
                                   : AcceptedCommands()));
    }
    const std::string_view commandName = parsed.command ? parsed.command->name : parsed.check ? kCheck : kBatch;
    for (const auto& [option, value] : given) {
        if (!option->command.empty() && !BelongsTo(commandName, option->command)) {
            throw WrongWord("'--" + std::string(option->name) + "' is an option of " + std::string(option->command) +
                            " only");
        }
    }
    parsed.words.plain.assign(plain.begin() + 1, plain.end());
    return parsed;
}

// Prints what the answers say, as text or as JSON Lines, and remembers the
// highest status and whether a write failed.
// An answer as it goes out: its status, the reason of a refusal or a wrong
// word, and its text, written once: the lines with their ends, or the JSON
// object in two halves around the value of its "line" key, which a batch
// line fills with its number.
struct Written {
    int status = kDone;
    std::string reason;
    std::string text;
    std::string afterLine;
};

class Printer {
public:
    Printer(std::FILE* out, std::FILE* err, bool json) : out_(out), err_(err), json_(json) {}

    // The answer's text; `numbered` for a batch line.
    [[nodiscard]] Written Render(Answer answer, bool numbered) const
    {
        Written written{answer.status, std::move(answer.reason), {}, {}};
        if (!json_) {
            for (const std::string& text : answer.lines) {
                written.text += text;
                written.text += '\n';
            }
            return written;
        }
        JsonObject json = std::move(answer.json);
        if (written.status != kDone) {
            json = {{"error", JsonString(written.reason)}};
            if (written.status == kRefused) {
                json["refused"] = "true";
            }
        }
        // A control character, which no JSON text of ours holds unescaped,
        // marks the place of the number among the sorted keys.
        if (numbered) {
            json["line"] = "\x01";
        }
        written.text = json.Text();
        const std::size_t mark = written.text.find('\x01');
        if (mark != std::string::npos) {
            written.afterLine = written.text.substr(mark + 1);
            written.text.resize(mark);
        }
        written.afterLine += '\n';
        return written;
    }

    void Emit(const Written& written, long line = 0)
    {
        status_ = std::max(status_, written.status);
        const std::string number = line > 0 ? std::to_string(line) : std::string();
        if (written.status != kDone) {
            Write(err_, "zarnik: " + (line > 0 ? "line " + number + ": " : std::string()) + written.reason + "\n");
        }
        Write(out_, written.text);
        if (json_) {
            Write(out_, number);
            Write(out_, written.afterLine);
        }
    }

    void Print(Answer answer, long line = 0) { Emit(Render(std::move(answer), line > 0), line); }

    void Fail(int status, const std::string& reason) { Print(Answer{{}, {}, status, reason}); }

    // Pushes out what is buffered; false once a write has failed, which
    // then was said on stderr.
    bool Flush()
    {
        std::fflush(err_);
        if (!failed_ && (std::fflush(out_) != 0 || std::ferror(out_))) {
            failed_ = true;
            const int error = errno;
            Write(err_, std::string("zarnik: cannot write the answer: ") + std::strerror(error) + "\n");
            std::fflush(err_);
        }
        return !failed_;
    }

    bool WriteFailed() const { return failed_ || std::ferror(out_); }

    int Status() { return Flush() ? status_ : kWriteFailed; }

private:
    static void Write(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

    std::FILE* out_;
    std::FILE* err_;
    bool json_;
    int status_ = kDone;
    bool failed_ = false;
};

Answer Answered(const std::function<Answer()>& run)
{
    try {
        return run();
    } catch (const Refusal& refusal) {
        return Answer{{}, {}, kRefused, refusal.what()};
    } catch (const WrongWord& wrong) {
        return Answer{{}, {}, kUsage, wrong.what()};
    }
}

std::vector<std::string> Split(std::string_view line)
{
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t\r\f\v", pos);
        if (start == std::string_view::npos) {
            break;
        }
        pos = std::min(line.size(), line.find_first_of(" \t\r\f\v", start));
        words.emplace_back(line.substr(start, pos - start));
    }
    return words;
}

// Looks a line up by its text without copying it.
struct LineHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view line) const { return std::hash<std::string_view>{}(line); }
};

int RunBatch(const std::vector<std::string>& args, int input, Printer& printer, bool json)
{
    if (args.size() > 1) {
        printer.Fail(kUsage, "batch takes one FILE at most, not " + Echoed(Joined(args)));
        return printer.Status();
    }
    int fd = input;
    if (!args.empty() && args.front() != "-") {
        fd = open(args.front().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            printer.Fail(kUsage, "cannot read " + Echoed(args.front()) + ": " + std::strerror(errno));
            return printer.Status();
        }
    }
    LineReader reader(fd, [&printer] { printer.Flush(); });
    // Scripts ask the same again and again: an answer that depends on its
    // words alone is written once and kept by its line. A few thousand are
    // kept at most, so that memory stays flat for any input.
    constexpr std::size_t kKept = 4096;
    std::unordered_map<std::string, Written, LineHash, std::equal_to<>> kept;
    std::string line;
    bool tooLong = false;
    for (long number = 1; reader.Next(line, tooLong); ++number) {
        const std::size_t first = line.find_first_not_of(" \t\r\f\v");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        if (const auto known = tooLong ? kept.end() : kept.find(line); known != kept.end()) {
            printer.Emit(known->second, number);
        } else {
            bool keep = false;
            Written written = printer.Render(
                Answered([&] {
                    if (tooLong) {
                        throw WrongWord("longer than " + std::to_string(LineReader::kLongest) + " bytes");
                    }
                    const std::vector<std::string> words = Split(line);
                    Parsed parsed = ParseWords(words, true);
                    parsed.words.json = json;
                    keep = !parsed.command->readsFiles;
                    return parsed.command->answer(parsed.words);
                }),
                true);
            printer.Emit(written, number);
            if (keep) {
                if (kept.size() == kKept) {
                    kept.clear();
                }
                kept.emplace(line, std::move(written));
            }
        }
        if (printer.WriteFailed()) {
            break;  // said on stderr at the next flush; the rest would be lost too
        }
    }
    if (reader.Error() != 0) {
        printer.Fail(kUsage, std::string("cannot read the batch: ") + std::strerror(reader.Error()));
    }
    if (fd != input) {
        close(fd);
    }
    return printer.Status();
}

// Options that name where the windows go, as the environment can.
bool GivesDisplay(std::string_view name) { return name == "-platform" || name == "-display"; }

}  // namespace

bool StartsCommandLine(int argc, char** argv)
{
    if (argc < 2) {
        return false;
    }
    std::string_view first = argv[1];
    if (first.starts_with("--")) {
        first.remove_prefix(1);  // Qt takes its window options with one dash or two
    }
    first = first.substr(0, first.find('='));
    return std::ranges::none_of(kWindowOptions, [&](const WindowOption& o) { return o.name == first; });
}

std::optional<int> RefusedWindowStart(int argc, char** argv, std::FILE* err)
{
    bool display = false;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        display = display || (value != nullptr && *value != '\0');
    }
    for (int i = 1; i < argc; ++i) {
        std::string_view word = argv[i];
        if (word.starts_with("--")) {
            word.remove_prefix(1);
        }
        const std::size_t equals = word.find('=');
        const std::string_view name = word.substr(0, equals);
        const auto option = std::ranges::find_if(kWindowOptions, [&](const WindowOption& o) { return o.name == name; });
        if (option == std::end(kWindowOptions)) {
            std::fprintf(err,
                         "zarnik: %s follows the window options; a command takes none of them, "
                         "and the windows take no other word (zarnik --help)\n",
                         Echoed(argv[i]).c_str());
            return kUsage;
        }
        display = display || GivesDisplay(name);
        if (option->takesValue && equals == std::string_view::npos) {
            ++i;
        }
    }
    if (!display) {
        std::fprintf(err, "zarnik: no display to open the windows on; see zarnik --help for the command line\n");
        return kRefused;
    }
    return std::nullopt;
}

int RunCommandLine(const std::vector<std::string>& words, int input, std::FILE* out, std::FILE* err)
{
    const auto json = std::ranges::find_if(words, [](const std::string& w) { return w == "--json" || w == "--"; });
    Printer printer(out, err, json != words.end() && *json == "--json");
    Parsed parsed;
    try {
        parsed = ParseWords(words, false);
    } catch (const WrongWord& wrong) {
        printer.Fail(kUsage, wrong.what());
        return printer.Status();
    }
    if (parsed.global.contains("help")) {
        std::fputs(kHelp, out);
        return printer.Status();
    }
    if (parsed.global.contains("version")) {
        std::fputs("zarnik " ZARNIK_VERSION "\n", out);
        return printer.Status();
    }
    if (parsed.check) {
        parsed.words.json = parsed.global.contains("json");
        if (out == stdout && err == stderr) {
            std::setvbuf(out, nullptr, _IOFBF, 1 << 16);
        }
        return RunCheck(parsed.words, input, out, err);
    }
    if (parsed.command == nullptr) {
        if (out == stdout && err == stderr) {
            // Large blocks: a batch writes a great deal, and its error lines
            // go out with its answers (Flush) rather than one write each.
            std::setvbuf(out, nullptr, _IOFBF, 1 << 16);
            std::setvbuf(err, nullptr, _IOFBF, 1 << 14);
        }
        return RunBatch(parsed.words.plain, input, printer, parsed.global.contains("json"));
    }
    parsed.words.json = parsed.global.contains("json");
    printer.Print(Answered([&] { return parsed.command->answer(parsed.words); }));
    return printer.Status();
}

int RunCommandLine(int argc, char** argv)
{
    return RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), STDIN_FILENO, stdout, stderr);
}

}  // namespace zarnik::cli
