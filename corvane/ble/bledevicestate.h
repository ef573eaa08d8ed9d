#pragma once

#include "corvane/corvaneglobal.h"

#include <QObject>

// States of the GATT link of a BleDevice, named for scripts.
namespace BleDeviceState {
Q_NAMESPACE_EXPORT(CORVANE_EXPORT)
enum BleDeviceStateIn : int {
    Disconnected = 0,        // idle, cleaned up, or the link was lost
    Connecting = 1,          // a connection was asked for
    DiscoveringServices = 2, // the link is up, services are being listed and set up
    Connected = 3,           // notifications acknowledged: ready for commands
    Error = 4,               // a controller or service error, or notifications never acknowledged
};
Q_ENUM_NS(BleDeviceStateIn)
} // namespace BleDeviceState
