// SPDX-License-Identifier: MIT
#pragma once

// What the photo reader finds in a photo of one through-hole resistor, in
// plain C++ types: the command line and the windows include this header and
// never OpenCV's, since they load the reader (zarnik_photo.so) only when a
// photo is read.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zarnik::photo {

// A point in the photo's pixels, x to the right and y down from its top-left.
struct PixelPoint {
    double x = 0;
    double y = 0;
};

// One whole marking the reader thinks the photo shows.
struct PhotoCandidate {
    // The colour names as the model's MarkingColourByName spells them
    // ("Brown", "Gold"), first digit first: 4 or 5 bands.
    std::vector<std::string> bands;
    // How likely this reading is to be the right one, 0 to 1; the candidates'
    // confidences add up to at most 1.
    double confidence = 0;
};

enum class PhotoStatus {
    Read,        // a resistor was found and read: candidates holds at least one reading
    NoResistor,  // an image, but no resistor body in it
    Missing,     // no such file
    NotAFile,    // a directory or other non-file
    Unreadable,  // a file that cannot be opened or read
    NotAnImage,  // read, but no image format the reader knows, or a truncated image
    TooLarge,    // over kMaxPixels
};

// Photos over 50 megapixels are refused before they are decoded.
inline constexpr std::int64_t kMaxPixels = 50'000'000;

struct PhotoReading {
    PhotoStatus status = PhotoStatus::NotAnImage;
    // For every status but Read and NoResistor: what is wrong, in a few words
    // that follow the file's name ("is not an image", "has 61 megapixels; at
    // most 50 are read").
    std::string problem;
    int width = 0;  // the photo's size in pixels (0 when it was not decoded)
    int height = 0;
    // Best first, at most three.
    std::vector<PhotoCandidate> candidates;
    // The body's four corners, in order around it, where a body was found.
    std::array<PixelPoint, 4> body{};
    // Where each band of the best candidate lies along the body, in the
    // candidate's reading order.
    std::vector<PixelPoint> bandCentres;
};

}  // namespace zarnik::photo
