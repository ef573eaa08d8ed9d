// Plans with deco gases: off, every plan is what it always was, to the bit;
// on, the computed ascent switches gases as the double-precision reference
// does, and the records, deco lines, CNS and OTU follow the gas breathed.

#include "decoreference.h"
#include "plannertesting.h"

#include "deco/oxygen.h"

#include <QtTest>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <vector>

using namespace deco;

namespace {

DiveGas diveGas(int o2, int he)
{
    DiveGas gas;
    gas.setO2(o2 / 100.0);
    gas.setHe(he / 100.0);
    return gas;
}

struct GasPercent
{
    int o2;
    int he;
};

// A square plan (down at 18 m/min) breathing the first gas, the others
// carried as the dive's deco gases.
void plan(RecordedPlanner& p, const std::vector<GasPercent>& gases, double depth, double minutes,
          const std::optional<GradientFactors>& gf)
{
    p.planner.setBreathingGas(GasMix(gases.front().o2, gases.front().he));
    p.dive().gases.clear();
    for (const GasPercent& gas : gases)
        p.dive().gases.append(diveGas(gas.o2, gas.he));
    p.run(profile({{0, 0}, {depth / 18.0 * 60.0, depth}, {minutes * 60.0, depth}}), gf);
}

std::uint32_t curveHash(const QList<CurvePoint>& curve)
{
    std::uint32_t hash = 0;
    for (const CurvePoint& point : curve) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &point.depth, sizeof bits);
        hash = hash * 31u + bits;
    }
    return hash;
}

constexpr double kStep = 5.0 / 60.0;

} // namespace

Q_DECLARE_METATYPE(std::vector<GasPercent>)

class TestDecoGases : public QObject
{
    Q_OBJECT

private slots:
    void offKeepsEveryPlanToTheBit_data();
    void offKeepsEveryPlanToTheBit();
    void switchesMatchTheReference_data();
    void switchesMatchTheReference();
    void recordsCarryTheGasBreathed();
    void unusableSettingsAreRefused();
};

void TestDecoGases::offKeepsEveryPlanToTheBit_data()
{
    QTest::addColumn<int>("o2");
    QTest::addColumn<int>("he");
    QTest::addColumn<double>("depth");
    QTest::addColumn<int>("gfLow"); // 0: no custom gradient factors
    QTest::addColumn<int>("records");
    QTest::addColumn<float>("runtime");
    QTest::addColumn<float>("cns");
    QTest::addColumn<float>("otu");
    QTest::addColumn<int>("ceilingPoints");
    QTest::addColumn<quint32>("ceilingHash");
    QTest::addColumn<float>("n2Slowest");
    // Planned before deco gases existed: the plan records, CNS, OTU, ceiling
    // curve and end tissues of three 25-minute plans, bit for bit.
    QTest::newRow("trimix 18/45 60 m 30/70") << 18 << 45 << 60.0 << 30 << 23 << 0x1.0378ccp+8f << 0x1.c1abcep+3f
                                             << 0x1.3b83b8p+5f << 7693 << quint32(0xfec06760u) << 0x1.80f1dcp-1f;
    QTest::newRow("air 45 m 30/70") << 21 << 0 << 45.0 << 30 << 17 << 0x1.76b492p+6f << 0x1.6be2f6p+3f
                                    << 0x1.06916ep+5f << 2633 << quint32(0x7eee3246u) << 0x1.c10c74p-1f;
    QTest::newRow("air 45 m default") << 21 << 0 << 45.0 << 0 << 11 << 0x1.18dfe4p+6f << 0x1.6b8836p+3f
                                      << 0x1.fcea4p+4f << 1887 << quint32(0xdbeaa7dfu) << 0x1.b9bbep-1f;
}

void TestDecoGases::offKeepsEveryPlanToTheBit()
{
    QFETCH(int, o2);
    QFETCH(int, he);
    QFETCH(double, depth);
    QFETCH(int, gfLow);
    QFETCH(int, records);
    QFETCH(float, runtime);
    QFETCH(float, cns);
    QFETCH(float, otu);
    QFETCH(int, ceilingPoints);
    QFETCH(quint32, ceilingHash);
    QFETCH(float, n2Slowest);
    const std::optional<GradientFactors> gf =
        gfLow > 0 ? std::optional<GradientFactors>(GradientFactors(gfLow, 70)) : std::nullopt;

    // Off, whatever else the setting holds and whatever gases the dive carries.
    DecoGasSettings off;
    off.maxPpO2 = 1.4f;
    off.switchStopMinutes = 3.0f;
    RecordedPlanner p(1);
    QVERIFY(p.planner.setDecoGases(off));
    plan(p, {{o2, he}, {50, 0}, {100, 0}}, depth, 25.0, gf);

    const QList<LinePlan> segments = p.records.mid(1, p.records.size() - 2);
    QCOMPARE(int(segments.size()), records);
    QCOMPARE(segments.constLast().runtime, runtime);
    QCOMPARE(p.records.constLast().cns, cns);
    QCOMPARE(p.records.constLast().otu, otu);
    QCOMPARE(int(p.dive().ceilingProfile.size()), ceilingPoints);
    QCOMPARE(curveHash(p.dive().ceilingProfile), ceilingHash);
    QCOMPARE(p.slot().tissues.n2[15], n2Slowest);
    for (const LinePlan& record : segments)
        QCOMPARE(record.gasIndex, 0);
}

void TestDecoGases::switchesMatchTheReference_data()
{
    QTest::addColumn<std::vector<GasPercent>>("gases"); // bottom gas first, deco gases by rising oxygen
    QTest::addColumn<double>("depth");
    QTest::addColumn<double>("minutes");
    QTest::addColumn<int>("gfLow");
    QTest::addColumn<int>("gfHigh");
    struct Plan
    {
        const char* name;
        std::vector<GasPercent> gases;
        double depth, minutes;
    };
    const Plan plans[] = {{"40 m 30 min air + EAN50", {{21, 0}, {50, 0}}, 40, 30},
                          {"60 m 25 min Tx18/45 + EAN50 + O2", {{18, 45}, {50, 0}, {100, 0}}, 60, 25},
                          {"79 m 30 min Tx15/45 + EAN36 + O2", {{15, 45}, {36, 0}, {100, 0}}, 79, 30}};
    for (const Plan& plan : plans) {
        for (const auto& [low, high] : {std::pair{100, 100}, std::pair{30, 70}})
            QTest::addRow("%s %d/%d", plan.name, low, high) << plan.gases << plan.depth << plan.minutes << low << high;
    }
}

void TestDecoGases::switchesMatchTheReference()
{
    QFETCH(std::vector<GasPercent>, gases);
    QFETCH(double, depth);
    QFETCH(double, minutes);
    QFETCH(int, gfLow);
    QFETCH(int, gfHigh);

    RecordedPlanner p(1);
    DecoGasSettings on;
    on.enabled = true;
    QVERIFY(p.planner.setDecoGases(on));
    plan(p, gases, depth, minutes, GradientFactors(gfLow, gfHigh));

    reference::Site site;
    site.gfLow = gfLow / 100.0;
    site.gfHigh = gfHigh / 100.0;
    const reference::Mix bottom = reference::mixOf(gases.front().o2, gases.front().he);
    std::vector<reference::Mix> deco;
    for (std::size_t k = 1; k < gases.size(); ++k)
        deco.push_back(reference::mixOf(gases[k].o2, gases[k].he));
    const double descent = depth / 18.0;
    const double pressure = site.pressureAt(depth);
    reference::Tissues tissues = reference::saturated(site.surface);
    reference::schreiner(tissues, bottom.gas, site.surface, pressure, descent);
    reference::haldane(tissues, bottom.gas, pressure, minutes - descent);
    // Helium's stops are searched in whole 5-second steps; nitrogen's have a
    // closed form, but after a switch from trimix its tissues hold helium.
    const std::vector<reference::GasStop> stops =
        reference::scheduleWithGases(tissues, bottom, deco, pressure, site, kStep, 1.6, 1.0);
    QVERIFY(stops.size() >= 3);

    std::map<int, std::pair<double, double>> byDepth; // tenths of a metre: engine, reference
    std::map<int, int> gasByDepth;
    for (const LinePlan& record : p.computed()) {
        if (record.segmentType == LinePlan::Level) {
            const int key = int(std::lround(record.depth * 10.0));
            byDepth[key].first = record.duration;
            gasByDepth[key] = record.gasIndex;
        }
    }
    const double top = site.pressureAt(stops.front().depth);
    double runtime = minutes + (pressure - top) / site.ascentRate + (top - site.surface) / site.decoAscentRate;
    for (const reference::GasStop& stop : stops) {
        const int key = int(std::lround(stop.depth * 10.0));
        byDepth[key].second = stop.minutes;
        runtime += stop.minutes;
        QVERIFY2(gasByDepth.count(key) == 1 && gasByDepth[key] == stop.gas,
                 qPrintable(QString("%1 m: gas %2, reference %3").arg(key / 10.0).arg(gasByDepth[key]).arg(stop.gas)));
    }
    QCOMPARE(int(byDepth.size()), int(stops.size())); // the same stop depths
    for (const auto& [key, times] : byDepth) {
        QVERIFY2(std::fabs(times.first - times.second) <= kStep + 1e-4,
                 qPrintable(QString("%1 m: %2 vs %3 min").arg(key / 10.0).arg(times.first).arg(times.second)));
    }
    const double planned = p.computed().constLast().runtime;
    QVERIFY2(std::fabs(planned - runtime) <= 0.01 * runtime, qPrintable(QString("%1 vs %2").arg(planned).arg(runtime)));
    qInfo("%s: runtime %.2f min (reference %.2f)", QTest::currentDataTag(), planned, runtime);
}

void TestDecoGases::recordsCarryTheGasBreathed()
{
    // Air with EAN50 (dive gas 2) and oxygen (dive gas 3); gas 1 is leaner
    // than air and is never a deco gas. A switch stop of two minutes.
    RecordedPlanner p(1);
    DecoGasSettings on;
    on.enabled = true;
    on.switchStopMinutes = 2.0f;
    QVERIFY(p.planner.setDecoGases(on));
    plan(p, {{21, 0}, {18, 0}, {50, 0}, {100, 0}}, 45.0, 30.0, std::nullopt);

    // EAN50 from 21 m (1.6 bar at 21.8 m), oxygen only at 3 m (6 m would be
    // 1.62 bar); each switch stop lasts at least two minutes.
    auto expectedGas = [](float depth) { return depth <= 3.001f ? 3 : (depth <= 21.001f ? 2 : 0); };
    int previous = 0;
    float previousDepth = 0.0f;
    const QList<LinePlan> computed = p.computed();
    QVERIFY(!computed.isEmpty());
    for (const LinePlan& record : computed) {
        if (record.segmentType == LinePlan::Level) {
            QCOMPARE(record.gasIndex, expectedGas(record.depth));
            if (record.gasIndex != previous)
                QVERIFY2(record.duration >= 2.0f, qPrintable(QString::number(record.depth)));
            previous = record.gasIndex;
        }
    }
    QCOMPARE(previous, 3);

    // The deco lines carry the same gases; the final ascent ends on no gas.
    for (const DiveLine& line : p.dive().decoLines.mid(2, p.dive().decoLines.size() - 3))
        QCOMPARE(line.gasIndex, expectedGas(float(line.depth)));
    QCOMPARE(p.dive().decoLines.constLast().gasIndex, -1);

    // Each record names the gas breathed (a move the gas of the stop it
    // leaves), and OTU follows its ppO2: worked out from the records with the
    // usual formula, (0.5 / (ppO2 - 0.5))^(-5/6) per minute.
    const double fO2[] = {0.21, 0.18, 0.50, 1.00};
    auto bar = [](double depth) { return 1.03 * 9.80665 * depth / 100.0 + 1.013; };
    auto otu = [](double ppO2) { return ppO2 <= 0.5 ? 0.0 : std::pow(0.5 / (ppO2 - 0.5), -5.0 / 6.0); };
    double expectedOtu = 0.0;
    for (const LinePlan& record : p.records) {
        if (record.kind != LinePlan::Segment)
            continue;
        const double mean = (bar(previousDepth) + bar(record.depth)) / 2.0;
        expectedOtu += record.duration * otu(mean * fO2[record.gasIndex]);
        previousDepth = record.depth;
    }
    const float summaryOtu = p.records.constLast().otu;
    QVERIFY2(std::fabs(summaryOtu - expectedOtu) < 1e-3 * expectedOtu,
             qPrintable(QString("%1 vs %2").arg(summaryOtu).arg(expectedOtu)));

    // Without deco gases the same dive breathes air only and takes longer.
    DecoGasSettings off;
    QVERIFY(p.planner.setDecoGases(off));
    p.planner.simulateCurrentDive();
    QVERIFY(p.computed().constLast().runtime > computed.constLast().runtime + 5.0f);
    QVERIFY(p.records.constLast().otu < summaryOtu);
}

void TestDecoGases::unusableSettingsAreRefused()
{
    DivePlanner planner;
    DecoGasSettings good;
    good.enabled = true;
    good.maxPpO2 = 1.4f;
    good.switchStopMinutes = 0.0f;
    QVERIFY(planner.setDecoGases(good));
    for (const auto& [ppO2, stop] : {std::pair{1.8f, 1.0f}, std::pair{0.9f, 1.0f}, std::pair{1.65f, 1.0f},
                                     std::pair{std::nanf(""), 1.0f}, std::pair{1.6f, -1.0f}, std::pair{1.6f, 61.0f},
                                     std::pair{1.6f, std::numeric_limits<float>::infinity()}}) {
        DecoGasSettings bad = good;
        bad.maxPpO2 = ppO2;
        bad.switchStopMinutes = stop;
        QVERIFY(!planner.setDecoGases(bad));
        QCOMPARE(planner.decoGases().maxPpO2, 1.4f);
        QCOMPARE(planner.decoGases().switchStopMinutes, 0.0f);
    }
}

QTEST_GUILESS_MAIN(TestDecoGases)
#include "tst_decogases.moc"
