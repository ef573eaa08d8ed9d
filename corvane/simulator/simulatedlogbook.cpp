#include "corvane/simulator/simulatedlogbook.h"

#include "corvane/simulator/diveprofilesynth.h"

namespace {

constexpr SimulatedDiveKind kRotation[] = {
    SimulatedDiveKind::Reef,   SimulatedDiveKind::Square, SimulatedDiveKind::Reef,
    SimulatedDiveKind::Deco,   SimulatedDiveKind::Square, SimulatedDiveKind::Reef,
    SimulatedDiveKind::Trimix, SimulatedDiveKind::Reef,   SimulatedDiveKind::Rebreather,
    SimulatedDiveKind::Square, SimulatedDiveKind::Deco,   SimulatedDiveKind::Reef,
};

DiveSketch sketchFor(SimulatedDiveKind kind, SimRandom& random)
{
    DiveSketch k;
    k.maxMinutes = 120;
    switch (kind) {
    case SimulatedDiveKind::Reef:
        k.levels = {{double(random.between(18, 28)), double(random.between(8, 14))},
                    {double(random.between(12, 16)), double(random.between(10, 18))},
                    {double(random.between(6, 9)), double(random.between(8, 16))}};
        k.gases = {{random.between(0, 2) == 0 ? 32 : 21, 0}};
        k.gfLow = 40;
        k.gfHigh = 85;
        break;
    case SimulatedDiveKind::Square: {
        const int depth = random.between(10, 30);
        k.levels = {{double(depth), double(depth <= 18 ? random.between(25, 45) : random.between(15, 20))}};
        k.gases = {{depth <= 24 ? 32 : 21, 0}};
        k.gfLow = 40;
        k.gfHigh = 85;
        break;
    }
    case SimulatedDiveKind::Deco:
        k.levels = {{double(random.between(36, 45)), double(random.between(18, 25))}};
        k.gases = {{random.between(0, 1) == 0 ? 21 : 28, 0}, {50, 0}};
        break;
    case SimulatedDiveKind::Trimix:
        k.levels = {{double(random.between(55, 65)), double(random.between(14, 18))},
                    {double(random.between(40, 45)), 5.0}};
        k.gases = {{18, 45}, {50, 0}, {100, 0}};
        break;
    case SimulatedDiveKind::Rebreather:
        k.closedCircuit = true;
        k.levels = {{double(random.between(30, 40)), double(random.between(35, 50))},
                    {double(random.between(18, 24)), 10.0}};
        k.gases = {{21, 0}, {50, 0}};
        k.tankStart = 0;
        break;
    }
    k.surfaceTemperature = random.between(14, 28);
    k.bottomTemperature = k.surfaceTemperature - random.between(2, 10);
    k.freshWater = random.between(0, 9) == 0;
    k.surfacePressure = k.freshWater ? random.between(850, 1000) : random.between(1005, 1025);
    return k;
}

int samplePeriodFor(SimRandom& random)
{
    static constexpr int kPeriods[] = {1, 2, 2, 4, 5, 10};
    return kPeriods[random.between(0, 5)];
}

} // namespace

SimulatedDiveKind SimulatedLogbook::kindOf(int index)
{
    constexpr int count = int(sizeof kRotation / sizeof kRotation[0]);
    return kRotation[((index % count) + count) % count];
}

void SimulatedLogbook::layoutVersions(ComputerModel::ComputerModelIn model, int index, quint8& headerVersion,
                                      quint8& sampleVersion)
{
    struct Pair
    {
        quint8 header;
        quint8 samples;
    };
    static constexpr Pair kKelvo[] = {{0, 0}, {1, 1}, {4, 2}, {5, 2}, {6, 3}, {10, 3}, {13, 3}};
    static constexpr Pair kPelagon[] = {{1, 1}, {4, 2}, {5, 3}, {6, 3}};
    static constexpr Pair kBrix[] = {{5, 1}, {6, 2}};
    const Pair* table = kPelagon;
    int count = 4;
    if (model == ComputerModel::Kelvo) {
        table = kKelvo;
        count = 7;
    } else if (model == ComputerModel::Brix) {
        table = kBrix;
        count = 2;
    }
    const Pair pair = table[((index % count) + count) % count];
    headerVersion = pair.header;
    sampleVersion = pair.samples;
}

QList<SimulatedDive> SimulatedLogbook::generate(const LogbookOptions& options)
{
    QList<SimulatedDive> dives;
    dives.reserve(qMax(0, options.diveCount));
    SimRandom random(options.seed);
    qint64 begin = options.firstBeginTime;
    for (int i = 0; i < options.diveCount; ++i) {
        SimulatedDive dive;
        layoutVersions(options.model, i, dive.headerVersion, dive.sampleVersion);
        dive.diveNumber = quint16(options.firstDiveNumber + i);
        dive.beginTime = begin;

        DiveSketch sketch = sketchFor(kindOf(i), random);
        sketch.samplePeriod = options.samplePeriod > 0 ? options.samplePeriod : samplePeriodFor(random);
        if (options.durationMinutes > 0) {
            // A plain dive of the asked length: one level, then the ascent
            // and safety stop (about five minutes).
            sketch.levels = {{12.0, qMax(1.0, options.durationMinutes - 5.0)}};
            sketch.gases = {{32, 0}};
            sketch.closedCircuit = false;
            sketch.maxMinutes = options.durationMinutes;
        }
        // The legacy header has no sample period: such computers sample every 5 s.
        if (dive.headerVersion == 0)
            sketch.samplePeriod = 5;
        sketch.noiseSeed = random.next();
        synthesizeDive(sketch, dive);

        dives.append(dive);
        begin = dive.endTime + qint64(random.between(90, 1800)) * 60;
    }
    return dives;
}
