#pragma once

#include "corvane/corvaneglobal.h"
#include "corvane/protocol/frame.h"
#include "corvane/protocol/protocoltypes.h"

#include <QObject>
#include <QTimer>

// The receiving half of the frame protocol: the notification store with its
// command timer and receive-gap timer, fed with notifications as they arrive.
// Every complete frame is handed on as soon as its last byte is in; an
// incomplete remainder waits for the next notification, and is dropped when
// it stops growing for the gap time. The command in flight times out when no
// frame completes within the command time-out (restarted by every
// notification of a streamed answer).
class CORVANE_EXPORT FrameReceiver : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCommandTimeoutMs = 5000;
    static constexpr int kReceiveGapMs = 1000;

    explicit FrameReceiver(QObject* parent = nullptr);

    // True for the commands whose answer streams in as several responses
    // that notifications may cut anywhere (the "timer mode" commands).
    static bool needsTimerMode(PelagonCommand::PelagonCommandIn command);

    // A request for `command` went out: what was held is thrown away and the
    // command timer starts.
    void expect(PelagonCommand::PelagonCommandIn command);
    // One notification.
    void receive(const QByteArray& chunk);
    // Stops both timers and empties the store.
    void stop();

    // Shorter waits, for tests and fast simulations.
    void setTimeouts(int commandMs, int gapMs);

    PelagonCommand::PelagonCommandIn command() const { return m_command; }
    bool isTimerMode() const { return m_timerMode; }
    bool isWaiting() const { return m_commandTimer.isActive(); }
    const FrameStore& store() const { return m_store; }

signals:
    // A good frame: its code, its payload, its length field (payload + 1).
    void frameReceived(PelagonCommand::PelagonCommandIn command, const QByteArray& payload, quint16 length);
    // A frame whose CRC failed, with the code it carries.
    void badFrame(PelagonCommand::PelagonCommandIn command);
    // No answer to `command` in time.
    void timedOut(PelagonCommand::PelagonCommandIn command);

private:
    void onGap();
    void onCommandTimeout();

    FrameStore m_store;
    QTimer m_gapTimer;
    QTimer m_commandTimer;
    PelagonCommand::PelagonCommandIn m_command = PelagonCommand::Sync;
    bool m_timerMode = false;
    quint64 m_generation = 0; // counts commands, to notice one sent from a slot
};
