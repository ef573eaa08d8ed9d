#include "deco/diveplanner.h"

#include "divedata/divelinesio.h"
#include "divedata/planfile.h"

namespace deco {

namespace {

QString slotName(int index)
{
    return QStringLiteral("Dive %1").arg(index + 1);
}

// A new planned dive as addDive makes it: named by its slot, the default
// gases and the default profile.
Dive defaultPlannedDive(int index)
{
    Dive dive;
    dive.name = slotName(index);
    dive.format = Dive::PlannedProfile;
    dive.gases = defaultPlanGases();
    applyDefaultProfile(dive);
    return dive;
}

PlanSlotRecord toRecord(const PlannedDive& slot)
{
    PlanSlotRecord record;
    record.n2Tensions = slot.tissues.n2;
    record.heTensions = slot.tissues.he;
    record.cns = slot.tissues.cns;
    record.heliumUsed = slot.tissues.heliumUsed;
    record.tissueCarriedByte = slot.tissues.carriedCode;
    record.tissueCarriedFloat = slot.tissues.carriedValue;
    record.surfaceInterval = slot.surfaceInterval;
    record.effort = slot.effort;
    record.freshWater = slot.freshWater;
    record.surfacePressure = slot.surfacePressure;
    return record;
}

void fromRecord(const PlanSlotRecord& record, PlannedDive& slot)
{
    slot.tissues.n2 = record.n2Tensions;
    slot.tissues.he = record.heTensions;
    slot.tissues.cns = record.cns;
    slot.tissues.heliumUsed = record.heliumUsed;
    slot.tissues.carriedCode = record.tissueCarriedByte;
    slot.tissues.carriedValue = record.tissueCarriedFloat;
    slot.surfaceInterval = record.surfaceInterval;
    slot.effort = record.effort;
    slot.freshWater = record.freshWater;
    slot.surfacePressure = record.surfacePressure;
}

} // namespace

DivePlanner::DivePlanner() = default;
DivePlanner::~DivePlanner() = default;

int DivePlanner::freeSlot() const
{
    for (int i = 0; i < kSlots; ++i) {
        if (!m_slots[std::size_t(i)])
            return i;
    }
    return kNoFreeSlot;
}

int DivePlanner::slotCount() const
{
    const int free = freeSlot();
    return free < 0 ? kSlots : free;
}

bool DivePlanner::setCurrentIndex(int index)
{
    if (slot(index) == nullptr)
        return false;
    m_current = index;
    return true;
}

PlannedDive* DivePlanner::slot(int index)
{
    return index >= 0 && index < kSlots ? m_slots[std::size_t(index)].get() : nullptr;
}

const PlannedDive* DivePlanner::slot(int index) const
{
    return index >= 0 && index < kSlots ? m_slots[std::size_t(index)].get() : nullptr;
}

Dive* DivePlanner::currentDive()
{
    PlannedDive* current = currentSlot();
    return current != nullptr ? &current->dive : nullptr;
}

const Dive* DivePlanner::currentDive() const
{
    const PlannedDive* current = currentSlot();
    return current != nullptr ? &current->dive : nullptr;
}

std::unique_ptr<PlannedDive> DivePlanner::newSlot(int index) const
{
    auto slot = std::make_unique<PlannedDive>();
    slot->dive.name = slotName(index);
    slot->surfaceInterval = index == 0 ? 0 : kDefaultRepetitiveInterval;
    return slot;
}

// The slot is built completely before it enters the planner, so a failed
// read never shows in the slots or in the current index.
int DivePlanner::insertSlot(std::unique_ptr<PlannedDive> slot)
{
    const int index = freeSlot();
    m_slots[std::size_t(index)] = std::move(slot);
    m_current = index;
    simulateCurrentDive();
    return index;
}

int DivePlanner::addDive(const QString& fileName)
{
    const int index = freeSlot();
    if (index < 0)
        return kNoFreeSlot;
    std::unique_ptr<PlannedDive> slot = newSlot(index);
    if (fileName.isEmpty()) {
        slot->dive = defaultPlannedDive(index);
    } else {
        const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::createReader(fileName);
        if (reader == nullptr)
            return kUnreadable;
        Dive dive = slot->dive;
        dive.gases = defaultPlanGases();
        if (!reader->readDive(fileName, dive))
            return kUnreadable;
        dive.format = Dive::PlannedProfile;
        dive.refreshDerived(Dive::CeilingCurve::Keep);
        slot->dive = std::move(dive);
    }
    return insertSlot(std::move(slot));
}

int DivePlanner::addDiveFrom(DiveFiller fill)
{
    // Taken by value: the callable and whatever it captured end with this call.
    const DiveFiller filler = std::move(fill);
    const int index = freeSlot();
    if (index < 0)
        return kNoFreeSlot;
    if (!filler)
        return kUnreadable;
    std::unique_ptr<PlannedDive> slot = newSlot(index);
    Dive dive = slot->dive;
    if (!filler(dive))
        return kUnreadable;
    dive.refreshDerived(Dive::CeilingCurve::Keep);
    slot->dive = std::move(dive);
    return insertSlot(std::move(slot));
}

bool DivePlanner::resetCurrentDive()
{
    PlannedDive* current = currentSlot();
    if (current == nullptr)
        return false;
    current->dive = defaultPlannedDive(m_current);
    return true;
}

bool DivePlanner::deleteCurrentDive()
{
    if (currentSlot() == nullptr)
        return false;
    for (int i = m_current; i + 1 < kSlots; ++i)
        m_slots[std::size_t(i)] = std::move(m_slots[std::size_t(i + 1)]);
    m_slots[kSlots - 1].reset();
    // The slot that moved into the deleted place becomes current, else the
    // one before it.
    if (slot(m_current) == nullptr)
        m_current = m_current > 0 ? m_current - 1 : -1;
    return true;
}

void DivePlanner::clear()
{
    for (auto& slot : m_slots)
        slot.reset();
    m_current = -1;
}

bool DivePlanner::savePlan(const QString& fileName) const
{
    QList<PlanSlotRecord> records;
    for (int i = 0; i < slotCount(); ++i)
        records.append(toRecord(*m_slots[std::size_t(i)]));
    return PlanFile::save(fileName, records);
}

bool DivePlanner::loadPlan(const QString& fileName)
{
    QList<PlanSlotRecord> records;
    if (!PlanFile::load(fileName, records) || records.size() > kSlots)
        return false;
    std::array<std::unique_ptr<PlannedDive>, kSlots> loaded;
    for (qsizetype i = 0; i < records.size(); ++i) {
        auto slot = newSlot(int(i));
        // A loaded slot has neither profile nor name until the user adds them.
        slot->dive.name.clear();
        fromRecord(records.at(i), *slot);
        loaded[std::size_t(i)] = std::move(slot);
    }
    m_slots = std::move(loaded);
    m_current = records.isEmpty() ? -1 : 0;
    return true;
}

bool DivePlanner::setDecoGases(const DecoGasSettings& settings)
{
    if (!usableDecoGasSettings(settings))
        return false;
    m_decoGases = settings;
    return true;
}

bool DivePlanner::simulateCurrentDive(const std::optional<GradientFactors>& customGradientFactors,
                                      std::optional<float> reduction)
{
    PlannedDive* current = currentSlot();
    if (current == nullptr)
        return false;
    SimulationOptions options;
    options.customGradientFactors = customGradientFactors;
    options.reduction = reduction;
    options.breathingGas = m_breathingGas;
    options.decoGases = m_decoGases;
    const PlannedDive* previous = m_current > 0 ? slot(m_current - 1) : nullptr;
    const SimulationOutcome outcome = simulateSlot(*current, m_current, previous, options, m_plan, m_text);
    m_startingN2 = outcome.start.n2;
    return true;
}

} // namespace deco
