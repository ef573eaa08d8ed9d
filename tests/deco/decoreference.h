#pragma once

// An independent reference for the decompression engine, in double precision
// and closed form: Haldane loading at constant pressure, Schreiner loading over
// linear pressure changes, the Bühlmann ceiling with gradient factors, and
// no-decompression limits and stop times found by bisection on continuous
// time. It shares no code with the engine; its coefficients are typed in
// again from the published ZHL-16C table.

#include <algorithm>
#include <cmath>
#include <vector>

namespace reference {

constexpr int kCompartments = 16;
constexpr double kWaterVapour = 0.0627;

constexpr double kHalfTime[2][kCompartments] = {
    {4, 8, 12.5, 18.5, 27, 38.3, 54.3, 77, 109, 146, 187, 239, 305, 390, 498, 635},
    {1.51, 3.02, 4.72, 6.99, 10.21, 14.48, 20.53, 29.11, 41.20, 55.19, 70.69, 90.34, 115.29, 147.42, 188.24,
     240.03}};
constexpr double kA[2][kCompartments] = {
    {1.2599, 1.0000, 0.8618, 0.7562, 0.6200, 0.5043, 0.4410, 0.4000, 0.3750, 0.3500, 0.3295, 0.3065, 0.2835,
     0.2610, 0.2480, 0.2327},
    {1.7424, 1.3830, 1.1919, 1.0458, 0.9220, 0.8205, 0.7305, 0.6502, 0.5950, 0.5545, 0.5333, 0.5189, 0.5181,
     0.5176, 0.5172, 0.5119}};
constexpr double kB[2][kCompartments] = {
    {0.5050, 0.6514, 0.7222, 0.7825, 0.8126, 0.8434, 0.8693, 0.8910, 0.9092, 0.9222, 0.9319, 0.9403, 0.9477,
     0.9544, 0.9602, 0.9653},
    {0.4245, 0.5747, 0.6527, 0.7223, 0.7582, 0.7957, 0.8279, 0.8553, 0.8757, 0.8903, 0.8997, 0.9073, 0.9122,
     0.9171, 0.9217, 0.9267}};

inline double rate(int gas, int i)
{
    return std::log(2.0) / kHalfTime[gas][i];
}

struct Gas
{
    double fraction[2]; // nitrogen, helium
};

inline Gas gasOf(int o2Percent, int hePercent)
{
    const double o2 = o2Percent / 100.0;
    const double he = hePercent / 100.0;
    return Gas{{1.0 - o2 - he, he}};
}

struct Tissues
{
    double p[2][kCompartments] = {};
};

inline Tissues saturated(double surface)
{
    Tissues t;
    for (int i = 0; i < kCompartments; ++i)
        t.p[0][i] = (surface - kWaterVapour) * 0.79;
    return t;
}

// Haldane: P(t) = Pi + (P0 - Pi) e^(-kt).
inline void haldane(Tissues& t, const Gas& gas, double ambient, double minutes)
{
    for (int g = 0; g < 2; ++g) {
        const double inspired = (ambient - kWaterVapour) * gas.fraction[g];
        for (int i = 0; i < kCompartments; ++i)
            t.p[g][i] = inspired + (t.p[g][i] - inspired) * std::exp(-rate(g, i) * minutes);
    }
}

// Schreiner: P(t) = Pi0 + R (t - 1/k) - (Pi0 - P0 - R/k) e^(-kt).
inline void schreiner(Tissues& t, const Gas& gas, double p1, double p2, double minutes)
{
    if (minutes <= 0.0)
        return;
    for (int g = 0; g < 2; ++g) {
        const double inspired = (p1 - kWaterVapour) * gas.fraction[g];
        const double r = (p2 - p1) * gas.fraction[g] / minutes;
        for (int i = 0; i < kCompartments; ++i) {
            const double k = rate(g, i);
            t.p[g][i] = inspired + r * (minutes - 1.0 / k) - (inspired - t.p[g][i] - r / k) * std::exp(-k * minutes);
        }
    }
}

// Bühlmann tolerated ambient pressure with a gradient factor, a and b weighted
// by each compartment's tensions.
inline double compartmentCeiling(const Tissues& t, int i, double gf)
{
    const double n2 = t.p[0][i];
    const double he = t.p[1][i];
    const double total = n2 + he;
    if (total <= 0.0)
        return 0.0;
    const double a = (kA[0][i] * n2 + kA[1][i] * he) / total;
    const double b = (kB[0][i] * n2 + kB[1][i] * he) / total;
    return (total - a * gf) / (gf / b - gf + 1.0);
}

inline double ceiling(const Tissues& t, double gf)
{
    double worst = 0.0;
    for (int i = 0; i < kCompartments; ++i)
        worst = std::max(worst, compartmentCeiling(t, i, gf));
    return worst;
}

// Largest time in [0, limit] for which holds(t) is true, assuming it holds
// up to some point and fails after it; 0 when it fails at once.
template <typename Holds>
double lastTimeHolding(const Holds& holds, double limit)
{
    if (!holds(0.0))
        return 0.0;
    if (holds(limit))
        return limit;
    double lo = 0.0;
    double hi = limit;
    for (int i = 0; i < 80; ++i) {
        const double mid = 0.5 * (lo + hi);
        (holds(mid) ? lo : hi) = mid;
    }
    return lo;
}

struct Site
{
    double surface = 1.013;
    double density = 1.03;
    double ascentRate = 1.1;     // bar/min
    double decoAscentRate = 0.6; // bar/min
    double gfLow = 0.8;
    double gfHigh = 0.8;
    double lastStop = 3.0;       // m, stops every 3 m

    double pressureAt(double depth) const { return density * 9.80665 * depth / 100.0 + surface; }
    double stop(int n) const
    {
        if (n <= 0)
            return surface;
        return pressureAt(lastStop + 3.0 * (n - 1));
    }
    // Gradient factor at stop n with the interpolation anchored at stop m.
    double gfAt(int n, int anchor) const
    {
        const int m = std::max(anchor, n + 1);
        if (m <= 1 || gfLow == gfHigh)
            return gfHigh;
        const double f = (stop(n) - stop(m)) / (surface - stop(m));
        return (1.0 - f) * gfLow + f * gfHigh;
    }
};

// Minutes that may be spent at the ambient pressure so that a direct ascent
// still surfaces within gfHigh; at most 250.
inline double ndl(const Tissues& start, const Gas& gas, double ambient, const Site& site)
{
    const double ascent = std::max(0.0, (ambient - site.surface) / site.ascentRate);
    return lastTimeHolding(
        [&](double minutes) {
            Tissues t = start;
            haldane(t, gas, ambient, minutes);
            schreiner(t, gas, ambient, site.surface, ascent);
            return ceiling(t, site.gfHigh) <= site.surface;
        },
        250.0);
}

struct Stop
{
    double depth;
    double minutes;
};

// Least time at a stop after which the next stop is tolerated; with a
// quantum, rounded up to a whole number of quanta.
inline double stopMinutes(const Tissues& t, const Gas& gas, double here, double above, double gf,
                          double quantumMinutes)
{
    const double blocked = lastTimeHolding(
        [&](double minutes) {
            Tissues probe = t;
            haldane(probe, gas, here, minutes);
            return ceiling(probe, gf) > above;
        },
        2000.0);
    return quantumMinutes > 0.0 ? std::ceil(blocked / quantumMinutes) * quantumMinutes : blocked;
}

// The ascent the engine describes: a direct ascent to the first stop, which is
// the deepest stop that the ascent can reach but not leave (gradient factors
// anchored there), then at each stop the least time after which the next one
// is tolerated; the ascents between stops are not loaded. With a quantum,
// each stop is rounded up to a whole number of quanta before it is loaded.
inline std::vector<Stop> schedule(const Tissues& start, const Gas& gas, double ambient, const Site& site,
                                  double quantumMinutes = 0.0)
{
    auto mayLeave = [&](int i) {
        Tissues t = start;
        if (site.stop(i) < ambient)
            schreiner(t, gas, ambient, site.stop(i), (ambient - site.stop(i)) / site.ascentRate);
        return ceiling(t, site.gfAt(i - 1, 0)) < site.stop(i - 1);
    };
    std::vector<Stop> stops;
    if (mayLeave(1))
        return stops;
    int first = 1;
    while (first < 100 && !mayLeave(first + 1))
        ++first;

    Tissues t = start;
    if (site.stop(first) < ambient)
        schreiner(t, gas, ambient, site.stop(first), (ambient - site.stop(first)) / site.ascentRate);
    for (int i = first; i >= 1; --i) {
        const double here = site.stop(i);
        const double above = site.stop(i - 1);
        const double gf = site.gfAt(i - 1, first);
        const double minutes = stopMinutes(t, gas, here, above, gf, quantumMinutes);
        haldane(t, gas, here, minutes);
        stops.push_back(Stop{(here - site.surface) * 100.0 / (site.density * 9.80665), minutes});
    }
    return stops;
}

// A gas of a multi-gas plan: its inert fractions and its oxygen.
struct Mix
{
    Gas gas;
    double o2;
};

inline Mix mixOf(int o2Percent, int hePercent)
{
    return Mix{gasOf(o2Percent, hePercent), o2Percent / 100.0};
}

struct GasStop
{
    double depth;
    double minutes;
    int gas; // 0 the bottom gas, k the k-th deco gas
};

// The same ascent with deco gases: at each stop the diver breathes the gas
// with the most oxygen whose ppO2 there is at most maxPpO2 (the bottom gas
// when none is), switching on arrival. A switch lasts at least
// switchMinutes; with such a least time, a switch that the ascent passes
// before the first stop is made at the deepest stop at or above the gas's
// depth, which then opens the list. The first stop and the gradient-factor
// anchor are those of the bottom gas alone.
inline std::vector<GasStop> scheduleWithGases(const Tissues& start, const Mix& bottom, const std::vector<Mix>& deco,
                                              double ambient, const Site& site, double quantumMinutes,
                                              double maxPpO2, double switchMinutes)
{
    std::vector<GasStop> out;
    const std::vector<Stop> plain = schedule(start, bottom.gas, ambient, site, 0.0);
    if (plain.empty())
        return out;
    const int first = int(std::lround((plain.front().depth - site.lastStop) / 3.0)) + 1;
    auto gasAt = [&](double pressure) {
        int best = 0;
        double o2 = bottom.o2;
        for (std::size_t k = 0; k < deco.size(); ++k) {
            if (deco[k].o2 > o2 && deco[k].o2 * pressure <= maxPpO2) {
                best = int(k) + 1;
                o2 = deco[k].o2;
            }
        }
        return best;
    };
    int top = first;
    if (switchMinutes > 0.0) {
        while (top < 100 && site.stop(top + 1) < ambient && gasAt(site.stop(top + 1)) != 0)
            ++top;
    }
    Tissues t = start;
    if (site.stop(top) < ambient)
        schreiner(t, bottom.gas, ambient, site.stop(top), (ambient - site.stop(top)) / site.ascentRate);
    int breathing = 0;
    for (int i = top; i >= 1; --i) {
        const double here = site.stop(i);
        const double above = site.stop(i - 1);
        const double gf = site.gfAt(i - 1, first);
        const int gas = std::max(breathing, gasAt(here));
        const bool switched = gas != breathing;
        breathing = gas;
        const Gas& breathed = gas == 0 ? bottom.gas : deco[std::size_t(gas - 1)].gas;
        double minutes = stopMinutes(t, breathed, here, above, gf, quantumMinutes);
        if (switched)
            minutes = std::max(minutes, switchMinutes);
        haldane(t, breathed, here, minutes);
        out.push_back(GasStop{(here - site.surface) * 100.0 / (site.density * 9.80665), minutes, gas});
    }
    return out;
}

} // namespace reference
