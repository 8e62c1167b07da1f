// SPDX-License-Identifier: MIT
#include "photo/PhotoReader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "photo/ImageHeader.h"
#include "photo/Stages.h"

namespace zarnik::photo {
namespace {

// A file larger than this is no photo the reader takes (a 50-megapixel
// image stored without compression takes 150 MB).
constexpr std::uintmax_t kMaxFileBytes = 512u << 20;
// The reader looks at photos this large at most: a large JPEG is decoded at
// a half, a quarter or an eighth of its size, which libjpeg does for a
// fraction of the work.
constexpr std::int64_t kDecodedSide = 1200;

PhotoReading Refused(PhotoStatus status, std::string problem)
{
    PhotoReading reading;
    reading.status = status;
    reading.problem = std::move(problem);
    return reading;
}

std::string MegapixelsText(std::int64_t pixels)
{
    char text[32];
    const double megapixels = static_cast<double>(pixels) / 1e6;
    // One decimal where the whole number would read as the limit itself.
    if (megapixels < 50.5) {
        std::snprintf(text, sizeof text, "%.1f", megapixels);
    } else {
        std::snprintf(text, sizeof text, "%.0f", megapixels);
    }
    return text;
}

struct Decoded {
    cv::Mat image;
    PhotoReading refusal;  // status Read where the image was decoded
    double scale = 1;      // the photo's pixels per decoded pixel
    int width = 0;         // the photo's size
    int height = 0;
};

Decoded Decode(std::span<const unsigned char> bytes, bool reduce)
{
    Decoded decoded;
    decoded.refusal.status = PhotoStatus::Read;
    const auto header = ReadImageHeader(bytes);
    if (!header) {
        decoded.refusal = Refused(PhotoStatus::NotAnImage, "is not an image");
        return decoded;
    }
    const std::int64_t pixels = header->width * header->height;
    if (pixels > kMaxPixels) {
        decoded.refusal = Refused(PhotoStatus::TooLarge, "has " + MegapixelsText(pixels) + " megapixels; at most " +
                                                             std::to_string(kMaxPixels / 1'000'000) + " are read");
        return decoded;
    }
    if (!header->complete) {
        decoded.refusal = Refused(PhotoStatus::NotAnImage, "is not a complete image (it is cut off)");
        return decoded;
    }
    int flags = cv::IMREAD_COLOR;
    int factor = 1;
    if (reduce && header->format == ImageFormat::Jpeg) {
        const std::int64_t side = std::max(header->width, header->height);
        while (factor < 8 && side / (factor * 2) >= kDecodedSide) {
            factor *= 2;
        }
        flags = factor == 8   ? cv::IMREAD_REDUCED_COLOR_8
                : factor == 4 ? cv::IMREAD_REDUCED_COLOR_4
                : factor == 2 ? cv::IMREAD_REDUCED_COLOR_2
                              : cv::IMREAD_COLOR;
    }
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    try {
        const cv::Mat data(1, static_cast<int>(bytes.size()), CV_8U, const_cast<unsigned char*>(bytes.data()));
        decoded.image = cv::imdecode(data, flags);
    } catch (const cv::Exception&) {
        decoded.image.release();
    }
    if (decoded.image.empty() || decoded.image.type() != CV_8UC3) {
        decoded.refusal = Refused(PhotoStatus::NotAnImage, "is not an image that can be decoded");
        return decoded;
    }
    // The photo's own size, turned as its orientation tag turns it.
    const bool turned = (decoded.image.cols > decoded.image.rows) != (header->width > header->height) &&
                        header->width != header->height;
    decoded.width = static_cast<int>(turned ? header->height : header->width);
    decoded.height = static_cast<int>(turned ? header->width : header->height);
    decoded.scale = static_cast<double>(decoded.width) / decoded.image.cols;
    return decoded;
}

PixelPoint Scaled(const PixelPoint& p, double scale) { return {(p.x + 0.5) * scale - 0.5, (p.y + 0.5) * scale - 0.5}; }

std::optional<std::vector<unsigned char>> ReadFile(const std::string& path, PhotoReading& refusal)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        refusal = Refused(PhotoStatus::Missing, "does not exist");
        return std::nullopt;
    }
    if (std::filesystem::is_directory(status)) {
        refusal = Refused(PhotoStatus::NotAFile, "is a directory");
        return std::nullopt;
    }
    if (!std::filesystem::is_regular_file(status)) {
        refusal = Refused(PhotoStatus::NotAFile, "is not a file");
        return std::nullopt;
    }
    const auto size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxFileBytes) {
        refusal = Refused(PhotoStatus::TooLarge, "is larger than 512 MB");
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        refusal = Refused(PhotoStatus::Unreadable, "cannot be read");
        return std::nullopt;
    }
    std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) {
        refusal = Refused(PhotoStatus::Unreadable, "cannot be read");
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

PhotoReading ReadPhotoEncoded(std::span<const unsigned char> bytes)
{
    const Decoded decoded = Decode(bytes, true);
    if (decoded.refusal.status != PhotoStatus::Read) {
        return decoded.refusal;
    }
    PhotoReading reading = ReadImage(decoded.image);
    reading.width = decoded.width;
    reading.height = decoded.height;
    for (auto& corner : reading.body) {
        corner = Scaled(corner, decoded.scale);
    }
    for (auto& centre : reading.bandCentres) {
        centre = Scaled(centre, decoded.scale);
    }
    return reading;
}

PhotoReading ReadPhotoFile(const std::string& path)
{
    PhotoReading refusal;
    const auto bytes = ReadFile(path, refusal);
    if (!bytes) {
        return refusal;
    }
    return ReadPhotoEncoded(*bytes);
}

std::vector<unsigned char> AnnotatedPng(const std::string& path, const PhotoReading& reading)
{
    PhotoReading refusal;
    const auto bytes = ReadFile(path, refusal);
    if (!bytes) {
        return {};
    }
    Decoded decoded = Decode(*bytes, false);
    if (decoded.refusal.status != PhotoStatus::Read) {
        return {};
    }
    cv::Mat image = decoded.image;
    const double side = std::min(image.cols, image.rows);
    const int line = std::max(1, static_cast<int>(std::lround(side / 300)));
    const double fontScale = std::max(0.35, side / 800);
    const int font = cv::FONT_HERSHEY_SIMPLEX;
    // White letters on a dark box: legible on any photo.
    auto text = [&](const std::string& words, cv::Point at) {
        int baseline = 0;
        const cv::Size size = cv::getTextSize(words, font, fontScale, line, &baseline);
        const cv::Rect box(at.x - line, at.y - size.height - line, size.width + 2 * line,
                           size.height + baseline + 2 * line);
        cv::Mat area = image(box & cv::Rect(0, 0, image.cols, image.rows));
        area *= 0.35;
        cv::putText(image, words, at, font, fontScale, cv::Scalar(255, 255, 255), line, cv::LINE_AA);
    };
    // The reading in the top-left corner; the bands' names keep clear of it.
    std::string summary = "no resistor found";
    if (!reading.candidates.empty()) {
        summary.clear();
        for (const auto& band : reading.candidates.front().bands) {
            summary += band + " ";
        }
        summary += std::to_string(static_cast<int>(std::lround(100 * reading.candidates.front().confidence))) + "%";
    }
    int summaryBaseline = 0;
    const cv::Size summarySize = cv::getTextSize(summary, font, fontScale, line, &summaryBaseline);
    const cv::Point summaryAt(summarySize.height / 2 + line, summarySize.height * 3 / 2 + line);
    std::vector<cv::Rect> placed{cv::Rect(summaryAt.x - line, summaryAt.y - summarySize.height - line,
                                          summarySize.width + 2 * line,
                                          summarySize.height + summaryBaseline + 2 * line)};
    const bool found = reading.status == PhotoStatus::Read || reading.status == PhotoStatus::NoResistor;
    const bool hasBody = found && (reading.body[0].x != reading.body[2].x || reading.body[0].y != reading.body[2].y);
    std::vector<cv::Point> outline;
    for (const auto& corner : reading.body) {
        outline.emplace_back(static_cast<int>(std::lround(corner.x)), static_cast<int>(std::lround(corner.y)));
    }
    if (hasBody) {
        cv::polylines(image, outline, true, cv::Scalar(0, 0, 0), line + 2, cv::LINE_AA);
        cv::polylines(image, outline, true, cv::Scalar(255, 0, 255), line, cv::LINE_AA);
    }
    if (hasBody && !reading.candidates.empty()) {
        // Each band's name beyond the body's edge, on alternate sides, as
        // far out as it takes not to cover another name, and inside the
        // photo; a line leads from the band to its name.
        const cv::Point2d a(reading.body[0].x, reading.body[0].y);
        const cv::Point2d b(reading.body[1].x, reading.body[1].y);
        const cv::Point2d c(reading.body[2].x, reading.body[2].y);
        cv::Point2d across = cv::norm(b - a) < cv::norm(c - b) ? b - a : c - b;
        const double width = cv::norm(across);
        across /= std::max(1e-6, width);
        if (across.y > 0 || (across.y == 0 && across.x < 0)) {
            across = -across;  // the first name goes above the body
        }
        const auto& best = reading.candidates.front();
        for (std::size_t i = 0; i < reading.bandCentres.size() && i < best.bands.size(); ++i) {
            const cv::Point2d centre(reading.bandCentres[i].x, reading.bandCentres[i].y);
            const std::string name = std::to_string(i + 1) + " " + best.bands[i];
            int baseline = 0;
            const cv::Size size = cv::getTextSize(name, font, fontScale, line, &baseline);
            const cv::Size padded(size.width + 2 * line, size.height + baseline + 2 * line);
            cv::Rect label;
            cv::Point2d edge;
            for (int attempt = 0; attempt < 8; ++attempt) {
                const double sign = (i + attempt / 4) % 2 == 0 ? 1.0 : -1.0;
                const double out =
                    0.5 * width + padded.height * (0.8 + 1.2 * (attempt % 4)) + 0.5 * padded.width * std::abs(across.x);
                edge = centre + across * sign * (0.5 * width);
                const cv::Point2d at = centre + across * sign * out;
                label = cv::Rect(static_cast<int>(at.x - padded.width / 2.0),
                                 static_cast<int>(at.y - padded.height / 2.0), padded.width, padded.height);
                label.x = std::clamp(label.x, 0, std::max(0, image.cols - label.width));
                label.y = std::clamp(label.y, 0, std::max(0, image.rows - label.height));
                if (std::none_of(placed.begin(), placed.end(),
                                 [&](const cv::Rect& r) { return (r & label).area() > 0; })) {
                    break;
                }
            }
            placed.push_back(label);
            const cv::Point2d labelCentre(label.x + label.width / 2.0, label.y + label.height / 2.0);
            cv::line(image, edge, labelCentre, cv::Scalar(0, 0, 0), line + 2, cv::LINE_AA);
            cv::line(image, edge, labelCentre, cv::Scalar(255, 255, 255), line, cv::LINE_AA);
            cv::circle(image, edge, line + 2, cv::Scalar(255, 0, 255), cv::FILLED, cv::LINE_AA);
            text(name, cv::Point(label.x + line, label.y + line + size.height));
        }
    }
    text(summary, summaryAt);
    std::vector<unsigned char> png;
    try {
        cv::imencode(".png", image, png);
    } catch (const cv::Exception&) {
        png.clear();
    }
    return png;
}

bool WriteAnnotatedPng(const std::string& path, const PhotoReading& reading, const std::string& outPath,
                       std::string& problem)
{
    const auto png = AnnotatedPng(path, reading);
    if (png.empty()) {
        problem = path + " cannot be read as a photo";
        return false;
    }
    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    if (!out) {
        problem = "cannot write " + outPath;
        return false;
    }
    return true;
}

}  // namespace zarnik::photo
