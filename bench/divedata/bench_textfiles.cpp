// Reading and writing the text dive files of a ten-hour dive sampled every
// second (36,000 waypoints). Targets: reading the UDDF file within 150 ms,
// writing it within 100 ms.

#include "divedata/csvfile.h"
#include "divedata/dive.h"
#include "longdive.h"
#include "divedata/uddffile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void BM_ReadUddf(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.uddf");
    if (!UddfFile().writeDive(path, longDive(int(state.range(0))))) {
        state.SkipWithError("could not write the file");
        return;
    }
    for (auto _ : state) {
        Dive dive;
        if (!UddfFile().readDive(path, dive))
            state.SkipWithError("could not read the file");
        benchmark::DoNotOptimize(dive.lines.constData());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadUddf)->Arg(36000)->Unit(benchmark::kMillisecond);

void BM_WriteUddf(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.uddf");
    const Dive dive = longDive(int(state.range(0)));
    for (auto _ : state) {
        if (!UddfFile().writeDive(path, dive))
            state.SkipWithError("could not write the file");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteUddf)->Arg(36000)->Unit(benchmark::kMillisecond);

// The document alone, without the file: what the write costs apart from
// the disk (the atomic save flushes the file to the disk before renaming).
void BM_UddfDocument(benchmark::State& state)
{
    const Dive dive = longDive(int(state.range(0)));
    for (auto _ : state) {
        const QByteArray document = UddfFile::toDocument(dive);
        benchmark::DoNotOptimize(document.constData());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_UddfDocument)->Arg(36000)->Unit(benchmark::kMillisecond);

void BM_WriteCsvExport(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.csv");
    const Dive dive = longDive(int(state.range(0)));
    for (auto _ : state) {
        if (!CsvFile().writeDive(path, dive))
            state.SkipWithError("could not write the file");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteCsvExport)->Arg(36000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
