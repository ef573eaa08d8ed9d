#pragma once

// The planner's "deco gases" setting: a plan that carries richer gases than
// its bottom gas switches to them on the computed ascent.

#include "deco/config.h"
#include "deco/gas.h"

#include <QList>

#include <array>

struct DiveGas;

namespace deco {

struct DecoGasSettings
{
    // Off: the whole plan breathes the bottom gas, as it always did.
    bool enabled = false;
    // Deepest use of a deco gas: its ppO2 there, bar (1.0 ... 1.7 by 0.1).
    float maxPpO2 = 1.6f;
    // Least time at the stop where a switch is made, minutes (0: none; the
    // switch is then made at the first stop at or above the gas's depth).
    float switchStopMinutes = 1.0f;
};

constexpr float kLowestDecoPpO2 = 1.0f;
constexpr float kHighestDecoPpO2 = 1.7f;
constexpr float kLongestSwitchStop = 60.0f; // minutes

// Whether the settings can be used: the ppO2 one of the engine's limits
// (1.0 to 1.7 bar by 0.1), the switch stop from 0 to 60 minutes.
bool usableDecoGasSettings(const DecoGasSettings& settings);

// The gases a plan switches between, as installed in a configuration: entry
// 0 is the bottom gas, entries 1 ... count - 1 the deco gases. For each entry
// the index of that gas among the dive's gases (entry 0: -1, the profile's
// lines name it).
struct DecoGasTable
{
    int count = 1;
    std::array<int, config_t::kGasSlots> diveGasIndex{};
};

// Installs the bottom gas and the dive's deco gases in the open-circuit gas
// table of `config`: the dive's gases after its first that hold more oxygen
// than the bottom gas, each mix once, at most seven. Sets the deco ppO2 limit
// and the switch stop. Nothing is changed when the settings are off or not
// usable (the returned table then holds the bottom gas alone).
DecoGasTable installDecoGases(config_t& config, const GasMix& bottom, const QList<DiveGas>& diveGases,
                              const DecoGasSettings& settings);

} // namespace deco
