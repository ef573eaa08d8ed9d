#pragma once

#include <QtGlobal>

#include <array>

// One point of a dive profile.
struct DiveLine
{
    double timeSec = 0.0;        // s since the start of the dive
    double depth = 0.0;          // m
    double pressure = 0.0;       // carried by the JSON and plan-stream formats only
    double speed = 0.0;          // m/min, positive while descending (derived)
    double ambientTemp = 0.0;    // °C
    double decoCeiling = 0.0;    // m; 0 = none
    qint16 ndl = 0;              // min, when there is no ceiling
    double gradientFactor = 0.0;
    double otu = 0.0;
    double cns = 0.0;
    double ppO2 = 0.0;           // bar
    qint32 gasIndex = -1;        // index into Dive::gases; -1 = none yet
    quint8 setpointIndex = 0;
    bool ccr = false;
    quint8 alertFlag = 0;
    quint8 alertFlagTransmitter = 0;
    std::array<quint8, 3> pelagonAlerts{};
    quint16 battery = 0;
    quint16 tankPressure = 0;    // bar; 0 = none
    quint8 tankPressureTxIndex = 255; // 255 = none
    quint8 gfLow = 0;
    quint8 gfHigh = 0;
    quint32 tag = 0;             // free value carried through the JSON format only
    bool deepestPoint = false;   // set on at most one line by computeStatistics
};

// A point of a derived curve (ceiling profile, yoyo events).
struct CurvePoint
{
    float time = 0.0f;
    float depth = 0.0f;
    qint16 level = 0;
};

// What an editable profile point knows of its line.
struct DiveLineInfo
{
    int index = 0;
    double time = 0.0;
    double depth = 0.0;
};

// Answer of the profile view to a query at a given time.
struct DivePosition
{
    const DiveLine* before = nullptr;
    const DiveLine* after = nullptr;
    qint64 reserved[4] = {0, 0, 0, 0};
    double ceiling = 0.0;
    double tankPressure = 0.0;
};

// Display switches that the main window hands to the profile view.
struct ShowItemsState
{
    bool points = false;
    bool temperature = true;
    bool deco = true;
    bool alerts = true;
    bool gases = true;
    bool maxDepth = true;
    bool tankPressure = true;
};
