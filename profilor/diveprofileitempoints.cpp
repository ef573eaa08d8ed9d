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

#include <cmath>
#include <utility>

DivePoint* DiveProfileItem::makeDivePoint(int index, bool fixed)
{
    const DiveLine& line = mDive->lines[index];
    const DiveLineInfo info{index, line.timeSec, line.depth};
    auto constraint = [this](DiveLineInfo& lineInfo, const QPointF& p) { return updateDivePoint(lineInfo, p); };
    auto* point = new DivePoint(this, timeDepthToGraphCoordinates(line.timeSec, line.depth), info, constraint,
                                fixed); // owned by this item
    point->setToolTip(divePointToolTip(index, line));
    point->setVisible(mItemFlags.points);
    return point;
}

void DiveProfileItem::createDivePoints()
{
    // The undo records and the context-menu point refer to the handles about
    // to be deleted: they go with them.
    mUndo.clear();
    DivePoint::currentPoint = nullptr;
    const QVector<DivePoint*> old = std::exchange(mPoints, {});
    for (DivePoint* point : old)
        delete point;
    // Handles of another origin (none are made elsewhere, but the type is public).
    const QList<QGraphicsItem*> children = childItems();
    for (QGraphicsItem* child : children) {
        if (child->type() == DivePoint::Type)
            delete child;
    }

    // Outside edit mode no handles are kept, so none can outlive their lines.
    if (!mEditMode || mDive == nullptr)
        return;
    const int count = int(mDive->lines.size());
    mPoints.reserve(count);
    for (int k = 0; k < count; ++k)
        mPoints.append(makeDivePoint(k, k == 0)); // the dive starts at point 0: it cannot move
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
    // Handle k is covered when handle k + 1, painted after it, sits on the same
    // pixel: on a dive of thousands of lines only one handle per pixel is drawn.
    const qsizetype count = mPoints.size();
    for (qsizetype k = 0; k < count; ++k) {
        bool covered = false;
        if (k + 1 < count) {
            const QPointF a = mPoints[k]->pos();
            const QPointF b = mPoints[k + 1]->pos();
            covered = std::lround(a.x()) == std::lround(b.x()) && std::lround(a.y()) == std::lround(b.y());
        }
        mPoints[k]->setCovered(covered);
    }
}
