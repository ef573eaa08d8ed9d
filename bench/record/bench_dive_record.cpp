#include "divedata/dive.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A long dive sampled every second whose depth keeps growing: every line is a
// new maximum, the worst case for the deepest-point flag.
Dive descendingDive(int lineCount)
{
    Dive dive;
    dive.beginTime = 1'700'000'000;
    dive.lines.reserve(lineCount);
    for (int i = 0; i < lineCount; ++i) {
        DiveLine line;
        line.timeSec = i;
        line.depth = i * 0.001;
        line.ambientTemp = 20.0 - std::fmod(i * 0.01, 5.0);
        line.tankPressure = quint16(200 - i / 300);
        dive.lines.append(line);
    }
    return dive;
}

void BM_ComputeStatistics(benchmark::State& state)
{
    Dive dive = descendingDive(int(state.range(0)));
    for (auto _ : state) {
        dive.computeStatistics();
        benchmark::DoNotOptimize(dive.maxDepth);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComputeStatistics)->Arg(720)->Arg(36000)->Unit(benchmark::kMicrosecond);

void BM_RecomputeDerived(benchmark::State& state)
{
    Dive dive = descendingDive(int(state.range(0)));
    for (auto _ : state) {
        dive.recomputeDerived();
        dive.rebuildCeilingProfile();
        benchmark::DoNotOptimize(dive.lines.constData());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RecomputeDerived)->Arg(36000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
