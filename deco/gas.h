#pragma once

// Breathing gases, gradient factors and closed-circuit setpoints, and the
// inspired pressures that the tissue model loads from them.
//
// Pressures are absolute, in bar, single precision. An open-circuit dive has no
// setpoint: the engine passes positive infinity wherever a setpoint is taken,
// and any non-finite setpoint (NaN included) means open circuit.

#include <cmath>
#include <cstdint>
#include <limits>

namespace deco {

// Alveolar water-vapour pressure, bar, taken off the ambient pressure before
// the inert fractions apply.
constexpr float kWaterVapourPressure = 0.0627f;

// Standard surface pressure, bar: the default of the configuration and the
// pressure at which a default-constructed diver is saturated.
constexpr float kStandardSurfacePressure = 1.013f;

// Setpoint value that stands for open circuit.
constexpr float kOpenCircuitSetpoint = std::numeric_limits<float>::infinity();

namespace detail {

// Writes value in decimal at text[pos], left-padded with zeros to minDigits,
// never past text[capacity - 1] (kept for the terminator). Returns the new end.
constexpr int appendNumber(char* text, int capacity, int pos, int value, int minDigits)
{
    char digits[12] = {};
    int count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0 && count < 11);
    while (count < minDigits && count < 11)
        digits[count++] = '0';
    while (count > 0 && pos < capacity - 1)
        text[pos++] = digits[--count];
    return pos;
}

constexpr int appendChar(char* text, int capacity, int pos, char c)
{
    if (pos < capacity - 1)
        text[pos++] = c;
    return pos;
}

// Copies a given name, truncated so that the terminator always fits.
constexpr void copyName(char* text, int capacity, const char* given)
{
    int i = 0;
    for (; i < capacity - 1 && given[i] != '\0'; ++i)
        text[i] = given[i];
    for (; i < capacity; ++i)
        text[i] = '\0';
}

constexpr int clampPercent(int value, int high)
{
    return value < 0 ? 0 : (value > high ? high : value);
}

} // namespace detail

// One breathing gas. Built from whole percentages; the name is generated unless
// one is given ("21%", "32%", "18/45", "OXY").
struct GasMix
{
    static constexpr int kNameSize = 8;

    char name[kNameSize] = {};
    float fO2 = 0.21f;
    float fHe = 0.0f;
    float fN2 = 0.79f;

    constexpr GasMix() : GasMix(21, 0) {}

    // O2 is capped at 100 and He at 100 - O2 (negative percentages count as 0).
    // A given name keeps at most 7 characters so that it stays terminated.
    constexpr GasMix(int o2Percent, int hePercent, const char* givenName = nullptr)
    {
        const int o2 = detail::clampPercent(o2Percent, 100);
        const int he = detail::clampPercent(hePercent, 100 - o2);
        fO2 = float(o2) / 100.0f;
        fHe = float(he) / 100.0f;
        const float n2 = 1.0f - fO2 - fHe;
        fN2 = n2 < 0.0f ? 0.0f : (n2 > 1.0f ? 1.0f : n2);
        if (givenName != nullptr) {
            detail::copyName(name, kNameSize, givenName);
        } else if (o2 >= 100) {
            detail::copyName(name, kNameSize, "OXY");
        } else {
            int pos = detail::appendNumber(name, kNameSize, 0, o2, 2);
            if (he == 0) {
                detail::appendChar(name, kNameSize, pos, '%');
            } else {
                pos = detail::appendChar(name, kNameSize, pos, '/');
                detail::appendNumber(name, kNameSize, pos, he, 2);
            }
        }
    }

    constexpr bool hasHelium() const { return fHe > 0.0f; }
    constexpr bool sameMix(const GasMix& other) const { return fO2 == other.fO2 && fHe == other.fHe; }
};

inline constexpr GasMix kAir{21, 0};
inline constexpr GasMix kOxygen{100, 0};

// Gradient factors as fractions (0.30 for 30 %). The default is plain
// Bühlmann, 100/100, named "BHL".
struct GradientFactors
{
    static constexpr int kNameSize = 16;

    float gfLow = 1.0f;
    float gfHigh = 1.0f;
    char name[kNameSize] = {'B', 'H', 'L'};

    constexpr GradientFactors() = default;

    // Negative percentages count as 0: a negative factor can make the ceiling's
    // denominator vanish. The name defaults to "low/high".
    constexpr GradientFactors(int lowPercent, int highPercent, const char* givenName = nullptr)
    {
        const int low = lowPercent < 0 ? 0 : lowPercent;
        const int high = highPercent < 0 ? 0 : highPercent;
        gfLow = float(low) / 100.0f;
        gfHigh = float(high) / 100.0f;
        if (givenName != nullptr) {
            detail::copyName(name, kNameSize, givenName);
        } else {
            detail::copyName(name, kNameSize, "");
            int pos = detail::appendNumber(name, kNameSize, 0, low, 1);
            pos = detail::appendChar(name, kNameSize, pos, '/');
            detail::appendNumber(name, kNameSize, pos, high, 1);
        }
    }
};

// Closed-circuit oxygen setpoint. Only ppO2 is read by the engine; the other
// fields travel with the record.
struct Setpoint
{
    float ppO2 = kOpenCircuitSetpoint;
    std::uint16_t auxValue = 0;
    std::uint8_t auxFlag1 = 0;
    std::uint8_t auxFlag2 = 0;
};

inline bool isOpenCircuit(float setpoint)
{
    return !std::isfinite(setpoint);
}

// Closed circuit: the loop holds the setpoint, the diluent's inert gases share
// what remains of the ambient pressure in their own proportion.
inline float closedCircuitInert(float inertFraction, const GasMix& gas, float setpoint, float ambient)
{
    if (gas.fO2 == 1.0f || inertFraction == 0.0f)
        return 0.0f;
    const float available = ambient - kWaterVapourPressure;
    if (setpoint >= available)
        return 0.0f;
    return (available - setpoint) * inertFraction / (1.0f - gas.fO2);
}

inline float inspiredN2(const GasMix& gas, float setpoint, float ambient)
{
    if (isOpenCircuit(setpoint))
        return (ambient - kWaterVapourPressure) * gas.fN2;
    return closedCircuitInert(gas.fN2, gas, setpoint, ambient);
}

inline float inspiredHe(const GasMix& gas, float setpoint, float ambient)
{
    if (isOpenCircuit(setpoint))
        return (ambient - kWaterVapourPressure) * gas.fHe;
    return closedCircuitInert(gas.fHe, gas, setpoint, ambient);
}

// Oxygen partial pressure (no water-vapour correction).
inline float ppO2(const GasMix& gas, float setpoint, float ambient)
{
    if (isOpenCircuit(setpoint))
        return ambient * gas.fO2;
    return ambient < setpoint ? ambient : setpoint;
}

// Deepest ambient pressure at which the gas may be breathed with the given
// ppO2 limit (the setpoint caps it in closed circuit).
inline float modPressure(const GasMix& gas, float setpoint, float ppO2Limit)
{
    const float limit = isOpenCircuit(setpoint) || ppO2Limit < setpoint ? ppO2Limit : setpoint;
    return limit / gas.fO2;
}

} // namespace deco
