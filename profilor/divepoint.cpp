#include "profilor/divepoint.h"

#include "divedata/dive.h"
#include "profilor/diveprofileitem.h"

#include <QGraphicsSceneMouseEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

float DivePoint::sDivePointSize = 10.0f;
std::function<void(DivePoint*, const QPointF&)> DivePoint::sPointHasMoved;
QPointer<QMenu> DivePoint::contextMenu;
DivePoint* DivePoint::currentPoint = nullptr;

namespace {

DiveProfileItem* profileItemOf(const QGraphicsItem* point)
{
    QGraphicsItem* parent = point->parentItem();
    return parent != nullptr ? qobject_cast<DiveProfileItem*>(parent->toGraphicsObject()) : nullptr;
}

} // namespace

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

void DivePoint::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const DiveProfileItem* item = profileItemOf(this);
    if (item != nullptr && !item->clipRect().contains(pos()))
        return; // handles outside the graph area are not drawn
    painter->setPen(QPen());
    painter->setBrush(isSelected() ? QColor(240, 155, 89) : QColor(Qt::white));
    painter->drawEllipse(boundingRect());
}

void DivePoint::placeAt(const QPointF& pos)
{
    mPlacing = true;
    setPos(pos);
    mPlacing = false;
}

void DivePoint::setCovered(bool covered)
{
    if (covered == mCovered)
        return;
    mCovered = covered;
    // A covered handle is not painted, unless selected (its colour must show).
    setFlag(ItemHasNoContents, mCovered && !isSelected());
}

void DivePoint::setDivePointSize(float size)
{
    sDivePointSize = size;
}

QVariant DivePoint::itemChange(GraphicsItemChange change, const QVariant& value)
{
    if (change == ItemPositionChange && scene() != nullptr && mUpdate && !mPlacing) {
        const QPointF constrained = mUpdate(mInfo, value.toPointF());
        if (const DiveProfileItem* item = profileItemOf(this)) {
            const Dive* dive = item->getDiveProfile();
            if (dive != nullptr && mInfo.index >= 0 && mInfo.index < dive->lines.size())
                setToolTip(DiveProfileItem::divePointToolTip(mInfo.index, dive->lines[mInfo.index]));
        }
        return constrained;
    }
    if (change == ItemSelectedHasChanged && mCovered)
        setFlag(ItemHasNoContents, !value.toBool());
    return QGraphicsItem::itemChange(change, value);
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
        if (DiveProfileItem* item = profileItemOf(this))
            item->onDivePointMoved(this, mPressPosition);
        if (sPointHasMoved)
            sPointHasMoved(this, mPressPosition);
    }
    QGraphicsItem::mouseReleaseEvent(event);
}
