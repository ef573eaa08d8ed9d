#pragma once

// Oxygen toxicity: the CNS clock (single-exposure limits, fraction of the
// limit used per minute) and oxygen tolerance units.

#include "deco/gas.h"
#include "deco/tissuemodel.h"

namespace deco {

// Fraction of the CNS limit used per minute at the given ppO2 (bar); 0 below
// 0.6 atm.
float cnsRatePerMinute(float ppO2);

// Adds the CNS load of a segment from p1 to p2 over the given minutes, taken
// at the mean ppO2 of its ends; at 0.6 bar or less the load decays instead
// with a 90-minute half-time.
void updateCns(TissueState& state, float p1, float p2, float minutes, const GasMix& gas, float setpoint);

// Oxygen tolerance units per minute at the given ppO2 (bar).
float otuPerMinute(float ppO2);

} // namespace deco
