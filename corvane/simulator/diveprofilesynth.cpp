#include "corvane/simulator/diveprofilesynth.h"

#include "deco/config.h"
#include "deco/decostate.h"
#include "deco/oxygen.h"
#include "deco/tissuemodel.h"

#include <algorithm>
#include <cmath>

quint64 SimRandom::next()
{
    quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int SimRandom::between(int low, int high)
{
    if (high <= low)
        return low;
    return low + int(next() % quint64(high - low + 1));
}

double SimRandom::real(double low, double high)
{
    return low + (high - low) * double(next() >> 11) / double(1ull << 53);
}

namespace {

constexpr double kDescentRate = 18.0; // m/min
constexpr double kAscentRate = 9.0;
constexpr double kStopSpacing = 3.0;
constexpr double kSafetyStopDepth = 5.0;
constexpr int kSafetyStopSeconds = 180;
constexpr double kArrived = 0.05; // m
constexpr float kDecoGasPpO2 = 1.6f;
constexpr double kSacLitresPerMinute = 15.0;
constexpr double kTankLitres = 12.0;

// The engine configured for the sketch, with the tissues of one diver and
// the gradient factors running from the first stop to the surface.
class DiveEngine
{
public:
    explicit DiveEngine(const DiveSketch& sketch) : m_sketch(sketch)
    {
        m_config.setSurfacePressure(float(sketch.surfacePressure) / 1000.0f);
        m_config.setWaterType(sketch.freshWater ? deco::FreshWater : deco::SaltWater);
        m_config.setGradientFactors(deco::GradientFactors(sketch.gfLow, sketch.gfHigh));
        if (sketch.closedCircuit) {
            m_config.setDiveMode(deco::ClosedCircuitMode);
            for (int i = 0; i < 3; ++i)
                m_config.setSetpoint(i, deco::Setpoint{float(sketch.setpoints[std::size_t(i)]) / 100.0f});
        }
        deco::initTissues(m_tissues, m_config.surfacePressure());
        m_deco = deco::DecoState(m_config);
        setGas(0, 0);
    }

    const deco::TissueState& tissues() const { return m_tissues; }
    float pressureAt(double depth) const { return deco::depthToPressure(m_config, float(depth)); }
    double depthAt(float pressure) const { return std::max(0.0, double(deco::pressureToDepth(m_config, pressure))); }
    const deco::GasMix& gas() const { return m_gas; }
    float setpoint() const { return m_config.activeSetpoint(); }

    void setGas(int index, int setpointIndex)
    {
        const DiveSketch::Gas g = m_sketch.gases.value(index);
        m_gas = deco::GasMix(g.o2, g.he);
        if (m_sketch.closedCircuit && index < 3) {
            m_config.setClosedCircuitGas(0, m_gas);
            m_config.setCurrentSetpointIndex(setpointIndex);
        } else {
            if (m_sketch.closedCircuit)
                m_config.setDiveMode(deco::BailoutMode);
            m_config.setOpenCircuitGas(0, m_gas);
        }
        m_config.setCurrentGasIndex(0);
    }

    // Loads the tissues and the oxygen clocks over one step.
    void step(double fromDepth, double toDepth, double seconds)
    {
        const float p1 = pressureAt(fromDepth);
        const float p2 = pressureAt(toDepth);
        const float minutes = float(seconds / 60.0);
        deco::loadSegment(m_tissues, p1, p2, minutes, m_gas, setpoint());
        deco::updateCns(m_tissues, p1, p2, minutes, m_gas, setpoint());
        m_otu += double(deco::otuPerMinute(deco::ppO2(m_gas, setpoint(), (p1 + p2) / 2.0f))) * double(minutes);
    }

    // Gradient factor in force at a depth: gfLow at the first stop, rising
    // linearly to gfHigh at the surface.
    float gfAt(double depth) const
    {
        const float low = float(m_sketch.gfLow) / 100.0f;
        const float high = float(m_sketch.gfHigh) / 100.0f;
        if (m_anchor <= 0.0)
            return high;
        const double f = std::min(1.0, std::max(0.0, depth / m_anchor));
        return float(high + (low - high) * f);
    }

    double ceilingDepth(double depth) const { return depthAt(deco::ceilingPressure(m_tissues, gfAt(depth))); }

    // The shallowest stop depth (a multiple of 3 m, 0 for the surface) the
    // diver may ascend to now.
    double allowedStop(double depth)
    {
        // Stops become due once the surface is out of reach under gfHigh;
        // the first one is then placed by gfLow.
        const float high = float(m_sketch.gfHigh) / 100.0f;
        if (m_anchor <= 0.0 && deco::ceilingPressure(m_tissues, high) > m_config.surfacePressure()) {
            const double low = depthAt(deco::ceilingPressure(m_tissues, float(m_sketch.gfLow) / 100.0f));
            m_anchor = std::max(kStopSpacing, std::ceil(low / kStopSpacing) * kStopSpacing);
        }
        for (double s = 0.0; s < depth + kStopSpacing; s += kStopSpacing) {
            if (deco::ceilingPressure(m_tissues, gfAt(s)) <= pressureAt(s) + 1e-4f)
                return s;
        }
        return std::ceil(depth / kStopSpacing) * kStopSpacing;
    }

    double firstStop() const { return m_anchor; }

    // No-decompression time in whole minutes (at most 250).
    int ndlMinutes(double depth)
    {
        m_deco.ndl = deco::ndlTime(m_deco, m_config, m_tissues, pressureAt(depth));
        return int(std::floor(std::min(m_deco.ndl, deco::kNdlLimit)));
    }

    double otu() const { return m_otu; }

private:
    const DiveSketch& m_sketch;
    deco::config_t m_config;
    deco::TissueState m_tissues;
    deco::DecoState m_deco;
    deco::GasMix m_gas;
    double m_anchor = 0.0;
    double m_otu = 0.0;
};

int temperatureAt(const DiveSketch& sketch, double depth)
{
    // Mixed layer down to 8 m, then a thermocline to the bottom water at 30 m.
    const double f = std::min(1.0, std::max(0.0, (depth - 8.0) / 22.0));
    return int(std::lround(sketch.surfaceTemperature + (sketch.bottomTemperature - sketch.surfaceTemperature) * f));
}

// Best gas for the way up: the richest decompression gas breathable at the
// depth, else the bottom gas. Closed circuit bails out only past the limit.
int bestGas(const DiveSketch& sketch, const DiveEngine& engine, double depth, int current)
{
    if (sketch.closedCircuit)
        return current;
    int best = 0;
    for (int i = 1; i < sketch.gases.size(); ++i) {
        const deco::GasMix mix(sketch.gases[i].o2, sketch.gases[i].he);
        if (deco::ppO2(mix, deco::kOpenCircuitSetpoint, engine.pressureAt(depth)) <= kDecoGasPpO2
            && mix.fO2 > deco::GasMix(sketch.gases[best].o2, sketch.gases[best].he).fO2)
            best = i;
    }
    return std::max(best, current);
}

} // namespace

void synthesizeDive(const DiveSketch& sketch, SimulatedDive& dive)
{
    SimRandom noise(sketch.noiseSeed);
    DiveEngine engine(sketch);
    const double dt = std::max(1, sketch.samplePeriod);
    const double limit = double(sketch.maxMinutes) * 60.0;

    dive.samplePeriod = quint8(dt);
    dive.gfLow = quint8(sketch.gfLow);
    dive.gfHigh = quint8(sketch.gfHigh);
    dive.surfacePressure = quint16(sketch.surfacePressure);
    dive.waterDensity = sketch.freshWater ? 1000 : 1025;
    dive.divemode = sketch.closedCircuit ? 1 : 0;
    dive.ocDiveMode = !sketch.closedCircuit;
    dive.gasEnabled = 0;
    for (int i = 0; i < sketch.gases.size() && i < 12; ++i) {
        // Closed circuit: the diluent is gas 0, the bailout gases from 3 on.
        const int slot = sketch.closedCircuit && i > 0 ? i + 2 : i;
        dive.gasO2[std::size_t(slot)] = quint8(sketch.gases[i].o2);
        dive.gasHe[std::size_t(slot)] = quint8(sketch.gases[i].he);
        dive.gasEnabled |= quint16(1u << slot);
    }
    for (int i = 0; i < 3; ++i)
        dive.setpoint[std::size_t(i)] = sketch.closedCircuit ? quint16(sketch.setpoints[std::size_t(i)]) : 0;
    for (std::size_t i = 0; i < 16; ++i) {
        dive.diverN2[i] = quint16(std::lround(engine.tissues().n2[i] * 1000.0f));
        dive.diverHe[i] = quint16(std::lround(engine.tissues().he[i] * 1000.0f));
    }

    double depth = 0.0;
    double t = 0.0;
    int levelIndex = 0;
    double levelTime = 0.0;
    bool onLevel = false;
    bool ascending = sketch.levels.isEmpty();
    double ascentStart = 0.0;
    int safetyLeft = 0;
    bool safetyDone = false;
    double maxDepth = 0.0;
    double depthTime = 0.0;
    double tank = sketch.tankStart;
    int gas = 0;
    int setpointIndex = 0;
    int ndl = 0;
    int minNdl = int(deco::kNdlLimit);
    double decoSeconds = 0.0;
    double ascentSeconds = 0.0;
    float cnsMax = 0.0f;
    float ppo2Min = 10.0f;
    float ppo2Max = 0.0f;
    int minTemp = 100;
    int maxTemp = -100;
    dive.samples.clear();

    auto record = [&]() {
        SimulatedSample s;
        s.depthDm = quint16(std::lround(depth * 10.0));
        s.gas = quint8(sketch.closedCircuit && gas > 0 ? gas + 2 : gas);
        s.closedCircuit = sketch.closedCircuit && gas == 0;
        s.setpoint = quint8(s.closedCircuit ? setpointIndex : 0);
        const double ceiling = engine.ceilingDepth(depth);
        if (ceiling > kArrived) {
            s.ceilingDm = quint16(std::lround(ceiling * 10.0));
            ndl = 0;
        } else if (depth > 1.0) {
            if (int(t) % 10 == 0 || ndl == 0)
                ndl = engine.ndlMinutes(depth);
            s.ndlMinutes = quint16(ndl);
        }
        if (depth > 1.0)
            minNdl = std::min(minNdl, ceiling > kArrived ? 0 : ndl);
        s.temperature = qint8(temperatureAt(sketch, depth));
        s.battery = quint16(std::max(3300.0, 4150.0 - t / 60.0));
        s.tankPressure = quint16(std::lround(std::max(0.0, tank)));
        s.tankTxIndex = sketch.tankStart > 0 ? 0 : 255;
        s.gfLow = quint8(sketch.gfLow);
        s.gfHigh = quint8(sketch.gfHigh);
        const float po2 = deco::ppO2(engine.gas(), engine.setpoint(), engine.pressureAt(depth));
        ppo2Min = std::min(ppo2Min, po2);
        ppo2Max = std::max(ppo2Max, po2);
        cnsMax = std::max(cnsMax, engine.tissues().cns);
        minTemp = std::min<int>(minTemp, s.temperature);
        maxTemp = std::max<int>(maxTemp, s.temperature);
        dive.samples.append(s);
    };

    record();
    while (true) {
        double target = depth;
        double rate = kAscentRate;
        bool atStop = false;
        if (!ascending && t >= limit) {
            ascending = true;
            ascentStart = t;
        }
        if (!ascending) {
            const DiveSketch::Level level = sketch.levels[levelIndex];
            onLevel = onLevel || std::fabs(depth - level.depth) <= kArrived;
            if (!onLevel) {
                target = level.depth;
                rate = level.depth > depth ? kDescentRate : kAscentRate;
            } else {
                levelTime += dt;
                // A diver never holds a depth to the decimetre.
                target = level.depth + noise.real(-0.3, 0.3);
                if (levelTime >= level.minutes * 60.0) {
                    levelTime = 0.0;
                    onLevel = false;
                    if (++levelIndex >= sketch.levels.size()) {
                        ascending = true;
                        ascentStart = t;
                    }
                }
            }
        }
        if (ascending) {
            const double stop = t >= limit + 30.0 * 60.0 ? 0.0 : engine.allowedStop(depth);
            if (stop == 0.0 && !safetyDone && maxDepth > 10.0 && depth > kSafetyStopDepth + kArrived) {
                target = kSafetyStopDepth;
            } else if (stop == 0.0 && !safetyDone && maxDepth > 10.0) {
                if (safetyLeft == 0)
                    safetyLeft = kSafetyStopSeconds;
                safetyLeft -= int(dt);
                if (safetyLeft <= 0)
                    safetyDone = true;
                target = depth;
            } else {
                target = stop;
                atStop = stop > 0.0 && depth <= stop + kArrived;
            }
        }
        const double move = rate * dt / 60.0;
        double next = target > depth ? std::min(target, depth + move) : std::max(target, depth - move);
        next = std::max(0.0, next);

        engine.step(depth, next, dt);
        tank -= kSacLitresPerMinute * double(engine.pressureAt((depth + next) / 2.0)) * dt / 60.0 / kTankLitres;
        depthTime += (depth + next) / 2.0 * dt;
        depth = next;
        t += dt;
        maxDepth = std::max(maxDepth, depth);
        if (atStop)
            decoSeconds += dt;
        if (ascending)
            ascentSeconds = t - ascentStart;

        const int wanted = bestGas(sketch, engine, depth, gas);
        if (sketch.closedCircuit) {
            const int sp = depth > 10.0 ? 1 : (ascending && depth < 3.0 ? 0 : setpointIndex);
            if (sp != setpointIndex) {
                setpointIndex = sp;
                engine.setGas(gas, setpointIndex);
            }
        } else if (wanted != gas && ascending) {
            gas = wanted;
            engine.setGas(gas, 0);
        }
        record();
        if (ascending && depth <= 0.0)
            break;
    }

    dive.maxDepthDm = quint16(std::lround(maxDepth * 10.0));
    dive.avgDepthDm = quint16(t > 0.0 ? std::lround(depthTime / t * 10.0) : 0);
    dive.minTemperature = qint8(minTemp);
    dive.maxTemperature = qint8(maxTemp);
    dive.ndl = quint32(std::max(0, minNdl));
    dive.deepestStop = quint16(std::lround(engine.firstStop() * 10.0));
    dive.totalDecoTime = quint32(decoSeconds);
    dive.ascentTime = quint32(ascentSeconds);
    dive.cnsBegin = 0;
    dive.cnsMax = quint16(std::lround(cnsMax * 100.0f));
    dive.pO2Min = quint16(std::lround(ppo2Min * 100.0f));
    dive.pO2Max = quint16(std::lround(ppo2Max * 100.0f));
    dive.otu = float(engine.otu());
    dive.iss = deco::maxSupersaturation(engine.tissues(), engine.pressureAt(0.0));
    dive.desatTime = quint32(std::lround(t / 60.0 * 4.0 + decoSeconds / 60.0 * 6.0));
    dive.endTime = dive.beginTime + qint64(t);
}
