// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace zarnik::helpdoc {

// The fonts of the document's font table, by their number in it.
enum class Font {
    CourierWestern = 0,  // Courier New, Western character set
    CourierArabic = 1,   // Courier New, Arabic character set: the Persian text
    TimesArabic = 2,     // Times New Roman, Arabic character set
    SansWestern = 3,     // MS Sans Serif, Western character set
};

enum class Alignment { Centre, Right };

enum class Picture { None, FirstFormula, SecondFormula };

// A stretch of text in one font. Runs in the Arabic Courier are Persian and
// right to left; the others take the paragraph's font size and weight too.
struct Run {
    std::string text;  // UTF-8
    Font font = Font::CourierArabic;
    bool underline = false;
};

// One paragraph of the help document. Every paragraph is right to left.
// `font` is the paragraph's own font: that of its first run, or of its empty
// line or picture.
struct Paragraph {
    std::vector<Run> runs;
    Picture picture = Picture::None;
    Font font = Font::CourierWestern;
    Alignment alignment = Alignment::Centre;
    int halfPoints = 24;
    bool bold = false;

    // The paragraph's text, all runs joined (UTF-8).
    [[nodiscard]] std::string text() const;
};

inline constexpr int kParagraphCount = 80;
inline constexpr char kKashida[] = "\u0640";

// The help document, paragraph by paragraph, in reading order.
[[nodiscard]] std::vector<Paragraph> helpParagraphs();

// What is wrong with a paragraph list meant as the help document (count,
// stretched words, the picture paragraphs, the closing line); empty when
// nothing is.
[[nodiscard]] std::vector<std::string> checkHelpParagraphs(const std::vector<Paragraph>& paragraphs);

}  // namespace zarnik::helpdoc
