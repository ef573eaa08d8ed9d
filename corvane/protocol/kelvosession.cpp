#include "corvane/protocol/kelvosession.h"

#include "corvane/ble/bledevice.h"
#include "corvane/ble/blescanner.h"
#include "corvane/protocol/kelvobleprotocol.h"

#include <QTimer>
#include <QtEndian>

namespace {

constexpr int kScanSeconds = 30;
// Pause between the protocol's readiness and the first command.
constexpr int kReadyDelayMs = 500;

// Names a dive computer advertises: two exact names and two prefixes.
bool isDiveComputerName(const QString& name)
{
    return name == QLatin1String("Pelagon") || name == QLatin1String("Kelvo")
           || name.startsWith(QLatin1String("TRV-")) || name.startsWith(QLatin1String("RN4871"));
}

} // namespace

QByteArray AmphorSettings::toBytes() const
{
    QByteArray bytes;
    bytes.reserve(14);
    const auto appendFloat = [&bytes](float value) {
        char raw[4];
        qToLittleEndian(value, raw);
        bytes.append(raw, 4);
    };
    bytes.append(char(byte0)).append(char(byte1));
    appendFloat(value2);
    bytes.append(char(byte3));
    appendFloat(value4);
    bytes.append(char(byte5)).append(char(byte6)).append(char(byte7));
    return bytes;
}

KelvoSession::KelvoSession(QObject* parent) : KelvoSession(nullptr, parent) {}

KelvoSession::KelvoSession(BleBackend* backend, QObject* parent) : QObject(parent), m_backend(backend) {}

KelvoSession::~KelvoSession()
{
    cleanup();
}

void KelvoSession::setMessage(const QString& message)
{
    m_message = message;
    emit messageChanged();
}

QString KelvoSession::computerModelStr() const
{
    switch (computerModel()) {
    case ComputerModel::Kelvo: return QStringLiteral("Kelvo");
    case ComputerModel::Pelagon: return QStringLiteral("Pelagon");
    case ComputerModel::Brix: return QStringLiteral("Brix");
    case ComputerModel::ThirdParty: return QStringLiteral("ThirdParty");
    default: return QStringLiteral("Unknown");
    }
}

QString KelvoSession::qmlControllerError(QLowEnergyController::Error error) const
{
    return KelvoBleProtocol::controllerErrorString(error);
}

BleDeviceInfo KelvoSession::lastDevice() const
{
    return m_device ? m_device->lastDevice() : BleDeviceInfo();
}

std::optional<PelagonDiveHeader> KelvoSession::diveHeader(quint16 number) const
{
    for (const PelagonDiveHeader& header : m_data.diveHeaders()) {
        if (header.diveNumber == number)
            return header;
    }
    return std::nullopt;
}

void KelvoSession::createBleObjects(BleMode mode)
{
    m_scanner = m_backend ? new BleScanner(m_backend, this) : new BleScanner(this);
    m_device = m_backend ? new BleDevice(m_backend, this) : new BleDevice(this);
    connect(m_scanner, &BleScanner::deviceFound, this, &KelvoSession::onDeviceFound);
    connect(m_scanner, &BleScanner::scanFinished, this, &KelvoSession::onScanFinished);
    connect(m_scanner, &BleScanner::scanError, this, &KelvoSession::onScanError);
    connect(m_device, &BleDevice::connected, this, &KelvoSession::onBleConnected);
    connect(m_device, &BleDevice::disconnected, this, &KelvoSession::onBleDisconnected);
    connect(m_device, &BleDevice::servicesDiscovered, this, &KelvoSession::onBleServicesDiscovered);
    connect(m_device, &BleDevice::error, this, &KelvoSession::onBleError);
    createProtocol(mode);
}

void KelvoSession::createProtocol(BleMode mode)
{
    m_protocol = new KelvoBleProtocol(m_device, mode, this);
    connect(m_protocol, &KelvoBleProtocol::responseReceived, this, &KelvoSession::onResponseReceived);
    connect(m_protocol, &KelvoBleProtocol::protocolError, this, &KelvoSession::onProtocolError);
    connect(m_protocol, &KelvoBleProtocol::receiveTimeout, this, &KelvoSession::onReceiveTimeout);
    connect(m_protocol, &KelvoBleProtocol::ready, this, &KelvoSession::onProtocolReady);
}

void KelvoSession::cleanup()
{
    if (m_scanner) {
        // Disconnected first: the end of a scan given up here is no "device not found".
        QObject::disconnect(m_scanner, nullptr, this, nullptr);
        if (m_scanner->isScanning())
            m_scanner->stopScan();
        m_scanner->deleteLater();
    }
    if (m_protocol) {
        QObject::disconnect(m_protocol, nullptr, this, nullptr);
        m_protocol->deleteLater();
    }
    if (m_device) {
        QObject::disconnect(m_device, nullptr, this, nullptr);
        m_device->disconnect(); // asks the controller to end the link
        m_device->deleteLater();
    }
    m_scanner = nullptr;
    m_protocol = nullptr;
    m_device = nullptr;
    m_connected = false;
    m_pressureBusy = false;
    m_jobInFlight.reset();
}

void KelvoSession::autoConnect(BleMode mode)
{
    abortUpload();
    cleanup();
    m_autoConnect = true;
    m_deviceFound = false;
    createBleObjects(mode);
    setMessage(QStringLiteral("Scan Devices"));
    m_scanner->startScan(kScanSeconds);
}

void KelvoSession::onDeviceFound(const BleDeviceInfo& device)
{
    if (!m_autoConnect)
        return;
    setMessage(QStringLiteral("Name: ") + device.name() + QStringLiteral(" - Address: ") + device.address());
    // The first dive computer reported wins; later ones only show up above.
    if (m_deviceFound || !isDiveComputerName(device.name()))
        return;
    m_deviceFound = true;
    m_scanner->stopScan();
    setMessage(QStringLiteral("%1 found").arg(device.name()));
    emit createControllerStatus(CreateControllerStatus::Created);
    if (m_device)
        m_device->connectTo(device);
}

void KelvoSession::onScanFinished()
{
    if (m_deviceFound)
        return;
    setMessage(QStringLiteral("End of scan, device not found"));
    emit createControllerStatus(CreateControllerStatus::NotFound);
}

void KelvoSession::onScanError(const QString& message)
{
    setMessage(QStringLiteral("Scan error: ") + message);
    emit createControllerStatus(CreateControllerStatus::Error);
}

void KelvoSession::connectTo(const BleDeviceInfo& device, BleMode mode)
{
    abortUpload();
    cleanup();
    m_autoConnect = false;
    createBleObjects(mode);
    setMessage(QStringLiteral("Connect to %1").arg(device.name()));
    m_device->connectTo(device);
}

void KelvoSession::controllerConnect()
{
    if (!m_device) {
        emit connectControllerStatus(ConnectControllerStatus::NoController);
        return;
    }
    const BleDeviceInfo device = m_device->lastDevice();
    if (device.address().isEmpty()) {
        setMessage(QStringLiteral("No device known, please scan first"));
        emit connectControllerStatus(ConnectControllerStatus::NoController);
        return;
    }
    setMessage(QStringLiteral("Reconnecting to %1").arg(device.name()));
    m_device->connectTo(device);
}

void KelvoSession::controllerDisconnect()
{
    if (!m_device)
        return;
    setMessage(QStringLiteral("Disconnect from device"));
    const bool wasConnected = m_connected;
    abortUpload();
    cleanup();
    if (wasConnected)
        emit disconnectController();
}

void KelvoSession::stopJob()
{
    if (m_scanner && m_scanner->isScanning())
        m_scanner->stopScan();
}

void KelvoSession::onBleServicesDiscovered()
{
    if (!m_device)
        return;
    // After a link loss the protocol was released: a fresh one, in mode 0.
    if (!m_protocol)
        createProtocol(Gatt);
    if (!m_protocol->setupCharacteristics()) {
        setMessage(QStringLiteral("Service not found"));
        emit connectControllerStatus(ConnectControllerStatus::NoService);
        // The link may have reported its own error while the service was
        // looked for, and the session is then cleaned up already.
        if (m_device)
            m_device->disconnect();
    }
}

void KelvoSession::onBleConnected()
{
    setMessage(QStringLiteral("Device connected"));
    m_connected = true;
    m_pressureBusy = false;
    m_jobInFlight.reset();
}

void KelvoSession::onProtocolReady()
{
    // The timer belongs to the session; the link may be gone when it fires.
    QTimer::singleShot(kReadyDelayMs, this, [this] {
        if (m_device && m_protocol && m_connected)
            emit connectControllerStatus(ConnectControllerStatus::Connected);
    });
}

void KelvoSession::onBleDisconnected()
{
    m_connected = false;
    m_pressureBusy = false;
    m_jobInFlight.reset();
    setMessage(QStringLiteral("Device disconnected"));
    if (m_protocol) {
        QObject::disconnect(m_protocol, nullptr, this, nullptr);
        m_protocol->deleteLater();
        m_protocol = nullptr;
    }
    abortUpload();
    emit disconnectController();
}

void KelvoSession::onBleError(const QString& message)
{
    setMessage(QStringLiteral("BLE error: ") + message);
    const bool wasConnected = m_connected;
    abortUpload();
    cleanup();
    if (wasConnected)
        emit disconnectController();
    else
        emit createControllerStatus(CreateControllerStatus::NotCreated);
}

void KelvoSession::onProtocolError(PelagonCommand::PelagonCommandIn command, ExchangeError::ExchangeErrorIn error)
{
    failJob(command, error);
}

void KelvoSession::onReceiveTimeout(PelagonCommand::PelagonCommandIn command)
{
    Q_UNUSED(command);
    m_jobInFlight.reset();
    setMessage(QStringLiteral("Receive timeout"));
    if (m_device)
        m_device->disconnect();
}
