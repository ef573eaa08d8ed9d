// The simulated computer's records, written from the record layouts, read
// back by the program's decoders: every header version and sample layout of
// the generated logbooks, and the small records, arrive as they were sent.

#include "corvane/protocol/kelvodata.h"
#include "corvane/simulator/computerrecords.h"
#include "corvane/simulator/simulatedlogbook.h"

#include <QtTest>

using namespace PelagonCommand;

namespace {

KelvoData computerOf(ComputerModel::ComputerModelIn model)
{
    KelvoData data;
    data.processIdentification(KelvoData::recordBuffer(
        Identification, ComputerRecords::identification(0x02000C62, ComputerRecords::identificationKind(model, 1), 7)));
    return data;
}

// The sample stream as the computer sends it: frames of 235 bytes, then the
// end marker.
void feedSamples(KelvoData& data, const QByteArray& stream)
{
    data.clearSamples();
    for (qsizetype at = 0; at < stream.size(); at += 235) {
        const QByteArray part = stream.mid(at, 235);
        data.processSamples(KelvoData::recordBuffer(Fullsamples, part), quint16(part.size() + 1));
    }
    data.processSamples(KelvoData::recordBuffer(Fullsamples, {}), 1);
}

bool layoutB(int model, int sampleVersion)
{
    return model == ComputerModel::Pelagon && sampleVersion >= 3;
}

} // namespace

class TestRecordRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void logbooks_data();
    void logbooks();
    void identification_data();
    void identification();
    void serialNumbers();
    void settingsAndSmallRecords();
};

void TestRecordRoundTrip::logbooks_data()
{
    QTest::addColumn<int>("model");
    QTest::newRow("Kelvo") << int(ComputerModel::Kelvo);
    QTest::newRow("Pelagon") << int(ComputerModel::Pelagon);
    QTest::newRow("Brix") << int(ComputerModel::Brix);
}

void TestRecordRoundTrip::logbooks()
{
    QFETCH(int, model);
    const auto m = ComputerModel::ComputerModelIn(model);
    LogbookOptions options;
    options.model = m;
    options.diveCount = 14;
    options.seed = 31;
    KelvoData data = computerOf(m);
    QCOMPARE(int(data.computerModel()), model);
    for (const SimulatedDive& d : SimulatedLogbook::generate(options)) {
        const QString where = QStringLiteral("dive %1, header %2, samples %3")
                                  .arg(d.diveNumber).arg(d.headerVersion).arg(d.sampleVersion);
        data.processLogbook(KelvoData::recordBuffer(Logbook, ComputerRecords::logbookHeader(d, m)));
        const PelagonDiveHeader h = data.diveHeaders().constLast();
        QVERIFY2(h.diveNumber == d.diveNumber, qPrintable(where));
        QCOMPARE(h.beginTime, d.beginTime);
        QCOMPARE(h.endTime, d.endTime);
        QCOMPARE(h.samplePeriod, d.samplePeriod);
        QCOMPARE(h.sampleCount, quint32(d.samples.size()));
        QCOMPARE(h.maxDepth, d.maxDepthDm / 10.0);
        QCOMPARE(h.avgDepth, d.avgDepthDm / 10.0);
        QCOMPARE(h.minTemperature, double(d.minTemperature));
        QCOMPARE(h.maxTemperature, double(d.maxTemperature));
        QCOMPARE(h.divemode, d.divemode);
        QCOMPARE(h.gfLow, d.gfLow);
        QCOMPARE(h.gfHigh, d.gfHigh);
        QCOMPARE(h.surfacePressure, d.surfacePressure);
        QCOMPARE(h.density, quint8(d.waterDensity < 1020 ? 1 : 0));
        QCOMPARE(h.gasEnabled, d.gasEnabled);
        for (int i = 0; i < d.headerGasCount(); ++i) {
            QCOMPARE(h.gasPO2[std::size_t(i)], d.gasO2[std::size_t(i)]);
            QCOMPARE(h.gasPHe[std::size_t(i)], d.gasHe[std::size_t(i)]);
        }
        QCOMPARE(h.setpoint, d.setpoint);
        QCOMPARE(h.diverN2, d.diverN2);
        QCOMPARE(h.diverHe, d.diverHe);
        QCOMPARE(h.ndl, d.ndl);
        QCOMPARE(h.deepestStop, d.deepestStop);
        QCOMPARE(h.totalDecoTime, double(d.totalDecoTime));
        QCOMPARE(h.ascentTime, double(d.ascentTime));
        QCOMPARE(h.cnsMax, d.cnsMax);
        QCOMPARE(h.pO2Max, d.pO2Max);
        QCOMPARE(h.otu, d.otu);
        QCOMPARE(h.iss, d.iss);
        if (m == ComputerModel::Pelagon && d.headerVersion >= 4)
            QCOMPARE(h.ocdivemode, quint8(d.ocDiveMode ? 1 : 0));

        feedSamples(data, ComputerRecords::samples(d, m));
        const QList<DiveSample>& samples = data.samples();
        QVERIFY2(samples.size() == d.samples.size(), qPrintable(where));
        const bool b = layoutB(model, d.sampleVersion);
        for (int i = 0; i < samples.size(); ++i) {
            const SimulatedSample& sent = d.samples[i];
            const DiveSample& got = samples[i];
            QCOMPARE(got.version, quint16(d.sampleVersion));
            QCOMPARE(got.depth & 0xFFF, int(sent.depthDm));
            QCOMPARE(got.gasNumber(), int(sent.gas));
            QCOMPARE(got.flags & 1, b && sent.closedCircuit ? 1 : 0);
            QCOMPARE(got.setpoint & 3, int(sent.setpoint));
            QCOMPARE(got.temperature, sent.temperature);
            const int code = got.ceilingCode & 0xFFF;
            if (sent.ceilingDm > 0)
                QCOMPARE(code, int(sent.ceilingDm));
            else
                QCOMPARE(code, (-int(sent.ndlMinutes)) & 0xFFF);
            if (d.sampleVersion >= 1)
                QCOMPARE(got.battery, sent.battery);
            const bool tank = m == ComputerModel::Kelvo ? d.sampleVersion >= 3 : d.sampleVersion >= 2;
            QCOMPARE(got.tankPressure, tank ? sent.tankPressure : quint16(0));
            const bool gf = b || (m == ComputerModel::Kelvo && d.sampleVersion >= 3);
            QCOMPARE(got.gfLow, gf ? sent.gfLow : quint8(0));
            QCOMPARE(got.gfHigh, gf ? sent.gfHigh : quint8(0));
        }
    }
    QCOMPARE(data.diveHeaders().size(), 14);
}

void TestRecordRoundTrip::identification_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("bootloader");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("mode");
    QTest::newRow("Kelvo normal") << int(ComputerModel::Kelvo) << false << 11 << int(CurrentMode::Normal);
    QTest::newRow("Pelagon normal") << int(ComputerModel::Pelagon) << false << 21 << int(CurrentMode::Normal);
    QTest::newRow("Pelagon bootloader") << int(ComputerModel::Pelagon) << true << 22 << int(CurrentMode::BootLoader);
    QTest::newRow("Brix bootloader") << int(ComputerModel::Brix) << true << 32 << int(CurrentMode::BootLoader);
}

void TestRecordRoundTrip::identification()
{
    QFETCH(int, model);
    QFETCH(bool, bootloader);
    QFETCH(int, kind);
    QFETCH(int, mode);
    const quint8 k = ComputerRecords::identificationKind(ComputerModel::ComputerModelIn(model), bootloader ? 2 : 1);
    QCOMPARE(int(k), kind);
    KelvoData data;
    data.processIdentification(
        KelvoData::recordBuffer(Identification, ComputerRecords::identification(0x01040262, k, 0x01020061)));
    QCOMPARE(int(data.computerModel()), model);
    QCOMPARE(int(data.currentMode()), mode);
    QCOMPARE(data.firmwareVersionStr(), QStringLiteral("1.4.2.b"));
    if (model != ComputerModel::Kelvo)
        QCOMPARE(data.bootloaderVersionStr(), QStringLiteral("1.2.0.a"));
}

void TestRecordRoundTrip::serialNumbers()
{
    KelvoData current = computerOf(ComputerModel::Pelagon);
    current.processSerialNumber(
        KelvoData::recordBuffer(Serialnumber, ComputerRecords::serialNumber(0x00A1B2C3, 0x17, 0x20240601)));
    QCOMPARE(current.serialNumber(), QStringLiteral("00A1B2C3-00000017-20240601"));

    // An older computer: kind 0, record version 0, the address-like form.
    KelvoData legacy;
    legacy.processIdentification(KelvoData::recordBuffer(Identification, ComputerRecords::identification(1, 0, 0)));
    QCOMPARE(int(legacy.recordVersion()), 0);
    legacy.processSerialNumber(KelvoData::recordBuffer(
        Serialnumber, ComputerRecords::legacySerialNumber({0x10, 0x32, 0x54, 0x76, 0x98, 0xBA}, 'P')));
    QCOMPARE(legacy.serialNumber(), QStringLiteral("ba98-7654-3210-P"));
}

void TestRecordRoundTrip::settingsAndSmallRecords()
{
    KelvoData data = computerOf(ComputerModel::Kelvo);
    SimulatedSettings settings;
    settings.family = ComputerModel::Kelvo;
    settings.waterType = 2;
    settings.surfacePressure = 987;
    settings.gasO2 = {21, 32, 50, 0, 0, 0, 0, 0, 0, 0, 0, 18};
    settings.gasHe = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 45};
    settings.name = "Lagon bleu";
    settings.batteryType = 2;
    for (const int version : {0, 12, 13}) {
        settings.version = quint8(version);
        data.processComputer(KelvoData::recordBuffer(Computer_new, ComputerRecords::settings(settings)), true);
        QCOMPARE(data.config().waterType, quint8(2));
        QCOMPARE(data.config().getDensity(), 1.02);
        QCOMPARE(data.config().surfacePressure, quint16(987));
        QCOMPARE(data.config().gases[2].o2, quint8(50));
        QCOMPARE(data.config().gases[11].he, quint8(version >= 13 ? 45 : 0));
        QCOMPARE(data.computer().nameText(), QStringLiteral("Lagon bleu"));
        QCOMPARE(data.computer().getBatteryStr(), QStringLiteral("Lion36"));
    }

    data.processTime(KelvoData::recordBuffer(Time, ComputerRecords::time(1717225200)));
    QCOMPARE(data.computerTime(), qint64(1717225200));
    data.processSensors(KelvoData::recordBuffer(Sensors, ComputerRecords::sensors(3020, 0xFF6)));
    QCOMPARE(data.pamb(), quint32(3020));
    QCOMPARE(data.dstop(), quint16(0xFF6));
    data.processSimulationParams(
        KelvoData::recordBuffer(SimulParams, ComputerRecords::simulationParameters(1005, 2500, 1025)));
    QCOMPARE(data.psurf(), quint32(1005));
    QCOMPARE(data.density(), quint16(1025));
    std::array<float, 16> n2{};
    n2.fill(0.79f);
    data.processDiver(KelvoData::recordBuffer(Diver, ComputerRecords::diver(n2, {}, 0.25f)));
    QCOMPARE(data.diverN2()[15], 0.79f);
    QCOMPARE(data.diverCns(), 0.25f);
    DeleteDivesResult deleted;
    data.processDeleteDives(KelvoData::recordBuffer(DeleteLastDive, ComputerRecords::deleteResult(1, 41)), deleted);
    QCOMPARE(deleted.second, quint32(41));
    const QByteArray gas = ComputerRecords::gas(1, {4, 0.21f, 0.35f});
    data.processGetGases(KelvoData::recordBuffer(GetGases, gas), quint16(gas.size() + 1));
    QCOMPARE(data.config().diluents[4].o2, quint8(21));
    QCOMPARE(data.config().diluents[4].he, quint8(35));
    const QByteArray battery = ComputerRecords::batteryEntries({{0x00100F10u, 0x80000000u | (5u << 15) | 9u},
                                                                {0xFFFFFFFFu, 0},
                                                                {0x80000000u | (12u << 19) | 0x123u, 0}});
    data.processBatteryInformation(KelvoData::recordBuffer(BatteryInformation, battery), quint16(battery.size() + 1));
    QCOMPARE(data.batteryInfo().size(), 2);
    QCOMPARE(data.batteryInfo().at(0).kind, quint32(1));
    QCOMPARE(data.batteryInfo().at(0).value20, quint32(0x00F10));
    QCOMPARE(data.batteryInfo().at(0).value2, quint32(1));
    QCOMPARE(data.batteryInfo().at(0).second12, quint32(5));
    QCOMPARE(data.batteryInfo().at(0).second15, quint32(9));
    QCOMPARE(data.batteryInfo().at(1).value12, quint32(0x123));
    QCOMPARE(data.batteryInfo().at(1).offsetValue, 2);
    data.processSyslogBin(KelvoData::recordBuffer(SyslogBin, ComputerRecords::syslogBin(99, 3, 4, 5)));
    QCOMPARE(data.syslogBin().constLast().value1, quint32(4));
}

QTEST_GUILESS_MAIN(TestRecordRoundTrip)
#include "tst_recordroundtrip.moc"
