// Editable profile points of the item: building the handles, placing them
// after view changes, and keeping their numbering and tool tips.
//
// The handles (DivePoint children) exist only in edit mode. The view
// operations call createDivePoints when the handles must be rebuilt (new dive,
// refit) and updateDivePoints when they must be moved (zoom, pan, resize, fit).

#include "profilor/diveprofileitem.h"

#include "divedata/dive.h"
#include "profilor/divepoint.h"

#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// A holder of a few dozen handles. Its bounds enclose its handles, and it
// tells the scene that they draw and are hit only inside them: a repaint of
// a strip (the cursor line moving) or a look-up at the pointer then skips
// every group away from it instead of visiting each handle of a long dive.
// It draws nothing itself and takes no mouse buttons.
class DivePointGroup : public QGraphicsItem
{
public:
    enum { Type = UserType + 3 };

    explicit DivePointGroup(QGraphicsItem* parent)
        : QGraphicsItem(parent)
    {
        setFlag(ItemContainsChildrenInShape);
        setAcceptedMouseButtons(Qt::NoButton);
    }
    int type() const override { return Type; }
    QRectF boundingRect() const override { return mBounds; }
    QPainterPath shape() const override
    {
        QPainterPath path;
        path.addRect(mBounds);
        return path;
    }
    void paint(QPainter*, const QStyleOptionGraphicsItem*, QWidget*) override {}

    // Encloses the handles where they are now.
    void refit()
    {
        const qreal reach = DivePoint::sDivePointSize / 2 + 2;
        QRectF bounds;
        const QList<QGraphicsItem*> children = childItems();
        for (const QGraphicsItem* child : children) {
            const QPointF p = child->pos();
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                continue;
            bounds |= QRectF(p.x() - reach, p.y() - reach, 2 * reach, 2 * reach);
        }
        if (bounds != mBounds) {
            prepareGeometryChange();
            mBounds = bounds;
        }
    }

private:
    QRectF mBounds;
};

} // namespace

void DiveProfileItem::refitPointGroup(QGraphicsItem* group)
{
    if (group != nullptr && group->type() == DivePointGroup::Type && group->parentItem() == this)
        static_cast<DivePointGroup*>(group)->refit();
}

QGraphicsItem* DiveProfileItem::newPointGroup()
{
    auto* group = new DivePointGroup(this); // owned by this item
    group->setVisible(mItemFlags.points); // handles show and hide with their group
    mPointGroups.append(group);
    return group;
}

DivePoint* DiveProfileItem::makeDivePoint(int index, bool fixed, QGraphicsItem* group)
{
    const DiveLine& line = mDive->lines[index];
    const DiveLineInfo info{index, line.timeSec, line.depth};
    auto constraint = [this](DiveLineInfo& lineInfo, const QPointF& p) { return updateDivePoint(lineInfo, p); };
    auto* point = new DivePoint(group, timeDepthToGraphCoordinates(line.timeSec, line.depth), info, constraint,
                                fixed); // owned by its group
    point->setToolTip(divePointToolTip(index, line));
    point->setDrawnByParent(true);
    return point;
}

void DiveProfileItem::createDivePoints()
{
    // The undo records and the context-menu point refer to the handles about
    // to be deleted: they go with them.
    mUndo.clear();
    DivePoint::currentPoint = nullptr;
    mPoints.clear();
    mPaintedPoints.clear();
    const QVector<QGraphicsItem*> groups = std::exchange(mPointGroups, {});
    for (QGraphicsItem* group : groups)
        delete group; // and its handles
    // Handles of another origin (none are made elsewhere, but the type is public).
    const QList<QGraphicsItem*> children = childItems();
    for (QGraphicsItem* child : children) {
        if (child->type() == DivePoint::Type)
            delete child;
    }

    // Outside edit mode no handles are kept, so none can outlive their lines.
    if (!mEditMode || mDive == nullptr)
        return;
    // Drag steps update the speeds next to the dragged line only: start from
    // speeds that agree with the lines.
    mDive->refreshDerived(Dive::CeilingCurve::Keep);
    const int count = int(mDive->lines.size());
    mPoints.reserve(count);
    QGraphicsItem* group = nullptr;
    for (int k = 0; k < count; ++k) {
        if (k % kPointsPerGroup == 0)
            group = newPointGroup();
        mPoints.append(makeDivePoint(k, k == 0, group)); // the dive starts at point 0: it cannot move
    }
    for (QGraphicsItem* made : std::as_const(mPointGroups))
        refitPointGroup(made);
    updateCoveredPoints();
}

void DiveProfileItem::updateDivePoints()
{
    if (!mEditMode || mDive == nullptr)
        return;
    const qsizetype count = std::min<qsizetype>(mPoints.size(), mDive->lines.size());
    for (qsizetype k = 0; k < count; ++k) {
        DivePoint* point = mPoints[k];
        const DiveLine& line = mDive->lines[point->diveLineInfo().index];
        point->placeAt(timeDepthToGraphCoordinates(line.timeSec, line.depth));
    }
    for (QGraphicsItem* group : std::as_const(mPointGroups))
        refitPointGroup(group);
    // The lines did not change, only the view: the tool tips stand; a handle
    // whose line was changed elsewhere refreshes its tip when hovered.
    updateCoveredPoints();
}

void DiveProfileItem::renumberDivePoints(int from)
{
    for (int k = std::max(0, from); k < mPoints.size(); ++k) {
        DivePoint* point = mPoints[k];
        if (point->diveLineInfo().index != k) {
            point->diveLineInfo().index = k;
            refreshPointToolTip(point);
        }
    }
}

void DiveProfileItem::refreshPointToolTip(DivePoint* point) const
{
    const int index = point->diveLineInfo().index;
    if (mDive != nullptr && index >= 0 && index < mDive->lines.size())
        point->setToolTip(divePointToolTip(index, mDive->lines[index]));
}

void DiveProfileItem::updateCoveredPoints()
{
    // A handle is covered when a handle painted after it lies in the same
    // small cell. A profile whose handles in the graph area are few enough is
    // painted whole (handles on the same pixel aside); a denser one, where
    // the handles overlap into a band anyway, has its cells widened until
    // about kPaintedPointsBudget handles are left, up to half a handle across.
    auto cover = [this](double cell) {
        QSet<quint64> taken;
        taken.reserve(int(std::min<qsizetype>(mPoints.size(), 1 << 16)));
        int painted = 0;
        for (qsizetype k = mPoints.size() - 1; k >= 0; --k) {
            const QPointF p = mPoints[k]->pos();
            const quint64 key = (quint64(quint32(qint32(std::floor(p.x() / cell)))) << 32)
                | quint32(qint32(std::floor(p.y() / cell)));
            const bool covered = std::isfinite(p.x()) && std::isfinite(p.y()) && taken.contains(key);
            if (!covered) {
                taken.insert(key);
                if (mClipRect.contains(p))
                    ++painted;
            }
            mPoints[k]->setCovered(covered);
        }
        return painted;
    };
    const double largest = std::max(1.0, double(DivePoint::sDivePointSize) / 2.0);
    double cell = 1.0;
    while (cover(cell) > kPaintedPointsBudget && cell < largest)
        cell = std::min(largest, cell * 2.0);
    mPaintedPoints.clear();
    for (DivePoint* point : std::as_const(mPoints)) {
        if (!point->isCovered())
            mPaintedPoints.append(point);
    }
}

namespace {

// One painted handle as an image, drawn once per size, pixel ratio, colour and
// antialiasing, then copied for every handle.
struct HandleSprite
{
    float size = 0.0f;
    double ratio = 0.0;
    bool selected = false;
    bool antialiased = false;
    int centre = 0; // logical pixels from the image's top-left corner to the handle's centre
    QImage image;
};

const HandleSprite& handleSprite(float size, double ratio, bool selected, bool antialiased)
{
    static HandleSprite sprites[2];
    HandleSprite& sprite = sprites[selected ? 1 : 0];
    if (sprite.image.isNull() || sprite.size != size || sprite.ratio != ratio || sprite.antialiased != antialiased) {
        sprite.size = size;
        sprite.ratio = ratio;
        sprite.selected = selected;
        sprite.antialiased = antialiased;
        sprite.centre = int(std::ceil(size / 2.0f)) + 2;
        const int side = 2 * sprite.centre;
        sprite.image = QImage(QSize(side, side) * ratio, QImage::Format_ARGB32_Premultiplied);
        sprite.image.setDevicePixelRatio(ratio);
        sprite.image.fill(Qt::transparent);
        QPainter painter(&sprite.image);
        painter.setRenderHint(QPainter::Antialiasing, antialiased);
        DivePoint::paintHandle(&painter, QPointF(sprite.centre, sprite.centre), selected);
    }
    return sprite;
}

} // namespace

void DiveProfileItem::paintDivePoints(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    if (mPoints.isEmpty() || !mItemFlags.points || scene() == nullptr)
        return;
    const float size = DivePoint::sDivePointSize;
    if (!(size > 0.0f) || size > 1000.0f)
        return;
    const double ratio = painter->device() != nullptr ? std::clamp(painter->device()->devicePixelRatio(), 1.0, 4.0)
                                                      : 1.0;
    const bool antialiased = painter->testRenderHint(QPainter::Antialiasing);
    const QRectF exposed = option != nullptr && !option->exposedRect.isEmpty() ? option->exposedRect
                                                                              : mView.itemRect;
    const double reach = size / 2.0 + 2.0;
    const QRectF wanted = exposed.adjusted(-reach, -reach, reach, reach);
    auto draw = [&](const DivePoint* point, const HandleSprite& sprite) {
        // Handles outside the graph area are not drawn.
        const QPointF p = point->pos();
        if (wanted.contains(p) && mClipRect.contains(p) && point->isVisible())
            painter->drawImage(QPointF(std::round(p.x()) - sprite.centre, std::round(p.y()) - sprite.centre),
                               sprite.image);
    };
    const HandleSprite& plain = handleSprite(size, ratio, false, antialiased);
    // Position first: a strip repaint skips the handles away from it without
    // asking the scene anything about them.
    for (const DivePoint* point : mPaintedPoints) {
        if (wanted.contains(point->pos()) && !point->isSelected())
            draw(point, plain);
    }
    // Selected handles last, covered or not, so that a selection inside a
    // dense profile shows.
    const HandleSprite& selected = handleSprite(size, ratio, true, antialiased);
    const QList<QGraphicsItem*> selection = scene()->selectedItems();
    QVector<const DivePoint*> chosen;
    for (const QGraphicsItem* item : selection) {
        if (item->type() == DivePoint::Type && static_cast<const DivePoint*>(item)->profileItem() == this)
            chosen.append(static_cast<const DivePoint*>(item));
    }
    std::sort(chosen.begin(), chosen.end(), [](const DivePoint* a, const DivePoint* b) {
        return a->diveLineInfo().index < b->diveLineInfo().index;
    });
    for (const DivePoint* point : std::as_const(chosen))
        draw(point, selected);
}
