#include "app/replay.h"

#include "divedata/dive.h"

#include <algorithm>
#include <cmath>

PressureSender::PressureSender(QObject* parent)
    : QObject(parent)
{
}

void PressureSender::setSink(PressureSink* sink)
{
    if (mAnswered)
        disconnect(mAnswered);
    mSink = sink;
    mPending.reset();
    if (mSink)
        mAnswered = connect(mSink, &PressureSink::answered, this, &PressureSender::sinkAnswered);
}

void PressureSender::send(int millibar)
{
    if (!mSink)
        return;
    if (mSink->busy()) {
        mPending = millibar;
        return;
    }
    mPending.reset();
    mSink->sendPressure(millibar);
}

void PressureSender::sinkAnswered()
{
    if (!mPending || !mSink || mSink->busy())
        return;
    const int millibar = *mPending;
    mPending.reset();
    mSink->sendPressure(millibar);
}

double ReplayRun::pressureAt(double depth, double density, double surfaceBar)
{
    return density * 9.80665 * depth / 100.0 + surfaceBar;
}

bool ReplayRun::prepare(const Dive& dive, double density, double surfaceBar)
{
    mSteps.clear();
    mIndex = 0;
    if (dive.lines.isEmpty())
        return false;
    const ProfileSimulationHelper helper(
        [density, surfaceBar](float depth) { return float(pressureAt(depth, density, surfaceBar)); });
    helper.prepareSimulation(dive, 1000, mSteps, float(surfaceBar));
    return !mSteps.empty();
}

int ReplayRun::currentMillibar() const
{
    return int(std::lround(current().value * 1000.0));
}

ReplayReadout ReplayRun::readout() const
{
    const StepSimulation& step = current();
    const auto seconds = qint64(std::max(0.0, step.timeSec));
    const auto two = [](qint64 value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    ReplayReadout out;
    out.point = QString::number(mIndex);
    out.time = two(seconds / 60) + QLatin1Char(':') + two(seconds % 60);
    out.depth = QStringLiteral("%1m").arg(step.depthDm / 10.0, 0, 'f', 1);
    out.ndl = step.ceiling < 0.0;
    out.ndlCeil = out.ndl ? QStringLiteral("%1mn").arg(std::fabs(step.ceiling), 0, 'f', 0)
                          : QStringLiteral("%1m").arg(step.ceiling, 0, 'f', 1);
    return out;
}

int ReplayRun::advance()
{
    if (mIndex < stepCount())
        ++mIndex;
    return progress();
}

int ReplayRun::progress() const
{
    return mSteps.empty() ? 0 : int(qint64(mIndex) * 100 / qint64(mSteps.size()));
}

double AscentRun::decrementPerTick(double density, double speedMetresPerMinute)
{
    return density * speedMetresPerMinute * 9.81 / 6000.0;
}

bool AscentRun::start(double currentBar, double targetBar, double decrementBar, double minimumBar)
{
    mRunning = false;
    const double target = std::max(targetBar, minimumBar);
    if (!(target < currentBar) || !(decrementBar > 0.0) || !std::isfinite(decrementBar))
        return false;
    mPressure = currentBar;
    mTarget = target;
    mDecrement = decrementBar;
    mMinimum = minimumBar;
    mRunning = true;
    return true;
}

double AscentRun::tick()
{
    if (!mRunning)
        return mPressure;
    mPressure = std::max(mPressure - mDecrement, mTarget);
    if (mPressure <= mMinimum) {
        mPressure = mMinimum;
        mRunning = false;
    } else if (mPressure <= mTarget) {
        mPressure = mTarget;
        mRunning = false;
    }
    return mPressure;
}
