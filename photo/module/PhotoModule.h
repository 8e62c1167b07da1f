// SPDX-License-Identifier: MIT
#pragma once

// The photo reader lives in a module of its own, zarnik_photo.so, with
// OpenCV and the image libraries behind it: the command line loads it only
// for `photo`, the windows only when a photo is first read, so that nothing
// else pays for its start. This header is all its callers see.

#include <span>
#include <string>
#include <vector>

#include "photo/PhotoReading.h"

namespace zarnik::photo {

// What the module offers; the loader checks `version` against its own.
struct PhotoModule {
    int version = 0;
    PhotoReading (*readFile)(const std::string& path) = nullptr;
    PhotoReading (*readEncoded)(std::span<const unsigned char> bytes) = nullptr;
    // The photo with the body outlined and each band named, as PNG; empty
    // where the photo cannot be read again.
    std::vector<unsigned char> (*annotatedPng)(const std::string& path, const PhotoReading& reading) = nullptr;
};

inline constexpr int kPhotoModuleVersion = 1;

// The module, loaded on the first call: from the program's own folder, then
// from the program's private folder where it is installed. nullptr where it
// cannot be loaded, with `problem` saying why.
[[nodiscard]] const PhotoModule* LoadPhotoModule(std::string& problem);

}  // namespace zarnik::photo

// The module's one entry point.
extern "C" const zarnik::photo::PhotoModule* zarnik_photo_module();
