// The logbook at the size of a heavy user: 5,000 dives of 720 profile lines
// (an hour sampled every 5 s), built once per run in a temporary folder.
// Targets: listDives of all dives within 30 ms, opening within 50 ms,
// insertDive of one dive within 5 ms and loadDive within 3 ms.
// BM_ListDivesPerDiveMax measures, for comparison, the list read the plain
// way: one MAX query per dive on every refill.

#include "db/divedb.h"
#include "divedata/dive.h"
#include "runbenchmarks.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr int kDives = 5000;
constexpr int kLines = 720;
constexpr qint64 kFirstStart = 1'500'000'000;

Dive benchDive(int index)
{
    Dive dive;
    dive.name = QString::number(index);
    dive.computerSerial = QStringLiteral("SN%1").arg(index % 4);
    dive.computerName = QStringLiteral("Pelagon %1").arg(index % 4);
    dive.computerModel = ComputerModel::Pelagon;
    dive.beginTime = kFirstStart + qint64(index) * 86'400 + (index % 17) * 3'600;
    dive.diveNumber = quint16(index);
    dive.gfLow = 30;
    dive.gfHigh = 85;
    DiveGas nitrox;
    nitrox.setO2(0.32);
    dive.gases = {DiveGas(), nitrox};
    const double bottom = 10.0 + (index % 50);
    dive.lines.reserve(kLines);
    for (int i = 0; i < kLines; ++i) {
        DiveLine line;
        line.timeSec = 5.0 * i;
        line.depth = bottom * std::sin(M_PI * i / (kLines - 1));
        line.ambientTemp = 14.0 + (i % 30) * 0.1;
        line.otu = i * 0.05;
        line.cns = i * 0.01;
        line.decoCeiling = i > 300 && i < 600 ? 3.0 : 0.0;
        line.gradientFactor = 0.4;
        line.gasIndex = i < 600 ? 0 : 1;
        line.battery = 3900;
        line.tankPressure = quint16(220 - i / 5);
        line.tankPressureTxIndex = 0;
        line.gfLow = 30;
        line.gfHigh = 85;
        line.ppO2 = 1.1;
        line.pelagonAlerts = {quint8(i % 4), 0, 0};
        dive.lines.append(line);
    }
    return dive;
}

// The logbook file, made on first use and kept for the whole run.
struct Logbook
{
    std::unique_ptr<QTemporaryDir> dir = std::make_unique<QTemporaryDir>();
    QString path = dir->filePath(QStringLiteral("diveDB.db"));

    Logbook()
    {
        QElapsedTimer timer;
        timer.start();
        DiveDb* db = DiveDb::instance();
        if (db->open(path) != DiveDb::Opened)
            std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
        // The list's summary table is made by the first list, outside any
        // transaction; the dives stored after it carry their summaries.
        int computers = 0;
        db->listDives(DiveFilter(), DiveDb::ByDate, false, computers);
        // One outer transaction: the file is written once, not synced per dive.
        QSqlDatabase::database().transaction();
        for (int i = 0; i < kDives; ++i) {
            if (db->insertDive(benchDive(i)) != DiveDb::Stored)
                std::fprintf(stderr, "insert %d failed: %s\n", i, qPrintable(db->lastError()));
        }
        QSqlDatabase::database().commit();
        std::fprintf(stderr, "logbook of %d dives x %d lines built in %.1f s\n", kDives, kLines,
                     double(timer.elapsed()) / 1000.0);
    }
};

const Logbook& logbook()
{
    static const Logbook book;
    if (!DiveDb::instance()->isOpen())
        DiveDb::instance()->open(book.path);
    return book;
}

void BM_OpenLogbook(benchmark::State& state)
{
    const QString path = logbook().path;
    DiveDb* db = DiveDb::instance();
    for (auto _ : state) {
        if (db->open(path) != DiveDb::Opened)
            state.SkipWithError("open failed");
    }
}

void BM_ListDives(benchmark::State& state)
{
    logbook();
    DiveDb* db = DiveDb::instance();
    int count = 0;
    qsizetype listed = 0;
    for (auto _ : state) {
        const QList<DiveListEntry> entries = db->listDives(DiveFilter(), DiveDb::ByDate, true, count);
        listed = entries.size();
        benchmark::DoNotOptimize(entries.constData());
    }
    state.counters["dives"] = double(listed);
    state.counters["computers"] = count;
}

void BM_ListDivesFiltered(benchmark::State& state)
{
    logbook();
    DiveFilter filter;
    filter.byComputer = true;
    filter.serials = {QStringLiteral("SN1"), QStringLiteral("SN2"), QStringLiteral("SN3")};
    filter.byDate = true;
    filter.startDate = QDateTime::fromSecsSinceEpoch(kFirstStart + 365 * 86'400);
    filter.byTime = true;
    filter.startTime = QTime(20, 0);
    filter.endTime = QTime(6, 0);
    int count = 0;
    qsizetype listed = 0;
    for (auto _ : state) {
        listed = DiveDb::instance()->listDives(filter, DiveDb::ByMaxDepth, false, count).size();
        benchmark::DoNotOptimize(listed);
    }
    state.counters["dives"] = double(listed);
}

// The first list of a logbook written by an older version: every dive is
// summarised from its profile once, and stored for the lists after it.
void BM_ListDivesFirstAfterUpgrade(benchmark::State& state)
{
    logbook();
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QSqlQuery().exec(QStringLiteral("UPDATE dives SET listDuration=NULL, listMaxDepth=NULL"));
        state.ResumeTiming();
        benchmark::DoNotOptimize(DiveDb::instance()->listDives(DiveFilter(), DiveDb::ByDate, false, count).size());
    }
}

// The same list built with one "SELECT MAX(time), MAX(depth)" per dive.
void BM_ListDivesPerDiveMax(benchmark::State& state)
{
    logbook();
    for (auto _ : state) {
        QList<DiveListEntry> entries;
        QSqlQuery dives;
        dives.setForwardOnly(true);
        dives.exec(QStringLiteral("SELECT diveid, name, serial, datetime, computer, gfslow, gfshigh FROM dives "
                                  "ORDER BY serial, computer"));
        QSqlQuery profile;
        profile.setForwardOnly(true);
        profile.prepare(QStringLiteral("SELECT MAX(time), MAX(depth) FROM profiles WHERE diveid=:id"));
        while (dives.next()) {
            DiveListEntry e;
            e.diveId = dives.value(0).toInt();
            e.name = dives.value(1).toString();
            e.serial = dives.value(2).toString();
            e.dateTime = QDateTime::fromSecsSinceEpoch(dives.value(3).toLongLong());
            e.computerName = dives.value(4).toString();
            e.gfLow = dives.value(5).toInt();
            e.gfHigh = dives.value(6).toInt();
            profile.bindValue(0, e.diveId);
            if (profile.exec() && profile.next()) {
                e.duration = profile.value(0).toDouble();
                e.maxDepth = profile.value(1).toDouble();
            }
            entries.append(e);
        }
        std::stable_sort(entries.begin(), entries.end(), [](const DiveListEntry& a, const DiveListEntry& b) {
            return a.serial != b.serial ? a.serial < b.serial : a.dateTime > b.dateTime;
        });
        benchmark::DoNotOptimize(entries.constData());
    }
}

void BM_InsertDive(benchmark::State& state)
{
    logbook();
    DiveDb* db = DiveDb::instance();
    Dive dive = benchDive(kDives + 1);
    int serial = 0;
    for (auto _ : state) {
        state.PauseTiming();
        dive.name = QStringLiteral("bench %1").arg(++serial);
        state.ResumeTiming();
        if (db->insertDive(dive) != DiveDb::Stored)
            state.SkipWithError("insert failed");
        state.PauseTiming();
        db->deleteDive(kDives + 1);
        state.ResumeTiming();
    }
}

// The same insert without waiting for the disk (PRAGMA synchronous=OFF, for
// this measurement only): what the program itself spends, the rest of
// BM_InsertDive being the file system's sync of the commit.
void BM_InsertDiveWithoutSync(benchmark::State& state)
{
    logbook();
    QSqlQuery().exec(QStringLiteral("PRAGMA synchronous=OFF"));
    BM_InsertDive(state);
    QSqlQuery().exec(QStringLiteral("PRAGMA synchronous=FULL"));
}

void BM_DeleteDive(benchmark::State& state)
{
    logbook();
    DiveDb* db = DiveDb::instance();
    Dive dive = benchDive(kDives + 1);
    for (auto _ : state) {
        state.PauseTiming();
        db->insertDive(dive);
        state.ResumeTiming();
        if (!db->deleteDive(kDives + 1))
            state.SkipWithError("delete failed");
    }
}

void BM_LoadDive(benchmark::State& state)
{
    logbook();
    DiveDb* db = DiveDb::instance();
    int id = 1;
    Dive dive;
    for (auto _ : state) {
        if (!db->loadDive(id, dive))
            state.SkipWithError("load failed");
        id = (id + 96) % kDives + 1; // spread over the file
    }
    state.counters["lines"] = double(dive.lines.size());
}

BENCHMARK(BM_OpenLogbook)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListDives)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListDivesFiltered)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListDivesPerDiveMax)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ListDivesFirstAfterUpgrade)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_InsertDive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertDiveWithoutSync)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteDive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDive)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int status = BenchMain::runBenchmarks(argc, argv);
    DiveDb::instance()->close();
    return status;
}
