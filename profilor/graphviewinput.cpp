// Input of the graph view: mouse, wheel, keys, context menu, drops, resizing
// and the two-finger gestures.

#include "profilor/graphview.h"

#include "divedata/dive.h"
#include "profilor/divepoint.h"
#include "profilor/diveprofileitem.h"
#include "profilor/profilestyle.h"
#include "profilor/twofingersgestures.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGestureEvent>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// A zoom factor bounded to the steps the item accepts: a huge wheel step or a
// pinch whose fingers started at one point zooms by the largest step instead
// of jumping to a degenerate view. NaN (no distance at all) means no zoom.
double boundedZoomFactor(double factor)
{
    if (std::isnan(factor))
        return 1.0;
    return std::clamp(factor, DiveProfileItem::kMinZoomFactor, DiveProfileItem::kMaxZoomFactor);
}

bool onlyModifier(const QMouseEvent* event, Qt::KeyboardModifier modifier)
{
    return event->modifiers() == Qt::KeyboardModifiers(modifier);
}

} // namespace

template<typename Handler>
void GraphView::forwardWithControl(QMouseEvent* event, Handler handler)
{
    QMouseEvent copy(event->type(), event->position(), event->scenePosition(), event->globalPosition(),
                     event->button(), event->buttons(), event->modifiers() | Qt::ControlModifier,
                     event->pointingDevice());
    copy.setAccepted(event->isAccepted());
    handler(&copy);
    event->setAccepted(copy.isAccepted());
}

void GraphView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    const QPointF scenePoint = mapToScene(event->position().toPoint());
    if (insideGraph(scenePoint)) {
        mPressPoint = scenePoint;
        mSelectionStart = timeAtSceneX(scenePoint.x());
        emit clickDown(mSelectionStart);
    }
    if (!mMultiSelect) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    const QList<QGraphicsItem*> under =
        mScene->items(scenePoint, Qt::IntersectsItemShape, Qt::DescendingOrder, viewportTransform());
    const bool onPoint = std::any_of(under.cbegin(), under.cend(),
                                     [](const QGraphicsItem* item) { return item->type() == DivePoint::Type; });
    if (!onPoint)
        mScene->clearSelection();
    forwardWithControl(event, [this](QMouseEvent* e) { QGraphicsView::mousePressEvent(e); });
}

void GraphView::mouseMoveEvent(QMouseEvent* event)
{
    // Moves synthesized from a two-finger touch would drag the cursor around.
    if (TwoFingersRecognizer::twoFingersDown())
        return;
    if (getDiveProfile() != nullptr) {
        const QPointF scenePoint = mapToScene(event->position().toPoint());
        const bool inside = insideGraph(scenePoint);
        const bool left = event->buttons().testFlag(Qt::LeftButton);
        if (mPressPoint.x() < 0.0) {
            placeVerticalLine(mCursorLine, std::trunc(scenePoint.x()));
            mCursorLine->setVisible(inside);
            emit mouseMove(scenePoint, timeAtSceneX(scenePoint.x()));
        } else if (left && onlyModifier(event, Qt::ControlModifier)) {
            mCurrentCorner = scenePoint;
            mSelectionRect->setRect(QRectF(mPressPoint, mCurrentCorner).normalized());
            mSelectionRect->setVisible(inside);
        } else if (left && onlyModifier(event, Qt::ShiftModifier)) {
            if (mSelectionEnabled) {
                placeVerticalLine(mSelectionEndLine, std::trunc(scenePoint.x()));
                updateBandFromLines();
                mSelectionEndLine->setVisible(inside);
                mSelectionRect->setVisible(inside);
                mSelectionEnd = timeAtSceneX(scenePoint.x());
                emit mouseMove(scenePoint, mSelectionEnd);
            }
        } else if (event->buttons().testFlag(Qt::MiddleButton)) {
            const double previous = mPressPoint.x();
            mPressPoint.setX(scenePoint.x());
            const double dx = scenePoint.x() - previous;
            if (dx != 0.0)
                panByPixels(-dx); // the profile follows the pointer
        }
    }
    QGraphicsView::mouseMoveEvent(event);
}

void GraphView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        QGraphicsView::mouseReleaseEvent(event);
        return;
    }
    const QPointF scenePoint = mapToScene(event->position().toPoint());
    const bool inside = insideGraph(scenePoint);
    if (event->button() == Qt::LeftButton && onlyModifier(event, Qt::ShiftModifier)) {
        const int t = inside ? timeAtSceneX(scenePoint.x()) : -1;
        if (mSelectionStart >= 0 && inside) {
            // A range dragged right to left is stored in time order.
            if (t <= mSelectionStart) {
                mSelectionEnd = mSelectionStart;
                mSelectionStart = t;
            } else {
                mSelectionEnd = t;
            }
        }
        mSelectionEndLine->setVisible(false);
        emit clickRelease(t);
    } else if (event->button() == Qt::LeftButton && onlyModifier(event, Qt::ControlModifier)) {
        if (inside)
            emit selectInRect(QRectF(mPressPoint, scenePoint).normalized());
        mSelectionRect->setVisible(false);
    }
    if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton)
        mPressPoint.setX(-1.0);

    if (mMultiSelect)
        forwardWithControl(event, [this](QMouseEvent* e) { QGraphicsView::mouseReleaseEvent(e); });
    else
        QGraphicsView::mouseReleaseEvent(event);
}

void GraphView::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    if (delta.x() == 0) {
        const QPointF scenePoint = mapToScene(event->position().toPoint());
        const bool control = ((QGuiApplication::keyboardModifiers() | event->modifiers()) & Qt::ControlModifier) != 0;
        // One notch (120) zooms by 1.2, one notch back by 0.8.
        const double factor = boundedZoomFactor(1.0 + delta.y() / 600.0);
        mProfileItem->zoom(control ? Axis::Depth : Axis::Time, factor, scenePoint.x());
    } else {
        panByPixels(delta.x());
    }
    event->accept();
}

void GraphView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        mSelectionRect->setVisible(false);
}

void GraphView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!mContextMenuCallback)
        return;
    QMenu menu(this);
    if (mContextMenuCallback(menu))
        menu.exec(event->globalPos());
}

void GraphView::dragEnterEvent(QDragEnterEvent* event)
{
    event->setDropAction(event->proposedAction());
    event->accept();
}

void GraphView::dragMoveEvent(QDragMoveEvent* event)
{
    event->setDropAction(event->proposedAction());
    event->accept();
}

void GraphView::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
}

void GraphView::dropEvent(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (data == nullptr || !data->hasUrls()) {
        event->ignore();
        return;
    }
    QList<QString> files;
    const QList<QUrl> urls = data->urls();
    const qsizetype count = std::min<qsizetype>(urls.size(), kMaxDroppedFiles);
    files.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        files.append(urls[i].toLocalFile());
    emit dragDropFiles(files);
    event->setDropAction(event->proposedAction());
    event->accept();
}

void GraphView::resizeEvent(QResizeEvent* event)
{
    const QRectF rect(QPointF(0.0, 0.0), QSizeF(viewport()->size()));
    mScene->setSceneRect(rect);
    mProfileItem->resize(rect);
    for (QGraphicsLineItem* line : {mCursorLine, mSelectionEndLine}) {
        const QLineF l = line->line();
        line->setLine(QLineF(l.x1(), l.y1(), l.x2(), rect.height()));
    }
    updateBandFromLines();
    QGraphicsView::resizeEvent(event);
}

bool GraphView::event(QEvent* event)
{
    if (event->type() == QEvent::Gesture)
        return gestureEvent(static_cast<QGestureEvent*>(event));
    return QGraphicsView::event(event);
}

bool GraphView::viewportEvent(QEvent* event)
{
    return QGraphicsView::viewportEvent(event);
}

void GraphView::enableTouchScreen(bool on)
{
    mTouchEnabled = on;
    if (!on)
        return;
    if (!mRecognizersRegistered) {
        // Qt's gesture framework owns the recognizers.
        mPanGesture = QGestureRecognizer::registerRecognizer(new TwoFingersPanRecognizer);
        mPinchGesture = QGestureRecognizer::registerRecognizer(new TwoFingersPinchRecognizer);
        mTwoFingersGesture = QGestureRecognizer::registerRecognizer(new TwoFingersRecognizer);
        mRecognizersRegistered = true;
    }
    setAttribute(Qt::WA_AcceptTouchEvents);
    viewport()->setAttribute(Qt::WA_AcceptTouchEvents);
    grabGesture(mPanGesture);
    grabGesture(mPinchGesture);
    grabGesture(mTwoFingersGesture);
}

bool GraphView::gestureEvent(QGestureEvent* event)
{
    event->accept();
    if (getDiveProfile() == nullptr)
        return true;
    const QList<QGesture*> gestures = event->gestures();
    for (QGesture* gesture : gestures) {
        if (auto* pan = qobject_cast<TwoFingersPanGesture*>(gesture)) {
            panCustomTriggered(pan);
            return true;
        }
    }
    for (QGesture* gesture : gestures) {
        if (auto* pinch = qobject_cast<TwoFingersPinchGesture*>(gesture)) {
            pinchCustomTriggered(pinch);
            return true;
        }
    }
    return true;
}

void GraphView::panCustomTriggered(TwoFingersPanGesture* gesture)
{
    if (gesture == nullptr || gesture->state() != Qt::GestureUpdated)
        return;
    const double dx = gesture->offset().x();
    if (dx != 0.0)
        panByPixels(-dx); // as the middle-button drag: the profile follows the fingers
}

void GraphView::pinchCustomTriggered(TwoFingersPinchGesture* gesture)
{
    if (gesture == nullptr || gesture->state() != Qt::GestureUpdated)
        return;
    const QPointF centre = gesture->centerPoint();
    const QPoint rounded(ProfileStyle::saturatedInt(std::round(centre.x())),
                         ProfileStyle::saturatedInt(std::round(centre.y())));
    const QPointF scenePoint = mapToScene(rounded);
    const bool vertical = gesture->isVertical();
    // Spreading the fingers vertically shows less depth: the factor is inverted.
    double factor = gesture->scaleFactor();
    if (vertical)
        factor = 1.0 / factor;
    mProfileItem->zoom(vertical ? Axis::Depth : Axis::Time, boundedZoomFactor(factor), scenePoint.x());
}
