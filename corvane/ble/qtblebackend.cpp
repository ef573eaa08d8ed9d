// The seam on the platform's Bluetooth stack: thin forwards to Qt Bluetooth.

#include "corvane/ble/blebackend.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QCoreApplication>
#include <QLowEnergyController>
#include <QLowEnergyDescriptor>
#include <QLowEnergyService>
#include <QPointer>

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
#include <QPermissions>
#endif

namespace {

class QtDiscoveryAgent final : public BleDiscoveryAgent
{
public:
    explicit QtDiscoveryAgent(QObject* parent)
        : BleDiscoveryAgent(parent)
        , m_agent(new QBluetoothDeviceDiscoveryAgent(this))
    {
        // Connected before any start(): without an adapter the error comes inside start().
        connect(m_agent, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered, this,
                &BleDiscoveryAgent::deviceDiscovered);
        connect(m_agent, &QBluetoothDeviceDiscoveryAgent::finished, this, &BleDiscoveryAgent::finished);
        connect(m_agent, &QBluetoothDeviceDiscoveryAgent::canceled, this, &BleDiscoveryAgent::canceled);
        connect(m_agent, &QBluetoothDeviceDiscoveryAgent::errorOccurred, this,
                &BleDiscoveryAgent::errorOccurred);
    }

    bool isActive() const override { return m_agent->isActive(); }
    int lowEnergyDiscoveryTimeout() const override { return m_agent->lowEnergyDiscoveryTimeout(); }
    void setLowEnergyDiscoveryTimeout(int ms) override { m_agent->setLowEnergyDiscoveryTimeout(ms); }
    void start() override { m_agent->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod); }
    void stop() override { m_agent->stop(); }
    QString errorString() const override { return m_agent->errorString(); }

private:
    QBluetoothDeviceDiscoveryAgent* m_agent;
};

class QtGattService final : public BleGattService
{
public:
    QtGattService(QLowEnergyService* service, QObject* parent)
        : BleGattService(parent)
        , m_service(service)
    {
        m_service->setParent(this);
        connect(m_service, &QLowEnergyService::stateChanged, this, [this](QLowEnergyService::ServiceState s) {
            m_characteristics.clear(); // re-read on the next look-up
            emit stateChanged(s);
        });
        connect(m_service, &QLowEnergyService::characteristicChanged, this,
                [this](const QLowEnergyCharacteristic& c, const QByteArray& value) {
                    emit characteristicChanged(toBle(c), value);
                });
        connect(m_service, &QLowEnergyService::characteristicWritten, this,
                [this](const QLowEnergyCharacteristic& c, const QByteArray& value) {
                    emit characteristicWritten(toBle(c), value);
                });
        connect(m_service, &QLowEnergyService::descriptorWritten, this,
                [this](const QLowEnergyDescriptor& d, const QByteArray& value) { emit descriptorWritten(d.uuid(), value); });
        connect(m_service, &QLowEnergyService::errorOccurred, this, &BleGattService::errorOccurred);
    }

    QBluetoothUuid serviceUuid() const override { return m_service->serviceUuid(); }
    QLowEnergyService::ServiceState state() const override { return m_service->state(); }
    void discoverDetails() override { m_service->discoverDetails(QLowEnergyService::FullDiscovery); }

    QList<BleCharacteristic> characteristics() const override
    {
        QList<BleCharacteristic> out;
        const QList<QLowEnergyCharacteristic>& all = platformCharacteristics();
        out.reserve(all.size());
        for (qsizetype i = 0; i < all.size(); ++i)
            out.append(toBle(all.at(i), int(i)));
        return out;
    }

    BleCharacteristic characteristic(const QBluetoothUuid& uuid) const override
    {
        const QList<QLowEnergyCharacteristic>& all = platformCharacteristics();
        for (qsizetype i = 0; i < all.size(); ++i)
            if (all.at(i).uuid() == uuid)
                return toBle(all.at(i), int(i));
        return {};
    }

    void writeCharacteristic(const BleCharacteristic& c, const QByteArray& value,
                             QLowEnergyService::WriteMode mode) override
    {
        m_service->writeCharacteristic(platform(c), value, mode);
    }

    void writeDescriptor(const BleCharacteristic& c, const QBluetoothUuid& descriptor,
                         const QByteArray& value) override
    {
        m_service->writeDescriptor(platform(c).descriptor(descriptor), value);
    }

private:
    const QList<QLowEnergyCharacteristic>& platformCharacteristics() const
    {
        if (m_characteristics.isEmpty())
            m_characteristics = m_service->characteristics();
        return m_characteristics;
    }

    QLowEnergyCharacteristic platform(const BleCharacteristic& c) const
    {
        const QList<QLowEnergyCharacteristic>& all = platformCharacteristics();
        if (c.handle >= 0 && c.handle < all.size() && all.at(c.handle).uuid() == c.uuid)
            return all.at(c.handle);
        return m_service->characteristic(c.uuid);
    }

    BleCharacteristic toBle(const QLowEnergyCharacteristic& c) const
    {
        const QList<QLowEnergyCharacteristic>& all = platformCharacteristics();
        const qsizetype index = all.indexOf(c);
        return toBle(c, index < 0 ? 0 : int(index));
    }

    static BleCharacteristic toBle(const QLowEnergyCharacteristic& c, int handle)
    {
        BleCharacteristic out;
        if (!c.isValid())
            return out;
        out.uuid = c.uuid();
        out.properties = c.properties();
        const QList<QLowEnergyDescriptor> descriptors = c.descriptors();
        for (const QLowEnergyDescriptor& d : descriptors)
            out.descriptors.append(d.uuid());
        out.handle = handle;
        return out;
    }

    QLowEnergyService* m_service;
    mutable QList<QLowEnergyCharacteristic> m_characteristics;
};

class QtCentral final : public BleCentral
{
public:
    QtCentral(const QBluetoothDeviceInfo& device, QObject* parent)
        : BleCentral(parent)
        , m_controller(QLowEnergyController::createCentral(device, this))
    {
        connect(m_controller, &QLowEnergyController::connected, this, &BleCentral::connected);
        connect(m_controller, &QLowEnergyController::disconnected, this, &BleCentral::disconnected);
        connect(m_controller, &QLowEnergyController::errorOccurred, this, &BleCentral::errorOccurred);
        connect(m_controller, &QLowEnergyController::serviceDiscovered, this, &BleCentral::serviceDiscovered);
        connect(m_controller, &QLowEnergyController::discoveryFinished, this, &BleCentral::discoveryFinished);
    }

    void connectToDevice() override { m_controller->connectToDevice(); }
    void disconnectFromDevice() override { m_controller->disconnectFromDevice(); }
    void discoverServices() override { m_controller->discoverServices(); }
    QList<QBluetoothUuid> services() const override { return m_controller->services(); }
    int mtu() const override { return qMax(0, m_controller->mtu()); }
    QString errorString() const override { return m_controller->errorString(); }

    BleGattService* createServiceObject(const QBluetoothUuid& uuid, QObject* parent) override
    {
        QLowEnergyService* service = m_controller->createServiceObject(uuid);
        return service ? new QtGattService(service, parent) : nullptr;
    }

private:
    QLowEnergyController* m_controller;
};

class QtBleBackend final : public BleBackend
{
public:
    using BleBackend::BleBackend;

    BleDiscoveryAgent* createDiscoveryAgent(QObject* parent) override { return new QtDiscoveryAgent(parent); }
    BleCentral* createCentral(const QBluetoothDeviceInfo& device, QObject* parent) override
    {
        return new QtCentral(device, parent);
    }

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    BlePermission bluetoothPermission() const override
    {
        if (!QCoreApplication::instance())
            return BlePermission::Granted;
        switch (QCoreApplication::instance()->checkPermission(accessPermission())) {
        case Qt::PermissionStatus::Granted:
            return BlePermission::Granted;
        case Qt::PermissionStatus::Denied:
            return BlePermission::Denied;
        case Qt::PermissionStatus::Undetermined:
            break;
        }
        return BlePermission::Undetermined;
    }

    void requestBluetoothPermission(QObject* context, std::function<void()> answered) override
    {
        QCoreApplication::instance()->requestPermission(accessPermission(), context,
                                                         [answered](const QPermission&) { answered(); });
    }

private:
    static QBluetoothPermission accessPermission()
    {
        QBluetoothPermission permission;
        permission.setCommunicationModes(QBluetoothPermission::Access);
        return permission;
    }
#else
    // Before Qt 6.5 there is no permission model: Bluetooth is simply there.
    BlePermission bluetoothPermission() const override { return BlePermission::Granted; }
    void requestBluetoothPermission(QObject* context, std::function<void()> answered) override
    {
        QMetaObject::invokeMethod(context, std::move(answered), Qt::QueuedConnection);
    }
#endif
};

} // namespace

BleBackend* createQtBleBackend(QObject* parent)
{
    return new QtBleBackend(parent);
}
