// Painting cost of the profile item on a ten-hour dive sampled every second
// (36,000 lines with temperature, tank pressure, deco lines and a ceiling),
// rendered offscreen into a 1600x900 image.

#include "profilor/diveprofileitem.h"

#include "profiletestutil.h"
#include "sampledives.h"
#include "profilebenchmain.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

const QSize kSize(1600, 900);

struct Fixture
{
    Fixture()
        : dive(SampleDives::longDive())
        , scene(kSize)
        , target(kSize, QImage::Format_ARGB32_Premultiplied)
    {
        ShowItemsState all;
        all.points = false;
        scene.item->showItems(all);
        scene.item->setDiveProfile(&dive);
        scene.item->prepareLayout();
    }

    void render()
    {
        target.fill(Qt::white);
        QPainter painter(&target);
        scene.scene.render(&painter, QRectF(target.rect()), scene.scene.sceneRect());
    }

    Dive dive;
    ProfileTest::ProfileScene scene;
    QImage target;
};

// A repaint with nothing changed: the whole view, as after an expose.
void BM_Repaint(benchmark::State& state)
{
    Fixture f;
    f.render();
    for (auto _ : state)
        f.render();
    state.counters["lines"] = double(f.dive.lines.size());
}
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// A repaint of a 3-pixel strip, as when the cursor line moves.
void BM_RepaintCursorStrip(benchmark::State& state)
{
    Fixture f;
    f.render();
    const QRectF strip(800, 0, 3, kSize.height());
    for (auto _ : state) {
        QPainter painter(&f.target);
        f.scene.scene.render(&painter, strip, strip);
    }
}
BENCHMARK(BM_RepaintCursorStrip)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// One wheel notch in or out around the middle of the graph, then the repaint.
void BM_ZoomStep(benchmark::State& state)
{
    Fixture f;
    const int zoomIns = int(state.range(0));
    for (int i = 0; i < zoomIns; ++i)
        f.scene.item->zoom(Axis::Time, 1.2, 800);
    f.render();
    bool in = true;
    for (auto _ : state) {
        f.scene.item->zoom(Axis::Time, in ? 1.2 : 1.0 / 1.2, 800);
        in = !in;
        f.render();
    }
}
BENCHMARK(BM_ZoomStep)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// A depth zoom step: every vertical position changes.
void BM_DepthZoomStep(benchmark::State& state)
{
    Fixture f;
    f.render();
    bool out = true;
    for (auto _ : state) {
        f.scene.item->zoom(Axis::Depth, out ? 1.2 : 1.0 / 1.2, 800);
        out = !out;
        f.render();
    }
}
BENCHMARK(BM_DepthZoomStep)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// A 20-pixel drag, back and forth, on the whole dive zoomed to a quarter.
void BM_PanStep(benchmark::State& state)
{
    Fixture f;
    for (int i = 0; i < 8; ++i)
        f.scene.item->zoom(Axis::Time, 1.2, 800);
    f.scene.item->pan(2000);
    f.render();
    double dx = 20;
    for (auto _ : state) {
        f.scene.item->pan(dx);
        dx = -dx;
        f.render();
    }
}
BENCHMARK(BM_PanStep)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The dive edited in place: the whole drawing is recomputed.
void BM_RepaintAfterEdit(benchmark::State& state)
{
    Fixture f;
    f.render();
    double delta = 0.5;
    for (auto _ : state) {
        f.dive.lines[18000].depth += delta;
        delta = -delta;
        f.render();
    }
}
BENCHMARK(BM_RepaintAfterEdit)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace

int main(int argc, char** argv)
{
    return runProfileBenchmarks(argc, argv);
}
