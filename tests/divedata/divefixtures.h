#pragma once

// Dives for the file-format tests: every field a format carries holds a value
// other than its default, so a field that a writer or reader drops shows up.

#include "divedata/dive.h"

#include <QFile>
#include <QTest>

#include <tuple>

namespace fixtures {

inline DiveLine sampleLine(int i)
{
    DiveLine l;
    l.timeSec = 10.5 * i;
    l.depth = 1.25 + i;
    l.pressure = 1.5 + i;
    l.speed = -2.5 + i;
    l.ambientTemp = 18.75 - i;
    l.decoCeiling = 3.5 + i;
    l.ndl = qint16(-7 + i);
    l.gradientFactor = 0.625 + i;
    l.otu = 4.125 + i;
    l.cns = 0.0625 * i;
    l.ppO2 = 1.375;
    l.gasIndex = i % 2;
    l.setpointIndex = quint8(i % 4);
    l.ccr = i % 2 == 1;
    l.alertFlag = quint8(0x80 | i);
    l.alertFlagTransmitter = quint8(0x05 + i);
    l.battery = quint16(3700 + i);
    l.tankPressure = quint16(200 - i);
    l.gfLow = quint8(30 + i);
    l.gfHigh = quint8(70 + i);
    l.tag = 0xFEDCBA98u - quint32(i);
    // Not carried by the JSON form: they must come back at their defaults.
    l.pelagonAlerts = {1, 2, 3};
    l.tankPressureTxIndex = quint8(i);
    l.deepestPoint = true;
    return l;
}

inline DiveGas sampleGas(int o2, int he, int gasClass, const QString& name)
{
    DiveGas g;
    g.setO2(o2 / 100.0);
    g.setHe(he / 100.0);
    g.setMaxPpO2(1.4f);
    g.setGasClass(gasClass);
    g.mId = QStringLiteral("id-%1").arg(o2);
    g.mName = name;
    g.color = 0x12AB34;
    return g;
}

// A dive with every carried field set, and the fields the files do not carry
// set too (so that they can be checked to come back at their defaults).
inline Dive sampleDive(int lineCount = 4)
{
    Dive d;
    d.diveNumber = 4242;
    d.computerModel = ComputerModel::Pelagon;
    d.beginTime = Q_INT64_C(0x1'2345'6789); // past 32 bits
    d.endTime = d.beginTime + 3725;
    d.maxDepth = 41.5;
    d.avgDepth = 17.25;
    d.samplePeriod = 2;
    d.sampleCount = 0x89ABCDEFu;
    d.divemode = 1;
    d.surfacePressure = 987;
    d.density = 1;
    d.gfLow = 35;
    d.gfHigh = 75;
    d.deepestStop = 12;
    d.cnsBegin = 3;
    d.cnsMax = 27;
    d.ndl = 99;
    d.totalDecoTime = 420.5;
    d.ascentTime = 600.25;
    d.desatTime = 0xFFFFFFF0u;
    for (int i = 0; i < 16; ++i) {
        d.diverN2[std::size_t(i)] = quint16(700 + i);
        d.diverHe[std::size_t(i)] = quint16(60000 + i);
    }
    d.gasEnabled = 0x0FFF;
    for (int i = 0; i < 12; ++i) {
        d.gasPO2[std::size_t(i)] = quint8(21 + i);
        d.gasPHe[std::size_t(i)] = quint8(i);
    }
    d.activeGas = 2;
    d.activeGasSetPoint = 1;
    d.setpointEnabled = 3;
    d.setpoint = {70, 120, 130};
    d.alertFlags = 0xF1E2D3C4u;
    d.alertFlags16 = 0xBEEF;
    d.minTemperature = 11.5;
    d.maxTemperature = 24.75;
    d.pO2Min = 18;
    d.pO2Max = 160;
    d.otu = 12.5f;
    d.iss = 0.75f;
    d.place = QStringLiteral("Calanque de Sormiou");
    d.buddy = QStringLiteral("Zoé");
    d.site = QStringLiteral("Tombant « nord »");
    d.notes = QStringLiteral("Line one\nline two, ünïcødé ✓");
    // Header fields no format carries.
    d.headerSpare = 9;
    d.perGasWords.fill(0xABCDu);
    d.ocdivemode = 0;
    d.minTankPressure = 50;
    d.maxTankPressure = 210;

    d.name = QStringLiteral("Dive 17");
    d.computerName = QStringLiteral("Pelagon P1");
    d.computerManufacturer = QStringLiteral("Pelagon");
    d.computerSerial = QStringLiteral("SN-000123");
    d.firmwareVersion = QStringLiteral("2.9.1");
    d.format = Dive::PlannedProfile;
    for (int i = 0; i < lineCount; ++i)
        d.lines.append(sampleLine(i));
    d.gases = {sampleGas(21, 0, DiveGas::OpenCircuit, QString()), sampleGas(18, 45, DiveGas::DiluentClass, "Tx"),
               sampleGas(100, 0, DiveGas::Bailout, "Deco O2")};
    d.alertsKelvo = {0xFF, 0x01, 0x80, 0xFE};
    d.alertsPelagon = {0x11, 0x22, 0xF3};
    d.alertsAI = 0x5A;
    d.maxTime = 3725.5;
    d.diverMode = 1;
    d.gasSet = 1536;

    // Simulation results and lists no format carries.
    d.decoLines = {sampleLine(9)};
    d.ceilTrackingLines = {sampleLine(8)};
    d.overlayLines = {sampleLine(7)};
    d.ceilingProfile = {CurvePoint{1.0f, 2.0f, 0}};
    d.yoyoList = {CurvePoint{3.0f, 4.0f, 2}};
    d.invalidReason = 3;
    d.dtrStartIndex = 2;
    d.decoNotTerminated = true;
    return d;
}

// Field groups are compared as tuples; the message names the group that differs.
// The line fields the JSON form carries; the others must be at their defaults.
inline void compareJsonLine(const DiveLine& got, const DiveLine& w)
{
    const DiveLine& g = got;
    QVERIFY2(std::tie(g.timeSec, g.depth, g.pressure, g.speed, g.ambientTemp, g.decoCeiling, g.gradientFactor, g.otu,
                      g.cns, g.ppO2)
                 == std::tie(w.timeSec, w.depth, w.pressure, w.speed, w.ambientTemp, w.decoCeiling, w.gradientFactor,
                             w.otu, w.cns, w.ppO2),
             "line numbers");
    QVERIFY2(std::tie(g.ndl, g.gasIndex, g.setpointIndex, g.ccr, g.alertFlag, g.alertFlagTransmitter, g.battery,
                      g.tankPressure, g.gfLow, g.gfHigh, g.tag)
                 == std::tie(w.ndl, w.gasIndex, w.setpointIndex, w.ccr, w.alertFlag, w.alertFlagTransmitter, w.battery,
                             w.tankPressure, w.gfLow, w.gfHigh, w.tag),
             "line whole numbers");
    const DiveLine fresh;
    QVERIFY2(std::tie(g.pelagonAlerts, g.tankPressureTxIndex, g.deepestPoint)
                 == std::tie(fresh.pelagonAlerts, fresh.tankPressureTxIndex, fresh.deepestPoint),
             "line fields not carried");
}

// The gas fields the JSON form carries: the mixture in whole percents, the
// names, the colour, the class and the maximum ppO2 (unset reads as 1.6).
inline void compareJsonGas(const DiveGas& g, const DiveGas& w)
{
    const float maxPpO2 = w.maxPpO2 > 0.0f ? w.maxPpO2 : 1.6f;
    QVERIFY2(std::tie(g.o2, g.he, g.n2, g.maxPpO2, g.mId, g.mName, g.color, g.usage, g.diluent)
                 == std::tie(w.o2, w.he, w.n2, maxPpO2, w.mId, w.mName, w.color, w.usage, w.diluent),
             qPrintable(g.gasName()));
}

// Everything the JSON form (and so the binary file) carries, and the defaults
// of what it does not.
inline void compareJsonDive(const Dive& g, const Dive& w)
{
    QVERIFY2(std::tie(g.diveNumber, g.computerModel, g.beginTime, g.endTime, g.samplePeriod, g.sampleCount, g.divemode,
                      g.surfacePressure, g.density, g.gfLow, g.gfHigh, g.deepestStop, g.cnsBegin, g.cnsMax, g.ndl,
                      g.desatTime)
                 == std::tie(w.diveNumber, w.computerModel, w.beginTime, w.endTime, w.samplePeriod, w.sampleCount,
                             w.divemode, w.surfacePressure, w.density, w.gfLow, w.gfHigh, w.deepestStop, w.cnsBegin,
                             w.cnsMax, w.ndl, w.desatTime),
             "header whole numbers");
    QVERIFY2(std::tie(g.diverN2, g.diverHe, g.gasEnabled, g.gasPO2, g.gasPHe, g.activeGas, g.activeGasSetPoint,
                      g.setpointEnabled, g.setpoint, g.alertFlags, g.alertFlags16, g.pO2Min, g.pO2Max)
                 == std::tie(w.diverN2, w.diverHe, w.gasEnabled, w.gasPO2, w.gasPHe, w.activeGas, w.activeGasSetPoint,
                             w.setpointEnabled, w.setpoint, w.alertFlags, w.alertFlags16, w.pO2Min, w.pO2Max),
             "header tissues, gases and alerts");
    QVERIFY2(std::tie(g.maxDepth, g.avgDepth, g.totalDecoTime, g.ascentTime, g.minTemperature, g.maxTemperature, g.otu,
                      g.iss, g.maxTime)
                 == std::tie(w.maxDepth, w.avgDepth, w.totalDecoTime, w.ascentTime, w.minTemperature, w.maxTemperature,
                             w.otu, w.iss, w.maxTime),
             "statistics");
    QVERIFY2(std::tie(g.place, g.buddy, g.site, g.notes, g.name, g.computerName, g.computerManufacturer,
                      g.computerSerial, g.firmwareVersion)
                 == std::tie(w.place, w.buddy, w.site, w.notes, w.name, w.computerName, w.computerManufacturer,
                             w.computerSerial, w.firmwareVersion),
             "texts");
    QVERIFY2(std::tie(g.format, g.alertsKelvo, g.alertsPelagon, g.alertsAI, g.diverMode, g.gasSet)
                 == std::tie(w.format, w.alertsKelvo, w.alertsPelagon, w.alertsAI, w.diverMode, w.gasSet),
             "dive values");

    QCOMPARE(g.lines.size(), w.lines.size());
    for (qsizetype i = 0; i < g.lines.size() && !QTest::currentTestFailed(); ++i)
        compareJsonLine(g.lines.at(i), w.lines.at(i));
    QCOMPARE(g.gases.size(), w.gases.size());
    for (qsizetype i = 0; i < g.gases.size() && !QTest::currentTestFailed(); ++i)
        compareJsonGas(g.gases.at(i), w.gases.at(i));

    // Not carried: defaults.
    const Dive f;
    QVERIFY2(std::tie(g.headerSpare, g.perGasWords, g.ocdivemode, g.minTankPressure, g.maxTankPressure, g.invalidReason,
                      g.dtrStartIndex, g.decoNotTerminated)
                 == std::tie(f.headerSpare, f.perGasWords, f.ocdivemode, f.minTankPressure, f.maxTankPressure,
                             f.invalidReason, f.dtrStartIndex, f.decoNotTerminated),
             "fields not carried");
    QVERIFY(g.decoLines.isEmpty() && g.ceilTrackingLines.isEmpty() && g.overlayLines.isEmpty());
    QVERIFY(g.ceilingProfile.isEmpty() && g.yoyoList.isEmpty());
}

// The bytes of a file, or a marker text when it cannot be read.
inline QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Writes bytes as they are, bypassing every writer of the program.
inline void writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace fixtures
