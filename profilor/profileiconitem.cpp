#include "profilor/profileiconitem.h"

#include <QCoreApplication>
#include <QHash>
#include <QImage>
#include <QPainterPath>

namespace {

// Pixmaps of the class-wide images, shared by every icon item. They must go
// before the application does, as pixmaps cannot outlive the GUI.
QHash<qint64, QPixmap>& pixmapCache()
{
    static QHash<qint64, QPixmap> cache;
    static const bool registered = [] {
        qAddPostRoutine([] { pixmapCache().clear(); });
        return true;
    }();
    Q_UNUSED(registered);
    return cache;
}

constexpr qreal kEmptyHoverSize = 8.0;

} // namespace

ProfileIconItem::ProfileIconItem(QGraphicsItem* parent)
    : QGraphicsPixmapItem(parent)
{
}

QRectF ProfileIconItem::boundingRect() const
{
    if (pixmap().isNull())
        return QRectF(0, 0, kEmptyHoverSize, kEmptyHoverSize);
    return QGraphicsPixmapItem::boundingRect();
}

QPainterPath ProfileIconItem::shape() const
{
    QPainterPath path;
    path.addRect(boundingRect());
    return path;
}

void ProfileIconItem::setImage(const QImage* image)
{
    const qint64 key = image != nullptr && !image->isNull() ? image->cacheKey() : 0;
    if (key == mImageKey)
        return;
    mImageKey = key;
    prepareGeometryChange(); // the hover area of an empty icon differs from an image's
    if (key == 0) {
        setPixmap(QPixmap());
        return;
    }
    auto& cache = pixmapCache();
    auto found = cache.find(key);
    if (found == cache.end())
        found = cache.insert(key, QPixmap::fromImage(*image));
    setPixmap(found.value());
}
