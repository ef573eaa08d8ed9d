#include "deco/decostate.h"

#include "deco/oxygen.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace deco {

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Searches the 5-second steps 0 ... maxSteps for the point where allowed(n)
// stops having the value it has at step 0 (atZero), starting from the bracket
// [lo, hi] of the previous answer and widening it by doubling steps. Returns
// the last step that still has the value of step 0, or -1 when even the full
// range shows the same value at both ends.
//
// When the widened bracket shows a change whose low end already differs from
// step 0 (the predicate changed and changed back), the first change lies in
// [0, lo] and the bisection continues there, so the answer is always a change
// that follows step 0, never a later one.
template <typename Allowed>
int boundaryStep(const Allowed& allowed, bool atZero, int lo, int hi, int maxSteps)
{
    lo = std::clamp(lo, 0, maxSteps);
    hi = std::clamp(hi, 0, maxSteps);
    auto valueAt = [&](int n) { return n == 0 ? atZero : allowed(n); };
    bool lowValue = valueAt(lo);
    bool highValue = valueAt(hi);
    for (int step = 1; lowValue == highValue; step *= 2) {
        const int newLo = std::max(0, lo - step);
        const int newHi = std::min(maxSteps, hi + step);
        if (newLo == lo && newHi == hi)
            return -1;
        if (newLo != lo) {
            lo = newLo;
            lowValue = valueAt(lo);
        }
        if (newHi != hi) {
            hi = newHi;
            highValue = valueAt(hi);
        }
    }
    if (lowValue != atZero) {
        hi = lo;
        lo = 0;
    }
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (allowed(mid) == atZero)
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

float stepsToMinutes(int steps)
{
    return float(steps * kSearchStepSeconds) / 60.0f;
}

std::uint32_t stepsToSeconds(int steps)
{
    return std::uint32_t(steps) * std::uint32_t(kSearchStepSeconds);
}

// Closed form for nitrogen in open circuit. For each compartment, the tension
// that arrives exactly at its surfacing M-value after the direct ascent
// (Schreiner solved for the start tension), then the Haldane time to reach it.
float analyticNdl(const config_t& config, const TissueState& tissues, float ambient, float ascent,
                  const GasMix& gas, float setpoint)
{
    const float surface = config.surfacePressure();
    const float gfHigh = config.gradientFactors().gfHigh;
    const float inspired = inspiredN2(gas, setpoint, ambient);
    // A zero-length ascent (at the surface) has no rate: R = 0, not 0/0.
    const float rate = ascent > 0.0f ? (inspiredN2(gas, setpoint, surface) - inspired) / ascent : 0.0f;
    const DurationFactors* factors = ascent > 0.0f ? &durationFactors(Nitrogen, ascent) : nullptr;
    const TissueModel& model = tissueModel();

    float ndl = kNdlLimit;
    for (int i = 0; i < kCompartments; ++i) {
        const float p = tissues.n2[i];
        const float limit = mValue(tissues, surface, i, gfHigh);
        const float decay = factors ? factors->decay[i] : 1.0f;
        const float gain = factors ? factors->gain[i] : 0.0f;
        // (M - (T - 1/k) R - Pi) / e^(-kT) + Pi - R/k, rearranged so that the
        // large R/k terms of slow compartments do not cancel in single precision.
        const float required = (limit - inspired - rate * (ascent - gain)) / decay + inspired;
        if (required < p)
            return 0.0f;
        if (p < inspired && required < inspired) {
            const double minutes = std::log(double(inspired - p) / double(inspired - required))
                / double(model.k[Nitrogen][i]);
            ndl = std::min(ndl, float(minutes));
        }
    }
    return ndl;
}

void shiftStopTimes(DecoState& state, int shift)
{
    if (shift == 0)
        return;
    // The first stop moved by `shift` stops: each time follows its depth.
    // Shifts of the table's length or more leave nothing to keep.
    std::array<float, kMaxStops> previous;
    for (int k = 0; k < kMaxStops; ++k)
        previous[k] = state.stops[k].time;
    for (int k = 0; k < kMaxStops; ++k) {
        const long source = long(k) - long(shift);
        state.stops[k].time = source >= 0 && source < kMaxStops ? previous[source] : kInitialStopGuess;
    }
}

void writeStop(DecoState& state, const DecoStop& stop)
{
    // Beyond the table, later stops overwrite the last entry, which stays listed.
    state.stops[std::min(state.stopCount, kMaxStops - 1)] = stop;
    if (state.stopCount < kMaxStops)
        ++state.stopCount;
}

} // namespace

DecoState::DecoState(const config_t& config)
{
    initDecoState(*this, config);
}

void initDecoState(DecoState& state, const config_t& config)
{
    const float surface = config.surfacePressure();
    state.timeToSurface = 0.0f;
    state.totalStopTime = 0.0f;
    state.ceiling = 0.0f;
    state.ndl = kNdlLimit;
    state.maxCns = 0.0f;
    state.firstStopIndex = 0;
    state.firstStopPressure = surface;
    state.anchorStopIndex = 0;
    state.anchorPressure = surface;
    state.slowRatePressure = stopPressure(config, 1);
    state.stopCount = 0;
    for (DecoStop& stop : state.stops)
        stop = DecoStop();
    state.surfaceSupersaturation = 0.0f;
}

float gfAtStop(const DecoState& state, const config_t& config, int n, float stopPressureBar)
{
    const GradientFactors& gf = config.gradientFactors();
    const int anchorIndex = state.anchorStopIndex;
    const int m = std::max(anchorIndex, n + 1);
    if (m <= 1 || gf.gfLow == gf.gfHigh)
        return gf.gfHigh;
    const float anchor = m == anchorIndex ? state.anchorPressure : stopPressure(config, m);
    const float surface = config.surfacePressure();
    if (!(anchor > surface))
        return gf.gfHigh;
    const float f = (stopPressureBar - anchor) / (surface - anchor);
    return (1.0f - f) * gf.gfLow + f * gf.gfHigh;
}

float ndlTime(const DecoState& state, const config_t& config, const TissueState& tissues, float ambient)
{
    const GasMix& gas = config.currentGas();
    const float setpoint = config.activeSetpoint();
    const float surface = config.surfacePressure();
    float ascent = (ambient - surface) / config.ascentRate();
    if (!(ascent > 0.0f))
        ascent = 0.0f;
    if (isOpenCircuit(setpoint) && !tissues.heliumUsed && !gas.hasHelium())
        return analyticNdl(config, tissues, ambient, ascent, gas, setpoint);

    const float gfHigh = config.gradientFactors().gfHigh;
    auto surfacingAllowed = [&](int steps) {
        TissueState copy = tissues;
        loadConstant(copy, stepsToSeconds(steps), gas, setpoint, ambient);
        if (ambient > surface)
            loadSegment(copy, ambient, surface, ascent, gas, setpoint);
        return surface - ceilingPressure(copy, gfHigh) >= 0.0f;
    };
    // Not allowed now: no limit left, as in the closed form, whatever later
    // off-gassing at this depth would allow.
    if (!surfacingAllowed(0))
        return 0.0f;

    int lo = 0;
    int hi = kNdlSearchSteps;
    const float previous = state.ndl;
    if (previous > 0.0f && previous < kNdlLimit) {
        lo = int(std::floor(previous * 60.0f / float(kSearchStepSeconds))) - 1;
        hi = lo + 2;
    }
    const int last = boundaryStep(surfacingAllowed, true, lo, hi, kNdlSearchSteps);
    // Still allowed after the whole range: the limit is at least 250 minutes.
    if (last < 0)
        return kNdlLimit;
    return stepsToMinutes(last);
}

float stopTime(const TissueState& tissues, const GasMix& gas, float setpoint, float stopPressureBar,
               float nextStopPressure, float gf, float firstGuess)
{
    if (!tissues.heliumUsed && !gas.hasHelium()) {
        const float inspired = inspiredN2(gas, setpoint, stopPressureBar);
        const TissueModel& model = tissueModel();
        double longest = 0.0;
        for (int i = 0; i < kCompartments; ++i) {
            const float p = tissues.n2[i];
            const float limit = mValue(tissues, nextStopPressure, i, gf);
            // Above the limit, or at it and still taking up gas. A compartment
            // already at the inspired pressure above its limit never clears.
            if (!(p > limit || (p == limit && inspired > p)))
                continue;
            if (inspired >= limit)
                return kInfinity;
            const double minutes = std::log(double(p - inspired) / double(limit - inspired))
                / double(model.k[Nitrogen][i]);
            longest = std::max(longest, minutes);
        }
        return float(longest);
    }

    auto nextStopAllowed = [&](int steps) {
        TissueState copy = tissues;
        loadConstant(copy, stepsToSeconds(steps), gas, setpoint, stopPressureBar);
        return nextStopPressure - ceilingPressure(copy, gf) >= 0.0f;
    };
    if (nextStopAllowed(0))
        return 0.0f;
    float guess = firstGuess > 0.0f ? firstGuess : 0.0f;
    guess = std::min(guess, kMaxStopMinutes);
    const int n0 = int(std::ceil(guess * 60.0f / float(kSearchStepSeconds)));
    const int lastBlocked = boundaryStep(nextStopAllowed, false, n0 - 1, n0, kStopSearchSteps);
    // Never allowed within 2000 minutes: the stop does not clear.
    if (lastBlocked < 0)
        return kInfinity;
    // The stop lasts until the next stop is allowed: the first allowed step,
    // not the last blocked one, which would leave up to 5 seconds early.
    return stepsToMinutes(lastBlocked + 1);
}

void findFirstStop(DecoState& state, const config_t& config, const TissueState& tissues, float ambient)
{
    const GasMix& gas = config.currentGas();
    const float setpoint = config.activeSetpoint();
    const float rate = config.ascentRate();

    // May stop i be left for stop i - 1, after a direct ascent to stop i?
    auto mayLeave = [&](int i) {
        const float here = stopPressure(config, i);
        const float above = stopPressure(config, i - 1);
        const float gf = gfAtStop(state, config, i - 1, above);
        if (!(here < ambient))
            return isSafeAt(tissues, above, gf);
        TissueState copy = tissues;
        loadSegment(copy, ambient, here, (ambient - here) / rate, gas, setpoint);
        return isSafeAt(copy, above, gf);
    };

    int i = std::clamp(state.firstStopIndex, 0, kMaxStopIndex);
    if (i == 0)
        i = 1;
    if (!mayLeave(i)) {
        while (i < kMaxStopIndex && !mayLeave(i + 1))
            ++i;
    } else {
        --i;
        while (i > 0 && mayLeave(i))
            --i;
    }

    state.firstStopIndex = i;
    state.firstStopPressure = stopPressure(config, i);
    if (i == 0) {
        state.anchorStopIndex = 0;
        state.anchorPressure = 0.0f;
    } else if (i > state.anchorStopIndex) {
        state.anchorStopIndex = i;
        state.anchorPressure = state.firstStopPressure;
    }
}

void computeSchedule(DecoState& state, const config_t& config, const TissueState& tissues, float ambient)
{
    state.timeToSurface = 0.0f;
    state.totalStopTime = 0.0f;
    state.stopCount = 0;
    state.ndl = 0.0f;
    state.maxCns = tissues.cns;
    TissueState copy = tissues;

    const int previousFirst = state.firstStopIndex;
    findFirstStop(state, config, copy, ambient);
    state.slowRatePressure = std::max(state.slowRatePressure, state.anchorPressure);
    shiftStopTimes(state, state.firstStopIndex - previousFirst);

    const bool closedCircuit = config.isClosedCircuit();
    float rate = config.ascentRate();
    int gasIndex = config.currentGasIndex();
    const GasMix* gas = &config.currentGas();
    int nextIndex = config.nextGasIndex(gasIndex);
    int setpointIndex = config.currentSetpointIndex();
    float setpoint = config.activeSetpoint();
    const float decoMaxPpO2 = config.decoMaxPpO2();
    float switchPressure = 0.0f;
    if (!closedCircuit && config.decoGasesEnabled() && nextIndex != gasIndex)
        switchPressure = modPressure(config.gas(nextIndex), setpoint, decoMaxPpO2);

    const float firstPressure = state.firstStopPressure;
    if (firstPressure < ambient) {
        const float minutes = (ambient - firstPressure) / rate;
        loadSegment(copy, ambient, firstPressure, minutes, *gas, setpoint);
        updateCns(copy, ambient, firstPressure, minutes, *gas, setpoint);
        state.timeToSurface += minutes;
        state.maxCns = std::max(state.maxCns, copy.cns);
    }

    const float sixMetres = depthToPressure(config, 6.0f);
    for (int i = state.firstStopIndex; i >= 1; --i) {
        const float here = stopPressure(config, i);
        while (here <= switchPressure) {
            gasIndex = nextIndex;
            gas = &config.gas(gasIndex);
            const int following = config.nextGasIndex(gasIndex);
            if (following != gasIndex) {
                nextIndex = following;
                switchPressure = modPressure(config.gas(nextIndex), setpoint, decoMaxPpO2);
            } else {
                switchPressure = 0.0f;
            }
        }
        if (closedCircuit && config.usesSetpointAtSixMetres() && here <= sixMetres) {
            setpointIndex = config_t::kDecoSetpoint;
            setpoint = config.setpoint(setpointIndex).ppO2;
        }

        const float above = stopPressure(config, i - 1);
        const float gf = gfAtStop(state, config, i - 1, above);
        const float guess = state.stops[std::min(state.stopCount, kMaxStops - 1)].time;
        float minutes = stopTime(copy, *gas, setpoint, here, above, gf, guess);
        if (!(minutes <= kMaxStopMinutes))
            minutes = kMaxStopMinutes;

        const DecoStop stop{here, minutes, std::uint8_t(gasIndex), std::uint8_t(setpointIndex), 0};
        if (minutes != 0.0f) {
            loadConstant(copy, roundedSeconds(minutes), *gas, setpoint, here);
            updateCns(copy, here, here, minutes, *gas, setpoint);
            state.timeToSurface += minutes;
            state.totalStopTime += minutes;
            state.maxCns = std::max(state.maxCns, copy.cns);
            rate = config.decoAscentRate();
            writeStop(state, stop);
        } else if (state.stopCount > 0) {
            writeStop(state, stop);
        }
        // The ascent to the next stop is timed but not loaded.
        state.timeToSurface += (here - above) / rate;
    }

    state.maxCns = std::max(state.maxCns, copy.cns);
    state.surfaceSupersaturation = maxSupersaturation(copy, config.surfacePressure());
}

void updateNoDecompression(DecoState& state, const config_t& config, const TissueState& tissues, float ambient)
{
    const float surface = config.surfacePressure();
    const float slow = state.slowRatePressure;
    if (ambient <= surface)
        state.timeToSurface = 0.0f;
    else if (ambient <= slow)
        state.timeToSurface = (ambient - surface) / config.decoAscentRate();
    else
        state.timeToSurface = (slow - surface) / config.decoAscentRate() + (ambient - slow) / config.ascentRate();
    state.totalStopTime = 0.0f;
    state.stopCount = 0;
    state.ndl = ndlTime(state, config, tissues, ambient);
    state.firstStopIndex = 0;
    state.firstStopPressure = surface;
    state.maxCns = tissues.cns;
    state.anchorStopIndex = 0;
    state.anchorPressure = 0.0f;
}

void updateDecoState(DecoState& state, const config_t& config, const TissueState& tissues, float ambient)
{
    if (state.anchorStopIndex == 0) {
        updateNoDecompression(state, config, tissues, ambient);
        if (state.ndl == 0.0f)
            computeSchedule(state, config, tissues, ambient);
    } else {
        computeSchedule(state, config, tissues, ambient);
        if (state.stopCount == 0) {
            state.slowRatePressure = stopPressure(config, 1);
            updateNoDecompression(state, config, tissues, ambient);
        }
    }

    const GradientFactors& factors = config.gradientFactors();
    const float surface = config.surfacePressure();
    float reference = state.stopCount > 0 ? state.stops[0].pressure : surface;
    float gf = factors.gfHigh;
    if (factors.gfLow != factors.gfHigh && state.anchorStopIndex >= 1) {
        reference = std::max(reference, ambient);
        const float anchor = state.anchorPressure;
        if (reference >= anchor) {
            gf = factors.gfLow;
        } else if (reference > surface) {
            const float f = (reference - anchor) / (surface - anchor);
            gf = (1.0f - f) * factors.gfLow + f * factors.gfHigh;
        }
    }
    state.ceiling = ceilingPressure(tissues, gf);
}

} // namespace deco
