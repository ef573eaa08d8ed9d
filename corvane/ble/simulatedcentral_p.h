#pragma once

// The central side of a simulated link, inside the library only.

#include "corvane/ble/blebackend.h"

#include <QBluetoothDeviceInfo>
#include <QList>
#include <QPointer>

class SimulatedBleBackend;
class SimulatedPeripheral;
class SimulatedCentral;

class SimulatedGattService final : public BleGattService
{
public:
    SimulatedGattService(SimulatedCentral* central, int serviceIndex, QObject* parent);

    QBluetoothUuid serviceUuid() const override { return m_uuid; }
    QLowEnergyService::ServiceState state() const override { return m_state; }
    void discoverDetails() override;
    QList<BleCharacteristic> characteristics() const override;
    BleCharacteristic characteristic(const QBluetoothUuid& uuid) const override;
    void writeCharacteristic(const BleCharacteristic& characteristic, const QByteArray& value,
                             QLowEnergyService::WriteMode mode) override;
    void writeDescriptor(const BleCharacteristic& characteristic, const QBluetoothUuid& descriptor,
                         const QByteArray& value) override;

    int serviceIndex() const { return m_serviceIndex; }
    // From the central.
    void setServiceState(QLowEnergyService::ServiceState state);
    void deliverNotification(int characteristic, const QByteArray& value);
    void deliverWritten(int characteristic, const QByteArray& value);
    void deliverDescriptorWritten(const QBluetoothUuid& descriptor, const QByteArray& value);

private:
    void failLater(QLowEnergyService::ServiceError error);

    QPointer<SimulatedCentral> m_central;
    int m_serviceIndex;
    QBluetoothUuid m_uuid;
    QLowEnergyService::ServiceState m_state = QLowEnergyService::RemoteService;
    QList<BleCharacteristic> m_characteristics; // filled once discovered
};

class SimulatedCentral final : public BleCentral
{
public:
    SimulatedCentral(SimulatedBleBackend* backend, const QBluetoothDeviceInfo& device, QObject* parent);
    ~SimulatedCentral() override;

    void connectToDevice() override;
    void disconnectFromDevice() override;
    void discoverServices() override;
    QList<QBluetoothUuid> services() const override { return m_services; }
    BleGattService* createServiceObject(const QBluetoothUuid& uuid, QObject* parent) override;
    int mtu() const override;
    QString errorString() const override;

    SimulatedPeripheral* peripheral() const { return m_peripheral; }
    bool isLinked() const { return m_state == State::Connected || m_state == State::Discovering; }
    // The characteristics of a service as a link reads them.
    QList<BleCharacteristic> characteristicsOf(int serviceIndex) const;
    bool detailsKnown(int serviceIndex) const { return m_detailsKnown.value(serviceIndex); }
    void registerService(SimulatedGattService* service);

    // From the peripheral, at the link's pace.
    void linkConnected();
    void linkLost(bool wasUp);
    void servicesListed();
    void detailsDiscovered(int serviceIndex);
    void notificationArrived(int serviceIndex, int characteristic, const QByteArray& value);
    void writeAcknowledged(int serviceIndex, int characteristic, const QByteArray& value);
    void descriptorAcknowledged(int serviceIndex, const QBluetoothUuid& descriptor, const QByteArray& value);

private:
    enum class State { Unconnected, Connecting, Connected, Discovering };
    void fail(QLowEnergyController::Error error);
    void invalidateServices();
    template <typename F> void forEachService(int serviceIndex, F f);

    QPointer<SimulatedBleBackend> m_backend;
    QBluetoothDeviceInfo m_device;
    QPointer<SimulatedPeripheral> m_peripheral;
    State m_state = State::Unconnected;
    QLowEnergyController::Error m_error = QLowEnergyController::NoError;
    QList<QBluetoothUuid> m_services;
    QList<bool> m_detailsKnown;
    QList<QPointer<SimulatedGattService>> m_serviceObjects;
};
