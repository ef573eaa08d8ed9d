// Thinned curves and fills must draw what the full curves draw.

#include "profilor/polylinereducer.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

const QRectF kBand(50, 30, 1500, 800);

// A dive-like outline: 24 samples per pixel column with sensor noise, closed
// through the surface (the first and last points).
QVector<QPointF> noisyOutline(double left = kBand.left(), double right = kBand.right())
{
    QVector<QPointF> points;
    points.append(QPointF(left, kBand.top()));
    const int samples = int((right - left) * 24);
    for (int i = 1; i < samples; ++i) {
        const double x = left + (right - left) * i / samples;
        const double y = 400 + 150 * std::sin(x / 170.0) + 8 * std::sin(i * 2.7) + 3 * std::cos(i * 0.37);
        points.append(QPointF(x, std::round(y * 4) / 4));
    }
    points.append(QPointF(right, kBand.top() + 20));
    return points;
}

QImage blank()
{
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

void fill(QImage& image, const QPolygonF& polygon)
{
    QPainter painter(&image);
    painter.setClipRect(kBand);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(150, 150, 218));
    painter.drawPolygon(polygon, Qt::OddEvenFill);
}

void stroke(QImage& image, const QVector<QPointF>& points)
{
    QVector<QLineF> lines;
    for (qsizetype i = 1; i < points.size(); ++i)
        lines.append(QLineF(points[i - 1], points[i]));
    QPainter painter(&image);
    painter.setClipRect(kBand);
    painter.setPen(QPen(Qt::green, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawLines(lines);
}

int differences(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

QVector<QPointF> reduce(const QVector<QPointF>& points, double left, double right)
{
    QVector<QPointF> out;
    PolylineReducer reducer(left, right, 1.0, &out);
    for (const QPointF& p : points)
        reducer.add(p);
    reducer.finish();
    return out;
}

// The outline sampled at the pixel columns fills what the whole outline
// fills. Only an outline crossing a column centre exactly on a pixel boundary
// (a tie) may go either way: a few scattered pixels, not one per column.
void compareSampledFill(const QVector<QPointF>& outline)
{
    const QPolygonF sampled = fillOutline(outline, kBand.left(), kBand.right(), 1.0, 0.0);
    QVERIFY(sampled.size() <= kBand.width() + 3);
    QImage full = blank();
    QImage thin = blank();
    fill(full, QPolygonF(outline));
    fill(thin, sampled);
    QVERIFY2(differences(full, thin) < 100, qPrintable(QString::number(differences(full, thin))));
}

} // namespace

class ThinningTest : public QObject
{
    Q_OBJECT

private slots:
    void sampledFillMatchesTheFullOutline();
    void outlineReachingFarOutsideTheView();
    void outlineGoingBackIsStillFilled();
    void thinnedLineCoversTheSamePixels();
    void pointsThatAreNotNumbersAreDropped();
};

void ThinningTest::sampledFillMatchesTheFullOutline()
{
    compareSampledFill(noisyOutline());
}

void ThinningTest::outlineReachingFarOutsideTheView()
{
    compareSampledFill(noisyOutline(-3000, 5000));
}

void ThinningTest::outlineGoingBackIsStillFilled()
{
    // Time going back (a deco line starting before the last sample): no column
    // sampling; the outline is kept whole inside the view, only shortened outside.
    QVector<QPointF> outline = noisyOutline(-3000, 1000);
    outline.append(QPointF(900, 300));
    outline.append(QPointF(1400, kBand.top()));
    const QPolygonF thinned = fillOutline(outline, kBand.left(), kBand.right(), 1.0, 0.0);
    QVERIFY(thinned.size() < outline.size() * 2 / 3);
    QImage full = blank();
    QImage thin = blank();
    fill(full, QPolygonF(outline));
    fill(thin, thinned);
    // Identical but for the rasterizer's fixed-point rounding of the long chord.
    QVERIFY2(differences(full, thin) <= 10, qPrintable(QString::number(differences(full, thin))));
}

void ThinningTest::thinnedLineCoversTheSamePixels()
{
    QVector<QPointF> curve = noisyOutline(-2000, 4000);
    curve.removeFirst();
    curve.removeLast();
    const QVector<QPointF> thinned = reduce(curve, kBand.left() - 4, kBand.right() + 4);
    QVERIFY(thinned.size() <= 4 * (kBand.width() + 10) + 4);
    QCOMPARE(thinned.first(), curve.first());
    QCOMPARE(thinned.last(), curve.last());
    QImage full = blank();
    QImage thin = blank();
    stroke(full, curve);
    stroke(thin, thinned);
    const int painted = 1600 * 900 - int(std::count(reinterpret_cast<const QRgb*>(full.constBits()),
                                                    reinterpret_cast<const QRgb*>(full.constBits()) + 1600 * 900,
                                                    qRgb(255, 255, 255)));
    // The same band of pixels, give or take a pixel at a few column joints.
    QVERIFY2(differences(full, thin) < painted / 50,
             qPrintable(QStringLiteral("%1 of %2").arg(differences(full, thin)).arg(painted)));
}

void ThinningTest::pointsThatAreNotNumbersAreDropped()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const QVector<QPointF> points{{60, 100}, {nan, 5}, {61, inf}, {62, 120}, {1e300, 1}, {63, 130}};
    const QVector<QPointF> thinned = reduce(points, 50, 1550);
    for (const QPointF& p : thinned)
        QVERIFY(std::isfinite(p.x()) && std::isfinite(p.y()));
    QCOMPARE(thinned.first(), QPointF(60, 100));
    QCOMPARE(thinned.last(), QPointF(63, 130));
    const QPolygonF outline = fillOutline(points, 50, 1550, 1.0, 0.0);
    for (const QPointF& p : outline)
        QVERIFY(std::isfinite(p.x()) && std::isfinite(p.y()));
}

QTEST_MAIN(ThinningTest)
#include "tst_thinning.moc"
