#include "divedata/divegas.h"

#include <cmath>

void DiveGas::updateN2()
{
    const double sum = double(o2) + double(he);
    n2 = sum >= 1.0 ? 0.0f : float(1.0 - double(o2) - double(he));
}

void DiveGas::setO2(double fraction)
{
    // Written as the accepted range so that a fraction that is not a number
    // is ignored too.
    if (!(fraction >= 0.05 && fraction <= 1.0 && fraction + double(he) <= 1.001))
        return;
    o2 = float(fraction);
    updateN2();
}

void DiveGas::setHe(double fraction)
{
    if (!(fraction >= 0.0 && fraction <= 0.99 && double(o2) + fraction <= 1.001))
        return;
    he = float(fraction);
    updateN2();
}

void DiveGas::setMaxPpO2(float ppO2)
{
    maxPpO2 = ppO2 > 0.0f ? ppO2 : 1.6f;
}

int DiveGas::gasClass() const
{
    if (diluent)
        return DiluentClass;
    if (usage == GasUsage::Sidemount)
        return Bailout;
    return OpenCircuit;
}

void DiveGas::setGasClass(int gasClass)
{
    switch (gasClass) {
    case DiluentClass:
        usage = GasUsage::Diluent;
        diluent = true;
        break;
    case Bailout:
        usage = GasUsage::Sidemount;
        diluent = false;
        break;
    default:
        usage = GasUsage::None;
        diluent = false;
        break;
    }
}

int DiveGas::gasKind() const
{
    // Exact comparisons of the stored floats: a gas is "Air" only when it was
    // set to exactly 21 %.
    if (o2 == 1.0f)
        return Oxygen;
    if (he == 0.0f) {
        if (o2 == 0.21f)
            return Air;
        return o2 > 0.21f ? Nitrox : Hypoxic;
    }
    return o2 + he < 1.0f ? Trimix : Heliox;
}

QString DiveGas::gasName() const
{
    if (!mName.isEmpty())
        return mName;
    const int o = int(std::lround(double(o2) * 100.0));
    const int h = int(std::lround(double(he) * 100.0));
    switch (gasKind()) {
    case Air:
        return QStringLiteral("Air");
    case Oxygen:
        return QStringLiteral("Oxy");
    case Nitrox:
    case Hypoxic:
        return QStringLiteral("Nx%1").arg(o);
    case Trimix:
        return o < 22 ? QStringLiteral("Tx%1/%2").arg(o).arg(h) : QStringLiteral("Triox%1/%2").arg(o).arg(h);
    case Heliox:
        return QStringLiteral("Hx%1/%2").arg(o).arg(h);
    default:
        return QStringLiteral("Unknown");
    }
}
