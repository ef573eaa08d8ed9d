#include "corvane/simulator/computerrecords.h"

#include "corvane/protocol/recordio.h"

namespace ComputerRecords {

namespace {

// The protocol's record writer, one chained call per field.
class Fields
{
public:
    Fields& u8(quint32 value) { return put(quint8(value)); }
    Fields& u16(quint32 value) { return put(quint16(value)); }
    Fields& u32(quint32 value) { return put(value); }
    Fields& u64(quint64 value) { return put(value); }
    Fields& i64(qint64 value) { return put(value); }
    Fields& f32(float value)
    {
        m_writer.putFloat(value);
        return *this;
    }
    Fields& zeros(int count)
    {
        m_writer.skip(count);
        return *this;
    }
    // A text field of exactly `size` bytes: cut, or padded with zeros.
    Fields& text(const QByteArray& data, int size)
    {
        const QByteArray cut = data.left(size);
        m_writer.putBytes(cut);
        return zeros(size - int(cut.size()));
    }
    const QByteArray& data() const { return m_writer.bytes(); }

private:
    template <typename T>
    Fields& put(T value)
    {
        m_writer.put(value);
        return *this;
    }

    RecordWriter m_writer;
};

bool fiveByteSetpoints(ComputerModel::ComputerModelIn model)
{
    return model == ComputerModel::Pelagon || model == ComputerModel::Brix;
}

// The 12-bit ceiling field: a ceiling in decimetres (bit 11 clear) or, while
// no stop is needed, minus the no-decompression time.
quint16 ceilingCode(const SimulatedSample& sample)
{
    if (sample.ceilingDm > 0)
        return quint16(qMin<int>(sample.ceilingDm, 0x7FF));
    if (sample.ndlMinutes > 0)
        return quint16((-qMin<int>(sample.ndlMinutes, 0x800)) & 0xFFF);
    return 0;
}

void writeLayoutA(Fields& out, const SimulatedSample& s, quint8 version, ComputerModel::ComputerModelIn model)
{
    out.u8(quint32((s.gas & 0x0F) << 2) | (s.setpoint & 0x03));
    out.u16(s.depthDm & 0xFFF).u16(ceilingCode(s)).u8(quint8(s.temperature));
    if (version == 0)
        return;
    if (model == ComputerModel::Kelvo) {
        out.u16(s.battery);
        if (version >= 2)
            out.u8(s.alert).u8(s.alertTransmitter);
        if (version >= 3)
            out.u16(s.tankPressure).u8(s.gfLow).u8(s.gfHigh);
        return;
    }
    out.u8(s.legacyAlerts[0]).u8(s.legacyAlerts[1]).u16(s.battery);
    if (version >= 2)
        out.u16(s.tankPressure).u8(s.tankTxIndex).u8(s.tankPressure > 0 ? 1 : 0);
}

void writeLayoutB(Fields& out, const SimulatedSample& s)
{
    out.u16(quint32(s.depthDm & 0xFFF) | quint32(s.gas & 0x07) << 12 | quint32(s.closedCircuit ? 1 : 0) << 15);
    out.u16(quint32(ceilingCode(s)) | quint32(s.setpoint & 0x03) << 12);
    out.u8(quint8(s.temperature));
    out.u8(s.pelagonAlerts[0]).u8(s.pelagonAlerts[1]).u8(s.pelagonAlerts[2]);
    out.u16(s.battery).u16(s.tankPressure).u8(s.gfLow).u8(s.gfHigh);
}

} // namespace

quint8 identificationKind(ComputerModel::ComputerModelIn model, quint8 recordVersion)
{
    switch (model) {
    case ComputerModel::Kelvo: return quint8(10 + recordVersion);
    case ComputerModel::Pelagon: return quint8(20 + recordVersion);
    case ComputerModel::Brix: return quint8(30 + recordVersion);
    default: return recordVersion;
    }
}

QByteArray identification(quint32 firmware, quint8 kind, quint32 bootloader)
{
    Fields out;
    out.u32(firmware).u8(kind).u32(bootloader);
    return out.data();
}

QByteArray serialNumber(quint32 first, quint32 second, quint32 third)
{
    Fields out;
    out.u32(first).u32(second).u32(third);
    return out.data();
}

QByteArray legacySerialNumber(const std::array<quint8, 6>& bytes, char suffix)
{
    Fields out;
    for (const quint8 b : bytes)
        out.u8(b);
    out.u8(quint8(suffix));
    return out.data();
}

QByteArray settings(const SimulatedSettings& s)
{
    Fields out;
    if (s.version == 0) {
        out.u16(qMin<quint16>(s.firstSetting, 254));
    } else {
        out.u16(0xFF00u | s.version);
        out.u8(s.family == ComputerModel::Brix ? 3 : s.family == ComputerModel::Pelagon ? 2 : 1);
        out.u16(s.firstSetting);
    }
    for (const quint8 b : s.settingBytes)
        out.u8(b);
    out.u16(s.settingWord).u8(s.waterType).u16(s.surfacePressure).u8(s.moreBytes[0]).u8(s.moreBytes[1]);

    for (const quint8 b : s.kelvoBytes)
        out.u8(b);
    out.u8(0);
    const int gases = s.version < 13 ? 8 : 12;
    for (int i = 0; i < gases; ++i)
        out.u8(s.gasO2[std::size_t(i)]).u8(s.gasHe[std::size_t(i)]);
    out.u8(s.lastSetting);
    for (const quint16 sp : s.setpoints)
        out.u16(sp);
    out.text(s.name, 32).u8(s.batteryType);
    return out.data();
}

QByteArray text(const QString& value)
{
    QByteArray bytes = value.toUtf8();
    bytes.append('\0');
    return bytes;
}

QByteArray status(bool success)
{
    return QByteArray(1, success ? '\1' : '\0');
}

QByteArray time(qint64 seconds)
{
    Fields out;
    out.i64(seconds);
    return out.data();
}

QByteArray sensors(quint32 ambientPressure, quint16 stopDepth)
{
    Fields out;
    out.u8(1).u32(ambientPressure).u16(stopDepth);
    return out.data();
}

QByteArray simulationParameters(quint32 surfacePressure, quint32 ambientPressure, quint16 density)
{
    Fields out;
    out.u32(surfacePressure).u32(ambientPressure).u16(density);
    return out.data();
}

QByteArray diver(const std::array<float, 16>& n2, const std::array<float, 16>& he, float cns)
{
    Fields out;
    for (const float v : n2)
        out.f32(v);
    for (const float v : he)
        out.f32(v);
    out.f32(cns);
    return out.data();
}

QByteArray deleteResult(quint32 first, quint32 second)
{
    Fields out;
    out.u32(first).u32(second);
    return out.data();
}

QByteArray bootloaderVersion(quint32 version)
{
    Fields out;
    out.u32(version);
    return out.data();
}

QByteArray gas(quint8 selector, const SimulatedGas& g)
{
    Fields out;
    out.u8(selector).u8(g.number).zeros(8).f32(g.o2).f32(g.he);
    return out.data();
}

QByteArray batteryEntries(const QList<SimulatedBatteryEntry>& entries)
{
    Fields out;
    for (const SimulatedBatteryEntry& e : entries)
        out.u32(e.a).u32(e.b);
    return out.data();
}

QByteArray syslogBin(quint64 time, quint8 type, quint32 value1, quint32 value2)
{
    Fields out;
    out.u64(time).u8(type).u32(value1).u32(value2);
    return out.data();
}

QByteArray logbookHeader(const SimulatedDive& d, ComputerModel::ComputerModelIn model)
{
    const int v = d.headerVersion;
    Fields out;
    if (v == 0)
        out.u16(qMin<quint16>(d.diveNumber, 0x8000));
    else
        out.u16(0x8000u | quint32(v)).u16(d.diveNumber);
    out.u8(d.activeGasSetPoint).u8(d.divemode).u8(d.gfLow).u8(d.gfHigh).u16(d.waterDensity).u16(d.surfacePressure);
    for (std::size_t i = 0; i < 16; ++i)
        out.u16(d.diverN2[i]).u16(d.diverHe[i]);
    if (v < 5)
        out.u8(d.gasEnabled & 0xFF);
    else
        out.u16(d.gasEnabled);
    for (int i = 0; i < d.headerGasCount(); ++i)
        out.u8(d.gasO2[std::size_t(i)]).u8(d.gasHe[std::size_t(i)]);
    out.u8(0);
    for (const quint16 sp : d.setpoint) {
        out.u16(sp);
        if (fiveByteSetpoints(model))
            out.zeros(3);
    }
    out.u32(d.samples.isEmpty() ? 0 : quint32(d.samples.size())).u32(d.alertFlags);
    if (v != 0 && model == ComputerModel::Kelvo)
        out.u16(d.alertFlags16);
    out.i64(d.beginTime).u16(d.cnsBegin).u16(d.maxDepthDm).u16(d.avgDepthDm);
    out.u8(quint8(d.minTemperature)).u8(quint8(d.maxTemperature));
    out.u32(d.ndl).u16(d.deepestStop).u32(d.totalDecoTime).u32(d.ascentTime);
    out.u16(d.cnsMax).u16(d.pO2Min).u16(d.pO2Max).i64(d.endTime).u32(d.desatTime).f32(d.otu).f32(d.iss);
    if (v != 0) {
        out.u8(d.samplePeriod).u32(quint32(d.samples.size()));
        if (v > 5 && model == ComputerModel::Kelvo)
            out.u8(d.diverMode).u16(d.gasSet);
        if (v >= 10 && model == ComputerModel::Kelvo)
            out.u16(d.thirdField);
    }
    if (v >= 4 && model == ComputerModel::Pelagon)
        out.u8(d.ocDiveMode ? 1 : 0);
    return out.data();
}

int sampleRecordSize(quint8 version, ComputerModel::ComputerModelIn model)
{
    if (version == 0)
        return 6;
    if (model == ComputerModel::Kelvo)
        return version == 1 ? 8 : version == 2 ? 10 : 14;
    return version == 1 ? 10 : 14;
}

QByteArray samples(const SimulatedDive& d, ComputerModel::ComputerModelIn model)
{
    Fields out;
    const quint8 v = d.sampleVersion;
    if (v != 0)
        out.u8(0x80).u8(v);
    const bool layoutB = model == ComputerModel::Pelagon && v >= 3;
    for (const SimulatedSample& s : d.samples) {
        if (layoutB)
            writeLayoutB(out, s);
        else
            writeLayoutA(out, s, v, model);
    }
    return out.data();
}

} // namespace ComputerRecords
