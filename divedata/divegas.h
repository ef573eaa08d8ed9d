#pragma once

#include "divedata/divetypes.h"

#include <QString>
#include <QtGlobal>

// One breathing gas of a dive. Fractions are 0..1; n2 always follows o2 and he.
struct DiveGas
{
    enum Kind { Air = 0, Oxygen = 1, Nitrox = 2, Trimix = 3, Heliox = 4, Hypoxic = 5 };
    enum Class { OpenCircuit = 0, DiluentClass = 1, Bailout = 2 };

    float o2 = 0.21f;
    float he = 0.0f;
    float n2 = 0.79f;
    float maxPpO2 = -1.0f;       // bar; -1 = not set
    quint32 reserved[2] = {0, 0}; // carried with the gas, not interpreted
    quint8 usage = GasUsage::None;
    quint8 reservedByte = 1;      // carried with the gas, not interpreted
    QString mId;
    QString mName;
    quint32 color = 0xFFFFFF;
    bool diluent = false;

    void setO2(double fraction);
    void setHe(double fraction);
    void setMaxPpO2(float ppO2);

    int gasClass() const;
    void setGasClass(int gasClass);

    int gasKind() const;
    QString gasName() const;

private:
    void updateN2();
};
