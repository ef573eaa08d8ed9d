#pragma once

// A plain recorded dive for the logbook and window tests.

#include "divedata/dive.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace RecordedDive {

// `points` lines every 5 s down to `depth` and back up, on air, at 18 °C.
inline Dive make(const QString& name, const QString& serial, qint64 begin, int points, double depth)
{
    Dive dive;
    dive.name = name;
    dive.computerSerial = serial;
    dive.computerName = QStringLiteral("Comp ") + serial;
    dive.beginTime = begin;
    for (int i = 0; i < points; ++i) {
        DiveLine line;
        line.timeSec = 5.0 * i;
        line.depth = depth * std::sin(M_PI * i / std::max(1, points - 1));
        line.ambientTemp = 18.0;
        line.gasIndex = 0;
        dive.lines.append(line);
    }
    dive.gases.append(DiveGas());
    return dive;
}

} // namespace RecordedDive
