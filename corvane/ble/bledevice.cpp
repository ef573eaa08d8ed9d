#include "corvane/ble/bledevice.h"

#include <QLoggingCategory>
#include <QMetaEnum>
#include <QSignalBlocker>

// The link's trace; rule "corvane.ble.debug=false" silences it.
Q_LOGGING_CATEGORY(lcBleLink, "corvane.ble")

namespace {

// A characteristic's UUID as the link compares them: no braces, lower case.
QString uuidText(const QBluetoothUuid& uuid)
{
    return uuid.toString(QUuid::WithoutBraces).toLower();
}

} // namespace

BleDevice::BleDevice(QObject* parent)
    : BleDevice(nullptr, parent)
{
}

BleDevice::BleDevice(BleBackend* backend, QObject* parent)
    : QObject(parent)
    , m_ownBackend(backend ? nullptr : createQtBleBackend())
    , m_backend(backend ? backend : m_ownBackend.get())
{
    qRegisterMetaType<BleDeviceInfo>();
    qRegisterMetaType<BleCharacteristic>();
    m_notificationsWatchdog.setSingleShot(true);
    m_notificationsWatchdog.setInterval(kNotificationsWatchdogMs);
    connect(&m_notificationsWatchdog, &QTimer::timeout, this, &BleDevice::onNotificationsWatchdogTimeout);
}

BleDevice::~BleDevice()
{
    // Released quietly: whoever listens may be half gone itself by now.
    const QSignalBlocker quiet(this);
    cleanup();
}

void BleDevice::connectTo(const BleDeviceInfo& device)
{
    cleanup();
    const quint64 attempt = ++m_connectAttempt;
    m_lastDevice = device;
    m_deviceName = device.name();
    emit deviceNameChanged();
    setState(BleDeviceState::Connecting);
    if (attempt != m_connectAttempt)
        return; // a listener connected elsewhere meanwhile; that link stands

    m_controller = m_backend->createCentral(device.deviceInfo(), this);
    connect(m_controller, &BleCentral::connected, this, &BleDevice::onControllerConnected);
    connect(m_controller, &BleCentral::disconnected, this, &BleDevice::onControllerDisconnected);
    connect(m_controller, &BleCentral::errorOccurred, this, &BleDevice::onControllerError);
    connect(m_controller, &BleCentral::serviceDiscovered, this, &BleDevice::onServiceDiscovered);
    connect(m_controller, &BleCentral::discoveryFinished, this, &BleDevice::onServiceDiscoveryFinished);
    m_controller->connectToDevice();
}

void BleDevice::disconnect()
{
    if (m_controller)
        m_controller->disconnectFromDevice();
}

bool BleDevice::setupCharacteristics(const QString& serviceUuid, const QString& notifyCharUuid,
                                     const QString& writeCharUuid)
{
    if (!m_controller)
        return false;
    m_notifyUuid = notifyCharUuid.toLower();
    m_writeUuid = writeCharUuid.toLower();
    m_notifyCharacteristic = {};
    m_writeCharacteristic = {};
    if (m_service) { // set up again: the earlier service object says nothing more
        QObject::disconnect(m_service, nullptr, this, nullptr);
        m_service->deleteLater();
        m_service = nullptr;
    }

    BleGattService* service = m_controller->createServiceObject(QBluetoothUuid(serviceUuid), this);
    if (!service) {
        const QList<QBluetoothUuid> offered = m_controller->services();
        for (const QBluetoothUuid& uuid : offered) {
            service = m_controller->createServiceObject(uuid, this);
            if (service)
                break;
        }
    }
    if (!service) {
        emit error(QStringLiteral("No service found"));
        return false;
    }

    connect(service, &BleGattService::stateChanged, this, &BleDevice::onServiceStateChanged);
    connect(service, &BleGattService::characteristicChanged, this, &BleDevice::onCharacteristicChanged);
    connect(service, &BleGattService::characteristicWritten, this, &BleDevice::onCharacteristicWritten);
    connect(service, &BleGattService::descriptorWritten, this, &BleDevice::onDescriptorWritten);
    connect(service, &BleGattService::errorOccurred, this, &BleDevice::onServiceError);
    m_service = service;
    if (service->state() == QLowEnergyService::RemoteServiceDiscovered) {
        // Already read through another service object: no new discovery will
        // report it, so its characteristics are looked at once this returns.
        QMetaObject::invokeMethod(
            this,
            [this, service] {
                if (m_service == service)
                    onServiceStateChanged(QLowEnergyService::RemoteServiceDiscovered);
            },
            Qt::QueuedConnection);
    } else {
        service->discoverDetails();
    }
    return true;
}

bool BleDevice::serviceReady() const
{
    return m_service && m_service->state() == QLowEnergyService::RemoteServiceDiscovered;
}

bool BleDevice::write(const QByteArray& data, QLowEnergyService::WriteMode mode)
{
    // A service whose link is gone is not ready either: the write would be lost.
    if (!serviceReady() || !m_writeCharacteristic.isValid()) {
        emit error(QStringLiteral("Write failed: characteristic not ready"));
        return false;
    }
    writeInPieces(m_writeCharacteristic, data, mode);
    return true;
}

bool BleDevice::writeRaw(const QString& charUuid, const QByteArray& data, QLowEnergyService::WriteMode mode)
{
    if (!m_service) {
        emit error(QStringLiteral("writeRaw failed: no service"));
        return false;
    }
    const BleCharacteristic characteristic = m_service->characteristic(QBluetoothUuid(charUuid));
    if (!characteristic.isValid()) {
        emit error(QStringLiteral("writeRaw failed: characteristic not found — ") + charUuid);
        return false;
    }
    writeInPieces(characteristic, data, mode);
    return true;
}

void BleDevice::writeInPieces(const BleCharacteristic& characteristic, const QByteArray& data,
                              QLowEnergyService::WriteMode mode)
{
    // A write without response is one ATT packet: at most MTU - 3 bytes.
    // Longer data goes out as consecutive packets, same bytes in the same order.
    const int linkMtu = mtu();
    const qsizetype piece = (linkMtu > 3 ? linkMtu : kDefaultAttMtu) - 3;
    if (mode != QLowEnergyService::WriteWithoutResponse || data.size() <= piece) {
        m_service->writeCharacteristic(characteristic, data, mode);
        return;
    }
    // The service may go away under a write (a handler reacting to an error).
    const QPointer<BleGattService> service = m_service;
    for (qsizetype offset = 0; offset < data.size() && service == m_service; offset += piece)
        m_service->writeCharacteristic(characteristic, data.mid(offset, piece), mode);
}

int BleDevice::mtu() const
{
    return m_controller ? m_controller->mtu() : 0;
}

QList<QBluetoothUuid> BleDevice::availableServices() const
{
    return m_controller ? m_controller->services() : QList<QBluetoothUuid>();
}

QList<BleCharacteristic> BleDevice::characteristicsForService(const QBluetoothUuid& serviceUuid)
{
    if (!m_controller)
        return {};
    BleGattService* service = m_controller->createServiceObject(serviceUuid, this);
    if (!service)
        return {};
    QList<BleCharacteristic> found;
    if (service->state() == QLowEnergyService::RemoteServiceDiscovered)
        found = service->characteristics();
    service->deleteLater();
    return found;
}

void BleDevice::onControllerConnected()
{
    setState(BleDeviceState::DiscoveringServices);
    m_controller->discoverServices();
}

void BleDevice::onControllerDisconnected()
{
    setState(BleDeviceState::Disconnected);
    emit disconnected();
}

void BleDevice::onControllerError(QLowEnergyController::Error)
{
    setState(BleDeviceState::Error);
    emit error(QStringLiteral("Controller error: ") + (m_controller ? m_controller->errorString() : QString()));
}

void BleDevice::onServiceDiscovered(const QBluetoothUuid&)
{
}

void BleDevice::onServiceDiscoveryFinished()
{
    emit servicesDiscovered();
}

void BleDevice::onServiceStateChanged(QLowEnergyService::ServiceState state)
{
    if (state != QLowEnergyService::RemoteServiceDiscovered || !m_service)
        return;
    BleCharacteristic notify;
    BleCharacteristic write;
    const QList<BleCharacteristic> all = m_service->characteristics();
    for (const BleCharacteristic& c : all) {
        const QString text = uuidText(c.uuid);
        if (text == m_notifyUuid)
            notify = c;
        if (text == m_writeUuid)
            write = c;
    }
    if (!notify.isValid() || !write.isValid()) {
        emit error(QStringLiteral("Characteristics not found in service"));
        return;
    }
    m_notifyCharacteristic = notify;
    m_writeCharacteristic = write;
    enableNotifications();
}

bool BleDevice::enableNotifications()
{
    const QBluetoothUuid cccd(QString::fromLatin1(kDescriptorCccd));
    if (!m_notifyCharacteristic.hasDescriptor(cccd)) {
        emit error(QStringLiteral("CCCD descriptor not found"));
        return false;
    }
    QByteArray value;
    if (m_notifyCharacteristic.properties & QLowEnergyCharacteristic::Notify) {
        value = QByteArray::fromHex("0100");
    } else if (m_notifyCharacteristic.properties & QLowEnergyCharacteristic::Indicate) {
        value = QByteArray::fromHex("0200");
    } else {
        emit error(QStringLiteral("Characteristic supports neither Notify nor Indicate"));
        return false;
    }
    m_notificationsTimedOut = false;
    m_notificationsWatchdog.start();
    m_service->writeDescriptor(m_notifyCharacteristic, cccd, value);
    return true;
}

void BleDevice::onCharacteristicChanged(const BleCharacteristic&, const QByteArray& value)
{
    if (!value.isEmpty())
        emit notificationReceived(value);
}

void BleDevice::onCharacteristicWritten(const BleCharacteristic&, const QByteArray&)
{
    emit writeCompleted();
}

void BleDevice::onDescriptorWritten(const QBluetoothUuid& descriptor, const QByteArray& value)
{
    qCDebug(lcBleLink).noquote() << "BleDevice::onDescriptorWritten uuid=" << uuidText(descriptor)
                                 << "data=" << QString::fromLatin1(value.toHex());
    m_notificationsWatchdog.stop();
    // Too late: the link was given up and "timed out" reported.
    if (m_notificationsTimedOut)
        return;
    if (m_state != BleDeviceState::Connected) {
        setState(BleDeviceState::Connected);
        emit connected();
    }
}

void BleDevice::onServiceError(QLowEnergyService::ServiceError serviceError)
{
    if (!m_service)
        return;
    qWarning().noquote() << "BleDevice::onServiceError err="
                         << QMetaEnum::fromType<QLowEnergyService::ServiceError>().valueToKey(serviceError);
    setState(BleDeviceState::Error);
    emit error(QStringLiteral("Service error: ") + QString::number(int(serviceError)));
}

void BleDevice::onNotificationsWatchdogTimeout()
{
    qWarning().noquote() << "BleDevice: CCCD ack not received within" << kNotificationsWatchdogMs
                         << "ms — disconnecting cleanly";
    BleCentral* const controller = m_controller;
    m_notificationsTimedOut = true;
    setState(BleDeviceState::Error);
    if (m_controller != controller)
        return; // a listener already made a new link: this one is gone
    if (controller)
        controller->disconnectFromDevice();
    // Reported after this handler returns, and only to the link that timed
    // out: a new connectTo before then gets a new controller.
    QMetaObject::invokeMethod(
        this,
        [this, controller] {
            if (m_controller == controller)
                emit error(QStringLiteral("Notifications activation timed out — peripheral not responding"));
        },
        Qt::QueuedConnection);
}

void BleDevice::setState(BleDeviceState::BleDeviceStateIn state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

void BleDevice::cleanup()
{
    m_notificationsWatchdog.stop();
    m_notificationsTimedOut = false;
    // Released through the event loop: cleanup may run inside one of their
    // own signals. Cut off first, so nothing they still say reaches a new link.
    if (m_service) {
        QObject::disconnect(m_service, nullptr, this, nullptr);
        m_service->deleteLater();
        m_service = nullptr;
    }
    if (m_controller) {
        QObject::disconnect(m_controller, nullptr, this, nullptr);
        m_controller->disconnectFromDevice();
        m_controller->deleteLater();
        m_controller = nullptr;
    }
    m_notifyCharacteristic = {};
    m_writeCharacteristic = {};
    m_notifyUuid.clear();
    m_writeUuid.clear();
    setState(BleDeviceState::Disconnected);
}
