#pragma once

#include "corvane/ble/blebackend.h"
#include "corvane/corvaneglobal.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothDeviceInfo>
#include <QList>
#include <QPointer>
#include <QString>

class SimulatedPeripheral;

// A radio with simulated peripherals in range: give it to BleScanner and
// BleDevice in place of the platform's stack (tests, divetool, demo mode).
// Scans report every advertising peripheral, then any extra advertisement
// records; links reach the peripheral at the record's address.
class CORVANE_EXPORT SimulatedBleBackend : public BleBackend
{
    Q_OBJECT
public:
    explicit SimulatedBleBackend(QObject* parent = nullptr);
    ~SimulatedBleBackend() override;

    // In range from now on (not owned; a deleted peripheral just leaves).
    void addPeripheral(SimulatedPeripheral* peripheral);
    void removePeripheral(SimulatedPeripheral* peripheral);
    QList<SimulatedPeripheral*> peripherals() const;
    // The advertising peripheral at that address, or nullptr.
    SimulatedPeripheral* peripheralAt(const QBluetoothAddress& address) const;

    // A further record every scan reports after the peripherals, as it is
    // (duplicates, nameless or classic devices for the scanner to sort out).
    void addAdvertisement(const QBluetoothDeviceInfo& record) { m_advertisements.append(record); }
    void clearAdvertisements() { m_advertisements.clear(); }

    // The Bluetooth permission now, and what the user answers when asked.
    void setPermission(BlePermission now, BlePermission answer = BlePermission::Granted);
    int permissionRequests() const { return m_permissionRequests; }

    // Scans fail inside start() with this error and text, as the platform
    // does without an adapter; NoError scans normally.
    void setScanFailure(QBluetoothDeviceDiscoveryAgent::Error error, const QString& text = QString());
    // Paced scans report a device every 100 ms and end at their time-out;
    // otherwise (the default) a scan reports everything and ends on the next
    // turn of the event loop.
    void setPacedScan(bool paced) { m_pacedScan = paced; }
    // The time-out of the last scan started, in ms.
    int lastScanTimeoutMs() const { return m_lastScanTimeoutMs; }

    BleDiscoveryAgent* createDiscoveryAgent(QObject* parent) override;
    BleCentral* createCentral(const QBluetoothDeviceInfo& device, QObject* parent) override;
    BlePermission bluetoothPermission() const override { return m_permission; }
    void requestBluetoothPermission(QObject* context, std::function<void()> answered) override;

private:
    friend class SimulatedDiscoveryAgent;
    QList<QBluetoothDeviceInfo> scanReports() const;

    QList<QPointer<SimulatedPeripheral>> m_peripherals;
    QList<QBluetoothDeviceInfo> m_advertisements;
    BlePermission m_permission = BlePermission::Granted;
    BlePermission m_permissionAnswer = BlePermission::Granted;
    int m_permissionRequests = 0;
    QBluetoothDeviceDiscoveryAgent::Error m_scanFailure = QBluetoothDeviceDiscoveryAgent::NoError;
    QString m_scanFailureText;
    bool m_pacedScan = false;
    int m_lastScanTimeoutMs = 0;
};
