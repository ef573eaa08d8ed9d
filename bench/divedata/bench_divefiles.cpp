// Reading and writing dive files of a ten-hour dive sampled every second
// (36,000 profile lines). Target: reading the ".divebin" file within 100 ms.

#include "divedata/binaryfile.h"
#include "divedata/dive.h"
#include "longdive.h"
#include "divedata/planificator.h"

#include <QDataStream>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void BM_ReadDivebin(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.divebin");
    if (!BinaryFile().writeDive(path, longDive(int(state.range(0))))) {
        state.SkipWithError("could not write the file");
        return;
    }
    for (auto _ : state) {
        Dive dive;
        if (!BinaryFile().readDive(path, dive))
            state.SkipWithError("could not read the file");
        benchmark::DoNotOptimize(dive.lines.constData());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadDivebin)->Arg(36000)->Unit(benchmark::kMillisecond);

void BM_WriteDivebin(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.divebin");
    const Dive dive = longDive(int(state.range(0)));
    for (auto _ : state) {
        if (!BinaryFile().writeDive(path, dive))
            state.SkipWithError("could not write the file");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteDivebin)->Arg(36000)->Unit(benchmark::kMillisecond);

void BM_ReadPlanStream(benchmark::State& state)
{
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        Planificator().writeStream(out, longDive(int(state.range(0))));
    }
    for (auto _ : state) {
        QDataStream in(bytes);
        Dive dive;
        if (!Planificator().readStream(in, dive))
            state.SkipWithError("could not read the stream");
        benchmark::DoNotOptimize(dive.lines.constData());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadPlanStream)->Arg(36000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
