// SPDX-License-Identifier: MIT
#include "photo/ColourModel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

#include "photo/Colour.h"

namespace zarnik::photo {

extern const char* const kTrainedColours;

namespace {

constexpr const char* kNames[kColourCount] = {"Black", "Brown",  "Red",  "Orange", "Yellow", "Green",
                                              "Blue",  "Violet", "Grey", "White",  "Gold",   "Silver"};

bool SameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Half the Mahalanobis distance and half the log-determinant: -log of the
// density, less the constant.
double Cost(const cv::Vec3d& d, const cv::Matx33d& inverse, double logDet)
{
    return 0.5 * (d.dot(inverse * d) + logDet);
}

}  // namespace

const char* ColourName(int colour) { return colour >= 0 && colour < kColourCount ? kNames[colour] : ""; }

int ColourIndex(std::string_view name)
{
    if (SameLetters(name, "purple")) {
        return 7;
    }
    if (SameLetters(name, "gray")) {
        return 8;
    }
    for (int c = 0; c < kColourCount; ++c) {
        if (SameLetters(name, kNames[c])) {
            return c;
        }
    }
    return -1;
}

Features FeaturesOf(const cv::Vec3f& bandRgb, const cv::Vec3f& bodyRgb)
{
    // The body's luminance kept, its tint taken out by kBodyBalance; a dark
    // channel counts as a little light, so that a black body or a dark photo
    // does not blow the band up.
    constexpr float kDarkest = 1e-3f;
    const float luminance = std::max(kDarkest, Luminance(bodyRgb));
    cv::Vec3f balanced;
    for (int c = 0; c < 3; ++c) {
        const double gain = std::pow(luminance / std::max(kDarkest, bodyRgb[c]), kBodyBalance);
        balanced[c] = static_cast<float>(bandRgb[c] * gain);
    }
    const cv::Vec3f lab = LinearToLab(balanced);
    const cv::Vec3f body = LinearToLab(bodyRgb);
    return {lab[0], lab[1], lab[2], body[0], body[1], body[2]};
}

Features BandFeatures(const BandSpan& band, const Bands& bands) { return FeaturesOf(band.rgb, bands.bodyRgb); }

ColourModel ColourModel::FromText(std::string_view text)
{
    ColourModel model;
    std::istringstream in{std::string(text)};
    std::string line;
    std::array<bool, kColourCount> seen{};
    while (std::getline(in, line)) {
        const auto hash = line.find('#');
        if (hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream fields(line);
        std::string name;
        if (!(fields >> name)) {
            continue;
        }
        const int colour = ColourIndex(name);
        double weight = 0;
        std::array<double, kFeatureCount> mean{};
        std::array<double, kFeatureCount * kFeatureCount> cov{};
        fields >> weight;
        for (auto& m : mean) {
            fields >> m;
        }
        for (auto& c : cov) {
            fields >> c;
        }
        if (colour < 0 || !fields || weight <= 0) {
            return {};
        }
        auto at = [&](int r, int c) { return cov[r * kFeatureCount + c]; };
        cv::Matx33d bb, bB, BB;
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                bb(r, c) = at(r, c);
                bB(r, c) = at(r, c + 3);
                BB(r, c) = at(r + 3, c + 3);
            }
        }
        const double detBody = cv::determinant(BB);
        if (!(detBody > 0)) {
            return {};
        }
        const cv::Matx33d bodyInverse = BB.inv();
        const cv::Matx33d gain = bB * bodyInverse;
        const cv::Matx33d conditional = bb - gain * bB.t();
        const double detBand = cv::determinant(conditional);
        if (!(detBand > 0)) {
            return {};
        }
        Component component;
        component.colour = colour;
        component.logWeight = std::log(weight);
        component.bandGivenBody = gain;
        component.bandMean = {mean[0], mean[1], mean[2]};
        component.bodyMean = {mean[3], mean[4], mean[5]};
        component.bandInverse = conditional.inv();
        component.bandLogDet = std::log(detBand);
        component.bodyInverse = bodyInverse;
        component.bodyLogDet = std::log(detBody);
        model.components_.push_back(component);
        seen[colour] = true;
    }
    model.usable_ = std::all_of(seen.begin(), seen.end(), [](bool s) { return s; });
    return model;
}

const ColourModel& ColourModel::Trained()
{
    static const ColourModel model = FromText(kTrainedColours);
    return model;
}

ColourScores ColourModel::LogLikelihoods(const Features& f) const
{
    const cv::Vec3d band(f[0], f[1], f[2]);
    const cv::Vec3d body(f[3], f[4], f[5]);
    // Per colour, the components mixed by how well each explains the body:
    // a colour's look on a beige body and on a blue one are two components.
    std::array<std::vector<std::pair<double, double>>, kColourCount> terms;
    for (const auto& c : components_) {
        const cv::Vec3d bodyOffset = body - c.bodyMean;
        const cv::Vec3d expected = c.bandMean + c.bandGivenBody * bodyOffset;
        const double bodyFit = c.logWeight - Cost(bodyOffset, c.bodyInverse, c.bodyLogDet);
        const double bandFit = -Cost(band - expected, c.bandInverse, c.bandLogDet);
        terms[c.colour].emplace_back(bodyFit, bandFit);
    }
    ColourScores scores{};
    for (int colour = 0; colour < kColourCount; ++colour) {
        const auto& t = terms[colour];
        if (t.empty()) {
            scores[colour] = -1e9;
            continue;
        }
        double top = -1e300;
        for (const auto& [bodyFit, bandFit] : t) {
            top = std::max(top, bodyFit);
        }
        double bestBand = -1e300;
        for (const auto& [bodyFit, bandFit] : t) {
            bestBand = std::max(bestBand, bandFit);
        }
        double weights = 0;
        double mixed = 0;
        for (const auto& [bodyFit, bandFit] : t) {
            const double w = std::exp(bodyFit - top);
            weights += w;
            mixed += w * std::exp(bandFit - bestBand);
        }
        scores[colour] = bestBand + std::log(mixed / weights);
    }
    return scores;
}

}  // namespace zarnik::photo
