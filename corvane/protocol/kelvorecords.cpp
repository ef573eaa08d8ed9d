#include "corvane/protocol/kelvorecords.h"

#include <cstring>

namespace {
constexpr double kGravity = 9.80665;
}

double BleConfig::getDensity() const
{
    switch (waterType) {
    case 0:
        return 1.03;
    case 2:
        return 1.02;
    default:
        return 1.00;
    }
}

float BleConfig::pressureAtDepth(float depth) const
{
    return float(getDensity() * kGravity * double(depth) / 100.0 + surfacePressure / 1000.0);
}

float BleConfig::depthAtPressure(float pressure) const
{
    const double surface = surfacePressure / 1000.0;
    if (!(double(pressure) > surface))
        return 0.0f;
    return float((double(pressure) - surface) * 100.0 / (getDensity() * kGravity));
}

QString BleComputer::nameText() const
{
    const auto* text = reinterpret_cast<const char*>(name.data());
    return QString::fromUtf8(text, qsizetype(qstrnlen(text, uint(name.size()))));
}

QString BleComputer::getBatteryStr() const
{
    switch (batteryType) {
    case 0:
        return QStringLiteral("Alcaline");
    case 1:
        return QStringLiteral("NiMH");
    case 2:
        return QStringLiteral("Lion36");
    default:
        return QStringLiteral("Unknown");
    }
}
