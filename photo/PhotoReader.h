// SPDX-License-Identifier: MIT
#pragma once

// The photo reader's entry points: a photo file or its bytes in, a reading
// out (PhotoReading.h). The pipeline, whose stages Stages.h exposes to the
// tests and the fuzzer:
//   1. the header's size is checked before anything is decoded;
//   2. the body is found against the background, leads cut off;
//   3. the colour along its axis is sampled across the middle, glare left out;
//   4. the bands are found in that profile and their colours weighed, the
//      light balanced by the photo's own neutral surfaces;
//   5. whole markings (both directions, four and five bands) are ranked by
//      those colours and by what real parts are: valid codes, standard values.

#include <span>
#include <string>
#include <vector>

#include "photo/PhotoReading.h"

namespace zarnik::photo {

// Reads the photo at path; every status of PhotoStatus.
[[nodiscard]] PhotoReading ReadPhotoFile(const std::string& path);

// The same for a photo's encoded bytes (a JPEG or PNG dropped on a window).
[[nodiscard]] PhotoReading ReadPhotoEncoded(std::span<const unsigned char> bytes);

// The photo at path as a PNG with the body outlined and each band of the best
// candidate marked with its colour name; empty where the photo cannot be
// read again.
[[nodiscard]] std::vector<unsigned char> AnnotatedPng(const std::string& path, const PhotoReading& reading);

// AnnotatedPng written to outPath; false with the problem ("cannot write
// out.png") where it fails.
bool WriteAnnotatedPng(const std::string& path, const PhotoReading& reading, const std::string& outPath,
                       std::string& problem);

}  // namespace zarnik::photo
