// The planning and simulation tabs' heavy steps.
// Targets: one re-plan per drag event on a three-hour plan of 200 points,
// plan table and tissue graph included, within 16 ms; preparing the replay
// of a ten-hour dive at one step a second within 20 ms.

#include "app/planningpanel.h"
#include "app/replay.h"
#include "divedata/dive.h"
#include "profilor/divepoint.h"
#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"
#include "runbenchmarks.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// `lines` lines over `seconds`, a square-wave multilevel profile between
// 15 and 45 m that needs stops.
void fillProfile(Dive& dive, int lines, double seconds)
{
    dive.lines.clear();
    for (int i = 0; i < lines; ++i) {
        DiveLine line;
        line.timeSec = seconds * i / (lines - 1);
        line.depth = i == 0 || i == lines - 1 ? 0.0 : 30.0 + 15.0 * std::sin(i * 0.3);
        line.gasIndex = 0;
        dive.lines.append(line);
    }
    dive.computeStatistics();
    dive.recomputeDerived();
}

void BM_ReplanPerDragStep(benchmark::State& state)
{
    PlanningPanel panel;
    panel.resize(1400, 800);
    panel.show();
    if (!QTest::qWaitForWindowExposed(&panel)) {
        state.SkipWithError("the panel was not shown");
        return;
    }
    panel.addDefaultDive();
    // The slot's dive replaced by the long plan, shown again as a new one.
    Dive plan = *panel.planner().currentDive();
    fillProfile(plan, int(state.range(0)), 3.0 * 3600.0);
    *panel.planner().currentDive() = plan;
    panel.changeCurrentPlanifDive(0);
    DiveProfileItem* item = panel.graph()->profileItem();
    DivePoint* point = item->getDivePointAtIndex(int(state.range(0)) / 2);
    if (!point) {
        state.SkipWithError("no handle to drag");
        return;
    }
    const QPointF start = point->pos();
    const double depthBefore = plan.lines[point->diveLineInfo().index].depth;
    point->setPos(start + QPointF(0.0, 6.0));
    if (panel.planner().currentDive()->lines[point->diveLineInfo().index].depth == depthBefore) {
        state.SkipWithError("the handle did not move its line");
        return;
    }
    int step = 1;
    for (auto _ : state) {
        // One drag event: the handle moves a few pixels up or down (what the
        // pointer's move does: one position change, constrained by the
        // profile item); the panel re-plans, refills the plan table and the
        // tissue graph.
        point->setPos(start + QPointF(0.0, (step++ % 2 == 0) ? 6.0 : -6.0));
        panel.repaint();
    }
    state.counters["points"] = double(panel.planner().currentDive()->lines.size());
}

void BM_PrepareTenHourReplay(benchmark::State& state)
{
    Dive dive;
    fillProfile(dive, 36000, 10.0 * 3600.0);
    ReplayRun run;
    for (auto _ : state) {
        run.prepare(dive, 1.03, 1.013);
        benchmark::DoNotOptimize(run.steps().data());
    }
    state.counters["steps"] = double(run.stepCount());
}

BENCHMARK(BM_ReplanPerDragStep)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_PrepareTenHourReplay)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    return BenchMain::runBenchmarks(argc, argv);
}
