#pragma once

#include "corvane/corvaneglobal.h"

#include <QBluetoothDeviceInfo>
#include <QMetaType>
#include <QString>

// One Bluetooth Low Energy device seen by a scan: its address as text, its
// advertised name, the signal strength of the sighting and the platform's full
// record (what a link needs to create its controller). A record with an empty
// address stands for no device.
class CORVANE_EXPORT BleDeviceInfo
{
public:
    BleDeviceInfo() = default;
    // Name, rssi and record copied; the address is the record's address as text.
    explicit BleDeviceInfo(const QBluetoothDeviceInfo& info);

    // A record for a device known only by a stored address and name: the
    // address goes through QBluetoothAddress (so "aa:bb:.." comes back as
    // "AA:BB:.."), rssi is 0.
    static BleDeviceInfo fromAddress(const QString& address, const QString& name);

    QString address() const { return m_address; }
    QString name() const { return m_name; }
    qint32 rssi() const { return m_rssi; }
    QBluetoothDeviceInfo deviceInfo() const { return m_deviceInfo; }

    // True when the address is not empty.
    bool isValid() const { return !m_address.isEmpty(); }

private:
    QString m_address;
    QString m_name;
    qint32 m_rssi = 0;
    QBluetoothDeviceInfo m_deviceInfo;
};

Q_DECLARE_METATYPE(BleDeviceInfo)
