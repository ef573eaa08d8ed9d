#include "app/simulationcomputer.h"

#include "corvane/protocol/kelvobleprotocol.h"

using namespace PelagonCommand;

namespace {

constexpr int kStandardSurface = 1013; // mbar, when the computer gives none

} // namespace

void SimulationComputer::connectTo(KelvoSession* session)
{
    if (mSession)
        QObject::disconnect(mSession, nullptr, this, nullptr);
    mSession = session;
    mConnecting = false;
    mReading = false;
    mReady = false;
    if (!session) {
        fail(tr("No computer connected"));
        return;
    }
    connect(session, &KelvoSession::createControllerStatus, this, &SimulationComputer::onCreateStatus);
    connect(session, &KelvoSession::connectControllerStatus, this, &SimulationComputer::onConnectStatus);
    connect(session, &KelvoSession::endCommand, this, &SimulationComputer::onCommandEnd);
    connect(session, &KelvoSession::exchangeError, this, &SimulationComputer::onCommandError);
    connect(session, &KelvoSession::disconnectController, this, &SimulationComputer::onLinkLost);
    if (session->isConnected()) {
        readSettings();
        return;
    }
    mConnecting = true;
    if (session->lastDevice().isValid())
        session->controllerConnect();
    else
        session->autoConnect();
}

int SimulationComputer::surfaceMillibar() const
{
    const int surface = mSession ? int(mSession->config().surfacePressure) : 0;
    return surface > 0 ? surface : kStandardSurface;
}

double SimulationComputer::density() const
{
    return mSession ? mSession->config().getDensity() : BleConfig().getDensity();
}

bool SimulationComputer::sendPressure(int millibar)
{
    if (!mReady || !mSession || millibar < 0)
        return false;
    return mSession->startSetPressure(quint32(millibar));
}

bool SimulationComputer::busy() const
{
    return mSession && mSession->jobInFlight().has_value();
}

void SimulationComputer::onCreateStatus(CreateControllerStatus::CreateControllerStatusIn status)
{
    if (!mConnecting)
        return;
    switch (status) {
    case CreateControllerStatus::NotFound:
        fail(tr("No Device Found"));
        break;
    case CreateControllerStatus::NotCreated:
        fail(tr("Problem on Create Device"));
        break;
    case CreateControllerStatus::Error:
        fail(tr("Error on Create Device"));
        break;
    default:
        break; // found: the connection follows
    }
}

void SimulationComputer::onConnectStatus(ConnectControllerStatus::ConnectControllerStatusIn status)
{
    if (!mConnecting)
        return;
    switch (status) {
    case ConnectControllerStatus::Connected:
        mConnecting = false;
        readSettings();
        break;
    case ConnectControllerStatus::NoService:
        fail(tr("No Computer Found"));
        break;
    default:
        fail(tr("No Controller"));
        break;
    }
}

void SimulationComputer::readSettings()
{
    // The settings hold the surface pressure and the water the computer
    // works with; the replay uses the same.
    mReading = true;
    if (!mSession->startCommand(Computer_new) && mSession->jobInFlight())
        fail(tr("The computer is busy with another command"));
    // Without a link the session reports the failure itself, after this.
}

void SimulationComputer::onCommandEnd(PelagonCommandIn command)
{
    if (mReading && (command == Computer_new || command == Computer)) {
        mReading = false;
        mReady = true;
        emit ready();
        return;
    }
    if (mReady)
        emit answered();
}

void SimulationComputer::onCommandError(PelagonCommandIn command, ExchangeError::ExchangeErrorIn error)
{
    if (mReading && (command == Computer_new || command == Computer)) {
        fail(tr("Exchange Error: ") + KelvoBleProtocol::exchangeErrorString(error));
        return;
    }
    if (mReady)
        emit answered();
}

void SimulationComputer::onLinkLost()
{
    const bool wasReady = mReady;
    const bool waiting = mConnecting || mReading;
    mReady = false;
    if (waiting)
        fail(tr("Device disconnected"));
    else if (wasReady)
        emit lost();
}

void SimulationComputer::fail(const QString& why)
{
    mConnecting = false;
    mReading = false;
    mReady = false;
    emit failed(why);
}
