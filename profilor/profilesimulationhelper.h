#pragma once

#include "profilor/profilorglobal.h"

#include <QtGlobal>

#include <functional>
#include <vector>

struct Dive;

// One sample of a dive replayed at a fixed step.
struct PROFILOR_EXPORT StepSimulation
{
    double timeSec = 0.0;    // s since the start of the dive
    quint16 depthDm = 0;     // depth in tenths of a metre, truncated towards zero
    double value = 0.0;      // the depth function's result for the depth
    double temperature = 0.0; // ambientTemp of the line that starts the segment
    double ceiling = 0.0;    // decoCeiling of that line; kNoCeiling on the last two samples

    static constexpr double kNoCeiling = -250.0;
};

// Turns the profile of a dive into a time series sampled at a fixed step, each
// sample carrying the interpolated depth and a value computed from it by the
// caller's function (the ambient pressure, when a dive is replayed to a dive
// computer). No decompression is computed here.
class PROFILOR_EXPORT ProfileSimulationHelper
{
public:
    using DepthFunction = std::function<float(float)>;

    // Longest series prepared: a dive that would need more samples (absurd
    // times, a tiny step) gives an empty series instead of filling memory.
    static constexpr std::size_t kMaxSamples = 5'000'000;

    explicit ProfileSimulationHelper(DepthFunction depthFunction);
    ProfileSimulationHelper(const ProfileSimulationHelper& other);
    ProfileSimulationHelper(ProfileSimulationHelper&& other) noexcept;
    ProfileSimulationHelper& operator=(const ProfileSimulationHelper& other);
    ProfileSimulationHelper& operator=(ProfileSimulationHelper&& other) noexcept;
    ~ProfileSimulationHelper();

    // Fills `out` with the dive sampled every `stepMs` milliseconds, then a
    // closing sample at the surface with `lastValue` when the last sample's
    // value is above 0. A step of 0 ms or less, or a dive without lines, gives
    // an empty series. Calling it on a helper without a function (moved from)
    // throws std::bad_function_call.
    void prepareSimulation(const Dive& dive, int stepMs, std::vector<StepSimulation>& out, float lastValue) const;

private:
    DepthFunction mDepthFunction;
};
