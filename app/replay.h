#pragma once

// What the simulation tab does, apart from its widgets: replaying a dive to
// the dive computer as one ambient pressure a second, and the programmed
// ascent. Pressures go to a PressureSink (the computer's session, or a fake
// one in tests) through a PressureSender that never drops the latest value.

#include "profilor/profilesimulationhelper.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

struct Dive;

// Where pressures are sent. busy() is true from a send until answered().
class PressureSink : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts sending one ambient pressure; false when it could not start.
    virtual bool sendPressure(int millibar) = 0;
    virtual bool busy() const = 0;

signals:
    // The last pressure sent was answered (or failed); the sink is free.
    void answered();
};

// Sends pressures to a sink one at a time: a value given while the sink is
// busy waits, replacing any older waiting value, and goes out when the sink
// answers, so the computer always ends on the latest pressure.
class PressureSender : public QObject
{
    Q_OBJECT
public:
    explicit PressureSender(QObject* parent = nullptr);

    // The sink to use, or none (pressures are then dropped). Not owned.
    void setSink(PressureSink* sink);
    PressureSink* sink() const { return mSink; }
    void send(int millibar);
    // Forgets a waiting value (before any other command to the computer).
    void clear() { mPending.reset(); }
    std::optional<int> pending() const { return mPending; }

private:
    void sinkAnswered();

    PressureSink* mSink = nullptr;
    QMetaObject::Connection mAnswered;
    std::optional<int> mPending;
};

// The texts of one replay step.
struct ReplayReadout
{
    QString point;     // the step index
    QString time;      // "mm:ss"
    QString depth;     // "%1m", one decimal
    bool ndl = false;  // the label reads "NDL" (else "Ceiling")
    QString ndlCeil;   // "%1mn" or "%1m"
};

// A dive replayed second by second.
class ReplayRun
{
public:
    // Ambient pressure (bar) at a depth for a water density (kg/l) and a
    // surface pressure (bar).
    static double pressureAt(double depth, double density, double surfaceBar);

    // Samples the dive every second, ending at the surface pressure. False
    // (and no steps) for a dive without lines.
    bool prepare(const Dive& dive, double density, double surfaceBar);
    const std::vector<StepSimulation>& steps() const { return mSteps; }
    int stepCount() const { return int(mSteps.size()); }
    int index() const { return mIndex; }
    bool finished() const { return mIndex >= stepCount(); }
    const StepSimulation& current() const { return mSteps.at(std::size_t(mIndex)); }
    int currentMillibar() const;
    ReplayReadout readout() const;
    // Moves to the next step; the progress in percent, i · 100 / n after i steps.
    int advance();
    int progress() const;

private:
    std::vector<StepSimulation> mSteps;
    int mIndex = 0;
};

// The programmed ascent: from the current pressure to a target one, a fixed
// decrement a tick, never below the lowest pressure allowed. The exact
// pressure is kept here; a spin box showing it rounds it, and reading it
// back would stall an ascent whose step is smaller than the rounding.
class AscentRun
{
public:
    // Pressure decrement (bar) per one-second tick for a speed in m/min.
    static double decrementPerTick(double density, double speedMetresPerMinute);

    // False (nothing started) when the target is not shallower than now.
    bool start(double currentBar, double targetBar, double decrementBar, double minimumBar);
    bool running() const { return mRunning; }
    void stop() { mRunning = false; }
    // One tick: the new exact pressure; the run ends on the target or the minimum.
    double tick();
    double pressure() const { return mPressure; }
    double target() const { return mTarget; }

private:
    double mPressure = 0.0;
    double mTarget = 0.0;
    double mDecrement = 0.0;
    double mMinimum = 0.0;
    bool mRunning = false;
};
