#pragma once

#include "corvane/protocol/kelvosession.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class CommandWait;

// The connection panel's work without its widgets: finds or reconnects the
// computer through the session, then reads its identification, serial
// number, sensors and settings, one command after the other. Each step says
// what it does with statusChanged; the run ends with succeeded() or, on any
// failure (nothing found, no service, an exchange error, a lost link, no
// progress in time), with stopped() after a status telling why.
class ComputerConnector : public QObject
{
    Q_OBJECT

public:
    // Scanning ends by itself after 30 s; connecting gets as long again.
    static constexpr int kConnectTimeoutMs = 60000;

    explicit ComputerConnector(KelvoSession* session, QObject* parent = nullptr);
    ~ComputerConnector() override;

    void setConnectTimeoutMs(int ms) { m_connectTimeoutMs = ms; }
    void setCommandTimeoutMs(int ms);

    // Starts the run: a reconnection to the last device when the session
    // knows one, else a scan; on a session already linked, only the reading.
    void start();
    // Stops following the session (the panel closed).
    void stop();
    bool isRunning() const { return m_running; }

signals:
    void statusChanged(const QString& text);
    // The link is up: the waiting animation has served its purpose.
    void linkUp();
    void succeeded();
    void stopped();

private:
    void onCreateStatus(CreateControllerStatus::CreateControllerStatusIn status);
    void onConnectStatus(ConnectControllerStatus::ConnectControllerStatusIn status);
    void onCommandEnd(PelagonCommand::PelagonCommandIn command);
    void onLinkLost();
    void fail(const QString& text);

    QPointer<KelvoSession> m_session;
    CommandWait* m_wait;
    QTimer m_connectTimer;
    int m_connectTimeoutMs = kConnectTimeoutMs;
    bool m_running = false;
    bool m_linkUp = false;
};
