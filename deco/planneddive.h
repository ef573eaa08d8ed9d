#pragma once

// One slot of the repetitive-dive planner: a planned (or loaded) dive with
// the diver's tissue state and the slot's planning settings, and the record
// of the plan that the simulation reports segment by segment.

#include "deco/tissuemodel.h"
#include "divedata/dive.h"

#include <QList>

#include <cstdint>

namespace deco {

// One record of a simulated plan, handed to the plan callback by const
// reference and not kept.
struct LinePlan
{
    enum Kind : std::int16_t { Reset = 0, Segment = 1, Summary = 2 };
    enum SegmentType : std::int32_t { Descent = 0, Level = 1, Ascent = 2 };

    std::int16_t kind = Reset;
    std::int32_t segmentType = Descent;
    std::uint8_t computed = 0;  // 1 for the computed ascent and its stops
    float depth = 0.0f;         // m at the end of the segment, or the stop depth
    float duration = 0.0f;      // minutes
    float runtime = 0.0f;       // minutes since the start of the dive, at the segment's end
    std::int32_t gasIndex = 0;  // into the dive's gases
    float cns = 0.0f;           // percent, summary only
    float otu = 0.0f;           // summary only
};

constexpr float kDefaultSlotSurfacePressure = kStandardSurfacePressure;
// Surface interval given to a new second or third slot: two hours.
constexpr std::int32_t kDefaultRepetitiveInterval = 7200;

struct PlannedDive
{
    Dive dive;
    // Before a simulation the state at the start of the dive; after it the
    // state at the end of the simulated ascent, which the next slot starts from.
    TissueState tissues;
    std::int32_t surfaceInterval = 0; // s before this dive
    bool effort = false;
    bool freshWater = false;
    float surfacePressure = kDefaultSlotSurfacePressure; // bar
    float otuTotal = 0.0f;            // OTU at the end of this dive, previous dives included
};

// The program's default gases of a new planned dive: 21/0, 30/0, 40/0 and
// three times 100/0, white, unnamed. Built once.
const QList<DiveGas>& defaultPlanGases();

// The gas index the default profile's lines name: the configuration's first
// gas (0 with the default configuration).
int defaultProfileGasIndex();

// Replaces the dive's lines by the default profile, (0 s, 0 m), (60 s, 20 m),
// (600 s, 20 m), and rebuilds its derived data.
void applyDefaultProfile(Dive& dive);

} // namespace deco
