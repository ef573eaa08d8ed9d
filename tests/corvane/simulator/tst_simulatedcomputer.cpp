// The simulated computer at the far end of a real BleDevice link: request
// frames in, answer frames out in MTU-sized notifications at the link's
// pace, and each fault it can be asked for.

#include "../ble/blefixture.h"

#include "corvane/protocol/frame.h"
#include "corvane/protocol/protocoltypes.h"
#include "corvane/simulator/computerrecords.h"
#include "corvane/simulator/simulatedcomputer.h"
#include "corvane/simulator/simulatedlogbook.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace PelagonCommand;

namespace {

struct Rig : BleFixture::Link
{
    SimulatedComputer computer;
    QList<QByteArray> notifications;
    FrameStore store;

    Rig()
    {
        LogbookOptions options;
        options.diveCount = 3;
        computer.state().logbook = SimulatedLogbook::generate(options);
        computer.attach(&peripheral);
        QObject::connect(&device, &BleDevice::notificationReceived,
                         [this](const QByteArray& chunk) { notifications.append(chunk); });
    }

    // Sends one request and collects the answer frames until `frames` are in
    // (or nothing more comes).
    QList<ReceivedFrame> ask(quint8 command, const QByteArray& payload, int frames)
    {
        notifications.clear();
        store.clear();
        device.write(KelvoFrame::build(command, payload), QLowEnergyService::WriteWithoutResponse);
        QList<ReceivedFrame> got;
        QElapsedTimer waited;
        waited.start();
        while (got.size() < frames && waited.elapsed() < 3000) {
            QTest::qWait(5);
            for (const QByteArray& chunk : std::as_const(notifications))
                store.append(chunk);
            notifications.clear();
            ReceivedFrame frame;
            while (store.takeFrame(frame))
                got.append(frame);
            // A stream ends with its end marker.
            if (frames > 1 && !got.isEmpty() && got.constLast().payload.isEmpty())
                break;
        }
        return got;
    }
};

} // namespace

class TestSimulatedComputer : public QObject
{
    Q_OBJECT

private slots:
    void answers();
    void faults_data();
    void faults();
    void resetAndCloseDropTheLink();
    void notificationsAtTheLinkPace();
};

void TestSimulatedComputer::answers()
{
    Rig rig;
    QVERIFY(rig.connectUp());
    ComputerState& state = rig.computer.state();

    QList<ReceivedFrame> got = rig.ask(Identification, {}, 1);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0].command, quint8(Identification));
    QCOMPARE(got[0].payload, ComputerRecords::identification(state.firmwareVersion, 21, state.bootloaderVersion));

    // Dive 2 is known already: two headers, then the end marker.
    got = rig.ask(Logbook, QByteArray::fromHex("0200"), 3);
    QCOMPARE(got.size(), 3);
    QCOMPARE(got[0].payload, ComputerRecords::logbookHeader(state.logbook[0], state.model));
    QCOMPARE(got[1].payload, ComputerRecords::logbookHeader(state.logbook[2], state.model));
    QVERIFY(got[2].payload.isEmpty());

    const QByteArray stream = ComputerRecords::samples(state.logbook[1], state.model);
    const int frames = int((stream.size() + 234) / 235) + 1;
    got = rig.ask(Fullsamples, QByteArray::fromHex("0200"), frames);
    QCOMPARE(got.size(), frames);
    QByteArray joined;
    for (const ReceivedFrame& f : got) {
        QVERIFY(f.crcValid);
        QVERIFY(f.payload.size() <= 235);
        joined += f.payload;
    }
    QCOMPARE(joined, stream);
    for (const QByteArray& chunk : std::as_const(rig.notifications))
        QVERIFY(chunk.size() <= 244);

    // An unknown dive: only the end marker. The gas table, one per gas.
    got = rig.ask(Fullsamples, QByteArray::fromHex("6300"), 1);
    QVERIFY(got.size() == 1 && got[0].payload.isEmpty());
    got = rig.ask(GetGases, QByteArray(1, '\0'), 4);
    QCOMPARE(got.size(), 4);
    QCOMPARE(got[3].payload.size(), 1);

    // Owner names: kept when short enough, refused otherwise.
    got = rig.ask(Set_owner, "Marin", 1);
    QCOMPARE(got[0].payload, QByteArray(1, '\1'));
    QCOMPARE(state.owner, QStringLiteral("Marin"));
    got = rig.ask(Set_owner, QByteArray(32, 'x'), 1);
    QCOMPARE(got[0].payload, QByteArray(1, '\0'));
    QCOMPARE(state.owner, QStringLiteral("Marin"));
    // Commands the computer does not know get no answer.
    QVERIFY(rig.ask(Dive, {}, 1).isEmpty());
    QCOMPARE(rig.computer.requestCount(), 8);
}

void TestSimulatedComputer::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("goodFrames");
    QTest::addColumn<int>("badFrames");
    QTest::newRow("bad CRC") << "crc" << 0 << 1;
    QTest::newRow("silence") << "silent" << 0 << 0;
    QTest::newRow("garbage first") << "garbage" << 1 << 0;
    QTest::newRow("length 0 first") << "zero" << 1 << 0;
}

void TestSimulatedComputer::faults()
{
    QFETCH(QString, fault);
    QFETCH(int, goodFrames);
    QFETCH(int, badFrames);
    Rig rig;
    QVERIFY(rig.connectUp());
    ComputerFaults& f = rig.computer.faults();
    (fault == QLatin1String("crc") ? f.badCrcCommand
     : fault == QLatin1String("silent") ? f.silentCommand
     : fault == QLatin1String("garbage") ? f.garbageCommand
                                          : f.zeroLengthCommand) = Serialnumber;
    const QList<ReceivedFrame> got = rig.ask(Serialnumber, {}, 1);
    int good = 0, bad = 0;
    for (const ReceivedFrame& frame : got)
        (frame.crcValid ? good : bad) += 1;
    QCOMPARE(good, goodFrames);
    QCOMPARE(bad, badFrames);
    // Other commands are answered as usual.
    QCOMPARE(rig.ask(Identification, {}, 1).size(), 1);
}

void TestSimulatedComputer::resetAndCloseDropTheLink()
{
    for (const quint8 command : {quint8(Reset), quint8(Close)}) {
        Rig rig;
        QVERIFY(rig.connectUp());
        QSignalSpy down(&rig.peripheral, &SimulatedPeripheral::linkDown);
        const QList<ReceivedFrame> got = rig.ask(command, {}, command == Reset ? 1 : 0);
        QCOMPARE(got.size(), command == Reset ? 1 : 0);
        QVERIFY(down.size() == 1 || down.wait(2000));
    }

    // Link loss after one dive: the second dive's samples stop half-way.
    Rig rig;
    rig.computer.faults().linkLossAfterDives = 1;
    QVERIFY(rig.connectUp());
    QSignalSpy down(&rig.peripheral, &SimulatedPeripheral::linkDown);
    const QList<ReceivedFrame> first = rig.ask(Fullsamples, QByteArray::fromHex("0100"), 1000);
    QVERIFY(!first.isEmpty() && first.constLast().payload.isEmpty());
    const QList<ReceivedFrame> second = rig.ask(Fullsamples, QByteArray::fromHex("0200"), 1000);
    QVERIFY(second.isEmpty() || !second.constLast().payload.isEmpty());
    QVERIFY(down.size() == 1 || down.wait(2000));
}

// A paced link cannot deliver faster than its packets allow: 4 notifications
// of 244 bytes every 15 ms.
void TestSimulatedComputer::notificationsAtTheLinkPace()
{
    Rig rig;
    rig.peripheral.setLinkModel(BleLinkModel::paced(15000, 4));
    LogbookOptions options;
    options.diveCount = 1;
    options.durationMinutes = 30;
    options.samplePeriod = 1;
    rig.computer.state().logbook = SimulatedLogbook::generate(options);
    QVERIFY(rig.connectUp());
    const QByteArray stream = ComputerRecords::samples(rig.computer.state().logbook[0], rig.computer.state().model);
    const int frames = int((stream.size() + 234) / 235) + 1;
    QElapsedTimer clock;
    clock.start();
    const QList<ReceivedFrame> got = rig.ask(Fullsamples, QByteArray::fromHex("0100"), frames);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(got.size(), frames);
    const double linkMs = double(stream.size() + 9 * frames) / (244.0 * 4 / 15.0);
    QVERIFY2(elapsed >= linkMs * 0.9, qPrintable(QStringLiteral("%1 ms for %2 ms of link").arg(elapsed).arg(linkMs)));
}

QTEST_GUILESS_MAIN(TestSimulatedComputer)
#include "tst_simulatedcomputer.moc"
