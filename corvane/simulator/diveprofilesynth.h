#pragma once

#include "corvane/simulator/simulateddive.h"

#include <QList>

// A small deterministic random source (splitmix64): the same seed gives the
// same numbers on every platform and standard library.
class SimRandom
{
public:
    explicit SimRandom(quint64 seed) : m_state(seed) {}
    quint64 next();
    // Whole number in [low, high].
    int between(int low, int high);
    // Real number in [low, high).
    double real(double low, double high);

private:
    quint64 m_state;
};

// What a diver meant to do on one dive; the synthesiser turns it into samples.
struct DiveSketch
{
    struct Level
    {
        double depth = 18.0; // m
        double minutes = 20.0;
    };
    struct Gas
    {
        int o2 = 21; // %
        int he = 0;
    };

    QList<Level> levels;            // bottom levels in order
    QList<Gas> gases;               // gas 0 is the bottom gas (the diluent in closed circuit)
    bool closedCircuit = false;
    std::array<int, 3> setpoints{70, 130, 140}; // centibar
    int samplePeriod = 2;           // s
    int maxMinutes = 120;           // the run stops here whatever the stops still need
    int gfLow = 30;
    int gfHigh = 85;
    int surfacePressure = 1013;     // mbar
    bool freshWater = false;
    int surfaceTemperature = 24;
    int bottomTemperature = 16;
    int tankStart = 200;            // bar; 0 without a transmitter
    quint64 noiseSeed = 1;
};

// Runs the sketch through the decompression engine: descents at 18 m/min,
// the levels, ascents at 9 m/min to the stops the ceiling requires (gradient
// factors from the first stop to the surface), the best gas for the depth on
// the way up, a three-minute safety stop at 5 m after dives deeper than
// 10 m, then the surface. Fills the dive's samples, its gas table and its
// summary fields (depths, temperatures, stops, CNS, OTU, ppO2 range).
void synthesizeDive(const DiveSketch& sketch, SimulatedDive& dive);
