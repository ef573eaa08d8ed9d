#pragma once

// The records the dive computer answers with, written field by field from
// their layouts. Each function returns a response payload: the bytes after
// the command byte of a frame. Multi-byte fields are little-endian.

#include "corvane/corvaneglobal.h"
#include "corvane/simulator/simulateddive.h"
#include "divedata/divetypes.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// The computer's settings record (answers to Computer and Computer_new).
struct SimulatedSettings
{
    // 0 writes the legacy record (no version word, family Kelvo); from 13 on
    // the Kelvo gas table holds 12 gases, before that 8.
    quint8 version = 13;
    ComputerModel::ComputerModelIn family = ComputerModel::Kelvo;
    quint16 firstSetting = 1;
    std::array<quint8, 4> settingBytes{0, 1, 0, 0};
    quint16 settingWord = 0;
    quint8 waterType = 0;          // 0 salt, 1 fresh, 2 density 1.02
    quint16 surfacePressure = 1013;
    std::array<quint8, 2> moreBytes{};
    std::array<quint8, 8> kelvoBytes{}; // three, four and one setting bytes
    std::array<quint8, 12> gasO2{21, 50, 100};
    std::array<quint8, 12> gasHe{};
    quint8 lastSetting = 0;
    std::array<quint16, 3> setpoints{70, 130, 0};
    QByteArray name = "Kelvo";     // at most 32 bytes
    quint8 batteryType = 2;
};

// One gas table entry of a GetGases answer.
struct SimulatedGas
{
    quint8 number = 0;
    float o2 = 0.21f; // fractions
    float he = 0.0f;
};

// One battery log entry: the two 32-bit words as the computer stores them.
struct SimulatedBatteryEntry
{
    quint32 a = 0;
    quint32 b = 0;
};

namespace ComputerRecords {

// Identification: firmware version, the kind byte (model family and record
// version r: Kelvo 10 + r, Pelagon 20 + r, Brix 30 + r; r 1 normal mode, 2
// bootloader; a bare r below 11 for an older computer that names no family)
// and, for Pelagon and Brix, the bootloader version.
CORVANE_EXPORT QByteArray identification(quint32 firmware, quint8 kind, quint32 bootloader);
CORVANE_EXPORT quint8 identificationKind(ComputerModel::ComputerModelIn model, quint8 recordVersion);

// Serial number: three 32-bit words (record version 1 and later) ...
CORVANE_EXPORT QByteArray serialNumber(quint32 first, quint32 second, quint32 third);
// ... or, for record version 0, six address bytes (printed last to first)
// and one trailing character.
CORVANE_EXPORT QByteArray legacySerialNumber(const std::array<quint8, 6>& bytes, char suffix);

CORVANE_EXPORT QByteArray settings(const SimulatedSettings& settings);

// A zero-terminated text (Owner and Syslog answers).
CORVANE_EXPORT QByteArray text(const QString& text);
CORVANE_EXPORT QByteArray status(bool success);
CORVANE_EXPORT QByteArray time(qint64 seconds);
// Sensors and Set_sensors: a status byte, pamb (mbar) and the stop depth.
CORVANE_EXPORT QByteArray sensors(quint32 ambientPressure, quint16 stopDepth);
CORVANE_EXPORT QByteArray simulationParameters(quint32 surfacePressure, quint32 ambientPressure, quint16 density);
CORVANE_EXPORT QByteArray diver(const std::array<float, 16>& n2, const std::array<float, 16>& he, float cns);
CORVANE_EXPORT QByteArray deleteResult(quint32 first, quint32 second);
CORVANE_EXPORT QByteArray bootloaderVersion(quint32 version);
CORVANE_EXPORT QByteArray gas(quint8 selector, const SimulatedGas& gas);
CORVANE_EXPORT QByteArray batteryEntries(const QList<SimulatedBatteryEntry>& entries);
CORVANE_EXPORT QByteArray syslogBin(quint64 time, quint8 type, quint32 value1, quint32 value2);

// One logbook header in the dive's header layout, for a computer of `model`.
CORVANE_EXPORT QByteArray logbookHeader(const SimulatedDive& dive, ComputerModel::ComputerModelIn model);
// The dive's whole sample stream (the Fullsamples payloads put end to end).
CORVANE_EXPORT QByteArray samples(const SimulatedDive& dive, ComputerModel::ComputerModelIn model);
// Bytes per sample record of a stream.
CORVANE_EXPORT int sampleRecordSize(quint8 sampleVersion, ComputerModel::ComputerModelIn model);

} // namespace ComputerRecords
