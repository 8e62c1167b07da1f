// SPDX-License-Identifier: MIT
// Whole markings from the bands. A reading is scored as a whole: the
// likelihood of each band's colour, times what a real part is. The code's
// structure is a hard rule (first digit never Black, Gold and Silver only as
// multiplier or tolerance, the tolerance band after the widest gap); the
// value's place in the standard series (E24 for 5% and 10%, E192 and its E96
// and E48 for 2% and tighter) and the tolerances parts are made with are
// soft. Every subset of four or five of the bands found is tried, in both
// directions, so that a speck taken for a band, or a band seen twice, does
// not spoil the reading.
#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "model/Markings.h"
#include "model/StandardValues.h"
#include "photo/ColourModel.h"
#include "photo/Stages.h"

namespace zarnik::photo {
namespace {

enum : int { Black, Brown, Red, Orange, Yellow, Green, Blue, Violet, Grey, White, Gold, Silver };

// At most this many bands enter the search: the strongest.
constexpr int kMaxBands = 8;
// Each band's colours tried, best first.
constexpr int kColoursTried = 4;
// A colour never takes a band wholly: what the model cannot see (a band in
// odd light) keeps this much probability spread over all colours.
constexpr double kColourFloor = 0.02;
// A value outside its tolerance's series is made, but rarely.
const double kNonStandardLogPrior = std::log(0.03);
// Readings this far (natural log) below the best so far are too unlikely to
// be kept; they still count in the confidences' sum.
constexpr double kKeptMargin = 20;

// How often each tolerance colour is made, four and five bands: 5% carbon
// film parts are the common four-band parts, 1% metal film the common
// five-band ones.
double ToleranceLogPrior(int colour, int count)
{
    // Black Brown Red Orange Yellow Green Blue Violet Grey White Gold Silver
    static constexpr std::array<double, kColourCount> four = {0,    0.15, 0.08, 0, 0,    0.04,
                                                              0.03, 0.03, 0.02, 0, 0.55, 0.1};
    static constexpr std::array<double, kColourCount> five = {0, 0.5, 0.15, 0, 0, 0.08, 0.07, 0.05, 0.02, 0, 0.1, 0.03};
    const double p = (count == 4 ? four : five)[colour];
    return p > 0 ? std::log(p) : -1e9;
}

// Whether significant digits are a member of E24 and E192, by the model's
// own tables: two digits 10..99 and three digits 100..999.
struct SeriesMembers {
    std::array<bool, 1000> e24{};
    std::array<bool, 1000> e192{};
    SeriesMembers()
    {
        for (int v = 10; v < 1000; ++v) {
            const Decimal value{v, 0};
            e24[v] = BelongsTo(value, Series::E24);
            e192[v] = BelongsTo(value, Series::E192);
        }
    }
};

// How likely a value is on a real part with that tolerance.
double ValueLogPrior(int digits, int exponent, int tolerance)
{
    static const SeriesMembers members;
    const bool wide = tolerance == Gold || tolerance == Silver;
    const bool standard = wide ? members.e24[digits] : members.e192[digits < 100 ? digits * 10 : digits];
    double prior = standard ? 0.0 : kNonStandardLogPrior;
    // Parts from 1 Ohm to 10 M Ohm are the common ones: in decades of the
    // value's significant digits (10 to 99 or 100 to 999) times 10^exponent.
    const int decade = (digits < 100 ? 1 : 2) + exponent;  // log10 of the value, rounded down
    if (decade < 0 || decade > 6) {
        prior += decade < -1 || decade > 7 ? std::log(0.1) : std::log(0.5);
    }
    return prior;
}

int MultiplierExponentOf(int colour) { return colour == Gold ? -1 : colour == Silver ? -2 : colour; }

bool Allowed(int colour, int position, int count)
{
    if (position == count - 1) {
        return colour == Brown || colour == Red || colour == Green || colour == Blue || colour == Violet ||
               colour == Grey || colour == Gold || colour == Silver;
    }
    if (position == count - 2) {
        return true;
    }
    return colour <= White && (position > 0 || colour != Black);
}

double LogSumExp(double a, double b)
{
    const double top = std::max(a, b);
    return top + std::log(std::exp(a - top) + std::exp(b - top));
}

}  // namespace

std::vector<ColourScores> WeighColours(const Bands& bands) { return WeighColours(bands, ColourModel::Trained()); }

std::string ReadingOhms(const std::vector<int>& colours)
{
    std::vector<const ColourCode*> codes;
    for (const int c : colours) {
        codes.push_back(MarkingColourByName(ColourName(c)));
    }
    const auto reading = ReadBands(codes);
    return reading ? DecimalText(reading->ohms) : std::string();
}

std::vector<ColourScores> WeighColours(const Bands& bands, const ColourModel& model)
{
    std::vector<ColourScores> all;
    for (const auto& band : bands.bands) {
        ColourScores scores{};
        if (model.Usable()) {
            scores = model.LogLikelihoods(BandFeatures(band, bands));
        }
        const double top = *std::max_element(scores.begin(), scores.end());
        double sum = 0;
        for (double& s : scores) {
            s = std::exp(s - top);
            sum += s;
        }
        for (double& s : scores) {
            s = std::log((1 - kColourFloor) * s / sum + kColourFloor / kColourCount);
        }
        all.push_back(scores);
    }
    return all;
}

std::vector<RankedReading> RankReadings(const Bands& bands, const std::vector<ColourScores>& scores)
{
    const int found = static_cast<int>(bands.bands.size());
    if (found < 4 || scores.size() != bands.bands.size()) {
        return {};
    }
    // The strongest bands, in their order along the body.
    std::vector<int> kept(found);
    std::iota(kept.begin(), kept.end(), 0);
    if (found > kMaxBands) {
        std::sort(kept.begin(), kept.end(),
                  [&](int a, int b) { return bands.bands[a].contrast > bands.bands[b].contrast; });
        kept.resize(kMaxBands);
        std::sort(kept.begin(), kept.end());
    }
    const int n = static_cast<int>(kept.size());
    std::vector<float> contrasts;
    for (const int i : kept) {
        contrasts.push_back(bands.bands[i].contrast);
    }
    std::vector<float> sorted = contrasts;
    std::sort(sorted.begin(), sorted.end());
    const float typical = std::max(1.f, sorted[sorted.size() / 2]);

    struct Scored {
        double logScore = -1e300;
        std::vector<int> bandIndex;
        double best = -1e300;
    };
    // Readings by their colours packed four bits each, and their count.
    std::unordered_map<std::uint32_t, Scored> readings;
    double everything = -1e300;  // the log of the sum over every reading tried
    double bestSoFar = -1e300;
    for (unsigned subset = 0; subset < (1u << n); ++subset) {
        const int count = std::popcount(subset);
        if (count != 4 && count != 5) {
            continue;
        }
        std::vector<int> chosen;
        double dropped = 0;
        for (int i = 0; i < n; ++i) {
            if (subset & (1u << i)) {
                chosen.push_back(i);
            } else {
                dropped -= 1.5 * std::min(2.f, contrasts[i] / typical);
            }
        }
        for (int direction = 0; direction < 2; ++direction) {
            std::vector<int> order = chosen;
            if (direction == 1) {
                std::reverse(order.begin(), order.end());
            }
            // The widest gap lies before the tolerance band.
            std::vector<double> gaps;
            for (int i = 0; i + 1 < count; ++i) {
                gaps.push_back(
                    std::abs(bands.bands[kept[order[i + 1]]].Centre() - bands.bands[kept[order[i]]].Centre()));
            }
            const double before = gaps.back();
            const double others = *std::max_element(gaps.begin(), gaps.end() - 1);
            const double gapScore =
                2.0 * std::clamp(std::log(std::max(1e-3, before) / std::max(1e-3, others)), -1.0, 1.0);
            // Each band's colours that fit its place, best first.
            std::vector<std::vector<int>> options(count);
            for (int p = 0; p < count; ++p) {
                const auto& s = scores[kept[order[p]]];
                for (int c = 0; c < kColourCount; ++c) {
                    if (Allowed(c, p, count)) {
                        options[p].push_back(c);
                    }
                }
                std::sort(options[p].begin(), options[p].end(), [&](int a, int b) { return s[a] > s[b]; });
                options[p].resize(std::min<std::size_t>(options[p].size(), kColoursTried));
            }
            std::vector<int> pick(count, 0);
            std::vector<int> colours(count);
            while (true) {
                double colourScore = 0;
                for (int p = 0; p < count; ++p) {
                    colours[p] = options[p][pick[p]];
                    colourScore += scores[kept[order[p]]][colours[p]];
                }
                int digits = 0;
                for (int p = 0; p < count - 2; ++p) {
                    digits = digits * 10 + colours[p];
                }
                const int tolerance = colours[count - 1];
                const double total = colourScore + dropped + gapScore +
                                     ValueLogPrior(digits, MultiplierExponentOf(colours[count - 2]), tolerance) +
                                     ToleranceLogPrior(tolerance, count);
                everything = LogSumExp(everything, total);
                if (total > bestSoFar - kKeptMargin) {
                    bestSoFar = std::max(bestSoFar, total);
                    std::uint32_t key = static_cast<std::uint32_t>(count);
                    for (const int c : colours) {
                        key = key << 4 | static_cast<std::uint32_t>(c);
                    }
                    auto& entry = readings[key];
                    entry.logScore = LogSumExp(entry.logScore, total);
                    if (total > entry.best) {
                        entry.best = total;
                        entry.bandIndex.clear();
                        for (const int o : order) {
                            entry.bandIndex.push_back(kept[o]);
                        }
                    }
                }
                int p = count - 1;
                while (p >= 0 && ++pick[p] == static_cast<int>(options[p].size())) {
                    pick[p] = 0;
                    --p;
                }
                if (p < 0) {
                    break;
                }
            }
        }
    }
    if (readings.empty()) {
        return {};
    }
    std::vector<RankedReading> ranked;
    for (const auto& [key, scored] : readings) {
        std::vector<int> colours(scored.bandIndex.size());
        std::uint32_t k = key;
        for (auto c = colours.rbegin(); c != colours.rend(); ++c) {
            *c = static_cast<int>(k & 15);
            k >>= 4;
        }
        ranked.push_back({colours, scored.bandIndex, std::exp(scored.logScore - everything)});
    }
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.confidence > b.confidence; });
    if (ranked.size() > 3) {
        ranked.resize(3);
    }
    return ranked;
}

std::optional<SeenBody> SeeBands(const cv::Mat& bgr)
{
    // The first body that shows a marking is the resistor: a band of a body
    // cropped close, or a glint, is elongated too, but has no bands along it.
    for (const auto& body : FindBodies(bgr)) {
        SeenBody seen{body, SampleProfile(bgr, body), {}};
        seen.bands = FindBands(seen.profile);
        if (seen.bands.bands.size() >= 4) {
            return seen;
        }
    }
    return std::nullopt;
}

PhotoReading ReadImage(const cv::Mat& bgr)
{
    PhotoReading reading;
    reading.status = PhotoStatus::NoResistor;
    reading.width = bgr.cols;
    reading.height = bgr.rows;
    const auto seen = SeeBands(bgr);
    if (!seen) {
        return reading;
    }
    const auto ranked = RankReadings(seen->bands, WeighColours(seen->bands));
    for (const auto& r : ranked) {
        PhotoCandidate candidate;
        std::vector<const ColourCode*> codes;
        for (const int c : r.colours) {
            candidate.bands.emplace_back(ColourName(c));
            codes.push_back(MarkingColourByName(ColourName(c)));
        }
        if (!ReadBands(codes)) {
            break;  // never so by construction; the model is the judge
        }
        candidate.confidence = r.confidence;
        reading.candidates.push_back(candidate);
    }
    if (reading.candidates.empty()) {
        return reading;
    }
    cv::Point2f corners[4];
    seen->body.points(corners);
    for (int i = 0; i < 4; ++i) {
        reading.body[i] = {corners[i].x, corners[i].y};
    }
    const cv::Point2f axis = seen->profile.end - seen->profile.start;
    for (const int i : ranked.front().bandIndex) {
        const cv::Point2f p = seen->profile.start + axis * (seen->bands.bands[i].Centre() / seen->bands.length);
        reading.bandCentres.push_back({p.x, p.y});
    }
    reading.status = PhotoStatus::Read;
    return reading;
}

}  // namespace zarnik::photo
