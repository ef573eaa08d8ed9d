// The session against the simulated dive computer behind a simulated
// peripheral: connection flows, every job's signals and decoded data, and
// the faults a real computer and link can show.

#include "corvane/ble/simulatedblebackend.h"
#include "corvane/ble/simulatedperipheral.h"
#include "corvane/protocol/kelvobleprotocol.h"
#include "corvane/protocol/kelvosession.h"
#include "corvane/protocol/pelagondiveconverter.h"
#include "corvane/simulator/simulatedcomputer.h"
#include "corvane/simulator/simulatedlogbook.h"
#include "tests/corvane/session/sessionrig.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

using namespace PelagonCommand;

namespace {

const QBluetoothUuid kGattData(QStringLiteral("49535343-1e4d-4bd9-ba61-23c647249616"));
const QBluetoothUuid kSpsFifo(QStringLiteral("2456e1b9-26e2-8f83-e744-f34f01e9d703"));

} // namespace

using SessionRig::Rig;

class TestKelvoSession : public QObject
{
    Q_OBJECT

private slots:
    void recognisedNames_data();
    void recognisedNames();
    void firstComputerWins();
    void reconnectAfterLinkLoss();
    void jobs_data();
    void jobs();
    void downloadAndConvert();
    void setOwnerRefused();
    void longResponseCut();
    void oneJobAtATime();
    void jobWithoutLink();
    void silenceTimesOut();
    void linkLossKeepsFinishedDives();
    void corruptAnswers_data();
    void corruptAnswers();
};

void TestKelvoSession::recognisedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("recognised");
    QTest::newRow("Pelagon") << "Pelagon" << true;
    QTest::newRow("Kelvo") << "Kelvo" << true;
    QTest::newRow("TRV- prefix") << "TRV-0042" << true;
    QTest::newRow("RN4871 prefix") << "RN4871-7A1C" << true;
    QTest::newRow("exact name extended") << "Pelagon 2" << false;
    QTest::newRow("Kelvo extended") << "KelvoX" << false;
    QTest::newRow("lower case") << "pelagon" << false;
    QTest::newRow("prefix inside") << "A-TRV-1" << false;
}

void TestKelvoSession::recognisedNames()
{
    QFETCH(QString, name);
    QFETCH(bool, recognised);
    Rig rig({name});
    QSignalSpy created(&rig.session, &KelvoSession::createControllerStatus);
    rig.session.autoConnect();
    QVERIFY(created.wait(5000));
    QCOMPARE(created.first().at(0).toInt(),
             int(recognised ? CreateControllerStatus::Created : CreateControllerStatus::NotFound));
    QCOMPARE(rig.session.message(), recognised ? name + QStringLiteral(" found")
                                               : QStringLiteral("End of scan, device not found"));
}

void TestKelvoSession::firstComputerWins()
{
    Rig rig({QStringLiteral("Heart rate"), QStringLiteral("Kelvo"), QStringLiteral("Pelagon")});
    QStringList messages;
    QObject::connect(&rig.session, &KelvoSession::messageChanged, [&] { messages.append(rig.session.message()); });
    QSignalSpy created(&rig.session, &KelvoSession::createControllerStatus);
    QVERIFY(rig.connect());
    QCOMPARE(created.size(), 1);
    QCOMPARE(rig.session.lastDevice().name(), QStringLiteral("Kelvo"));
    QVERIFY(messages.contains(QStringLiteral("Name: Heart rate - Address: 00:11:22:33:44:10")));
    QVERIFY(messages.contains(QStringLiteral("Kelvo found")));
    QVERIFY(!messages.contains(QStringLiteral("Pelagon found")));
    QVERIFY(rig.session.isConnected());
    QVERIFY(rig.peripherals[1]->isLinked());
    QVERIFY(!rig.peripherals[2]->isLinked());
}

void TestKelvoSession::reconnectAfterLinkLoss()
{
    Rig rig;
    QVERIFY(rig.connect(Sps));
    QVERIFY(rig.peripheral().isSubscribed(kSpsFifo));
    QSignalSpy lost(&rig.session, &KelvoSession::disconnectController);
    QVERIFY(rig.peripheral().dropLink());
    QVERIFY(lost.wait(2000));
    QVERIFY(!rig.session.isConnected());
    QCOMPARE(rig.session.message(), QStringLiteral("Device disconnected"));

    // The same link reconnects; the new protocol speaks the transparent UART.
    QSignalSpy ready(&rig.session, &KelvoSession::connectControllerStatus);
    rig.session.controllerConnect();
    QVERIFY(ready.wait(5000));
    QCOMPARE(ready.last().at(0).toInt(), int(ConnectControllerStatus::Connected));
    QVERIFY(rig.peripheral().isSubscribed(kGattData));
    QVERIFY(rig.run(Identification));
    QCOMPARE(int(rig.session.computerModel()), int(ComputerModel::Pelagon));

    // Without any link there is nothing to reconnect.
    KelvoSession idle(&rig.backend, nullptr);
    QSignalSpy none(&idle, &KelvoSession::connectControllerStatus);
    idle.controllerConnect();
    QCOMPARE(none.size(), 1);
    QCOMPARE(none.first().at(0).toInt(), int(ConnectControllerStatus::NoController));
}

void TestKelvoSession::jobs_data()
{
    QTest::addColumn<int>("job");
    for (int job = 0; job <= 18; ++job)
        QTest::newRow(qPrintable(QString::number(job))) << job;
}

// Each job against a computer in a known state: the signal that ends it and
// what the session decoded.
void TestKelvoSession::jobs()
{
    QFETCH(int, job);
    Rig rig;
    ComputerState& state = rig.computer().state();
    state.owner = QStringLiteral("Ondine");
    state.settings.name = "Nautile";
    state.settings.batteryType = 1;
    state.settings.waterType = 1;
    state.settings.surfacePressure = 980;
    state.settings.gasO2 = {21, 50, 100};
    state.diver.setStepSeconds(60.0);
    state.clockOffset = 3600;
    QVERIFY(rig.connect());
    KelvoSession& s = rig.session;
    switch (job) {
    case 0:
        QVERIFY(rig.run(Identification));
        QCOMPARE(int(s.computerModel()), int(ComputerModel::Pelagon));
        QCOMPARE(s.computerModelStr(), QStringLiteral("Pelagon"));
        QCOMPARE(s.currentMode(), CurrentMode::Normal);
        QCOMPARE(s.firmwareVersionStr(), QStringLiteral("2.0.12.b"));
        QCOMPARE(s.bootloaderVersionStr(), QStringLiteral("1.2.0.a"));
        break;
    case 1:
        QVERIFY(rig.run(Identification));
        QVERIFY(rig.run(Serialnumber));
        QCOMPARE(s.serialNumber(), QStringLiteral("00A1B2C3-00000017-20240601"));
        break;
    case 2:
        state.model = ComputerModel::Kelvo;
        QVERIFY(rig.run(Computer_new));
        QCOMPARE(s.computer().nameText(), QStringLiteral("Nautile"));
        QCOMPARE(s.computer().getBatteryStr(), QStringLiteral("NiMH"));
        QCOMPARE(s.config().surfacePressure, quint16(980));
        QCOMPARE(s.config().getDensity(), 1.0);
        break;
    case 3:
        QVERIFY(rig.run(Owner));
        QCOMPARE(s.owner(), QStringLiteral("Ondine"));
        QVERIFY(rig.run([&s] { return s.setOwner(QStringLiteral("Aurélie")); }, Set_owner));
        QCOMPARE(s.owner(), QStringLiteral("Aurélie"));
        QCOMPARE(state.owner, QStringLiteral("Aurélie"));
        break;
    case 4: {
        QVERIFY(rig.run(Time));
        const QDateTime now = QDateTime::currentDateTime();
        const qint64 local = now.toSecsSinceEpoch() + now.offsetFromUtc();
        QVERIFY(qAbs(s.computerTime() - local - 3600) <= 2);
        QVERIFY(rig.run([&s] { return s.startSetTime(); }, Set_time));
        QVERIFY(qAbs(s.computerTime() - local) <= 2);
        QVERIFY(qAbs(state.clockOffset) <= 2);
        break;
    }
    case 5:
        // The computer follows the pressures it is sent: 30 m of sea water
        // for a few minutes leaves no stop but a shrinking no-deco time.
        QVERIFY(rig.run(Sensors));
        QCOMPARE(s.pamb(), quint32(1013));
        for (int minute = 0; minute < 5; ++minute)
            QVERIFY(rig.run([&s] { return s.startSetPressure(4040); }, Set_sensors));
        QCOMPARE(s.pamb(), quint32(4040));
        QVERIFY((s.dstop() & 0x800) != 0); // a no-decompression time, not a stop
        QVERIFY(state.diver.ndlMinutes() > 5 && state.diver.ndlMinutes() < 20);
        break;
    case 6:
        QVERIFY(rig.run([&s] { return s.startSetPressure(5000); }, Set_sensors));
        QVERIFY(rig.run(Diver));
        QVERIFY(s.diverN2()[0] > 0.75f && s.diverN2()[0] < 4.0f);
        QCOMPARE(s.diverHe()[0], 0.0f);
        QVERIFY(rig.run(SimulParams));
        QCOMPARE(s.psurf(), quint32(1013));
        QCOMPARE(s.pamb(), quint32(5000));
        break;
    case 7:
        QVERIFY(rig.run([&s] { return s.startGetGases(0); }, GetGases));
        QCOMPARE(s.config().gases[1].o2, quint8(50));
        QCOMPARE(s.config().gases[2].o2, quint8(100));
        break;
    case 8:
        // Headers are read in the layout of the identified model.
        QVERIFY(rig.run(Identification));
        QVERIFY(rig.run([&s] { return s.startGetLogbook({2, 4}); }, Logbook));
        QCOMPARE(s.diveHeaders().size(), 4);
        QVERIFY(!s.diveHeader(2));
        QCOMPARE(s.diveHeader(5)->diveNumber, quint16(5));
        QCOMPARE(s.diveHeader(5)->beginTime, state.logbook[4].beginTime);
        break;
    case 9:
        QVERIFY(rig.run(DeleteLastDive));
        QCOMPARE(s.deleteResult().first, quint32(1));
        QCOMPARE(s.deleteResult().second, quint32(5));
        QVERIFY(rig.run([&s] { return s.startCommand(EraseDives); }, DeleteLastDive));
        QCOMPARE(s.deleteResult().first, quint32(5));
        QCOMPARE(state.logbook.size(), 0);
        break;
    case 10:
        state.syslog = {QStringLiteral("first"), QStringLiteral("second")};
        QVERIFY(rig.run(Syslog));
        QVERIFY(rig.run(Syslog));
        QCOMPARE(s.syslog(), QStringLiteral("first\nsecond\n"));
        break;
    case 11:
        state.syslogBin = {{10, 1, 2, 3}, {20, 4, 5, 6}};
        QVERIFY(rig.run(SyslogBin));
        QCOMPARE(s.syslogBin().size(), 2);
        QCOMPARE(s.syslogBin().at(1).value2, quint32(6));
        break;
    case 12:
        state.battery = {{0x00100F10u, 0}, {0xFFFFFFFFu, 0}, {0x80000123u, 0}};
        QVERIFY(rig.run([&s] { return s.startGetBatteryInformation(); }, BatteryInformation));
        QCOMPARE(s.batteryInfo().size(), 2);
        break;
    case 13: {
        AmphorSettings settings;
        settings.byte0 = 3;
        settings.value4 = 1.5f;
        QVERIFY(rig.run([&] { return s.startAmphorSettings(settings); }, AmphorSet));
        QCOMPARE(state.amphorSettings.toHex(), QByteArray("030000000000000000c03f000000"));
        break;
    }
    case 14:
        QVERIFY(rig.run(BootloaderVersion));
        QCOMPARE(s.bootloaderVersion(), 0x01020061u);
        // A command the session reports nothing for still ends its job.
        QVERIFY(s.startSuperUserMode(true));
        QTRY_VERIFY(!s.jobInFlight());
        QVERIFY(state.superUser);
        break;
    case 15:
        // The older settings record: the layout before the 12-gas table.
        state.model = ComputerModel::Kelvo;
        state.settings.gasO2 = {21, 32, 36, 40, 50, 60, 80, 100, 18};
        QVERIFY(rig.run(Computer));
        QCOMPARE(s.computer().nameText(), QStringLiteral("Nautile"));
        QCOMPARE(s.computer().getBatteryStr(), QStringLiteral("NiMH"));
        QCOMPARE(s.config().surfacePressure, quint16(980));
        QCOMPARE(s.config().gases[7].o2, quint8(100));
        QCOMPARE(s.config().gases[8].o2, quint8(0)); // no ninth gas in this layout
        break;
    case 16:
        // The legacy record of a computer older than the families: no version word.
        state.legacyIdentification = true;
        state.settings.firstSetting = 7;
        QVERIFY(rig.run(Computer));
        QCOMPARE(s.config().firstSetting, quint16(7));
        QCOMPARE(s.computer().nameText(), QStringLiteral("Nautile"));
        QCOMPARE(s.config().getDensity(), 1.0);
        break;
    case 17:
        // Script numbers keep their low 16 bits: 65538 is dive 2.
        QVERIFY(rig.run(Identification));
        QVERIFY(rig.run([&s] { return s.qmlStartGetLogbook({65538, 4}); }, Logbook));
        QCOMPARE(s.diveHeaders().size(), 4);
        QVERIFY(!s.diveHeader(2));
        QVERIFY(!s.diveHeader(4));
        QVERIFY(s.diveHeader(3));
        break;
    case 18: {
        // The session reports nothing for a flash erase: the job ends on its answer.
        const auto erase = [&s, &state](quint8 result) {
            state.eraseFlashResult = result;
            return s.startCommand(EraseDivesFlash) && QTest::qWaitFor([&s] { return !s.jobInFlight(); });
        };
        QVERIFY(erase(0));
        QVERIFY(!s.lastEraseFlashSuccess());
        QVERIFY(erase(1));
        QVERIFY(s.lastEraseFlashSuccess());
        QCOMPARE(state.logbook.size(), 0);
        break;
    }
    }
}

void TestKelvoSession::downloadAndConvert()
{
    Rig rig;
    KelvoSession& s = rig.session;
    QVERIFY(rig.connect());
    QVERIFY(rig.run(Identification));
    QVERIFY(rig.run(Serialnumber));
    QVERIFY(rig.run(Computer_new));
    QVERIFY(rig.run([&s] { return s.startGetLogbook({}); }, Logbook));
    const QList<SimulatedDive>& logbook = rig.computer().state().logbook;
    QCOMPARE(s.diveHeaders().size(), logbook.size());
    for (int i = 0; i < logbook.size(); ++i) {
        const SimulatedDive& sent = logbook[i];
        QVERIFY(rig.run([&s, &sent] { return s.startGetDiveSamples(sent.diveNumber); }, Fullsamples));
        QCOMPARE(s.diveSamples().size(), sent.samples.size());
        const ::Dive dive = PelagonDiveConverter::toDive(*s.diveHeader(sent.diveNumber), s.diveSamples(), s.data());
        QCOMPARE(dive.name, QString::number(sent.diveNumber));
        QCOMPARE(dive.computerSerial, s.serialNumber());
        QCOMPARE(dive.lines.size(), sent.samples.size());
        QCOMPARE(dive.lines.constLast().timeSec, double(sent.endTime - sent.beginTime));
        double deepest = 0.0;
        for (const DiveLine& line : dive.lines)
            deepest = qMax(deepest, line.depth);
        QCOMPARE(qRound(deepest * 10), int(sent.maxDepthDm));
    }
}

void TestKelvoSession::setOwnerRefused()
{
    Rig rig;
    QVERIFY(rig.connect());
    QSignalSpy failed(&rig.session, &KelvoSession::exchangeError);
    QVERIFY(rig.session.setOwner(QString(40, QLatin1Char('x'))));
    QVERIFY(failed.wait(2000));
    QCOMPARE(failed.first().at(0).toInt(), int(Set_owner));
    QCOMPARE(failed.first().at(1).toInt(), int(ExchangeError::SetOwnerError));
    QCOMPARE(rig.session.owner(), QString());
}

void TestKelvoSession::longResponseCut()
{
    Rig rig;
    rig.computer().state().owner = QString(600, QLatin1Char('o'));
    QVERIFY(rig.connect());
    QVERIFY(rig.run(Owner));
    QCOMPARE(rig.session.owner(), QString(511, QLatin1Char('o')));
}

void TestKelvoSession::oneJobAtATime()
{
    Rig rig;
    QVERIFY(rig.connect());
    KelvoSession& s = rig.session;
    QSignalSpy refused(&s, &KelvoSession::jobRefused);
    QSignalSpy requests(&rig.computer(), &SimulatedComputer::requestReceived);
    QVERIFY(s.startSetPressure(2000));
    QVERIFY(!s.startSetPressure(3000));
    QVERIFY(!s.startCommand(Identification));
    QCOMPARE(refused.size(), 2);
    QCOMPARE(refused.at(0).at(0).toInt(), int(Set_sensors));
    QTRY_VERIFY(!s.jobInFlight());
    QCOMPARE(requests.size(), 1);
    QCOMPARE(s.pamb(), quint32(2000));
    QVERIFY(rig.run([&s] { return s.startSetPressure(3000); }, Set_sensors));
}

void TestKelvoSession::jobWithoutLink()
{
    SimulatedBleBackend backend;
    KelvoSession session(&backend, nullptr);
    QSignalSpy failed(&session, &KelvoSession::exchangeError);
    QVERIFY(!session.startCommand(Identification));
    QVERIFY(!session.startSetPressure(1000));
    QCOMPARE(failed.size(), 0); // through the event loop, after the call returned
    QTRY_COMPARE(failed.size(), 2);
    QCOMPARE(failed.at(0).at(1).toInt(), int(ExchangeError::GenericError));
}

void TestKelvoSession::silenceTimesOut()
{
    Rig rig;
    rig.computer().faults().silentCommand = Time;
    QVERIFY(rig.connect());
    QSignalSpy lost(&rig.session, &KelvoSession::disconnectController);
    QStringList messages;
    QObject::connect(&rig.session, &KelvoSession::messageChanged, [&] { messages.append(rig.session.message()); });
    QVERIFY(rig.session.startCommand(Time));
    QVERIFY(lost.wait(KelvoBleProtocol::kCommandTimeout + 3000));
    QVERIFY(messages.contains(QStringLiteral("Receive timeout")));
    QCOMPARE(messages.constLast(), QStringLiteral("Device disconnected"));
    QVERIFY(!rig.peripheral().isLinked());
}

void TestKelvoSession::linkLossKeepsFinishedDives()
{
    Rig rig;
    rig.computer().faults().linkLossAfterDives = 2;
    KelvoSession& s = rig.session;
    QVERIFY(rig.connect());
    QVERIFY(rig.run([&s] { return s.startGetLogbook({}); }, Logbook));
    QList<::Dive> kept;
    QSignalSpy lost(&s, &KelvoSession::disconnectController);
    for (const PelagonDiveHeader& header : s.diveHeaders()) {
        const quint16 number = header.diveNumber;
        if (!rig.run([&s, number] { return s.startGetDiveSamples(number); }, Fullsamples))
            break;
        kept.append(PelagonDiveConverter::toDive(header, s.diveSamples(), s.data()));
    }
    QCOMPARE(kept.size(), 2);
    QVERIFY(lost.size() == 1 || lost.wait(2000));
    QCOMPARE(kept.at(1).name, QStringLiteral("2"));
}

void TestKelvoSession::corruptAnswers_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("bad CRC") << "crc";
    QTest::newRow("garbage before the answer") << "garbage";
    QTest::newRow("length-0 frame before the answer") << "zero";
    QTest::newRow("truncated samples") << "truncated";
    QTest::newRow("gas numbers out of range") << "gases";
}

void TestKelvoSession::corruptAnswers()
{
    QFETCH(QString, fault);
    Rig rig;
    ComputerFaults& faults = rig.computer().faults();
    KelvoSession& s = rig.session;
    QVERIFY(rig.connect());
    QVERIFY(rig.run(Identification));
    QVERIFY(rig.run([&s] { return s.startGetLogbook({}); }, Logbook));
    const SimulatedDive& sent = rig.computer().state().logbook.first();
    const auto download = [&] { return s.startGetDiveSamples(sent.diveNumber); };
    if (fault == QLatin1String("crc")) {
        faults.badCrcCommand = Serialnumber;
        QSignalSpy failed(&s, &KelvoSession::exchangeError);
        QVERIFY(s.startCommand(Serialnumber));
        QVERIFY(failed.wait(2000));
        QCOMPARE(failed.first().at(1).toInt(), int(ExchangeError::InvalidCrc));
        QVERIFY(!s.jobInFlight());
        // A pressure whose answer failed does not block the next ones.
        faults.badCrcCommand = Set_sensors;
        for (const quint32 pressure : {2000u, 2100u}) {
            failed.clear();
            QVERIFY(s.startSetPressure(pressure));
            QVERIFY(failed.wait(2000));
            QCOMPARE(failed.first().at(0).toInt(), int(Set_sensors));
        }
        faults.badCrcCommand = -1;
        QVERIFY(rig.run([&s] { return s.startSetPressure(2200); }, Set_sensors));
        return;
    }
    if (fault == QLatin1String("garbage") || fault == QLatin1String("zero")) {
        (fault == QLatin1String("garbage") ? faults.garbageCommand : faults.zeroLengthCommand) = Serialnumber;
        QVERIFY(rig.run(Serialnumber));
        QCOMPARE(s.serialNumber(), QStringLiteral("00A1B2C3-00000017-20240601"));
        return;
    }
    if (fault == QLatin1String("truncated")) {
        faults.truncatedSamples = true;
        QVERIFY(rig.run(download, Fullsamples));
        QCOMPARE(s.diveSamples().size(), sent.samples.size() - 1);
        return;
    }
    faults.outOfRangeGases = true;
    QVERIFY(rig.run(download, Fullsamples));
    const ::Dive dive = PelagonDiveConverter::toDive(*s.diveHeader(sent.diveNumber), s.diveSamples(), s.data());
    QCOMPARE(dive.lines.size(), sent.samples.size());
    for (const DiveLine& line : dive.lines)
        QVERIFY(line.gasIndex >= 0 && line.gasIndex < qMax(1, int(dive.gases.size())));
}

QTEST_GUILESS_MAIN(TestKelvoSession)
#include "tst_kelvosession.moc"
