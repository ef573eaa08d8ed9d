// Geometry, fitting, zoom, pan, title and tool tips of the profile item.

#include "profilor/diveprofileitem.h"
#include "profilor/profilestyle.h"

#include "profiletestutil.h"
#include "sampledives.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>

using namespace ProfileTest;
using SampleDives::line;

namespace {

Dive squareDive(double depth = 35.2, double duration = 3000)
{
    Dive dive;
    dive.name = QStringLiteral("7");
    dive.lines = {line(0, 0), line(120, depth), line(duration - 300, depth), line(duration, 0)};
    return dive;
}

} // namespace

class ProfileItemTest : public QObject
{
    Q_OBJECT

private slots:
    void geometryAndFit();
    void fitOfDegenerateDives();
    void coordinatesRoundTrip();
    void depthZoomLimits();
    void timeZoomKeepsThePointerAndItsLimits();
    void zoomRejectsWildFactors();
    void panStopsAtTimeZero();
    void nothingHappensWithoutADive();
    void titleAndDurations();
    void pointToolTip();
    void markerIdsAndPlacement();
    void addDecoLineExtendsTheView();
};

void ProfileItemTest::geometryAndFit()
{
    Dive dive = squareDive();
    dive.lines[1].ambientTemp = 20;
    dive.lines[2].ambientTemp = 12;
    dive.lines[1].tankPressure = 200;
    dive.lines[2].tankPressure = 60;
    ProfileScene s(QSize(890, 580));
    s.item->setDiveProfile(&dive);

    QCOMPARE(s.item->boundingRect(), QRectF(0, 0, 890, 580));
    QCOMPARE(s.item->getOrigin(), QPointF(50, 30));
    QCOMPARE(s.item->getYTimeAxis(), 30.0 + 500.0);
    QCOMPARE(s.item->view().graph.width(), 800.0);
    QCOMPARE(s.item->depthRange(), 36.0); // ceil(35.2)
    QCOMPARE(s.item->depthScale(), (500.0 - 40.0) / 36.0);
    QCOMPARE(s.item->timeScale(), 800.0 / 3000.0);
    QCOMPARE(s.item->getEndTime(), 3000.0);
    QCOMPARE(s.item->view().temperatureScale, (500.0 / 3.2) / 8.0);
    QCOMPARE(s.item->view().pressureScale, (500.0 / 3.2) / 140.0);
    QCOMPARE(dive.maxDepth, 35.2); // statistics recomputed by the fit

    // Three or more deco lines keep room for the stop labels.
    dive.decoLines = {line(3000, 0), line(3001, 0), line(3002, 0)};
    s.item->fitAll();
    QCOMPARE(s.item->timeScale(), (800.0 - 55.0) / 3002.0);
}

void ProfileItemTest::fitOfDegenerateDives()
{
    Dive zero;
    zero.lines = {line(0, 0), line(0, 0)};
    ProfileScene s(zero);
    QCOMPARE(s.item->timeScale(), 1.0);
    QCOMPARE(s.item->depthScale(), 1.0);

    // An item too small for the bottom reserve: no scale that can loop.
    Dive dive = squareDive();
    ProfileScene tiny(QSize(60, 60));
    tiny.item->setDiveProfile(&dive);
    QVERIFY(tiny.item->depthScale() < 0);
    tiny.render(); // finishes
    const double range = tiny.item->depthRange();
    tiny.item->zoom(Axis::Depth, 2.0, 0);
    QCOMPARE(tiny.item->depthRange(), range); // no usable height: zoom skipped
}

void ProfileItemTest::coordinatesRoundTrip()
{
    Dive dive = squareDive();
    ProfileScene s(dive);
    s.item->zoom(Axis::Time, 3.0, 400);
    const QPointF p = s.item->timeDepthToGraphCoordinates(1234, 17.5);
    QCOMPARE(s.item->xpositionToTime(p.x() + 0.01), 1234);
    QVERIFY(qAbs(s.item->ypositionToDepth(p.y()) - 17.5) < 1e-9);
    QVERIFY(qAbs(s.item->timeToXposition(1234) - p.x()) < 1e-9);

    QVERIFY(s.item->pointInRect(s.item->getOrigin() + QPointF(1, 1)));
    QVERIFY(!s.item->pointInRect(s.item->getOrigin() - QPointF(1, 1)));

    QPointF temperature, pressure;
    dive.lines[1].ambientTemp = dive.maxTemperature;
    s.item->diveLineToGraphCoordinates(dive.lines[1], &temperature, &pressure);
    QCOMPARE(temperature.y(), 2.0 * s.item->view().graph.height() / 3.0 + s.item->getOrigin().y());
}

void ProfileItemTest::depthZoomLimits()
{
    Dive dive = squareDive(35.2);
    ProfileScene s(dive);
    for (int i = 0; i < 5; ++i)
        s.item->zoom(Axis::Depth, 0.8, 100);
    QCOMPARE(s.item->depthRange(), 36.0); // never hides the bottom of the dive
    s.item->zoom(Axis::Depth, 1.2, 100);
    QCOMPARE(s.item->depthRange(), std::ceil(1.2 * 36.0));
    for (int i = 0; i < 20; ++i)
        s.item->zoom(Axis::Depth, 1.2, 100);
    QCOMPARE(s.item->depthRange(), 120.0);
    QCOMPARE(s.item->depthScale(), (s.item->view().graph.height() - 40.0) / 120.0);
}

void ProfileItemTest::timeZoomKeepsThePointerAndItsLimits()
{
    Dive dive = squareDive(30, 3000);
    ProfileScene s(dive);
    const double x = s.item->getOrigin().x() + 300;
    const int before = s.item->xpositionToTime(x);
    s.item->zoom(Axis::Time, 1.2, x);
    QVERIFY(qAbs(s.item->xpositionToTime(x) - before) <= 1);
    QVERIFY(qAbs((s.item->getEndTime() - s.item->startTime()) - 3000 / 1.2) < 1e-6);

    // Zooming out past twice the duration shows exactly 0 to twice the duration.
    s.item->zoom(Axis::Time, 0.3, x);
    QCOMPARE(s.item->startTime(), 0.0);
    QCOMPARE(s.item->getEndTime(), 6000.0);

    // Zooming in near time 0 never starts before 0, and stops at a few seconds.
    for (int i = 0; i < 100; ++i)
        s.item->zoom(Axis::Time, 5.0, s.item->getOrigin().x());
    QVERIFY(s.item->startTime() >= 0.0);
    QCOMPARE(s.item->getEndTime() - s.item->startTime(), DiveProfileItem::kMinTimeSpan);
    QVERIFY(std::isfinite(s.item->timeScale()));
}

void ProfileItemTest::zoomRejectsWildFactors()
{
    Dive dive = squareDive();
    ProfileScene s(dive);
    const ProfileView before = s.item->view();
    for (double factor : {0.0, -1.2, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity()}) {
        s.item->zoom(Axis::Time, factor, 300);
        s.item->zoom(Axis::Depth, factor, 300);
        QVERIFY(s.item->view() == before);
    }
    // A huge factor is one bounded step.
    s.item->zoom(Axis::Time, 1e9, 300);
    QVERIFY(qAbs((s.item->getEndTime() - s.item->startTime()) - 3000 / DiveProfileItem::kMaxZoomFactor) < 1e-6);

    // A zero-length dive has no time span to zoom.
    Dive zero;
    zero.lines = {line(0, 0), line(0, 5)};
    s.item->setDiveProfile(&zero);
    const ProfileView flat = s.item->view();
    s.item->zoom(Axis::Time, 2.0, 300);
    QVERIFY(s.item->view() == flat);
}

void ProfileItemTest::panStopsAtTimeZero()
{
    Dive dive = squareDive(30, 3000);
    ProfileScene s(dive);
    s.item->zoom(Axis::Time, 2.0, s.item->getOrigin().x() + 400);
    const double start = s.item->startTime();
    QVERIFY(start > 100);
    const double pixels = 100 * s.item->timeScale();
    s.item->pan(pixels);
    QCOMPARE(s.item->startTime(), start + 100);
    // Further left than time 0: refused as a whole, not moved to 0.
    s.item->pan(-(start + 150) * s.item->timeScale());
    QCOMPARE(s.item->startTime(), start + 100);
    s.item->pan(-pixels);
    QCOMPARE(s.item->startTime(), start);
    // No bound on the right.
    s.item->pan(1e5);
    QVERIFY(s.item->startTime() > 3000);
}

void ProfileItemTest::nothingHappensWithoutADive()
{
    ProfileScene s;
    const ProfileView before = s.item->view();
    s.item->zoom(Axis::Time, 2.0, 100);
    s.item->pan(10);
    s.item->fitAll();
    s.item->updateTitle();
    s.item->addDecoLine(line(1, 1));
    QVERIFY(s.item->view() == before);
    QVERIFY(s.item->title().isEmpty());
    QCOMPARE(s.item->addMarkerAt(10, true, MarkerType::Info, "x"), 0);
    QCOMPARE(s.item->markers().first().time, 0.0); // not placed without a dive
    s.render();
}

void ProfileItemTest::titleAndDurations()
{
    Dive dive = squareDive(35.26, 3599);
    dive.name = QStringLiteral("<b>12</b>");
    ProfileScene s(dive);
    const QString label = QStringLiteral("<span style=\" font-size:12pt; color:#5a5a5a;\">");
    const QString value = QStringLiteral("<span style=\" font-size:12pt; font-weight:700;\">");
    QCOMPARE(s.item->title(),
             "<html><head/><body><p>" + label + "Plongee : </span>" + value + "&lt;b&gt;12&lt;/b&gt;</span>" + label
                 + " - Profondeur : </span>" + value + "35.3m</span>" + label + " - DTP : </span>" + value
                 + "59:59</span></p></body></html>");

    dive.lines.last().timeSec = 3600;
    dive.decoLines = {line(3600, 9), line(3660, 9), line(3720, 6), line(3900, 6)};
    s.item->setGraphMode(GraphMode::Planning);
    s.item->update(); // refit: the statistics follow the new lines
    s.item->updateTitle();
    QVERIFY(s.item->title().contains(value + "01:05:00</span>")); // DTP, now above one hour
    QVERIFY(s.item->title().contains(label + " - DTR : </span>" + value + "05:00</span>"));
    QVERIFY(s.item->title().contains(label + " - DTPal : </span>" + value + "04:00</span>"));

    QCOMPARE(Dive::formatDuration(3599), QStringLiteral("59:59"));
    QCOMPARE(Dive::formatDuration(3600), QStringLiteral("01:00:00"));
    QCOMPARE(Dive::formatDuration(3599.5), QStringLiteral("59:59")); // whole seconds decide
}

void ProfileItemTest::pointToolTip()
{
    DiveLine l = line(3599, 12.5);
    QCOMPARE(DiveProfileItem::divePointToolTip(4, l),
             QStringLiteral("Point <b>4</b><br>Depth <b>12.5m</b><br>Time <b>59:59</b>"));
    l.timeSec = 3600;
    l.decoCeiling = 3;
    QCOMPARE(DiveProfileItem::divePointToolTip(5, l),
             QStringLiteral("Point <b>5</b><br>Depth <b>12.5m</b><br>Time <b>01:00:00</b><br>Ceil <b>3m</b>"));
}

void ProfileItemTest::markerIdsAndPlacement()
{
    registerIcons();
    Dive dive = squareDive(30, 3000);
    ProfileScene s(dive); // created after the registration: loads the images
    QCOMPARE(s.item->addMarkerAt(100, true, MarkerType::Info, "a"), 0);
    QCOMPARE(s.item->addMarkerAt(200, true, MarkerType::Diver, "b"), 1);
    s.item->removeMarker(0);
    QCOMPARE(s.item->addMarkerAt(300, true, MarkerType::Info, "c"), 2);

    s.item->setMarkerAt(1, 5000, -3);
    const Marker& diver = s.item->markers().first();
    QCOMPARE(diver.time, 3000.0); // limited to the dive
    QCOMPARE(diver.depth, 0.0);
    QCOMPARE(QPointF(diver.x, diver.y), s.item->timeDepthToGraphCoordinates(3000, 0));
    s.item->setMarkerAt(1, -20, 12);
    QCOMPARE(s.item->markers().first().time, 0.0);
    QCOMPARE(s.item->markers().first().depth, 12.0);
    s.item->setMarkerAt(99, 10, 10); // no such marker: nothing

    // A new dive clears the markers.
    s.item->setDiveProfile(&dive);
    QVERIFY(s.item->markers().isEmpty());
}

void ProfileItemTest::addDecoLineExtendsTheView()
{
    Dive dive = squareDive(30, 3000);
    ProfileScene s(dive);
    DiveLine l = line(3300, 3);
    s.item->addDecoLine(l);
    QCOMPARE(dive.decoLines.size(), 1);
    // The end time follows the dive's duration as last computed.
    QCOMPARE(s.item->getEndTime(), dive.maxTime);
    s.item->addCeilTrackingLine(l);
    QCOMPARE(dive.ceilTrackingLines.size(), 1);
    s.render();
}

QTEST_MAIN(ProfileItemTest)
#include "tst_profileitem.moc"
