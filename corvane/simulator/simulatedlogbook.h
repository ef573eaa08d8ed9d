#pragma once

#include "corvane/corvaneglobal.h"
#include "corvane/simulator/simulateddive.h"
#include "divedata/divetypes.h"

#include <QList>

// Options of a generated logbook. Everything follows from the seed: the same
// options give the same dives, byte for byte.
struct LogbookOptions
{
    ComputerModel::ComputerModelIn model = ComputerModel::Pelagon;
    quint64 seed = 1;
    int diveCount = 24;
    quint16 firstDiveNumber = 1;
    qint64 firstBeginTime = 1717225200; // 2024-06-01 07:00 UTC
    // When non-zero, every dive lasts this long and is sampled at this period
    // (benchmarks); otherwise 20 to 120 minutes at 1 to 10 s.
    int durationMinutes = 0;
    int samplePeriod = 0;
};

// What kind of dive a generated dive is.
enum class SimulatedDiveKind {
    Reef,        // multilevel, no stop required, safety stop
    Square,      // one level, no stop required, safety stop
    Deco,        // air or nitrox with a decompression gas and required stops
    Trimix,      // trimix bottom gas, two decompression gases
    Rebreather,  // closed circuit with a bailout gas
};

// Generates the logbook of the simulated computer: realistic dives whose
// depths, ceilings and no-decompression times come from the program's own
// decompression engine, in the header and sample layouts the model writes.
class CORVANE_EXPORT SimulatedLogbook
{
public:
    static QList<SimulatedDive> generate(const LogbookOptions& options);

    // The kind of dive number `index` (0-based) of a logbook: a fixed rotation
    // so that every logbook of a dozen dives holds each kind.
    static SimulatedDiveKind kindOf(int index);
    // Header and sample layout versions that `model` writes for dive `index`
    // (several generations of firmware in one logbook).
    static void layoutVersions(ComputerModel::ComputerModelIn model, int index, quint8& headerVersion,
                               quint8& sampleVersion);
};
