#include "app/divedetails.h"

#include "app/divelistbuilder.h"
#include "divedata/dive.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

QString metres(double value)
{
    return QStringLiteral("%1m").arg(value, 0, 'f', 1);
}

QString percent(float fraction)
{
    return QString::number(std::lround(double(fraction) * 100.0));
}

} // namespace

DiveDetails DiveDetails::describe(const Dive& dive)
{
    DiveDetails details;
    details.name = dive.name;
    if (dive.beginTime > 0)
        details.startTime = QLocale::system().toString(QDateTime::fromSecsSinceEpoch(dive.beginTime),
                                                       QLocale::ShortFormat);
    // The profile's own length; the header's end time only for a dive
    // without profile lines.
    const double seconds = dive.maxTime > 0.0 ? dive.maxTime : double(std::max<qint64>(0, dive.endTime - dive.beginTime));
    details.duration = Dive::formatDuration(seconds);
    details.maxDepth = metres(dive.maxDepth);
    details.avgDepth = metres(dive.avgDepth);
    details.diveMode = diveModeText(dive.divemode);
    details.waterType = dive.density != 0 ? tr("Fresh") : tr("Salt");
    details.surfacePressure = QStringLiteral("%1mb").arg(dive.surfacePressure);
    details.gradientFactors = QStringLiteral("%1/%2").arg(dive.gfLow).arg(dive.gfHigh);
    details.place = dive.place;
    details.site = dive.site;
    details.buddy = dive.buddy;
    details.computerName = dive.computerName;
    details.sampleInterval = QStringLiteral("%1sec").arg(dive.samplePeriod);
    details.serial = dive.computerSerial;
    const std::array<QString, 3> kinds = {tr("OC"), tr("CC"), tr("BO")};
    for (const DiveGas& gas : dive.gases) {
        const int gasClass = std::clamp(gas.gasClass(), 0, 2);
        details.gases.append({percent(gas.o2), percent(gas.he), kinds[std::size_t(gasClass)]});
    }
    details.alertLevels = alertLevelsOf(dive);
    return details;
}

std::array<int, DiveDetails::AlertCount> DiveDetails::alertLevelsOf(const Dive& dive)
{
    const quint8 byte0 = dive.alertsPelagon[0];
    const quint8 byte1 = dive.alertsPelagon[1];
    std::array<int, AlertCount> levels{};
    levels[Ceiling] = byte0 & 0x3;
    levels[HighO2] = (byte0 >> 2) & 0x3;
    levels[AscentSpeed] = (byte1 & 0x04) ? 2 : 0;
    levels[Battery] = byte1 & 0x3;
    int transmitter = 0;
    for (int shift = 0; shift < 8; shift += 2)
        transmitter = std::max(transmitter, (dive.alertsAI >> shift) & 0x3);
    levels[Transmitter] = transmitter;
    return levels;
}

QString DiveDetails::ledIcon(Alert alert, int level)
{
    const bool lowIsRed = alert == Battery || alert == Transmitter;
    const char* colour = "Green";
    switch (level) {
    case 0: colour = "Green"; break;
    case 1: colour = lowIsRed ? "Red" : "Orange"; break;
    case 2: colour = "Orange"; break;
    default: colour = "Red"; break;
    }
    return QStringLiteral(":/TestGraphics/icons/Led_%1.png").arg(QLatin1String(colour));
}

QString DiveDetails::diveModeText(int divemode)
{
    switch (divemode) {
    case 0: return tr("Open Circuit");
    case 1: return tr("Closed Circuit");
    case 4: return tr("Semi Closed Circuit");
    case 5: return tr("Free Dive");
    default: return tr("Unknown");
    }
}
