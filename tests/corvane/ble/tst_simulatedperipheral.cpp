// The simulated peripheral as the device behind it sees it: the byte pipe,
// notifications cut to the link's MTU, and the pace of a modelled link.

#include "blefixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace BleFixture;

Q_DECLARE_METATYPE(BleLinkModel)

class TestSimulatedPeripheral : public QObject
{
    Q_OBJECT

private slots:
    void linkThroughput_data();
    void linkThroughput();
    void sendCutsBytesIntoNotificationsOfTheMtu_data();
    void sendCutsBytesIntoNotificationsOfTheMtu();
    void pacedLinkTakesItsTime();
    void echoThroughThePipe();
    void sendNeedsLinkAndSubscription();
    void peripheralGoneWhileLinked();
};

void TestSimulatedPeripheral::linkThroughput_data()
{
    QTest::addColumn<BleLinkModel>("model");
    QTest::addColumn<int>("mtu");
    QTest::addColumn<double>("bytesPerSecond");
    // Figures of common stacks: ~2.7 KB/s at MTU 23, 30 ms, 4 packets;
    // ~65 KB/s at MTU 247, 15 ms, 4 packets.
    QTest::newRow("mtu 23, 30 ms, 4 packets") << BleLinkModel::paced(30000, 4) << 23 << 2666.7;
    QTest::newRow("mtu 247, 15 ms, 4 packets") << BleLinkModel::paced(15000, 4) << 247 << 65066.7;
    QTest::newRow("interval clamped to 7.5 ms") << BleLinkModel::paced(1000, 1) << 23 << 2666.7;
    QTest::newRow("instant") << BleLinkModel::instantLink() << 247 << 0.0;
}

void TestSimulatedPeripheral::linkThroughput()
{
    QFETCH(BleLinkModel, model);
    QFETCH(int, mtu);
    QFETCH(double, bytesPerSecond);
    QVERIFY(qAbs(model.bytesPerSecond(mtu) - bytesPerSecond) < 0.1);
}

void TestSimulatedPeripheral::sendCutsBytesIntoNotificationsOfTheMtu_data()
{
    QTest::addColumn<int>("mtu");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("notifications");
    QTest::newRow("mtu 0 as 23") << 0 << 41 << 3;
    QTest::newRow("mtu 23") << 23 << 20 << 1;
    QTest::newRow("mtu 185") << 185 << 1000 << 6;
    QTest::newRow("mtu 247") << 247 << 245 << 2;
    QTest::newRow("mtu 512") << 512 << 1018 << 2;
    QTest::newRow("nothing") << 247 << 0 << 0;
}

void TestSimulatedPeripheral::sendCutsBytesIntoNotificationsOfTheMtu()
{
    QFETCH(int, mtu);
    QFETCH(int, size);
    QFETCH(int, notifications);
    Link link;
    link.peripheral.setMtu(mtu);
    QVERIFY(link.connectUp());
    QSignalSpy received(&link.device, &BleDevice::notificationReceived);
    QSignalSpy drained(&link.peripheral, &SimulatedPeripheral::notificationsDrained);
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 13);
    QVERIFY(link.peripheral.send(uuid(kUartData), bytes));
    QCOMPARE(link.peripheral.pendingNotifications(), notifications);
    if (notifications)
        QVERIFY(drained.wait(1000));
    QCOMPARE(received.count(), notifications);
    QByteArray joined;
    for (const QList<QVariant>& r : received) {
        QVERIFY(r.at(0).toByteArray().size() <= link.peripheral.payloadSize());
        joined += r.at(0).toByteArray();
    }
    QCOMPARE(joined, bytes);
    QCOMPARE(link.peripheral.pendingNotifications(), 0);
}

void TestSimulatedPeripheral::pacedLinkTakesItsTime()
{
    // 40 notifications at 4 per 30 ms event need 10 events: 300 ms at least.
    Link link;
    link.peripheral.setMtu(23);
    QVERIFY(link.connectUp());
    link.peripheral.setLinkModel(BleLinkModel::paced(30000, 4));
    QSignalSpy drained(&link.peripheral, &SimulatedPeripheral::notificationsDrained);
    QSignalSpy received(&link.device, &BleDevice::notificationReceived);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(link.peripheral.send(uuid(kUartData), QByteArray(40 * 20, 'x')));
    QVERIFY(drained.wait(10000));
    QVERIFY2(clock.elapsed() >= 290, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(received.count(), 40);
    // Nothing arrives inside the call that sent it.
    QVERIFY(link.peripheral.send(uuid(kUartData), "late"));
    QCOMPARE(received.count(), 40);
}

void TestSimulatedPeripheral::echoThroughThePipe()
{
    // The device behind the radio answers every write with its bytes reversed.
    Link link;
    link.peripheral.setMtu(23);
    connect(&link.peripheral, &SimulatedPeripheral::written, this,
            [&](const QBluetoothUuid& characteristic, const QByteArray& data) {
                QByteArray reversed = data;
                std::reverse(reversed.begin(), reversed.end());
                link.peripheral.send(characteristic, reversed);
            });
    QVERIFY(link.connectUp());
    QSignalSpy received(&link.device, &BleDevice::notificationReceived);
    QVERIFY(link.device.write("0123456789abcdefghijKLMNO", QLowEnergyService::WriteWithoutResponse));
    QTRY_COMPARE(received.count(), 2);
    QCOMPARE(received.at(0).at(0).toByteArray() + received.at(1).at(0).toByteArray(),
             QByteArray("jihgfedcba9876543210ONMLK"));
}

void TestSimulatedPeripheral::sendNeedsLinkAndSubscription()
{
    Link link;
    QVERIFY(!link.peripheral.send(uuid(kUartData), "x"));
    QVERIFY(!link.peripheral.sendNotification(uuid(kUartData), "x"));
    QVERIFY(!link.peripheral.dropLink());
    QVERIFY(link.discover());
    QVERIFY(link.peripheral.isLinked());
    QVERIFY(!link.peripheral.send(uuid(kUartData), "x")); // not subscribed yet
    QVERIFY(!link.peripheral.send(uuid(kSpsFifo), "x"));  // no such characteristic
}

void TestSimulatedPeripheral::peripheralGoneWhileLinked()
{
    SimulatedBleBackend radio;
    auto peripheral = std::make_unique<SimulatedPeripheral>();
    radio.addPeripheral(peripheral.get());
    BleDevice device(&radio, nullptr);
    QSignalSpy discovered(&device, &BleDevice::servicesDiscovered);
    QSignalSpy disconnected(&device, &BleDevice::disconnected);
    device.connectTo(BleDeviceInfo(peripheral->deviceInfo()));
    QVERIFY(discovered.wait(1000));
    QVERIFY(device.setupCharacteristics(kUartService, kUartData, kUartData));
    peripheral.reset();
    QVERIFY(disconnected.wait(1000));
    QCOMPARE(device.state(), BleDeviceState::Disconnected);
    QVERIFY(radio.peripherals().isEmpty());
    QVERIFY(!device.write("x", QLowEnergyService::WriteWithoutResponse));
}

QTEST_GUILESS_MAIN(TestSimulatedPeripheral)
#include "tst_simulatedperipheral.moc"
