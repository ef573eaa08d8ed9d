#pragma once

#include "divedata/dive.h"

#include <cmath>

// A ten-hour-class dive for the file benchmarks: every field that one of the
// formats carries is filled, and values vary so that no encoder can shortcut.
inline Dive longDive(int lineCount)
{
    Dive dive;
    dive.name = QStringLiteral("Long dive");
    dive.beginTime = 1'700'000'000;
    dive.gases.resize(3);
    dive.gases[1].setO2(0.5);
    dive.gases[2].setO2(1.0);
    dive.lines.reserve(lineCount);
    for (int i = 0; i < lineCount; ++i) {
        DiveLine line;
        line.timeSec = i;
        line.depth = 30.0 + 20.0 * std::sin(i * 0.001);
        line.pressure = 1.013 + line.depth / 10.0;
        line.speed = 1.2 * std::cos(i * 0.001);
        line.ambientTemp = 14.0 + std::fmod(i * 0.01, 3.0);
        line.decoCeiling = i > 3000 ? 3.0 + std::fmod(i * 0.003, 6.0) : 0.0;
        line.ndl = qint16(i % 99);
        line.gradientFactor = 0.3 + std::fmod(i * 0.0001, 0.5);
        line.otu = i * 0.01;
        line.cns = i * 0.00002;
        line.ppO2 = 1.2 + std::fmod(i * 0.0001, 0.2);
        line.alertFlag = i % 500 == 0 ? 0x04 : 0;
        line.gasIndex = i / 12000;
        line.ccr = (i / 5000) % 2 == 1;
        line.battery = quint16(3900 - i / 100);
        line.tankPressure = quint16(230 - i / 200);
        line.gfLow = 30;
        line.gfHigh = 70;
        dive.lines.append(line);
    }
    dive.computeStatistics();
    return dive;
}
