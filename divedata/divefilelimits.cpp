#include "divedata/divefilelimits.h"

#include "divedata/diveline.h"

#include <cmath>

namespace DiveFileLimits {

QString defaultDiveName()
{
    return QStringLiteral("000000");
}

bool linesAreSane(const QList<DiveLine>& lines)
{
    double previous = 0.0;
    for (const DiveLine& line : lines) {
        // Written so that NaN fails every test.
        if (!(line.timeSec >= 0.0 && line.timeSec <= MaxTime && line.timeSec >= previous))
            return false;
        if (!(line.depth >= MinDepth && line.depth <= MaxDepth))
            return false;
        if (!(line.ambientTemp >= MinTemperature && line.ambientTemp <= MaxTemperature))
            return false;
        for (const double value : {line.decoCeiling, line.pressure, line.ppO2, line.cns, line.otu, line.gradientFactor}) {
            if (!(std::fabs(value) <= MaxLineValue))
                return false;
        }
        previous = line.timeSec;
    }
    return true;
}

} // namespace DiveFileLimits
