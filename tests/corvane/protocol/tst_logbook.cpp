// Logbook headers in every layout and version, decoded from hand-assembled
// bytes, and encoded back to the same bytes for the simulated computer.

#include "corvane/protocol/kelvodata.h"
#include "corvane/protocol/recordencoders.h"

#include "recordbytes.h"

#include <QTest>

namespace {

bool fiveByteSetpoints(int model)
{
    return model == ComputerModel::Pelagon || model == ComputerModel::Brix;
}

// A header of `version` for `model`, field by field in the order the
// computer sends them, with a distinct value in every field.
// The first sample count is replaced by the second past the legacy layout;
// the simulated computer sends the same count in both places.
QByteArray headerBytes(int version, int model, quint32 firstCount = 777)
{
    Bytes b;
    if (version == 0)
        b.u16(0x8000); // the largest legacy dive number
    else
        b.u16(0x8000 | version).u16(1234);
    b.u8(2).u8(3).u8(30).u8(85); // setpoint, divemode, gradient factors
    b.u16(1000).u16(1013);       // fresh water, surface pressure
    for (int i = 0; i < 16; ++i)
        b.u16(1000 + i).u16(2000 + i);
    if (version < 5)
        b.u8(0xA5);
    else
        b.u16(0x0A5A);
    for (int i = 0; i < (version <= 4 ? 8 : 12); ++i)
        b.u8(10 + i).u8(50 + i);
    b.u8(0);
    for (int sp : {1100, 1200, 1300}) {
        b.u16(sp);
        if (fiveByteSetpoints(model))
            b.zeros(3);
    }
    b.u32(firstCount).u32(0x00C0FFEE);
    if (version != 0 && model == ComputerModel::Kelvo)
        b.u16(0xBEEF);
    b.u64(1700000000).u16(12).u16(456).u16(234).u8(0xFD).u8(27);
    b.u32(99).u16(21).u32(600).u32(900).u16(45).u16(180).u16(140);
    b.u64(1700003600).u32(7200).f32(12.5f).f32(3.25f);
    if (version != 0)
        b.u8(2).u32(3600);
    if (version > 5 && model == ComputerModel::Kelvo)
        b.u8(1).u16(1536);
    if (version >= 10 && model == ComputerModel::Kelvo)
        b.u16(4242);
    if (version >= 4 && model == ComputerModel::Pelagon)
        b.u8(0xFE); // bit 0 clear: not open circuit
    return b;
}

KelvoData dataFor(int model)
{
    KelvoData data;
    data.processIdentification(bufferOf(PelagonCommand::Identification, Bytes().u32(0).u8(10 * model + 1)));
    return data;
}

} // namespace

class TestLogbook : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data();
    void layouts();
    void damagedValuesAreBounded();
};

void TestLogbook::layouts_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("model");
    QTest::newRow("legacy Kelvo") << 0 << int(ComputerModel::Kelvo);
    QTest::newRow("v1 Kelvo") << 1 << int(ComputerModel::Kelvo);
    QTest::newRow("v3 Brix") << 3 << int(ComputerModel::Brix);
    QTest::newRow("v4 Pelagon") << 4 << int(ComputerModel::Pelagon);
    QTest::newRow("v4 Kelvo") << 4 << int(ComputerModel::Kelvo);
    QTest::newRow("v5 Kelvo") << 5 << int(ComputerModel::Kelvo);
    QTest::newRow("v5 Pelagon") << 5 << int(ComputerModel::Pelagon);
    QTest::newRow("v6 Kelvo") << 6 << int(ComputerModel::Kelvo);
    QTest::newRow("v10 Kelvo") << 10 << int(ComputerModel::Kelvo);
    QTest::newRow("v12 Brix") << 12 << int(ComputerModel::Brix);
}

void TestLogbook::layouts()
{
    QFETCH(int, version);
    QFETCH(int, model);
    const QByteArray bytes = headerBytes(version, model);
    KelvoData data = dataFor(model);
    data.processLogbook(bufferOf(PelagonCommand::Logbook, bytes));
    QCOMPARE(data.diveHeaders().size(), 1);
    const PelagonDiveHeader h = data.diveHeaders().first();

    const bool kelvo = model == ComputerModel::Kelvo;
    const bool pelagonOrBrix = fiveByteSetpoints(model);
    QCOMPARE(h.computerModel, model);
    QCOMPARE(int(h.diveNumber), version == 0 ? 0x8000 : 1234);
    QCOMPARE(int(h.activeGasSetPoint), 2);
    QCOMPARE(int(h.divemode), pelagonOrBrix ? 5 : 3);
    QCOMPARE(int(h.gfLow), 30);
    QCOMPARE(int(h.gfHigh), 85);
    QCOMPARE(int(h.density), 1);
    QCOMPARE(int(h.surfacePressure), 1013);
    QCOMPARE(int(h.diverN2[15]), 1015);
    QCOMPARE(int(h.diverHe[0]), 2000);
    QCOMPARE(int(h.gasEnabled), version < 5 ? 0xA5 : 0x0A5A);
    const int gases = version <= 4 ? 8 : 12;
    QCOMPARE(int(h.gasPO2[size_t(gases - 1)]), 10 + gases - 1);
    QCOMPARE(int(h.gasPHe[size_t(gases - 1)]), 50 + gases - 1);
    QCOMPARE(int(h.gasPO2[11]), gases == 12 ? 21 : 0);
    QCOMPARE(int(h.setpoint[0]), 1100);
    QCOMPARE(int(h.setpoint[1]), 1200);
    QCOMPARE(int(h.setpoint[2]), 1300);
    QCOMPARE(h.alertFlags, 0x00C0FFEEu);
    QCOMPARE(int(h.alertFlags16), version != 0 && kelvo ? 0xBEEF : 0);
    QCOMPARE(h.beginTime, qint64(1700000000));
    QCOMPARE(int(h.cnsBegin), 12);
    QCOMPARE(h.maxDepth, 45.6);
    QCOMPARE(h.avgDepth, 23.4);
    QCOMPARE(h.minTemperature, -3.0);
    QCOMPARE(h.maxTemperature, 27.0);
    QCOMPARE(h.ndl, 99u);
    QCOMPARE(int(h.deepestStop), 21);
    QCOMPARE(h.totalDecoTime, 600.0);
    QCOMPARE(h.ascentTime, 900.0);
    QCOMPARE(int(h.cnsMax), 45);
    QCOMPARE(int(h.pO2Min), 180);
    QCOMPARE(int(h.pO2Max), 140);
    QCOMPARE(h.endTime, qint64(1700003600));
    QCOMPARE(h.desatTime, 7200u);
    QCOMPARE(h.otu, 12.5f);
    QCOMPARE(h.iss, 3.25f);
    // The legacy layout keeps the default period and the first count.
    QCOMPARE(int(h.samplePeriod), version != 0 ? 2 : 5);
    QCOMPARE(h.sampleCount, version != 0 ? 3600u : 777u);
    QCOMPARE(int(h.diverMode), version > 5 && kelvo ? 1 : 0);
    QCOMPARE(int(h.gasSet), version > 5 && kelvo ? 1536 : 1);
    QCOMPARE(int(h.spareWord), version >= 10 && kelvo ? 4242 : 900);
    QCOMPARE(int(h.ocdivemode), version >= 4 && model == ComputerModel::Pelagon ? 0 : 1);

    // The simulated computer's encoding gives the same bytes back (the
    // divemode of the newer families arrives as 5, and a spare bit is not kept).
    QByteArray expected = headerBytes(version, model, version ? 3600 : 777);
    const int divemodeOffset = version == 0 ? 3 : 5;
    if (pelagonOrBrix)
        expected[divemodeOffset] = 5;
    if (version >= 4 && model == ComputerModel::Pelagon)
        expected[expected.size() - 1] = 0;
    QCOMPARE(KelvoRecords::logbookPayload(h, version, model).toHex(' '), expected.toHex(' '));
}

void TestLogbook::damagedValuesAreBounded()
{
    // Percentages above 100 and non-finite floats from a damaged header.
    QByteArray bytes = headerBytes(5, ComputerModel::Kelvo);
    const int firstGas = 4 + 8 + 64 + 2; // first word, number, 8 setting bytes, tissues, gas bits
    bytes[firstGas] = char(250);
    bytes[firstGas + 1] = char(180);
    const int otu = bytes.size() - 5 - 8; // otu, iss before period and count
    for (int i = 0; i < 8; ++i)
        bytes[otu + i] = char(0xFF); // NaN
    KelvoData data = dataFor(ComputerModel::Kelvo);
    data.processLogbook(bufferOf(PelagonCommand::Logbook, bytes));
    const PelagonDiveHeader h = data.diveHeaders().first();
    QCOMPARE(int(h.gasPO2[0]), 100);
    QCOMPARE(int(h.gasPHe[0]), 100);
    QCOMPARE(h.otu, 0.0f);
    QCOMPARE(h.iss, 0.0f);
    QCOMPARE(h.sampleCount, 3600u);
}

QTEST_GUILESS_MAIN(TestLogbook)
#include "tst_logbook.moc"
