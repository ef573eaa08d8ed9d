#include "corvane/protocol/kelvobleprotocol.h"

#include "corvane/ble/bledevice.h"

#include <QTimer>

KelvoBleProtocol::KelvoBleProtocol(BleDevice* device, BleMode mode, QObject* parent)
    : QObject(parent), m_device(device), m_mode(mode)
{
    if (device) {
        connect(device, &BleDevice::notificationReceived, this, &KelvoBleProtocol::onNotificationReceived);
        connect(device, &BleDevice::connected, this, &KelvoBleProtocol::onBleConnected);
    }
    connect(&m_receiver, &FrameReceiver::frameReceived, this, &KelvoBleProtocol::responseReceived);
    connect(&m_receiver, &FrameReceiver::badFrame, this,
            [this](PelagonCommand::PelagonCommandIn command) { emit protocolError(command, ExchangeError::InvalidCrc); });
    connect(&m_receiver, &FrameReceiver::timedOut, this, &KelvoBleProtocol::receiveTimeout);
}

KelvoBleProtocol::~KelvoBleProtocol()
{
    m_receiver.stop();
}

bool KelvoBleProtocol::setupCharacteristics()
{
    if (!m_device)
        return false;
    if (m_mode == BleMode::Sps)
        return m_device->setupCharacteristics(kServiceUuidSps, kCharUuidSpsFifo, kCharUuidSpsFifo);
    return m_device->setupCharacteristics(kServiceUuidGatt, kCharUuidGatt, kCharUuidGatt);
}

bool KelvoBleProtocol::sendCommand(const BleCommand& command)
{
    const QByteArray frame = KelvoFrame::build(command.command, command.payload);
    if (frame.isEmpty() || !m_device)
        return false;
    // Whatever arrived for an earlier command is thrown away and the timer
    // armed before the write, so an answer that comes back at once is kept.
    m_receiver.expect(command.command);
    if (!m_device->write(frame, QLowEnergyService::WriteWithoutResponse)) {
        m_receiver.stop();
        return false;
    }
    return true;
}

bool KelvoBleProtocol::needsTimerMode(PelagonCommand::PelagonCommandIn command)
{
    return FrameReceiver::needsTimerMode(command);
}

int KelvoBleProtocol::frameSizeForMtu(int mtu)
{
    return KelvoFrame::frameSizeForMtu(mtu);
}

void KelvoBleProtocol::onNotificationReceived(const QByteArray& chunk)
{
    m_receiver.receive(chunk);
}

void KelvoBleProtocol::onBleConnected()
{
    m_frameSize = frameSizeForMtu(m_device ? m_device->mtu() : 0);
    if (m_mode == BleMode::Sps && m_device)
        m_device->writeRaw(kCharUuidSpsCredits, QByteArray(1, char(kSpsInitialCredits)),
                           QLowEnergyService::WriteWithoutResponse);
    QTimer::singleShot(kReadyDelayMs, this, &KelvoBleProtocol::ready);
}
