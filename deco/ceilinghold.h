#pragma once

// When a ceiling-following state cannot change. At constant pressure a
// state updated with updateDecoCeiling keeps its first stop, anchor and
// first timed stop for minutes at a time; over such a stretch its ceiling is
// just the tissues' ceiling under the state's gradient factor. These
// functions tell, for the range of tensions a stretch of samples spans,
// whether that is so for every sample, with a margin wider than the
// rounding of the computation, so that skipping the updates changes nothing.

#include "deco/config.h"
#include "deco/decostate.h"
#include "deco/tissuemodel.h"

#include <array>
#include <cstdint>

namespace deco {

// The lowest and highest tension of each compartment over a stretch of
// tissue states.
class TissueBounds
{
public:
    explicit TissueBounds(const TissueState& first) : m_low(first), m_high(first) {}

    void include(const TissueState& tissues);

    const TissueState& low() const { return m_low; }
    const TissueState& high() const { return m_high; }
    // False when the states disagree on whether helium is followed.
    bool uniform() const { return m_uniform; }
    // Widens every range by `margin` bar, never below 0.
    void widen(float margin);

private:
    TissueState m_low;
    TissueState m_high;
    bool m_uniform = true;
};

// The tissue states that loading at one constant pressure on one gas, step
// after step as loadSegment loads them, passes through from `start`. Every
// tension moves steadily towards its inspired pressure, so the ends bound
// the path: the end is loaded in one go and the bounds are widened past the
// float error of the steps and of the one-go load, so that they hold every
// state the steps really produce, to the bit.
class LevelStretch
{
public:
    LevelStretch(const TissueState& start, const GasMix& gas, float ambient)
        : m_start(start), m_gas(gas), m_ambient(ambient)
    {
    }

    // One more step of so many minutes, loaded as loadSegment loads it at
    // constant pressure (loadConstant of the rounded seconds). Steps mostly
    // repeat one length: its seconds and factor rows are kept.
    void addStep(float minutes) { addSteps(&minutes, 1); }
    // addStep of each of so many steps, taken as runs of equal lengths.
    void addSteps(const float* minutes, long count)
    {
        for (long k = 0; k < count;) {
            long end = k + 1;
            while (end < count && minutes[end] == minutes[k])
                ++end;
            addRun(minutes[k], end - k);
            k = end;
        }
    }
    // addStep of `count` steps of the same minutes.
    void addRun(float minutes, long count)
    {
        if (minutes > 0.0f) {
            if (minutes != m_stepMinutes)
                setStep(minutes);
            m_seconds += std::uint64_t(count) * m_stepSeconds;
            m_loads += std::uint64_t(count) * m_stepLoads;
        }
    }
    TissueBounds bounds() const;

private:
    void setStep(float minutes);

    TissueState m_start;
    GasMix m_gas;
    float m_ambient;
    std::uint64_t m_seconds = 0;
    std::uint64_t m_loads = 0; // factor rows applied per inert gas
    float m_stepMinutes = 0.0f;
    std::uint32_t m_stepSeconds = 0;
    std::uint32_t m_stepLoads = 0;
};

// True when updateDecoCeiling of `state` at `ambient`, with any tissues
// within the bounds, would keep the fields that the ceiling and later
// updates read (first stop, anchor, listed first timed stop, the
// no-decompression limit's answer); false when that is not certain. Only the
// closed-form no-decompression limit counts while no stop is needed.
bool ceilingStateHolds(const DecoState& state, const config_t& config, const TissueBounds& bounds, float ambient);

// ceilingStateHolds for samples taken while the pressure moves, in open
// circuit with stops listed: every sample's tensions lie within the bounds
// and its ambient pressure within [lowest, highest], in any combination.
// The state's ceiling then still depends on each sample's own pressure
// through heldGradientFactor.
bool ceilingStateHoldsWhileMoving(const DecoState& state, const config_t& config, const TissueBounds& bounds,
                                  float lowest, float highest);

// The compartments that can give the model's ceiling under gf for tensions
// within the bounds; every other compartment's ceiling is surely smaller, so
// ceilingOfCompartments over these is ceilingPressure.
struct CeilingCandidates
{
    int count = 0;
    std::array<std::uint8_t, kCompartments> compartments{};
};
CeilingCandidates ceilingCandidates(const TissueBounds& bounds, float gf);

// The gradient factor of the state's ceiling at `ambient`: while the state
// holds, updateDecoCeiling's ceiling is ceilingPressure(tissues, this).
float heldGradientFactor(const DecoState& state, const config_t& config, float ambient);

} // namespace deco
