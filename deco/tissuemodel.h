#pragma once

// The sixteen-compartment Bühlmann ZHL-16C model with gradient factors: the
// coefficient tables, one diver's tissue state, inert-gas loading at constant
// pressure (Haldane) and over linear pressure changes (Schreiner), ceilings,
// M-values and supersaturation.
//
// Pressures are absolute, in bar; times are minutes unless a count of seconds
// is stated. Everything runs on single-precision floats.

#include "deco/gas.h"

#include <array>
#include <cstdint>

namespace deco {

constexpr int kCompartments = 16;
using CompartmentArray = std::array<float, kCompartments>;

// ZHL-16C, compartments 1, 2, 3 ... 16 (compartment 1b is not used), with the
// published four-significant-digit values.
inline constexpr CompartmentArray kZhl16cN2HalfTime = {
    4.0f, 8.0f, 12.5f, 18.5f, 27.0f, 38.3f, 54.3f, 77.0f,
    109.0f, 146.0f, 187.0f, 239.0f, 305.0f, 390.0f, 498.0f, 635.0f};
inline constexpr CompartmentArray kZhl16cN2A = {
    1.2599f, 1.0000f, 0.8618f, 0.7562f, 0.6200f, 0.5043f, 0.4410f, 0.4000f,
    0.3750f, 0.3500f, 0.3295f, 0.3065f, 0.2835f, 0.2610f, 0.2480f, 0.2327f};
inline constexpr CompartmentArray kZhl16cN2B = {
    0.5050f, 0.6514f, 0.7222f, 0.7825f, 0.8126f, 0.8434f, 0.8693f, 0.8910f,
    0.9092f, 0.9222f, 0.9319f, 0.9403f, 0.9477f, 0.9544f, 0.9602f, 0.9653f};
inline constexpr CompartmentArray kZhl16cHeHalfTime = {
    1.51f, 3.02f, 4.72f, 6.99f, 10.21f, 14.48f, 20.53f, 29.11f,
    41.20f, 55.19f, 70.69f, 90.34f, 115.29f, 147.42f, 188.24f, 240.03f};
inline constexpr CompartmentArray kZhl16cHeA = {
    1.7424f, 1.3830f, 1.1919f, 1.0458f, 0.9220f, 0.8205f, 0.7305f, 0.6502f,
    0.5950f, 0.5545f, 0.5333f, 0.5189f, 0.5181f, 0.5176f, 0.5172f, 0.5119f};
inline constexpr CompartmentArray kZhl16cHeB = {
    0.4245f, 0.5747f, 0.6527f, 0.7223f, 0.7582f, 0.7957f, 0.8279f, 0.8553f,
    0.8757f, 0.8903f, 0.8997f, 0.9073f, 0.9122f, 0.9171f, 0.9217f, 0.9267f};

// One diver's compartment tensions and oxygen load; a plain value.
struct TissueState
{
    CompartmentArray n2{};
    CompartmentArray he{};
    float cns = 0.0f;            // fraction, 1.0 = 100 %
    std::uint8_t heliumUsed = 0; // helium tensions are followed only once set
    // Carried with the state and copied, never read by the engine.
    std::uint8_t carriedCode = 2;
    float carriedValue = 0.32f;

    // Saturated with air at the standard surface pressure.
    TissueState();
};

// Inert gases of the model; index into the coefficient tables.
enum InertGas : int { Nitrogen = 0, Helium = 1 };

constexpr int kFactorRows = 10;           // 1, 2, 4 ... 512 seconds
constexpr std::uint32_t kLargestRowSeconds = 512;

// The installed model: coefficients, rate constants and the power-of-two-second
// factor rows, per inert gas.
struct TissueModel
{
    char name[16] = {};
    CompartmentArray halfTime[2]{};
    CompartmentArray a[2]{};
    CompartmentArray b[2]{};
    CompartmentArray k[2]{};                 // ln 2 / half-time, per minute
    CompartmentArray decay[2][kFactorRows]{};  // e^(-k t), t = 2^j seconds
    CompartmentArray gain[2][kFactorRows]{};   // (1 - e^(-k t)) / k
    CompartmentArray uptake[2][kFactorRows]{}; // 1 - e^(-k t), computed directly for precision
};

// Installs a model and derives its constants; clears the per-duration caches
// (selecting the model in place again changes nothing).
// Returns false and keeps the current model when a table is unusable
// (half-times must be positive, b in (0, 1], a positive, all finite).
// The ZHL-16C model is installed at start-up, so selecting it is optional.
bool selectModel(const char* name,
                 const CompartmentArray& n2HalfTime, const CompartmentArray& n2A, const CompartmentArray& n2B,
                 const CompartmentArray& heHalfTime, const CompartmentArray& heA, const CompartmentArray& heB);
bool selectZhl16c();
const TissueModel& tissueModel();

// Factors e^(-k t) and (1 - e^(-k t)) / k of every compartment for a duration
// t in minutes: the power-of-two-second rows when t is one of them, otherwise a
// small cache of recent durations, computed in double precision on a miss.
struct DurationFactors
{
    float minutes = -1.0f;
    CompartmentArray decay{};
    CompartmentArray gain{};
};
const DurationFactors& durationFactors(InertGas gas, float minutes);

// Exponentials evaluated by the engine since start-up. Constant-pressure
// loading of whole seconds never adds to it; tests and benchmarks use it to
// show that.
std::uint64_t exponentialEvaluations();
// Exponential used by the engine's own code, counted.
double countedExp(double x);

void initTissues(TissueState& state, float surfacePressure);
void setTissues(TissueState& state, const CompartmentArray& n2, const CompartmentArray& he, float cns);

// Haldane loading for a whole number of seconds at constant ambient pressure,
// built from the power-of-two-second rows without calling the exponential.
void loadConstant(TissueState& state, std::uint32_t seconds, const GasMix& gas, float setpoint, float ambient);

// loadConstant at one pressure on one gas, with its inspired pressures worked
// out once: apply(state, n) is loadConstant(state, n, gas, setpoint, ambient)
// to the last bit, for a stay loaded piece by piece.
class ConstantLoad
{
public:
    ConstantLoad(const GasMix& gas, float setpoint, float ambient);
    void apply(TissueState& state, std::uint32_t seconds) const;
    // apply(state, n) is applyChunks(state, chunksOf(n)) followed by
    // apply(state, n - 512 * chunksOf(n)): whole 512-second rows first, and
    // chunks applied in several goes add up to the same bits.
    static std::uint32_t chunksOf(std::uint32_t seconds)
    {
        return seconds > kLargestRowSeconds ? (seconds - 1) / kLargestRowSeconds : 0;
    }
    void applyChunks(TissueState& state, std::uint32_t chunks) const;
    // `pieces` loads of `seconds` one after the other, each followed by
    // ceilingOfCompartments(state, gf, compartments, count) into ceilings[k].
    void applyEach(TissueState& state, std::uint32_t seconds, int pieces, float gf, const std::uint8_t* compartments,
                   int count, float* ceilings) const;
    // The same with the model's ceiling, ceilingPressure(state, gf), after each.
    void applyEach(TissueState& state, std::uint32_t seconds, int pieces, float gf, float* ceilings) const;

private:
    float m_n2;
    float m_he;
    bool m_setsHelium;
};

// Schreiner loading over a linear change from p1 to p2 during the given
// minutes; a change small enough (|dP| * t <= 1/3000) counts as constant.
void loadSegment(TissueState& state, float p1, float p2, float minutes, const GasMix& gas, float setpoint);

// Whole seconds of a duration in minutes, rounded; 0 for a non-positive or
// non-numeric duration and bounded so that huge durations cannot overflow.
std::uint32_t roundedSeconds(float minutes);

// Bühlmann a and b of a compartment, mixed by its helium share.
void mixedCoefficients(const TissueState& state, int compartment, float& a, float& b);

// Tolerated ambient pressure of one compartment and of the whole model.
float compartmentCeiling(const TissueState& state, int compartment, float gf);
float ceilingPressure(const TissueState& state, float gf);
// compartmentCeiling of all sixteen compartments at once, the same values.
void compartmentCeilings(const TissueState& state, float gf, CompartmentArray& ceilings);
// compartmentCeilings of two states without helium at once (their helium
// tensions are added, their helium shares not looked at), the same values.
void nitrogenCeilings(const TissueState& first, const TissueState& second, float gf, CompartmentArray& firstCeilings,
                      CompartmentArray& secondCeilings);
// ceilingPressure over the listed compartments only: the same value when no
// other compartment's ceiling can be deeper than theirs.
float ceilingOfCompartments(const TissueState& state, float gf, const std::uint8_t* compartments, int count);
// Gradient-factor M-value of a compartment at ambient pressure p.
float mValue(const TissueState& state, float ambient, int compartment, float gf);
// mValue of all sixteen compartments at once, the same values.
void mValues(const TissueState& state, float ambient, float gf, CompartmentArray& limits);
// Largest (p - P) / (M - P) over the compartments, with the plain M-value.
float maxSupersaturation(const TissueState& state, float ambient);
// True when the ambient pressure is above every compartment's ceiling.
bool isSafeAt(const TissueState& state, float ambient, float gf);

} // namespace deco
