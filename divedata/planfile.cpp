#include "divedata/planfile.h"

#include "divedata/safefile.h"

#include <QIODevice>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

// Offsets inside one slot record.
constexpr int N2At = 0;
constexpr int HeAt = 64;
constexpr int CnsAt = 128;
constexpr int HeliumUsedAt = 132;
constexpr int CarriedByteAt = 133;
constexpr int FillerAt = 134; // two bytes, written as 0, ignored on reading
constexpr int CarriedFloatAt = 136;
constexpr int SurfaceIntervalAt = 140;
constexpr int EffortAt = 144;
constexpr int FreshWaterAt = 145;
constexpr int SurfacePressureAt = 146;
static_assert(SurfacePressureAt + 4 == PlanFile::SlotBytes, "slot record is 150 bytes");
static_assert(FillerAt + 2 == CarriedFloatAt, "filler fills the gap before the carried float");

void putFloat(char* at, float value)
{
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, at);
}

float getFloat(const char* at)
{
    const quint32 bits = qFromLittleEndian<quint32>(at);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void encodeSlot(const PlanSlotRecord& slot, char* at)
{
    std::memset(at, 0, PlanFile::SlotBytes);
    for (int i = 0; i < 16; ++i) {
        putFloat(at + N2At + 4 * i, slot.n2Tensions[std::size_t(i)]);
        putFloat(at + HeAt + 4 * i, slot.heTensions[std::size_t(i)]);
    }
    putFloat(at + CnsAt, slot.cns);
    at[HeliumUsedAt] = char(slot.heliumUsed);
    at[CarriedByteAt] = char(slot.tissueCarriedByte);
    putFloat(at + CarriedFloatAt, slot.tissueCarriedFloat);
    qToLittleEndian(slot.surfaceInterval, at + SurfaceIntervalAt);
    at[EffortAt] = slot.effort ? 1 : 0;
    at[FreshWaterAt] = slot.freshWater ? 1 : 0;
    putFloat(at + SurfacePressureAt, slot.surfacePressure);
}

bool decodeSlot(const char* at, PlanSlotRecord& slot)
{
    bool finite = true;
    auto take = [&](int offset) {
        const float value = getFloat(at + offset);
        finite = finite && std::isfinite(value);
        return value;
    };
    for (int i = 0; i < 16; ++i) {
        slot.n2Tensions[std::size_t(i)] = take(N2At + 4 * i);
        slot.heTensions[std::size_t(i)] = take(HeAt + 4 * i);
    }
    slot.cns = take(CnsAt);
    slot.heliumUsed = quint8(at[HeliumUsedAt]);
    slot.tissueCarriedByte = quint8(at[CarriedByteAt]);
    slot.tissueCarriedFloat = take(CarriedFloatAt);
    slot.surfaceInterval = qFromLittleEndian<qint32>(at + SurfaceIntervalAt);
    slot.effort = at[EffortAt] != 0;
    slot.freshWater = at[FreshWaterAt] != 0;
    slot.surfacePressure = take(SurfacePressureAt);
    // NaN or infinite tensions would poison every later simulation; a
    // negative interval has no meaning. Both only come from damaged files.
    return finite && slot.surfaceInterval >= 0;
}

} // namespace

bool operator==(const PlanSlotRecord& a, const PlanSlotRecord& b)
{
    return a.n2Tensions == b.n2Tensions && a.heTensions == b.heTensions && a.cns == b.cns
        && a.heliumUsed == b.heliumUsed && a.tissueCarriedByte == b.tissueCarriedByte
        && a.tissueCarriedFloat == b.tissueCarriedFloat && a.surfaceInterval == b.surfaceInterval
        && a.effort == b.effort && a.freshWater == b.freshWater && a.surfacePressure == b.surfacePressure;
}

namespace PlanFile {

QByteArray encode(const QList<PlanSlotRecord>& records)
{
    if (records.size() > MaxSlots)
        return QByteArray();
    QByteArray image(CountBytes + records.size() * SlotBytes, '\0');
    qToLittleEndian(qint32(records.size()), image.data());
    for (qsizetype i = 0; i < records.size(); ++i)
        encodeSlot(records.at(i), image.data() + CountBytes + i * SlotBytes);
    return image;
}

bool decode(const QByteArray& image, QList<PlanSlotRecord>& records)
{
    if (image.size() < CountBytes)
        return false;
    const qint32 count = qFromLittleEndian<qint32>(image.constData());
    if (count < 0 || count > MaxSlots)
        return false;
    if (image.size() != CountBytes + qsizetype(count) * SlotBytes)
        return false;
    QList<PlanSlotRecord> decoded(count);
    for (qint32 i = 0; i < count; ++i) {
        if (!decodeSlot(image.constData() + CountBytes + i * SlotBytes, decoded[i]))
            return false;
    }
    records = std::move(decoded);
    return true;
}

bool save(const QString& path, const QList<PlanSlotRecord>& records)
{
    const QByteArray image = encode(records);
    if (image.isEmpty())
        return false;
    return saveFileAtomically(path, [&](QIODevice& device) { return device.write(image) == image.size(); });
}

bool load(const QString& path, QList<PlanSlotRecord>& records)
{
    QByteArray image;
    if (!readFileCapped(path, MaxFileBytes, image))
        return false;
    return decode(image, records);
}

} // namespace PlanFile
