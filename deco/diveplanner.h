#pragma once

// The repetitive-dive planner: up to three planned dives in a row, each in
// its own slot, one of them current. Slot k > 0 starts from the tissues,
// CNS and OTU that slot k - 1's last simulation left.

#include "deco/planneddive.h"
#include "deco/simulation.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace deco {

class DivePlanner
{
public:
    static constexpr int kSlots = 3;
    // addDive and addDiveFrom: no slot free, or the dive could not be read.
    static constexpr int kNoFreeSlot = -1;
    static constexpr int kUnreadable = -2;

    using DiveFiller = std::function<bool(Dive&)>;

    DivePlanner();
    ~DivePlanner();
    DivePlanner(const DivePlanner&) = delete;
    DivePlanner& operator=(const DivePlanner&) = delete;

    // The text callback receives an empty text at the start of every
    // simulation and any message the simulation has for the user; the plan
    // callback every record of the plan. An unset callback is skipped.
    void setTextCallback(TextCallback callback) { m_text = std::move(callback); }
    void setPlanCallback(PlanCallback callback) { m_plan = std::move(callback); }

    // The gas breathed in every simulation; none (the default) breathes the
    // configuration's first gas, air.
    void setBreathingGas(std::optional<GasMix> gas) { m_breathingGas = gas; }
    const std::optional<GasMix>& breathingGas() const { return m_breathingGas; }

    // The "deco gases" setting of every simulation: off by default, which
    // keeps each plan on its breathing gas. Refused (false, nothing changed)
    // when not usable: a ppO2 other than 1.0 ... 1.7 bar by 0.1, a switch
    // stop outside 0 ... 60 minutes.
    bool setDecoGases(const DecoGasSettings& settings);
    const DecoGasSettings& decoGases() const { return m_decoGases; }

    // The lowest empty slot, or -1 when all three are used.
    int freeSlot() const;
    int slotCount() const;
    int currentIndex() const { return m_current; }
    // Makes an existing slot current; false (nothing changed) otherwise.
    bool setCurrentIndex(int index);

    PlannedDive* slot(int index);
    const PlannedDive* slot(int index) const;
    // The current slot and its dive; null when no slot is current, which
    // callers treat as an empty planner.
    PlannedDive* currentSlot() { return slot(m_current); }
    const PlannedDive* currentSlot() const { return slot(m_current); }
    Dive* currentDive();
    const Dive* currentDive() const;

    // Creates a slot at freeSlot, makes it current and simulates it. An empty
    // file name gives the default profile; otherwise the file is read by the
    // reader its suffix selects. Returns the slot index, kNoFreeSlot, or
    // kUnreadable (no reader for the suffix, or the read failed), in which
    // case the planner is exactly as before the call.
    int addDive(const QString& fileName = QString());
    // As addDive, with the dive filled by `fill` (a dive of the logbook keeps
    // its format). A false result or an empty callable gives kUnreadable.
    // The callable is released before returning in every case.
    int addDiveFrom(DiveFiller fill);

    // Gives the current slot a new default planned dive with the default
    // profile; the slot's tissues and settings stay. False without a slot.
    bool resetCurrentDive();
    // Frees the current slot; later slots move down. False without a slot.
    bool deleteCurrentDive();
    // Frees every slot ("new planification").
    void clear();

    // The slots' tissue states and settings as a plan file (no profiles).
    bool savePlan(const QString& fileName) const;
    // Replaces every slot by the file's records, slot 0 current (-1 for a
    // file of no slots). The file is read and checked before any slot is
    // touched: on false the planner is unchanged.
    bool loadPlan(const QString& fileName);

    // Simulates the current slot and keeps the tensions it started from;
    // false when no slot is current.
    bool simulateCurrentDive(const std::optional<GradientFactors>& customGradientFactors = std::nullopt,
                             std::optional<float> reduction = std::nullopt);
    // Nitrogen tensions at the start of the last simulated slot (bar).
    const CompartmentArray& startingN2() const { return m_startingN2; }

private:
    std::unique_ptr<PlannedDive> newSlot(int index) const;
    int insertSlot(std::unique_ptr<PlannedDive> slot);

    TextCallback m_text;
    PlanCallback m_plan;
    std::optional<GasMix> m_breathingGas;
    DecoGasSettings m_decoGases;
    std::array<std::unique_ptr<PlannedDive>, kSlots> m_slots;
    int m_current = -1;
    CompartmentArray m_startingN2{};
};

} // namespace deco
