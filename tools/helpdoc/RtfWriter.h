// SPDX-License-Identifier: MIT
#pragma once

#include "tools/helpdoc/HelpText.h"

#include <string>
#include <string_view>
#include <vector>

namespace zarnik::helpdoc {

// Display sizes of the two formula pictures, in twips.
struct TwipSize {
    int width = 0;
    int height = 0;
};
inline constexpr TwipSize kFirstFormulaSize{4153, 441};
inline constexpr TwipSize kSecondFormulaSize{4678, 446};

// A PNG picture as the document embeds it: the file's bytes, its size in
// pixels (from its header) and the size at which the document shows it.
struct PngPicture {
    std::string bytes;
    int width = 0;
    int height = 0;
    TwipSize display;
};

// Checks the PNG signature and header; throws std::invalid_argument with a
// readable message when `bytes` is no PNG.
[[nodiscard]] PngPicture makePngPicture(std::string bytes, TwipSize display);

// The whole file; throws std::runtime_error when it cannot be read.
[[nodiscard]] std::string readBinaryFile(const std::string& path);

// `utf8` as RTF text in code page 1256: ASCII as it is (with \, { and }
// escaped), letters of the code page as \'hh, all others as \uN followed by
// a one-character fallback (the document declares \uc1). Throws
// std::invalid_argument on malformed UTF-8 or control characters.
[[nodiscard]] std::string escapeRtfText(std::string_view utf8);

// The help document as RTF: header, font table, then one line per paragraph.
[[nodiscard]] std::string writeHelpRtf(const std::vector<Paragraph>& paragraphs, const PngPicture& firstFormula,
                                       const PngPicture& secondFormula);

}  // namespace zarnik::helpdoc
