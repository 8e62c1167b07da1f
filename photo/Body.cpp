// SPDX-License-Identifier: MIT
// Finding the body. The background is what the photo's border shows on at
// least three of its sides (a body cropped close touches two); everything
// that differs from it is foreground. A large compact foreground region is a
// surface the part lies on (a light box, a sheet of paper): inside it the
// same is done again against that surface's own colour. Leads are thin, so
// an opening as wide as half the body's thickness cuts them off, and the
// body is the largest elongated region that remains.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "photo/Stages.h"

namespace zarnik::photo {
namespace {

// Shading changes lightness far more than hue across a plain background.
constexpr float kLightnessWeight = 0.5f;
// The size the body is looked for at: enough for a body a twentieth of the
// photo long, and quick.
constexpr int kSearchSide = 320;

struct Cluster {
    cv::Vec3f centre;
    float radius = 0;  // the distance within which a pixel belongs to it
};

cv::Vec3f Weighted(const cv::Vec3f& lab) { return {lab[0] * kLightnessWeight, lab[1], lab[2]}; }

// k-means on weighted Lab samples (one per row), seeded so that the same
// photo always gives the same body.
std::vector<int> Cluster3(const cv::Mat& samples, int k, cv::Mat& centres)
{
    cv::Mat labels;
    cv::theRNG().state = 0x2A2A2A2AULL;
    cv::kmeans(samples, k, labels, cv::TermCriteria(cv::TermCriteria::COUNT + cv::TermCriteria::EPS, 12, 0.2), 1,
               cv::KMEANS_PP_CENTERS, centres);
    return std::vector<int>(labels.begin<int>(), labels.end<int>());
}

std::vector<Cluster> MakeClusters(const cv::Mat& samples, const std::vector<int>& labels, const cv::Mat& centres,
                                  const std::vector<bool>& keep)
{
    std::vector<Cluster> clusters;
    for (int c = 0; c < centres.rows; ++c) {
        if (!keep[c]) {
            continue;
        }
        const cv::Vec3f centre(centres.at<float>(c, 0), centres.at<float>(c, 1), centres.at<float>(c, 2));
        double sum = 0;
        int n = 0;
        for (int i = 0; i < samples.rows; ++i) {
            if (labels[i] == c) {
                const cv::Vec3f s(samples.at<float>(i, 0), samples.at<float>(i, 1), samples.at<float>(i, 2));
                sum += cv::norm(s - centre, cv::NORM_L2SQR);
                ++n;
            }
        }
        const float rms = n > 0 ? static_cast<float>(std::sqrt(sum / n)) : 0.f;
        clusters.push_back({centre, std::max(9.f, 2.5f * rms)});
    }
    return clusters;
}

// Pixels of the region that none of the background clusters explains.
// Glare (near white, no hue) is never foreground: the light box's LED
// reflections are not parts.
cv::Mat Foreground(const cv::Mat& lab, const cv::Mat& region, const std::vector<Cluster>& background)
{
    cv::Mat mask(lab.size(), CV_8U, cv::Scalar(0));
    for (int y = 0; y < lab.rows; ++y) {
        const auto* row = lab.ptr<cv::Vec3f>(y);
        const auto* inside = region.ptr<unsigned char>(y);
        auto* out = mask.ptr<unsigned char>(y);
        for (int x = 0; x < lab.cols; ++x) {
            if (inside[x] == 0) {
                continue;
            }
            const cv::Vec3f& p = row[x];
            if (p[0] > 92 && std::hypot(p[1], p[2]) < 12) {
                continue;
            }
            const cv::Vec3f w = Weighted(p);
            bool explained = false;
            for (const auto& c : background) {
                if (cv::norm(w - c.centre) < c.radius) {
                    explained = true;
                    break;
                }
            }
            out[x] = explained ? 0 : 255;
        }
    }
    cv::morphologyEx(mask, mask, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    return mask;
}

// The border's colours that appear on at least three sides.
std::vector<Cluster> BorderBackground(const cv::Mat& lab)
{
    const int band = std::max(1, static_cast<int>(std::lround(0.03 * std::min(lab.cols, lab.rows))));
    std::vector<cv::Vec3f> samples;
    std::vector<int> side;
    for (int y = 0; y < lab.rows; ++y) {
        for (int x = 0; x < lab.cols; ++x) {
            int s = -1;
            if (y < band) {
                s = 0;
            } else if (y >= lab.rows - band) {
                s = 1;
            } else if (x < band) {
                s = 2;
            } else if (x >= lab.cols - band) {
                s = 3;
            } else {
                x = lab.cols - band - 1;  // skip the interior of the row
                continue;
            }
            samples.push_back(Weighted(lab.at<cv::Vec3f>(y, x)));
            side.push_back(s);
        }
    }
    const int k = std::min<int>(4, static_cast<int>(samples.size()));
    if (k < 1) {
        return {};
    }
    cv::Mat data(static_cast<int>(samples.size()), 3, CV_32F, samples.data());
    cv::Mat centres;
    const auto labels = Cluster3(data, k, centres);
    std::vector<std::array<int, 4>> count(k, {0, 0, 0, 0});
    std::array<int, 4> sideTotal{0, 0, 0, 0};
    for (std::size_t i = 0; i < labels.size(); ++i) {
        ++count[labels[i]][side[i]];
        ++sideTotal[side[i]];
    }
    std::vector<bool> keep(k, false);
    bool any = false;
    for (int c = 0; c < k; ++c) {
        int sides = 0;
        for (int s = 0; s < 4; ++s) {
            sides += sideTotal[s] > 0 && count[c][s] >= 0.1 * sideTotal[s];
        }
        keep[c] = sides >= 3;
        any = any || keep[c];
    }
    if (!any) {
        for (int c = 0; c < k; ++c) {
            const int total = count[c][0] + count[c][1] + count[c][2] + count[c][3];
            keep[c] = total >= 0.25 * static_cast<double>(labels.size());
        }
    }
    return MakeClusters(data, labels, centres, keep);
}

// The colours that fill most of a region: the surface the part lies on.
std::vector<Cluster> SurfaceBackground(const cv::Mat& lab, const cv::Mat& region)
{
    std::vector<cv::Vec3f> samples;
    for (int y = 0; y < lab.rows; y += 2) {
        for (int x = 0; x < lab.cols; x += 2) {
            if (region.at<unsigned char>(y, x) != 0) {
                samples.push_back(Weighted(lab.at<cv::Vec3f>(y, x)));
            }
        }
    }
    if (samples.size() < 16) {
        return {};
    }
    cv::Mat data(static_cast<int>(samples.size()), 3, CV_32F, samples.data());
    cv::Mat centres;
    const auto labels = Cluster3(data, 3, centres);
    std::vector<int> count(3, 0);
    for (const int l : labels) {
        ++count[l];
    }
    std::vector<bool> keep(3);
    for (int c = 0; c < 3; ++c) {
        keep[c] = count[c] >= 0.25 * static_cast<double>(labels.size());
    }
    return MakeClusters(data, labels, centres, keep);
}

struct Region {
    std::vector<cv::Point> contour;
    double area = 0;
};

std::vector<Region> Regions(const cv::Mat& mask, double minArea)
{
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(mask.clone(), contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    std::vector<Region> regions;
    for (auto& c : contours) {
        const double area = cv::contourArea(c);
        if (area >= minArea) {
            regions.push_back({std::move(c), area});
        }
    }
    return regions;
}

struct Candidate {
    cv::RotatedRect rect;
    double score = 0;
};

// A region with its leads cut off: the rectangle of what remains, or
// nothing where it is not elongated like a body.
std::optional<Candidate> BodyOf(const Region& region, cv::Size size)
{
    cv::Mat filled(size, CV_8U, cv::Scalar(0));
    cv::drawContours(filled, std::vector<std::vector<cv::Point>>{region.contour}, 0, cv::Scalar(255), cv::FILLED);
    cv::Mat distance;
    cv::distanceTransform(filled, distance, cv::DIST_L2, 3);
    double radius = 0;
    cv::minMaxLoc(distance, nullptr, &radius);
    const int kernel = 2 * static_cast<int>(std::ceil(radius * 0.5)) + 1;
    cv::Mat opened;
    cv::morphologyEx(filled, opened, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_ELLIPSE, {kernel, kernel}));
    const auto parts = Regions(opened, 0.5 * region.area * 0.2);
    const Region* largest = nullptr;
    for (const auto& p : parts) {
        if (largest == nullptr || p.area > largest->area) {
            largest = &p;
        }
    }
    if (largest == nullptr || largest->contour.size() < 5) {
        return std::nullopt;
    }
    const cv::RotatedRect rect = cv::minAreaRect(largest->contour);
    const double longSide = std::max(rect.size.width, rect.size.height);
    const double shortSide = std::min(rect.size.width, rect.size.height);
    if (shortSide < 3 || longSide < 1.8 * shortSide || longSide > 10 * shortSide) {
        return std::nullopt;
    }
    const double fill = largest->area / (longSide * shortSide);
    if (fill < 0.55) {
        return std::nullopt;
    }
    return Candidate{rect, largest->area * fill * std::min(longSide / shortSide, 4.0)};
}

std::optional<Candidate> Best(const std::optional<Candidate>& a, const std::optional<Candidate>& b)
{
    if (!a) {
        return b;
    }
    if (!b) {
        return a;
    }
    return a->score >= b->score ? a : b;
}

std::optional<Candidate> Search(const cv::Mat& lab, const cv::Mat& region, const std::vector<Cluster>& background,
                                int depth)
{
    if (background.empty()) {
        return std::nullopt;
    }
    const cv::Mat mask = Foreground(lab, region, background);
    const double image = static_cast<double>(lab.cols) * lab.rows;
    std::optional<Candidate> best;
    for (const auto& r : Regions(mask, 0.002 * image)) {
        const auto body = BodyOf(r, lab.size());
        if (body) {
            best = Best(best, body);
            continue;
        }
        if (depth == 0 && r.area >= 0.08 * image) {
            // A surface: look again inside it, a little in from its edge.
            cv::Mat inner(lab.size(), CV_8U, cv::Scalar(0));
            cv::drawContours(inner, std::vector<std::vector<cv::Point>>{r.contour}, 0, cv::Scalar(255), cv::FILLED);
            const cv::Rect box = cv::boundingRect(r.contour);
            const int margin = 2 * std::max(1, static_cast<int>(0.03 * std::min(box.width, box.height))) + 1;
            cv::erode(inner, inner, cv::getStructuringElement(cv::MORPH_RECT, {margin, margin}));
            best = Best(best, Search(lab, inner, SurfaceBackground(lab, inner), depth + 1));
        }
    }
    return best;
}

}  // namespace

std::optional<cv::RotatedRect> FindBody(const cv::Mat& bgr)
{
    if (bgr.empty() || bgr.cols < 8 || bgr.rows < 8 || bgr.type() != CV_8UC3) {
        return std::nullopt;
    }
    const double scale = std::min(1.0, kSearchSide / static_cast<double>(std::max(bgr.cols, bgr.rows)));
    cv::Mat small;
    cv::resize(bgr, small, {}, scale, scale, cv::INTER_AREA);
    if (small.cols < 8 || small.rows < 8) {
        return std::nullopt;
    }
    cv::GaussianBlur(small, small, {5, 5}, 0);
    cv::Mat lab;
    small.convertTo(lab, CV_32F, 1.0 / 255);
    cv::cvtColor(lab, lab, cv::COLOR_BGR2Lab);
    const cv::Mat all(lab.size(), CV_8U, cv::Scalar(255));
    auto best = Search(lab, all, BorderBackground(lab), 0);
    if (!best) {
        // A photo cropped to the body: the body is the photo.
        const double aspect = std::max(bgr.cols, bgr.rows) / static_cast<double>(std::min(bgr.cols, bgr.rows));
        if (aspect < 1.6) {
            return std::nullopt;
        }
        const bool wide = bgr.cols >= bgr.rows;
        return cv::RotatedRect(
            {bgr.cols / 2.f, bgr.rows / 2.f},
            wide ? cv::Size2f(bgr.cols * 0.98f, bgr.rows * 0.9f) : cv::Size2f(bgr.cols * 0.9f, bgr.rows * 0.98f), 0);
    }
    cv::RotatedRect rect = best->rect;
    rect.center.x = static_cast<float>((rect.center.x + 0.5) / scale - 0.5);
    rect.center.y = static_cast<float>((rect.center.y + 0.5) / scale - 0.5);
    rect.size.width = static_cast<float>(rect.size.width / scale);
    rect.size.height = static_cast<float>(rect.size.height / scale);
    return rect;
}

}  // namespace zarnik::photo
