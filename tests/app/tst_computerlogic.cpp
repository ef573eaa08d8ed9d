// The computer commands' logic without the window: the connection run, the
// dive download, the owner name, the tool tip and both system log files.

#include "app/commandwait.h"
#include "app/computerconnector.h"
#include "app/computertext.h"
#include "app/divedownload.h"
#include "app/syslogfile.h"
#include "corvane/protocol/kelvosession.h"
#include "corvane/simulator/democomputer.h"
#include "corvane/simulator/simulatedcomputer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

#include <memory>

using namespace PelagonCommand;

namespace {

// A simulated computer on an instant link and a session on its radio.
struct Rig
{
    std::unique_ptr<DemoComputer> demo;
    std::unique_ptr<KelvoSession> session;

    explicit Rig(int dives = 5, quint16 firstNumber = 254)
    {
        DemoComputer::Options options;
        options.link = BleLinkModel::instantLink();
        options.logbook.diveCount = dives;
        options.logbook.firstDiveNumber = firstNumber;
        demo = std::make_unique<DemoComputer>(options, nullptr);
        session = std::make_unique<KelvoSession>(demo->backend(), nullptr);
    }

    ComputerState& state() { return demo->computer()->state(); }

    // Runs the connection panel's work; its statuses, and whether it ended
    // with success.
    bool connect(QStringList* statuses = nullptr, int commandTimeoutMs = CommandWait::kDefaultTimeoutMs)
    {
        ComputerConnector connector(session.get());
        connector.setCommandTimeoutMs(commandTimeoutMs);
        QSignalSpy status(&connector, &ComputerConnector::statusChanged);
        QSignalSpy succeeded(&connector, &ComputerConnector::succeeded);
        QSignalSpy stopped(&connector, &ComputerConnector::stopped);
        connector.start();
        const bool ended = QTest::qWaitFor([&] { return !succeeded.isEmpty() || !stopped.isEmpty(); }, 20000);
        if (statuses) {
            for (const QList<QVariant>& args : status)
                statuses->append(args.at(0).toString());
        }
        return ended && !succeeded.isEmpty() && stopped.isEmpty();
    }
};

} // namespace

class TestComputerLogic : public QObject
{
    Q_OBJECT

private slots:
    void connectionRun();
    void connectionFailures_data();
    void connectionFailures();
    void downloadOffersOnlyNewDives();
    void downloadEnds_data();
    void downloadEnds();
    void ownerNameCap_data();
    void ownerNameCap();
    void toolTipAndNotice();
    void syslogFiles();
};

void TestComputerLogic::connectionRun()
{
    Rig rig;
    QStringList statuses;
    QVERIFY(rig.connect(&statuses));
    QCOMPARE(statuses.mid(0, 3),
             QStringList({"Search computer...", "Computer found, connecting...", "Device Connected"}));
    QCOMPARE(statuses.mid(3), QStringList({"Firmware version: " + rig.session->firmwareVersionStr(),
                                           "Serial number: " + rig.session->serialNumber(),
                                           "Ambiant pressure: " + QString::number(rig.session->pamb())}));
    QVERIFY(!rig.session->serialNumber().isEmpty());
    QCOMPARE(rig.demo->computer()->lastCommand(), int(Computer_new));

    // A lost link leaves the device known: the next run reconnects without
    // scanning.
    QSignalSpy lost(rig.session.get(), &KelvoSession::disconnectController);
    rig.demo->peripheral()->dropLink();
    QVERIFY(lost.wait());
    statuses.clear();
    QVERIFY(rig.connect(&statuses));
    QCOMPARE(statuses.first(), QStringLiteral("Connect to computer..."));
    QVERIFY(!statuses.contains(QStringLiteral("Computer found, connecting...")));

    // A session linked elsewhere without its identity read: only the reading.
    Rig linkedOnly;
    QSignalSpy linked(linkedOnly.session.get(), &KelvoSession::connectControllerStatus);
    linkedOnly.session->autoConnect();
    QVERIFY(linked.wait());
    QVERIFY(linkedOnly.session->serialNumber().isEmpty());
    statuses.clear();
    QVERIFY(linkedOnly.connect(&statuses));
    QCOMPARE(statuses.first(), QStringLiteral("Device Connected"));
    QVERIFY(!linkedOnly.session->serialNumber().isEmpty());
}

void TestComputerLogic::connectionFailures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("lastStatus");

    QTest::newRow("no device") << "hidden" << "No Device Found";
    // The link finds no serial-data characteristics: the device is refused.
    QTest::newRow("no service") << "noService" << "Problem on Create Device";
    QTest::newRow("exchange error after connected") << "badCrc" << "Exchange Error: ";
    QTest::newRow("silent computer") << "silent" << CommandWait::timeoutText();
    QTest::newRow("link lost in the chain") << "linkLoss" << CommandWait::linkLostText();
}

void TestComputerLogic::connectionFailures()
{
    QFETCH(QString, fault);
    QFETCH(QString, lastStatus);
    Rig rig;
    SimulatedPeripheral* peripheral = rig.demo->peripheral();
    if (fault == QLatin1String("hidden"))
        peripheral->setAdvertising(false);
    else if (fault == QLatin1String("noService"))
        peripheral->setServices({SimulatedService::genericAccess()});
    else if (fault == QLatin1String("badCrc"))
        rig.state().faults.badCrcCommand = Serialnumber;
    else if (fault == QLatin1String("silent"))
        rig.state().faults.silentCommand = Sensors;
    else if (fault == QLatin1String("linkLoss"))
        QObject::connect(rig.demo->computer(), &SimulatedComputer::requestReceived, peripheral, [peripheral](int c) {
            if (c == Sensors)
                peripheral->dropLink();
        });

    QStringList statuses;
    // A short time-out of its own so that the silent computer is caught by
    // whichever watch fires first.
    QVERIFY(!rig.connect(&statuses, 1500));
    QVERIFY2(statuses.last().startsWith(lastStatus), qPrintable(statuses.join(" | ")));
}

void TestComputerLogic::downloadOffersOnlyNewDives()
{
    Rig rig(4, 254);
    QVERIFY(rig.connect());
    DiveDownload download(rig.session.get());
    QSignalSpy listed(&download, &DiveDownload::listReady);
    download.fetchList({255});
    QVERIFY(listed.wait());
    QList<quint16> offered;
    for (const PelagonDiveHeader& header : download.offered())
        offered.append(header.diveNumber);
    QCOMPARE(offered, QList<quint16>({254, 256, 257}));

    // A computer that lists every dive anyway still offers only new ones.
    QObject::connect(rig.demo->computer(), &SimulatedComputer::requestReceived, rig.demo->computer(),
                     [&rig](int command) {
                         if (command == Logbook)
                             rig.state().logbook.append(rig.state().logbook.first());
                     });
    download.fetchList({254, 256});
    QVERIFY(listed.wait());
    offered.clear();
    for (const PelagonDiveHeader& header : download.offered())
        offered.append(header.diveNumber);
    QCOMPARE(offered, QList<quint16>({255, 257}));

    // Numbers above 255 are asked for and found with their 16 bits; each
    // dive comes converted, with its derived values.
    QSignalSpy imported(&download, &DiveDownload::diveImported);
    QSignalSpy finished(&download, &DiveDownload::finished);
    download.download({257, 255});
    QVERIFY(finished.wait());
    QCOMPARE(imported.size(), 2);
    const ::Dive first = imported.at(0).at(0).value<::Dive>();
    QCOMPARE(first.diveNumber, quint16(257));
    QCOMPARE(first.computerSerial, rig.session->serialNumber());
    QVERIFY(first.maxDepth > 1.0);
    QVERIFY(!first.lines.isEmpty());
    QCOMPARE(imported.at(1).at(1).toInt(), 2);
    QCOMPARE(imported.at(1).at(2).toInt(), 2);
}

void TestComputerLogic::downloadEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("failure"); // empty: ends with finished()

    QTest::newRow("all") << "" << 5 << "";
    QTest::newRow("cancel during the second dive") << "cancel" << 2 << "";
    QTest::newRow("link lost after two dives") << "linkLoss" << 2 << CommandWait::linkLostText();
    QTest::newRow("bad frame on the third dive") << "badCrc" << 2 << "Exchange Error: ";
    QTest::newRow("number the computer does not know") << "missing" << 1 << "";
}

void TestComputerLogic::downloadEnds()
{
    QFETCH(QString, how);
    QFETCH(int, kept);
    QFETCH(QString, failure);
    Rig rig(5, 1);
    QVERIFY(rig.connect());
    DiveDownload download(rig.session.get());
    QSignalSpy listed(&download, &DiveDownload::listReady);
    download.fetchList({});
    QVERIFY(listed.wait());
    QCOMPARE(download.offered().size(), 5);

    QList<quint16> numbers{1, 2, 3, 4, 5};
    if (how == QLatin1String("linkLoss"))
        rig.state().faults.linkLossAfterDives = 2;
    if (how == QLatin1String("missing"))
        numbers = {1, 900, 2};
    QSignalSpy started(&download, &DiveDownload::diveStarted);
    QSignalSpy imported(&download, &DiveDownload::diveImported);
    QSignalSpy missing(&download, &DiveDownload::diveMissing);
    QSignalSpy finished(&download, &DiveDownload::finished);
    QSignalSpy failed(&download, &DiveDownload::failed);
    QObject::connect(&download, &DiveDownload::diveStarted, &download, [&](int index) {
        if (index == 2 && how == QLatin1String("cancel"))
            download.cancel();
        if (index == 3 && how == QLatin1String("badCrc"))
            rig.state().faults.badCrcCommand = Fullsamples;
    });
    download.download(numbers);
    QVERIFY(QTest::qWaitFor([&] { return !finished.isEmpty() || !failed.isEmpty(); }, 15000));
    QVERIFY(!download.isDownloading());
    QCOMPARE(imported.size(), kept);
    QCOMPARE(download.importedCount(), kept);
    if (failure.isEmpty()) {
        QCOMPARE(failed.size(), 0);
    } else {
        QCOMPARE(finished.size(), 0);
        QVERIFY(failed.first().first().toString().startsWith(failure));
    }
    if (how == QLatin1String("missing")) {
        QCOMPARE(missing.size(), 1);
        QCOMPARE(missing.first().first().value<quint16>(), quint16(900));
        QCOMPARE(started.size(), 2); // dive 2 is not asked for
    }
    if (how.isEmpty())
        QCOMPARE(started.last().at(0).toInt(), 5);
}

void TestComputerLogic::ownerNameCap_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kept");

    QTest::newRow("short") << "Jo" << "Jo";
    QTest::newRow("31 bytes") << QString(31, u'a') << QString(31, u'a');
    QTest::newRow("32 bytes") << QString(32, u'a') << QString(31, u'a');
    // 30 ASCII bytes, then a 2-byte and a 3-byte character: only the first fits.
    QTest::newRow("two-byte character at the edge") << QString(30, u'a') + "é€" << QString(30, u'a');
    QTest::newRow("three-byte characters") << QString::fromUtf8("€€€€€€€€€€€") << QString::fromUtf8("€€€€€€€€€€");
    QTest::newRow("surrogate pair kept whole") << QString(28, u'b') + QString::fromUtf8("🐠") << QString(28, u'b');
}

void TestComputerLogic::ownerNameCap()
{
    QFETCH(QString, name);
    QFETCH(QString, kept);
    QCOMPARE(ComputerText::ownerName(name), kept);
    QVERIFY(ComputerText::ownerBytes(name).size() <= 31);
}

void TestComputerLogic::toolTipAndNotice()
{
    const QString tip = ComputerText::connectedToolTip(QStringLiteral("A1B2"), CurrentMode::Normal);
    QVERIFY(tip.contains(QStringLiteral("font-weight:700; color:#0055ff;\">Computer Connected<")));
    QVERIFY(tip.contains(QStringLiteral("color:#0055ff;\">Serial A1B2<")));
    QVERIFY(tip.contains(QStringLiteral("color:#0055ff;\">Mode Normal<")));
    QCOMPARE(tip.count(QStringLiteral("<p>")), 3);
    QVERIFY(ComputerText::connectedToolTip({}, CurrentMode::BootLoader).contains(QStringLiteral(">Mode Firmware<")));

    QVERIFY(ComputerText::firmwareNotice(0x2000C62, 0x2000C62).isEmpty());
    QVERIFY(ComputerText::firmwareNotice(0x2000C62, 0).isEmpty());
    const QString notice = ComputerText::firmwareNotice(0x2000B00, 0x2000C62);
    QVERIFY(notice.startsWith(QStringLiteral("The connected device is using an earlier firmware version ")));
    QVERIFY(notice.contains(QStringLiteral(".\nA more recent version ")));
}

void TestComputerLogic::syslogFiles()
{
    // Binary form: marker, then 24 little-endian bytes per record.
    SyslogBinRecord one;
    one.time = 0x0102030405060708ULL;
    one.type = 0x2A;
    one.value1 = 0xA1A2A3A4;
    one.value2 = 0x00000005;
    SyslogBinRecord epoch;
    QCOMPARE(SyslogFile::binaryForm({}), QByteArray("SysLogBinary"));
    const QByteArray expected = QByteArray("SysLogBinary")
                                + QByteArray::fromHex("0807060504030201" "2a000000" "a4a3a2a1" "05000000" "00000000")
                                + QByteArray(24, '\0');
    QCOMPARE(SyslogFile::binaryForm({one, epoch}), expected);

    // Text form: the header and the log, UTF-8, then Base64 without breaks.
    const QDateTime when(QDate(2024, 6, 1), QTime(9, 5, 7));
    const QByteArray text = SyslogFile::textForm(when, QStringLiteral("Pelagon"), QStringLiteral("S-1"),
                                                 QString::fromUtf8("boot\nplongée\n"));
    QVERIFY(!text.contains('\n'));
    QCOMPARE(QString::fromUtf8(QByteArray::fromBase64(text)),
             QString::fromUtf8("-------------------- SYSLOG HEADER --------------------\n"
                               "Extraction date: 01/06/2024_09:05:07\n"
                               "Computer model: Pelagon\n"
                               "Serial number: S-1\n"
                               "-------------------- SYSLOG BODY --------------------\n"
                               "boot\nplongée\n"));
    QCOMPARE(SyslogFile::textForm(when, {}, {}, {}).left(8), QByteArray("LS0tLS0t"));

    // Written whole or not at all.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.syslog"));
    QVERIFY(SyslogFile::write(path, expected));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
    QVERIFY(!SyslogFile::write(dir.filePath(QStringLiteral("missing/log.syslog")), expected));
    QVERIFY(!SyslogFile::write(dir.path(), expected));
}

QTEST_MAIN(TestComputerLogic)
#include "tst_computerlogic.moc"
