// Cost of simulating a planner slot. The main window simulates after every
// point edit on the GUI thread, so a plan must simulate in a few milliseconds
// and even a long recorded dive well under a second.

#include "deco/diveplanner.h"
#include "plannertesting.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>

using namespace deco;

namespace {

// Ten hours recorded at one sample a second: down to 18 m, then wandering
// between 8 and 18 m with sensor noise, back to the surface in the last ten
// minutes. Deterministic, so every run does the same work.
QList<DiveLine> recordedTenHours()
{
    constexpr int kSamples = 36000;
    constexpr double kPi = 3.14159265358979323846;
    QList<DiveLine> lines;
    lines.reserve(kSamples);
    std::uint32_t noise = 12345u;
    for (int t = 0; t < kSamples; ++t) {
        noise = noise * 1664525u + 1013904223u;
        const double jitter = (double(noise >> 8) / double(1u << 24) - 0.5) * 0.2;
        double depth = 13.0 + 5.0 * std::sin(2.0 * kPi * t / 1800.0) + jitter;
        if (t < 72)
            depth = std::min(depth, t / 4.0);
        const int fromEnd = kSamples - 1 - t;
        if (fromEnd < 600)
            depth = std::min(depth, 18.0 * fromEnd / 600.0);
        DiveLine line;
        line.timeSec = t;
        line.depth = std::max(0.0, depth);
        line.gasIndex = 0;
        line.ambientTemp = 14.0;
        lines.append(line);
    }
    return lines;
}

struct Counts
{
    std::int64_t records = 0;
    std::int64_t stops = 0;
    float runtime = 0.0f;
};

void simulate(benchmark::State& bench, DivePlanner& planner, const std::optional<GradientFactors>& gf)
{
    Counts counts;
    planner.setPlanCallback([&counts](const LinePlan& record) {
        ++counts.records;
        if (record.kind == LinePlan::Segment) {
            counts.runtime = record.runtime;
            if (record.computed && record.segmentType == LinePlan::Level && record.duration > 0.0f)
                ++counts.stops;
        }
    });
    std::int64_t runs = 0;
    for (auto _ : bench) {
        planner.simulateCurrentDive(gf);
        benchmark::DoNotOptimize(planner.currentDive()->decoLines.size());
        ++runs;
    }
    bench.counters["records"] = double(counts.records) / double(std::max<std::int64_t>(runs, 1));
    bench.counters["stops"] = double(counts.stops) / double(std::max<std::int64_t>(runs, 1));
    bench.counters["runtime_min"] = counts.runtime;
    bench.counters["ceiling_pts"] = double(planner.currentDive()->ceilingProfile.size());
}

std::optional<GradientFactors> factorsOf(const benchmark::State& bench)
{
    if (bench.range(0) == 0)
        return std::nullopt;
    return GradientFactors(30, 70);
}

} // namespace

// The profile of a new slot: 20 m for ten minutes, direct ascent.
static void BM_Simulate_DefaultProfile(benchmark::State& bench)
{
    DivePlanner planner;
    planner.addDive();
    simulate(bench, planner, factorsOf(bench));
}
BENCHMARK(BM_Simulate_DefaultProfile)->ArgName("gf3070")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Air, 40 m for 30 minutes: the ascent with its stops.
static void BM_Simulate_Air40m30min(benchmark::State& bench)
{
    DivePlanner planner;
    planner.addDive();
    planner.currentDive()->lines = profile({{0, 0}, {120, 40}, {1800, 40}});
    simulate(bench, planner, factorsOf(bench));
}
BENCHMARK(BM_Simulate_Air40m30min)->ArgName("gf3070")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Trimix 15/55, 75 m, 20 minutes from leaving the surface: helium makes
// every stop time a search.
static void BM_Simulate_Trimix75m20min(benchmark::State& bench)
{
    DivePlanner planner;
    planner.setBreathingGas(GasMix(15, 55));
    planner.addDive();
    Dive& dive = *planner.currentDive();
    dive.gases[0].setO2(0.15);
    dive.gases[0].setHe(0.55);
    dive.lines = profile({{0, 0}, {225, 75}, {1200, 75}});
    simulate(bench, planner, factorsOf(bench));
}
BENCHMARK(BM_Simulate_Trimix75m20min)->ArgName("gf3070")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same dive carrying EAN50 and oxygen as deco gases: the ascent
// switches at 21 m and 3 m.
static void BM_Simulate_Trimix75m20minDecoGases(benchmark::State& bench)
{
    DivePlanner planner;
    planner.setBreathingGas(GasMix(15, 55));
    DecoGasSettings decoGases;
    decoGases.enabled = true;
    planner.setDecoGases(decoGases);
    planner.addDive();
    Dive& dive = *planner.currentDive();
    dive.gases.resize(3);
    dive.gases[0].setO2(0.15);
    dive.gases[0].setHe(0.55);
    dive.gases[1].setO2(0.50);
    dive.gases[1].setHe(0.0);
    dive.gases[2].setO2(1.0);
    dive.gases[2].setHe(0.0);
    dive.lines = profile({{0, 0}, {225, 75}, {1200, 75}});
    simulate(bench, planner, factorsOf(bench));
}
BENCHMARK(BM_Simulate_Trimix75m20minDecoGases)->ArgName("gf3070")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A recorded ten-hour dive at one-second samples (36,000 lines).
static void BM_Simulate_Recorded10h(benchmark::State& bench)
{
    DivePlanner planner;
    const QList<DiveLine> lines = recordedTenHours();
    planner.addDiveFrom([&lines](Dive& dive) {
        dive.lines = lines;
        return true;
    });
    simulate(bench, planner, factorsOf(bench));
}
BENCHMARK(BM_Simulate_Recorded10h)->ArgName("gf3070")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
