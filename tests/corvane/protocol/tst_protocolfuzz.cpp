// Cut, flipped and random bytes fed to the frame store and to every decoder
// and the dive conversion. Seeds are fixed, so a failure reproduces; the
// sanitizer build checks that nothing reads outside its buffers.

#include "corvane/protocol/frame.h"
#include "corvane/protocol/kelvodata.h"
#include "corvane/protocol/pelagondiveconverter.h"
#include "corvane/protocol/recordencoders.h"

#include "recordbytes.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray randomBytes(QRandomGenerator& random, int maxSize)
{
    QByteArray bytes(qsizetype(random.bounded(maxSize + 1)), '\0');
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

QByteArray flipped(QByteArray bytes, QRandomGenerator& random)
{
    const int flips = 1 + int(random.bounded(4));
    for (int i = 0; i < flips && !bytes.isEmpty(); ++i)
        bytes[qsizetype(random.bounded(quint32(bytes.size())))] ^= char(1 << random.bounded(8));
    return bytes;
}

// A valid response stream: frames of assorted commands and sizes.
QByteArray validStream(QRandomGenerator& random)
{
    QByteArray stream;
    for (int i = 0; i < 40; ++i)
        stream += KelvoFrame::build(quint8(random.bounded(256)), randomBytes(random, 240));
    return stream;
}

// Runs every decoder over one record buffer.
void decodeAll(KelvoData& data, const RecordBuffer& buffer, quint16 payloadLength)
{
    data.processIdentification(buffer);
    data.processSerialNumber(buffer);
    data.processSyslog(buffer);
    data.processSyslogBin(buffer);
    data.processComputer(buffer, payloadLength & 1);
    data.processOwner(buffer);
    data.processSensors(buffer);
    data.processTime(buffer);
    data.processLogbook(buffer);
    data.processSamples(buffer, payloadLength);
    data.processDiver(buffer);
    DeleteDivesResult deleted;
    data.processDeleteDives(buffer, deleted);
    data.processEraseDivesFlash(buffer);
    data.processSimulationParams(buffer);
    data.processBootloaderVersion(buffer);
    data.processGetGases(buffer, payloadLength);
    data.processBatteryInformation(buffer, payloadLength);
}

} // namespace

class TestProtocolFuzz : public QObject
{
    Q_OBJECT

private slots:
    void frameStore();
    void decoders();
    void samplesAndConversion();
};

void TestProtocolFuzz::frameStore()
{
    QRandomGenerator random(0x5EA5);
    int frames = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray stream = validStream(random);
        switch (round % 3) {
        case 0: stream = flipped(stream, random); break;
        case 1: stream = stream.left(qsizetype(random.bounded(quint32(stream.size())))) + randomBytes(random, 64); break;
        default: stream = randomBytes(random, 4096) + stream; break;
        }
        FrameStore store;
        for (qsizetype at = 0; at < stream.size();) {
            const qsizetype size = 1 + qsizetype(random.bounded(300));
            store.append(stream.mid(at, size));
            at += size;
            ReceivedFrame frame;
            while (store.takeFrame(frame)) {
                QCOMPARE(frame.payload.size(), qsizetype(frame.length) - 1);
                ++frames;
            }
            // A remainder never outgrows one frame and the last chunk.
            QVERIFY(store.heldBytes() <= 0xFFFF + KelvoFrame::kHeaderSize + size);
        }
    }
    QVERIFY(frames > 1000);
}

void TestProtocolFuzz::decoders()
{
    QRandomGenerator random(0xC0DE);
    for (int round = 0; round < 3000; ++round) {
        KelvoData data;
        // Each computer family and record version.
        data.processIdentification(bufferOf(PelagonCommand::Identification,
                                            Bytes().u32(0).u8(quint32(random.bounded(40)))));
        const QByteArray payload = randomBytes(random, round % 10 ? 600 : 40);
        const quint16 length = round % 4 ? quint16(payload.size() + 1) : quint16(random.bounded(65536));
        const RecordBuffer buffer = KelvoData::recordBuffer(quint8(random.bounded(256)), payload);
        decodeAll(data, buffer, length);
        data.processSamples(buffer, 1);
        for (const PelagonDiveHeader& header : data.diveHeaders()) {
            QVERIFY(header.gasPO2[0] <= 100 && header.gasPHe[11] <= 100);
            const Dive dive = PelagonDiveConverter::toDive(header, data.samples(), data);
            for (const DiveLine& line : dive.lines)
                QVERIFY(line.gasIndex >= 0 && (line.gasIndex < dive.gases.size() || line.gasIndex == 0));
        }
    }
}

void TestProtocolFuzz::samplesAndConversion()
{
    QRandomGenerator random(0xD1CE);
    for (int round = 0; round < 400; ++round) {
        const int model = 1 + int(random.bounded(3));
        KelvoData data;
        data.processIdentification(bufferOf(PelagonCommand::Identification, Bytes().u32(0).u8(quint32(10 * model + 1))));
        QByteArray raw = randomBytes(random, 3000);
        if (round % 2 && raw.size() > 2) {
            raw[0] = char(0x80);
            raw[1] = char(random.bounded(6));
        }
        for (qsizetype at = 0; at < raw.size(); at += 200) {
            const QByteArray part = raw.mid(at, 200);
            data.processSamples(KelvoData::recordBuffer(PelagonCommand::Fullsamples, part), quint16(part.size() + 1));
        }
        data.processSamples(KelvoData::recordBuffer(PelagonCommand::Fullsamples, {}), 1);
        const qsizetype start = raw.size() >= 2 && quint8(raw[0]) == 0x80 ? 2 : 0;
        const int version = start ? quint8(raw[1]) : 0;
        const int recordSize = KelvoRecords::sampleRecordSize(version, model);
        QCOMPARE(data.samples().size(), (raw.size() - start) / recordSize);
        for (const DiveSample& s : data.samples())
            QVERIFY(s.depth <= 3500);

        PelagonDiveHeader header;
        header.computerModel = model;
        header.gasEnabled = quint16(random.bounded(65536));
        header.divemode = quint8(random.bounded(2));
        header.samplePeriod = quint8(random.bounded(3));
        for (size_t i = 0; i < 12; ++i) {
            header.gasPO2[i] = quint8(random.bounded(256));
            header.gasPHe[i] = quint8(random.bounded(256));
        }
        const Dive dive = PelagonDiveConverter::toDive(header, data.samples(), data);
        QCOMPARE(dive.lines.size(), data.samples().size());
        for (const DiveLine& line : dive.lines)
            QVERIFY(line.gasIndex >= 0 && line.gasIndex < qMax<qsizetype>(1, dive.gases.size()));
    }
}

QTEST_GUILESS_MAIN(TestProtocolFuzz)
#include "tst_protocolfuzz.moc"
