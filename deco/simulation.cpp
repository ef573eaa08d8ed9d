#include "deco/simulation.h"

#include "deco/ceilinghold.h"
#include "deco/decostate.h"
#include "deco/diveplanner.h"
#include "deco/livedive.h"
#include "deco/oxygen.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cmath>

namespace deco {

namespace {

// The ceiling curve is drawn in metres of a standard sea-water column,
// whatever the slot's water and surface pressure.
constexpr float kCeilingCurveSurface = 1.013f;
constexpr float kCeilingCurveGravity = 9.80665f;

constexpr double kTrackingStepSeconds = 2.0;
// A whole step's minutes, as float(seconds / 60.0) gives them.
constexpr float kTrackingStepMinutes = float(kTrackingStepSeconds / 60.0);
// Samples at constant pressure are settled in stretches of this many.
constexpr long kShortestRun = 4;
constexpr long kLongestRun = 256;
// After samples updated one by one (where the state changes), stretches
// start again at this length: the next change is mostly minutes away.
constexpr long kRunAfterChange = 32;
// Shorter stays (a recorded dive's samples) are not worth testing the state for.
constexpr double kShortestLevelSeconds = 8.0 * kTrackingStepSeconds * double(kShortestRun);
constexpr float kSurfaceDepth = 0.01f;   // m: a profile ending this shallow ends at the surface
constexpr int kThirdSlot = 2;
constexpr std::int32_t kThirdDiveInterval = 86400; // s
constexpr int kThirdDiveCompartment = 9;           // compartment 10, 146 min
constexpr float kThirdDiveTension = 0.8f;          // bar
constexpr double kThirdDiveDepth = 6.0;            // m
constexpr int kAlertLevelShift = 4;
constexpr int kEffortAlertLevel = 2;               // a level above this imposes 68/68

// Slot surface pressures outside (0.5, 1.05) bar are not used for the
// computation: the configuration keeps the standard 1.013 bar.
constexpr float kLowestUsedSurface = 0.5f;
constexpr float kHighestUsedSurface = 1.05f;

DiveLine decoLine(double timeSec, double depth, int gasIndex)
{
    DiveLine line;
    line.timeSec = timeSec;
    line.depth = depth;
    line.gasIndex = gasIndex;
    line.tankPressureTxIndex = 255;
    return line;
}

LinePlan segmentRecord(std::int32_t type, bool computed, float depth, float duration, double runtime, int gasIndex)
{
    LinePlan record;
    record.kind = LinePlan::Segment;
    record.segmentType = type;
    record.computed = computed ? 1 : 0;
    record.depth = depth;
    record.duration = duration;
    record.runtime = float(runtime);
    record.gasIndex = gasIndex;
    return record;
}

// Lines the engine can follow in bounded time: finite times and depths, no
// line deeper than 1000 m and at most seven days of forward time in all.
bool followable(const QList<DiveLine>& lines)
{
    double forward = 0.0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const DiveLine& line = lines.at(i);
        if (!std::isfinite(line.timeSec) || !std::isfinite(line.depth) || line.depth > kMaxSimulatedDepth)
            return false;
        if (i > 0 && line.timeSec > lines.at(i - 1).timeSec)
            forward += line.timeSec - lines.at(i - 1).timeSec;
    }
    return forward <= kMaxSimulatedSeconds;
}

double deepestLine(const QList<DiveLine>& lines)
{
    double deepest = 0.0;
    for (const DiveLine& line : lines)
        deepest = std::max(deepest, line.depth);
    return deepest;
}

// The surface interval before a repetitive dive. At the surface the diver
// breathes air, off any loop, at the slot's own surface pressure (the one the
// first dive starts saturated at): the tensions relax towards air at constant
// pressure and the CNS load decays with its half-time. The OTU count is a
// daily total and is not touched here.
void spendSurfaceInterval(TissueState& state, std::int32_t seconds, float surface)
{
    loadConstant(state, std::uint32_t(seconds), kAir, kOpenCircuitSetpoint, surface);
    const float minutes = float(seconds) / 60.0f;
    updateCns(state, surface, surface, minutes, kAir, kOpenCircuitSetpoint);
}

// One run over one slot. Everything here is local to the run.
class SlotRun
{
public:
    SlotRun(PlannedDive& slot, int slotIndex, const PlannedDive* previous, const SimulationOptions& options,
            const PlanCallback& plan, const TextCallback& text)
        : m_slot(slot), m_dive(slot.dive), m_plan(plan), m_text(text)
    {
        setUp(slotIndex, previous, options);
    }

    SimulationOutcome run()
    {
        SimulationOutcome outcome;
        outcome.start = m_start;
        if (m_dive.lines.isEmpty()) {
            finishUnfollowed();
        } else if (!followable(m_dive.lines)) {
            sendText(QCoreApplication::translate(
                "DivePlanner", "Profile not simulated: a point has an invalid time or depth, or the dive lasts more than seven days"));
            finishUnfollowed();
        } else {
            reserveCeilingPoints(m_dive.lines.constLast().timeSec - m_dive.lines.constFirst().timeSec,
                                 m_dive.lines.size());
            followProfile();
            reserveCeilingPoints(double(m_diveState.timeToSurface) * 60.0, 2 * m_diveState.stopCount + 2);
            computeAscent();
            finish();
            outcome.profileFollowed = true;
        }
        // The ceiling curve is the one the simulation computed.
        m_dive.refreshDerived(Dive::CeilingCurve::Keep);
        return outcome;
    }

private:
    void setUp(int slotIndex, const PlannedDive* previous, const SimulationOptions& options)
    {
        m_config.applyDefaults();
        const float slotSurface = m_slot.surfacePressure;
        if (slotSurface > kLowestUsedSurface && slotSurface < kHighestUsedSurface)
            m_config.setSurfacePressure(slotSurface);
        // A surface pressure that is no pressure at all cannot saturate anyone:
        // the standard pressure stands in for it.
        m_slotSurface = std::isfinite(slotSurface) && slotSurface > 0.0f ? slotSurface : kStandardSurfacePressure;
        m_surface = m_config.surfacePressure();

        m_config.setWaterType(m_slot.freshWater ? FreshWater : SaltWater);
        m_dive.density = m_slot.freshWater ? 1 : 0;

        if (m_slot.effort)
            m_config.setGradientFactors(kEffortGradientFactors);
        else if (options.customGradientFactors)
            m_config.setGradientFactors(*options.customGradientFactors);

        if (options.breathingGas)
            m_config.setOpenCircuitGas(0, *options.breathingGas);
        m_gas = m_config.gas(m_config.firstGasIndex());
        m_decoGases = installDecoGases(m_config, m_gas, m_dive.gases, options.decoGases);

        // The slot's own state object keeps its carried fields; only the
        // tensions and the CNS are replaced.
        m_start = m_slot.tissues;
        if (previous == nullptr)
            initTissues(m_start, m_slotSurface);
        else
            setTissues(m_start, previous->tissues.n2, previous->tissues.he, previous->tissues.cns);
        if (previous != nullptr && m_slot.surfaceInterval > 0)
            spendSurfaceInterval(m_start, m_slot.surfaceInterval, m_slotSurface);

        selectZhl16c();
        initDecoState(m_diveState, m_config);
        initDecoState(m_trackState, m_config);
        updateDecoState(m_diveState, m_config, m_start, m_slotSurface);
        updateDecoState(m_trackState, m_config, m_start, m_slotSurface);

        m_dive.decoLines.clear();
        sendPlan(LinePlan());
        sendText(QString());

        m_dive.invalidReason = 0;
        if (slotIndex == kThirdSlot && m_slot.surfaceInterval < kThirdDiveInterval && !m_config.isClosedCircuit()) {
            if (m_start.n2[kThirdDiveCompartment] > kThirdDiveTension)
                m_dive.invalidReason = 2;
            // Measured on the lines themselves: the stored maximum may predate
            // the last point edit.
            if (deepestLine(m_dive.lines) > kThirdDiveDepth)
                m_config.setGradientFactors(kEffortGradientFactors);
        }

        m_otu = previous != nullptr ? previous->otuTotal : 0.0f;
        m_tracking = m_start;
    }

    float pressureOf(double depth) const
    {
        return depth > 0.0 ? depthToPressure(m_config, float(depth)) : m_surface;
    }

    float depthOf(float pressure) const
    {
        return pressure > m_surface ? pressureToDepth(m_config, pressure) : 0.0f;
    }

    void sendPlan(const LinePlan& record) const
    {
        if (m_plan)
            m_plan(record);
    }

    void sendText(const QString& text) const
    {
        if (m_text)
            m_text(text);
    }

    bool interpolatedFactors() const
    {
        const GradientFactors& gf = m_config.gradientFactors();
        return gf.gfLow != gf.gfHigh;
    }

    // The ceiling after the tracking tissues reached `pressure`. With equal
    // gradient factors the ceiling takes gfHigh whatever the stops are, so
    // the tracking state's stops are only looked for when the factors differ.
    // The factors only ever change to 68/68, so the skipped stops are never
    // needed later. The ceiling needs the first stop and the first stop that
    // takes time, not the stop times: the tracking state stops there.
    float trackedCeiling(float pressure)
    {
        if (!interpolatedFactors())
            return ceilingPressure(m_tracking, m_config.gradientFactors().gfHigh);
        updateDecoCeiling(m_trackState, m_config, m_tracking, pressure);
        return m_trackState.ceiling;
    }

    // Room for the points of `seconds` more of tracking over so many
    // segments, so that the curve is not copied as it grows. Estimates past
    // what any dive can hold reserve nothing.
    void reserveCeilingPoints(double seconds, qsizetype segments)
    {
        const double points = seconds / kTrackingStepSeconds + double(segments) + 1.0;
        if (points > 0.0 && points < double(kMaxSimulatedSeconds / kTrackingStepSeconds))
            m_ceiling.reserve(m_ceiling.size() + qsizetype(points));
    }

    // The curve's point of a ceiling deeper than the slot's surface.
    static CurvePoint ceilingPoint(double time, float ceiling)
    {
        const float depth = ceiling > kCeilingCurveSurface
            ? (ceiling - kCeilingCurveSurface) * 100.0f / kCeilingCurveGravity
            : 0.0f;
        return CurvePoint{float(time), depth, 0};
    }

    void appendCeiling(double time, float ceiling)
    {
        if (ceiling > m_slotSurface)
            m_ceiling.append(ceilingPoint(time, ceiling));
    }

    // appendCeiling of many samples: the points are written in place.
    void appendCeilings(const double* times, const float* ceilings, long count)
    {
        // Growing the list by resize keeps its geometric growth.
        const qsizetype before = m_ceiling.size();
        m_ceiling.resize(before + count);
        CurvePoint* out = m_ceiling.data() + before;
        for (long k = 0; k < count; ++k) {
            if (ceilings[k] > m_slotSurface)
                *out++ = ceilingPoint(times[k], ceilings[k]);
        }
        m_ceiling.resize(out - m_ceiling.constData());
    }

    // Follows the ceiling from tStart to tEnd in two-second steps, the last
    // one clamped to tEnd and loaded over its real length.
    void track(double tStart, double tEnd, float pStart, float pEnd)
    {
        track(tStart, tEnd, pStart, pEnd, m_gas);
    }

    void track(double tStart, double tEnd, float pStart, float pEnd, const GasMix& gas)
    {
        if (!(tEnd > tStart))
            return;
        if (pStart == pEnd && tEnd - tStart >= kShortestLevelSeconds) {
            trackLevel(tStart, tEnd, pStart, gas);
            return;
        }
        const double span = tEnd - tStart;
        double previousTime = tStart;
        float previousPressure = pStart;
        MovingSamples& moving = m_moving;
        for (long step = 1;; ++step) {
            const double planned = tStart + kTrackingStepSeconds * double(step);
            const bool last = planned >= tEnd;
            const double time = last ? tEnd : planned;
            const float pressure = pStart + (pEnd - pStart) * float((time - tStart) / span);
            loadSegment(m_tracking, previousPressure, pressure, float((time - previousTime) / 60.0), gas,
                        kOpenCircuitSetpoint);
            // The last sample, at the end's pressure exactly, often meets a
            // stop's: it is updated on its own. Without stops only nitrogen's
            // closed-form limit can be settled for many samples at once.
            if (!last && interpolatedFactors() && (m_trackState.anchorStopIndex > 0 || !m_tracking.heliumUsed)) {
                moving.add(time, pressure, m_tracking);
                if (moving.count == kMovingSamples)
                    followMoving(moving);
            } else {
                if (moving.count > 0)
                    followMoving(moving);
                appendCeiling(time, trackedCeiling(pressure));
            }
            previousTime = time;
            previousPressure = pressure;
            if (last)
                return;
        }
    }

    // Samples taken while the pressure moves, their tissues already loaded.
    static constexpr long kMovingSamples = 32;
    struct MovingSamples
    {
        long count = 0;
        std::array<double, kMovingSamples> times;
        std::array<float, kMovingSamples> pressures;
        std::array<TissueState, kMovingSamples> tissues;

        void add(double time, float pressure, const TissueState& state)
        {
            times[count] = time;
            pressures[count] = pressure;
            tissues[count] = state;
            ++count;
        }
    };

    // The ceilings of the moving samples, the same to the bit as updating
    // the tracking state at each. Where the state provably keeps its stops
    // over a stretch of them, each ceiling is the sample's tissues' ceiling
    // under the state's gradient factor at the sample's pressure; elsewhere
    // every sample is updated. Stretches grow while they hold and are halved
    // where the state may change. Leaves no sample behind.
    void followMoving(MovingSamples& moving)
    {
        for (long k = 0; k < moving.count;) {
            const long length = std::min(m_movingRun, moving.count - k);
            TissueBounds bounds(moving.tissues[k]);
            float lowest = moving.pressures[k];
            float highest = lowest;
            for (long j = k + 1; j < k + length; ++j) {
                bounds.include(moving.tissues[j]);
                lowest = std::min(lowest, moving.pressures[j]);
                highest = std::max(highest, moving.pressures[j]);
            }
            const bool holds = ceilingStateHoldsWhileMoving(m_trackState, m_config, bounds, lowest, highest);
            if (!holds && length > kShortestRun) {
                m_movingRun = length / 2;
                continue;
            }
            for (long j = k; j < k + length; ++j) {
                const float pressure = moving.pressures[j];
                if (holds) {
                    const float gf = heldGradientFactor(m_trackState, m_config, pressure);
                    m_trackState.ceiling = ceilingPressure(moving.tissues[j], gf);
                } else {
                    updateDecoCeiling(m_trackState, m_config, moving.tissues[j], pressure);
                }
                appendCeiling(moving.times[j], m_trackState.ceiling);
            }
            if (holds)
                m_movingRun = std::min(m_movingRun * 2, kMovingSamples);
            k += length;
        }
        moving.count = 0;
    }

    // track() at constant pressure, the same samples to the bit, taken in
    // stretches. Where the tracking state provably keeps its stops over every
    // state the stretch's tissues pass through (always, with equal gradient
    // factors), each ceiling is the tissues' ceiling under the state's
    // gradient factor, as a full update would give it; elsewhere every
    // sample is updated. Stretches grow while they hold and are halved where
    // the state may change: a search for the sample where it changes.
    void trackLevel(double tStart, double tEnd, float pressure, const GasMix& gas)
    {
        // loadSegment at constant pressure, prepared once.
        const ConstantLoad load(gas, kOpenCircuitSetpoint, (pressure + pressure) / 2.0f);
        LevelSamples samples;
        long step = 1;
        double previousTime = tStart;
        bool ended = false;
        // Samples worked out ahead, from previousTime on: the first half of a
        // stretch that was halved, or what a shorter stretch left over.
        long known = 0;
        bool knownEnds = false; // the last of them is the level's last
        // The samples from previousTime on that lie in a stretch that did
        // not hold: once its first half held, the change is in the rest.
        long failing = 0;
        while (!ended) {
            // The stretch's samples: their times and minutes since the one before.
            double time = known > 0 ? samples.times[known - 1] : previousTime;
            for (; known < m_runLength && !knownEnds; ++known) {
                const double planned = tStart + kTrackingStepSeconds * double(step + known);
                knownEnds = planned >= tEnd;
                const double at = knownEnds ? tEnd : planned;
                const double seconds = at - time;
                samples.minutes[known] = seconds == kTrackingStepSeconds ? kTrackingStepMinutes : float(seconds / 60.0);
                samples.times[known] = time = at;
                if (samples.steady == known && samples.minutes[known] == kTrackingStepMinutes)
                    ++samples.steady;
            }
            const long length = std::min(known, m_runLength);
            ended = knownEnds && length == known;
            time = samples.times[length - 1];
            // A stretch that covers the rest of one that did not hold is not
            // tested: the change is most likely in it, so it is halved at once.
            // Taking a stretch as not holding is always safe: it only costs
            // updates sample by sample.
            const bool tested = failing == 0 || length < failing;
            const TissueBounds bounds =
                tested ? levelBounds(samples, length, gas, pressure) : TissueBounds(m_tracking);
            // With equal factors the ceiling never depends on the state.
            const bool holds = tested
                && (!interpolatedFactors() || ceilingStateHolds(m_trackState, m_config, bounds, pressure));
            if (!holds && length > kShortestRun) {
                failing = length;
                m_runLength = length / 2;
                ended = false;
                continue;
            }
            if (holds) {
                followHeldStretch(samples, length, load, pressure, bounds);
            } else {
                for (long k = 0; k < length; ++k) {
                    if (samples.minutes[k] > 0.0f)
                        load.apply(m_tracking, roundedSeconds(samples.minutes[k]));
                    updateDecoCeiling(m_trackState, m_config, m_tracking, pressure);
                    appendCeiling(samples.times[k], m_trackState.ceiling);
                }
            }
            previousTime = time;
            step += length;
            // The samples beyond this stretch are the next one's first.
            known -= length;
            std::copy_n(samples.times.begin() + length, known, samples.times.begin());
            std::copy_n(samples.minutes.begin() + length, known, samples.minutes.begin());
            samples.shiftSteady(length, known);
            if (holds && failing > length) {
                failing -= length;
                m_runLength = failing;
            } else {
                failing = 0;
                m_runLength = holds ? std::min(m_runLength * 2, kLongestRun) : kRunAfterChange;
            }
        }
    }

    // The samples of one stretch at constant pressure.
    struct LevelSamples
    {
        std::array<double, kLongestRun> times;
        std::array<float, kLongestRun> minutes;
        long steady = 0; // so many first samples are whole steps

        // The first `count` samples were taken and the `left` after them
        // moved to the front.
        void shiftSteady(long count, long left)
        {
            if (steady > count) {
                steady -= count;
                return;
            }
            steady = 0;
            while (steady < left && minutes[steady] == kTrackingStepMinutes)
                ++steady;
        }
    };

    // The tensions the tracking tissues pass through over the first
    // `length` samples.
    TissueBounds levelBounds(const LevelSamples& samples, long length, const GasMix& gas, float pressure) const
    {
        LevelStretch stretch(m_tracking, gas, pressure);
        if (length <= samples.steady)
            stretch.addRun(kTrackingStepMinutes, length);
        else
            stretch.addSteps(samples.minutes.data(), length);
        return stretch.bounds();
    }

    // The samples of a stretch whose state holds: each ceiling is the
    // tissues' ceiling under the state's gradient factor; with helium over
    // the compartments that can lead only, where each compartment's ceiling
    // costs more. Samples of one length are loaded in a run.
    void followHeldStretch(const LevelSamples& samples, long length, const ConstantLoad& load, float pressure,
                           const TissueBounds& bounds)
    {
        const float gf = heldGradientFactor(m_trackState, m_config, pressure);
        const bool helium = m_tracking.heliumUsed != 0;
        const CeilingCandidates leading = helium ? ceilingCandidates(bounds, gf) : CeilingCandidates();
        std::array<float, kLongestRun> ceilings;
        for (long k = 0; k < length;) {
            long end = k == 0 ? std::max(1L, std::min(samples.steady, length)) : k + 1;
            while (end < length && samples.minutes[end] == samples.minutes[k])
                ++end;
            const std::uint32_t seconds = roundedSeconds(samples.minutes[k]);
            if (samples.minutes[k] > 0.0f && helium) {
                load.applyEach(m_tracking, seconds, int(end - k), gf, leading.compartments.data(), leading.count,
                               &ceilings[k]);
            } else if (samples.minutes[k] > 0.0f) {
                load.applyEach(m_tracking, seconds, int(end - k), gf, &ceilings[k]);
            } else {
                for (long j = k; j < end; ++j) {
                    ceilings[j] = helium
                        ? ceilingOfCompartments(m_tracking, gf, leading.compartments.data(), leading.count)
                        : ceilingPressure(m_tracking, gf);
                }
            }
            k = end;
        }
        appendCeilings(samples.times.data(), ceilings.data(), length);
        m_trackState.ceiling = ceilings[length - 1];
    }

    // OTU, tissues and CNS of a segment from p1 to p2 breathing the gas.
    void expose(float p1, float p2, float minutes, const GasMix& gas)
    {
        m_otu += minutes * otuPerMinute(ppO2(gas, kOpenCircuitSetpoint, (p1 + p2) / 2.0f));
        loadSegment(m_slot.tissues, p1, p2, minutes, gas, kOpenCircuitSetpoint);
        updateCns(m_slot.tissues, p1, p2, minutes, gas, kOpenCircuitSetpoint);
    }

    // The gas of a listed stop, and its index among the dive's gases for the
    // records and deco lines: a deco gas by its place in the dive, the
    // breathing gas by the index the stop carries, as without deco gases.
    const GasMix& stopGas(const DecoStop& stop) const
    {
        return stop.gasIndex > 0 && stop.gasIndex < m_decoGases.count ? m_config.gas(stop.gasIndex) : m_gas;
    }

    int recordGasIndex(const DecoStop& stop) const
    {
        return stop.gasIndex > 0 && stop.gasIndex < m_decoGases.count ? m_decoGases.diveGasIndex[stop.gasIndex]
                                                                         : int(stop.gasIndex);
    }

    void followProfile()
    {
        m_slot.tissues = m_start;
        QList<DiveLine>& lines = m_dive.lines;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            // The writable access first: it may detach the list, which would
            // leave a reference taken before it pointing at the shared copy.
            DiveLine& line = lines[i];
            const DiveLine& before = lines.at(i - 1);
            if (((line.alertFlag >> kAlertLevelShift) & 0x3) > kEffortAlertLevel)
                m_config.setGradientFactors(kEffortGradientFactors);
            const float p1 = pressureOf(before.depth);
            const float p2 = pressureOf(line.depth);
            const double t1 = before.timeSec;
            const double t2 = line.timeSec;
            track(t1, t2, p1, p2);

            const float minutes = float((t2 - t1) / 60.0);
            // The slot's tissues take the whole segment; OTU is added from
            // the same mean ppO2 (a segment running back in time adds none).
            loadSegment(m_slot.tissues, p1, p2, minutes, m_gas, kOpenCircuitSetpoint);
            updateCns(m_slot.tissues, p1, p2, minutes, m_gas, kOpenCircuitSetpoint);
            // Along the profile a line only asks whether stops are listed;
            // the whole schedule is needed at the last line, for the ascent.
            if (i + 1 == lines.size())
                updateDecoState(m_diveState, m_config, m_slot.tissues, p2);
            else
                updateDecoCeiling(m_diveState, m_config, m_slot.tissues, p2);
            if (m_diveState.stopCount == 0)
                line.decoCeiling = 0.0;
            if (minutes > 0.0f)
                m_otu += minutes * otuPerMinute(ppO2(m_gas, kOpenCircuitSetpoint, (p1 + p2) / 2.0f));

            const std::int32_t type = line.depth > before.depth ? LinePlan::Descent : LinePlan::Level;
            sendPlan(segmentRecord(type, false, float(line.depth), minutes, t2 / 60.0, line.gasIndex));
        }
    }

    void computeAscent()
    {
        const DiveLine last = m_dive.lines.constLast();
        const float lastPressure = pressureOf(last.depth);
        double runtime = last.timeSec / 60.0;
        const int stopCount = m_diveState.stopCount;
        const auto& stops = m_diveState.stops;

        if (last.depth > kSurfaceDepth) {
            m_dive.decoLines.append(last);
            const float target = stopCount > 0 ? stops[0].pressure : m_surface;
            const float targetDepth = depthOf(target);
            // A profile that ends above a violated ceiling goes back down to
            // the first stop: the time still runs forward.
            const float ascent = std::fabs(lastPressure - target) / m_config.ascentRate();
            runtime += ascent;
            m_dive.decoLines.append(
                decoLine(runtime * 60.0, targetDepth, stopCount > 0 ? recordGasIndex(stops[0]) : last.gasIndex));
            // Up to the first stop on the breathing gas; each stop on its own
            // gas, and each move on the gas of the stop it leaves. A record
            // names the gas breathed; a deco line the gas from its point on.
            track(last.timeSec, runtime * 60.0, lastPressure, target);
            expose(lastPressure, target, ascent, m_gas);
            const std::int32_t type = target > lastPressure ? LinePlan::Descent : LinePlan::Ascent;
            sendPlan(segmentRecord(type, true, targetDepth, ascent, runtime, last.gasIndex));

            for (int k = 0; k < stopCount; ++k) {
                const DecoStop& stop = stops[k];
                const float depth = depthOf(stop.pressure);
                if (k > 0) {
                    const float from = stops[k - 1].pressure;
                    const float minutes = (from - stop.pressure) / m_config.decoAscentRate();
                    const double startSec = runtime * 60.0;
                    runtime += minutes;
                    const GasMix& moving = stopGas(stops[k - 1]);
                    track(startSec, runtime * 60.0, from, stop.pressure, moving);
                    expose(from, stop.pressure, minutes, moving);
                    m_dive.decoLines.append(decoLine(runtime * 60.0, depth, recordGasIndex(stop)));
                    sendPlan(segmentRecord(LinePlan::Ascent, true, depth, minutes, runtime, recordGasIndex(stops[k - 1])));
                }
                const double startSec = runtime * 60.0;
                runtime += stop.time;
                track(startSec, runtime * 60.0, stop.pressure, stop.pressure, stopGas(stop));
                expose(stop.pressure, stop.pressure, stop.time, stopGas(stop));
                m_dive.decoLines.append(decoLine(runtime * 60.0, depth, recordGasIndex(stop)));
                sendPlan(segmentRecord(LinePlan::Level, true, depth, stop.time, runtime, recordGasIndex(stop)));
            }
        } else if (!m_ceiling.isEmpty() && m_ceiling.constLast().depth > 0.0f) {
            // The profile came back to the surface under a ceiling. The curve
            // is closed at the surface; the ceiling still stood when the
            // profile ended, so the deco was not terminated.
            const float time = m_ceiling.constLast().time;
            m_ceiling.append(CurvePoint{time, 0.0f, 0});
            m_decoNotTerminated = double(time) >= double(float(last.timeSec));
        }

        if (stopCount > 0) {
            const DecoStop& shallowest = stops[stopCount - 1];
            const float minutes = (shallowest.pressure - m_surface) / m_config.decoAscentRate();
            expose(shallowest.pressure, m_surface, minutes, stopGas(shallowest));
            m_dive.decoLines.append(decoLine((runtime + minutes) * 60.0, 0.0, -1));
            sendPlan(segmentRecord(LinePlan::Ascent, true, 0.0f, minutes, runtime + minutes, recordGasIndex(shallowest)));
        }
    }

    void sendSummary()
    {
        LinePlan summary;
        summary.kind = LinePlan::Summary;
        summary.segmentType = 0;
        summary.cns = m_diveState.maxCns * 100.0f;
        summary.otu = m_otu;
        sendPlan(summary);
    }

    void finish()
    {
        sendSummary();
        m_slot.otuTotal = m_otu;
        m_dive.ceilingProfile = m_ceiling;
        m_dive.decoNotTerminated = m_decoNotTerminated;
    }

    // Nothing to follow: the dive stays empty of simulated data and the slot
    // keeps its tissues (a slot loaded from a plan file holds its end state).
    void finishUnfollowed()
    {
        sendSummary();
        m_dive.ceilingProfile.clear();
        m_dive.decoNotTerminated = false;
    }

    PlannedDive& m_slot;
    Dive& m_dive;
    const PlanCallback& m_plan;
    const TextCallback& m_text;
    dive_t m_config;
    DecoState m_diveState;
    DecoState m_trackState;
    TissueState m_start;
    TissueState m_tracking;
    GasMix m_gas;
    DecoGasTable m_decoGases;
    float m_slotSurface = kStandardSurfacePressure;
    float m_surface = kStandardSurfacePressure;
    float m_otu = 0.0f;
    QList<CurvePoint> m_ceiling;
    bool m_decoNotTerminated = false;
    long m_runLength = kRunAfterChange;
    long m_movingRun = kShortestRun;
    MovingSamples m_moving; // kept here: a recorded dive follows one short move per line
};

} // namespace

SimulationOutcome simulateSlot(PlannedDive& slot, int slotIndex, const PlannedDive* previous,
                               const SimulationOptions& options, const PlanCallback& plan, const TextCallback& text)
{
    SlotRun run(slot, slotIndex, previous, options, plan, text);
    return run.run();
}

bool simulateCurrentDive(DivePlanner& planner, const std::optional<GradientFactors>& customGradientFactors,
                         std::optional<float> reduction)
{
    return planner.simulateCurrentDive(customGradientFactors, reduction);
}

} // namespace deco
