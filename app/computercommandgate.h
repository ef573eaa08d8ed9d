#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class KelvoSession;

// Lets a computer command wait for a pressure of the simulation tab still on
// its way to the computer (the session runs one command at a time and would
// refuse it as busy). The command runs when that pressure's answer, its
// failure or the loss of the link arrives, in a later turn of the event loop
// (never inside the session's signal, never in a nested event loop).
class ComputerCommandGate : public QObject
{
    Q_OBJECT

public:
    // Past the protocol's 5 s time-out the command runs in any case.
    static constexpr int kLongestWaitMs = 6000;

    explicit ComputerCommandGate(QObject* parent = nullptr);

    // Runs `command` at once when `session` has no pressure on its way, else
    // keeps it until the pressure is done with. A newer command takes the
    // place of one still waiting (the user's last request wins).
    void run(KelvoSession* session, std::function<void()> command);
    bool waiting() const { return bool(mCommand); }

private:
    void pressureSettled();
    void stopWaiting();
    void release();

    QPointer<KelvoSession> mSession;
    std::function<void()> mCommand;
    QList<QMetaObject::Connection> mConnections;
    QTimer mGuard;
};
