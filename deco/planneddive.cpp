#include "deco/planneddive.h"

#include "deco/config.h"

namespace deco {

const QList<DiveGas>& defaultPlanGases()
{
    static const QList<DiveGas> gases = [] {
        QList<DiveGas> list;
        for (const auto& [o2, he] : {std::pair{21, 0}, {30, 0}, {40, 0}, {100, 0}, {100, 0}, {100, 0}}) {
            DiveGas gas;
            gas.setO2(o2 / 100.0);
            gas.setHe(he / 100.0);
            gas.color = 0xFFFFFF;
            list.append(gas);
        }
        return list;
    }();
    return gases;
}

int defaultProfileGasIndex()
{
    static const int index = [] {
        config_t config;
        config.applyDefaults();
        return config.firstGasIndex();
    }();
    return index;
}

void applyDefaultProfile(Dive& dive)
{
    dive.lines.clear();
    const int gasIndex = defaultProfileGasIndex();
    for (const auto& [time, depth] : {std::pair{0.0, 0.0}, {60.0, 20.0}, {600.0, 20.0}}) {
        DiveLine line;
        line.timeSec = time;
        line.depth = depth;
        line.gasIndex = gasIndex;
        line.tankPressureTxIndex = 255;
        dive.lines.append(line);
    }
    dive.refreshDerived(Dive::CeilingCurve::Keep);
}

} // namespace deco
