#include "app/pointmeasure.h"

#include "divedata/dive.h"

#include <cmath>
#include <utility>

std::optional<PointMeasure> PointMeasure::between(const Dive& dive, int a, int b)
{
    const int count = int(dive.lines.size());
    if (a == b || a < 0 || b < 0 || a >= count || b >= count)
        return std::nullopt;
    if (a > b)
        std::swap(a, b);
    const DiveLine& first = dive.lines.at(a);
    const DiveLine& second = dive.lines.at(b);
    PointMeasure measure;
    measure.first = a;
    measure.second = b;
    measure.firstTime = first.timeSec;
    measure.firstDepth = first.depth;
    measure.secondTime = second.timeSec;
    measure.secondDepth = second.depth;
    measure.duration = second.timeSec - first.timeSec;
    measure.depthChange = second.depth - first.depth;
    if (std::isfinite(measure.duration) && measure.duration != 0.0 && std::isfinite(measure.depthChange))
        measure.speed = measure.depthChange * 60.0 / measure.duration;
    return measure;
}
