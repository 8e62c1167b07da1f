#include "tools/helpdoc/HelpText.h"

#include "rtf/Cp1256.h"

#include <algorithm>
#include <exception>
#include <string_view>
#include <utility>

namespace zarnik::helpdoc {
namespace {

constexpr int kBodyHalfPoints = 24;    // 12 pt
constexpr int kPictureHalfPoints = 17; // 8.5 pt
constexpr int kSmallHalfPoints = 20;   // 10 pt

// Who signs the closing line: the program's team.
constexpr std::string_view kCredit = "گروه زرنیک";

// A run of kashidas, the letter that stretches a word.
std::string stretched(int count)
{
    std::string run;
    for (int i = 0; i < count; ++i)
        run += kKashida;
    return run;
}

int countKashidas(const std::string& utf8)
{
    try {
        const std::u32string text = DecodeUtf8(utf8);
        return static_cast<int>(std::count(text.begin(), text.end(), U'\u0640'));
    } catch (const std::exception&) {
        return -1;
    }
}

} // namespace

std::string Paragraph::text() const
{
    std::string joined;
    for (const Run& run : runs)
        joined += run.text;
    return joined;
}

std::vector<Paragraph> helpParagraphs()
{
    std::vector<Paragraph> doc;
    doc.reserve(kParagraphCount);
    auto empty = [&doc](int halfPoints = kBodyHalfPoints) {
        Paragraph paragraph;
        paragraph.halfPoints = halfPoints;
        doc.push_back(std::move(paragraph));
    };
    auto persian = [&doc](std::string text) {
        Paragraph paragraph;
        paragraph.font = Font::CourierArabic;
        paragraph.runs.push_back({std::move(text), Font::CourierArabic, false});
        doc.push_back(std::move(paragraph));
    };
    auto picture = [&doc](Picture which) {
        Paragraph paragraph;
        paragraph.picture = which;
        paragraph.font = Font::SansWestern;
        paragraph.halfPoints = kPictureHalfPoints;
        doc.push_back(std::move(paragraph));
    };

    empty(); // 1
    persian("با س" + stretched(19) + "لام"); // 2
    empty(); // 3
    persian("برنامه ی که می بینید برنامه ای است که مقدار مقاومت را از روی کد های رنگی مشخص می کند و بالعکس."); // 4
    persian("برای آنکه مقدار مقاومت را از روی کد های رنگی بدست آورند به این صورت عمل می کنند:"); // 5
    persian("(در مقاومت 4 نواری)"); // 6
    persian("رنگ اول نشان دهنده ی عدد"); // 7
    persian("رنگ دوم نشان دهنده ی عدد"); // 8
    persian("رنگ سوم نشان دهنده ی ضریب"); // 9
    persian("رنگ چهارم نشان دهنده ی تلرانس (خطای مقاومت)می باشد"); // 10
    empty(); // 11
    persian("رنگهای ردیف اول : اعداد"); // 12
    empty(); // 13
    persian("قهوه ای..........1"); // 14
    persian("قرمز.............2"); // 15
    persian("نارنجی............3"); // 16
    persian("زرد..............4"); // 17
    persian("سبز..............5"); // 18
    persian("آبی..............6"); // 19
    persian("بنفش.............7"); // 20
    persian("خاکستری...........8"); // 21
    persian("سفید.............9"); // 22
    empty(); // 23
    persian("رنگهای ردیف دوم : اعداد"); // 24
    empty(); // 25
    persian("مشکی.............0"); // 26
    persian("قهوه ای..........1"); // 27
    persian("قرمز.............2"); // 28
    persian("نارنجی............3"); // 29
    persian("زرد..............4"); // 30
    persian("سبز..............5"); // 31
    persian("آبی..............6"); // 32
    persian("بنفش.............7"); // 33
    persian("خاکستری...........8"); // 34
    persian("سفید.............9"); // 35
    empty(); // 36
    persian("رنگهای ردیف سوم : ضریب"); // 37
    empty(); // 38
    persian("مشکی.............*1"); // 39
    persian("قهوه ای..........*10"); // 40
    persian("قرمز.............*100"); // 41
    persian("نارنجی............*1000"); // 42
    persian("زرد..............*10000"); // 43
    persian("سبز..............*100000"); // 44
    persian("آبی..............*1000000"); // 45
    empty(); // 46
    persian("طلایی.............*0.1"); // 47
    persian("نقره ای.............*0.01"); // 48
    empty(); // 49
    persian("رنگهای ردیف چهارم : تلرانس"); // 50
    empty(); // 51
    persian("قهوه ای...........1%"); // 52
    persian("قرمز..............2%"); // 53
    persian("سبز.............0.5%"); // 54
    persian("آبی............0.25%"); // 55
    persian("بنفش............0.1%"); // 56
    persian("خاکستری.........0.01%"); // 57
    persian("طلایی..............5%"); // 58
    persian("نقره ای ........10 %"); // 59
    persian("بی رنگ .........20 %"); // 60
    empty(); // 61
    persian("برای محاسبه ی مقدار مقاومت دو رنگ اول(اعداد شان) را با هم خوانده و در عدد رنگ سوم ( ضریب ) ضرب کرده تا مقدار مقاومت بر حسب اهم بدست آید.رنگ چهارم بیانگر درصد تلرانس مقاومت می باشد."); // 62
    empty(); // 63
    persian("برای مثال مقاومتی با رنگهای (طلایی  قرمز قرمز قرمز)"); // 64
    doc.back().runs.push_back({":", Font::TimesArabic, false});
    doc.back().runs.push_back({"     ", Font::TimesArabic, true});
    empty(); // 65
    picture(Picture::FirstFormula); // 66
    empty(); // 67
    persian("در مقاومت 5 نواری رنگ سوم مانند رنگ دوم عدد می باشد و رنگ چهارم ضریب و رنگ پنجم تلرانس می باشد."); // 68
    persian("مثال:(بنفش،قرمز،قهوه ای،نارنجی،آبی)"); // 69
    empty(); // 70
    picture(Picture::SecondFormula); // 71
    empty(); // 72
    persian("با تشک" + stretched(20) + "ر-" + std::string(kCredit) + "-تابستان 86"); // 73
    doc.back().bold = true;
    empty(); // 74
    empty(); // 75
    empty(); // 76
    empty(); // 77
    empty(kSmallHalfPoints); // 78
    empty(); // 79
    empty(); // 80
    doc.back().alignment = Alignment::Right;
    return doc;
}

std::vector<std::string> checkHelpParagraphs(const std::vector<Paragraph>& paragraphs)
{
    std::vector<std::string> problems;
    if (paragraphs.size() != kParagraphCount) {
        problems.push_back("the document has " + std::to_string(paragraphs.size())
                           + " paragraphs instead of " + std::to_string(kParagraphCount));
        return problems;
    }
    auto at = [&paragraphs](int number) -> const Paragraph& {
        return paragraphs[std::size_t(number - 1)];
    };
    auto expectKashidas = [&](int number, int count) {
        const int found = countKashidas(at(number).text());
        if (found != count)
            problems.push_back("paragraph " + std::to_string(number) + " stretches with "
                               + std::to_string(found) + " kashidas instead of "
                               + std::to_string(count));
    };
    expectKashidas(2, 19);
    expectKashidas(73, 20);

    for (int number = 1; number <= kParagraphCount; ++number) {
        const Paragraph& paragraph = at(number);
        const std::string label = "paragraph " + std::to_string(number);
        const Picture expectedPicture = number == 66 ? Picture::FirstFormula
                                        : number == 71 ? Picture::SecondFormula
                                                       : Picture::None;
        if (paragraph.picture != expectedPicture)
            problems.push_back(label + " has the wrong picture");
        if (paragraph.picture != Picture::None && !paragraph.runs.empty())
            problems.push_back(label + " mixes a picture with text");
        if (paragraph.bold != (number == 73))
            problems.push_back(label + (paragraph.bold ? " is bold" : " is not bold"));
        const Alignment expectedAlignment = number == kParagraphCount ? Alignment::Right
                                                                      : Alignment::Centre;
        if (paragraph.alignment != expectedAlignment)
            problems.push_back(label + " has the wrong alignment");
        if (paragraph.halfPoints <= 0 || paragraph.halfPoints > 3276)
            problems.push_back(label + " has an impossible font size");
        for (const Run& run : paragraph.runs) {
            try {
                const std::u32string text = DecodeUtf8(run.text);
                if (std::any_of(text.begin(), text.end(), [](char32_t c) { return c < 0x20; }))
                    problems.push_back(label + " holds a control character");
            } catch (const std::exception& error) {
                problems.push_back(label + ": " + error.what());
            }
        }
    }
    return problems;
}

} // namespace zarnik::helpdoc
