#pragma once

#include "profilor/profilorglobal.h"

#include <QPointF>
#include <QPolygonF>
#include <QVector>

#include <cstdint>
#include <climits>

// Thins a polyline for drawing without changing what it looks like (exported
// for views that draw long curves of their own, and for the tests).
//
// Consecutive points that fall in the same pixel column are reduced to the first,
// the highest, the lowest and the last of them, in their original order: the
// path still covers the same pixels of that column. A run of consecutive points
// lying entirely left (or right) of the visible band is reduced to its first and
// last point: the straight chord between them stays outside the band too, so the
// visible part of a line, and the odd-even fill of a polygon inside the band, are
// unchanged. Points with a coordinate that is not finite are dropped.
class PROFILOR_EXPORT PolylineReducer
{
public:
    PolylineReducer(double visibleLeft, double visibleRight, double columnWidth, QVector<QPointF>* out);

    void add(const QPointF& point)
    {
        // Called for every point of a dive: the common case (same column) stays inline.
        if (mHasGroup && mKey != kLeftOfBand && mKey != kRightOfBand && point.x() >= mGroupLeft
            && point.x() < mGroupRight && point.y() == point.y()) {
            ++mCount;
            const long serial = mSerial++;
            mLast = point;
            mLastSerial = serial;
            if (point.y() < mTop.y()) {
                mTop = point;
                mTopSerial = serial;
            } else if (point.y() > mBottom.y()) {
                mBottom = point;
                mBottomSerial = serial;
            }
            return;
        }
        addSlow(point);
    }
    // Writes the pending group; call once after the last point.
    void finish();

private:
    static constexpr std::int64_t kLeftOfBand = INT64_MIN;
    static constexpr std::int64_t kRightOfBand = INT64_MAX;

    void addSlow(const QPointF& point);
    void flush();
    std::int64_t columnOf(double x) const;

    double mLeft;
    double mRight;
    double mColumnWidth;
    QVector<QPointF>* mOut;

    bool mHasGroup = false;
    std::int64_t mKey = 0;
    double mGroupLeft = 0.0;  // x range of the current column group
    double mGroupRight = 0.0;
    int mCount = 0;
    long mSerial = 0;
    QPointF mFirst;
    QPointF mLast;
    QPointF mTop;
    QPointF mBottom;
    long mTopSerial = 0;
    long mBottomSerial = 0;
    long mFirstSerial = 0;
    long mLastSerial = 0;
};

// Outline of a polygon to fill, thinned to one vertex per pixel column.
//
// An aliased fill only looks at pixel centres, and for an outline whose x never
// decreases (a profile in time order) a pixel centre is inside exactly when the
// outline crosses its column centre below or above it as before. So the outline
// is resampled at the column centres `phase + (k + 0.5) * columnWidth` inside
// [visibleLeft, visibleRight], keeping its first and last points (the closing
// edge). An outline whose x goes back is thinned by PolylineReducer instead.
PROFILOR_EXPORT QPolygonF fillOutline(const QVector<QPointF>& outline, double visibleLeft, double visibleRight, double columnWidth,
                      double phase);
