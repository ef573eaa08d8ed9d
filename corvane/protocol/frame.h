#pragma once

#include "corvane/corvaneglobal.h"

#include <QByteArray>
#include <QtGlobal>

// The frame of the dive computer's serial protocol, the same in both
// directions (multi-byte fields little-endian):
//
//   0  DC DC            two start bytes
//   2  L   (u16)        bytes from offset 8 to the end: command byte + payload
//   4  CRC (u16)        CRC-16 of those L bytes
//   6  0 0              reserved, ignored on receipt
//   8  command (u8)
//   9  payload          L - 1 bytes
//
// A frame is L + 8 bytes; the shortest (empty payload) is 9 bytes.
namespace KelvoFrame {

constexpr quint8 kStx = 0xDC;
constexpr int kHeaderSize = 8;
constexpr quint16 kCrcInit = 0x1D0F;
// The length field is 16 bits and counts the command byte.
constexpr qsizetype kMaxPayload = 0xFFFF - 1;

// CRC-16 with polynomial 0x1021, not reflected, no final XOR, started from
// `crc` (0x1D0F for frames and firmware images; "123456789" gives 0xE5CC).
// Pass a previous result as `crc` to continue over a further block.
CORVANE_EXPORT quint16 crc16(const quint8* data, qsizetype length, quint16 crc = kCrcInit);
CORVANE_EXPORT quint16 crc16(const QByteArray& data);

// Frame size before the link's MTU is known.
constexpr int kDefaultFrameSize = 128;
// The smallest ATT MTU of any link.
constexpr int kMinimumMtu = 23;

// The largest block of data callers put into one frame on a link of `mtu`:
// MTU - 12 rounded down to a multiple of 8, so that the block with the 9
// bytes of frame overhead fits one notification (MTU - 3). An unknown MTU (0
// or less) gives kDefaultFrameSize; an MTU below 23 counts as 23.
CORVANE_EXPORT int frameSizeForMtu(int mtu);

// The whole frame for `command` and `payload`; an empty array when the payload
// does not fit the 16-bit length (more than kMaxPayload bytes).
CORVANE_EXPORT QByteArray build(quint8 command, const QByteArray& payload = {});

} // namespace KelvoFrame

// One frame taken out of the receive store.
struct ReceivedFrame
{
    quint8 command = 0;
    QByteArray payload;  // without the command byte
    quint16 length = 0;  // the length field L: payload size + 1
    bool crcValid = false;
};

// The receive store: notifications go in as they arrive, complete frames come
// out as soon as their last byte is in. Bytes before two start bytes are
// skipped, a header whose length is 0 is dropped as a framing error, and an
// incomplete frame waits for the next notification. Frames are read through
// an offset, so taking many small frames off a large burst stays linear.
// Used by both ends of the link: the program reads responses with it, the
// simulated computer reads requests.
class CORVANE_EXPORT FrameStore
{
public:
    // Chunks that may be held without a frame completing.
    static constexpr int kMaxChunks = 4096;

    // Adds one notification. When kMaxChunks chunks are already held, the
    // store is emptied and the chunk dropped: returns false then.
    bool append(const QByteArray& chunk);

    // Takes out the next complete frame, good or bad CRC; false when no
    // complete frame is held. After a frame with a bad CRC the rest of the
    // store is discarded (its length cannot be trusted to find the next one).
    bool takeFrame(ReceivedFrame& frame);

    // Throws away every byte held.
    void clear();

    bool isEmpty() const { return m_read >= m_bytes.size(); }
    qsizetype heldBytes() const { return m_bytes.size() - m_read; }
    int chunkCount() const { return m_chunks; }

private:
    // Moves the read offset to the next pair of start bytes; false when
    // fewer than a header's bytes are held from there.
    bool synchronise();

    QByteArray m_bytes;
    qsizetype m_read = 0;
    int m_chunks = 0;
};
