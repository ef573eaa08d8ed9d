#include "corvane/protocol/firmwareupload.h"

namespace {

// Progress is told at least this often, in bytes, whatever the percentage.
constexpr int kReportBytes = 1000;

} // namespace

void FirmwareUpload::start(const QByteArray& image, bool updateMode)
{
    m_image = image;
    m_updateMode = updateMode;
    m_offset = 0;
    m_lastOffset = 0;
    m_lastPercent = -1;
    m_clock.start();
}

bool FirmwareUpload::setStartOffset(quint32 offset)
{
    if (offset >= quint32(m_image.size()))
        return false;
    m_offset = int(offset);
    return true;
}

QByteArray FirmwareUpload::nextChunk(int frameSize, std::optional<Progress>& report)
{
    const QByteArray chunk = m_image.mid(m_offset, qMax(1, frameSize));
    m_offset += int(chunk.size());
    // Whole numbers: a last chunk always reads 100 %, which a per-byte factor
    // in floating point can miss by one.
    const int percent = m_image.isEmpty() ? 100 : int(qint64(m_offset) * 100 / m_image.size());
    report.reset();
    if (m_offset - m_lastOffset > kReportBytes || percent != m_lastPercent)
        report = Progress{m_offset, percent};
    m_lastPercent = percent;
    m_lastOffset = m_offset;
    return chunk;
}

void FirmwareUpload::finish()
{
    m_elapsed = std::chrono::duration_cast<Ticks>(std::chrono::nanoseconds(m_clock.nsecsElapsed()));
}
