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

// A value in the classic 'g' form with six significant digits ("35.2", "3",
// "49.1963"): computed depths do not show every binary digit.
PROFILOR_EXPORT QString shortNumber(double value);
// Tool tip of a gas icon: its name and its circuit.
PROFILOR_EXPORT QString gasToolTip(const DiveGas* gas);

// Converts to int, clamping to the int range and mapping NaN to 0.
PROFILOR_EXPORT int saturatedInt(double value);

} // namespace ProfileStyle
