#pragma once

// The engine's parameter set: units and surface pressure (settings_t), and
// everything else the decompression computations read (config_t): gradient
// factors, water, ascent rates, ppO2 limits, last-stop depth, the gas tables
// of open and closed circuit with their enabled masks, and the setpoints.

#include "deco/gas.h"

#include <cstdint>

namespace deco {

class settings_t
{
public:
    virtual ~settings_t();

    bool isMetric() const { return m_units != 0; }
    std::uint8_t units() const { return m_units; }
    float surfacePressure() const { return m_surfacePressure; }
    // Refuses a non-finite or non-positive pressure.
    bool setSurfacePressure(float pressure);

protected:
    std::uint8_t m_units = 1; // 1 metric, 0 imperial
    float m_surfacePressure = 1.0f;
};

enum DiveMode : std::uint32_t {
    OpenCircuitMode = 0,
    ClosedCircuitMode = 1,
    BailoutMode = 2, // open-circuit breathing of closed-circuit entries 3 to 7
};

enum WaterType : std::uint8_t { SaltWater = 0, FreshWater = 1, En13319Water = 2 };

class config_t : public settings_t
{
public:
    static constexpr int kGasSlots = 8;
    static constexpr int kSetpoints = 3;
    static constexpr int kDecoSetpoint = 2;

    // Construction leaves a usable configuration (table defaults), with plain
    // Bühlmann 100/100, density 1.0, surface 1.0 bar and open-circuit setpoints;
    // applyDefaults then sets the engine's defaults.
    config_t();
    ~config_t() override;

    // The defaults routine.
    void applyDefaults();
    // Sets the units and looks the tables up again, metric or imperial.
    void setUnits(bool metric);

    virtual bool isClosedCircuit() const;
    virtual const GradientFactors& gradientFactors() const;
    virtual const float& waterDensity() const;
    virtual float ascentRate() const;
    virtual float decoAscentRate() const;
    virtual float secondRate() const;
    virtual float thirdValue() const;
    virtual float minPpO2() const;
    virtual float decoMaxPpO2() const;
    virtual float bottomMaxPpO2() const;
    virtual float gasDensityLimit() const;
    virtual bool usesSetpointAtSixMetres() const;
    virtual bool decoGasesEnabled() const;
    virtual std::uint8_t waterType() const;
    virtual float lastStopDepth() const;
    virtual int gasCount() const;
    virtual int firstGasIndex() const;
    virtual int nextGasIndex(int index) const;
    virtual int currentGasIndex() const;
    virtual const GasMix& gas(int index) const;
    virtual const GasMix& currentGas() const;
    virtual int currentSetpointIndex() const;
    virtual const Setpoint& setpoint(int index) const;
    virtual float activeSetpoint() const;
    virtual void setDiveMode(std::uint32_t mode);
    virtual void setGradientFactors(const GradientFactors& factors);

    std::uint32_t diveMode() const { return m_diveMode; }
    // Sets the density for the known types; another value keeps the density.
    void setWaterType(std::uint8_t type);
    // Indices are reduced modulo their table's length.
    void setAscentRateIndex(std::uint32_t index);
    void setThirdIndex(std::uint32_t index);
    void setMinPpO2Index(std::uint32_t index);
    void setDecoMaxPpO2Index(std::uint32_t index);
    void setBottomMaxPpO2Index(std::uint32_t index);
    void setGasDensityLimitIndex(std::uint32_t index);
    void setLastStopIndex(std::uint32_t index);
    // Refuses a non-finite or non-positive rate.
    bool setDecoAscentRate(float barPerMinute);

    // Gas tables and masks: the sorted list is rebuilt; the current gas stays
    // when it is still listed, else it becomes the first listed gas.
    bool setOpenCircuitGas(int index, const GasMix& gas);
    bool setClosedCircuitGas(int index, const GasMix& gas);
    void setEnabledMasks(std::uint8_t openCircuit, std::uint8_t closedCircuit);
    std::uint8_t openCircuitMask() const { return m_openCircuitMask; }
    std::uint8_t closedCircuitMask() const { return m_closedCircuitMask; }
    void setDecoGasesEnabled(bool enabled);
    // Least time spent at the stop where the ascent switches to a deco gas,
    // minutes (0, the default: no such minimum). Refuses a negative or
    // non-finite time.
    bool setGasSwitchStop(float minutes);
    float gasSwitchStop() const { return m_gasSwitchStop; }
    bool setCurrentGasIndex(int index);
    // Position k (0-based) of the sorted gas list.
    int sortedGasIndex(int position) const;

    bool setSetpoint(int index, const Setpoint& setpoint);
    void setCurrentSetpointIndex(int index);

private:
    void applyTables();
    void rebuildGasList();
    void keepOrResetCurrentGas();
    const GasMix* currentTable() const;

    GradientFactors m_gradientFactors;
    std::uint32_t m_diveMode = OpenCircuitMode;
    std::uint8_t m_waterType = SaltWater;
    float m_waterDensity = 1.0f;
    std::uint32_t m_ascentRateIndex = 2;
    float m_ascentRate = 1.1f;
    float m_decoAscentRate = 0.6f;
    std::uint32_t m_secondRateIndex = 2;
    float m_secondRate = 2.2f;
    std::uint32_t m_thirdIndex = 2;
    float m_thirdValue = 4.0f;
    std::uint32_t m_minPpO2Index = 2;
    float m_minPpO2 = 0.18f;
    std::uint32_t m_decoMaxPpO2Index = 6;
    float m_decoMaxPpO2 = 1.6f;
    std::uint32_t m_bottomMaxPpO2Index = 4;
    float m_bottomMaxPpO2 = 1.4f;
    std::uint32_t m_gasDensityLimitIndex = 1;
    float m_gasDensityLimit = 5.2f;
    std::uint32_t m_lastStopIndex = 0;
    float m_lastStopDepth = 3.0f;
    GasMix m_openCircuitGases[kGasSlots];
    GasMix m_closedCircuitGases[kGasSlots];
    std::uint8_t m_openCircuitMask = 0x01;
    std::uint8_t m_closedCircuitMask = 0x09;
    std::uint8_t m_sortedCount = 0;
    std::uint8_t m_sorted[kGasSlots] = {};
    std::uint8_t m_currentGas = 0;
    std::uint8_t m_decoGasesEnabled = 1;
    float m_gasSwitchStop = 0.0f;
    Setpoint m_setpoints[kSetpoints];
    std::uint8_t m_currentSetpoint = 0;
};

constexpr float kGravity = 9.80665f;

// Absolute pressure at a depth in metres with the configured water and surface.
float depthToPressure(const config_t& config, float depth);
float pressureToDepth(const config_t& config, float pressure);
// Spacing of the stops: 3 m, or 10 ft (3.048 m) in imperial units.
float stopSpacing(const config_t& config);
// Ambient pressure of stop n: 0 is the surface, 1 the last stop, then one
// spacing deeper each.
float stopPressure(const config_t& config, int n);

} // namespace deco
