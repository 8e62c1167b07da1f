// SPDX-License-Identifier: MIT
#include "photo/ImageHeader.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace zarnik::photo {
namespace {

using Bytes = std::span<const unsigned char>;

std::uint32_t Big16(Bytes b, std::size_t at) { return (std::uint32_t{b[at]} << 8) | b[at + 1]; }
std::uint32_t Big32(Bytes b, std::size_t at) { return (Big16(b, at) << 16) | Big16(b, at + 2); }
std::uint32_t Little16(Bytes b, std::size_t at) { return (std::uint32_t{b[at + 1]} << 8) | b[at]; }
std::uint32_t Little32(Bytes b, std::size_t at) { return (Little16(b, at + 2) << 16) | Little16(b, at); }
std::uint32_t Little24(Bytes b, std::size_t at) { return (std::uint32_t{b[at + 2]} << 16) | Little16(b, at); }

bool StartsWith(Bytes b, const char* magic)
{
    const std::size_t n = std::strlen(magic);
    return b.size() >= n && std::memcmp(b.data(), magic, n) == 0;
}

// After a start-of-scan header: the entropy-coded data runs until a marker
// that is neither a stuffed zero, a restart marker nor fill.
std::size_t SkipScanData(Bytes b, std::size_t at)
{
    while (at + 1 < b.size()) {
        const auto* hit = static_cast<const unsigned char*>(std::memchr(b.data() + at, 0xFF, b.size() - at - 1));
        if (hit == nullptr) {
            return b.size();
        }
        at = static_cast<std::size_t>(hit - b.data());
        const unsigned char next = b[at + 1];
        if (next == 0x00 || next == 0xFF || (next >= 0xD0 && next <= 0xD7)) {
            at += next == 0xFF ? 1 : 2;
            continue;
        }
        return at;
    }
    return b.size();
}

std::optional<ImageHeader> Jpeg(Bytes b)
{
    ImageHeader header{ImageFormat::Jpeg};
    bool sized = false;
    std::size_t at = 2;
    while (at + 1 < b.size()) {
        if (b[at] != 0xFF) {
            return std::nullopt;  // not a marker where one must be
        }
        const unsigned char marker = b[at + 1];
        if (marker == 0xFF) {
            ++at;  // fill byte
            continue;
        }
        at += 2;
        if (marker == 0xD9) {
            header.complete = true;
            return sized ? std::optional(header) : std::nullopt;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            continue;  // markers with no segment
        }
        if (at + 2 > b.size()) {
            break;
        }
        const std::size_t length = Big16(b, at);
        if (length < 2) {
            return std::nullopt;
        }
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && !sized) {
            if (at + 7 > b.size() || length < 7) {
                break;
            }
            header.height = Big16(b, at + 3);
            header.width = Big16(b, at + 5);
            if (header.width == 0 || header.height == 0) {
                return std::nullopt;  // a height given later (DNL): no reader here takes that
            }
            sized = true;
        }
        at += length;
        if (marker == 0xDA) {
            if (!sized) {
                return std::nullopt;
            }
            at = SkipScanData(b, at);
        }
    }
    if (!sized) {
        return std::nullopt;
    }
    header.complete = false;
    return header;
}

std::optional<ImageHeader> Png(Bytes b)
{
    if (b.size() < 24 || std::memcmp(b.data() + 12, "IHDR", 4) != 0) {
        return std::nullopt;
    }
    return ImageHeader{ImageFormat::Png, Big32(b, 16), Big32(b, 20)};
}

std::optional<ImageHeader> Bmp(Bytes b)
{
    if (b.size() < 26) {
        return std::nullopt;
    }
    const std::uint32_t dib = Little32(b, 14);
    if (dib == 12) {
        return ImageHeader{ImageFormat::Bmp, Little16(b, 18), Little16(b, 20)};
    }
    const auto width = static_cast<std::int32_t>(Little32(b, 18));
    const auto height = static_cast<std::int32_t>(Little32(b, 22));
    return ImageHeader{ImageFormat::Bmp, std::abs(std::int64_t{width}), std::abs(std::int64_t{height})};
}

std::optional<ImageHeader> WebP(Bytes b)
{
    if (b.size() < 30 || std::memcmp(b.data() + 8, "WEBP", 4) != 0) {
        return std::nullopt;
    }
    if (std::memcmp(b.data() + 12, "VP8X", 4) == 0) {
        return ImageHeader{ImageFormat::WebP, Little24(b, 24) + 1, Little24(b, 27) + 1};
    }
    if (std::memcmp(b.data() + 12, "VP8L", 4) == 0 && b[20] == 0x2F) {
        const std::uint32_t bits = Little32(b, 21);
        return ImageHeader{ImageFormat::WebP, (bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1};
    }
    if (std::memcmp(b.data() + 12, "VP8 ", 4) == 0 && b[23] == 0x9D && b[24] == 0x01 && b[25] == 0x2A) {
        return ImageHeader{ImageFormat::WebP, Little16(b, 26) & 0x3FFF, Little16(b, 28) & 0x3FFF};
    }
    return std::nullopt;
}

std::optional<ImageHeader> Tiff(Bytes b)
{
    const bool little = b[0] == 'I';
    auto u16 = [&](std::size_t at) { return little ? Little16(b, at) : Big16(b, at); };
    auto u32 = [&](std::size_t at) { return little ? Little32(b, at) : Big32(b, at); };
    if (b.size() < 8 || u16(2) != 42) {
        return std::nullopt;  // BigTIFF (43) and anything else
    }
    const std::size_t ifd = u32(4);
    if (ifd + 2 > b.size()) {
        return std::nullopt;
    }
    const std::size_t count = u16(ifd);
    std::int64_t width = 0;
    std::int64_t height = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + 12 * i;
        if (entry + 12 > b.size()) {
            return std::nullopt;
        }
        const std::uint32_t tag = u16(entry);
        const std::uint32_t type = u16(entry + 2);
        const std::int64_t value = type == 3 ? u16(entry + 8) : u32(entry + 8);
        if (tag == 256) {
            width = value;
        } else if (tag == 257) {
            height = value;
        }
    }
    if (width == 0 || height == 0) {
        return std::nullopt;
    }
    return ImageHeader{ImageFormat::Tiff, width, height};
}

// P1 to P6: magic, then width and height as decimal text, with # comments.
std::optional<ImageHeader> Pnm(Bytes b)
{
    std::size_t at = 2;
    std::int64_t numbers[2] = {0, 0};
    for (auto& number : numbers) {
        while (at < b.size() && (std::isspace(b[at]) || b[at] == '#')) {
            if (b[at] == '#') {
                while (at < b.size() && b[at] != '\n') {
                    ++at;
                }
            } else {
                ++at;
            }
        }
        const std::size_t start = at;
        while (at < b.size() && std::isdigit(b[at]) && at - start < 10) {
            number = number * 10 + (b[at] - '0');
            ++at;
        }
        if (at == start || (at < b.size() && !std::isspace(b[at]))) {
            return std::nullopt;
        }
    }
    if (numbers[0] == 0 || numbers[1] == 0) {
        return std::nullopt;
    }
    return ImageHeader{ImageFormat::Pnm, numbers[0], numbers[1]};
}

std::optional<ImageHeader> HeaderOf(std::span<const unsigned char> bytes)
{
    if (bytes.size() < 3) {
        return std::nullopt;
    }
    if (bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        return Jpeg(bytes);
    }
    if (StartsWith(bytes, "\x89PNG\r\n\x1a\n")) {
        return Png(bytes);
    }
    if (StartsWith(bytes, "BM")) {
        return Bmp(bytes);
    }
    if (StartsWith(bytes, "RIFF")) {
        return WebP(bytes);
    }
    if (StartsWith(bytes, "II*") || StartsWith(bytes, "MM")) {
        return Tiff(bytes);
    }
    if (bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '6') {
        return Pnm(bytes);
    }
    return std::nullopt;
}

}  // namespace

std::optional<ImageHeader> ReadImageHeader(std::span<const unsigned char> bytes)
{
    auto header = HeaderOf(bytes);
    if (header && (header->width <= 0 || header->height <= 0)) {
        return std::nullopt;  // no pixels: nothing any decoder makes a picture of
    }
    return header;
}

}  // namespace zarnik::photo
