#pragma once

// When a ceiling-following state cannot change. At constant pressure a
// state updated with updateDecoCeiling keeps its first stop, anchor and
// first timed stop for minutes at a time; over such a stretch its ceiling is
// just the tissues' ceiling under the state's gradient factor. These
// functions tell, for the range of tensions a stretch of samples spans,
// whether that is so for every sample, with a margin wider than the
// rounding of the computation, so that skipping the updates changes nothing.

#include "deco/config.h"
#include "deco/decostate.h"
#include "deco/tissuemodel.h"

namespace deco {

// The lowest and highest tension of each compartment over a stretch of
// tissue states.
class TissueBounds
{
public:
    explicit TissueBounds(const TissueState& first) : m_low(first), m_high(first) {}

    void include(const TissueState& tissues);

    const TissueState& low() const { return m_low; }
    const TissueState& high() const { return m_high; }
    // False when the states disagree on whether helium is followed.
    bool uniform() const { return m_uniform; }

private:
    TissueState m_low;
    TissueState m_high;
    bool m_uniform = true;
};

// True when updateDecoCeiling of `state` at `ambient`, with any tissues
// within the bounds, would keep the fields that the ceiling and later
// updates read (first stop, anchor, listed first timed stop, the
// no-decompression limit's answer); false when that is not certain. Only the
// closed-form no-decompression limit counts while no stop is needed.
bool ceilingStateHolds(const DecoState& state, const config_t& config, const TissueBounds& bounds, float ambient);

// The ceiling updateDecoCeiling gives for these tissues when the state
// holds; stored in the state as the update would.
float heldCeiling(DecoState& state, const config_t& config, const TissueState& tissues, float ambient);

} // namespace deco
