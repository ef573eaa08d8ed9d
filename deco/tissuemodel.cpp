#include "deco/tissuemodel.h"

#include "deco/exponential.h"
#include "deco/lanes.h"
#include "deco/widevectors.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace deco {

namespace {

// A pressure change this small over the segment (bar times minutes) loads as
// constant pressure at the mean: Schreiner's rate term would only add noise.
constexpr float kConstantChangeLimit = 1.0f / 3000.0f;

// Recently used durations kept per inert gas. The simulation alternates a few
// durations (its two-second step, the direct ascent of the no-decompression
// test, the ascent to the first stop), so one entry would thrash.
constexpr int kCachedDurations = 4;

// Largest whole-second count a duration converts to; far beyond saturation of
// the slowest compartment, small enough that loading it stays bounded.
constexpr std::uint32_t kMaxLoadSeconds = 4000000000u;

TissueModel g_model;
double g_rateConstant[2][kCompartments] = {};   // k in double, for the factor computations
DurationFactors g_rows[2][kFactorRows];         // the power-of-two-second rows as durations
DurationFactors g_cache[2][kCachedDurations];
int g_cacheNext[2] = {0, 0};
std::uint64_t g_exponentials = 0;
bool g_modelInstalled = false;

bool usableTable(const CompartmentArray& values, float low, float high, bool includeHigh)
{
    for (float v : values) {
        if (!std::isfinite(v) || !(v > low) || v > high || (!includeHigh && v == high))
            return false;
    }
    return true;
}

void clearCaches()
{
    for (auto& perGas : g_cache) {
        for (DurationFactors& entry : perGas)
            entry.minutes = -1.0f;
    }
    g_cacheNext[0] = g_cacheNext[1] = 0;
}

void computeFactors(InertGas gas, float minutes, DurationFactors& out)
{
    out.minutes = minutes;
    const double t = double(minutes);
    if (agreedFactors(g_rateConstant[gas], t, out.decay, out.gain)) {
        g_exponentials += kCompartments;
        return;
    }
    for (int i = 0; i < kCompartments; ++i) {
        const double k = g_rateConstant[gas][i];
        const double e = countedExp(-k * t);
        out.decay[i] = float(e);
        out.gain[i] = float((1.0 - e) / k);
    }
}

// A gradient factor below 0 (or not a number) would let the ceiling's
// denominator reach 0; such a factor counts as 0, the most cautious one.
inline float usableGf(float gf)
{
    return gf >= 0.0f ? gf : 0.0f;
}

// Sixteen tensions held as four vectors of four lanes, so that they stay in
// registers while rows are applied: each row is then twelve vector operations
// instead of a loop over a copy in memory. Each lane does exactly what the
// plain loop does to its compartment.
static_assert(kLaneGroups == 4, "four vectors of four compartments");
struct Tensions
{
    Lanes q[kLaneGroups];
};

inline Tensions tensionsOf(const CompartmentArray& values)
{
    Tensions t;
    std::memcpy(&t, values.data(), sizeof t);
    return t;
}

inline void store(const Tensions& t, CompartmentArray& values)
{
    std::memcpy(values.data(), &t, sizeof t);
}

// tension <- tension + uptake * (inspired - tension), all sixteen at once,
// written out group by group so that the tensions stay in registers.
inline void relax(Tensions& tension, const CompartmentArray& uptake, float inspired)
{
    const float* u = uptake.data();
    tension.q[0] += lanesAt(u) * (inspired - tension.q[0]);
    tension.q[1] += lanesAt(u + 4) * (inspired - tension.q[1]);
    tension.q[2] += lanesAt(u + 8) * (inspired - tension.q[2]);
    tension.q[3] += lanesAt(u + 12) * (inspired - tension.q[3]);
}

// Haldane loading of one gas's tensions for whole seconds: one 512-second row
// per 512 seconds beyond the first 512, then one row per bit, lowest first.
inline void applyRows(Tensions& tension, const CompartmentArray (&rows)[kFactorRows], float inspired,
                      std::uint32_t seconds)
{
    constexpr int largestRow = kFactorRows - 1;
    for (; seconds > kLargestRowSeconds; seconds -= kLargestRowSeconds)
        relax(tension, rows[largestRow], inspired);
    for (; seconds != 0; seconds &= seconds - 1)
        relax(tension, rows[__builtin_ctz(seconds)], inspired);
}

// Schreiner: P(t) = Pi2 - R (1 - e^(-kt)) / k - (Pi1 - P0) e^(-kt).
void schreiner(CompartmentArray& tension, InertGas gas, float inspired1, float inspired2, float minutes)
{
    const float rate = (inspired2 - inspired1) / minutes;
    const DurationFactors& f = durationFactors(gas, minutes);
    CompartmentArray t = tension;
    for (int i = 0; i < kCompartments; ++i)
        t[i] = inspired2 - rate * f.gain[i] - (inspired1 - t[i]) * f.decay[i];
    tension = t;
}

// Branch-free helium share so that the ceilings vectorise: the tiny addend
// leaves any real tension unchanged and turns an empty compartment's 0/0 into
// 0/tiny, i.e. nitrogen's coefficients, as mixedCoefficients gives.
constexpr float kTiny = 1e-30f;

// Ceiling of every compartment, computed as compartmentCeiling does but in
// one pass over all sixteen so that it vectorises.
void allCeilings(const TissueState& state, float gf, CompartmentArray& ceilings)
{
    const TissueModel& m = g_model;
    CompartmentArray p;
    for (int i = 0; i < kCompartments; ++i)
        p[i] = state.n2[i] + state.he[i];
    CompartmentArray a = m.a[Nitrogen];
    CompartmentArray b = m.b[Nitrogen];
    if (state.heliumUsed) {
        for (int i = 0; i < kCompartments; ++i) {
            const float r = state.he[i] / (p[i] + kTiny);
            a[i] = (1.0f - r) * a[i] + r * m.a[Helium][i];
            b[i] = (1.0f - r) * b[i] + r * m.b[Helium][i];
        }
    }
    // With gf >= 0 and b <= 1 the denominator is at least 1, so an empty
    // compartment comes out at or below 0: no ceiling, without a branch.
    gf = usableGf(gf);
    for (int i = 0; i < kCompartments; ++i)
        ceilings[i] = (p[i] - a[i] * gf) / (gf / b[i] - gf + 1.0f);
}

// The largest ceiling above 0 over the listed compartments, with the very
// operations of allCeilings; gf already made usable.
inline float listedCeiling(const CompartmentArray& n2, const CompartmentArray& he, bool helium, float gf,
                           const std::uint8_t* compartments, int count)
{
    const TissueModel& m = g_model;
    float ceiling = 0.0f;
    for (int n = 0; n < count; ++n) {
        const int i = compartments[n];
        const float p = n2[i] + he[i];
        float a = m.a[Nitrogen][i];
        float b = m.b[Nitrogen][i];
        if (helium) {
            const float r = he[i] / (p + kTiny);
            a = (1.0f - r) * a + r * m.a[Helium][i];
            b = (1.0f - r) * b + r * m.b[Helium][i];
        }
        const float c = (p - a * gf) / (gf / b - gf + 1.0f);
        if (c > ceiling)
            ceiling = c;
    }
    return ceiling;
}

// Tensions of the listed compartments for a block of pieces, one row per
// compartment, one column per piece.
constexpr int kCeilingBlock = 8;
struct BlockTensions
{
    float n2[kCompartments][kCeilingBlock];
    float he[kCompartments][kCeilingBlock];
};

// listedCeiling of each piece of a block, the pieces side by side so that
// the operations of one compartment run as vectors across them.
template <bool Helium>
void blockCeilings(const BlockTensions& block, float gf, const std::uint8_t* compartments, int count,
                   float (&best)[kCeilingBlock])
{
    const TissueModel& m = g_model;
    for (float& c : best)
        c = 0.0f;
    for (int n = 0; n < count; ++n) {
        const int i = compartments[n];
        const float aN2 = m.a[Nitrogen][i];
        const float bN2 = m.b[Nitrogen][i];
        const float aHe = m.a[Helium][i];
        const float bHe = m.b[Helium][i];
        for (int k = 0; k < kCeilingBlock; ++k) {
            const float p = block.n2[n][k] + block.he[n][k];
            float a = aN2;
            float b = bN2;
            if (Helium) {
                const float r = block.he[n][k] / (p + kTiny);
                a = (1.0f - r) * a + r * aHe;
                b = (1.0f - r) * b + r * bHe;
            }
            const float c = (p - a * gf) / (gf / b - gf + 1.0f);
            best[k] = c > best[k] ? c : best[k];
        }
    }
}

// Pieces of equal length loaded one after the other at constant pressure.
struct LoadedPieces
{
    std::uint32_t seconds;
    int count;
    float inspiredN2;
    float inspiredHe;
};

// ConstantLoad::applyEach on tensions in registers. The pieces go in
// blocks: the loads one after the other, keeping the listed compartments'
// tensions of each piece, then the ceilings of the whole block at once, one
// piece per vector lane. A block's pieces past the last repeat its tensions.
// Helium tensions that are not followed do not change: they are put in the
// block once.
template <bool Helium>
void loadEachPiece(Tensions& n2Tensions, Tensions& heTensions, const LoadedPieces& pieces, float gf,
                   const std::uint8_t* compartments, int count, float* ceilings)
{
    const TissueModel& m = g_model;
    // Local copies stay in registers.
    Tensions n2 = n2Tensions;
    Tensions he = heTensions;
    const std::uint32_t seconds = pieces.seconds;
    // A piece of a power of two seconds, as the two-second samples are, is
    // one row.
    const bool oneRow = seconds != 0 && seconds <= kLargestRowSeconds && (seconds & (seconds - 1)) == 0;
    const int row = oneRow ? __builtin_ctz(seconds) : 0;
    BlockTensions block;
    if (!Helium) {
        float heNow[kCompartments];
        std::memcpy(heNow, &he, sizeof heNow);
        for (int n = 0; n < count; ++n) {
            for (int k = 0; k < kCeilingBlock; ++k)
                block.he[n][k] = heNow[compartments[n]];
        }
    }
    for (int first = 0; first < pieces.count; first += kCeilingBlock) {
        const int inBlock = std::min(kCeilingBlock, pieces.count - first);
        for (int k = 0; k < kCeilingBlock; ++k) {
            if (k < inBlock && oneRow) {
                relax(n2, m.uptake[Nitrogen][row], pieces.inspiredN2);
                if (Helium)
                    relax(he, m.uptake[Helium][row], pieces.inspiredHe);
            } else if (k < inBlock) {
                applyRows(n2, m.uptake[Nitrogen], pieces.inspiredN2, seconds);
                if (Helium)
                    applyRows(he, m.uptake[Helium], pieces.inspiredHe, seconds);
            }
            float n2Now[kCompartments];
            std::memcpy(n2Now, &n2, sizeof n2Now);
            for (int n = 0; n < count; ++n)
                block.n2[n][k] = n2Now[compartments[n]];
            if (Helium) {
                float heNow[kCompartments];
                std::memcpy(heNow, &he, sizeof heNow);
                for (int n = 0; n < count; ++n)
                    block.he[n][k] = heNow[compartments[n]];
            }
        }
        float best[kCeilingBlock];
        blockCeilings<Helium>(block, gf, compartments, count, best);
        std::copy(best, best + inBlock, ceilings + first);
    }
    n2Tensions = n2;
    heTensions = he;
}

[[maybe_unused]] const bool g_defaultModelInstalled = selectZhl16c();

} // namespace

double countedExp(double x)
{
    ++g_exponentials;
    return std::exp(x);
}

std::uint64_t exponentialEvaluations()
{
    return g_exponentials;
}

bool selectModel(const char* name,
                 const CompartmentArray& n2HalfTime, const CompartmentArray& n2A, const CompartmentArray& n2B,
                 const CompartmentArray& heHalfTime, const CompartmentArray& heA, const CompartmentArray& heB)
{
    if (name == nullptr)
        return false;
    const CompartmentArray* halfTimes[2] = {&n2HalfTime, &heHalfTime};
    const CompartmentArray* as[2] = {&n2A, &heA};
    const CompartmentArray* bs[2] = {&n2B, &heB};
    for (int g = 0; g < 2; ++g) {
        if (!usableTable(*halfTimes[g], 0.0f, 1.0e6f, true) || !usableTable(*as[g], 0.0f, 100.0f, true)
            || !usableTable(*bs[g], 0.0f, 1.0f, true))
            return false;
    }
    // The model in place already (every simulation selects its model): its
    // constants and cached factors are those that would be derived again.
    bool installed = g_modelInstalled && std::strncmp(g_model.name, name, sizeof g_model.name - 1) == 0;
    for (int g = 0; installed && g < 2; ++g) {
        installed = g_model.halfTime[g] == *halfTimes[g] && g_model.a[g] == *as[g] && g_model.b[g] == *bs[g];
    }
    if (installed)
        return true;

    std::memset(g_model.name, 0, sizeof g_model.name);
    std::strncpy(g_model.name, name, sizeof g_model.name - 1);
    const double ln2 = std::log(2.0);
    for (int g = 0; g < 2; ++g) {
        g_model.halfTime[g] = *halfTimes[g];
        g_model.a[g] = *as[g];
        g_model.b[g] = *bs[g];
        for (int i = 0; i < kCompartments; ++i) {
            const double k = ln2 / double((*halfTimes[g])[i]);
            g_rateConstant[g][i] = k;
            g_model.k[g][i] = float(k);
        }
        for (int j = 0; j < kFactorRows; ++j) {
            const float rowMinutes = float(double(1u << j) / 60.0);
            DurationFactors& row = g_rows[g][j];
            computeFactors(InertGas(g), rowMinutes, row);
            g_model.decay[g][j] = row.decay;
            g_model.gain[g][j] = row.gain;
            for (int i = 0; i < kCompartments; ++i) {
                const double t = double(1u << j) / 60.0;
                g_model.uptake[g][j][i] = float(1.0 - countedExp(-g_rateConstant[g][i] * t));
            }
        }
    }
    clearCaches();
    g_modelInstalled = true;
    return true;
}

bool selectZhl16c()
{
    return selectModel("zhl16c", kZhl16cN2HalfTime, kZhl16cN2A, kZhl16cN2B,
                       kZhl16cHeHalfTime, kZhl16cHeA, kZhl16cHeB);
}

const TissueModel& tissueModel()
{
    return g_model;
}

const DurationFactors& durationFactors(InertGas gas, float minutes)
{
    // A row's duration is 2^j seconds to within its rounding, so only the
    // row of the nearest power of two can be it.
    const float seconds = minutes * 60.0f;
    if (seconds >= 0.5f && seconds < float(kLargestRowSeconds) + 0.5f) {
        const auto whole = std::uint32_t(seconds + 0.5f);
        if ((whole & (whole - 1)) == 0) {
            const DurationFactors& row = g_rows[gas][__builtin_ctz(whole)];
            if (row.minutes == minutes)
                return row;
        }
    }
    for (const DurationFactors& entry : g_cache[gas]) {
        if (entry.minutes == minutes)
            return entry;
    }
    DurationFactors& slot = g_cache[gas][g_cacheNext[gas]];
    g_cacheNext[gas] = (g_cacheNext[gas] + 1) % kCachedDurations;
    computeFactors(gas, minutes, slot);
    return slot;
}

TissueState::TissueState()
{
    initTissues(*this, kStandardSurfacePressure);
}

void initTissues(TissueState& state, float surfacePressure)
{
    state.n2.fill(inspiredN2(kAir, kOpenCircuitSetpoint, surfacePressure));
    state.he.fill(0.0f);
    state.cns = 0.0f;
    state.heliumUsed = 0;
}

void setTissues(TissueState& state, const CompartmentArray& n2, const CompartmentArray& he, float cns)
{
    state.n2 = n2;
    state.he = he;
    state.cns = cns;
    state.heliumUsed = 0;
    for (float t : he) {
        if (t != 0.0f)
            state.heliumUsed = 1;
    }
}

std::uint32_t roundedSeconds(float minutes)
{
    const float seconds = std::round(minutes * 60.0f);
    if (!(seconds > 0.0f))
        return 0;
    if (seconds >= float(kMaxLoadSeconds))
        return kMaxLoadSeconds;
    return std::uint32_t(seconds);
}

ConstantLoad::ConstantLoad(const GasMix& gas, float setpoint, float ambient)
    : m_n2(inspiredN2(gas, setpoint, ambient)),
      m_he(inspiredHe(gas, setpoint, ambient)),
      m_setsHelium(gas.hasHelium())
{
}

void ConstantLoad::apply(TissueState& state, std::uint32_t seconds) const
{
    if (m_setsHelium)
        state.heliumUsed = 1;
    const TissueModel& m = g_model;
    Tensions n2 = tensionsOf(state.n2);
    applyRows(n2, m.uptake[Nitrogen], m_n2, seconds);
    store(n2, state.n2);
    if (state.heliumUsed) {
        Tensions he = tensionsOf(state.he);
        applyRows(he, m.uptake[Helium], m_he, seconds);
        store(he, state.he);
    }
}

void ConstantLoad::applyChunks(TissueState& state, std::uint32_t chunks) const
{
    if (m_setsHelium)
        state.heliumUsed = 1;
    const TissueModel& m = g_model;
    constexpr int largestRow = kFactorRows - 1;
    Tensions n2 = tensionsOf(state.n2);
    for (std::uint32_t c = 0; c < chunks; ++c)
        relax(n2, m.uptake[Nitrogen][largestRow], m_n2);
    store(n2, state.n2);
    if (state.heliumUsed) {
        Tensions he = tensionsOf(state.he);
        for (std::uint32_t c = 0; c < chunks; ++c)
            relax(he, m.uptake[Helium][largestRow], m_he);
        store(he, state.he);
    }
}

void ConstantLoad::applyEach(TissueState& state, std::uint32_t seconds, int pieces, float gf,
                             const std::uint8_t* compartments, int count, float* ceilings) const
{
    if (m_setsHelium)
        state.heliumUsed = 1;
    Tensions n2 = tensionsOf(state.n2);
    Tensions he = tensionsOf(state.he);
    const LoadedPieces pieceLoads{seconds, pieces, m_n2, m_he};
    if (state.heliumUsed != 0)
        loadEachPiece<true>(n2, he, pieceLoads, usableGf(gf), compartments, count, ceilings);
    else
        loadEachPiece<false>(n2, he, pieceLoads, usableGf(gf), compartments, count, ceilings);
    store(n2, state.n2);
    store(he, state.he);
}

void ConstantLoad::applyEach(TissueState& state, std::uint32_t seconds, int pieces, float gf, float* ceilings) const
{
    if (m_setsHelium || state.heliumUsed) {
        static constexpr std::uint8_t kAll[kCompartments] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        applyEach(state, seconds, pieces, gf, kAll, kCompartments, ceilings);
        return;
    }
    // Without helium a and b are the model's: the sixteen ceilings of a
    // piece are four vector operations per step of allCeilings, with the
    // helium tensions (unchanging) added as there, and their largest is
    // taken as ceilingPressure takes it, per lane and then across the lanes.
    const TissueModel& m = g_model;
    gf = usableGf(gf);
    Tensions n2 = tensionsOf(state.n2);
    const Tensions he = tensionsOf(state.he);
    Lanes aGf[kLaneGroups];
    Lanes denominator[kLaneGroups];
#pragma GCC unroll 4
    for (int g = 0; g < kLaneGroups; ++g) {
        aGf[g] = lanesAt(&m.a[Nitrogen][kLanes * g]) * gf;
        denominator[g] = gf / lanesAt(&m.b[Nitrogen][kLanes * g]) - gf + 1.0f;
    }
    const bool oneRow = seconds != 0 && seconds <= kLargestRowSeconds && (seconds & (seconds - 1)) == 0;
    const int row = oneRow ? __builtin_ctz(seconds) : 0;
    for (int k = 0; k < pieces; ++k) {
        if (oneRow)
            relax(n2, m.uptake[Nitrogen][row], m_n2);
        else
            applyRows(n2, m.uptake[Nitrogen], m_n2, seconds);
        Lanes best = {0.0f, 0.0f, 0.0f, 0.0f};
#pragma GCC unroll 4
        for (int g = 0; g < kLaneGroups; ++g) {
            const Lanes c = (n2.q[g] + he.q[g] - aGf[g]) / denominator[g];
            best = c > best ? c : best;
        }
        float ceiling = 0.0f;
#pragma GCC unroll 4
        for (int l = 0; l < kLanes; ++l)
            ceiling = best[l] > ceiling ? best[l] : ceiling;
        ceilings[k] = ceiling;
    }
    store(n2, state.n2);
}

void loadConstant(TissueState& state, std::uint32_t seconds, const GasMix& gas, float setpoint, float ambient)
{
    ConstantLoad(gas, setpoint, ambient).apply(state, seconds);
}

void loadSegment(TissueState& state, float p1, float p2, float minutes, const GasMix& gas, float setpoint)
{
    if (!(minutes > 0.0f))
        return;
    if (std::fabs(p1 - p2) * minutes <= kConstantChangeLimit) {
        loadConstant(state, roundedSeconds(minutes), gas, setpoint, (p1 + p2) / 2.0f);
        return;
    }
    if (gas.hasHelium())
        state.heliumUsed = 1;
    schreiner(state.n2, Nitrogen, inspiredN2(gas, setpoint, p1), inspiredN2(gas, setpoint, p2), minutes);
    if (state.heliumUsed)
        schreiner(state.he, Helium, inspiredHe(gas, setpoint, p1), inspiredHe(gas, setpoint, p2), minutes);
}

void mixedCoefficients(const TissueState& state, int compartment, float& a, float& b)
{
    const TissueModel& m = g_model;
    a = m.a[Nitrogen][compartment];
    b = m.b[Nitrogen][compartment];
    if (!state.heliumUsed)
        return;
    const float total = state.n2[compartment] + state.he[compartment];
    // No tension to weigh the mix by: nitrogen's coefficients rather than 0/0.
    if (!(total > 0.0f))
        return;
    const float r = state.he[compartment] / total;
    a = (1.0f - r) * a + r * m.a[Helium][compartment];
    b = (1.0f - r) * b + r * m.b[Helium][compartment];
}

float compartmentCeiling(const TissueState& state, int compartment, float gf)
{
    if (compartment < 0 || compartment >= kCompartments)
        return 0.0f;
    const float p = state.n2[compartment] + state.he[compartment];
    if (!(p > 0.0f))
        return 0.0f;
    float a = 0.0f;
    float b = 1.0f;
    mixedCoefficients(state, compartment, a, b);
    gf = usableGf(gf);
    return (p - a * gf) / (gf / b - gf + 1.0f);
}

void compartmentCeilings(const TissueState& state, float gf, CompartmentArray& ceilings)
{
    allCeilings(state, gf, ceilings);
}

void nitrogenCeilings(const TissueState& first, const TissueState& second, float gf, CompartmentArray& firstCeilings,
                      CompartmentArray& secondCeilings)
{
    const TissueModel& m = g_model;
    gf = usableGf(gf);
    // On local copies, so that the loop runs as vectors.
    CompartmentArray c1;
    CompartmentArray c2;
    for (int i = 0; i < kCompartments; ++i) {
        const float a = m.a[Nitrogen][i] * gf;
        const float denominator = gf / m.b[Nitrogen][i] - gf + 1.0f;
        c1[i] = (first.n2[i] + first.he[i] - a) / denominator;
        c2[i] = (second.n2[i] + second.he[i] - a) / denominator;
    }
    firstCeilings = c1;
    secondCeilings = c2;
}

float ceilingPressure(const TissueState& state, float gf)
{
    CompartmentArray ceilings;
    allCeilings(state, gf, ceilings);
    // The largest ceiling above 0 (not-a-number ones never count), taken per
    // lane of four and then across the lanes, which vectorises: any order of
    // "take c when c > the best so far" ends at the same value.
    float best[kLanes] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int i = 0; i < kCompartments; i += kLanes) {
        for (int l = 0; l < kLanes; ++l)
            best[l] = ceilings[i + l] > best[l] ? ceilings[i + l] : best[l];
    }
    float ceiling = 0.0f;
    for (float c : best) {
        if (c > ceiling)
            ceiling = c;
    }
    return ceiling;
}

float ceilingOfCompartments(const TissueState& state, float gf, const std::uint8_t* compartments, int count)
{
    return listedCeiling(state.n2, state.he, state.heliumUsed != 0, usableGf(gf), compartments, count);
}

float mValue(const TissueState& state, float ambient, int compartment, float gf)
{
    if (compartment < 0 || compartment >= kCompartments)
        return 0.0f;
    float a = 0.0f;
    float b = 1.0f;
    mixedCoefficients(state, compartment, a, b);
    gf = usableGf(gf);
    return (gf / b - gf + 1.0f) * ambient + a * gf;
}

void mValues(const TissueState& state, float ambient, float gf, CompartmentArray& limits)
{
    const TissueModel& m = g_model;
    CompartmentArray a = m.a[Nitrogen];
    CompartmentArray b = m.b[Nitrogen];
    if (state.heliumUsed) {
        for (int i = 0; i < kCompartments; ++i) {
            // A share of 0 leaves nitrogen's a and b exactly, as mixedCoefficients
            // does for a compartment without tension.
            const float total = state.n2[i] + state.he[i];
            const float r = total > 0.0f ? state.he[i] / (total > 0.0f ? total : 1.0f) : 0.0f;
            a[i] = (1.0f - r) * a[i] + r * m.a[Helium][i];
            b[i] = (1.0f - r) * b[i] + r * m.b[Helium][i];
        }
    }
    gf = usableGf(gf);
    for (int i = 0; i < kCompartments; ++i)
        limits[i] = (gf / b[i] - gf + 1.0f) * ambient + a[i] * gf;
}

float maxSupersaturation(const TissueState& state, float ambient)
{
    float worst = 0.0f;
    for (int i = 0; i < kCompartments; ++i) {
        const float p = state.n2[i] + state.he[i];
        if (!(p > ambient))
            continue;
        const float ratio = (p - ambient) / (mValue(state, ambient, i, 1.0f) - ambient);
        if (ratio > worst)
            worst = ratio;
    }
    return worst;
}

bool isSafeAt(const TissueState& state, float ambient, float gf)
{
    CompartmentArray ceilings;
    allCeilings(state, gf, ceilings);
    for (float c : ceilings) {
        if (!(ambient > c))
            return false;
    }
    return true;
}

} // namespace deco
