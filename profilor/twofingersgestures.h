#pragma once

#include "profilor/profilorglobal.h"

#include <QGesture>
#include <QGestureRecognizer>
#include <QPointF>

class QTouchEvent;

#include <array>

// Two-finger touch gestures of the profile view: a plain gesture that only tells
// that two fingers are down, a horizontal pan and a pinch. The pan and pinch
// recognizers watch the first 10 touch updates before deciding which one it is.

class PROFILOR_EXPORT TwoFingersGesture : public QGesture
{
    Q_OBJECT
public:
    explicit TwoFingersGesture(QObject* parent = nullptr);
};

class PROFILOR_EXPORT TwoFingersPanGesture : public QGesture
{
    Q_OBJECT
public:
    static constexpr int kDecisionSamples = 10;

    explicit TwoFingersPanGesture(QObject* parent = nullptr);

    // Finger 1's movement since the previous touch update; the view pans by its x.
    QPointF offset() const { return mStepOffset; }
    // Finger 1's movement since the gesture was recognised.
    QPointF totalOffset() const { return mTotalOffset; }
    int sampleCount() const { return mSampleCount; }

private:
    friend class TwoFingersPanRecognizer;

    QPointF mStartPoint1;
    QPointF mStartPoint2;
    QPointF mCurrentPoint1;
    QPointF mCurrentPoint2;
    QPointF mTotalOffset;
    QPointF mStepOffset;
    int mSampleCount = 0;
    std::array<double, kDecisionSamples> mSampleDistances{};
    double mLastDistance = 0.0;
};

class PROFILOR_EXPORT TwoFingersPinchGesture : public QGesture
{
    Q_OBJECT
public:
    static constexpr int kDecisionSamples = 10;

    explicit TwoFingersPinchGesture(QObject* parent = nullptr);

    // Finger distance now / distance when the pinch was recognised.
    double totalScaleFactor() const { return mTotalScaleFactor; }
    // Finger distance now / distance at the previous update.
    double scaleFactor() const { return mScaleFactor; }
    // Midpoint of the fingers when the pinch was recognised, in the watched widget.
    QPointF centerPoint() const { return mCenterPoint; }
    // The fingers are at least as far apart vertically as horizontally: zoom depth.
    bool isVertical() const { return mVertical; }
    int sampleCount() const { return mSampleCount; }

private:
    friend class TwoFingersPinchRecognizer;
    void resetValues();

    double mTotalScaleFactor = 1.0;
    double mScaleFactor = 1.0;
    QPointF mCenterPoint;
    bool mVertical = false;
    QPointF mStartPoint1;
    QPointF mStartPoint2;
    QPointF mCurrentPoint1;
    QPointF mCurrentPoint2;
    double mRecognitionDistance = 0.0;
    double mLastDistance = 0.0;
    int mSampleCount = 0;
};

// Qt hands each touch update to the recognizers twice (the event and the copy
// delivered to the widget). Counting both would decide after 5 updates and
// leave a zero step offset; this remembers the last update to skip its repeat.
class PROFILOR_EXPORT TouchRepeatFilter
{
public:
    // True when `touch` repeats the update seen last by this filter.
    bool isRepeat(const QTouchEvent& touch);

private:
    bool mHasLast = false;
    quint64 mTimestamp = 0;
    QPointF mPoint1;
    QPointF mPoint2;
};

// Marks that two fingers are down, library-wide, so that the views ignore the
// mouse moves synthesized from the touch meanwhile.
class PROFILOR_EXPORT TwoFingersRecognizer : public QGestureRecognizer
{
public:
    QGesture* create(QObject* target) override;
    Result recognize(QGesture* gesture, QObject* watched, QEvent* event) override;

    // True between a two-point touch begin and the end (or cancel) of that touch.
    static bool twoFingersDown();
    static void setTwoFingersDown(bool down);
};

class PROFILOR_EXPORT TwoFingersPanRecognizer : public QGestureRecognizer
{
public:
    // Finger-distance change, in pixels, that tells a pinch from a pan.
    static constexpr double kDistanceTolerance = 5.0;
    // Difference between the two fingers' movements, in pixels, that is not a parallel drag.
    static constexpr double kParallelTolerance = 10.0;

    QGesture* create(QObject* target) override;
    Result recognize(QGesture* gesture, QObject* watched, QEvent* event) override;

private:
    TouchRepeatFilter mRepeats;
};

class PROFILOR_EXPORT TwoFingersPinchRecognizer : public QGestureRecognizer
{
public:
    QGesture* create(QObject* target) override;
    Result recognize(QGesture* gesture, QObject* watched, QEvent* event) override;
    void reset(QGesture* gesture) override;

private:
    TouchRepeatFilter mRepeats;
};
