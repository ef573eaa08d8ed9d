// Frames on the wire: the CRC, the exact bytes of built frames, and the
// receive store cutting notifications back into frames.

#include "corvane/protocol/frame.h"
#include "corvane/protocol/protocoltypes.h"

#include <QTest>

namespace {

// The augmented form of the same CRC: register preset to 0xFFFF, data bits
// shifted in most significant first, then sixteen zero bits. Written apart
// from the table-driven code so the two check each other.
quint16 augmentedCrc(const QByteArray& data)
{
    quint16 reg = 0xFFFF;
    auto shiftIn = [&reg](int bit) {
        const bool top = reg & 0x8000;
        reg = quint16((reg << 1) | bit);
        if (top)
            reg ^= 0x1021;
    };
    for (char c : data)
        for (int i = 7; i >= 0; --i)
            shiftIn((quint8(c) >> i) & 1);
    for (int i = 0; i < 16; ++i)
        shiftIn(0);
    return reg;
}

QList<ReceivedFrame> drain(FrameStore& store)
{
    QList<ReceivedFrame> frames;
    ReceivedFrame frame;
    while (store.takeFrame(frame))
        frames.append(frame);
    return frames;
}

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void crcCheckValues_data();
    void crcCheckValues();
    void crcMatchesAugmentedForm();
    void builtFrames_data();
    void builtFrames();
    void oversizedPayloadIsRefused();
    void frameSizeFromMtu_data();
    void frameSizeFromMtu();
    void storeCutsNotifications_data();
    void storeCutsNotifications();
    void fullStoreDropsTheChunk();
    void largeBurstComesOutWhole();
};

void TestFrame::crcCheckValues_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("crc");
    // Published check values of CRC-16/SPI-FUJITSU (AUG-CCITT).
    QTest::newRow("check string") << QByteArray("123456789") << 0xE5CC;
    QTest::newRow("empty") << QByteArray() << 0x1D0F;
    QTest::newRow("A") << QByteArray("A") << 0x9479;
}

void TestFrame::crcCheckValues()
{
    QFETCH(QByteArray, data);
    QFETCH(int, crc);
    QCOMPARE(int(KelvoFrame::crc16(data)), crc);
    QCOMPARE(int(augmentedCrc(data)), crc);
}

void TestFrame::crcMatchesAugmentedForm()
{
    QByteArray data;
    quint32 x = 12345;
    for (int i = 0; i < 1000; ++i) {
        x = x * 1103515245u + 12345u;
        data.append(char(x >> 16));
        QCOMPARE(KelvoFrame::crc16(data), augmentedCrc(data));
    }
    // Continuing over a second block gives the CRC of the whole.
    const auto* bytes = reinterpret_cast<const quint8*>(data.constData());
    QCOMPARE(KelvoFrame::crc16(bytes + 400, 600, KelvoFrame::crc16(bytes, 400)), KelvoFrame::crc16(data));
}

void TestFrame::builtFrames_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("frame");
    // CRC of the single byte 01 is 0xDCBD: a start byte inside the header.
    QTest::newRow("empty payload") << int(PelagonCommand::Identification) << QByteArray()
                                   << QByteArray::fromHex("dcdc0100bddc000001");
    QTest::newRow("samples of dive 7") << int(PelagonCommand::Fullsamples) << QByteArray::fromHex("0700")
                                       << QByteArray::fromHex("dcdc03003817000014" "0700");
    QTest::newRow("logbook") << int(PelagonCommand::Logbook) << QByteArray()
                             << QByteArray::fromHex("dcdc0100ceee000013");
}

void TestFrame::builtFrames()
{
    QFETCH(int, command);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, frame);
    QCOMPARE(KelvoFrame::build(quint8(command), payload).toHex(' '), frame.toHex(' '));

    // And the store reads back what was built.
    FrameStore store;
    QVERIFY(store.append(frame));
    const QList<ReceivedFrame> frames = drain(store);
    QCOMPARE(frames.size(), 1);
    QCOMPARE(int(frames[0].command), command);
    QCOMPARE(frames[0].payload, payload);
    QCOMPARE(int(frames[0].length), payload.size() + 1);
    QVERIFY(frames[0].crcValid);
    QVERIFY(store.isEmpty());
}

void TestFrame::oversizedPayloadIsRefused()
{
    const QByteArray largest(KelvoFrame::kMaxPayload, 'x');
    const QByteArray frame = KelvoFrame::build(PelagonCommand::Program, largest);
    QCOMPARE(frame.size(), 0xFFFF + KelvoFrame::kHeaderSize);
    QCOMPARE(quint8(frame[2]), quint8(0xFF));
    QCOMPARE(quint8(frame[3]), quint8(0xFF));
    // One byte more would wrap the length field to 0.
    QVERIFY(KelvoFrame::build(PelagonCommand::Program, largest + 'x').isEmpty());
}

void TestFrame::frameSizeFromMtu_data()
{
    QTest::addColumn<int>("mtu");
    QTest::addColumn<int>("frameSize");
    QTest::newRow("unknown") << 0 << 128;
    QTest::newRow("negative") << -5 << 128;
    QTest::newRow("below the minimum") << 10 << 8;
    QTest::newRow("22") << 22 << 8;
    QTest::newRow("23") << 23 << 8;
    QTest::newRow("185") << 185 << 168;
    QTest::newRow("247") << 247 << 232;
    QTest::newRow("512") << 512 << 496;
    QTest::newRow("517") << 517 << 504;
}

void TestFrame::frameSizeFromMtu()
{
    QFETCH(int, mtu);
    QFETCH(int, frameSize);
    QCOMPARE(KelvoFrame::frameSizeForMtu(mtu), frameSize);
    // A frame carrying that much fits one notification of the link.
    if (mtu >= KelvoFrame::kMinimumMtu)
        QVERIFY(frameSize + KelvoFrame::kHeaderSize + 1 <= mtu - 3);
}

void TestFrame::storeCutsNotifications_data()
{
    const QByteArray a = KelvoFrame::build(PelagonCommand::Logbook, QByteArray::fromHex("0180ff"));
    const QByteArray b = KelvoFrame::build(PelagonCommand::Logbook, QByteArray());
    QByteArray bad = KelvoFrame::build(PelagonCommand::Owner, "Jo");
    bad[bad.size() - 1] = 'X';
    const QByteArray zeroLength = QByteArray::fromHex("dcdc00000f1d0000");

    QTest::addColumn<QByteArrayList>("chunks");
    // Per frame taken: command, payload hex, CRC good.
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("heldAfter");

    QTest::newRow("two frames in one chunk") << QByteArrayList{a + b} << QStringList{"19:0180ff:1", "19::1"} << 0;
    QTest::newRow("split over two chunks") << QByteArrayList{a.left(5), a.mid(5)} << QStringList{"19:0180ff:1"} << 0;
    QTest::newRow("split in the start pair") << QByteArrayList{b + a.left(1), a.mid(1)}
                                             << QStringList{"19::1", "19:0180ff:1"} << 0;
    QTest::newRow("one byte at a time") << [&] { QByteArrayList l; for (char c : a) l << QByteArray(1, c); return l; }()
                                        << QStringList{"19:0180ff:1"} << 0;
    QTest::newRow("incomplete remainder waits") << QByteArrayList{a + b.left(6)} << QStringList{"19:0180ff:1"} << 6;
    QTest::newRow("garbage before a frame") << QByteArrayList{QByteArray::fromHex("00dc11dc00") + a}
                                            << QStringList{"19:0180ff:1"} << 0;
    QTest::newRow("garbage only") << QByteArrayList{QByteArray::fromHex("0102030405060708090a")} << QStringList{} << 0;
    QTest::newRow("trailing start byte kept") << QByteArrayList{a + QByteArray(1, char(0xDC))}
                                              << QStringList{"19:0180ff:1"} << 1;
    QTest::newRow("bad CRC discards the rest") << QByteArrayList{a + bad + b}
                                               << QStringList{"19:0180ff:1", "22:4a58:0"} << 0;
    QTest::newRow("length 0 is dropped") << QByteArrayList{zeroLength + b} << QStringList{"19::1"} << 0;
    QTest::newRow("length 0 alone") << QByteArrayList{zeroLength} << QStringList{} << 0;
}

void TestFrame::storeCutsNotifications()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QStringList, expected);
    QFETCH(int, heldAfter);
    FrameStore store;
    QStringList taken;
    for (const QByteArray& chunk : chunks) {
        QVERIFY(store.append(chunk));
        for (const ReceivedFrame& f : drain(store))
            taken << QStringLiteral("%1:%2:%3").arg(f.command).arg(QString::fromLatin1(f.payload.toHex())).arg(int(f.crcValid));
    }
    QCOMPARE(taken, expected);
    QCOMPARE(int(store.heldBytes()), heldAfter);
}

void TestFrame::fullStoreDropsTheChunk()
{
    // A header announcing a long frame, then single bytes that never complete it.
    FrameStore store;
    QVERIFY(store.append(QByteArray::fromHex("dcdcf0ff00000000")));
    for (int i = 1; i < FrameStore::kMaxChunks; ++i)
        QVERIFY(store.append(QByteArray(1, '\x01')));
    QCOMPARE(store.chunkCount(), FrameStore::kMaxChunks);
    QVERIFY(!store.append(QByteArray(1, '\x01')));
    QVERIFY(store.isEmpty());
    // The next response starts afresh instead of feeding the stale frame.
    QVERIFY(store.append(KelvoFrame::build(PelagonCommand::Time, QByteArray(8, '\0'))));
    const QList<ReceivedFrame> frames = drain(store);
    QCOMPARE(frames.size(), 1);
    QCOMPARE(int(frames[0].command), int(PelagonCommand::Time));
}

void TestFrame::largeBurstComesOutWhole()
{
    // 4,000 sample frames cut into 244-byte notifications, as a fast link sends them.
    QByteArray stream;
    for (int i = 0; i < 4000; ++i)
        stream += KelvoFrame::build(PelagonCommand::Fullsamples, QByteArray(i % 230, char(i)));
    FrameStore store;
    int count = 0;
    for (qsizetype at = 0; at < stream.size(); at += 244) {
        QVERIFY(store.append(stream.mid(at, 244)));
        for (const ReceivedFrame& f : drain(store)) {
            QVERIFY(f.crcValid);
            QCOMPARE(f.payload, QByteArray(count % 230, char(count)));
            ++count;
        }
    }
    QCOMPARE(count, 4000);
    QVERIFY(store.isEmpty());
}

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"
