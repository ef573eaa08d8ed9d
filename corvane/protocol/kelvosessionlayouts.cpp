// KelvoSession: the display layouts kept by the computer.

#include "corvane/protocol/kelvobleprotocol.h"
#include "corvane/protocol/kelvosession.h"

using namespace PelagonCommand;

namespace {

// Flags byte of a LayoutAdd chunk.
constexpr quint8 kFirstChunk = 1;
constexpr quint8 kLastChunk = 2;

} // namespace

bool KelvoSession::startLayoutList()
{
    if (refuseWhileBusy(LayoutList))
        return false;
    m_layouts.clear();
    return sendJob(LayoutList);
}

bool KelvoSession::startLayoutGet(quint8 index)
{
    if (refuseWhileBusy(LayoutGet))
        return false;
    m_layoutBlob.clear();
    return sendJob(LayoutGet, QByteArray(1, char(index)));
}

bool KelvoSession::startLayoutAdd(const QByteArray& blob)
{
    if (refuseWhileBusy(LayoutAdd))
        return false;
    m_layoutSuccess = false;
    m_layoutToWrite = blob;
    m_layoutOffset = 0;
    sendNextLayoutAddChunk();
    return m_jobInFlight == LayoutAdd;
}

void KelvoSession::sendNextLayoutAddChunk()
{
    const int room = qMax(1, (m_protocol ? m_protocol->frameSize() : KelvoBleProtocol::kDefaultFrame) - 1);
    const int n = qMin(int(m_layoutToWrite.size()) - m_layoutOffset, room);
    quint8 flags = m_layoutOffset == 0 ? kFirstChunk : 0;
    if (m_layoutOffset + n >= m_layoutToWrite.size())
        flags |= kLastChunk;
    QByteArray payload(1, char(flags));
    payload += m_layoutToWrite.mid(m_layoutOffset, n);
    m_layoutOffset += n;
    sendJob(LayoutAdd, payload);
}

bool KelvoSession::startLayoutRemove(quint8 index)
{
    if (refuseWhileBusy(LayoutRemove))
        return false;
    m_layoutSuccess = false;
    return sendJob(LayoutRemove, QByteArray(1, char(index)));
}

bool KelvoSession::startLayoutRemoveAll()
{
    if (refuseWhileBusy(LayoutRemoveAll))
        return false;
    m_layoutSuccess = false;
    return sendJob(LayoutRemoveAll);
}

bool KelvoSession::startLayoutActiveGet()
{
    if (refuseWhileBusy(LayoutActiveGet))
        return false;
    return sendJob(LayoutActiveGet);
}

bool KelvoSession::startLayoutActiveSet(quint8 diveMode, qint8 index)
{
    if (refuseWhileBusy(LayoutActiveSet))
        return false;
    m_layoutSuccess = false;
    QByteArray payload;
    payload.append(char(diveMode)).append(char(index));
    return sendJob(LayoutActiveSet, payload);
}

void KelvoSession::dispatchLayoutResponse(PelagonCommandIn command, const RecordBuffer& buffer,
                                          const QByteArray& payload, quint16 payloadLength)
{
    const bool endMarker = payloadLength < 2;
    // A status answer without payload counts as a failure.
    const bool success = !endMarker && buffer[1] != 0;
    switch (command) {
    case LayoutList:
        if (endMarker) {
            finishJob(command);
        } else {
            LayoutEntry entry;
            entry.index = quint8(payload.at(0));
            entry.type = payload.size() > 1 ? quint8(payload.at(1)) : 0;
            entry.name = QString::fromLatin1(payload.mid(2, 509)); // what the record buffer holds
            m_layouts.append(entry);
        }
        return;
    case LayoutGet:
        if (endMarker)
            finishJob(command);
        else
            m_layoutBlob += payload;
        return;
    case LayoutAdd:
        m_layoutSuccess = success;
        if (success)
            emit layoutAddProgress(m_layoutOffset, int(m_layoutToWrite.size()));
        if (!success) {
            m_layoutOffset = int(m_layoutToWrite.size()); // no further chunk
            failJob(command, ExchangeError::GenericError);
        } else if (m_layoutOffset >= m_layoutToWrite.size()) {
            finishJob(command);
        } else {
            sendNextLayoutAddChunk();
        }
        return;
    case LayoutRemove:
    case LayoutRemoveAll:
    case LayoutActiveSet:
        m_layoutSuccess = success;
        if (success)
            finishJob(command);
        else
            failJob(command, ExchangeError::GenericError);
        return;
    case LayoutActiveGet:
        for (qsizetype i = 0; i < payload.size() && i < qsizetype(m_activeLayouts.size()); ++i)
            m_activeLayouts[std::size_t(i)] = qint8(payload.at(i));
        finishJob(command);
        return;
    default:
        return;
    }
}
