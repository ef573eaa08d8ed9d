#pragma once

// Dives for the file-format tests: every field a format carries holds a value
// other than its default, so a field that a writer or reader drops shows up.

#include "divedata/dive.h"

#include <QTest>

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

// Compares the line fields the JSON form carries; the others must be at their
// defaults on `got`.
inline void compareJsonLine(const DiveLine& got, const DiveLine& want)
{
    QCOMPARE(got.timeSec, want.timeSec);
    QCOMPARE(got.depth, want.depth);
    QCOMPARE(got.pressure, want.pressure);
    QCOMPARE(got.speed, want.speed);
    QCOMPARE(got.ambientTemp, want.ambientTemp);
    QCOMPARE(got.decoCeiling, want.decoCeiling);
    QCOMPARE(got.ndl, want.ndl);
    QCOMPARE(got.gradientFactor, want.gradientFactor);
    QCOMPARE(got.otu, want.otu);
    QCOMPARE(got.cns, want.cns);
    QCOMPARE(got.ppO2, want.ppO2);
    QCOMPARE(got.gasIndex, want.gasIndex);
    QCOMPARE(got.setpointIndex, want.setpointIndex);
    QCOMPARE(got.ccr, want.ccr);
    QCOMPARE(got.alertFlag, want.alertFlag);
    QCOMPARE(got.alertFlagTransmitter, want.alertFlagTransmitter);
    QCOMPARE(got.battery, want.battery);
    QCOMPARE(got.tankPressure, want.tankPressure);
    QCOMPARE(got.gfLow, want.gfLow);
    QCOMPARE(got.gfHigh, want.gfHigh);
    QCOMPARE(got.tag, want.tag);
    const DiveLine fresh;
    QCOMPARE(got.pelagonAlerts, fresh.pelagonAlerts);
    QCOMPARE(got.tankPressureTxIndex, fresh.tankPressureTxIndex);
    QCOMPARE(got.deepestPoint, false);
}

// The gas fields the JSON form carries: the mixture in whole percents, the
// names, the colour, the class and the maximum ppO2.
inline void compareJsonGas(const DiveGas& got, const DiveGas& want)
{
    QCOMPARE(got.o2, want.o2);
    QCOMPARE(got.he, want.he);
    QCOMPARE(got.n2, want.n2);
    QCOMPARE(got.maxPpO2, want.maxPpO2 > 0.0f ? want.maxPpO2 : 1.6f);
    QCOMPARE(got.mId, want.mId);
    QCOMPARE(got.mName, want.mName);
    QCOMPARE(got.color, want.color);
    QCOMPARE(got.gasClass(), want.gasClass());
    QCOMPARE(got.usage, want.usage);
    QCOMPARE(got.diluent, want.diluent);
}

// Everything the JSON form (and so the binary file) carries, and the defaults
// of what it does not.
inline void compareJsonDive(const Dive& got, const Dive& want)
{
    QCOMPARE(got.diveNumber, want.diveNumber);
    QCOMPARE(got.computerModel, want.computerModel);
    QCOMPARE(got.beginTime, want.beginTime);
    QCOMPARE(got.endTime, want.endTime);
    QCOMPARE(got.maxDepth, want.maxDepth);
    QCOMPARE(got.avgDepth, want.avgDepth);
    QCOMPARE(got.samplePeriod, want.samplePeriod);
    QCOMPARE(got.sampleCount, want.sampleCount);
    QCOMPARE(got.divemode, want.divemode);
    QCOMPARE(got.surfacePressure, want.surfacePressure);
    QCOMPARE(got.density, want.density);
    QCOMPARE(got.gfLow, want.gfLow);
    QCOMPARE(got.gfHigh, want.gfHigh);
    QCOMPARE(got.deepestStop, want.deepestStop);
    QCOMPARE(got.cnsBegin, want.cnsBegin);
    QCOMPARE(got.cnsMax, want.cnsMax);
    QCOMPARE(got.ndl, want.ndl);
    QCOMPARE(got.totalDecoTime, want.totalDecoTime);
    QCOMPARE(got.ascentTime, want.ascentTime);
    QCOMPARE(got.desatTime, want.desatTime);
    QCOMPARE(got.diverN2, want.diverN2);
    QCOMPARE(got.diverHe, want.diverHe);
    QCOMPARE(got.gasEnabled, want.gasEnabled);
    QCOMPARE(got.gasPO2, want.gasPO2);
    QCOMPARE(got.gasPHe, want.gasPHe);
    QCOMPARE(got.activeGas, want.activeGas);
    QCOMPARE(got.activeGasSetPoint, want.activeGasSetPoint);
    QCOMPARE(got.setpointEnabled, want.setpointEnabled);
    QCOMPARE(got.setpoint, want.setpoint);
    QCOMPARE(got.alertFlags, want.alertFlags);
    QCOMPARE(got.alertFlags16, want.alertFlags16);
    QCOMPARE(got.minTemperature, want.minTemperature);
    QCOMPARE(got.maxTemperature, want.maxTemperature);
    QCOMPARE(got.pO2Min, want.pO2Min);
    QCOMPARE(got.pO2Max, want.pO2Max);
    QCOMPARE(got.otu, want.otu);
    QCOMPARE(got.iss, want.iss);
    QCOMPARE(got.place, want.place);
    QCOMPARE(got.buddy, want.buddy);
    QCOMPARE(got.site, want.site);
    QCOMPARE(got.notes, want.notes);

    QCOMPARE(got.name, want.name);
    QCOMPARE(got.computerName, want.computerName);
    QCOMPARE(got.computerManufacturer, want.computerManufacturer);
    QCOMPARE(got.computerSerial, want.computerSerial);
    QCOMPARE(got.firmwareVersion, want.firmwareVersion);
    QCOMPARE(got.format, want.format);
    QCOMPARE(got.alertsKelvo, want.alertsKelvo);
    QCOMPARE(got.alertsPelagon, want.alertsPelagon);
    QCOMPARE(got.alertsAI, want.alertsAI);
    QCOMPARE(got.maxTime, want.maxTime);
    QCOMPARE(got.diverMode, want.diverMode);
    QCOMPARE(got.gasSet, want.gasSet);

    QCOMPARE(got.lines.size(), want.lines.size());
    for (qsizetype i = 0; i < got.lines.size(); ++i) {
        compareJsonLine(got.lines.at(i), want.lines.at(i));
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(got.gases.size(), want.gases.size());
    for (qsizetype i = 0; i < got.gases.size(); ++i) {
        compareJsonGas(got.gases.at(i), want.gases.at(i));
        if (QTest::currentTestFailed())
            return;
    }

    // Not carried: defaults.
    const Dive fresh;
    QCOMPARE(got.headerSpare, fresh.headerSpare);
    QCOMPARE(got.perGasWords, fresh.perGasWords);
    QCOMPARE(got.ocdivemode, fresh.ocdivemode);
    QCOMPARE(got.minTankPressure, fresh.minTankPressure);
    QCOMPARE(got.maxTankPressure, fresh.maxTankPressure);
    QVERIFY(got.decoLines.isEmpty());
    QVERIFY(got.ceilTrackingLines.isEmpty());
    QVERIFY(got.overlayLines.isEmpty());
    QVERIFY(got.ceilingProfile.isEmpty());
    QVERIFY(got.yoyoList.isEmpty());
    QCOMPARE(got.invalidReason, 0);
    QCOMPARE(got.dtrStartIndex, -1);
    QCOMPARE(got.decoNotTerminated, false);
}

} // namespace fixtures
