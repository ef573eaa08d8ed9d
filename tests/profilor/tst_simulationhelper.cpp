// Replaying a dive as a fixed-step series of samples.

#include "profilor/profilesimulationhelper.h"

#include "sampledives.h"

#include <QTest>

#include <functional>
#include <vector>

using SampleDives::line;

namespace {

// Ambient pressure in bar in salt water, as the program computes it.
float pressureAt(float depth)
{
    return 1.0f + depth / 10.0f;
}

std::vector<double> times(const std::vector<StepSimulation>& series)
{
    std::vector<double> result;
    for (const StepSimulation& s : series)
        result.push_back(s.timeSec);
    return result;
}

Dive diveOf(const QList<DiveLine>& lines)
{
    Dive dive;
    dive.lines = lines;
    return dive;
}

} // namespace

class SimulationHelperTest : public QObject
{
    Q_OBJECT

private slots:
    void oneLineGivesItAndTheClosingSample();
    void samplesFollowTheProfile();
    void shortSegmentBehindTheRunningTimeIsSkipped();
    void nonPositiveLastValueHasNoClosingSample();
    void depthInDecimetres();
    void noLinesOrNoStepGiveNothing();
    void subSecondStepsAndBoundedSeries();
    void copiesAndMoves();
};

void SimulationHelperTest::oneLineGivesItAndTheClosingSample()
{
    Dive dive = diveOf({line(0, 4.5)});
    dive.lines[0].ambientTemp = 14;
    std::vector<StepSimulation> out;
    ProfileSimulationHelper(pressureAt).prepareSimulation(dive, 1000, out, 1.013f);
    QCOMPARE(out.size(), std::size_t(2));
    QCOMPARE(out[0].timeSec, 0.0);
    QCOMPARE(out[0].depthDm, quint16(45));
    QCOMPARE(out[0].value, double(pressureAt(4.5f)));
    QCOMPARE(out[0].temperature, 14.0);
    QCOMPARE(out[0].ceiling, -250.0);
    QCOMPARE(out[1].timeSec, 0.0);
    QCOMPARE(out[1].depthDm, quint16(0));
    QCOMPARE(out[1].value, double(1.013f));
    QCOMPARE(out[1].temperature, 20.0); // no segment set a temperature
    QCOMPARE(out[1].ceiling, -250.0);
}

void SimulationHelperTest::samplesFollowTheProfile()
{
    Dive dive = diveOf({line(0, 0), line(4, 20), line(6, 0)});
    dive.lines[0].ambientTemp = 20;
    dive.lines[1].ambientTemp = 18;
    dive.lines[1].decoCeiling = 3;
    std::vector<StepSimulation> out;
    ProfileSimulationHelper(pressureAt).prepareSimulation(dive, 1000, out, 1.0f);
    QCOMPARE(times(out), (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 6}));
    const std::vector<int> depths{0, 50, 100, 150, 200, 100, 0, 0};
    for (std::size_t k = 0; k < depths.size(); ++k)
        QCOMPARE(int(out[k].depthDm), depths[k]);
    QCOMPARE(out[2].value, double(pressureAt(10.0f)));
    QCOMPARE(out[3].temperature, 20.0);
    QCOMPARE(out[3].ceiling, 0.0);
    QCOMPARE(out[5].temperature, 18.0);
    QCOMPARE(out[5].ceiling, 3.0);
    QCOMPARE(out[6].ceiling, -250.0);
    QCOMPARE(out[7].value, 1.0);
    QCOMPARE(out[7].temperature, 18.0);
}

void SimulationHelperTest::shortSegmentBehindTheRunningTimeIsSkipped()
{
    // The segment 1.5 s -> 1.8 s ends before the running time (2 s): one extra
    // step, no sample, so 2 s never appears.
    const Dive dive = diveOf({line(0, 0), line(1.5, 10), line(1.8, 12), line(4, 0)});
    std::vector<StepSimulation> out;
    ProfileSimulationHelper(pressureAt).prepareSimulation(dive, 1000, out, 1.0f);
    QCOMPARE(times(out), (std::vector<double>{0, 1, 3, 4, 4}));
    QCOMPARE(int(out[2].depthDm), 54); // 12 - 12 x 1.2 / 2.2 m
}

void SimulationHelperTest::nonPositiveLastValueHasNoClosingSample()
{
    const Dive dive = diveOf({line(0, 0), line(2, 6), line(4, 0)});
    std::vector<StepSimulation> out;
    ProfileSimulationHelper([](float depth) { return depth / 10.0f; }).prepareSimulation(dive, 1000, out, 1.0f);
    QCOMPARE(out.size(), std::size_t(5));
    QCOMPARE(out.back().value, 0.0);
    QCOMPARE(out.back().timeSec, 4.0);
    ProfileSimulationHelper([](float) { return -1.0f; }).prepareSimulation(dive, 1000, out, 1.0f);
    QCOMPARE(out.size(), std::size_t(5));
}

void SimulationHelperTest::depthInDecimetres()
{
    std::vector<StepSimulation> out;
    ProfileSimulationHelper helper(pressureAt);
    helper.prepareSimulation(diveOf({line(0, 12.34)}), 1000, out, 1.0f);
    QCOMPARE(out[0].depthDm, quint16(123));
    // Out of the 16-bit range: clamped, not wrapped.
    helper.prepareSimulation(diveOf({line(0, 7000.0)}), 1000, out, 1.0f);
    QCOMPARE(out[0].depthDm, quint16(65535));
    helper.prepareSimulation(diveOf({line(0, -2.0)}), 1000, out, 1.0f);
    QCOMPARE(out[0].depthDm, quint16(0));
}

void SimulationHelperTest::noLinesOrNoStepGiveNothing()
{
    ProfileSimulationHelper helper(pressureAt);
    std::vector<StepSimulation> out{StepSimulation{}};
    helper.prepareSimulation(Dive(), 1000, out, 1.0f);
    QVERIFY(out.empty());

    const Dive dive = diveOf({line(0, 0), line(60, 10), line(120, 0)});
    for (int step : {0, -1000}) {
        out.assign(3, StepSimulation{});
        helper.prepareSimulation(dive, step, out, 1.0f);
        QVERIFY(out.empty());
    }
}

void SimulationHelperTest::subSecondStepsAndBoundedSeries()
{
    ProfileSimulationHelper helper(pressureAt);
    std::vector<StepSimulation> out;
    // Half a second is a step of 0.5 s, not of 0.
    helper.prepareSimulation(diveOf({line(0, 0), line(2, 4)}), 500, out, 1.0f);
    QCOMPARE(times(out), (std::vector<double>{0, 0.5, 1.0, 1.5, 2.0, 2.0}));
    QCOMPARE(int(out[1].depthDm), 10);

    // A line time no replay can reach gives nothing rather than filling memory.
    helper.prepareSimulation(diveOf({line(0, 0), line(1e12, 4)}), 1000, out, 1.0f);
    QVERIFY(out.empty());
    helper.prepareSimulation(diveOf({line(0, 0), line(std::numeric_limits<double>::quiet_NaN(), 4)}), 1000, out,
                             1.0f);
    QVERIFY(out.empty());
}

void SimulationHelperTest::copiesAndMoves()
{
    const Dive dive = diveOf({line(0, 10)});
    ProfileSimulationHelper original(pressureAt);
    ProfileSimulationHelper copy(original);
    std::vector<StepSimulation> out;
    copy.prepareSimulation(dive, 1000, out, 1.0f);
    QCOMPARE(out[0].value, 2.0);

    ProfileSimulationHelper moved(std::move(original));
    moved.prepareSimulation(dive, 1000, out, 1.0f);
    QCOMPARE(out[0].value, 2.0);
    copy = ProfileSimulationHelper([](float) { return 7.0f; });
    copy.prepareSimulation(dive, 1000, out, 1.0f);
    QCOMPARE(out[0].value, 7.0);

    // The moved-from helper has no function: calling it is a programming error.
    QVERIFY_THROWS_EXCEPTION(std::bad_function_call, original.prepareSimulation(dive, 1000, out, 1.0f));
}

QTEST_MAIN(SimulationHelperTest)
#include "tst_simulationhelper.moc"
