#pragma once

#include "profilor/profilorglobal.h"

#include <QObject>

// Modes of the profile item. Each enumeration lives in a gadget namespace so
// that Qt's meta-object system can name its values.

namespace GraphMode {
Q_NAMESPACE_EXPORT(PROFILOR_EXPORT)
enum GraphModeIn : int {
    Logbook = 0,  // a recorded dive
    Planning = 1, // a planned dive: the title adds the ascent times
};
Q_ENUM_NS(GraphModeIn)
} // namespace GraphMode

namespace ZoomMode {
Q_NAMESPACE_EXPORT(PROFILOR_EXPORT)
enum ZoomModeIn : int {
    TimeOnly = 0,
    TimeAndDepth = 1,
};
Q_ENUM_NS(ZoomModeIn)
} // namespace ZoomMode

namespace Axis {
Q_NAMESPACE_EXPORT(PROFILOR_EXPORT)
enum AxisIn : int {
    Time = 0,
    Depth = 1,
};
Q_ENUM_NS(AxisIn)
} // namespace Axis
