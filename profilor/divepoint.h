#pragma once

#include "divedata/diveline.h"
#include "profilor/profilorglobal.h"

#include <QGraphicsItem>
#include <QPointer>

#include <functional>

class DiveProfileItem;
class QMenu;

// The round handle of one profile line in edit mode. Dragging it asks its
// update function (the profile item's drag constraint) where it may go; the
// function writes the line and returns the position to use. Point 0 is fixed:
// the dive starts there.
class PROFILOR_EXPORT DivePoint : public QGraphicsItem
{
public:
    enum { Type = UserType + 1 };

    using UpdateFunction = std::function<QPointF(DiveLineInfo&, const QPointF&)>;

    DivePoint(QGraphicsItem* parent, QPointF pos, const DiveLineInfo& info, UpdateFunction update, bool fixed);
    ~DivePoint() override;

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    DiveLineInfo& diveLineInfo() { return mInfo; }
    const DiveLineInfo& diveLineInfo() const { return mInfo; }
    // The item position when the mouse was last pressed on it.
    QPointF pressPosition() const { return mPressPosition; }
    bool isFixed() const { return !mUpdate; }

    // Moves the handle without running its constraint (view changes and
    // edits that already wrote the line).
    void placeAt(const QPointF& pos);
    // Whether painting may skip this handle because a handle painted after it
    // lies on (nearly) the same pixel; a selected handle is always drawn.
    void setCovered(bool covered) { mCovered = covered; }
    bool isCovered() const { return mCovered; }
    // A profile item draws its handles itself, in one pass over the profile;
    // such a handle paints nothing and asks its parent to repaint its area.
    void setDrawnByParent(bool drawnByParent);
    bool isDrawnByParent() const { return mDrawnByParent; }
    // The handle as painted: a circle of sDivePointSize, white or, when
    // selected, orange, with a one-pixel black outline.
    static void paintHandle(QPainter* painter, const QPointF& centre, bool selected);

    // The profile item the handle belongs to (its parent, or the parent of
    // the group that holds it), or null.
    DiveProfileItem* profileItem() const;

    static void setDivePointSize(float size);

    static float sDivePointSize;
    // Called after a handle is released, besides its own profile item, which
    // records the move for undo.
    static std::function<void(DivePoint*, const QPointF&)> sPointHasMoved;
    // Popped up by a right-button release on a handle when set.
    static QPointer<QMenu> contextMenu;
    // The handle whose context menu was opened last; reset when it goes.
    static DivePoint* currentPoint;

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    bool sceneEvent(QEvent* event) override;

private:
    QPointF mPressPosition;
    UpdateFunction mUpdate;
    DiveLineInfo mInfo;
    // Asks the parent to repaint this handle's area at `at`.
    void updateInParent(const QPointF& at);

    bool mCovered = false;
    bool mDrawnByParent = false;
    bool mPlacing = false; // moved by placeAt: no constraint, the caller repaints
};
