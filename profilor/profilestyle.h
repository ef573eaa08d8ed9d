#pragma once

#include "profilor/profilorglobal.h"

#include <QColor>
#include <QString>

struct DiveGas;

// Colours, grid steps and texts of the profile drawing, shared by the item and
// the views so that every part of the profile speaks the same language.
namespace ProfileStyle {

// Colour of a profile segment whose vertical speed is `speed` m/min (negative
// while ascending), against the ascent and descent limits.
PROFILOR_EXPORT QColor speedColor(double speed, double ascentLimit, double descentLimit);
// Colour of the tank-pressure curve at `pressure` bar.
PROFILOR_EXPORT QColor pressureColor(int pressure);

// Seconds between two time-grid lines for a view spanning `span` seconds.
PROFILOR_EXPORT double timeGridStep(double span);
// Metres between two depth-grid lines for a depth range of `range` metres.
PROFILOR_EXPORT double depthGridStep(double range);
// The step actually drawn: `step` when lines that far apart are at least
// `minSpacing` pixels apart at `pixelsPerUnit`, else the first larger round
// step that is (time in seconds: 30 s, 1, 2, 5, 10, 15, 20, 30 min, 1, 2, 3,
// 6, 12 h ...; depth in metres: 2, 5, 10, 20, 50 ...). Labels never overlap,
// whatever the size of the view.
PROFILOR_EXPORT double spacedTimeGridStep(double step, double pixelsPerSecond, double minSpacing);
PROFILOR_EXPORT double spacedDepthGridStep(double step, double pixelsPerMetre, double minSpacing);

// A value in the classic 'g' form with six significant digits ("35.2", "3",
// "49.1963"): computed depths do not show every binary digit.
PROFILOR_EXPORT QString shortNumber(double value);
// Tool tip of a gas icon: its name and its circuit.
PROFILOR_EXPORT QString gasToolTip(const DiveGas* gas);

// Converts to int, clamping to the int range and mapping NaN to 0.
PROFILOR_EXPORT int saturatedInt(double value);

} // namespace ProfileStyle
