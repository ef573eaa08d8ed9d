// The frame protocol over a GATT link to a simulated peripheral: the bytes
// written, responses handed on, the frame size from the MTU, the serial-port
// credits, refusals, and the fixed texts.

#include "corvane/ble/bledevice.h"
#include "corvane/ble/simulatedblebackend.h"
#include "corvane/ble/simulatedperipheral.h"
#include "corvane/protocol/kelvobleprotocol.h"

#include <QSignalSpy>
#include <QTest>

using namespace PelagonCommand;

namespace {

// A link to one simulated computer, up to the protocol's ready().
struct Link
{
    explicit Link(BleMode mode, int mtu = 247) : protocol(&device, mode, nullptr)
    {
        peripheral = new SimulatedPeripheral(&radio);
        peripheral->setMtu(mtu);
        if (mode == BleMode::Sps)
            peripheral->setServices({SimulatedService::genericAccess(), SimulatedService::serialPort()});
        radio.addPeripheral(peripheral);
        QObject::connect(peripheral, &SimulatedPeripheral::written, peripheral,
                         [this](const QBluetoothUuid& characteristic, const QByteArray& data) {
                             written[characteristic.toString(QUuid::WithoutBraces)] += data;
                         });
        QObject::connect(&device, &BleDevice::servicesDiscovered, &protocol,
                         [this] { setupResult = protocol.setupCharacteristics(); });
    }

    bool open()
    {
        QSignalSpy ready(&protocol, &KelvoBleProtocol::ready);
        device.connectTo(BleDeviceInfo::fromAddress(peripheral->address(), peripheral->name()));
        return ready.wait(5000) && setupResult;
    }

    QByteArray writtenTo(const char* characteristic) const { return written.value(QString::fromLatin1(characteristic)); }

    SimulatedBleBackend radio;
    BleDevice device{&radio, nullptr};
    KelvoBleProtocol protocol;
    SimulatedPeripheral* peripheral = nullptr;
    QHash<QString, QByteArray> written;
    bool setupResult = false;
};

} // namespace

class TestKelvoBleProtocol : public QObject
{
    Q_OBJECT

private slots:
    void frameSizeFromMtu_data();
    void frameSizeFromMtu();
    void requestAndResponse();
    void serialPortCredits();
    void refusedCommands();
    void fixedTexts();
};

void TestKelvoBleProtocol::frameSizeFromMtu_data()
{
    QTest::addColumn<int>("mtu");
    QTest::addColumn<int>("frameSize");
    QTest::newRow("unknown") << 0 << 128;
    QTest::newRow("23") << 23 << 8;
    QTest::newRow("247") << 247 << 232;
}

void TestKelvoBleProtocol::frameSizeFromMtu()
{
    QFETCH(int, mtu);
    QFETCH(int, frameSize);
    Link link(BleMode::Gatt, mtu);
    QVERIFY(link.open());
    QCOMPARE(link.protocol.frameSize(), frameSize);
}

void TestKelvoBleProtocol::requestAndResponse()
{
    Link link(BleMode::Gatt);
    QCOMPARE(link.protocol.frameSize(), KelvoBleProtocol::kDefaultFrame);
    QVERIFY(link.open());
    QSignalSpy responses(&link.protocol, &KelvoBleProtocol::responseReceived);
    QSignalSpy errors(&link.protocol, &KelvoBleProtocol::protocolError);

    QVERIFY(link.protocol.sendCommand(BleCommand(Identification)));
    QTRY_COMPARE(link.writtenTo(KelvoBleProtocol::kCharUuidGatt).toHex(' '), QByteArray("dc dc 01 00 bd dc 00 00 01"));

    // A long answer cut into notifications, then a damaged one.
    const QByteArray payload(600, '\x42');
    QByteArray bad = KelvoFrame::build(Identification, "x");
    bad[9] = 'y';
    QVERIFY(link.peripheral->send(QBluetoothUuid(QString::fromLatin1(KelvoBleProtocol::kCharUuidGatt)),
                                  KelvoFrame::build(Identification, payload) + bad));
    QTRY_COMPARE(errors.size(), 1);
    QCOMPARE(responses.size(), 1);
    QCOMPARE(responses[0][0].value<PelagonCommandIn>(), Identification);
    QCOMPARE(responses[0][1].toByteArray(), payload);
    QCOMPARE(responses[0][2].value<quint16>(), quint16(601));
    QCOMPARE(errors[0][1].value<ExchangeError::ExchangeErrorIn>(), ExchangeError::InvalidCrc);
}

void TestKelvoBleProtocol::serialPortCredits()
{
    Link link(BleMode::Sps);
    QVERIFY(link.open());
    QTRY_COMPARE(link.writtenTo(KelvoBleProtocol::kCharUuidSpsCredits), QByteArray(1, char(32)));
    QVERIFY(link.protocol.sendCommand(BleCommand(Logbook, QByteArray::fromHex("0100"))));
    QTRY_COMPARE(link.writtenTo(KelvoBleProtocol::kCharUuidSpsFifo), KelvoFrame::build(Logbook, QByteArray::fromHex("0100")));
}

void TestKelvoBleProtocol::refusedCommands()
{
    Link link(BleMode::Gatt);
    QSignalSpy timeouts(&link.protocol, &KelvoBleProtocol::receiveTimeout);
    // Before the link is set up the write is refused and no timer runs.
    QVERIFY(!link.protocol.sendCommand(BleCommand(Time)));
    QVERIFY(!link.protocol.receiver()->isWaiting());
    QVERIFY(link.open());
    // A payload whose length would wrap the 16-bit field.
    QVERIFY(!link.protocol.sendCommand(BleCommand(ProgramUpdate, QByteArray(0xFFFF, 'x'))));
    QVERIFY(!link.protocol.receiver()->isWaiting());
    QVERIFY(link.written.isEmpty());
    // A command nobody answers times out with its code.
    link.protocol.receiver()->setTimeouts(200, 50);
    QVERIFY(link.protocol.sendCommand(BleCommand(Time)));
    QVERIFY(timeouts.wait(3000));
    QCOMPARE(timeouts[0][0].value<PelagonCommandIn>(), Time);
}

void TestKelvoBleProtocol::fixedTexts()
{
    QCOMPARE(KelvoBleProtocol::exchangeErrorString(ExchangeError::SetOwnerError), QStringLiteral("Set Owner Error"));
    QCOMPARE(KelvoBleProtocol::exchangeErrorString(ExchangeError::GenericError), QStringLiteral("Unknown Error"));
    QCOMPARE(KelvoBleProtocol::controllerErrorString(QLowEnergyController::RemoteHostClosedError),
             QStringLiteral("Remote Host Closed Error"));
    QCOMPARE(KelvoBleProtocol::controllerErrorString(QLowEnergyController::NoError), QStringLiteral("Unknown Error"));
    QCOMPARE(KelvoBleProtocol::serviceErrorString(QLowEnergyService::NoError), QStringLiteral("No Error"));
    QCOMPARE(KelvoBleProtocol::serviceErrorString(QLowEnergyService::UnknownError), QStringLiteral("Unknown Error"));
    QCOMPARE(KelvoBleProtocol::scanErrorString(QBluetoothDeviceDiscoveryAgent::UnsupportedDiscoveryMethod),
             QStringLiteral("Unsupported Discovery Method"));
    QCOMPARE(KelvoBleProtocol::scanErrorString(QBluetoothDeviceDiscoveryAgent::NoError), QStringLiteral("Unknown Error"));
}

QTEST_GUILESS_MAIN(TestKelvoBleProtocol)
#include "tst_kelvobleprotocol.moc"
