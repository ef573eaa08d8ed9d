#pragma once

// Hand-assembled record bytes for the decoder tests: little-endian values
// appended in the order a test lists them, independent of the library's
// own record writer.

#include "corvane/protocol/kelvorecords.h"

#include <QByteArray>

#include <cstring>

class Bytes
{
public:
    Bytes& u8(quint32 v) { m_bytes.append(char(v & 0xFF)); return *this; }
    Bytes& u16(quint32 v) { return u8(v).u8(v >> 8); }
    Bytes& u32(quint32 v) { return u16(v).u16(v >> 16); }
    Bytes& u64(quint64 v) { return u32(quint32(v)).u32(quint32(v >> 32)); }
    Bytes& f32(float f)
    {
        quint32 v;
        std::memcpy(&v, &f, 4);
        return u32(v);
    }
    Bytes& zeros(int n) { m_bytes.append(n, '\0'); return *this; }
    Bytes& raw(const QByteArray& b) { m_bytes.append(b); return *this; }
    int size() const { return int(m_bytes.size()); }
    operator QByteArray() const { return m_bytes; }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// The record buffer of a response: the code, then the payload.
inline RecordBuffer bufferOf(quint8 command, const QByteArray& payload)
{
    RecordBuffer buffer{};
    buffer[0] = command;
    std::memcpy(buffer.data() + 1, payload.constData(), size_t(qMin<qsizetype>(payload.size(), 511)));
    return buffer;
}
