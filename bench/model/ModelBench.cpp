// SPDX-License-Identifier: MIT
// Time per call of the four model procedures, on the values of the windows'
// usual work. Goal: each well under a microsecond.
#include <benchmark/benchmark.h>

#include <string>

#include "model/Decoding.h"
#include "model/Encoding.h"

namespace {

using namespace zarnik;

const NumberFormat kComma{","};

void DecodeFourBands(benchmark::State& state)
{
    const char* const multipliers[] = {"100", "1000000", "0,1", "0,01"};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zarnik::DecodeFourBands("4", "7", multipliers[i++ % 4], "_+5%", kComma));
    }
}
BENCHMARK(DecodeFourBands);

void DecodeFiveBands(benchmark::State& state)
{
    const char* const multipliers[] = {"100", "1000000", "0,1", "0,01"};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zarnik::DecodeFiveBands("4", "7", "5", multipliers[i++ % 4], "_+1%", kComma));
    }
}
BENCHMARK(DecodeFiveBands);

void EncodeFourBands(benchmark::State& state)
{
    const char* const values[] = {"4,7", "0,47", "999", "2,2"};
    const char* const units[] = {"K Ohm", "Ohm", "M Ohm", "Ohm"};
    std::size_t i = 0;
    for (auto _ : state) {
        const std::size_t k = i++ % 4;
        benchmark::DoNotOptimize(zarnik::EncodeFourBands(values[k], units[k], "_+5%", kComma));
    }
}
BENCHMARK(EncodeFourBands);

void EncodeFiveBands(benchmark::State& state)
{
    const char* const values[] = {"4,75", "12", "999", "2,2"};
    const char* const units[] = {"K Ohm", "Ohm", "M Ohm", "Ohm"};
    std::size_t i = 0;
    for (auto _ : state) {
        const std::size_t k = i++ % 4;
        benchmark::DoNotOptimize(zarnik::EncodeFiveBands(values[k], units[k], "_+1%", kComma));
    }
}
BENCHMARK(EncodeFiveBands);

}  // namespace
