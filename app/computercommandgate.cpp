#include "app/computercommandgate.h"

#include "corvane/protocol/kelvosession.h"

#include <utility>

namespace {

bool pressureOnItsWay(const KelvoSession* session)
{
    return session != nullptr && session->jobInFlight() == PelagonCommand::Set_sensors;
}

} // namespace

ComputerCommandGate::ComputerCommandGate(QObject* parent)
    : QObject(parent)
{
    mGuard.setSingleShot(true);
    mGuard.setInterval(kLongestWaitMs);
    connect(&mGuard, &QTimer::timeout, this, &ComputerCommandGate::release);
}

void ComputerCommandGate::run(KelvoSession* session, std::function<void()> command)
{
    if (!pressureOnItsWay(session)) {
        // A command still waiting gives way to this one.
        mCommand = nullptr;
        stopWaiting();
        command();
        return;
    }
    mCommand = std::move(command);
    if (mSession != session) {
        stopWaiting();
        mSession = session;
        // Queued: the session finishes its own handling of the answer first.
        const auto settled = &ComputerCommandGate::pressureSettled;
        mConnections = {connect(session, &KelvoSession::endCommand, this, settled, Qt::QueuedConnection),
                        connect(session, &KelvoSession::exchangeError, this, settled, Qt::QueuedConnection),
                        connect(session, &KelvoSession::disconnectController, this, settled, Qt::QueuedConnection)};
    }
    mGuard.start();
}

void ComputerCommandGate::stopWaiting()
{
    mGuard.stop();
    for (const QMetaObject::Connection& connection : std::as_const(mConnections))
        disconnect(connection);
    mConnections.clear();
    mSession = nullptr;
}

void ComputerCommandGate::pressureSettled()
{
    // Another pressure may have gone out meanwhile (the slider is the user's):
    // the command waits for that one too.
    if (!mCommand || pressureOnItsWay(mSession)) {
        if (mCommand)
            mGuard.start();
        return;
    }
    release();
}

void ComputerCommandGate::release()
{
    stopWaiting();
    const std::function<void()> command = std::exchange(mCommand, nullptr);
    if (command)
        command();
}
