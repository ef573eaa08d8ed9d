#include "profilor/profilestyle.h"

#include "divedata/divegas.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace ProfileStyle {

QColor speedColor(double speed, double ascentLimit, double descentLimit)
{
    static const QColor orange(255, 190, 0);
    if (speed < -ascentLimit - 0.01)
        return QColor(Qt::red);
    if (speed < 2.0 - ascentLimit)
        return orange;
    if (speed > descentLimit + 0.01)
        return QColor(Qt::red);
    if (speed > descentLimit - 2.0)
        return orange;
    return QColor(Qt::green);
}

QColor pressureColor(int pressure)
{
    if (pressure < 50)
        return QColor(Qt::red);
    if (pressure < 100)
        return QColor(255, 170, 0);
    return QColor(Qt::darkGreen);
}

double timeGridStep(double span)
{
    double step = std::round(span / 600.0) * 60.0;
    if (step == 0.0)
        step = std::round(span / 10.0);
    if (!(step > 0.0))
        step = 1.0;
    return step;
}

double depthGridStep(double range)
{
    const double step = std::round(range / 10.0);
    return step > 0.0 ? step : 1.0;
}

namespace {

// The first of the round steps above `step` whose lines lie at least
// `minSpacing` pixels apart; past the table, the largest step doubles.
template <std::size_t N>
double spacedStep(double step, double pixelsPerUnit, double minSpacing, const std::array<double, N>& roundSteps)
{
    if (!(pixelsPerUnit > 0.0) || !std::isfinite(pixelsPerUnit) || !(minSpacing > 0.0)
        || step * pixelsPerUnit >= minSpacing)
        return step;
    for (const double candidate : roundSteps) {
        if (candidate > step && candidate * pixelsPerUnit >= minSpacing)
            return candidate;
    }
    double larger = std::max(step, roundSteps.back());
    for (int doubling = 0; doubling < 64 && larger * pixelsPerUnit < minSpacing; ++doubling)
        larger *= 2.0;
    return larger;
}

} // namespace

double spacedTimeGridStep(double step, double pixelsPerSecond, double minSpacing)
{
    static constexpr std::array<double, 19> kRoundTimes = {
        1, 2, 5, 10, 15, 20, 30, 60, 120, 300, 600, 900, 1200, 1800, 3600, 7200, 10800, 21600, 43200};
    return spacedStep(step, pixelsPerSecond, minSpacing, kRoundTimes);
}

double spacedDepthGridStep(double step, double pixelsPerMetre, double minSpacing)
{
    static constexpr std::array<double, 9> kRoundDepths = {1, 2, 5, 10, 20, 50, 100, 200, 500};
    return spacedStep(step, pixelsPerMetre, minSpacing, kRoundDepths);
}

QString shortNumber(double value)
{
    return QString::number(value, 'g', 6);
}

QString gasToolTip(const DiveGas* gas)
{
    // A gas index outside the dive's gases names the empty gas: no name.
    const QString name = gas != nullptr ? gas->gasName() : QString();
    const bool diluent = gas != nullptr && gas->diluent;
    const bool bailout = gas != nullptr && gas->usage == 3;
    if (diluent)
        return name + QCoreApplication::translate("DiveProfileItem", " (Diluent)");
    if (bailout)
        return name + QCoreApplication::translate("DiveProfileItem", " (Bailout)");
    return name + QCoreApplication::translate("DiveProfileItem", " (Open Circuit)");
}

int saturatedInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return int(value);
}

} // namespace ProfileStyle
