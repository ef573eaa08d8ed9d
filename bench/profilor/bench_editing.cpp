// Interactive costs of the graph view on a ten-hour dive sampled every second
// (36,000 lines) in edit mode, in a 1600x900 view offscreen:
// - one drag step of a handle through real mouse events: the drag constraint,
//   the derived values (speeds), the layout, the band of the cached picture
//   where it changed and the repaint of the viewport;
// - the hover information and position lookup at a time (bisection).

#include "profilor/divepoint.h"
#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"

#include "profiletestutil.h"
#include "sampledives.h"
#include "profilebenchmain.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QSize kSize(1600, 900);

void sendMouse(GraphView& view, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QWidget* viewport = view.viewport();
    QMouseEvent event(type, pos, viewport->mapTo(viewport->window(), pos), viewport->mapToGlobal(pos), button, buttons,
                      Qt::NoModifier, QPointingDevice::primaryPointingDevice());
    QApplication::sendEvent(viewport, &event);
}

// Counts the paint events of the viewport, to make sure each step repainted.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

struct Fixture
{
    explicit Fixture(bool showPoints, bool editMode = true)
        : dive(SampleDives::longDive())
        , view(std::make_unique<GraphView>())
    {
        view->resize(kSize);
        view->show();
        DiveProfileItem* item = view->profileItem();
        item->setEditMode(editMode);
        ShowItemsState flags;
        flags.points = showPoints;
        view->showItems(flags);
        view->setDiveProfile(&dive);
        item->prepareLayout();
        QCoreApplication::processEvents();
        view->viewport()->repaint();
    }

    Dive dive;
    std::unique_ptr<GraphView> view;
};

// One mouse move of a pressed handle, then the event loop runs once, as it
// does before the next move arrives: the queued scene bookkeeping and the
// viewport repaint (what the user sees).
void dragSteps(benchmark::State& state, bool showPoints)
{
    Fixture f(showPoints);
    DiveProfileItem* item = f.view->profileItem();
    const int index = 18000;
    DivePoint* point = item->getDivePointAtIndex(index);
    const QPointF start = point->pos();
    PaintCounter counter;
    f.view->viewport()->installEventFilter(&counter);
    sendMouse(*f.view, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    double dy = 12.0;
    int steps = 0;
    counter.paints = 0;
    for (auto _ : state) {
        sendMouse(*f.view, QEvent::MouseMove, start + QPointF(0, dy), Qt::NoButton, Qt::LeftButton);
        QCoreApplication::processEvents();
        dy = dy > 0 ? -12.0 : 12.0;
        ++steps;
    }
    sendMouse(*f.view, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
    if (counter.paints < steps)
        state.SkipWithError("a drag step did not repaint");
    state.counters["lines"] = double(f.dive.lines.size());
    int painted = 0;
    for (const DivePoint* p : item->divePoints())
        painted += p->isCovered() ? 0 : 1;
    state.counters["painted"] = painted;
}

// Handles are shown: hidden handles cannot be grabbed.
void BM_DragStep(benchmark::State& state)
{
    dragSteps(state, true);
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// A handle set where a drag puts it, without the event loop: the drag
// constraint, the speeds, the layout and the band of the cached picture that
// changed (the viewport is not repainted).
void BM_DragConstraint(benchmark::State& state)
{
    Fixture f(false);
    DiveProfileItem* item = f.view->profileItem();
    DivePoint* point = item->getDivePointAtIndex(18000);
    const QPointF start = point->pos();
    double dy = 12.0;
    for (auto _ : state) {
        point->setPos(start + QPointF(0, dy));
        dy = -dy;
    }
}
BENCHMARK(BM_DragConstraint)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// Hover text at a time in the middle of the dive, as the main window asks for
// it on every pointer move.
void BM_HoverText(benchmark::State& state)
{
    Fixture f(false, false);
    const int time = int(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(f.view->getInfosOnPosition(QPointF(), time));
}
BENCHMARK(BM_HoverText)->Arg(18000)->Arg(35990)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// The position lookup alone, inside the profile, on the computed ascent and
// outside both (the bisection misses and a scan confirms it).
void BM_PositionLookup(benchmark::State& state)
{
    Fixture f(false, false);
    const int time = int(state.range(0));
    DivePosition position;
    for (auto _ : state)
        benchmark::DoNotOptimize(f.view->getInfosOnPosition(QPointF(), time, position));
}
BENCHMARK(BM_PositionLookup)->Arg(18000)->Arg(37000)->Arg(90000)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// The pointer moving over the profile: cursor line, signal and repaint, on a
// logbook view and on an edit view with the handles hidden and shown.
void BM_PointerMove(benchmark::State& state)
{
    const bool editing = state.range(0) > 0;
    Fixture f(state.range(0) == 2, editing);
    double x = 700;
    for (auto _ : state) {
        sendMouse(*f.view, QEvent::MouseMove, QPointF(x, 400), Qt::NoButton, Qt::NoButton);
        QCoreApplication::processEvents();
        x = x == 700 ? 703 : 700;
    }
}
BENCHMARK(BM_PointerMove)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace

int main(int argc, char** argv)
{
    return runProfileBenchmarks(argc, argv);
}
