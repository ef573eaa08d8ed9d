// Cost of the decompression engine's inner calls. updateDecoState runs every
// two simulated seconds: it is measured along recorded two-second tracks, with
// the state warm from the previous step as in the simulation.

#include "deco/decostate.h"
#include "deco/tissuemodel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

using namespace deco;

namespace {

struct TrackPoint
{
    TissueState tissues;
    float pressure;
};

config_t configWith(int gfLow, int gfHigh, const GasMix& gas)
{
    config_t config;
    config.applyDefaults();
    config.setGradientFactors(GradientFactors(gfLow, gfHigh));
    config.setOpenCircuitGas(0, gas);
    return config;
}

// Descent at 20 m/min and time at depth, sampled every two seconds.
std::vector<TrackPoint> bottomTrack(const config_t& config, float depth, float minutes)
{
    std::vector<TrackPoint> track;
    TissueState tissues;
    const float bottom = depthToPressure(config, depth);
    // 20 m/min is 2/3 m per two-second step.
    const float perStep = depthToPressure(config, 20.0f / 30.0f) - config.surfacePressure();
    float pressure = config.surfacePressure();
    for (int step = 0; step < int(minutes * 30.0f); ++step) {
        const float next = std::min(bottom, pressure + perStep);
        loadSegment(tissues, pressure, next, 1.0f / 30.0f, config.currentGas(), kOpenCircuitSetpoint);
        pressure = next;
        track.push_back({tissues, pressure});
    }
    return track;
}

// The deco ascent after a square dive, following the listed first stop in
// two-second steps until no stop remains.
std::vector<TrackPoint> decoTrack(const config_t& config, float depth, float bottomMinutes)
{
    std::vector<TrackPoint> bottom = bottomTrack(config, depth, bottomMinutes);
    TissueState tissues = bottom.back().tissues;
    float pressure = bottom.back().pressure;
    DecoState state(config);
    updateDecoState(state, config, tissues, pressure);
    std::vector<TrackPoint> track;
    while (state.stopCount > 0 && track.size() < 100000) {
        const float target = state.stops[0].pressure;
        const float next = std::max(target, pressure - config.ascentRate() / 30.0f);
        loadSegment(tissues, pressure, next, 1.0f / 30.0f, config.currentGas(), kOpenCircuitSetpoint);
        pressure = next;
        updateDecoState(state, config, tissues, pressure);
        track.push_back({tissues, pressure});
    }
    return track;
}

void runTrack(benchmark::State& bench, const config_t& config, const std::vector<TrackPoint>& track)
{
    DecoState state(config);
    std::size_t i = 0;
    double stops = 0.0;
    std::int64_t updates = 0;
    const std::uint64_t exponentialsBefore = exponentialEvaluations();
    for (auto _ : bench) {
        const TrackPoint& point = track[i];
        updateDecoState(state, config, point.tissues, point.pressure);
        benchmark::DoNotOptimize(state.ceiling);
        stops += state.stopCount;
        ++updates;
        if (++i == track.size())
            i = 0;
    }
    bench.counters["stops"] = stops / double(std::max<std::int64_t>(updates, 1));
    bench.counters["exp/update"] =
        double(exponentialEvaluations() - exponentialsBefore) / double(std::max<std::int64_t>(updates, 1));
}

} // namespace

// Air at 18 m: the closed-form no-decompression limit.
static void BM_UpdateDecoState_NoStops_Air(benchmark::State& bench)
{
    const config_t config = configWith(80, 80, kAir);
    runTrack(bench, config, bottomTrack(config, 18.0f, 25.0f));
}
BENCHMARK(BM_UpdateDecoState_NoStops_Air);

// Trimix at 30 m: the 5-second search, warm-started.
static void BM_UpdateDecoState_NoStops_Trimix(benchmark::State& bench)
{
    const config_t config = configWith(80, 80, GasMix(21, 35));
    runTrack(bench, config, bottomTrack(config, 30.0f, 12.0f));
}
BENCHMARK(BM_UpdateDecoState_NoStops_Trimix);

// Air, 45 m for 30 minutes at 30/70: the ascent through its stops.
static void BM_UpdateDecoState_Stops_Air(benchmark::State& bench)
{
    const config_t config = configWith(30, 70, kAir);
    runTrack(bench, config, decoTrack(config, 45.0f, 30.0f));
}
BENCHMARK(BM_UpdateDecoState_Stops_Air);

// Trimix 18/45, 60 m for 25 minutes at 30/70: searched stop times.
static void BM_UpdateDecoState_Stops_Trimix(benchmark::State& bench)
{
    const config_t config = configWith(30, 70, GasMix(18, 45));
    runTrack(bench, config, decoTrack(config, 60.0f, 25.0f));
}
BENCHMARK(BM_UpdateDecoState_Stops_Trimix);

// The whole schedule at the end of the bottom time, again and again at the
// same point: the longest lists of the dive. `cold` starts every update from
// a fresh state, without any previous answer to start the searches from.
static void scheduleAtBottom(benchmark::State& bench, const config_t& config, float depth, float minutes, bool cold)
{
    const TrackPoint point = bottomTrack(config, depth, minutes).back();
    DecoState state(config);
    const DecoState fresh(config);
    const std::uint64_t exponentialsBefore = exponentialEvaluations();
    std::int64_t updates = 0;
    for (auto _ : bench) {
        if (cold)
            state = fresh;
        updateDecoState(state, config, point.tissues, point.pressure);
        benchmark::DoNotOptimize(state.ceiling);
        ++updates;
    }
    bench.counters["stops"] = state.stopCount;
    bench.counters["exp/update"] =
        double(exponentialEvaluations() - exponentialsBefore) / double(std::max<std::int64_t>(updates, 1));
}

static void BM_UpdateDecoState_BottomSchedule_Air(benchmark::State& bench)
{
    scheduleAtBottom(bench, configWith(30, 70, kAir), 45.0f, 30.0f, bench.range(0) != 0);
}
BENCHMARK(BM_UpdateDecoState_BottomSchedule_Air)->ArgName("cold")->Arg(0)->Arg(1);

static void BM_UpdateDecoState_BottomSchedule_Trimix(benchmark::State& bench)
{
    scheduleAtBottom(bench, configWith(30, 70, GasMix(18, 45)), 60.0f, 25.0f, bench.range(0) != 0);
}
BENCHMARK(BM_UpdateDecoState_BottomSchedule_Trimix)->ArgName("cold")->Arg(0)->Arg(1);

// Constant-pressure loading of whole seconds: never an exponential.
static void BM_LoadConstant(benchmark::State& bench)
{
    TissueState tissues;
    const GasMix trimix(18, 45);
    const std::uint32_t seconds = std::uint32_t(bench.range(0));
    const std::uint64_t exponentialsBefore = exponentialEvaluations();
    for (auto _ : bench) {
        loadConstant(tissues, seconds, trimix, kOpenCircuitSetpoint, 4.0f);
        benchmark::DoNotOptimize(tissues);
    }
    bench.counters["exponentials"] = double(exponentialEvaluations() - exponentialsBefore);
}
BENCHMARK(BM_LoadConstant)->Arg(1)->Arg(2)->Arg(600)->Arg(3599)->Arg(7200);

// The simulation's two-second Schreiner step.
static void BM_LoadSegmentTwoSeconds(benchmark::State& bench)
{
    TissueState tissues;
    const GasMix trimix(18, 45);
    float pressure = 1.013f;
    const std::uint64_t exponentialsBefore = exponentialEvaluations();
    for (auto _ : bench) {
        const float next = pressure < 7.0f ? pressure + 0.0687f : 1.013f;
        loadSegment(tissues, pressure, next, 1.0f / 30.0f, trimix, kOpenCircuitSetpoint);
        pressure = next;
        benchmark::DoNotOptimize(tissues);
    }
    bench.counters["exponentials"] = double(exponentialEvaluations() - exponentialsBefore);
}
BENCHMARK(BM_LoadSegmentTwoSeconds);

BENCHMARK_MAIN();
