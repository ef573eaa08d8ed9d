#include "deco/oxygen.h"

#include <cmath>

namespace deco {

namespace {

// 0.6 atm in bar: no CNS load below it.
constexpr float kCnsThreshold = 0.5921538f;
constexpr float kBarToAtm = 0.986923f;
// Width of the 0.6 ... 1.65 atm range in bar, so that x runs 0 ... 1 over it.
constexpr float kCnsRange = 1.0362691f;

// Single-exposure limits in minutes for ppO2 0.60, 0.65 ... 1.65, filled in
// at 0.05 steps, with 7 minutes at the top.
constexpr int kLimitCount = 22;
constexpr float kCnsLimits[kLimitCount] = {
    720.0f, 645.0f, 570.0f, 510.0f, 450.0f, 405.0f, 360.0f, 330.0f, 300.0f, 270.0f, 240.0f,
    225.0f, 210.0f, 195.0f, 180.0f, 165.0f, 150.0f, 135.0f, 120.0f, 83.0f, 45.0f, 7.0f};

constexpr float kCnsHalfTime = 90.0f;
constexpr float kNegligibleCns = 0.001f;

} // namespace

float cnsRatePerMinute(float ppO2)
{
    // Written so that NaN also gives 0.
    if (!(ppO2 >= kCnsThreshold))
        return 0.0f;
    const float x = (ppO2 * kBarToAtm - kCnsThreshold) / kCnsRange;
    float limit = 0.0f;
    if (x <= 0.0f) {
        limit = kCnsLimits[0];
    } else if (x >= 1.0f) {
        limit = kCnsLimits[kLimitCount - 1];
    } else {
        const float scaled = float(kLimitCount - 1) * x;
        int i = int(scaled);
        // Rounding can bring 21 * x to 21 for x just below 1: stay in the table.
        if (i > kLimitCount - 2)
            i = kLimitCount - 2;
        const float fraction = scaled - float(i);
        limit = kCnsLimits[i] + fraction * (kCnsLimits[i + 1] - kCnsLimits[i]);
    }
    return 1.0f / limit;
}

void updateCns(TissueState& state, float p1, float p2, float minutes, const GasMix& gas, float setpoint)
{
    if (!(minutes > 0.0f))
        return;
    const float mean = (ppO2(gas, setpoint, p1) + ppO2(gas, setpoint, p2)) / 2.0f;
    if (mean > 0.6f) {
        state.cns += cnsRatePerMinute(mean) * minutes;
    } else if (state.cns > kNegligibleCns) {
        state.cns *= float(countedExp(-std::log(2.0) * double(minutes) / double(kCnsHalfTime)));
    } else {
        state.cns = 0.0f;
    }
}

float otuPerMinute(float ppO2)
{
    if (!(ppO2 > 0.5f))
        return 0.0f;
    return std::pow(0.5f / (ppO2 - 0.5f), -0.8333333f);
}

} // namespace deco
