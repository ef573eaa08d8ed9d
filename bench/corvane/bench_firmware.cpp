// Writing a 256 KiB firmware image into the simulated dive computer through
// the whole stack (session, frame protocol, GATT link, simulated peripheral),
// timed against what the link allows.
//
// Link: a 7.5 ms connection interval (the shortest there is), 4 packets per
// interval and direction. Every chunk waits for the computer's answer: one
// round trip of two intervals (15 ms) per chunk, whatever its size. The
// chunk is the frame size of the link: 232 bytes at MTU 247, 8 at MTU 23.

#include "runbenchmarks.h"

#include "corvane/ble/blelinkmodel.h"
#include "corvane/protocol/kelvobleprotocol.h"
#include "corvane/protocol/kelvosession.h"
#include "corvane/simulator/computerflash.h"
#include "corvane/simulator/democomputer.h"
#include "corvane/simulator/simulatedcomputer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>

namespace {

constexpr int kImageSize = 256 * 1024;
constexpr int kIntervalUs = 7500;
constexpr int kPackets = 4;

// Connects and reads the identification (the bootloader version decides
// whether an application image may go); then uploads. Returns seconds from
// the first request to the computer's last answer.
double upload(KelvoSession& session, const QByteArray& image)
{
    QSignalSpy ready(&session, &KelvoSession::connectControllerStatus);
    session.autoConnect();
    if (!ready.wait(10000))
        qFatal("no connection");
    QSignalSpy identified(&session, &KelvoSession::endCommand);
    session.startCommand(PelagonCommand::Identification);
    if (!identified.wait(5000))
        qFatal("no identification");

    QEventLoop loop;
    bool done = false;
    QObject::connect(&session, &KelvoSession::endCommand, &loop, [&](PelagonCommand::PelagonCommandIn command) {
        done = command == PelagonCommand::End_program;
        loop.quit();
    });
    QObject::connect(&session, &KelvoSession::exchangeError, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    if (session.uploadFirmware(image, QStringLiteral("bench.bin"), true) != image.size())
        qFatal("upload refused: %s", qPrintable(session.message()));
    loop.exec();
    if (!done)
        qFatal("upload failed");
    return double(clock.nsecsElapsed()) / 1e9;
}

void runUpload(benchmark::State& state, int mtu, bool paced)
{
    const QByteArray image = SimulatedFlash::firmwareImage(0xDEADBEEF, 0x02000D63, kImageSize, 11);
    const BleLinkModel link = paced ? BleLinkModel::paced(kIntervalUs, kPackets) : BleLinkModel::instantLink();
    for (auto _ : state) {
        DemoComputer::Options options;
        options.logbook.diveCount = 1;
        options.mtu = mtu;
        options.link = link;
        DemoComputer demo(options, nullptr);
        KelvoSession session(demo.backend(), nullptr);
        const double seconds = upload(session, image);
        if (demo.computer()->state().firmware.installedFirmware != image)
            qFatal("the computer holds another image");
        state.SetIterationTime(seconds);

        const int frame = KelvoBleProtocol::frameSizeForMtu(mtu);
        const double chunks = double((kImageSize + frame - 1) / frame);
        state.counters["chunk_bytes"] = frame;
        state.counters["chunks"] = chunks;
        state.counters["seconds"] = seconds;
        if (paced) {
            // What the link could carry if it never waited: the image's bytes
            // at MTU - 3 per packet, and the round trips the protocol asks for.
            const double byteTime = double(kImageSize) / link.bytesPerSecond(mtu);
            const double roundTrips = (chunks + 2) * 2 * kIntervalUs / 1e6;
            state.counters["link_byte_s"] = byteTime;
            state.counters["round_trips_s"] = roundTrips;
            state.counters["vs_byte_time"] = seconds / byteTime;
            state.counters["vs_round_trips"] = seconds / roundTrips;
        }
        state.counters["KB_per_s"] = double(kImageSize) / seconds / 1000.0;
    }
}

// 1,130 chunks of 232 bytes.
void BM_Upload256KiB_Mtu247(benchmark::State& state)
{
    runUpload(state, 247, true);
}
BENCHMARK(BM_Upload256KiB_Mtu247)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// 32,768 chunks of 8 bytes: about eight minutes of round trips.
void BM_Upload256KiB_Mtu23(benchmark::State& state)
{
    runUpload(state, 23, true);
}
BENCHMARK(BM_Upload256KiB_Mtu23)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The same uploads over the instant link: what the program's own work costs.
void BM_Upload256KiB_InstantLink(benchmark::State& state)
{
    runUpload(state, int(state.range(0)), false);
}
BENCHMARK(BM_Upload256KiB_InstantLink)->Arg(247)->Arg(23)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return BenchMain::runBenchmarks(argc, argv);
}
