// The tissue saturation bars, rendered offscreen.

#include "profilor/tissuesgraph.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

// In a 400x150 graph: bars 19 px wide every 24 px from x = 10, standing on the
// base line y = 135, at most 120 px high.
constexpr int kBarWidth = 19;
constexpr int kBaseY = 135;

int barCentre(int k)
{
    return 10 + (k - 1) * (kBarWidth + 5) + kBarWidth / 2;
}

// Green rows in the middle column of bar k (its fill, inside the outline).
int greenRows(const QImage& image, int k)
{
    int rows = 0;
    for (int y = 0; y < kBaseY; ++y) {
        if (image.pixelColor(barCentre(k), y) == QColor(Qt::green))
            ++rows;
    }
    return rows;
}

int greenPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == QColor(Qt::green) ? 1 : 0;
    }
    return count;
}

QImage render(TissuesGraph& graph)
{
    return graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TissuesGraphTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void barsScaleBetweenTheSmallestAndTheLargest();
    void equalValuesStandAtHalfHeight();
    void resetAndTinyValuesDrawNoBars();
    void paletteChangesTheColours();

private:
    std::unique_ptr<TissuesGraph> mGraph;
};

void TissuesGraphTest::init()
{
    mGraph = std::make_unique<TissuesGraph>();
    mGraph->resize(400, 150);
    QCOMPARE(mGraph->backgroundColor(), QColor(QStringLiteral("#F0F0F0")));
    QCOMPARE(mGraph->frontColor(), QColor(Qt::black));
}

void TissuesGraphTest::barsScaleBetweenTheSmallestAndTheLargest()
{
    TissuesGraph::Values values{};
    for (int k = 0; k < 16; ++k)
        values[std::size_t(k)] = 1.0f + float(k); // 1 .. 16
    mGraph->setValues(values);
    const QImage image = render(*mGraph);
    // Heights int((v - 1) x 120 / 15): the smallest bar is flat, the largest full.
    QCOMPARE(greenRows(image, 1), 0);
    QCOMPARE(greenRows(image, 2), 8 - 1);
    QCOMPARE(greenRows(image, 9), 64 - 1);
    QCOMPARE(greenRows(image, 16), 120 - 1);
    QCOMPARE(image.pixelColor(2, 2), QColor(QStringLiteral("#F0F0F0")));

    // A value that is not a number does not poison the scale: it counts as 0.
    values[3] = std::numeric_limits<float>::quiet_NaN();
    mGraph->setValues(values.data());
    QCOMPARE(mGraph->values()[3], 0.0f);
    const QImage withNaN = render(*mGraph);
    QCOMPARE(greenRows(withNaN, 4), 0);
    QCOMPARE(greenRows(withNaN, 16), 120 - 1);

    mGraph->setValues(static_cast<const float*>(nullptr)); // ignored
    QCOMPARE(mGraph->values()[15], 16.0f);
}

void TissuesGraphTest::equalValuesStandAtHalfHeight()
{
    TissuesGraph::Values values;
    values.fill(2.5f);
    values[7] = 2.505f; // within 0.01 of the others: still no range
    mGraph->setValues(values);
    const QImage image = render(*mGraph);
    for (int k = 1; k <= 16; ++k)
        QCOMPARE(greenRows(image, k), 60 - 1);
}

void TissuesGraphTest::resetAndTinyValuesDrawNoBars()
{
    TissuesGraph::Values values;
    values.fill(5.0f);
    values[0] = 1.0f;
    mGraph->setValues(values);
    QVERIFY(greenPixels(render(*mGraph)) > 0);

    mGraph->reset();
    const QImage cleared = render(*mGraph);
    QCOMPARE(greenPixels(cleared), 0);
    // Only the base line stands on the background.
    QCOMPARE(cleared.pixelColor(200, kBaseY), QColor(Qt::black));
    QCOMPARE(cleared.pixelColor(200, kBaseY - 20), QColor(QStringLiteral("#F0F0F0")));

    values.fill(0.005f);
    mGraph->setValues(values);
    QCOMPARE(greenPixels(render(*mGraph)), 0);
}

void TissuesGraphTest::paletteChangesTheColours()
{
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, QColor(220, 220, 220));
    QApplication::setPalette(dark);
    QTRY_COMPARE(mGraph->backgroundColor(), QColor(30, 30, 30));
    QCOMPARE(mGraph->frontColor(), QColor(220, 220, 220));
    const QImage image = render(*mGraph);
    QCOMPARE(image.pixelColor(2, 2), QColor(30, 30, 30));
    QCOMPARE(image.pixelColor(200, kBaseY), QColor(220, 220, 220));
    QApplication::setPalette(original);

    mGraph->setBackgroundColor(Qt::white);
    QCOMPARE(render(*mGraph).pixelColor(2, 2), QColor(Qt::white));
}

QTEST_MAIN(TissuesGraphTest)
#include "tst_tissuesgraph.moc"
