#include "corvane/protocol/kelvodata.h"

#include "corvane/protocol/recordio.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

RecordReader readerAt(const RecordBuffer& buffer, qsizetype offset)
{
    return RecordReader(buffer.data(), qsizetype(buffer.size()), offset);
}

// The payload from offset 1 as UTF-8 text up to its first zero byte.
QString payloadText(const RecordBuffer& buffer)
{
    const auto* text = reinterpret_cast<const char*>(buffer.data() + 1);
    return QString::fromUtf8(text, qsizetype(qstrnlen(text, uint(buffer.size() - 1))));
}

float finiteOrZero(float value)
{
    return std::isfinite(value) ? value : 0.0f;
}

QString bootloaderText(quint32 version)
{
    return version == 0 ? QStringLiteral("Unknown") : KelvoData::firmwareVersionToString(version);
}

// A fraction 0..1 as a whole percentage, truncated toward zero, within 0..100.
quint8 fractionToPercent(float fraction)
{
    const float percent = std::trunc(fraction * 100.0f);
    return quint8(std::clamp(percent, 0.0f, 100.0f));
}

} // namespace

RecordBuffer KelvoData::recordBuffer(quint8 command, const QByteArray& payload)
{
    RecordBuffer buffer{};
    buffer[0] = command;
    const auto count = std::min<qsizetype>(payload.size(), qsizetype(buffer.size()) - 1);
    std::memcpy(buffer.data() + 1, payload.constData(), size_t(count));
    return buffer;
}

QString KelvoData::firmwareVersionToString(quint32 version)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(version >> 24)
        .arg((version >> 16) & 0xFF)
        .arg((version >> 8) & 0xFF)
        .arg(QChar(char16_t(version & 0xFF)));
}

void KelvoData::processIdentification(const RecordBuffer& buffer)
{
    m_currentMode = CurrentMode::Unknown;
    RecordReader reader = readerAt(buffer, 1);
    m_firmwareVersion = reader.get<quint32>();
    m_firmwareVersionStr = firmwareVersionToString(m_firmwareVersion);

    const int kind = reader.get<quint8>();
    int version = kind;
    if (kind > 30) {
        m_computerModel = ComputerModel::Brix;
        version = kind - 30;
    } else if (kind > 20) {
        m_computerModel = ComputerModel::Pelagon;
        version = kind - 20;
    } else if (kind > 10) {
        m_computerModel = ComputerModel::Kelvo;
        version = kind - 10;
    }
    m_recordVersion = quint8(version);
    if (version == 1)
        m_currentMode = CurrentMode::Normal;
    else if (version == 2)
        m_currentMode = CurrentMode::BootLoader;

    if (m_computerModel == ComputerModel::Pelagon || m_computerModel == ComputerModel::Brix) {
        m_bootloaderVersion = reader.get<quint32>();
        m_bootloaderVersionStr = bootloaderText(m_bootloaderVersion);
    }
}

void KelvoData::processSerialNumber(const RecordBuffer& buffer)
{
    if (m_recordVersion != 0) {
        RecordReader reader = readerAt(buffer, 1);
        QStringList parts;
        for (int i = 0; i < 3; ++i)
            parts << QStringLiteral("%1").arg(reader.get<quint32>(), 8, 16, QLatin1Char('0'));
        m_serialNumber = parts.join(QLatin1Char('-')).toUpper();
        return;
    }
    auto hex = [&buffer](int offset) { return QStringLiteral("%1").arg(buffer[size_t(offset)], 2, 16, QLatin1Char('0')); };
    m_serialNumber = QStringLiteral("%1%2-%3%4-%5%6-%7")
                         .arg(hex(6), hex(5), hex(4), hex(3), hex(2), hex(1))
                         .arg(QChar(char16_t(buffer[7])));
}

void KelvoData::processSyslog(const RecordBuffer& buffer)
{
    m_syslog += payloadText(buffer) + QLatin1Char('\n');
}

void KelvoData::processSyslogBin(const RecordBuffer& buffer)
{
    RecordReader reader = readerAt(buffer, 1);
    SyslogBinRecord record;
    reader.field(record.time);
    reader.field(record.type);
    reader.field(record.value1);
    reader.field(record.value2);
    m_syslogBin.append(record);
}

void KelvoData::clearSyslog()
{
    m_syslog.clear();
    m_syslogBin.clear();
}

void KelvoData::processOwner(const RecordBuffer& buffer)
{
    m_owner = payloadText(buffer);
}

void KelvoData::processSensors(const RecordBuffer& buffer)
{
    RecordReader reader = readerAt(buffer, 2);
    reader.field(m_pamb);
    reader.field(m_dstop);
}

void KelvoData::processTime(const RecordBuffer& buffer)
{
    readerAt(buffer, 1).field(m_computerTime);
}

void KelvoData::processDiver(const RecordBuffer& buffer)
{
    RecordReader reader = readerAt(buffer, 1);
    for (float& value : m_diverN2)
        value = finiteOrZero(reader.getFloat());
    for (float& value : m_diverHe)
        value = finiteOrZero(reader.getFloat());
    m_diverCns = finiteOrZero(reader.getFloat());
}

void KelvoData::processDeleteDives(const RecordBuffer& buffer, DeleteDivesResult& result) const
{
    RecordReader reader = readerAt(buffer, 1);
    reader.field(result.first);
    reader.field(result.second);
}

void KelvoData::processEraseDivesFlash(const RecordBuffer& buffer)
{
    m_eraseFlashResult = buffer[1];
}

void KelvoData::processSimulationParams(const RecordBuffer& buffer)
{
    RecordReader reader = readerAt(buffer, 1);
    reader.field(m_psurf);
    reader.field(m_pamb);
    reader.field(m_density);
}

void KelvoData::processBootloaderVersion(const RecordBuffer& buffer)
{
    readerAt(buffer, 1).field(m_bootloaderVersion);
    m_bootloaderVersionStr = bootloaderText(m_bootloaderVersion);
}

void KelvoData::processGetGases(const RecordBuffer& buffer, quint16 payloadLength)
{
    if (payloadLength < 3)
        return; // no gas number: the end of the table
    const quint8 selector = buffer[1];
    const quint8 number = buffer[2];
    RecordReader reader = readerAt(buffer, 11);
    const float o2 = reader.getFloat();
    const float he = reader.getFloat();
    if (number >= BleConfig::kGases || !std::isfinite(o2) || !std::isfinite(he))
        return;
    auto& table = selector == 0 ? m_config.gases : m_config.diluents;
    table[number] = GasPercent{fractionToPercent(o2), fractionToPercent(he)};
}

void KelvoData::processBatteryInformation(const RecordBuffer& buffer, quint16 payloadLength)
{
    if (payloadLength < 9)
        return;
    const qsizetype held = std::min<qsizetype>(payloadLength, qsizetype(buffer.size()));
    RecordReader reader = readerAt(buffer, 1);
    while (reader.position() + 8 <= held) {
        const auto a = reader.get<quint32>();
        const auto b = reader.get<quint32>();
        if (a == 0xFFFFFFFFu)
            continue;
        BatteryInfoRecord record;
        auto bit = [](quint32 word, int n) { return ((word >> n) & 1u) != 0; };
        if (bit(a, 31)) {
            record.kind = 0;
            record.value12 = a & 0xFFFu;
            record.value4 = (a >> 12) & 0xFu;
            record.flag16 = bit(a, 16);
            record.flag17 = bit(a, 17);
            record.flag18 = bit(a, 18);
            record.offsetValue = qint32((a >> 19) & 63u) - 10;
            record.scaledValue = ((a >> 25) & 63u) * 200u;
        } else {
            record.kind = 1;
            record.value20 = a & 0xFFFFFu;
            record.value2 = (a >> 20) & 3u;
            record.flag28 = bit(a, 28);
            record.flag29 = bit(a, 29);
        }
        record.secondPresent = bit(b, 31);
        if (record.secondPresent) {
            record.second15 = b & 0x7FFFu;
            record.second12 = (b >> 15) & 0xFFFu;
            record.second2 = (b >> 27) & 3u;
            record.secondFlag29 = bit(b, 29);
            record.secondFlag30 = bit(b, 30);
        }
        m_batteryInfo.append(record);
    }
}
