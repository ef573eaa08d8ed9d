#include "corvane/simulator/simulateddiver.h"

#include "deco/config.h"
#include "deco/decostate.h"
#include "deco/oxygen.h"
#include "deco/tissuemodel.h"

#include <algorithm>
#include <cmath>

struct SimulatedDiver::Engine
{
    deco::config_t config;
    deco::TissueState tissues;
    deco::DecoState deco;
    double ceiling = 0.0;
    int ndl = int(deco::kNdlLimit);
};

namespace {

constexpr double kLongestStepSeconds = 60.0;

} // namespace

SimulatedDiver::SimulatedDiver() : m_engine(std::make_unique<Engine>())
{
    m_engine->config.applyDefaults();
    m_engine->config.setSurfacePressure(float(m_surfaceMbar) / 1000.0f);
    m_engine->config.setWaterType(deco::SaltWater);
    m_engine->config.setGradientFactors(deco::GradientFactors(30, 85));
    deco::initTissues(m_engine->tissues, m_engine->config.surfacePressure());
    m_engine->deco = deco::DecoState(m_engine->config);
}

SimulatedDiver::~SimulatedDiver() = default;

SimulatedDiver::SimulatedDiver(const SimulatedDiver& other)
    : m_engine(std::make_unique<Engine>(*other.m_engine)), m_stepSeconds(other.m_stepSeconds),
      m_surfaceMbar(other.m_surfaceMbar), m_ambientMbar(other.m_ambientMbar)
{
}

SimulatedDiver& SimulatedDiver::operator=(const SimulatedDiver& other)
{
    if (this != &other) {
        *m_engine = *other.m_engine;
        m_stepSeconds = other.m_stepSeconds;
        m_surfaceMbar = other.m_surfaceMbar;
        m_ambientMbar = other.m_ambientMbar;
    }
    return *this;
}

void SimulatedDiver::follow(quint32 pressureMbar)
{
    double seconds = m_stepSeconds;
    if (seconds <= 0.0) {
        seconds = m_clock.isValid() ? double(m_clock.restart()) / 1000.0 : 0.0;
        if (!m_clock.isValid())
            m_clock.start();
    }
    seconds = std::clamp(seconds, 0.0, kLongestStepSeconds);
    // Nothing a diver survives: from the surface to 100 bar.
    const quint32 next = std::clamp<quint32>(pressureMbar, 500, 100000);
    Engine& e = *m_engine;
    const float p1 = float(m_ambientMbar) / 1000.0f;
    const float p2 = float(next) / 1000.0f;
    if (seconds > 0.0) {
        const float minutes = float(seconds / 60.0);
        deco::loadSegment(e.tissues, p1, p2, minutes, e.config.currentGas(), e.config.activeSetpoint());
        deco::updateCns(e.tissues, p1, p2, minutes, e.config.currentGas(), e.config.activeSetpoint());
    }
    m_ambientMbar = next;
    deco::updateDecoState(e.deco, e.config, e.tissues, p2);
    e.ceiling = e.deco.ceiling > e.config.surfacePressure()
                    ? double(deco::pressureToDepth(e.config, e.deco.ceiling))
                    : 0.0;
    e.ndl = e.ceiling > 0.0 ? 0 : int(std::floor(std::min(e.deco.ndl, deco::kNdlLimit)));
}

double SimulatedDiver::depth() const
{
    return std::max(0.0, double(deco::pressureToDepth(m_engine->config, float(m_ambientMbar) / 1000.0f)));
}

double SimulatedDiver::ceiling() const { return m_engine->ceiling; }
int SimulatedDiver::ndlMinutes() const { return m_engine->ndl; }

quint16 SimulatedDiver::stopCode() const
{
    if (m_engine->ceiling > 0.0)
        return quint16(std::min<long>(std::lround(m_engine->ceiling * 10.0), 0x7FF));
    return quint16((-m_engine->ndl) & 0xFFF);
}

std::array<float, 16> SimulatedDiver::nitrogen() const
{
    std::array<float, 16> values{};
    std::copy(m_engine->tissues.n2.begin(), m_engine->tissues.n2.end(), values.begin());
    return values;
}

std::array<float, 16> SimulatedDiver::helium() const
{
    std::array<float, 16> values{};
    std::copy(m_engine->tissues.he.begin(), m_engine->tissues.he.end(), values.begin());
    return values;
}

float SimulatedDiver::cns() const { return m_engine->tissues.cns; }
