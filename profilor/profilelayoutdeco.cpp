#include "profilor/profilelayout_p.h"

#include "divedata/dive.h"
#include "profilor/marker.h"
#include "profilor/profilestyle.h"

#include <cmath>

namespace {

QString stopLabel(const DiveLine& line, const DiveLine& before)
{
    return QStringLiteral("%1m %2")
        .arg(ProfileStyle::shortNumber(line.depth), Dive::formatDuration(line.timeSec - before.timeSec));
}

QColor yoyoColour(int level)
{
    switch (level) {
    case 0:
        return QColor(0, 160, 0);
    case 1:
        return QColor(Qt::blue);
    case 2:
        return QColor(255, 170, 0);
    default:
        return QColor(Qt::red);
    }
}

constexpr double kLabelReach = 200.0;

} // namespace

QPolygonF LayoutBuilder::reducedPolyline(const QList<DiveLine>& lines) const
{
    QPolygonF polyline;
    PolylineReducer reducer(mClip.left() - 4.0, mClip.right() + 4.0, mInput.columnWidth, &polyline);
    for (const DiveLine& line : lines)
        reducer.add(mView.toItem(line.timeSec, line.depth));
    reducer.finish();
    return polyline;
}

void LayoutBuilder::buildYoyos()
{
    int number = 0;
    for (const CurvePoint& p : mDive.yoyoList) {
        ++number;
        const QPointF centre = mView.toItem(p.time, p.depth);
        if (nearClip(centre, 8.0) || (centre.x() <= mClip.right() && centre.x() >= mClip.left() - kLabelReach))
            mOut.yoyos.push_back({centre, yoyoColour(p.level), number});
    }
}

void LayoutBuilder::buildDeco()
{
    const QList<DiveLine>& deco = mDive.decoLines;
    mOut.decoLine = reducedPolyline(deco);

    int currentGas = mDive.lines.last().gasIndex;
    for (qsizetype j = 0; j < deco.size(); ++j) {
        const DiveLine& line = deco[j];
        const QPointF point = mView.toItem(line.timeSec, line.depth);
        if (line.gasIndex != currentGas && line.gasIndex >= 0) {
            currentGas = line.gasIndex;
            addPicture(mOut.decoPictures, &Marker::mMarkOxygenTank, point + QPointF(-24, -12));
        }
        if (std::fabs(line.speed) < 0.01 && j > 0) {
            // Stop labels decide the pen the ceiling-tracking line is drawn with
            // even when they fall outside the view.
            mOut.ceilTrackingInLabelPen = true;
            const QPointF at = point + QPointF(8, 0);
            if (at.x() <= mClip.right() && at.x() >= mClip.left() - kLabelReach)
                mOut.decoLabels.push_back({at, stopLabel(line, deco[j - 1]), QColor(Qt::blue), QRectF()});
        }
    }
    mOut.ceilTrackingLine = reducedPolyline(mDive.ceilTrackingLines);
}

void LayoutBuilder::buildCeiling()
{
    const QList<CurvePoint>& profile = mDive.ceilingProfile;
    if (profile.isEmpty() || !mInput.flags.deco)
        return;
    QVector<QPointF> outline;
    outline.reserve(profile.size() + 2);
    outline.append(mView.toItem(profile.first().time, 0.0));
    for (const CurvePoint& p : profile)
        outline.append(mView.toItem(p.time, p.depth));
    outline.append(mView.toItem(profile.last().time, 0.0));
    mOut.ceiling = fillOutline(outline, mClip.left(), mClip.right(), mInput.columnWidth, mInput.columnPhase);
    mOut.decoNotTerminated = mDive.decoNotTerminated;
    mOut.lastCeilingPoint = mView.toItem(profile.last().time, profile.last().depth);
}

void LayoutBuilder::buildOverlay()
{
    const QList<DiveLine>& overlay = mDive.overlayLines;
    if (overlay.isEmpty() || !mInput.flags.deco)
        return;
    // Dashed: thinning would shift the dashes, so every point is kept.
    for (const DiveLine& line : overlay) {
        const QPointF point = mView.toItem(line.timeSec, line.depth);
        if (std::isfinite(point.x()) && std::isfinite(point.y()))
            mOut.overlayLine.append(point);
    }
    for (qsizetype j = 1; j < overlay.size(); ++j) {
        const DiveLine& line = overlay[j];
        if (line.depth >= 0.01 && std::fabs(line.depth - overlay[j - 1].depth) <= 0.01) {
            const QPointF at = mView.toItem(line.timeSec, line.depth) + QPointF(8, 0);
            if (at.x() <= mClip.right() && at.x() >= mClip.left() - kLabelReach)
                mOut.overlayLabels.push_back({at, stopLabel(line, overlay[j - 1]), QColor(230, 120, 0), QRectF()});
        }
    }
}
