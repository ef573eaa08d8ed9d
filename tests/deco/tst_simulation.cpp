// The profile simulation of a planner slot: the plan records, the computed
// ascent, the ceiling curve, the rules that impose 68/68, the slot settings
// and the dives that cannot be followed.

#include "decoreference.h"
#include "plannertesting.h"

#include "deco/decostate.h"
#include "deco/livedive.h"
#include "deco/oxygen.h"

#include <QtTest>

#include <cmath>
#include <iterator>
#include <limits>
#include <map>

using namespace deco;

namespace {

config_t defaultConfig()
{
    config_t config;
    config.applyDefaults();
    return config;
}

float seaPressure(double depth)
{
    return depthToPressure(defaultConfig(), float(depth));
}

// The ceiling curve as the tracking rule describes it: a full decompression
// update every two seconds, converted with 1.013 bar and 9.80665.
QList<CurvePoint> referenceCeiling(const QList<DiveLine>& lines, float slotSurface, bool freshWater,
                                   const GradientFactors& gf, const GasMix& gas)
{
    dive_t config;
    config.applyDefaults();
    config.setSurfacePressure(slotSurface);
    config.setWaterType(freshWater ? FreshWater : SaltWater);
    config.setGradientFactors(gf);
    config.setOpenCircuitGas(0, gas);
    TissueState tissues;
    initTissues(tissues, slotSurface);
    DecoState state(config);
    updateDecoState(state, config, tissues, slotSurface);
    auto pressure = [&](double d) { return d > 0.0 ? depthToPressure(config, float(d)) : slotSurface; };

    QList<CurvePoint> points;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const double t1 = lines[i - 1].timeSec;
        const double t2 = lines[i].timeSec;
        const float p1 = pressure(lines[i - 1].depth);
        const float p2 = pressure(lines[i].depth);
        double before = t1;
        float previous = p1;
        for (double s = t1 + 2.0; before < t2; s += 2.0) {
            const double time = std::min(s, t2);
            const float p = p1 + (p2 - p1) * float((time - t1) / (t2 - t1));
            loadSegment(tissues, previous, p, float((time - before) / 60.0), gas, kOpenCircuitSetpoint);
            updateDecoState(state, config, tissues, p);
            if (state.ceiling > slotSurface)
                points.append({float(time), state.ceiling > 1.013f ? (state.ceiling - 1.013f) * 100.0f / 9.80665f : 0.0f, 0});
            before = time;
            previous = p;
        }
    }
    return points;
}

// The ceiling curve of a full decompression update at every sample of the
// simulation's own sampling (every two seconds from each point, the last
// sample clamped to the next point), along points of (seconds, bar).
QList<CurvePoint> fullUpdateCeiling(const std::vector<std::pair<double, float>>& points, const dive_t& config,
                                    const GasMix& gas)
{
    TissueState tissues;
    initTissues(tissues, config.surfacePressure());
    DecoState state(config);
    updateDecoState(state, config, tissues, config.surfacePressure());
    QList<CurvePoint> curve;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const auto [tStart, pStart] = points[i - 1];
        const auto [tEnd, pEnd] = points[i];
        double before = tStart;
        float previous = pStart;
        for (long step = 1; before < tEnd; ++step) {
            const double time = std::min(tStart + 2.0 * double(step), tEnd);
            const float p = pStart + (pEnd - pStart) * float((time - tStart) / (tEnd - tStart));
            loadSegment(tissues, previous, p, float((time - before) / 60.0), gas, kOpenCircuitSetpoint);
            updateDecoState(state, config, tissues, p);
            if (state.ceiling > config.surfacePressure())
                curve.append({float(time), (state.ceiling - 1.013f) * 100.0f / 9.80665f, 0});
            before = time;
            previous = p;
        }
    }
    return curve;
}

} // namespace

class TestSimulation : public QObject
{
    Q_OBJECT

private slots:
    void defaultProfileAscendsDirectly();
    void profilesEndingAtTheSurface();
    void decoDiveListsStopsAndTotals();
    void airPlanKeepsTheReferenceSchedule();
    void planMatchesTheReference_data();
    void planMatchesTheReference();
    void effortAndAlertLevelImpose6868();
    void thirdDiveRule();
    void surfaceIntervalBeforeRepetitiveDive_data();
    void surfaceIntervalBeforeRepetitiveDive();
    void slotSurfacePressureOutsideRange();
    void ceilingCurveUsesStandardColumn();
    void ceilingCurveThroughTheStops_data();
    void ceilingCurveThroughTheStops();
    void oneSecondSamplesTrackLikeTwoSecondSamples();
    void profilesThatCannotBeFollowed();
};

void TestSimulation::defaultProfileAscendsDirectly()
{
    RecordedPlanner p;
    QCOMPARE(p.planner.addDive(), 0);
    QCOMPARE(p.texts, QStringList{QString()});
    QCOMPARE(p.kinds(), QString("0 1 1 1 2"));
    const QList<LinePlan>& r = p.records;
    QCOMPARE(r[1].segmentType, std::int32_t(LinePlan::Descent));
    QCOMPARE(r[2].segmentType, std::int32_t(LinePlan::Level));
    QCOMPARE(r[2].runtime, 10.0f);
    QCOMPARE(r[3].segmentType, std::int32_t(LinePlan::Ascent));
    QCOMPARE(r[3].computed, std::uint8_t(1));
    QCOMPARE(r[3].depth, 0.0f);
    const float ascent = (seaPressure(20.0) - 1.013f) / 1.1f;
    QCOMPARE(r[3].duration, ascent);
    QVERIFY(r[4].cns > 0.0f && r[4].otu > 0.0f);
    QCOMPARE(p.slot().otuTotal, r[4].otu);

    const Dive& dive = p.dive();
    QCOMPARE(dive.decoLines.size(), 2);
    QCOMPARE(dive.decoLines[0].timeSec, 600.0);
    QCOMPARE(dive.decoLines[1].depth, 0.0);
    QVERIFY(qFuzzyCompare(dive.decoLines[1].timeSec, (10.0 + double(ascent)) * 60.0));
    QVERIFY(dive.ceilingProfile.isEmpty());
    QVERIFY(qFuzzyCompare(dive.ascentTime, double(ascent) * 60.0)); // derived data rebuilt
}

void TestSimulation::profilesEndingAtTheSurface()
{
    RecordedPlanner p(1);
    p.run(profile({{0, 0}, {60, 20}, {600, 20}, {720, 0}}));
    QVERIFY(p.computed().isEmpty());
    QVERIFY(p.dive().decoLines.isEmpty());

    // Surfacing straight from a decompression dive: only the final ascent
    // from the last stop is appended, and the ceiling still stood at the end.
    p.run(profile({{0, 0}, {120, 40}, {1800, 40}, {1920, 0}}));
    QCOMPARE(p.computed().size(), 1);
    QCOMPARE(p.computed()[0].depth, 0.0f);
    QCOMPARE(p.dive().decoLines.size(), 1);
    QCOMPARE(p.dive().decoLines[0].gasIndex, -1);
    QCOMPARE(p.dive().ceilingProfile.constLast().depth, 0.0f);
    QCOMPARE(p.dive().ceilingProfile.constLast().time, 1920.0f);
    QVERIFY(p.dive().decoNotTerminated);

    // Ending at 1 m under a deeper ceiling: the computed part goes back down
    // to the first stop, and its time still runs forward.
    p.run(profile({{0, 0}, {120, 40}, {1800, 40}, {1900, 1}}));
    const LinePlan back = p.computed().constFirst();
    QCOMPARE(back.segmentType, std::int32_t(LinePlan::Descent));
    QVERIFY(back.depth > 1.0f && back.duration > 0.0f);
    const QList<DiveLine>& deco = p.dive().decoLines;
    for (qsizetype i = 1; i < deco.size(); ++i)
        QVERIFY(deco[i].timeSec >= deco[i - 1].timeSec);
    QVERIFY(!p.dive().decoNotTerminated);
}

void TestSimulation::decoDiveListsStopsAndTotals()
{
    RecordedPlanner p(1);
    const QList<LinePlan> r = p.run(profile({{0, 0}, {120, 40}, {1500, 40}}));
    QVERIFY(p.kinds().startsWith("0 1 1 1 1 1 "));
    QVERIFY(p.kinds().endsWith(" 1 1 2"));
    const Dive& dive = p.dive();
    QCOMPARE(dive.decoLines.constLast().depth, 0.0);

    // Walk the plan: runtimes grow, stops sit on the 3 m grid, each computed
    // record ends where a deco line ends, OTU adds up segment by segment.
    double stopSeconds = 0.0;
    int stops = 0;
    float runtime = 0.0f;
    float previousDepth = 0.0f;
    double otu = 0.0;
    qsizetype decoLine = 1; // the first deco line repeats the last profile line
    for (const LinePlan& record : r) {
        if (record.kind != LinePlan::Segment)
            continue;
        QVERIFY(record.runtime >= runtime);
        runtime = record.runtime;
        const float meanPressure = (seaPressure(previousDepth) + seaPressure(record.depth)) / 2.0f;
        otu += double(record.duration) * double(otuPerMinute(0.21f * meanPressure));
        previousDepth = record.depth;
        if (!record.computed)
            continue;
        if (record.segmentType == LinePlan::Level && record.duration > 0.0f) {
            ++stops;
            stopSeconds += double(record.duration) * 60.0;
            QVERIFY(std::fabs(record.depth / 3.0f - std::round(record.depth / 3.0f)) < 1e-3f);
        }
        QVERIFY(std::fabs(dive.decoLines.value(decoLine).timeSec - double(record.runtime) * 60.0) < 0.01);
        QVERIFY(std::fabs(dive.decoLines.value(decoLine).depth - double(record.depth)) < 1e-4);
        ++decoLine;
    }
    QCOMPARE(decoLine, dive.decoLines.size());
    QVERIFY(stops >= 2);
    QVERIFY(std::fabs(dive.totalDecoTime - stopSeconds) < 0.5);

    const LinePlan& summary = r.constLast();
    QVERIFY(std::fabs(double(summary.otu) - otu) < 1e-3 * otu);
    QVERIFY(summary.cns > 5.0f && summary.cns < 100.0f);
    QVERIFY(summary.cns >= p.slot().tissues.cns * 100.0f - 0.01f);
}

void TestSimulation::airPlanKeepsTheReferenceSchedule()
{
    // 45 m for 25 minutes on air at 80/80 (down at 18 m/min). Stops and
    // runtime worked out once with the double-precision reference of the
    // tests, which shares no code with the engine.
    struct Expected
    {
        float depth;
        double seconds;
    };
    const Expected stops[] = {{12.0f, 80.4}, {9.0f, 311.2}, {6.0f, 594.4}, {3.0f, 1423.9}};
    constexpr double kRuntimeSeconds = 70.0 * 60.0 + 12.8;
    // 3 m of sea water (1.03 kg/L) at the deco ascent rate, 0.6 bar/min: 30.3 s.
    constexpr double kThreeMetresSeconds = 1.03 * 9.80665 * 3.0 / 100.0 / 0.6 * 60.0;

    RecordedPlanner p(1);
    p.run(profile({{0, 0}, {150, 45}, {1500, 45}}));
    const QList<LinePlan> computed = p.computed();
    QCOMPARE(computed.size(), 1 + 2 * int(std::size(stops)));
    QCOMPARE(computed[0].segmentType, std::int32_t(LinePlan::Ascent));
    QCOMPARE(computed[0].depth, 12.0f);
    for (int k = 0; k < int(std::size(stops)); ++k) {
        const LinePlan& stop = computed[1 + 2 * k];
        QCOMPARE(stop.segmentType, std::int32_t(LinePlan::Level));
        QVERIFY(std::fabs(stop.depth - stops[k].depth) < 1e-3f);
        QVERIFY2(std::fabs(stop.duration * 60.0 - stops[k].seconds) <= 5.0,
                 qPrintable(QString("%1 m: %2 s").arg(stop.depth).arg(stop.duration * 60.0f)));
        // Up to the next stop, and from the last one to the surface, slowly.
        const LinePlan& move = computed[2 + 2 * k];
        QCOMPARE(move.segmentType, std::int32_t(LinePlan::Ascent));
        QVERIFY(std::fabs(move.depth - (stops[k].depth - 3.0f)) < 1e-3f);
        QVERIFY2(std::fabs(move.duration * 60.0 - kThreeMetresSeconds) < 0.05,
                 qPrintable(QString("to %1 m: %2 s").arg(move.depth).arg(move.duration * 60.0f)));
    }
    QVERIFY2(std::fabs(computed.constLast().runtime * 60.0 - kRuntimeSeconds) <= 10.0,
             qPrintable(QString::number(computed.constLast().runtime * 60.0f)));
}

void TestSimulation::planMatchesTheReference_data()
{
    QTest::addColumn<int>("o2");
    QTest::addColumn<int>("he");
    QTest::addColumn<double>("depth");
    QTest::addColumn<double>("bottomMinutes"); // from leaving the surface
    QTest::addColumn<int>("gfLow");
    QTest::addColumn<int>("gfHigh");
    struct Dive
    {
        const char* name;
        int o2, he;
        double depth, minutes;
    };
    const Dive dives[] = {{"air 45 m 25 min", 21, 0, 45, 25},
                          {"nitrox 32 33 m 45 min", 32, 0, 33, 45},
                          {"trimix 18/45 60 m 20 min", 18, 45, 60, 20},
                          {"trimix 15/55 75 m 20 min", 15, 55, 75, 20}};
    const std::pair<int, int> factors[] = {{30, 70}, {20, 80}, {50, 80}, {100, 100}};
    for (const Dive& dive : dives) {
        for (const auto& [low, high] : factors) {
            QTest::addRow("%s %d/%d", dive.name, low, high)
                << dive.o2 << dive.he << dive.depth << dive.minutes << low << high;
        }
    }
}

void TestSimulation::planMatchesTheReference()
{
    QFETCH(int, o2);
    QFETCH(int, he);
    QFETCH(double, depth);
    QFETCH(double, bottomMinutes);
    QFETCH(int, gfLow);
    QFETCH(int, gfHigh);
    const double descentMinutes = depth / 18.0;

    RecordedPlanner p(1);
    p.planner.setBreathingGas(GasMix(o2, he));
    p.run(profile({{0, 0}, {descentMinutes * 60.0, depth}, {bottomMinutes * 60.0, depth}}),
          GradientFactors(gfLow, gfHigh));

    reference::Site site;
    site.gfLow = gfLow / 100.0;
    site.gfHigh = gfHigh / 100.0;
    const reference::Gas gas = reference::gasOf(o2, he);
    const double bottom = site.pressureAt(depth);
    reference::Tissues tissues = reference::saturated(site.surface);
    reference::schreiner(tissues, gas, site.surface, bottom, descentMinutes);
    reference::haldane(tissues, gas, bottom, bottomMinutes - descentMinutes);
    // Helium stops are searched in 5-second steps: against a reference that
    // rounds each stop up to a step they agree within one step.
    constexpr double kStep = 5.0 / 60.0;
    const std::vector<reference::Stop> stops = reference::schedule(tissues, gas, bottom, site, he > 0 ? kStep : 0.0);
    QVERIFY(!stops.empty());

    // Stop depths (tenths of a metre) to minutes, engine and reference.
    std::map<int, std::pair<double, double>> byDepth;
    for (const LinePlan& record : p.computed()) {
        if (record.segmentType == LinePlan::Level)
            byDepth[int(std::lround(record.depth * 10.0))].first = record.duration;
    }
    double runtime = bottomMinutes + (bottom - site.pressureAt(stops.front().depth)) / site.ascentRate
        + (site.pressureAt(stops.front().depth) - site.surface) / site.decoAscentRate;
    for (const reference::Stop& stop : stops) {
        byDepth[int(std::lround(stop.depth * 10.0))].second = stop.minutes;
        runtime += stop.minutes;
    }
    QCOMPARE(int(byDepth.size()), int(stops.size())); // the same stop depths
    for (const auto& [key, minutes] : byDepth) {
        QVERIFY2(std::fabs(minutes.first - minutes.second) <= kStep + 1e-4,
                 qPrintable(QString("%1 m: %2 vs %3 min").arg(key / 10.0).arg(minutes.first).arg(minutes.second)));
    }
    const double planned = p.computed().constLast().runtime;
    QVERIFY2(std::fabs(planned - runtime) <= 0.01 * runtime, qPrintable(QString("%1 vs %2").arg(planned).arg(runtime)));
}

void TestSimulation::effortAndAlertLevelImpose6868()
{
    RecordedPlanner p(1);
    const QList<DiveLine> lines = profile({{0, 0}, {120, 40}, {1500, 40}});
    const GradientFactors custom(30, 70);
    const QList<LinePlan> at6868 = p.run(lines, GradientFactors(68, 68));
    const QList<CurvePoint> ceiling6868 = p.dive().ceilingProfile;
    const QList<LinePlan> atCustom = p.run(lines, custom);
    QVERIFY(!sameRecords(at6868, atCustom));

    p.slot().effort = true;
    QVERIFY(sameRecords(p.run(lines, custom), at6868));
    p.slot().effort = false;

    QList<DiveLine> alerted = lines;
    alerted[1].alertFlag = 0x30; // level 3 in bits 4-5
    QVERIFY(sameRecords(p.run(alerted, custom), at6868));
    QCOMPARE(p.dive().ceilingProfile.size(), ceiling6868.size());
    alerted[1].alertFlag = 0xEF; // level 2, every other bit set
    QVERIFY(sameRecords(p.run(alerted, custom), atCustom));
}

void TestSimulation::thirdDiveRule()
{
    RecordedPlanner p(3);
    PlannedDive& second = *p.planner.slot(1);
    PlannedDive& third = *p.planner.slot(2);
    QCOMPARE(third.surfaceInterval, 7200);
    third.surfaceInterval = 0; // straight back in: the tensions the second dive left

    second.tissues.n2[9] = 0.85f;
    p.run(profile({{0, 0}, {60, 20}, {600, 20}}));
    QCOMPARE(p.planner.startingN2()[9], 0.85f);
    QCOMPARE(third.dive.invalidReason, 2);
    QVERIFY(!third.dive.decoLines.isEmpty()); // still simulated

    second.tissues.n2[9] = 0.8f;
    p.planner.simulateCurrentDive();
    QCOMPARE(third.dive.invalidReason, 0);
    second.tissues.n2[9] = 0.85f;
    third.surfaceInterval = 86400;
    p.planner.simulateCurrentDive();
    QCOMPARE(third.dive.invalidReason, 0);

    // Deeper than 6 m after less than a day: 68/68 whatever the caller asks.
    const QList<DiveLine> deep = profile({{0, 0}, {120, 40}, {1200, 40}});
    QVERIFY(!sameRecords(p.run(deep, GradientFactors(30, 70)), p.run(deep, GradientFactors(68, 68))));
    third.surfaceInterval = 7200;
    const QList<LinePlan> asked6868 = p.run(deep, GradientFactors(68, 68));
    QVERIFY(sameRecords(p.run(deep, GradientFactors(30, 70)), asked6868));
}

void TestSimulation::surfaceIntervalBeforeRepetitiveDive_data()
{
    QTest::addColumn<int>("interval");        // s, before the second and the third dive
    QTest::addColumn<int>("shorterInterval"); // s, the no-stop time must not be longer after it
    QTest::addColumn<bool>("ndlGrows");       // strictly longer than after the shorter interval
    QTest::addColumn<bool>("thirdInvalid");
    QTest::newRow("none") << 0 << 0 << false << true;
    QTest::newRow("one hour") << 3600 << 0 << true << true;
    QTest::newRow("six hours") << 21600 << 3600 << true << false;
    // The fast compartments that limit a 30 m dive are clean after six hours.
    QTest::newRow("a day") << 86400 << 21600 << false << false;
}

// After a 30 m, 25 min air dive the next dive starts from the end state
// relaxed on air at the surface: Haldane per compartment with the published
// nitrogen half-times, CNS halved every 90 minutes.
void TestSimulation::surfaceIntervalBeforeRepetitiveDive()
{
    QFETCH(int, interval);
    QFETCH(int, shorterInterval);
    QFETCH(bool, ndlGrows);
    QFETCH(bool, thirdInvalid);
    const double halfTimes[kCompartments] = {4.0, 8.0, 12.5, 18.5, 27.0, 38.3, 54.3, 77.0,
                                             109.0, 146.0, 187.0, 239.0, 305.0, 390.0, 498.0, 635.0};
    const double air = (1.013 - 0.0627) * 0.79;
    const QList<DiveLine> shallow = profile({{0, 0}, {60, 5}, {600, 5}});

    PlannedDive first;
    first.dive.lines = profile({{0, 0}, {90, 30}, {1500, 30}});
    simulateSlot(first, 0, nullptr, {}, {}, {});
    QVERIFY(first.tissues.cns > 0.01f);
    auto secondAfter = [&](int seconds, PlannedDive& second) {
        second.surfaceInterval = seconds;
        second.dive.lines = shallow;
        return simulateSlot(second, 1, &first, {}, {}, {}).start;
    };
    PlannedDive second;
    const TissueState start = secondAfter(interval, second);

    const double minutes = interval / 60.0;
    for (int i = 0; i < kCompartments; ++i) {
        const double end = first.tissues.n2[i];
        const double expected = end + (air - end) * (1.0 - std::exp2(-minutes / halfTimes[i]));
        QVERIFY2(std::fabs(start.n2[i] - expected) < 2e-5, qPrintable(QString::number(i)));
        QCOMPARE(start.he[i], 0.0f);
    }
    QVERIFY(std::fabs(start.cns - first.tissues.cns * std::exp2(-minutes / 90.0)) < 1e-3);
    QCOMPARE(second.otuTotal, first.otuTotal); // a daily total: kept, and 5 m on air adds none
    if (interval == 0) {
        // Straight back in: the state exactly as the first dive left it.
        QVERIFY(start.n2 == first.tissues.n2);
        QCOMPARE(start.cns, first.tissues.cns);
    }

    // The longer the interval, the longer the next dive may stay at 30 m.
    dive_t config;
    config.applyDefaults();
    const DecoState fresh(config);
    PlannedDive shorter;
    const float ndl = ndlTime(fresh, config, start, seaPressure(30.0));
    const float shorterNdl = ndlTime(fresh, config, secondAfter(shorterInterval, shorter), seaPressure(30.0));
    QVERIFY(ndl > 0.0f && ndl < 250.0f);
    QVERIFY2(ndlGrows ? ndl > shorterNdl : ndl >= shorterNdl, qPrintable(QStringLiteral("%1 %2").arg(ndl).arg(shorterNdl)));

    // The third dive within a day is judged on compartment 10 after its own
    // interval.
    PlannedDive third;
    third.surfaceInterval = interval;
    third.dive.lines = shallow;
    const TissueState thirdStart = simulateSlot(third, 2, &second, {}, {}, {}).start;
    const double end10 = second.tissues.n2[9];
    const double expected10 = end10 + (air - end10) * (1.0 - std::exp2(-minutes / halfTimes[9]));
    QVERIFY(std::fabs(thirdStart.n2[9] - expected10) < 2e-5);
    QCOMPARE(third.dive.invalidReason == 2, thirdInvalid);
    QCOMPARE(thirdInvalid, interval < 86400 && expected10 > 0.8);
}

void TestSimulation::slotSurfacePressureOutsideRange()
{
    RecordedPlanner p(1);
    const QList<DiveLine> atSurface = profile({{0, 0}, {600, 0}});

    // 1.10 bar saturates the diver but the computation stays at 1.013 bar:
    // ten minutes there let the fast compartment give off gas.
    p.slot().surfacePressure = 1.10f;
    p.run(atSurface);
    const float saturated = (1.10f - 0.0627f) * 0.79f;
    for (float tension : p.planner.startingN2())
        QVERIFY(qFuzzyCompare(tension, saturated));
    const float standard = (1.013f - 0.0627f) * 0.79f;
    QVERIFY(p.slot().tissues.n2[0] < saturated - 0.5f * (saturated - standard));

    // 1.04 bar is used: saturated there and breathing there changes nothing.
    p.slot().surfacePressure = 1.04f;
    p.run(atSurface);
    for (int i = 0; i < kCompartments; ++i)
        QVERIFY(qFuzzyCompare(p.slot().tissues.n2[i], p.planner.startingN2()[i]));
}

void TestSimulation::ceilingCurveUsesStandardColumn()
{
    RecordedPlanner p(1);
    p.slot().freshWater = true;
    p.slot().surfacePressure = 0.9f;
    const QList<DiveLine> lines = profile({{0, 0}, {120, 45}, {1500, 45}, {1620, 12}});
    // Nitrogen takes the closed forms, helium the searches.
    for (const GasMix& gas : {kAir, GasMix(18, 45)}) {
        p.planner.setBreathingGas(gas);
        for (const GradientFactors& gf : {GradientFactors(80, 80), GradientFactors(30, 70)}) {
            p.run(lines, gf);
            QCOMPARE(p.dive().density, quint8(1));
            const QList<CurvePoint> expected = referenceCeiling(lines, 0.9f, true, gf, gas);
            const QList<CurvePoint>& actual = p.dive().ceilingProfile;
            QVERIFY(expected.size() > 100);
            QVERIFY(actual.size() > expected.size()); // the computed ascent adds more
            for (qsizetype i = 0; i < expected.size(); ++i) {
                QCOMPARE(actual[i].time, expected[i].time);
                QVERIFY2(std::fabs(actual[i].depth - expected[i].depth) < 1e-4f,
                         qPrintable(QString::number(actual[i].time)));
            }
        }
    }
}

void TestSimulation::ceilingCurveThroughTheStops_data()
{
    QTest::addColumn<int>("o2");
    QTest::addColumn<int>("he");
    QTest::addColumn<double>("depth");
    QTest::addColumn<double>("minutes");
    QTest::addColumn<int>("gfLow");
    QTest::addColumn<int>("gfHigh");
    QTest::newRow("air 40 m 30 min 30/70") << 21 << 0 << 40.0 << 30.0 << 30 << 70;
    QTest::newRow("air 45 m 25 min 20/80") << 21 << 0 << 45.0 << 25.0 << 20 << 80;
    QTest::newRow("nitrox 32 33 m 60 min 50/80") << 32 << 0 << 33.0 << 60.0 << 50 << 80;
    QTest::newRow("trimix 18/45 60 m 20 min 30/70") << 18 << 45 << 60.0 << 20.0 << 30 << 70;
}

void TestSimulation::ceilingCurveThroughTheStops()
{
    // Along the bottom and every stop of the computed ascent, where the
    // first stop moves again and again, the curve is the one a full update
    // at every sample gives, to the bit.
    QFETCH(int, o2);
    QFETCH(int, he);
    QFETCH(double, depth);
    QFETCH(double, minutes);
    QFETCH(int, gfLow);
    QFETCH(int, gfHigh);
    const GasMix gas(o2, he);
    RecordedPlanner p(1);
    p.planner.setBreathingGas(gas);
    const double descent = depth / 18.0 * 60.0;
    p.run(profile({{0, 0}, {descent, depth}, {minutes * 60.0, depth}}), GradientFactors(gfLow, gfHigh));

    // The ascent as the simulation works it out from the schedule at the
    // end of the profile.
    dive_t config;
    config.applyDefaults();
    config.setGradientFactors(GradientFactors(gfLow, gfHigh));
    config.setOpenCircuitGas(0, gas);
    const float surface = config.surfacePressure();
    const float bottom = depthToPressure(config, float(depth));
    TissueState tissues;
    initTissues(tissues, surface);
    loadSegment(tissues, surface, bottom, float(descent / 60.0), gas, kOpenCircuitSetpoint);
    loadSegment(tissues, bottom, bottom, float((minutes * 60.0 - descent) / 60.0), gas, kOpenCircuitSetpoint);
    DecoState plan(config);
    updateDecoState(plan, config, tissues, bottom);
    QVERIFY(plan.stopCount >= 3);
    std::vector<std::pair<double, float>> points = {{0.0, surface}, {descent, bottom}, {minutes * 60.0, bottom}};
    double runtime = minutes + std::fabs(bottom - plan.stops[0].pressure) / config.ascentRate();
    points.push_back({runtime * 60.0, plan.stops[0].pressure});
    for (int k = 0; k < plan.stopCount; ++k) {
        if (k > 0) {
            runtime += (plan.stops[k - 1].pressure - plan.stops[k].pressure) / config.decoAscentRate();
            points.push_back({runtime * 60.0, plan.stops[k].pressure});
        }
        runtime += plan.stops[k].time;
        points.push_back({runtime * 60.0, plan.stops[k].pressure});
    }

    const QList<CurvePoint> expected = fullUpdateCeiling(points, config, gas);
    const QList<CurvePoint>& actual = p.dive().ceilingProfile;
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QVERIFY2(actual[i].time == expected[i].time && actual[i].depth == expected[i].depth,
                 qPrintable(QString("%1 s: %2 m, a full update gives %3 m")
                                .arg(double(expected[i].time))
                                .arg(double(actual[i].depth))
                                .arg(double(expected[i].depth))));
    }
}

void TestSimulation::oneSecondSamplesTrackLikeTwoSecondSamples()
{
    RecordedPlanner p(1);
    // The same square dive sampled every two seconds and every second.
    auto sampled = [](int period) {
        QList<DiveLine> lines;
        for (int t = 0; t <= 1500; t += period)
            lines.append(profile({{double(t), std::min(40.0, t / 3.0)}}));
        return lines;
    };
    p.run(sampled(2));
    const QList<CurvePoint> everyTwo = p.dive().ceilingProfile;
    p.run(sampled(1));
    const QList<CurvePoint> everyOne = p.dive().ceilingProfile;
    QVERIFY(everyTwo.size() > 100);
    qsizetype j = 0;
    for (const CurvePoint& point : everyTwo) {
        if (point.time > 1500.0f)
            break;
        while (j < everyOne.size() && everyOne[j].time < point.time)
            ++j;
        QCOMPARE(everyOne.value(j).time, point.time);
        QVERIFY2(std::fabs(everyOne[j].depth - point.depth) < 0.05f, qPrintable(QString::number(point.time)));
    }
}

void TestSimulation::profilesThatCannotBeFollowed()
{
    RecordedPlanner p(1);
    p.slot().tissues.n2[3] = 1.234f;
    p.slot().otuTotal = 7.0f;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QList<DiveLine> backAndForth; // eight days, half a day at a time
    for (int i = 0; i < 32; ++i)
        backAndForth.append(profile({{i % 2 == 0 ? 0.0 : 43200.0, 10.0}}));
    const QList<QList<DiveLine>> cases = {
        {},
        profile({{0, 0}, {60, nan}, {600, 20}}),
        profile({{0, 0}, {nan, 20}}),
        profile({{0, 0}, {60, 20}, {1e12, 20}}),
        profile({{0, 0}, {600, 5000}}),
        backAndForth,
    };
    for (const QList<DiveLine>& lines : cases) {
        p.run(lines);
        QCOMPARE(p.kinds(), QString("0 2"));
        // No lines is not an error; lines that cannot be followed are.
        QCOMPARE(p.texts.size(), lines.isEmpty() ? 1 : 2);
        QVERIFY(p.dive().decoLines.isEmpty());
        QVERIFY(p.dive().ceilingProfile.isEmpty());
        QCOMPARE(p.slot().tissues.n2[3], 1.234f); // a loaded plan keeps its end state
        QCOMPARE(p.slot().otuTotal, 7.0f);
    }
}

QTEST_GUILESS_MAIN(TestSimulation)
#include "tst_simulation.moc"
