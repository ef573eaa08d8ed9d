#pragma once

#include "divedata/diveline.h"
#include "profilor/profilorglobal.h"

#include <QGraphicsView>
#include <QList>
#include <QPair>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>

struct Dive;
class DiveProfileItem;
class QGestureEvent;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QMenu;
class TwoFingersPanGesture;
class TwoFingersPinchGesture;

// The widget that shows one dive profile and turns mouse, wheel, keyboard, drop
// and touch input into view changes and signals. It owns its scene, the
// profile item, a cursor line that follows the pointer, a second line that ends
// a time-range selection and a translucent selection rectangle.
//
// Press state: idle (no press) -> pressed (left or middle press inside the
// graph) -> idle on the left or middle release. A Shift drag selects a time
// range (shown until Escape, clearSelection or a new dive); a Control drag
// draws a rectangle that is reported by selectInRect.
class PROFILOR_EXPORT GraphView : public QGraphicsView
{
    Q_OBJECT
public:
    // Files a single drop hands on at most.
    static constexpr int kMaxDroppedFiles = 32;

    explicit GraphView(QWidget* parent = nullptr);
    ~GraphView() override;

    // The dive is not owned: it must outlive the view or be replaced first.
    void setDiveProfile(Dive* dive);
    Dive* getDiveProfile();
    const Dive* getDiveProfile() const;

    void showItems(const ShowItemsState& state);
    DiveProfileItem* profileItem() const { return mProfileItem; }
    void updateTitle();

    void enabledSelection(bool on) { mSelectionEnabled = on; }
    void enableMultiSelect(bool on) { mMultiSelect = on; }
    bool hasSelection() const;
    void clearSelection();
    // The selected time range in seconds (start, end); -1 where none was chosen.
    QPair<int, int> getSelection() const { return {mSelectionStart, mSelectionEnd}; }

    // Registers the two-finger pan, pinch and plain recognizers for this view.
    // Turning it off again keeps them registered (only the flag changes).
    void enableTouchScreen(bool on);
    bool touchScreenEnabled() const { return mTouchEnabled; }

    // Called with an empty menu parented to the view on a context-menu request;
    // the menu is shown when the callback fills it and returns true.
    void setContextualMenuCallback(std::function<bool(QMenu&)> callback);

    // The profile lines around the whole-second `time` (the point is not used):
    // false when there is no dive or neither the profile nor the computed
    // ascent has a segment containing it.
    bool getInfosOnPosition(QPointF point, int time, DivePosition& out) const;
    // The hover text at the whole-second `time`; empty outside the profile.
    QString getInfosOnPosition(QPointF point, int time) const;

    // The whole-second time under the scene x.
    int timeAtSceneX(double x) const;
    // True when the scene point lies inside the graph area.
    bool insideGraph(const QPointF& scenePoint) const;

    // The auxiliary items, for the owner's own decorations and for tests.
    QGraphicsLineItem* cursorLine() const { return mCursorLine; }
    QGraphicsLineItem* selectionEndLine() const { return mSelectionEndLine; }
    QGraphicsRectItem* selectionRectItem() const { return mSelectionRect; }

signals:
    void mouseMove(QPointF pScenePoint, int pTime);
    void clickDown(int pTime);
    void clickRelease(int pTime);
    void dragDropFiles(QList<QString> pFiles);
    void selectInRect(QRectF rect);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool gestureEvent(QGestureEvent* event);

protected slots:
    void panCustomTriggered(TwoFingersPanGesture* gesture);
    void pinchCustomTriggered(TwoFingersPinchGesture* gesture);

private:
    // Puts a vertical line at the scene x, from the graph top to the time axis.
    void placeVerticalLine(QGraphicsLineItem* line, double x);
    // The band between the cursor line and the selection-end line.
    void updateBandFromLines();
    void panByPixels(double dx);
    // Passes a mouse event to the scene with Control added (multi-select).
    template<typename Handler>
    void forwardWithControl(QMouseEvent* event, Handler handler);

    QGraphicsScene* mScene = nullptr;              // child of the view
    DiveProfileItem* mProfileItem = nullptr;       // owned by the scene
    QGraphicsLineItem* mCursorLine = nullptr;      // owned by the scene
    QGraphicsLineItem* mSelectionEndLine = nullptr; // owned by the scene
    QGraphicsRectItem* mSelectionRect = nullptr;   // owned by the scene
    std::function<bool(QMenu&)> mContextMenuCallback;
    QPointF mPressPoint{-1.0, -1.0};
    QPointF mCurrentCorner;
    int mSelectionStart = -1;
    int mSelectionEnd = -1;
    bool mSelectionEnabled = false;
    bool mTouchEnabled = false;
    bool mMultiSelect = false;
    bool mRecognizersRegistered = false;
    Qt::GestureType mPanGesture = Qt::CustomGesture;
    Qt::GestureType mPinchGesture = Qt::CustomGesture;
    Qt::GestureType mTwoFingersGesture = Qt::CustomGesture;
};
