// SPDX-License-Identifier: MIT
#include "cli/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/MarkingCommands.h"
#include "model/ColourTable.h"
#include "model/Decoding.h"
#include "model/Encoding.h"
#include "model/ResultFacts.h"
#include "model/StandardValues.h"

namespace zarnik::cli {

namespace {

// Scripts get the same text in every locale.
const NumberFormat kPoint{"."};

constexpr int kRefused = 1;
constexpr int kWrongWord = 2;

constexpr std::string_view kWindowOptions[] = {
    "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",     "-qmljsdebugger",
    "-qwindowgeometry", "-qwindowicon",        "-qwindowtitle",  "-reverse",    "-session",
    "-display",         "-geometry",           "-style",         "-stylesheet", "-widgetcount"};

const char* const kHelp =
    "The markings of resistors in a terminal; without a command zarnik opens its windows.\n"
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
    "coefficient's), then range and series.\n"
    "Exit status: 0 done, 1 refused (encode: the prompt is printed; code: no\n"
    "system reads it), 2 a wrong word.";

// A word on the command line that is not what its place takes; the message
// names it and lists what is accepted.
class WrongWord : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string Quoted(const QString& word) { return "'" + word.toStdString() + "'"; }

std::string Joined(const QStringList& words, const char* gap)
{
    return words.join(QString::fromUtf8(gap)).toStdString();
}

bool SameWord(const QString& word, std::string_view accepted)
{
    return word.compare(QString::fromUtf8(accepted.data(), qsizetype(accepted.size())), Qt::CaseInsensitive) == 0;
}

// "K Ohm" may come as one word or as two.
QStringList WithUnitJoined(QStringList words, qsizetype unitAt)
{
    if (words.size() > unitAt + 1 && SameWord(words[unitAt + 1], "Ohm") &&
        (SameWord(words[unitAt], "K") || SameWord(words[unitAt], "M"))) {
        words[unitAt] += QStringLiteral(" Ohm");
        words.removeAt(unitAt + 1);
    }
    return words;
}

// A unit's one-letter form, "K" for "K Ohm"; "" for "Ohm".
std::string_view LetterOf(const Unit& unit)
{
    const auto blank = unit.text.find(' ');
    return blank == std::string_view::npos ? std::string_view() : unit.text.substr(0, blank);
}

const Unit& UnitOf(const QString& word)
{
    for (const Unit& unit : Units()) {
        const std::string_view letter = LetterOf(unit);
        if (SameWord(word, unit.text) || (!letter.empty() && SameWord(word, letter))) {
            return unit;
        }
    }
    throw WrongWord(Quoted(word) + " is not a unit; accepted: Ohm, K, M, K Ohm, M Ohm");
}

// The tolerance list's texts, with or without their leading "_+".
std::string ToleranceOf(const QString& word)
{
    std::string accepted;
    for (const std::string_view text : ToleranceTexts()) {
        if (SameWord(word, text) || SameWord(word, text.substr(2))) {
            return std::string(text);
        }
        accepted += accepted.empty() ? "" : " ";
        accepted += text.substr(2);
    }
    throw WrongWord(Quoted(word) + " is not a tolerance; accepted: " + accepted + " (with or without a leading _+)");
}

std::string ValueOf(const QString& word)
{
    const std::string value = word.toStdString();
    if (!Parse(value, kPoint)) {
        throw WrongWord(Quoted(word) + " is not a number; VALUE is written with '.' as the decimal separator, as 4.7");
    }
    return value;
}

QJsonValue Ohms(const std::optional<Decimal>& value)
{
    return value ? QJsonValue(ToDouble(*value)) : QJsonValue(QJsonValue::Null);
}

QJsonValue Text(const std::optional<std::string>& text)
{
    return text ? QJsonValue(QString::fromStdString(*text)) : QJsonValue(QJsonValue::Null);
}

QJsonArray SeriesArray(const std::vector<Series>& series)
{
    QJsonArray names;
    for (const Series s : series) {
        names.append(QString::fromUtf8(SeriesName(s).data(), qsizetype(SeriesName(s).size())));
    }
    return names;
}

QJsonObject NearestObject(const std::vector<std::pair<Series, Neighbours>>& nearest)
{
    QJsonObject object;
    for (const auto& [series, neighbours] : nearest) {
        const std::string_view name = SeriesName(series);
        object.insert(QString::fromUtf8(name.data(), qsizetype(name.size())),
                      QJsonArray{ToDouble(neighbours.below), ToDouble(neighbours.above)});
    }
    return object;
}

// What a command answers: its lines of text, the same as one JSON object, its
// exit status, and a line for stderr where the status needs one.
struct Answer {
    std::vector<std::string> lines;
    QJsonObject json;
    int status = 0;
    std::string note;
};

Answer FromMarking(MarkingAnswer marking)
{
    return {std::move(marking.lines), std::move(marking.json), marking.status, std::move(marking.note)};
}

// The keys every command writes; the values are null where the result holds
// no value.
QJsonObject FactsObject(const std::string& result, const std::optional<PartFacts>& facts)
{
    QJsonObject json;
    json.insert(QStringLiteral("result"), QString::fromStdString(result));
    json.insert(QStringLiteral("description"), Text(facts ? std::optional(Describe(*facts, kPoint)) : std::nullopt));
    json.insert(QStringLiteral("ohms"), Ohms(facts ? std::optional(facts->ohms) : std::nullopt));
    json.insert(QStringLiteral("min_ohms"), Ohms(facts ? std::optional(facts->range.min) : std::nullopt));
    json.insert(QStringLiteral("max_ohms"), Ohms(facts ? std::optional(facts->range.max) : std::nullopt));
    json.insert(QStringLiteral("series"), SeriesArray(facts ? facts->series : std::vector<Series>{}));
    json.insert(QStringLiteral("nearest"), NearestObject(facts ? facts->nearest : decltype(facts->nearest){}));
    return json;
}

// The band colours a, b, (CG,) c, d as a newly opened encoder window shows
// them after the encoding: a band the encoding gives no colour keeps the
// window's start colour, and a hidden tolerance band is "none".
QStringList BandNames(const Encoding& encoding, bool five)
{
    const auto name = [](const ColourCode* colour, Band band) {
        const std::string_view text = (colour ? *colour : EncoderStartColour(band)).name;
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    };
    QStringList names{name(encoding.first, Band::First), name(encoding.second, Band::Second)};
    if (five) {
        names.append(name(encoding.third, Band::Third));
    }
    names.append(name(encoding.multiplier, Band::Multiplier));
    names.append(encoding.toleranceShown ? name(encoding.tolerance, Band::Tolerance) : QStringLiteral("none"));
    return names;
}

Answer Encode(const QStringList& given, bool five)
{
    const QStringList words = WithUnitJoined(given, 1);
    if (words.size() != 3) {
        throw WrongWord("encode takes VALUE UNIT TOLERANCE, not '" + Joined(given, " ") + "'");
    }
    const std::string value = ValueOf(words[0]);
    const Unit& unit = UnitOf(words[1]);
    const std::string tolerance = ToleranceOf(words[2]);

    const Encoding encoding = five ? EncodeFiveBands(value, unit.text, tolerance, kPoint)
                                   : EncodeFourBands(value, unit.text, tolerance, kPoint);
    const bool refused = encoding.resultText == kPromptText;
    Answer answer;
    if (!refused && !HasCompleteCode(encoding)) {
        // The window's value box cannot hold such a value; its result line
        // would name a value the bands do not show.
        answer.note = value + " " + std::string(unit.text) +
                      " gets no complete code: it needs digits below a micro-ohm or a multiplier below x0.01";
    }
    const bool answered = !refused && answer.note.empty();
    const std::string result = answered ? encoding.resultText : std::string(kPromptText);
    const QStringList bands = BandNames(encoding, five);
    const auto facts = EncodingFacts(encoding, tolerance);
    answer.lines = {result, Joined(bands, " ")};
    if (facts) {
        answer.lines.push_back(Describe(*facts, kPoint));
    }
    answer.json = FactsObject(result, facts);
    answer.json.insert(QStringLiteral("bands"), QJsonArray::fromStringList(bands));
    answer.status = answered ? 0 : kRefused;
    return answer;
}

Answer Nearest(const QStringList& given, const QString& seriesWord)
{
    const QStringList words = WithUnitJoined(given, 1);
    if (words.size() != 2) {
        throw WrongWord("nearest takes VALUE UNIT, not '" + Joined(given, " ") + "'");
    }
    const std::optional<Series> series = SeriesByName(seriesWord.toStdString());
    if (!series) {
        throw WrongWord(Quoted(seriesWord) + " is not a series; accepted: E3 E6 E12 E24 E48 E96 E192");
    }
    ValueOf(words[0]);
    const Unit& unit = UnitOf(words[1]);
    const auto typed = ReadDecimal(words[0].toStdString(), kPoint);
    const auto ohms = typed ? Shifted(*typed, unit.exponent) : std::nullopt;
    if (!ohms) {
        throw WrongWord(Quoted(words[0]) + " is not a value zarnik holds exactly; accepted: at most " +
                        std::to_string(kMaxDecimalDigits) + " significant digits, from 10^-" +
                        std::to_string(kMaxDecimalExponent) + " to 10^" + std::to_string(kMaxDecimalExponent));
    }
    const auto neighbours = NearestStandard(*ohms, *series);
    if (!neighbours) {
        const std::string prompt(kPromptText);
        Answer refused;
        refused.lines = {prompt};
        refused.json = FactsObject(prompt, std::nullopt);
        refused.status = kRefused;
        return refused;
    }
    const std::vector<Series> in = SeriesOf(*ohms);
    Answer answer;
    answer.lines = {"nearest " + std::string(SeriesName(*series)) + ": " + OhmsText(neighbours->below, kPoint) +
                        " and " + OhmsText(neighbours->above, kPoint),
                    SeriesText(in)};
    answer.json = FactsObject(answer.lines[0], std::nullopt);
    answer.json.insert(QStringLiteral("description"), QString::fromStdString(answer.lines[1]));
    answer.json.insert(QStringLiteral("ohms"), ToDouble(*ohms));
    answer.json.insert(QStringLiteral("series"), SeriesArray(in));
    answer.json.insert(QStringLiteral("nearest"), NearestObject({{*series, *neighbours}}));
    return answer;
}

void Print(std::FILE* stream, const std::string& text) { std::fwrite(text.data(), 1, text.size(), stream); }

// A negative value ("-5") would read as an option. Where one is given, the
// options go first, then "--", then every other word in its order.
QStringList WithNegativeValues(const QStringList& arguments, const QStringList& optionsWithValue)
{
    const auto isNegativeNumber = [](const QString& word) {
        return word.startsWith(QLatin1Char('-')) && Parse(word.toStdString(), kPoint).has_value();
    };
    if (std::none_of(arguments.begin() + 1, arguments.end(), isNegativeNumber)) {
        return arguments;
    }
    QStringList options;
    QStringList words;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (word == QStringLiteral("--")) {
            words += arguments.mid(i + 1);
            break;
        }
        if (word.size() > 1 && word.startsWith(QLatin1Char('-')) && !isNegativeNumber(word)) {
            options += word;
            if (optionsWithValue.contains(word) && i + 1 < arguments.size()) {
                options += arguments[++i];
            }
        } else {
            words += word;
        }
    }
    return QStringList{arguments.first()} + options + QStringList{QStringLiteral("--")} + words;
}

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
    return std::ranges::find(kWindowOptions, first) == std::end(kWindowOptions);
}

int RunCommandLine(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zarnik"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZARNIK_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kHelp));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON object instead of lines."));
    const QCommandLineOption five(QStringLiteral("five"), QStringLiteral("encode: five bands instead of four."));
    const QCommandLineOption series(QStringLiteral("series"),
                                    QStringLiteral("nearest: the series, E3 E6 E12 E24 E48 E96 E192 (E24)."),
                                    QStringLiteral("name"), QStringLiteral("E24"));
    const QCommandLineOption tc(QStringLiteral("tc"),
                                QStringLiteral("encode: six bands, the five and the temperature coefficient's colour."),
                                QStringLiteral("ppm"));
    parser.addOptions({json, five, series, tc});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("decode, encode, nearest, code or codes, and its words."),
                                 QStringLiteral("command [words...]"));

    const QStringList commands{QStringLiteral("decode"), QStringLiteral("encode"), QStringLiteral("nearest"),
                               QStringLiteral("code"), QStringLiteral("codes")};
    try {
        if (!parser.parse(WithNegativeValues(QCoreApplication::arguments(), {QStringLiteral("--series")}))) {
            throw WrongWord(parser.errorText().toStdString() +
                            " Accepted options: --json --five --series NAME --tc PPM --help --version");
        }
        // parse() leaves --help-all to process(); the Qt options it would add
        // do not concern a command.
        if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
            parser.showHelp(0);
        }
        if (parser.isSet(version)) {
            parser.showVersion();
        }
        QStringList words = parser.positionalArguments();
        if (words.isEmpty()) {
            throw WrongWord("no command; accepted: decode encode nearest code codes (zarnik --help)");
        }
        const QString command = words.takeFirst();
        if (!commands.contains(command)) {
            throw WrongWord(Quoted(command) + " is not a command; accepted: decode encode nearest code codes");
        }
        if (parser.isSet(five) && command != QStringLiteral("encode")) {
            throw WrongWord("'--five' is an option of encode only");
        }
        if (parser.isSet(series) && command != QStringLiteral("nearest")) {
            throw WrongWord("'--series' is an option of nearest only");
        }
        if (parser.isSet(tc) && command != QStringLiteral("encode")) {
            throw WrongWord("'--tc' is an option of encode only");
        }

        Answer answer = command == QStringLiteral("decode")   ? FromMarking(DecodeMarking(words))
                        : command == QStringLiteral("code")   ? FromMarking(ReadPrintedCode(words))
                        : command == QStringLiteral("codes")  ? FromMarking(WritePrintedCodes(words))
                        : command == QStringLiteral("encode") ? Encode(words, parser.isSet(five) || parser.isSet(tc))
                                                              : Nearest(words, parser.value(series));
        if (parser.isSet(tc)) {
            if (const auto wrong = AddTemperatureCoefficient(answer.lines, answer.json, parser.value(tc))) {
                throw WrongWord(*wrong);
            }
        }
        if (parser.isSet(json)) {
            Print(stdout, QJsonDocument(answer.json).toJson(QJsonDocument::Compact).toStdString() + "\n");
        } else {
            std::string text;
            for (const std::string& line : answer.lines) {
                text += line + "\n";
            }
            Print(stdout, text);
        }
        if (!answer.note.empty()) {
            Print(stderr, "zarnik: " + answer.note + "\n");
        }
        return answer.status;
    } catch (const WrongWord& wrong) {
        Print(stderr, std::string("zarnik: ") + wrong.what() + "\n");
        return kWrongWord;
    }
}

}  // namespace zarnik::cli
