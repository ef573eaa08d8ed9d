#include "profilor/twofingersgestures.h"

#include <QLineF>
#include <QTouchEvent>

#include <algorithm>
#include <cmath>

namespace {

bool sTwoFingersDown = false;

// The touch event when it carries exactly two points, else null.
const QTouchEvent* twoPointTouch(const QEvent* event)
{
    const auto* touch = static_cast<const QTouchEvent*>(event);
    return touch->points().size() == 2 ? touch : nullptr;
}

bool isTouchEvent(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        return true;
    default:
        return false;
    }
}

bool isActive(const QGesture* gesture)
{
    return gesture->state() == Qt::GestureStarted || gesture->state() == Qt::GestureUpdated;
}

double distance(const QPointF& a, const QPointF& b)
{
    return QLineF(a, b).length();
}

} // namespace

TwoFingersGesture::TwoFingersGesture(QObject* parent)
    : QGesture(parent)
{
}

TwoFingersPanGesture::TwoFingersPanGesture(QObject* parent)
    : QGesture(parent)
{
}

TwoFingersPinchGesture::TwoFingersPinchGesture(QObject* parent)
    : QGesture(parent)
{
}

void TwoFingersPinchGesture::resetValues()
{
    mTotalScaleFactor = 1.0;
    mScaleFactor = 1.0;
    mCenterPoint = QPointF();
    mVertical = false;
    mStartPoint1 = mStartPoint2 = mCurrentPoint1 = mCurrentPoint2 = QPointF();
    mRecognitionDistance = 0.0;
    mLastDistance = 0.0;
    mSampleCount = 0;
}

bool TouchRepeatFilter::isRepeat(const QTouchEvent& touch)
{
    const QPointF p1 = touch.points().at(0).position();
    const QPointF p2 = touch.points().at(1).position();
    const bool repeat = mHasLast && touch.timestamp() == mTimestamp && p1 == mPoint1 && p2 == mPoint2;
    mHasLast = true;
    mTimestamp = touch.timestamp();
    mPoint1 = p1;
    mPoint2 = p2;
    return repeat;
}

// Plain two-finger recognizer ------------------------------------------------

QGesture* TwoFingersRecognizer::create(QObject*)
{
    return new TwoFingersGesture; // owned by Qt's gesture manager
}

QGestureRecognizer::Result TwoFingersRecognizer::recognize(QGesture*, QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
        if (twoPointTouch(event) == nullptr)
            return Ignore;
        sTwoFingersDown = true;
        return TriggerGesture;
    case QEvent::TouchUpdate:
        return TriggerGesture;
    case QEvent::TouchEnd:
        sTwoFingersDown = false;
        return FinishGesture;
    case QEvent::TouchCancel:
        // A cancelled touch never sends its end: without this the flag would stay
        // set and every view would ignore mouse moves from then on.
        sTwoFingersDown = false;
        return CancelGesture;
    default:
        return Ignore;
    }
}

bool TwoFingersRecognizer::twoFingersDown()
{
    return sTwoFingersDown;
}

void TwoFingersRecognizer::setTwoFingersDown(bool down)
{
    sTwoFingersDown = down;
}

// Pan recognizer -------------------------------------------------------------

QGesture* TwoFingersPanRecognizer::create(QObject*)
{
    return new TwoFingersPanGesture;
}

QGestureRecognizer::Result TwoFingersPanRecognizer::recognize(QGesture* state, QObject*, QEvent* event)
{
    if (!isTouchEvent(event))
        return Ignore;
    auto* gesture = static_cast<TwoFingersPanGesture*>(state);
    const QTouchEvent* touch = twoPointTouch(event);

    switch (event->type()) {
    case QEvent::TouchBegin:
        if (touch == nullptr)
            return Ignore;
        gesture->mSampleCount = 0;
        return MayBeGesture;

    case QEvent::TouchUpdate: {
        if (touch == nullptr || mRepeats.isRepeat(*touch))
            return Ignore;
        const QPointF p1 = touch->points().at(0).position();
        const QPointF p2 = touch->points().at(1).position();
        gesture->mStepOffset = p1 - gesture->mCurrentPoint1;
        gesture->mCurrentPoint1 = p1;
        gesture->mCurrentPoint2 = p2;
        const double d = distance(p1, p2);

        if (gesture->mSampleCount >= TwoFingersPanGesture::kDecisionSamples) {
            if (std::fabs(d - gesture->mLastDistance) >= kDistanceTolerance) {
                gesture->mSampleCount = 0; // the fingers pinch: not a pan any more
                return CancelGesture;
            }
            gesture->mTotalOffset = gesture->mCurrentPoint1 - gesture->mStartPoint1;
            return TriggerGesture;
        }

        if (gesture->mSampleCount == 0) {
            gesture->mStartPoint1 = p1;
            gesture->mStartPoint2 = p2;
        }
        gesture->mLastDistance = d;
        gesture->mSampleDistances[std::size_t(gesture->mSampleCount)] = d;
        ++gesture->mSampleCount;
        if (gesture->mSampleCount == TwoFingersPanGesture::kDecisionSamples) {
            const auto [low, high] = std::minmax_element(gesture->mSampleDistances.begin(),
                                                         gesture->mSampleDistances.end());
            const QPointF move1 = gesture->mCurrentPoint1 - gesture->mStartPoint1;
            const QPointF move2 = gesture->mCurrentPoint2 - gesture->mStartPoint2;
            if (*high - *low > kDistanceTolerance
                || std::fabs(move1.x() - move2.x()) > kParallelTolerance
                || std::fabs(move1.y() - move2.y()) > kParallelTolerance) {
                gesture->mSampleCount = 0;
                return CancelGesture;
            }
        }
        return Ignore; // still deciding
    }

    case QEvent::TouchEnd:
        if (isActive(gesture)) {
            gesture->mSampleCount = 0;
            return FinishGesture;
        }
        return Ignore;

    case QEvent::TouchCancel:
        gesture->mSampleCount = 0;
        return CancelGesture;

    default:
        return Ignore;
    }
}

// Pinch recognizer -----------------------------------------------------------

QGesture* TwoFingersPinchRecognizer::create(QObject*)
{
    return new TwoFingersPinchGesture;
}

QGestureRecognizer::Result TwoFingersPinchRecognizer::recognize(QGesture* state, QObject*, QEvent* event)
{
    if (!isTouchEvent(event))
        return Ignore;
    auto* gesture = static_cast<TwoFingersPinchGesture*>(state);
    const QTouchEvent* touch = twoPointTouch(event);

    switch (event->type()) {
    case QEvent::TouchBegin:
        if (touch == nullptr)
            return Ignore;
        gesture->mSampleCount = 0;
        return MayBeGesture;

    case QEvent::TouchUpdate: {
        if (touch == nullptr || mRepeats.isRepeat(*touch))
            return Ignore;
        gesture->mCurrentPoint1 = touch->points().at(0).position();
        gesture->mCurrentPoint2 = touch->points().at(1).position();
        const double d = distance(gesture->mCurrentPoint1, gesture->mCurrentPoint2);

        if (gesture->mSampleCount >= TwoFingersPinchGesture::kDecisionSamples) {
            // Fingers that met leave no distance to divide by: keep the previous scale.
            if (gesture->mLastDistance > 0.0)
                gesture->mScaleFactor = d / gesture->mLastDistance;
            if (gesture->mRecognitionDistance > 0.0)
                gesture->mTotalScaleFactor = d / gesture->mRecognitionDistance;
            gesture->mLastDistance = d;
            const QPointF apart = gesture->mCurrentPoint2 - gesture->mCurrentPoint1;
            gesture->mVertical = std::fabs(apart.x()) <= std::fabs(apart.y());
            return TriggerGesture;
        }

        ++gesture->mSampleCount;
        if (gesture->mSampleCount == 1) {
            gesture->mStartPoint1 = gesture->mCurrentPoint1;
            gesture->mStartPoint2 = gesture->mCurrentPoint2;
        }
        if (gesture->mSampleCount == TwoFingersPinchGesture::kDecisionSamples) {
            const QPointF move1 = gesture->mCurrentPoint1 - gesture->mStartPoint1;
            const QPointF move2 = gesture->mCurrentPoint2 - gesture->mStartPoint2;
            if (QPointF::dotProduct(move1, move2) > 0.0) {
                gesture->mSampleCount = 0; // both fingers move the same way: a pan
                return CancelGesture;
            }
            gesture->mRecognitionDistance = d;
            gesture->mLastDistance = d;
            gesture->mCenterPoint = (gesture->mCurrentPoint1 + gesture->mCurrentPoint2) / 2.0;
        }
        return Ignore; // still deciding
    }

    case QEvent::TouchEnd:
        if (isActive(gesture)) {
            gesture->mSampleCount = 0;
            return FinishGesture;
        }
        return Ignore;

    case QEvent::TouchCancel:
        gesture->mSampleCount = 0;
        return CancelGesture;

    default:
        return Ignore;
    }
}

void TwoFingersPinchRecognizer::reset(QGesture* state)
{
    static_cast<TwoFingersPinchGesture*>(state)->resetValues();
    QGestureRecognizer::reset(state);
}
