#pragma once

#include <QPointF>
#include <QVector>

#include <cstdint>

// Thins a polyline for drawing without changing what it looks like.
//
// Consecutive points that fall in the same pixel column are reduced to the first,
// the highest, the lowest and the last of them, in their original order: the
// path still covers the same pixels of that column. A run of consecutive points
// lying entirely left (or right) of the visible band is reduced to its first and
// last point: the straight chord between them stays outside the band too, so the
// visible part of a line, and the odd-even fill of a polygon inside the band, are
// unchanged. Points with a coordinate that is not finite are dropped.
class PolylineReducer
{
public:
    PolylineReducer(double visibleLeft, double visibleRight, double columnWidth, QVector<QPointF>* out);

    void add(const QPointF& point);
    // Writes the pending group; call once after the last point.
    void finish();

private:
    void flush();
    std::int64_t columnOf(double x) const;

    double mLeft;
    double mRight;
    double mColumnWidth;
    QVector<QPointF>* mOut;

    bool mHasGroup = false;
    std::int64_t mKey = 0;
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
