// Notifications from a simulated peripheral to BleDevice::notificationReceived
// on an instant link: one 244-byte notification (the payload of MTU 247) end
// to end, and 1 MiB sent through the pipe, cut to the MTU. Both include the
// turn of the event loop that carries every notification, as on a real link.
// Counters: us per notification (wall time).

#include "corvane/ble/bledevice.h"
#include "corvane/ble/simulatedblebackend.h"
#include "corvane/ble/simulatedperipheral.h"
#include "runbenchmarks.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSignalSpy>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

const QBluetoothUuid kUartData(QStringLiteral("49535343-1e4d-4bd9-ba61-23c647249616"));

struct ConnectedLink
{
    SimulatedBleBackend backend;
    SimulatedPeripheral peripheral;
    BleDevice device{&backend, nullptr};
    qint64 received = 0;
    qint64 bytes = 0;

    explicit ConnectedLink(int mtu)
    {
        peripheral.setMtu(mtu);
        backend.addPeripheral(&peripheral);
        QObject::connect(&device, &BleDevice::servicesDiscovered, &device, [this] {
            device.setupCharacteristics(QStringLiteral("49535343-fe7d-4ae5-8fa9-9fafd205e455"),
                                        QStringLiteral("49535343-1e4d-4bd9-ba61-23c647249616"),
                                        QStringLiteral("49535343-1e4d-4bd9-ba61-23c647249616"));
        });
        QObject::connect(&device, &BleDevice::notificationReceived, &device, [this](const QByteArray& data) {
            ++received;
            bytes += data.size();
        });
        QSignalSpy connected(&device, &BleDevice::connected);
        device.connectTo(BleDeviceInfo(peripheral.deviceInfo()));
        if (!connected.wait(5000))
            std::fprintf(stderr, "bench_ble: the simulated link did not come up\n");
    }

    void runUntil(qint64 count)
    {
        while (received < count)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
};

void BM_OneNotification244(benchmark::State& state)
{
    ConnectedLink link(247);
    const QByteArray value(244, 'n');
    for (auto _ : state) {
        link.peripheral.sendNotification(kUartData, value);
        link.runUntil(link.received + 1);
    }
    state.counters["us_per_notification"] =
        benchmark::Counter(double(state.iterations()) * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OneNotification244)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_OneMiBThroughThePipe(benchmark::State& state)
{
    const int mtu = int(state.range(0));
    ConnectedLink link(mtu);
    const QByteArray mib(1 << 20, 'm');
    const qint64 perMiB = ((1 << 20) + link.peripheral.payloadSize() - 1) / link.peripheral.payloadSize();
    for (auto _ : state) {
        link.peripheral.send(kUartData, mib);
        link.runUntil(link.received + perMiB);
    }
    state.SetBytesProcessed(state.iterations() * (1 << 20));
    state.counters["notifications"] = double(perMiB);
    state.counters["us_per_notification"] = benchmark::Counter(
        double(state.iterations() * perMiB) * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OneMiBThroughThePipe)->Arg(23)->Arg(247)->Arg(512)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return BenchMain::runBenchmarks(argc, argv);
}
