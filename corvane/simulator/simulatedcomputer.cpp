#include "corvane/simulator/simulatedcomputer.h"

#include "corvane/ble/simulatedperipheral.h"
#include "corvane/protocol/frame.h"
#include "corvane/protocol/protocoltypes.h"
#include "corvane/simulator/computerhandlers_p.h"

namespace {

// Writes to the serial-port service's credits characteristic carry flow
// control, not frames.
const QBluetoothUuid kCreditsCharacteristic(QStringLiteral("2456e1b9-26e2-8f83-e744-f34f01e9d704"));

// Nine bytes of frame header and command around every payload.
constexpr int kFrameOverhead = KelvoFrame::kHeaderSize + 1;

bool isChunk(int command)
{
    using namespace PelagonCommand;
    return command == Program || command == ProgramUpdate || command == LayoutAdd;
}

// Which chunk of its image or layout a chunk frame is, counted from 0.
int chunkIndex(const ComputerState& state, const ReceivedFrame& frame)
{
    if (frame.command != PelagonCommand::LayoutAdd)
        return state.firmware.chunks;
    const bool first = !frame.payload.isEmpty() && (quint8(frame.payload.at(0)) & 1);
    return first ? 0 : state.layouts.chunks;
}

QByteArray zeroLengthHeader()
{
    const quint16 crc = KelvoFrame::crc16(nullptr, 0);
    const char header[KelvoFrame::kHeaderSize] = {char(KelvoFrame::kStx), char(KelvoFrame::kStx), 0, 0,
                                                  char(crc & 0xFF), char(crc >> 8), 0, 0};
    return QByteArray(header, KelvoFrame::kHeaderSize);
}

} // namespace

SimulatedComputer::SimulatedComputer(QObject* parent) : QObject(parent), m_store(std::make_unique<FrameStore>()) {}

SimulatedComputer::~SimulatedComputer() = default;

void SimulatedComputer::attach(SimulatedPeripheral* peripheral)
{
    if (m_peripheral)
        m_peripheral->disconnect(this);
    m_peripheral = peripheral;
    m_store->clear();
    if (!peripheral)
        return;
    connect(peripheral, &SimulatedPeripheral::written, this, &SimulatedComputer::onWritten);
    connect(peripheral, &SimulatedPeripheral::linkDown, this, &SimulatedComputer::onLinkDown);
    connect(peripheral, &SimulatedPeripheral::linkUp, this, [this] { m_state.divesSent = 0; });
}

void SimulatedComputer::onLinkDown()
{
    m_store->clear();
    ComputerHandlers::linkLost(m_state);
}

void SimulatedComputer::onWritten(const QBluetoothUuid& characteristic, const QByteArray& data)
{
    if (characteristic == kCreditsCharacteristic)
        return;
    if (!m_store->append(data))
        return;
    ReceivedFrame frame;
    while (m_store->takeFrame(frame)) {
        // Damaged on the air, as the fault asks.
        if (isChunk(frame.command) && chunkIndex(m_state, frame) == m_state.faults.corruptChunk)
            frame.crcValid = false;
        if (!frame.crcValid) {
            emit badRequest();
            // A damaged chunk is refused, so that the writer stops at once;
            // any other damaged request goes unanswered.
            if (isChunk(frame.command))
                answer(characteristic, frame.command, frame.payload, true);
            continue;
        }
        ++m_requests;
        m_lastCommand = frame.command;
        emit requestReceived(frame.command, frame.payload);
        answer(characteristic, frame.command, frame.payload);
    }
}

void SimulatedComputer::answer(const QBluetoothUuid& characteristic, int command, const QByteArray& request,
                               bool damaged)
{
    if (!m_peripheral)
        return;
    m_state.framePayload = qMax(1, m_peripheral->payloadSize() - kFrameOverhead);
    ComputerReply reply;
    if (damaged)
        ComputerHandlers::refuseDamagedChunk(m_state, command, reply);
    else
        reply = answerRequest(m_state, command, request);
    const ComputerFaults& faults = m_state.faults;
    if (!reply.silent) {
        QByteArray bytes;
        if (command == faults.garbageCommand)
            bytes += QByteArray::fromHex("00dc17a5dc0011");
        if (command == faults.zeroLengthCommand)
            bytes += zeroLengthHeader();
        for (const QByteArray& payload : reply.payloads) {
            QByteArray frame = KelvoFrame::build(quint8(command), payload);
            if (command == faults.badCrcCommand && frame.size() > 4)
                frame[4] = char(frame[4] ^ 0x5A);
            bytes += frame;
        }
        // The peripheral cuts the run into notifications of MTU - 3 bytes;
        // full frames are exactly that long, so a stream's frames each fill
        // one notification.
        m_peripheral->send(characteristic, bytes);
    }
    if (reply.dropLinkAfter) {
        // Ends the link this answer went out on; once that link has gone
        // (the central closed it first), a new one is left alone.
        SimulatedPeripheral* peripheral = m_peripheral;
        const quint64 link = peripheral->linkGeneration();
        const auto dropThisLink = [peripheral, link] {
            if (peripheral->linkGeneration() == link)
                peripheral->dropLink();
        };
        if (peripheral->pendingNotifications() == 0) {
            QMetaObject::invokeMethod(peripheral, dropThisLink, Qt::QueuedConnection);
        } else {
            auto once = std::make_shared<QMetaObject::Connection>();
            *once = connect(peripheral, &SimulatedPeripheral::notificationsDrained, peripheral,
                            [once, dropThisLink] {
                                QObject::disconnect(*once);
                                dropThisLink();
                            });
        }
    }
}
