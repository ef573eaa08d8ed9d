#pragma once

#include "corvane/corvaneglobal.h"
#include "divedata/divetypes.h"

#include <QList>
#include <QtGlobal>

#include <array>

// One sample as the simulated computer records it, in the units of its own
// records: depths and ceilings in decimetres, the no-decompression time in
// minutes, temperatures in whole degrees.
struct SimulatedSample
{
    quint16 depthDm = 0;
    quint8 gas = 0;            // computer gas number 0..11 (0..7 in layout B)
    bool closedCircuit = false;
    quint8 setpoint = 0;       // active setpoint index 0..2
    quint16 ceilingDm = 0;     // decompression ceiling; 0 while none is needed
    quint16 ndlMinutes = 0;    // no-decompression time, shown while there is no ceiling
    qint8 temperature = 0;
    quint16 battery = 0;
    quint8 alert = 0;          // the computer's alert bits (older Kelvo layout)
    quint8 alertTransmitter = 0;
    std::array<quint8, 2> legacyAlerts{}; // the two alert bytes of the older non-Kelvo layout
    std::array<quint8, 3> pelagonAlerts{};
    quint16 tankPressure = 0;  // bar
    quint8 tankTxIndex = 0;
    quint8 gfLow = 0;
    quint8 gfHigh = 0;
};

// One dive of the simulated computer's logbook: what its logbook header
// carries and its samples. `headerVersion` 0 is the legacy header layout;
// `sampleVersion` chooses the sample record layout.
struct SimulatedDive
{
    quint8 headerVersion = 0;
    quint8 sampleVersion = 0;
    quint16 diveNumber = 0;
    quint8 activeGasSetPoint = 0;
    quint8 divemode = 0;            // 0 open circuit, 1 closed circuit
    quint8 gfLow = 30;
    quint8 gfHigh = 85;
    quint16 waterDensity = 1025;    // kg/m³ as the computer stores it
    quint16 surfacePressure = 1013; // mbar
    std::array<quint16, 16> diverN2{};
    std::array<quint16, 16> diverHe{};
    quint16 gasEnabled = 1;
    std::array<quint8, 12> gasO2{};
    std::array<quint8, 12> gasHe{};
    std::array<quint16, 3> setpoint{};
    quint32 alertFlags = 0;
    quint16 alertFlags16 = 0;
    qint64 beginTime = 0;           // s since the epoch, UTC
    qint64 endTime = 0;
    quint16 cnsBegin = 0;
    quint16 maxDepthDm = 0;
    quint16 avgDepthDm = 0;
    qint8 minTemperature = 0;
    qint8 maxTemperature = 0;
    quint32 ndl = 0;
    quint16 deepestStop = 0;        // dm
    quint32 totalDecoTime = 0;      // s
    quint32 ascentTime = 0;         // s
    quint16 cnsMax = 0;
    quint16 pO2Min = 0;             // ppO2 in hundredths of a bar
    quint16 pO2Max = 0;
    quint32 desatTime = 0;          // min
    float otu = 0.0f;
    float iss = 0.0f;
    quint8 samplePeriod = 2;        // s
    quint8 diverMode = 0;
    quint16 gasSet = 1;
    quint16 thirdField = 900;
    bool ocDiveMode = true;
    QList<SimulatedSample> samples;

    // The number of gases the header layout holds (8 or 12).
    int headerGasCount() const { return headerVersion <= 4 ? 8 : 12; }
};
