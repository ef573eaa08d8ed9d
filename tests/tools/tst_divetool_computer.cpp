// divetool's computer commands against the simulated computer of demo mode:
// the whole path from scan to the stored dive.

#include "divetooltesting.h"

#include <QFile>
#include <QJsonArray>
#include <QtEndian>
#include <QTemporaryDir>
#include <QtTest>

class TestDivetoolComputer : public QObject
{
    Q_OBJECT

private slots:
    void downloadStoresEveryDiveOnce();
    void identityOwnerAndClock();
    void withoutAdapter();
    void demoFaults_data();
    void demoFaults();
    void firmware_data();
    void firmware();
    void layouts();
};

namespace {

// An image file the simulated computer takes: `magic` and `version` in the
// header at byte 512, the size at 516 (magic 0: no header).
QString writeImage(const QTemporaryDir& dir, const QString& name, quint32 magic, quint32 version, int size)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char((i * 7 + 3) & 0xFF);
    image.replace(512, 32, QByteArray(32, '\0'));
    if (magic != 0) {
        qToLittleEndian(magic, image.data() + 512);
        qToLittleEndian(quint32(size), image.data() + 516);
        qToLittleEndian(version, image.data() + 520);
    }
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != size)
        return QString();
    return file.fileName();
}

} // namespace

void TestDivetoolComputer::downloadStoresEveryDiveOnce()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("logbook.db"));

    const ToolRun listed = runTool({QStringLiteral("--demo"), QStringLiteral("--json"), QStringLiteral("computer"),
                                    QStringLiteral("dives")});
    QCOMPARE(listed.status, 0);
    const QJsonArray onComputer = listed.json().value(QStringLiteral("dives")).toArray();
    QVERIFY(onComputer.size() >= 12);

    const ToolRun first = runTool({QStringLiteral("--demo"), QStringLiteral("--json"), QStringLiteral("computer"),
                                   QStringLiteral("download"), db});
    QVERIFY2(first.status == 0, qPrintable(first.err));
    const QJsonArray stored = first.json().value(QStringLiteral("stored")).toArray();
    QCOMPARE(stored.size(), onComputer.size());

    // Nothing new the second time; asked for every dive, each is refused.
    const ToolRun second = runTool({QStringLiteral("--demo"), QStringLiteral("--json"), QStringLiteral("computer"),
                                    QStringLiteral("download"), db});
    QCOMPARE(second.status, 0);
    QCOMPARE(second.json().value(QStringLiteral("stored")).toArray().size(), 0);
    QCOMPARE(second.json().value(QStringLiteral("skipped")).toArray().size(), 0);
    const ToolRun all = runTool({QStringLiteral("--demo"), QStringLiteral("--json"), QStringLiteral("computer"),
                                 QStringLiteral("download"), db, QStringLiteral("--all")});
    QCOMPARE(all.status, 0);
    QCOMPARE(all.json().value(QStringLiteral("stored")).toArray().size(), 0);
    QCOMPARE(all.json().value(QStringLiteral("skipped")).toArray().size(), onComputer.size());

    const ToolRun list = runTool({QStringLiteral("--json"), QStringLiteral("db"), QStringLiteral("list"), db});
    QCOMPARE(list.json().value(QStringLiteral("dives")).toArray().size(), onComputer.size());

    // The fourth dive of the demo logbook is a decompression dive with a
    // travel gas: both gases and its stops show.
    const int decoId = stored.at(3).toObject().value(QStringLiteral("id")).toInt();
    const ToolRun shown = runTool({QStringLiteral("--json"), QStringLiteral("db"), QStringLiteral("show"), db,
                                   QString::number(decoId)});
    QCOMPARE(shown.status, 0);
    const QJsonObject dive = shown.json();
    const QJsonArray gases = dive.value(QStringLiteral("gases")).toArray();
    QCOMPARE(gases.size(), 2);
    QCOMPARE(gases.at(1).toObject().value(QStringLiteral("o2")).toDouble(), 50.0);
    const QJsonArray stops = dive.value(QStringLiteral("stops")).toArray();
    QVERIFY(stops.size() >= 2);
    QVERIFY(stops.at(0).toObject().value(QStringLiteral("depth")).toDouble()
            > stops.at(stops.size() - 1).toObject().value(QStringLiteral("depth")).toDouble());
    QVERIFY(dive.value(QStringLiteral("maxDepth")).toDouble() > 35.0);
    const ToolRun text = runTool({QStringLiteral("db"), QStringLiteral("show"), db, QString::number(decoId)});
    QVERIFY(text.out.contains(QStringLiteral("Nx50 (O2 50 %, He 0 %)")));
    QVERIFY(text.out.contains(QRegularExpression(QStringLiteral("Stops: +\\d+(\\.\\d)? m \\d\\d:\\d\\d, "))));
}

void TestDivetoolComputer::identityOwnerAndClock()
{
    const ToolRun info = runTool({QStringLiteral("--demo"), QStringLiteral("--json"), QStringLiteral("computer"),
                                  QStringLiteral("info")});
    QCOMPARE(info.status, 0);
    const QJsonObject identity = info.json();
    QCOMPARE(identity.value(QStringLiteral("model")).toString(), QStringLiteral("Pelagon"));
    QCOMPARE(identity.value(QStringLiteral("mode")).toString(), QStringLiteral("Normal"));
    QCOMPARE(identity.value(QStringLiteral("serial")).toString(), QStringLiteral("00A1B2C3-00000017-20240601"));
    QCOMPARE(identity.value(QStringLiteral("device")).toObject().value(QStringLiteral("name")).toString(),
             QStringLiteral("Pelagon"));

    const ToolRun owner = runTool({QStringLiteral("--demo"), QStringLiteral("computer"), QStringLiteral("owner"),
                                   QStringLiteral("Jo Plongée")});
    QCOMPARE(owner.status, 0);
    QCOMPARE(owner.out.trimmed(), QStringLiteral("Owner: Jo Plongée"));
    const ToolRun tooLong = runTool({QStringLiteral("--demo"), QStringLiteral("computer"), QStringLiteral("owner"),
                                     QString(40, QLatin1Char('x'))});
    QCOMPARE(tooLong.status, 1);
    QVERIFY(tooLong.err.contains(QStringLiteral("Set Owner Error")));

    // The demo computer's clock is ahead; --set brings it to local time.
    const ToolRun clock = runTool({QStringLiteral("--demo"), QStringLiteral("--json"), QStringLiteral("computer"),
                                   QStringLiteral("time")});
    QVERIFY(qAbs(clock.json().value(QStringLiteral("difference")).toInt() - 97) <= 2);
    const ToolRun set = runTool({QStringLiteral("--demo"), QStringLiteral("--json"), QStringLiteral("computer"),
                                 QStringLiteral("time"), QStringLiteral("--set")});
    QVERIFY(qAbs(set.json().value(QStringLiteral("difference")).toInt()) <= 2);
}

void TestDivetoolComputer::withoutAdapter()
{
    // This machine has no Bluetooth adapter: the scan fails at once.
    const ToolRun run = runTool({QStringLiteral("computer"), QStringLiteral("info")});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("divetool: computer: Scan error: ")), qPrintable(run.err));
    const ToolRun usage = runTool({QStringLiteral("computer")});
    QCOMPARE(usage.status, 2);
}

void TestDivetoolComputer::demoFaults_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("variables");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("stored");
    const QStringList none;
    QTest::newRow("link lost after two dives") << QStringList{"--demo-fault=link-loss=2"} << none << 1
                                               << "Device disconnected" << 2;
    QTest::newRow("from the environment, with --demo") << QStringList{"--demo"}
                                                       << QStringList{"PELAGON_DEMO_FAULT=link-loss=1"} << 1
                                                       << "Device disconnected" << 1;
    QTest::newRow("environment alone") << none << QStringList{"PELAGON_DEMO_FAULT=link-loss=0"} << 1
                                       << "Device disconnected" << 0;
    QTest::newRow("bad CRC on the identification") << QStringList{"--demo-fault=bad-crc=Identification"} << none << 1
                                                   << "" << 0;
    // The protocol gives up the silent computer's link.
    QTest::newRow("silent logbook") << QStringList{"--demo-fault=silence=Logbook"} << none << 1
                                    << "Device disconnected" << 0;
    QTest::newRow("harmless to a download") << QStringList{"--demo-fault=garbage=Logbook,bad-gases"} << none << 0
                                            << "" << -1;
    QTest::newRow("unknown fault") << QStringList{"--demo-fault=link-loss=2,meteor"} << none << 2
                                   << "unknown demo fault \"meteor\"" << 0;
    QTest::newRow("unknown command") << QStringList{"--demo-fault=silence=Teleport"} << none << 2
                                     << "unknown command \"Teleport\"" << 0;
    QTest::newRow("link loss without count") << QStringList{"--demo-fault=link-loss"} << none << 2
                                             << "link-loss needs a number" << 0;
}

// The faults demo mode can be asked for, through a download into a new logbook:
// what arrived whole before the fault stays, and a download without the
// fault brings the rest (-1: every dive of the computer arrived).
void TestDivetoolComputer::demoFaults()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, variables);
    QFETCH(int, status);
    QFETCH(QString, error);
    QFETCH(int, stored);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("logbook.db"));
    const ToolRun run = runTool(options + QStringList{QStringLiteral("computer"), QStringLiteral("download"), db},
                                variables);
    QVERIFY2(!run.crashed, qPrintable(run.err));
    QVERIFY2(run.status == status, qPrintable(run.err));
    if (status != 0) {
        QCOMPARE(run.errorLines().size(), 1);
        QVERIFY2(run.err.contains(error), qPrintable(run.err));
    }
    if (status == 2)
        return;
    const ToolRun list = runTool({QStringLiteral("--json"), QStringLiteral("db"), QStringLiteral("list"), db});
    const qsizetype dives = list.json().value(QStringLiteral("dives")).toArray().size();
    if (stored > 0) {
        QCOMPARE(dives, qsizetype(stored));
        // Without the fault the next download brings the rest.
        const ToolRun rest = runTool({QStringLiteral("--demo"), QStringLiteral("--json"), QStringLiteral("computer"),
                                      QStringLiteral("download"), db});
        QCOMPARE(rest.status, 0);
        QCOMPARE(rest.json().value(QStringLiteral("stored")).toArray().size() + stored, 24);
    } else {
        QCOMPARE(dives, qsizetype(stored < 0 ? 24 : 0));
    }
}

void TestDivetoolComputer::firmware_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("magic");
    QTest::addColumn<quint32>("version");
    QTest::addColumn<bool>("force");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QString>("bootloader");
    // The demo computer runs firmware 2.0.12.b over bootloader 1.2.0.a.
    QTest::newRow("application") << "app.bin" << 0xDEADBEEFu << 0x02000D63u << false << 0 << "2.0.13.c" << "1.2.0.a";
    QTest::newRow("bootloader") << "boot.bin" << 0x424F4F54u << 0x01030061u << false << 0 << "2.0.12.b" << "1.3.0.a";
    QTest::newRow("without header") << "X.2.0.11.a.bin" << 0u << 0u << false << 0 << "2.0.11.a" << "1.2.0.a";
    QTest::newRow("installed version") << "app.bin" << 0xDEADBEEFu << 0x02000C62u << false << 1 << "" << "";
    QTest::newRow("installed version, forced") << "app.bin" << 0xDEADBEEFu << 0x02000C62u << true << 0 << "2.0.12.b"
                                               << "1.2.0.a";
    QTest::newRow("unknown kind") << "odd.bin" << 0x01020304u << 0u << false << 1 << "" << "";
}

void TestDivetoolComputer::firmware()
{
    QFETCH(QString, name);
    QFETCH(quint32, magic);
    QFETCH(quint32, version);
    QFETCH(bool, force);
    QFETCH(int, status);
    QFETCH(QString, firmware);
    QFETCH(QString, bootloader);
    QTemporaryDir dir;
    const QString path = writeImage(dir, name, magic, version, 3000);
    QVERIFY(!path.isEmpty());
    QStringList arguments{QStringLiteral("--demo"), QStringLiteral("--json"), QStringLiteral("computer"),
                          QStringLiteral("firmware"), path};
    if (force)
        arguments << QStringLiteral("--force");
    const ToolRun run = runTool(arguments);
    QVERIFY2(!run.crashed, qPrintable(run.err));
    QCOMPARE(run.status, status);
    if (status != 0) {
        QCOMPARE(run.errorLines().size(), 1);
        return;
    }
    const QJsonObject result = run.json();
    QCOMPARE(result.value(QStringLiteral("bytes")).toInt(), 3000);
    QCOMPARE(result.value(QStringLiteral("firmware")).toString(), firmware);
    QCOMPARE(result.value(QStringLiteral("bootloader")).toString(), bootloader);
    // Progress on stderr, ending with the whole image.
    QVERIFY2(run.err.contains(QStringLiteral("divetool: firmware: 100 % (3000 of 3000 bytes)")), qPrintable(run.err));
    QVERIFY(run.errorLines().size() >= 10);
}

void TestDivetoolComputer::layouts()
{
    QTemporaryDir dir;
    const auto layouts = [](const QStringList& words) {
        return runTool(QStringList{QStringLiteral("--demo"), QStringLiteral("--json"), QStringLiteral("computer"),
                                   QStringLiteral("layouts")}
                       + words);
    };
    const ToolRun list = layouts({QStringLiteral("list")});
    QCOMPARE(list.status, 0);
    QCOMPARE(list.json().value(QStringLiteral("layouts")).toArray().size(), 5);
    QCOMPARE(list.json().value(QStringLiteral("layouts")).toArray().at(1).toObject().value(QStringLiteral("name")),
             QStringLiteral("Big numbers"));
    QCOMPARE(list.json().value(QStringLiteral("active")).toArray(), (QJsonArray{0, 1, 2, 3, 4}));

    const QString saved = dir.filePath(QStringLiteral("technical.layout"));
    const ToolRun get = layouts({QStringLiteral("get"), QStringLiteral("2"), saved});
    QCOMPARE(get.status, 0);
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray blob = file.readAll();
    QCOMPARE(blob.size(), get.json().value(QStringLiteral("bytes")).toInt());
    QVERIFY(blob.startsWith(QByteArray("\x03Technical\0", 11)));

    // Written back under the next free number, in several chunks.
    const ToolRun add = layouts({QStringLiteral("add"), saved});
    QCOMPARE(add.status, 0);
    QCOMPARE(add.json().value(QStringLiteral("index")).toInt(), 5);
    QCOMPARE(add.json().value(QStringLiteral("name")).toString(), QStringLiteral("Technical"));
    QVERIFY2(add.err.contains(QStringLiteral("divetool: layouts: %1 of %1 bytes").arg(blob.size())), qPrintable(add.err));

    const ToolRun active = layouts({QStringLiteral("active"), QStringLiteral("1"), QStringLiteral("none")});
    QCOMPARE(active.status, 0);
    QCOMPARE(active.json().value(QStringLiteral("active")).toArray(), (QJsonArray{0, -1, 2, 3, 4}));
    QCOMPARE(layouts({QStringLiteral("remove"), QStringLiteral("all")}).status, 0);
    QCOMPARE(layouts({QStringLiteral("remove"), QStringLiteral("9")}).status, 1); // no such layout
    // Wrong words are told before any scan.
    for (const QStringList& words : {QStringList{QStringLiteral("active"), QStringLiteral("5"), QStringLiteral("0")},
                                     QStringList{QStringLiteral("get"), QStringLiteral("1")},
                                     QStringList{QStringLiteral("rename")}})
        QCOMPARE(layouts(words).status, 2);
}

QTEST_GUILESS_MAIN(TestDivetoolComputer)
#include "tst_divetool_computer.moc"
