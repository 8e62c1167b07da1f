// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "photo/Stages.h"

namespace zarnik::photo {

// The colour model: for each colour one or more Gaussian components over the
// features (BandFeatures), the band's part weighed given the body's part, so
// that a band is judged against the body it sits on. Its text, one component
// a line: a colour name, a weight, the kFeatureCount means and the
// kFeatureCount x kFeatureCount covariance, row by row; "#" starts a comment.
class ColourModel {
public:
    // Nothing usable where the text holds no component of some colour.
    [[nodiscard]] static ColourModel FromText(std::string_view text);
    // The model built from resources/photo-colours.txt.
    [[nodiscard]] static const ColourModel& Trained();

    [[nodiscard]] bool Usable() const { return usable_; }
    // Natural logarithms of p(band features | body features, colour).
    [[nodiscard]] ColourScores LogLikelihoods(const Features& features) const;

private:
    struct Component {
        int colour = 0;
        double logWeight = 0;
        cv::Matx33d bandGivenBody;  // the band mean's change per unit of body
        cv::Vec3d bandMean;
        cv::Vec3d bodyMean;
        cv::Matx33d bandInverse;  // of the band's covariance given the body
        double bandLogDet = 0;
        cv::Matx33d bodyInverse;
        double bodyLogDet = 0;
    };
    std::vector<Component> components_;
    bool usable_ = false;
};

}  // namespace zarnik::photo
