#pragma once

#include "corvane/corvaneglobal.h"

#include <QElapsedTimer>

#include <array>
#include <memory>

// The diver a simulated computer follows while it is sent ambient pressures
// (a profile replayed to it): tissues loaded by the program's decompression
// engine, air, gradient factors 30/85, salt water at the surface pressure.
class CORVANE_EXPORT SimulatedDiver
{
public:
    SimulatedDiver();
    ~SimulatedDiver();
    SimulatedDiver(const SimulatedDiver& other);
    SimulatedDiver& operator=(const SimulatedDiver& other);

    // Seconds that pass between two pressures: 0 (the default) takes the
    // real time elapsed, at most a minute; a fixed step makes runs repeatable.
    void setStepSeconds(double seconds) { m_stepSeconds = seconds; }

    // The diver breathes at `pressureMbar` now (absolute, mbar).
    void follow(quint32 pressureMbar);

    quint32 surfacePressure() const { return m_surfaceMbar; }
    quint32 ambientPressure() const { return m_ambientMbar; }
    double depth() const;                  // m
    double ceiling() const;                // m, 0 while no stop is needed
    int ndlMinutes() const;                // 0 .. 250
    // The stop field of the Sensors answer, coded as the samples' ceiling:
    // the ceiling in decimetres, or minus the no-decompression time in 12 bits.
    quint16 stopCode() const;
    std::array<float, 16> nitrogen() const; // compartment tensions, bar
    std::array<float, 16> helium() const;
    float cns() const;                      // fraction

private:
    struct Engine;
    std::unique_ptr<Engine> m_engine;
    QElapsedTimer m_clock;
    double m_stepSeconds = 0.0;
    quint32 m_surfaceMbar = 1013;
    quint32 m_ambientMbar = 1013;
};
