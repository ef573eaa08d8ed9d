#include "corvane/ble/blescanner.h"

#include "corvane/ble/blebackend.h"

#include <QBluetoothAddress>

namespace {
constexpr int kDefaultDiscoveryTimeoutMs = 10000;
}

BleScanner::BleScanner(QObject* parent)
    : BleScanner(nullptr, parent)
{
}

BleScanner::BleScanner(BleBackend* backend, QObject* parent)
    : QObject(parent)
    , m_ownBackend(backend ? nullptr : createQtBleBackend())
    , m_backend(backend ? backend : m_ownBackend.get())
    , m_agent(m_backend->createDiscoveryAgent(this))
{
    qRegisterMetaType<BleDeviceInfo>();
    m_agent->setLowEnergyDiscoveryTimeout(kDefaultDiscoveryTimeoutMs);
    connect(m_agent, &BleDiscoveryAgent::deviceDiscovered, this, &BleScanner::onDeviceDiscovered);
    connect(m_agent, &BleDiscoveryAgent::finished, this, &BleScanner::onScanFinished);
    connect(m_agent, &BleDiscoveryAgent::canceled, this, &BleScanner::onScanCanceled);
    connect(m_agent, &BleDiscoveryAgent::errorOccurred, this, &BleScanner::onScanError);
}

BleScanner::~BleScanner()
{
    // The agent is ours: nothing it says on the way out reaches a half-gone scanner.
    m_agent->disconnect(this);
    if (m_agent->isActive())
        m_agent->stop();
    delete m_agent;
}

void BleScanner::startScan(int timeoutSeconds)
{
    if (m_agent->isActive())
        m_agent->stop();
    ++m_scanRequest; // an answer to an earlier permission request starts nothing
    m_devices.clear();
    emit devicesChanged();

    switch (m_backend->bluetoothPermission()) {
    case BlePermission::Granted:
        beginDiscovery(timeoutSeconds);
        break;
    case BlePermission::Undetermined: {
        // The scan counts as running while the user is asked, so that it can be stopped.
        setScanning(true);
        const quint64 request = m_scanRequest;
        m_backend->requestBluetoothPermission(this, [this, timeoutSeconds, request] {
            if (request != m_scanRequest)
                return;
            if (m_backend->bluetoothPermission() == BlePermission::Granted) {
                beginDiscovery(timeoutSeconds);
            } else {
                setScanning(false);
                emit scanError(QStringLiteral("Autorisation Bluetooth refusée."));
            }
        });
        break;
    }
    case BlePermission::Denied:
        emit scanError(QStringLiteral("Autorisation Bluetooth refusée. Activez-la dans Réglages Système › "
                                      "Confidentialité et sécurité › Bluetooth."));
        break;
    }
}

void BleScanner::beginDiscovery(int timeoutSeconds)
{
    m_agent->setLowEnergyDiscoveryTimeout(timeoutSeconds * 1000);
    // Scanning is set before the agent starts: an agent that fails inside
    // start() (no adapter) then leaves the scanner idle, as any failure does.
    setScanning(true);
    m_agent->start();
}

void BleScanner::stopScan()
{
    if (m_agent->isActive()) {
        m_agent->stop();
    } else if (m_scanning) {
        // Stopped while the permission is asked: the answer starts nothing.
        ++m_scanRequest;
        onScanFinished();
    }
}

void BleScanner::clearDevices()
{
    m_devices.clear();
    emit devicesChanged();
}

BleDeviceInfo BleScanner::deviceAt(int index) const
{
    if (index < 0 || index >= m_devices.size())
        return {};
    return m_devices.at(index);
}

void BleScanner::onDeviceDiscovered(const QBluetoothDeviceInfo& info)
{
    if (!(info.coreConfigurations() & QBluetoothDeviceInfo::LowEnergyCoreConfiguration))
        return;
    if (info.name().isEmpty())
        return;
    const QString address = info.address().toString();
    for (const BleDeviceInfo& known : std::as_const(m_devices))
        if (known.address() == address)
            return;
    const BleDeviceInfo found(info);
    m_devices.append(found);
    emit deviceFound(found);
    emit devicesChanged();
}

void BleScanner::onScanFinished()
{
    setScanning(false);
    emit scanFinished();
}

void BleScanner::onScanCanceled()
{
    onScanFinished();
}

void BleScanner::onScanError(QBluetoothDeviceDiscoveryAgent::Error)
{
    setScanning(false);
    emit scanError(m_agent->errorString());
}

void BleScanner::setScanning(bool scanning)
{
    if (m_scanning == scanning)
        return;
    m_scanning = scanning;
    emit scanningChanged();
}
