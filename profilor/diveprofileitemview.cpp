// The coordinate system of the profile item: geometry, fitting, zoom and pan.

#include "profilor/diveprofileitem.h"

#include "divedata/dive.h"
#include "profilor/profilestyle.h"

#include <algorithm>
#include <cmath>

namespace {

bool positiveFinite(double v)
{
    return std::isfinite(v) && v > 0.0;
}

} // namespace

void DiveProfileItem::resize(const QRectF& rect)
{
    prepareGeometryChange();
    mView.itemRect = rect;
    mView.graph = QRectF(rect.x() + ProfileView::kMarginLeft, rect.y() + ProfileView::kMarginTop,
                         rect.width() - ProfileView::kMarginLeft - ProfileView::kMarginRight,
                         rect.height() - ProfileView::kMarginTop - ProfileView::kMarginBottom);
    mView.timeAxisY = mView.graph.y() + mView.graph.height();
    mClipRect = mView.graph;
    internalFitAll();
    updateDivePoints();
    viewChanged();
}

QRectF DiveProfileItem::boundingRect() const
{
    return mView.itemRect;
}

void DiveProfileItem::internalFitAll()
{
    if (mDive == nullptr)
        return;
    // Fitting reads the statistics only: the speeds and the ceiling stay as
    // their producer left them.
    mDive->computeStatistics();
    ProfileView& v = mView;
    v.depthRange = std::ceil(mDive->maxDepth);
    v.startTime = 0.0;
    v.endTime = mDive->maxTime;
    // Room on the right for the stop labels of a computed ascent.
    const double labelRoom = mDive->decoLines.size() >= 3 ? kStopLabelRoom : 0.0;
    v.timeScale = mDive->maxTime > 0.0 ? (v.graph.width() - labelRoom) / mDive->maxTime : 1.0;
    v.depthScale = v.depthRange > 0.0 ? (v.graph.height() - v.bottomReserve) / v.depthRange : 1.0;
    const double band = v.graph.height() / 3.2;
    v.temperatureScale = band / std::max(5.0, mDive->maxTemperature - mDive->minTemperature);
    v.pressureScale = band / std::max(5.0, double(mDive->maxTankPressure) - double(mDive->minTankPressure));
}

void DiveProfileItem::zoom(Axis::AxisIn axis, double factor, double position)
{
    if (mDive == nullptr || !positiveFinite(factor))
        return;
    // A wild factor (a huge wheel delta, fingers that met) zooms by a bounded step.
    factor = std::clamp(factor, kMinZoomFactor, kMaxZoomFactor);
    ProfileView& v = mView;

    if (axis != Axis::Time) {
        double range = std::ceil(factor * v.depthRange);
        const double bottom = std::ceil(mDive->maxDepth);
        if (range < bottom)
            range = bottom; // never hide the bottom of the dive
        if (range > kMaxDepthRange)
            range = kMaxDepthRange;
        const double usable = v.graph.height() - v.bottomReserve;
        if (!positiveFinite(range) || !positiveFinite(usable))
            return;
        v.depthRange = range;
        v.depthScale = usable / range;
    } else {
        const double duration = mDive->maxTime;
        const double span = v.endTime - v.startTime;
        if (!positiveFinite(duration) || !positiveFinite(span) || !positiveFinite(v.graph.width())
            || !positiveFinite(v.timeScale))
            return;
        double newSpan = span / factor;
        if (newSpan > 2.0 * duration) {
            v.startTime = 0.0;
            v.endTime = 2.0 * duration;
        } else {
            // Zooming in stops at a few seconds across the graph.
            newSpan = std::max(newSpan, std::min(kMinTimeSpan, span));
            const double stepFactor = span / newSpan;
            const double t = xpositionToTime(position); // stays under the pointer
            v.startTime = std::max(0.0, t - (t - v.startTime) / stepFactor);
            v.endTime = v.startTime + newSpan;
        }
        v.timeScale = v.graph.width() / (v.endTime - v.startTime);
    }
    updateDivePoints();
    viewChanged();
}

void DiveProfileItem::pan(double dx)
{
    if (mDive == nullptr)
        return;
    const double dt = dx / mView.timeScale;
    if (!std::isfinite(dt) || mView.startTime + dt < 0.0)
        return; // panning stops at time 0 (refused as a whole)
    mView.startTime += dt;
    mView.endTime += dt;
    updateDivePoints();
    viewChanged();
}

QPointF DiveProfileItem::timeDepthToGraphCoordinates(double time, double depth) const
{
    return mView.toItem(time, depth);
}

QPointF DiveProfileItem::diveLineToGraphCoordinates(const DiveLine& line, QPointF* temperaturePoint,
                                                    QPointF* pressurePoint) const
{
    const QPointF point = mView.toItem(line.timeSec, line.depth);
    if (mDive != nullptr && temperaturePoint != nullptr) {
        *temperaturePoint = QPointF(point.x(), (mDive->maxTemperature - line.ambientTemp) * mView.temperatureScale
                                                   + 2.0 * mView.graph.height() / 3.0 + mView.graph.y());
    }
    if (mDive != nullptr && pressurePoint != nullptr) {
        *pressurePoint = QPointF(point.x(),
                                 double(int(mDive->maxTankPressure) - int(line.tankPressure)) * mView.pressureScale
                                     + mView.graph.height() / 3.0 + mView.graph.y());
    }
    return point;
}

int DiveProfileItem::xpositionToTime(double x) const
{
    // Measured from the graph origin, so that it inverts timeDepthToGraphCoordinates
    // wherever the item rectangle starts.
    return ProfileStyle::saturatedInt(mView.xToTime(x));
}

double DiveProfileItem::timeToXposition(int time) const
{
    return mView.timeToX(time);
}

double DiveProfileItem::ypositionToDepth(double y) const
{
    return mView.yToDepth(y);
}

bool DiveProfileItem::pointInRect(const QPointF& p) const
{
    return QRectF(mView.origin(), QSizeF(mView.graph.width(), mView.timeAxisY)).contains(p);
}
