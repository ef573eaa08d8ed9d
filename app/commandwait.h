#pragma once

#include "corvane/protocol/protocoltypes.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class KelvoSession;

// Follows one job of the session to its end, whatever that end is: the
// awaited answer (finished), or a failed or refused exchange, a lost link or
// no end within the time-out (failed, with a text for the user). Exactly one
// of the two signals comes for each start (from inside start() when the
// session refuses the job at once).
class CommandWait : public QObject
{
    Q_OBJECT

public:
    // A single answer arrives well within twice the protocol's own time-out.
    static constexpr int kDefaultTimeoutMs = 12000;

    explicit CommandWait(KelvoSession* session, QObject* parent = nullptr);

    // 0: no time-out of its own (long streams, which the protocol already
    // watches chunk by chunk).
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

    // Sends the job with `send` (a call on the session) and waits for the end
    // of `awaited`. "Computer" and "Computer_new" end each other's waits.
    void start(PelagonCommand::PelagonCommandIn awaited, const std::function<bool()>& send);
    // Shorthand for session->startCommand(awaited).
    void start(PelagonCommand::PelagonCommandIn awaited);
    // Stops following; no signal comes for the current job.
    void cancel();
    bool isWaiting() const { return m_waiting; }

    static QString linkLostText();
    static QString timeoutText();

signals:
    void finished(PelagonCommand::PelagonCommandIn command);
    void failed(const QString& reason);

private:
    void onEndCommand(PelagonCommand::PelagonCommandIn command);
    void fail(const QString& reason);

    QPointer<KelvoSession> m_session;
    QTimer m_timer;
    int m_timeoutMs = kDefaultTimeoutMs;
    PelagonCommand::PelagonCommandIn m_awaited = PelagonCommand::Sync;
    bool m_waiting = false;
    bool m_timedOut = false; // the protocol gave up on the answer
};
