#pragma once

// dive_t: the engine's live-dive class. It is a full configuration (config_t)
// plus a diver's tissues and the counters a dive computer keeps while diving.
// The planner uses it only as its configuration.

#include "deco/config.h"
#include "deco/tissuemodel.h"

#include <cstdint>

namespace deco {

// Live-dive counters: times in seconds, depths in tenths of a metre.
struct LiveDiveCounters
{
    std::int32_t diveTime = 0;
    std::int32_t bottomTime = 0;
    std::int32_t currentDepth = 0;
    std::int32_t maxDepth = 0;
    std::int32_t averageDepth = 0;
    std::int32_t noDecoTime = 0;
    std::int32_t timeToSurface = 0;
    std::int32_t ceilingDepth = 0;
    std::int32_t firstStopDepth = 0;
    std::int32_t firstStopTime = 0;
    std::int32_t totalStopTime = 0;
    std::int32_t safetyStopTime = 0;
    std::int32_t deepStopDepth = 0;
    std::int32_t deepStopTime = 0;
    std::int32_t surfaceInterval = 0;
    std::int32_t desaturationTime = 0;
    std::int32_t noFlyTime = 0;
    std::int32_t timeAtCurrentDepth = 0;
};

class dive_t : public config_t
{
public:
    dive_t();
    ~dive_t() override;

    TissueState& tissues() { return m_tissues; }
    const TissueState& tissues() const { return m_tissues; }
    const LiveDiveCounters& liveCounters() const { return m_counters; }
    void setLiveCounters(const LiveDiveCounters& counters) { m_counters = counters; }

    virtual std::int32_t diveTime() const;
    virtual std::int32_t bottomTime() const;
    virtual std::int32_t currentDepth() const;
    virtual std::int32_t maxDepth() const;
    virtual std::int32_t averageDepth() const;
    virtual std::int32_t noDecoTime() const;
    virtual std::int32_t timeToSurface() const;
    virtual std::int32_t ceilingDepth() const;
    virtual std::int32_t firstStopDepth() const;
    virtual std::int32_t firstStopTime() const;
    virtual std::int32_t totalStopTime() const;
    virtual std::int32_t safetyStopTime() const;
    virtual std::int32_t deepStopDepth() const;
    virtual std::int32_t deepStopTime() const;
    virtual std::int32_t surfaceInterval() const;
    virtual std::int32_t desaturationTime() const;
    virtual std::int32_t noFlyTime() const;
    virtual std::int32_t timeAtCurrentDepth() const;

    // The three carried values (4, 1280 and 30 by default), position 0 to 2.
    std::int32_t carriedValue(int position) const;

private:
    TissueState m_tissues;
    // Carried with the record; not read by this system.
    std::int32_t m_carriedFirst = 4;
    std::int32_t m_carriedSecond = 1280;
    std::int32_t m_carriedThird = 30;
    LiveDiveCounters m_counters;
};

} // namespace deco
