#pragma once

// Reading a fuzzer's input as a stream of choices and byte strings. Reading
// past the end gives zeros and empty strings, so every input is usable.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

class FuzzInput
{
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    bool atEnd() const { return m_at >= m_size; }

    quint8 byte() { return atEnd() ? 0 : m_data[m_at++]; }

    // Little-endian.
    quint16 word()
    {
        const quint16 low = byte();
        return quint16(low | (quint16(byte()) << 8));
    }

    // Up to `count` bytes, fewer at the end.
    QByteArray take(std::size_t count)
    {
        const std::size_t n = qMin(count, m_size - qMin(m_at, m_size));
        const QByteArray out(reinterpret_cast<const char*>(m_data + m_at), qsizetype(n));
        m_at += n;
        return out;
    }

    QByteArray rest() { return take(m_size); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// When PELAGON_FUZZ_SEEDS names a folder, writes the harness's seed corpus
// there and ends the process; otherwise does nothing.
inline void writeSeedsIfAsked(void (*writeSeeds)(const QString& folder))
{
    const QString seeds = qEnvironmentVariable("PELAGON_FUZZ_SEEDS");
    if (seeds.isEmpty())
        return;
    writeSeeds(seeds);
    std::exit(0);
}
