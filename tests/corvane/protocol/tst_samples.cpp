// Profile samples in both layouts and every version, the depth repair, and
// the encoding the simulated computer sends.

#include "corvane/protocol/kelvodata.h"
#include "corvane/protocol/recordencoders.h"

#include "recordbytes.h"

#include <QTest>

namespace {

QString describe(const DiveSample& s)
{
    return QStringLiteral("v%1 d%2 f%3 c%4 sp%5 t%6 b%7 a%8/%9 p%10 tp%11 gf%12/%13 tx%14 tf%15")
        .arg(s.version).arg(s.depth).arg(s.flags).arg(s.ceilingCode, 0, 16).arg(s.setpoint)
        .arg(s.temperature).arg(s.battery).arg(s.alertFlag).arg(s.alertFlagTransmitter)
        .arg(QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(s.pelagonAlerts.data()), 3).toHex()))
        .arg(s.tankPressure).arg(s.gfLow).arg(s.gfHigh).arg(s.tankPressureTxIndex).arg(int(s.tankPressureFlag));
}

// Sends `raw` as Fullsamples responses of at most `cut` bytes, then the end marker.
QList<DiveSample> download(int model, const QByteArray& raw, int cut = 200)
{
    KelvoData data;
    data.processIdentification(bufferOf(PelagonCommand::Identification, Bytes().u32(0).u8(10 * model + 1)));
    for (qsizetype at = 0; at < raw.size(); at += cut) {
        const QByteArray part = raw.mid(at, cut);
        data.processSamples(bufferOf(PelagonCommand::Fullsamples, part), quint16(part.size() + 1));
    }
    data.processSamples(bufferOf(PelagonCommand::Fullsamples, {}), 1);
    return data.samples();
}

// Layout A's first 6 bytes: gas 3, setpoint 2, a depth with stray top bits,
// a no-deco time of 10 min, -2 degrees.
Bytes layoutA() { return Bytes().u8(0x0E).u16(0xF0FA).u16(0x0FF6).u8(0xFE); }

} // namespace

class TestSamples : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data();
    void layouts();
    void depthRepairAndPartialRecords();
    void encodingRoundTrips_data();
    void encodingRoundTrips();
};

void TestSamples::layouts_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("expected");

    const QString a0 = "d250 f6 cff6 sp2 t-2 ";
    QTest::newRow("version 0") << int(ComputerModel::Kelvo) << layoutA().bytes()
                               << "v0 " + a0 + "b0 a0/0 p000000 tp0 gf0/0 tx255 tf0";
    QTest::newRow("Kelvo v1") << int(ComputerModel::Kelvo) << Bytes().u8(0x80).u8(1).raw(layoutA()).u16(3700).bytes()
                              << "v1 " + a0 + "b3700 a0/0 p000000 tp0 gf0/0 tx255 tf0";
    QTest::newRow("Kelvo v2") << int(ComputerModel::Kelvo)
                              << Bytes().u8(0x80).u8(2).raw(layoutA()).u16(3700).u8(0x11).u8(0x22).bytes()
                              << "v2 " + a0 + "b3700 a17/34 p000000 tp0 gf0/0 tx255 tf0";
    QTest::newRow("Kelvo v3") << int(ComputerModel::Kelvo)
                              << Bytes().u8(0x80).u8(3).raw(layoutA()).u16(3700).u8(0x11).u8(0x22).u16(200).u8(30).u8(70).bytes()
                              << "v3 " + a0 + "b3700 a17/34 p000000 tp200 gf30/70 tx255 tf0";
    // Older alert bytes a = 0x8F (bits 0-3, 7) and b = 0x1C (fields 1 and 2 set).
    QTest::newRow("Pelagon v1") << int(ComputerModel::Pelagon)
                                << Bytes().u8(0x80).u8(1).raw(layoutA()).u8(0x8F).u8(0x1C).u16(3900).bytes()
                                << "v1 " + a0 + "b3900 a0/0 p3f0714 tp0 gf0/0 tx255 tf0";
    QTest::newRow("Pelagon v2") << int(ComputerModel::Pelagon)
                                << Bytes().u8(0x80).u8(2).raw(layoutA()).u8(0x40).u8(0xC0).u16(3900).u16(180).u8(1).u8(5).bytes()
                                << "v2 " + a0 + "b3900 a0/0 pc00040 tp180 gf0/0 tx1 tf1";
    QTest::newRow("Brix v3 keeps layout A") << int(ComputerModel::Brix)
                                            << Bytes().u8(0x80).u8(3).raw(layoutA()).u8(0).u8(0).u16(3900).u16(180).u8(2).u8(0).bytes()
                                            << "v3 " + a0 + "b3900 a0/0 p000000 tp180 gf0/0 tx2 tf0";
    // Layout B: depth 300 dm, gas 5, closed circuit; ceiling 1.5 m, setpoint 2.
    QTest::newRow("Pelagon v3 layout B") << int(ComputerModel::Pelagon)
                                         << Bytes().u8(0x80).u8(3).u16(0xD12C).u16(0x200F).u8(18).u8(1).u8(2).u8(3)
                                                .u16(4000).u16(210).u8(35).u8(75).bytes()
                                         << "v3 d300 f11 cf sp2 t18 b4000 a0/0 p010203 tp210 gf35/75 tx255 tf0";
}

void TestSamples::layouts()
{
    QFETCH(int, model);
    QFETCH(QByteArray, raw);
    QFETCH(QString, expected);
    // Cut anywhere: the records do not follow the responses' boundaries.
    for (int cut : {1, 3, 200}) {
        const QList<DiveSample> samples = download(model, raw + raw.mid(raw.at(0) == char(0x80) ? 2 : 0), cut);
        QCOMPARE(samples.size(), 2);
        QCOMPARE(describe(samples[0]), expected);
        QCOMPARE(describe(samples[1]), expected);
    }
}

void TestSamples::depthRepairAndPartialRecords()
{
    auto record = [](int depth) { return Bytes().u8(0).u16(depth).u16(0).u8(20).bytes(); };
    // 360.0 m first, then 12.0 m, 360.0 m, 350.0 m; the last record is cut.
    const QByteArray raw = record(3600) + record(120) + record(3600) + record(3500) + record(90).left(5);
    QList<int> depths;
    for (const DiveSample& s : download(ComputerModel::Kelvo, raw))
        depths << s.depth;
    QCOMPARE(depths, (QList<int>{0, 120, 120, 3500}));

    // Nothing but the version mark, or nothing at all.
    QVERIFY(download(ComputerModel::Pelagon, QByteArray::fromHex("8003")).isEmpty());
    QVERIFY(download(ComputerModel::Pelagon, {}).isEmpty());
}

void TestSamples::encodingRoundTrips_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("version");
    for (int model : {int(ComputerModel::Kelvo), int(ComputerModel::Pelagon), int(ComputerModel::Brix)})
        for (int version = 0; version <= 4; ++version)
            QTest::addRow("model %d v%d", model, version) << model << version;
}

void TestSamples::encodingRoundTrips()
{
    QFETCH(int, model);
    QFETCH(int, version);
    // The simulated computer's bytes decode back to what it meant to send.
    QList<DiveSample> sent;
    for (int i = 0; i < 50; ++i) {
        DiveSample s;
        s.version = quint16(version);
        s.depth = quint16(i * 60 % 3400);
        s.flags = quint8((i % 8) << 1);
        s.ceilingCode = quint16(i % 2 ? 0xFF6 : i);
        s.setpoint = quint8(i % 4);
        s.temperature = qint8(20 - i);
        s.battery = quint16(3000 + i);
        s.tankPressure = quint16(200 - i);
        s.gfLow = quint8(i);
        s.gfHigh = quint8(100 - i);
        sent << s;
    }
    const QByteArray raw = KelvoRecords::sampleBytes(sent, version, model);
    QCOMPARE(raw.size(), (version ? 2 : 0) + 50 * KelvoRecords::sampleRecordSize(version, model));
    const QList<DiveSample> received = download(model, raw);
    QCOMPARE(received.size(), sent.size());
    for (int i = 0; i < sent.size(); ++i) {
        QCOMPARE(received[i].depth, sent[i].depth);
        QCOMPARE(received[i].ceilingCode, sent[i].ceilingCode);
        QCOMPARE(received[i].setpoint, sent[i].setpoint);
        QCOMPARE(received[i].temperature, sent[i].temperature);
        QCOMPARE(received[i].gasNumber(), sent[i].gasNumber());
        QCOMPARE(received[i].battery, version >= 1 ? sent[i].battery : quint16(0));
    }
}

QTEST_GUILESS_MAIN(TestSamples)
#include "tst_samples.moc"
