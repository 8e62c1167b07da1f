// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "model/NumberText.h"

namespace zarnik::test {

// The decimal conventions the model is checked in: the point, the comma and
// the Persian/Arabic decimal separator (two bytes in UTF-8).
inline const NumberFormat kPoint{"."};
inline const NumberFormat kComma{","};
inline const NumberFormat kArabic{"\u066B"};
inline const NumberFormat* const kFormats[] = {&kPoint, &kComma, &kArabic};

// The same text with the format's decimal separator in place of the point.
inline std::string WithSeparator(std::string text, const NumberFormat& format)
{
    const auto point = text.find('.');
    if (point != std::string::npos) {
        text.replace(point, 1, format.decimalSeparator);
    }
    return text;
}

}  // namespace zarnik::test
