#pragma once

#include "divedata/diveline.h"
#include "profilor/profileview.h"

#include <QColor>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QPolygonF>
#include <QString>
#include <QVector>

#include <vector>

struct Dive;

// Everything the profile painting draws for one dive in one view state, in item
// coordinates, computed in one pass over the dive and kept until the dive or the
// view changes. Painting then only hands these lists to the painter; lines are
// batched by colour and thinned to what the pixel columns can show.
struct ProfileLayout
{
    struct ColouredLines
    {
        QColor colour;
        QVector<QLineF> lines;
    };
    struct Label
    {
        QPointF position; // text baseline start
        QString text;
        QColor colour;
        QRectF area; // what the text covers (curve labels only)
    };
    struct Circle
    {
        QPointF centre;
        QColor colour;
    };
    struct Picture
    {
        const QImage* image = nullptr;
        QPointF topLeft;
    };
    // A child icon item: image (may be null: nothing drawn) and tool tip.
    struct Icon
    {
        QPointF position;
        const QImage* image = nullptr;
        QString toolTip;
    };
    struct Yoyo
    {
        QPointF centre;
        QColor colour;
        int number = 0;
    };

    bool hasProfile = false; // a dive with at least 2 profile lines
    QColor areaColour;       // end colour of the area gradient
    QPolygonF area;          // profile and deco points

    std::vector<ColouredLines> speedLines;    // pen 2 each
    QVector<QLineF> temperatureLines;         // blue cosmetic pen
    std::vector<ColouredLines> pressureLines; // cosmetic pens
    std::vector<Circle> circles;              // radius 3, pen 2
    std::vector<Picture> pictures;            // alarm images placed by the painter
    std::vector<Label> curveLabels;           // temperature and pressure labels
    std::vector<Icon> icons;                  // alarm and gas icon items

    bool hasMaxDepth = false;
    QPointF maxDepthPoint;
    QString maxDepthText;
    QRectF maxDepthArea; // what its text covers

    QVector<QPointF> sampleDots;

    std::vector<Yoyo> yoyos;

    QPolygonF decoLine;
    std::vector<Picture> decoPictures;
    std::vector<Label> decoLabels;
    QPolygonF ceilTrackingLine;
    bool ceilTrackingInLabelPen = false; // drawn with the pen the stop labels left

    QPolygonF ceiling;
    bool decoNotTerminated = false;
    QPointF lastCeilingPoint;

    QPolygonF overlayLine;
    std::vector<Label> overlayLabels;
};

struct ProfileLayoutInput
{
    const Dive* dive = nullptr;
    ProfileView view;
    ShowItemsState flags;
    bool editMode = false;
    double columnWidth = 1.0; // item units per device pixel column
    double columnPhase = 0.0; // item x of the left edge of a device pixel column
    double ascentLimit = 15.0;
    double descentLimit = 30.0;
    // The font the curve labels are drawn with, on the device they are drawn
    // on: labels are placed where they cover no other label.
    QFontMetricsF labelMetrics{QFont(QStringLiteral("Arial"), 10)};
};

ProfileLayout buildProfileLayout(const ProfileLayoutInput& input);

// The part of the item where two layouts of one view state draw differently,
// in item coordinates, pens, text and antialiasing included (null when they
// draw the same). `whole` when a difference is not bounded that way.
struct ProfileLayoutChange
{
    QRectF area;
    bool whole = false;
};

// `labelMetrics`: the font the curve labels are drawn with, on the device
// they are drawn on.
ProfileLayoutChange profileLayoutChange(const ProfileLayout& before, const ProfileLayout& after,
                                        const QFontMetricsF& labelMetrics);

// Fingerprint of everything in a dive that the painting reads, so that a dive
// edited in place is noticed without every caller having to say so.
quint64 diveDrawingSignature(const Dive& dive);
