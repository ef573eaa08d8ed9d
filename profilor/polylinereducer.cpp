#include "profilor/polylinereducer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

PolylineReducer::PolylineReducer(double visibleLeft, double visibleRight, double columnWidth, QVector<QPointF>* out)
    : mLeft(visibleLeft)
    , mRight(visibleRight)
    , mColumnWidth(columnWidth > 0.0 && std::isfinite(columnWidth) ? columnWidth : 1.0)
    , mOut(out)
{
}

std::int64_t PolylineReducer::columnOf(double x) const
{
    if (x < mLeft)
        return kLeftOfBand;
    if (x > mRight)
        return kRightOfBand;
    // Inside the band, so the column number is small enough for an integer.
    return std::int64_t(std::floor((x - mLeft) / mColumnWidth));
}

void PolylineReducer::addSlow(const QPointF& point)
{
    if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
        return;
    const std::int64_t key = columnOf(point.x());
    const long serial = mSerial++;
    if (!mHasGroup || key != mKey) {
        flush();
        mHasGroup = true;
        mKey = key;
        mGroupLeft = mLeft + double(key) * mColumnWidth;
        mGroupRight = mGroupLeft + mColumnWidth;
        mCount = 0;
        mFirst = mLast = mTop = mBottom = point;
        mFirstSerial = mLastSerial = mTopSerial = mBottomSerial = serial;
    }
    ++mCount;
    mLast = point;
    mLastSerial = serial;
    if (point.y() < mTop.y()) {
        mTop = point;
        mTopSerial = serial;
    }
    if (point.y() > mBottom.y()) {
        mBottom = point;
        mBottomSerial = serial;
    }
}

void PolylineReducer::finish()
{
    flush();
    mHasGroup = false;
}

void PolylineReducer::flush()
{
    if (!mHasGroup)
        return;
    mHasGroup = false;
    if (mKey == kLeftOfBand || mKey == kRightOfBand) {
        mOut->append(mFirst);
        if (mLastSerial != mFirstSerial)
            mOut->append(mLast);
        return;
    }
    std::array<std::pair<long, QPointF>, 4> keep{{
        {mFirstSerial, mFirst},
        {mTopSerial, mTop},
        {mBottomSerial, mBottom},
        {mLastSerial, mLast},
    }};
    std::sort(keep.begin(), keep.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    long previous = -1;
    for (const auto& [serial, point] : keep) {
        if (serial != previous)
            mOut->append(point);
        previous = serial;
    }
}

QPolygonF fillOutline(const QVector<QPointF>& outline, double visibleLeft, double visibleRight, double columnWidth,
                      double phase)
{
    QPolygonF result;
    if (!(columnWidth > 0.0) || !std::isfinite(columnWidth) || !std::isfinite(phase))
        columnWidth = 1.0, phase = 0.0;
    bool monotonic = true;
    for (qsizetype i = 0; i < outline.size() && monotonic; ++i) {
        const QPointF& p = outline[i];
        monotonic = std::isfinite(p.x()) && std::isfinite(p.y()) && (i == 0 || p.x() >= outline[i - 1].x());
    }
    if (!monotonic || outline.size() < 3) {
        // Column sampling needs the outline in x order. Otherwise keep every point
        // inside the band (exact), and only shorten runs lying wholly outside it.
        qsizetype runStart = -1;
        int runSide = 0;
        auto endRun = [&](qsizetype end) {
            if (runStart < 0)
                return;
            result.append(outline[runStart]);
            if (end - 1 > runStart)
                result.append(outline[end - 1]);
            runStart = -1;
        };
        for (qsizetype i = 0; i < outline.size(); ++i) {
            const QPointF& p = outline[i];
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                continue;
            const int side = p.x() < visibleLeft - 1.0 ? -1 : p.x() > visibleRight + 1.0 ? 1 : 0;
            if (side != 0 && runStart >= 0 && side == runSide)
                continue;
            endRun(i);
            if (side != 0) {
                runStart = i;
                runSide = side;
            } else {
                result.append(p);
            }
        }
        endRun(outline.size());
        return result;
    }

    const QPointF first = outline.first();
    const QPointF last = outline.last();
    result.append(first);
    const double from = std::max(first.x(), visibleLeft);
    const double to = std::min(last.x(), visibleRight);
    if (from < to) {
        // First column centre at or after `from`.
        double k = std::ceil((from - phase) / columnWidth - 0.5);
        qsizetype segment = 1;
        for (double x = phase + (k + 0.5) * columnWidth; x <= to; k += 1.0, x = phase + (k + 0.5) * columnWidth) {
            while (segment < outline.size() - 1 && outline[segment].x() < x)
                ++segment;
            const QPointF& a = outline[segment - 1];
            const QPointF& b = outline[segment];
            const double dx = b.x() - a.x();
            const double y = dx > 0.0 ? a.y() + (b.y() - a.y()) * (x - a.x()) / dx : b.y();
            result.append(QPointF(x, y));
        }
    }
    result.append(last);
    return result;
}
