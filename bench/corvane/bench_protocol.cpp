// The download path at full speed: a 1 MiB burst of sample frames cut into
// notifications and taken back out as frames (target 10 ms), and a ten-hour
// dive sampled every second decoded and converted (target 20 ms).

#include "corvane/protocol/frame.h"
#include "corvane/protocol/framereceiver.h"
#include "corvane/protocol/kelvodata.h"
#include "corvane/protocol/pelagondiveconverter.h"
#include "corvane/protocol/recordencoders.h"

#include "runbenchmarks.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFramePayload = 232; // frame size at MTU 247
constexpr int kNotification = 244; // ATT payload at MTU 247

QList<DiveSample> longDiveSamples(int count)
{
    QList<DiveSample> samples;
    samples.reserve(count);
    for (int i = 0; i < count; ++i) {
        DiveSample s;
        s.depth = quint16(300 + (i % 600) / 3);
        s.flags = quint8((i / 3000 % 3) << 1);
        s.ceilingCode = quint16(i % 2 ? 0xFF6 : 0x00F);
        s.temperature = 14;
        s.battery = 3900;
        s.tankPressure = quint16(200 - i / 200);
        samples << s;
    }
    return samples;
}

// The notifications of a burst of sample frames of about `bytes` bytes.
QByteArrayList burst(qsizetype bytes)
{
    QByteArray stream;
    QByteArray payload(kFramePayload, '\x5A');
    while (stream.size() < bytes)
        stream += KelvoFrame::build(PelagonCommand::Fullsamples, payload);
    QByteArrayList chunks;
    for (qsizetype at = 0; at < stream.size(); at += kNotification)
        chunks << stream.mid(at, kNotification);
    return chunks;
}

void BM_FrameBurst(benchmark::State& state)
{
    const QByteArrayList chunks = burst(state.range(0));
    FrameStore store;
    qint64 frames = 0;
    for (auto _ : state) {
        ReceivedFrame frame;
        for (const QByteArray& chunk : chunks) {
            store.append(chunk);
            while (store.takeFrame(frame))
                ++frames;
        }
        benchmark::DoNotOptimize(frame.payload.constData());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.counters["frames"] = double(frames) / double(state.iterations());
}
BENCHMARK(BM_FrameBurst)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// The same burst through the receiver of a streamed command, each frame
// handed to a connected slot as the session receives it.
void BM_ReceiverBurst(benchmark::State& state)
{
    const QByteArrayList chunks = burst(state.range(0));
    FrameReceiver receiver;
    qint64 payloadBytes = 0;
    QObject::connect(&receiver, &FrameReceiver::frameReceived,
                     [&payloadBytes](PelagonCommand::PelagonCommandIn, const QByteArray& payload, quint16) {
                         payloadBytes += payload.size();
                     });
    for (auto _ : state) {
        receiver.expect(PelagonCommand::Fullsamples);
        for (const QByteArray& chunk : chunks)
            receiver.receive(chunk);
    }
    receiver.stop();
    benchmark::DoNotOptimize(payloadBytes);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReceiverBurst)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// Decoding the Fullsamples responses of a dive and converting it.
void BM_DecodeAndConvert(benchmark::State& state)
{
    const int count = int(state.range(0));
    KelvoData computer;
    computer.processIdentification(KelvoData::recordBuffer(PelagonCommand::Identification,
                                                           KelvoRecords::identificationPayload(0x01040262, 21, 0)));
    const QByteArray raw = KelvoRecords::sampleBytes(longDiveSamples(count), 3, ComputerModel::Pelagon);
    QList<RecordBuffer> responses;
    QList<quint16> lengths;
    for (qsizetype at = 0; at < raw.size(); at += kFramePayload) {
        const QByteArray part = raw.mid(at, kFramePayload);
        responses << KelvoData::recordBuffer(PelagonCommand::Fullsamples, part);
        lengths << quint16(part.size() + 1);
    }
    responses << KelvoData::recordBuffer(PelagonCommand::Fullsamples, {});
    lengths << 1;
    PelagonDiveHeader header;
    header.computerModel = ComputerModel::Pelagon;
    header.samplePeriod = 1;
    header.gasEnabled = 0x7;
    for (auto _ : state) {
        KelvoData data = computer;
        for (qsizetype i = 0; i < responses.size(); ++i)
            data.processSamples(responses[i], lengths[i]);
        const Dive dive = PelagonDiveConverter::toDive(header, data.samples(), data);
        if (dive.lines.size() != count)
            state.SkipWithError("samples lost");
        benchmark::DoNotOptimize(dive.lines.constData());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_DecodeAndConvert)->Arg(36000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return BenchMain::runBenchmarks(argc, argv);
}
