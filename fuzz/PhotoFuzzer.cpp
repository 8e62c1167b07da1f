// SPDX-License-Identifier: MIT
// Generated images through the photo reader's stages. The input is a small
// drawing program: two bytes of size (8 to 256 pixels a side), three of
// background colour, then ten bytes a shape (kind, position, size, angle,
// colour, thickness): filled and outlined rotated rectangles, lines, circles,
// and noise. Besides crashes and undefined behaviour it checks what the
// command line and the windows rely on: at most three readings, each a valid
// marking of four or five bands, confidences from 0 to 1 adding up to at most
// 1, best first, and one band centre for each band of the best. The same
// bytes also go to the header reader as they are.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgproc.hpp>

#include "photo/ImageHeader.h"
#include "photo/Stages.h"

namespace {

using namespace zarnik::photo;

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "photo fuzzer: %s\n", what);
        std::abort();
    }
}

cv::Mat Draw(const std::uint8_t* data, std::size_t size)
{
    const int width = 8 + data[0] % 249;
    const int height = 8 + data[1] % 249;
    cv::Mat image(height, width, CV_8UC3, cv::Scalar(data[2], data[3], data[4]));
    for (std::size_t at = 5; at + 10 <= size; at += 10) {
        const std::uint8_t* s = data + at;
        const cv::Point2f centre(s[1] * width / 255.f, s[2] * height / 255.f);
        const cv::Size2f extent(1 + s[3] * width / 128.f, 1 + s[4] * height / 128.f);
        const float angle = s[5] * 360.f / 256.f;
        const cv::Scalar colour(s[6], s[7], s[8]);
        const int thickness = 1 + s[9] % 8;
        switch (s[0] % 5) {
        case 0:
        case 1: {
            cv::Point2f corners[4];
            cv::RotatedRect(centre, extent, angle).points(corners);
            std::vector<cv::Point> polygon(corners, corners + 4);
            if (s[0] % 5 == 0) {
                cv::fillConvexPoly(image, polygon, colour);
            } else {
                cv::polylines(image, polygon, true, colour, thickness);
            }
            break;
        }
        case 2: cv::line(image, centre, centre + cv::Point2f(extent.width, -extent.height), colour, thickness); break;
        case 3: cv::circle(image, centre, static_cast<int>(extent.width / 2), colour, s[9] % 2 ? -1 : thickness); break;
        default: {
            cv::Mat noise(image.size(), CV_8UC3);
            cv::randu(noise, cv::Scalar::all(0), cv::Scalar::all(1 + s[9]));
            image += noise;
            break;
        }
        }
    }
    return image;
}

void CheckRanked(const std::vector<RankedReading>& ranked, const Bands& bands)
{
    Check(ranked.size() <= 3, "more than three readings");
    double sum = 0;
    for (std::size_t i = 0; i < ranked.size(); ++i) {
        const auto& r = ranked[i];
        Check(r.colours.size() == 4 || r.colours.size() == 5, "a reading of neither four nor five bands");
        Check(!ReadingOhms(r.colours).empty(), "a reading that is no valid marking");
        Check(r.confidence >= 0 && r.confidence <= 1, "a confidence outside 0 to 1");
        Check(i == 0 || r.confidence <= ranked[i - 1].confidence, "readings not best first");
        Check(r.bandIndex.size() == r.colours.size(), "a reading without its bands");
        for (std::size_t k = 0; k < r.bandIndex.size(); ++k) {
            Check(r.bandIndex[k] >= 0 && r.bandIndex[k] < static_cast<int>(bands.bands.size()), "no such band");
            Check(k == 0 || r.bandIndex[k] != r.bandIndex[k - 1], "a band read twice");
        }
        sum += r.confidence;
    }
    Check(sum <= 1 + 1e-9, "confidences add up to more than 1");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    cv::setNumThreads(1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto header = ReadImageHeader(std::span(data, size))) {
        Check(header->width > 0 && header->height > 0, "a header with no size");
    }
    if (size < 5 || size > 5 + 10 * 24) {
        return 0;
    }
    const cv::Mat image = Draw(data, size);
    auto bodies = FindBodies(image);
    const auto fainter = FindFainterBodies(image, bodies);
    bodies.insert(bodies.end(), fainter.begin(), fainter.end());
    for (const auto& body : bodies) {
        Check(std::isfinite(body.center.x) && std::isfinite(body.size.width), "a body that is not finite");
        const Profile profile = SampleProfile(image, body);
        Check(profile.lab.size() == profile.rgb.size(), "a profile with two lengths");
        for (const float threshold : {1.f, 0.45f}) {
            const Bands bands = FindBands(profile, threshold);
            for (std::size_t i = 0; i < bands.bands.size(); ++i) {
                const auto& b = bands.bands[i];
                Check(b.start < b.end && b.end <= bands.length, "a band outside the profile");
                Check(i == 0 || bands.bands[i - 1].end <= b.start, "bands out of order");
            }
            CheckRanked(RankReadings(bands, WeighColours(bands)), bands);
        }
    }
    const zarnik::photo::PhotoReading reading = ReadImage(image);
    if (reading.status == PhotoStatus::Read) {
        Check(!reading.candidates.empty() && reading.candidates.size() <= 3, "a reading with no candidates");
        Check(reading.bandCentres.size() == reading.candidates.front().bands.size(), "band centres do not match");
    } else {
        Check(reading.status == PhotoStatus::NoResistor && reading.candidates.empty(), "a refusal with readings");
    }
    return 0;
}
