// The GATT link on a simulated peripheral: the way to Connected, the choice
// of service and characteristics, notifications and writes both ways.

#include "blefixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace BleFixture;
using ServiceList = QList<SimulatedService>;

namespace {

SimulatedService serviceWith(const QString& uuid, const QList<SimulatedCharacteristic>& characteristics)
{
    return {QBluetoothUuid(uuid), characteristics};
}

SimulatedCharacteristic characteristic(const QString& uuid, QLowEnergyCharacteristic::PropertyTypes properties,
                                       bool cccd = true)
{
    return {QBluetoothUuid(uuid), properties, cccd};
}

const auto kNotifyWrite = QLowEnergyCharacteristic::Notify | QLowEnergyCharacteristic::Write
                          | QLowEnergyCharacteristic::WriteNoResponse;
const auto kIndicateWrite = QLowEnergyCharacteristic::Indicate | QLowEnergyCharacteristic::Write
                            | QLowEnergyCharacteristic::WriteNoResponse;

} // namespace

class TestBleDevice : public QObject
{
    Q_OBJECT

private slots:
    void nothingWithoutALink();
    void statesUpToConnected_data();
    void statesUpToConnected();
    void serviceAndCharacteristicChoice_data();
    void serviceAndCharacteristicChoice();
    void notificationsPassAsTheyCame_data();
    void notificationsPassAsTheyCame();
    void writesReachThePeripheralWithinTheLinkMtu_data();
    void writesReachThePeripheralWithinTheLinkMtu();
    void writeFailures();
    void characteristicsOfDiscoveredServices();
};

void TestBleDevice::nothingWithoutALink()
{
    SimulatedBleBackend radio;
    BleDevice device(&radio, nullptr);
    QSignalSpy errors(&device, &BleDevice::error);
    QCOMPARE(device.state(), BleDeviceState::Disconnected);
    QVERIFY(!device.isConnected());
    QCOMPARE(device.mtu(), 0);
    QVERIFY(device.availableServices().isEmpty());
    QVERIFY(device.characteristicsForService(uuid(kUartService)).isEmpty());
    QVERIFY(!device.setupCharacteristics(kUartService, kUartData, kUartData));
    QCOMPARE(errors.count(), 0);
    device.disconnect(); // nothing to do, nothing said
    QCOMPARE(device.state(), BleDeviceState::Disconnected);
    QVERIFY(!device.lastDevice().isValid());
}

void TestBleDevice::statesUpToConnected_data()
{
    QTest::addColumn<int>("mtu");
    QTest::addColumn<bool>("indicate");
    QTest::newRow("mtu 0 (unknown)") << 0 << false;
    QTest::newRow("mtu 23") << 23 << false;
    QTest::newRow("mtu 185") << 185 << false;
    QTest::newRow("mtu 247") << 247 << false;
    QTest::newRow("mtu 512") << 512 << false;
    QTest::newRow("indications, mtu 247") << 247 << true;
}

void TestBleDevice::statesUpToConnected()
{
    QFETCH(int, mtu);
    QFETCH(bool, indicate);
    Link link;
    link.peripheral.setMtu(mtu);
    if (indicate)
        link.peripheral.setServices({serviceWith(kUartService, {characteristic(kUartData, kIndicateWrite)})});
    QList<int> seen;
    connect(&link.device, &BleDevice::stateChanged, this, [&] { seen << int(link.device.state()); });
    QSignalSpy nameChanged(&link.device, &BleDevice::deviceNameChanged);
    QSignalSpy connected(&link.device, &BleDevice::connected);
    QSignalSpy errors(&link.device, &BleDevice::error);

    QVERIFY(link.connectUp());
    QCOMPARE(seen, (QList<int>{BleDeviceState::Connecting, BleDeviceState::DiscoveringServices,
                               BleDeviceState::Connected}));
    QCOMPARE(connected.count(), 1);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(nameChanged.count(), 1);
    QCOMPARE(link.device.deviceName(), QStringLiteral("Kelvo Sim"));
    QCOMPARE(link.device.property("state").value<BleDeviceState::BleDeviceStateIn>(), BleDeviceState::Connected);
    QCOMPARE(link.device.lastDevice().address(), link.peripheral.address());
    QVERIFY(link.device.isConnected());
    QCOMPARE(link.device.mtu(), mtu);
    QVERIFY(link.peripheral.isSubscribed(uuid(kUartData)));
    QCOMPARE(link.device.availableServices().size(), indicate ? 1 : 2);
    QCOMPARE(link.device.availableServices().constLast(), uuid(kUartService));

    // The pipe, both ways: what the central writes arrives, what the
    // peripheral sends comes back as notifications.
    QSignalSpy written(&link.peripheral, &SimulatedPeripheral::written);
    QSignalSpy received(&link.device, &BleDevice::notificationReceived);
    QVERIFY(link.device.write(QByteArrayLiteral("\xdc\xdc\x01\x00"), QLowEnergyService::WriteWithoutResponse));
    QVERIFY(written.wait(1000));
    QCOMPARE(written.at(0).at(1).toByteArray(), QByteArrayLiteral("\xdc\xdc\x01\x00"));
    QVERIFY(link.peripheral.send(uuid(kUartData), QByteArrayLiteral("answer")));
    QVERIFY(received.wait(1000));
    QCOMPARE(received.at(0).at(0).toByteArray(), QByteArrayLiteral("answer"));
}

void TestBleDevice::serviceAndCharacteristicChoice_data()
{
    QTest::addColumn<ServiceList>("services");
    QTest::addColumn<QStringList>("asked"); // service, notify, write
    QTest::addColumn<bool>("setupResult");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("writtenTo"); // where write() lands when connected

    const ServiceList standard{SimulatedService::genericAccess(), SimulatedService::transparentUart()};
    QTest::newRow("one characteristic notifies and takes writes")
        << standard << QStringList{kUartService, kUartData, kUartData} << true << QString() << kUartData;
    QTest::newRow("upper-case uuids")
        << standard << QStringList{kUartService.toUpper(), kUartData.toUpper(), kUartData.toUpper()} << true
        << QString() << kUartData;
    QTest::newRow("separate notify and write characteristics")
        << ServiceList{SimulatedService::serialPort()} << QStringList{kSpsService, kSpsFifo, kSpsCredits} << true
        << QString() << kSpsCredits;
    QTest::newRow("wanted service absent, the first other one serves")
        << ServiceList{SimulatedService::serialPort()} << QStringList{kUartService, kSpsFifo, kSpsFifo} << true
        << QString() << kSpsFifo;
    QTest::newRow("wanted service absent, the first other one lacks them")
        << standard << QStringList{kSpsService, kSpsFifo, kSpsFifo} << true
        << "Characteristics not found in service" << QString();
    QTest::newRow("write characteristic missing")
        << standard << QStringList{kUartService, kUartData, kSpsCredits} << true
        << "Characteristics not found in service" << QString();
    QTest::newRow("invalid service uuid text falls back")
        << ServiceList{SimulatedService::transparentUart()} << QStringList{"not-a-uuid", kUartData, kUartData}
        << true << QString() << kUartData;
    QTest::newRow("no services at all") << ServiceList{} << QStringList{kUartService, kUartData, kUartData} << false
                                        << "No service found" << QString();
    QTest::newRow("notify characteristic without CCCD")
        << ServiceList{serviceWith(kUartService, {characteristic(kUartData, kNotifyWrite, false)})}
        << QStringList{kUartService, kUartData, kUartData} << true << "CCCD descriptor not found" << QString();
    QTest::newRow("neither notify nor indicate")
        << ServiceList{serviceWith(kUartService, {characteristic(kUartData, QLowEnergyCharacteristic::Write)})}
        << QStringList{kUartService, kUartData, kUartData} << true
        << "Characteristic supports neither Notify nor Indicate" << QString();
}

void TestBleDevice::serviceAndCharacteristicChoice()
{
    QFETCH(ServiceList, services);
    QFETCH(QStringList, asked);
    QFETCH(QString, error);
    QFETCH(QString, writtenTo);
    Link link;
    link.peripheral.setServices(services);
    QSignalSpy errors(&link.device, &BleDevice::error);
    QSignalSpy connected(&link.device, &BleDevice::connected);
    QVERIFY(link.discover());

    QTEST(link.device.setupCharacteristics(asked.at(0), asked.at(1), asked.at(2)), "setupResult");
    if (!error.isEmpty()) {
        QTRY_COMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), error);
        QCOMPARE(link.device.state(), BleDeviceState::DiscoveringServices); // unchanged
        QVERIFY(!connected.wait(100));
        if (error.startsWith("No service") || error.startsWith("Characteristics"))
            QVERIFY(!link.device.write("x", QLowEnergyService::WriteWithoutResponse));
        return;
    }
    QVERIFY(connected.wait(2000));
    QCOMPARE(errors.count(), 0);
    QSignalSpy written(&link.peripheral, &SimulatedPeripheral::written);
    QVERIFY(link.device.write("frame", QLowEnergyService::WriteWithoutResponse));
    QVERIFY(written.wait(1000));
    QCOMPARE(written.at(0).at(0).value<QBluetoothUuid>(), uuid(writtenTo));
}

void TestBleDevice::notificationsPassAsTheyCame_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expected"); // notificationReceived count
    QTest::newRow("empty notification dropped") << 0 << 0;
    QTest::newRow("one byte") << 1 << 1;
    QTest::newRow("244 bytes") << 244 << 1;
    QTest::newRow("512 bytes, beyond what MTU 247 carries") << 512 << 1;
}

void TestBleDevice::notificationsPassAsTheyCame()
{
    QFETCH(int, size);
    QFETCH(int, expected);
    Link link;
    QVERIFY(link.connectUp());
    QSignalSpy received(&link.device, &BleDevice::notificationReceived);
    QByteArray value(size, '\0');
    for (int i = 0; i < size; ++i)
        value[i] = char(i * 7 + 1);
    // The bytes travel shared from the peripheral to the signal: no copy on the way.
    bool shared = false;
    connect(&link.device, &BleDevice::notificationReceived, this, [&](const QByteArray& data) {
        if (data.size() == size)
            shared = data.constData() == value.constData();
    });
    QVERIFY(link.peripheral.sendNotification(uuid(kUartData), value));
    QVERIFY(link.peripheral.sendNotification(uuid(kUartData), "end")); // a marker to wait for
    QTRY_COMPARE(received.count(), expected + 1);
    QCOMPARE(shared, expected > 0);
    if (expected)
        QCOMPARE(received.at(0).at(0).toByteArray(), value);
    QCOMPARE(received.constLast().at(0).toByteArray(), QByteArray("end"));
}

void TestBleDevice::writesReachThePeripheralWithinTheLinkMtu_data()
{
    QTest::addColumn<int>("mtu");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("withResponse");
    QTest::addColumn<int>("pieces");

    QTest::newRow("mtu 23, fits") << 23 << 20 << false << 1;
    QTest::newRow("mtu 23, one byte over") << 23 << 21 << false << 2;
    QTest::newRow("mtu 0 counts as 23") << 0 << 137 << false << 7;
    QTest::newRow("mtu 185, 1000 bytes") << 185 << 1000 << false << 6;
    QTest::newRow("mtu 247, 244 bytes") << 247 << 244 << false << 1;
    QTest::newRow("mtu 247, 245 bytes") << 247 << 245 << false << 2;
    QTest::newRow("mtu 512, 4096 bytes") << 512 << 4096 << false << 9;
    QTest::newRow("empty write") << 247 << 0 << false << 1;
    QTest::newRow("with response, long write in one") << 23 << 200 << true << 1;
}

void TestBleDevice::writesReachThePeripheralWithinTheLinkMtu()
{
    QFETCH(int, mtu);
    QFETCH(int, size);
    QFETCH(bool, withResponse);
    QFETCH(int, pieces);
    Link link;
    link.peripheral.setMtu(mtu);
    QVERIFY(link.connectUp());
    QSignalSpy written(&link.peripheral, &SimulatedPeripheral::written);
    QSignalSpy lost(&link.peripheral, &SimulatedPeripheral::writeLost);
    QSignalSpy completed(&link.device, &BleDevice::writeCompleted);
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char(i % 251);

    QVERIFY(link.device.write(data, withResponse ? QLowEnergyService::WriteWithResponse
                                                 : QLowEnergyService::WriteWithoutResponse));
    QTRY_COMPARE(written.count(), pieces);
    QByteArray joined;
    for (const QList<QVariant>& w : written) {
        const QByteArray piece = w.at(1).toByteArray();
        if (!withResponse)
            QVERIFY(piece.size() <= link.peripheral.payloadSize());
        joined += piece;
    }
    QCOMPARE(joined, data);
    QCOMPARE(lost.count(), 0);
    if (withResponse)
        QTRY_COMPARE(completed.count(), 1);
    else
        QCOMPARE(completed.count(), 0);
}

void TestBleDevice::writeFailures()
{
    Link link;
    QSignalSpy errors(&link.device, &BleDevice::error);
    QVERIFY(!link.device.write("x", QLowEnergyService::WriteWithoutResponse));
    QVERIFY(!link.device.writeRaw(kSpsCredits, "x", QLowEnergyService::WriteWithoutResponse));
    link.peripheral.setServices({SimulatedService::serialPort()});
    QVERIFY(link.connectUp(kSpsService, kSpsFifo, kSpsFifo));
    QVERIFY(!link.device.writeRaw(QStringLiteral("1234"), "x", QLowEnergyService::WriteWithoutResponse));
    QCOMPARE(errors.count(), 3);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Write failed: characteristic not ready"));
    QCOMPARE(errors.at(1).at(0).toString(), QStringLiteral("writeRaw failed: no service"));
    QCOMPARE(errors.at(2).at(0).toString(), QStringLiteral("writeRaw failed: characteristic not found — 1234"));

    // The credits byte of the serial-port service, as a raw write.
    QSignalSpy written(&link.peripheral, &SimulatedPeripheral::written);
    QVERIFY(link.device.writeRaw(kSpsCredits, QByteArray(1, char(32)), QLowEnergyService::WriteWithoutResponse));
    QVERIFY(written.wait(1000));
    QCOMPARE(written.at(0).at(0).value<QBluetoothUuid>(), uuid(kSpsCredits));
    QCOMPARE(written.at(0).at(1).toByteArray(), QByteArray(1, char(32)));
    QCOMPARE(errors.count(), 3);
}

void TestBleDevice::characteristicsOfDiscoveredServices()
{
    Link link;
    QVERIFY(link.discover());
    // Listed, but its details are not read yet.
    QVERIFY(link.device.characteristicsForService(uuid(kUartService)).isEmpty());
    QVERIFY(link.connectUp());
    const QList<BleCharacteristic> found = link.device.characteristicsForService(uuid(kUartService));
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.at(0).uuid, uuid(kUartData));
    QVERIFY(found.at(0).properties & QLowEnergyCharacteristic::Notify);
    QVERIFY(link.device.characteristicsForService(uuid(kSpsService)).isEmpty());
    QVERIFY(link.device.characteristicsForService(QBluetoothUuid()).isEmpty());
}

QTEST_GUILESS_MAIN(TestBleDevice)
#include "tst_bledevice.moc"
