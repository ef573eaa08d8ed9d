#pragma once

#include "corvane/corvaneglobal.h"
#include "corvane/simulator/computerflash.h"
#include "corvane/simulator/computerrecords.h"
#include "corvane/simulator/simulateddive.h"
#include "corvane/simulator/simulateddiver.h"
#include "divedata/divetypes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// Ways the simulated computer can misbehave. A command code of -1 disables
// the fault; faults last until they are cleared.
struct ComputerFaults
{
    int badCrcCommand = -1;        // the answers to this command carry a wrong CRC
    int silentCommand = -1;        // this command is never answered
    int garbageCommand = -1;       // bytes that are no frame come before the answer
    int zeroLengthCommand = -1;    // a header with length 0 comes before the answer
    bool truncatedSamples = false; // the last sample record of a dive is cut short
    bool outOfRangeGases = false;  // every fourth sample names a gas the dive does not have
    int linkLossAfterDives = -1;   // after this many sample downloads the link drops mid-answer
    int corruptChunk = -1;         // this chunk (from 0) of an image or a layout arrives damaged
    int linkLossAfterChunks = -1;  // after this many chunks of an image the link drops
    qint64 beginUpdateOffset = -1; // BeginUpdate answers this start offset
};

// One record of the binary system log.
struct SimulatedLogRecord
{
    quint64 time = 0;
    quint8 type = 0;
    quint32 value1 = 0;
    quint32 value2 = 0;
};

// Everything a simulated computer knows and keeps between commands.
struct ComputerState
{
    // Identity. The kind byte of the identification follows from the model,
    // the mode and `legacyIdentification` (an older computer that names
    // neither family nor mode: record version 0, serial in the old format).
    ComputerModel::ComputerModelIn model = ComputerModel::Pelagon;
    bool bootloaderMode = false;
    bool legacyIdentification = false;
    quint32 firmwareVersion = 0x02000C62;   // 2.0.12.b
    quint32 bootloaderVersion = 0x01020061; // 1.2.0.a
    std::array<quint32, 3> serial{0x00A1B2C3, 0x00000017, 0x20240601};
    std::array<quint8, 6> legacySerial{0x10, 0x32, 0x54, 0x76, 0x98, 0xBA};
    char legacySerialSuffix = 'P';

    QString owner = QStringLiteral("Demo Diver");
    // Computer clock minus the host's local wall-clock time, seconds.
    qint64 clockOffset = 97;
    SimulatedSettings settings;
    std::array<quint8, 12> diluentO2{21, 10};
    std::array<quint8, 12> diluentHe{0, 70};
    QByteArray amphorSettings;
    bool superUser = false;
    quint8 eraseFlashResult = 1;

    QList<SimulatedDive> logbook;
    QStringList syslog;
    QList<SimulatedLogRecord> syslogBin;
    QList<SimulatedBatteryEntry> battery;
    SimulatedDiver diver;
    FirmwareReceiver firmware;
    LayoutStore layouts;

    ComputerFaults faults;
    // Sample downloads answered since the link came up.
    int divesSent = 0;
    // Payload bytes of one answer frame: what one notification carries less
    // the frame's nine bytes of header and command, so a frame fits one
    // notification. Set from the link before each answer.
    int framePayload = 235;
};

// The answer to one request.
struct ComputerReply
{
    // One frame each; an empty payload is the end marker of a stream.
    QList<QByteArray> payloads;
    bool silent = false;         // nothing at all is sent
    bool dropLinkAfter = false;  // the link goes down once the answer is out
};

// Answers one request frame and updates the state: the table of command
// handlers of the simulated computer. A command the computer does not know
// is not answered.
CORVANE_EXPORT ComputerReply answerRequest(ComputerState& state, int command, const QByteArray& request);

// The local wall-clock time of the host, seconds since 1970-01-01 00:00 (the
// epoch plus the current offset from UTC): what Set_time sends.
CORVANE_EXPORT qint64 localWallClock();
