// SPDX-License-Identifier: MIT
#pragma once

#include <opencv2/core.hpp>

namespace zarnik::photo {

// sRGB (0..1, gamma encoded) to linear light and back.
[[nodiscard]] float SrgbToLinear(float v);
// Linear RGB (0..1, sRGB primaries, D65 white) to CIE L*a*b* (L 0..100).
[[nodiscard]] cv::Vec3f LinearToLab(const cv::Vec3f& rgb);
// The L*a*b* colour of a surface under gain times the light: its linear
// RGB, and so its XYZ, multiplied by gain.
[[nodiscard]] cv::Vec3f LabUnderLight(const cv::Vec3f& lab, float gain);
// The luminance (CIE Y) of linear RGB.
[[nodiscard]] inline float Luminance(const cv::Vec3f& rgb)
{
    return 0.2126f * rgb[0] + 0.7152f * rgb[1] + 0.0722f * rgb[2];
}
// CIE76 colour difference.
[[nodiscard]] inline float DeltaE(const cv::Vec3f& a, const cv::Vec3f& b)
{
    return static_cast<float>(cv::norm(a - b));
}

}  // namespace zarnik::photo
