// divetool's computer commands against the simulated computer of demo mode:
// the whole path from scan to the stored dive.

#include "divetooltesting.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

class TestDivetoolComputer : public QObject
{
    Q_OBJECT

private slots:
    void downloadStoresEveryDiveOnce();
    void identityOwnerAndClock();
    void withoutAdapter();
};

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

QTEST_GUILESS_MAIN(TestDivetoolComputer)
#include "tst_divetool_computer.moc"
