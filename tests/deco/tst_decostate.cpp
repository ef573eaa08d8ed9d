// No-decompression limits, stops, schedules and ceilings, checked against the
// double-precision reference and on the cases where a schedule can go wrong.

#include "decoreference.h"

#include "deco/decostate.h"
#include "deco/oxygen.h"

#include <QtTest>

#include <cfenv>
#include <map>

using namespace deco;

namespace {

constexpr double kStepMinutes = 5.0 / 60.0;

config_t configWith(int gfLow, int gfHigh)
{
    config_t config;
    config.applyDefaults();
    config.setGradientFactors(GradientFactors(gfLow, gfHigh));
    return config;
}

// Descent at 20 m/min, then the rest of the bottom time at depth.
TissueState squareDive(const config_t& config, const GasMix& gas, float depth, float bottomMinutes)
{
    TissueState tissues;
    initTissues(tissues, config.surfacePressure());
    const float bottom = depthToPressure(config, depth);
    const float descent = depth / 20.0f;
    loadSegment(tissues, config.surfacePressure(), bottom, descent, gas, kOpenCircuitSetpoint);
    loadConstant(tissues, roundedSeconds(bottomMinutes - descent), gas, kOpenCircuitSetpoint, bottom);
    return tissues;
}

reference::Tissues toReference(const TissueState& s)
{
    reference::Tissues t;
    for (int i = 0; i < kCompartments; ++i) {
        t.p[0][i] = s.n2[i];
        t.p[1][i] = s.he[i];
    }
    return t;
}

reference::Site siteOf(const config_t& config)
{
    reference::Site site;
    site.surface = config.surfacePressure();
    site.density = config.waterDensity();
    site.ascentRate = config.ascentRate();
    site.decoAscentRate = config.decoAscentRate();
    site.gfLow = config.gradientFactors().gfLow;
    site.gfHigh = config.gradientFactors().gfHigh;
    site.lastStop = config.lastStopDepth();
    return site;
}

int depthKey(double depth)
{
    return int(std::lround(depth * 10.0));
}

// Stop times by depth (tenths of a metre), absent stops counting as 0.
QString compareStops(const DecoState& state, const config_t& config, const std::vector<reference::Stop>& expected,
                     double toleranceMinutes)
{
    std::map<int, std::pair<double, double>> byDepth;
    for (int k = 0; k < state.stopCount; ++k)
        byDepth[depthKey(pressureToDepth(config, state.stops[k].pressure))].first = state.stops[k].time;
    for (const reference::Stop& stop : expected)
        byDepth[depthKey(stop.depth)].second = stop.minutes;
    for (const auto& [depth, times] : byDepth) {
        if (std::fabs(times.first - times.second) > toleranceMinutes) {
            return QString("stop at %1 m: engine %2 min, reference %3 min")
                .arg(depth / 10.0)
                .arg(times.first)
                .arg(times.second);
        }
    }
    return QString();
}

} // namespace

class TestDecoState : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(selectZhl16c()); }

    void ndlMatchesReference_data()
    {
        QTest::addColumn<int>("o2");
        QTest::addColumn<int>("he");
        QTest::addColumn<bool>("forceSearch");
        QTest::addColumn<float>("depth");
        for (int depth : {12, 15, 18, 21, 24, 27, 30, 33, 36, 40}) {
            QTest::addRow("air %d m", depth) << 21 << 0 << false << float(depth);
            QTest::addRow("nitrox 32 %d m", depth) << 32 << 0 << false << float(depth);
        }
        // The search path: helium in the gas, or only in the state's flag.
        for (int depth : {12, 21, 30, 40}) {
            QTest::addRow("trimix 21/35 %d m", depth) << 21 << 35 << false << float(depth);
            QTest::addRow("air searched %d m", depth) << 21 << 0 << true << float(depth);
        }
    }

    void ndlMatchesReference()
    {
        QFETCH(int, o2);
        QFETCH(int, he);
        QFETCH(bool, forceSearch);
        QFETCH(float, depth);
        config_t config = configWith(80, 80);
        config.setOpenCircuitGas(0, GasMix(o2, he));
        const float ambient = depthToPressure(config, depth);
        TissueState tissues = squareDive(config, config.currentGas(), depth, depth / 20.0f);
        if (forceSearch)
            tissues.heliumUsed = 1;

        const double expected =
            reference::ndl(toReference(tissues), reference::gasOf(o2, he), ambient, siteOf(config));
        const DecoState cold(config);
        const float ndl = ndlTime(cold, config, tissues, ambient);
        // The closed form to a tenth of a second; the search reports the last
        // allowed 5-second step: within one step and never past the limit.
        const bool searched = forceSearch || he > 0;
        QVERIFY2(std::fabs(ndl - expected) <= (searched ? kStepMinutes : 0.1 / 60.0),
                 qPrintable(QString("engine %1, reference %2").arg(ndl).arg(expected)));
        if (searched)
            QVERIFY(ndl <= expected + 1e-4);
    }

    void ndlAtTheSurfaceAndBeyond()
    {
        config_t config = configWith(80, 80);
        const float surface = config.surfacePressure();
        DecoState state(config);
        const TissueState fresh;
        // A zero-length ascent: the closed form gives the full 250 minutes
        // without forming a 0/0 rate on the way, and so does the search path.
        std::feclearexcept(FE_ALL_EXCEPT);
        QCOMPARE(ndlTime(state, config, fresh, surface), kNdlLimit);
        QVERIFY(!std::fetestexcept(FE_INVALID | FE_DIVBYZERO));
        TissueState flagged = fresh;
        flagged.heliumUsed = 1;
        QCOMPARE(ndlTime(state, config, flagged, surface), kNdlLimit);
        updateDecoState(state, config, fresh, surface);
        QCOMPARE(state.timeToSurface, 0.0f);
        QCOMPARE(state.ndl, kNdlLimit);
        QCOMPARE(state.ceiling, ceilingPressure(fresh, 0.8f));

        // A compartment already above its surfacing M-value: no limit left,
        // on both paths, and the update turns to the schedule.
        TissueState loaded = squareDive(config, kAir, 40.0f, 30.0f);
        const float six = depthToPressure(config, 6.0f);
        QCOMPARE(ndlTime(state, config, loaded, six), 0.0f);
        loaded.heliumUsed = 1;
        QCOMPARE(ndlTime(state, config, loaded, six), 0.0f);
        DecoState fresher(config);
        updateDecoState(fresher, config, loaded, six);
        QCOMPARE(fresher.ndl, 0.0f);
        QVERIFY(fresher.stopCount > 0);
        QVERIFY(fresher.anchorStopIndex >= 1);
    }

    void warmStartedSearchesAgreeWithColdOnes()
    {
        // Follow a trimix dive at 30 m in two-second steps: the NDL seeded
        // with the previous answer equals the one searched from scratch.
        config_t config = configWith(80, 80);
        config.setOpenCircuitGas(0, GasMix(21, 35));
        const float ambient = depthToPressure(config, 30.0f);
        TissueState tissues;
        DecoState warm(config);
        for (int step = 0; step < 1200 && warm.ndl > 0.0f; ++step) {
            loadSegment(tissues, ambient, ambient, 1.0f / 30.0f, config.currentGas(), kOpenCircuitSetpoint);
            warm.ndl = ndlTime(warm, config, tissues, ambient);
            const DecoState cold(config);
            QCOMPARE(warm.ndl, ndlTime(cold, config, tissues, ambient));
        }
        QCOMPARE(warm.ndl, 0.0f);

        // Stop times do not depend on the guess either.
        loadConstant(tissues, 20 * 60, config.currentGas(), kOpenCircuitSetpoint, ambient);
        const float stop = depthToPressure(config, 9.0f);
        const float next = depthToPressure(config, 6.0f);
        const float expected = stopTime(tissues, config.currentGas(), kOpenCircuitSetpoint, stop, next, 0.8f, 5.0f);
        QVERIFY(expected > 0.0f);
        for (float guess : {0.0f, 0.1f, 1.0f, 30.0f, 2000.0f, std::nanf("")})
            QCOMPARE(stopTime(tissues, config.currentGas(), kOpenCircuitSetpoint, stop, next, 0.8f, guess), expected);
    }

    // A state updated for its ceiling only keeps in step with one given the
    // whole update, sample after sample: the same decision between the
    // no-decompression limit and stops, the same first stop and anchor, the
    // same ceiling to the bit. Helium takes the searches, also after a switch
    // from air, where nitrogen leaves while helium comes in.
    void ceilingUpdateKeepsInStepWithTheWholeUpdate_data()
    {
        QTest::addColumn<int>("o2");
        QTest::addColumn<int>("he");
        QTest::addColumn<bool>("airFirst");
        QTest::addColumn<float>("depth");
        QTest::addColumn<int>("gfLow");
        QTest::addColumn<int>("gfHigh");
        QTest::newRow("air 40 m 30/70") << 21 << 0 << false << 40.0f << 30 << 70;
        QTest::newRow("trimix 18/45 60 m 30/70") << 18 << 45 << false << 60.0f << 30 << 70;
        QTest::newRow("trimix 15/55 75 m 20/80") << 15 << 55 << false << 75.0f << 20 << 80;
        QTest::newRow("trimix 21/35 30 m 100/100") << 21 << 35 << false << 30.0f << 100 << 100;
        QTest::newRow("trimix 10/70 90 m after air 50/80") << 10 << 70 << true << 90.0f << 50 << 80;
        QTest::newRow("trimix 21/35 40 m after air 30/70") << 21 << 35 << true << 40.0f << 30 << 70;
    }

    void ceilingUpdateKeepsInStepWithTheWholeUpdate()
    {
        QFETCH(int, o2);
        QFETCH(int, he);
        QFETCH(bool, airFirst);
        QFETCH(float, depth);
        QFETCH(int, gfLow);
        QFETCH(int, gfHigh);
        config_t config = configWith(gfLow, gfHigh);
        const GasMix gas(o2, he);
        config.setOpenCircuitGas(0, gas);
        const float surface = config.surfacePressure();
        const float bottom = depthToPressure(config, depth);
        TissueState tissues;
        if (airFirst)
            tissues = squareDive(config, kAir, 15.0f, 20.0f);
        DecoState whole(config);
        DecoState ceilingOnly(config);
        // Descent at 18 m/min in two-second samples, then 30 minutes at depth.
        const float from = airFirst ? depthToPressure(config, 15.0f) : surface;
        const float perSample = (bottom - from) / (depth / 18.0f * 30.0f);
        float pressure = from;
        int limitsSeen = 0;
        int stopsSeen = 0;
        for (int sample = 0; sample < 900 + int(depth / 18.0f * 30.0f) + 1; ++sample) {
            const float next = std::min(bottom, pressure + perSample);
            loadSegment(tissues, pressure, next, 1.0f / 30.0f, gas, kOpenCircuitSetpoint);
            pressure = next;
            updateDecoState(whole, config, tissues, pressure);
            updateDecoCeiling(ceilingOnly, config, tissues, pressure);
            QCOMPARE(ceilingOnly.ndl == 0.0f, whole.ndl == 0.0f);
            QCOMPARE(ceilingOnly.firstStopIndex, whole.firstStopIndex);
            QCOMPARE(ceilingOnly.anchorStopIndex, whole.anchorStopIndex);
            QCOMPARE(qint64(ceilingOnly.stopCount > 0), qint64(whole.stopCount > 0));
            QCOMPARE(ceilingOnly.ceiling, whole.ceiling);
            limitsSeen += whole.ndl > 0.0f;
            stopsSeen += whole.stopCount > 0;
        }
        // Both kinds of answer were met.
        QVERIFY(limitsSeen > 0);
        QVERIFY(stopsSeen > 0);
    }

    void scheduleMatchesReference_data()
    {
        QTest::addColumn<int>("o2");
        QTest::addColumn<int>("he");
        QTest::addColumn<float>("depth");
        QTest::addColumn<float>("bottomMinutes");
        QTest::addColumn<int>("gfLow");
        QTest::addColumn<int>("gfHigh");
        QTest::newRow("air 40 m 25 min 80/80") << 21 << 0 << 40.0f << 25.0f << 80 << 80;
        QTest::newRow("air 30 m 40 min 30/70") << 21 << 0 << 30.0f << 40.0f << 30 << 70;
        QTest::newRow("air 50 m 20 min 30/85") << 21 << 0 << 50.0f << 20.0f << 30 << 85;
        QTest::newRow("air 45 m 60 min 100/100") << 21 << 0 << 45.0f << 60.0f << 100 << 100;
        QTest::newRow("trimix 18/45 60 m 20 min 80/80") << 18 << 45 << 60.0f << 20.0f << 80 << 80;
        QTest::newRow("trimix 18/45 60 m 25 min 30/70") << 18 << 45 << 60.0f << 25.0f << 30 << 70;
        QTest::newRow("trimix 21/35 45 m 30 min 50/80") << 21 << 35 << 45.0f << 30.0f << 50 << 80;
        QTest::newRow("trimix 10/70 90 m 15 min 20/80") << 10 << 70 << 90.0f << 15.0f << 20 << 80;
    }

    void scheduleMatchesReference()
    {
        QFETCH(int, o2);
        QFETCH(int, he);
        QFETCH(float, depth);
        QFETCH(float, bottomMinutes);
        QFETCH(int, gfLow);
        QFETCH(int, gfHigh);
        config_t config = configWith(gfLow, gfHigh);
        config.setOpenCircuitGas(0, GasMix(o2, he));
        const float ambient = depthToPressure(config, depth);
        const TissueState tissues = squareDive(config, config.currentGas(), depth, bottomMinutes);

        DecoState state(config);
        updateDecoState(state, config, tissues, ambient);
        // The closed form agrees to rounding. Searched stops last whole
        // 5-second steps: against a reference that also rounds each stop up to
        // a step, they agree within one step.
        const bool searched = he > 0;
        const std::vector<reference::Stop> expected = reference::schedule(
            toReference(tissues), reference::gasOf(o2, he), ambient, siteOf(config), searched ? kStepMinutes : 0.0);
        QVERIFY(state.stopCount >= 3);
        QVERIFY(!expected.empty());
        const double tolerance = searched ? kStepMinutes + 1e-4 : 1.0 / 60.0;
        const QString mismatch = compareStops(state, config, expected, tolerance);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));

        // Each stop lasts until the next one is allowed: replayed on the
        // tissues, the ceiling has reached the next stop when the stop ends.
        // The closed form's exact time is loaded to the nearest second, which
        // may fall a fraction of a second short: one second more must do.
        TissueState replay = tissues;
        const float firstPressure = stopPressure(config, state.firstStopIndex);
        loadSegment(replay, ambient, firstPressure, (ambient - firstPressure) / config.ascentRate(),
                    config.currentGas(), kOpenCircuitSetpoint);
        for (int k = 0; k < state.stopCount; ++k) {
            const int above = state.firstStopIndex - k - 1;
            const float next = stopPressure(config, above);
            loadConstant(replay, roundedSeconds(state.stops[k].time), config.currentGas(), kOpenCircuitSetpoint,
                         state.stops[k].pressure);
            TissueState check = replay;
            if (!searched)
                loadConstant(check, 1, config.currentGas(), kOpenCircuitSetpoint, state.stops[k].pressure);
            const float ceiling = ceilingPressure(check, gfAtStop(state, config, above, next));
            QVERIFY2(ceiling <= next,
                     qPrintable(QString("stop %1: ceiling %2 above %3").arg(k).arg(ceiling).arg(next)));
        }

        // Shape of the list: the first entry is a real stop, then one stop
        // spacing shallower each, down to the last stop.
        QVERIFY(state.stops[0].time > 0.0f);
        for (int k = 1; k < state.stopCount; ++k)
            QCOMPARE(state.stops[k].pressure, stopPressure(config, state.firstStopIndex - k));
        QCOMPARE(state.stops[state.stopCount - 1].pressure, stopPressure(config, 1));

        // Time to surface: the ascent to the first stop at the ascent rate,
        // the stops, and from the first stop up at the deco ascent rate.
        double stops = 0.0;
        for (int k = 0; k < state.stopCount; ++k)
            stops += state.stops[k].time;
        QVERIFY(std::fabs(state.totalStopTime - stops) < 1e-3);
        const double expectedTts = (ambient - firstPressure) / config.ascentRate() + stops
            + (firstPressure - config.surfacePressure()) / config.decoAscentRate();
        QVERIFY2(std::fabs(state.timeToSurface - expectedTts) < 1e-3 * expectedTts,
                 qPrintable(QString("%1 vs %2").arg(state.timeToSurface).arg(expectedTts)));
        QCOMPARE(state.ndl, 0.0f);
        QVERIFY(state.maxCns >= tissues.cns);
        QVERIFY(state.surfaceSupersaturation > 0.0f);
        QVERIFY(state.surfaceSupersaturation <= gfHigh / 100.0f + 0.01f);
    }

    void ceilingFollowsTheGradientFactors()
    {
        const TissueState tissues = [] {
            config_t c = configWith(30, 70);
            return squareDive(c, kAir, 45.0f, 30.0f);
        }();
        for (auto [low, high] : {std::pair{80, 80}, std::pair{30, 70}}) {
            config_t config = configWith(low, high);
            DecoState state(config);
            const float bottom = depthToPressure(config, 45.0f);
            updateDecoState(state, config, tissues, bottom);
            QVERIFY(state.anchorStopIndex >= 1);
            if (low == high) {
                QCOMPARE(state.ceiling, ceilingPressure(tissues, 0.8f));
            } else {
                // At the bottom, deeper than the anchor: gfLow.
                QCOMPARE(state.ceiling, ceilingPressure(tissues, 0.3f));
                // gfLow at the anchor stop, gfHigh at the surface, linear between.
                const float anchor = state.anchorPressure;
                const int a = state.anchorStopIndex;
                QCOMPARE(gfAtStop(state, config, a - 1, anchor), 0.3f);
                // A stop is left with the factor of the stop above it: from the
                // anchor itself the factor is already a little higher.
                QVERIFY(gfAtStop(state, config, a, anchor) > 0.3f);
                QCOMPARE(gfAtStop(state, config, 0, config.surfacePressure()), 0.7f);
                const float mid = (anchor + config.surfacePressure()) / 2.0f;
                QVERIFY(std::fabs(gfAtStop(state, config, 1, mid) - 0.5f) < 1e-6f);
            }
        }
    }

    void stopThatNeverClears()
    {
        // Nitrogen-rich gas and gradient factors 10/10: at the last stop the
        // inspired nitrogen stays above the surfacing M-value of the slow
        // compartments, so the stop never clears and is listed at 2000 minutes.
        for (int he : {0, 5}) {
            config_t config = configWith(10, 10);
            config.setOpenCircuitGas(0, GasMix(10, he));
            const TissueState tissues = squareDive(config, config.currentGas(), 20.0f, 120.0f);
            const float last = stopPressure(config, 1);
            const float analyticOrSearched =
                stopTime(tissues, config.currentGas(), kOpenCircuitSetpoint, last, config.surfacePressure(), 0.1f, 5.0f);
            QVERIFY2(std::isinf(analyticOrSearched), qPrintable(QString::number(analyticOrSearched)));

            DecoState state(config);
            updateDecoState(state, config, tissues, depthToPressure(config, 20.0f));
            QVERIFY(state.stopCount > 0);
            QCOMPARE(state.stops[state.stopCount - 1].pressure, last);
            QCOMPARE(state.stops[state.stopCount - 1].time, kMaxStopMinutes);
        }

        // A compartment sitting exactly at the inspired pressure, above the
        // next stop's limit, never clears either.
        TissueState saturated;
        const float here = 3.0f;
        saturated.n2.fill(inspiredN2(kAir, kOpenCircuitSetpoint, here));
        QVERIFY(std::isinf(stopTime(saturated, kAir, kOpenCircuitSetpoint, here, 1.013f, 0.8f, 5.0f)));
    }

    void searchWithoutAnyChangeInRange()
    {
        // Helium path, both ends of the full range alike: 250 minutes when
        // surfacing stays allowed, 0 when it never is.
        config_t config = configWith(80, 80);
        config.setOpenCircuitGas(0, GasMix(21, 35));
        TissueState fresh;
        DecoState state(config);
        state.ndl = 0.0f;
        QCOMPARE(ndlTime(state, config, fresh, depthToPressure(config, 3.0f)), kNdlLimit);
        const TissueState loaded = squareDive(config, config.currentGas(), 60.0f, 40.0f);
        QCOMPARE(ndlTime(state, config, loaded, depthToPressure(config, 60.0f)), 0.0f);
    }

    void moreThanFortyEightStops()
    {
        // Saturated deep on air: the first stop lies far below 48 stops.
        config_t config = configWith(100, 100);
        TissueState tissues;
        tissues.n2.fill(22.0f);
        const float ambient = depthToPressure(config, 200.0f);
        DecoState state(config);
        updateDecoState(state, config, tissues, ambient);
        QVERIFY(state.firstStopIndex > kMaxStops);
        // The first 47 stops are kept in order, the 48th entry holds the last
        // stop written, and it is counted so that the ascent still ends there.
        QCOMPARE(state.stopCount, kMaxStops);
        for (int k = 0; k < kMaxStops - 1; ++k)
            QCOMPARE(state.stops[k].pressure, stopPressure(config, state.firstStopIndex - k));
        QCOMPARE(state.stops[kMaxStops - 1].pressure, stopPressure(config, 1));
        QVERIFY(state.totalStopTime > 0.0f);
    }

    void lastStopAtSixMetres()
    {
        config_t config = configWith(30, 70);
        config.setLastStopIndex(1);
        const float ambient = depthToPressure(config, 40.0f);
        const TissueState tissues = squareDive(config, kAir, 40.0f, 30.0f);
        DecoState state(config);
        updateDecoState(state, config, tissues, ambient);
        QVERIFY(state.stopCount > 1);
        for (int k = 0; k < state.stopCount; ++k)
            QVERIFY(state.stops[k].pressure >= depthToPressure(config, 6.0f));
        QCOMPARE(state.stops[state.stopCount - 1].pressure, depthToPressure(config, 6.0f));
        const std::vector<reference::Stop> expected =
            reference::schedule(toReference(tissues), reference::gasOf(21, 0), ambient, siteOf(config));
        const QString mismatch = compareStops(state, config, expected, 1.0 / 60.0);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }

    void stopTimesFollowTheirDepths()
    {
        config_t config = configWith(80, 80);
        const float ambient = depthToPressure(config, 40.0f);
        const TissueState tissues = squareDive(config, kAir, 40.0f, 25.0f);
        DecoState probe(config);
        updateDecoState(probe, config, tissues, ambient);
        const int first = probe.firstStopIndex;
        QVERIFY(first >= 2);

        // The previous computation ended two stops shallower: each stored time
        // moves two entries deeper with its depth, new deep entries get 5.
        DecoState state(config);
        state.anchorStopIndex = first - 2;
        state.anchorPressure = stopPressure(config, first - 2);
        state.firstStopIndex = first - 2;
        for (int k = 0; k < kMaxStops; ++k)
            state.stops[k].time = 100.0f + float(k);
        computeSchedule(state, config, tissues, ambient);
        QCOMPARE(state.firstStopIndex, first);
        for (int k = state.stopCount; k < kMaxStops; ++k)
            QCOMPARE(state.stops[k].time, 100.0f + float(k - 2));

        // A jump of the first stop by more than the table holds (from index
        // 100) keeps nothing and stays inside the table.
        DecoState far(config);
        far.firstStopIndex = kMaxStopIndex;
        far.anchorStopIndex = kMaxStopIndex;
        far.anchorPressure = stopPressure(config, kMaxStopIndex);
        for (DecoStop& stop : far.stops)
            stop.time = 42.0f;
        computeSchedule(far, config, tissues, ambient);
        for (int k = far.stopCount; k < kMaxStops; ++k)
            QCOMPARE(far.stops[k].time, kInitialStopGuess);
    }

    void decoGasSwitches()
    {
        config_t config = configWith(30, 80);
        config.setOpenCircuitGas(1, GasMix(50, 0));
        config.setOpenCircuitGas(2, kOxygen);
        config.setEnabledMasks(0x07, 0x09);
        QCOMPARE(config.currentGasIndex(), 0);
        const float ambient = depthToPressure(config, 50.0f);
        const TissueState tissues = squareDive(config, kAir, 50.0f, 25.0f);

        DecoState withGases(config);
        updateDecoState(withGases, config, tissues, ambient);
        const float mod50 = modPressure(GasMix(50, 0), kOpenCircuitSetpoint, 1.6f);
        const float mod100 = modPressure(kOxygen, kOpenCircuitSetpoint, 1.6f);
        for (int k = 0; k < withGases.stopCount; ++k) {
            const DecoStop& stop = withGases.stops[k];
            const int expected = stop.pressure <= mod100 ? 2 : (stop.pressure <= mod50 ? 1 : 0);
            QCOMPARE(int(stop.gasIndex), expected);
        }
        QCOMPARE(int(withGases.stops[withGases.stopCount - 1].gasIndex), 2);

        config.setDecoGasesEnabled(false);
        DecoState airOnly(config);
        updateDecoState(airOnly, config, tissues, ambient);
        for (int k = 0; k < airOnly.stopCount; ++k)
            QCOMPARE(int(airOnly.stops[k].gasIndex), 0);
        QVERIFY(withGases.totalStopTime < 0.8f * airOnly.totalStopTime);
        // Breathing oxygen at the stops raises the CNS reached on the way up.
        QVERIFY(withGases.maxCns > airOnly.maxCns);
    }

    void closedCircuitUsesTheDecoSetpointAtSixMetres()
    {
        config_t config = configWith(30, 70);
        config.setDiveMode(ClosedCircuitMode);
        config.setCurrentSetpointIndex(1);
        QCOMPARE(config.activeSetpoint(), 1.3f);
        const float ambient = depthToPressure(config, 45.0f);
        TissueState tissues;
        loadSegment(tissues, config.surfacePressure(), ambient, 2.25f, kAir, 1.3f);
        loadConstant(tissues, 40 * 60, kAir, 1.3f, ambient);
        DecoState state(config);
        updateDecoState(state, config, tissues, ambient);
        QVERIFY(state.stopCount >= 2);
        const float sixMetres = depthToPressure(config, 6.0f);
        for (int k = 0; k < state.stopCount; ++k)
            QCOMPARE(int(state.stops[k].setpointIndex), state.stops[k].pressure <= sixMetres ? 2 : 1);

        // The loop's setpoint keeps nitrogen lower than air would at depth.
        const float bottom = depthToPressure(config, 20.0f);
        TissueState fresh;
        const DecoState cold(config);
        const float closedNdl = ndlTime(cold, config, fresh, bottom);
        config_t open = configWith(30, 70);
        QVERIFY(closedNdl > ndlTime(cold, open, fresh, bottom));
    }

    void ascentThroughTheStops()
    {
        // Follow the schedule in two-second steps as the simulation does:
        // the anchor stays at the deepest first stop, the list only shortens,
        // and once the last stop is done the state is free of stops again.
        config_t config = configWith(30, 70);
        const float bottom = depthToPressure(config, 45.0f);
        TissueState tissues = squareDive(config, kAir, 45.0f, 30.0f);
        DecoState state(config);
        updateDecoState(state, config, tissues, bottom);
        const int anchor = state.anchorStopIndex;
        QVERIFY(anchor >= 4);
        float pressure = bottom;
        int previousFirst = state.firstStopIndex;
        for (int step = 0; step < 60 * 30 * 10 && state.stopCount > 0; ++step) {
            const float target = state.stops[0].pressure;
            const float next = pressure > target ? std::max(target, pressure - config.ascentRate() / 30.0f) : pressure;
            loadSegment(tissues, pressure, next, 1.0f / 30.0f, kAir, kOpenCircuitSetpoint);
            pressure = next;
            updateDecoState(state, config, tissues, pressure);
            if (state.stopCount == 0)
                break;
            QCOMPARE(state.anchorStopIndex, anchor);
            QVERIFY(state.firstStopIndex <= previousFirst);
            QVERIFY(state.ceiling <= pressure + 0.01f);
            previousFirst = state.firstStopIndex;
        }
        QCOMPARE(state.stopCount, 0);
        QCOMPARE(state.anchorStopIndex, 0);
        QVERIFY(state.ndl > 0.0f);
        QCOMPARE(state.slowRatePressure, stopPressure(config, 1));
        QVERIFY(pressure <= stopPressure(config, 1) + 1e-4f);
    }
};

QTEST_APPLESS_MAIN(TestDecoState)
#include "tst_decostate.moc"
