#include "tools/helpdoc/Cp1256.h"

#include "ui/help/Cp1256Table.h"

#include <array>
#include <stdexcept>

namespace zarnik::helpdoc {
namespace {

constexpr const auto& kHighHalf = kCp1256HighHalf;

[[noreturn]] void malformed(std::size_t at)
{
    throw std::invalid_argument("malformed UTF-8 at byte " + std::to_string(at));
}

} // namespace

std::optional<unsigned char> toCp1256(char32_t codePoint)
{
    if (codePoint < 0x80)
        return static_cast<unsigned char>(codePoint);
    for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
        if (kHighHalf[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

char32_t fromCp1256(unsigned char byte)
{
    return byte < 0x80 ? char32_t(byte) : char32_t(kHighHalf[byte - 0x80]);
}

std::u32string decodeUtf8(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1; cp = lead & 0x1F; minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2; cp = lead & 0x0F; minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3; cp = lead & 0x07; minimum = 0x10000;
        } else {
            malformed(i);
        }
        if (utf8.size() - i <= std::size_t(extra) && extra > 0)
            malformed(i);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + std::size_t(k)]);
            if ((next & 0xC0) != 0x80)
                malformed(i + std::size_t(k));
            cp = (cp << 6) | (next & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            malformed(i);
        out.push_back(cp);
        i += std::size_t(extra) + 1;
    }
    return out;
}

} // namespace zarnik::helpdoc
