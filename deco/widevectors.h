#pragma once

// Engine functions whose loops run as vectors get a second version built for
// processors with AVX2, which take eight floats or four doubles at a time;
// the version is chosen once, when the program starts. Only AVX2 is enabled,
// not FMA, so no multiply and add are fused: each lane makes the very
// operations of the plain version and every result is the same to the bit.
// Internal to the engine.

#if defined(__x86_64__) && defined(__linux__) && defined(__GNUC__) && !defined(__clang__)
#define DECO_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define DECO_WIDE_VECTORS
#endif
