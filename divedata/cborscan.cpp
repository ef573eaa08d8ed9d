#include "divedata/cborscan.h"

#include <QtEndian>

bool CborScan::isValidUtf8(QByteArrayView text)
{
    const auto* p = reinterpret_cast<const quint8*>(text.data());
    const auto* const end = p + text.size();
    // Keys and most texts are plain ASCII: settle those in one sweep.
    quint8 high = 0;
    for (const auto* q = p; q < end; ++q)
        high |= *q;
    if (high < 0x80)
        return true;
    while (p < end) {
        const quint8 c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra = 0;
        quint32 code = 0;
        quint32 smallest = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
            smallest = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
            smallest = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
            smallest = 0x10000;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

bool CborScan::isSingleWellFormedItem(QByteArrayView data)
{
    CborScan scan(data);
    return scan.skipItem() && scan.atEnd();
}

bool CborScan::skipItem(int depth)
{
    Head head;
    return readHead(head) && skipContent(head, depth);
}

bool CborScan::skipContent(const Head& head, int depth)
{
    if (depth >= MaxDepth)
        return false;
    switch (head.major) {
    case Unsigned:
    case Negative:
    case Simple:
        return true;
    case Bytes:
    case Text:
        if (!head.indefinite) {
            QByteArrayView bytes;
            return takeBytes(head.value, bytes) && (head.major == Bytes || isValidUtf8(bytes));
        }
        // Chunks: definite strings of the same kind, up to a break.
        for (;;) {
            if (atBreak()) {
                skipBreak();
                return true;
            }
            Head chunk;
            if (!readHead(chunk) || chunk.major != head.major || chunk.indefinite)
                return false;
            QByteArrayView bytes;
            if (!takeBytes(chunk.value, bytes) || (head.major == Text && !isValidUtf8(bytes)))
                return false;
        }
    case Array:
    case Map: {
        const int perEntry = head.major == Map ? 2 : 1;
        if (head.indefinite) {
            for (;;) {
                if (atEnd())
                    return false;
                if (atBreak()) {
                    skipBreak();
                    return true;
                }
                for (int i = 0; i < perEntry; ++i) {
                    if (!skipItem(depth + 1))
                        return false;
                }
            }
        }
        // Every item takes at least one byte, so a count is bounded by the
        // data left and the loop ends at the first missing byte.
        for (quint64 n = 0; n < head.value; ++n) {
            for (int i = 0; i < perEntry; ++i) {
                if (!skipItem(depth + 1))
                    return false;
            }
        }
        return true;
    }
    case Tag:
        return skipItem(depth + 1);
    default:
        return false;
    }
}
