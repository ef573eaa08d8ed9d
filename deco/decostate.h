#pragma once

// What a dive computer shows at one instant: the no-decompression limit or,
// once stops are required, the first stop, the list of stops with their
// times, the time to surface, the CNS reached during the ascent and the
// ceiling under interpolated gradient factors. One DecoState is updated again
// and again during a simulation; each update starts its searches from the
// previous result.
//
// Pressures are absolute, in bar; times are minutes.

#include "deco/config.h"
#include "deco/tissuemodel.h"

#include <array>
#include <cstdint>

namespace deco {

// One listed stop. An entry not yet written by the current computation keeps
// the time found for the same stop depth last time (or 5 minutes): it seeds
// the stop-time search.
struct DecoStop
{
    float pressure = 0.0f;
    float time = 5.0f;
    std::uint8_t gasIndex = 0;      // into the configuration's gas table
    std::uint8_t setpointIndex = 0;
    std::uint8_t flag = 0;          // 0 for computed stops
};

constexpr int kMaxStops = 48;
constexpr float kInitialStopGuess = 5.0f;
constexpr float kNdlLimit = 250.0f;        // minutes; also the "unlimited" answer
constexpr float kMaxStopMinutes = 2000.0f; // a stop that never clears is listed with this
constexpr int kMaxStopIndex = 100;         // deepest stop the first-stop search goes to
constexpr int kSearchStepSeconds = 5;
constexpr int kNdlSearchSteps = 3000;      // 250 minutes
constexpr int kStopSearchSteps = 24000;    // 2000 minutes

struct DecoState
{
    float timeToSurface = 0.0f;
    float totalStopTime = 0.0f;
    float ceiling = 0.0f;            // bar; 0 until the first update
    float ndl = kNdlLimit;
    float maxCns = 0.0f;             // highest CNS during the ascent, fraction
    int firstStopIndex = 0;
    float firstStopPressure = kStandardSurfacePressure;
    // Deepest first stop since the state was last free of stops: gradient
    // factors run from gfLow there to gfHigh at the surface.
    int anchorStopIndex = 0;
    float anchorPressure = kStandardSurfacePressure;
    // Deepest stop pressure seen; shallower than it the ascent is timed at the
    // deco ascent rate.
    float slowRatePressure = 0.0f;
    int stopCount = 0;
    std::array<DecoStop, kMaxStops> stops{};
    // Supersaturation at the surface after the whole simulated ascent.
    float surfaceSupersaturation = 0.0f;

    DecoState() = default;
    explicit DecoState(const config_t& config);
};

void initDecoState(DecoState& state, const config_t& config);

// One update at ambient pressure p: the no-decompression limit while no stop
// is needed, the schedule otherwise, then the ceiling. The tissues are only read.
void updateDecoState(DecoState& state, const config_t& config, const TissueState& tissues, float ambient);

// The ceiling of updateDecoState, the same to the last bit, for a state that
// only follows the ceiling: the schedule is walked down to its first stop
// that takes time and no further, so the stop times, the time to surface and
// the CNS of the ascent are not computed, and a no-decompression limit is
// only told apart from 0 (any other limit reads 250). A state
// updated this way must not be updated with updateDecoState as well.
void updateDecoCeiling(DecoState& state, const config_t& config, const TissueState& tissues, float ambient);

// Gradient factor at stop n (pressure stopPressure): gfLow at the anchor stop,
// rising linearly in pressure to gfHigh at the surface.
float gfAtStop(const DecoState& state, const config_t& config, int n, float stopPressure);

// No-decompression limit at ambient pressure p, minutes (0 ... 250), with the
// current gas: closed form for nitrogen in open circuit, a 5-second search
// otherwise, warm-started from state.ndl.
float ndlTime(const DecoState& state, const config_t& config, const TissueState& tissues, float ambient);

// Minutes to breathe the gas at stopPressure until nextStopPressure is allowed
// under gf; infinity when it never is within the search range. Closed form for
// nitrogen; with helium the first allowed 5-second step of a search that
// firstGuess seeds.
float stopTime(const TissueState& tissues, const GasMix& gas, float setpoint, float stopPressure,
               float nextStopPressure, float gf, float firstGuess);

// Sets the first-stop index and pressure (0 when no stop is needed) and moves
// the anchor.
void findFirstStop(DecoState& state, const config_t& config, const TissueState& tissues, float ambient);

// Simulates the ascent with its stops on a copy of the tissues and lists them.
void computeSchedule(DecoState& state, const config_t& config, const TissueState& tissues, float ambient);

// The update while no stop is needed: time to surface of a direct ascent and
// the no-decompression limit; clears the stops and the anchor.
void updateNoDecompression(DecoState& state, const config_t& config, const TissueState& tissues, float ambient);

} // namespace deco
