#pragma once

// Pieces of the stop schedule shared by the schedule itself and by the test
// that tells when a ceiling-following state cannot change: the stop grid,
// the gradient factor of a stop and the walk of gases and setpoints from the
// first stop up. Internal to the engine.

#include "deco/config.h"
#include "deco/decostate.h"

#include <algorithm>
#include <cmath>

namespace deco {

// The stop pressures of one configuration, worked out with the very
// operations of stopPressure and depthToPressure, in their order, so that
// they come out the same to the last bit, without looking the configuration
// up again for every stop.
class StopGrid
{
public:
    explicit StopGrid(const config_t& config)
        : m_surface(config.surfacePressure()),
          m_weight(config.waterDensity() * kGravity),
          m_lastStop(config.lastStopDepth()),
          m_spacing(stopSpacing(config)),
          m_base(std::round(m_lastStop / m_spacing) * m_spacing)
    {
    }

    float surface() const { return m_surface; }

    float operator()(int n) const
    {
        if (n <= 0)
            return m_surface;
        const float depth = n == 1 ? m_lastStop : m_base + float(n - 1) * m_spacing;
        return m_weight * depth / 100.0f + m_surface;
    }

private:
    float m_surface;
    float m_weight;
    float m_lastStop;
    float m_spacing;
    float m_base;
};

// Gradient factor at stop n: gfLow at the state's anchor stop, rising
// linearly in pressure to gfHigh at the surface.
inline float gfAt(const DecoState& state, const GradientFactors& gf, const StopGrid& grid, int n, float stopPressureBar)
{
    const int anchorIndex = state.anchorStopIndex;
    const int m = std::max(anchorIndex, n + 1);
    if (m <= 1 || gf.gfLow == gf.gfHigh)
        return gf.gfHigh;
    const float anchor = m == anchorIndex ? state.anchorPressure : grid(m);
    const float surface = grid.surface();
    if (!(anchor > surface))
        return gf.gfHigh;
    const float f = (stopPressureBar - anchor) / (surface - anchor);
    return (1.0f - f) * gf.gfLow + f * gf.gfHigh;
}

// The gradient factor of a state's ceiling at ambient pressure p: gfLow from
// the anchor down, interpolated towards gfHigh at the surface from the first
// listed stop (or p when deeper) up, gfHigh without an anchor.
inline float ceilingGf(const DecoState& state, const GradientFactors& factors, float surface, float ambient)
{
    float reference = state.stopCount > 0 ? state.stops[0].pressure : surface;
    if (factors.gfLow == factors.gfHigh || state.anchorStopIndex < 1)
        return factors.gfHigh;
    reference = std::max(reference, ambient);
    const float anchor = state.anchorPressure;
    if (reference >= anchor)
        return factors.gfLow;
    if (reference > surface) {
        const float f = (reference - anchor) / (surface - anchor);
        return (1.0f - f) * factors.gfLow + f * factors.gfHigh;
    }
    return factors.gfHigh;
}

// The gases and setpoints of the ascent, stop by stop from the first up: in
// open circuit with deco gases the next gas of the sorted list is taken at
// the first stop at or above its switch depth; in closed circuit the deco
// setpoint from 6 m up when the configuration asks for it.
class StopWalk
{
public:
    // What only a gas switch or the deco setpoint needs is looked up only
    // when the walk can come to one: most walks stay on one gas.
    explicit StopWalk(const config_t& config)
        : m_config(config),
          m_closedCircuit(config.isClosedCircuit()),
          m_gasIndex(config.currentGasIndex()),
          m_gas(&config.currentGas()),
          m_nextIndex(m_gasIndex),
          m_setpointIndex(config.currentSetpointIndex()),
          m_setpoint(config.activeSetpoint())
    {
        if (m_closedCircuit) {
            m_sixMetres = depthToPressure(config, 6.0f);
        } else if (config.decoGasesEnabled()) {
            m_nextIndex = config.nextGasIndex(m_gasIndex);
            m_decoMaxPpO2 = config.decoMaxPpO2();
            if (m_nextIndex != m_gasIndex)
                m_switchPressure = modPressure(config.gas(m_nextIndex), m_setpoint, m_decoMaxPpO2);
        }
    }

    // The stop the listed schedule starts at. With a least time at a gas
    // switch, a switch that the ascent passes before the first stop is made
    // at the deepest stop at or above the gas's switch depth, which becomes
    // the first listed stop. Without it the switches are made at the stops
    // only, the first at the first stop.
    int startStop(const StopGrid& grid, int firstStop, float ambient) const
    {
        int start = firstStop;
        if (start >= 1 && m_config.gasSwitchStop() > 0.0f) {
            while (start < kMaxStopIndex && grid(start + 1) < ambient && grid(start + 1) <= m_switchPressure)
                ++start;
        }
        return start;
    }

    // Arrives at the stop at pressure `here`, taking the gases and setpoint
    // due there; true when the gas was switched.
    bool arrive(float here)
    {
        bool switched = false;
        while (here <= m_switchPressure) {
            switched = true;
            m_gasIndex = m_nextIndex;
            m_gas = &m_config.gas(m_gasIndex);
            const int following = m_config.nextGasIndex(m_gasIndex);
            if (following != m_gasIndex) {
                m_nextIndex = following;
                m_switchPressure = modPressure(m_config.gas(m_nextIndex), m_setpoint, m_decoMaxPpO2);
            } else {
                m_switchPressure = 0.0f;
            }
        }
        if (m_closedCircuit && m_config.usesSetpointAtSixMetres() && here <= m_sixMetres) {
            m_setpointIndex = config_t::kDecoSetpoint;
            m_setpoint = m_config.setpoint(m_setpointIndex).ppO2;
        }
        return switched;
    }

    const GasMix& gas() const { return *m_gas; }
    int gasIndex() const { return m_gasIndex; }
    float setpoint() const { return m_setpoint; }
    int setpointIndex() const { return m_setpointIndex; }

private:
    const config_t& m_config;
    bool m_closedCircuit;
    int m_gasIndex;
    const GasMix* m_gas;
    int m_nextIndex;
    int m_setpointIndex;
    float m_setpoint;
    float m_decoMaxPpO2 = 0.0f;
    float m_sixMetres = 0.0f;
    float m_switchPressure = 0.0f;
};

// The tension each compartment may reach before a direct ascent from
// `ambient` to the surface breaks its surfacing M-value (nitrogen only, open
// circuit), and the inspired nitrogen at `ambient`: the closed-form
// no-decompression limit is 0 as soon as a tension exceeds its entry.
struct NdlThresholds
{
    float inspired = 0.0f;
    CompartmentArray required{};
};
NdlThresholds ndlThresholds(const config_t& config, const TissueState& tissues, float ambient, float ascent,
                            const GasMix& gas, float setpoint);

// Minutes of the direct ascent from `ambient` to the surface (0 at or above it).
float directAscentMinutes(const config_t& config, float ambient);

} // namespace deco
