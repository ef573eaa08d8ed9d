#include "divedata/planificator.h"

#include "divedata/dive.h"
#include "divedata/linefields.h"

#include <QDataStream>
#include <QtEndian>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <type_traits>

namespace {

// The stream's encoding is fixed by the format, whatever the caller set up;
// the caller's settings come back when the operation ends.
class StreamFormGuard
{
public:
    explicit StreamFormGuard(QDataStream& stream)
        : m_stream(stream)
        , m_order(stream.byteOrder())
        , m_precision(stream.floatingPointPrecision())
    {
        stream.setByteOrder(QDataStream::BigEndian);
        stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
    }
    ~StreamFormGuard()
    {
        m_stream.setByteOrder(m_order);
        m_stream.setFloatingPointPrecision(m_precision);
    }
    StreamFormGuard(const StreamFormGuard&) = delete;
    StreamFormGuard& operator=(const StreamFormGuard&) = delete;

private:
    QDataStream& m_stream;
    QDataStream::ByteOrder m_order;
    QDataStream::FloatingPointPrecision m_precision;
};

float toFloat(double value)
{
    if (std::isfinite(value))
        return float(std::clamp(value, double(-FLT_MAX), double(FLT_MAX)));
    return float(value);
}

quint8 percentOf(float fraction)
{
    const double percent = double(fraction) * 100.0;
    if (!(percent > 0.0))
        return 0;
    return percent >= 255.0 ? quint8(255) : quint8(std::lround(percent));
}

// A Qt string (32-bit byte length, UTF-16) whose length is checked before
// anything is allocated.
bool readString(QDataStream& in, QString& text)
{
    quint32 bytes = 0;
    in >> bytes;
    if (in.status() != QDataStream::Ok)
        return false;
    if (bytes == 0xFFFFFFFFu) {
        text = QString();
        return true;
    }
    if (bytes % 2 != 0 || bytes > Planificator::MaxStringBytes) {
        in.setStatus(QDataStream::ReadCorruptData);
        return false;
    }
    QByteArray raw(qsizetype(bytes), Qt::Uninitialized);
    if (in.readRawData(raw.data(), int(bytes)) != int(bytes)) {
        in.setStatus(QDataStream::ReadPastEnd);
        return false;
    }
    QString result(qsizetype(bytes / 2), Qt::Uninitialized);
    qFromBigEndian<char16_t>(raw.constData(), bytes / 2, result.data());
    text = std::move(result);
    return true;
}

bool readCount(QDataStream& in, qint32 max, qint32& count)
{
    in >> count;
    if (in.status() != QDataStream::Ok)
        return false;
    if (count < 0 || count > max) {
        in.setStatus(QDataStream::ReadCorruptData);
        return false;
    }
    return true;
}

void readLine(QDataStream& in, DiveLine& line)
{
    for (const LineFields::Field* field : LineFields::inOrder(LineFields::Format::PlanStream)) {
        LineFields::visit(*field, line, [&in](auto& value) {
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, bool>) {
                quint8 flag = 0;
                in >> flag;
                value = flag != 0;
            } else {
                in >> value;
            }
        });
    }
}

void writeLine(QDataStream& out, const DiveLine& line)
{
    for (const LineFields::Field* field : LineFields::inOrder(LineFields::Format::PlanStream)) {
        LineFields::visit(*field, line, [&out](const auto& value) {
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, bool>)
                out << quint8(value ? 1 : 0);
            else
                out << value;
        });
    }
}

} // namespace

bool Planificator::readStream(QDataStream& in, Dive& dive)
{
    const StreamFormGuard form(in);

    quint32 marker = 0;
    in >> marker;
    // Any top byte is accepted; only the version decides.
    if (in.status() != QDataStream::Ok || (marker & 0x00FFFFFFu) > MaxVersion)
        return false;

    // Everything is read into a copy so that a failure part-way leaves the
    // caller's dive as it was.
    Dive result = dive;
    if (!readString(in, result.name) || !readString(in, result.computerName)
        || !readString(in, result.computerManufacturer) || !readString(in, result.computerSerial))
        return false;
    in >> result.beginTime >> result.format >> result.maxTime >> result.maxDepth >> result.avgDepth
        >> result.maxTemperature;

    qint32 gasCount = 0;
    if (!readCount(in, MaxGases, gasCount))
        return false;
    QList<DiveGas> gases;
    gases.reserve(gasCount);
    for (qint32 i = 0; i < gasCount; ++i) {
        DiveGas gas;
        quint8 o2 = 0;
        quint8 he = 0;
        double maxPpO2 = 0.0;
        if (!readString(in, gas.mId) || !readString(in, gas.mName))
            return false;
        in >> o2 >> he >> maxPpO2;
        if (in.status() != QDataStream::Ok)
            return false;
        gas.setMaxPpO2(toFloat(maxPpO2));
        gas.setO2(o2 / 100.0);
        gas.setHe(he / 100.0);
        gases.append(gas);
    }
    result.gases = std::move(gases);

    qint32 divemode = 0;
    quint32 alertsKelvo = 0;
    in >> divemode >> result.samplePeriod >> alertsKelvo >> result.gfLow >> result.gfHigh;
    result.divemode = quint8(divemode & 0xFF);
    for (std::size_t i = 0; i < result.alertsKelvo.size(); ++i)
        result.alertsKelvo[i] = quint8(alertsKelvo >> (8 * i));

    qint32 lineCount = 0;
    if (!readCount(in, MaxLines, lineCount))
        return false;
    QList<DiveLine> lines;
    // Reserve no more than a modest block: the count is only believed as far
    // as the stream really holds records.
    lines.reserve(std::min<qint32>(lineCount, 4096));
    for (qint32 i = 0; i < lineCount; ++i) {
        DiveLine line;
        readLine(in, line);
        if (in.status() != QDataStream::Ok)
            return false;
        lines.append(line);
    }
    if (!DiveFileLimits::linesAreSane(lines))
        return false;
    result.lines = std::move(lines);

    if (in.status() != QDataStream::Ok)
        return false;
    dive = std::move(result);
    return true;
}

bool Planificator::writeStream(QDataStream& out, const Dive& dive)
{
    if (dive.gases.size() > MaxGases || dive.lines.size() > MaxLines)
        return false; // the reader would refuse it
    const StreamFormGuard form(out);

    out << Marker << dive.name << dive.computerName << dive.computerManufacturer << dive.computerSerial
        << dive.beginTime << dive.format << dive.maxTime << dive.maxDepth << dive.avgDepth << dive.maxTemperature;

    out << qint32(dive.gases.size());
    for (const DiveGas& gas : dive.gases)
        out << gas.mId << gas.mName << percentOf(gas.o2) << percentOf(gas.he) << double(gas.maxPpO2);

    quint32 alertsKelvo = 0;
    for (std::size_t i = 0; i < dive.alertsKelvo.size(); ++i)
        alertsKelvo |= quint32(dive.alertsKelvo[i]) << (8 * i);
    out << qint32(dive.divemode) << dive.samplePeriod << alertsKelvo << dive.gfLow << dive.gfHigh;

    out << qint32(dive.lines.size());
    for (const DiveLine& line : dive.lines)
        writeLine(out, line);
    return out.status() == QDataStream::Ok;
}
