#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zarnik::helpdoc {

// The Windows Arabic code page (1256), in which the help document is written.
// Returns the byte of `codePoint`, or nothing where the code page lacks it
// (the Persian yeh U+06CC, for one).
[[nodiscard]] std::optional<unsigned char> toCp1256(char32_t codePoint);

// The code point of a byte of code page 1256 (every byte is assigned).
[[nodiscard]] char32_t fromCp1256(unsigned char byte);

// Strict UTF-8 decoding; throws std::invalid_argument on malformed input
// (bad lead or continuation bytes, overlong forms, surrogates, > U+10FFFF).
[[nodiscard]] std::u32string decodeUtf8(std::string_view utf8);

} // namespace zarnik::helpdoc
