#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cmath>
#include <cstring>
#include <type_traits>

// Little-endian cursors over the bytes of one record. The reader never reads
// outside its bytes: a missing byte reads as 0. The writer appends. Both offer
// the same field operations, so one layout function describes a record for
// decoding and for encoding alike (the simulated computer encodes with it).
class RecordReader
{
public:
    static constexpr bool kReading = true;

    RecordReader(const quint8* data, qsizetype size, qsizetype position = 0)
        : m_data(data), m_size(size < 0 ? 0 : size), m_pos(position) {}

    qsizetype position() const { return m_pos; }
    void seek(qsizetype position) { m_pos = position; }
    void skip(qsizetype count) { m_pos += count; }
    // Bytes still to read (0 past the end).
    qsizetype remaining() const { return m_pos < m_size ? m_size - m_pos : 0; }

    // The unsigned or signed integer of T's width at the cursor; advances.
    template <typename T>
    T get()
    {
        static_assert(std::is_integral_v<T>);
        using U = std::make_unsigned_t<T>;
        U value = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            value = U(value | (U(byteAt(m_pos + qsizetype(i))) << (8 * i)));
        m_pos += qsizetype(sizeof(T));
        return T(value);
    }
    float getFloat()
    {
        const quint32 bits = get<quint32>();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // The bytes from the cursor to the end; moves the cursor there.
    QByteArray takeRest()
    {
        const qsizetype count = remaining();
        QByteArray rest(reinterpret_cast<const char*>(m_data) + (count ? m_pos : 0), count);
        m_pos += count;
        return rest;
    }
    quint8 byteAt(qsizetype offset) const
    {
        return offset >= 0 && offset < m_size ? m_data[offset] : 0;
    }

    // Field operations shared with RecordWriter.
    template <typename T> void field(T& value) { value = get<T>(); }
    void field(float& value) { value = getFloat(); }
    void field(bool& value) { value = get<quint8>() != 0; }
    // A whole number of `scale`-ths in an integer of type T.
    template <typename T> void scaled(double& value, double scale) { value = double(get<T>()) / scale; }
    // The bytes of a fixed-size array, in order.
    template <typename A> void bytes(A& array)
    {
        for (auto& b : array)
            b = get<std::remove_reference_t<decltype(b)>>();
    }

private:
    const quint8* m_data;
    qsizetype m_size;
    qsizetype m_pos;
};

class RecordWriter
{
public:
    static constexpr bool kReading = false;

    const QByteArray& bytes() const { return m_bytes; }
    qsizetype position() const { return m_bytes.size(); }
    void skip(qsizetype count) { m_bytes.append(count, '\0'); }

    template <typename T>
    void put(T value)
    {
        static_assert(std::is_integral_v<T>);
        using U = std::make_unsigned_t<T>;
        const U v = U(value);
        for (size_t i = 0; i < sizeof(T); ++i)
            m_bytes.append(char((v >> (8 * i)) & 0xFF));
    }
    void putFloat(float value)
    {
        quint32 bits;
        std::memcpy(&bits, &value, sizeof bits);
        put(bits);
    }
    void putBytes(const QByteArray& data) { m_bytes.append(data); }

    template <typename T> void field(T& value) { put(value); }
    void field(float& value) { putFloat(value); }
    void field(bool& value) { put(quint8(value ? 1 : 0)); }
    template <typename T> void scaled(double& value, double scale)
    {
        put(T(std::isfinite(value) ? std::llround(value * scale) : 0));
    }
    template <typename A> void bytes(A& array)
    {
        for (auto b : array)
            put(b);
    }

private:
    QByteArray m_bytes;
};
