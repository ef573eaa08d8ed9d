// Point editing on the profile item: the drag constraint, adding, deleting,
// retiming, redepthing and regassing lines, selection and undo. Every edit
// changes the dive's profile lines in place and repaints.

#include "profilor/diveprofileitem.h"

#include "divedata/dive.h"
#include "profilor/divepoint.h"
#include "profilor/profilestyle.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>

#include <algorithm>
#include <cmath>

namespace {

// Whole seconds of a time, as the view reads times from positions.
double wholeSeconds(double time)
{
    return double(ProfileStyle::saturatedInt(time));
}

} // namespace

void DiveProfileItem::lineEdited(int index)
{
    // Only the speeds into and out of the edited line change (the rest of the
    // profile and the computed ascent keep theirs): a drag step on a long
    // dive does not walk every line.
    QList<DiveLine>& lines = mDive->lines;
    for (int k = std::max(1, index); k <= index + 1 && k < lines.size(); ++k) {
        const double dt = lines[k].timeSec - lines[k - 1].timeSec;
        lines[k].speed = dt > 0.0 ? (lines[k].depth - lines[k - 1].depth) * 60.0 / dt : 0.0;
    }
    if (!lines.isEmpty())
        lines[0].speed = 0.0;
    repaintEditedLines();
}

QPointF DiveProfileItem::updateDivePoint(DiveLineInfo& info, const QPointF& p)
{
    const int i = info.index;
    if (mDive == nullptr || i < 0 || i >= mDive->lines.size())
        return timeDepthToGraphCoordinates(info.time, info.depth);
    QList<DiveLine>& lines = mDive->lines;
    // Line 0 is where the dive starts: it has no previous line to be held
    // against and never moves. A position that is not a number moves nothing.
    if (i == 0 || !std::isfinite(p.x()) || !std::isfinite(p.y()))
        return timeDepthToGraphCoordinates(lines[i].timeSec, lines[i].depth);

    double t = wholeSeconds(mView.xToTime(p.x()));
    // Depth in 0.5 m steps, never below the time axis nor above the surface.
    // The surface applies before the speeds are checked, so that the times
    // are those of the depth the point really gets.
    const double y = std::min(p.y(), mView.timeAxisY);
    double d = std::round(2.0 * (y - mView.graph.y()) / mView.depthScale) * 0.5;
    if (!std::isfinite(d))
        d = lines[i].depth;
    d = std::max(d, 0.0);

    const DiveLine& previous = lines[i - 1];
    if (previous.timeSec > t)
        t = previous.timeSec;
    {
        const double dt = t - previous.timeSec;
        const double dd = d - previous.depth;
        const double speed = 60.0 / dt * dd; // m/min, positive while descending
        if (speed < -vascSpeedLimit)
            t = previous.timeSec + 60.0 * (-dd / vascSpeedLimit);
        else if (speed > vdscSpeedLimit)
            t = previous.timeSec + 60.0 * dd / vdscSpeedLimit;
    }
    // The next line's limits come last and win.
    if (i + 1 < lines.size()) {
        const DiveLine& next = lines[i + 1];
        if (t > next.timeSec)
            t = next.timeSec;
        const double dt = next.timeSec - t;
        const double dd = next.depth - d;
        const double speed = 60.0 / dt * dd;
        if (speed < -vascSpeedLimit)
            t = next.timeSec - 60.0 * std::fabs(dd) / vascSpeedLimit;
        else if (speed > vdscSpeedLimit)
            t = next.timeSec - 60.0 * std::fabs(dd) / vdscSpeedLimit;
    }
    // Between neighbours too close in time for the speed limits on both sides,
    // the next line's limit would put the line before the previous one: the
    // order of the lines comes first, the speed is then simply too fast.
    t = std::max(t, previous.timeSec);

    lines[i].timeSec = t;
    lines[i].depth = d;
    lineEdited(i);
    emit onUpdateDivePoint(i);
    info.time = t;
    info.depth = d;
    const QPointF position = timeDepthToGraphCoordinates(t, d);
    // The dragged handle shows wherever it goes; the cover of the others is
    // worked out again when it is released.
    if (i < mPoints.size() && mPoints[i]->diveLineInfo().index == i && mPoints[i]->isCovered()) {
        mPoints[i]->setCovered(false);
        mPaintedPoints.append(mPoints[i]);
    }
    return position;
}

void DiveProfileItem::addDivePoint(const QPointF& pos)
{
    addDivePoint(wholeSeconds(mView.xToTime(pos.x())), std::round(2.0 * mView.yToDepth(pos.y())) * 0.5);
}

void DiveProfileItem::addDivePoint(double time, double depth)
{
    if (mDive == nullptr || !std::isfinite(time) || !std::isfinite(depth))
        return;
    QList<DiveLine>& lines = mDive->lines;
    // Nothing goes before the start of the dive or above the surface.
    if (!lines.isEmpty())
        time = std::max(time, lines.first().timeSec);
    depth = std::max(depth, 0.0);
    log(QStringLiteral("Time: %1 - Depth: %2").arg(ProfileStyle::shortNumber(time), ProfileStyle::shortNumber(depth)));

    DiveLine line;
    line.timeSec = time;
    line.depth = depth;
    // After every line at the same time or earlier.
    const auto later = std::upper_bound(lines.cbegin(), lines.cend(), time,
                                        [](double t, const DiveLine& l) { return t < l.timeSec; });
    const int index = int(later - lines.cbegin());
    lines.insert(index, line);

    // Handles exist only in edit mode and then match the lines one to one.
    if (mEditMode && mPoints.size() + 1 == lines.size()) {
        // In the group of the handle before it (or after it, at the start).
        QGraphicsItem* group = nullptr;
        if (!mPoints.isEmpty())
            group = mPoints[std::max(0, index - 1)]->parentItem();
        if (group == nullptr)
            group = newPointGroup();
        DivePoint* point = makeDivePoint(index, index == 0, group);
        refitPointGroup(group);
        mPoints.insert(index, point);
        renumberDivePoints(index + 1);
        mUndo.append(PointEdit{PointEdit::Added, point, QPointF()});
    }
    mDive->refreshDerived(Dive::CeilingCurve::Keep);
    updateDivePoints();
    repaintScene();
    emit onAddDivePoint();
}

void DiveProfileItem::addDivePointAfter(int index)
{
    if (mDive == nullptr || index < 0 || index >= mDive->lines.size())
        return;
    const DiveLine& line = mDive->lines[index];
    if (index + 1 == mDive->lines.size()) {
        addDivePoint(line.timeSec + 30.0, line.depth);
        return;
    }
    const DiveLine& next = mDive->lines[index + 1];
    addDivePoint((line.timeSec + next.timeSec) / 2.0, (line.depth + next.depth) / 2.0);
}

void DiveProfileItem::deleteDivePoint(DivePoint* point)
{
    const int index = point != nullptr ? int(mPoints.indexOf(point)) : -1;
    // Only this item's handles; line 0, where the dive starts, stays.
    if (index <= 0 || mDive == nullptr || index >= mDive->lines.size())
        return;
    removeUndoOfPoint(point);
    mDive->lines.removeAt(index);
    mDive->refreshDerived(Dive::CeilingCurve::Keep);
    mPoints.removeAt(index);
    mPaintedPoints.removeOne(point);
    renumberDivePoints(index);
    QGraphicsItem* group = point->parentItem();
    delete point; // leaves the scene
    if (group != nullptr && group != this && group->childItems().isEmpty() && mPointGroups.removeOne(group))
        delete group;
    else
        refitPointGroup(group);
    updateDivePoints();
    repaintScene();
}

void DiveProfileItem::deleteSelectedPoints()
{
    QList<int> indexes;
    for (DivePoint* point : std::as_const(mPoints)) {
        if (point->isSelected()) {
            indexes.append(point->diveLineInfo().index);
            removeUndoOfPoint(point);
        }
    }
    if (mDive != nullptr) {
        std::sort(indexes.begin(), indexes.end(), std::greater<int>());
        indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
        for (int index : std::as_const(indexes)) {
            if (index > 0 && index < mDive->lines.size())
                mDive->lines.removeAt(index);
        }
        mDive->refreshDerived(Dive::CeilingCurve::Keep);
    }
    internalFitAll();
    internalUpdateTitle();
    viewChanged();
    createDivePoints();
}

DivePoint* DiveProfileItem::getDivePointAtIndex(int index) const
{
    if (index >= 0 && index < mPoints.size() && mPoints[index]->diveLineInfo().index == index)
        return mPoints[index];
    const auto found = std::find_if(mPoints.cbegin(), mPoints.cend(),
                                    [index](const DivePoint* p) { return p->diveLineInfo().index == index; });
    return found != mPoints.cend() ? *found : nullptr;
}

void DiveProfileItem::modifyDepthOfDivePoint(int index, double depth)
{
    DivePoint* point = getDivePointAtIndex(index);
    if (point == nullptr || mDive == nullptr || index >= mDive->lines.size() || !std::isfinite(depth))
        return;
    DiveLine& line = mDive->lines[index];
    line.depth = depth;
    mDive->refreshDerived(Dive::CeilingCurve::Keep);
    point->placeAt(timeDepthToGraphCoordinates(line.timeSec, line.depth));
    refitPointGroup(point->parentItem());
    point->diveLineInfo().depth = depth;
    refreshPointToolTip(point);
    repaintScene();
}

bool DiveProfileItem::modifyTimeOfDivePoint(int index, double& time)
{
    DivePoint* point = getDivePointAtIndex(index);
    if (point == nullptr || mDive == nullptr || index >= mDive->lines.size() || !std::isfinite(time))
        return false;
    const QList<DiveLine>& lines = mDive->lines;
    const double requested = time;
    if (index > 0 && time < lines[index - 1].timeSec)
        time = lines[index - 1].timeSec;
    if (index + 1 < lines.size() && time > lines[index + 1].timeSec)
        time = lines[index + 1].timeSec;
    DiveLine& line = mDive->lines[index];
    line.timeSec = time;
    mDive->refreshDerived(Dive::CeilingCurve::Keep);
    point->placeAt(timeDepthToGraphCoordinates(line.timeSec, line.depth));
    refitPointGroup(point->parentItem());
    point->diveLineInfo().time = time;
    refreshPointToolTip(point);
    repaintScene();
    return time != requested;
}

void DiveProfileItem::modifyGasOfDivePoint(int index, int gas)
{
    if (getDivePointAtIndex(index) != nullptr && mDive != nullptr && index < mDive->lines.size())
        mDive->lines[index].gasIndex = gas;
}

void DiveProfileItem::selectPointsInRect(const QRectF& rect)
{
    for (DivePoint* point : std::as_const(mPoints)) {
        if (rect.contains(point->pos()))
            point->setSelected(true);
    }
}

int DiveProfileItem::nbSelectedPoints() const
{
    return int(std::count_if(mPoints.cbegin(), mPoints.cend(), [](const DivePoint* p) { return p->isSelected(); }));
}

QPair<int, int> DiveProfileItem::getSelectedPair() const
{
    // The scene lists items topmost first: the groups, and the handles in each
    // group, in the reverse of their order.
    int first = -1;
    int second = -1;
    for (auto group = mPointGroups.crbegin(); group != mPointGroups.crend() && second < 0; ++group) {
        const QList<QGraphicsItem*> children = (*group)->childItems();
        for (auto it = children.crbegin(); it != children.crend() && second < 0; ++it) {
            if ((*it)->type() != DivePoint::Type || !(*it)->isSelected())
                continue;
            const int index = static_cast<const DivePoint*>(*it)->diveLineInfo().index;
            if (first < 0)
                first = index;
            else
                second = index;
        }
    }
    if (second >= 0 && second < first)
        std::swap(first, second);
    return {first, second};
}

void DiveProfileItem::setShowDivePoints(bool show)
{
    mItemFlags.points = show;
    // Hidden by group: the scene then skips each group whole when painting,
    // instead of stepping over every hidden handle of a long dive.
    for (QGraphicsItem* group : std::as_const(mPointGroups))
        group->setVisible(show);
}

void DiveProfileItem::onDivePointMoved(DivePoint* point, const QPointF& previous)
{
    // Only this item's handles can be undone here.
    if (point != nullptr && point->profileItem() == this) {
        mUndo.append(PointEdit{PointEdit::Moved, point, previous});
        updateCoveredPoints();
        repaintScene();
    }
}

void DiveProfileItem::removeUndoOfPoint(DivePoint* point)
{
    mUndo.removeIf([point](const PointEdit& edit) { return edit.point == point; });
}

bool DiveProfileItem::undoLastPointChange()
{
    if (mUndo.isEmpty())
        return true;
    const PointEdit edit = mUndo.takeLast();
    if (edit.kind == PointEdit::Added)
        deleteDivePoint(edit.point);
    else {
        edit.point->setPos(edit.previous); // runs the drag constraint: writes the line again
        updateCoveredPoints();
        repaintScene();
    }
    return mUndo.isEmpty();
}

void DiveProfileItem::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (!mEditMode || mDive == nullptr) {
        event->ignore();
        return;
    }
    // In edit mode the item takes presses beside the handles, so that it is the
    // last grabber when a double-click follows: the scene turns a double-click
    // into a plain press for any item but the last grabber, and after a handle
    // was dragged the double-click would otherwise add nothing. A plain click
    // beside the handles still clears the selection.
    if (!(event->modifiers() & Qt::ControlModifier) && scene() != nullptr)
        scene()->clearSelection();
    event->accept();
}

void DiveProfileItem::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event)
{
    if (!mEditMode || mDive == nullptr) {
        QGraphicsObject::mouseDoubleClickEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        // Margins, title and axis labels are not part of the profile.
        if (mView.graph.contains(event->pos()))
            addDivePoint(event->pos());
    } else if (event->button() == Qt::MiddleButton) {
        fitAll();
    }
}
