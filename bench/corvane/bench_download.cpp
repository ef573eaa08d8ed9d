// Downloading a logbook from the simulated dive computer through the whole
// stack (session, frame protocol, GATT link, simulated peripheral), timed
// against what the link itself allows.
//
// Link: MTU 247 (244 bytes per notification), a 15 ms connection interval
// and 4 packets per interval: 65,067 bytes of notifications per second.
// Each command costs at least one round trip of two intervals (30 ms).

#include "runbenchmarks.h"

#include "corvane/ble/blelinkmodel.h"
#include "corvane/protocol/kelvosession.h"
#include "corvane/simulator/computerrecords.h"
#include "corvane/simulator/democomputer.h"
#include "corvane/simulator/simulatedcomputer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>

namespace {

constexpr int kMtu = 247;
constexpr int kIntervalUs = 15000;
constexpr int kPackets = 4;
constexpr int kFrameOverhead = 9;

// Bytes the computer notifies for a logbook and every dive's samples: the
// records, nine bytes of frame per payload and the end markers.
qint64 notifiedBytes(const QList<SimulatedDive>& dives, ComputerModel::ComputerModelIn model)
{
    const int perFrame = kMtu - 3 - kFrameOverhead;
    qint64 total = kFrameOverhead; // the logbook's end marker
    for (const SimulatedDive& dive : dives) {
        total += ComputerRecords::logbookHeader(dive, model).size() + kFrameOverhead;
        const qint64 samples = ComputerRecords::samples(dive, model).size();
        total += samples + (samples + perFrame - 1) / perFrame * kFrameOverhead + kFrameOverhead;
    }
    return total;
}

// Connects, then downloads the logbook and every dive, one job after the
// other as the import does. Returns the download's seconds.
double download(KelvoSession& session, int diveCount)
{
    QSignalSpy ready(&session, &KelvoSession::connectControllerStatus);
    session.autoConnect();
    ready.wait(10000);
    QEventLoop loop;
    int next = 0;
    QElapsedTimer clock;
    QObject::connect(&session, &KelvoSession::endCommand, &loop, [&](PelagonCommand::PelagonCommandIn) {
        if (next < session.diveHeaders().size())
            session.startGetDiveSamples(session.diveHeaders().at(next++).diveNumber);
        else
            loop.quit();
    });
    QObject::connect(&session, &KelvoSession::disconnectController, &loop, &QEventLoop::quit);
    clock.start();
    session.startGetLogbook({});
    loop.exec();
    if (next != diveCount)
        qFatal("download stopped after %d of %d dives", next, diveCount);
    return double(clock.nsecsElapsed()) / 1e9;
}

DemoComputer::Options options(bool paced)
{
    DemoComputer::Options o;
    o.logbook.diveCount = 100;
    o.logbook.durationMinutes = 60;
    o.logbook.samplePeriod = 2;
    o.mtu = kMtu;
    o.link = paced ? BleLinkModel::paced(kIntervalUs, kPackets) : BleLinkModel::instantLink();
    return o;
}

void report(benchmark::State& state, const DemoComputer& demo, double seconds)
{
    const qint64 bytes = notifiedBytes(demo.computer()->state().logbook, demo.computer()->state().model);
    const double rate = double(kMtu - 3) * kPackets / (kIntervalUs / 1e6);
    const double byteTime = double(bytes) / rate;
    const double roundTrips = 101 * 2 * kIntervalUs / 1e6;
    state.counters["bytes"] = double(bytes);
    state.counters["seconds"] = seconds;
    state.counters["link_byte_s"] = byteTime;
    state.counters["round_trips_s"] = roundTrips;
    state.counters["vs_limit"] = seconds / (byteTime + roundTrips);
    state.counters["KB_per_s"] = double(bytes) / seconds / 1000.0;
}

void runDownload(benchmark::State& state, bool paced)
{
    for (auto _ : state) {
        DemoComputer demo(options(paced), nullptr);
        KelvoSession session(demo.backend(), nullptr);
        const double seconds = download(session, 100);
        state.SetIterationTime(seconds);
        report(state, demo, seconds);
    }
}

// 100 dives of 60 minutes at 2 s over the realistic link.
void BM_Download100DivesPacedLink(benchmark::State& state)
{
    runDownload(state, true);
}
BENCHMARK(BM_Download100DivesPacedLink)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The same download over the instant link: what the program's own work costs.
void BM_Download100DivesInstantLink(benchmark::State& state)
{
    runDownload(state, false);
}
BENCHMARK(BM_Download100DivesInstantLink)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return BenchMain::runBenchmarks(argc, argv);
}
