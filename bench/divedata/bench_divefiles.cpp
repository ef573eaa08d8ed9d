// Reading and writing dive files of a ten-hour dive sampled every second
// (36,000 profile lines). Target: reading the ".divebin" file within 100 ms.

#include "divedata/binaryfile.h"
#include "divedata/dive.h"
#include "divedata/planificator.h"

#include <QDataStream>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

Dive longDive(int lineCount)
{
    Dive dive;
    dive.name = QStringLiteral("Long dive");
    dive.beginTime = 1'700'000'000;
    dive.gases.resize(3);
    dive.lines.reserve(lineCount);
    for (int i = 0; i < lineCount; ++i) {
        DiveLine line;
        line.timeSec = i;
        line.depth = 30.0 + 20.0 * std::sin(i * 0.001);
        line.pressure = 1.013 + line.depth / 10.0;
        line.speed = 1.2 * std::cos(i * 0.001);
        line.ambientTemp = 14.0 + std::fmod(i * 0.01, 3.0);
        line.decoCeiling = i > 3000 ? 3.0 + std::fmod(i * 0.003, 6.0) : 0.0;
        line.ndl = qint16(i % 99);
        line.gradientFactor = 0.3 + std::fmod(i * 0.0001, 0.5);
        line.otu = i * 0.01;
        line.cns = i * 0.00002;
        line.ppO2 = 1.2 + std::fmod(i * 0.0001, 0.2);
        line.gasIndex = i / 12000;
        line.battery = quint16(3900 - i / 100);
        line.tankPressure = quint16(230 - i / 200);
        line.gfLow = 30;
        line.gfHigh = 70;
        dive.lines.append(line);
    }
    dive.computeStatistics();
    return dive;
}

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
