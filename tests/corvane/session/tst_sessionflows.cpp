// The session's connection flows that end in something other than a ready
// link: a direct connection and a disconnection asked for, a reconnection
// with nothing to reconnect to, a computer without the serial service, a
// link lost while the session waits to report it ready, and
// the computer's own reset; and the identification of each family.

#include "sessionrig.h"

#include <QtTest>

using namespace PelagonCommand;
using SessionRig::Rig;

namespace {

// Runs `start` and waits for the connection phase's result: true when ready.
bool readyAfter(Rig& rig, const std::function<void()>& start)
{
    QSignalSpy status(&rig.session, &KelvoSession::connectControllerStatus);
    start();
    return status.wait(5000) && status.last().at(0).toInt() == int(ConnectControllerStatus::Connected);
}

// Collects the session's messages, in order.
void recordMessages(Rig& rig, QStringList& messages)
{
    QObject::connect(&rig.session, &KelvoSession::messageChanged, &rig.session,
                     [&rig, &messages] { messages.append(rig.session.message()); });
}

} // namespace

class TestSessionFlows : public QObject
{
    Q_OBJECT

private slots:
    void connectToAndDisconnect();
    void reconnectWithoutAKnownDevice();
    void stoppedScan_data();
    void stoppedScan();
    void computerWithoutTheService();
    void linkLostBeforeReady();
    void resetEndsTheConnection();
    void identificationOfEachFamily_data();
    void identificationOfEachFamily();
};

void TestSessionFlows::connectToAndDisconnect()
{
    Rig rig;
    QStringList messages;
    recordMessages(rig, messages);
    QVERIFY(rig.connect());
    const BleDeviceInfo device = rig.session.lastDevice();
    QCOMPARE(device.name(), QStringLiteral("Pelagon"));

    // A direct connection rebuilds everything, in the mode asked for.
    QVERIFY(readyAfter(rig, [&] { rig.session.connectTo(device, Sps); }));
    QVERIFY(messages.contains(QStringLiteral("Connect to Pelagon")));
    QVERIFY(rig.peripheral().isSubscribed(QBluetoothUuid(QStringLiteral("2456e1b9-26e2-8f83-e744-f34f01e9d703"))));
    QVERIFY(rig.run(Identification));

    QSignalSpy lost(&rig.session, &KelvoSession::disconnectController);
    rig.session.controllerDisConnect();
    QCOMPARE(lost.size(), 1);
    QCOMPARE(rig.session.message(), QStringLiteral("Disconnect from device"));
    QVERIFY(!rig.session.isConnected());
    QCOMPARE(rig.session.lastDevice().address(), QString());
    QTRY_VERIFY(!rig.peripheral().isLinked());
    // Nothing left to talk to: a job fails through the event loop.
    QSignalSpy failed(&rig.session, &KelvoSession::exchangeError);
    QVERIFY(!rig.session.startCommand(Time));
    QVERIFY(failed.wait(1000));
    QCOMPARE(failed.first().at(1).toInt(), int(ExchangeError::GenericError));
    // A second disconnection has no link to end.
    rig.session.controllerDisconnect();
    QCOMPARE(lost.size(), 1);
}

void TestSessionFlows::reconnectWithoutAKnownDevice()
{
    Rig rig({QStringLiteral("Heart rate")});
    QSignalSpy created(&rig.session, &KelvoSession::createControllerStatus);
    rig.session.autoConnect();
    QVERIFY(created.wait(5000));
    QCOMPARE(created.first().at(0).toInt(), int(CreateControllerStatus::NotFound));
    QSignalSpy status(&rig.session, &KelvoSession::connectControllerStatus);
    rig.session.controllerConnect();
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.first().at(0).toInt(), int(ConnectControllerStatus::NoController));
    QCOMPARE(rig.session.message(), QStringLiteral("No device known, please scan first"));
}

void TestSessionFlows::stoppedScan_data()
{
    QTest::addColumn<bool>("askPermission");
    QTest::addColumn<bool>("afterAReport");
    QTest::addColumn<bool>("restarted");
    QTest::newRow("at once") << false << false << false;
    QTest::newRow("after a device was reported") << false << true << false;
    QTest::newRow("while the permission is asked") << true << false << false;
    QTest::newRow("after a restart") << false << true << true;
}

void TestSessionFlows::stoppedScan()
{
    // A scan that paces its reports over 30 s ends at once when stopped,
    // with one "not found"; a scan given up for a new one reports nothing.
    QFETCH(bool, askPermission);
    QFETCH(bool, afterAReport);
    QFETCH(bool, restarted);
    QStringList messages;
    Rig rig({QStringLiteral("Heart rate"), QStringLiteral("Scale")});
    rig.backend.setPacedScan(true);
    if (askPermission)
        rig.backend.setPermission(BlePermission::Undetermined, BlePermission::Granted);
    recordMessages(rig, messages);
    QSignalSpy created(&rig.session, &KelvoSession::createControllerStatus);
    rig.session.autoConnect();
    if (afterAReport)
        QTRY_VERIFY_WITH_TIMEOUT(messages.last().startsWith(QLatin1String("Name: Heart rate")), 2000);
    if (restarted) {
        rig.session.autoConnect();
        QCOMPARE(created.size(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(messages.last().startsWith(QLatin1String("Name: Heart rate")), 2000);
    }
    rig.session.stopJob();
    QTRY_COMPARE_WITH_TIMEOUT(created.size(), 1, 3000);
    QCOMPARE(created.first().at(0).toInt(), int(CreateControllerStatus::NotFound));
    QCOMPARE(rig.session.message(), QStringLiteral("End of scan, device not found"));
    // Nothing of the stopped scan arrives later.
    QVERIFY(!created.wait(300));
    QVERIFY(!messages.last().startsWith(QLatin1String("Name: Scale")));
}

void TestSessionFlows::computerWithoutTheService()
{
    // The link reports its own error as the service is looked for: the
    // session is cleaned up in that report and must not touch the link after.
    Rig rig;
    rig.peripheral().setServices({});
    QStringList messages;
    recordMessages(rig, messages);
    QSignalSpy created(&rig.session, &KelvoSession::createControllerStatus);
    QSignalSpy status(&rig.session, &KelvoSession::connectControllerStatus);
    rig.session.autoConnect();
    QVERIFY(status.wait(5000));
    QCOMPARE(status.first().at(0).toInt(), int(ConnectControllerStatus::NoService));
    QVERIFY(messages.contains(QStringLiteral("BLE error: No service found")));
    QCOMPARE(rig.session.message(), QStringLiteral("Service not found"));
    QCOMPARE(created.last().at(0).toInt(), int(CreateControllerStatus::NotCreated));
    QVERIFY(!rig.session.isConnected());
    QTRY_VERIFY(!rig.peripheral().isLinked());
}

void TestSessionFlows::linkLostBeforeReady()
{
    // The link goes as soon as it is up: neither delay may report it ready.
    Rig rig;
    QSignalSpy status(&rig.session, &KelvoSession::connectControllerStatus);
    QSignalSpy lost(&rig.session, &KelvoSession::disconnectController);
    QObject::connect(&rig.session, &KelvoSession::messageChanged, &rig.peripheral(), [&] {
        if (rig.session.message() == QLatin1String("Device connected"))
            rig.peripheral().dropLink();
    });
    rig.session.autoConnect();
    QVERIFY(lost.wait(5000));
    QVERIFY(!status.wait(1500));
    QVERIFY(status.isEmpty());
    QVERIFY(!rig.session.isConnected());
}

void TestSessionFlows::resetEndsTheConnection()
{
    Rig rig;
    QStringList messages;
    recordMessages(rig, messages);
    QVERIFY(rig.connect());
    QSignalSpy lost(&rig.session, &KelvoSession::disconnectController);
    QSignalSpy linkDown(&rig.peripheral(), &SimulatedPeripheral::linkDown);
    QVERIFY(rig.session.startCommand(Reset));
    QVERIFY(lost.wait(5000));
    QVERIFY(messages.contains(QStringLiteral("Disconnect from device")));
    QVERIFY(!rig.session.isConnected());
    QVERIFY(!rig.session.jobInFlight());
    QCOMPARE(linkDown.size(), 1);
    // A fresh scan at once, before the computer's own end of the old link
    // has run: the new link must outlive it.
    QVERIFY(rig.connect());
    for (const PelagonCommandIn command : {Identification, Serialnumber, Time, Owner})
        QVERIFY2(rig.run(command), qPrintable(QString::number(command)));
    QVERIFY(rig.session.isConnected());
    QCOMPARE(lost.size(), 1);
    QCOMPARE(linkDown.size(), 1);
}

void TestSessionFlows::identificationOfEachFamily_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("bootloader");
    QTest::addColumn<QString>("name");
    QTest::newRow("Kelvo") << int(ComputerModel::Kelvo) << false << "Kelvo";
    QTest::newRow("Kelvo bootloader") << int(ComputerModel::Kelvo) << true << "Kelvo";
    QTest::newRow("Pelagon bootloader") << int(ComputerModel::Pelagon) << true << "Pelagon";
    QTest::newRow("Brix") << int(ComputerModel::Brix) << false << "Brix";
    QTest::newRow("Brix bootloader") << int(ComputerModel::Brix) << true << "Brix";
}

void TestSessionFlows::identificationOfEachFamily()
{
    QFETCH(int, model);
    QFETCH(bool, bootloader);
    QFETCH(QString, name);
    Rig rig;
    rig.computer().state().model = ComputerModel::ComputerModelIn(model);
    rig.computer().state().bootloaderMode = bootloader;
    QVERIFY(rig.connect());
    QVERIFY(rig.run(Identification));
    QCOMPARE(int(rig.session.computerModel()), model);
    QCOMPARE(rig.session.computerModelStr(), name);
    QCOMPARE(rig.session.qmlComputerModel(), model);
    QCOMPARE(rig.session.currentMode(), bootloader ? CurrentMode::BootLoader : CurrentMode::Normal);
}

QTEST_GUILESS_MAIN(TestSessionFlows)
#include "tst_sessionflows.moc"
