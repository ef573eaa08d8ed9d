// The decoders of identification, serial number, computer record, small
// records and battery records, from hand-assembled payloads.

#include "corvane/protocol/kelvodata.h"

#include "recordbytes.h"

#include <QTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(CurrentMode::CurrentModeIn)

namespace {

KelvoData identified(int kind, quint32 bootloader = 0)
{
    KelvoData data;
    data.processIdentification(bufferOf(PelagonCommand::Identification, Bytes().u32(0x01040262).u8(kind).u32(bootloader)));
    return data;
}

QByteArray name32(const QByteArray& text)
{
    return text + QByteArray(32 - text.size(), '\0');
}

} // namespace

class TestKelvoData : public QObject
{
    Q_OBJECT

private slots:
    void identification_data();
    void identification();
    void serialNumber_data();
    void serialNumber();
    void computerRecord();
    void waterAndBattery();
    void smallRecords();
    void gasTables();
    void texts();
    void batteryRecords();
};

void TestKelvoData::identification_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("version");
    QTest::addColumn<CurrentMode::CurrentModeIn>("mode");
    QTest::addColumn<QString>("bootloader");
    QTest::newRow("Kelvo 11") << 11 << int(ComputerModel::Kelvo) << 1 << CurrentMode::Normal << QString();
    QTest::newRow("Kelvo 20") << 20 << int(ComputerModel::Kelvo) << 10 << CurrentMode::Unknown << QString();
    QTest::newRow("Pelagon 21") << 21 << int(ComputerModel::Pelagon) << 1 << CurrentMode::Normal << "2.0.1.a";
    QTest::newRow("Pelagon 30") << 30 << int(ComputerModel::Pelagon) << 10 << CurrentMode::Unknown << "2.0.1.a";
    QTest::newRow("Brix 32") << 32 << int(ComputerModel::Brix) << 2 << CurrentMode::BootLoader << "2.0.1.a";
    QTest::newRow("old kind 5") << 5 << int(ComputerModel::Unknown) << 5 << CurrentMode::Unknown << QString();
    QTest::newRow("old kind 2") << 2 << int(ComputerModel::Unknown) << 2 << CurrentMode::BootLoader << QString();
}

void TestKelvoData::identification()
{
    QFETCH(int, kind);
    QFETCH(int, model);
    QFETCH(int, version);
    QFETCH(CurrentMode::CurrentModeIn, mode);
    QFETCH(QString, bootloader);
    const KelvoData data = identified(kind, 0x02000161);
    QCOMPARE(int(data.computerModel()), model);
    QCOMPARE(int(data.recordVersion()), version);
    QCOMPARE(data.currentMode(), mode);
    QCOMPARE(data.firmwareVersion(), 0x01040262u);
    QCOMPARE(data.firmwareVersionStr(), QStringLiteral("1.4.2.b"));
    QCOMPARE(data.bootloaderVersionStr(), bootloader);

    // An old kind byte leaves the model of an earlier identification.
    KelvoData again = identified(21);
    again.processIdentification(bufferOf(PelagonCommand::Identification, Bytes().u32(0).u8(5)));
    QCOMPARE(int(again.computerModel()), int(ComputerModel::Pelagon));
    QCOMPARE(int(again.recordVersion()), 5);
}

void TestKelvoData::serialNumber_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("serial");
    QTest::newRow("three words") << 21 << Bytes().u32(0x0012abcd).u32(0xdeadbeef).u32(1).bytes()
                                 << "0012ABCD-DEADBEEF-00000001";
    QTest::newRow("version 0") << 0 << QByteArray::fromHex("0a0b0c0d0e0f4b") << "0f0e-0d0c-0b0a-K";
}

void TestKelvoData::serialNumber()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, payload);
    QFETCH(QString, serial);
    KelvoData data = identified(kind);
    data.processSerialNumber(bufferOf(PelagonCommand::Serialnumber, payload));
    QCOMPARE(data.serialNumber(), serial);
}

void TestKelvoData::computerRecord()
{
    // Current layout, version 13: twelve gases.
    Bytes current;
    current.u16(0x010D).u8(1).u16(0x1234).u8(1).u8(2).u8(3).u8(4).u16(0x5566).u8(2).u16(1013).u8(7).u8(8);
    for (int i = 9; i <= 16; ++i)
        current.u8(i);
    current.u8(0xEE);
    for (int i = 0; i < 12; ++i)
        current.u8(21 + i).u8(i == 11 ? 230 : i);
    current.u8(0x77).u16(700).u16(1200).u16(1400).raw(name32("Kelvo Sport")).u8(1).raw("XYZ");
    KelvoData data = identified(11);
    data.processComputer(bufferOf(PelagonCommand::Computer_new, current), true);
    QCOMPARE(int(data.config().firstSetting), 0x1234);
    QCOMPARE(int(data.config().commonWord), 0x5566);
    QCOMPARE(int(data.config().waterType), 2);
    QCOMPARE(int(data.config().surfacePressure), 1013);
    QCOMPARE(int(data.config().familySettings[7]), 16);
    QCOMPARE(int(data.config().gases[11].o2), 32);
    QCOMPARE(int(data.config().gases[11].he), 100); // clamped
    QCOMPARE(int(data.config().settingAfterGases), 0x77);
    QCOMPARE(int(data.config().setpoints[2]), 1400);
    QCOMPARE(data.computer().nameText(), QStringLiteral("Kelvo Sport"));
    QCOMPARE(data.computer().getBatteryStr(), QStringLiteral("NiMH"));
    QVERIFY(data.computer().rest.startsWith("XYZ"));

    // Legacy layout: no version word, eight gases, the name eight pairs earlier.
    Bytes legacy;
    legacy.u16(0x0042).u8(1).u8(2).u8(3).u8(4).u16(0x5566).u8(0).u16(980).u8(7).u8(8);
    legacy.zeros(8).u8(0);
    for (int i = 0; i < 8; ++i)
        legacy.u8(50).u8(0);
    legacy.u8(0).zeros(6).raw(name32("Old")).u8(2);
    KelvoData old = identified(11);
    old.processComputer(bufferOf(PelagonCommand::Computer, legacy), false);
    QCOMPARE(int(old.config().firstSetting), 0x42);
    QCOMPARE(int(old.config().surfacePressure), 980);
    QCOMPARE(int(old.config().gases[7].o2), 50);
    QCOMPARE(int(old.config().gases[8].o2), 0);
    QCOMPARE(old.computer().nameText(), QStringLiteral("Old"));
    QCOMPARE(old.computer().getBatteryStr(), QStringLiteral("Lion36"));

    // The newer families keep their record after the common block.
    KelvoData pelagon = identified(21);
    pelagon.processComputer(bufferOf(PelagonCommand::Computer_new,
                                     Bytes().u16(0x0105).u8(2).u16(1).zeros(11).raw("rest of record")), true);
    QVERIFY(pelagon.computer().rest.startsWith("rest of record"));
}

void TestKelvoData::waterAndBattery()
{
    BleConfig config;
    config.surfacePressure = 1013;
    QCOMPARE(config.getDensity(), 1.03);
    QCOMPARE(config.pressureAtDepth(10.0f), float(1.03 * 9.80665 * 10 / 100 + 1.013));
    QCOMPARE(config.depthAtPressure(1.013f), 0.0f);
    QCOMPARE(config.depthAtPressure(0.5f), 0.0f);
    QVERIFY(std::abs(config.depthAtPressure(config.pressureAtDepth(42.0f)) - 42.0f) < 1e-3f);
    config.waterType = 2;
    QCOMPARE(config.getDensity(), 1.02);
    config.waterType = 1;
    QCOMPARE(config.getDensity(), 1.00);
    config.waterType = 7;
    QCOMPARE(config.getDensity(), 1.00);

    BleComputer computer;
    const QStringList names{"Alcaline", "NiMH", "Lion36", "Unknown", "Unknown"};
    for (int type = 0; type < names.size(); ++type) {
        computer.batteryType = quint8(type == 4 ? 255 : type);
        QCOMPARE(computer.getBatteryStr(), names[type]);
    }
    computer.name.fill('A');
    QCOMPARE(computer.nameText(), QString(32, QLatin1Char('A')));
}

void TestKelvoData::smallRecords()
{
    KelvoData data = identified(21);
    data.processTime(bufferOf(PelagonCommand::Time, Bytes().u64(quint64(-5))));
    QCOMPARE(data.computerTime(), qint64(-5));
    data.processSensors(bufferOf(PelagonCommand::Sensors, Bytes().u8(9).u32(101300).u16(3)));
    QCOMPARE(data.pamb(), 101300u);
    QCOMPARE(int(data.dstop()), 3);
    data.processSimulationParams(bufferOf(PelagonCommand::SimulParams, Bytes().u32(1013).u32(2000).u16(1025)));
    QCOMPARE(data.psurf(), 1013u);
    QCOMPARE(data.pamb(), 2000u);
    QCOMPARE(int(data.density()), 1025);

    Bytes diver;
    for (int i = 0; i < 16; ++i)
        diver.f32(i == 3 ? std::numeric_limits<float>::quiet_NaN() : 0.75f + i);
    for (int i = 0; i < 16; ++i)
        diver.f32(i == 0 ? std::numeric_limits<float>::infinity() : 0.5f * i);
    diver.f32(0.25f);
    data.processDiver(bufferOf(PelagonCommand::Diver, diver));
    QCOMPARE(data.diverN2()[2], 2.75f);
    QCOMPARE(data.diverN2()[3], 0.0f);
    QCOMPARE(data.diverHe()[0], 0.0f);
    QCOMPARE(data.diverHe()[15], 7.5f);
    QCOMPARE(data.diverCns(), 0.25f);

    DeleteDivesResult deleted;
    data.processDeleteDives(bufferOf(PelagonCommand::EraseDives, Bytes().u32(3).u32(7)), deleted);
    QCOMPARE(deleted.first, 3u);
    QCOMPARE(deleted.second, 7u);
    data.processEraseDivesFlash(bufferOf(PelagonCommand::EraseDivesFlash, Bytes().u8(1)));
    QVERIFY(data.lastEraseFlashSuccess());
    data.processEraseDivesFlash(bufferOf(PelagonCommand::EraseDivesFlash, Bytes().u8(2)));
    QVERIFY(!data.lastEraseFlashSuccess());

    data.processBootloaderVersion(bufferOf(PelagonCommand::BootloaderVersion, Bytes().u32(0)));
    QCOMPARE(data.bootloaderVersionStr(), QStringLiteral("Unknown"));
    data.processBootloaderVersion(bufferOf(PelagonCommand::BootloaderVersion, Bytes().u32(0x01020341)));
    QCOMPARE(data.bootloaderVersionStr(), QStringLiteral("1.2.3.A"));
    QCOMPARE(KelvoData::firmwareVersionToString(0), QStringLiteral("0.0.0.") + QChar(0));

    data.processSyslogBin(bufferOf(PelagonCommand::SyslogBin, Bytes().u64(1700000000).u8(4).u32(11).u32(22)));
    QCOMPARE(data.syslogBin().size(), 1);
    QCOMPARE(data.syslogBin()[0].time, quint64(1700000000));
    QCOMPARE(int(data.syslogBin()[0].type), 4);
    QCOMPARE(data.syslogBin()[0].value2, 22u);
}

void TestKelvoData::gasTables()
{
    KelvoData data;
    auto gas = [&data](int selector, int number, float o2, float he, int payload = 18) {
        const QByteArray bytes = Bytes().u8(selector).u8(number).zeros(8).f32(o2).f32(he).bytes().left(payload);
        data.processGetGases(bufferOf(PelagonCommand::GetGases, bytes), quint16(bytes.size() + 1));
    };
    gas(0, 4, 0.32f, 0.0f);
    gas(1, 2, 0.10f, 0.70f);
    gas(0, 11, 1.5f, -0.2f);                                     // clamped
    gas(0, 12, 0.5f, 0.0f);                                      // no such gas
    gas(0, 255, 0.5f, 0.0f);
    gas(0, 5, std::numeric_limits<float>::quiet_NaN(), 0.0f);    // rejected
    gas(0, 6, 0.5f, 0.25f, 14);                                  // He missing: read as 0
    QCOMPARE(int(data.config().gases[4].o2), 32);
    QCOMPARE(int(data.config().diluents[2].o2), 10);
    QCOMPARE(int(data.config().diluents[2].he), 70);
    QCOMPARE(int(data.config().gases[2].o2), 0);
    QCOMPARE(int(data.config().gases[11].o2), 100);
    QCOMPARE(int(data.config().gases[11].he), 0);
    QCOMPARE(int(data.config().gases[5].o2), 0);
    QCOMPARE(int(data.config().gases[6].o2), 50);
    QCOMPARE(int(data.config().gases[6].he), 0);
}

void TestKelvoData::texts()
{
    KelvoData data;
    data.processOwner(bufferOf(PelagonCommand::Owner, QByteArray("Zoé Marin\0junk", sizeof("Zoé Marin\0junk") - 1)));
    QCOMPARE(data.owner(), QStringLiteral("Zoé Marin"));
    data.processSyslog(bufferOf(PelagonCommand::Syslog, "boot"));
    data.processSyslog(bufferOf(PelagonCommand::Syslog, "dive 12"));
    QCOMPARE(data.syslog(), QStringLiteral("boot\ndive 12\n"));
    // A text without a terminator ends with the record.
    data.processOwner(bufferOf(PelagonCommand::Owner, QByteArray(600, 'x')));
    QCOMPARE(data.owner().size(), 511);
}

void TestKelvoData::batteryRecords()
{
    const QByteArray payload = Bytes()
                                   .u32(0xA91A5ABC).u32(0xD091C567) // kind 0, second word present
                                   .u32(0xFFFFFFFF).u32(0x12345678) // skipped
                                   .u32(0x20312345).u32(0)          // kind 1, no second word
                                   .u32(0x80000001).u8(1)           // cut: not decoded
                                   .bytes();
    KelvoData data;
    data.processBatteryInformation(bufferOf(PelagonCommand::BatteryInformation, payload), quint16(payload.size() + 1));
    const QList<BatteryInfoRecord> records = data.batteryInfo();
    QCOMPARE(records.size(), 2);
    const BatteryInfoRecord& a = records[0];
    QCOMPARE(a.kind, 0u);
    QCOMPARE(a.value12, 0xABCu);
    QCOMPARE(a.value4, 5u);
    QCOMPARE(QList<bool>({a.flag16, a.flag17, a.flag18}), QList<bool>({false, true, false}));
    QCOMPARE(a.offsetValue, 25);
    QCOMPARE(a.scaledValue, 4000u);
    QVERIFY(a.secondPresent);
    QCOMPARE(a.second15, 0x4567u);
    QCOMPARE(a.second12, 0x123u);
    QCOMPARE(a.second2, 2u);
    QCOMPARE(QList<bool>({a.secondFlag29, a.secondFlag30}), QList<bool>({false, true}));
    const BatteryInfoRecord& b = records[1];
    QCOMPARE(b.kind, 1u);
    QCOMPARE(b.value20, 0x12345u);
    QCOMPARE(b.value2, 3u);
    QCOMPARE(QList<bool>({b.flag28, b.flag29}), QList<bool>({false, true}));
    QVERIFY(!b.secondPresent);
    QCOMPARE(b.second15, 0u);

    // Fewer than one entry: nothing.
    data.clearBatteryInfo();
    data.processBatteryInformation(bufferOf(PelagonCommand::BatteryInformation, payload.left(7)), 8);
    QVERIFY(data.batteryInfo().isEmpty());
}

QTEST_GUILESS_MAIN(TestKelvoData)
#include "tst_kelvodata.moc"
