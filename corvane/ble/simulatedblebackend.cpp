#include "corvane/ble/simulatedblebackend.h"

#include "corvane/ble/simulatedcentral_p.h"
#include "corvane/ble/simulatedperipheral.h"

#include <QBluetoothAddress>
#include <QTimer>

// -- Discovery

class SimulatedDiscoveryAgent final : public BleDiscoveryAgent
{
public:
    SimulatedDiscoveryAgent(SimulatedBleBackend* backend, QObject* parent)
        : BleDiscoveryAgent(parent)
        , m_backend(backend)
    {
        m_reportTimer.setInterval(kReportIntervalMs);
        m_endTimer.setSingleShot(true);
        connect(&m_reportTimer, &QTimer::timeout, this, [this] { reportNext(); });
        connect(&m_endTimer, &QTimer::timeout, this, [this] { finish(); });
    }

    bool isActive() const override { return m_active; }
    int lowEnergyDiscoveryTimeout() const override { return m_timeoutMs; }
    void setLowEnergyDiscoveryTimeout(int ms) override { m_timeoutMs = qMax(0, ms); }
    QString errorString() const override { return m_errorString; }

    void start() override
    {
        if (m_active || !m_backend)
            return;
        m_backend->m_lastScanTimeoutMs = m_timeoutMs;
        if (m_backend->m_scanFailure != QBluetoothDeviceDiscoveryAgent::NoError) {
            m_errorString = m_backend->m_scanFailureText;
            emit errorOccurred(m_backend->m_scanFailure);
            return;
        }
        m_errorString.clear();
        m_active = true;
        ++m_scan;
        m_reports = m_backend->scanReports();
        if (m_backend->m_pacedScan) {
            m_reportTimer.start();
            if (m_timeoutMs > 0)
                m_endTimer.start(m_timeoutMs);
            return;
        }
        const quint64 scan = m_scan;
        QMetaObject::invokeMethod(
            this,
            [this, scan] {
                while (m_active && scan == m_scan && !m_reports.isEmpty())
                    reportNext();
                if (m_active && scan == m_scan)
                    finish();
            },
            Qt::QueuedConnection);
    }

    void stop() override
    {
        if (!m_active)
            return;
        endScan();
        emit canceled();
    }

private:
    static constexpr int kReportIntervalMs = 100;

    void reportNext()
    {
        if (m_reports.isEmpty())
            return;
        emit deviceDiscovered(m_reports.takeFirst());
    }

    void finish()
    {
        endScan();
        emit finished();
    }

    void endScan()
    {
        m_active = false;
        ++m_scan;
        m_reportTimer.stop();
        m_endTimer.stop();
        m_reports.clear();
    }

    QPointer<SimulatedBleBackend> m_backend;
    int m_timeoutMs = 40000;
    bool m_active = false;
    quint64 m_scan = 0;
    QList<QBluetoothDeviceInfo> m_reports;
    QString m_errorString;
    QTimer m_reportTimer;
    QTimer m_endTimer;
};

SimulatedBleBackend::SimulatedBleBackend(QObject* parent)
    : BleBackend(parent)
{
}

SimulatedBleBackend::~SimulatedBleBackend() = default;

void SimulatedBleBackend::addPeripheral(SimulatedPeripheral* peripheral)
{
    if (peripheral && !m_peripherals.contains(peripheral))
        m_peripherals.append(peripheral);
}

void SimulatedBleBackend::removePeripheral(SimulatedPeripheral* peripheral)
{
    m_peripherals.removeAll(peripheral);
}

QList<SimulatedPeripheral*> SimulatedBleBackend::peripherals() const
{
    QList<SimulatedPeripheral*> out;
    for (const QPointer<SimulatedPeripheral>& p : m_peripherals)
        if (p)
            out.append(p);
    return out;
}

SimulatedPeripheral* SimulatedBleBackend::peripheralAt(const QBluetoothAddress& address) const
{
    if (address.isNull())
        return nullptr;
    for (const QPointer<SimulatedPeripheral>& p : m_peripherals)
        if (p && p->isAdvertising() && QBluetoothAddress(p->address()) == address)
            return p;
    return nullptr;
}

QList<QBluetoothDeviceInfo> SimulatedBleBackend::scanReports() const
{
    QList<QBluetoothDeviceInfo> reports;
    for (const QPointer<SimulatedPeripheral>& p : m_peripherals)
        if (p && p->isAdvertising() && !p->isLinked())
            reports.append(p->deviceInfo());
    reports.append(m_advertisements);
    return reports;
}

void SimulatedBleBackend::setPermission(BlePermission now, BlePermission answer)
{
    m_permission = now;
    m_permissionAnswer = answer;
}

void SimulatedBleBackend::requestBluetoothPermission(QObject* context, std::function<void()> answered)
{
    ++m_permissionRequests;
    const QPointer<SimulatedBleBackend> self(this);
    QMetaObject::invokeMethod(
        context,
        [self, answered = std::move(answered)] {
            if (!self)
                return;
            self->m_permission = self->m_permissionAnswer;
            answered();
        },
        Qt::QueuedConnection);
}

void SimulatedBleBackend::setScanFailure(QBluetoothDeviceDiscoveryAgent::Error error, const QString& text)
{
    m_scanFailure = error;
    m_scanFailureText = text.isEmpty() && error != QBluetoothDeviceDiscoveryAgent::NoError
                            ? QStringLiteral("Cannot find valid Bluetooth adapter.")
                            : text;
}

BleDiscoveryAgent* SimulatedBleBackend::createDiscoveryAgent(QObject* parent)
{
    return new SimulatedDiscoveryAgent(this, parent);
}

BleCentral* SimulatedBleBackend::createCentral(const QBluetoothDeviceInfo& device, QObject* parent)
{
    return new SimulatedCentral(this, device, parent);
}

// -- The central

SimulatedCentral::SimulatedCentral(SimulatedBleBackend* backend, const QBluetoothDeviceInfo& device,
                                   QObject* parent)
    : BleCentral(parent)
    , m_backend(backend)
    , m_device(device)
{
}

SimulatedCentral::~SimulatedCentral()
{
    if (m_peripheral)
        m_peripheral->detach(this);
}

void SimulatedCentral::connectToDevice()
{
    if (m_state != State::Unconnected)
        return;
    SimulatedPeripheral* const peripheral = m_backend ? m_backend->peripheralAt(m_device.address()) : nullptr;
    // As the platform does, an unknown device fails inside the call.
    if (!peripheral || !peripheral->attach(this)) {
        fail(QLowEnergyController::UnknownRemoteDeviceError);
        return;
    }
    m_peripheral = peripheral;
    m_error = QLowEnergyController::NoError;
    m_state = State::Connecting;
}

void SimulatedCentral::disconnectFromDevice()
{
    if (m_state == State::Unconnected)
        return;
    const bool wasUp = m_state != State::Connecting;
    m_state = State::Unconnected;
    if (m_peripheral)
        m_peripheral->detach(this);
    QMetaObject::invokeMethod(
        this,
        [this, wasUp] {
            invalidateServices();
            if (wasUp)
                emit disconnected();
        },
        Qt::QueuedConnection);
}

void SimulatedCentral::discoverServices()
{
    if (m_state != State::Connected || !m_peripheral)
        return;
    m_state = State::Discovering;
    m_peripheral->requestServices();
}

BleGattService* SimulatedCentral::createServiceObject(const QBluetoothUuid& uuid, QObject* parent)
{
    const qsizetype index = m_services.indexOf(uuid);
    if (index < 0)
        return nullptr;
    return new SimulatedGattService(this, int(index), parent);
}

int SimulatedCentral::mtu() const
{
    return (m_state == State::Connected || m_state == State::Discovering) && m_peripheral ? m_peripheral->mtu() : 0;
}

QString SimulatedCentral::errorString() const
{
    switch (m_error) {
    case QLowEnergyController::NoError:
        return {};
    case QLowEnergyController::UnknownRemoteDeviceError:
        return QStringLiteral("Remote device cannot be found");
    case QLowEnergyController::ConnectionError:
        return QStringLiteral("Error occurred trying to connect to remote device.");
    case QLowEnergyController::RemoteHostClosedError:
        return QStringLiteral("Remote device closed the connection");
    default:
        return QStringLiteral("Unknown Error");
    }
}

QList<BleCharacteristic> SimulatedCentral::characteristicsOf(int serviceIndex) const
{
    QList<BleCharacteristic> out;
    if (!m_peripheral || serviceIndex < 0 || serviceIndex >= m_peripheral->m_services.size())
        return out;
    const QList<SimulatedCharacteristic>& list = m_peripheral->m_services.at(serviceIndex).characteristics;
    for (int i = 0; i < list.size(); ++i) {
        BleCharacteristic c;
        c.uuid = list.at(i).uuid;
        c.properties = list.at(i).properties;
        if (list.at(i).hasCccd)
            c.descriptors.append(QBluetoothUuid(QBluetoothUuid::DescriptorType::ClientCharacteristicConfiguration));
        c.handle = i;
        out.append(c);
    }
    return out;
}

void SimulatedCentral::registerService(SimulatedGattService* service)
{
    m_serviceObjects.removeAll(nullptr);
    m_serviceObjects.append(service);
}

template <typename F> void SimulatedCentral::forEachService(int serviceIndex, F f)
{
    // A copy: a handler may create or drop service objects.
    const QList<QPointer<SimulatedGattService>> objects = m_serviceObjects;
    for (const QPointer<SimulatedGattService>& s : objects)
        if (s && s->serviceIndex() == serviceIndex)
            f(s.data());
}

void SimulatedCentral::linkConnected()
{
    if (m_state != State::Connecting)
        return;
    m_state = State::Connected;
    emit connected();
}

void SimulatedCentral::linkLost(bool wasUp)
{
    if (m_state == State::Unconnected)
        return;
    m_state = State::Unconnected;
    invalidateServices();
    if (wasUp)
        emit disconnected();
    else
        fail(QLowEnergyController::ConnectionError);
}

void SimulatedCentral::servicesListed()
{
    if (m_state != State::Discovering || !m_peripheral)
        return;
    m_state = State::Connected;
    m_services.clear();
    for (const SimulatedService& s : std::as_const(m_peripheral->m_services))
        m_services.append(s.uuid);
    m_detailsKnown = QList<bool>(m_services.size(), false);
    const QPointer<SimulatedCentral> self(this);
    for (const QBluetoothUuid& uuid : std::as_const(m_services)) {
        emit serviceDiscovered(uuid);
        if (!self)
            return;
    }
    emit discoveryFinished();
}

void SimulatedCentral::detailsDiscovered(int serviceIndex)
{
    if (serviceIndex < 0 || serviceIndex >= m_detailsKnown.size())
        return;
    m_detailsKnown[serviceIndex] = true;
    forEachService(serviceIndex, [](SimulatedGattService* s) {
        if (s->state() != QLowEnergyService::InvalidService)
            s->setServiceState(QLowEnergyService::RemoteServiceDiscovered);
    });
}

void SimulatedCentral::notificationArrived(int serviceIndex, int characteristic, const QByteArray& value)
{
    forEachService(serviceIndex, [&](SimulatedGattService* s) { s->deliverNotification(characteristic, value); });
}

void SimulatedCentral::writeAcknowledged(int serviceIndex, int characteristic, const QByteArray& value)
{
    forEachService(serviceIndex, [&](SimulatedGattService* s) { s->deliverWritten(characteristic, value); });
}

void SimulatedCentral::descriptorAcknowledged(int serviceIndex, const QBluetoothUuid& descriptor,
                                              const QByteArray& value)
{
    forEachService(serviceIndex,
                   [&](SimulatedGattService* s) { s->deliverDescriptorWritten(descriptor, value); });
}

void SimulatedCentral::fail(QLowEnergyController::Error error)
{
    m_error = error;
    m_state = State::Unconnected;
    emit errorOccurred(error);
}

void SimulatedCentral::invalidateServices()
{
    m_services.clear();
    m_detailsKnown.clear();
    const QList<QPointer<SimulatedGattService>> objects = m_serviceObjects;
    for (const QPointer<SimulatedGattService>& s : objects)
        if (s)
            s->setServiceState(QLowEnergyService::InvalidService);
}

// -- A service object

SimulatedGattService::SimulatedGattService(SimulatedCentral* central, int serviceIndex, QObject* parent)
    : BleGattService(parent)
    , m_central(central)
    , m_serviceIndex(serviceIndex)
    , m_uuid(central->services().value(serviceIndex))
{
    central->registerService(this);
    if (central->detailsKnown(serviceIndex)) {
        m_state = QLowEnergyService::RemoteServiceDiscovered;
        m_characteristics = central->characteristicsOf(serviceIndex);
    }
}

void SimulatedGattService::discoverDetails()
{
    if (m_state != QLowEnergyService::RemoteService || !m_central || !m_central->peripheral())
        return;
    setServiceState(QLowEnergyService::RemoteServiceDiscovering);
    m_central->peripheral()->requestDetails(m_serviceIndex);
}

QList<BleCharacteristic> SimulatedGattService::characteristics() const
{
    return m_characteristics;
}

BleCharacteristic SimulatedGattService::characteristic(const QBluetoothUuid& uuid) const
{
    for (const BleCharacteristic& c : m_characteristics)
        if (c.uuid == uuid)
            return c;
    return {};
}

void SimulatedGattService::writeCharacteristic(const BleCharacteristic& characteristic, const QByteArray& value,
                                               QLowEnergyService::WriteMode mode)
{
    const int handle = characteristic.handle;
    if (m_state != QLowEnergyService::RemoteServiceDiscovered || !m_central || !m_central->isLinked()
        || handle < 0 || handle >= m_characteristics.size() || m_characteristics.at(handle).uuid != characteristic.uuid) {
        emit errorOccurred(QLowEnergyService::OperationError);
        return;
    }
    const bool withResponse = mode == QLowEnergyService::WriteWithResponse;
    if (withResponse
        && (!(m_characteristics.at(handle).properties & QLowEnergyCharacteristic::Write) || value.size() > 512)) {
        failLater(QLowEnergyService::CharacteristicWriteError);
        return;
    }
    m_central->peripheral()->centralWrite(m_serviceIndex, handle, value, withResponse);
}

void SimulatedGattService::writeDescriptor(const BleCharacteristic& characteristic, const QBluetoothUuid& descriptor,
                                           const QByteArray& value)
{
    const int handle = characteristic.handle;
    if (m_state != QLowEnergyService::RemoteServiceDiscovered || !m_central || !m_central->isLinked()
        || handle < 0 || handle >= m_characteristics.size()
        || !m_characteristics.at(handle).hasDescriptor(descriptor)) {
        emit errorOccurred(QLowEnergyService::OperationError);
        return;
    }
    m_central->peripheral()->centralWriteDescriptor(m_serviceIndex, handle, descriptor, value);
}

void SimulatedGattService::setServiceState(QLowEnergyService::ServiceState state)
{
    if (m_state == state)
        return;
    if (state == QLowEnergyService::RemoteServiceDiscovered && m_central)
        m_characteristics = m_central->characteristicsOf(m_serviceIndex);
    m_state = state;
    emit stateChanged(state);
}

void SimulatedGattService::deliverNotification(int characteristic, const QByteArray& value)
{
    if (m_state == QLowEnergyService::RemoteServiceDiscovered && characteristic >= 0
        && characteristic < m_characteristics.size())
        emit characteristicChanged(m_characteristics.at(characteristic), value);
}

void SimulatedGattService::deliverWritten(int characteristic, const QByteArray& value)
{
    if (m_state == QLowEnergyService::RemoteServiceDiscovered && characteristic >= 0
        && characteristic < m_characteristics.size())
        emit characteristicWritten(m_characteristics.at(characteristic), value);
}

void SimulatedGattService::deliverDescriptorWritten(const QBluetoothUuid& descriptor, const QByteArray& value)
{
    if (m_state == QLowEnergyService::RemoteServiceDiscovered)
        emit descriptorWritten(descriptor, value);
}

void SimulatedGattService::failLater(QLowEnergyService::ServiceError error)
{
    QMetaObject::invokeMethod(this, [this, error] { emit errorOccurred(error); }, Qt::QueuedConnection);
}
