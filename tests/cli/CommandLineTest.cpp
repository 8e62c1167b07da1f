// SPDX-License-Identifier: MIT
// The real zarnik binary on the command line, with no display (DISPLAY,
// WAYLAND_DISPLAY and QT_QPA_PLATFORM unset: a window would abort it) and a
// German locale (a comma would show if the output followed the locale).
// Its answers for the worked examples are the result lines the windows show
// for the same bands and inputs, the bands the encoder window paints, and the
// result line's tooltip.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

// The command line in this process, with `input` as its standard input.
Outcome InProcess(const std::vector<std::string>& words, const std::string& input = "")
{
    const int in = memfd_create("batch", 0);
    EXPECT_EQ(write(in, input.data(), input.size()), ssize_t(input.size()));
    lseek(in, 0, SEEK_SET);
    char* out = nullptr;
    char* err = nullptr;
    std::size_t outSize = 0, errSize = 0;
    std::FILE* outFile = open_memstream(&out, &outSize);
    std::FILE* errFile = open_memstream(&err, &errSize);
    const int status = zarnik::cli::RunCommandLine(words, in, outFile, errFile);
    std::fclose(outFile);
    std::fclose(errFile);
    close(in);
    Outcome run{status, out, err};
    std::free(out);
    std::free(err);
    return run;
}

// The environment of a terminal with no display.
QProcessEnvironment NoDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromUtf8(name));
    }
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    return environment;
}

struct Call {
    QStringList args;
    int status;
    std::string out;                // stdout; for status 2 a word that stderr's one line names
    const char* tooltip = nullptr;  // the last line of stdout, where there is one
};

// What decode adds for bands without a coefficient that read one way only.
const std::string one = "\ntemperature coefficient: none\nother end: none; the bands read one way only";

TEST(CommandLine, AnswersAsTheWindowsDoWithoutADisplay)
{
    const Call calls[] = {
        // The decoder window's worked results.
        {{"decode", "Brown", "Black", "Black", "Gold"},
         0,
         "10   Ohm    _+5%\ntemperature coefficient: none\nother end: none; the bands read one way only",
         "9.5 Ohm to 10.5 Ohm; standard value in E3, E6, E12, E24, E48, E96, E192"},
        {{"decode", "red", "red", "red", "gold"},
         0,
         "2.2   K Ohm    _+5%\ntemperature coefficient: none\nother end: none; the bands read one way only",
         "2.09 K Ohm to 2.31 K Ohm; standard value in E3, E6, E12, E24"},
        {{"decode", "Yellow", "Violet", "Red", "Gold"},
         0,
         "4.7   K Ohm    _+5%\ntemperature coefficient: none\nother end: none; the bands read one way only",
         "4.465 K Ohm to 4.935 K Ohm; standard value in E3, E6, E12, E24, E192"},
        {{"decode", "YELLOW", "violet", "Silver", "Silver"},
         0,
         "0.47   Ohm    _+10%\ntemperature coefficient: none\nother end: none; the bands read one way only",
         "0.423 Ohm to 0.517 Ohm; standard value in E3, E6, E12, E24, E192"},
        {{"decode", "Brown", "Black", "Blue", "Brown"},
         0,
         "10   M Ohm    _+1%\ntemperature coefficient: none\nother end: Brown Blue Black Brown = 16   Ohm    _+1%",
         "9.9 M Ohm to 10.1 M Ohm; standard value in E3, E6, E12, E24, E48, E96, E192"},
        {{"decode", "Brown", "Black", "Brown", "none"},
         0,
         "100   Ohm    _+20%\ntemperature coefficient: none\nother end: Brown Black Brown = 100   Ohm    _+20%",
         "80 Ohm to 120 Ohm; standard value in E3, E6, E12, E24, E48, E96, E192"},
        {{"decode", "Red", "Red", "Red", "Red", "Gold"},
         0,
         "22.2    K Ohm    _+5%\ntemperature coefficient: none\nother end: none; the bands read one way only",
         "21.09 K Ohm to 23.31 K Ohm; not a standard value; nearest E24: 22 K Ohm and 24 K Ohm"},
        {{"decode", "Brown", "Black", "Black", "Brown", "Brown"},
         0,
         "1    K Ohm    _+1%\ntemperature coefficient: none\nother end: Brown Brown Black Black Brown = 110    Ohm    "
         "_+1%",
         "990 Ohm to 1.01 K Ohm; standard value in E3, E6, E12, E24, E48, E96, E192"},
        {{"decode", "Brown", "Black", "Black", "Silver", "Red"},
         0,
         "1    Ohm    _+2%\ntemperature coefficient: none\nother end: none; the bands read one way only",
         "0.98 Ohm to 1.02 Ohm; standard value in E3, E6, E12, E24, E48, E96, E192"},
        {{"decode", "White", "White", "White", "Blue", "Violet"},
         0,
         "999    M Ohm    _+0.1%\ntemperature coefficient: none\nother end: none; the bands read one way only",
         "998.001 M Ohm to 999.999 M Ohm; not a standard value; nearest E24: 910 M Ohm and 1 G Ohm; "
         "nearest E96: 976 M Ohm and 1 G Ohm"},
        // The encoder window's, four bands and five.
        {{"encode", "2.2", "Ohm", "5%"},
         0,
         "2.2   Ohm    _+5%\nRed Red Gold Gold",
         "2.09 Ohm to 2.31 Ohm; standard value in E3, E6, E12, E24"},
        {{"encode", "4.7", "K Ohm", "_+1%"},
         0,
         "4.7   K Ohm    _+1%\nYellow Violet Red Brown",
         "4.653 K Ohm to 4.747 K Ohm; standard value in E3, E6, E12, E24, E192"},
        {{"encode", "0.47", "ohm", "10%"},
         0,
         "470   m Ohm    _+10%\nYellow Violet Silver Silver",
         "0.423 Ohm to 0.517 Ohm; standard value in E3, E6, E12, E24, E192"},
        {{"encode", "10", "m", "Ohm", "2%"},
         0,
         "10   M Ohm    _+2%\nBrown Black Blue Red",
         "9.8 M Ohm to 10.2 M Ohm; standard value in E3, E6, E12, E24, E48, E96, E192"},
        {{"encode", "0.1", "Ohm", "5%"},
         0,
         "100   m Ohm    _+5%\nBrown Black Silver Gold",
         "0.095 Ohm to 0.105 Ohm; standard value in E3, E6, E12, E24, E48, E96, E192"},
        {{"encode", "2.2", "Ohm", "20%"},
         0,
         "2.2   Ohm    _+20%\nRed Red Gold none",
         "1.76 Ohm to 2.64 Ohm; standard value in E3, E6, E12, E24"},
        {{"encode", "2.2", "Ohm", "5%", "--five"},
         0,
         "2.2    Ohm    _+5%\nRed Red Black Silver Gold",
         "2.09 Ohm to 2.31 Ohm; standard value in E3, E6, E12, E24"},
        {{"encode", "1", "Ohm", "5%", "--five"},
         0,
         "1    Ohm    _+5%\nBrown Black Black Silver Gold",
         "0.95 Ohm to 1.05 Ohm; standard value in E3, E6, E12, E24, E48, E96, E192"},
        {{"encode", "12", "Ohm", "5%", "--five"},
         0,
         "12    Ohm    _+5%\nBrown Red Black Gold Gold",
         "11.4 Ohm to 12.6 Ohm; standard value in E12, E24, E192"},
        {{"encode", "4.75", "k", "1%", "--five"},
         0,
         "4.75    K Ohm    _+1%\nYellow Violet Green Brown Brown",
         "4.7025 K Ohm to 4.7975 K Ohm; standard value in E96, E192"},
        {{"encode", "100", "M Ohm", "2%", "--five"},
         0,
         "100    M Ohm    _+2%\nBrown Black Black Blue Red",
         "98 M Ohm to 102 M Ohm; standard value in E3, E6, E12, E24, E48, E96, E192"},
        {{"encode", "999", "M", "5%", "--five"},
         0,
         "999    M Ohm    _+5%\nWhite White White Blue Gold",
         "949.05 M Ohm to 1.04895 G Ohm; not a standard value; nearest E24: 910 M Ohm and 1 G Ohm"},
        // Wrong words.
        {{"decode", "Black", "Red", "Red", "Gold"}, 2, "'Black'"},
        {{"decode", "Red", "Red", "Pink", "Red", "Gold"}, 2, "'Pink' is not a colour of the third digit band"},
        {{"decode", "Red", "Red", "Red", "Red", "Black"}, 2, "'Black'"},
        {{"decode", "Red", "Purple", "Red", "Gold"}, 2, "'Purple'"},
        {{"decode", "Red", "Red"}, 2, "'Red Red'"},
        {{"encode", "4.7", "Kilo", "5%"}, 2, "'Kilo'"},
        {{"encode", "4.7", "K", "3%"}, 2, "'3%'"},
        {{"encode", "4,7", "K", "5%"}, 2, "'4,7'"},
        {{"encode", "4.7", "K", "5%", "--series", "E24"}, 2, "'--series'"},
        {{"nearest", "4.7", "K", "--series", "E25"}, 2, "'E25'"},
        {{"frobnicate"}, 2, "'frobnicate'"},
        {{"--bogus"}, 2, "'--bogus'"},
        {{"--json"}, 2, "no command"},
        // Nearest standard values, JSON and the version.
        {{"nearest", "4.8", "K"}, 0, "nearest E24: 4.7 K Ohm and 5.1 K Ohm\nnot a standard value"},
        {{"nearest", "0.99", "Ohm", "--series", "e192"}, 0, "nearest E192: 0.988 Ohm and 1 Ohm\nnot a standard value"},
        {{"nearest", "9.88", "Ohm", "--series", "E96"}, 0, "nearest E96: 9.76 Ohm and 10 Ohm\nstandard value in E192"},
        {{"--json", "decode", "Yellow", "Violet", "Red", "Gold"},
         0,
         R"({"description":"4.465 K Ohm to 4.935 K Ohm; standard value in E3, E6, E12, E24, E192",)"
         R"("max_ohms":4935,"min_ohms":4465,"nearest":{},"ohms":4700,"result":"4.7   K Ohm    _+5%",)"
         R"("reversed":null,"series":["E3","E6","E12","E24","E192"],"tc_ppm":null})"},
        {{"nearest", "4.8", "K", "--json"},
         0,
         R"({"description":"not a standard value","max_ohms":null,"min_ohms":null,"nearest":{"E24":[4700,5100]},)"
         R"("ohms":4800,"result":"nearest E24: 4.7 K Ohm and 5.1 K Ohm","series":[]})"},
        {{"--version"}, 0, "zarnik 1.00"},
        // Every marking: one, three and six bands, the IEC multipliers, the
        // other end, the printed codes both ways and the coefficient.
        {{"decode", "Black"},
         0,
         "0 Ohm (zero-ohm link)" + one,
         "a zero-ohm link: a jumper, no tolerance, in no series"},
        {{"--json", "decode", "Black"},
         0,
         R"({"description":"a zero-ohm link: a jumper, no tolerance, in no series","max_ohms":null,"min_ohms":null,)"
         R"j("nearest":{},"ohms":0,"result":"0 Ohm (zero-ohm link)","reversed":null,"series":[],"tc_ppm":null})j"},
        // Every value is written in the result line's unit, G Ohm too.
        {{"decode", "Brown", "Green", "Black", "White", "Brown"},
         0,
         "150    G Ohm    _+1%\ntemperature coefficient: none\nother end: Brown White Black Green Brown = 19    M Ohm  "
         "  "
         "_+1%",
         "148.5 G Ohm to 151.5 G Ohm; standard value in E6, E12, E24, E96, E192"},
        {{"codes", "0", "Ohm"}, 0, "RKM: none\n3-digit: 000\n4-digit: 0000\nEIA-96: none\nnot a standard value"},
        {{"code", "01z"}, 0, "0.1 Ohm (EIA-96)"},
        {{"decode", "Orange", "White", "Pink"},
         0,
         "0.039   Ohm    _+20%" + one,
         "0.0312 Ohm to 0.0468 Ohm; standard value in E12, E24"},
        {{"decode", "Red", "Brown", "Black", "Black", "Brown", "Brown"},
         0,
         "210    Ohm    _+1%\ntemperature coefficient: 100 ppm/K\n"
         "other end: Brown Brown Black Black Brown Red = 110    Ohm    _+1%",
         "207.9 Ohm to 212.1 Ohm; standard value in E96, E192"},
        {{"--json", "decode", "Brown", "Black", "Black", "Red", "Brown", "Grey"},
         0,
         R"({"description":"9.9 K Ohm to 10.1 K Ohm; standard value in E3, E6, E12, E24, E48, E96, E192",)"
         R"("max_ohms":10100,"min_ohms":9900,"nearest":{},"ohms":10000,"result":"10    K Ohm    _+1%",)"
         R"("reversed":null,"series":["E3","E6","E12","E24","E48","E96","E192"],"tc_ppm":1})"},
        {{"--json", "decode", "Brown", "Black", "Grey", "Brown"},
         0,
         R"({"description":"990 M Ohm to 1.01 G Ohm; standard value in E3, E6, E12, E24, E48, E96, E192",)"
         R"("max_ohms":1010000000,"min_ohms":990000000,"nearest":{},"ohms":1000000000,"result":"1   G Ohm    _+1%",)"
         R"("reversed":{"bands":["Brown","Grey","Black","Brown"],"ohms":18,"result":"18   Ohm    _+1%","tc_ppm":null},)"
         R"("series":["E3","E6","E12","E24","E48","E96","E192"],"tc_ppm":null})"},
        {{"--json", "encode", "4.75", "K", "1%", "--tc", "50"},
         0,
         R"({"bands":["Yellow","Violet","Green","Brown","Brown","Red"],)"
         R"("description":"4.7025 K Ohm to 4.7975 K Ohm; standard value in E96, E192","max_ohms":4797.5,)"
         R"("min_ohms":4702.5,"nearest":{},"ohms":4750,"result":"4.75    K Ohm    _+1%","series":["E96","E192"],)"
         R"("tc_ppm":50})"},
        {{"code", "47R"}, 0, "3.01 Ohm (EIA-96)\n47 Ohm (RKM)"},
        {{"code", "r47"}, 0, "0.47 Ohm (3-digit)\n0.47 Ohm (RKM)"},
        {{"--json", "code", "4K7J"},
         0,
         R"({"code":"4K7J","readings":[{"ohms":4700,"system":"RKM","tolerance_percent":5}]})"},
        {{"code", "0000", "--json"},
         0,
         R"({"code":"0000","readings":[{"ohms":0,"system":"4-digit","tolerance_percent":null}]})"},
        {{"code", "047"}, 1, ""},
        {{"code", "Q", "--json"},
         1,
         R"x({"error":"'Q' is no code of any system: 3-digit (472, 4R7), 4-digit (4701, 10R0), EIA-96 (01C) )x"
         R"x(or RKM (4K7, 4K7J)","refused":true})x"},
        {{"codes", "4.7", "K"},
         0,
         "RKM: 4K7\n3-digit: 472\n4-digit: 4701\nEIA-96: none\nstandard value in E3, E6, E12, E24, E192"},
        {{"codes", "49.9", "Ohm", "--json"},
         0,
         R"({"description":"standard value in E96, E192","eia96":"68X","ohms":49.9,"rkm":"49R9","series":["E96","E192"],)"
         R"("smd3":null,"smd4":"49R9"})"},
        {{"encode", "4.75", "K", "1%", "--tc", "50"},
         0,
         "4.75    K Ohm    _+1%\nYellow Violet Green Brown Brown Red\ntemperature coefficient: 50 ppm/K",
         "4.7025 K Ohm to 4.7975 K Ohm; standard value in E96, E192"},
        {{"encode", "4.7", "K", "5%", "--tc", "7"}, 2, "'7' is not a temperature coefficient"},
        {{"decode", "Red", "Red", "Red", "Gold", "--tc", "50"}, 2, "'--tc'"},
        {{"code", "4K7", "J"}, 2, "'4K7 J'"},
        {{"codes", "-1", "K"}, 2, "'-1'"},
        {{"decode", "Red\nRed", "Red", "Red"}, 2, R"('Red\nRed' is not a colour of the first digit band)"},
        {{"decode", QString(100, QLatin1Char('x')), "Red", "Red"}, 2, "'" + std::string(40, 'x') + "...' is not"},
    };

    const QProcessEnvironment environment = NoDisplay();
    for (const Call& call : calls) {
        SCOPED_TRACE(call.args.join(QLatin1Char(' ')).toStdString());
        QProcess zarnik;
        zarnik.setProcessEnvironment(environment);
        zarnik.start(QStringLiteral(ZARNIK_BINARY), call.args);
        ASSERT_TRUE(zarnik.waitForFinished(10000));
        ASSERT_EQ(zarnik.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(zarnik.exitCode(), call.status);
        const std::string out = zarnik.readAllStandardOutput().toStdString();
        const std::string err = zarnik.readAllStandardError().toStdString();
        if (call.status == 2) {
            EXPECT_EQ(out.empty(), !call.args.contains(QStringLiteral("--json"))) << out;
            EXPECT_TRUE(err.starts_with("zarnik: ") && err.find('\n') == err.size() - 1) << err;
            EXPECT_NE(err.find(call.out), std::string::npos) << err;
            continue;
        }
        std::string expected = call.out.empty() ? "" : call.out + "\n";
        if (call.tooltip) {
            expected += std::string(call.tooltip) + "\n";
        }
        EXPECT_EQ(out, expected);
    }
}

// A value is encoded only where the bands carry it exactly, and the same
// resistance gets the same bands in every unit; a refusal prints nothing on
// stdout but its JSON error, and one line on stderr.
TEST(CommandLine, RefusesWhatTheBandsCannotCarryWhateverTheUnit)
{
    const std::string fiveBands470 = "470    Ohm    _+5%\nYellow Violet Black Black Gold\n";
    const struct {
        std::vector<std::string> words;
        int status;
        std::string out;  // the start of stdout
        std::string err;  // stderr, whole
    } cases[] = {
        {{"encode", "4.75", "K", "5%"},
         1,
         "",
         "4.75 K Ohm has three significant digits; four bands carry two: use --five"},
        {{"encode", "475", "Ohm", "5%"},
         1,
         "",
         "475 Ohm has three significant digits; four bands carry two: use --five"},
        {{"encode", "4.799", "K", "1%", "--five"},
         1,
         "",
         "4.799 K Ohm has four significant digits; five bands carry three: round it to 4.79 K Ohm or 4.8 K Ohm"},
        {{"encode", "1.2345678", "Ohm", "5%"},
         1,
         "",
         "1.2345678 Ohm has eight significant digits; four bands carry two: round it to 1.2 Ohm or 1.3 Ohm"},
        {{"encode", "995.5", "M", "5%"}, 1, "", "995.5 M Ohm is above 990 M Ohm, the largest value four bands carry"},
        {{"encode", "999", "M", "5%"},
         1,
         "",
         "999 M Ohm is above 990 M Ohm, the largest value four bands carry; five bands carry it: use --five"},
        {{"encode", "1000", "M", "5%", "--five"},
         1,
         "",
         "1000 M Ohm is above 999 M Ohm, the largest value five bands carry"},
        {{"encode", "0.05", "Ohm", "5%"}, 1, "", "0.05 Ohm is below 0.1 Ohm, the smallest value four bands carry"},
        {{"encode", "0.47", "Ohm", "5%", "--five"},
         1,
         "",
         "0.47 Ohm is below 1 Ohm, the smallest value five bands carry; four bands carry it: leave out --five"},
        {{"encode", "0", "Ohm", "1%", "--five"}, 1, "", "0 Ohm is not above zero; five bands carry 1 Ohm to 999 M Ohm"},
        {{"encode", "-4.7", "K", "5%", "--json"},
         1,
         R"({"error":"-4.7 K Ohm is not above zero; four bands carry 0.1 Ohm to 990 M Ohm","refused":true})",
         "-4.7 K Ohm is not above zero; four bands carry 0.1 Ohm to 990 M Ohm"},
        {{"nearest", "0", "Ohm"}, 2, "", "'0' is not above zero; nearest takes a resistance above zero"},
        {{"--json", "nearest", "-5", "K"},
         2,
         R"({"error":"'-5' is not above zero; nearest takes a resistance above zero"})",
         "'-5' is not above zero; nearest takes a resistance above zero"},
        {{"encode", "0.1", "Ohm", "5%"}, 0, "100   m Ohm    _+5%\nBrown Black Silver Gold\n", ""},
        {{"encode", "990", "M", "5%"}, 0, "990   M Ohm    _+5%\nWhite White Violet Gold\n", ""},
        {{"encode", "1", "Ohm", "5%", "--five"}, 0, "1    Ohm    _+5%\nBrown Black Black Silver Gold\n", ""},
        {{"encode", "0.47", "K", "5%", "--five"}, 0, fiveBands470, ""},
        {{"encode", "470", "Ohm", "5%", "--five"}, 0, fiveBands470, ""},
        {{"encode", "0.00047", "M", "5%", "--five"}, 0, fiveBands470, ""},
        {{"encode", "0.47", "K", "5%", "--tc", "50"},
         0,
         "470    Ohm    _+5%\nYellow Violet Black Black Gold Red\n",
         ""},
        {{"encode", "0.47", "Ohm", "5%", "--tc", "50"},
         1,
         "",
         "0.47 Ohm is below 1 Ohm, the smallest value six bands carry"},
        {{"encode", "4.799", "K", "1%", "--tc", "5"},
         1,
         "",
         "4.799 K Ohm has four significant digits; six bands carry three: round it to 4.79 K Ohm or 4.8 K Ohm"},
        {{"encode", "0.0047", "K", "10%"}, 0, "4.7   Ohm    _+10%\nYellow Violet Gold Silver\n", ""},
        {{"encode", "4.7", "Ohm", "10%"}, 0, "4.7   Ohm    _+10%\nYellow Violet Gold Silver\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words[1] + " " + c.words[2]);
        const Outcome run = InProcess(c.words);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.out.starts_with(c.out)) << run.out;
        EXPECT_EQ(run.err, c.err.empty() ? "" : "zarnik: " + c.err + "\n");
    }
}

// A batch answers each line as the same words would alone, in text and in
// JSON Lines (with the line's number), and goes on after a bad line.
TEST(CommandLine, BatchAnswersEachLineAsTheOneShotDoes)
{
    const std::vector<std::string> lines = {"decode Red Red Red Gold",
                                            "# a comment",
                                            "encode 4.7 K 5%",
                                            "",
                                            "  nearest 4.8 K --series E96",
                                            "encode 4.75 K 5%",
                                            "decode Red Purple Red Gold",
                                            "encode 4.75\tK Ohm 1% --five",
                                            "nearest 0 K",
                                            "decode Brown Black Black Brown Brown",
                                            "code 4K7",
                                            "codes 10 K",
                                            "code Q",
                                            "decode Brown Black Black Red Brown Red",
                                            "decode Black",
                                            "encode 4.75 K 1% --tc 50",
                                            "codes 4.7 K --tc 50"};
    std::string file;
    for (const std::string& line : lines) {
        file += line + "\n";
    }
    for (const bool json : {false, true}) {
        std::string out, err, numbers;
        int status = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find_first_not_of(' ') == std::string::npos || lines[i][0] == '#') {
                continue;
            }
            std::vector<std::string> words;
            for (std::size_t at = 0; (at = lines[i].find_first_not_of(" \t", at)) != std::string::npos;) {
                const std::size_t end = std::min(lines[i].size(), lines[i].find_first_of(" \t", at));
                words.push_back(lines[i].substr(at, end - at));
                at = end;
            }
            if (json) {
                words.insert(words.begin(), "--json");
            }
            Outcome alone = InProcess(words);
            const std::string number = std::to_string(i + 1);
            out += alone.out;
            numbers += number + " ";
            err += alone.err.empty() ? "" : "zarnik: line " + number + ": " + alone.err.substr(8);
            status = std::max(status, alone.status);
        }
        SCOPED_TRACE(json ? "json" : "text");
        const Outcome batch = InProcess(
            json ? std::vector<std::string>{"--json", "batch"} : std::vector<std::string>{"batch", "-"}, file);
        EXPECT_EQ(batch.status, status);
        EXPECT_EQ(batch.err, err);
        // JSON Lines: each object as alone, with its line number added.
        std::string withoutNumbers = batch.out, batchNumbers;
        for (std::size_t at = 0; (at = withoutNumbers.find("\"line\":", at)) != std::string::npos;) {
            const std::size_t end = withoutNumbers.find_first_of(",}", at);
            batchNumbers += withoutNumbers.substr(at + 7, end - at - 7) + " ";
            const bool last = withoutNumbers[end] == '}';
            withoutNumbers.erase(last ? at - 1 : at, end - at + 1);
        }
        EXPECT_EQ(withoutNumbers, out);
        EXPECT_EQ(batchNumbers, json ? numbers : "");
    }
}

// A batch exits with the highest status of its lines, wherever it stands,
// and a line too long to read whole is a wrong word, never half answered.
TEST(CommandLine, BatchExitsWithItsHighestStatus)
{
    const struct {
        std::string input;
        int status;
        std::string err;
    } cases[] = {
        {"code Q\ndecode Red Red Red Gold\n", 1, "zarnik: line 1: 'Q' is no code of any system"},
        {"decode Red Red Red\ncode Q\n", 1, "zarnik: line 2: 'Q' is no code of any system"},
        {"decode Blue\ncode Q\nnearest 1 K\n", 2, "zarnik: line 1: "},
        {"decode Red Red Red Gold " + std::string(5000, 'x') + "\nnearest 1 K\n", 2,
         "zarnik: line 1: longer than 4096 bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 40));
        const Outcome run = InProcess({"batch"}, c.input);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.err.starts_with(c.err)) << run.err;
    }
}

// The edges of the real program: no display, window options, odd words, a
// full disk.
TEST(CommandLine, EdgesGiveTheirStatusAndOneLine)
{
    const QString huge(100000, QLatin1Char('x'));
    const struct {
        QStringList args;
        int status;
        std::string err;  // stderr's first line
        const char* out = nullptr;
    } cases[] = {
        {{}, 1, "zarnik: no display to open the windows on; see zarnik --help for the command line"},
        {{"-platform", "offscreen", "decode", "Red", "Red", "Red", "Gold"},
         2,
         "zarnik: 'decode' follows the window options; a command takes none of them, and the windows take no other "
         "word (zarnik --help)"},
        {{"--display", ":99", "decode"}, 2, "zarnik: 'decode' follows the window options; a command"},
        {{"-style=fusion", "-reverse"}, 1, "zarnik: no display to open the windows on"},
        {{"decode", "-inf"},
         2,
         "zarnik: '-inf' is not an option; accepted: --json --help --version --five --series NAME"},
        {{"encode", "-4,7", "K", "5%"}, 2, "zarnik: '-4,7' is not a number; VALUE is written"},
        {{"encode", huge, "K", "5%"}, 2, "zarnik: '" + std::string(40, 'x') + "...' is not a number"},
        {{"encode", "4\x1b[2J\n7\xc2\x85\\", "K", "5%"}, 2, "zarnik: '4\\u001B[2J\\n7\\u0085\\\\' is not a number"},
        {{"--help-all"}, 2, "zarnik: '--help-all' is not an option"},
        {{"encode", "4.7", "K", "5%"}, 3, "zarnik: cannot write the answer: No space left on device", "/dev/full"},
        {{"batch"}, 3, "zarnik: cannot write the answer: No space left on device", "/dev/full"},
        {{"batch", "/nonexistent"}, 2, "zarnik: cannot read '/nonexistent': No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).left(60).toStdString());
        QProcess zarnik;
        zarnik.setProcessEnvironment(NoDisplay());
        if (c.out) {
            zarnik.setStandardOutputFile(QString::fromUtf8(c.out));
        }
        zarnik.start(QStringLiteral(ZARNIK_BINARY), c.args);
        zarnik.write("decode Red Red Red Gold\n");
        zarnik.closeWriteChannel();
        ASSERT_TRUE(zarnik.waitForFinished(10000));
        ASSERT_EQ(zarnik.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(zarnik.exitCode(), c.status);
        const std::string err = zarnik.readAllStandardError().toStdString();
        EXPECT_TRUE(err.starts_with(c.err) && err.find('\n') == err.size() - 1) << err;
    }
}

// A photo of a resistor nobody here took, as the shared photos give it; ""
// where they are not beside the repository.
std::string SharedPhoto(const char* name)
{
    const std::string path = std::string(ZARNIK_SHARED_PHOTOS) + "/" + name;
    return access(path.c_str(), R_OK) == 0 ? path : std::string();
}

std::string Written(const std::string& name, const std::string& bytes)
{
    const std::string path = testing::TempDir() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

// photo answers as decode does for the bands it read, then says how sure it
// is; its JSON adds the reading's own keys, and --annotate writes a PNG.
TEST(CommandLine, PhotoAnswersAsDecodeDoesForTheBandsItRead)
{
    const std::string photo = SharedPhoto("lightbox/images/0003.jpg");
    if (photo.empty()) {
        GTEST_SKIP() << "no shared photos at " << ZARNIK_SHARED_PHOTOS;
    }
    const std::string annotated = testing::TempDir() + "annotated.png";
    const Outcome json = InProcess({"--json", "photo", photo, "--annotate", annotated});
    ASSERT_EQ(json.status, 0) << json.err;
    const QJsonObject read = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    std::vector<std::string> decode{"decode"};
    for (const QJsonValue band : read["bands"].toArray()) {
        decode.push_back(band.toString().toStdString());
    }
    ASSERT_TRUE(decode.size() == 5 || decode.size() == 6) << json.out;
    EXPECT_EQ(read["file"].toString().toStdString(), photo);
    EXPECT_GT(read["confidence"].toDouble(), 0.0);
    EXPECT_LE(read["confidence"].toDouble(), 1.0);
    EXPECT_LE(read["alternatives"].toArray().size(), 2);
    EXPECT_EQ(read["body"].toArray().size(), 4);
    EXPECT_TRUE(read["tolerance_percent"].isDouble()) << json.out;

    const Outcome alone = InProcess(decode);
    const Outcome text = InProcess({"photo", photo});
    EXPECT_EQ(text.status, 0);
    EXPECT_TRUE(text.out.starts_with(alone.out)) << text.out;
    const std::string said = "read from " + photo + ": confidence ";
    EXPECT_EQ(text.out.substr(alone.out.size(), said.size()), said) << text.out;

    std::FILE* png = std::fopen(annotated.c_str(), "rb");
    ASSERT_NE(png, nullptr);
    char signature[8] = {};
    EXPECT_EQ(std::fread(signature, 1, 8, png), 8u);
    std::fclose(png);
    EXPECT_EQ(std::string(signature, 8), "\x89PNG\r\n\x1a\n");

    // A batch takes photo lines, options and all, and goes on after a bad one.
    const Outcome batch = InProcess(
        {"batch"}, "photo " + photo + "\nphoto /nonexistent.jpg\nphoto " + photo + " --annotate " + annotated + "\n");
    EXPECT_EQ(batch.status, 2);
    EXPECT_EQ(batch.out, text.out + text.out);
    EXPECT_TRUE(batch.err.starts_with("zarnik: line 2: '/nonexistent.jpg' ")) << batch.err;
}

// What is no photo of a resistor gets its status and one line naming the file.
TEST(CommandLine, PhotoRefusesWhatIsNoPhotoOfAResistor)
{
    // A grey picture in the plainest format the reader knows: an image, but
    // no resistor in it.
    const std::string grey = Written("grey.ppm", "P6\n320 240\n255\n" + std::string(320 * 240 * 3, '\x80'));
    const std::string text = Written("notes.jpg", "4.7 K Ohm, 5%\n");
    const std::string empty = Written("empty.png", "");
    const struct {
        std::vector<std::string> words;
        int status;
        std::string err;  // the start of stderr's one line
    } cases[] = {
        {{"photo", grey}, 1, "zarnik: no resistor found in " + grey},
        {{"photo", text}, 2, "zarnik: '" + text + "' "},
        {{"photo", empty}, 2, "zarnik: '" + empty + "' "},
        {{"photo", testing::TempDir()}, 2, "zarnik: '" + testing::TempDir() + "' "},
        {{"photo", "/nonexistent/photo.jpg"}, 2, "zarnik: '/nonexistent/photo.jpg' "},
        {{"photo"}, 2, "zarnik: photo takes one FILE, not 0 words"},
        {{"photo", grey, grey}, 2, "zarnik: photo takes one FILE, not 2 words"},
        {{"photo", grey, "--five"}, 2, "zarnik: '--five' is an option of encode only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.back());
        const Outcome run = InProcess(c.words);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.err.starts_with(c.err) && run.err.find('\n') == run.err.size() - 1) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const Outcome json = InProcess({"--json", "photo", grey});
    EXPECT_EQ(json.out, "{\"error\":\"no resistor found in " + grey + "\",\"refused\":true}\n");
}

// Capacitors and inductors answer as resistors do: exit 1 for a code no
// system reads, 2 for a wrong word with one stderr line, JSON with the
// keys of the part, and every form on a batch line.
TEST(CommandLine, CapacitorsAndInductorsAnswerByPart)
{
    const struct {
        std::vector<std::string> words;
        int status;
        std::string out;  // stdout, or stderr's line for a status above 0
    } cases[] = {
        {{"code", "2A474J", "--part", "capacitor"}, 0, "470 nF \u00B15%, 100 V (3-digit pF)\n"},
        {{"code", "472", "--part", "resistor"}, 0, "4.7 K Ohm (3-digit)\n"},
        {{"--json", "code", "104Z", "--part=capacitor"},
         0,
         R"j({"code":"104Z","part":"capacitor","readings":[{"farads":0.0000001,"system":"3-digit pF","text":"100 nF )j"
         R"j(+80/-20% (3-digit pF)","tolerance_percent_max":80,"tolerance_percent_min":-20,"volts":null}]})j"
         "\n"},
        {{"--json", "code", "4R7C", "--part", "capacitor"}, 0, R"("tolerance_farads":0.00000000000025,"volts":null)"},
        {{"--json", "code", "1u0", "--part", "capacitor"}, 0, R"("tolerance_percent":null,"volts":null)"},
        {{"--json", "code", "101", "--part", "inductor"}, 0, R"("henries":0.0001,"note":"read in µH;)"},
        {{"codes", "4.7", "nF", "--part", "capacitor"},
         0,
         "3-digit pF: 472\npF digits: none\nR pF: none\nIEC 60062: 4n7\n"},
        {{"--json", "codes", "4.7", "uH", "--part", "inductor"}, 0, R"({"bands":["Yellow","Violet","Gold"],)"},
        {{"--json", "decode", "Brown", "Black", "Red", "Gold", "--part", "inductor"},
         0,
         R"("henries":0.001,"note":null,"system":"colour bands")"},
        {{"--json", "dielectric", "X7R"},
         0,
         R"({"change_percent_max":15,"change_percent_min":-15,"class":2,"code":"X7R","max_celsius":125,)"
         R"("min_celsius":-55,)"},
        {{"--json", "dielectric", "c0g"}, 0, R"("ppm_per_kelvin":0,"ppm_tolerance":30,)"},
        {{"code", "4K7", "--part", "capacitor"}, 1, "zarnik: '4K7' is no capacitor code"},
        {{"code", "X7R", "--part", "capacitor"}, 1, "it is a dielectric code: zarnik dielectric X7R"},
        {{"dielectric", "X3R"}, 1, "zarnik: 'X3R' is no EIA-198 dielectric code"},
        {{"code", "104", "--part", "diode"}, 2, "zarnik: 'diode' is not a part"},
        {{"codes", "4.7", "K", "--part", "capacitor"}, 2, "zarnik: 'K' is not a unit of capacitance"},
        {{"codes", "0", "nF", "--part", "capacitor"}, 2, "is no capacitance zarnik holds"},
        {{"decode", "Red", "Red", "Pink", "--part", "inductor"},
         2,
         "zarnik: 'Pink' is not a colour of an inductor's multiplier band"},
        {{"encode", "4.7", "K", "5%", "--part", "capacitor"},
         2,
         "zarnik: '--part' is an option of code codes decode only"},
        {{"--json", "batch"}, 1, R"("line":2,"refused":true)"},
    };
    for (const auto& c : cases) {
        const Outcome run = InProcess(c.words, "codes 10 pF --part capacitor\ncode ZZZ --part inductor\n");
        EXPECT_EQ(run.status, c.status) << c.words[1];
        const std::string& said = c.status == 0 || c.words[0] == "--json" ? run.out : run.err;
        EXPECT_NE(said.find(c.out), std::string::npos) << said;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), c.status == 0 ? 0 : 1) << run.err;
    }
}

}  // namespace

// check: a table and a summary, JSON Lines with one object per row, CSV for a
// spreadsheet, and the exit status of what it found.
TEST(CommandLine, CheckTellsEachRowAndExitsByWhatItFound)
{
    const std::string good = Written("good.csv", "Reference;Value;Description\r\nR1;4k7;RES 5%\r\nC1 C2;100n;CAP\r\n");
    const std::string flagged = Written("flagged.csv", "Ref,Value\nR1,475 5%\nU1,LM358\nL1,\"10uH\n");
    const std::string binary = Written("binary.csv", std::string("Ref,Value\n\0\0\x89PNG", 16));
    const struct {
        std::vector<std::string> words;
        int status;
        std::string text;  // in stdout, or stderr's one line for status 2
    } cases[] = {
        {{"check", good}, 0, "3 parts: 1 resistor, 2 capacitors, 0 inductors\n"},
        {{"check", flagged},
         1,
         "2 parts: 1 resistor, 0 capacitors, 1 inductor; 1 not standard, 1 unreadable; 1 other row\n"},
        {{"check", flagged}, 1, "not a standard value (nearest E24: 470 Ohm and 510 Ohm)"},
        {{"check", "/nonexistent.csv"}, 2, "zarnik: cannot read '/nonexistent.csv': No such file"},
        {{"check", "/" + std::string(300, 'x')}, 2, "cannot read '/" + std::string(119, 'x') + "...': "},
        {{"check", binary}, 2, "it is not a text file"},
        {{"check", good, good}, 2, "zarnik: check takes one FILE"},
        {{"check", good, "--five"}, 2, "'--five' is an option of encode only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.back());
        const Outcome run = InProcess(c.words);
        EXPECT_EQ(run.status, c.status);
        const std::string& where = c.status == 2 ? run.err : run.out;
        EXPECT_NE(where.find(c.text), std::string::npos) << run.out << run.err;
        if (c.status == 2) {
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        }
    }
    EXPECT_NE(InProcess({"batch"}, "check " + good + "\n").err.find("'check' is not a command"), std::string::npos);

    // One JSON object per row of the file, the other parts' rows too.
    const Outcome json = InProcess({"--json", "check", flagged});
    const QStringList lines = QString::fromStdString(json.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QJsonObject first = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(first[QStringLiteral("line")].toInt(), 2);
    EXPECT_EQ(first[QStringLiteral("ohms")].toDouble(), 475);
    EXPECT_EQ(first[QStringLiteral("tolerance_percent")].toDouble(), 5);
    EXPECT_EQ(first[QStringLiteral("nearest")].toObject()[QStringLiteral("E24")].toArray().size(), 2);
    EXPECT_EQ(first[QStringLiteral("codes")].toObject()[QStringLiteral("EIA-96")].toString(), QStringLiteral("66A"));
    EXPECT_EQ(QJsonDocument::fromJson(lines[1].toUtf8()).object()[QStringLiteral("part")].toString(),
              QStringLiteral("other"));
    EXPECT_EQ(QJsonDocument::fromJson(lines[2].toUtf8()).object()[QStringLiteral("flags")].toArray()[0].toString(),
              QStringLiteral("unreadable row"));

    // --csv: a heading and a row per row of the file.
    const std::string csv = testing::TempDir() + "checked.csv";
    EXPECT_EQ(InProcess({"check", good, "--csv", csv}).status, 0);
    std::FILE* file = std::fopen(csv.c_str(), "r");
    ASSERT_NE(file, nullptr);
    char heading[256] = {};
    ASSERT_NE(std::fgets(heading, sizeof heading, file), nullptr);
    EXPECT_TRUE(std::string(heading).starts_with("line,references,part,value,si_value"));
    int rows = 0;
    for (char line[512]; std::fgets(line, sizeof line, file) != nullptr;) {
        ++rows;
    }
    std::fclose(file);
    EXPECT_EQ(rows, 2);
}

// The real lists beside the repository through the real binary: every row a
// JSON line, exit 1 for the list with parts not to place and one off the series.
TEST(CommandLine, CheckReadsTheSharedPartsLists)
{
    const std::string folder = std::string(ZARNIK_SHARED_PHOTOS) + "/../boms/";
    const std::pair<const char*, int> lists[] = {{"hackrf-one.csv", 1}, {"dat-ting.csv", 0}};
    for (const auto& [name, status] : lists) {
        const std::string path = folder + name;
        if (access(path.c_str(), R_OK) != 0) {
            GTEST_SKIP() << "no parts lists beside the repository";
        }
        QProcess zarnik;
        zarnik.setProcessEnvironment(NoDisplay());
        zarnik.start(QStringLiteral(ZARNIK_BINARY),
                     {QStringLiteral("--json"), QStringLiteral("check"), QString::fromStdString(path)});
        ASSERT_TRUE(zarnik.waitForFinished(10000));
        EXPECT_EQ(zarnik.exitCode(), status) << name;
        QFile list(QString::fromStdString(path));
        ASSERT_TRUE(list.open(QIODevice::ReadOnly));
        const qsizetype rows = list.readAll().count('\n') - 1;  // one row per line, but the header
        EXPECT_EQ(zarnik.readAllStandardOutput().count('\n'), rows) << name;
    }
}
