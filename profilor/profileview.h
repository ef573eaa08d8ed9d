#pragma once

#include <QPointF>
#include <QRectF>

// The coordinate system of a profile item: where the graph area lies and how
// time (s) and depth (m) map to item coordinates. A plain value, so that the
// views, the editable points and the drawing cache all read the same numbers.
struct ProfileView
{
    static constexpr int kMarginLeft = 50;
    static constexpr int kMarginTop = 30;
    static constexpr int kMarginRight = 40;
    static constexpr int kMarginBottom = 50;

    QRectF itemRect{0.0, 0.0, 200.0, 100.0};
    QRectF graph;                 // graph area; its top-left corner is the origin
    double timeScale = 1.0;       // pixels per second
    double depthScale = 1.0;      // pixels per metre
    double temperatureScale = 1.0; // pixels per degree
    double pressureScale = 1.0;   // pixels per bar
    double bottomReserve = 40.0;  // pixels kept free under the deepest depth shown
    double timeAxisY = 0.0;
    double depthRange = 0.0;      // m shown down to the bottom reserve
    double startTime = 0.0;       // s
    double endTime = 0.0;         // s

    QPointF origin() const { return graph.topLeft(); }

    QPointF toItem(double time, double depth) const
    {
        return QPointF(graph.x() - timeScale * startTime + timeScale * time, depth * depthScale + graph.y());
    }
    double timeToX(double time) const { return (time - startTime) * timeScale + graph.x(); }
    double xToTime(double x) const { return (x - graph.x()) / timeScale + startTime; }
    double yToDepth(double y) const { return (y - graph.y()) / depthScale; }

    bool operator==(const ProfileView& o) const
    {
        return itemRect == o.itemRect && graph == o.graph && timeScale == o.timeScale && depthScale == o.depthScale
            && temperatureScale == o.temperatureScale && pressureScale == o.pressureScale
            && bottomReserve == o.bottomReserve && timeAxisY == o.timeAxisY && depthRange == o.depthRange
            && startTime == o.startTime && endTime == o.endTime;
    }
    bool operator!=(const ProfileView& o) const { return !(*this == o); }
};
