#pragma once

// Internal to the library: the one-pass builder of a ProfileLayout, split over
// profilelayout.cpp (profile, curves), profilelayoutalarms.cpp (alarm and gas
// icons) and profilelayoutdeco.cpp (deco lines, ceiling, overlay, yoyos).

#include "divedata/dive.h"
#include "profilor/polylinereducer.h"
#include "profilor/profilelayout.h"

#include <QHash>

#include <array>

// Collects consecutive segments into runs of one colour, thins each run and
// turns it into a line list: one painter call per run, in drawing order.
class ColourRuns
{
public:
    ColourRuns(double visibleLeft, double visibleRight, double columnWidth,
               std::vector<ProfileLayout::ColouredLines>* out);

    // Segments must be consecutive: each starts where the previous one ended.
    // `colourKey` identifies the colour cheaply; `colour` is read when a run starts.
    void segment(const QPointF& from, const QPointF& to, int colourKey, const QColor& colour);
    void segment(const QPointF& from, const QPointF& to, const QColor& colour)
    {
        segment(from, to, int(colour.rgba()), colour);
    }
    void finish();

private:
    double mLeft;
    double mRight;
    double mColumnWidth;
    std::vector<ProfileLayout::ColouredLines>* mOut;
    bool mOpen = false;
    int mColourKey = 0;
    QColor mColour;
    QVector<QPointF> mPoints;
    PolylineReducer mReducer;
};

class LayoutBuilder
{
public:
    explicit LayoutBuilder(const ProfileLayoutInput& input);
    ProfileLayout build();

private:
    // profilelayout.cpp
    void buildProfile();
    void placeMaxDepth();
    bool addCurveLabel(const QPointF& curvePoint, const QString& text, const QColor& colour);
    void addCircle(const QPointF& centre, const QColor& colour);
    bool nearClip(const QPointF& p, double margin) const;

    // profilelayoutalarms.cpp
    void addAlarms(qsizetype i, const QColor& segmentColour);
    void addKelvoAlarms(qsizetype i, const QColor& segmentColour);
    void addComputerAlarms(qsizetype i);
    void addGasIcon(int gasIndex, const QPointF& at);
    void addPicture(std::vector<ProfileLayout::Picture>& list, const QImage* image, const QPointF& topLeft);

    // profilelayoutdeco.cpp
    void buildDeco();
    void buildCeiling();
    void buildOverlay();
    void buildYoyos();
    QPolygonF reducedPolyline(const QList<DiveLine>& lines) const;

    const ProfileLayoutInput& mInput;
    const Dive& mDive;
    const ProfileView& mView;
    QRectF mClip;
    ProfileLayout mOut;

    QVector<QPointF> mProfilePoints; // one per line, not thinned (alarms need every line)
    std::vector<QRectF> mTaken;      // areas of the labels placed so far
    QHash<QString, QRectF> mLabelBoxes; // label texts measured, at the origin

    // Alarms shown once per painting, in the order of the alarm table.
    std::array<bool, 8> mShownOnce{};
    bool mPmaxArmed = true;
};
