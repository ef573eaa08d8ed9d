#include "deco/livedive.h"

namespace deco {

dive_t::dive_t() = default;
dive_t::~dive_t() = default;

std::int32_t dive_t::diveTime() const { return m_counters.diveTime; }
std::int32_t dive_t::bottomTime() const { return m_counters.bottomTime; }
std::int32_t dive_t::currentDepth() const { return m_counters.currentDepth; }
std::int32_t dive_t::maxDepth() const { return m_counters.maxDepth; }
std::int32_t dive_t::averageDepth() const { return m_counters.averageDepth; }
std::int32_t dive_t::noDecoTime() const { return m_counters.noDecoTime; }
std::int32_t dive_t::timeToSurface() const { return m_counters.timeToSurface; }
std::int32_t dive_t::ceilingDepth() const { return m_counters.ceilingDepth; }
std::int32_t dive_t::firstStopDepth() const { return m_counters.firstStopDepth; }
std::int32_t dive_t::firstStopTime() const { return m_counters.firstStopTime; }
std::int32_t dive_t::totalStopTime() const { return m_counters.totalStopTime; }
std::int32_t dive_t::safetyStopTime() const { return m_counters.safetyStopTime; }
std::int32_t dive_t::deepStopDepth() const { return m_counters.deepStopDepth; }
std::int32_t dive_t::deepStopTime() const { return m_counters.deepStopTime; }
std::int32_t dive_t::surfaceInterval() const { return m_counters.surfaceInterval; }
std::int32_t dive_t::desaturationTime() const { return m_counters.desaturationTime; }
std::int32_t dive_t::noFlyTime() const { return m_counters.noFlyTime; }
std::int32_t dive_t::timeAtCurrentDepth() const { return m_counters.timeAtCurrentDepth; }


std::int32_t dive_t::carriedValue(int position) const
{
    switch (position) {
    case 0: return m_carriedFirst;
    case 1: return m_carriedSecond;
    case 2: return m_carriedThird;
    default: return 0;
    }
}

} // namespace deco
