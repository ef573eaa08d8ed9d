#include "profilor/divepoint.h"

#include "divedata/dive.h"
#include "profilor/diveprofileitem.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

float DivePoint::sDivePointSize = 10.0f;
std::function<void(DivePoint*, const QPointF&)> DivePoint::sPointHasMoved;
QPointer<QMenu> DivePoint::contextMenu;
DivePoint* DivePoint::currentPoint = nullptr;

DiveProfileItem* DivePoint::profileItem() const
{
    // A profile item keeps its handles in groups (plain items between them);
    // a handle made elsewhere may sit right under one.
    for (QGraphicsItem* parent = parentItem(); parent != nullptr; parent = parent->parentItem()) {
        if (QGraphicsObject* object = parent->toGraphicsObject())
            return qobject_cast<DiveProfileItem*>(object);
    }
    return nullptr;
}

DivePoint::DivePoint(QGraphicsItem* parent, QPointF pos, const DiveLineInfo& info, UpdateFunction update, bool fixed)
    : QGraphicsItem(parent)
    , mUpdate(fixed ? UpdateFunction() : std::move(update))
    , mInfo(info)
{
    setPos(pos);
    if (!fixed) {
        setFlag(ItemIsMovable);
        setFlag(ItemIsSelectable);
        setFlag(ItemSendsGeometryChanges);
        setAcceptHoverEvents(true);
    }
}

DivePoint::~DivePoint()
{
    // A context-menu action must not reach a handle that is gone.
    if (currentPoint == this)
        currentPoint = nullptr;
}

QRectF DivePoint::boundingRect() const
{
    const qreal size = sDivePointSize;
    return QRectF(-size / 2, -size / 2, size, size);
}

QPainterPath DivePoint::shape() const
{
    QPainterPath path;
    path.addEllipse(boundingRect());
    return path;
}

void DivePoint::paintHandle(QPainter* painter, const QPointF& centre, bool selected)
{
    // A one-pixel cosmetic pen: drawn by the raster engine's fast path.
    QPen pen;
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->setBrush(selected ? QColor(240, 155, 89) : QColor(Qt::white));
    const qreal size = sDivePointSize;
    painter->drawEllipse(QRectF(centre.x() - size / 2, centre.y() - size / 2, size, size));
}

void DivePoint::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (mDrawnByParent)
        return;
    const DiveProfileItem* item = profileItem();
    if (item != nullptr && !item->clipRect().contains(pos()))
        return; // handles outside the graph area are not drawn
    paintHandle(painter, QPointF(0, 0), isSelected());
}

void DivePoint::placeAt(const QPointF& pos)
{
    mPlacing = true;
    setPos(pos);
    mPlacing = false;
}

void DivePoint::setDrawnByParent(bool drawnByParent)
{
    mDrawnByParent = drawnByParent;
    setFlag(ItemHasNoContents, drawnByParent);
}

void DivePoint::updateInParent(const QPointF& at)
{
    DiveProfileItem* item = mDrawnByParent ? profileItem() : nullptr;
    if (item == nullptr)
        return;
    const qreal reach = sDivePointSize / 2 + 2;
    const QPointF inItem = parentItem() == item ? at : item->mapFromItem(parentItem(), at);
    static_cast<QGraphicsItem*>(item)->update(QRectF(inItem.x() - reach, inItem.y() - reach, 2 * reach, 2 * reach));
}

void DivePoint::setDivePointSize(float size)
{
    sDivePointSize = size;
}

QVariant DivePoint::itemChange(GraphicsItemChange change, const QVariant& value)
{
    switch (change) {
    case ItemPositionChange:
        if (mPlacing || scene() == nullptr)
            break;
        updateInParent(pos());
        if (mUpdate) {
            const QPointF constrained = mUpdate(mInfo, value.toPointF());
            if (const DiveProfileItem* item = profileItem()) {
                const Dive* dive = item->getDiveProfile();
                if (dive != nullptr && mInfo.index >= 0 && mInfo.index < dive->lines.size())
                    setToolTip(DiveProfileItem::divePointToolTip(mInfo.index, dive->lines[mInfo.index]));
            }
            return constrained;
        }
        break;
    case ItemPositionHasChanged:
        if (!mPlacing) {
            updateInParent(pos());
            // A new outline of the group repaints all of it. While the pointer
            // drags this handle nothing needs to find it under the pointer: its
            // group is fitted once, on release.
            DiveProfileItem* item = profileItem();
            if (item != nullptr && (scene() == nullptr || scene()->mouseGrabberItem() != this))
                item->refitPointGroup(parentItem());
        }
        break;
    case ItemSelectedHasChanged:
    case ItemVisibleHasChanged:
        updateInParent(pos());
        break;
    default:
        break;
    }
    return QGraphicsItem::itemChange(change, value);
}

void DivePoint::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    // Lines can change under a handle (renumbering, edits by the planner):
    // the tip is read from the line when the pointer arrives.
    if (const DiveProfileItem* item = profileItem()) {
        const Dive* dive = item->getDiveProfile();
        if (dive != nullptr && mInfo.index >= 0 && mInfo.index < dive->lines.size())
            setToolTip(DiveProfileItem::divePointToolTip(mInfo.index, dive->lines[mInfo.index]));
    }
    QGraphicsItem::hoverEnterEvent(event);
}

void DivePoint::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    mPressPosition = pos();
    QGraphicsItem::mousePressEvent(event);
}

void DivePoint::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::RightButton && contextMenu) {
        currentPoint = this;
        // Shown without a nested event loop: its actions run after this
        // handler returns, so they may delete this handle.
        contextMenu->popup(event->screenPos());
    } else {
        // The handle's own profile item records the move for undo; an item
        // other than the newest one must not receive another item's handles.
        if (DiveProfileItem* item = profileItem())
            item->onDivePointMoved(this, mPressPosition);
        if (sPointHasMoved)
            sPointHasMoved(this, mPressPosition);
    }
    QGraphicsItem::mouseReleaseEvent(event);
}

bool DivePoint::sceneEvent(QEvent* event)
{
    // A drag can also end without a release (a popup takes the pointer): the
    // group the drag left unfitted is fitted then.
    if (event->type() == QEvent::UngrabMouse) {
        if (DiveProfileItem* item = profileItem())
            item->refitPointGroup(parentItem());
    }
    return QGraphicsItem::sceneEvent(event);
}
