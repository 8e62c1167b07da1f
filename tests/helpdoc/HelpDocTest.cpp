// The committed help document against its generator: the file must be what
// the generator writes today, and it must hold what the help window expects
// to read (header, font table, 80 paragraphs, Persian text in code page 1256,
// two PNG pictures with their display sizes).

#include "rtf/Cp1256.h"
#include "tools/helpdoc/HelpText.h"
#include "tools/helpdoc/RtfWriter.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <regex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Failures show Qt strings as text, not as arrays of UTF-16 units.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace zarnik::helpdoc {
namespace {

std::string sourceFile(const std::string& relative)
{
    return readBinaryFile(std::string(ZARNIK_SOURCE_DIR) + "/" + relative);
}

const std::string& committedRtf()
{
    static const std::string rtf = sourceFile("resources/help.rtf");
    return rtf;
}

// The document's paragraphs: each starts at a \pard and runs to the next one
// (picture data is hex, so it holds no backslash).
std::vector<std::string> paragraphsOf(const std::string& rtf)
{
    std::vector<std::string> paragraphs;
    std::size_t at = rtf.find("\\pard");
    while (at != std::string::npos) {
        const std::size_t next = rtf.find("\\pard", at + 1);
        paragraphs.push_back(rtf.substr(at, next == std::string::npos ? std::string::npos : next - at));
        at = next;
    }
    return paragraphs;
}

bool hasControlWord(const std::string& text, const std::string& word)
{
    const std::regex pattern("\\\\" + word + "(?![a-z])");
    return std::regex_search(text, pattern);
}

int countControlWord(const std::string& text, const std::string& word)
{
    const std::regex pattern("\\\\" + word + "(?![a-z0-9-])");
    return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), pattern),
                                          std::sregex_iterator()));
}

// The text of a paragraph without pictures, decoded the way a reader of the
// document does: bytes through Qt's own code page 1256 decoder, \uN as the
// UTF-16 unit N with its one fallback character skipped, control words and
// braces dropped.
QString decodeParagraphText(std::string_view rtf)
{
    QString text;
    QByteArray bytes;
    auto flush = [&] {
        QStringDecoder decoder("windows-1256");
        text += decoder.decode(bytes);
        bytes.clear();
    };
    auto isLetter = [](char c) { return c >= 'a' && c <= 'z'; };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    while (i < rtf.size()) {
        const char c = rtf[i];
        if (c == '{' || c == '}' || c == '\n') {
            ++i;
        } else if (c != '\\') {
            bytes.append(c);
            ++i;
        } else if (i + 1 < rtf.size() && rtf[i + 1] == '\'') {
            bytes.append(static_cast<char>(std::stoi(std::string(rtf.substr(i + 2, 2)), nullptr, 16)));
            i += 4;
        } else if (i + 1 < rtf.size() && isLetter(rtf[i + 1])) {
            std::size_t end = i + 1;
            while (end < rtf.size() && isLetter(rtf[end]))
                ++end;
            const std::string word(rtf.substr(i + 1, end - i - 1));
            const std::size_t numberStart = end;
            if (end < rtf.size() && rtf[end] == '-')
                ++end;
            while (end < rtf.size() && isDigit(rtf[end]))
                ++end;
            const std::string number(rtf.substr(numberStart, end - numberStart));
            if (end < rtf.size() && rtf[end] == ' ')
                ++end;
            i = end;
            if (word == "u") {
                flush();
                text += QChar(static_cast<char16_t>(std::stoi(number)));
                i += rtf.substr(i, 2) == "\\'" ? 4 : 1; // the fallback (\uc1)
            }
        } else {
            bytes.append(rtf[i + 1]); // \\, \{ and \}
            i += 2;
        }
    }
    flush();
    return text;
}

TEST(HelpDocument, committedFileIsWhatTheGeneratorWrites)
{
    const PngPicture first = makePngPicture(sourceFile("resources/pictures/formula1.png"), kFirstFormulaSize);
    const PngPicture second = makePngPicture(sourceFile("resources/pictures/formula2.png"), kSecondFormulaSize);
    const std::string generated = writeHelpRtf(helpParagraphs(), first, second);
    const std::string& committed = committedRtf();
    const auto mismatch = std::mismatch(generated.begin(), generated.end(), committed.begin(), committed.end());
    EXPECT_EQ(generated.size(), committed.size());
    EXPECT_TRUE(mismatch.first == generated.end() && mismatch.second == committed.end())
        << "first difference at byte " << (mismatch.first - generated.begin())
        << "; run zarnik_helpdoc to regenerate resources/help.rtf";
}

TEST(HelpDocument, shippedParagraphsPassTheGeneratorsChecks)
{
    const std::vector<std::string> problems = checkHelpParagraphs(helpParagraphs());
    EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST(HelpDocument, checksCatchBrokenParagraphLists)
{
    struct Case {
        const char* name;
        void (*breakIt)(std::vector<Paragraph>&);
    };
    const Case cases[] = {
        {"a paragraph missing", [](std::vector<Paragraph>& d) { d.pop_back(); }},
        {"a kashida missing in the greeting",
         [](std::vector<Paragraph>& d) { d[1].runs[0].text.erase(d[1].runs[0].text.find(kKashida), 2); }},
        {"an extra kashida in the closing line",
         [](std::vector<Paragraph>& d) { d[72].runs[0].text += kKashida; }},
        {"a second bold line", [](std::vector<Paragraph>& d) { d[71].bold = true; }},
        {"the last paragraph centred", [](std::vector<Paragraph>& d) { d[79].alignment = Alignment::Centre; }},
        {"pictures swapped",
         [](std::vector<Paragraph>& d) { std::swap(d[65].picture, d[70].picture); }},
        {"broken UTF-8", [](std::vector<Paragraph>& d) { d[3].runs[0].text += "\xC3"; }},
        {"a line break in a text", [](std::vector<Paragraph>& d) { d[3].runs[0].text += "\n"; }},
    };
    for (const Case& c : cases) {
        std::vector<Paragraph> paragraphs = helpParagraphs();
        c.breakIt(paragraphs);
        EXPECT_FALSE(checkHelpParagraphs(paragraphs).empty()) << c.name;
    }
}

TEST(HelpDocument, headerDeclaresCodePageLanguageAndFonts)
{
    const std::string& rtf = committedRtf();
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1256\\deff0\\deflang1033\\fbidis{\\fonttbl", 0), 0u);
    const std::string body = rtf.substr(0, rtf.find("\\pard"));
    EXPECT_TRUE(hasControlWord(body, "uc1"));

    const std::regex fontEntry(R"(\{\\f(\d)\\f[a-z]+\\fprq\d\\fcharset(\d+) ([^;]+);\})");
    std::vector<std::string> fonts;
    for (auto it = std::sregex_iterator(body.begin(), body.end(), fontEntry); it != std::sregex_iterator(); ++it)
        fonts.push_back((*it)[1].str() + "/" + (*it)[2].str() + "/" + (*it)[3].str());
    const std::vector<std::string> expected = {"0/0/Courier New", "1/178/Courier New",
                                               "2/178/Times New Roman", "3/0/MS Sans Serif"};
    EXPECT_EQ(fonts, expected);
}

TEST(HelpDocument, bracesBalanceAndCloseTheDocument)
{
    const std::string& rtf = committedRtf();
    int depth = 0;
    std::size_t closedAt = std::string::npos;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i; // an escaped brace or backslash is text
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}') {
            ASSERT_GT(depth, 0) << "unbalanced at byte " << i;
            if (--depth == 0) {
                closedAt = i;
                break;
            }
        }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(rtf.substr(closedAt + 1), "\n");
}

TEST(HelpDocument, eightyParagraphsWithTheirFormats)
{
    const std::vector<std::string> paragraphs = paragraphsOf(committedRtf());
    ASSERT_EQ(paragraphs.size(), 80u);
    EXPECT_EQ(countControlWord(committedRtf(), "par"), 80);
    for (int number = 1; number <= 80; ++number) {
        const std::string& p = paragraphs[std::size_t(number - 1)];
        SCOPED_TRACE("paragraph " + std::to_string(number));
        EXPECT_EQ(p.rfind(number == 80 ? "\\pard\\rtlpar\\qr{" : "\\pard\\rtlpar\\qc{", 0), 0u);
        EXPECT_EQ(countControlWord(p, "par"), 1);
        const bool picture = number == 66 || number == 71;
        const std::string size = picture ? "fs17" : number == 78 ? "fs20" : "fs24";
        EXPECT_TRUE(hasControlWord(p, size));
        EXPECT_EQ(countControlWord(p, "b"), number == 73 ? 1 : 0);
        EXPECT_EQ(countControlWord(p, "pict"), picture ? 1 : 0);
        const QString text = picture ? QString() : decodeParagraphText(p);
        if (text.isEmpty()) {
            EXPECT_FALSE(hasControlWord(p, "rtlch"));
        } else {
            EXPECT_TRUE(hasControlWord(p, "f1") && hasControlWord(p, "rtlch") && hasControlWord(p, "lang1065"));
        }
    }
}

TEST(HelpDocument, persianTextsReadBackExactly)
{
    struct Case {
        int number;
        const char* text;
    };
    const Case cases[] = {
        {2, "با ســـــــــــــــــــلام"},
        {14, "قهوه ای..........1"},
        {47, "طلایی.............*0.1"},
        {59, "نقره ای ........10 %"},
        {62, "برای محاسبه ی مقدار مقاومت دو رنگ اول(اعداد شان) را با هم خوانده و در عدد رنگ سوم ( ضریب ) ضرب کرده تا مقدار مقاومت بر حسب اهم بدست آید.رنگ چهارم بیانگر درصد تلرانس مقاومت می باشد."},
        {64, "برای مثال مقاومتی با رنگهای (طلایی  قرمز قرمز قرمز):     "},
        {69, "مثال:(بنفش،قرمز،قهوه ای،نارنجی،آبی)"},
        {73, "با تشکــــــــــــــــــــر-گروه زرنیک-تابستان 86"},
    };
    const std::vector<std::string> paragraphs = paragraphsOf(committedRtf());
    ASSERT_EQ(paragraphs.size(), 80u);
    for (const Case& c : cases)
        EXPECT_EQ(decodeParagraphText(paragraphs[std::size_t(c.number - 1)]), QString::fromUtf8(c.text))
            << "paragraph " << c.number;

    // The stretched words, counted independently of the generator.
    const QChar kashida(0x0640);
    EXPECT_EQ(decodeParagraphText(paragraphs[1]).count(kashida), 19);
    EXPECT_EQ(decodeParagraphText(paragraphs[72]).count(kashida), 20);

    // The colon of paragraph 64 is set in font 2, the five blanks underlined.
    EXPECT_NE(paragraphs[63].find("{\\f2 :}{\\f2\\ul      }\\par}"), std::string::npos);
}

TEST(HelpDocument, persianYehIsAUnicodeEscapeWithArabicYehFallback)
{
    const std::string& rtf = committedRtf();
    const std::regex escape(R"(\\u(-?\d+)(\\'[0-9a-f]{2}|.))");
    int count = 0;
    for (auto it = std::sregex_iterator(rtf.begin(), rtf.end(), escape); it != std::sregex_iterator(); ++it) {
        EXPECT_EQ((*it)[1].str(), "1740");
        EXPECT_EQ((*it)[2].str(), "\\'ed");
        ++count;
    }
    EXPECT_GT(count, 50);
}

TEST(HelpDocument, picturesArePngWithTheirDisplaySizes)
{
    const std::string& rtf = committedRtf();
    // Only the header goes through the regex: libstdc++'s matcher recurses once
    // per character and overflows the stack on the long hex data when built
    // with AddressSanitizer.
    const std::regex pict(R"(\{\\pict\\pngblip\\picw(\d+)\\pich(\d+)\\picwgoal(\d+)\\pichgoal(\d+)\n)");
    struct Expected {
        const char* file;
        TwipSize display;
    };
    const Expected expected[] = {{"resources/pictures/formula1.png", kFirstFormulaSize},
                                 {"resources/pictures/formula2.png", kSecondFormulaSize}};
    EXPECT_EQ(kFirstFormulaSize.width, 4153);
    EXPECT_EQ(kFirstFormulaSize.height, 441);
    EXPECT_EQ(kSecondFormulaSize.width, 4678);
    EXPECT_EQ(kSecondFormulaSize.height, 446);

    std::size_t index = 0;
    for (auto it = std::sregex_iterator(rtf.begin(), rtf.end(), pict); it != std::sregex_iterator(); ++it, ++index) {
        ASSERT_LT(index, 2u);
        const std::smatch& m = *it;
        const PngPicture png = makePngPicture(sourceFile(expected[index].file), expected[index].display);
        EXPECT_EQ(std::stoi(m[1].str()), png.width);
        EXPECT_EQ(std::stoi(m[2].str()), png.height);
        EXPECT_EQ(std::stoi(m[3].str()), expected[index].display.width);
        EXPECT_EQ(std::stoi(m[4].str()), expected[index].display.height);

        const auto dataBegin = static_cast<std::size_t>(m.position(0) + m.length(0));
        const auto dataEnd = rtf.find('}', dataBegin);
        ASSERT_NE(dataEnd, std::string::npos);
        std::string hex = rtf.substr(dataBegin, dataEnd - dataBegin);
        EXPECT_EQ(hex.find_first_not_of("0123456789abcdef\n"), std::string::npos);
        std::size_t lineStart = 0;
        for (std::size_t nl = hex.find('\n'); nl != std::string::npos; nl = hex.find('\n', lineStart)) {
            EXPECT_LE(nl - lineStart, 128u);
            lineStart = nl + 1;
        }
        hex.erase(std::remove(hex.begin(), hex.end(), '\n'), hex.end());
        EXPECT_EQ(QByteArray::fromHex(QByteArray::fromStdString(hex)).toStdString(), png.bytes);
        // Drawn at twice the display size (15 twips a pixel).
        EXPECT_NEAR(png.width * 15.0 / 2, expected[index].display.width, 15);
        EXPECT_NEAR(png.height * 15.0 / 2, expected[index].display.height, 15);
    }
    EXPECT_EQ(index, 2u);
}

TEST(Cp1256, tableAgreesWithQtsDecoderAndRoundTrips)
{
    for (int byte = 0; byte < 256; ++byte) {
        const QByteArray one(1, static_cast<char>(byte));
        QStringDecoder decoder("windows-1256");
        const QString viaQt = decoder.decode(one);
        ASSERT_EQ(viaQt.size(), 1) << byte;
        EXPECT_EQ(FromCp1256(static_cast<unsigned char>(byte)), char32_t(viaQt.at(0).unicode())) << byte;
        EXPECT_EQ(ToCp1256(FromCp1256(static_cast<unsigned char>(byte))), static_cast<unsigned char>(byte));
    }
    EXPECT_FALSE(ToCp1256(U'\u06CC').has_value()); // Persian yeh
    EXPECT_FALSE(ToCp1256(U'\u0100').has_value());
    EXPECT_EQ(ToCp1256(U'\u06A9'), 0x98);          // keheh
    EXPECT_EQ(ToCp1256(U'\u0640'), 0xDC);          // kashida
}

TEST(RtfText, escapesEachKindOfCharacter)
{
    struct Case {
        const char* utf8;
        const char* rtf;
    };
    const Case cases[] = {
        {"ab 12.%", "ab 12.%"},
        {"a{b}\\", "a\\{b\\}\\\\"},
        {"\u0628\u0627", "\\'c8\\'c7"},
        {"\u06CC", "\\u1740\\'ed"},
        {"\u060C\u0640", "\\'a1\\'dc"},
        {"\u20AC", "\\'80"},
        {"\uFB50", "\\u-1200?"},                  // above 32767: negative
        {"\U0001F600", "\\u-10179?\\u-8704?"},    // outside the BMP: a surrogate pair
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(escapeRtfText(c.utf8), c.rtf) << c.utf8;
}

TEST(RtfText, refusesMalformedText)
{
    const char* cases[] = {"\xFF", "a\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "line\nbreak", "tab\t"};
    for (const char* text : cases)
        EXPECT_THROW((void)escapeRtfText(text), std::invalid_argument) << text;
}

TEST(PngPictureHeader, refusesWhatIsNoPng)
{
    const std::string good = sourceFile("resources/pictures/formula1.png");
    const std::string cases[] = {"", "GIF89a", good.substr(0, 20), "x" + good.substr(1),
                                 good.substr(0, 12) + "IDAT" + good.substr(16)};
    for (const std::string& bytes : cases)
        EXPECT_THROW((void)makePngPicture(bytes, kFirstFormulaSize), std::invalid_argument);
    EXPECT_THROW((void)makePngPicture(good, TwipSize{0, 441}), std::invalid_argument);
    EXPECT_NO_THROW((void)makePngPicture(good, kFirstFormulaSize));
}

} // namespace
} // namespace zarnik::helpdoc
