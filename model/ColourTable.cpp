// SPDX-License-Identifier: MIT
#include "model/ColourTable.h"

#include <array>
#include <string>

#include "model/Markings.h"

namespace zarnik {

namespace {

// "no band" is never painted (its band is hidden and its swatch is an empty
// outlined square); its rgb is the white of the resistor body.
constexpr std::array<ColourCode, 13> kTable{{
    {"Black", 0x000000, 0, 1.0, ""},
    {"Brown", 0x804000, 1, 10.0, "_+1%"},
    {"Red", 0xFF0000, 2, 100.0, "_+2%"},
    {"Orange", 0xFF8000, 3, 1000.0, ""},
    {"Yellow", 0xFFFF00, 4, 10000.0, ""},
    {"Green", 0x00FF00, 5, 100000.0, "_+0.5%"},
    {"Blue", 0x0000FF, 6, 1000000.0, "_+0.25%"},
    {"Violet", 0x800080, 7, 10000000.0, "_+0.1%"},
    {"Grey", 0xE0E0E0, 8, std::nullopt, "_+0.05%"},
    {"White", 0xFFFFFF, 9, std::nullopt, ""},
    {"Gold", 0xC0C000, std::nullopt, 0.1, "_+5%"},
    {"Silver", 0xC0C0C0, std::nullopt, 0.01, "_+10%"},
    {"no band", 0xFFFFFF, std::nullopt, std::nullopt, kNoBandToleranceText},
}};

enum Index { kBlack, kBrown, kRed, kOrange, kYellow, kGreen, kBlue, kViolet, kGrey, kWhite, kGold, kSilver, kNoBand };

constexpr const ColourCode* At(int index) { return &kTable[static_cast<std::size_t>(index)]; }

constexpr const ColourCode* kFirstEntries[] = {At(kBrown), At(kRed),    At(kOrange), At(kYellow), At(kGreen),
                                               At(kBlue),  At(kViolet), At(kGrey),   At(kWhite)};
constexpr const ColourCode* kDigitEntries[] = {At(kBlack), At(kBrown), At(kRed),    At(kOrange), At(kYellow),
                                               At(kGreen), At(kBlue),  At(kViolet), At(kGrey),   At(kWhite)};
constexpr const ColourCode* kMultiplierEntries[] = {At(kBlack), At(kBrown), At(kRed),  At(kOrange), At(kYellow),
                                                    At(kGreen), At(kBlue),  At(kGold), At(kSilver)};
constexpr const ColourCode* kToleranceEntries[] = {At(kBrown), At(kRed),  At(kGreen),  At(kBlue),  At(kViolet),
                                                   At(kGrey),  At(kGold), At(kSilver), At(kNoBand)};

constexpr auto kToleranceTexts = [] {
    std::array<std::string_view, std::size(kToleranceEntries)> texts{};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = kToleranceEntries[i]->toleranceText;
    }
    return texts;
}();

// In band order: a, b, CG, c, d; the encoder window has no coefficient band.
constexpr const ColourCode* kEncoderStartColours[] = {At(kBrown), At(kRed),  At(kGreen),
                                                      At(kBlue),  At(kGold), At(kBrown)};

// The temperature coefficient's colours are the digits' Black to Grey.
constexpr std::span<const ColourCode* const> kCoefficientEntries = std::span(kDigitEntries).first<9>();

constexpr std::array<BandRule, 6> kRules{{
    {Band::First, "a", "At", kFirstEntries},
    {Band::Second, "b", "Bt", kDigitEntries},
    {Band::Third, "CG", "CGt", kDigitEntries},
    {Band::Multiplier, "c", "ct", kMultiplierEntries},
    {Band::Tolerance, "d", "Dt", kToleranceEntries},
    {Band::Coefficient, "e", "Et", kCoefficientEntries},
}};

// The decoder's multiplier palette stops at Blue: Violet's 10^7 is the encoder's only.
bool OnMultiplierPalette(const ColourCode& colour)
{
    for (const ColourCode* entry : kMultiplierEntries) {
        if (entry == &colour) {
            return true;
        }
    }
    return false;
}

bool IsDigitBand(Band band) { return band == Band::First || band == Band::Second || band == Band::Third; }

}  // namespace

std::span<const ColourCode> ColourTable() { return kTable; }

bool IsNoBand(const ColourCode& colour) { return colour.toleranceText == kNoBandToleranceText; }

const ColourCode* ColourByName(std::string_view name)
{
    for (const ColourCode& entry : kTable) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

const ColourCode* ColourByDigit(int digit) { return digit >= 0 && digit <= 9 ? At(kBlack + digit) : nullptr; }

const ColourCode* ColourByMultiplierExponent(int exponent)
{
    if (exponent == -2) {
        return At(kSilver);
    }
    if (exponent == -1) {
        return At(kGold);
    }
    return exponent >= 0 && exponent <= 7 ? At(kBlack + exponent) : nullptr;
}

const ColourCode* ColourByTolerance(std::string_view toleranceText)
{
    if (toleranceText.empty()) {
        return nullptr;
    }
    for (const ColourCode& entry : kTable) {
        if (entry.toleranceText == toleranceText) {
            return &entry;
        }
    }
    return nullptr;
}

std::span<const BandRule> BandRules() { return kRules; }

const BandRule& RuleOf(Band band) { return kRules[static_cast<std::size_t>(band)]; }

std::span<const std::string_view> ToleranceTexts() { return kToleranceTexts; }

const ColourCode& EncoderStartColour(Band band) { return *kEncoderStartColours[static_cast<std::size_t>(band)]; }

int SwatchNumber(const ColourCode& colour)
{
    if (colour.digit) {
        return *colour.digit;
    }
    const auto index = &colour - kTable.data();
    return index == kGold ? 11 : index == kSilver ? 12 : 13;
}

std::string SwatchName(Band band, const ColourCode& colour)
{
    std::string name(RuleOf(band).label);
    name += std::to_string(SwatchNumber(colour));
    return name;
}

std::string MultiplierText(const ColourCode& colour, const NumberFormat& format)
{
    if (!colour.multiplier || !OnMultiplierPalette(colour)) {
        return {};
    }
    return NumberText(*colour.multiplier, format);
}

std::string BandText(Band band, const ColourCode& colour, const NumberFormat& format)
{
    if (IsDigitBand(band)) {
        return colour.digit ? std::to_string(*colour.digit) : std::string();
    }
    if (band == Band::Multiplier) {
        return MultiplierText(colour, format);
    }
    if (band == Band::Coefficient) {
        const std::optional<int> ppm = TemperatureCoefficient(colour);
        return ppm ? TemperatureCoefficientText(*ppm) : std::string();
    }
    return std::string(colour.toleranceText);
}

namespace {

// What the colour stands for on the band alone: "4", "x0.1", "\u00B15%"; ""
// where it stands for nothing there.
std::string MeaningOnBand(Band band, const ColourCode& colour, const NumberFormat& format)
{
    std::string meaning;
    if (IsDigitBand(band)) {
        if (colour.digit) {
            meaning = std::to_string(*colour.digit);
        }
    } else if (band == Band::Multiplier) {
        // Violet's 10^7 counts here too: the encoder paints it.
        if (colour.multiplier) {
            meaning = "x" + NumberText(*colour.multiplier, format);
        }
    } else if (band == Band::Coefficient) {
        meaning = BandText(band, colour, format);
    } else if (colour.toleranceText.starts_with("_+")) {
        meaning = "\u00B1";
        meaning += colour.toleranceText.substr(2);
    }
    return meaning;
}

}  // namespace

std::string BandMeaning(Band band, const ColourCode& colour, const NumberFormat& format)
{
    const std::string meaning = MeaningOnBand(band, colour, format);
    if (meaning.empty()) {
        return {};
    }
    std::string text(colour.name);
    text += ": ";
    text += meaning;
    return text;
}

std::string SpokenBandMeaning(Band band, const ColourCode& colour, const NumberFormat& format)
{
    const std::string meaning = MeaningOnBand(band, colour, format);
    if (meaning.empty()) {
        return {};
    }
    constexpr const char* kBandTitles[] = {"Band 1",     "Band 2",    "Band 3",
                                           "Multiplier", "Tolerance", "Temperature coefficient"};
    std::string text = kBandTitles[int(band)];
    text += ": ";
    text += colour.name;
    text += ", ";
    text += meaning;
    return text;
}

}  // namespace zarnik
