// Point editing on a real graph view: dragging handles with the mouse, adding
// by double-click, deleting, selecting and undoing, offscreen.

#include "profilor/divepoint.h"
#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"

#include "graphviewfixture.h"
#include "profiletestutil.h"
#include "sampledives.h"

#include <QGraphicsScene>
#include <QMenu>
#include <QSignalSpy>

using namespace ViewTest;
using SampleDives::line;

namespace {

// A planned dive of 30 minutes to 40 m. In a 990x580 view: 0.5 px/s from
// x = 50, 11.5 px/m from y = 30 (the time axis at y = 530 is 43.5 m).
Dive plannedDive()
{
    Dive dive;
    dive.name = QStringLiteral("plan");
    dive.format = Dive::PlannedProfile;
    dive.lines = {line(0, 0), line(60, 5), line(600, 5), line(900, 40), line(1800, 0)};
    dive.recomputeDerived();
    return dive;
}

QPointF at(const DiveProfileItem* item, double time, double depth)
{
    return item->timeDepthToGraphCoordinates(time, depth);
}

// The bounds of what the viewport repaints.
class PaintedArea : public QObject
{
public:
    QRect area;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            area |= static_cast<QPaintEvent*>(event)->rect();
        return QObject::eventFilter(watched, event);
    }
};

// The default layers (all of them) and the handles.
ShowItemsState everyLayer()
{
    ShowItemsState flags;
    flags.points = true;
    return flags;
}

} // namespace

class PointEditingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void handlesFollowTheLines();
    void dragKeepsTheLimits_data();
    void dragKeepsTheLimits();
    void dragBetweenCloseNeighboursKeepsTheOrder();
    void dragRepaintsOnlyWhatChanged();
    void firstPointNeverMoves();
    void doubleClickAddsInsideTheGraphOnly();
    void addedPointsStayAfterTheStartAndBelowTheSurface();
    void addAfterAndModify();
    void deleteOneAndTheSelection();
    void multiSelectAndRectangleSelection();
    void undoMovesBackThenRemoves();
    void rebuildingForgetsUndoAndTheMenuPoint();
    void eachItemRecordsItsOwnMoves();
    void handlesArePaintedOverTheProfile();
    void denseProfilesPaintOneHandlePerCell();

private:
    DiveProfileItem* item() const { return mView->profileItem(); }
    void startEditing(GraphView& view, Dive* dive);

    std::unique_ptr<GraphView> mView;
    Dive mDive;
};

void PointEditingTest::initTestCase()
{
    ProfileTest::registerIcons();
}

void PointEditingTest::startEditing(GraphView& view, Dive* dive)
{
    view.profileItem()->setEditMode(true);
    ShowItemsState flags;
    flags.points = true;
    view.showItems(flags);
    view.setDiveProfile(dive);
}

void PointEditingTest::init()
{
    mDive = plannedDive();
    mView = shownView(QSize(990, 580));
    QVERIFY(mView);
    startEditing(*mView, &mDive);
}

void PointEditingTest::cleanup()
{
    mView.reset();
    DivePoint::contextMenu = nullptr;
    DivePoint::sPointHasMoved = nullptr;
    DiveProfileItem::setLog(nullptr);
}

void PointEditingTest::handlesFollowTheLines()
{
    const QVector<DivePoint*>& points = item()->divePoints();
    QCOMPARE(points.size(), 5);
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(points[k]->type(), 0x10001);
        QCOMPARE(points[k]->diveLineInfo().index, k);
        QCOMPARE(points[k]->pos(), at(item(), mDive.lines[k].timeSec, mDive.lines[k].depth));
        QVERIFY(points[k]->isVisible());
        QCOMPARE(item()->getDivePointAtIndex(k), points[k]);
    }
    QCOMPARE(points[2]->toolTip(), DiveProfileItem::divePointToolTip(2, mDive.lines[2]));
    QVERIFY(!(points[0]->flags() & QGraphicsItem::ItemIsMovable));
    QVERIFY(points[1]->flags() & QGraphicsItem::ItemIsMovable);
    QCOMPARE(item()->getDivePointAtIndex(5), nullptr);

    // A zoom moves the handles with the profile; hiding them hides every one.
    wheel(*mView, QPointF(400, 300), QPoint(0, 120));
    QCOMPARE(points[3]->pos(), at(item(), 900, 40));
    item()->setShowDivePoints(false);
    QVERIFY(!points[3]->isVisible());
    QVERIFY(!item()->itemFlags().points);

    // Outside edit mode no handles are kept.
    item()->setEditMode(false);
    item()->update();
    QVERIFY(item()->divePoints().isEmpty());
}

void PointEditingTest::dragKeepsTheLimits_data()
{
    // Line 2 dragged. The dive's lines as (time, depth) (none: the planned
    // dive), Control notches of depth zoom first, from where to where as
    // (time, depth) plus a pixel offset, where the line ends up, and where an
    // undo puts it (null: where it started). Descents are held to 30 m/min,
    // ascents to 15 m/min.
    QTest::addColumn<QList<QPointF>>("lines");
    QTest::addColumn<int>("depthNotches");
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<QPointF>("expected");
    QTest::addColumn<QPointF>("undone");
    QTest::addColumn<bool>("dragAgain");
    const QList<QPointF> level{{0, 0}, {120, 30}, {700, 30}, {1200, 10}, {1800, 0}};
    // 30 m in 30 s after line 1 (01:00, 5 m) becomes 30 m in 60 s.
    QTest::addRow("descent from the previous line") << QList<QPointF>() << 0 << QPointF(600, 5) << QPointF(90, 35)
                                                    << QPointF() << QPointF(120, 35) << QPointF() << true;
    // Two notches show 44 m, room for 35 m above the time axis; 20 s before
    // line 3 at 10 m, 25 m up takes 100 s.
    QTest::addRow("ascent to the next line") << level << 2 << QPointF(700, 30) << QPointF(1180, 35) << QPointF()
                                             << QPointF(1100, 35) << QPointF() << false;
    // 10 s after line 1 at 30 m, 20 m up takes 80 s.
    QTest::addRow("ascent from the previous line") << level << 0 << QPointF(700, 30) << QPointF(130, 10)
                                                   << QPointF() << QPointF(200, 10) << QPointF() << false;
    // 20 s before line 3 at 40 m, 35 m down takes 70 s: moved 70 s before it.
    // Undone, it is held there too: its start broke the limit.
    const QList<QPointF> shallow{{0, 0}, {120, 5}, {700, 5}, {760, 40}, {1800, 0}};
    QTest::addRow("descent to the next line") << shallow << 0 << QPointF(700, 5) << QPointF(740, 5) << QPointF()
                                              << QPointF(690, 5) << QPointF(690, 5) << false;
    // Above the surface: at 0 m, and the time is that of a point at 0 m (no
    // ascent from a depth above the surface is timed).
    QTest::addRow("surface") << QList<QPointF>() << 0 << QPointF(600, 5) << QPointF(500, 0) << QPointF(0, -40)
                             << QPointF(500, 0) << QPointF() << false;
    // Below the time axis (y = 570): the depth of the axis, in 0.5 m steps.
    QTest::addRow("time axis") << QList<QPointF>() << 0 << QPointF(600, 5) << QPointF(500, 0) << QPointF(0, 540)
                               << QPointF(500, 43.5) << QPointF() << false;
    // Past the next line's time (15:00, 40 m) or before the previous one's
    // (01:00, 5 m) at the same depth: held at its time.
    QTest::addRow("past the next line") << QList<QPointF>() << 0 << QPointF(600, 5) << QPointF(1000, 40)
                                        << QPointF() << QPointF(900, 40) << QPointF() << false;
    QTest::addRow("before the previous line") << QList<QPointF>() << 0 << QPointF(600, 5) << QPointF(20, 5)
                                              << QPointF() << QPointF(60, 5) << QPointF() << false;
}

void PointEditingTest::dragKeepsTheLimits()
{
    QFETCH(QList<QPointF>, lines);
    QFETCH(int, depthNotches);
    constexpr int index = 2;
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(QPointF, offset);
    QFETCH(QPointF, expected);
    QFETCH(QPointF, undone);
    QFETCH(bool, dragAgain);
    if (!lines.isEmpty()) {
        mDive.lines.clear();
        for (const QPointF& l : lines)
            mDive.lines.append(line(l.x(), l.y()));
        mView->setDiveProfile(&mDive);
    }
    for (int notch = 0; notch < depthNotches; ++notch)
        wheel(*mView, QPointF(400, 300), QPoint(0, 120), Qt::ControlModifier);
    if (depthNotches > 0)
        QCOMPARE(item()->depthRange(), 44.0);
    QSignalSpy updates(item(), &DiveProfileItem::onUpdateDivePoint);
    drag(*mView, at(item(), from.x(), from.y()), at(item(), to.x(), to.y()) + offset);

    QCOMPARE(mDive.lines[index].timeSec, expected.x());
    QCOMPARE(mDive.lines[index].depth, expected.y());
    QVERIFY(!updates.isEmpty());
    QCOMPARE(updates.last()[0].toInt(), index);
    DivePoint* point = item()->getDivePointAtIndex(index);
    QCOMPARE(point->pos(), at(item(), expected.x(), expected.y()));
    QCOMPARE(point->diveLineInfo().time, expected.x());
    QCOMPARE(point->diveLineInfo().depth, expected.y());
    QCOMPARE(point->toolTip(), DiveProfileItem::divePointToolTip(index, mDive.lines[index]));
    QCOMPARE(item()->undoCount(), 1);
    // The lines stay in time order and their speeds (m/min) are worked out again.
    for (int k = 1; k < mDive.lines.size(); ++k) {
        const DiveLine& before = mDive.lines[k - 1];
        const DiveLine& after = mDive.lines[k];
        QVERIFY(before.timeSec <= after.timeSec);
        if (after.timeSec > before.timeSec)
            QCOMPARE(after.speed, (after.depth - before.depth) * 60.0 / (after.timeSec - before.timeSec));
    }

    if (dragAgain) {
        // Where it was left, far from where it started, the handle is found again.
        drag(*mView, at(item(), 120, 35), at(item(), 120, 30));
        QCOMPARE(mDive.lines[index].depth, 30.0);
        QCOMPARE(item()->undoCount(), 2);
        QVERIFY(!item()->undoLastPointChange()); // one edit left
    }
    QVERIFY(item()->undoLastPointChange());
    const QPointF back = undone.isNull() ? from : undone;
    QCOMPARE(mDive.lines[index].timeSec, back.x());
    QCOMPARE(mDive.lines[index].depth, back.y());
}

void PointEditingTest::dragBetweenCloseNeighboursKeepsTheOrder()
{
    // Neighbours 2 s apart: 1 m deeper needs 2 s from the previous line at
    // 30 m/min and 4 s to the next at 15 m/min. Both limits cannot hold; the
    // line stays between its neighbours (the next line's limit alone would put
    // it before the previous one).
    mDive.lines = {line(0, 0), line(300, 20), line(301, 20), line(302, 20), line(1200, 0)};
    mView->setDiveProfile(&mDive);
    // Set as a drag (or an undo) sets it: the handles are too close to pick apart.
    item()->getDivePointAtIndex(2)->setPos(at(item(), 301, 21));
    QCOMPARE(mDive.lines[2].depth, 21.0);
    QCOMPARE(mDive.lines[2].timeSec, 300.0);
    for (int k = 1; k < mDive.lines.size(); ++k)
        QVERIFY(mDive.lines[k - 1].timeSec <= mDive.lines[k].timeSec);
}

void PointEditingTest::dragRepaintsOnlyWhatChanged()
{
    // Every layer shown: labels, alarm pictures, gas circles, maximum depth.
    Dive rich = SampleDives::richDive();
    mView->showItems(everyLayer());
    mView->setDiveProfile(&rich);
    const QSize size = mView->viewport()->size();
    const QImage start = mView->grab().toImage();
    PaintedArea painted;
    mView->viewport()->installEventFilter(&painted);
    const QRect everything = mView->viewport()->rect();
    mView->viewport()->update();
    QTRY_COMPARE(painted.area, everything); // nothing left pending from the set-up

    // Lines with an alarm (101, 130), near a temperature label (30), on the
    // descent (6) and near the end of the bottom (175); moved in time and depth.
    const QList<QPair<int, QPointF>> drags = {
        {30, QPointF(0, 25)}, {101, QPointF(12, -20)}, {130, QPointF(-9, 35)}, {6, QPointF(4, 30)}, {175, QPointF(0, -45)}};
    for (const auto& [index, offset] : drags) {
        DivePoint* point = item()->getDivePointAtIndex(index);
        QVERIFY(point != nullptr);
        const QPointF from = point->pos();
        painted.area = QRect();
        press(*mView, from);
        QTRY_VERIFY(!painted.area.isEmpty()); // the selection moves to the pressed handle
        for (int step = 1; step <= 3; ++step) {
            painted.area = QRect();
            move(*mView, from + offset * step / 3.0, Qt::LeftButton);
            QTRY_VERIFY(!painted.area.isEmpty());
            // A narrow band around the line, not the whole graph.
            QVERIFY2(painted.area.width() < size.width() / 8,
                     qPrintable(QStringLiteral("line %1: %2 px").arg(index).arg(painted.area.width())));
        }
        // The cover of the handles is worked out again: one repaint of everything.
        painted.area = QRect();
        release(*mView, from + offset);
        QTRY_COMPARE(painted.area, everything);
    }
    // A handle dragged far out of its group's outline is taken again where it
    // was left (the topmost of the dense handles there is the one taken).
    const QPointF bottom = item()->getDivePointAtIndex(90)->pos();
    press(*mView, bottom);
    auto* lifted = static_cast<DivePoint*>(mView->scene()->mouseGrabberItem());
    QVERIFY(lifted != nullptr && lifted->type() == DivePoint::Type);
    for (int step = 1; step <= 4; ++step)
        move(*mView, bottom + QPointF(0, -20.0 * step), Qt::LeftButton);
    release(*mView, bottom + QPointF(0, -80));
    QVERIFY(lifted->pos().y() < bottom.y() - 60);
    press(*mView, lifted->pos());
    QCOMPARE(mView->scene()->mouseGrabberItem(), lifted);
    release(*mView, lifted->pos());
    move(*mView, QPointF(1, 1)); // the cursor line leaves the graph
    QVERIFY(std::any_of(drags.cbegin(), drags.cend(),
                        [&](const auto& d) { return rich.lines[d.first].timeSec != SampleDives::richDive().lines[d.first].timeSec; }));

    // Pixel for pixel what the same view shows when it draws everything afresh
    // (a layer switched off and on again rebuilds the whole picture).
    item()->prepareLayout(); // icon items placed, as the event loop would
    const QImage patched = mView->grab().toImage();
    QVERIFY(patched != start);
    ShowItemsState fewer = everyLayer();
    fewer.temperature = false;
    mView->showItems(fewer);
    item()->prepareLayout();
    QVERIFY(mView->grab().toImage() != patched);
    mView->showItems(everyLayer());
    item()->prepareLayout();
    const QImage expected = mView->grab().toImage();
    QCOMPARE(patched.size(), expected.size());
    // The area gradient is stepped along each painted span, so a span that
    // starts at the band's edge may round a colour channel the other way: one
    // unit at most, nothing else.
    int worst = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb p = patched.pixel(x, y);
            const QRgb e = expected.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(e)), std::abs(qGreen(p) - qGreen(e)),
                              std::abs(qBlue(p) - qBlue(e)), std::abs(qAlpha(p) - qAlpha(e))});
        }
    }
    QVERIFY2(worst <= 1, qPrintable(QStringLiteral("a channel differs by %1").arg(worst)));
}

void PointEditingTest::firstPointNeverMoves()
{
    const DiveLine before = mDive.lines[0];
    drag(*mView, at(item(), 0, 0), at(item(), 300, 20));
    QCOMPARE(mDive.lines[0].timeSec, before.timeSec);
    QCOMPARE(mDive.lines[0].depth, before.depth);
    // Even when asked directly, the constraint leaves line 0 alone.
    DiveLineInfo info{0, 0.0, 0.0};
    QCOMPARE(item()->updateDivePoint(info, at(item(), 300, 20)), at(item(), 0, 0));
    QCOMPARE(mDive.lines[0].depth, 0.0);
    QCOMPARE(mDive.lines.size(), 5);
}

void PointEditingTest::doubleClickAddsInsideTheGraphOnly()
{
    QSignalSpy added(item(), &DiveProfileItem::onAddDivePoint);
    QStringList log;
    DiveProfileItem::setLog([&log](const QString& message) { log.append(message); });

    // At 20:00, 20.3 m: whole seconds, 0.5 m steps.
    doubleClick(*mView, at(item(), 1200, 20.3));
    QCOMPARE(added.size(), 1);
    QCOMPARE(mDive.lines.size(), 6);
    QCOMPARE(mDive.lines[4].timeSec, 1200.0);
    QCOMPARE(mDive.lines[4].depth, 20.5);
    QCOMPARE(log, QStringList{QStringLiteral("Time: 1200 - Depth: 20.5")});
    QCOMPARE(item()->divePoints().size(), 6);
    for (int k = 0; k < 6; ++k)
        QCOMPARE(item()->divePoints()[k]->diveLineInfo().index, k);
    QCOMPARE(item()->divePoints()[5]->toolTip(), DiveProfileItem::divePointToolTip(5, mDive.lines[5]));
    QVERIFY(item()->canUndo());

    // In the margins (left of the depth axis, under the time labels): nothing.
    doubleClick(*mView, QPointF(20, 200));
    doubleClick(*mView, QPointF(400, 560));
    doubleClick(*mView, QPointF(400, 10));
    QCOMPARE(added.size(), 1);
    QCOMPARE(mDive.lines.size(), 6);
    QVERIFY(mDive.lines[0].timeSec == 0.0 && mDive.lines[0].depth == 0.0);

    // Double-clicking a handle does not add a line under it.
    doubleClick(*mView, at(item(), 900, 40));
    QCOMPARE(mDive.lines.size(), 6);

    // The middle button fits the whole dive.
    wheel(*mView, QPointF(400, 300), QPoint(0, 360));
    doubleClick(*mView, QPointF(400, 300), Qt::MiddleButton);
    QCOMPARE(item()->startTime(), 0.0);
    QCOMPARE(item()->getEndTime(), 1800.0);

    // After a handle was dragged, a double-click beside the handles still adds.
    drag(*mView, at(item(), 900, 40), at(item(), 920, 40));
    doubleClick(*mView, at(item(), 1500, 10));
    QCOMPARE(added.size(), 2);
    QCOMPARE(mDive.lines[5].timeSec, 1500.0);
    DiveProfileItem::setLog(nullptr);
}

void PointEditingTest::addedPointsStayAfterTheStartAndBelowTheSurface()
{
    // A time before line 0 and a depth above the surface are kept in the dive.
    item()->addDivePoint(-50.0, -3.0);
    QCOMPARE(mDive.lines.size(), 6);
    QCOMPARE(mDive.lines[0].timeSec, 0.0);
    QCOMPARE(mDive.lines[0].depth, 0.0);
    QCOMPARE(mDive.lines[1].timeSec, 0.0);
    QCOMPARE(mDive.lines[1].depth, 0.0);
    QVERIFY(item()->divePoints()[1]->flags() & QGraphicsItem::ItemIsMovable);

    // A time equal to a line's goes after that line.
    item()->addDivePoint(600.0, 12.0);
    QCOMPARE(mDive.lines[4].timeSec, 600.0);
    QCOMPARE(mDive.lines[4].depth, 12.0);
    QCOMPARE(mDive.lines[3].depth, 5.0);
    QCOMPARE(mDive.lines[4].speed, 0.0); // no duration: no speed
    QCOMPARE(mDive.lines[4].gasIndex, -1);

    // Numbers that are not numbers add nothing.
    item()->addDivePoint(qQNaN(), 3.0);
    QCOMPARE(mDive.lines.size(), 7);
}

void PointEditingTest::addAfterAndModify()
{
    item()->addDivePointAfter(4); // the last line: 30 s later, same depth
    QCOMPARE(mDive.lines.size(), 6);
    QCOMPARE(mDive.lines[5].timeSec, 1830.0);
    QCOMPARE(mDive.lines[5].depth, 0.0);
    item()->addDivePointAfter(2); // half-way to the next
    QCOMPARE(mDive.lines[3].timeSec, 750.0);
    QCOMPARE(mDive.lines[3].depth, 22.5);
    item()->addDivePointAfter(17); // no such line
    QCOMPARE(mDive.lines.size(), 7);

    // Retiming is held between the neighbours and says so.
    double time = 2000.0;
    QVERIFY(item()->modifyTimeOfDivePoint(3, time));
    QCOMPARE(time, 900.0);
    QCOMPARE(mDive.lines[3].timeSec, 900.0);
    time = 800.0;
    QVERIFY(!item()->modifyTimeOfDivePoint(3, time));
    QCOMPARE(item()->getDivePointAtIndex(3)->pos(), at(item(), 800, 22.5));
    time = 100.0;
    QVERIFY(item()->modifyTimeOfDivePoint(0, time)); // only the next line bounds line 0
    QCOMPARE(time, 60.0);
    time = 5000.0;
    QVERIFY(!item()->modifyTimeOfDivePoint(6, time)); // the last line has no upper bound
    QCOMPARE(mDive.lines[6].timeSec, 5000.0);
    QVERIFY(!item()->modifyTimeOfDivePoint(42, time));

    // Redepthing takes the value as given; regassing only writes the index.
    item()->modifyDepthOfDivePoint(3, 50.0);
    QCOMPARE(mDive.lines[3].depth, 50.0);
    QCOMPARE(mDive.lines[3].speed, (50.0 - 5.0) * 60.0 / 200.0);
    QCOMPARE(item()->getDivePointAtIndex(3)->diveLineInfo().depth, 50.0);
    QCOMPARE(item()->getDivePointAtIndex(3)->toolTip(), DiveProfileItem::divePointToolTip(3, mDive.lines[3]));
    item()->modifyGasOfDivePoint(3, 2);
    QCOMPARE(mDive.lines[3].gasIndex, 2);
    item()->modifyGasOfDivePoint(99, 2);
}

void PointEditingTest::deleteOneAndTheSelection()
{
    DivePoint* third = item()->getDivePointAtIndex(3);
    item()->deleteDivePoint(item()->getDivePointAtIndex(2));
    QCOMPARE(mDive.lines.size(), 4);
    QCOMPARE(mDive.lines[2].timeSec, 900.0);
    QCOMPARE(item()->getDivePointAtIndex(2), third);
    QCOMPARE(third->diveLineInfo().index, 2);
    QCOMPARE(item()->divePoints().size(), 4);
    // Line 0 stays, whoever asks.
    item()->deleteDivePoint(item()->getDivePointAtIndex(0));
    item()->deleteDivePoint(nullptr);
    QCOMPARE(mDive.lines.size(), 4);

    // The selection goes whole; the view refits to what is left.
    mDive = plannedDive();
    mView->setDiveProfile(&mDive);
    item()->getDivePointAtIndex(1)->setSelected(true);
    item()->getDivePointAtIndex(3)->setSelected(true);
    item()->getDivePointAtIndex(4)->setSelected(true);
    QCOMPARE(item()->nbSelectedPoints(), 3);
    item()->deleteSelectedPoints();
    QCOMPARE(mDive.lines.size(), 2);
    QCOMPARE(mDive.lines[1].timeSec, 600.0);
    QCOMPARE(item()->getEndTime(), 600.0);
    QCOMPARE(item()->divePoints().size(), 2);
    QCOMPARE(item()->nbSelectedPoints(), 0);
    QVERIFY(!item()->canUndo());
}

void PointEditingTest::multiSelectAndRectangleSelection()
{
    GraphView& v = *mView;
    v.enableMultiSelect(true);
    // Clicks on handles add to the selection.
    press(v, at(item(), 600, 5));
    release(v, at(item(), 600, 5));
    press(v, at(item(), 1800, 0) + QPointF(-1, -1));
    release(v, at(item(), 1800, 0) + QPointF(-1, -1));
    QCOMPARE(item()->nbSelectedPoints(), 2);
    QCOMPARE(item()->getSelectedPair(), qMakePair(2, 4));
    // A click beside the handles clears it.
    press(v, QPointF(700, 450));
    release(v, QPointF(700, 450));
    QCOMPARE(item()->nbSelectedPoints(), 0);
    QCOMPARE(item()->getSelectedPair(), qMakePair(-1, -1));

    // A Control rectangle around lines 1 and 2, handed to the item as the program does.
    connect(&v, &GraphView::selectInRect, item(), &DiveProfileItem::selectPointsInRect);
    const QPointF from = at(item(), 30, 2);
    const QPointF to = at(item(), 650, 10);
    press(v, from, Qt::LeftButton, Qt::ControlModifier);
    move(v, to, Qt::LeftButton, Qt::ControlModifier);
    release(v, to, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(item()->nbSelectedPoints(), 2);
    QCOMPARE(item()->getSelectedPair(), qMakePair(1, 2));

    item()->deleteSelectedPoints();
    QCOMPARE(mDive.lines.size(), 3);
    QCOMPARE(mDive.lines[1].timeSec, 900.0);
}

void PointEditingTest::undoMovesBackThenRemoves()
{
    QVERIFY(item()->undoLastPointChange()); // nothing to undo
    doubleClick(*mView, at(item(), 1200, 20));
    QCOMPARE(mDive.lines.size(), 6);
    DivePoint* added = item()->getDivePointAtIndex(4);
    drag(*mView, at(item(), 1200, 20), at(item(), 1300, 25));
    QCOMPARE(mDive.lines[4].timeSec, 1300.0);
    QCOMPARE(mDive.lines[4].depth, 25.0);
    QCOMPARE(item()->undoCount(), 2);

    QVERIFY(!item()->undoLastPointChange()); // the move, back through the constraint
    QCOMPARE(mDive.lines[4].timeSec, 1200.0);
    QCOMPARE(mDive.lines[4].depth, 20.0);
    QCOMPARE(added->pos(), at(item(), 1200, 20));
    QVERIFY(item()->undoLastPointChange()); // the addition
    QCOMPARE(mDive.lines.size(), 5);
    QCOMPARE(item()->divePoints().size(), 5);
    QVERIFY(!item()->canUndo());

    // A release without movement still records the (unchanged) position.
    press(*mView, at(item(), 600, 5));
    release(*mView, at(item(), 600, 5));
    QCOMPARE(item()->undoCount(), 1);
    QVERIFY(item()->undoLastPointChange());
    QCOMPARE(mDive.lines[2].timeSec, 600.0);
    QCOMPARE(mDive.lines[2].depth, 5.0);

    // Deleting a moved point drops its records.
    drag(*mView, at(item(), 600, 5), at(item(), 650, 6));
    item()->deleteDivePoint(item()->getDivePointAtIndex(2));
    QVERIFY(!item()->canUndo());
}

void PointEditingTest::rebuildingForgetsUndoAndTheMenuPoint()
{
    QMenu menu;
    menu.addAction(QStringLiteral("Delete point"));
    DivePoint::contextMenu = &menu;
    drag(*mView, at(item(), 600, 5), at(item(), 650, 6));
    press(*mView, at(item(), 900, 40), Qt::RightButton);
    release(*mView, at(item(), 900, 40), Qt::RightButton);
    QCOMPARE(DivePoint::currentPoint, item()->getDivePointAtIndex(3));
    QTRY_VERIFY(menu.isVisible());
    menu.close();
    QVERIFY(item()->canUndo());

    // A new dive rebuilds the handles: the records and the menu point went with
    // the old ones, so neither an undo nor a menu action can reach freed handles.
    mDive = plannedDive();
    mView->setDiveProfile(&mDive);
    QCOMPARE(DivePoint::currentPoint, nullptr);
    QVERIFY(!item()->canUndo());
    QVERIFY(item()->undoLastPointChange());

    // The same after a refit of the edited dive, and after deleting the selection.
    drag(*mView, at(item(), 600, 5), at(item(), 650, 6));
    item()->update();
    QVERIFY(!item()->canUndo());
    drag(*mView, at(item(), 650, 6), at(item(), 640, 6));
    item()->getDivePointAtIndex(1)->setSelected(true);
    item()->deleteSelectedPoints();
    QVERIFY(!item()->canUndo());

    // A handle deleted while its menu was open is no longer the menu point.
    press(*mView, at(item(), 900, 40), Qt::RightButton);
    release(*mView, at(item(), 900, 40), Qt::RightButton);
    QVERIFY(DivePoint::currentPoint != nullptr);
    item()->deleteDivePoint(DivePoint::currentPoint);
    QCOMPARE(DivePoint::currentPoint, nullptr);
    menu.close();
}

void PointEditingTest::eachItemRecordsItsOwnMoves()
{
    int observed = 0;
    DivePoint::sPointHasMoved = [&observed](DivePoint*, const QPointF&) { ++observed; };
    Dive second = plannedDive();
    auto newer = shownView(QSize(990, 580));
    QVERIFY(newer);
    startEditing(*newer, &second);

    // A move in the older view is recorded by the older item only.
    drag(*mView, at(item(), 600, 5), at(item(), 650, 6));
    QCOMPARE(item()->undoCount(), 1);
    QVERIFY(!newer->profileItem()->canUndo());
    QCOMPARE(observed, 1);

    // The newer view going away leaves the older one working.
    newer.reset();
    drag(*mView, at(item(), 650, 6), at(item(), 700, 6));
    QCOMPARE(item()->undoCount(), 2);
    QVERIFY(!item()->undoLastPointChange());
    QCOMPARE(mDive.lines[2].timeSec, 650.0);
}

void PointEditingTest::handlesArePaintedOverTheProfile()
{
    const QColor orange(240, 155, 89);
    const QColor white(Qt::white);
    item()->getDivePointAtIndex(3)->setSelected(true);
    QImage image = mView->grab().toImage();
    // A white disc with a black rim at each line; the selected one orange.
    const QPointF second = at(item(), 600, 5);
    QCOMPARE(image.pixelColor(second.toPoint()), white);
    QCOMPARE(image.pixelColor((second + QPointF(5, 0)).toPoint()), QColor(Qt::black));
    QCOMPARE(image.pixelColor(at(item(), 900, 40).toPoint()), orange);
    // Point 0 sits on the graph's corner, on the edge of the graph area: drawn.
    QCOMPARE(image.pixelColor((at(item(), 0, 0) + QPointF(2, 2)).toPoint()), white);

    // Hidden handles are not drawn; panned out of the graph area neither.
    item()->setShowDivePoints(false);
    image = mView->grab().toImage();
    QVERIFY(!ProfileTest::hasColourNear(image, at(item(), 900, 40), orange, 3));
    item()->setShowDivePoints(true);
    // Zoomed by 1.8 around 23:20: line 2 (10:00) lands in the left margin.
    wheel(*mView, QPointF(750, 300), QPoint(0, 480));
    const QPointF early = at(item(), 600, 5);
    QVERIFY(early.x() > 10 && early.x() < 40);
    image = mView->grab().toImage();
    QCOMPARE(ProfileTest::countColour(image, QRect(0, 35, 45, 480), white), 0);
}

void PointEditingTest::denseProfilesPaintOneHandlePerCell()
{
    Dive dense = SampleDives::longDive(6000);
    mView->setDiveProfile(&dense);
    const QVector<DivePoint*>& points = item()->divePoints();
    QCOMPARE(points.size(), 6000);
    const auto painted = std::count_if(points.cbegin(), points.cend(), [](const DivePoint* p) { return !p->isCovered(); });
    QVERIFY2(painted < 3000, qPrintable(QString::number(painted)));
    QVERIFY(!points.last()->isCovered());

    // A selected handle shows even where others cover it.
    const auto covered = std::find_if(points.cbegin() + 100, points.cend(), [](const DivePoint* p) { return p->isCovered(); });
    QVERIFY(covered != points.cend());
    const QColor orange(240, 155, 89);
    QImage image = mView->grab().toImage();
    QVERIFY(!ProfileTest::hasColourNear(image, (*covered)->pos(), orange, 1));
    (*covered)->setSelected(true);
    image = mView->grab().toImage();
    QVERIFY(ProfileTest::hasColourNear(image, (*covered)->pos(), orange, 1));

    // Zoomed in far enough, every handle is painted again.
    for (int i = 0; i < 20; ++i)
        wheel(*mView, QPointF(100, 300), QPoint(0, 120));
    QVERIFY(std::none_of(points.cbegin(), points.cbegin() + 20, [](const DivePoint* p) { return p->isCovered(); }));
    mView->setDiveProfile(&mDive);
}

QTEST_MAIN(PointEditingTest)
#include "tst_pointediting.moc"
