#pragma once

#include "corvane/corvaneglobal.h"

#include <QByteArray>
#include <QObject>

// The vocabulary of the dive computer's command protocol, shared by the
// library and the program. Enumerations live in gadget namespaces so that
// Qt's meta-object system can name their values in signals and logs.

namespace PelagonCommand {
Q_NAMESPACE_EXPORT(CORVANE_EXPORT)
// Command codes, one byte on the wire; a response carries the code of the
// request it answers. Codes not listed have no name.
enum PelagonCommandIn : quint8 {
    Sync = 0,
    Identification = 1,
    Syslog = 2,
    Serialnumber = 3,
    Set_serialnumber = 4,
    Computer = 5,
    Set_computer = 6,
    Time = 7,
    Set_time = 8,
    Sensors = 9,
    Set_sensors = 10,
    Dive = 11,
    Samples = 12,
    Begin_program = 13,
    Program = 14,
    End_program = 15,
    Factoryreset = 16,
    Diver = 17,
    Set_diver = 18,
    Logbook = 19,
    Fullsamples = 20,
    Owner = 22,
    Set_owner = 23,
    Computer_new = 24,
    DeleteLastDive = 25,
    EraseDives = 26,
    EraseDivesFlash = 27,
    SimulParams = 28,
    SyslogBin = 29,
    BeginUpdate = 30,
    ProgramUpdate = 31,
    EndUpdate = 32,
    BootloaderVersion = 33,
    GetGases = 34,
    AmphorSet = 35,
    LayoutList = 36,
    LayoutGet = 37,
    LayoutAdd = 38,
    LayoutRemove = 39,
    LayoutRemoveAll = 40,
    LayoutActiveGet = 41,
    LayoutActiveSet = 42,
    BatteryInformationClear = 237,
    BatteryInformation = 238,
    SuperUserMode = 252,
    CleanNvram = 253,
    Reset = 254,
    Close = 255,
};
Q_ENUM_NS(PelagonCommandIn)
} // namespace PelagonCommand

namespace ExchangeError {
Q_NAMESPACE_EXPORT(CORVANE_EXPORT)
// Why a command exchange failed.
enum ExchangeErrorIn : int {
    InvalidCrc = 0,
    BeginProgramError = 1,
    ProgramError = 2,
    EndProgramError = 3,
    SetOwnerError = 4,
    UnknownCommand = 5,
    GenericError = 6,
};
Q_ENUM_NS(ExchangeErrorIn)
} // namespace ExchangeError

// Which serial-data service of the peripheral carries the frames.
enum BleMode : int {
    Gatt = 0, // transparent-UART service
    Sps = 1,  // serial port service with credits
};

namespace CurrentMode {
Q_NAMESPACE_EXPORT(CORVANE_EXPORT)
// What the computer runs, from its identification.
enum CurrentModeIn : int {
    Unknown = 0,
    Normal = 1,
    BootLoader = 2,
};
Q_ENUM_NS(CurrentModeIn)
} // namespace CurrentMode

// One request or response: a command code and its payload (without the code).
struct BleCommand
{
    PelagonCommand::PelagonCommandIn command = PelagonCommand::Sync;
    QByteArray payload;

    BleCommand() = default;
    explicit BleCommand(PelagonCommand::PelagonCommandIn code) : command(code) {}
    BleCommand(PelagonCommand::PelagonCommandIn code, QByteArray data)
        : command(code), payload(std::move(data)) {}
};
