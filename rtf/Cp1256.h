#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zarnik {

// The Windows Arabic code page (1256), in which the help document is written
// and read. Bytes below 0x80 are ASCII.

// The byte of `codePoint`, or nothing where the code page lacks it (the
// Persian yeh U+06CC, for one).
[[nodiscard]] std::optional<unsigned char> ToCp1256(char32_t codePoint);

// The code point of a byte (every byte is assigned; all lie in the BMP).
[[nodiscard]] char32_t FromCp1256(unsigned char byte);

// Strict UTF-8 decoding, for the help document's sources; throws
// std::invalid_argument on malformed input (bad lead or continuation bytes,
// overlong forms, surrogates, > U+10FFFF).
[[nodiscard]] std::u32string DecodeUtf8(std::string_view utf8);

}  // namespace zarnik
