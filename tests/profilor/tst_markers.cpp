// The class-wide marker and icon tables and the Marker record.

#include "profilor/marker.h"

#include "profiletestutil.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ProfileTest;

namespace {

// A plain generated image on disk.
QString writeImage(const QTemporaryDir& dir, const QString& name, const QSize& size, const QColor& colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    image.save(path);
    return path;
}

} // namespace

class MarkersTest : public QObject
{
    Q_OBJECT

private slots:
    void gasIconIndexesOutsideTheTableAreIgnored();
    void loadingKeepsOrClearsImages();
    void imagesByType();
    void iconOffsets();
};

void MarkersTest::gasIconIndexesOutsideTheTableAreIgnored()
{
    QTemporaryDir dir;
    const QString red = writeImage(dir, "red.png", QSize(10, 10), Qt::red);
    for (int i = 0; i < Marker::kGasIconCount; ++i)
        Marker::setGasIconFilename(i, QString());
    Marker::setGasIconFilename(7, red);
    Marker::setGasIconFilename(8, red);
    Marker::setGasIconFilename(-1, red);
    Marker::setGasIconFilename(100000, red);
    QCOMPARE(Marker::sGasFilenames[7], red);
    for (int i = 0; i < 7; ++i)
        QVERIFY(Marker::sGasFilenames[std::size_t(i)].isEmpty());

    Marker::loadPictures();
    QVERIFY(!Marker::gasImage(7)->isNull());
    QVERIFY(Marker::gasImage(8) == nullptr);
    QVERIFY(Marker::gasImage(-1) == nullptr);
    QVERIFY(Marker::gasImage(11) == nullptr);

    // Out-of-range marker and icon types are ignored too.
    Marker::setMarkerIconFileName(MarkerType::MarkerTypeIn(10), red);
    Marker::setIconFilename(IconType::IconTypeIn(-1), red);
    QVERIFY(Marker::iconImage(12) == nullptr);
    QVERIFY(Marker::iconImage(-1) == nullptr);
}

void MarkersTest::loadingKeepsOrClearsImages()
{
    QTemporaryDir dir;
    const QString green = writeImage(dir, "green.png", QSize(6, 4), Qt::green);
    Marker::setIconFilename(IconType::AlertCNS, green);
    Marker::setIconFilename(IconType::DTR, green);
    const quint64 generation = Marker::picturesGeneration();
    Marker::loadPictures();
    QVERIFY(Marker::picturesGeneration() != generation);
    QCOMPARE(Marker::mMarkAlertCNS.size(), QSize(6, 4));
    QCOMPARE(Marker::iconImage(IconType::DTR), &Marker::mMarkDTR);

    // An empty path leaves the image as it was; an unreadable one leaves none.
    Marker::setIconFilename(IconType::AlertCNS, QString());
    Marker::setIconFilename(IconType::DTR, dir.filePath("missing.png"));
    Marker::loadPictures();
    QCOMPARE(Marker::mMarkAlertCNS.size(), QSize(6, 4));
    QVERIFY(Marker::mMarkDTR.isNull());
}

void MarkersTest::imagesByType()
{
    registerIcons();
    Marker::loadPictures();
    QVERIFY(!Marker::mMarkInfo.isNull());
    QVERIFY(!Marker::mMarkDiver.isNull());
    QCOMPARE(Marker::markerImage(MarkerType::Diver), &Marker::mMarkDiver);
    QCOMPARE(Marker::markerImage(MarkerType::Alert24H), &Marker::mMarkAlert24h);
    // A type outside 1..9 draws the Info image.
    QCOMPARE(Marker::markerImage(0), &Marker::mMarkInfo);
    QCOMPARE(Marker::markerImage(42), &Marker::mMarkInfo);
    QCOMPARE(Marker::markerImage(-3), &Marker::mMarkInfo);
    QCOMPARE(Marker::gasImage(0)->size(), QImage(iconPath("gas1.png")).size());
}

void MarkersTest::iconOffsets()
{
    registerIcons();
    Marker::loadPictures();
    const Marker info(3, MarkerType::Info, "note", true);
    QCOMPARE(info.id, 3);
    QCOMPARE(info.iconOffsetX, Marker::mMarkInfo.width() / 2);
    QCOMPARE(info.iconOffsetY, Marker::mMarkInfo.height() / 2);
    // The diver stands on the point.
    const Marker diver(MarkerType::Diver, "me", false);
    QCOMPARE(diver.id, 0);
    QCOMPARE(diver.iconOffsetX, Marker::mMarkDiver.width() / 2);
    QCOMPARE(diver.iconOffsetY, Marker::mMarkDiver.height());
    QVERIFY(diver.iconOffsetY > 0);
    // No image: offsets stay 0 and the marker draws nothing.
    Marker::mMarkAlertYoyo = QImage();
    const Marker yoyo(1, MarkerType::AlertYoyo, "y", true);
    QCOMPARE(yoyo.iconOffsetX, 0);
    QCOMPARE(yoyo.iconOffsetY, 0);
    QVERIFY(yoyo.isAlarm());
    QVERIFY(!diver.isAlarm());

    // Copies carry every field.
    Marker copy = info;
    copy = diver;
    QCOMPARE(copy.text, QStringLiteral("me"));
    QCOMPARE(copy.image, &Marker::mMarkDiver);
    QCOMPARE(copy.visible, false);
}

QTEST_MAIN(MarkersTest)
#include "tst_markers.moc"
