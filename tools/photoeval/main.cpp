// SPDX-License-Identifier: MIT
// zarnik_photoeval FOLDER [--failures DIR] [--confusion]: reads every photo of
// a labelled folder (LabelledSet.h) as `zarnik photo` does and prints how
// many it reads right: exact values (the best reading's value is the label's,
// compared as exact decimals), the label among the top three, bands read
// right (position by position, where the label names them), and the median
// time per photo (the wall clock's, and the processor's). --failures writes the annotated photo of every wrong
// reading to DIR; --confusion prints which colours were read for which;
// --floor EXACT BANDS fails (exit 1) where fewer exact values or bands (in
// percent) are read right. A missing folder exits 77, which ctest takes for
// a skipped test.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "model/Decimal.h"
#include "model/Markings.h"
#include "photo/PhotoReader.h"
#include "tools/photoeval/LabelledSet.h"

namespace {

using namespace zarnik;
using namespace zarnik::photo;

std::optional<Decimal> ValueOf(const PhotoCandidate& candidate)
{
    std::vector<const ColourCode*> codes;
    for (const auto& name : candidate.bands) {
        codes.push_back(MarkingColourByName(name));
    }
    const auto reading = ReadBands(codes);
    if (!reading) {
        return std::nullopt;
    }
    return reading->ohms;
}

// The processor time of this process, all its threads: on a machine shared
// with others the wall clock measures them too.
double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

std::string Joined(const std::vector<std::string>& bands)
{
    std::string text;
    for (const auto& b : bands) {
        text += (text.empty() ? "" : "-") + b;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [--failures DIR] [--confusion] [--list]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::string failures;
    bool confusion = false;
    bool list = false;
    double floorExact = -1;
    double floorBands = -1;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--failures") == 0 && i + 1 < argc) {
            failures = argv[++i];
        } else if (std::strcmp(argv[i], "--confusion") == 0) {
            confusion = true;
        } else if (std::strcmp(argv[i], "--list") == 0) {
            list = true;
        } else if (std::strcmp(argv[i], "--floor") == 0 && i + 2 < argc) {
            floorExact = std::atof(argv[++i]);
            floorBands = std::atof(argv[++i]);
        }
    }
    if (!std::filesystem::is_directory(folder)) {
        std::printf("%s is not here: nothing measured\n", folder.string().c_str());
        return 77;
    }
    std::string problem;
    const auto photos = tools::ReadLabelledSet(folder, problem);
    if (photos.empty()) {
        std::fprintf(stderr, "zarnik_photoeval: %s\n", problem.empty() ? "no photos" : problem.c_str());
        return 2;
    }
    if (!failures.empty()) {
        std::filesystem::create_directories(failures);
    }
    int exact = 0;
    int top3 = 0;
    int read = 0;
    int bandsRight = 0;
    int bandsLabelled = 0;
    std::vector<double> ms;
    std::vector<double> cpuMs;
    std::vector<std::vector<int>> matrix(kColourCount, std::vector<int>(kColourCount + 1, 0));
    for (const auto& photo : photos) {
        const auto started = std::chrono::steady_clock::now();
        const double cpuStarted = ProcessCpuMs();
        const PhotoReading reading = ReadPhotoFile(photo.path);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count());
        cpuMs.push_back(ProcessCpuMs() - cpuStarted);
        const auto want = ReadDecimal(photo.ohms);
        bool right = false;
        bool inTop3 = false;
        for (std::size_t i = 0; i < reading.candidates.size(); ++i) {
            const auto value = ValueOf(reading.candidates[i]);
            if (value && want && *value == *want) {
                inTop3 = true;
                right = right || i == 0;
            }
        }
        read += reading.status == PhotoStatus::Read;
        exact += right;
        top3 += inTop3;
        std::vector<int> got;
        if (!reading.candidates.empty()) {
            for (const auto& name : reading.candidates.front().bands) {
                got.push_back(ColourIndex(name));
            }
        }
        if (!photo.bands.empty()) {
            bandsLabelled += static_cast<int>(photo.bands.size());
            for (std::size_t i = 0; i < photo.bands.size(); ++i) {
                const bool same = got.size() == photo.bands.size() && got[i] == photo.bands[i];
                bandsRight += same;
                matrix[photo.bands[i]][got.size() == photo.bands.size() ? got[i] : kColourCount] += 1;
            }
        }
        if (list || (!right && !failures.empty())) {
            std::string label;
            for (const int b : photo.bands) {
                label += std::string(label.empty() ? "" : "-") + ColourName(b);
            }
            std::printf("%s %s: want %s (%s), read %s %.2f\n", right ? "  " : "XX", photo.image.c_str(),
                        photo.ohms.c_str(), label.c_str(),
                        reading.candidates.empty() ? "nothing" : Joined(reading.candidates.front().bands).c_str(),
                        reading.candidates.empty() ? 0.0 : reading.candidates.front().confidence);
        }
        if (!right && !failures.empty()) {
            auto name = std::filesystem::path(photo.image).filename().replace_extension(".png");
            std::string ignored;
            (void)WriteAnnotatedPng(photo.path, reading, (std::filesystem::path(failures) / name).string(), ignored);
        }
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpuMs.begin(), cpuMs.end());
    const double n = static_cast<double>(photos.size());
    std::printf(
        "%s: %zu photos, %d read; exact values %d (%.1f%%), top-3 %d (%.1f%%), bands %d of %d (%.1f%%), "
        "median %.1f ms (processor %.1f ms), slowest %.1f ms\n",
        folder.string().c_str(), photos.size(), read, exact, 100 * exact / n, top3, 100 * top3 / n, bandsRight,
        bandsLabelled, bandsLabelled ? 100.0 * bandsRight / bandsLabelled : 0.0, ms[ms.size() / 2],
        cpuMs[cpuMs.size() / 2], ms.back());
    if (confusion) {
        std::printf("%-8s", "label");
        for (int c = 0; c < kColourCount; ++c) {
            std::printf("%7.6s", ColourName(c));
        }
        std::printf("  other\n");
        for (int t = 0; t < kColourCount; ++t) {
            int total = 0;
            for (const int v : matrix[t]) {
                total += v;
            }
            if (total == 0) {
                continue;
            }
            std::printf("%-8s", ColourName(t));
            for (int c = 0; c <= kColourCount; ++c) {
                std::printf("%7d", matrix[t][c]);
            }
            std::printf("\n");
        }
    }
    const double exactPercent = 100 * exact / n;
    const double bandsPercent = bandsLabelled ? 100.0 * bandsRight / bandsLabelled : 100.0;
    if (exactPercent < floorExact || bandsPercent < floorBands) {
        std::printf("below the floor: exact values %.1f%% (at least %.1f%%), bands %.1f%% (at least %.1f%%)\n",
                    exactPercent, floorExact, bandsPercent, floorBands);
        return 1;
    }
    return 0;
}
