#pragma once

// Headless rendering helpers for the Profilor tests.

#include "profilor/diveprofileitem.h"
#include "profilor/marker.h"

#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdlib>
#include <optional>

namespace ProfileTest {

inline QString iconPath(const QString& file)
{
    return QStringLiteral(PELAGON_SOURCE_DIR "/resources/TestGraphics/icons/") + file;
}

// Registers the program's icon files by path, as the program does with its resources.
inline void registerIcons()
{
    Marker::setMarkerIconFileName(MarkerType::Info, iconPath("mark_info.png"));
    Marker::setMarkerIconFileName(MarkerType::Error, iconPath("mark_error.png"));
    Marker::setMarkerIconFileName(MarkerType::Warning, iconPath("mark_warning.png"));
    Marker::setMarkerIconFileName(MarkerType::Gas, iconPath("mark_gas.png"));
    Marker::setMarkerIconFileName(MarkerType::Diver, iconPath("diver.png"));
    Marker::setMarkerIconFileName(MarkerType::AlertCeil, iconPath("alertCeil.png"));
    Marker::setMarkerIconFileName(MarkerType::AlertRR, iconPath("alertRR.png"));
    Marker::setIconFilename(IconType::OxygenTank, iconPath("oxygen-tank.png"));
    Marker::setIconFilename(IconType::AlertPmax, iconPath("alertPmax.png"));
    Marker::setIconFilename(IconType::AlertO2Hyperoxic, iconPath("alertO2Hyperoxic.png"));
    Marker::setIconFilename(IconType::AlertO2Hypoxic, iconPath("alertO2Hypoxic.png"));
    Marker::setIconFilename(IconType::AlertN2, iconPath("alertN2.png"));
    Marker::setIconFilename(IconType::AlertBattery, iconPath("alertBattery.png"));
    Marker::setIconFilename(IconType::AlertCNS, iconPath("alertCNS.png"));
    Marker::setIconFilename(IconType::AlertDensity, iconPath("alertDensity.png"));
    for (int i = 0; i < Marker::kGasIconCount; ++i)
        Marker::setGasIconFilename(i, iconPath(QStringLiteral("gas%1.png").arg(i + 1)));
    DiveProfileItem::setEffortIconResource(iconPath("effortOn.png"));
}

// A scene holding one profile item that fills it.
class ProfileScene
{
public:
    explicit ProfileScene(const QSize& size = QSize(800, 500))
        : mSize(size)
        , item(new DiveProfileItem)
    {
        scene.addItem(item); // owned by the scene
        scene.setSceneRect(QRectF(QPointF(0, 0), QSizeF(size)));
        item->resize(scene.sceneRect());
    }

    // The scene showing `dive` (kept by address), with these layers when given.
    explicit ProfileScene(Dive& dive, const std::optional<ShowItemsState>& layers = std::nullopt,
                          const QSize& size = QSize(800, 500))
        : ProfileScene(size)
    {
        if (layers)
            item->showItems(*layers);
        item->setDiveProfile(&dive);
    }

    QImage render()
    {
        item->prepareLayout();
        QImage image(mSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        scene.render(&painter, QRectF(image.rect()), scene.sceneRect());
        return image;
    }

    QSize mSize;
    QGraphicsScene scene;
    DiveProfileItem* item;
};

// True when a pixel of exactly `colour` lies within `radius` of `at`.
inline bool hasColourNear(const QImage& image, const QPointF& at, const QColor& colour, int radius = 2)
{
    const int cx = qRound(at.x());
    const int cy = qRound(at.y());
    for (int y = cy - radius; y <= cy + radius; ++y) {
        for (int x = cx - radius; x <= cx + radius; ++x) {
            if (image.rect().contains(x, y) && image.pixelColor(x, y).rgb() == colour.rgb())
                return true;
        }
    }
    return false;
}

// Number of pixels in `area` whose colour is exactly `colour`.
inline int countColour(const QImage& image, const QRect& area, const QColor& colour)
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (image.pixelColor(x, y).rgb() == colour.rgb())
                ++count;
        }
    }
    return count;
}

} // namespace ProfileTest
