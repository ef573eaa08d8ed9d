// Discovery: which reports enter the list, bounds, restart, the permission
// step, and the platform's agent on a machine without an adapter.

#include "corvane/ble/blescanner.h"
#include "corvane/ble/simulatedblebackend.h"
#include "corvane/ble/simulatedperipheral.h"

#include <QBluetoothAddress>
#include <QSignalSpy>
#include <QTest>

#include <climits>

namespace {

QBluetoothDeviceInfo record(const QString& address, const QString& name, qint16 rssi, bool lowEnergy = true)
{
    QBluetoothDeviceInfo info(QBluetoothAddress(address), name, 0);
    info.setCoreConfigurations(lowEnergy ? QBluetoothDeviceInfo::LowEnergyCoreConfiguration
                                         : QBluetoothDeviceInfo::BaseRateCoreConfiguration);
    info.setRssi(rssi);
    return info;
}

using Records = QList<QBluetoothDeviceInfo>;

const QString kDeniedText = QStringLiteral(
    "Autorisation Bluetooth refusée. Activez-la dans Réglages Système › Confidentialité et sécurité › Bluetooth.");
const QString kRefusedText = QStringLiteral("Autorisation Bluetooth refusée.");

} // namespace

Q_DECLARE_METATYPE(BlePermission)

class TestBleScanner : public QObject
{
    Q_OBJECT

private slots:
    void deviceInfoRecords_data();
    void deviceInfoRecords();
    void scanKeepsFirstSightingsOfNamedLowEnergyDevices_data();
    void scanKeepsFirstSightingsOfNamedLowEnergyDevices();
    void deviceAtOutsideTheListIsInvalid_data();
    void deviceAtOutsideTheListIsInvalid();
    void restartStopsTheRunningScanAndEmptiesTheList();
    void scanTimeOut();
    void permissionStep_data();
    void permissionStep();
    void agentErrorEndsTheScan();
    void platformAgentWithoutAdapterReportsAnError();
};

void TestBleScanner::deviceInfoRecords_data()
{
    QTest::addColumn<BleDeviceInfo>("info");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("rssi");
    QTest::addColumn<bool>("valid");

    QTest::newRow("default") << BleDeviceInfo() << QString() << QString() << 0 << false;
    QTest::newRow("from platform record")
        << BleDeviceInfo(record("aa:bb:cc:00:11:22", "Kelvo 12", -71)) << "AA:BB:CC:00:11:22" << "Kelvo 12"
        << -71 << true;
    QTest::newRow("from stored address, normalised")
        << BleDeviceInfo::fromAddress("aa:bb:cc:00:11:22", "Kelvo") << "AA:BB:CC:00:11:22" << "Kelvo" << 0 << true;
    // Not an address: QBluetoothAddress makes it the null address, still a record.
    QTest::newRow("from garbage address")
        << BleDeviceInfo::fromAddress("kelvo", "Kelvo") << "00:00:00:00:00:00" << "Kelvo" << 0 << true;
}

void TestBleScanner::deviceInfoRecords()
{
    QFETCH(BleDeviceInfo, info);
    QTEST(info.address(), "address");
    QTEST(info.name(), "name");
    QTEST(int(info.rssi()), "rssi");
    QTEST(info.isValid(), "valid");
    if (info.isValid())
        QCOMPARE(info.deviceInfo().address().toString(), info.address());
}

void TestBleScanner::scanKeepsFirstSightingsOfNamedLowEnergyDevices_data()
{
    QTest::addColumn<Records>("reports");
    QTest::addColumn<QStringList>("expected"); // "address name rssi", in list order

    QTest::newRow("order of first sighting")
        << Records{record("00:00:00:00:00:03", "C", -50), record("00:00:00:00:00:01", "A", -60),
                   record("00:00:00:00:00:02", "B", -70)}
        << QStringList{"00:00:00:00:00:03 C -50", "00:00:00:00:00:01 A -60", "00:00:00:00:00:02 B -70"};
    QTest::newRow("second sighting changes nothing")
        << Records{record("00:00:00:00:00:01", "Kelvo", -90), record("00:00:00:00:00:01", "Other", -30)}
        << QStringList{"00:00:00:00:00:01 Kelvo -90"};
    QTest::newRow("nameless and classic devices never enter")
        << Records{record("00:00:00:00:00:01", "", -50), record("00:00:00:00:00:02", "Headset", -50, false),
                   record("00:00:00:00:00:03", "Kelvo", -50)}
        << QStringList{"00:00:00:00:00:03 Kelvo -50"};
    QTest::newRow("nothing around") << Records{} << QStringList{};
}

void TestBleScanner::scanKeepsFirstSightingsOfNamedLowEnergyDevices()
{
    QFETCH(Records, reports);
    QFETCH(QStringList, expected);
    SimulatedBleBackend radio;
    for (const QBluetoothDeviceInfo& r : reports)
        radio.addAdvertisement(r);
    BleScanner scanner(&radio, nullptr);
    QSignalSpy found(&scanner, &BleScanner::deviceFound);
    QSignalSpy changed(&scanner, &BleScanner::devicesChanged);
    QSignalSpy finished(&scanner, &BleScanner::scanFinished);
    QSignalSpy scanningChanged(&scanner, &BleScanner::scanningChanged);

    scanner.startScan(1);
    QVERIFY(scanner.isScanning());
    QVERIFY(finished.wait(2000));

    QStringList listed;
    for (const BleDeviceInfo& d : scanner.devices())
        listed << QStringLiteral("%1 %2 %3").arg(d.address(), d.name()).arg(d.rssi());
    QCOMPARE(listed, expected);
    QCOMPARE(found.count(), expected.size());
    for (int i = 0; i < found.count(); ++i)
        QCOMPARE(found.at(i).at(0).value<BleDeviceInfo>().address(), scanner.deviceAt(i).address());
    QCOMPARE(changed.count(), 1 + expected.size()); // the emptying, then one per device
    QCOMPARE(scanner.deviceCount(), expected.size());
    QCOMPARE(scanner.property("deviceCount").toInt(), expected.size());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(scanningChanged.count(), 2);
    QVERIFY(!scanner.isScanning());

    scanner.clearDevices();
    QCOMPARE(scanner.deviceCount(), 0);
    QCOMPARE(changed.count(), 2 + expected.size());
}

void TestBleScanner::deviceAtOutsideTheListIsInvalid_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("valid");
    QTest::newRow("-1") << -1 << false;
    QTest::newRow("first") << 0 << true;
    QTest::newRow("last") << 1 << true;
    QTest::newRow("count") << 2 << false;
    QTest::newRow("INT_MIN") << INT_MIN << false;
    QTest::newRow("INT_MAX") << INT_MAX << false;
}

void TestBleScanner::deviceAtOutsideTheListIsInvalid()
{
    QFETCH(int, index);
    SimulatedBleBackend radio;
    radio.addAdvertisement(record("00:00:00:00:00:01", "A", -50));
    radio.addAdvertisement(record("00:00:00:00:00:02", "B", -50));
    BleScanner scanner(&radio, nullptr);
    QSignalSpy finished(&scanner, &BleScanner::scanFinished);
    scanner.startScan(1);
    QVERIFY(finished.wait(2000));
    QCOMPARE(scanner.deviceCount(), 2);
    QTEST(scanner.deviceAt(index).isValid(), "valid");
}

void TestBleScanner::restartStopsTheRunningScanAndEmptiesTheList()
{
    SimulatedBleBackend radio;
    radio.setPacedScan(true);
    SimulatedPeripheral computer;
    radio.addPeripheral(&computer);
    radio.addAdvertisement(record("00:00:00:00:00:02", "Other", -80));
    BleScanner scanner(&radio, nullptr);
    QSignalSpy found(&scanner, &BleScanner::deviceFound);
    QSignalSpy finished(&scanner, &BleScanner::scanFinished);

    scanner.startScan(60);
    QVERIFY(found.wait(2000));
    QCOMPARE(scanner.deviceCount(), 1);

    QSignalSpy changed(&scanner, &BleScanner::devicesChanged);
    scanner.startScan(60);
    QVERIFY(scanner.isScanning());
    QCOMPARE(scanner.deviceCount(), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(finished.count(), 1); // the stopped scan's end

    QTRY_COMPARE_WITH_TIMEOUT(scanner.deviceCount(), 2, 3000);
    QCOMPARE(scanner.deviceAt(0).name(), computer.name());
    scanner.stopScan();
    QCOMPARE(finished.count(), 2);
    QVERIFY(!scanner.isScanning());
    QCOMPARE(scanner.deviceCount(), 2); // the list survives the end of a scan
}

void TestBleScanner::scanTimeOut()
{
    SimulatedBleBackend radio;
    BleScanner scanner(&radio, nullptr);
    scanner.startScan();
    QCOMPARE(radio.lastScanTimeoutMs(), 10000);
    scanner.startScan(3);
    QCOMPARE(radio.lastScanTimeoutMs(), 3000);

    // A paced scan ends at its time-out by itself.
    scanner.stopScan();
    radio.setPacedScan(true);
    QSignalSpy finished(&scanner, &BleScanner::scanFinished);
    scanner.startScan(0);
    QVERIFY(scanner.isScanning());
    scanner.stopScan();
    QCOMPARE(finished.count(), 1);
}

void TestBleScanner::permissionStep_data()
{
    QTest::addColumn<BlePermission>("now");
    QTest::addColumn<BlePermission>("answer");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("requests");

    QTest::newRow("granted") << BlePermission::Granted << BlePermission::Granted << QString() << 0;
    QTest::newRow("asked and granted") << BlePermission::Undetermined << BlePermission::Granted << QString() << 1;
    QTest::newRow("asked and refused") << BlePermission::Undetermined << BlePermission::Denied << kRefusedText << 1;
    QTest::newRow("denied") << BlePermission::Denied << BlePermission::Granted << kDeniedText << 0;
}

void TestBleScanner::permissionStep()
{
    QFETCH(BlePermission, now);
    QFETCH(BlePermission, answer);
    QFETCH(QString, error);
    SimulatedBleBackend radio;
    radio.addAdvertisement(record("00:00:00:00:00:01", "Kelvo", -50));
    radio.setPermission(now, answer);
    BleScanner scanner(&radio, nullptr);
    QSignalSpy errors(&scanner, &BleScanner::scanError);
    QSignalSpy finished(&scanner, &BleScanner::scanFinished);

    scanner.startScan(1);
    if (error.isEmpty()) {
        QVERIFY(finished.wait(2000));
        QCOMPARE(scanner.deviceCount(), 1);
        QCOMPARE(errors.count(), 0);
    } else {
        QTRY_COMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), error);
        QCOMPARE(scanner.deviceCount(), 0);
        QCOMPARE(finished.count(), 0);
    }
    QTEST(radio.permissionRequests(), "requests");
    QVERIFY(!scanner.isScanning());
}

void TestBleScanner::agentErrorEndsTheScan()
{
    SimulatedBleBackend radio;
    radio.addAdvertisement(record("00:00:00:00:00:01", "Kelvo", -50));
    BleScanner scanner(&radio, nullptr);
    QSignalSpy finished(&scanner, &BleScanner::scanFinished);
    scanner.startScan(1);
    QVERIFY(finished.wait(2000));

    radio.setScanFailure(QBluetoothDeviceDiscoveryAgent::PoweredOffError, QStringLiteral("Device is powered off"));
    QSignalSpy errors(&scanner, &BleScanner::scanError);
    QSignalSpy scanningChanged(&scanner, &BleScanner::scanningChanged);
    scanner.startScan(1);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Device is powered off"));
    QVERIFY(!scanner.isScanning());
    QCOMPARE(scanningChanged.count(), 2); // on, then off again
}

void TestBleScanner::platformAgentWithoutAdapterReportsAnError()
{
    BleScanner scanner;
    QSignalSpy errors(&scanner, &BleScanner::scanError);
    scanner.startScan(1);
    // Without an adapter the platform fails inside start(); a machine that has
    // one ends its scan instead. Either way the scanner is idle again.
    QSignalSpy finished(&scanner, &BleScanner::scanFinished);
    QTRY_VERIFY_WITH_TIMEOUT(errors.count() + finished.count() > 0, 5000);
    QTRY_VERIFY(!scanner.isScanning());
    if (!errors.isEmpty())
        QVERIFY(!errors.at(0).at(0).toString().isEmpty());
}

QTEST_GUILESS_MAIN(TestBleScanner)
#include "tst_blescanner.moc"
