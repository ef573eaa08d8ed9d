#pragma once

#include "corvane/corvaneglobal.h"
#include "corvane/protocol/frame.h"
#include "corvane/protocol/framereceiver.h"
#include "corvane/protocol/protocoltypes.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <QObject>
#include <QPointer>
#include <QString>

class BleDevice;

// The framing layer over the GATT link: wraps each request into a frame,
// writes it through the link, gathers the notifications that come back and
// hands every good response upward. Owns the command time-out, the choice of
// the serial service, the frame size derived from the link's MTU and the
// initial credits of the serial-port service. Knows nothing of payloads.
class CORVANE_EXPORT KelvoBleProtocol : public QObject
{
    Q_OBJECT

public:
    static constexpr quint8 kStx = KelvoFrame::kStx;
    static constexpr int kHeaderSize = KelvoFrame::kHeaderSize;
    static constexpr int kDefaultFrame = KelvoFrame::kDefaultFrameSize;
    static constexpr int kMaxChunks = FrameStore::kMaxChunks;
    static constexpr int kCommandTimeout = FrameReceiver::kCommandTimeoutMs;
    static constexpr int kSpsInitialCredits = 32;
    static constexpr const char* kServiceUuidGatt = "49535343-fe7d-4ae5-8fa9-9fafd205e455";
    static constexpr const char* kCharUuidGatt = "49535343-1e4d-4bd9-ba61-23c647249616";
    static constexpr const char* kServiceUuidSps = "2456e1b9-26e2-8f83-e744-f34f01e9d701";
    static constexpr const char* kCharUuidSpsFifo = "2456e1b9-26e2-8f83-e744-f34f01e9d703";
    static constexpr const char* kCharUuidSpsCredits = "2456e1b9-26e2-8f83-e744-f34f01e9d704";
    static constexpr const char* kDescriptorCccd = "00002902-0000-1000-8000-00805f9b34fb";

    // `device` is not owned; its notifications and connection feed this object.
    KelvoBleProtocol(BleDevice* device, BleMode mode, QObject* parent);
    ~KelvoBleProtocol() override;

    // Chooses the serial service and its characteristic for the mode.
    bool setupCharacteristics();
    // Frames `command` and writes it; true when the link took the frame.
    // Refused for a payload the 16-bit length cannot carry. A new command
    // replaces the one in flight.
    bool sendCommand(const BleCommand& command);
    // The largest block of data callers put into one frame.
    int frameSize() const { return m_frameSize; }
    BleMode mode() const { return m_mode; }

    static bool needsTimerMode(PelagonCommand::PelagonCommandIn command);
    // See KelvoFrame::frameSizeForMtu.
    static int frameSizeForMtu(int mtu);

    static QString exchangeErrorString(ExchangeError::ExchangeErrorIn error);
    static QString controllerErrorString(QLowEnergyController::Error error);
    static QString serviceErrorString(QLowEnergyService::ServiceError error);
    static QString scanErrorString(QBluetoothDeviceDiscoveryAgent::Error error);

    // The receiving half, for shorter waits in tests and simulations.
    FrameReceiver* receiver() { return &m_receiver; }

signals:
    void responseReceived(PelagonCommand::PelagonCommandIn command, QByteArray payload, quint16 payloadLength);
    void protocolError(PelagonCommand::PelagonCommandIn command, ExchangeError::ExchangeErrorIn error);
    void receiveTimeout(PelagonCommand::PelagonCommandIn command);
    void ready();

private slots:
    void onNotificationReceived(const QByteArray& chunk);
    void onBleConnected();

private:
    static constexpr int kReadyDelayMs = 500;

    QPointer<BleDevice> m_device;
    BleMode m_mode;
    int m_frameSize = kDefaultFrame;
    FrameReceiver m_receiver;
};
