#pragma once

#include "corvane/ble/bledeviceinfo.h"
#include "corvane/corvaneglobal.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QList>
#include <QObject>

#include <memory>

class BleBackend;
class BleDiscoveryAgent;

// Finds Bluetooth Low Energy devices nearby and keeps those found during one
// scan, in order of first sighting: only Low Energy devices with a name, each
// address once. Knows nothing of dive computers.
class CORVANE_EXPORT BleScanner : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<BleDeviceInfo> devices READ devices NOTIFY devicesChanged)
    Q_PROPERTY(bool scanning READ isScanning NOTIFY scanningChanged)
    Q_PROPERTY(int deviceCount READ deviceCount NOTIFY devicesChanged)

public:
    // On the platform's Bluetooth stack.
    explicit BleScanner(QObject* parent = nullptr);
    // On `backend` (not owned; it must outlive the scanner), e.g. a simulated radio.
    BleScanner(BleBackend* backend, QObject* parent);
    ~BleScanner() override;

    // Stops a running scan, empties the list and scans for `timeoutSeconds`
    // once Bluetooth may be used. Failures arrive as scanError.
    Q_INVOKABLE void startScan(int timeoutSeconds);
    Q_INVOKABLE void startScan() { startScan(10); }
    // Stops the scan if one is running; scanFinished follows.
    Q_INVOKABLE void stopScan();
    Q_INVOKABLE void clearDevices();
    // A copy of the device at `index`; an invalid record when out of range.
    Q_INVOKABLE BleDeviceInfo deviceAt(int index) const;

    QList<BleDeviceInfo> devices() const { return m_devices; }
    bool isScanning() const { return m_scanning; }
    int deviceCount() const { return int(m_devices.size()); }

signals:
    void deviceFound(const BleDeviceInfo& device);
    void scanFinished();
    void scanError(const QString& message);
    void devicesChanged();
    void scanningChanged();

private slots:
    void onDeviceDiscovered(const QBluetoothDeviceInfo& info);
    void onScanFinished();
    void onScanCanceled();
    void onScanError(QBluetoothDeviceDiscoveryAgent::Error error);

private:
    void beginDiscovery(int timeoutSeconds);
    void setScanning(bool scanning);

    std::unique_ptr<BleBackend> m_ownBackend;
    BleBackend* m_backend;
    BleDiscoveryAgent* m_agent;
    QList<BleDeviceInfo> m_devices;
    bool m_scanning = false;
    quint64 m_scanRequest = 0;
};
