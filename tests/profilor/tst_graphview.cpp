// The graph view driven by real mouse, wheel, key, drop, context-menu and touch
// events, offscreen.

#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"
#include "profilor/twofingersgestures.h"

#include "graphviewfixture.h"
#include "profiletestutil.h"
#include "sampledives.h"

#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QMenu>
#include <QMimeData>
#include <QPointingDevice>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>

#include <cmath>

using namespace ViewTest;
using SampleDives::line;

namespace {

// 30 minutes to 30 m: down in 2 minutes, up in the last 5. In a 990x580 view
// the graph is 900 px wide from x = 50 (0.5 px/s) and 500 px high from y = 30.
Dive squareDive()
{
    Dive dive;
    dive.name = QStringLiteral("12");
    dive.lines = {line(0, 0), line(120, 30), line(1500, 30), line(1800, 0)};
    for (int i = 0; i < 4; ++i) {
        dive.lines[i].ambientTemp = 18 - i;
        dive.lines[i].tankPressure = quint16(200 - 50 * i);
    }
    dive.lines[2].decoCeiling = 6;
    dive.recomputeDerived();
    return dive;
}

double xAt(const GraphView& view, double time)
{
    return view.profileItem()->timeDepthToGraphCoordinates(time, 0).x();
}

} // namespace

class GraphViewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sceneFollowsTheViewport();
    void signalsInTheirOrder();
    void cursorLineFollowsThePointer();
    void shiftRangeSelectionIsOrdered();
    void shiftReleaseOutsideKeepsTheRange();
    void controlRectangle();
    void wheelZoomsTimeOrDepth();
    void wheelExtremesAreBounded();
    void horizontalWheelAndMiddleDragPan();
    void hoverText();
    void hoverTimesShowHoursFromOneHour();
    void positionDataFallsBackToTheAscent();
    void dropsHandOnTheFirst32Files();
    void contextMenuCallback();
    void escapeClearsTheSelection();
    void nothingHappensWithoutADive();
    void touchPinchAndPan();

private:
    std::unique_ptr<GraphView> mView;
    Dive mDive;
};

void GraphViewTest::initTestCase()
{
    ProfileTest::registerIcons();
}

void GraphViewTest::init()
{
    mDive = squareDive();
    mView = shownView(QSize(990, 580));
    QVERIFY(mView);
    mView->setDiveProfile(&mDive);
    TwoFingersRecognizer::setTwoFingersDown(false);
}

void GraphViewTest::cleanup()
{
    mView.reset();
}

void GraphViewTest::sceneFollowsTheViewport()
{
    GraphView& v = *mView;
    QCOMPARE(v.scene()->sceneRect(), QRectF(0, 0, 990, 580));
    QCOMPARE(v.profileItem()->boundingRect(), QRectF(0, 0, 990, 580));
    QCOMPARE(v.getDiveProfile(), &mDive);
    QCOMPARE(v.profileItem()->timeScale(), 0.5);

    v.resize(1000, 600);
    QTRY_COMPARE(v.scene()->sceneRect(), QRectF(0, 0, 1000, 600));
    QCOMPARE(v.profileItem()->timeScale(), 910.0 / 1800.0);
    QCOMPARE(v.cursorLine()->line().y2(), 600.0);
    QCOMPARE(v.selectionEndLine()->line().y2(), 600.0);
}

void GraphViewTest::signalsInTheirOrder()
{
    const QMetaObject* meta = mView->metaObject();
    QCOMPARE(meta->className(), "GraphView");
    const QList<QByteArray> expected{"mouseMove(QPointF,int)", "clickDown(int)", "clickRelease(int)",
                                     "dragDropFiles(QStringList)", "selectInRect(QRectF)"};
    QList<QByteArray> signatures;
    for (int k = meta->methodOffset(); k < meta->methodCount(); ++k) {
        if (meta->method(k).methodType() == QMetaMethod::Signal)
            signatures.append(meta->method(k).methodSignature());
    }
    QCOMPARE(signatures, expected);
}

void GraphViewTest::cursorLineFollowsThePointer()
{
    GraphView& v = *mView;
    QSignalSpy moves(&v, &GraphView::mouseMove);
    move(v, QPointF(xAt(v, 600) + 0.4, 200));
    QCOMPARE(moves.size(), 1);
    QCOMPARE(moves[0][1].toInt(), 600);
    QCOMPARE(moves[0][0].toPointF(), QPointF(xAt(v, 600), 200)); // integer viewport position
    QVERIFY(v.cursorLine()->isVisible());
    QCOMPARE(v.cursorLine()->line(), QLineF(xAt(v, 600), 30, xAt(v, 600), 530));

    move(v, QPointF(20, 200)); // in the left margin
    QCOMPARE(moves.size(), 2);
    QVERIFY(!v.cursorLine()->isVisible());
}

void GraphViewTest::shiftRangeSelectionIsOrdered()
{
    GraphView& v = *mView;
    v.enabledSelection(true);
    QSignalSpy down(&v, &GraphView::clickDown);
    QSignalSpy up(&v, &GraphView::clickRelease);
    QSignalSpy moves(&v, &GraphView::mouseMove);

    // From 20:00 back to 05:00, right to left.
    const QPointF from(xAt(v, 1200), 300);
    const QPointF to(xAt(v, 300), 300);
    move(v, from);
    press(v, from, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(down.size(), 1);
    QCOMPARE(down[0][0].toInt(), 1200);
    move(v, to, Qt::LeftButton, Qt::ShiftModifier);
    QVERIFY(v.selectionEndLine()->isVisible());
    QVERIFY(v.hasSelection());
    QCOMPARE(v.selectionRectItem()->rect(), QRectF(QPointF(xAt(v, 300), 30), QPointF(xAt(v, 1200), 530)));
    QCOMPARE(moves.last()[1].toInt(), 300);
    release(v, to, Qt::LeftButton, Qt::ShiftModifier);

    QCOMPARE(up.size(), 1);
    QCOMPARE(up[0][0].toInt(), 300);
    QCOMPARE(v.getSelection(), qMakePair(300, 1200));
    QVERIFY(!v.selectionEndLine()->isVisible());
    QVERIFY(v.hasSelection()); // stays until Escape or a new dive

    // Left to right keeps the order.
    press(v, QPointF(xAt(v, 400), 300), Qt::LeftButton, Qt::ShiftModifier);
    release(v, QPointF(xAt(v, 900), 300), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(v.getSelection(), qMakePair(400, 900));
}

void GraphViewTest::shiftReleaseOutsideKeepsTheRange()
{
    GraphView& v = *mView;
    v.enabledSelection(true);
    press(v, QPointF(xAt(v, 400), 300), Qt::LeftButton, Qt::ShiftModifier);
    release(v, QPointF(xAt(v, 900), 300), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(v.getSelection(), qMakePair(400, 900));

    QSignalSpy up(&v, &GraphView::clickRelease);
    press(v, QPointF(xAt(v, 100), 300), Qt::LeftButton, Qt::ShiftModifier);
    release(v, QPointF(970, 300), Qt::LeftButton, Qt::ShiftModifier); // right margin
    QCOMPARE(up.size(), 1);
    QCOMPARE(up[0][0].toInt(), -1);
    QCOMPARE(v.getSelection().second, 900);

    // Without selection enabled a Shift drag draws no band.
    v.clearSelection();
    v.enabledSelection(false);
    press(v, QPointF(xAt(v, 400), 300), Qt::LeftButton, Qt::ShiftModifier);
    move(v, QPointF(xAt(v, 800), 300), Qt::LeftButton, Qt::ShiftModifier);
    QVERIFY(!v.hasSelection());
    release(v, QPointF(xAt(v, 800), 300), Qt::LeftButton, Qt::ShiftModifier);
}

void GraphViewTest::controlRectangle()
{
    GraphView& v = *mView;
    QSignalSpy rects(&v, &GraphView::selectInRect);
    const QPointF a(400, 350);
    const QPointF b(200, 100);
    press(v, a, Qt::LeftButton, Qt::ControlModifier);
    move(v, b, Qt::LeftButton, Qt::ControlModifier);
    QVERIFY(v.hasSelection());
    QCOMPARE(v.selectionRectItem()->rect(), QRectF(200, 100, 200, 250));
    release(v, b, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(rects.size(), 1);
    QCOMPARE(rects[0][0].toRectF(), QRectF(200, 100, 200, 250));
    QVERIFY(!v.hasSelection());

    // Released outside the graph: nothing is reported, the rectangle goes.
    press(v, a, Qt::LeftButton, Qt::ControlModifier);
    move(v, QPointF(10, 10), Qt::LeftButton, Qt::ControlModifier);
    QVERIFY(!v.hasSelection()); // shown only while inside
    release(v, QPointF(10, 10), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(rects.size(), 1);
}

void GraphViewTest::wheelZoomsTimeOrDepth()
{
    GraphView& v = *mView;
    DiveProfileItem* item = v.profileItem();
    // A notch in at 10:00 narrows the span by 1.2 and keeps 10:00 under the pointer.
    const double x = xAt(v, 600);
    wheel(v, QPointF(x, 300), QPoint(0, 120));
    QCOMPARE(item->getEndTime() - item->startTime(), 1500.0);
    QCOMPARE(item->startTime(), 600.0 - 600.0 / 1.2);
    QVERIFY(std::abs(item->xpositionToTime(x) - 600) <= 1);

    // With Control the notch shows more depth, rounded up, up to 120 m.
    wheel(v, QPointF(x, 300), QPoint(0, 120), Qt::ControlModifier);
    QCOMPARE(item->depthRange(), 36.0);
    wheel(v, QPointF(x, 300), QPoint(0, -120), Qt::ControlModifier);
    QCOMPARE(item->depthRange(), 30.0); // ceil(0.8 x 36) = 29, never below the 30 m bottom
    for (int i = 0; i < 12; ++i)
        wheel(v, QPointF(x, 300), QPoint(0, 120), Qt::ControlModifier);
    QCOMPARE(item->depthRange(), 120.0);
}

void GraphViewTest::wheelExtremesAreBounded()
{
    GraphView& v = *mView;
    DiveProfileItem* item = v.profileItem();
    // Ten notches back at once (factor 1 - 10 < 0) zooms out by the largest step.
    wheel(v, QPointF(400, 300), QPoint(0, -1200));
    QCOMPARE(item->startTime(), 0.0);
    QCOMPARE(item->getEndTime(), 3600.0);
    QVERIFY(std::isfinite(item->timeScale()) && item->timeScale() > 0);
    // A huge step in is bounded too: the view stays finite and ordered.
    wheel(v, QPointF(400, 300), QPoint(0, 120000));
    QVERIFY(item->getEndTime() > item->startTime());
    QVERIFY(std::isfinite(item->timeScale()));
    wheel(v, QPointF(400, 300), QPoint(0, -120000), Qt::ControlModifier);
    QCOMPARE(item->depthRange(), 30.0);
}

void GraphViewTest::horizontalWheelAndMiddleDragPan()
{
    GraphView& v = *mView;
    DiveProfileItem* item = v.profileItem();
    wheel(v, QPointF(400, 300), QPoint(-120, 0)); // refused at time 0
    QCOMPARE(item->startTime(), 0.0);
    QCOMPARE(item->getEndTime(), 1800.0);

    wheel(v, QPointF(400, 300), QPoint(0, 240)); // zoom in first
    const double start = item->startTime();
    wheel(v, QPointF(400, 300), QPoint(45, 0));
    QCOMPARE(item->startTime(), start + 45 / item->timeScale());

    // The middle button drags the profile with the pointer.
    const double before = item->startTime();
    press(v, QPointF(400, 300), Qt::MiddleButton);
    move(v, QPointF(380, 300), Qt::MiddleButton);
    move(v, QPointF(360, 300), Qt::MiddleButton);
    release(v, QPointF(360, 300), Qt::MiddleButton);
    QCOMPARE(item->startTime(), before + 40 / item->timeScale());
    // Back past time 0 is refused as a whole.
    press(v, QPointF(100, 300), Qt::MiddleButton);
    move(v, QPointF(800, 300), Qt::MiddleButton);
    release(v, QPointF(800, 300), Qt::MiddleButton);
    QCOMPARE(item->startTime(), before + 40 / item->timeScale());
}

void GraphViewTest::hoverText()
{
    GraphView& v = *mView;
    const QString text = v.getInfosOnPosition(QPointF(), 810); // 13:30, half-way through the bottom
    QVERIFY(text.startsWith(QStringLiteral("<html>  <head>    <style>")));
    QVERIFY(text.contains(QStringLiteral("Position information< / p>")));
    QVERIFY(text.contains(QStringLiteral("<td width=\"50%\">Time</td> <td>13:30</td></tr>")));
    QVERIFY(text.contains(QStringLiteral("    <tr><td>Depth</td> <td>30.0m</td></tr>")));
    QVERIFY(text.contains(QStringLiteral("Speed</td> <td>0.0m/mn</td></tr>")));
    QVERIFY(text.contains(QStringLiteral("    <tr><td>Temperature</td> <td>16.0&deg;C</td></tr>")));
    QVERIFY(text.contains(QStringLiteral("    <tr><td>Tank Pressure</td> <td>125b</td></tr>")));
    QVERIFY(text.contains(QStringLiteral("Ceiling</td> <td>3.0m</td></tr>")));
    QVERIFY(text.endsWith(QStringLiteral("    </table>  </body></html>")));
    QVERIFY(!text.contains(QStringLiteral("Selection")));

    // Off the middle of a segment the values lie near its start: a fifth of
    // the way along the bottom (tank 150 -> 100 b, ceiling 0 -> 6 m).
    const QString early = v.getInfosOnPosition(QPointF(), 396);
    QVERIFY(early.contains(QStringLiteral("Tank Pressure</td> <td>140b</td></tr>")));
    QVERIFY(early.contains(QStringLiteral("Ceiling</td> <td>1.2m</td></tr>")));

    // The ascent speed is shown without its sign.
    const QString ascent = v.getInfosOnPosition(QPointF(), 1650);
    QVERIFY(ascent.contains(QStringLiteral("Speed</td> <td>6.0m/mn</td></tr>")));

    // Outside the profile: nothing.
    QCOMPARE(v.getInfosOnPosition(QPointF(), -1), QString());
    QCOMPARE(v.getInfosOnPosition(QPointF(), 1801), QString());

    // No tank pressure: no row. A negative ceiling is the no-deco time.
    mDive.lines[1].tankPressure = 0;
    mDive.lines[2].tankPressure = 0;
    mDive.lines[1].decoCeiling = -12;
    mDive.lines[2].decoCeiling = -4;
    const QString ndl = v.getInfosOnPosition(QPointF(), 810);
    QVERIFY(!ndl.contains(QStringLiteral("Tank Pressure")));
    QVERIFY(ndl.contains(QStringLiteral("NDL</td> <td>8.0mn</td></tr>")));

    // With a selection shown, its times follow.
    v.enabledSelection(true);
    press(v, QPointF(xAt(v, 60), 300), Qt::LeftButton, Qt::ShiftModifier);
    move(v, QPointF(xAt(v, 200), 300), Qt::LeftButton, Qt::ShiftModifier);
    release(v, QPointF(xAt(v, 300), 300), Qt::LeftButton, Qt::ShiftModifier);
    const QString selected = v.getInfosOnPosition(QPointF(), 810);
    QVERIFY(selected.contains(QStringLiteral("Selection< / p>")));
    QVERIFY(selected.contains(QStringLiteral("Start Time</td> <td>01:00</td></tr>")));
    QVERIFY(selected.contains(QStringLiteral("    <tr><td>End Time</td> <td>05:00</td></tr>")));
    QVERIFY(selected.contains(QStringLiteral("Elapsed Time</td> <td>04:00</td></tr>")));
}

void GraphViewTest::hoverTimesShowHoursFromOneHour()
{
    // Two hours at 20 m: 3900 s is 1 h 05 min, not "05:00".
    mDive.lines = {line(0, 0), line(60, 20), line(7140, 20), line(7200, 0)};
    mDive.recomputeDerived();
    GraphView& v = *mView;
    v.setDiveProfile(&mDive);
    QVERIFY(v.getInfosOnPosition(QPointF(), 3900).contains(QStringLiteral("Time</td> <td>01:05:00</td></tr>")));
    QVERIFY(v.getInfosOnPosition(QPointF(), 3599).contains(QStringLiteral("Time</td> <td>59:59</td></tr>")));

    v.enabledSelection(true);
    press(v, QPointF(xAt(v, 1800), 300), Qt::LeftButton, Qt::ShiftModifier);
    move(v, QPointF(xAt(v, 5400), 300), Qt::LeftButton, Qt::ShiftModifier);
    release(v, QPointF(xAt(v, 5400), 300), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(v.getSelection(), qMakePair(1800, 5400)); // 8 s a pixel: both ends fall on whole pixels
    const QString selected = v.getInfosOnPosition(QPointF(), 3900);
    QVERIFY(selected.contains(QStringLiteral("Start Time</td> <td>30:00</td></tr>")));
    QVERIFY(selected.contains(QStringLiteral("End Time</td> <td>01:30:00</td></tr>")));
    QVERIFY(selected.contains(QStringLiteral("Elapsed Time</td> <td>01:00:00</td></tr>")));
}

void GraphViewTest::positionDataFallsBackToTheAscent()
{
    GraphView& v = *mView;
    DivePosition position;
    QVERIFY(v.getInfosOnPosition(QPointF(), 1650, position));
    QCOMPARE(position.before, &mDive.lines[2]);
    QCOMPARE(position.after, &mDive.lines[3]);
    QCOMPARE(position.tankPressure, 75.0);
    QCOMPARE(position.ceiling, 3.0);
    // Three quarters of the way up from 100 b and 6 m.
    QVERIFY(v.getInfosOnPosition(QPointF(), 1725, position));
    QCOMPARE(position.tankPressure, 62.5);
    QCOMPARE(position.ceiling, 1.5);

    // A time on a segment boundary belongs to the earlier segment.
    QVERIFY(v.getInfosOnPosition(QPointF(), 120, position));
    QCOMPARE(position.before, &mDive.lines[0]);

    mDive.decoLines = {line(1800, 6), line(1900, 6), line(2000, 0)};
    QVERIFY(v.getInfosOnPosition(QPointF(), 1950, position));
    QCOMPARE(position.before, &mDive.decoLines[1]);
    QVERIFY(!v.getInfosOnPosition(QPointF(), 2001, position));
    QVERIFY(position.before == nullptr && position.after == nullptr);
}

void GraphViewTest::dropsHandOnTheFirst32Files()
{
    GraphView& v = *mView;
    QSignalSpy files(&v, &GraphView::dragDropFiles);
    QList<QUrl> urls;
    for (int i = 0; i < 40; ++i)
        urls.append(QUrl::fromLocalFile(QStringLiteral("/tmp/dive%1.uddf").arg(i)));
    QMimeData data;
    data.setUrls(urls);

    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.viewport(), &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(files.size(), 1);
    const QStringList paths = files[0][0].toStringList();
    QCOMPARE(paths.size(), 32);
    QCOMPARE(paths.first(), QStringLiteral("/tmp/dive0.uddf"));
    QCOMPARE(paths.last(), QStringLiteral("/tmp/dive31.uddf"));

    // Text without URLs is not a file drop.
    QMimeData text;
    text.setText(QStringLiteral("dive"));
    QDropEvent textDrop(QPointF(300, 300), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.viewport(), &textDrop);
    QCOMPARE(files.size(), 1);
}

void GraphViewTest::contextMenuCallback()
{
    GraphView& v = *mView;
    // Without a callback nothing happens (and nothing blocks).
    QContextMenuEvent first(QContextMenuEvent::Mouse, QPoint(300, 300), v.viewport()->mapToGlobal(QPoint(300, 300)));
    QApplication::sendEvent(v.viewport(), &first);

    int calls = 0;
    QObject* parent = nullptr;
    v.setContextualMenuCallback([&](QMenu& menu) {
        ++calls;
        parent = menu.parent();
        menu.addAction(QStringLiteral("Delete"));
        return false; // not shown
    });
    QContextMenuEvent second(QContextMenuEvent::Mouse, QPoint(300, 300), v.viewport()->mapToGlobal(QPoint(300, 300)));
    QApplication::sendEvent(v.viewport(), &second);
    QCOMPARE(calls, 1);
    QCOMPARE(parent, &v);

    // Returning true shows the menu; it is closed from inside its own loop.
    bool shown = false;
    v.setContextualMenuCallback([&](QMenu& menu) {
        menu.addAction(QStringLiteral("Fit"));
        QTimer::singleShot(0, &menu, [&shown, &menu] {
            shown = menu.isVisible();
            menu.close();
        });
        return true;
    });
    QContextMenuEvent third(QContextMenuEvent::Mouse, QPoint(300, 300), v.viewport()->mapToGlobal(QPoint(300, 300)));
    QApplication::sendEvent(v.viewport(), &third);
    QVERIFY(shown);
}

void GraphViewTest::escapeClearsTheSelection()
{
    GraphView& v = *mView;
    v.enabledSelection(true);
    press(v, QPointF(xAt(v, 400), 300), Qt::LeftButton, Qt::ShiftModifier);
    move(v, QPointF(xAt(v, 900), 300), Qt::LeftButton, Qt::ShiftModifier);
    release(v, QPointF(xAt(v, 900), 300), Qt::LeftButton, Qt::ShiftModifier);
    QVERIFY(v.hasSelection());
    QTest::keyClick(&v, Qt::Key_A);
    QVERIFY(v.hasSelection());
    QTest::keyClick(&v, Qt::Key_Escape);
    QVERIFY(!v.hasSelection());

    // A new dive clears it too.
    move(v, QPointF(xAt(v, 400), 300));
    press(v, QPointF(xAt(v, 400), 300), Qt::LeftButton, Qt::ShiftModifier);
    move(v, QPointF(xAt(v, 900), 300), Qt::LeftButton, Qt::ShiftModifier);
    release(v, QPointF(xAt(v, 900), 300), Qt::LeftButton, Qt::ShiftModifier);
    QVERIFY(v.hasSelection());
    v.setDiveProfile(&mDive);
    QVERIFY(!v.hasSelection());
}

void GraphViewTest::nothingHappensWithoutADive()
{
    GraphView v;
    v.resize(600, 400);
    QSignalSpy moves(&v, &GraphView::mouseMove);
    move(v, QPointF(300, 200));
    wheel(v, QPointF(300, 200), QPoint(0, 120));
    wheel(v, QPointF(300, 200), QPoint(120, 0));
    QCOMPARE(moves.size(), 0);
    QCOMPARE(v.getInfosOnPosition(QPointF(), 10), QString());
    DivePosition position;
    QVERIFY(!v.getInfosOnPosition(QPointF(), 10, position));
    QCOMPARE(v.getDiveProfile(), nullptr);
}

void GraphViewTest::touchPinchAndPan()
{
    GraphView& v = *mView;
    v.enableTouchScreen(true);
    v.enableTouchScreen(true); // registering twice must not stack recognizers
    QPointingDevice* device = QTest::createTouchDevice();
    DiveProfileItem* item = v.profileItem();
    QWidget* w = v.viewport();

    // Fingers spreading horizontally around 10:00: the time span narrows.
    QPointF a(xAt(v, 600) - 50, 300), b(xAt(v, 600) + 50, 300);
    QTest::touchEvent(w, device).press(0, a.toPoint(), w).press(1, b.toPoint(), w);
    QVERIFY(TwoFingersRecognizer::twoFingersDown());
    QSignalSpy moves(&v, &GraphView::mouseMove);
    move(v, QPointF(300, 300)); // a move synthesized from the touch is ignored
    QCOMPARE(moves.size(), 0);
    for (int i = 0; i < 16; ++i) {
        a += QPointF(-3, 0);
        b += QPointF(3, 0);
        QTest::touchEvent(w, device).move(0, a.toPoint(), w).move(1, b.toPoint(), w);
    }
    QTest::touchEvent(w, device).release(0, a.toPoint(), w).release(1, b.toPoint(), w);
    QVERIFY(!TwoFingersRecognizer::twoFingersDown());
    const double span = item->getEndTime() - item->startTime();
    QVERIFY2(span < 1800.0, qPrintable(QString::number(span)));
    QVERIFY(item->depthRange() == 30.0);

    // Fingers moving left together: the profile follows them (later times show).
    const double start = item->startTime();
    a = QPointF(500, 300);
    b = QPointF(600, 300);
    QTest::touchEvent(w, device).press(0, a.toPoint(), w).press(1, b.toPoint(), w);
    for (int i = 0; i < 16; ++i) {
        a += QPointF(-4, 0);
        b += QPointF(-4, 0);
        QTest::touchEvent(w, device).move(0, a.toPoint(), w).move(1, b.toPoint(), w);
    }
    QTest::touchEvent(w, device).release(0, a.toPoint(), w).release(1, b.toPoint(), w);
    QVERIFY2(item->startTime() > start, qPrintable(QString::number(item->startTime())));
}

QTEST_MAIN(GraphViewTest)
#include "tst_graphview.moc"
