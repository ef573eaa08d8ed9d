#pragma once

// The byte layouts of the logbook header and of the profile samples, each
// written once for both directions: with a RecordReader the fields are
// decoded, with a RecordWriter they are encoded (the simulated computer).
// Not part of the library's interface.

#include "corvane/protocol/kelvorecords.h"
#include "corvane/protocol/recordio.h"

namespace KelvoLayouts {

inline bool fiveByteSetpoints(int model)
{
    return model == ComputerModel::Pelagon || model == ComputerModel::Brix;
}

// A value of a narrower wire field: `wire` is what the layout sends, `apply`
// takes it back into the record after reading.
template <class Io, typename W, typename T>
void narrow(Io& io, T& value)
{
    W wire = W(value);
    io.field(wire);
    if constexpr (Io::kReading)
        value = T(wire);
}

// The logbook header after its first word (and, past the legacy layout, the
// dive number): from the active setpoint to the end. `version` and `model`
// select the layout.
template <class Io>
void logbookLayout(Io& io, PelagonDiveHeader& h, int version, int model)
{
    io.field(h.activeGasSetPoint);
    io.field(h.divemode);
    io.field(h.gfLow);
    io.field(h.gfHigh);
    quint16 water = h.density ? 1000 : 1025; // kg/m3
    io.field(water);
    if constexpr (Io::kReading)
        h.density = water < 1020 ? 1 : 0;
    io.field(h.surfacePressure);
    for (size_t i = 0; i < h.diverN2.size(); ++i) {
        io.field(h.diverN2[i]);
        io.field(h.diverHe[i]);
    }
    if (version < 5)
        narrow<Io, quint8>(io, h.gasEnabled);
    else
        io.field(h.gasEnabled);
    const size_t gases = version <= 4 ? 8 : 12;
    for (size_t i = 0; i < gases; ++i) {
        io.field(h.gasPO2[i]);
        io.field(h.gasPHe[i]);
    }
    io.skip(1);
    const int setpointSpacing = fiveByteSetpoints(model) ? 3 : 0;
    for (size_t i = 0; i < h.setpoint.size(); ++i) {
        io.field(h.setpoint[i]);
        io.skip(setpointSpacing);
    }
    quint32 count = h.sampleCount;
    io.field(count);
    if constexpr (Io::kReading)
        h.sampleCount = count;
    io.field(h.alertFlags);
    if (version != 0 && model == ComputerModel::Kelvo)
        io.field(h.alertFlags16);
    io.field(h.beginTime);
    io.field(h.cnsBegin);
    io.template scaled<quint16>(h.maxDepth, 10.0);
    io.template scaled<quint16>(h.avgDepth, 10.0);
    io.template scaled<qint8>(h.minTemperature, 1.0);
    io.template scaled<qint8>(h.maxTemperature, 1.0);
    io.field(h.ndl);
    io.field(h.deepestStop);
    io.template scaled<quint32>(h.totalDecoTime, 1.0);
    io.template scaled<quint32>(h.ascentTime, 1.0);
    io.field(h.cnsMax);
    io.field(h.pO2Min);
    io.field(h.pO2Max);
    io.field(h.endTime);
    io.field(h.desatTime);
    io.field(h.otu);
    io.field(h.iss);
    if (version != 0) {
        io.field(h.samplePeriod);
        io.field(h.sampleCount);
    }
    if (version > 5 && model == ComputerModel::Kelvo) {
        io.field(h.diverMode);
        io.field(h.gasSet);
    }
    if (version >= 10 && model == ComputerModel::Kelvo)
        io.field(h.spareWord);
    if (version >= 4 && model == ComputerModel::Pelagon) {
        quint8 openCircuit = h.ocdivemode & 1;
        io.field(openCircuit);
        if constexpr (Io::kReading)
            h.ocdivemode = openCircuit & 1;
    }
}

// Bytes of one sample record for a sample `version` and computer `model`.
inline int sampleRecordSize(int version, int model)
{
    if (version <= 0)
        return 6;
    if (model == ComputerModel::Kelvo)
        return version == 1 ? 8 : version == 2 ? 10 : 14;
    return version == 1 ? 10 : 14;
}

inline bool usesLayoutB(int version, int model)
{
    return model == ComputerModel::Pelagon && version >= 3;
}

// The two alert bytes of the older layout in the newer three-byte form.
inline std::array<quint8, 3> alertsFromOlderLayout(quint8 a, quint8 b)
{
    std::array<quint8, 3> p{};
    auto bit = [](quint8 byte, int n) { return (byte >> n) & 1; };
    p[0] = quint8((bit(a, 1) ? 0x03 : 0) | (bit(a, 2) ? 0x0C : 0) | (bit(a, 3) ? 0x30 : 0) | (bit(a, 6) ? 0xC0 : 0));
    p[1] = quint8((bit(a, 0) ? 0x04 : 0) | (bit(a, 4) ? 0x08 : 0) | (bit(a, 5) ? 0x10 : 0) | (bit(a, 7) ? 0x03 : 0));
    for (int k = 0; k < 4; ++k)
        if ((b >> (2 * k)) & 3)
            p[2] = quint8(p[2] | (1 << (2 * k)));
    return p;
}

// The older alert bytes that convert back into `p` (exact for any `p` the
// conversion above can give).
inline void alertsToOlderLayout(const std::array<quint8, 3>& p, quint8& a, quint8& b)
{
    a = quint8(((p[0] & 0x03) ? 0x02 : 0) | ((p[0] & 0x0C) ? 0x04 : 0) | ((p[0] & 0x30) ? 0x08 : 0)
               | ((p[0] & 0xC0) ? 0x40 : 0) | ((p[1] & 0x04) ? 0x01 : 0) | ((p[1] & 0x08) ? 0x10 : 0)
               | ((p[1] & 0x10) ? 0x20 : 0) | ((p[1] & 0x03) ? 0x80 : 0));
    b = 0;
    for (int k = 0; k < 4; ++k)
        if (p[2] & (1 << (2 * k)))
            b = quint8(b | (1 << (2 * k)));
}

// One sample record. The reader must hold a whole record.
template <class Io>
void sampleLayout(Io& io, DiveSample& s, int version, int model)
{
    if (usesLayoutB(version, model)) {
        quint16 w1 = quint16((s.depth & 0x0FFF) | (((s.flags >> 1) & 0x07) << 12) | ((s.flags & 1) << 15));
        io.field(w1);
        quint16 w2 = quint16((s.ceilingCode & 0x0FFF) | ((s.setpoint & 0x03) << 12));
        io.field(w2);
        if constexpr (Io::kReading) {
            s.depth = w1 & 0x0FFF;
            s.flags = quint8((((w1 >> 12) & 0x07) << 1) | (w1 >> 15));
            s.ceilingCode = w2 & 0x0FFF;
            s.setpoint = quint8((w2 >> 12) & 0x03);
        }
        io.field(s.temperature);
        io.bytes(s.pelagonAlerts);
        io.field(s.battery);
        io.field(s.tankPressure);
        io.field(s.gfLow);
        io.field(s.gfHigh);
        return;
    }
    quint8 first = quint8((((s.flags >> 1) & 0x0F) << 2) | (s.setpoint & 0x03));
    io.field(first);
    quint16 depth = s.depth & 0x0FFF;
    io.field(depth);
    quint16 ceiling = s.ceilingCode & 0x0FFF;
    io.field(ceiling);
    if constexpr (Io::kReading) {
        s.flags = quint8(((first >> 2) & 0x0F) << 1);
        s.setpoint = first & 0x03;
        s.depth = depth & 0x0FFF;
        s.ceilingCode = ceiling & 0x0FFF;
    }
    io.field(s.temperature);
    if (version < 1)
        return;
    if (model == ComputerModel::Kelvo) {
        io.field(s.battery);
        if (version >= 2) {
            io.field(s.alertFlag);
            io.field(s.alertFlagTransmitter);
        }
        if (version >= 3) {
            io.field(s.tankPressure);
            io.field(s.gfLow);
            io.field(s.gfHigh);
        }
        return;
    }
    quint8 a = 0;
    quint8 b = 0;
    if constexpr (!Io::kReading)
        alertsToOlderLayout(s.pelagonAlerts, a, b);
    io.field(a);
    io.field(b);
    if constexpr (Io::kReading)
        s.pelagonAlerts = alertsFromOlderLayout(a, b);
    io.field(s.battery);
    if (version >= 2) {
        io.field(s.tankPressure);
        io.field(s.tankPressureTxIndex);
        io.field(s.tankPressureFlag);
    }
}

} // namespace KelvoLayouts
