// The simulated computer's logbook: realistic, varied and reproducible dives,
// and the exact bytes its records are written with.

#include "corvane/simulator/computerrecords.h"
#include "corvane/simulator/simulatedlogbook.h"

#include <QtTest>

#include <set>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

struct DiveShape
{
    int minutes = 0;
    double maxDepth = 0.0;
    int decoSeconds = 0;
    int gasesUsed = 0;
    bool closedCircuit = false;
    bool safetyStop = false;
};

DiveShape shapeOf(const SimulatedDive& dive)
{
    DiveShape shape;
    shape.minutes = int((dive.endTime - dive.beginTime) / 60);
    shape.maxDepth = dive.maxDepthDm / 10.0;
    shape.decoSeconds = int(dive.totalDecoTime);
    std::set<int> gases;
    int atFive = 0;
    for (const SimulatedSample& s : dive.samples) {
        gases.insert(s.gas);
        shape.closedCircuit = shape.closedCircuit || s.closedCircuit;
        if (s.depthDm >= 45 && s.depthDm <= 55 && s.ceilingDm == 0)
            atFive += dive.samplePeriod;
    }
    shape.gasesUsed = int(gases.size());
    shape.safetyStop = atFive >= 170;
    return shape;
}

} // namespace

class TestSimulatedLogbook : public QObject
{
    Q_OBJECT

private slots:
    void logbookIsRealisticAndVaried();
    void logbookIsReproducible();
    void fixedLengthDives();
    void records_data();
    void records();
    void sampleStreams_data();
    void sampleStreams();
    void headerLayouts_data();
    void headerLayouts();
};

void TestSimulatedLogbook::logbookIsRealisticAndVaried()
{
    for (const auto model : {ComputerModel::Kelvo, ComputerModel::Pelagon, ComputerModel::Brix}) {
        LogbookOptions options;
        options.model = model;
        options.seed = 7;
        options.diveCount = 12;
        options.firstDiveNumber = 40;
        const QList<SimulatedDive> dives = SimulatedLogbook::generate(options);
        QCOMPARE(dives.size(), 12);

        std::set<int> headerVersions;
        int decoDives = 0, multiGas = 0, rebreather = 0, safetyStops = 0;
        qint64 previousEnd = 0;
        for (int i = 0; i < dives.size(); ++i) {
            const SimulatedDive& d = dives[i];
            const DiveShape shape = shapeOf(d);
            QCOMPARE(d.diveNumber, quint16(40 + i));
            QVERIFY2(shape.minutes >= 20 && shape.minutes <= 125, qPrintable(QString::number(shape.minutes)));
            QVERIFY(d.samplePeriod >= 1 && d.samplePeriod <= 10);
            QCOMPARE(qint64(d.samples.size() - 1) * d.samplePeriod, d.endTime - d.beginTime);
            QVERIFY(d.beginTime > previousEnd); // a surface interval between dives
            previousEnd = d.endTime;
            // Starts and ends at the surface, never deeper than planned.
            QCOMPARE(d.samples.constFirst().depthDm, quint16(0));
            QCOMPARE(d.samples.constLast().depthDm, quint16(0));
            QVERIFY(shape.maxDepth > 5.0 && shape.maxDepth < 67.0);
            QVERIFY(d.avgDepthDm < d.maxDepthDm);
            QVERIFY(d.minTemperature <= d.maxTemperature);
            // The ascent never goes above the ceiling by more than a step.
            for (const SimulatedSample& s : d.samples)
                QVERIFY2(s.depthDm + 15 >= s.ceilingDm, qPrintable(QStringLiteral("dive %1").arg(i)));
            headerVersions.insert(d.headerVersion);
            decoDives += shape.decoSeconds > 0 ? 1 : 0;
            multiGas += shape.gasesUsed > 1 ? 1 : 0;
            rebreather += shape.closedCircuit ? 1 : 0;
            safetyStops += shape.safetyStop ? 1 : 0;
            if (d.headerVersion == 0)
                QCOMPARE(d.samplePeriod, quint8(5));
        }
        QVERIFY(headerVersions.size() >= 2);
        QVERIFY2(decoDives >= 2, qPrintable(QString::number(decoDives)));
        QVERIFY(multiGas >= 2);
        QCOMPARE(rebreather, 1);
        QVERIFY(safetyStops >= 5);
    }
}

void TestSimulatedLogbook::logbookIsReproducible()
{
    LogbookOptions options;
    options.diveCount = 12;
    options.seed = 99;
    const QList<SimulatedDive> first = SimulatedLogbook::generate(options);
    const QList<SimulatedDive> second = SimulatedLogbook::generate(options);
    options.seed = 100;
    const QList<SimulatedDive> other = SimulatedLogbook::generate(options);
    bool differs = false;
    for (int i = 0; i < first.size(); ++i) {
        QCOMPARE(ComputerRecords::logbookHeader(first[i], options.model),
                 ComputerRecords::logbookHeader(second[i], options.model));
        QCOMPARE(ComputerRecords::samples(first[i], options.model), ComputerRecords::samples(second[i], options.model));
        differs = differs || ComputerRecords::samples(first[i], options.model) != ComputerRecords::samples(other[i], options.model);
    }
    QVERIFY(differs);
}

void TestSimulatedLogbook::fixedLengthDives()
{
    LogbookOptions options;
    options.diveCount = 3;
    options.durationMinutes = 60;
    options.samplePeriod = 2;
    for (const SimulatedDive& d : SimulatedLogbook::generate(options)) {
        QCOMPARE(d.samplePeriod, quint8(2));
        const qint64 seconds = d.endTime - d.beginTime;
        QVERIFY2(seconds >= 58 * 60 && seconds <= 62 * 60, qPrintable(QString::number(seconds)));
    }
}

void TestSimulatedLogbook::records_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("identification Pelagon normal")
        << ComputerRecords::identification(0x01040262, ComputerRecords::identificationKind(ComputerModel::Pelagon, 1), 0x01000041)
        << hex("62 02 04 01 15 41 00 00 01");
    QTest::newRow("identification Brix bootloader")
        << ComputerRecords::identification(0x02000B00, ComputerRecords::identificationKind(ComputerModel::Brix, 2), 0)
        << hex("00 0b 00 02 20 00 00 00 00");
    QTest::newRow("serial number") << ComputerRecords::serialNumber(0x00A1B2C3, 1, 0xFFFFFFFF)
                                   << hex("c3 b2 a1 00 01 00 00 00 ff ff ff ff");
    QTest::newRow("legacy serial number") << ComputerRecords::legacySerialNumber({0x01, 0x02, 0x03, 0x04, 0x05, 0xAB}, 'K')
                                          << hex("01 02 03 04 05 ab 4b");
    QTest::newRow("owner") << ComputerRecords::text(QStringLiteral("Zoé")) << hex("5a 6f c3 a9 00");
    QTest::newRow("time") << ComputerRecords::time(-2) << hex("fe ff ff ff ff ff ff ff");
    QTest::newRow("sensors") << ComputerRecords::sensors(1013, 30) << hex("01 f5 03 00 00 1e 00");
    QTest::newRow("simulation parameters") << ComputerRecords::simulationParameters(1013, 2000, 1025)
                                           << hex("f5 03 00 00 d0 07 00 00 01 04");
    QTest::newRow("delete result") << ComputerRecords::deleteResult(1, 0x10000) << hex("01 00 00 00 00 00 01 00");
    QTest::newRow("gas") << ComputerRecords::gas(0, {3, 0.5f, 0.25f})
                         << hex("00 03 00 00 00 00 00 00 00 00 00 00 00 3f 00 00 80 3e");
    QTest::newRow("battery entries") << ComputerRecords::batteryEntries({{0x80000001u, 0x7FFFFFFFu}, {0xFFFFFFFFu, 0}})
                                     << hex("01 00 00 80 ff ff ff 7f ff ff ff ff 00 00 00 00");
    QTest::newRow("binary log") << ComputerRecords::syslogBin(0x0102030405060708ull, 9, 10, 11)
                                << hex("08 07 06 05 04 03 02 01 09 0a 00 00 00 0b 00 00 00");

    const std::array<float, 16> n2{0.75f};
    const QByteArray diver = ComputerRecords::diver(n2, {}, 1.0f);
    QTest::newRow("diver state") << diver.left(4) + diver.mid(128) << hex("00 00 40 3f 00 00 80 3f");
    QTest::newRow("diver state size") << QByteArray::number(diver.size()) << QByteArray("132");

    SimulatedSettings legacy;
    legacy.version = 0;
    legacy.firstSetting = 7;
    legacy.waterType = 1;
    legacy.surfacePressure = 0x03F5;
    const QByteArray legacyRecord = ComputerRecords::settings(legacy);
    // first word, four setting bytes, word, water, surface, two bytes
    QTest::newRow("settings legacy start") << legacyRecord.left(13) << hex("07 00 00 01 00 00 00 00 01 f5 03 00 00");
    // 8 + 1 bytes, 8 gases, 1 byte, 3 setpoints, the name, the battery type
    QTest::newRow("settings legacy size") << QByteArray::number(legacyRecord.size())
                                          << QByteArray::number(2 + 11 + 9 + 16 + 1 + 6 + 32 + 1);
    SimulatedSettings current;
    current.version = 13;
    current.family = ComputerModel::Pelagon;
    const QByteArray currentRecord = ComputerRecords::settings(current);
    QTest::newRow("settings current start") << currentRecord.left(6) << hex("0d ff 02 01 00 00");
    QTest::newRow("settings current name") << currentRecord.mid(5 + 11 + 9 + 24 + 1 + 6, 6) << QByteArray("Kelvo\0", 6);
}

void TestSimulatedLogbook::records()
{
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, expected);
    QCOMPARE(record.toHex(' '), expected.toHex(' '));
}

void TestSimulatedLogbook::sampleStreams_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("version");
    QTest::addColumn<QByteArray>("expected");

    // Gas 3, setpoint 1, 25.0 m, ceiling 1.5 m, 19 °C, battery 4000,
    // tank 180 bar, closed circuit.
    QTest::newRow("Kelvo v0") << int(ComputerModel::Kelvo) << 0 << hex("0d fa 00 0f 00 13");
    QTest::newRow("Kelvo v1") << int(ComputerModel::Kelvo) << 1 << hex("80 01 0d fa 00 0f 00 13 a0 0f");
    QTest::newRow("Kelvo v2") << int(ComputerModel::Kelvo) << 2 << hex("80 02 0d fa 00 0f 00 13 a0 0f 05 06");
    QTest::newRow("Kelvo v3") << int(ComputerModel::Kelvo) << 3
                              << hex("80 03 0d fa 00 0f 00 13 a0 0f 05 06 b4 00 1e 55");
    QTest::newRow("Brix v1") << int(ComputerModel::Brix) << 1 << hex("80 01 0d fa 00 0f 00 13 02 40 a0 0f");
    QTest::newRow("Brix v2") << int(ComputerModel::Brix) << 2
                             << hex("80 02 0d fa 00 0f 00 13 02 40 a0 0f b4 00 00 01");
    QTest::newRow("Pelagon v2 layout A") << int(ComputerModel::Pelagon) << 2
                                         << hex("80 02 0d fa 00 0f 00 13 02 40 a0 0f b4 00 00 01");
    // Layout B: depth | gas << 12 | ccr << 15; ceiling | setpoint << 12.
    QTest::newRow("Pelagon v3 layout B") << int(ComputerModel::Pelagon) << 3
                                         << hex("80 03 fa b0 0f 10 13 01 02 03 a0 0f b4 00 1e 55");
}

void TestSimulatedLogbook::sampleStreams()
{
    QFETCH(int, model);
    QFETCH(int, version);
    QFETCH(QByteArray, expected);
    SimulatedSample s;
    s.gas = 3;
    s.setpoint = 1;
    s.closedCircuit = true;
    s.depthDm = 250;
    s.ceilingDm = 15;
    s.ndlMinutes = 10; // not shown while a ceiling is
    s.temperature = 19;
    s.battery = 4000;
    s.alert = 5;
    s.alertTransmitter = 6;
    s.legacyAlerts = {0x02, 0x40};
    s.pelagonAlerts = {1, 2, 3};
    s.tankPressure = 180;
    s.gfLow = 30;
    s.gfHigh = 85;
    SimulatedDive dive;
    dive.sampleVersion = quint8(version);
    dive.samples = {s};
    const auto m = ComputerModel::ComputerModelIn(model);
    QCOMPARE(ComputerRecords::samples(dive, m).toHex(' '), expected.toHex(' '));

    // No ceiling: minus the no-decompression time in 12 bits; 0 when neither.
    s.ceilingDm = 0;
    dive.samples = {s, s};
    dive.samples[1].ndlMinutes = 0;
    const QByteArray two = ComputerRecords::samples(dive, m);
    const int size = ComputerRecords::sampleRecordSize(quint8(version), m);
    const int start = version == 0 ? 0 : 2;
    QCOMPARE(two.size(), start + 2 * size);
    const bool layoutB = m == ComputerModel::Pelagon && version >= 3;
    const int at = start + (layoutB ? 2 : 3);
    QCOMPARE(quint8(two[at]), quint8(0xF6));
    QCOMPARE(quint8(two[at + 1]) & 0x0F, 0x0F);
    QCOMPARE(quint8(two[at + size]), quint8(0));
    QCOMPARE(quint8(two[at + size + 1]) & 0x0F, 0);
}

void TestSimulatedLogbook::headerLayouts_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("size");

    // 2 (+2) number, 8, 64 tissues, gas mask 1/2, 8 or 12 gas pairs, 1,
    // setpoints 6 (15), 8 (+2), 56, then 5, (+3), (+2), (+1).
    QTest::newRow("Kelvo legacy") << int(ComputerModel::Kelvo) << 0 << 2 + 8 + 64 + 1 + 16 + 1 + 6 + 8 + 56;
    QTest::newRow("Kelvo 1") << int(ComputerModel::Kelvo) << 1 << 4 + 8 + 64 + 1 + 16 + 1 + 6 + 10 + 56 + 5;
    QTest::newRow("Kelvo 5") << int(ComputerModel::Kelvo) << 5 << 4 + 8 + 64 + 2 + 24 + 1 + 6 + 10 + 56 + 5;
    QTest::newRow("Kelvo 6") << int(ComputerModel::Kelvo) << 6 << 4 + 8 + 64 + 2 + 24 + 1 + 6 + 10 + 56 + 8;
    QTest::newRow("Kelvo 10") << int(ComputerModel::Kelvo) << 10 << 4 + 8 + 64 + 2 + 24 + 1 + 6 + 10 + 56 + 10;
    QTest::newRow("Pelagon 1") << int(ComputerModel::Pelagon) << 1 << 4 + 8 + 64 + 1 + 16 + 1 + 15 + 8 + 56 + 5;
    QTest::newRow("Pelagon 4") << int(ComputerModel::Pelagon) << 4 << 4 + 8 + 64 + 1 + 16 + 1 + 15 + 8 + 56 + 6;
    QTest::newRow("Brix 6") << int(ComputerModel::Brix) << 6 << 4 + 8 + 64 + 2 + 24 + 1 + 15 + 8 + 56 + 5;
}

void TestSimulatedLogbook::headerLayouts()
{
    QFETCH(int, model);
    QFETCH(int, version);
    QFETCH(int, size);
    SimulatedDive dive;
    dive.headerVersion = quint8(version);
    dive.diveNumber = 0x1234;
    dive.beginTime = 0x0102030405060708;
    dive.samples.resize(3);
    const QByteArray header = ComputerRecords::logbookHeader(dive, ComputerModel::ComputerModelIn(model));
    QCOMPARE(header.size(), size);
    const int o = version == 0 ? 2 : 4;
    const QByteArray start = version == 0 ? hex("34 12") : QByteArray(1, char(version)) + hex("80 34 12");
    QCOMPARE(header.left(o), start);
    // The begin time sits 56 bytes before the end of the common part.
    const int tail = version == 0 ? 0 : 5 + (model == ComputerModel::Kelvo && version > 5 ? 3 : 0)
                                         + (model == ComputerModel::Kelvo && version >= 10 ? 2 : 0)
                                         + (model == ComputerModel::Pelagon && version >= 4 ? 1 : 0);
    QCOMPARE(header.mid(size - tail - 56, 8).toHex(), QByteArray("0807060504030201"));
}

QTEST_GUILESS_MAIN(TestSimulatedLogbook)
#include "tst_simulatedlogbook.moc"
