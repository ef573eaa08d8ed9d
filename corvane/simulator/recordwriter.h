#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstring>

// Appends little-endian fields to a record, the way the dive computer lays
// out its answers.
class RecordWriter
{
public:
    RecordWriter& u8(quint32 value)
    {
        m_bytes.append(char(value & 0xFF));
        return *this;
    }
    RecordWriter& u16(quint32 value) { return put<quint16>(quint16(value)); }
    RecordWriter& u32(quint32 value) { return put<quint32>(value); }
    RecordWriter& u64(quint64 value) { return put<quint64>(value); }
    RecordWriter& i64(qint64 value) { return put<quint64>(quint64(value)); }
    RecordWriter& f32(float value)
    {
        quint32 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return put<quint32>(bits);
    }
    RecordWriter& zeros(int count)
    {
        m_bytes.append(count, '\0');
        return *this;
    }
    RecordWriter& bytes(const QByteArray& data)
    {
        m_bytes.append(data);
        return *this;
    }
    // A text field of exactly `size` bytes: cut, or padded with zeros.
    RecordWriter& text(const QByteArray& data, int size)
    {
        const QByteArray cut = data.left(size);
        m_bytes.append(cut);
        return zeros(size - int(cut.size()));
    }

    int size() const { return int(m_bytes.size()); }
    const QByteArray& data() const { return m_bytes; }

private:
    template <typename T>
    RecordWriter& put(T value)
    {
        char raw[sizeof(T)];
        qToLittleEndian(value, raw);
        m_bytes.append(raw, sizeof(T));
        return *this;
    }

    QByteArray m_bytes;
};
