#include "profilor/profilesimulationhelper.h"

#include "divedata/dive.h"

#include <cmath>
#include <limits>

namespace {

// Depth in tenths of a metre, truncated towards zero and kept in 16 bits.
quint16 decimetres(double depth)
{
    const double dm = std::trunc(depth * 10.0);
    if (!(dm > 0.0))
        return 0; // above the surface, or not a number
    if (dm >= double(std::numeric_limits<quint16>::max()))
        return std::numeric_limits<quint16>::max();
    return quint16(dm);
}

// An upper bound of the samples prepareSimulation appends: one per step up to
// the latest line time, plus one extra step per segment and the two last ones.
double sampleBound(const QList<DiveLine>& lines, double step)
{
    double latest = 0.0;
    for (const DiveLine& line : lines) {
        if (!std::isfinite(line.timeSec))
            return std::numeric_limits<double>::infinity();
        latest = std::max(latest, line.timeSec);
    }
    return latest / step + 2.0 * double(lines.size()) + 2.0;
}

} // namespace

ProfileSimulationHelper::ProfileSimulationHelper(DepthFunction depthFunction)
    : mDepthFunction(std::move(depthFunction))
{
}

ProfileSimulationHelper::ProfileSimulationHelper(const ProfileSimulationHelper& other) = default;
ProfileSimulationHelper::ProfileSimulationHelper(ProfileSimulationHelper&& other) noexcept = default;
ProfileSimulationHelper& ProfileSimulationHelper::operator=(const ProfileSimulationHelper& other) = default;
ProfileSimulationHelper& ProfileSimulationHelper::operator=(ProfileSimulationHelper&& other) noexcept = default;
ProfileSimulationHelper::~ProfileSimulationHelper() = default;

void ProfileSimulationHelper::prepareSimulation(const Dive& dive, int stepMs, std::vector<StepSimulation>& out,
                                                float lastValue) const
{
    out.clear();
    const QList<DiveLine>& lines = dive.lines;
    // A step that never advances would append samples forever.
    if (stepMs <= 0 || lines.isEmpty())
        return;
    const double step = stepMs / 1000.0; // 500 ms is half a second, not 0
    if (sampleBound(lines, step) > double(kMaxSamples))
        return;

    double t = 0.0;
    double temperature = 20.0;
    double ceiling = 0.0;
    auto append = [&](double depth, double value, double temp, double ceil) {
        out.push_back(StepSimulation{t, decimetres(depth), value, temp, ceil});
    };

    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const DiveLine& line = lines[i];
        const DiveLine& next = lines[i + 1];
        temperature = line.ambientTemp;
        ceiling = line.decoCeiling;
        if (next.timeSec < t) {
            // A segment that ended before the running time: one extra step, no sample.
            t += step;
            if (next.timeSec <= t)
                continue;
        }
        do {
            double depth = line.depth;
            if (t - line.timeSec >= 0.00001)
                depth = line.depth + (next.depth - line.depth) / ((next.timeSec - line.timeSec) / (t - line.timeSec));
            append(depth, double(mDepthFunction(float(depth))), temperature, ceiling);
            t += step;
        } while (next.timeSec > t);
    }

    const DiveLine& last = lines.last();
    append(last.depth, double(mDepthFunction(float(last.depth))), last.ambientTemp, StepSimulation::kNoCeiling);
    if (out.back().value > 0.0)
        out.push_back(StepSimulation{t, 0, double(lastValue), temperature, StepSimulation::kNoCeiling});
}
