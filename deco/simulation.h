#pragma once

// The profile simulation of a planner slot: the engine runs along the dive's
// lines, follows the ceiling every two seconds, computes the ascent and the
// stops still required at the end of the profile, appends them to the dive
// as its deco lines, totals CNS and OTU and reports the plan record by record.

#include "deco/decogases.h"
#include "deco/gas.h"
#include "deco/planneddive.h"

#include <QString>

#include <functional>
#include <optional>

namespace deco {

class DivePlanner;

using PlanCallback = std::function<void(const LinePlan&)>;
using TextCallback = std::function<void(const QString&)>;

// Longest profile the simulation follows, counted over the forward steps of
// its lines, and the deepest line it accepts. Beyond them a profile can only
// come from a damaged file; following it would take unbounded time.
constexpr double kMaxSimulatedSeconds = 7.0 * 86400.0;
constexpr double kMaxSimulatedDepth = 1000.0;

// Gradient factors imposed by effort mode, by a line's alert level 3 and by
// the third-dive rule.
inline constexpr GradientFactors kEffortGradientFactors{68, 68};

struct SimulationOptions
{
    // The planning add-on's gradient factors; effort mode overrides them.
    std::optional<GradientFactors> customGradientFactors;
    // The add-on's reduction value: carried with the request, not applied.
    std::optional<float> reduction;
    // The gas breathed for the whole run. None: the configuration's first gas,
    // air with the default configuration, whatever gas the lines name.
    std::optional<GasMix> breathingGas;
    // On: the computed ascent switches to the dive's deco gases (its gases
    // after the first that are richer than the breathing gas). Off keeps the
    // plan on the breathing gas throughout.
    DecoGasSettings decoGases;
};

// What one run leaves besides the slot: the tissue state the dive started
// from, and whether the profile was followed at all.
struct SimulationOutcome
{
    TissueState start;
    bool profileFollowed = false;
};

// Simulates one slot. `previous` is the slot before it (null for the first):
// its tissues, CNS and OTU are where this dive starts, the tissues and CNS
// after the slot's surface interval spent on air at the surface (an interval
// of 0 starts from them exactly). Empty callbacks are skipped. The slot's tissues and OTU total hold the end state afterwards;
// a dive without lines, or whose lines cannot be followed (not a number,
// deeper than 1000 m, longer than seven days), only gets the opening and
// summary records and keeps its tissues.
SimulationOutcome simulateSlot(PlannedDive& slot, int slotIndex, const PlannedDive* previous,
                               const SimulationOptions& options, const PlanCallback& plan,
                               const TextCallback& text);

// Simulates the planner's current slot; false (and nothing changed) when no
// slot is current.
bool simulateCurrentDive(DivePlanner& planner,
                         const std::optional<GradientFactors>& customGradientFactors = std::nullopt,
                         std::optional<float> reduction = std::nullopt);

} // namespace deco
