#pragma once

#include <QList>
#include <QString>

struct Dive;
struct DiveLine;

// The bounds every dive file reader applies, so that a file refused or
// accepted by one format would be treated the same way by the others.
namespace DiveFileLimits {

// No file defines more gases than this; real dives use a handful.
constexpr qsizetype MaxGases = 4096;
// Of a file holding several dives (a UDDF logbook export) at most this many
// are read.
constexpr qsizetype MaxDives = 10000;
// A profile line lies between these depths (m): a little above the surface
// (a sensor's offset at altitude) down to well past any dive.
constexpr double MinDepth = -10.0;
constexpr double MaxDepth = 1000.0;
// And within a week of the dive's start (s).
constexpr double MaxTime = 7.0 * 86400.0;
// A line's temperature (°C): nothing is colder than absolute zero, and a
// sensor reading far past boiling is damage. The bounds are wide on purpose:
// a sensor's glitch (85 °C, -40 °C) stays a dive that can be shown.
constexpr double MinTemperature = -273.15;
constexpr double MaxTemperature = 1000.0;
// Every other real value of a line (ceiling, pressures, ppO2, CNS, OTU,
// gradient factor) lies within this magnitude: well past anything measured,
// far below what would overflow the sums and scales made of them.
constexpr double MaxLineValue = 1.0e6;

// The name a dive without one gets, the same the UDDF writer gives it.
QString defaultDiveName();

// True when every line's time, depth, temperature and other real values are
// finite and within the bounds above and times never run backwards (equal
// times are allowed). A file whose profile fails this is refused as a whole:
// a depth or temperature of 1e308 or a clock running backwards is damage, not
// a dive.
bool linesAreSane(const QList<DiveLine>& lines);

} // namespace DiveFileLimits
