// SPDX-License-Identifier: MIT
// Bad input through the reader's public surface: every file is made here, at
// run time, and each answer is a status and its words, never a crash.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "photo/Colour.h"
#include "photo/PhotoReader.h"
#include "photo/Stages.h"

namespace zarnik::photo {
namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t Crc32(const unsigned char* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void Put32(Bytes& b, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        b.push_back(static_cast<unsigned char>(v >> shift));
    }
}

// A PNG that is only its signature and a header naming its size: no pixels
// to decode, so a refusal by the header costs nothing.
Bytes PngHeader(std::uint32_t width, std::uint32_t height)
{
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Put32(b, 13);
    const std::size_t type = b.size();
    b.insert(b.end(), {'I', 'H', 'D', 'R'});
    Put32(b, width);
    Put32(b, height);
    b.insert(b.end(), {8, 2, 0, 0, 0});
    Put32(b, Crc32(b.data() + type, b.size() - type));
    return b;
}

// A JPEG's start, frame header and end, with no scan.
Bytes JpegHeader(std::uint16_t width, std::uint16_t height)
{
    return {0xFF,
            0xD8,
            0xFF,
            0xC0,
            0,
            17,
            8,
            static_cast<unsigned char>(height >> 8),
            static_cast<unsigned char>(height),
            static_cast<unsigned char>(width >> 8),
            static_cast<unsigned char>(width),
            3,
            1,
            0x22,
            0,
            2,
            0x11,
            1,
            3,
            0x11,
            1,
            0xFF,
            0xD9};
}

Bytes Encoded(const cv::Mat& image, const char* extension)
{
    Bytes bytes;
    cv::imencode(extension, image, bytes);
    return bytes;
}

// A beige body with four bands on white, for the annotation.
cv::Mat DrawnResistor()
{
    cv::Mat image(240, 400, CV_8UC3, cv::Scalar(235, 235, 235));
    cv::line(image, {20, 120}, {380, 120}, cv::Scalar(150, 150, 150), 3);
    cv::rectangle(image, cv::Rect(120, 95, 160, 50), cv::Scalar(150, 190, 220), cv::FILLED);
    const cv::Scalar bands[] = {{40, 60, 130}, {20, 20, 20}, {30, 30, 200}, {50, 150, 200}};
    const int at[] = {140, 170, 200, 250};
    for (int i = 0; i < 4; ++i) {
        cv::rectangle(image, cv::Rect(at[i], 95, 12, 50), bands[i], cv::FILLED);
    }
    return image;
}

class PhotoReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("zarnik-photo-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string& name, const Bytes& bytes)
    {
        const auto path = folder_ / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path.string();
    }

    std::filesystem::path folder_;
};

TEST_F(PhotoReaderTest, BadFilesAreRefusedWithTheirReason)
{
    const cv::Mat blank(300, 400, CV_8UC3, cv::Scalar(200, 200, 200));
    const Bytes jpeg = Encoded(DrawnResistor(), ".jpg");
    const Bytes text = {'h', 'e', 'l', 'l', 'o', '\n'};
    struct Row {
        const char* what;
        std::string path;
        PhotoStatus status;
        const char* problem;
    };
    const Row rows[] = {
        {"no such file", (folder_ / "missing.jpg").string(), PhotoStatus::Missing, "does not exist"},
        {"a directory", folder_.string(), PhotoStatus::NotAFile, "is a directory"},
        {"an empty file", Write("empty.jpg", {}), PhotoStatus::NotAnImage, "is not an image"},
        {"text named .jpg", Write("text.jpg", text), PhotoStatus::NotAnImage, "is not an image"},
        {"a JPEG cut in half", Write("cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2)),
         PhotoStatus::NotAnImage, "is not a complete image (it is cut off)"},
        {"a PNG of 61 megapixels", Write("huge.png", PngHeader(10000, 6100)), PhotoStatus::TooLarge,
         "has 61 megapixels; at most 50 are read"},
        {"a JPEG just over the limit", Write("huge.jpg", JpegHeader(10000, 5001)), PhotoStatus::TooLarge,
         "has 50.0 megapixels; at most 50 are read"},
        {"one pixel", Write("dot.png", Encoded(cv::Mat(1, 1, CV_8UC3, cv::Scalar(9, 9, 9)), ".png")),
         PhotoStatus::NoResistor, ""},
        {"a blank photo", Write("blank.png", Encoded(blank, ".png")), PhotoStatus::NoResistor, ""},
    };
    for (const auto& row : rows) {
        const PhotoReading reading = ReadPhotoFile(row.path);
        EXPECT_EQ(reading.status, row.status) << row.what;
        EXPECT_EQ(reading.problem, row.problem) << row.what;
        EXPECT_TRUE(reading.candidates.empty()) << row.what;
    }
}

TEST_F(PhotoReaderTest, BytesInMemoryAreReadAsTheFileIs)
{
    const Bytes png = PngHeader(8000, 8000);
    EXPECT_EQ(ReadPhotoEncoded(png).status, PhotoStatus::TooLarge);
    EXPECT_EQ(ReadPhotoEncoded(Bytes{}).status, PhotoStatus::NotAnImage);
    const Bytes drawn = Encoded(DrawnResistor(), ".png");
    const PhotoReading fromBytes = ReadPhotoEncoded(drawn);
    const PhotoReading fromFile = ReadPhotoFile(Write("drawn.png", drawn));
    EXPECT_EQ(fromBytes.status, fromFile.status);
    EXPECT_EQ(fromBytes.width, 400);
    EXPECT_EQ(fromBytes.height, 240);
    ASSERT_EQ(fromBytes.candidates.size(), fromFile.candidates.size());
    for (std::size_t i = 0; i < fromBytes.candidates.size(); ++i) {
        EXPECT_EQ(fromBytes.candidates[i].bands, fromFile.candidates[i].bands);
    }
}

TEST_F(PhotoReaderTest, AnnotatedPictureIsThePhotosSizeAndEmptyWithoutAPhoto)
{
    const std::string path = Write("drawn.jpg", Encoded(DrawnResistor(), ".jpg"));
    const PhotoReading reading = ReadPhotoFile(path);
    ASSERT_EQ(reading.status, PhotoStatus::Read);
    const Bytes png = AnnotatedPng(path, reading);
    const cv::Mat picture = cv::imdecode(png, cv::IMREAD_COLOR);
    EXPECT_EQ(picture.cols, 400);
    EXPECT_EQ(picture.rows, 240);
    EXPECT_TRUE(AnnotatedPng((folder_ / "missing.jpg").string(), reading).empty());
    std::string problem;
    EXPECT_FALSE(WriteAnnotatedPng(path, reading, (folder_ / "no" / "such" / "out.png").string(), problem));
    EXPECT_EQ(problem, "cannot write " + (folder_ / "no" / "such" / "out.png").string());
}

// A lamp's tint on a grey band and its body moves the band's features part of
// the way its plain colour moves (a blue body's paint is no light); a body
// with no blue stays finite.
TEST(PhotoFeaturesTest, BodyTintIsTakenOutInPart)
{
    const cv::Vec3f band(0.2f, 0.2f, 0.2f), body(0.3f, 0.22f, 0.16f), lamp(1.4f, 1.f, 0.6f);
    const Features before = FeaturesOf(band, body), after = FeaturesOf(band.mul(lamp), body.mul(lamp));
    const cv::Vec3f plain = LinearToLab(band.mul(lamp)) - LinearToLab(band);
    const double part = std::hypot(after[1] - before[1], after[2] - before[2]) / std::hypot(plain[1], plain[2]);
    EXPECT_TRUE(part > 0.3 && part < 0.9) << part;
    EXPECT_TRUE(std::isfinite(FeaturesOf(band, {0.3f, 0.2f, 0})[0]));
}

// A colour under more light is the colour of its linear light scaled: dark
// colours (below the L* curve's knee) and light ones alike.
TEST(PhotoFeaturesTest, AColourUnderMoreLightIsItsLightScaled)
{
    for (const cv::Vec3f& rgb : {cv::Vec3f(0.001f, 0.0015f, 0.003f), cv::Vec3f(0.2f, 0.1f, 0.05f)}) {
        for (const float gain : {1.f, 8.f}) {
            EXPECT_LT(DeltaE(LabUnderLight(LinearToLab(rgb), gain), LinearToLab(rgb * gain)), 0.05f)
                << rgb[0] << " " << rgb[1] << " " << rgb[2] << " x" << gain;
        }
    }
}

// A red band whose upper and lower thirds lie in shade takes its colour from
// its lit face, not dulled by the shade.
TEST(PhotoProfileTest, ABandsColourIsItsLitFace)
{
    cv::Mat image(80, 440, CV_8UC3, cv::Scalar(235, 235, 235));
    cv::rectangle(image, cv::Rect(20, 10, 400, 60), cv::Scalar(150, 190, 220), cv::FILLED);
    cv::rectangle(image, cv::Rect(200, 10, 40, 60), cv::Scalar(10, 10, 50), cv::FILLED);
    cv::rectangle(image, cv::Rect(200, 28, 40, 24), cv::Scalar(40, 40, 200), cv::FILLED);
    const Bands bands = FindBands(SampleProfile(image, cv::RotatedRect({220, 40}, {400, 60}, 0)));
    ASSERT_EQ(bands.bands.size(), 1u);
    const float lit = SrgbToLinear(200 / 255.f);
    EXPECT_NEAR(bands.bands[0].rgb[0], lit, 0.1f * lit);
}

// A photo cropped to the body: the first band meets the bright rounded end
// with only a little of the body's colour between them, and is still a band.
TEST(PhotoProfileTest, ABandBesideTheEndIsABand)
{
    // The end's shoulder: shaded like the body, or half lit.
    for (const cv::Scalar& shoulder : {cv::Scalar(185, 125, 60), cv::Scalar(225, 172, 115)}) {
        cv::Mat image(60, 400, CV_8UC3, cv::Scalar(200, 120, 40));
        cv::rectangle(image, cv::Rect(0, 0, 40, 60), cv::Scalar(250, 225, 190), cv::FILLED);
        cv::rectangle(image, cv::Rect(40, 0, 10, 60), shoulder, cv::FILLED);
        for (const int x : {50, 130, 210, 300}) {
            cv::rectangle(image, cv::Rect(x, 0, 30, 60), cv::Scalar(20, 40, 90), cv::FILLED);
        }
        const Bands bands = FindBands(SampleProfile(image, cv::RotatedRect({200, 30}, {400, 60}, 0)));
        ASSERT_EQ(bands.bands.size(), 4u) << shoulder[2];
        EXPECT_NEAR(bands.bands[0].Centre(), 65, 6);
    }
}

// Bands a photo shows faintly are found where a body plainly shows three
// (a blurred photo's fourth), and a body of nearly the surface's colour is
// found by its plain bands; a surface that shows none plainly is not read.
// Three bands of a dark surface's own colour near one end cut the body
// short: the whole body is found over them. A body of the surface's own
// colour is found by its bands alone.
TEST(PhotoProfileTest, FaintBandsAndBodiesAreFound)
{
    const cv::Scalar dark(20, 40, 90), faint(138, 178, 220), beige(150, 190, 220), white(235, 235, 235);
    const cv::Scalar cloth(40, 40, 40);
    const std::array<int, 4> spaced{150, 190, 230, 300}, atOneEnd{135, 160, 185, 320};
    const struct {
        cv::Scalar surface, body, first3;
        std::array<int, 4> at;
        std::size_t want;
    } rows[] = {{white, beige, dark, spaced, 4},
                {white, beige, faint, spaced, 0},
                {{128, 128, 128}, {118, 133, 138}, dark, spaced, 4},
                {cloth, beige, cloth, atOneEnd, 4},
                {{128, 128, 128}, {128, 128, 128}, dark, spaced, 4}};
    for (const auto& row : rows) {
        cv::Mat image(360, 480, CV_8UC3, row.surface);
        cv::ellipse(image, {240, 180}, {120, 30}, 0, 0, 360, row.body, cv::FILLED);
        for (const int x : row.at) {
            cv::rectangle(image, cv::Rect(x, 150, 14, 60), x == row.at[3] ? faint : row.first3, cv::FILLED);
        }
        const auto seen = SeeBands(image);
        EXPECT_EQ(seen ? seen->bands.bands.size() : 0u, row.want) << &row - rows;
    }
}

// A dull body on a dark cloth, on a lead as thick as a real one, whose dark
// bands are of the cloth's own colour but do not reach its rim: the holes
// they leave are the body's.
TEST(PhotoProfileTest, ABodysHolesAreItsOwn)
{
    cv::Mat image(360, 480, CV_8UC3, cv::Scalar::all(40));
    cv::line(image, {10, 180}, {470, 180}, cv::Scalar(150, 150, 150), 14);
    cv::ellipse(image, {240, 180}, {110, 35}, 0, 0, 360, cv::Scalar(60, 70, 85), cv::FILLED);
    for (const int x : {160, 190, 220, 300}) {
        const int h = static_cast<int>(35 * std::sqrt(1 - std::pow((x + 6 - 240) / 110.0, 2))) - 6;
        cv::rectangle(image, cv::Rect(x, 180 - h, 12, 2 * h), x < 300 ? cv::Scalar::all(40) : cv::Scalar(50, 150, 200),
                      cv::FILLED);
    }
    EXPECT_EQ(SeeBands(image).value_or(SeenBody{}).bands.bands.size(), 4u);
}

// A body a twentieth of the photo long, thinner than the leads' opening
// that finds bodies of the usual size.
TEST(PhotoProfileTest, ASmallBodyInALargePhotoIsFound)
{
    cv::Mat image(900, 1200, CV_8UC3, cv::Scalar(235, 235, 235));
    cv::Mat small;
    cv::resize(DrawnResistor(), small, {}, 0.4, 0.4, cv::INTER_AREA);
    small.copyTo(image(cv::Rect(500, 400, small.cols, small.rows)));
    EXPECT_EQ(SeeBands(image).value_or(SeenBody{}).bands.bands.size(), 4u);
}

// Whole readings of four bands spaced as a marking (the widest gap before
// the last), given their profiles' and lit faces' colours and the colour
// probabilities that matter (every other at 1%).
TEST(PhotoRankingTest, TheBestReadingWeighsTheBandsTogether)
{
    using Given = std::vector<std::array<double, 3>>;  // band, colour, probability
    const cv::Vec3f dull(0.02f, 0.02f, 0.03f), red(0.2f, 0.03f, 0.02f), gold(0.3f, 0.2f, 0.1f);
    const struct {
        const char* what;
        std::array<cv::Vec3f, 4> labs, rgbs;
        Given given;
        std::vector<int> want;
        cv::Vec3f body = cv::Vec3f(0.1f, 0.3f, 0.8f);
    } rows[] = {
        {"Black or Yellow: lighter than the Reds, the Yellow",
         {{{40, 50, 30}, {80, 50, 30}, {40, 50, 30}, {60, 5, 40}}},
         {{red, {0.8f, 0.4f, 0.3f}, red, gold}},
         {{0, 2, 0.9}, {2, 2, 0.9}, {3, 10, 0.9}, {1, 0, 0.45}, {1, 4, 0.45}},
         {2, 4, 2, 10}},
        {"profiles apart by glare, lit faces alike: one pigment",
         {{{30, 20, 20}, {12, 0, -16}, {24, -3, -20}, {60, 5, 40}}},
         {{red, dull, dull, gold}},
         {{0, 1, 0.9}, {3, 10, 0.9}, {1, 0, 0.5}, {2, 5, 0.5}, {1, 5, 0.4}, {2, 0, 0.4}},
         {1, 0, 0, 10}},
        {"10 M Ohm is as common as 1 M Ohm",
         {{{0, 40, 0}, {20, 40, 0}, {40, 40, 0}, {60, 40, 0}}},
         {{red, {0.8f, 0.4f, 0.3f}, {0.1f, 0.1f, 0.4f}, gold}},
         {{0, 1, 0.9}, {1, 0, 0.9}, {3, 10, 0.9}, {2, 5, 0.44}, {2, 6, 0.46}},
         {1, 0, 6, 10}},
        {"a 1% part: of E24 (56 Ohm), rather than of E192 alone (53)",
         {{{40, 40, 0}, {50, 40, 0}, {10, 40, 0}, {25, 40, 0}}},
         {{{0.05f, 0.2f, 0.05f}, {0.3f, 0.15f, 0.3f}, dull, {0.1f, 0.04f, 0.02f}}},
         {{0, 5, 0.9}, {1, 3, 0.55}, {1, 6, 0.45}, {2, 0, 0.9}, {3, 1, 0.9}},
         {5, 6, 0, 1}},
        {"the first band and the tolerance band look alike: one pigment",
         {{{30, 15, 20}, {10, 0, 0}, {35, 40, 25}, {29, 14, 19}}},
         {{{0.25f, 0.1f, 0.04f}, dull, red, {0.2f, 0.08f, 0.03f}}},
         {{0, 3, 0.6}, {0, 1, 0.1}, {1, 0, 0.9}, {2, 2, 0.9}, {3, 1, 0.9}},
         {1, 0, 2, 1}},
        {"a dark photo's Brown, Black and Red, a few units apart as seen: three pigments",
         {{{2.6f, 3.4f, 1.2f}, {1.4f, 0.2f, -0.6f}, {3.7f, 8.6f, 3}, {16, 2, 13}}},
         {{{0.006f, 0.002f, 0.002f}, {0.0015f, 0.0015f, 0.002f}, {0.012f, 0.002f, 0.002f}, {0.03f, 0.02f, 0.008f}}},
         {{0, 1, 0.9}, {1, 0, 0.5}, {1, 1, 0.45}, {2, 2, 0.9}, {3, 10, 0.9}},
         {1, 0, 2, 10},
         {0.01f, 0.02f, 0.05f}},
    };
    for (const auto& row : rows) {
        Bands bands{{}, {}, row.body, {}, 100};
        std::vector<ColourScores> scores(4, ColourScores{});
        for (int i = 0; i < 4; ++i) {
            scores[i].fill(std::log(0.01));
            const float start = i * 15.f + (i == 3) * 20;
            bands.bands.push_back({start, start + 6, row.labs[i], row.rgbs[i], 10});
        }
        for (const auto& [band, colour, p] : row.given) {
            scores[static_cast<int>(band)][static_cast<int>(colour)] = std::log(p);
        }
        EXPECT_EQ(RankReadings(bands, scores).at(0).colours, row.want) << row.what;
    }
}

}  // namespace
}  // namespace zarnik::photo
