// Renders profiles offscreen and probes the pixels that matter.

#include "profilor/diveprofileitem.h"
#include "profilor/profileiconitem.h"
#include "profilor/profilestyle.h"

#include "profiletestutil.h"
#include "sampledives.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGraphicsView>
#include <QTest>

using namespace ProfileTest;
using SampleDives::line;

namespace {

const QColor kOrange(255, 190, 0);
const QColor kLightGray(Qt::lightGray);

// The profile alone, or with the one layer named.
ShowItemsState onlyProfile(bool ShowItemsState::*layer = nullptr)
{
    ShowItemsState s;
    s.points = s.temperature = s.deco = s.alerts = s.gases = s.maxDepth = s.tankPressure = false;
    if (layer)
        s.*layer = true;
    return s;
}

// A flat-bottomed dive: surface, 20 m from 100 s, four flat segments of 100 s.
Dive flatDive(const QList<double>& speeds)
{
    Dive dive;
    dive.lines.append(line(0, 0));
    for (int i = 0; i <= speeds.size(); ++i)
        dive.lines.append(line(100 + 100 * i, 20));
    dive.lines.append(line(100 + 100 * speeds.size() + 100, 0));
    for (int i = 0; i < speeds.size(); ++i)
        dive.lines[i + 2].speed = speeds[i];
    return dive;
}

QPointF deepestPoint(const DiveProfileItem* item, const Dive& dive)
{
    for (const DiveLine& l : dive.lines) {
        if (l.deepestPoint)
            return item->timeDepthToGraphCoordinates(l.timeSec, l.depth);
    }
    return QPointF();
}

} // namespace

class RenderingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerIcons(); }

    void sampleDivePicture();
    void speedColoursAtTheLimits();
    void pressureColours();
    void timeGridSteps();
    void gridStepsKeepLabelsApart_data();
    void gridStepsKeepLabelsApart();
    void smallViewWidensTheGrid();
    void curveLabelsKeepApart_data();
    void curveLabelsKeepApart();
    void invalidDiveIsTintedRed();
    void degenerateDivesAndItemsFinishPainting();
    void gasIconsBeyondTheTableDrawNothing();
    void alarmIconsAndToolTips();
    void kelvoPpO2AlarmOncePerRun();
    void markersFollowTheViewAndTheAlarmLayer();
    void editedDiveIsRepainted();
    void paintsInsideAGraphicsView();
    void highDensityDevice();
};

void RenderingTest::sampleDivePicture()
{
    Dive dive = SampleDives::richDive();
    ProfileScene s(QSize(1000, 560));
    s.item->setGraphMode(GraphMode::Planning);
    s.item->setDiveProfile(&dive);
    s.item->addMarkerAt(400, true, MarkerType::Diver, QStringLiteral("buddy"));
    s.item->setShowEffortIcon(true);
    const QImage image = s.render();
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath("profilor-sample-dive.png");
    QVERIFY(image.save(path));
    qInfo("sample profile written to %s", qPrintable(path));

    // The deepest point is marked in dark red, the ascent line is cyan.
    QVERIFY(hasColourNear(image, deepestPoint(s.item, dive), QColor(Qt::darkRed), 4));
    const DiveLine& stop = dive.decoLines[4]; // leaving the 9 m stop
    QVERIFY(hasColourNear(image, s.item->timeDepthToGraphCoordinates(stop.timeSec - 60, stop.depth), Qt::cyan));
}

void RenderingTest::speedColoursAtTheLimits()
{
    // Ascent at exactly -15.0 is orange, at -15.02 red; descent at 28.5 orange, 27.9 green.
    Dive dive = flatDive({-15.0, -15.02, 28.5, 27.9, 31.0});
    ProfileScene s(dive, onlyProfile());
    const QImage image = s.render();
    const QList<QColor> expected{kOrange, Qt::red, kOrange, Qt::green, Qt::red};
    for (int i = 0; i < expected.size(); ++i) {
        const QPointF middle = s.item->timeDepthToGraphCoordinates(150 + 100 * i, 20);
        QVERIFY2(hasColourNear(image, middle, expected[i]), qPrintable(QString::number(i)));
    }

    // A dive of two lines (a two-point plan, a two-row file) draws its segment.
    Dive twoLines;
    twoLines.lines = {line(0, 0), line(600, 20)};
    ProfileScene two(twoLines, onlyProfile());
    QVERIFY(hasColourNear(two.render(), two.item->timeDepthToGraphCoordinates(300, 10), Qt::green));

    QCOMPARE(ProfileStyle::speedColor(-15.0, 15, 30), kOrange);
    QCOMPARE(ProfileStyle::speedColor(-15.02, 15, 30), QColor(Qt::red));
    QCOMPARE(ProfileStyle::speedColor(-12.99, 15, 30), QColor(Qt::green));
    QCOMPARE(ProfileStyle::speedColor(28.5, 15, 30), kOrange);
    QCOMPARE(ProfileStyle::speedColor(27.9, 15, 30), QColor(Qt::green));
    QCOMPARE(ProfileStyle::speedColor(30.02, 15, 30), QColor(Qt::red));
}

void RenderingTest::pressureColours()
{
    Dive dive = flatDive({0, 0, 0, 0});
    const quint16 pressures[] = {200, 49, 49, 50, 50, 100, 100};
    for (int i = 0; i < 7; ++i)
        dive.lines[i].tankPressure = pressures[i];
    ProfileScene s(dive, onlyProfile(&ShowItemsState::tankPressure));
    const QImage image = s.render();

    QPointF p49, p50, p100;
    s.item->diveLineToGraphCoordinates(dive.lines[1], nullptr, &p49);
    s.item->diveLineToGraphCoordinates(dive.lines[3], nullptr, &p50);
    s.item->diveLineToGraphCoordinates(dive.lines[5], nullptr, &p100);
    // Each flat stretch is coloured by the pressure at its start.
    QVERIFY(hasColourNear(image, p49 + QPointF(s.item->timeScale() * 50, 0), Qt::red));
    QVERIFY(hasColourNear(image, p50 + QPointF(s.item->timeScale() * 50, 0), QColor(255, 170, 0)));
    QVERIFY(hasColourNear(image, p100 + QPointF(s.item->timeScale() * 50, 0), QColor(Qt::darkGreen)));
    QCOMPARE(ProfileStyle::pressureColor(50), QColor(255, 170, 0));
    QCOMPARE(ProfileStyle::pressureColor(100), QColor(Qt::darkGreen));
}

void RenderingTest::timeGridSteps()
{
    QCOMPARE(ProfileStyle::timeGridStep(2820), 300.0);
    QCOMPARE(ProfileStyle::timeGridStep(240), 24.0);
    QCOMPARE(ProfileStyle::timeGridStep(0), 1.0);

    for (const auto& [duration, step] : {std::pair{2820.0, 300.0}, std::pair{240.0, 24.0}}) {
        Dive dive;
        dive.lines = {line(0, 0), line(duration / 3, 10), line(duration, 0)};
        ProfileScene s(dive, onlyProfile());
        const QImage image = s.render();
        // Probe just above the time axis, under the profile where nothing else is drawn.
        const double y = s.item->getYTimeAxis() - 5;
        QVERIFY(hasColourNear(image, QPointF(s.item->timeToXposition(int(step)), y), kLightGray, 1));
        QVERIFY(hasColourNear(image, QPointF(s.item->timeToXposition(int(2 * step)), y), kLightGray, 1));
        QVERIFY(!hasColourNear(image, QPointF(s.item->timeToXposition(int(step * 1.5)), y), kLightGray, 1));
    }
}

void RenderingTest::gridStepsKeepLabelsApart_data()
{
    QTest::addColumn<bool>("time");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("pixelsPerUnit");
    QTest::addColumn<double>("minSpacing");
    QTest::addColumn<double>("drawn");
    // A 75-minute dive in a small window: 8 minutes is 48 px, an "hh:mm:ss"
    // label needs 70: 10 minutes (60 px) is still too close, 15 fits.
    QTest::newRow("time widened") << true << 480.0 << 0.1 << 70.0 << 900.0;
    QTest::newRow("time kept") << true << 300.0 << 0.5 << 70.0 << 300.0;
    QTest::newRow("time odd base") << true << 24.0 << 1.0 << 28.0 << 30.0;
    QTest::newRow("time past the table") << true << 3600.0 << 0.0001 << 60.0 << 691200.0;
    QTest::newRow("time no scale") << true << 60.0 << 0.0 << 70.0 << 60.0;
    // 36 m in 140 px: 4 m is 15.6 px for 24 px labels; 5 m is 19.4, 10 m fits.
    QTest::newRow("depth widened") << false << 4.0 << 140.0 / 36.0 << 24.0 << 10.0;
    QTest::newRow("depth kept") << false << 4.0 << 12.0 << 24.0 << 4.0;
    QTest::newRow("depth next") << false << 1.0 << 20.0 << 24.0 << 2.0;
}

void RenderingTest::gridStepsKeepLabelsApart()
{
    QFETCH(bool, time);
    QFETCH(double, step);
    QFETCH(double, pixelsPerUnit);
    QFETCH(double, minSpacing);
    QFETCH(double, drawn);
    const double spaced = time ? ProfileStyle::spacedTimeGridStep(step, pixelsPerUnit, minSpacing)
                               : ProfileStyle::spacedDepthGridStep(step, pixelsPerUnit, minSpacing);
    QCOMPARE(spaced, drawn);
}

void RenderingTest::smallViewWidensTheGrid()
{
    // 75 minutes, down to 36 m and back in the first ten, in a 540 x 260
    // view: the graph is 450 px wide and 180 px high. The base steps (8 min,
    // 4 m) would crowd the labels.
    Dive dive;
    dive.lines = {line(0, 0), line(300, 36), line(600, 0), line(4500, 0)};
    ProfileScene s(dive, onlyProfile(), QSize(540, 260));
    const QImage image = s.render();
    const double y = s.item->getYTimeAxis() - 5; // under the profile, above the axis
    QVERIFY(!hasColourNear(image, QPointF(s.item->timeToXposition(480), y), kLightGray, 1));
    QVERIFY(hasColourNear(image, QPointF(s.item->timeToXposition(900), y), kLightGray, 1));
    QVERIFY(hasColourNear(image, QPointF(s.item->timeToXposition(1800), y), kLightGray, 1));
    // Past the dive's first ten minutes only the grid is drawn at depth.
    const auto depthY = [&s](double depth) { return s.item->timeDepthToGraphCoordinates(0, depth).y(); };
    const double probeX = s.item->timeToXposition(2000);
    QVERIFY(!hasColourNear(image, QPointF(probeX, depthY(4)), kLightGray, 1));
    QVERIFY(hasColourNear(image, QPointF(probeX, depthY(10)), kLightGray, 1));
}

// A recorded dive: down to 20.3 m in 80 s while the water cools from 26 to
// 23 degrees, 24 minutes near 20 m, up with a stop at 5 m; the tank empties
// from 200 bar. The deepest point is where the cold water is reached, so its
// label and the temperature labels meet there.
static Dive coolingDive(int minutes)
{
    Dive dive;
    const double end = minutes * 60.0;
    for (double t = 0; t <= end; t += 10) {
        double depth = t <= 80 ? 20.3 * t / 80 : 20.0 + 0.2 * std::sin(t / 9);
        if (t > end - 300)
            depth = std::max(0.0, std::min(depth, t > end - 60 ? 5.0 * (end - t) / 60 : 5.0));
        DiveLine l = line(t, depth);
        l.ambientTemp = 26.0 - 3.0 * std::min(1.0, depth / 20.3);
        l.tankPressure = quint16(200 - t / end * 120);
        dive.lines.append(l);
    }
    dive.lines[8].depth = 20.3;
    dive.computeStatistics();
    return dive;
}

void RenderingTest::curveLabelsKeepApart_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("minutes");
    // The profile's area in the window at 1024 x 680 and at 1600 x 1000, and
    // smaller ones where the labels crowd.
    QTest::newRow("1024x680 window") << QSize(580, 270) << 27;
    QTest::newRow("1600x1000 window") << QSize(1000, 400) << 27;
    QTest::newRow("long dive, small view") << QSize(420, 200) << 95;
    QTest::newRow("short dive, flat view") << QSize(700, 150) << 12;
}

void RenderingTest::curveLabelsKeepApart()
{
    QFETCH(QSize, size);
    QFETCH(int, minutes);
    Dive dive = coolingDive(minutes);
    ProfileScene s(dive, std::nullopt, size);
    s.render();
    const QList<QPair<QString, QRectF>> labels = s.item->labelAreas();
    const QRectF graph(s.item->getOrigin(), QSizeF(s.item->view().graph.size()));
    int temperatures = 0;
    int pressures = 0;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const auto& [text, area] = labels[i];
        temperatures += text.endsWith(QStringLiteral("°C"));
        pressures += text.endsWith(u'b');
        // Whole inside the graph, and clear of every other label.
        QVERIFY2(graph.contains(area), qPrintable(text));
        for (qsizetype j = 0; j < i; ++j)
            QVERIFY2(!area.intersects(labels[j].second), qPrintable(text + QStringLiteral(" / ") + labels[j].first));
    }
    // Nothing is lost for it: the deepest point, the cold bottom and the
    // warm surface, and the tank along the dive keep their labels.
    QCOMPARE(labels.first().first, QStringLiteral("20.3m"));
    QVERIFY(temperatures >= 2);
    QVERIFY(pressures >= 3);
}

void RenderingTest::invalidDiveIsTintedRed()
{
    for (int reason : {0, 1, 5}) {
        Dive dive;
        dive.lines = {line(0, 0), line(300, 30), line(1500, 30), line(1800, 0)};
        dive.invalidReason = reason;
        ProfileScene s(dive, onlyProfile());
        const QImage image = s.render();
        const QColor area = image.pixelColor(s.item->timeDepthToGraphCoordinates(1400, 25).toPoint());
        if (reason == 0)
            QVERIFY(area.blue() > area.red() + 20);
        else
            QVERIFY(area.red() > area.blue() + 20);
        // Reason 1 has a message at the bottom left; 5 has none.
        const int messagePixels = countColour(image, QRect(0, s.mSize.height() - 25, 400, 25), Qt::red);
        QCOMPARE(messagePixels > 0, reason == 1);
    }
}

void RenderingTest::degenerateDivesAndItemsFinishPainting()
{
    // Grids whose step would be zero or negative used to loop forever.
    Dive zeroLength;
    zeroLength.lines = {line(0, 0), line(0, 10), line(0, 0)};
    Dive flat;
    flat.lines = {line(0, 0), line(600, 0)};
    Dive empty;
    Dive single;
    single.lines = {line(0, 5)};
    Dive normal = SampleDives::richDive();
    for (Dive* dive : {&zeroLength, &flat, &empty, &single, &normal}) {
        for (const QSize size : {QSize(800, 500), QSize(200, 110), QSize(60, 60), QSize(1, 1), QSize(0, 0)}) {
            ProfileScene s(size.isEmpty() ? QSize(1, 1) : size);
            s.item->resize(QRectF(QPointF(0, 0), QSizeF(size)));
            s.item->setDiveProfile(dive);
            s.render();
            s.item->zoom(Axis::Time, 2.0, 10);
            s.item->zoom(Axis::Depth, 0.5, 10);
            s.item->pan(5);
            s.render();
        }
    }
    // Something is drawn for the empty dive: the axes.
    ProfileScene s(empty);
    const QImage image = s.render();
    QVERIFY(hasColourNear(image, s.item->getOrigin() + QPointF(100, 0), kLightGray, 1));
}

void RenderingTest::gasIconsBeyondTheTableDrawNothing()
{
    Dive dive;
    for (int i = 0; i < 12; ++i)
        dive.gases.append(SampleDives::gas(0.21 + 0.01 * i));
    dive.gases[9].diluent = true;
    dive.lines = {line(0, 0), line(200, 20), line(600, 20), line(900, 0)};
    for (DiveLine& l : dive.lines)
        l.gasIndex = 9;
    dive.lines[0].gasIndex = dive.lines[1].gasIndex = 0;
    // A change at line 1 to gas 9, beyond the 8 images.

    auto iconArea = [](DiveProfileItem* item, const Dive& d) {
        const QPointF anchor = item->timeDepthToGraphCoordinates(d.lines[1].timeSec, d.lines[1].depth);
        return QRect(anchor.toPoint() + QPoint(6, 6), QSize(14, 14));
    };

    ProfileScene withGases(dive, onlyProfile(&ShowItemsState::gases));
    const QImage shown = withGases.render();

    const QList<ProfileIconItem*> icons = withGases.item->iconItems();
    QCOMPARE(icons.size(), 2); // start gas and the change
    QVERIFY(icons[0]->hasImage());
    QVERIFY(!icons[1]->hasImage());
    QCOMPARE(icons[1]->toolTip(), dive.gases[9].gasName() + " (Diluent)");
    QCOMPARE(icons[0]->toolTip(), QStringLiteral("Air (Open Circuit)"));

    ProfileScene without(dive, onlyProfile());
    const QImage hidden = without.render();
    const QRect area = iconArea(withGases.item, dive);
    QCOMPARE(shown.copy(area), hidden.copy(area));

    // The same change to gas 1 draws its image there.
    dive.lines[2].gasIndex = dive.lines[3].gasIndex = 1;
    withGases.item->update();
    QVERIFY(withGases.render().copy(area) != hidden.copy(area));
    QCOMPARE(withGases.item->iconItems()[1]->toolTip(), dive.gases[1].gasName() + " (Open Circuit)");

    // An index past the dive's gases names the empty gas.
    dive.lines[2].gasIndex = dive.lines[3].gasIndex = 20;
    withGases.item->update();
    withGases.render();
    QCOMPARE(withGases.item->iconItems()[1]->toolTip(), QStringLiteral(" (Open Circuit)"));
}

void RenderingTest::alarmIconsAndToolTips()
{
    Dive dive;
    dive.computerModel = 2;
    for (int i = 0; i <= 10; ++i) {
        DiveLine l = line(i * 60, i == 0 || i == 10 ? 0 : 20);
        l.speed = -18;
        l.ppO2 = 1.7;
        l.battery = 3100;
        dive.lines.append(l);
    }
    dive.lines[3].pelagonAlerts[1] = 0x04;            // fast ascent: every line
    dive.lines[4].pelagonAlerts[1] = 0x04;
    dive.lines[5].pelagonAlerts[0] = 0x04;            // hyperoxic: once
    dive.lines[6].pelagonAlerts[0] = 0x04;
    dive.lines[7].pelagonAlerts[1] = 0x01 | 0x08;     // battery and density
    ProfileScene s(dive, onlyProfile(&ShowItemsState::alerts));
    s.render();
    QStringList tips;
    for (ProfileIconItem* icon : s.item->iconItems())
        tips << icon->toolTip();
    QCOMPARE(tips, (QStringList{"Fast ascent: 18m/mn", "Fast ascent: 18m/mn", "Hyperoxic: 1.7bar",
                                "Battery warning: 3100mV", "Density warning"}));
    const QPointF anchor = s.item->timeDepthToGraphCoordinates(180, 20) + QPointF(5, 5);
    QCOMPARE(s.item->iconItems()[0]->pos(), anchor);
    QVERIFY(s.item->iconItems()[0]->hasImage());

    // Switching the layer off removes them.
    s.item->setItemFlag(&ShowItemsState::alerts, false);
    s.render();
    QVERIFY(s.item->iconItems().isEmpty());
}

void RenderingTest::kelvoPpO2AlarmOncePerRun()
{
    // Lines 3 to 5 and 8 carry the ppO2 alarm of a Kelvo computer.
    Dive dive;
    dive.computerModel = 1;
    for (int i = 0; i <= 10; ++i)
        dive.lines.append(line(i * 120, i == 0 || i == 10 ? 0 : 25));
    for (int i : {3, 4, 5, 8})
        dive.lines[i].alertFlag = 0x08;
    auto drawn = [&](int format) {
        dive.format = format;
        ProfileScene plain(dive, onlyProfile());
        const QImage without = plain.render();
        ProfileScene alarms(dive, onlyProfile(&ShowItemsState::alerts));
        const QImage with = alarms.render();
        QList<int> marked;
        for (int i = 1; i <= 10; ++i) {
            const QPoint at = alarms.item->timeDepthToGraphCoordinates(i * 120, 25).toPoint();
            const QRect image(at + QPoint(7, 7), QSize(8, 8)); // inside the image, clear of the circle
            if (with.copy(image) != without.copy(image))
                marked << i;
        }
        return marked;
    };
    QCOMPARE(drawn(Dive::RecordedDive), (QList<int>{3, 8}));
    QCOMPARE(drawn(Dive::PlannedProfile), (QList<int>{3, 4, 5, 8}));
}

void RenderingTest::markersFollowTheViewAndTheAlarmLayer()
{
    Dive dive;
    dive.lines = {line(0, 0), line(300, 30), line(1500, 30), line(1800, 0)};
    ProfileScene s(dive, onlyProfile());
    const int info = s.item->addMarkerAt(900, true, MarkerType::Info, "i");
    const int alarm = s.item->addMarkerAt(1200, true, MarkerType::AlertCeil, "c");
    s.item->setMarkerAt(info, 900, 10);
    s.item->setMarkerAt(alarm, 1200, 10);

    const QImage image = s.render();
    const QPointF infoAt = s.item->timeDepthToGraphCoordinates(900, 10);
    const QPointF alarmAt = s.item->timeDepthToGraphCoordinates(1200, 10);
    const QRect infoBox(infoAt.toPoint() - QPoint(6, 6), QSize(12, 12));
    const QRect alarmBox(alarmAt.toPoint() - QPoint(6, 6), QSize(12, 12));
    ProfileScene bare(dive, onlyProfile());
    const QImage withoutMarkers = bare.render();
    QVERIFY(image.copy(infoBox) != withoutMarkers.copy(infoBox));
    QVERIFY(s.item->getMarkerAtPosition(infoAt) != nullptr);
    QCOMPARE(s.item->getMarkerAtPosition(infoAt)->id, info);
    // Alarm markers show only with the alarm layer.
    QCOMPARE(image.copy(alarmBox), withoutMarkers.copy(alarmBox));
    QVERIFY(s.item->getMarkerAtPosition(alarmAt) == nullptr);
    s.item->setItemFlag(&ShowItemsState::alerts, true);
    QVERIFY(s.render().copy(alarmBox) != withoutMarkers.copy(alarmBox));

    // After a zoom the marker is drawn where its time now is.
    s.item->zoom(Axis::Time, 2.0, infoAt.x() - 200);
    const QPointF moved = s.item->timeDepthToGraphCoordinates(900, 10);
    QVERIFY(qAbs(moved.x() - infoAt.x()) > 50);
    QCOMPARE(s.item->markers().first().x, moved.x());
    QVERIFY(s.item->getMarkerAtPosition(moved) != nullptr);
}

void RenderingTest::editedDiveIsRepainted()
{
    // Editing the dive in place is noticed by the drawing cache.
    Dive dive = flatDive({0, 0, 0, 0});
    ProfileScene s(dive, onlyProfile());
    s.render();
    dive.lines[3].speed = 40;
    const QImage image = s.render();
    QVERIFY(hasColourNear(image, s.item->timeDepthToGraphCoordinates(250, 20), Qt::red));
}

void RenderingTest::paintsInsideAGraphicsView()
{
    Dive dive = SampleDives::richDive();
    QGraphicsView view;
    QGraphicsScene* scene = new QGraphicsScene(&view);
    view.setScene(scene);
    view.resize(700, 420);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* item = new DiveProfileItem;
    scene->addItem(item);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QRect viewport = view.viewport()->rect();
    scene->setSceneRect(QRectF(viewport));
    item->resize(scene->sceneRect());
    item->setDiveProfile(&dive);
    // Icon items arrive with the event loop, after the first paint.
    QTRY_VERIFY(!item->iconItems().isEmpty());
    const QImage grabbed = view.viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QVERIFY(hasColourNear(grabbed, deepestPoint(item, dive), QColor(Qt::darkRed), 4));
}

void RenderingTest::highDensityDevice()
{
    // A device with two pixels per unit gets a picture of its own density.
    Dive dive = flatDive({-15.02, 27.9});
    ProfileScene s(dive, onlyProfile());
    s.item->prepareLayout();
    QImage image(s.mSize * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        s.scene.render(&painter, QRectF(QPointF(0, 0), QSizeF(s.mSize)), s.scene.sceneRect());
    }
    image.setDevicePixelRatio(1.0);
    QVERIFY(hasColourNear(image, s.item->timeDepthToGraphCoordinates(150, 20) * 2, Qt::red, 3));
    QVERIFY(hasColourNear(image, s.item->timeDepthToGraphCoordinates(250, 20) * 2, Qt::green, 3));
    // The depth axis, above the graph, is 2 units wide: 4 device pixels.
    const QPoint above = ((s.item->getOrigin() - QPointF(0, 5)) * 2).toPoint();
    QCOMPARE(countColour(image, QRect(above.x() - 6, above.y(), 13, 1), kLightGray), 4);
}

QTEST_MAIN(RenderingTest)
#include "tst_rendering.moc"
