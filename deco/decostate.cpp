#include "deco/decostate.h"

#include "deco/oxygen.h"
#include "deco/stopwalk.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace deco {

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Tissues after the direct ascent to a stop, kept by the first-stop search
// for the schedule that follows it.
struct AscentCopy
{
    int stop = -1;
    TissueState tissues;
};

void locateFirstStop(DecoState& state, const config_t& config, const StopGrid& grid, const TissueState& tissues,
                     float ambient, AscentCopy* kept)
{
    const GasMix& gas = config.currentGas();
    const float setpoint = config.activeSetpoint();
    const float rate = config.ascentRate();
    const GradientFactors& factors = config.gradientFactors();

    // May stop i be left for stop i - 1, after a direct ascent to stop i?
    // The ascents of the last two stops tried are kept.
    AscentCopy copies[2];
    int next = 0;
    auto mayLeave = [&](int i) {
        const float here = grid(i);
        const float above = grid(i - 1);
        const float gf = gfAt(state, factors, grid, i - 1, above);
        if (!(here < ambient))
            return isSafeAt(tissues, above, gf);
        AscentCopy& copy = copies[next];
        next = 1 - next;
        copy.stop = i;
        copy.tissues = tissues;
        loadSegment(copy.tissues, ambient, here, (ambient - here) / rate, gas, setpoint);
        return isSafeAt(copy.tissues, above, gf);
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
    state.firstStopPressure = grid(i);
    if (i == 0) {
        state.anchorStopIndex = 0;
        state.anchorPressure = 0.0f;
    } else if (i > state.anchorStopIndex) {
        state.anchorStopIndex = i;
        state.anchorPressure = state.firstStopPressure;
    }
    if (kept != nullptr) {
        for (const AscentCopy& copy : copies) {
            if (copy.stop == i && i > 0)
                *kept = copy;
        }
    }
}

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

// The tissues after staying so many seconds, for the many durations one
// search tries from the same tissues, each as loadConstant loads it. A load
// is whole 512-second rows and then the rest; the rows of the last count
// asked are kept and extended, so each try mostly adds only its rest.
class StayLoads
{
public:
    StayLoads(const TissueState& tissues, const GasMix& gas, float setpoint, float ambient)
        : m_tissues(tissues), m_chunked(tissues), m_load(gas, setpoint, ambient)
    {
    }

    TissueState after(std::uint32_t seconds)
    {
        const std::uint32_t chunks = ConstantLoad::chunksOf(seconds);
        if (chunks < m_chunks) {
            m_chunked = m_tissues;
            m_chunks = 0;
        }
        m_load.applyChunks(m_chunked, chunks - m_chunks);
        m_chunks = chunks;
        TissueState stayed = m_chunked;
        m_load.apply(stayed, seconds - chunks * kLargestRowSeconds);
        return stayed;
    }

private:
    const TissueState& m_tissues;
    TissueState m_chunked;
    std::uint32_t m_chunks = 0;
    ConstantLoad m_load;
};

float stepsToMinutes(int steps)
{
    return float(steps * kSearchStepSeconds) / 60.0f;
}

std::uint32_t stepsToSeconds(int steps)
{
    return std::uint32_t(steps) * std::uint32_t(kSearchStepSeconds);
}

// Closed form for nitrogen in open circuit: for each compartment, the Haldane
// time to reach the tension that arrives exactly at its surfacing M-value
// after the direct ascent.
float analyticNdl(const config_t& config, const TissueState& tissues, float ambient, float ascent,
                  const GasMix& gas, float setpoint, bool zeroOrNot = false)
{
    const NdlThresholds thresholds = ndlThresholds(config, tissues, ambient, ascent, gas, setpoint);
    const float inspired = thresholds.inspired;
    const TissueModel& model = tissueModel();

    float ndl = kNdlLimit;
    for (int i = 0; i < kCompartments; ++i) {
        const float p = tissues.n2[i];
        const float required = thresholds.required[i];
        if (required < p)
            return 0.0f;
        if (p < inspired && required < inspired) {
            // Only whether the limit is 0: the time below is 0 exactly when
            // the logarithm's ratio is 1, and positive otherwise.
            if (zeroOrNot) {
                if (inspired - p == inspired - required)
                    return 0.0f;
                continue;
            }
            const double minutes = std::log(double(inspired - p) / double(inspired - required))
                / double(model.k[Nitrogen][i]);
            ndl = std::min(ndl, float(minutes));
        }
    }
    return ndl;
}

// Stop times have a closed form while only nitrogen is involved.
bool closedFormStop(const TissueState& tissues, const GasMix& gas)
{
    return !tissues.heliumUsed && !gas.hasHelium();
}

// The closed-form stop time: for each compartment above its limit at the
// next stop, the Haldane time to come down to it. With `anyTime` the scan
// ends at the first compartment that needs any time and answers 1 (0 when
// none does, infinity as the full scan would): only good for telling a stop
// of no time from one that takes time, exactly as the full scan tells them.
float closedFormStopTime(const TissueState& tissues, const GasMix& gas, float setpoint, float stopPressureBar,
                         float nextStopPressure, float gf, bool anyTime)
{
    const float inspired = inspiredN2(gas, setpoint, stopPressureBar);
    const TissueModel& model = tissueModel();
    double longest = 0.0;
    CompartmentArray limits;
    mValues(tissues, nextStopPressure, gf, limits);
    for (int i = 0; i < kCompartments; ++i) {
        const float p = tissues.n2[i];
        const float limit = limits[i];
        // Above the limit, or at it and still taking up gas. A compartment
        // already at the inspired pressure above its limit never clears.
        if (!(p > limit || (p == limit && inspired > p)))
            continue;
        if (inspired >= limit)
            return kInfinity;
        // The logarithm below is positive exactly when its ratio exceeds 1.
        if (anyTime) {
            if (p - inspired > limit - inspired)
                return 1.0f;
            continue;
        }
        const double minutes = std::log(double(p - inspired) / double(limit - inspired))
            / double(model.k[Nitrogen][i]);
        longest = std::max(longest, minutes);
    }
    return float(longest);
}

// True when the stop takes time: stopTime would not answer 0 (an endless or
// not-a-number time counts as time, as the schedule lists it with 2000 min).
bool stopTakesTime(const TissueState& tissues, const GasMix& gas, float setpoint, float stopPressureBar,
                   float nextStopPressure, float gf)
{
    if (closedFormStop(tissues, gas))
        return closedFormStopTime(tissues, gas, setpoint, stopPressureBar, nextStopPressure, gf, true) != 0.0f;
    return !(nextStopPressure - ceilingPressure(tissues, gf) >= 0.0f);
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

NdlThresholds ndlThresholds(const config_t& config, const TissueState& tissues, float ambient, float ascent,
                            const GasMix& gas, float setpoint)
{
    NdlThresholds out;
    const float surface = config.surfacePressure();
    const float gfHigh = config.gradientFactors().gfHigh;
    const float inspired = inspiredN2(gas, setpoint, ambient);
    out.inspired = inspired;
    // A zero-length ascent (at the surface) has no rate: R = 0, not 0/0.
    const float rate = ascent > 0.0f ? (inspiredN2(gas, setpoint, surface) - inspired) / ascent : 0.0f;
    const DurationFactors* factors = ascent > 0.0f ? &durationFactors(Nitrogen, ascent) : nullptr;
    CompartmentArray limits;
    mValues(tissues, surface, gfHigh, limits);
    for (int i = 0; i < kCompartments; ++i) {
        const float limit = limits[i];
        const float decay = factors ? factors->decay[i] : 1.0f;
        const float gain = factors ? factors->gain[i] : 0.0f;
        // (M - (T - 1/k) R - Pi) / e^(-kT) + Pi - R/k, rearranged so that the
        // large R/k terms of slow compartments do not cancel in single precision.
        out.required[i] = (limit - inspired - rate * (ascent - gain)) / decay + inspired;
    }
    return out;
}

float directAscentMinutes(const config_t& config, float ambient)
{
    const float ascent = (ambient - config.surfacePressure()) / config.ascentRate();
    return ascent > 0.0f ? ascent : 0.0f;
}

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
    return gfAt(state, config.gradientFactors(), StopGrid(config), n, stopPressureBar);
}

namespace {

// The no-decompression limit; with zeroOrNot it only tells a limit of 0 from
// any other, which it then gives as 250 minutes.
float ndlMinutes(const DecoState& state, const config_t& config, const TissueState& tissues, float ambient,
                 bool zeroOrNot)
{
    const GasMix& gas = config.currentGas();
    const float setpoint = config.activeSetpoint();
    const float surface = config.surfacePressure();
    const float ascent = directAscentMinutes(config, ambient);
    if (isOpenCircuit(setpoint) && !tissues.heliumUsed && !gas.hasHelium())
        return analyticNdl(config, tissues, ambient, ascent, gas, setpoint, zeroOrNot);

    const float gfHigh = config.gradientFactors().gfHigh;
    StayLoads stays(tissues, gas, setpoint, ambient);
    auto surfacingAllowed = [&](int steps) {
        TissueState copy = stays.after(stepsToSeconds(steps));
        if (ambient > surface)
            loadSegment(copy, ambient, surface, ascent, gas, setpoint);
        return surface - ceilingPressure(copy, gfHigh) >= 0.0f;
    };
    // Not allowed now: no limit left, as in the closed form, whatever later
    // off-gassing at this depth would allow.
    if (!surfacingAllowed(0))
        return 0.0f;
    // Only whether the limit is 0: it is when surfacing is refused after the
    // first step already. Where a refusal, once reached, stays (as while the
    // tissues take up gas) the search below finds 0 exactly then; where it
    // could lift again later this is the cautious answer.
    if (zeroOrNot)
        return surfacingAllowed(1) ? kNdlLimit : 0.0f;

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

} // namespace

float ndlTime(const DecoState& state, const config_t& config, const TissueState& tissues, float ambient)
{
    return ndlMinutes(state, config, tissues, ambient, false);
}

float stopTime(const TissueState& tissues, const GasMix& gas, float setpoint, float stopPressureBar,
               float nextStopPressure, float gf, float firstGuess)
{
    if (closedFormStop(tissues, gas))
        return closedFormStopTime(tissues, gas, setpoint, stopPressureBar, nextStopPressure, gf, false);

    StayLoads stays(tissues, gas, setpoint, stopPressureBar);
    auto nextStopAllowed = [&](int steps) {
        const TissueState copy = stays.after(stepsToSeconds(steps));
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
    locateFirstStop(state, config, StopGrid(config), tissues, ambient, nullptr);
}

namespace {

enum class ScheduleExtent { AllStops, FirstTimedStop };

// The schedule on a copy of the tissues. With FirstTimedStop the walk ends at
// the first stop that takes time, which is listed alone with its guessed time
// and without loading it: the first stop, the anchor and that stop are exactly
// those of the whole schedule, the times and totals are not computed.
void scheduleStops(DecoState& state, const config_t& config, const TissueState& tissues, float ambient,
                   ScheduleExtent extent)
{
    const bool allStops = extent == ScheduleExtent::AllStops;
    state.timeToSurface = 0.0f;
    state.totalStopTime = 0.0f;
    state.stopCount = 0;
    state.ndl = 0.0f;
    state.maxCns = tissues.cns;
    TissueState copy = tissues;

    const StopGrid grid(config);
    const int previousFirst = state.firstStopIndex;
    AscentCopy ascent;
    locateFirstStop(state, config, grid, copy, ambient, &ascent);
    state.slowRatePressure = std::max(state.slowRatePressure, state.anchorPressure);
    if (allStops)
        shiftStopTimes(state, state.firstStopIndex - previousFirst);

    float rate = config.ascentRate();
    StopWalk walk(config);
    const float switchStop = config.gasSwitchStop();
    const int start = walk.startStop(grid, state.firstStopIndex, ambient);
    const float startPressure = grid(start);
    if (startPressure < ambient) {
        const float minutes = (ambient - startPressure) / rate;
        // The search loaded this very ascent already when it tried the stop.
        if (ascent.stop == start)
            copy = ascent.tissues;
        else
            loadSegment(copy, ambient, startPressure, minutes, walk.gas(), walk.setpoint());
        if (allStops) {
            updateCns(copy, ambient, startPressure, minutes, walk.gas(), walk.setpoint());
            state.timeToSurface += minutes;
            state.maxCns = std::max(state.maxCns, copy.cns);
        }
    }

    for (int i = start; i >= 1; --i) {
        const float here = grid(i);
        const bool switched = walk.arrive(here);
        const GasMix* gas = &walk.gas();
        const float setpoint = walk.setpoint();
        const int gasIndex = walk.gasIndex();
        const int setpointIndex = walk.setpointIndex();

        const float above = grid(i - 1);
        const float gf = gfAt(state, config.gradientFactors(), grid, i - 1, above);
        const float guess = state.stops[std::min(state.stopCount, kMaxStops - 1)].time;
        if (!allStops) {
            // Until a stop takes time nothing has been loaded since the ascent,
            // so each stop of no time leaves the copy as it was.
            if ((switched && switchStop > 0.0f) || stopTakesTime(copy, *gas, setpoint, here, above, gf)) {
                writeStop(state, DecoStop{here, guess, std::uint8_t(gasIndex), std::uint8_t(setpointIndex), 0});
                return;
            }
            continue;
        }
        float minutes = stopTime(copy, *gas, setpoint, here, above, gf, guess);
        if (!(minutes <= kMaxStopMinutes))
            minutes = kMaxStopMinutes;
        if (switched && minutes < switchStop)
            minutes = switchStop;

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
    if (!allStops)
        return;

    state.maxCns = std::max(state.maxCns, copy.cns);
    state.surfaceSupersaturation = maxSupersaturation(copy, config.surfacePressure());
}

// The update while no stop is needed; a state that only follows the ceiling
// needs to know whether the limit is 0, not the limit.
void noDecompression(DecoState& state, const config_t& config, const TissueState& tissues, float ambient,
                     ScheduleExtent extent)
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
    state.ndl = ndlMinutes(state, config, tissues, ambient, extent == ScheduleExtent::FirstTimedStop);
    state.firstStopIndex = 0;
    state.firstStopPressure = surface;
    state.maxCns = tissues.cns;
    state.anchorStopIndex = 0;
    state.anchorPressure = 0.0f;
}

// The update of both kinds: the no-decompression limit or the schedule, then
// the ceiling.
void update(DecoState& state, const config_t& config, const TissueState& tissues, float ambient,
            ScheduleExtent extent)
{
    if (state.anchorStopIndex == 0) {
        noDecompression(state, config, tissues, ambient, extent);
        if (state.ndl == 0.0f)
            scheduleStops(state, config, tissues, ambient, extent);
    } else {
        scheduleStops(state, config, tissues, ambient, extent);
        if (state.stopCount == 0) {
            state.slowRatePressure = stopPressure(config, 1);
            noDecompression(state, config, tissues, ambient, extent);
        }
    }

    const float gf = ceilingGf(state, config.gradientFactors(), config.surfacePressure(), ambient);
    state.ceiling = ceilingPressure(tissues, gf);
}

} // namespace

void computeSchedule(DecoState& state, const config_t& config, const TissueState& tissues, float ambient)
{
    scheduleStops(state, config, tissues, ambient, ScheduleExtent::AllStops);
}


void updateNoDecompression(DecoState& state, const config_t& config, const TissueState& tissues, float ambient)
{
    noDecompression(state, config, tissues, ambient, ScheduleExtent::AllStops);
}

void updateDecoState(DecoState& state, const config_t& config, const TissueState& tissues, float ambient)
{
    update(state, config, tissues, ambient, ScheduleExtent::AllStops);
}

void updateDecoCeiling(DecoState& state, const config_t& config, const TissueState& tissues, float ambient)
{
    update(state, config, tissues, ambient, ScheduleExtent::FirstTimedStop);
}

} // namespace deco
