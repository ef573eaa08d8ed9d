#include "deco/exponential.h"

#include "deco/widevectors.h"

#include <cstdint>
#include <cstring>

namespace deco {

namespace {

// Four-lane double vectors are passed between the file's own inline helpers
// only, so the argument-passing convention for them without AVX is of no
// concern here.
#pragma GCC diagnostic ignored "-Wpsabi"

typedef double Doubles __attribute__((vector_size(32)));
typedef std::int64_t Words __attribute__((vector_size(32)));
typedef float Floats __attribute__((vector_size(16)));
constexpr int kLanes = 4;
static_assert(kCompartments % kLanes == 0, "whole vectors of compartments");

inline Doubles lanesAt(const double* p)
{
    Doubles v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// e^x = 2^n e^r with n the integer nearest x / ln 2 and |r| <= ln 2 / 2 + 1e-13.
//
// Error bound, for x in [-700, 0], in units of the last place (ulp) of the
// result; eps = 2^-53, and the result's ulp is at least eps times its value:
// - r = (x - n L1) - n L2 with L1 + L2 = ln 2 (L1 has 32 significant bits, so
//   n L1 is exact for |n| <= 1010): at most one rounding of x - n L1 (it is
//   exact by Sterbenz's lemma except at the very edge), one of n L2 and one
//   of the difference, and |n| |ln 2 - L1 - L2| < 1e-23: |dr| < 6e-17,
//   i.e. a relative error of e^r below 6e-17 (0.55 eps).
// - e^r is the Taylor polynomial of degree 13: the remainder is below
//   0.3466^14 / 14! * e^0.3466 < 7e-18 relative (0.07 eps).
// - q = 1/2! + r/3! + ... + r^11/13! by Horner: every step's rounding is
//   damped by |r c(j+1)/c(j)| <= 0.12, so q is within 1.3 eps relative
//   (coefficient roundings included); r^2 q <= 0.0723 carries 2 more
//   roundings, so its error is below 0.0723 * 3.3 eps < 0.24 eps.
// - s = r + r^2 q: one rounding, |s| < 0.42, so below 0.5 * 2^-54 < 0.25 eps
//   of a result of at least 0.707; 1 + s: one rounding, half an ulp.
// - Scaling by 2^n is exact: the results stay normal (e^-700 > 1e-305).
// Sum: 0.5 ulp + (0.55 + 0.07 + 0.24 + 0.25 / 0.707) eps relative, which is
// below 1.5 ulp wherever the result lies in its binade.
inline Doubles exponential(Doubles x)
{
    constexpr double kInvLn2 = 0x1.71547652b82fep0;
    constexpr double kLn2High = 0x1.62e42fee00000p-1;
    constexpr double kLn2Low = 0x1.a39ef35793c76p-33;
    constexpr double kShifter = 0x1.8p52;   // adding it rounds to an integer
    x = x < -700.0 ? Doubles{} - 700.0 : x;
    const Doubles shifted = x * kInvLn2 + kShifter;
    const Doubles n = shifted - kShifter;
    const Doubles r = (x - n * kLn2High) - n * kLn2Low;
    // Written out: the compiler keeps a loop over the coefficients otherwise.
    Doubles q = r * (1.0 / 6227020800) + 1.0 / 479001600;
    q = q * r + 1.0 / 39916800;
    q = q * r + 1.0 / 3628800;
    q = q * r + 1.0 / 362880;
    q = q * r + 1.0 / 40320;
    q = q * r + 1.0 / 5040;
    q = q * r + 1.0 / 720;
    q = q * r + 1.0 / 120;
    q = q * r + 1.0 / 24;
    q = q * r + 1.0 / 6;
    q = q * r + 1.0 / 2;
    const Doubles s = r + (r * r) * q;
    // The low bits of the shifted value are n; 2^n is built in the exponent field.
    Words shiftedBits;
    std::memcpy(&shiftedBits, &shifted, sizeof shiftedBits);
    std::int64_t shifterBits;
    std::memcpy(&shifterBits, &kShifter, sizeof shifterBits);
    const Words scaleBits = (shiftedBits - shifterBits + 1023) << 52;
    Doubles scale;
    std::memcpy(&scale, &scaleBits, sizeof scale);
    return (1.0 + s) * scale;
}

// The result moved by a whole number of representable doubles.
inline Doubles stepped(Doubles v, std::int64_t steps)
{
    Words bits;
    std::memcpy(&bits, &v, sizeof bits);
    bits += steps;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

} // namespace

void exponentials(const double (&x)[kCompartments], double (&out)[kCompartments])
{
    for (int i = 0; i < kCompartments; i += kLanes) {
        const Doubles e = exponential(lanesAt(x + i));
        std::memcpy(out + i, &e, sizeof e);
    }
}

// std::exp is within 1 ulp of the exact value, ours within 1.5 ulp, so the
// library's result lies within 2.5 ulp of ours, i.e. within 5 representable
// doubles even where the ulp halves. Eight steps either side enclose it. Each
// factor is a monotone function of e (rounded subtraction, division by a
// positive k and the conversion to float keep the order), so where both ends
// of the enclosure give the same float, so does the library's e.
DECO_WIDE_VECTORS
bool agreedFactors(const double (&k)[kCompartments], double t, CompartmentArray& decay, CompartmentArray& gain)
{
    constexpr std::int64_t kEnclosureSteps = 8;
    Words agree = Words{} == 0;
    for (int i = 0; i < kCompartments; i += kLanes) {
        const Doubles rate = lanesAt(k + i);
        const Doubles x = -rate * t;
        const Doubles e = exponential(x);
        const Doubles low = stepped(e, -kEnclosureSteps);
        const Doubles high = stepped(e, kEnclosureSteps);
        const Floats decayLow = __builtin_convertvector(low, Floats);
        const Floats decayHigh = __builtin_convertvector(high, Floats);
        const Floats gainLow = __builtin_convertvector((1.0 - high) / rate, Floats);
        const Floats gainHigh = __builtin_convertvector((1.0 - low) / rate, Floats);
        // Below -700 every e from 0 to ours gives decay 0 and 1 - e = 1, the
        // same factors. x <= 0 also rules out a NaN duration.
        agree &= (x <= 0.0) & __builtin_convertvector(decayLow == decayHigh, Words)
                 & __builtin_convertvector(gainLow == gainHigh, Words);
        std::memcpy(decay.data() + i, &decayLow, sizeof decayLow);
        std::memcpy(gain.data() + i, &gainLow, sizeof gainLow);
    }
    return (agree[0] & agree[1] & agree[2] & agree[3]) != 0;
}

} // namespace deco
