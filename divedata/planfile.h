#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// One planner slot as a plan file keeps it: the diver's tissue state at the
// start of the slot's dive and the slot's settings. The planner copies its
// tissue state in and out of this record; the file code knows nothing else
// of the planner.
struct PlanSlotRecord
{
    std::array<float, 16> n2Tensions{};   // bar
    std::array<float, 16> heTensions{};   // bar
    float cns = 0.0f;                     // fraction (1.0 = 100 %)
    quint8 heliumUsed = 0;
    quint8 tissueCarriedByte = 2;         // carried with the tissue state, not interpreted
    float tissueCarriedFloat = 0.32f;     // carried with the tissue state, not interpreted
    qint32 surfaceInterval = 0;           // s before the slot's dive
    bool effort = false;
    bool freshWater = false;
    float surfacePressure = 1.013f;       // bar

    friend bool operator==(const PlanSlotRecord& a, const PlanSlotRecord& b);
    friend bool operator!=(const PlanSlotRecord& a, const PlanSlotRecord& b) { return !(a == b); }
};

// The ".diveplan" file: raw little-endian bytes, a 32-bit slot count N
// (0 to 3) followed by N records of 150 bytes. No marker, no profile lines.
namespace PlanFile {

constexpr int MaxSlots = 3;
constexpr int CountBytes = 4;
constexpr int SlotBytes = 150;
constexpr int MaxFileBytes = CountBytes + MaxSlots * SlotBytes;

// The image of up to MaxSlots records; an empty array for more.
QByteArray encode(const QList<PlanSlotRecord>& records);

// Decodes a whole image. A count below 0 or above 3, an image whose length is
// not exactly 4 + 150 * count, or a record holding a non-finite number or a
// negative surface interval refuses the image as a whole: false, and `records`
// is not touched. The planner can therefore keep its slots until the
// new records are known to be good.
bool decode(const QByteArray& image, QList<PlanSlotRecord>& records);

// Writes the file atomically: false leaves any previous file intact.
bool save(const QString& path, const QList<PlanSlotRecord>& records);
// Reads and decodes the file; false (and `records` untouched) on any error.
bool load(const QString& path, QList<PlanSlotRecord>& records);

} // namespace PlanFile
