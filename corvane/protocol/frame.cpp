#include "corvane/protocol/frame.h"

#include <array>
#include <cstring>

namespace {

// One step of the CRC for every possible top byte of the register.
constexpr std::array<quint16, 256> makeCrcTable()
{
    std::array<quint16, 256> table{};
    for (int i = 0; i < 256; ++i) {
        quint16 crc = quint16(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
        table[size_t(i)] = crc;
    }
    return table;
}
constexpr std::array<quint16, 256> kCrcTable = makeCrcTable();

quint16 readU16(const char* p)
{
    return quint16(quint8(p[0]) | (quint8(p[1]) << 8));
}

} // namespace

quint16 KelvoFrame::crc16(const quint8* data, qsizetype length, quint16 crc)
{
    for (qsizetype i = 0; i < length; ++i)
        crc = quint16((crc << 8) ^ kCrcTable[((crc >> 8) ^ data[i]) & 0xFF]);
    return crc;
}

quint16 KelvoFrame::crc16(const QByteArray& data)
{
    return crc16(reinterpret_cast<const quint8*>(data.constData()), data.size());
}

int KelvoFrame::frameSizeForMtu(int mtu)
{
    if (mtu <= 0)
        return kDefaultFrameSize;
    mtu = qMax(mtu, kMinimumMtu);
    return (mtu - 12) / 8 * 8;
}

QByteArray KelvoFrame::build(quint8 command, const QByteArray& payload)
{
    if (payload.size() > kMaxPayload)
        return {};
    const auto length = quint16(payload.size() + 1);
    QByteArray frame;
    frame.reserve(length + kHeaderSize);
    frame.append(char(kStx)).append(char(kStx));
    frame.append(char(length & 0xFF)).append(char(length >> 8));
    frame.append(4, '\0'); // CRC, then the reserved bytes
    frame.append(char(command));
    frame.append(payload);
    const quint16 crc = crc16(reinterpret_cast<const quint8*>(frame.constData()) + kHeaderSize, length);
    frame[4] = char(crc & 0xFF);
    frame[5] = char(crc >> 8);
    return frame;
}

bool FrameStore::append(const QByteArray& chunk)
{
    if (m_chunks >= kMaxChunks) {
        clear();
        return false;
    }
    if (chunk.isEmpty())
        return true;
    if (m_read >= m_bytes.size()) {
        m_bytes.resize(0); // keeps the capacity for the next burst
        m_read = 0;
    } else if (m_read > 0 && m_read >= m_bytes.size() / 2) {
        // Compact once the consumed front is the larger part: each byte moves
        // at most a bounded number of times, so a burst stays linear.
        const qsizetype held = m_bytes.size() - m_read;
        std::memmove(m_bytes.data(), m_bytes.constData() + m_read, size_t(held));
        m_bytes.resize(held);
        m_read = 0;
    }
    m_bytes.append(chunk);
    ++m_chunks;
    return true;
}

bool FrameStore::synchronise()
{
    const char* bytes = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    const char stx = char(KelvoFrame::kStx);
    qsizetype at = m_read;
    while (at + 1 < size && !(bytes[at] == stx && bytes[at + 1] == stx)) {
        const void* next = std::memchr(bytes + at + 1, stx, size_t(size - at - 1));
        at = next ? static_cast<const char*>(next) - bytes : size;
    }
    // A lone last byte is kept only when it may begin the next start pair.
    if (at + 1 == size && bytes[at] != stx)
        at = size;
    m_read = at;
    if (isEmpty()) {
        clear();
        return false;
    }
    return heldBytes() >= KelvoFrame::kHeaderSize;
}

bool FrameStore::takeFrame(ReceivedFrame& frame)
{
    while (synchronise()) {
        const char* header = m_bytes.constData() + m_read;
        const quint16 length = readU16(header + 2);
        if (length < 1) {
            // Nothing to carry even the command byte: a framing error.
            m_read += 2;
            continue;
        }
        if (heldBytes() < qsizetype(length) + KelvoFrame::kHeaderSize)
            return false;
        const auto* body = reinterpret_cast<const quint8*>(header + KelvoFrame::kHeaderSize);
        frame.command = body[0];
        frame.length = length;
        frame.payload = QByteArray(reinterpret_cast<const char*>(body) + 1, length - 1);
        frame.crcValid = KelvoFrame::crc16(body, length) == readU16(header + 4);
        m_read += qsizetype(length) + KelvoFrame::kHeaderSize;
        if (!frame.crcValid || isEmpty())
            clear();
        else
            m_chunks = 1; // what remains came with the last chunk
        return true;
    }
    return false;
}

void FrameStore::clear()
{
    m_bytes.resize(0);
    m_read = 0;
    m_chunks = 0;
}
