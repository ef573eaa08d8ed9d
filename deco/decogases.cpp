#include "deco/decogases.h"

#include "divedata/divegas.h"

#include <cmath>

namespace deco {

namespace {

// Index of the ppO2 in the engine's table 1.0, 1.1 ... 1.7 bar; -1 when the
// value is not one of them.
int decoPpO2Index(float ppO2)
{
    if (!std::isfinite(ppO2))
        return -1;
    const long index = std::lround((double(ppO2) - double(kLowestDecoPpO2)) * 10.0);
    if (index < 0 || index > 7 || std::fabs(double(ppO2) - (1.0 + 0.1 * double(index))) > 1e-4)
        return -1;
    return int(index);
}

int percent(float fraction)
{
    return int(std::lround(double(fraction) * 100.0));
}

} // namespace

bool usableDecoGasSettings(const DecoGasSettings& settings)
{
    return decoPpO2Index(settings.maxPpO2) >= 0 && std::isfinite(settings.switchStopMinutes)
        && settings.switchStopMinutes >= 0.0f && settings.switchStopMinutes <= kLongestSwitchStop;
}

DecoGasTable installDecoGases(config_t& config, const GasMix& bottom, const QList<DiveGas>& diveGases,
                              const DecoGasSettings& settings)
{
    DecoGasTable table;
    table.diveGasIndex.fill(-1);
    if (!settings.enabled || !usableDecoGasSettings(settings) || config.isClosedCircuit())
        return table;

    config.setOpenCircuitGas(0, bottom);
    std::uint8_t mask = 0x01;
    for (qsizetype i = 1; i < diveGases.size() && table.count < config_t::kGasSlots; ++i) {
        const GasMix gas(percent(diveGases.at(i).o2), percent(diveGases.at(i).he));
        if (!(gas.fO2 > bottom.fO2))
            continue;
        bool known = false;
        for (int k = 1; k < table.count; ++k)
            known = known || config.gas(k).sameMix(gas);
        if (known)
            continue;
        config.setOpenCircuitGas(table.count, gas);
        table.diveGasIndex[std::size_t(table.count)] = int(i);
        mask = std::uint8_t(mask | (1u << table.count));
        ++table.count;
    }
    config.setEnabledMasks(mask, config.closedCircuitMask());
    config.setCurrentGasIndex(0);
    config.setDecoGasesEnabled(true);
    config.setDecoMaxPpO2Index(std::uint32_t(decoPpO2Index(settings.maxPpO2)));
    config.setGasSwitchStop(settings.switchStopMinutes);
    return table;
}

} // namespace deco
