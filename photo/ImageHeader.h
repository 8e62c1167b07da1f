// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace zarnik::photo {

// What an image file's header says, read without decoding it, so that a
// photo over the pixel limit is refused before its pixels take memory.
enum class ImageFormat { Jpeg, Png, Bmp, WebP, Tiff, Pnm };

struct ImageHeader {
    ImageFormat format = ImageFormat::Jpeg;
    std::int64_t width = 0;
    std::int64_t height = 0;
    // JPEG only: whether the entropy-coded data runs to its end marker.
    // libjpeg decodes a cut-off file into a picture with a grey bottom, which
    // is no photo to read.
    bool complete = true;
};

// The header of a JPEG, PNG, BMP, WebP, TIFF or binary/ASCII PNM image;
// nothing for anything else, and for a header that is cut off or names no
// size.
[[nodiscard]] std::optional<ImageHeader> ReadImageHeader(std::span<const unsigned char> bytes);

}  // namespace zarnik::photo
