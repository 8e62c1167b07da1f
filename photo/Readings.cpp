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
#include "photo/Colour.h"
#include "photo/ColourModel.h"
#include "photo/Stages.h"

namespace zarnik::photo {
namespace {

enum : int { Black, Brown, Red, Orange, Yellow, Green, Blue, Violet, Grey, White, Gold, Silver };

// How far a band must stand out, against the usual, on a body that shows
// three bands where no body shows four (SeeBands).
constexpr float kFaintBands = 0.45f;
// How much longer such a body is looked along.
constexpr float kLonger = 1.3f;
// At most this many bands enter the search: the strongest.
constexpr int kMaxBands = 8;
// Each band's colours tried, best first.
constexpr int kColoursTried = 4;
// What leaving out a band of typical contrast costs (natural log): a run
// that stands out as much as the others is a band far more often than glare.
constexpr double kDropWeight = 3;
// A colour never takes a band wholly: what the model cannot see (a band in
// odd light) keeps this much probability spread over all colours.
constexpr double kColourFloor = 0.02;
// The colour model's likelihoods count 0.3: the model is a Gaussian fitted
// to two cameras, and a third sees colours otherwise, while the code's
// structure, the standard series and the bands' lightness order hold on any
// camera. Measured on folds held out by set (a model trained on one set
// reading the other) and by part: with the lightness order weighed
// (OrderLogLikelihood), 0.3 reads the light box's frames better than a fifth
// on the phone's model and the phone's crops as well; more reads the phone's
// crops worse on the light box's model.
constexpr double kColourWeight = 0.3;
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

// Whether significant digits are a member of E24, E96 and E192, by the
// model's own tables: two digits 10..99 and three digits 100..999.
struct SeriesMembers {
    std::array<bool, 1000> e24{};
    std::array<bool, 1000> e96{};
    std::array<bool, 1000> e192{};
    SeriesMembers()
    {
        for (int v = 10; v < 1000; ++v) {
            const Decimal value{v, 0};
            e24[v] = BelongsTo(value, Series::E24);
            e96[v] = BelongsTo(value, Series::E96);
            e192[v] = BelongsTo(value, Series::E192);
        }
    }
};

// A 1% or 2% part of a value of E192 alone (0.5% and tighter parts' series)
// is made, but seldom.
const double kTighterSeriesLogPrior = std::log(0.3);

// How likely a value is on a real part with that tolerance.
double ValueLogPrior(int digits, int exponent, int tolerance)
{
    static const SeriesMembers members;
    // Parts of 1% and 2% are made in the E96 values, tighter ones in E192,
    // and all of them, far more often, in the E24 ones too (a 1% 220 Ohm
    // part is Red-Red-Black-Black, and 220 is in neither).
    const int three = digits < 100 ? digits * 10 : digits;
    const bool e24 = members.e24[digits];
    const bool wide = tolerance == Gold || tolerance == Silver;
    const bool percent = tolerance == Brown || tolerance == Red;
    const bool standard = e24 || (!wide && (percent ? members.e96[three] : members.e192[three]));
    const double prior = standard ? 0.0 : !wide && members.e192[three] ? kTighterSeriesLogPrior : kNonStandardLogPrior;
    // Parts from 1 Ohm to 10 M Ohm are the common ones, sub-ohm power parts
    // and 10 to 100 M Ohm less so; beyond them hardly any are made (a Grey
    // or White multiplier on a four-band part is a misreading).
    const int decade = (digits < 100 ? 1 : 2) + exponent;  // log10 of the value, rounded down
    const bool tenMegohms = decade == 7 && (digits == 10 || digits == 100);
    const int outside = decade < 0 ? -decade : decade > 6 && !tenMegohms ? decade - 6 : 0;
    static const std::array<double, 4> byDistance = {0, std::log(0.3), std::log(0.01), std::log(0.001)};
    return prior + byDistance[std::min(outside, 3)];
}

// Two bands colourDistance (CIE76) apart, read as one colour or as two. The
// distance is the nearer of their profiles' and their lit faces' (glare or
// shade may fall on one band's rows and not the other's, and moves one of
// the two measures). Measured on the shared photos: bands of one colour lie
// a median of 2.5 and at most 13 apart; bands of two colours rarely nearer
// than 6. Two bands a few units apart are one pigment far more often than
// the colour model, trained on two cameras, can tell (a five-band part's
// first and last Brown). Over three trainings under other random lights, on
// folds held out by part, the phone's crops read 87.8% exact with the cost
// of two colours of one look at 2, and 89.2% at 3.6; the light box's frames
// read alike.
double PairLogLikelihood(double colourDistance, bool sameColour)
{
    if (sameColour) {
        const double beyond = std::max(0.0, colourDistance - 3);
        return -0.5 * beyond * beyond / 25;
    }
    const double within = std::max(0.0, 8 - colourDistance);
    return -0.5 * within * within / 9;
}

// Two bands read as colours c and d whose lightness (CIE L*) is lightnessC
// and lightnessD: a pigment far lighter than another (by more than
// kLighterBy) seldom looks darker on the same body. Glare and shade move a
// band's lightness, so the cost grows with how far the order is reversed, up
// to kReversedOrder at kReversedFully. The darkest band is the best Black, and
// a band read Yellow or White should not be darker than one read Red or Blue.
// Measured on the shared photos: it reads the light box's frames better with
// a model trained on the phone's crops, and the phone's crops better on folds
// held out by part; the light box's frames read on folds held out by part,
// which already read almost all, are unchanged.
constexpr double kLighterBy = 20;
constexpr double kReversedOrder = 1.5;
constexpr double kReversedFully = 15;
double OrderLogLikelihood(int c, int d, double lightnessC, double lightnessD)
{
    // Black Brown Red Orange Yellow Green Blue Violet Grey White Gold Silver
    static constexpr std::array<double, kColourCount> typical = {15, 30, 45, 60, 85, 45, 40, 40, 60, 92, 60, 70};
    if (typical[d] < typical[c]) {
        std::swap(c, d);
        std::swap(lightnessC, lightnessD);
    }
    if (typical[c] + kLighterBy >= typical[d] || lightnessC <= lightnessD) {
        return 0;
    }
    return -kReversedOrder * std::min(1.0, (lightnessC - lightnessD) / kReversedFully);
}

// How far apart each two bands' colours lie (PairLogLikelihood): the nearer
// of their profiles' and of their lit faces' as the colour model weighs them,
// both as if the body were lit to kPairBodyLuminance where it is darker.
// L*a*b* crowds dark colours together: on a dark photo Black and Brown lie
// a few units apart and would count as one pigment. Brighter photos are
// measured as they are (the distances above were measured on them). With a
// model held out by part, phone crops darkened to half their light read
// 82.5% exact (78.3% measured as they are), and with a harder tone curve
// (linear light to the power 1.25) 75.0% (70.0%); the shared photos as
// taken read as before, the phone's crops by a model held out by set one
// more.
constexpr float kPairBodyLuminance = 0.1f;  // the light box's bodies lie at 0.07 to 0.12
constexpr float kPairMostGain = 8;
std::vector<std::vector<double>> Distances(const Bands& bands)
{
    const std::size_t n = bands.bands.size();
    const float gain = std::clamp(kPairBodyLuminance / std::max(Luminance(bands.bodyRgb), 1e-4f), 1.f, kPairMostGain);
    std::vector<cv::Vec3f> profiled;
    std::vector<cv::Vec3f> lit;
    for (const auto& band : bands.bands) {
        const Features x = BandFeatures(band, bands);
        profiled.push_back(LabUnderLight(band.lab, gain));
        lit.push_back(LabUnderLight(
            cv::Vec3f(static_cast<float>(x[0]), static_cast<float>(x[1]), static_cast<float>(x[2])), gain));
    }
    std::vector<std::vector<double>> apart(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            apart[i][j] = std::min(cv::norm(profiled[i] - profiled[j]), cv::norm(lit[i] - lit[j]));
        }
    }
    return apart;
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
            s = std::exp(kColourWeight * (s - top));
            sum += s;
        }
        for (double& s : scores) {
            s = std::log((1 - kColourFloor) * s / sum + kColourFloor / kColourCount);
        }
        all.push_back(scores);
    }
    return all;
}

namespace {

// Some of the bands found, in one reading order, with what does not depend
// on their colours.
struct Arrangement {
    int count = 0;
    std::array<int, 5> band{};                     // indices into Bands::bands, first digit first
    double fixed = 0;                              // the bands left out and the gaps
    std::array<std::array<double, 5>, 5> apart{};  // CIE76 between the bands' colours (PairLogLikelihood)
    std::array<std::vector<int>, 5> options;       // the colours each may take, likeliest first
    std::array<double, 6> bestRest{};              // the best colour scores from each place on
    std::array<double, 5> lightness{};             // each band's CIE L*
};

// The search over colours for every arrangement: each reading's score is
// summed over the arrangements that give it (a reading seen with and without
// a speck of glare is one reading), and readings that cannot come within
// kKeptMargin of the best are not followed.
class Ranking {
public:
    Ranking(const std::vector<ColourScores>& scores, double temperature) : scores_(scores), temperature_(temperature) {}

    void Search(const Arrangement& a)
    {
        if (a.fixed + a.bestRest[0] < best_ - kKeptMargin) {
            return;
        }
        std::array<int, 5> colours{};
        Extend(a, 0, 0, colours);
    }

    std::vector<RankedReading> Best() const
    {
        std::vector<RankedReading> ranked;
        for (const auto& [key, scored] : readings_) {
            std::vector<int> colours(scored.bandIndex.size());
            std::uint32_t k = key;
            for (auto c = colours.rbegin(); c != colours.rend(); ++c) {
                *c = static_cast<int>(k & 15);
                k >>= 4;
            }
            ranked.push_back({colours, scored.bandIndex, std::exp(scored.logScore - everything_)});
        }
        std::sort(ranked.begin(), ranked.end(),
                  [](const auto& x, const auto& y) { return x.confidence > y.confidence; });
        if (ranked.size() > 3) {
            ranked.resize(3);
        }
        return ranked;
    }

private:
    void Extend(const Arrangement& a, int place, double partial, std::array<int, 5>& colours)
    {
        if (place >= a.count || place >= static_cast<int>(colours.size())) {
            Finish(a, partial, colours);
            return;
        }
        for (const int c : a.options[place]) {
            double score = partial + scores_[a.band[place]][c];
            // Bands of one pigment on one body under one light look alike;
            // two pigments seldom look the same, nor a light one darker than
            // a dark one.
            for (int q = 0; q < place; ++q) {
                score += PairLogLikelihood(a.apart[q][place], colours[q] == c);
                score += OrderLogLikelihood(colours[q], c, a.lightness[q], a.lightness[place]);
            }
            if (a.fixed + score + a.bestRest[place + 1] < best_ - kKeptMargin) {
                continue;
            }
            colours[place] = c;
            Extend(a, place + 1, score, colours);
        }
    }

    void Finish(const Arrangement& a, double partial, const std::array<int, 5>& colours)
    {
        int digits = 0;
        for (int p = 0; p < a.count - 2; ++p) {
            digits = digits * 10 + colours[p];
        }
        const int tolerance = colours[a.count - 1];
        const double total = a.fixed + partial +
                             ValueLogPrior(digits, MultiplierExponentOf(colours[a.count - 2]), tolerance) +
                             ToleranceLogPrior(tolerance, a.count);
        everything_ = LogSumExp(everything_, total / temperature_);
        if (total < best_ - kKeptMargin) {
            return;
        }
        best_ = std::max(best_, total);
        std::uint32_t key = static_cast<std::uint32_t>(a.count);
        for (int p = 0; p < a.count; ++p) {
            key = key << 4 | static_cast<std::uint32_t>(colours[p]);
        }
        auto& entry = readings_[key];
        entry.logScore = LogSumExp(entry.logScore, total / temperature_);
        if (total > entry.best) {
            entry.best = total;
            entry.bandIndex.assign(a.band.begin(), a.band.begin() + a.count);
        }
    }

    struct Scored {
        double logScore = -1e300;
        std::vector<int> bandIndex;
        double best = -1e300;
    };
    const std::vector<ColourScores>& scores_;
    double temperature_ = 1;
    // Readings by their colours packed four bits each after their count.
    std::unordered_map<std::uint32_t, Scored> readings_;
    double everything_ = -1e300;  // the log of the sum over every reading followed
    double best_ = -1e300;
};

}  // namespace

std::vector<RankedReading> RankReadings(const Bands& bands, const std::vector<ColourScores>& scores, double temperature)
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
    const auto apart = Distances(bands);
    std::vector<float> sorted;
    for (const int i : kept) {
        sorted.push_back(bands.bands[i].contrast);
    }
    std::sort(sorted.begin(), sorted.end());
    const float typical = std::max(1.f, sorted[sorted.size() / 2]);

    std::vector<Arrangement> arrangements;
    for (unsigned subset = 0; subset < (1u << n); ++subset) {
        const int count = std::popcount(subset);
        if (count != 4 && count != 5) {
            continue;
        }
        std::vector<int> chosen;
        double dropped = 0;
        for (int i = 0; i < n; ++i) {
            if (subset & (1u << i)) {
                chosen.push_back(kept[i]);
            } else {
                // A band left out is a speck taken for one; the stronger it
                // stands out, the less likely.
                dropped -= kDropWeight * std::min(2.f, bands.bands[kept[i]].contrast / typical);
            }
        }
        for (int direction = 0; direction < 2; ++direction) {
            if (direction == 1) {
                std::reverse(chosen.begin(), chosen.end());
            }
            Arrangement a;
            a.count = count;
            std::copy(chosen.begin(), chosen.end(), a.band.begin());
            // The widest gap lies before the tolerance band.
            auto gap = [&](int i) -> double {
                return std::max(1e-3f, std::abs(bands.bands[a.band[i + 1]].Centre() - bands.bands[a.band[i]].Centre()));
            };
            double others = 1e-3;
            for (int i = 0; i + 2 < count; ++i) {
                others = std::max(others, gap(i));
            }
            const double before = gap(count - 2);
            a.fixed = dropped + 2.0 * std::clamp(std::log(before / others), -1.0, 1.0);
            for (int p = 0; p < count; ++p) {
                const auto& s = scores[a.band[p]];
                a.lightness[p] = bands.bands[a.band[p]].lab[0];
                for (int c = 0; c < kColourCount; ++c) {
                    if (Allowed(c, p, count)) {
                        a.options[p].push_back(c);
                    }
                }
                std::sort(a.options[p].begin(), a.options[p].end(), [&](int x, int y) { return s[x] > s[y]; });
                a.options[p].resize(std::min<std::size_t>(a.options[p].size(), kColoursTried));
                for (int q = p + 1; q < count; ++q) {
                    a.apart[p][q] = apart[a.band[p]][a.band[q]];
                }
            }
            for (int p = count - 1; p >= 0; --p) {
                a.bestRest[p] = a.bestRest[p + 1] + scores[a.band[p]][a.options[p].front()];
            }
            arrangements.push_back(std::move(a));
        }
    }
    // The most promising first, so that the rest are cut short.
    std::sort(arrangements.begin(), arrangements.end(),
              [](const auto& x, const auto& y) { return x.fixed + x.bestRest[0] > y.fixed + y.bestRest[0]; });
    Ranking ranking(scores, std::clamp(temperature, 0.1, 10.0));
    for (const auto& a : arrangements) {
        ranking.Search(a);
    }
    return ranking.Best();
}

std::optional<SeenBody> SeeBands(const cv::Mat& bgr)
{
    // The first body that shows a marking is the resistor: a band of a body
    // cropped close, or a glint, is elongated too, but has no bands along it.
    // A blurred or small photo shows its faintest band weaker than the body
    // varies: where no body shows four, the bands of one that plainly shows
    // three are looked for again, fainter (a surface's texture seldom shows
    // three plainly).
    std::vector<SeenBody> seen;
    std::vector<cv::RotatedRect> bodies = FindBodies(bgr);
    for (const bool fainter : {false, true}) {
        if (fainter) {
            bodies = FindFainterBodies(bgr, bodies);
        }
        for (const auto& body : bodies) {
            seen.push_back({body, SampleProfile(bgr, body), {}});
            seen.back().bands = FindBands(seen.back().profile);
            if (seen.back().bands.bands.size() >= 4) {
                return seen.back();
            }
        }
    }
    // A body of nearly the surface's colour may also be found short of its
    // ends, and its end band left out: it is looked along again, longer.
    for (auto& s : seen) {
        if (s.bands.bands.size() != 3) {
            continue;
        }
        cv::RotatedRect longer = s.body;
        (longer.size.width > longer.size.height ? longer.size.width : longer.size.height) *= kLonger;
        SeenBody extended{longer, SampleProfile(bgr, longer), {}};
        for (SeenBody* look : {&s, &extended}) {
            for (const float threshold : {1.f, kFaintBands}) {
                look->bands = FindBands(look->profile, threshold);
                if (look->bands.bands.size() >= 4) {
                    return *look;
                }
            }
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
