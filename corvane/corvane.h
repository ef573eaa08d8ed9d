#pragma once

#include "corvane/corvaneglobal.h"

#include <QString>

// The BLE link and dive-computer protocol library.
namespace Corvane {
// Version of the library the program runs with.
CORVANE_EXPORT QString version();
} // namespace Corvane
