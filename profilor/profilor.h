#pragma once

#include "profilor/profilorglobal.h"

#include <QString>

// The interactive dive-profile graphics library.
namespace Profilor {
// Version of the library the program runs with.
PROFILOR_EXPORT QString version();
} // namespace Profilor
