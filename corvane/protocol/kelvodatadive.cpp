// The decoders of the dive download: logbook headers and profile samples.

#include "corvane/protocol/kelvodata.h"

#include "corvane/protocol/recordlayouts_p.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr quint16 kLegacyHeaderLimit = 0x8000;
constexpr quint8 kSampleVersionMark = 0x80;
constexpr quint16 kDeepestSampleDm = 3500;

void clampPercentages(std::array<quint8, 12>& percent)
{
    for (quint8& p : percent)
        p = std::min<quint8>(p, 100);
}

} // namespace

void KelvoData::processLogbook(const RecordBuffer& buffer)
{
    RecordReader reader(buffer.data(), qsizetype(buffer.size()), 1);
    PelagonDiveHeader header;
    header.computerModel = m_computerModel;
    const auto first = reader.get<quint16>();
    int version = 0;
    if (first <= kLegacyHeaderLimit) {
        header.diveNumber = first;
    } else {
        version = first & 0xFF;
        header.diveNumber = reader.get<quint16>();
    }
    KelvoLayouts::logbookLayout(reader, header, version, m_computerModel);

    if (KelvoLayouts::fiveByteSetpoints(m_computerModel) && header.divemode == 3)
        header.divemode = 5;
    clampPercentages(header.gasPO2);
    clampPercentages(header.gasPHe);
    if (!std::isfinite(header.otu))
        header.otu = 0.0f;
    if (!std::isfinite(header.iss))
        header.iss = 0.0f;
    m_diveHeaders.append(header);
}

void KelvoData::clearSamples()
{
    m_rawSamples.clear();
    m_samples.clear();
}

void KelvoData::processSamples(const RecordBuffer& buffer, quint16 payloadLength)
{
    if (payloadLength > 1) {
        const qsizetype held = std::min<qsizetype>(payloadLength, qsizetype(buffer.size())) - 1;
        m_rawSamples.append(reinterpret_cast<const char*>(buffer.data() + 1), held);
        return;
    }
    m_samples.clear();
    const auto* raw = reinterpret_cast<const quint8*>(m_rawSamples.constData());
    const qsizetype size = m_rawSamples.size();
    qsizetype start = 0;
    int version = 0;
    if (size >= 2 && raw[0] == kSampleVersionMark) {
        version = raw[1];
        start = 2;
    }
    const int model = m_computerModel;
    const qsizetype recordSize = KelvoLayouts::sampleRecordSize(version, model);
    m_samples.reserve((size - start) / recordSize);
    quint16 previousDepth = 0;
    // Only whole records: a cut last record is not decoded.
    for (qsizetype at = start; at + recordSize <= size; at += recordSize) {
        RecordReader reader(raw, size, at);
        DiveSample sample;
        sample.version = quint16(version);
        KelvoLayouts::sampleLayout(reader, sample, version, model);
        if (sample.depth > kDeepestSampleDm)
            sample.depth = previousDepth;
        previousDepth = sample.depth;
        m_samples.append(sample);
    }
}
