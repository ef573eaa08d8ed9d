#pragma once

#include "corvane/corvaneglobal.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothDeviceInfo>
#include <QBluetoothUuid>
#include <QByteArray>
#include <QList>
#include <QLowEnergyCharacteristic>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <QMetaType>
#include <QObject>

#include <functional>

// The seam between BleScanner/BleDevice and whatever plays the radio: the
// platform's Bluetooth stack through Qt Bluetooth, or a simulated peripheral.
// The interfaces mirror the few Qt Bluetooth calls and signals the link uses,
// with Qt's own enumerations; everything the link decides lives above them.

// One characteristic of a discovered service, as a value (the platform's
// QLowEnergyCharacteristic cannot be made outside its stack). `handle` tells
// apart characteristics of one service; it is the backend's business.
struct CORVANE_EXPORT BleCharacteristic
{
    QBluetoothUuid uuid;
    QLowEnergyCharacteristic::PropertyTypes properties;
    QList<QBluetoothUuid> descriptors; // descriptor types present, e.g. 0x2902
    int handle = -1;

    bool isValid() const { return handle >= 0; }
    bool hasDescriptor(const QBluetoothUuid& type) const { return descriptors.contains(type); }
};
Q_DECLARE_METATYPE(BleCharacteristic)

// Whether the application may use Bluetooth.
enum class BlePermission { Undetermined, Granted, Denied };

// Finds advertising devices. Signals as QBluetoothDeviceDiscoveryAgent's.
class CORVANE_EXPORT BleDiscoveryAgent : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~BleDiscoveryAgent() override;

    virtual bool isActive() const = 0;
    virtual int lowEnergyDiscoveryTimeout() const = 0;
    virtual void setLowEnergyDiscoveryTimeout(int milliseconds) = 0;
    // Starts a scan for Low Energy devices only. An error may be signalled
    // before this returns.
    virtual void start() = 0;
    // Stops an active scan; `canceled` follows.
    virtual void stop() = 0;
    virtual QString errorString() const = 0;

signals:
    void deviceDiscovered(const QBluetoothDeviceInfo& info);
    void finished();
    void canceled();
    void errorOccurred(QBluetoothDeviceDiscoveryAgent::Error error);
};

// One service of the connected peripheral. Signals as QLowEnergyService's.
class CORVANE_EXPORT BleGattService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~BleGattService() override;

    virtual QBluetoothUuid serviceUuid() const = 0;
    virtual QLowEnergyService::ServiceState state() const = 0;
    // Reads the characteristics and their descriptors (full discovery).
    virtual void discoverDetails() = 0;
    virtual QList<BleCharacteristic> characteristics() const = 0;
    // The characteristic of that UUID; invalid when the service has none.
    virtual BleCharacteristic characteristic(const QBluetoothUuid& uuid) const = 0;
    virtual void writeCharacteristic(const BleCharacteristic& characteristic, const QByteArray& value,
                                     QLowEnergyService::WriteMode mode) = 0;
    // Writes the descriptor of type `descriptor` of `characteristic`.
    virtual void writeDescriptor(const BleCharacteristic& characteristic, const QBluetoothUuid& descriptor,
                                 const QByteArray& value) = 0;

signals:
    void stateChanged(QLowEnergyService::ServiceState state);
    void characteristicChanged(const BleCharacteristic& characteristic, const QByteArray& value);
    void characteristicWritten(const BleCharacteristic& characteristic, const QByteArray& value);
    void descriptorWritten(const QBluetoothUuid& descriptor, const QByteArray& value);
    void errorOccurred(QLowEnergyService::ServiceError error);
};

// The central-role controller of one link. Signals as QLowEnergyController's.
class CORVANE_EXPORT BleCentral : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~BleCentral() override;

    // Errors may be signalled before these return (as Qt does without adapter).
    virtual void connectToDevice() = 0;
    virtual void disconnectFromDevice() = 0;
    virtual void discoverServices() = 0;
    // Discovered services, in the order the peripheral lists them.
    virtual QList<QBluetoothUuid> services() const = 0;
    // A new service object (owned by `parent`), or nullptr when the link has
    // no such service.
    virtual BleGattService* createServiceObject(const QBluetoothUuid& uuid, QObject* parent) = 0;
    // The ATT MTU of the link; 0 when it is not known.
    virtual int mtu() const = 0;
    virtual QString errorString() const = 0;

signals:
    void connected();
    void disconnected();
    void errorOccurred(QLowEnergyController::Error error);
    void serviceDiscovered(const QBluetoothUuid& uuid);
    void discoveryFinished();
};

// Makes the objects of one radio: Qt Bluetooth's (qtBleBackend) or a
// simulated one (SimulatedBleBackend). A backend outlives what it made.
class CORVANE_EXPORT BleBackend : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~BleBackend() override;

    virtual BleDiscoveryAgent* createDiscoveryAgent(QObject* parent) = 0;
    virtual BleCentral* createCentral(const QBluetoothDeviceInfo& device, QObject* parent) = 0;

    // The state of the application's Bluetooth permission.
    virtual BlePermission bluetoothPermission() const = 0;
    // Asks the user; `answered` runs later, through the event loop, unless
    // `context` is gone by then.
    virtual void requestBluetoothPermission(QObject* context, std::function<void()> answered) = 0;
};

// A new backend on the platform's Bluetooth stack.
CORVANE_EXPORT BleBackend* createQtBleBackend(QObject* parent = nullptr);
