#pragma once

#include "divedata/diveline.h"
#include "profilor/marker.h"
#include "profilor/profiletypes.h"
#include "profilor/profileview.h"
#include "profilor/profilorglobal.h"

#include <QGraphicsObject>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPair>
#include <QStaticText>
#include <QVector>

#include <functional>
#include <memory>

struct Dive;
struct ProfileLayout;
class DivePoint;
class ProfileIconItem;

// Draws one dive as a depth-over-time profile and owns the coordinate system
// (time and depth to item coordinates) that the rest of the profile graphics
// uses, with its zoom, pan and fit operations. The dive is not owned.
//
// Drawing is cached: the geometry of every layer is computed once per dive
// content and view state (see prepareLayout) and painting only replays it, so a
// repaint does not walk the whole dive again.
class PROFILOR_EXPORT DiveProfileItem : public QGraphicsObject
{
    Q_OBJECT
public:
    static constexpr double kMaxDepthRange = 120.0; // m, deepest range a zoom shows
    static constexpr double kMinZoomFactor = 0.05;  // zoom factors are clamped to this range
    static constexpr double kMaxZoomFactor = 20.0;
    static constexpr double kMinTimeSpan = 10.0;    // s, narrowest time span a zoom shows
    static constexpr double kStopLabelRoom = 55.0;  // px kept right of the dive for stop labels

    explicit DiveProfileItem(QGraphicsItem* parent = nullptr);
    ~DiveProfileItem() override;

    // Geometry and coordinates -------------------------------------------------
    void resize(const QRectF& rect);
    QRectF boundingRect() const override;
    QPointF getOrigin() const { return mView.origin(); }
    double getYTimeAxis() const { return mView.timeAxisY; }
    double getEndTime() const { return mView.endTime; }
    QRectF clipRect() const { return mClipRect; }
    GraphMode::GraphModeIn graphMode() const { return mGraphMode; }
    ZoomMode::ZoomModeIn zoomMode() const { return mZoomMode; }
    Dive* getDiveProfile() { return mDive; }
    const Dive* getDiveProfile() const { return mDive; }

    // The view values: graph area, scales, shown time and depth ranges.
    const ProfileView& view() const { return mView; }
    double timeScale() const { return mView.timeScale; }
    double depthScale() const { return mView.depthScale; }
    double startTime() const { return mView.startTime; }
    double depthRange() const { return mView.depthRange; }

    QPointF timeDepthToGraphCoordinates(double time, double depth) const;
    QPointF diveLineToGraphCoordinates(const DiveLine& line, QPointF* temperaturePoint = nullptr,
                                       QPointF* pressurePoint = nullptr) const;
    int xpositionToTime(double x) const;
    double timeToXposition(int time) const;
    double ypositionToDepth(double y) const;
    bool pointInRect(const QPointF& p) const;

    // View changes -------------------------------------------------------------
    // Zooms one axis by `factor` (> 1 shows less) around the item x `position`.
    void zoom(Axis::AxisIn axis, double factor, double position);
    // Moves the shown time range by `dx` pixels; refused as a whole before time 0.
    void pan(double dx);
    void fitAll();
    // Refits after the dive changed and rebuilds the point items.
    void update();
    void updateTitle();
    void setDiveProfile(Dive* dive);
    QString title() const { return mTitle; }

    // Layers and modes ---------------------------------------------------------
    void showItems(const ShowItemsState& state);
    void setItemFlag(bool ShowItemsState::*flag, bool value);
    const ShowItemsState& itemFlags() const { return mItemFlags; }
    void setEditMode(bool on) { mEditMode = on; }
    bool editMode() const { return mEditMode; }
    void setGraphMode(GraphMode::GraphModeIn mode) { mGraphMode = mode; }
    void setZoomMode(ZoomMode::ZoomModeIn mode) { mZoomMode = mode; }
    void setShowEffortIcon(bool show) { mShowEffortIcon = show; }

    // Simulation output appended line by line.
    void addDecoLine(const DiveLine& line);
    void addCeilTrackingLine(const DiveLine& line);

    static void setEffortIconResource(const QString& path);
    static void setLog(std::function<void(const QString&)> callback);
    // Sends a message to the installed log sink, if any.
    static void log(const QString& message);

    static QString divePointToolTip(int index, const DiveLine& line);

    // Markers --------------------------------------------------------------------
    int addMarkerAt(double time, bool visible, MarkerType::MarkerTypeIn type, const QString& text);
    void setMarkerAt(int id, double time, double depth);
    void removeMarker(int id);
    void UpdateMarkers();
    // The visible marker whose icon covers `p`, or null.
    const Marker* getMarkerAtPosition(const QPointF& p) const;
    const QList<Marker>& markers() const { return mMarkers; }

    // Drawing cache --------------------------------------------------------------
    // Brings the drawing cache and the alarm and gas icon items up to date with
    // the dive and the view now. Painting does it by itself, but creates icon
    // items only on the next turn of the event loop (never while the scene is
    // painting); call this to have them at once, e.g. before rendering offscreen.
    void prepareLayout();
    QList<ProfileIconItem*> iconItems() const { return mIconItems; }
    // The texts drawn beside the curves (temperature, tank pressure, maximum
    // depth) in the prepared layout, each with the area it covers in item
    // coordinates. No two of them overlap.
    QList<QPair<QString, QRectF>> labelAreas() const;

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    // Point editing ----------------------------------------------------------------
    // In edit mode every profile line has a DivePoint handle. Handles are
    // rebuilt whole by createDivePoints (which also forgets the undo list and
    // the context-menu point, as both refer to the handles) and moved without
    // their constraint by updateDivePoints after view changes.
    void createDivePoints();
    void updateDivePoints();
    // The drag constraint of the handle of line info.index: neighbours' times,
    // 0.5 m depth steps, the surface, the time axis and the speed limits.
    // Writes the line and returns the position to use. Line 0 never moves.
    QPointF updateDivePoint(DiveLineInfo& info, const QPointF& p);
    // Adds a line at an item position (time in whole seconds, depth in 0.5 m).
    void addDivePoint(const QPointF& pos);
    // Inserts a line after the lines at or before `time` and its handle. The
    // time is kept at or after line 0's, the depth at 0 or more.
    void addDivePoint(double time, double depth);
    void addDivePointAfter(int index);
    void deleteDivePoint(DivePoint* point);
    void deleteSelectedPoints();
    DivePoint* getDivePointAtIndex(int index) const;
    void modifyDepthOfDivePoint(int index, double depth);
    // Clamps `time` between the neighbouring lines' times, writes the clamped
    // value back, and returns true when it had to be clamped.
    bool modifyTimeOfDivePoint(int index, double& time);
    void modifyGasOfDivePoint(int index, int gas);
    void selectPointsInRect(const QRectF& rect);
    int nbSelectedPoints() const;
    // Indexes of the first two selected handles in the scene's item order,
    // smaller first; -1 for each missing one.
    QPair<int, int> getSelectedPair() const;
    void setShowDivePoints(bool show);
    // The handles in line order (empty outside edit mode).
    const QVector<DivePoint*>& divePoints() const { return mPoints; }

    // Keeps the bounds of a moved handle's group around its handles (called
    // by the handles themselves).
    void refitPointGroup(QGraphicsItem* group);

    // Undo of point additions and moves.
    void onDivePointMoved(DivePoint* point, const QPointF& previous);
    void removeUndoOfPoint(DivePoint* point);
    // Undoes the newest change; true when nothing is left to undo.
    bool undoLastPointChange();
    bool canUndo() const { return !mUndo.isEmpty(); }
    int undoCount() const { return int(mUndo.size()); }

    static double vascSpeedLimit; // m/min, ascent speed limit (colours, point editing)
    static double vdscSpeedLimit; // m/min, descent speed limit
    static QIcon effortIcon;
    static std::function<void(const QString&)> mLogCallback;

signals:
    void onAddDivePoint();
    void onUpdateDivePoint(int index);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;

private:
    struct LayoutKey;
    struct PictureKey;

    void internalFitAll();
    void internalUpdateTitle();
    // After any change of the view values: markers follow, icons and scene refresh.
    void viewChanged();
    void repaintScene();

    LayoutKey currentLayoutKey(double columnWidth, double columnPhase) const;
    PictureKey currentPictureKey(QPainter::RenderHints hints) const;
    const ProfileLayout& ensureLayout(double columnWidth, double columnPhase, bool painting);
    // After an edit of a few lines: the layout is rebuilt at once and only the
    // band of the cached picture where it draws differently is painted again,
    // so that a drag step on a long dive does not repaint the whole graph.
    void repaintEditedLines();
    void scheduleIconSync();
    void syncIconItems();
    void paintContent(QPainter* painter, const ProfileLayout& layout);
    void paintMarkers(QPainter* painter) const;
    void paintInvalidDive(QPainter* painter) const;

    // One undoable point change.
    struct PointEdit
    {
        enum Kind : qint32 { Added = 0, Moved = 1 };
        qint32 kind = Added;
        DivePoint* point = nullptr;
        QPointF previous; // position before a move
    };

    // Handles are kept in groups of a few dozen under this item, so that the
    // scene's bookkeeping after one handle moves walks one group, not every
    // handle of a long dive.
    static constexpr int kPointsPerGroup = 64;
    // Handles painted at most, about, when a dense profile fills the graph.
    static constexpr int kPaintedPointsBudget = 1500;
    QGraphicsItem* newPointGroup();
    DivePoint* makeDivePoint(int index, bool fixed, QGraphicsItem* group);
    // Handles from `from` on take their line index from their position in mPoints.
    void renumberDivePoints(int from);
    // Marks the handles that a later handle covers pixel for pixel, so that a
    // dense profile paints one handle per pixel instead of every one.
    void updateCoveredPoints();
    void refreshPointToolTip(DivePoint* point) const;
    // Draws the handles of this item over the profile (they do not paint
    // themselves: one image per handle is far cheaper than an item each).
    void paintDivePoints(QPainter* painter, const QStyleOptionGraphicsItem* option) const;
    // Speeds around an edited line, and the repaint.
    void lineEdited(int index);

    bool mEditMode = false;
    ProfileView mView;
    QRectF mClipRect;
    Dive* mDive = nullptr;
    QString mTitle;
    QStaticText mTitleText;
    ZoomMode::ZoomModeIn mZoomMode = ZoomMode::TimeAndDepth;
    GraphMode::GraphModeIn mGraphMode = GraphMode::Logbook;
    bool mShowEffortIcon = false;
    QList<Marker> mMarkers;
    ShowItemsState mItemFlags;

    std::unique_ptr<ProfileLayout> mLayout;
    std::unique_ptr<LayoutKey> mLayoutKey;
    quint64 mLayoutGeneration = 0;
    quint64 mIconGeneration = 0;
    double mColumnWidth = 1.0;
    double mColumnPhase = 0.0;
    bool mIconSyncPending = false;
    QImage mPicture;
    std::unique_ptr<PictureKey> mPictureKey;
    QList<ProfileIconItem*> mIconItems; // children of this item
    QVector<DivePoint*> mPoints;        // in line order, children of the groups
    QVector<QGraphicsItem*> mPointGroups; // children of this item, in stacking order
    QVector<DivePoint*> mPaintedPoints;   // the handles not covered, in line order
    QList<PointEdit> mUndo;
};
