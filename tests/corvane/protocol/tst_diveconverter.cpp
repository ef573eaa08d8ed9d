// A downloaded header and its samples become the program's dive.

#include "corvane/protocol/kelvodata.h"
#include "corvane/protocol/pelagondiveconverter.h"

#include "recordbytes.h"

#include <QTest>

namespace {

DiveSample sample(int depth, int gas, int ceiling = 0)
{
    DiveSample s;
    s.depth = quint16(depth);
    s.flags = quint8(gas << 1);
    s.ceilingCode = quint16(ceiling);
    return s;
}

PelagonDiveHeader header(int model, int divemode, quint16 enabled)
{
    PelagonDiveHeader h;
    h.computerModel = model;
    h.divemode = quint8(divemode);
    h.gasEnabled = enabled;
    for (size_t i = 0; i < 12; ++i) {
        h.gasPO2[i] = quint8(21 + i);
        h.gasPHe[i] = quint8(i * 2);
    }
    h.samplePeriod = 4;
    return h;
}

QList<int> gasIndexes(const Dive& dive)
{
    QList<int> indexes;
    for (const DiveLine& line : dive.lines)
        indexes << line.gasIndex;
    return indexes;
}

} // namespace

class TestDiveConverter : public QObject
{
    Q_OBJECT

private slots:
    void headerAndComputer();
    void gases_data();
    void gases();
    void lines();
    void times_data();
    void times();
};

void TestDiveConverter::headerAndComputer()
{
    KelvoData computer;
    computer.processIdentification(bufferOf(PelagonCommand::Identification, Bytes().u32(0x01040262).u8(21)));
    computer.processSerialNumber(bufferOf(PelagonCommand::Serialnumber, Bytes().u32(1).u32(2).u32(0xabc)));
    computer.processComputer(bufferOf(PelagonCommand::Computer_new,
                                      Bytes().u16(0x42).zeros(11).zeros(9).zeros(16).zeros(7).raw(QByteArray("Reef\0", 5)).bytes()),
                             true);

    PelagonDiveHeader h = header(ComputerModel::Pelagon, 0, 0);
    h.diveNumber = 1234;
    h.beginTime = 1700000000;
    h.gfLow = 35;
    h.alertFlags = 0x11223344;
    h.diverMode = 0;
    h.gasSet = 1536;
    h.maxDepth = 41.5;
    const Dive dive = PelagonDiveConverter::toDive(h, {}, computer);
    QCOMPARE(dive.name, QStringLiteral("1234"));
    QCOMPARE(dive.computerSerial, QStringLiteral("00000001-00000002-00000ABC"));
    QCOMPARE(dive.firmwareVersion, QStringLiteral("1.4.2.b"));
    QCOMPARE(dive.computerName, QStringLiteral("Reef"));
    QCOMPARE(dive.format, int(Dive::RecordedDive));
    QCOMPARE(dive.beginTime, qint64(1700000000));
    QCOMPARE(int(dive.gfLow), 35);
    // Derived from the lines (none here), not taken from the header.
    QCOMPARE(dive.maxDepth, 0.0);
    QCOMPARE(int(dive.diverMode), 0);
    QCOMPARE(int(dive.gasSet), 1);
    // Alert words: the three low bytes for a Pelagon, four for other models.
    QCOMPARE(dive.alertsPelagon, (std::array<quint8, 3>{0x44, 0x33, 0x22}));
    QCOMPARE(dive.alertsKelvo, (std::array<quint8, 4>{}));
    h.computerModel = ComputerModel::Kelvo;
    const Dive kelvo = PelagonDiveConverter::toDive(h, {}, computer);
    QCOMPARE(kelvo.alertsKelvo, (std::array<quint8, 4>{0x44, 0x33, 0x22, 0x11}));
    QCOMPARE(kelvo.alertsPelagon, (std::array<quint8, 3>{}));
}

void TestDiveConverter::gases_data()
{
    QTest::addColumn<int>("divemode");
    QTest::addColumn<int>("enabled");
    QTest::addColumn<QList<int>>("sampleGases");
    QTest::addColumn<QString>("gases");   // per gas: O2/He percent, class
    QTest::addColumn<QList<int>>("indexes");
    QTest::newRow("no gas enabled") << 0 << 0 << QList<int>{0, 3, 15} << "" << QList<int>{0, 0, 0};
    QTest::newRow("open circuit") << 0 << 0x0006 << QList<int>{1, 2, 0, 12, 15} << "22/2:0 23/4:0"
                                  << QList<int>{0, 1, 0, 0, 0};
    QTest::newRow("closed circuit, gases 0 and 4") << 1 << 0x0011 << QList<int>{0, 4, 3}
                                                   << "21/0:1 25/8:2" << QList<int>{0, 1, 0};
    QTest::newRow("closed circuit, diluents and bailouts") << 5 << 0x0C07 << QList<int>{11, 10, 2, 1}
                                                           << "21/0:1 22/2:1 23/4:1 31/20:2 32/22:2"
                                                           << QList<int>{4, 3, 2, 1};
}

void TestDiveConverter::gases()
{
    QFETCH(int, divemode);
    QFETCH(int, enabled);
    QFETCH(QList<int>, sampleGases);
    QFETCH(QString, gases);
    QFETCH(QList<int>, indexes);
    QList<DiveSample> samples;
    for (int gas : sampleGases)
        samples << sample(100, gas);
    const Dive dive = PelagonDiveConverter::toDive(header(ComputerModel::Kelvo, divemode, quint16(enabled)), samples, KelvoData());
    QStringList described;
    for (const DiveGas& gas : dive.gases) {
        described << QStringLiteral("%1/%2:%3").arg(qRound(gas.o2 * 100)).arg(qRound(gas.he * 100)).arg(gas.gasClass());
        QCOMPARE(gas.color, 0xFFFFFFu);
        QVERIFY(qAbs(gas.n2 - (1.0f - gas.o2 - gas.he)) < 1e-6f);
    }
    QCOMPARE(described.join(' '), gases);
    QCOMPARE(gasIndexes(dive), indexes);
}

void TestDiveConverter::lines()
{
    DiveSample deco = sample(0xC0FA, 0, 0x00F);  // stray top bits; 1.5 m ceiling
    deco.flags |= 1;
    deco.setpoint = 0x06;                        // only bits 0-1 count
    deco.temperature = -2;
    deco.alertFlag = 0x12;
    deco.alertFlagTransmitter = 0x34;
    deco.pelagonAlerts = {1, 2, 3};
    deco.battery = 3900;
    deco.tankPressure = 187;
    deco.tankPressureTxIndex = 2;
    deco.gfLow = 30;
    deco.gfHigh = 70;
    const DiveSample noDeco = sample(120, 0, 0xFF6);  // no-deco time 10 min
    const DiveSample lowest = sample(120, 0, 0x800);  // the longest no-deco time
    const Dive dive = PelagonDiveConverter::toDive(header(ComputerModel::Pelagon, 0, 1), {deco, noDeco, lowest}, KelvoData());
    const DiveLine& a = dive.lines[0];
    QCOMPARE(a.depth, 25.0);
    QCOMPARE(a.decoCeiling, 1.5);
    QCOMPARE(int(a.ndl), 0);
    QVERIFY(a.ccr);
    QCOMPARE(int(a.setpointIndex), 2);
    QCOMPARE(a.ambientTemp, -2.0);
    QCOMPARE(int(a.alertFlag), 0x12);
    QCOMPARE(int(a.alertFlagTransmitter), 0x34);
    QCOMPARE(a.pelagonAlerts, (std::array<quint8, 3>{1, 2, 3}));
    QCOMPARE(int(a.battery), 3900);
    QCOMPARE(int(a.tankPressure), 187);
    QCOMPARE(int(a.tankPressureTxIndex), 2);
    QCOMPARE(int(a.gfLow), 30);
    QCOMPARE(int(a.gfHigh), 70);
    QCOMPARE(dive.lines[1].decoCeiling, 0.0);
    QCOMPARE(int(dive.lines[1].ndl), 10);
    QVERIFY(!dive.lines[1].ccr);
    QCOMPARE(int(dive.lines[1].tankPressureTxIndex), 255);
    QCOMPARE(int(dive.lines[2].ndl), 2048);
}

void TestDiveConverter::times_data()
{
    QTest::addColumn<int>("period");
    QTest::addColumn<QList<double>>("times");
    QTest::newRow("4 s") << 4 << QList<double>{0, 4, 8};
    QTest::newRow("255 s") << 255 << QList<double>{0, 255, 510};
    QTest::newRow("0 taken as 1 s") << 0 << QList<double>{0, 1, 2};
}

void TestDiveConverter::times()
{
    QFETCH(int, period);
    QFETCH(QList<double>, times);
    PelagonDiveHeader h = header(ComputerModel::Kelvo, 0, 1);
    h.samplePeriod = quint8(period);
    Dive dive = PelagonDiveConverter::toDive(h, {sample(0, 0), sample(100, 0), sample(50, 0)}, KelvoData());
    QList<double> lineTimes;
    for (const DiveLine& line : dive.lines)
        lineTimes << line.timeSec;
    QCOMPARE(lineTimes, times);
    QCOMPARE(int(dive.samplePeriod), qMax(period, 1));
    // The dive comes back whole: its statistics and speeds follow its lines.
    QCOMPARE(dive.maxDepth, 10.0);
    QVERIFY(dive.lines.at(1).deepestPoint);
    QCOMPARE(dive.lines.at(1).speed, 10.0 * 60.0 / qMax(period, 1));
    QCOMPARE(dive.maxTime, times.last());
}

QTEST_GUILESS_MAIN(TestDiveConverter)
#include "tst_diveconverter.moc"
