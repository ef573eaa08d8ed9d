#pragma once

#include "deco/tissuemodel.h"

namespace deco {

// e^x of sixteen arguments at once, for x in [-700, 0] (below -700 the result
// is e^-700, which every caller here treats as 0). At most 1.5 ulp from the
// exact value; see exponential.cpp for the bound.
void exponentials(const double (&x)[kCompartments], double (&out)[kCompartments]);

// The factors of one duration: decay[i] = float(e^(-k[i] t)) and
// gain[i] = float((1 - e^(-k[i] t)) / k[i]) for positive rate constants k,
// exactly as computing them with std::exp gives them. Returns false (and
// leaves decay and gain unspecified) where that cannot be guaranteed: then
// the caller computes them with std::exp.
bool agreedFactors(const double (&k)[kCompartments], double t, CompartmentArray& decay, CompartmentArray& gain);

} // namespace deco
