#pragma once

// Four compartments in one vector (GCC vector extensions): each lane makes
// the very operation of the plain code on its compartment, so results are
// the same to the bit. Internal to the engine.

#include "deco/tissuemodel.h"

#include <cstring>

namespace deco {

typedef float Lanes __attribute__((vector_size(16)));
constexpr int kLanes = 4;
constexpr int kLaneGroups = kCompartments / kLanes;
static_assert(kCompartments % kLanes == 0, "whole vectors of compartments");

inline Lanes lanesAt(const float* values)
{
    Lanes v;
    std::memcpy(&v, values, sizeof v);
    return v;
}

inline void storeLanes(float* values, Lanes v)
{
    std::memcpy(values, &v, sizeof v);
}

} // namespace deco
