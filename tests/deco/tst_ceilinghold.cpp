// The test that lets the ceiling tracking skip updates: wherever it says a
// stretch of samples at constant pressure keeps the state, a full update of
// every sample must keep it and give the same ceiling to the bit; and it
// must say so for most of a long stop, or it saves nothing.

#include "deco/ceilinghold.h"
#include "deco/decostate.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace deco;

Q_DECLARE_METATYPE(deco::GasMix)

namespace {

// Samples every two seconds at one pressure.
struct Level
{
    float pressure;
    std::vector<TissueState> samples;
};

// The stops a full schedule lists for the tissues at the end of the bottom
// time, in order: move(from, to, rate in bar/min) up to each, then
// stay(pressure, minutes, whether it is the last). Returns the last pressure.
template <typename Move, typename Stay>
float followSchedule(const config_t& config, const TissueState& tissues, float bottom, Move move, Stay stay)
{
    DecoState plan(config);
    updateDecoState(plan, config, tissues, bottom);
    float from = bottom;
    for (int k = 0; k < plan.stopCount; ++k) {
        const DecoStop& stop = plan.stops[k];
        move(from, stop.pressure, k == 0 ? config.ascentRate() : config.decoAscentRate());
        stay(stop.pressure, stop.time, k + 1 == plan.stopCount);
        from = stop.pressure;
    }
    return from;
}

// A square dive's bottom, then its stops as a full schedule lists them at
// the end of the bottom time, each held for its listed time (and a minute
// more at the last, where the state runs out of stops).
std::vector<Level> diveLevels(const config_t& config, const GasMix& gas, float depth, float minutes)
{
    std::vector<Level> levels;
    TissueState tissues;
    initTissues(tissues, config.surfacePressure());
    const float bottom = depthToPressure(config, depth);
    loadSegment(tissues, config.surfacePressure(), bottom, depth / 20.0f, gas, kOpenCircuitSetpoint);
    auto stay = [&](float pressure, float stayMinutes) {
        Level level{pressure, {}};
        for (int s = 0; s < int(stayMinutes * 30.0f); ++s) {
            loadConstant(tissues, 2, gas, kOpenCircuitSetpoint, pressure);
            level.samples.push_back(tissues);
        }
        levels.push_back(level);
    };
    stay(bottom, minutes);
    followSchedule(
        config, tissues, bottom,
        [&](float from, float to, float) {
            loadSegment(tissues, from, to, (from - to) / config.ascentRate(), gas, kOpenCircuitSetpoint);
        },
        [&](float pressure, float stopMinutes, bool last) { stay(pressure, stopMinutes + (last ? 1.0f : 0.0f)); });
    return levels;
}

// Samples every two seconds while the pressure moves in a straight line,
// loaded as the ceiling tracking loads them.
struct Move
{
    std::vector<float> pressures;
    std::vector<TissueState> samples;
};

// A square dive's descent (rate in bar/min), its bottom in one go, the ascent to
// the first stop and the moves between the stops its schedule lists at the
// end of the bottom time (at 10 and 3 m/min), each stop in one go. The state
// follows every sample of the moves and the end of each stay.
struct MovingDive
{
    std::vector<Move> moves;
    std::vector<DecoState> statesBefore;
};

MovingDive movingDive(const config_t& config, const GasMix& gas, float depth, float minutes, float descentRate)
{
    MovingDive dive;
    TissueState tissues;
    initTissues(tissues, config.surfacePressure());
    DecoState state(config);
    auto move = [&](float from, float to, float rate) {
        const float span = std::fabs(to - from) / rate * 60.0f;
        Move m;
        float previous = from;
        for (float t = 2.0f; t < span; t += 2.0f) {
            const float pressure = from + (to - from) * (t / span);
            loadSegment(tissues, previous, pressure, 2.0f / 60.0f, gas, kOpenCircuitSetpoint);
            m.pressures.push_back(pressure);
            m.samples.push_back(tissues);
            previous = pressure;
        }
        loadSegment(tissues, previous, to, 1.0f / 60.0f, gas, kOpenCircuitSetpoint);
        dive.moves.push_back(m);
        dive.statesBefore.push_back(state);
        for (std::size_t k = 0; k < m.samples.size(); ++k)
            updateDecoCeiling(state, config, m.samples[k], m.pressures[k]);
        updateDecoCeiling(state, config, tissues, to);
    };
    auto stay = [&](float pressure, float stayMinutes) {
        loadConstant(tissues, std::uint32_t(stayMinutes * 60.0f), gas, kOpenCircuitSetpoint, pressure);
        updateDecoCeiling(state, config, tissues, pressure);
    };
    const float bottom = depthToPressure(config, depth);
    move(config.surfacePressure(), bottom, descentRate);
    stay(bottom, minutes);
    const float last = followSchedule(config, tissues, bottom, move,
                                      [&](float pressure, float stopMinutes, bool) { stay(pressure, stopMinutes); });
    move(last, config.surfacePressure(), config.decoAscentRate());
    return dive;
}

config_t diveConfig(const GasMix& gas, int gfLow, int gfHigh)
{
    config_t config;
    config.applyDefaults();
    config.setGradientFactors(GradientFactors(gfLow, gfHigh));
    config.setOpenCircuitGas(0, gas);
    return config;
}

bool sameDecisions(const DecoState& a, const DecoState& b)
{
    return a.firstStopIndex == b.firstStopIndex && a.firstStopPressure == b.firstStopPressure
        && a.anchorStopIndex == b.anchorStopIndex && a.anchorPressure == b.anchorPressure
        && a.stopCount == b.stopCount && a.ndl == b.ndl && a.slowRatePressure == b.slowRatePressure
        && (a.stopCount == 0
            || (a.stops[0].pressure == b.stops[0].pressure && a.stops[0].gasIndex == b.stops[0].gasIndex
                && a.stops[0].time == b.stops[0].time));
}

} // namespace

class TestCeilingHold : public QObject
{
    Q_OBJECT

private slots:
    void heldStretchesKeepTheState_data();
    void heldStretchesKeepTheState();
    void levelStretchesBoundEveryStep_data();
    void levelStretchesBoundEveryStep();
    void movingStretchesKeepTheState_data();
    void movingStretchesKeepTheState();
    void unknownTensionsNeverHold_data();
    void unknownTensionsNeverHold();
};

void TestCeilingHold::heldStretchesKeepTheState_data()
{
    QTest::addColumn<GasMix>("gas");
    QTest::addColumn<float>("depth");
    QTest::addColumn<float>("minutes");
    QTest::addColumn<int>("gfLow");
    QTest::addColumn<int>("gfHigh");
    QTest::newRow("air 45 m 30 min 30/70") << kAir << 45.0f << 30.0f << 30 << 70;
    QTest::newRow("air 40 m 30 min 20/80") << kAir << 40.0f << 30.0f << 20 << 80;
    QTest::newRow("nitrox 32 30 m 60 min 50/80") << GasMix(32, 0) << 30.0f << 60.0f << 50 << 80;
    QTest::newRow("air 18 m 40 min 30/70, no stop") << kAir << 18.0f << 40.0f << 30 << 70;
    QTest::newRow("trimix 18/45 60 m 25 min 30/70") << GasMix(18, 45) << 60.0f << 25.0f << 30 << 70;
    QTest::newRow("trimix 10/70 90 m 12 min 40/85") << GasMix(10, 70) << 90.0f << 12.0f << 40 << 85;
    QTest::newRow("trimix 21/35 45 m 30 min 85/75") << GasMix(21, 35) << 45.0f << 30.0f << 85 << 75;
}

void TestCeilingHold::heldStretchesKeepTheState()
{
    QFETCH(GasMix, gas);
    QFETCH(float, depth);
    QFETCH(float, minutes);
    QFETCH(int, gfLow);
    QFETCH(int, gfHigh);
    const config_t config = diveConfig(gas, gfLow, gfHigh);

    int held = 0;
    int refused = 0;
    int samples = 0;
    long candidates = 0;
    DecoState state(config);
    for (const Level& level : diveLevels(config, gas, depth, minutes)) {
        const std::vector<TissueState>& s = level.samples;
        for (std::size_t i = 0; i < s.size(); ++i) {
            ++samples;
            for (std::size_t length : {std::size_t(8), std::size_t(120)}) {
                if (i + length > s.size() || (length > 8 && i % 16 != 0))
                    continue;
                TissueBounds bounds(s[i]);
                bounds.include(s[i + length - 1]);
                if (!ceilingStateHolds(state, config, bounds, level.pressure)) {
                    ++refused;
                    continue;
                }
                ++held;
                DecoState updated = state;
                const float gf = heldGradientFactor(state, config, level.pressure);
                // Only the compartments that can lead are computed.
                const CeilingCandidates leading = ceilingCandidates(bounds, gf);
                candidates += leading.count;
                for (std::size_t k = i; k < i + length; ++k) {
                    updateDecoCeiling(updated, config, s[k], level.pressure);
                    const float ceiling = ceilingPressure(s[k], gf);
                    QVERIFY2(sameDecisions(updated, state), qPrintable(QString("sample %1 of %2").arg(k).arg(length)));
                    QCOMPARE(ceiling, updated.ceiling);
                    QCOMPARE(ceilingOfCompartments(s[k], gf, leading.compartments.data(), leading.count), ceiling);
                }
            }
            updateDecoCeiling(state, config, s[i], level.pressure);
        }
    }
    // Most stretches are settled without updates.
    QVERIFY2(held > samples * 4 / 5, qPrintable(QString("%1 held, %2 refused").arg(held).arg(refused)));
    QVERIFY(refused > 0);
    // And their ceilings come from a few compartments.
    QVERIFY2(candidates < long(held) * 6, qPrintable(QString("%1 candidates per stretch").arg(double(candidates) / held)));
}

void TestCeilingHold::levelStretchesBoundEveryStep_data()
{
    QTest::addColumn<GasMix>("gas");
    QTest::addColumn<float>("depth");
    QTest::addColumn<float>("stepSeconds");
    QTest::addColumn<int>("steps");
    // After 20 minutes at 60 m on trimix 18/45: helium leaves while nitrogen
    // still enters at shallow stops, and oxygen leaves no inert gas at all.
    QTest::newRow("trimix at 21 m, 2 s steps") << GasMix(18, 45) << 21.0f << 2.0f << 256;
    QTest::newRow("air at 9 m, 2 s steps") << kAir << 9.0f << 2.0f << 256;
    QTest::newRow("oxygen at 6 m, 2 s steps") << GasMix(100, 0) << 6.0f << 2.0f << 256;
    QTest::newRow("trimix at 75 m, 2 s steps") << GasMix(18, 45) << 75.0f << 2.0f << 64;
    QTest::newRow("air at 30 m, 1.3 s steps") << kAir << 30.0f << 1.3f << 200;
    QTest::newRow("trimix at 3 m, 7.7 s steps") << GasMix(18, 45) << 3.0f << 7.7f << 100;
}

void TestCeilingHold::levelStretchesBoundEveryStep()
{
    QFETCH(GasMix, gas);
    QFETCH(float, depth);
    QFETCH(float, stepSeconds);
    QFETCH(int, steps);
    config_t config;
    config.applyDefaults();
    TissueState tissues;
    const GasMix bottomGas(18, 45);
    loadSegment(tissues, 1.013f, depthToPressure(config, 60.0f), 3.0f, bottomGas, kOpenCircuitSetpoint);
    loadConstant(tissues, 1200, bottomGas, kOpenCircuitSetpoint, depthToPressure(config, 60.0f));
    const float pressure = depthToPressure(config, depth);

    LevelStretch stretch(tissues, gas, pressure);
    const TissueState start = tissues;
    std::vector<TissueState> path;
    const float minutes = stepSeconds / 60.0f;
    for (int k = 0; k < steps; ++k) {
        stretch.addStep(minutes);
        loadSegment(tissues, pressure, pressure, minutes, gas, kOpenCircuitSetpoint);
        path.push_back(tissues);
    }
    const TissueBounds bounds = stretch.bounds();
    for (const TissueState& state : path) {
        for (int i = 0; i < kCompartments; ++i) {
            QVERIFY(bounds.low().n2[i] <= state.n2[i] && state.n2[i] <= bounds.high().n2[i]);
            QVERIFY(bounds.low().he[i] <= state.he[i] && state.he[i] <= bounds.high().he[i]);
        }
    }
    // Close enough to the path to be of use: within a millibar or so.
    for (int i = 0; i < kCompartments; ++i) {
        const float lowest = std::min(start.n2[i], path.back().n2[i]);
        const float highest = std::max(start.n2[i], path.back().n2[i]);
        QVERIFY(lowest - bounds.low().n2[i] < 0.002f);
        QVERIFY(bounds.high().n2[i] - highest < 0.002f);
    }

    // Steps taken as runs of equal lengths (with a step of no time and a
    // shorter one between) bound exactly as taken one by one.
    std::vector<float> lengths(std::size_t(steps), minutes);
    lengths[lengths.size() / 3] = 0.0f;
    lengths[lengths.size() / 2] = 0.7f * minutes;
    LevelStretch oneByOne(start, gas, pressure);
    for (float length : lengths)
        oneByOne.addStep(length);
    LevelStretch inRuns(start, gas, pressure);
    inRuns.addSteps(lengths.data(), long(lengths.size()));
    const TissueBounds single = oneByOne.bounds();
    const TissueBounds runs = inRuns.bounds();
    QVERIFY(single.low().n2 == runs.low().n2 && single.high().n2 == runs.high().n2);
    QVERIFY(single.low().he == runs.low().he && single.high().he == runs.high().he);
    QVERIFY(!(single.high().n2 == bounds.high().n2) || !(single.low().n2 == bounds.low().n2));
}

// Stretches of samples taken while the pressure moves: wherever the test
// says the state holds over a stretch, updating every sample keeps its
// decisions and gives, to the bit, the sample's ceiling under the held
// gradient factor at the sample's own pressure.
void TestCeilingHold::movingStretchesKeepTheState_data()
{
    QTest::addColumn<GasMix>("gas");
    QTest::addColumn<float>("depth");
    QTest::addColumn<float>("minutes");
    QTest::addColumn<float>("descentRate");
    QTest::addColumn<int>("gfLow");
    QTest::addColumn<int>("gfHigh");
    QTest::newRow("air 45 m 30 min 30/70") << kAir << 45.0f << 30.0f << 2.0f << 30 << 70;
    QTest::newRow("air 40 m 30 min 20/80") << kAir << 40.0f << 30.0f << 2.0f << 20 << 80;
    QTest::newRow("nitrox 32 30 m 60 min 50/80") << GasMix(32, 0) << 30.0f << 60.0f << 2.0f << 50 << 80;
    QTest::newRow("air 18 m 40 min 30/70, no stop") << kAir << 18.0f << 40.0f << 2.0f << 30 << 70;
    // The no-stop limit runs out on the way down.
    QTest::newRow("air 40 m at 3 m/min 30/70") << kAir << 40.0f << 5.0f << 0.3f << 30 << 70;
    QTest::newRow("trimix 18/45 60 m 25 min 30/70") << GasMix(18, 45) << 60.0f << 25.0f << 2.0f << 30 << 70;
    QTest::newRow("trimix 10/70 90 m 12 min 40/85") << GasMix(10, 70) << 90.0f << 12.0f << 2.0f << 40 << 85;
    QTest::newRow("trimix 21/35 45 m 30 min 85/75") << GasMix(21, 35) << 45.0f << 30.0f << 2.0f << 85 << 75;
}

void TestCeilingHold::movingStretchesKeepTheState()
{
    QFETCH(GasMix, gas);
    QFETCH(float, depth);
    QFETCH(float, minutes);
    QFETCH(float, descentRate);
    QFETCH(int, gfLow);
    QFETCH(int, gfHigh);
    const config_t config = diveConfig(gas, gfLow, gfHigh);

    const MovingDive dive = movingDive(config, gas, depth, minutes, descentRate);
    int held = 0;
    int tested = 0;
    for (std::size_t m = 0; m < dive.moves.size(); ++m) {
        const Move& move = dive.moves[m];
        DecoState state = dive.statesBefore[m];
        for (std::size_t i = 0; i < move.samples.size(); ++i) {
            for (std::size_t length : {std::size_t(4), std::size_t(16)}) {
                if (i + length > move.samples.size() || (length > 4 && i % 4 != 0))
                    continue;
                TissueBounds bounds(move.samples[i]);
                for (std::size_t k = i + 1; k < i + length; ++k)
                    bounds.include(move.samples[k]);
                const float lowest = std::min(move.pressures[i], move.pressures[i + length - 1]);
                const float highest = std::max(move.pressures[i], move.pressures[i + length - 1]);
                ++tested;
                if (!ceilingStateHoldsWhileMoving(state, config, bounds, lowest, highest))
                    continue;
                ++held;
                DecoState updated = state;
                for (std::size_t k = i; k < i + length; ++k) {
                    updateDecoCeiling(updated, config, move.samples[k], move.pressures[k]);
                    const float gf = heldGradientFactor(state, config, move.pressures[k]);
                    QVERIFY2(sameDecisions(updated, state), qPrintable(QString("move %1 sample %2").arg(m).arg(k)));
                    QCOMPARE(ceilingPressure(move.samples[k], gf), updated.ceiling);
                }
            }
            updateDecoCeiling(state, config, move.samples[i], move.pressures[i]);
        }
    }
    // Most stretches are settled without updates, wherever the state's kind
    // allows it: with stops listed, or nitrogen alone without them.
    const bool settles = dive.moves.size() > 2 || !gas.hasHelium();
    QVERIFY2(!settles || held > tested / 2, qPrintable(QString("%1 of %2 held").arg(held).arg(tested)));
}

void TestCeilingHold::unknownTensionsNeverHold_data()
{
    QTest::addColumn<GasMix>("gas");
    QTest::newRow("air") << kAir;
    QTest::newRow("trimix 18/45") << GasMix(18, 45);
}

void TestCeilingHold::unknownTensionsNeverHold()
{
    // A stretch that holds stops holding, and the compartment may lead,
    // once one tension at its start is not a number, whichever it is.
    QFETCH(GasMix, gas);
    config_t config;
    config.applyDefaults();
    config.setGradientFactors(GradientFactors(30, 70));
    config.setOpenCircuitGas(0, gas);
    const std::vector<Level> levels = diveLevels(config, gas, 45.0f, 30.0f);
    const Level& stop = levels.at(2);
    DecoState state(config);
    updateDecoCeiling(state, config, stop.samples.front(), stop.pressure);
    TissueBounds bounds(stop.samples.at(1));
    bounds.include(stop.samples.at(8));
    QVERIFY(ceilingStateHolds(state, config, bounds, stop.pressure));
    for (int i = 0; i < kCompartments; ++i) {
        TissueState start = stop.samples.at(1);
        (i % 2 == 0 || !gas.hasHelium() ? start.n2 : start.he)[i] = std::nanf("");
        TissueBounds unknown(start);
        unknown.include(stop.samples.at(8));
        QVERIFY(!ceilingStateHolds(state, config, unknown, stop.pressure));
        const CeilingCandidates leading = ceilingCandidates(unknown, 0.5f);
        QVERIFY(std::count(leading.compartments.begin(), leading.compartments.begin() + leading.count, i) == 1);
    }
}

QTEST_GUILESS_MAIN(TestCeilingHold)
#include "tst_ceilinghold.moc"
