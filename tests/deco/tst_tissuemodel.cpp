// Tissue model, gases, configuration and oxygen toxicity, checked against the
// double-precision reference and against the cases that are easy to get wrong.

#include "decoreference.h"

#include "deco/config.h"
#include "deco/livedive.h"
#include "deco/oxygen.h"
#include "deco/tissuemodel.h"

#include <QtTest>

#include <cstring>
#include <utility>
#include <vector>

using namespace deco;

namespace {

reference::Tissues toReference(const TissueState& s)
{
    reference::Tissues t;
    for (int i = 0; i < kCompartments; ++i) {
        t.p[0][i] = s.n2[i];
        t.p[1][i] = s.he[i];
    }
    return t;
}

// Worst difference relative to the tension, over both gases and all compartments.
double worstRelativeError(const TissueState& engine, const reference::Tissues& ref)
{
    double worst = 0.0;
    for (int i = 0; i < kCompartments; ++i) {
        worst = std::max(worst, std::fabs(engine.n2[i] - ref.p[0][i]) / std::max(1.0, ref.p[0][i]));
        worst = std::max(worst, std::fabs(engine.he[i] - ref.p[1][i]) / std::max(1.0, ref.p[1][i]));
    }
    return worst;
}

// Single precision, with room for the handful of roundings per loading step.
constexpr double kTensionTolerance = 2e-6;

float pressureAt(float depth)
{
    return 1.03f * kGravity * depth / 100.0f + kStandardSurfacePressure;
}

} // namespace

class TestTissueModel : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(selectZhl16c()); }

    void coefficientTables()
    {
        const TissueModel& m = tissueModel();
        QCOMPARE(QByteArray(m.name), QByteArray("zhl16c"));
        for (int i = 0; i < kCompartments; ++i) {
            QCOMPARE(double(m.halfTime[Nitrogen][i]), double(float(reference::kHalfTime[0][i])));
            QCOMPARE(double(m.a[Helium][i]), double(float(reference::kA[1][i])));
            QCOMPARE(double(m.b[Nitrogen][i]), double(float(reference::kB[0][i])));
            QVERIFY(std::fabs(m.k[Helium][i] - reference::rate(1, i)) < 1e-7 * reference::rate(1, i));
        }
        // Compartment 1 is the 4-minute one (1b is not used).
        QCOMPARE(m.a[Nitrogen][0], 1.2599f);
        QCOMPARE(m.b[Nitrogen][0], 0.5050f);
        QCOMPARE(m.b[Helium][15], 0.9267f);

        // An unusable table is refused and the installed model stays.
        CompartmentArray badB = kZhl16cN2B;
        badB[3] = 0.0f;
        QVERIFY(!selectModel("broken", kZhl16cN2HalfTime, kZhl16cN2A, badB, kZhl16cHeHalfTime, kZhl16cHeA,
                             kZhl16cHeB));
        CompartmentArray badHalfTime = kZhl16cHeHalfTime;
        badHalfTime[0] = -1.0f;
        QVERIFY(!selectModel("broken", kZhl16cN2HalfTime, kZhl16cN2A, kZhl16cN2B, badHalfTime, kZhl16cHeA,
                             kZhl16cHeB));
        QCOMPARE(QByteArray(tissueModel().name), QByteArray("zhl16c"));
        QCOMPARE(tissueModel().b[Nitrogen][3], 0.7825f);
    }

    void gasRecords()
    {
        QCOMPARE(QByteArray(GasMix(21, 0).name), QByteArray("21%"));
        QCOMPARE(QByteArray(GasMix(100, 0).name), QByteArray("OXY"));
        QCOMPARE(QByteArray(GasMix(150, 10).name), QByteArray("OXY"));
        QCOMPARE(QByteArray(GasMix(18, 45).name), QByteArray("18/45"));
        QCOMPARE(QByteArray(GasMix(5, 0).name), QByteArray("05%"));
        const GasMix capped(80, 30);
        QCOMPARE(QByteArray(capped.name), QByteArray("80/20"));
        QCOMPARE(capped.fHe, 0.2f);
        QCOMPARE(capped.fN2, 0.0f);
        QCOMPARE(GasMix(18, 45).fN2, 1.0f - 0.18f - 0.45f);
        QCOMPARE(GasMix(-5, -5).fN2, 1.0f);

        // A given name of eight characters or more keeps seven and its terminator.
        const GasMix named(32, 0, "ABCDEFGHIJ");
        QCOMPARE(named.name[GasMix::kNameSize - 1], '\0');
        QCOMPARE(QByteArray(named.name), QByteArray("ABCDEFG"));

        QCOMPARE(QByteArray(GradientFactors(30, 70).name), QByteArray("30/70"));
        QCOMPARE(QByteArray(GradientFactors(100, 100).name), QByteArray("100/100"));
        QCOMPARE(GradientFactors(30, 70).gfLow, 0.3f);
        const GradientFactors plain;
        QCOMPARE(QByteArray(plain.name), QByteArray("BHL"));
        QCOMPARE(plain.gfHigh, 1.0f);
        const GradientFactors longName(20, 80, "a name much too long for it");
        QCOMPARE(int(std::strlen(longName.name)), GradientFactors::kNameSize - 1);
    }

    void inspiredPressures()
    {
        const TissueState fresh;
        QVERIFY(std::fabs(fresh.n2[0] - 0.7508f) < 1e-4f);
        QCOMPARE(fresh.n2[15], (1.013f - 0.0627f) * 0.79f);
        QCOMPARE(fresh.heliumUsed, std::uint8_t(0));
        QCOMPARE(fresh.carriedCode, std::uint8_t(2));

        // Pure oxygen carries no inert gas in either circuit; nor does a
        // setpoint that takes all the ambient pressure but water vapour.
        QCOMPARE(inspiredN2(kOxygen, kOpenCircuitSetpoint, 5.0f), 0.0f);
        QCOMPARE(inspiredN2(kOxygen, 1.3f, 5.0f), 0.0f);
        QCOMPARE(inspiredN2(kAir, 1.3f, 1.3f + 0.0627f), 0.0f);
        QCOMPARE(inspiredHe(GasMix(10, 50), 1.6f, 1.5f), 0.0f);
        const GasMix trimix(10, 50);
        QVERIFY(std::fabs(inspiredHe(trimix, 1.3f, 5.0f) - (5.0f - 0.0627f - 1.3f) * 0.5f / 0.9f) < 1e-6f);
        QVERIFY(std::fabs(inspiredN2(trimix, kOpenCircuitSetpoint, 5.0f) - (5.0f - 0.0627f) * 0.4f) < 1e-6f);
        // A NaN setpoint is open circuit too.
        QCOMPARE(ppO2(kAir, std::nanf(""), 2.0f), 2.0f * 0.21f);
        QCOMPARE(ppO2(kAir, 1.3f, 1.1f), 1.1f);
        QCOMPARE(ppO2(kAir, 1.3f, 4.0f), 1.3f);
        QVERIFY(std::fabs(modPressure(GasMix(50, 0), kOpenCircuitSetpoint, 1.6f) - 3.2f) < 1e-6f);
        QVERIFY(std::fabs(modPressure(GasMix(50, 0), 1.3f, 1.6f) - 2.6f) < 1e-6f);
    }

    void constantLoadingMatchesHaldane_data()
    {
        QTest::addColumn<int>("o2");
        QTest::addColumn<int>("he");
        QTest::addColumn<float>("depth");
        QTest::addColumn<int>("seconds");
        QTest::newRow("air 1 s at 30 m") << 21 << 0 << 30.0f << 1;
        QTest::newRow("air 600 s at 30 m") << 21 << 0 << 30.0f << 600;
        QTest::newRow("nitrox 3599 s at 25 m") << 32 << 0 << 25.0f << 3599;
        QTest::newRow("trimix 2 s at 60 m") << 18 << 45 << 60.0f << 2;
        QTest::newRow("trimix 1537 s at 60 m") << 18 << 45 << 60.0f << 1537;
        QTest::newRow("heliox 7201 s at 90 m") << 10 << 90 << 90.0f << 7201;
        QTest::newRow("oxygen 900 s at 6 m") << 100 << 0 << 6.0f << 900;
    }

    void constantLoadingMatchesHaldane()
    {
        QFETCH(int, o2);
        QFETCH(int, he);
        QFETCH(float, depth);
        QFETCH(int, seconds);
        TissueState engine;
        reference::Tissues ref = toReference(engine);
        const float ambient = pressureAt(depth);
        loadConstant(engine, std::uint32_t(seconds), GasMix(o2, he), kOpenCircuitSetpoint, ambient);
        reference::haldane(ref, reference::gasOf(o2, he), ambient, seconds / 60.0);
        QVERIFY2(worstRelativeError(engine, ref) < kTensionTolerance,
                 qPrintable(QString::number(worstRelativeError(engine, ref))));
        QCOMPARE(engine.heliumUsed != 0, he > 0);
    }

    void segmentLoadingMatchesSchreiner()
    {
        TissueState engine;
        reference::Tissues ref = toReference(engine);
        // Descent to 60 m in 3 minutes, 20 minutes there, slow ascent to 21 m,
        // then to 6 m on oxygen; every leg long enough for Schreiner.
        struct Leg { float from; float to; float minutes; int o2; int he; };
        const Leg legs[] = {{0, 60, 3.0f, 18, 45}, {60, 60, 20.0f, 18, 45}, {60, 21, 4.3f, 18, 45},
                            {21, 6, 7.7f, 100, 0}};
        for (const Leg& leg : legs) {
            const float p1 = pressureAt(leg.from);
            const float p2 = pressureAt(leg.to);
            loadSegment(engine, p1, p2, leg.minutes, GasMix(leg.o2, leg.he), kOpenCircuitSetpoint);
            if (leg.from == leg.to)
                reference::haldane(ref, reference::gasOf(leg.o2, leg.he), p1, leg.minutes);
            else
                reference::schreiner(ref, reference::gasOf(leg.o2, leg.he), p1, p2, leg.minutes);
            QVERIFY2(worstRelativeError(engine, ref) < kTensionTolerance,
                     qPrintable(QString::number(worstRelativeError(engine, ref))));
        }
        QCOMPARE(engine.heliumUsed, std::uint8_t(1));

        // Nothing for a non-positive or non-numeric duration.
        const TissueState before = engine;
        loadSegment(engine, 2.0f, 3.0f, 0.0f, kAir, kOpenCircuitSetpoint);
        loadSegment(engine, 2.0f, 3.0f, -1.0f, kAir, kOpenCircuitSetpoint);
        loadSegment(engine, 2.0f, 3.0f, std::nanf(""), kAir, kOpenCircuitSetpoint);
        QVERIFY(before.n2 == engine.n2 && before.he == engine.he);
    }

    void nearlyConstantSegment()
    {
        // |dP| * t exactly 1/3000 (both factors exact in binary) loads as
        // constant pressure at the mid-pressure for the rounded seconds.
        const float dp = 1.0f / 1024.0f;
        const float minutes = 1024.0f * (1.0f / 3000.0f);
        QCOMPARE(dp * minutes, 1.0f / 3000.0f);
        TissueState segment;
        TissueState constant;
        loadSegment(segment, 4.0f, 4.0f + dp, minutes, kAir, kOpenCircuitSetpoint);
        loadConstant(constant, 20, kAir, kOpenCircuitSetpoint, (4.0f + 4.0f + dp) / 2.0f);
        QVERIFY(segment.n2 == constant.n2);

        // Just above the limit it is a Schreiner segment over the exact duration.
        TissueState schreiner;
        reference::Tissues ref = toReference(schreiner);
        loadSegment(schreiner, 4.0f, 4.0f + 2.0f * dp, minutes, kAir, kOpenCircuitSetpoint);
        reference::schreiner(ref, reference::gasOf(21, 0), 4.0, 4.0 + 2.0 * dp, minutes);
        QVERIFY(worstRelativeError(schreiner, ref) < kTensionTolerance);
        TissueState rounded;
        loadConstant(rounded, 20, kAir, kOpenCircuitSetpoint, 4.0f + dp);
        QVERIFY(!(schreiner.n2 == rounded.n2));
    }

    void constantLoadingNeverCallsTheExponential()
    {
        // Warm the cache for the simulation's two-second step first: it is a
        // power-of-two row and must not need computing either.
        const std::uint64_t start = exponentialEvaluations();
        TissueState state;
        for (std::uint32_t seconds = 0; seconds <= 4096; ++seconds) {
            loadConstant(state, seconds, GasMix(18, 45), kOpenCircuitSetpoint, 3.0f);
            loadConstant(state, seconds, kAir, kOpenCircuitSetpoint, 1.5f);
        }
        loadConstant(state, 7u * 24u * 3600u, kAir, kOpenCircuitSetpoint, 1.013f);
        for (int i = 0; i < 100; ++i)
            loadSegment(state, 2.0f + 0.1f * float(i), 2.1f + 0.1f * float(i), 1.0f / 30.0f, GasMix(18, 45), 1.2f);
        QCOMPARE(exponentialEvaluations(), start);

        // Another duration is computed once per inert gas and then reused.
        for (int i = 0; i < 50; ++i)
            loadSegment(state, 5.0f, 2.0f, 2.75f, GasMix(18, 45), kOpenCircuitSetpoint);
        QCOMPARE(exponentialEvaluations(), start + 2 * kCompartments);
    }

    // Every power-of-two-second duration is found among the rows, whose
    // factors equal those computed for the same duration; selecting the
    // model in place again derives nothing, and after another model the
    // factors come back to the bit.
    void factorRowsAndReselectedModel()
    {
        const TissueModel& m = tissueModel();
        std::uint64_t start = exponentialEvaluations();
        for (int j = 0; j < kFactorRows; ++j) {
            const float minutes = float(double(1u << j) / 60.0);
            for (InertGas gas : {Nitrogen, Helium}) {
                const DurationFactors& row = durationFactors(gas, minutes);
                QCOMPARE(row.minutes, minutes);
                QVERIFY(row.decay == m.decay[gas][j]);
                QVERIFY(row.gain == m.gain[gas][j]);
                // Just beside the row's duration: computed, never the row.
                const float beside = std::nextafter(minutes, 1.0e9f);
                QVERIFY(durationFactors(gas, beside).minutes == beside);
            }
        }
        QCOMPARE(exponentialEvaluations(), start + std::uint64_t(2 * kFactorRows * kCompartments));

        const DurationFactors before = durationFactors(Helium, 2.75f);
        start = exponentialEvaluations();
        QVERIFY(selectZhl16c());
        QCOMPARE(exponentialEvaluations(), start);
        CompartmentArray slower = kZhl16cHeHalfTime;
        slower[0] = 2.0f;
        QVERIFY(selectModel("slower", kZhl16cN2HalfTime, kZhl16cN2A, kZhl16cN2B, slower, kZhl16cHeA, kZhl16cHeB));
        QVERIFY(durationFactors(Helium, 2.75f).decay[0] > before.decay[0]);
        QVERIFY(selectZhl16c());
        QCOMPARE(QByteArray(tissueModel().name), QByteArray("zhl16c"));
        QVERIFY(durationFactors(Helium, 2.75f).decay == before.decay);
        QVERIFY(durationFactors(Helium, 2.75f).gain == before.gain);
    }

    void ceilingsMatchBuhlmann()
    {
        TissueState engine;
        loadSegment(engine, 1.013f, pressureAt(50), 2.5f, GasMix(21, 35), kOpenCircuitSetpoint);
        loadConstant(engine, 25 * 60, GasMix(21, 35), kOpenCircuitSetpoint, pressureAt(50));
        loadSegment(engine, pressureAt(50), pressureAt(15), 3.2f, GasMix(21, 35), kOpenCircuitSetpoint);
        const reference::Tissues ref = toReference(engine);

        for (float gf : {0.3f, 0.55f, 0.8f, 1.0f}) {
            const double expected = reference::ceiling(ref, gf);
            QVERIFY2(std::fabs(ceilingPressure(engine, gf) - expected) < 2e-6 * expected,
                     qPrintable(QString("gf %1: %2 vs %3").arg(gf).arg(ceilingPressure(engine, gf)).arg(expected)));
            QVERIFY(isSafeAt(engine, float(expected) * 1.0001f, gf));
            QVERIFY(!isSafeAt(engine, float(expected) * 0.9999f, gf));
        }

        // At 100/100 the ceiling is plain Bühlmann: (p - a) b, and the
        // M-value at that pressure is the tension itself.
        for (int i = 0; i < kCompartments; ++i) {
            const double p = ref.p[0][i] + ref.p[1][i];
            const double a = (reference::kA[0][i] * ref.p[0][i] + reference::kA[1][i] * ref.p[1][i]) / p;
            const double b = (reference::kB[0][i] * ref.p[0][i] + reference::kB[1][i] * ref.p[1][i]) / p;
            QVERIFY(std::fabs(compartmentCeiling(engine, i, 1.0f) - (p - a) * b) < 2e-6);
            QVERIFY(std::fabs(mValue(engine, float((p - a) * b), i, 1.0f) - p) < 2e-6);
        }

        // Supersaturation: share of the way from ambient to the plain M-value.
        const float surface = 1.013f;
        double worst = 0.0;
        for (int i = 0; i < kCompartments; ++i) {
            const double p = ref.p[0][i] + ref.p[1][i];
            const double a = (reference::kA[0][i] * ref.p[0][i] + reference::kA[1][i] * ref.p[1][i]) / p;
            const double b = (reference::kB[0][i] * ref.p[0][i] + reference::kB[1][i] * ref.p[1][i]) / p;
            if (p > surface)
                worst = std::max(worst, (p - surface) / (surface / b + a - surface));
        }
        QVERIFY(worst > 0.5);
        QVERIFY(std::fabs(maxSupersaturation(engine, surface) - worst) < 1e-5);
    }

    void modelCeilingIsTheLargestCompartmentCeiling_data()
    {
        QTest::addColumn<bool>("helium");
        QTest::addColumn<float>("gf");
        QTest::newRow("nitrogen 0.3") << false << 0.3f;
        QTest::newRow("nitrogen 1.0") << false << 1.0f;
        QTest::newRow("trimix 0.3") << true << 0.3f;
        QTest::newRow("trimix 0.85") << true << 0.85f;
    }

    void modelCeilingIsTheLargestCompartmentCeiling()
    {
        // Whichever compartment holds the deepest ceiling, the model's
        // ceiling is exactly that one's; a compartment whose ceiling is not a
        // number never counts, and ceilings below 0 give 0.
        QFETCH(bool, helium);
        QFETCH(float, gf);
        for (int leading = 0; leading < kCompartments; ++leading) {
            CompartmentArray n2{};
            CompartmentArray he{};
            for (int i = 0; i < kCompartments; ++i) {
                n2[i] = 1.2f + 0.01f * float(i);
                he[i] = helium ? 0.6f - 0.02f * float(i) : 0.0f;
            }
            n2[leading] = 4.5f;
            TissueState state;
            setTissues(state, n2, he, 0.0f);
            const float expected = compartmentCeiling(state, leading, gf);
            QVERIFY(expected > 1.0f);
            QCOMPARE(ceilingPressure(state, gf), expected);
            state.n2[(leading + 5) % kCompartments] = std::nanf("");
            QCOMPARE(ceilingPressure(state, gf), expected);
            // The M-values of all compartments at once are each one's, also
            // for one without tension or not a number.
            state.n2[(leading + 9) % kCompartments] = 0.0f;
            state.he[(leading + 9) % kCompartments] = 0.0f;
            CompartmentArray limits;
            mValues(state, 1.6f, gf, limits);
            for (int i = 0; i < kCompartments; ++i) {
                const float one = mValue(state, 1.6f, i, gf);
                QVERIFY(std::memcmp(&limits[i], &one, sizeof one) == 0);
            }
            // Two states without helium at once: each one's own ceilings.
            if (!helium) {
                TissueState deeper = state;
                for (float& tension : deeper.n2)
                    tension *= 1.37f;
                CompartmentArray first;
                CompartmentArray second;
                CompartmentArray one;
                CompartmentArray two;
                nitrogenCeilings(state, deeper, gf, first, second);
                compartmentCeilings(state, gf, one);
                compartmentCeilings(deeper, gf, two);
                QVERIFY(std::memcmp(&first, &one, sizeof one) == 0);
                QVERIFY(std::memcmp(&second, &two, sizeof two) == 0);
            }
        }
        TissueState low;
        low.n2.fill(0.05f);
        QVERIFY(compartmentCeiling(low, 0, gf) < 0.0f);
        QCOMPARE(ceilingPressure(low, gf), 0.0f);
    }

    void piecewiseLoadingWithCeilings_data()
    {
        QTest::addColumn<int>("o2");
        QTest::addColumn<int>("he");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("pieces");
        QTest::addColumn<bool>("afterTrimix"); // else saturated at the surface, no helium
        QTest::newRow("air, one piece of 2 s") << 21 << 0 << 2 << 1 << true;
        QTest::newRow("air, 7 pieces of 2 s") << 21 << 0 << 2 << 7 << true;
        QTest::newRow("nitrox, 8 pieces of 3 s") << 32 << 0 << 3 << 8 << true;
        QTest::newRow("trimix, 9 pieces of 2 s") << 18 << 45 << 2 << 9 << false;
        QTest::newRow("trimix, 29 pieces of 1 s") << 10 << 70 << 1 << 29 << false;
        QTest::newRow("oxygen after trimix, 17 pieces of 600 s") << 100 << 0 << 600 << 17 << true;
        QTest::newRow("air without helium, 37 pieces of 2 s") << 21 << 0 << 2 << 37 << false;
        QTest::newRow("nitrox without helium, 11 pieces of 3 s") << 32 << 0 << 3 << 11 << false;
        QTest::newRow("oxygen without helium, 5 pieces of 700 s") << 100 << 0 << 700 << 5 << false;
    }

    void piecewiseLoadingWithCeilings()
    {
        // Pieces loaded in a run, each with its ceiling over a few listed
        // compartments or over all of them, are loadConstant piece by piece
        // and the ceiling of each piece, to the bit.
        QFETCH(int, o2);
        QFETCH(int, he);
        QFETCH(int, seconds);
        QFETCH(int, pieces);
        QFETCH(bool, afterTrimix);
        TissueState start;
        initTissues(start, 1.013f);
        if (afterTrimix) {
            loadSegment(start, 1.013f, pressureAt(60), 3.0f, GasMix(18, 45), kOpenCircuitSetpoint);
            loadConstant(start, 1500, GasMix(18, 45), kOpenCircuitSetpoint, pressureAt(60));
        }
        const float ambient = pressureAt(o2 == 100 ? 6.0f : 40.0f);
        const GasMix gas(o2, he);
        const std::uint8_t all[kCompartments] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        const std::uint8_t some[] = {3, 0, 11};
        for (const auto& [list, count] : {std::pair(all, kCompartments), std::pair(some, 3)}) {
            TissueState stepped = start;
            TissueState run = start;
            std::vector<float> ceilings(std::size_t(pieces), -1.0f);
            ConstantLoad(gas, kOpenCircuitSetpoint, ambient)
                .applyEach(run, std::uint32_t(seconds), pieces, 0.45f, list, count, ceilings.data());
            for (int k = 0; k < pieces; ++k) {
                loadConstant(stepped, std::uint32_t(seconds), gas, kOpenCircuitSetpoint, ambient);
                QCOMPARE(ceilings[std::size_t(k)], ceilingOfCompartments(stepped, 0.45f, list, count));
            }
            QVERIFY(run.n2 == stepped.n2 && run.he == stepped.he);
            QCOMPARE(run.heliumUsed, stepped.heliumUsed);
            if (count == kCompartments)
                QCOMPARE(ceilings.back(), ceilingPressure(stepped, 0.45f));
        }
        // With the model's ceiling after each piece: the same loads, and
        // ceilingPressure to the bit, with helium or without.
        TissueState stepped = start;
        TissueState run = start;
        std::vector<float> ceilings(std::size_t(pieces), -1.0f);
        ConstantLoad(gas, kOpenCircuitSetpoint, ambient).applyEach(run, std::uint32_t(seconds), pieces, 0.45f, ceilings.data());
        for (int k = 0; k < pieces; ++k) {
            loadConstant(stepped, std::uint32_t(seconds), gas, kOpenCircuitSetpoint, ambient);
            const float expected = ceilingPressure(stepped, 0.45f);
            QVERIFY(std::memcmp(&ceilings[std::size_t(k)], &expected, sizeof expected) == 0);
        }
        QVERIFY(run.n2 == stepped.n2 && run.he == stepped.he);
        QCOMPARE(run.heliumUsed, stepped.heliumUsed);
    }

    void longStaysInChunks_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("chunks");
        QTest::newRow("1 s") << 1 << 0;
        QTest::newRow("512 s, one row") << 512 << 0;
        QTest::newRow("513 s") << 513 << 1;
        QTest::newRow("1024 s") << 1024 << 1;
        QTest::newRow("1025 s") << 1025 << 2;
        QTest::newRow("250 min") << 15000 << 29;
        QTest::newRow("2000 min") << 120000 << 234;
    }

    void longStaysInChunks()
    {
        // A long stay is its whole 512-second chunks, applied in any number
        // of goes, and then the rest: the same bits as the stay in one go.
        QFETCH(int, seconds);
        QFETCH(int, chunks);
        const auto n = std::uint32_t(seconds);
        QCOMPARE(ConstantLoad::chunksOf(n), std::uint32_t(chunks));
        for (const GasMix& gas : {kAir, GasMix(18, 45)}) {
            TissueState whole;
            loadConstant(whole, n, gas, kOpenCircuitSetpoint, pressureAt(45));
            const ConstantLoad load(gas, kOpenCircuitSetpoint, pressureAt(45));
            TissueState pieces;
            const std::uint32_t first = std::uint32_t(chunks) / 3;
            load.applyChunks(pieces, first);
            load.applyChunks(pieces, std::uint32_t(chunks) - first);
            load.apply(pieces, n - std::uint32_t(chunks) * kLargestRowSeconds);
            QVERIFY(whole.n2 == pieces.n2 && whole.he == pieces.he);
            QCOMPARE(pieces.heliumUsed, whole.heliumUsed);
        }
    }

    void coefficientsOfAnEmptyHeliumCompartment()
    {
        // The helium flag is set but a compartment holds no gas at all: its
        // coefficients fall back to nitrogen's instead of dividing by zero.
        CompartmentArray n2 = TissueState().n2;
        CompartmentArray he{};
        he[15] = 0.4f;
        n2[0] = 0.0f;
        TissueState state;
        setTissues(state, n2, he, 0.1f);
        QCOMPARE(state.heliumUsed, std::uint8_t(1));
        float a = 0.0f;
        float b = 0.0f;
        mixedCoefficients(state, 0, a, b);
        QCOMPARE(a, tissueModel().a[Nitrogen][0]);
        QCOMPARE(b, tissueModel().b[Nitrogen][0]);
        QVERIFY(std::isfinite(mValue(state, 1.0f, 0, 0.8f)));
        QCOMPARE(compartmentCeiling(state, 0, 0.8f), 0.0f);
        QVERIFY(std::isfinite(ceilingPressure(state, 0.8f)));
        QVERIFY(std::isfinite(maxSupersaturation(state, 0.5f)));
        // Helium-only compartment: helium's coefficients.
        mixedCoefficients(state, 15, a, b);
        QVERIFY(std::fabs(a - (0.2327f * n2[15] + 0.5119f * 0.4f) / (n2[15] + 0.4f)) < 1e-6f);
    }

    void oxygenToxicity()
    {
        QCOMPARE(cnsRatePerMinute(0.59f), 0.0f);
        QCOMPARE(cnsRatePerMinute(std::nanf("")), 0.0f);
        QVERIFY(std::fabs(cnsRatePerMinute(0.6f) - 1.0f / 720.0f) < 1e-6f);
        QVERIFY(std::fabs(cnsRatePerMinute(1.0f) - 1.0f / 300.0f) < 1e-6f);
        QVERIFY(std::fabs(cnsRatePerMinute(1.425f) - 1.0f / 142.5f) < 1e-5f);
        // At 1.65 bar and beyond the 7-minute limit, and never past the table.
        QVERIFY(std::fabs(cnsRatePerMinute(1.65f) - 1.0f / 7.0f) < 1e-4f);
        QCOMPARE(cnsRatePerMinute(2.5f), 1.0f / 7.0f);
        QCOMPARE(cnsRatePerMinute(std::nextafter(1.65f, 0.0f)) <= 1.0f / 7.0f, true);

        TissueState state;
        state.cns = 0.5f;
        // Exactly 0.6 bar adds nothing: the load decays with a 90-minute half-time.
        updateCns(state, 0.6f, 0.6f, 90.0f, kOxygen, kOpenCircuitSetpoint);
        QVERIFY(std::fabs(state.cns - 0.25f) < 1e-6f);
        updateCns(state, 1.6f, 1.6f, 10.0f, kOxygen, kOpenCircuitSetpoint);
        QVERIFY(std::fabs(state.cns - (0.25f + 10.0f / 45.0f)) < 1e-5f);
        state.cns = 0.001f;
        updateCns(state, 1.0f, 1.0f, 0.1f, kAir, kOpenCircuitSetpoint);
        QCOMPARE(state.cns, 0.0f);

        QCOMPARE(otuPerMinute(0.5f), 0.0f);
        QVERIFY(std::fabs(otuPerMinute(1.0f) - 1.0f) < 1e-6f);
        QVERIFY(std::fabs(otuPerMinute(1.4f) - float(std::pow(0.9 / 0.5, 5.0 / 6.0))) < 1e-5f);
    }

    void configurationDefaults()
    {
        config_t config;
        config.applyDefaults();
        // Construction alone is plain Bühlmann in fresh water; the defaults
        // routine sets the engine's values.
        QCOMPARE(config_t().gradientFactors().gfHigh, 1.0f);
        QCOMPARE(config_t().waterDensity(), 1.0f);
        QCOMPARE(config.surfacePressure(), 1.013f);
        QCOMPARE(config.waterDensity(), 1.03f);
        QCOMPARE(config.ascentRate(), 1.1f);
        QCOMPARE(config.decoMaxPpO2(), 1.6f);
        QCOMPARE(QByteArray(config.gradientFactors().name), QByteArray("80/80"));
        QVERIFY(!config.isClosedCircuit());
        QVERIFY(std::isinf(config.activeSetpoint()));
        QCOMPARE(config.setpoint(4).ppO2, 1.3f);
        QCOMPARE(config.setpoint(-1).auxValue, std::uint16_t(70));
        QCOMPARE(config.gasCount(), 1);
        QCOMPARE(QByteArray(config.currentGas().name), QByteArray("21%"));

        // Imperial units look every table up again.
        config.setUnits(false);
        QCOMPARE(config.ascentRate(), 1.0668f);
        QCOMPARE(config.lastStopDepth(), 3.048f);
        QCOMPARE(config.thirdValue(), 3.72608f);
        config.setUnits(true);
        config.setAscentRateIndex(7); // 7 mod 5
        QCOMPARE(config.ascentRate(), 1.1f);
        config.setWaterType(FreshWater);
        QCOMPARE(config.waterDensity(), 1.0f);
        config.setWaterType(9);
        QCOMPARE(config.waterDensity(), 1.0f);
        QVERIFY(!config.setSurfacePressure(std::nanf("")));
        QVERIFY(!config.setDecoAscentRate(0.0f));

        // dive_t is a configuration with its own tissues and carried values.
        dive_t dive;
        dive.applyDefaults();
        QCOMPARE(dive.ascentRate(), 1.1f);
        QCOMPARE(dive.tissues().n2[4], TissueState().n2[4]);
        QCOMPARE(dive.carriedValue(1), 1280);
    }

    void gasTables()
    {
        config_t config;
        config.applyDefaults();
        config.setOpenCircuitGas(1, GasMix(50, 0));
        config.setOpenCircuitGas(2, GasMix(100, 0));
        config.setOpenCircuitGas(3, GasMix(21, 0)); // the same as gas 0
        config.setOpenCircuitGas(7, GasMix(18, 45));
        config.setEnabledMasks(0x8F, 0x09);
        // Distinct enabled gases, ascending O2 then He.
        QCOMPARE(config.gasCount(), 4);
        QCOMPARE(config.sortedGasIndex(0), 7);
        QCOMPARE(config.sortedGasIndex(1), 0);
        QCOMPARE(config.sortedGasIndex(3), 2);
        QCOMPARE(config.firstGasIndex(), 7);
        QCOMPARE(config.nextGasIndex(0), 1);
        QCOMPARE(config.nextGasIndex(2), 2); // last
        QCOMPARE(config.nextGasIndex(5), 5); // not listed
        // Out-of-range indices: 8 and beyond give entry 0, negative entry 7.
        QCOMPARE(QByteArray(config.gas(9).name), QByteArray("21%"));
        QCOMPARE(QByteArray(config.gas(-1).name), QByteArray("18/45"));
        QVERIFY(!config.setOpenCircuitGas(8, kAir));

        config.setDiveMode(ClosedCircuitMode);
        QVERIFY(config.isClosedCircuit());
        QCOMPARE(config.activeSetpoint(), 0.7f);
        QCOMPARE(config.gasCount(), 1);
        QCOMPARE(config.currentGasIndex(), 0);
        // Bail-out breathes the closed-circuit entries 3 to 7 in open circuit.
        config.setDiveMode(BailoutMode);
        QVERIFY(!config.isClosedCircuit());
        QVERIFY(std::isinf(config.activeSetpoint()));
        QCOMPARE(config.currentGasIndex(), 3);
        QCOMPARE(config.currentGas().fO2, 0.32f);
    }

    void stopPressures()
    {
        config_t config;
        config.applyDefaults();
        QCOMPARE(stopPressure(config, 0), 1.013f);
        QCOMPARE(stopPressure(config, 1), depthToPressure(config, 3.0f));
        QCOMPARE(stopPressure(config, 4), depthToPressure(config, 12.0f));
        config.setLastStopIndex(1);
        QCOMPARE(stopPressure(config, 1), depthToPressure(config, 6.0f));
        QCOMPARE(stopPressure(config, 2), depthToPressure(config, 9.0f));
        config.setUnits(false);
        QCOMPARE(stopPressure(config, 3), depthToPressure(config, 6.096f + 2.0f * 3.048f));
        QVERIFY(std::fabs(pressureToDepth(config, depthToPressure(config, 17.5f)) - 17.5f) < 1e-5f);
    }
};

QTEST_APPLESS_MAIN(TestTissueModel)
#include "tst_tissuemodel.moc"
