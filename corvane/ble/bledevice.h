#pragma once

#include "corvane/ble/blebackend.h"
#include "corvane/ble/bledeviceinfo.h"
#include "corvane/ble/bledevicestate.h"
#include "corvane/corvaneglobal.h"

#include <QBluetoothUuid>
#include <QByteArray>
#include <QList>
#include <QLowEnergyService>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>

// The GATT link to one dive computer: connects, lists the services, picks the
// serial-data service and its characteristics, switches notifications on and
// checks the peripheral acknowledged it, then writes bytes to one
// characteristic and hands every notification upward as it came. Knows
// nothing of frames.
class CORVANE_EXPORT BleDevice : public QObject
{
    Q_OBJECT
    Q_PROPERTY(BleDeviceState::BleDeviceStateIn state READ state NOTIFY stateChanged)
    Q_PROPERTY(QString deviceName READ deviceName NOTIFY deviceNameChanged)

public:
    // How long the peripheral has to acknowledge the notification switch.
    static constexpr int kNotificationsWatchdogMs = 2000;
    // The Client Characteristic Configuration descriptor.
    static constexpr const char* kDescriptorCccd = "00002902-0000-1000-8000-00805f9b34fb";
    // The ATT MTU every link starts with, used while the link's is unknown.
    static constexpr int kDefaultAttMtu = 23;

    // On the platform's Bluetooth stack.
    explicit BleDevice(QObject* parent);
    // On `backend` (not owned; it must outlive the device), e.g. a simulated radio.
    BleDevice(BleBackend* backend, QObject* parent);
    ~BleDevice() override;

    // Drops any earlier link and connects to `device`.
    Q_INVOKABLE void connectTo(const BleDeviceInfo& device);
    // Asks the controller, if any, to disconnect; the state follows its report.
    Q_INVOKABLE void disconnect();

    // After servicesDiscovered: opens `serviceUuid` (or, if the peripheral has
    // none, the first service it has) and looks for the two characteristics.
    // False without a link or without any service.
    bool setupCharacteristics(const QString& serviceUuid, const QString& notifyCharUuid,
                              const QString& writeCharUuid);
    // Writes to the write characteristic. A write without response longer than
    // the link carries (MTU - 3 bytes) goes out as consecutive writes.
    bool write(const QByteArray& data, QLowEnergyService::WriteMode mode);
    // Writes to any characteristic of the chosen service.
    bool writeRaw(const QString& charUuid, const QByteArray& data, QLowEnergyService::WriteMode mode);

    // The link's ATT MTU; 0 without a link or while unknown.
    int mtu() const;
    QList<QBluetoothUuid> availableServices() const;
    // The characteristics of an already discovered service; empty otherwise.
    QList<BleCharacteristic> characteristicsForService(const QBluetoothUuid& serviceUuid);

    BleDeviceState::BleDeviceStateIn state() const { return m_state; }
    QString deviceName() const { return m_deviceName; }
    BleDeviceInfo lastDevice() const { return m_lastDevice; }
    bool isConnected() const { return m_state == BleDeviceState::Connected; }

signals:
    void connected();
    void disconnected();
    void servicesDiscovered();
    void notificationReceived(const QByteArray& data);
    void writeCompleted();
    void error(const QString& message);
    void stateChanged();
    void deviceNameChanged();

private slots:
    void onControllerConnected();
    void onControllerDisconnected();
    void onControllerError(QLowEnergyController::Error error);
    void onServiceDiscovered(const QBluetoothUuid& uuid);
    void onServiceDiscoveryFinished();
    void onServiceStateChanged(QLowEnergyService::ServiceState state);
    void onCharacteristicChanged(const BleCharacteristic& characteristic, const QByteArray& value);
    void onCharacteristicWritten(const BleCharacteristic& characteristic, const QByteArray& value);
    void onDescriptorWritten(const QBluetoothUuid& descriptor, const QByteArray& value);
    void onServiceError(QLowEnergyService::ServiceError error);
    void onNotificationsWatchdogTimeout();

private:
    bool enableNotifications();
    void setState(BleDeviceState::BleDeviceStateIn state);
    void cleanup();
    void writeInPieces(const BleCharacteristic& characteristic, const QByteArray& data,
                       QLowEnergyService::WriteMode mode);
    bool serviceReady() const;

    std::unique_ptr<BleBackend> m_ownBackend;
    BleBackend* m_backend;
    BleCentral* m_controller = nullptr;
    BleGattService* m_service = nullptr;
    BleCharacteristic m_notifyCharacteristic;
    BleCharacteristic m_writeCharacteristic;
    BleDeviceState::BleDeviceStateIn m_state = BleDeviceState::Disconnected;
    QString m_deviceName;
    BleDeviceInfo m_lastDevice;
    QString m_notifyUuid;
    QString m_writeUuid;
    QTimer m_notificationsWatchdog;
    bool m_notificationsTimedOut = false;
    quint64 m_connectAttempt = 0;
};
