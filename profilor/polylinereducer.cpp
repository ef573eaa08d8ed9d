#include "profilor/polylinereducer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr std::int64_t kLeftOfBand = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kRightOfBand = std::numeric_limits<std::int64_t>::max();

} // namespace

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

void PolylineReducer::add(const QPointF& point)
{
    if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
        return;
    const std::int64_t key = columnOf(point.x());
    const long serial = mSerial++;
    if (!mHasGroup || key != mKey) {
        flush();
        mHasGroup = true;
        mKey = key;
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
