#pragma once

#include <QByteArrayView>
#include <QtEndian>
#include <QtGlobal>

// A small forward-only walker over encoded CBOR bytes. It checks that data is
// well formed (heads, lengths, indefinite-length framing, UTF-8 of text
// strings, a nesting limit) and lets a reader take apart the items it knows
// while skipping or handing over the others as byte slices. It never reads
// past the end of its data and allocates nothing.
class CborScan
{
public:
    enum Major : int {
        Unsigned = 0,
        Negative = 1,
        Bytes = 2,
        Text = 3,
        Array = 4,
        Map = 5,
        Tag = 6,
        Simple = 7, // simple values and floating-point numbers
    };

    struct Head
    {
        int major = 0;
        int info = 0;       // the low five bits of the initial byte
        quint64 value = 0;  // the argument; a length, count or number
        bool indefinite = false;
    };

    // Same limit as Qt's own CBOR decoder.
    static constexpr int MaxDepth = 1024;

    explicit CborScan(QByteArrayView data)
        : m_data(data)
    {
    }

    // True when data holds exactly one well-formed item and nothing after it.
    static bool isSingleWellFormedItem(QByteArrayView data);
    // Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
    static bool isValidUtf8(QByteArrayView text);

    qsizetype position() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    // The next byte is the "break" that closes an indefinite-length item.
    bool atBreak() const { return m_pos < m_data.size() && quint8(m_data[m_pos]) == 0xFF; }
    void skipBreak() { ++m_pos; }

    // Reads an item's head and leaves the position at its content. Inline:
    // a reader calls it for every number of a long profile.
    bool readHead(Head& head)
    {
        if (m_pos >= m_data.size())
            return false;
        const quint8 initial = quint8(m_data[m_pos++]);
        head.major = initial >> 5;
        head.info = initial & 0x1F;
        head.indefinite = false;
        if (head.info < 24) {
            head.value = quint64(head.info);
            return true;
        }
        head.value = 0;
        if (head.info == 31) {
            // Only strings, arrays and maps have an indefinite form; a break
            // (major 7) is never a head of its own.
            head.indefinite = head.major >= Bytes && head.major <= Map;
            return head.indefinite;
        }
        if (head.info > 27)
            return false; // reserved
        const qsizetype size = qsizetype(1) << (head.info - 24);
        if (m_data.size() - m_pos < size)
            return false;
        const auto* at = reinterpret_cast<const uchar*>(m_data.data() + m_pos);
        switch (size) {
        case 1:
            head.value = *at;
            break;
        case 2:
            head.value = qFromBigEndian<quint16>(at);
            break;
        case 4:
            head.value = qFromBigEndian<quint32>(at);
            break;
        default:
            head.value = qFromBigEndian<quint64>(at);
            break;
        }
        m_pos += size;
        // A two-byte simple value below 32 is not well formed.
        return !(head.major == Simple && head.info == 24 && head.value < 32);
    }

    // Skips one whole item, checking it as it goes.
    bool skipItem(int depth = 0);
    // Skips the rest of an item whose head was just read.
    bool skipContent(const Head& head, int depth = 0);
    QByteArrayView slice(qsizetype from, qsizetype to) const { return m_data.sliced(from, to - from); }
    // The content of a definite-length string whose head was just read.
    bool takeBytes(quint64 length, QByteArrayView& bytes)
    {
        if (length > quint64(m_data.size() - m_pos))
            return false;
        bytes = m_data.sliced(m_pos, qsizetype(length));
        m_pos += qsizetype(length);
        return true;
    }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};
