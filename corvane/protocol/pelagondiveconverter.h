#pragma once

#include "corvane/corvaneglobal.h"
#include "corvane/protocol/kelvorecords.h"
#include "divedata/dive.h"

#include <QList>

class KelvoData;

// Turns one downloaded dive, its logbook header and its samples, into the
// program's dive record with its gases and profile lines.
class CORVANE_EXPORT PelagonDiveConverter
{
public:
    // The dive of `header` and `samples`; the computer's serial number,
    // firmware text and name come from `computer`. The dive comes back with
    // its derived values (statistics, speeds, ceiling curve) computed from
    // its lines, ready to store. A sample period of 0 is taken as 1 s.
    static Dive toDive(const PelagonDiveHeader& header, const QList<DiveSample>& samples, const KelvoData& computer);

private:
    static DiveLine toLine(const DiveSample& sample, double timeSec);
    // The enabled gases; `gasMap` maps computer gas 0..11 to its index in the
    // list, -1 for a disabled gas.
    static QList<DiveGas> buildGases(const PelagonDiveHeader& header, QList<int>& gasMap);
};
