#include "deco/config.h"

#include <algorithm>
#include <cmath>

namespace deco {

namespace {

template <typename T, std::size_t N>
constexpr std::uint32_t tableSize(const T (&)[N])
{
    return std::uint32_t(N);
}

// Metric and imperial values side by side; rates in bar/min (1 bar/min is
// taken as 10 m/min), depths in metres.
constexpr float kAscentRates[2][5] = {{0.762f, 0.9144f, 1.0668f, 1.2192f, 1.3716f},
                                      {0.8f, 1.0f, 1.1f, 1.2f, 1.5f}};
constexpr float kThirdValues[2][5] = {{3.2384f, 3.48224f, 3.72608f, 4.4576f, 5.18912f},
                                      {3.2f, 3.6f, 4.0f, 4.8f, 5.6f}};
constexpr float kLastStopDepths[2][2] = {{3.048f, 6.096f}, {3.0f, 6.0f}};
constexpr float kSecondRates[2] = {2.286f, 2.2f};
constexpr float kMinPpO2[3] = {0.16f, 0.17f, 0.18f};
constexpr float kMaxPpO2[8] = {1.0f, 1.1f, 1.2f, 1.3f, 1.4f, 1.5f, 1.6f, 1.7f};
constexpr float kGasDensityLimits[4] = {5.0f, 5.2f, 5.6f, 6.2f};
constexpr float kWaterDensities[3] = {1.03f, 1.0f, 1.02f};

constexpr float kMetricStopSpacing = 3.0f;
constexpr float kImperialStopSpacing = 3.048f;

bool usablePositive(float value)
{
    return std::isfinite(value) && value > 0.0f;
}

} // namespace

settings_t::~settings_t() = default;

bool settings_t::setSurfacePressure(float pressure)
{
    if (!usablePositive(pressure))
        return false;
    m_surfacePressure = pressure;
    return true;
}

config_t::config_t()
{
    m_setpoints[0].auxValue = 0;
    m_setpoints[1].auxValue = 300;
    m_setpoints[2].auxValue = 70;
    rebuildGasList();
    m_currentGas = std::uint8_t(firstGasIndex());
}

config_t::~config_t() = default;

void config_t::applyDefaults()
{
    m_units = 1;
    m_gradientFactors = GradientFactors(80, 80);
    m_waterType = SaltWater;
    m_waterDensity = kWaterDensities[SaltWater];
    m_surfacePressure = kStandardSurfacePressure;
    m_ascentRateIndex = 2;
    m_decoAscentRate = 0.6f;
    m_secondRateIndex = 2;
    m_thirdIndex = 2;
    m_minPpO2Index = 2;
    m_decoMaxPpO2Index = 6;
    m_bottomMaxPpO2Index = 4;
    m_gasDensityLimitIndex = 1;
    m_lastStopIndex = 0;
    applyTables();
    for (GasMix& g : m_openCircuitGases)
        g = kAir;
    for (GasMix& g : m_closedCircuitGases)
        g = kAir;
    // The first bail-out entry, enabled by the default mask, is nitrox 32.
    m_closedCircuitGases[3] = GasMix(32, 0);
    m_openCircuitMask = 0x01;
    m_closedCircuitMask = 0x09;
    m_decoGasesEnabled = 1;
    m_setpoints[0].ppO2 = 0.7f;
    m_setpoints[1].ppO2 = 1.3f;
    m_setpoints[2].ppO2 = 1.5f;
    m_currentSetpoint = 0;
    rebuildGasList();
    setDiveMode(OpenCircuitMode);
}

void config_t::setUnits(bool metric)
{
    m_units = metric ? 1 : 0;
    applyTables();
}

void config_t::applyTables()
{
    if (m_waterType < tableSize(kWaterDensities))
        m_waterDensity = kWaterDensities[m_waterType];
    const int u = isMetric() ? 1 : 0;
    m_ascentRateIndex %= tableSize(kAscentRates[0]);
    m_thirdIndex %= tableSize(kThirdValues[0]);
    m_minPpO2Index %= tableSize(kMinPpO2);
    m_decoMaxPpO2Index %= tableSize(kMaxPpO2);
    m_bottomMaxPpO2Index %= tableSize(kMaxPpO2);
    m_gasDensityLimitIndex %= tableSize(kGasDensityLimits);
    m_lastStopIndex %= tableSize(kLastStopDepths[0]);
    m_ascentRate = kAscentRates[u][m_ascentRateIndex];
    m_secondRate = kSecondRates[u];
    m_thirdValue = kThirdValues[u][m_thirdIndex];
    m_minPpO2 = kMinPpO2[m_minPpO2Index];
    m_decoMaxPpO2 = kMaxPpO2[m_decoMaxPpO2Index];
    m_bottomMaxPpO2 = kMaxPpO2[m_bottomMaxPpO2Index];
    m_gasDensityLimit = kGasDensityLimits[m_gasDensityLimitIndex];
    m_lastStopDepth = kLastStopDepths[u][m_lastStopIndex];
}

bool config_t::isClosedCircuit() const { return m_diveMode == ClosedCircuitMode; }
const GradientFactors& config_t::gradientFactors() const { return m_gradientFactors; }
const float& config_t::waterDensity() const { return m_waterDensity; }
float config_t::ascentRate() const { return m_ascentRate; }
float config_t::decoAscentRate() const { return m_decoAscentRate; }
float config_t::secondRate() const { return m_secondRate; }
float config_t::thirdValue() const { return m_thirdValue; }
float config_t::minPpO2() const { return m_minPpO2; }
float config_t::decoMaxPpO2() const { return m_decoMaxPpO2; }
float config_t::bottomMaxPpO2() const { return m_bottomMaxPpO2; }
float config_t::gasDensityLimit() const { return m_gasDensityLimit; }
bool config_t::usesSetpointAtSixMetres() const { return true; }
bool config_t::decoGasesEnabled() const { return m_decoGasesEnabled != 0; }
std::uint8_t config_t::waterType() const { return m_waterType; }
float config_t::lastStopDepth() const { return m_lastStopDepth; }
int config_t::gasCount() const { return m_sortedCount; }

int config_t::firstGasIndex() const
{
    return m_sortedCount > 0 ? m_sorted[0] : 0;
}

int config_t::nextGasIndex(int index) const
{
    for (int k = 0; k + 1 < m_sortedCount; ++k) {
        if (m_sorted[k] == index)
            return m_sorted[k + 1];
    }
    return index;
}

int config_t::currentGasIndex() const { return m_currentGas; }

const GasMix* config_t::currentTable() const
{
    const bool closedTable = m_diveMode == ClosedCircuitMode || m_diveMode == BailoutMode;
    return closedTable ? m_closedCircuitGases : m_openCircuitGases;
}

const GasMix& config_t::gas(int index) const
{
    if (index >= kGasSlots)
        index = 0;
    else if (index < 0)
        index = kGasSlots - 1;
    return currentTable()[index];
}

const GasMix& config_t::currentGas() const { return gas(m_currentGas); }
int config_t::currentSetpointIndex() const { return m_currentSetpoint; }

const Setpoint& config_t::setpoint(int index) const
{
    return m_setpoints[((index % kSetpoints) + kSetpoints) % kSetpoints];
}

float config_t::activeSetpoint() const
{
    return isClosedCircuit() ? setpoint(m_currentSetpoint).ppO2 : kOpenCircuitSetpoint;
}

void config_t::setDiveMode(std::uint32_t mode)
{
    m_diveMode = mode;
    rebuildGasList();
    m_currentGas = std::uint8_t(firstGasIndex());
}

void config_t::setGradientFactors(const GradientFactors& factors)
{
    m_gradientFactors = factors;
}

void config_t::rebuildGasList()
{
    int first = 0;
    int last = kGasSlots - 1;
    std::uint8_t mask = m_openCircuitMask;
    if (m_diveMode == ClosedCircuitMode) {
        last = 2;
        mask = m_closedCircuitMask;
    } else if (m_diveMode == BailoutMode) {
        first = 3;
        mask = m_closedCircuitMask;
    }
    const GasMix* table = currentTable();
    m_sortedCount = 0;
    for (int i = first; i <= last; ++i) {
        if ((mask & (1u << i)) == 0)
            continue;
        bool duplicate = false;
        for (int k = 0; k < m_sortedCount; ++k)
            duplicate = duplicate || table[m_sorted[k]].sameMix(table[i]);
        if (!duplicate)
            m_sorted[m_sortedCount++] = std::uint8_t(i);
    }
    std::stable_sort(m_sorted, m_sorted + m_sortedCount, [table](std::uint8_t l, std::uint8_t r) {
        if (table[l].fO2 != table[r].fO2)
            return table[l].fO2 < table[r].fO2;
        return table[l].fHe < table[r].fHe;
    });
}

void config_t::keepOrResetCurrentGas()
{
    for (int k = 0; k < m_sortedCount; ++k) {
        if (m_sorted[k] == m_currentGas)
            return;
    }
    m_currentGas = std::uint8_t(firstGasIndex());
}

void config_t::setWaterType(std::uint8_t type)
{
    m_waterType = type;
    if (type < tableSize(kWaterDensities))
        m_waterDensity = kWaterDensities[type];
}

void config_t::setAscentRateIndex(std::uint32_t index) { m_ascentRateIndex = index; applyTables(); }
void config_t::setThirdIndex(std::uint32_t index) { m_thirdIndex = index; applyTables(); }
void config_t::setMinPpO2Index(std::uint32_t index) { m_minPpO2Index = index; applyTables(); }
void config_t::setDecoMaxPpO2Index(std::uint32_t index) { m_decoMaxPpO2Index = index; applyTables(); }
void config_t::setBottomMaxPpO2Index(std::uint32_t index) { m_bottomMaxPpO2Index = index; applyTables(); }
void config_t::setGasDensityLimitIndex(std::uint32_t index) { m_gasDensityLimitIndex = index; applyTables(); }
void config_t::setLastStopIndex(std::uint32_t index) { m_lastStopIndex = index; applyTables(); }

bool config_t::setDecoAscentRate(float barPerMinute)
{
    if (!usablePositive(barPerMinute))
        return false;
    m_decoAscentRate = barPerMinute;
    return true;
}

bool config_t::setOpenCircuitGas(int index, const GasMix& gas)
{
    if (index < 0 || index >= kGasSlots)
        return false;
    m_openCircuitGases[index] = gas;
    rebuildGasList();
    keepOrResetCurrentGas();
    return true;
}

bool config_t::setClosedCircuitGas(int index, const GasMix& gas)
{
    if (index < 0 || index >= kGasSlots)
        return false;
    m_closedCircuitGases[index] = gas;
    rebuildGasList();
    keepOrResetCurrentGas();
    return true;
}

void config_t::setEnabledMasks(std::uint8_t openCircuit, std::uint8_t closedCircuit)
{
    m_openCircuitMask = openCircuit;
    m_closedCircuitMask = closedCircuit;
    rebuildGasList();
    keepOrResetCurrentGas();
}

bool config_t::setGasSwitchStop(float minutes)
{
    if (!(minutes >= 0.0f) || !std::isfinite(minutes))
        return false;
    m_gasSwitchStop = minutes;
    return true;
}

void config_t::setDecoGasesEnabled(bool enabled)
{
    m_decoGasesEnabled = enabled ? 1 : 0;
}

bool config_t::setCurrentGasIndex(int index)
{
    if (index < 0 || index >= kGasSlots)
        return false;
    m_currentGas = std::uint8_t(index);
    return true;
}

int config_t::sortedGasIndex(int position) const
{
    if (position < 0 || position >= m_sortedCount)
        return -1;
    return m_sorted[position];
}

bool config_t::setSetpoint(int index, const Setpoint& setpoint)
{
    if (index < 0 || index >= kSetpoints)
        return false;
    m_setpoints[index] = setpoint;
    return true;
}

void config_t::setCurrentSetpointIndex(int index)
{
    m_currentSetpoint = std::uint8_t(((index % kSetpoints) + kSetpoints) % kSetpoints);
}

float depthToPressure(const config_t& config, float depth)
{
    return config.waterDensity() * kGravity * depth / 100.0f + config.surfacePressure();
}

float pressureToDepth(const config_t& config, float pressure)
{
    return (pressure - config.surfacePressure()) * 100.0f / (config.waterDensity() * kGravity);
}

float stopSpacing(const config_t& config)
{
    return config.isMetric() ? kMetricStopSpacing : kImperialStopSpacing;
}

float stopPressure(const config_t& config, int n)
{
    if (n <= 0)
        return config.surfacePressure();
    const float lastStop = config.lastStopDepth();
    if (n == 1)
        return depthToPressure(config, lastStop);
    const float step = stopSpacing(config);
    return depthToPressure(config, std::round(lastStop / step) * step + float(n - 1) * step);
}

} // namespace deco
