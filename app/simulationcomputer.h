#pragma once

#include "app/replay.h"
#include "corvane/protocol/kelvosession.h"

#include <QPointer>
#include <QString>

// The dive computer as the simulation tab uses it: a session that becomes
// usable once its link is up and the computer's settings (surface pressure,
// water) are read, that takes the tab's pressures one Set_sensors job at a
// time, and that stops being usable when its link goes.
class SimulationComputer : public PressureSink
{
    Q_OBJECT

public:
    using PressureSink::PressureSink;

    // Starts using `session` (not owned): connects it when it is not (a
    // reconnection to the last device when the session knows one, else a
    // scan), then reads the computer's settings. ready() or failed() follows.
    void connectTo(KelvoSession* session);
    KelvoSession* session() const { return mSession; }
    bool isReady() const { return mReady; }

    // The computer's settings as read after connecting.
    int surfaceMillibar() const;
    double density() const;

    // One pressure, in millibar, as a Set_sensors job of the session.
    bool sendPressure(int millibar) override;
    // The session runs one job at a time: busy while any job is in flight.
    bool busy() const override;

signals:
    // Connected and its settings read.
    void ready();
    // The connection or the reading of the settings failed: why.
    void failed(const QString& text);
    // The link went away after ready().
    void lost();

private:
    void onCreateStatus(CreateControllerStatus::CreateControllerStatusIn status);
    void onConnectStatus(ConnectControllerStatus::ConnectControllerStatusIn status);
    void onCommandEnd(PelagonCommand::PelagonCommandIn command);
    void onCommandError(PelagonCommand::PelagonCommandIn command, ExchangeError::ExchangeErrorIn error);
    void onLinkLost();
    void readSettings();
    void fail(const QString& text);

    QPointer<KelvoSession> mSession;
    bool mConnecting = false;
    bool mReading = false;
    bool mReady = false;
};
