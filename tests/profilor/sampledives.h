#pragma once

// Dives shared by the Profilor tests and benchmarks.

#include "divedata/dive.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace SampleDives {

inline DiveGas gas(double o2, double he = 0.0)
{
    DiveGas g;
    g.setHe(he);
    g.setO2(o2);
    return g;
}

inline DiveLine line(double time, double depth)
{
    DiveLine l;
    l.timeSec = time;
    l.depth = depth;
    return l;
}

// Appends a computed ascent from `depth` at `time`: 9 m/min up to each stop,
// the stops of `stops` (depth, seconds), then the surface.
inline void appendAscent(Dive& dive, double time, double depth, const QList<QPair<double, double>>& stops,
                         int stopGas)
{
    DiveLine start = line(time, depth);
    start.gasIndex = dive.lines.isEmpty() ? 0 : dive.lines.last().gasIndex;
    dive.decoLines.append(start);
    double t = time;
    double d = depth;
    for (const auto& [stopDepth, duration] : stops) {
        t += std::round((d - stopDepth) / 9.0 * 60.0);
        d = stopDepth;
        DiveLine arrive = line(t, d);
        arrive.gasIndex = d <= 21.0 ? stopGas : start.gasIndex;
        dive.decoLines.append(arrive);
        t += duration;
        DiveLine leave = arrive;
        leave.timeSec = t;
        dive.decoLines.append(leave);
    }
    t += std::round(d / 9.0 * 60.0);
    DiveLine surface = line(t, 0.0);
    surface.gasIndex = stopGas;
    dive.decoLines.append(surface);
}

inline void finish(Dive& dive)
{
    dive.computeStatistics();
    dive.recomputeDerived();
    dive.rebuildCeilingProfile();
}

// A 45-minute decompression dive to 42 m with everything the profile shows:
// temperature, tank pressure, a gas switch, alarms, a computed ascent with
// stops, the ceiling and a yoyo.
inline Dive richDive()
{
    Dive dive;
    dive.name = QStringLiteral("42");
    dive.computerModel = 2;
    dive.gases = {gas(0.21), gas(0.50), gas(0.18, 0.45)};
    const double bottomEnd = 30 * 60;
    for (int s = 0; s <= int(bottomEnd); s += 10) {
        const double t = s;
        double depth = std::min(42.0, t / 60.0 * 18.0);
        if (t > 600)
            depth = 42.0 - 6.0 * std::sin((t - 600) / 600.0);
        DiveLine l = line(t, std::round(depth * 10) / 10);
        l.ambientTemp = 21.0 - std::min(9.0, depth / 3.5);
        l.tankPressure = quint16(std::max(30.0, 210.0 - t / 9.5));
        l.gasIndex = 0;
        l.ppO2 = 0.21 * (depth / 10.0 + 1.0);
        l.cns = t / 60.0;
        l.battery = 3900;
        if (t > 900)
            l.decoCeiling = std::min(9.0, (t - 900) / 100.0);
        dive.lines.append(l);
    }
    // A fast ascent and a hyperoxic warning on a few lines.
    for (qsizetype i = 100; i < 103; ++i)
        dive.lines[i].pelagonAlerts[1] |= 0x04; // bit 10
    for (qsizetype i = 120; i < 140; ++i)
        dive.lines[i].pelagonAlerts[0] |= 0x04; // bits 2-3
    appendAscent(dive, bottomEnd, dive.lines.last().depth, {{21.0, 60.0}, {9.0, 120.0}, {6.0, 240.0}, {3.0, 420.0}},
                 1);
    dive.yoyoList = {CurvePoint{700.0f, 36.0f, 1}};
    finish(dive);
    return dive;
}

// A ten-hour dive sampled every second (36,000 lines) with temperature, tank
// pressure, a ceiling and a computed ascent: the heavy case for painting.
inline Dive longDive(int seconds = 36000)
{
    Dive dive;
    dive.name = QStringLiteral("long");
    dive.computerModel = 2;
    dive.gases = {gas(0.21), gas(0.50)};
    dive.lines.reserve(seconds);
    for (int s = 0; s < seconds; ++s) {
        const double t = s;
        double depth = std::min(30.0, t / 60.0 * 18.0);
        if (t > 100)
            depth = 30.0 + 8.0 * std::sin(t / 1800.0) + 0.4 * std::sin(t / 7.0);
        DiveLine l = line(t, std::round(depth * 10) / 10); // the computer's 0.1 m resolution
        l.ambientTemp = 14.0 + 2.0 * std::cos(t / 3000.0);
        l.tankPressure = quint16(220 - (s % 7200) / 40);
        l.gasIndex = 0;
        l.decoCeiling = t > 1200 ? 3.0 + 6.0 * (0.5 + 0.5 * std::sin(t / 2500.0)) : 0.0;
        dive.lines.append(l);
    }
    appendAscent(dive, seconds, dive.lines.last().depth, {{9.0, 600.0}, {6.0, 1200.0}, {3.0, 1800.0}}, 1);
    finish(dive);
    return dive;
}

} // namespace SampleDives
