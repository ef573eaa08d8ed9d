#include "divedata/dive.h"

#include <QTest>

#include <limits>

namespace {

DiveLine line(double time, double depth)
{
    DiveLine l;
    l.timeSec = time;
    l.depth = depth;
    return l;
}

DiveGas gas(double o2, double he = 0.0)
{
    DiveGas g;
    g.setHe(0.0);
    g.setO2(o2);
    g.setHe(he);
    return g;
}

} // namespace

class TestDive : public QObject
{
    Q_OBJECT

private slots:
    void defaultsAndClear();
    void statisticsBoundsWithoutValues();
    void statisticsDeepestPointOnFirstMaximum();
    void statisticsWithDecoLines();
    void statisticsEndTime();
    void statisticsOnLongProfile();
    void speedsAndCeilingProfile();
    void refreshBringsEveryDerivedValue();
    void fillGasIndexes();
    void depthAt();
    void extractPortion();
    void extractPortionEdges();
    void gasSetters();
    void gasNames_data();
    void gasNames();
    void gasClass();
    void durationAndDateTexts();
    void gasSetNamesAndModeLabel();
    void pelagonAlertSummary();
};

void TestDive::defaultsAndClear()
{
    Dive dive;
    QCOMPARE(dive.samplePeriod, quint8(5));
    QCOMPARE(dive.gfLow, quint8(80));
    QCOMPARE(dive.format, 4);
    QCOMPARE(dive.dtrStartIndex, -1);
    QCOMPARE(dive.diverMode, quint8(255));
    QCOMPARE(dive.gasSet, quint16(1));
    QCOMPARE(DiveLine().tankPressureTxIndex, quint8(255));
    QCOMPARE(DiveLine().gasIndex, -1);

    dive.name = QStringLiteral("12");
    dive.samplePeriod = 2;
    dive.lines = {line(0, 0), line(10, 5)};
    dive.computerManufacturer = QStringLiteral("Maker");
    dive.uploaded = true;
    dive.diverMode = 0;
    dive.gasSet = 1280;
    dive.place = QStringLiteral("Reef");
    dive.alertsKelvo = {1, 2, 3, 4};
    dive.dtrStartIndex = 3;
    dive.clear();
    QVERIFY(dive.name.isEmpty());
    QVERIFY(dive.place.isEmpty());
    QVERIFY(dive.lines.isEmpty());
    QCOMPARE(dive.samplePeriod, quint8(5));
    QCOMPARE(dive.dtrStartIndex, -1);
    QCOMPARE(dive.alertsKelvo[3], quint8(0));
    // What describes the computer survives a reset.
    QCOMPARE(dive.computerManufacturer, QStringLiteral("Maker"));
    QVERIFY(dive.uploaded);
    QCOMPARE(dive.diverMode, quint8(0));
    QCOMPARE(dive.gasSet, quint16(1280));
}

void TestDive::statisticsBoundsWithoutValues()
{
    Dive dive;
    dive.computeStatistics();
    QCOMPARE(dive.minTemperature, 0.0);
    QCOMPARE(dive.maxTemperature, 0.0);
    QCOMPARE(dive.minTankPressure, quint16(65535));
    QCOMPARE(dive.maxTankPressure, quint16(0));
    QCOMPARE(dive.avgDepth, 0.0);

    dive.lines = {line(0, 0), line(60, 10), line(120, 0)};
    dive.lines[1].ambientTemp = 18.5;
    dive.lines[2].ambientTemp = 21.0;
    dive.lines[1].tankPressure = 180;
    dive.lines[2].tankPressure = 150;
    dive.computeStatistics();
    QCOMPARE(dive.minTemperature, 18.5); // the 0 °C first line is no reading
    QCOMPARE(dive.maxTemperature, 21.0);
    QCOMPARE(dive.minTankPressure, quint16(150));
    QCOMPARE(dive.maxTankPressure, quint16(180));
}

void TestDive::statisticsDeepestPointOnFirstMaximum()
{
    Dive dive;
    dive.lines = {line(0, 0), line(10, 12), line(20, 20), line(30, 20), line(40, 5)};
    dive.lines[4].deepestPoint = true; // stale flag from an earlier run
    dive.computeStatistics();
    QCOMPARE(dive.maxDepth, 20.0);
    QCOMPARE(dive.maxTime, 40.0);
    QCOMPARE(dive.avgDepth, 57.0 / 5);
    int flagged = 0;
    for (const DiveLine& l : dive.lines)
        flagged += l.deepestPoint ? 1 : 0;
    QCOMPARE(flagged, 1);
    QVERIFY(dive.lines[2].deepestPoint);

    Dive flat;
    flat.lines = {line(0, 0), line(10, 0)};
    flat.computeStatistics();
    QVERIFY(!flat.lines[0].deepestPoint && !flat.lines[1].deepestPoint);
}

void TestDive::statisticsWithDecoLines()
{
    Dive dive;
    dive.lines = {line(0, 0), line(600, 30)};
    dive.decoLines = {line(600, 30), line(720, 6), line(840, 6), line(858, 3), line(1038, 3.005), line(1056, 0)};
    dive.overlayLines = {line(2000, 1)};
    dive.computeStatistics();
    QCOMPARE(dive.totalDecoTime, 300.0); // 120 s at 6 m, 180 s at 3 m (0.005 m apart counts as one stop)
    QCOMPARE(dive.ascentTime, 456.0);
    QCOMPARE(dive.maxTime, 2000.0);      // overlay lines widen the duration
    QCOMPARE(dive.avgDepth, (0 + 30 + 30 + 6 + 6 + 3 + 3.005 + 0) / 8.0);

    // Without deco lines the previous ascent values stay.
    dive.decoLines.clear();
    dive.computeStatistics();
    QCOMPARE(dive.totalDecoTime, 300.0);
    QCOMPARE(dive.ascentTime, 456.0);
}

void TestDive::statisticsEndTime()
{
    Dive dive;
    dive.lines = {line(0, 0), line(95.7, 3)};
    dive.computeStatistics();
    QCOMPARE(dive.endTime, qint64(0)); // no begin time: left alone

    dive.beginTime = 4'000'000'000LL; // after 2038
    dive.computeStatistics();
    QCOMPARE(dive.endTime, 4'000'000'095LL);

    dive.endTime = 4'000'000'500LL; // already after the start: kept
    dive.computeStatistics();
    QCOMPARE(dive.endTime, 4'000'000'500LL);
}

void TestDive::statisticsOnLongProfile()
{
    // A depth that keeps increasing is the worst case for the deepest-point
    // flag; 36,000 lines (a ten-hour dive at one second) must stay quick and
    // leave exactly one flag on the last line.
    Dive dive;
    for (int i = 0; i < 36000; ++i)
        dive.lines.append(line(i, i * 0.001));
    dive.computeStatistics();
    QVERIFY(dive.lines.last().deepestPoint);
    QVERIFY(!dive.lines[35998].deepestPoint);
    QCOMPARE(dive.maxTime, 35999.0);
}

void TestDive::speedsAndCeilingProfile()
{
    Dive dive;
    dive.lines = {line(0, 0), line(60, 18), line(60, 20), line(120, 10)};
    dive.decoLines = {line(0, 10), line(30, 5)};
    dive.recomputeDerived();
    QCOMPARE(dive.lines[0].speed, 0.0);
    QCOMPARE(dive.lines[1].speed, 18.0);
    QCOMPARE(dive.lines[2].speed, 0.0); // no duration: no speed
    QCOMPARE(dive.lines[3].speed, -10.0);
    QCOMPARE(dive.decoLines[1].speed, -10.0);

    dive.lines[3].speed = 99.0;
    dive.decoLines[1].speed = 99.0;
    dive.recomputeDerived(true);
    QCOMPARE(dive.lines[3].speed, 99.0);
    QCOMPARE(dive.decoLines[1].speed, -10.0);

    dive.lines[1].decoCeiling = 3.0;
    dive.lines[2].decoCeiling = std::numeric_limits<double>::quiet_NaN(); // not a ceiling
    dive.lines[3].decoCeiling = 1.5; // line 2 has no ceiling: joined straight across
    dive.rebuildCeilingProfile();
    QCOMPARE(dive.ceilingProfile.size(), 3);
    QCOMPARE(dive.ceilingProfile[0].time, 0.0f);
    QCOMPARE(dive.ceilingProfile[0].depth, 0.0f);
    QCOMPARE(dive.ceilingProfile[1].time, 60.0f);
    QCOMPARE(dive.ceilingProfile[1].depth, 3.0f);
    QCOMPARE(dive.ceilingProfile[2].time, 120.0f);

    Dive first;
    first.lines = {line(5, 10)};
    first.lines[0].decoCeiling = 2;
    first.rebuildCeilingProfile();
    QCOMPARE(first.ceilingProfile.size(), 2);
    QCOMPARE(first.ceilingProfile[0].time, 0.0f);
}

void TestDive::refreshBringsEveryDerivedValue()
{
    // 20 m for ten minutes with a 3 m ceiling at the bottom, and a computed
    // ascent with one stop: what the logbook, a file or an editor hands over.
    Dive dive;
    dive.beginTime = 1'700'000'000;
    dive.lines = {line(0, 0), line(120, 20), line(600, 20), line(720, 5)};
    dive.lines[2].decoCeiling = 3.0;
    dive.decoLines = {line(720, 5), line(900, 5), line(930, 0)};
    for (const Dive::CeilingCurve ceiling : {Dive::CeilingCurve::Rebuild, Dive::CeilingCurve::Keep}) {
        Dive refreshed = dive;
        refreshed.ceilingProfile = {CurvePoint{0.0f, 9.0f, 0}}; // a simulation's curve
        refreshed.refreshDerived(ceiling);
        QCOMPARE(refreshed.maxDepth, 20.0);
        QCOMPARE(refreshed.maxTime, 930.0);
        QCOMPARE(refreshed.endTime, dive.beginTime + 930);
        QCOMPARE(refreshed.totalDecoTime, 180.0);
        QCOMPARE(refreshed.lines[1].speed, 10.0);
        QCOMPARE(refreshed.lines[3].speed, -7.5);
        QCOMPARE(refreshed.decoLines[2].speed, -10.0);
        QVERIFY(refreshed.lines[1].deepestPoint);
        if (ceiling == Dive::CeilingCurve::Keep) {
            QCOMPARE(refreshed.ceilingProfile.size(), 1);
            QCOMPARE(refreshed.ceilingProfile[0].depth, 9.0f);
        } else {
            QCOMPARE(refreshed.ceilingProfile.size(), 2); // (120 s, 0) then (600 s, 3 m)
            QCOMPARE(refreshed.ceilingProfile[1].depth, 3.0f);
        }
    }
}

void TestDive::fillGasIndexes()
{
    Dive dive;
    dive.lines = {line(0, 0), line(1, 1), line(2, 2), line(3, 3)};
    dive.lines[2].gasIndex = 2;
    dive.fillGasIndexes();
    QCOMPARE(dive.lines[0].gasIndex, 0);
    QCOMPARE(dive.lines[1].gasIndex, 0);
    QCOMPARE(dive.lines[2].gasIndex, 2);
    QCOMPARE(dive.lines[3].gasIndex, 2);
}

void TestDive::depthAt()
{
    Dive dive;
    QCOMPARE(dive.depthAt(10), 0.0);
    dive.lines = {line(0, 7)};
    QCOMPARE(dive.depthAt(100), 7.0);
    dive.lines = {line(0, 0), line(60, 30), line(60, 20), line(120, 0)};
    QCOMPARE(dive.depthAt(30), 15.0);
    QCOMPARE(dive.depthAt(60), 30.0);
    QCOMPARE(dive.depthAt(90), 10.0);
    QCOMPARE(dive.depthAt(500), 0.0);
    QCOMPARE(dive.depthAt(-5), 0.0); // before the dive: the last line's depth
}

void TestDive::extractPortion()
{
    Dive dive;
    dive.computerName = QStringLiteral("PLS 12");
    dive.density = 1;
    dive.gases = {gas(0.32)};
    dive.lines = {line(0, 0), line(100, 20), line(200, 20), line(300, 10), line(400, 0)};
    dive.lines[2].ambientTemp = 17;

    const Dive part = dive.extractPortion(150, 350);
    QCOMPARE(part.format, 3);
    QCOMPARE(part.computerName, dive.computerName);
    QCOMPARE(part.density, quint8(1));
    QCOMPARE(part.gases.size(), 1);
    // first line, descent to 20 m in 40 s, lines 200 and 300 shifted, end at 5 m, ascent 30 s.
    QCOMPARE(part.lines.size(), 6);
    QCOMPARE(part.lines[1].timeSec, 40.0);
    QCOMPARE(part.lines[1].depth, 20.0);
    QCOMPARE(part.lines[1].gasIndex, -1);
    QCOMPARE(part.lines[1].tankPressureTxIndex, quint8(255));
    QCOMPARE(part.lines[2].timeSec, 90.0);
    QCOMPARE(part.lines[2].ambientTemp, 17.0);
    QCOMPARE(part.lines[3].timeSec, 190.0);
    QCOMPARE(part.lines[4].timeSec, 240.0);
    QCOMPARE(part.lines[4].depth, 5.0);
    QCOMPARE(part.lines[5].timeSec, 270.0);
    QCOMPARE(part.lines[5].depth, 0.0);
    QCOMPARE(part.maxDepth, 20.0);
    QCOMPARE(part.lines[1].speed, 30.0);
    QCOMPARE(part.lines[5].speed, -10.0);
}

void TestDive::extractPortionEdges()
{
    const Dive empty = Dive().extractPortion(0, 100);
    QVERIFY(empty.lines.isEmpty());
    QCOMPARE(empty.format, 4);

    Dive dive;
    dive.lines = {line(0, 0), line(100, 20), line(200, 10)};
    const Dive beyond = dive.extractPortion(500, 600);
    // Only the last line stands between the added points.
    QCOMPARE(beyond.lines.size(), 5);
    QCOMPARE(beyond.lines[2].depth, 10.0);
    QCOMPARE(beyond.lines[1].timeSec, 20.0);
    QCOMPARE(beyond.lines[2].timeSec, 200.0 - 500.0 + 20.0);
}

void TestDive::gasSetters()
{
    DiveGas g;
    g.setO2(0.04);
    QCOMPARE(g.o2, 0.21f);
    g.setHe(0.1);
    g.setO2(1.0); // 1.0 + 0.1 > 1.001
    QCOMPARE(g.o2, 0.21f);
    g.setHe(0.0);

    g.setHe(0.8);
    QCOMPARE(g.he, 0.0f);
    g.setHe(0.5);
    QCOMPARE(g.he, 0.5f);
    QCOMPARE(g.n2, float(1.0 - double(0.21f) - double(0.5f)));

    g.setHe(1.2);
    QCOMPARE(g.he, 0.5f);
    // Fractions that are not numbers are ignored like any outside the range.
    g.setHe(std::numeric_limits<double>::quiet_NaN());
    g.setO2(std::numeric_limits<double>::quiet_NaN());
    QCOMPARE(g.he, 0.5f);
    QCOMPARE(g.o2, 0.21f);
    QVERIFY(std::isfinite(g.n2));

    DiveGas oxygen;
    oxygen.setO2(1.0);
    QCOMPARE(oxygen.n2, 0.0f);

    g.setMaxPpO2(0);
    QCOMPARE(g.maxPpO2, 1.6f);
    g.setMaxPpO2(1.4f);
    QCOMPARE(g.maxPpO2, 1.4f);
}

void TestDive::gasNames_data()
{
    QTest::addColumn<double>("o2");
    QTest::addColumn<double>("he");
    QTest::addColumn<QString>("name");
    QTest::newRow("air") << 0.21 << 0.0 << "Air";
    QTest::newRow("oxygen") << 1.0 << 0.0 << "Oxy";
    QTest::newRow("nitrox") << 0.32 << 0.0 << "Nx32";
    QTest::newRow("hypoxic") << 0.18 << 0.0 << "Nx18";
    QTest::newRow("trimix") << 0.21 << 0.35 << "Tx21/35";
    QTest::newRow("triox") << 0.30 << 0.30 << "Triox30/30";
    QTest::newRow("heliox") << 0.10 << 0.90 << "Hx10/90";
}

void TestDive::gasNames()
{
    QFETCH(double, o2);
    QFETCH(double, he);
    QFETCH(QString, name);
    DiveGas g = gas(o2, he);
    QCOMPARE(g.gasName(), name);
    g.mName = QStringLiteral("Deco");
    QCOMPARE(g.gasName(), QStringLiteral("Deco"));
}

void TestDive::gasClass()
{
    DiveGas g;
    QCOMPARE(g.gasClass(), 0);
    g.setGasClass(1);
    QCOMPARE(g.gasClass(), 1);
    QVERIFY(g.diluent);
    QCOMPARE(g.usage, quint8(GasUsage::Diluent));
    g.setGasClass(2);
    QCOMPARE(g.gasClass(), 2);
    QVERIFY(!g.diluent);
    g.setGasClass(7);
    QCOMPARE(g.gasClass(), 0);
    QCOMPARE(g.usage, quint8(GasUsage::None));
}

void TestDive::durationAndDateTexts()
{
    Dive dive;
    dive.beginTime = 1'700'000'000;
    dive.endTime = dive.beginTime + 3599;
    QCOMPARE(dive.durationText(), QStringLiteral("59:59"));
    dive.endTime = dive.beginTime + 3600;
    QCOMPARE(dive.durationText(), QStringLiteral("01:00:00"));
    dive.endTime = dive.beginTime + 5;
    QCOMPARE(dive.durationText(), QStringLiteral("00:05"));
    dive.endTime = dive.beginTime - 10; // never a negative duration
    QCOMPARE(dive.durationText(), QStringLiteral("00:00"));
    QCOMPARE(dive.dateText(), QStringLiteral("14/11/2023 22:13"));
    // Long dives keep counting hours; nonsense durations show as zero.
    QCOMPARE(Dive::formatDuration(90000.7), QStringLiteral("25:00:00"));
    QCOMPARE(Dive::formatDuration(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("00:00"));
    QCOMPARE(Dive::formatDuration(-3.0), QStringLiteral("00:00"));
}

void TestDive::gasSetNamesAndModeLabel()
{
    Dive dive;
    dive.gasSet = 3;
    QCOMPARE(dive.gasSetName(), QStringLiteral("Inconnu"));
    dive.gasSet = 4;
    QCOMPARE(dive.gasSetName(), QStringLiteral("Nx40"));
    dive.gasSet = 256;
    QCOMPARE(dive.gasSetName(), QStringLiteral("Nx40"));
    dive.gasSet = 2080;
    QCOMPARE(dive.gasSetName(), QStringLiteral("Nx60 Oxymix"));

    dive.diverMode = 0;
    QCOMPARE(dive.diveModeLabel(), QStringLiteral("PLB OC"));
    dive.diverMode = 255;
    dive.divemode = 1;
    QCOMPARE(dive.diveModeLabel(), QStringLiteral("PLS"));
}

void TestDive::pelagonAlertSummary()
{
    Dive dive;
    dive.lines = {line(0, 0), line(1, 1), line(2, 2)};
    dive.lines[0].pelagonAlerts = {0b00'01'10'00, 0b0000'01'10, 0x01};
    dive.lines[1].pelagonAlerts = {0b11'00'01'01, 0b1100'10'01, 0x80};
    dive.lines[2].pelagonAlerts = {0b01'10'00'00, 0b0000'00'00, 0x00};
    dive.computePelagonAlertSummary();
    QCOMPARE(dive.alertsPelagon[0], quint8(0b11'10'10'01)); // level by level
    QCOMPARE(dive.alertsPelagon[1], quint8(0b0000'11'10)); // level 2, flags ORed, bits 6-7 dropped
    QCOMPARE(dive.alertsPelagon[2], quint8(0x81));
}

QTEST_APPLESS_MAIN(TestDive)
#include "tst_dive.moc"
