// SPDX-License-Identifier: MIT
// Finding the body. Two views of the background: the colours the photo's
// border shows on at least three of its sides, which finds a body cropped
// close (it touches the two short sides and fills the photo's length); and
// the colour around each pixel, a median over a window wider than a body is
// thick, which finds a body lying anywhere on a plain or shaded surface, also
// on a light box inside a frame of carpet. Leads are thin, so an opening as
// wide as half the body's thickness cuts them off, and the body is the
// largest elongated region that remains. A body of the surface's own colour
// shows only its bands, and is found by them: stripes side by side.
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
constexpr int kSearchSide = 480;
// The bodies tried, best first, before the photo itself.
constexpr std::size_t kMaxCandidates = 5;
// How far a pixel's weighted Lab lies from the colour around it to be part
// of something on the surface.
constexpr float kLocalContrast = 12.f;
// The same for a body of nearly the surface's colour, looked for after the
// others.
constexpr float kFaintContrast = 7.f;

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

bool IsGlare(const cv::Vec3f& lab) { return lab[0] > 92 && std::hypot(lab[1], lab[2]) < 12; }

// Pixels that none of the background clusters explains. Glare (near white,
// no hue) is never foreground: the light box's LED reflections are not parts.
cv::Mat Foreground(const cv::Mat& lab, const std::vector<Cluster>& background)
{
    cv::Mat mask(lab.size(), CV_8U, cv::Scalar(0));
    for (int y = 0; y < lab.rows; ++y) {
        const auto* row = lab.ptr<cv::Vec3f>(y);
        auto* out = mask.ptr<unsigned char>(y);
        for (int x = 0; x < lab.cols; ++x) {
            const cv::Vec3f& p = row[x];
            if (IsGlare(p)) {
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

// A region shaped like a body: elongated (a resistor's body is two to seven
// times as long as it is thick) and filling most of its rectangle.
std::optional<Candidate> Shape(const Region& region, double minThickness)
{
    if (region.contour.size() < 5) {
        return std::nullopt;
    }
    const cv::RotatedRect rect = cv::minAreaRect(region.contour);
    const double longSide = std::max(rect.size.width, rect.size.height);
    const double shortSide = std::min(rect.size.width, rect.size.height);
    if (shortSide < std::max(3.0, minThickness) || longSide < 1.8 * shortSide || longSide > 7 * shortSide) {
        return std::nullopt;
    }
    const double fill = region.area / (longSide * shortSide);
    if (fill < 0.6) {
        return std::nullopt;
    }
    return Candidate{rect, region.area * fill * fill};
}

// Whether a region runs from one edge of the photo to the opposite one: a
// band of a body cropped close, or a lead, not a body lying in the photo.
bool SpansPhoto(const Region& region, cv::Size size)
{
    const cv::Rect box = cv::boundingRect(region.contour);
    const int dx = 1 + size.width / 25;
    const int dy = 1 + size.height / 25;
    return (box.x <= dx && box.x + box.width >= size.width - dx) ||
           (box.y <= dy && box.y + box.height >= size.height - dy);
}

// The mask opened by a disk of the radius: what remains of it where a disk
// that size fits, the same as a morphological opening, but from the mask's
// distance transform (inside, which serves every radius) and one more, whose
// cost does not grow with the disk.
cv::Mat Opened(const cv::Mat& inside, double radius)
{
    const cv::Mat centres = inside > radius;
    cv::Mat outside;
    cv::distanceTransform(~centres, outside, cv::DIST_L2, cv::DIST_MASK_3);
    return outside <= radius;
}

cv::Mat Inside(const cv::Mat& mask)
{
    cv::Mat inside;
    cv::distanceTransform(mask, inside, cv::DIST_L2, cv::DIST_MASK_3);
    return inside;
}

// Whether two candidates are the same body, found at two kernels: they
// share more than half the smaller rectangle; or, strictly, four fifths of
// the larger (a body cut short where its dark bands match a dark surface is
// not the whole body found again over its bands).
bool Overlaps(const cv::RotatedRect& a, const cv::RotatedRect& b, bool strictly = false)
{
    std::vector<cv::Point2f> common;
    if (cv::rotatedRectangleIntersection(a, b, common) == cv::INTERSECT_NONE || common.size() < 3) {
        return false;
    }
    const double shared = cv::contourArea(common);
    const double areaA = a.size.area();
    const double areaB = b.size.area();
    return shared > (strictly ? 0.8 * std::max(areaA, areaB) : 0.5 * std::min(areaA, areaB));
}

void Add(std::vector<Candidate>& all, const Candidate& candidate)
{
    for (auto& known : all) {
        if (Overlaps(known.rect, candidate.rect)) {
            if (candidate.score > known.score) {
                known = candidate;
            }
            return;
        }
    }
    all.push_back(candidate);
}

// The bodies left when everything thinner than each of the kernels is
// opened away: leads, glare rings and frames go at a kernel thinner than the
// body, whatever the body's size. Best first. With fillHoles, what a region
// encloses is its own first: where bands of the surface's colour leave holes
// inside a body's rim, an opening wide enough for thick leads would cut the
// body at them.
std::vector<Candidate> OpenedBodies(const cv::Mat& mask, bool fillHoles = false, bool thin = false)
{
    const int side = std::min(mask.cols, mask.rows);
    const double image = static_cast<double>(mask.cols) * mask.rows;
    std::vector<Candidate> all;
    cv::Mat filled = mask;
    if (fillHoles) {
        std::vector<std::vector<cv::Point>> contours;
        cv::findContours(mask.clone(), contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
        filled = mask.clone();
        cv::drawContours(filled, contours, -1, cv::Scalar(255), cv::FILLED);
    }
    const cv::Mat inside = Inside(filled);
    // Thin, a kernel that finds a body a twentieth of the photo long (its
    // regions are smaller too; leads are thinner still), and finds many more
    // small things.
    const auto fractions = thin ? std::vector<double>{0.012} : std::vector<double>{0.025, 0.045, 0.08};
    for (const double fraction : fractions) {
        const int kernel = 2 * std::max(1, static_cast<int>(fraction * side / 2)) + 1;
        const cv::Mat opened = Opened(inside, kernel / 2.0);
        for (const auto& r : Regions(opened, (thin ? 0.0005 : 0.002) * image)) {
            if (SpansPhoto(r, mask.size())) {
                continue;
            }
            if (const auto body = Shape(r, 1.5 * kernel)) {
                Add(all, *body);
            }
        }
    }
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.score > b.score; });
    return all;
}

// The foreground against the colour around each pixel: the median over a
// window (a fraction of the photo's shorter side) is the surface wherever
// the window is more than twice as wide as the things on it.
cv::Mat LocalForeground(const cv::Mat& lab, const cv::Mat& small, double window, float contrast = kLocalContrast,
                        int closing = 5)
{
    // The surface changes slowly: its median is taken a quarter the size.
    cv::Mat lab8;
    cv::cvtColor(small, lab8, cv::COLOR_BGR2Lab);
    cv::Mat coarse;
    cv::resize(lab8, coarse, {}, 0.25, 0.25, cv::INTER_AREA);
    const int side = std::min(coarse.cols, coarse.rows);
    const int kernel = std::clamp(2 * static_cast<int>(side * window / 2) + 1, 3, 255);
    cv::medianBlur(coarse, coarse, kernel);
    cv::Mat around;
    cv::resize(coarse, around, lab8.size(), 0, 0, cv::INTER_LINEAR);
    cv::Mat mask(lab.size(), CV_8U, cv::Scalar(0));
    for (int y = 0; y < lab.rows; ++y) {
        const auto* row = lab.ptr<cv::Vec3f>(y);
        const auto* bg = around.ptr<cv::Vec3b>(y);
        auto* out = mask.ptr<unsigned char>(y);
        for (int x = 0; x < lab.cols; ++x) {
            const cv::Vec3f& p = row[x];
            if (IsGlare(p)) {
                continue;
            }
            const cv::Vec3f b(bg[x][0] * (100.f / 255), bg[x][1] - 128.f, bg[x][2] - 128.f);
            out[x] = cv::norm(Weighted(p) - Weighted(b)) > contrast ? 255 : 0;
        }
    }
    cv::morphologyEx(mask, mask, cv::MORPH_CLOSE, cv::getStructuringElement(cv::MORPH_ELLIPSE, {closing, closing}));
    return mask;
}

// A body cropped close: one foreground region against the border's colours
// that runs nearly the photo's whole length and a good part of its width.
std::optional<Candidate> CroppedBody(const cv::Mat& lab)
{
    const auto background = BorderBackground(lab);
    if (background.empty()) {
        return std::nullopt;
    }
    cv::Mat mask = Foreground(lab, background);
    const bool wide = lab.cols >= lab.rows;
    const double length = wide ? lab.cols : lab.rows;
    const double breadth = wide ? lab.rows : lab.cols;
    // A band can match a background colour (a blue band, a blue mat) and cut
    // the body in two; bands are narrower than a tenth of the body.
    const int gap = 2 * static_cast<int>(0.04 * length) + 1;
    cv::morphologyEx(mask, mask, cv::MORPH_CLOSE,
                     cv::getStructuringElement(cv::MORPH_RECT, wide ? cv::Size(gap, 1) : cv::Size(1, gap)));
    const int kernel = 2 * static_cast<int>(0.1 * breadth) + 1;
    mask = Opened(Inside(mask), kernel / 2.0);
    std::optional<Candidate> best;
    for (const auto& r : Regions(mask, 0.05 * lab.cols * lab.rows)) {
        const auto body = Shape(r, 0.35 * breadth);
        if (body && std::max(body->rect.size.width, body->rect.size.height) >= 0.8 * length) {
            best = Best(best, body);
        }
    }
    return best;
}

// The photo at the size bodies are looked for at, smoothed, and its L*a*b*
// from OpenCV's 8-bit conversion (a table; the float one costs as much as
// the rest of the search), scaled to L 0..100, a and b +-127; false for a
// photo too small to hold a body.
bool SearchImage(const cv::Mat& bgr, double& scale, cv::Mat& small, cv::Mat& lab)
{
    if (bgr.empty() || bgr.cols < 8 || bgr.rows < 8 || bgr.type() != CV_8UC3) {
        return false;
    }
    scale = std::min(1.0, kSearchSide / static_cast<double>(std::max(bgr.cols, bgr.rows)));
    cv::resize(bgr, small, {}, scale, scale, cv::INTER_AREA);
    if (small.cols < 8 || small.rows < 8) {
        return false;
    }
    cv::GaussianBlur(small, small, {5, 5}, 0);
    cv::Mat lab8;
    cv::cvtColor(small, lab8, cv::COLOR_BGR2Lab);
    lab8.convertTo(lab, CV_32FC3);
    lab = lab.mul(cv::Scalar(100.0 / 255, 1, 1)) - cv::Scalar(0, 128, 128);
    return true;
}

// A body of the surface's own colour shows only its bands: stripes of about
// one length, parallel and side by side across their length, each spaced
// from the next by less than its length (its bands are as long as the body
// is thick, and a marking's bands lie closer than that). The body is as
// thick as they are long; it spans three or more out by one and a half
// spacings at either end (where a faint tolerance band beyond the wider gap
// may lie), and two by five times their length, the rest of it unseen on
// either side. Most stripes first.
std::vector<cv::RotatedRect> Ladders(const cv::Mat& mask)
{
    struct Stripe {
        cv::Point2f centre;
        cv::Point2f along;  // unit, the stripe's length
        float length = 0;
    };
    std::vector<Stripe> stripes;
    for (const auto& r : Regions(mask, 4)) {
        if (r.contour.size() < 3) {
            continue;
        }
        const cv::RotatedRect rect = cv::minAreaRect(r.contour);
        const float longSide = std::max(rect.size.width, rect.size.height);
        const float shortSide = std::min(rect.size.width, rect.size.height);
        if (shortSide < 1.5f || longSide < 2.5f * shortSide || longSide > 12 * shortSide || longSide < 8 ||
            r.area < 0.5 * longSide * shortSide) {
            continue;
        }
        const float angle =
            (rect.angle + (rect.size.width >= rect.size.height ? 0.f : 90.f)) * static_cast<float>(CV_PI / 180);
        stripes.push_back({rect.center, {std::cos(angle), std::sin(angle)}, longSide});
    }
    std::vector<std::pair<long, cv::RotatedRect>> ladders;
    for (const auto& seed : stripes) {
        const cv::Point2f across(-seed.along.y, seed.along.x);
        std::vector<float> at;  // the rungs' places across, the seed's at 0
        for (const auto& s : stripes) {
            const cv::Point2f d = s.centre - seed.centre;
            if (std::abs(s.along.dot(seed.along)) > 0.97f && s.length > 0.7f * seed.length &&
                s.length < seed.length / 0.7f && std::abs(d.dot(seed.along)) < 0.25f * seed.length) {
                at.push_back(d.dot(across));
            }
        }
        std::sort(at.begin(), at.end());
        // The run of rungs through the seed with no gap over its length.
        const auto self = std::find(at.begin(), at.end(), 0.f);
        if (self == at.end()) {
            continue;
        }
        auto first = self;
        auto last = self;
        while (first != at.begin() && *first - *(first - 1) < seed.length) {
            --first;
        }
        while (last + 1 != at.end() && *(last + 1) - *last < seed.length) {
            ++last;
        }
        const auto rungs = last - first + 1;
        // Counted once, from its first rung.
        if (rungs < 2 || first != self) {
            continue;
        }
        const float spacing = (*last - *first) / static_cast<float>(rungs - 1);
        const float span = rungs > 2 ? *last - *first + 3 * spacing : std::max(*last - *first, 5 * seed.length);
        const cv::Point2f centre = seed.centre + across * ((*first + *last) / 2);
        const float angle = std::atan2(across.y, across.x) * static_cast<float>(180 / CV_PI);
        ladders.emplace_back(rungs, cv::RotatedRect(centre, cv::Size2f(span, seed.length), angle));
    }
    std::stable_sort(ladders.begin(), ladders.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<cv::RotatedRect> bodies;
    for (const auto& ladder : ladders) {
        bodies.push_back(ladder.second);
    }
    return bodies;
}

// A rectangle found in the search image, in the photo's pixels.
cv::RotatedRect InPhoto(cv::RotatedRect rect, double scale)
{
    rect.center.x = static_cast<float>((rect.center.x + 0.5) / scale - 0.5);
    rect.center.y = static_cast<float>((rect.center.y + 0.5) / scale - 0.5);
    rect.size.width = static_cast<float>(rect.size.width / scale);
    rect.size.height = static_cast<float>(rect.size.height / scale);
    return rect;
}

}  // namespace

std::vector<cv::RotatedRect> FindFainterBodies(const cv::Mat& bgr, const std::vector<cv::RotatedRect>& known)
{
    double scale = 1;
    cv::Mat small;
    cv::Mat lab;
    if (!SearchImage(bgr, scale, small, lab)) {
        return {};
    }
    // A body whose dark bands match a dark surface, and which falls in
    // pieces (closed over a band's width); a body of nearly the surface's
    // own colour (a beige body on grey); and both, a body whose shaded side
    // is nearly a dark surface's colour and whose bands cut it.
    const int side = std::min(lab.cols, lab.rows);
    const int bandWide = 2 * static_cast<int>(0.02 * side) + 1;
    std::vector<cv::RotatedRect> found;
    const auto take = [&](const cv::RotatedRect& rect, std::size_t most) {
        const auto same = [&](const cv::RotatedRect& k) { return Overlaps(k, rect, true); };
        if (found.size() < most && std::none_of(known.begin(), known.end(), same) &&
            std::none_of(found.begin(), found.end(), same)) {
            found.push_back(rect);
        }
    };
    for (const auto& [contrast, closing] :
         {std::pair{kLocalContrast, bandWide}, std::pair{kFaintContrast, 5}, std::pair{kFaintContrast, bandWide}}) {
        for (const double window : {0.3, 0.7}) {
            for (const auto& c : OpenedBodies(LocalForeground(lab, small, window, contrast, closing), true)) {
                take(InPhoto(c.rect, scale), kMaxCandidates);
            }
        }
    }
    // Then a body of the surface's colour, by its bands: their stripes as
    // they stand out (a band's stripe is cut where glare shines on it, and
    // the glare it touches is taken into it).
    cv::Mat stripes = LocalForeground(lab, small, 0.3, kLocalContrast, 1);
    cv::Mat glare(lab.size(), CV_8U);
    for (int y = 0; y < lab.rows; ++y) {
        for (int x = 0; x < lab.cols; ++x) {
            glare.at<unsigned char>(y, x) = IsGlare(lab.at<cv::Vec3f>(y, x)) ? 255 : 0;
        }
    }
    cv::Mat near;
    cv::dilate(stripes, near, cv::getStructuringElement(cv::MORPH_ELLIPSE, {5, 5}));
    stripes |= glare & near;
    const std::size_t most = found.size() + kMaxCandidates;
    for (const auto& ladder : Ladders(stripes)) {
        take(InPhoto(ladder, scale), most);
    }
    // Last, a body too small for the others' opening.
    const std::size_t smallest = found.size() + kMaxCandidates;
    for (const double window : {0.3, 0.7}) {
        for (const auto& c : OpenedBodies(LocalForeground(lab, small, window), false, true)) {
            take(InPhoto(c.rect, scale), smallest);
        }
    }
    return found;
}

std::vector<cv::RotatedRect> FindBodies(const cv::Mat& bgr)
{
    double scale = 1;
    cv::Mat small;
    cv::Mat lab;
    if (!SearchImage(bgr, scale, small, lab)) {
        return {};
    }
    std::vector<Candidate> candidates;
    if (const auto cropped = CroppedBody(lab)) {
        candidates.push_back(*cropped);
    }
    // Bodies up to a seventh of the photo thick first, then thicker ones.
    for (const double window : {0.3, 0.7}) {
        for (const auto& c : OpenedBodies(LocalForeground(lab, small, window))) {
            if (candidates.size() < kMaxCandidates) {
                Add(candidates, c);
            }
        }
    }
    std::vector<cv::RotatedRect> bodies;
    for (const auto& c : candidates) {
        bodies.push_back(InPhoto(c.rect, scale));
    }
    // Last, for a photo shaped like a body: the body is the photo, cropped
    // so close that no background shows.
    const double aspect = std::max(bgr.cols, bgr.rows) / static_cast<double>(std::min(bgr.cols, bgr.rows));
    if (aspect >= 1.6) {
        const bool wide = bgr.cols >= bgr.rows;
        bodies.emplace_back(
            cv::Point2f(bgr.cols / 2.f, bgr.rows / 2.f),
            wide ? cv::Size2f(bgr.cols * 0.98f, bgr.rows * 0.9f) : cv::Size2f(bgr.cols * 0.9f, bgr.rows * 0.98f), 0.f);
    }
    return bodies;
}

}  // namespace zarnik::photo
