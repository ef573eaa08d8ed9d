#pragma once

#include "corvane/corvaneglobal.h"
#include "divedata/dive.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

// The records that the dive computer's responses decode into (KelvoData).

// Byte 0: the command code; bytes 1 onward: the response payload, cut to 511
// bytes. The decoders' offsets count the command byte as offset 0.
using RecordBuffer = std::array<quint8, 512>;

// The logbook header of one downloaded dive.
struct PelagonDiveHeader : DiveHeader
{
    quint8 diverMode = 0;
    quint16 gasSet = 1;
    quint16 spareWord = 900; // carried, not interpreted
};

// One decoded profile sample.
struct DiveSample
{
    quint16 version = 0;             // sample format version of the dive
    quint16 depth = 0;               // bits 0-11: depth in decimetres
    quint8 flags = 0;                // bit 0 closed circuit; bits 1-4 computer gas number
    quint16 ceilingCode = 0;         // bits 0-11, signed: ceiling in dm, or minus the no-deco time
    quint8 setpoint = 0;             // bits 0-1: active setpoint
    qint8 temperature = 0;           // whole degrees C
    quint16 battery = 0;
    quint8 alertFlag = 0;            // alert bits of the computer
    quint8 alertFlagTransmitter = 0; // alert bits of the tank transmitter
    std::array<quint8, 3> pelagonAlerts{};
    quint16 tankPressure = 0;        // bar
    quint8 gfLow = 0;
    quint8 gfHigh = 0;
    quint8 tankPressureTxIndex = 255;
    bool tankPressureFlag = false;   // transmitter byte of the older layout was non-zero

    // Computer gas number, bits 1-4 of the flags.
    int gasNumber() const { return (flags >> 1) & 0x0F; }
};

// One entry of a gas table: oxygen and helium percentages.
struct GasPercent
{
    quint8 o2 = 0;
    quint8 he = 0;
};

// The settings part of the computer record.
struct CORVANE_EXPORT BleConfig
{
    static constexpr int kGases = 12;

    quint16 firstSetting = 0;
    std::array<quint8, 4> commonSettings{};
    quint16 commonWord = 0;
    quint8 waterType = 0;            // 0 salt, 1 fresh, 2 water of density 1.02
    quint16 surfacePressure = 0;     // mbar
    std::array<quint8, 2> commonTail{};
    std::array<quint8, 8> familySettings{}; // first bytes after the common block
    quint8 settingAfterGases = 0;
    std::array<quint16, 3> setpoints{};
    std::array<GasPercent, kGases> gases{};
    std::array<GasPercent, kGases> diluents{};

    // Water density, kg/l.
    double getDensity() const;
    // Absolute pressure at `depth` metres, bar.
    float pressureAtDepth(float depth) const;
    // Depth at absolute `pressure` bar; 0 at or above the surface.
    float depthAtPressure(float pressure) const;
};

// The computer part of the computer record.
struct CORVANE_EXPORT BleComputer
{
    std::array<quint8, 32> name{}; // zero-terminated when shorter
    quint8 batteryType = 0;
    QByteArray rest;               // the record's further bytes, kept as received

    // The name up to its first zero byte.
    QString nameText() const;
    // "Alcaline", "NiMH", "Lion36" or "Unknown".
    QString getBatteryStr() const;
};

struct DeleteDivesResult
{
    quint32 first = 0;
    quint32 second = 0;
};

// One binary system log record.
struct SyslogBinRecord
{
    quint64 time = 0; // s since 1970-01-01 00:00 UTC
    quint8 type = 0;
    quint32 value1 = 0;
    quint32 value2 = 0;
};

// One battery record; the values are carried as decoded, by their bits.
struct BatteryInfoRecord
{
    quint32 kind = 0;          // 0 when bit 31 of the first word is set, else 1
    // Kind 1.
    quint32 value20 = 0;       // bits 0-19
    quint32 value2 = 0;        // bits 20-21
    bool flag28 = false;
    bool flag29 = false;
    // Kind 0.
    quint32 value12 = 0;       // bits 0-11
    quint32 value4 = 0;        // bits 12-15
    bool flag16 = false;
    bool flag17 = false;
    bool flag18 = false;
    qint32 offsetValue = 0;    // ((A >> 19) & 63) - 10
    quint32 scaledValue = 0;   // ((A >> 25) & 63) * 200
    // Second word.
    bool secondPresent = false; // bit 31
    quint32 second15 = 0;      // bits 0-14
    quint32 second12 = 0;      // bits 15-26
    quint32 second2 = 0;       // bits 27-28
    bool secondFlag29 = false;
    bool secondFlag30 = false;
};
