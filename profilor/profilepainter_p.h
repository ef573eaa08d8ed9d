#pragma once

// Internal to the library: the painting steps of a profile item, one function
// per layer group, all drawing in item coordinates.

#include "profilor/profilelayout.h"
#include "profilor/profileview.h"

class QPainter;

namespace ProfilePainter {

// Upper bound of grid lines per axis: a degenerate scale can never make the
// grid loops run away.
constexpr int kMaxGridTicks = 1000;

// Width and height of the character "0" in the grid font ("Arial" 10).
struct GridMetrics
{
    double w = 0.0;
    double h = 0.0;
};

GridMetrics gridMetrics(QPainter* painter);

// Surface line, time axis and depth axis.
void paintAxes(QPainter* painter, const ProfileView& view);
// Depth and time grid lines with their labels. Each grid is skipped unless its
// scale and its span are finite and positive.
void paintDepthGrid(QPainter* painter, const ProfileView& view, const GridMetrics& metrics);
void paintTimeGrid(QPainter* painter, const ProfileView& view, const GridMetrics& metrics);

// The clipped layers: area, speed segments, curves, alarms, maximum depth,
// sample dots, yoyos, deco lines, ceiling and overlay.
void paintLayers(QPainter* painter, const ProfileLayout& layout, const ProfileView& view,
                 const GridMetrics& metrics);

// The value of every tick that paintDepthGrid / paintTimeGrid draws with labels
// of the given metrics, for callers that need the grid without drawing it.
QVector<double> depthGridValues(const ProfileView& view, const GridMetrics& metrics);
QVector<double> timeGridValues(const ProfileView& view, const GridMetrics& metrics);

} // namespace ProfilePainter
