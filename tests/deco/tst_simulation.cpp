// The profile simulation of a planner slot: the plan records, the computed
// ascent, the ceiling curve, the rules that impose 68/68, the slot settings
// and the dives that cannot be followed.

#include "plannertesting.h"

#include "deco/decostate.h"
#include "deco/livedive.h"
#include "deco/oxygen.h"

#include <QtTest>

#include <cmath>
#include <limits>

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

// The current slot gets these lines and is simulated again.
QList<LinePlan> resimulate(DivePlanner& planner, PlanRecorder& recorder, const QList<DiveLine>& lines,
                           const std::optional<GradientFactors>& custom = std::nullopt)
{
    planner.currentDive()->lines = lines;
    recorder.clear();
    planner.simulateCurrentDive(custom);
    return recorder.records;
}

// The ceiling curve as the tracking rule describes it: a full decompression
// update every two seconds, converted with 1.013 bar and 9.80665.
QList<CurvePoint> referenceCeiling(const QList<DiveLine>& lines, float slotSurface, bool freshWater,
                                   const GradientFactors& gf)
{
    dive_t config;
    config.applyDefaults();
    config.setSurfacePressure(slotSurface);
    config.setWaterType(freshWater ? FreshWater : SaltWater);
    config.setGradientFactors(gf);
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
            loadSegment(tissues, previous, p, float((time - before) / 60.0), kAir, kOpenCircuitSetpoint);
            updateDecoState(state, config, tissues, p);
            if (state.ceiling > slotSurface)
                points.append({float(time), state.ceiling > 1.013f ? (state.ceiling - 1.013f) * 100.0f / 9.80665f : 0.0f, 0});
            before = time;
            previous = p;
        }
    }
    return points;
}

} // namespace

class TestSimulation : public QObject
{
    Q_OBJECT

private slots:
    void defaultProfileAscendsDirectly();
    void profilesEndingAtTheSurface();
    void decoDiveListsStopsAndTotals();
    void effortAndAlertLevelImpose6868();
    void thirdDiveRule();
    void slotSurfacePressureOutsideRange();
    void ceilingCurveUsesStandardColumn();
    void oneSecondSamplesTrackLikeTwoSecondSamples();
    void diveWithoutLinesKeepsItsSlot();
    void unfollowableProfilesAreRefused();
};

void TestSimulation::defaultProfileAscendsDirectly()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    QCOMPARE(planner.addDive(), 0);

    QCOMPARE(recorder.texts, QStringList{QString()});
    const QList<LinePlan>& r = recorder.records;
    QCOMPARE(r.size(), 5);
    QCOMPARE(r[0].kind, std::int16_t(LinePlan::Reset));
    QCOMPARE(r[1].segmentType, std::int32_t(LinePlan::Descent));
    QCOMPARE(r[1].duration, 1.0f);
    QCOMPARE(r[2].segmentType, std::int32_t(LinePlan::Level));
    QCOMPARE(r[2].runtime, 10.0f);
    QCOMPARE(r[3].segmentType, std::int32_t(LinePlan::Ascent));
    QCOMPARE(r[3].computed, std::uint8_t(1));
    QCOMPARE(r[3].depth, 0.0f);
    const float ascent = (seaPressure(20.0) - 1.013f) / 1.1f;
    QCOMPARE(r[3].duration, ascent);
    QVERIFY(qFuzzyCompare(r[3].runtime, 10.0f + ascent));
    QCOMPARE(r[4].kind, std::int16_t(LinePlan::Summary));
    QVERIFY(r[4].cns > 0.0f && r[4].otu > 0.0f);

    const Dive& dive = *planner.currentDive();
    QCOMPARE(dive.decoLines.size(), 2);
    QCOMPARE(dive.decoLines[0].timeSec, 600.0);
    QCOMPARE(dive.decoLines[0].depth, 20.0);
    QCOMPARE(dive.decoLines[1].depth, 0.0);
    QVERIFY(qFuzzyCompare(dive.decoLines[1].timeSec, (10.0 + double(ascent)) * 60.0));
    QCOMPARE(dive.decoLines[1].tankPressureTxIndex, quint8(255));
    QVERIFY(dive.ceilingProfile.isEmpty());
    QVERIFY(!dive.decoNotTerminated);
    QCOMPARE(dive.invalidReason, 0);
    // The derived data include the computed ascent.
    QCOMPARE(dive.maxTime, dive.decoLines[1].timeSec);
    QVERIFY(qFuzzyCompare(dive.ascentTime, double(ascent) * 60.0));
    QCOMPARE(planner.currentSlot()->otuTotal, r[4].otu);
}

void TestSimulation::profilesEndingAtTheSurface()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    planner.addDive();

    // No stop left: nothing is computed.
    resimulate(planner, recorder, profile({{0, 0}, {60, 20}, {600, 20}, {720, 0}}));
    QVERIFY(recorder.computed().isEmpty());
    QVERIFY(planner.currentDive()->decoLines.isEmpty());
    QCOMPARE(recorder.records.constLast().kind, std::int16_t(LinePlan::Summary));

    // Surfacing straight from a decompression dive: only the final ascent
    // from the last stop is appended, and the ceiling still stood at the end.
    resimulate(planner, recorder, profile({{0, 0}, {120, 40}, {1800, 40}, {1920, 0}}));
    const QList<LinePlan> computed = recorder.computed();
    QCOMPARE(computed.size(), 1);
    QCOMPARE(computed[0].segmentType, std::int32_t(LinePlan::Ascent));
    QCOMPARE(computed[0].depth, 0.0f);
    const Dive& dive = *planner.currentDive();
    QCOMPARE(dive.decoLines.size(), 1);
    QCOMPARE(dive.decoLines[0].depth, 0.0);
    QCOMPARE(dive.decoLines[0].gasIndex, -1);
    QVERIFY(!dive.ceilingProfile.isEmpty());
    QCOMPARE(dive.ceilingProfile.constLast().depth, 0.0f);
    QCOMPARE(dive.ceilingProfile.constLast().time, 1920.0f);
    QVERIFY(dive.decoNotTerminated);

    // Ending at 1 m under a deeper ceiling: the computed part goes back down
    // to the first stop, and its time still runs forward.
    resimulate(planner, recorder, profile({{0, 0}, {120, 40}, {1800, 40}, {1900, 1}}));
    const LinePlan back = recorder.computed().constFirst();
    QCOMPARE(back.segmentType, std::int32_t(LinePlan::Descent));
    QVERIFY(back.depth > 1.0f && back.duration > 0.0f);
    const QList<DiveLine>& deco = planner.currentDive()->decoLines;
    for (qsizetype i = 1; i < deco.size(); ++i)
        QVERIFY(deco[i].timeSec >= deco[i - 1].timeSec);
    QCOMPARE(deco.constLast().depth, 0.0);

    // A single line at depth is a profile that ends there.
    resimulate(planner, recorder, profile({{0, 10}}));
    QCOMPARE(planner.currentDive()->decoLines.size(), 2);
    QCOMPARE(planner.currentDive()->decoLines[1].depth, 0.0);
}

void TestSimulation::decoDiveListsStopsAndTotals()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    planner.addDive();
    const QList<DiveLine> lines = profile({{0, 0}, {120, 40}, {1500, 40}});
    const QList<LinePlan> r = resimulate(planner, recorder, lines);

    QCOMPARE(r.constFirst().kind, std::int16_t(LinePlan::Reset));
    QCOMPARE(r.constLast().kind, std::int16_t(LinePlan::Summary));
    for (qsizetype i = 1; i + 1 < r.size(); ++i)
        QCOMPARE(r[i].kind, std::int16_t(LinePlan::Segment));
    const QList<LinePlan> computed = recorder.computed();
    QCOMPARE(computed.constFirst().segmentType, std::int32_t(LinePlan::Ascent));
    QCOMPARE(computed.constLast().depth, 0.0f);

    const Dive& dive = *planner.currentDive();
    QCOMPARE(dive.decoLines.constLast().depth, 0.0);
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
            const float stepsOfThree = record.depth / 3.0f;
            QVERIFY2(std::fabs(stepsOfThree - std::round(stepsOfThree)) < 1e-3f, qPrintable(QString::number(record.depth)));
        }
        // Each computed record ends where a deco line ends.
        QVERIFY(decoLine < dive.decoLines.size());
        QVERIFY(std::fabs(dive.decoLines[decoLine].timeSec - double(record.runtime) * 60.0) < 0.01);
        QVERIFY(std::fabs(dive.decoLines[decoLine].depth - double(record.depth)) < 1e-4);
        ++decoLine;
    }
    QCOMPARE(decoLine, dive.decoLines.size());
    QVERIFY(stops >= 2);
    QVERIFY(std::fabs(dive.totalDecoTime - stopSeconds) < 0.5);

    const LinePlan& summary = r.constLast();
    QVERIFY(std::fabs(double(summary.otu) - otu) < 1e-3 * otu);
    QVERIFY(summary.cns > 5.0f && summary.cns < 100.0f);
    QVERIFY(summary.cns >= planner.currentSlot()->tissues.cns * 100.0f - 0.01f);
}

void TestSimulation::effortAndAlertLevelImpose6868()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    planner.addDive();
    const QList<DiveLine> lines = profile({{0, 0}, {120, 40}, {1500, 40}});
    const GradientFactors custom(30, 70);

    const QList<LinePlan> at6868 = resimulate(planner, recorder, lines, GradientFactors(68, 68));
    const QList<CurvePoint> ceiling6868 = planner.currentDive()->ceilingProfile;
    const QList<LinePlan> atCustom = resimulate(planner, recorder, lines, custom);
    QVERIFY(!sameRecords(at6868, atCustom));

    planner.currentSlot()->effort = true;
    QVERIFY(sameRecords(resimulate(planner, recorder, lines, custom), at6868));
    planner.currentSlot()->effort = false;

    QList<DiveLine> alerted = lines;
    alerted[1].alertFlag = 0x30; // level 3 in bits 4-5
    QVERIFY(sameRecords(resimulate(planner, recorder, alerted, custom), at6868));
    const QList<CurvePoint>& ceiling = planner.currentDive()->ceilingProfile;
    QCOMPARE(ceiling.size(), ceiling6868.size());
    QCOMPARE(ceiling.constLast().depth, ceiling6868.constLast().depth);

    alerted[1].alertFlag = 0xEF; // level 2, every other bit set
    QVERIFY(sameRecords(resimulate(planner, recorder, alerted, custom), atCustom));
}

void TestSimulation::thirdDiveRule()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    for (int i = 0; i < 3; ++i)
        planner.addDive();
    PlannedDive& second = *planner.slot(1);
    PlannedDive& third = *planner.slot(2);
    QCOMPARE(third.surfaceInterval, 7200);

    second.tissues.n2[9] = 0.85f;
    resimulate(planner, recorder, profile({{0, 0}, {60, 20}, {600, 20}}));
    QCOMPARE(planner.startingN2()[9], 0.85f);
    QCOMPARE(third.dive.invalidReason, 2);
    QVERIFY(!third.dive.decoLines.isEmpty()); // still simulated
    QCOMPARE(recorder.records.constLast().kind, std::int16_t(LinePlan::Summary));

    second.tissues.n2[9] = 0.8f;
    planner.simulateCurrentDive();
    QCOMPARE(third.dive.invalidReason, 0);

    second.tissues.n2[9] = 0.85f;
    third.surfaceInterval = 86400;
    planner.simulateCurrentDive();
    QCOMPARE(third.dive.invalidReason, 0);

    // Deeper than 6 m after less than a day: 68/68 whatever the caller asks.
    const QList<DiveLine> deep = profile({{0, 0}, {120, 40}, {1200, 40}});
    const QList<LinePlan> dayLater = resimulate(planner, recorder, deep, GradientFactors(68, 68));
    third.surfaceInterval = 7200;
    QVERIFY(sameRecords(resimulate(planner, recorder, deep, GradientFactors(30, 70)), dayLater));
    QCOMPARE(third.dive.invalidReason, 2);
}

void TestSimulation::slotSurfacePressureOutsideRange()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    planner.addDive();
    PlannedDive& slot = *planner.currentSlot();
    const QList<DiveLine> atSurface = profile({{0, 0}, {600, 0}});

    // 1.10 bar saturates the diver but the computation stays at 1.013 bar:
    // ten minutes there let the fast compartment give off gas.
    slot.surfacePressure = 1.10f;
    resimulate(planner, recorder, atSurface);
    const float saturated = (1.10f - 0.0627f) * 0.79f;
    for (float tension : planner.startingN2())
        QVERIFY(qFuzzyCompare(tension, saturated));
    const float standard = (1.013f - 0.0627f) * 0.79f;
    QVERIFY(slot.tissues.n2[0] < saturated - 0.5f * (saturated - standard));
    QVERIFY(slot.tissues.n2[0] > standard);

    // 1.04 bar is used: saturated there and breathing there changes nothing.
    slot.surfacePressure = 1.04f;
    resimulate(planner, recorder, atSurface);
    for (int i = 0; i < kCompartments; ++i)
        QVERIFY(qFuzzyCompare(slot.tissues.n2[i], planner.startingN2()[i]));
}

void TestSimulation::ceilingCurveUsesStandardColumn()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    planner.addDive();
    PlannedDive& slot = *planner.currentSlot();
    slot.freshWater = true;
    slot.surfacePressure = 0.9f;
    const QList<DiveLine> lines = profile({{0, 0}, {120, 45}, {1500, 45}, {1620, 12}});

    for (const GradientFactors& gf : {GradientFactors(80, 80), GradientFactors(30, 70)}) {
        resimulate(planner, recorder, lines, gf);
        QCOMPARE(slot.dive.density, quint8(1));
        const QList<CurvePoint> expected = referenceCeiling(lines, 0.9f, true, gf);
        const QList<CurvePoint>& actual = slot.dive.ceilingProfile;
        QVERIFY(expected.size() > 100);
        QVERIFY(actual.size() > expected.size()); // the computed ascent adds more
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(actual[i].time, expected[i].time);
            QVERIFY2(std::fabs(actual[i].depth - expected[i].depth) < 1e-4f,
                     qPrintable(QString("t=%1: %2 m, expected %3 m").arg(actual[i].time).arg(actual[i].depth).arg(expected[i].depth)));
        }
    }
}

void TestSimulation::oneSecondSamplesTrackLikeTwoSecondSamples()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    planner.addDive();
    // The same square dive sampled every two seconds and every second.
    auto sampled = [](int period) {
        QList<DiveLine> lines;
        for (int t = 0; t <= 1500; t += period)
            lines.append(profile({{double(t), std::min(40.0, t / 3.0)}}));
        return lines;
    };
    resimulate(planner, recorder, sampled(2));
    const QList<CurvePoint> everyTwo = planner.currentDive()->ceilingProfile;
    resimulate(planner, recorder, sampled(1));
    const QList<CurvePoint> everyOne = planner.currentDive()->ceilingProfile;

    QVERIFY(everyTwo.size() > 100);
    qsizetype j = 0;
    for (const CurvePoint& point : everyTwo) {
        if (point.time > 1500.0f)
            break;
        while (j < everyOne.size() && everyOne[j].time < point.time)
            ++j;
        QVERIFY(j < everyOne.size());
        QCOMPARE(everyOne[j].time, point.time);
        QVERIFY2(std::fabs(everyOne[j].depth - point.depth) < 0.05f, qPrintable(QString::number(point.time)));
    }
}

void TestSimulation::diveWithoutLinesKeepsItsSlot()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    planner.addDive();
    PlannedDive& slot = *planner.currentSlot();
    slot.tissues.n2[3] = 1.234f;
    slot.otuTotal = 7.0f;

    const QList<LinePlan> r = resimulate(planner, recorder, {});
    QCOMPARE(r.size(), 2);
    QCOMPARE(r[0].kind, std::int16_t(LinePlan::Reset));
    QCOMPARE(r[1].kind, std::int16_t(LinePlan::Summary));
    QCOMPARE(recorder.texts, QStringList{QString()});
    QVERIFY(slot.dive.decoLines.isEmpty());
    QVERIFY(slot.dive.ceilingProfile.isEmpty());
    QCOMPARE(slot.tissues.n2[3], 1.234f);
    QCOMPARE(slot.otuTotal, 7.0f);
    QCOMPARE(slot.dive.maxTime, 0.0);
}

void TestSimulation::unfollowableProfilesAreRefused()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    planner.addDive();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QList<QList<DiveLine>> refused = {
        profile({{0, 0}, {60, nan}, {600, 20}}),
        profile({{0, 0}, {nan, 20}}),
        profile({{0, 0}, {60, 20}, {1e12, 20}}),
        profile({{0, 0}, {600, 5000}}),
        // Eight days of going back and forth in time, half a day at a time.
        [] {
            QList<DiveLine> lines;
            for (int i = 0; i < 32; ++i)
                lines.append(profile({{i % 2 == 0 ? 0.0 : 43200.0, 10.0}}));
            return lines;
        }(),
    };
    const TissueState before = planner.currentSlot()->tissues;
    for (const QList<DiveLine>& lines : refused) {
        const QList<LinePlan> r = resimulate(planner, recorder, lines);
        QCOMPARE(r.size(), 2);
        QCOMPARE(r[1].kind, std::int16_t(LinePlan::Summary));
        QCOMPARE(recorder.texts.size(), 2);
        QVERIFY(!recorder.texts[1].isEmpty());
        QVERIFY(planner.currentDive()->decoLines.isEmpty());
        QVERIFY(planner.currentSlot()->tissues.n2 == before.n2);
    }
}

QTEST_GUILESS_MAIN(TestSimulation)
#include "tst_simulation.moc"
