// Reading and writing dive files of a ten-hour dive sampled every second
// (36,000 profile lines). Target: reading the ".divebin" file within 100 ms.

#include "divedata/binaryfile.h"
#include "divedata/dive.h"
#include "longdive.h"
#include "divedata/planificator.h"

#include "divedata/divejson.h"

#include <QCborMap>
#include <QCborStreamWriter>
#include <QCborValue>
#include <QDataStream>
#include <QFile>
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

// A ".divebin" whose payload carries `unknown` keys the reader does not
// know, besides a short dive (the form a hostile or a future file may take).
// Target: 160,000 keys (about 1.3 MB) read within 100 ms.
void BM_ReadDivebinUnknownKeys(benchmark::State& state)
{
    const int unknown = int(state.range(0));
    QByteArray payload;
    {
        // Streamed: building the map as a QCborMap would itself take
        // quadratic time.
        QCborStreamWriter writer(&payload);
        writer.startMap();
        const QCborMap dive = QCborMap::fromJsonObject(diveToJson(longDive(60)));
        for (auto it = dive.constBegin(); it != dive.constEnd(); ++it) {
            it.key().toCbor(writer);
            it.value().toCbor(writer);
        }
        for (int i = 0; i < unknown; ++i) {
            writer.append(QStringLiteral("k%1").arg(i));
            writer.append(i);
        }
        writer.endMap();
    }
    QByteArray file;
    {
        QDataStream out(&file, QIODevice::WriteOnly);
        out.setVersion(BinaryFile::StreamVersion);
        out << BinaryFile::magic() << BinaryFile::FormatVersion << payload;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("keys.divebin");
    QFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(file) != file.size()) {
        state.SkipWithError("could not write the file");
        return;
    }
    target.close();
    for (auto _ : state) {
        Dive read;
        if (!BinaryFile().readDive(path, read))
            state.SkipWithError("could not read the file");
        benchmark::DoNotOptimize(read.lines.constData());
    }
    state.counters["bytes"] = double(file.size());
    state.SetItemsProcessed(state.iterations() * unknown);
}
BENCHMARK(BM_ReadDivebinUnknownKeys)->Arg(160000)->Unit(benchmark::kMillisecond);

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
