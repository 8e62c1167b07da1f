// SPDX-License-Identifier: MIT
// zarnik_photocolours [--out FILE] [--folds K] FOLDER...: trains the photo
// reader's colour model (resources/photo-colours.txt) on labelled folders
// (tools/photoeval/LabelledSet.h) and reports the whole reader's figures on
// folds held out by part.
//
// Each photo goes through the reader's own stages up to its bands. The bands
// are matched to the label's colours (the subset and direction the model
// likes best; a seed model of nominal band colours starts it, and a second
// round uses the model of the first), and each colour gets one Gaussian over
// BandFeatures: the band's L*a*b* and the body's, weighed as the band given
// the body. Each band is also seen under other lights (both it and its body
// scaled channel by channel as a change of light scales them) and as other
// cameras render it (more or less saturated, another tone curve), so that
// the model learns how a band's look follows its body's rather than one
// camera's balance. A photo whose bands match its label far worse than any
// other's was misfound and is left out (kMisfoundLogProbability).
//
// Folds are split by part, never by photo: a part is its set and its value
// (the light-box frames come two of each part, and a value may be
// photographed twice), and every part's photos lie in one fold. The figures
// on each fold come from a model trained on the other folds alone.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <opencv2/imgcodecs.hpp>

#include "model/Decimal.h"
#include "photo/Colour.h"
#include "photo/ColourModel.h"
#include "photo/Stages.h"
#include "tools/photoeval/LabelledSet.h"

namespace {

using namespace zarnik::photo;

struct Photo {
    tools::LabelledPhoto label;
    std::string set;
    std::string part;
    std::optional<SeenBody> seen;
};

struct Sample {
    Features features;
    int colour = 0;
};

// Each band is seen again under this many other lights: the red and blue
// channels scaled by up to a factor of 1.4 either way (daylight to lamp
// light; the green channel stands for the light's brightness) and the
// exposure by up to 2.7 either way (the light box's frames are a stop and
// more darker than the phone's crops; a model trained on one set reads the
// other better for it).
constexpr int kOtherLights = 6;
constexpr float kLightSpread = 0.7f;     // the red and blue gains' range, natural log
constexpr float kExposureSpread = 2.0f;  // the exposure's range, natural log

// Cameras render colours more or less saturated (their colour matrices
// differ, and so do their picture styles): each band and its body are seen
// again with their saturation scaled alike, by up to a factor of 1.4 either
// way.
constexpr float kSaturationSpread = 0.7f;  // the saturation's range, natural log

// A linear RGB colour with its saturation scaled: moved from or towards the
// grey of its own luminance. A channel never falls below a trace of light.
cv::Vec3f Saturated(const cv::Vec3f& rgb, float saturation)
{
    const float luminance = 0.2126f * rgb[0] + 0.7152f * rgb[1] + 0.0722f * rgb[2];
    cv::Vec3f out;
    for (int c = 0; c < 3; ++c) {
        out[c] = std::max(1e-4f, luminance + saturation * (rgb[c] - luminance));
    }
    return out;
}

// Cameras' tone curves differ too: each band and its body are seen again
// with their linear channels raised to a power of up to 1.25 (darker
// shadows) or down to 0.8 (lighter ones).
constexpr float kToneSpread = 0.45f;  // the power's range, natural log

cv::Vec3f Toned(const cv::Vec3f& rgb, float power)
{
    cv::Vec3f out;
    for (int c = 0; c < 3; ++c) {
        out[c] = std::pow(std::clamp(rgb[c], 1e-4f, 1.f), power);
    }
    return out;
}

// Nominal reflectances of the band colours (linear RGB) on a beige body:
// where the first round starts, and the colours too rare to train.
constexpr std::array<std::array<float, 3>, kColourCount> kNominal = {{{0.03f, 0.03f, 0.03f},
                                                                      {0.15f, 0.07f, 0.04f},
                                                                      {0.45f, 0.05f, 0.04f},
                                                                      {0.65f, 0.20f, 0.03f},
                                                                      {0.70f, 0.60f, 0.05f},
                                                                      {0.05f, 0.25f, 0.08f},
                                                                      {0.04f, 0.08f, 0.40f},
                                                                      {0.25f, 0.08f, 0.35f},
                                                                      {0.25f, 0.25f, 0.25f},
                                                                      {0.75f, 0.75f, 0.75f},
                                                                      {0.35f, 0.25f, 0.08f},
                                                                      {0.45f, 0.45f, 0.45f}}};

std::array<double, kFeatureCount> SeedMean(int colour)
{
    const auto& r = kNominal[colour];
    const cv::Vec3f band = LinearToLab(cv::Vec3f(r[0], r[1], r[2]) * 0.5f);
    const cv::Vec3f body = LinearToLab({0.3f, 0.22f, 0.16f});
    return {band[0], band[1], band[2], body[0], body[1], body[2]};
}

ColourModel SeedModel()
{
    std::ostringstream text;
    for (int c = 0; c < kColourCount; ++c) {
        text << ColourName(c) << " 1";
        for (const double m : SeedMean(c)) {
            text << ' ' << m;
        }
        for (int r = 0; r < kFeatureCount; ++r) {
            for (int k = 0; k < kFeatureCount; ++k) {
                text << ' ' << (r == k ? (r < 3 ? 150 : 400) : 0);
            }
        }
        text << '\n';
    }
    return ColourModel::FromText(text.str());
}

// A photo whose bands, matched to its label as well as they can be, take
// the label's colours with a mean probability under this (natural log) by a
// trained model is left out of the next round: its body or bands were
// misfound (a body's colour taken from its dark bands makes every band look
// unlike itself, and would teach the model so).
constexpr double kMisfoundLogProbability = -2.0;

// The photo's bands that are the label's, in the label's order: the subset
// and direction whose colours the model finds likeliest; none where their
// mean log-probability is under floor.
std::vector<int> Align(const Photo& photo, const ColourModel& model, double floor)
{
    const auto& want = photo.label.bands;
    if (!photo.seen || want.empty()) {
        return {};
    }
    const auto scores = WeighColours(photo.seen->bands, model);
    const int n = static_cast<int>(scores.size());
    const int k = static_cast<int>(want.size());
    if (n < k || n > 12) {
        return {};
    }
    double best = -1e300;
    std::vector<int> bestOrder;
    for (unsigned subset = 0; subset < (1u << n); ++subset) {
        if (__builtin_popcount(subset) != k) {
            continue;
        }
        std::vector<int> order;
        for (int i = 0; i < n; ++i) {
            if (subset & (1u << i)) {
                order.push_back(i);
            }
        }
        for (int direction = 0; direction < 2; ++direction) {
            if (direction == 1) {
                std::reverse(order.begin(), order.end());
            }
            double total = 0;
            for (int i = 0; i < k; ++i) {
                total += scores[order[i]][want[i]];
            }
            if (total > best) {
                best = total;
                bestOrder = order;
            }
        }
    }
    return best / k < floor ? std::vector<int>{} : bestOrder;
}

std::vector<Sample> Samples(const std::vector<const Photo*>& photos, const ColourModel& model, double floor)
{
    std::vector<Sample> samples;
    for (const Photo* photo : photos) {
        const auto order = Align(*photo, model, floor);
        const cv::Vec3f body = photo->seen->bands.bodyRgb;
        for (std::size_t i = 0; i < order.size(); ++i) {
            const cv::Vec3f band = photo->seen->bands.bands[order[i]].rgb;
            samples.push_back({FeaturesOf(band, body), photo->label.bands[i]});
            // The same band and body under other lights and exposures: the
            // light multiplies both alike, channel by channel, so the model
            // learns how a band's look follows its body's.
            std::uint64_t state = 0x9E3779B97F4A7C15ULL * (samples.size() + 1);
            auto next = [&] {
                state = state * 6364136223846793005ULL + 1442695040888963407ULL;
                return static_cast<float>((state >> 40) & 0xFFFFFF) / 16777216.f;
            };
            for (int k = 0; k < kOtherLights; ++k) {
                const float exposure = std::exp((next() - 0.5f) * kExposureSpread);
                const cv::Vec3f gain(std::exp((next() - 0.5f) * kLightSpread), 1.f,
                                     std::exp((next() - 0.5f) * kLightSpread));
                const cv::Vec3f g = gain * exposure;
                const float saturation = std::exp((next() - 0.5f) * kSaturationSpread);
                const float tone = std::exp((next() - 0.5f) * kToneSpread);
                samples.push_back({FeaturesOf(Toned(Saturated(band.mul(g), saturation), tone),
                                              Toned(Saturated(body.mul(g), saturation), tone)),
                                   photo->label.bands[i]});
            }
        }
    }
    return samples;
}

// One colour's Gaussian: a weight, the means and the covariance.
struct Gaussian {
    std::array<double, kFeatureCount> mean{};
    std::array<std::array<double, kFeatureCount>, kFeatureCount> cov{};
};

// The nominal band colours of SeedModel, as features.
std::array<double, kFeatureCount> SeedMean(int colour);

// One Gaussian per colour. The band's part is widened (a colour never looks
// exactly as in the few parts trained on), the body's part more (few body
// colours are seen: the model must not take them for the only ones); the
// variances added, in squared L*a*b* units, are those that read each set best
// with a model trained on the other alone. A colour seen fewer than eight times (White is on two values of the
// shared photos) is its nominal colour moved as the camera moved the others,
// with twice their average spread.
constexpr double kBandWidening = 16;
constexpr double kBodyWidening = 50;

std::string FitText(const std::vector<Sample>& samples, const std::string& comment)
{
    std::array<std::vector<const Sample*>, kColourCount> byColour;
    for (const auto& s : samples) {
        byColour[s.colour].push_back(&s);
    }
    std::array<std::optional<Gaussian>, kColourCount> fitted;
    Gaussian shift;  // the average offset from the nominal colours, and the average covariance
    int trained = 0;
    for (int c = 0; c < kColourCount; ++c) {
        const auto& group = byColour[c];
        if (group.size() < 8) {
            continue;
        }
        const double n = static_cast<double>(group.size());
        Gaussian g;
        for (const Sample* s : group) {
            for (int i = 0; i < kFeatureCount; ++i) {
                g.mean[i] += s->features[i] / n;
            }
        }
        for (const Sample* s : group) {
            for (int i = 0; i < kFeatureCount; ++i) {
                for (int j = 0; j < kFeatureCount; ++j) {
                    g.cov[i][j] += (s->features[i] - g.mean[i]) * (s->features[j] - g.mean[j]) / n;
                }
            }
        }
        const auto nominal = SeedMean(c);
        for (int i = 0; i < kFeatureCount; ++i) {
            shift.mean[i] += g.mean[i] - nominal[i];
            for (int j = 0; j < kFeatureCount; ++j) {
                shift.cov[i][j] += g.cov[i][j];
            }
        }
        ++trained;
        fitted[c] = g;
    }
    if (trained == 0) {
        return {};
    }
    std::ostringstream text;
    text << comment;
    text.precision(6);
    for (int c = 0; c < kColourCount; ++c) {
        Gaussian g;
        if (fitted[c]) {
            g = *fitted[c];
        } else {
            const auto nominal = SeedMean(c);
            for (int i = 0; i < kFeatureCount; ++i) {
                g.mean[i] = nominal[i] + shift.mean[i] / trained;
                for (int j = 0; j < kFeatureCount; ++j) {
                    g.cov[i][j] = 2 * shift.cov[i][j] / trained;
                }
            }
        }
        for (int i = 0; i < kFeatureCount; ++i) {
            g.cov[i][i] += i < 3 ? kBandWidening : kBodyWidening;
        }
        text << ColourName(c) << ' ' << 1;
        for (const double m : g.mean) {
            text << ' ' << m;
        }
        for (const auto& row : g.cov) {
            for (const double v : row) {
                text << ' ' << v;
            }
        }
        text << "  # " << byColour[c].size() << " bands" << (fitted[c] ? "" : ", nominal colour moved") << '\n';
    }
    return text.str();
}

std::string Train(const std::vector<const Photo*>& photos, const std::string& comment)
{
    // The seed model is too rough to judge a photo by.
    const std::string first = FitText(Samples(photos, SeedModel(), -1e300), "");
    if (first.empty()) {
        return {};
    }
    return FitText(Samples(photos, ColourModel::FromText(first), kMisfoundLogProbability), comment);
}

constexpr double kTemperatures[] = {0.2, 0.3, 0.4, 0.5, 0.75, 1.0, 1.5, 2.0};

struct Tally {
    // The best reading's confidence and whether it was right, at each
    // temperature tried.
    std::vector<std::vector<std::pair<double, bool>>> calibration =
        std::vector<std::vector<std::pair<double, bool>>>(std::size(kTemperatures));
    int photos = 0;
    int exact = 0;
    int top3 = 0;
    int bands = 0;
    int bandsRight = 0;
};

bool listing = false;

bool SameValue(const std::string& a, const std::string& b)
{
    const auto x = zarnik::ReadDecimal(a);
    const auto y = zarnik::ReadDecimal(b);
    return x && y && *x == *y;
}

void Score(const Photo& photo, const ColourModel& model, Tally& tally)
{
    ++tally.photos;
    tally.bands += static_cast<int>(photo.label.bands.size());
    if (!photo.seen) {
        return;
    }
    const auto want = zarnik::ReadDecimal(photo.label.ohms);
    const auto scores = WeighColours(photo.seen->bands, model);
    const auto ranked = RankReadings(photo.seen->bands, scores);
    for (std::size_t t = 0; t < std::size(kTemperatures); ++t) {
        const auto tempered = RankReadings(photo.seen->bands, scores, kTemperatures[t]);
        if (!tempered.empty()) {
            tally.calibration[t].emplace_back(tempered.front().confidence,
                                              SameValue(ReadingOhms(tempered.front().colours), photo.label.ohms));
        }
    }
    for (std::size_t i = 0; i < ranked.size(); ++i) {
        const auto got = zarnik::ReadDecimal(ReadingOhms(ranked[i].colours));
        if (got && want && *got == *want) {
            tally.top3 += 1;
            tally.exact += i == 0;
            break;
        }
    }
    if (listing) {
        std::string read;
        for (const int c : ranked.empty() ? std::vector<int>{} : ranked.front().colours) {
            read += std::string(read.empty() ? "" : "-") + ColourName(c);
        }
        std::printf(
            "%s %s: read %s (%zu bands found)\n",
            ReadingOhms(ranked.empty() ? std::vector<int>{} : ranked.front().colours) == photo.label.ohms ? "  " : "XX",
            photo.label.image.c_str(), read.empty() ? "nothing" : read.c_str(), photo.seen->bands.bands.size());
    }
    if (!ranked.empty() && ranked.front().colours == photo.label.bands) {
        tally.bandsRight += static_cast<int>(photo.label.bands.size());
    } else if (!ranked.empty() && ranked.front().colours.size() == photo.label.bands.size()) {
        for (std::size_t i = 0; i < photo.label.bands.size(); ++i) {
            tally.bandsRight += ranked.front().colours[i] == photo.label.bands[i];
        }
    }
}

// How well the best reading's confidence says how often it is right, over
// every held-out photo: the mean confidence against the share right, and the
// log loss, at each temperature (the reader uses kScoreTemperature).
void PrintCalibration(const std::map<std::string, Tally>& heldOut)
{
    for (std::size_t t = 0; t < std::size(kTemperatures); ++t) {
        double confidence = 0;
        double right = 0;
        double loss = 0;
        double n = 0;
        for (const auto& [set, tally] : heldOut) {
            for (const auto& [p, ok] : tally.calibration[t]) {
                const double q = std::clamp(p, 1e-6, 1 - 1e-6);
                confidence += p;
                right += ok;
                loss -= std::log(ok ? q : 1 - q);
                n += 1;
            }
        }
        std::printf("  temperature %.2f%s: mean confidence %.1f%%, right %.1f%%, log loss %.3f\n", kTemperatures[t],
                    kTemperatures[t] == kScoreTemperature ? " (the reader's)" : "", 100 * confidence / n,
                    100 * right / n, loss / n);
    }
}

// A fixed shuffle, the same on every machine.
std::vector<std::string> Shuffled(std::vector<std::string> items)
{
    std::uint64_t state = 0x5EED;
    for (std::size_t i = items.size(); i > 1; --i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        std::swap(items[i - 1], items[(state >> 33) % i]);
    }
    return items;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string out = ZARNIK_DEFAULT_OUTPUT;
    int folds = 5;
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else if (std::strcmp(argv[i], "--list") == 0) {
            listing = true;
        } else if (std::strcmp(argv[i], "--folds") == 0 && i + 1 < argc) {
            folds = std::max(2, std::atoi(argv[++i]));
        } else {
            folders.emplace_back(argv[i]);
        }
    }
    if (folders.empty()) {
        folders = {ZARNIK_DEFAULT_PHOTOS "/lightbox", ZARNIK_DEFAULT_PHOTOS "/phone"};
    }
    std::vector<Photo> photos;
    for (const auto& folder : folders) {
        std::string problem;
        const auto labelled = tools::ReadLabelledSet(folder, problem);
        if (labelled.empty()) {
            std::fprintf(stderr, "zarnik_photocolours: %s\n", problem.c_str());
            return 2;
        }
        const std::string set = std::filesystem::path(folder).filename().string();
        for (const auto& l : labelled) {
            Photo photo{l, set, set + ":" + l.ohms, std::nullopt};
            photo.seen = SeeBands(cv::imread(l.path, cv::IMREAD_COLOR));
            photos.push_back(std::move(photo));
        }
    }
    // Folds by part.
    std::vector<std::string> parts;
    for (const auto& p : photos) {
        if (std::find(parts.begin(), parts.end(), p.part) == parts.end()) {
            parts.push_back(p.part);
        }
    }
    std::sort(parts.begin(), parts.end());
    std::map<std::string, int> foldOf;
    const auto shuffled = Shuffled(parts);
    for (std::size_t i = 0; i < shuffled.size(); ++i) {
        foldOf[shuffled[i]] = static_cast<int>(i % folds);
    }
    // Each photo scored by a model that never saw its part; then, harder,
    // by a model that never saw its set (its camera, light and background).
    for (const bool bySet : {false, true}) {
        std::map<std::string, Tally> heldOut;
        const int rounds = bySet ? static_cast<int>(folders.size()) : folds;
        for (int f = 0; f < rounds; ++f) {
            auto held = [&](const Photo& p) {
                return bySet ? p.set == std::filesystem::path(folders[f]).filename().string() : foldOf[p.part] == f;
            };
            std::vector<const Photo*> train;
            for (const auto& p : photos) {
                if (!held(p)) {
                    train.push_back(&p);
                }
            }
            const ColourModel model = ColourModel::FromText(Train(train, ""));
            if (!model.Usable()) {
                std::fprintf(stderr, "zarnik_photocolours: fold %d left a colour untrained\n", f + 1);
                return 1;
            }
            for (const auto& p : photos) {
                if (held(p)) {
                    Score(p, model, heldOut[p.set]);
                }
            }
        }
        if (bySet) {
            std::printf("held out by set (trained on the other set alone):\n");
        } else {
            std::printf("held out by part (%d folds, %zu parts):\n", folds, parts.size());
        }
        for (const auto& [set, t] : heldOut) {
            std::printf("  %s: %d photos; exact values %d (%.1f%%), top-3 %d (%.1f%%), bands %d of %d (%.1f%%)\n",
                        set.c_str(), t.photos, t.exact, 100.0 * t.exact / t.photos, t.top3, 100.0 * t.top3 / t.photos,
                        t.bandsRight, t.bands, 100.0 * t.bandsRight / t.bands);
        }
        PrintCalibration(heldOut);
        if (folders.size() < 2) {
            break;
        }
    }
    std::vector<const Photo*> all;
    for (const auto& p : photos) {
        all.push_back(&p);
    }
    std::string comment = "# The photo reader's colour model, written by tools/photocolours from";
    for (const auto& folder : folders) {
        comment += " " + std::filesystem::path(folder).filename().string();
    }
    comment +=
        ".\n# One Gaussian per colour over band L*a*b* and body L*a*b*: name, weight, 6 means, 6 x 6 covariance.\n";
    const std::string text = Train(all, comment);
    if (text.empty()) {
        return 1;
    }
    std::ofstream file(out);
    file << text;
    if (!file) {
        std::fprintf(stderr, "zarnik_photocolours: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("wrote %s\n", out.c_str());
    return 0;
}
