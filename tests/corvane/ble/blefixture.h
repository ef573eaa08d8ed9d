#pragma once

// A BleDevice on a simulated radio with one peripheral, and the steps of
// bringing its link up.

#include "corvane/ble/bledevice.h"
#include "corvane/ble/simulatedblebackend.h"
#include "corvane/ble/simulatedperipheral.h"

#include <QSignalSpy>
#include <QTest>

namespace BleFixture {

inline const QString kUartService = QStringLiteral("49535343-fe7d-4ae5-8fa9-9fafd205e455");
inline const QString kUartData = QStringLiteral("49535343-1e4d-4bd9-ba61-23c647249616");
inline const QString kSpsService = QStringLiteral("2456e1b9-26e2-8f83-e744-f34f01e9d701");
inline const QString kSpsFifo = QStringLiteral("2456e1b9-26e2-8f83-e744-f34f01e9d703");
inline const QString kSpsCredits = QStringLiteral("2456e1b9-26e2-8f83-e744-f34f01e9d704");

// Members in this order: the device goes first, the radio last.
struct Link
{
    SimulatedBleBackend backend;
    SimulatedPeripheral peripheral;
    BleDevice device{&backend, nullptr};

    Link() { backend.addPeripheral(&peripheral); }

    BleDeviceInfo info() const { return BleDeviceInfo(peripheral.deviceInfo()); }

    // Connects and waits for the service list.
    bool discover()
    {
        QSignalSpy discovered(&device, &BleDevice::servicesDiscovered);
        device.connectTo(info());
        return discovered.wait(5000);
    }

    // Connects, sets up the transparent-UART service (or the given one) and
    // waits until notifications are on.
    bool connectUp(const QString& service = kUartService, const QString& notify = kUartData,
                   const QString& write = kUartData)
    {
        QSignalSpy connected(&device, &BleDevice::connected);
        if (!discover() || !device.setupCharacteristics(service, notify, write))
            return false;
        return connected.wait(5000);
    }
};

inline QBluetoothUuid uuid(const QString& text)
{
    return QBluetoothUuid(text);
}

} // namespace BleFixture
