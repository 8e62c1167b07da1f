// SPDX-License-Identifier: MIT
#pragma once

// The reader's stages on decoded pixels, for the reader itself, its tests,
// its measurement and the fuzzer. Every stage takes any image (any size, any
// content) and answers with nothing rather than failing.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <opencv2/core.hpp>

#include "photo/PhotoReading.h"

namespace zarnik::photo {

// The twelve colours a band may be read as, in the colour table's order
// (Black = 0 ... Silver = 11), with the model's spelling.
inline constexpr int kColourCount = 12;
[[nodiscard]] const char* ColourName(int colour);
// The index of a name in any letter case ("violet", "purple" too); -1 for none.
[[nodiscard]] int ColourIndex(std::string_view name);

// 2. The bodies that may be the resistor's, best first: rotated rectangles
// in the image's pixels, long side the axis. The last, for a photo shaped
// like a body, is the photo itself (cropped to the body). Empty where nothing
// elongated stands out from the background.
[[nodiscard]] std::vector<cv::RotatedRect> FindBodies(const cv::Mat& bgr);
// Bodies a harder surface hides, not among the known ones: looked for where
// none of FindBodies shows a marking (a dark surface that matches the dark
// bands and the shaded side; a surface of nearly the body's colour).
[[nodiscard]] std::vector<cv::RotatedRect> FindFainterBodies(const cv::Mat& bgr,
                                                             const std::vector<cv::RotatedRect>& known);

// 3. The body unrolled along its axis: one colour per step from one end to
// the other, each the trimmed mean across the body's middle, glare and the
// darkest edge pixels left out. Colours are CIE L*a*b* (L 0..100).
struct Profile {
    std::vector<cv::Vec3f> lab;
    // The same steps in linear RGB (0..1), for balancing the light.
    std::vector<cv::Vec3f> rgb;
    // The colour a band takes from each step, linear RGB: the mean of the
    // column's pixels ranked from two fifths to four fifths by lightness. A
    // band's darker rows are the shaded sides of the cylinder, duller and
    // noisier than its lit face; only the glare above is left out.
    std::vector<cv::Vec3f> bandRgb;
    // The image points of the body's two ends on the axis: step i covers
    // [i, i + 1) of the lab.size() steps between them.
    cv::Point2f start;
    cv::Point2f end;
    float bodyWidth = 0;  // the body's width in steps
    // The median linear RGB of what lies around the body (out to its width
    // on either side), bright glare left out: the surface it lies on; the
    // body's own colour where the photo shows nothing around it.
    cv::Vec3f surroundRgb;
};
[[nodiscard]] Profile SampleProfile(const cv::Mat& bgr, const cv::RotatedRect& body);

// 4. A band: the steps it covers, its colour and how far it stands out from
// the body around it.
struct BandSpan {
    float start = 0;
    float end = 0;
    cv::Vec3f lab;
    cv::Vec3f rgb;
    float contrast = 0;
    [[nodiscard]] float Centre() const { return (start + end) / 2; }
};
struct Bands {
    std::vector<BandSpan> bands;  // along the profile
    cv::Vec3f bodyLab;            // the body's own colour
    cv::Vec3f bodyRgb;
    cv::Vec3f surroundRgb;  // Profile::surroundRgb
    float length = 0;       // the profile's length in steps
};
// threshold scales how far a run must stand out to be a band: below 1 for
// a faint or blurred photo, where the bands are too few at 1.
[[nodiscard]] Bands FindBands(const Profile& profile, float threshold = 1);

// How likely each colour is for each band, by the trained colour model or
// another: natural logarithms, normalised so that each band's probabilities
// add up to 1.
using ColourScores = std::array<double, kColourCount>;
class ColourModel;
[[nodiscard]] std::vector<ColourScores> WeighColours(const Bands& bands);
[[nodiscard]] std::vector<ColourScores> WeighColours(const Bands& bands, const ColourModel& model);

// The features the colour model weighs: the band's colour, partly balanced
// by the body's tint (kBodyBalance), and the colour of the body around it as
// the camera saw it, both CIE L*a*b*. The model weighs the band given the
// body, so the body's colour stands for the light and the camera's balance
// (ColourModel.cpp).
inline constexpr int kFeatureCount = 6;
// How far the band's colour is balanced by the body's: each channel of the
// band is multiplied by (body luminance / body channel) to this power. A
// body's tint is partly the light and the camera's balance, which this takes
// out, and partly its paint (a blue body is not blue light), which a full
// balance would wrongly take out too. Measured on the shared photos with
// models trained on one set and reading the other: a third of the way reads
// the light box's frames far better (trained on the phone's crops) and the
// phone's crops no worse; a full balance ruins the blue bodies.
inline constexpr double kBodyBalance = 0.3;
using Features = std::array<double, kFeatureCount>;
[[nodiscard]] Features BandFeatures(const BandSpan& band, const Bands& bands);
// The same from the band's and the body's linear RGB.
[[nodiscard]] Features FeaturesOf(const cv::Vec3f& bandRgb, const cv::Vec3f& bodyRgb);

// 5. Whole markings, best first, at most three, with confidences adding up
// to at most 1; bands as colour indices in reading order, with which of the
// found bands each one is.
struct RankedReading {
    std::vector<int> colours;
    std::vector<int> bandIndex;
    double confidence = 0;
};
// The confidences are the readings' scores, divided by a temperature, made
// to add up to 1 over every reading tried. tools/photocolours measures it:
// 0.3 has the least log loss on folds held out by set, and within a hair of
// the least on folds held out by part (the colour likelihoods count 0.3, so
// the scores are flat at 1).
inline constexpr double kScoreTemperature = 0.3;
[[nodiscard]] std::vector<RankedReading> RankReadings(const Bands& bands, const std::vector<ColourScores>& scores,
                                                      double temperature = kScoreTemperature);

// The value of a reading's colours (first digit first) in ohms, as an exact
// decimal text ("4700", "0.47"); "" for an invalid marking.
[[nodiscard]] std::string ReadingOhms(const std::vector<int>& colours);

// Stages 2 to 4 on a decoded image: the first of FindBodies whose profile
// shows at least four bands, and those bands; nothing where none does.
struct SeenBody {
    cv::RotatedRect body;
    Profile profile;
    Bands bands;
};
[[nodiscard]] std::optional<SeenBody> SeeBands(const cv::Mat& bgr);

// The stages 2 to 5 on a decoded image: a reading whose status is Read or
// NoResistor, in the image's pixels.
[[nodiscard]] PhotoReading ReadImage(const cv::Mat& bgr);

}  // namespace zarnik::photo
