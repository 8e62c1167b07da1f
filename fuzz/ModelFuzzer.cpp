// Arbitrary texts through the colour-code model: number reading and writing,
// both decodings and both encodings, with the point, the comma and the Arabic
// decimal separator (U+066B). Besides crashes and undefined behaviour it
// checks what the windows rely on: every finite number the model writes reads
// back to the same text, and every result line is the idle text, the prompt
// or ends with the tolerance text it was given.
//
// The input is split at line feeds into up to seven texts: value, unit,
// tolerance, first, second and third digit text, multiplier text.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/Decoding.h"
#include "model/Encoding.h"
#include "model/NumberText.h"

namespace {

using namespace zarnik;

void Check(bool condition, const char* what, std::string_view detail)
{
    if (!condition) {
        std::fprintf(stderr, "model fuzzer: %s: [%.*s]\n", what, static_cast<int>(detail.size()), detail.data());
        std::abort();
    }
}

// The largest double whose 15-digit text does not round up past the largest
// finite double: above it NumberText writes a number too large to read.
constexpr double kLargestReadable = 1.79769313486231e308;

void CheckNumber(std::string_view text, const NumberFormat& format)
{
    const auto value = Parse(text, format);
    if (!value) {
        return;
    }
    Check(std::isfinite(*value), "Parse gave a value that is not finite", text);
    if (std::abs(*value) > kLargestReadable) {
        return;
    }
    const std::string written = NumberText(*value, format);
    const auto reread = Parse(written, format);
    Check(reread.has_value(), "NumberText wrote a text Parse cannot read", written);
    Check(NumberText(*reread, format) == written, "NumberText does not read back to itself", written);
}

bool EndsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

void CheckDecoding(const std::string& result, std::string_view tolerance)
{
    Check(result == kIdleText || EndsWith(result, std::string("    ").append(tolerance)),
          "decoding result is neither the idle text nor ends with the tolerance", result);
}

void CheckEncoding(const Encoding& encoding, std::string_view tolerance)
{
    const std::string& result = encoding.resultText;
    Check(result == kPromptText || EndsWith(result, std::string("    ").append(tolerance)),
          "encoding result is neither the prompt nor ends with the tolerance", result);
    if (result != kPromptText) {
        Check(encoding.microOhmText.find('E') == std::string::npos, "encoded a micro-ohm text in exponent form",
              encoding.microOhmText);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::array<std::string_view, 7> texts{};
    std::size_t begin = 0;
    for (std::size_t i = 0; i < texts.size() && begin <= input.size(); ++i) {
        const std::size_t end = i + 1 == texts.size() ? input.size() : input.find('\n', begin);
        texts[i] = input.substr(begin, (end == std::string_view::npos ? input.size() : end) - begin);
        begin = end == std::string_view::npos ? input.size() + 1 : end + 1;
    }
    const auto& [value, unit, tolerance, first, second, third, multiplier] = texts;

    static const NumberFormat kFormats[] = {{"."}, {","}, {"\u066B"}};
    for (const NumberFormat& format : kFormats) {
        for (const std::string_view text : texts) {
            CheckNumber(text, format);
        }
        CheckEncoding(EncodeFourBands(value, unit, tolerance, format), tolerance);
        CheckEncoding(EncodeFiveBands(value, unit, tolerance, format), tolerance);
        CheckDecoding(DecodeFourBands(first, second, multiplier, tolerance, format), tolerance);
        CheckDecoding(DecodeFiveBands(first, second, third, multiplier, tolerance, format), tolerance);
    }
    return 0;
}
