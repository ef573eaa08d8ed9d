#include "deco/ceilinghold.h"

#include "deco/lanes.h"
#include "deco/stopwalk.h"
#include "deco/widevectors.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace deco {

namespace {

// Added to every ceiling range, bar: far more than the float computation of
// a ceiling can be off (a few units in the last place of tensions of some
// bar), so that an answer read from a range is the answer of the float code.
constexpr double kCeilingSlack = 1e-4;
constexpr double kCeilingSlackRelative = 1e-5;

enum class Answer { No, Yes, Unknown };

struct Range
{
    double low;
    double high;
};

constexpr double kInfinite = std::numeric_limits<double>::infinity();

// Every ceiling each compartment can have under gf with tensions in the
// bounds, helium followed. Nitrogen and helium tensions are taken as
// independent, which only widens the ranges. Written without branches so
// that the sixteen compartments go through as vectors: each division is made
// whatever the case and the case picks its result.
DECO_WIDE_VECTORS void heliumCeilingRanges(const TissueBounds& bounds, float gf, Range (&ranges)[kCompartments])
{
    const TissueModel& m = tissueModel();
    const double g = gf >= 0.0f ? double(gf) : 0.0; // as the ceiling takes it
    double lows[kCompartments];
    double highs[kCompartments];
    for (int i = 0; i < kCompartments; ++i) {
        const double n2Low = bounds.low().n2[i];
        const double n2High = bounds.high().n2[i];
        const double heLow = bounds.low().he[i];
        const double heHigh = bounds.high().he[i];
        // The helium share grows with helium and shrinks with nitrogen.
        const double leastTotal = n2High + heLow;
        const double mostTotal = n2Low + heHigh;
        const double leastShare = heLow / (leastTotal > 0.0 ? leastTotal : 1.0);
        const double mostShare = heHigh / (mostTotal > 0.0 ? mostTotal : 1.0);
        const double shareLow = leastTotal > 0.0 ? leastShare : 0.0;
        const double shareHigh = mostTotal > 0.0 ? mostShare : 1.0;
        const double aN2 = m.a[Nitrogen][i];
        const double bN2 = m.b[Nitrogen][i];
        const double aStep = double(m.a[Helium][i]) - aN2;
        const double bStep = double(m.b[Helium][i]) - bN2;
        const double a1 = aN2 + shareLow * aStep;
        const double a2 = aN2 + shareHigh * aStep;
        const double b1 = bN2 + shareLow * bStep;
        const double b2 = bN2 + shareHigh * bStep;
        // The denominator g/b - g + 1 is at least 1 and falls as b rises.
        const double smallest = g / std::max(b1, b2) - g + 1.0;
        const double largest = g / std::min(b1, b2) - g + 1.0;
        const double lowest = n2Low + heLow - std::max(a1, a2) * g;
        const double highest = n2High + heHigh - std::min(a1, a2) * g;
        const double low = lowest / (lowest >= 0.0 ? largest : smallest);
        const double high = highest / (highest >= 0.0 ? smallest : largest);
        const double slack = kCeilingSlack + kCeilingSlackRelative * std::max(std::fabs(low), std::fabs(high));
        lows[i] = low - slack;
        highs[i] = high + slack;
    }
    for (int i = 0; i < kCompartments; ++i) {
        const bool usable = bounds.low().n2[i] >= 0.0f && bounds.low().he[i] >= 0.0f
            && double(bounds.high().n2[i]) < kInfinite && double(bounds.high().he[i]) < kInfinite;
        ranges[i] = usable ? Range{lows[i], highs[i]} : Range{-kInfinite, kInfinite};
    }
}

// Without helium, a and b are constants and each float operation of the
// ceiling keeps the order of the tensions, so the ceilings of the lowest and
// highest tensions bound all the others exactly: each compartment's ceilings
// at the two ends, and the model's (never below 0). False when a ceiling is
// not a number.
bool nitrogenCeilingRanges(const TissueBounds& bounds, float gf, CompartmentArray& lows, CompartmentArray& highs,
                           float& lowest, float& highest)
{
    nitrogenCeilings(bounds.low(), bounds.high(), gf, lows, highs);
    // The largest of each end's ceilings and 0, as ceilingPressure takes it,
    // per lane and then across the lanes (no ceiling left is not a number).
    typedef int LaneFlags __attribute__((vector_size(16)));
    LaneFlags unknown = {0, 0, 0, 0};
    Lanes bestLow = {0.0f, 0.0f, 0.0f, 0.0f};
    Lanes bestHigh = {0.0f, 0.0f, 0.0f, 0.0f};
#pragma GCC unroll 4
    for (int i = 0; i < kCompartments; i += kLanes) {
        const Lanes l = lanesAt(&lows[i]);
        const Lanes h = lanesAt(&highs[i]);
        unknown |= (l != l) | (h != h);
        bestLow = l > bestLow ? l : bestLow;
        bestHigh = h > bestHigh ? h : bestHigh;
    }
    lowest = 0.0f;
    highest = 0.0f;
    for (int l = 0; l < kLanes; ++l) {
        if (unknown[l] != 0)
            return false;
        lowest = bestLow[l] > lowest ? bestLow[l] : lowest;
        highest = bestHigh[l] > highest ? bestHigh[l] : highest;
    }
    return true;
}

// The ceiling of the whole model, as ceilingPressure takes it (never below 0).
Range ceilingRange(const TissueBounds& bounds, float gf)
{
    if (!bounds.low().heliumUsed) {
        CompartmentArray lows;
        CompartmentArray highs;
        float lowest = 0.0f;
        float highest = 0.0f;
        if (!nitrogenCeilingRanges(bounds, gf, lows, highs, lowest, highest))
            return {-kInfinite, kInfinite};
        return {double(lowest), double(highest)};
    }
    Range ranges[kCompartments];
    heliumCeilingRanges(bounds, gf, ranges);
    Range total{0.0, 0.0};
    for (const Range& r : ranges) {
        total.low = std::max(total.low, r.low);
        total.high = std::max(total.high, r.high);
    }
    return total;
}

// isSafeAt for every tension in the bounds.
Answer safeAt(const TissueBounds& bounds, float ambient, float gf)
{
    const Range ceiling = ceilingRange(bounds, gf);
    if (ceiling.high < double(ambient))
        return Answer::Yes;
    if (ceiling.low > double(ambient))
        return Answer::No;
    return Answer::Unknown;
}

// Loading is monotone in each compartment's own tension, so loading the
// lowest and the highest tensions bounds the loaded tensions.
TissueBounds ascended(const TissueBounds& bounds, float from, float to, float minutes, const GasMix& gas,
                      float setpoint)
{
    TissueState low = bounds.low();
    TissueState high = bounds.high();
    loadSegment(low, from, to, minutes, gas, setpoint);
    loadSegment(high, from, to, minutes, gas, setpoint);
    TissueBounds out(low);
    out.include(high);
    return out;
}

// The ambient pressures of the samples a test covers.
struct AmbientRange
{
    float low;
    float high;
};

// Beyond the float error of two Schreiner loads of tensions of this size, bar.
constexpr float kMovedSlack = 1e-4f;
constexpr float kMovedSlackRelative = 4e-6f;

// Widens each compartment's range of one gas by how far its tension can move
// in `minutes` towards an inspired pressure between the two given: never
// further than k t times the widest gap between a tension and an inspired
// pressure on the way, which is at most the span of both ranges together.
// (Rounding here is far inside the slack added after the ascent.)
void widenForStay(CompartmentArray& low, CompartmentArray& high, const CompartmentArray& k, float minutes,
                  float inspiredLow, float inspiredHigh)
{
    const float lowestInspired = std::min(inspiredLow, inspiredHigh);
    const float highestInspired = std::max(inspiredLow, inspiredHigh);
    CompartmentArray l = low;
    CompartmentArray h = high;
    for (int i = 0; i < kCompartments; ++i) {
        const float top = h[i] > highestInspired ? h[i] : highestInspired;
        const float bottom = l[i] < lowestInspired ? l[i] : lowestInspired;
        const float move = k[i] * minutes * (top - bottom);
        const float lowered = l[i] - move;
        l[i] = lowered > 0.0f ? lowered : 0.0f;
        h[i] += move;
    }
    low = l;
    high = h;
}

// The tensions after a direct ascent at `rate` to `to` from any pressure in
// the range, for tensions within the bounds. Ascending from deeper first
// passes the range's low end, so every such ascent is an ascent from the low
// end of tensions that have moved for at most the time between the range's
// ends; those are bounded, then ascended from the low end, and the result is
// widened past the float error of both ways of loading. Open circuit only
// (the inspired pressures must follow the ambient pressure in a straight
// line); `minutes` is the ascent time from the low end.
std::optional<TissueBounds> ascendedFrom(const TissueBounds& bounds, AmbientRange from, float to, float rate,
                                         const GasMix& gas, float setpoint)
{
    const float minutes = (from.low - to) / rate;
    if (from.low == from.high)
        return ascended(bounds, from.low, to, minutes, gas, setpoint);
    if (!isOpenCircuit(setpoint))
        return std::nullopt;
    // Rounded up a little: the samples' own ascent times are float quotients.
    const float passing = (from.high - from.low) / rate * 1.001f;
    TissueState low = bounds.low();
    TissueState high = bounds.high();
    const TissueModel& model = tissueModel();
    widenForStay(low.n2, high.n2, model.k[Nitrogen], passing, inspiredN2(gas, setpoint, from.low),
                 inspiredN2(gas, setpoint, from.high));
    if (low.heliumUsed || gas.hasHelium()) {
        widenForStay(low.he, high.he, model.k[Helium], passing, inspiredHe(gas, setpoint, from.low),
                     inspiredHe(gas, setpoint, from.high));
    }
    TissueBounds widened(low);
    widened.include(high);
    TissueBounds out = ascended(widened, from.low, to, minutes, gas, setpoint);
    float largest = 0.0f;
    for (int i = 0; i < kCompartments; ++i)
        largest = std::max({largest, out.high().n2[i], out.high().he[i]});
    out.widen(kMovedSlack + kMovedSlackRelative * largest);
    return out;
}

// stopTakesTime of the schedule for every tension in the bounds.
Answer takesTime(const TissueBounds& bounds, const GasMix& gas, float setpoint, float here, float above, float gf)
{
    if (bounds.low().heliumUsed || gas.hasHelium()) {
        const Range ceiling = ceilingRange(bounds, gf);
        if (ceiling.low > double(above))
            return Answer::Yes;
        if (ceiling.high < double(above))
            return Answer::No;
        return Answer::Unknown;
    }
    // Nitrogen alone: a compartment needs time when its tension is above
    // the limit at the next stop; the limit does not depend on the tension.
    const float inspired = inspiredN2(gas, setpoint, here);
    bool every = true;
    CompartmentArray limits;
    mValues(bounds.low(), above, gf, limits);
    for (int i = 0; i < kCompartments; ++i) {
        const float limit = limits[i];
        const float low = bounds.low().n2[i];
        const float high = bounds.high().n2[i];
        if (low > limit && (inspired >= limit || low - inspired > limit - inspired))
            return Answer::Yes;
        if (!(high < limit))
            every = false;
    }
    return every ? Answer::No : Answer::Unknown;
}

// A tension this far under the one a direct ascent brings to its surfacing
// M-value is under it in the float computation of that tension too, bar.
constexpr float kRequiredSlack = 1e-4f;

// While no stop is needed: the closed-form limit is certainly not 0.
bool limitStaysOpen(const DecoState& state, const config_t& config, const TissueBounds& bounds, AmbientRange ambient)
{
    const GasMix& gas = config.currentGas();
    const float setpoint = config.activeSetpoint();
    if (!isOpenCircuit(setpoint) || bounds.low().heliumUsed || gas.hasHelium())
        return false;
    const float surface = config.surfacePressure();
    if (!(state.ndl == kNdlLimit && state.stopCount == 0 && state.firstStopIndex == 0
          && state.firstStopPressure == surface && state.anchorPressure == 0.0f))
        return false;
    if (ambient.low != ambient.high) {
        // The limit is 0 exactly when a tension is at or above the one that
        // arrives at its surfacing M-value after the direct ascent. Ascended
        // from anywhere in the range, every tension stays clearly under it.
        if (!(ambient.low > surface))
            return false;
        const std::optional<TissueBounds> ascent =
            ascendedFrom(bounds, ambient, surface, config.ascentRate(), gas, setpoint);
        if (!ascent)
            return false;
        CompartmentArray limits;
        mValues(bounds.low(), surface, config.gradientFactors().gfHigh, limits);
        for (int i = 0; i < kCompartments; ++i) {
            if (!(ascent->high().n2[i] < limits[i] - kRequiredSlack))
                return false;
        }
        return true;
    }
    const NdlThresholds thresholds =
        ndlThresholds(config, bounds.low(), ambient.low, directAscentMinutes(config, ambient.low), gas, setpoint);
    const float inspired = thresholds.inspired;
    for (int i = 0; i < kCompartments; ++i) {
        const float high = bounds.high().n2[i];
        const float required = thresholds.required[i];
        if (!(high < required))
            return false;
        if (high < inspired && required < inspired && !(inspired - high > inspired - required))
            return false;
    }
    return true;
}

// With stops: the first-stop search from the state's first stop ends where it
// started, and the schedule's first stop that takes time is the listed one.
bool stopsStay(const DecoState& state, const config_t& config, const TissueBounds& bounds, AmbientRange ambient)
{
    const StopGrid grid(config);
    const GradientFactors& factors = config.gradientFactors();
    const GasMix& bottomGas = config.currentGas();
    const float bottomSetpoint = config.activeSetpoint();
    const float rate = config.ascentRate();
    const int first = state.firstStopIndex;
    // The ascent to the first stop, once tried, serves the walk below too:
    // it starts on the same gas and setpoint.
    std::optional<TissueBounds> firstAscent;
    auto mayLeave = [&](int i) {
        const float here = grid(i);
        const float above = grid(i - 1);
        const float gf = gfAt(state, factors, grid, i - 1, above);
        // No sample ascends to the stop, or every sample does.
        if (!(here < ambient.high))
            return safeAt(bounds, above, gf);
        if (!(here < ambient.low))
            return Answer::Unknown;
        std::optional<TissueBounds> ascent = ascendedFrom(bounds, ambient, here, rate, bottomGas, bottomSetpoint);
        if (!ascent)
            return Answer::Unknown;
        const Answer answer = safeAt(*ascent, above, gf);
        if (i == first)
            firstAscent = std::move(ascent);
        return answer;
    };

    if (first < 1 || first > kMaxStopIndex || first > state.anchorStopIndex || state.stopCount != 1
        || state.ndl != 0.0f || state.firstStopPressure != grid(first) || state.slowRatePressure < state.anchorPressure)
        return false;
    // The search stays at `first`: it may not be left, the stop below may.
    if (mayLeave(first) != Answer::No)
        return false;
    if (first < kMaxStopIndex && mayLeave(first + 1) != Answer::Yes)
        return false;

    StopWalk walk(config);
    // The walk starts from one stop for every sample (the start only moves
    // deeper with the ambient pressure), ascending there from each or from none.
    const int start = walk.startStop(grid, first, ambient.low);
    if (walk.startStop(grid, first, ambient.high) != start)
        return false;
    const float startPressure = grid(start);
    std::optional<TissueBounds> copy = bounds;
    if (startPressure < ambient.low)
        copy = start == first && firstAscent ? firstAscent
                                             : ascendedFrom(bounds, ambient, startPressure, rate, walk.gas(), walk.setpoint());
    else if (startPressure < ambient.high)
        return false;
    if (!copy)
        return false;
    const bool switchStops = config.gasSwitchStop() > 0.0f;
    for (int i = start; i >= 1; --i) {
        const float here = grid(i);
        const bool switched = walk.arrive(here);
        const float above = grid(i - 1);
        const float gf = gfAt(state, factors, grid, i - 1, above);
        const Answer timed =
            switched && switchStops ? Answer::Yes : takesTime(*copy, walk.gas(), walk.setpoint(), here, above, gf);
        if (timed == Answer::Unknown)
            return false;
        if (timed == Answer::Yes) {
            const DecoStop& listed = state.stops[0];
            return listed.pressure == here && listed.gasIndex == std::uint8_t(walk.gasIndex())
                && listed.setpointIndex == std::uint8_t(walk.setpointIndex()) && listed.flag == 0;
        }
    }
    return false;
}

} // namespace

void TissueBounds::include(const TissueState& tissues)
{
    // The smaller and the larger of each pair, as std::min and std::max
    // choose them.
    const auto take = [](CompartmentArray& low, CompartmentArray& high, const CompartmentArray& values) {
#pragma GCC unroll 4
        for (int i = 0; i < kCompartments; i += kLanes) {
            const Lanes v = lanesAt(&values[i]);
            const Lanes l = lanesAt(&low[i]);
            const Lanes h = lanesAt(&high[i]);
            storeLanes(&low[i], v < l ? v : l);
            storeLanes(&high[i], h < v ? v : h);
        }
    };
    take(m_low.n2, m_high.n2, tissues.n2);
    take(m_low.he, m_high.he, tissues.he);
    if (tissues.heliumUsed != m_low.heliumUsed)
        m_uniform = false;
}

void TissueBounds::widen(float margin)
{
    // std::max(0, low - margin) and high + margin.
    const auto spread = [margin](CompartmentArray& low, CompartmentArray& high) {
        const Lanes zero = {0.0f, 0.0f, 0.0f, 0.0f};
#pragma GCC unroll 4
        for (int i = 0; i < kCompartments; i += kLanes) {
            const Lanes l = lanesAt(&low[i]) - margin;
            storeLanes(&low[i], zero < l ? l : zero);
            storeLanes(&high[i], lanesAt(&high[i]) + margin);
        }
    };
    spread(m_low.n2, m_high.n2);
    spread(m_low.he, m_high.he);
}

void LevelStretch::setStep(float minutes)
{
    m_stepMinutes = minutes;
    std::uint32_t seconds = roundedSeconds(minutes);
    m_stepSeconds = seconds;
    m_stepLoads = 0;
    for (; seconds > kLargestRowSeconds; seconds -= kLargestRowSeconds)
        ++m_stepLoads;
    for (; seconds != 0; seconds &= seconds - 1)
        ++m_stepLoads;
}

TissueBounds LevelStretch::bounds() const
{
    TissueState end = m_start;
    for (std::uint64_t left = m_seconds; left > 0;) {
        const std::uint32_t part = std::uint32_t(std::min<std::uint64_t>(left, 1u << 30));
        loadConstant(end, part, m_gas, kOpenCircuitSetpoint, m_ambient);
        left -= part;
    }
    TissueBounds bounds(m_start);
    bounds.include(end);
    // Each row applied rounds three times and its factor once (within one
    // unit in the last place); the steps and the one-go load both stay
    // within that of the exact path between the start and the inspired
    // pressure, whose largest magnitude scales the error. Doubled for safety.
    float largest = std::max(inspiredN2(m_gas, kOpenCircuitSetpoint, m_ambient),
                             inspiredHe(m_gas, kOpenCircuitSetpoint, m_ambient));
    for (int i = 0; i < kCompartments; ++i) {
        largest = std::max({largest, bounds.high().n2[i], bounds.high().he[i]});
    }
    constexpr double kUnit = 1.0 / 16777216.0; // 2^-24
    const double loads = double(m_loads) + 64.0; // the one-go load's rows and chunks
    bounds.widen(float(2.0 * 4.0 * loads * kUnit * double(largest)));
    return bounds;
}

bool ceilingStateHolds(const DecoState& state, const config_t& config, const TissueBounds& bounds, float ambient)
{
    if (!bounds.uniform() || !std::isfinite(ambient))
        return false;
    if (state.anchorStopIndex == 0)
        return limitStaysOpen(state, config, bounds, AmbientRange{ambient, ambient});
    return stopsStay(state, config, bounds, AmbientRange{ambient, ambient});
}

bool ceilingStateHoldsWhileMoving(const DecoState& state, const config_t& config, const TissueBounds& bounds,
                                  float lowest, float highest)
{
    if (!bounds.uniform() || !std::isfinite(lowest) || !std::isfinite(highest) || !(lowest <= highest))
        return false;
    if (state.anchorStopIndex == 0)
        return limitStaysOpen(state, config, bounds, AmbientRange{lowest, highest});
    return stopsStay(state, config, bounds, AmbientRange{lowest, highest});
}

CeilingCandidates ceilingCandidates(const TissueBounds& bounds, float gf)
{
    // The model's ceiling is at least the largest lower end (and never below
    // 0); a compartment whose ceiling stays under that never gives it.
    CeilingCandidates out;
    if (!bounds.low().heliumUsed) {
        CompartmentArray lows;
        CompartmentArray highs;
        float floor = 0.0f;
        float highest = 0.0f;
        const bool known = nitrogenCeilingRanges(bounds, gf, lows, highs, floor, highest);
        for (int i = 0; i < kCompartments; ++i) {
            if (!known || !(highs[i] < floor))
                out.compartments[out.count++] = std::uint8_t(i);
        }
        return out;
    }
    Range ranges[kCompartments];
    heliumCeilingRanges(bounds, gf, ranges);
    double floor = 0.0;
    for (const Range& r : ranges)
        floor = std::max(floor, r.low);
    for (int i = 0; i < kCompartments; ++i) {
        if (!(ranges[i].high < floor))
            out.compartments[out.count++] = std::uint8_t(i);
    }
    return out;
}

float heldGradientFactor(const DecoState& state, const config_t& config, float ambient)
{
    return ceilingGf(state, config.gradientFactors(), config.surfacePressure(), ambient);
}

} // namespace deco
