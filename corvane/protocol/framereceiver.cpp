#include "corvane/protocol/framereceiver.h"

#include <QPointer>

FrameReceiver::FrameReceiver(QObject* parent) : QObject(parent)
{
    m_gapTimer.setSingleShot(true);
    m_gapTimer.setInterval(kReceiveGapMs);
    m_commandTimer.setSingleShot(true);
    m_commandTimer.setInterval(kCommandTimeoutMs);
    connect(&m_gapTimer, &QTimer::timeout, this, &FrameReceiver::onGap);
    connect(&m_commandTimer, &QTimer::timeout, this, &FrameReceiver::onCommandTimeout);
}

bool FrameReceiver::needsTimerMode(PelagonCommand::PelagonCommandIn command)
{
    using namespace PelagonCommand;
    switch (command) {
    case Syslog:
    case Computer:
    case Diver:
    case Logbook:
    case Fullsamples:
    case Owner:
    case Computer_new:
    case SyslogBin:
    case LayoutList:
    case LayoutGet:
    case BatteryInformation:
        return true;
    default:
        return false;
    }
}

void FrameReceiver::setTimeouts(int commandMs, int gapMs)
{
    m_commandTimer.setInterval(commandMs);
    m_gapTimer.setInterval(gapMs);
}

void FrameReceiver::expect(PelagonCommand::PelagonCommandIn command)
{
    ++m_generation;
    m_timerMode = needsTimerMode(command);
    m_store.clear();
    m_gapTimer.stop();
    m_command = command;
    m_commandTimer.start();
}

void FrameReceiver::receive(const QByteArray& chunk)
{
    if (!m_store.append(chunk)) {
        // The store overflowed without a frame: it was emptied and the chunk
        // dropped. The command timer keeps running, so the command times out.
        m_gapTimer.stop();
        return;
    }
    // Late bytes while no command waits start no timer.
    const bool waiting = m_commandTimer.isActive();
    if (m_timerMode && waiting)
        m_commandTimer.start();

    const quint64 generation = m_generation;
    QPointer<FrameReceiver> alive(this);
    bool taken = false;
    ReceivedFrame frame;
    while (m_store.takeFrame(frame)) {
        taken = true;
        const auto command = PelagonCommand::PelagonCommandIn(frame.command);
        if (frame.crcValid)
            emit frameReceived(command, frame.payload, frame.length);
        else
            emit badFrame(command);
        // A slot may have sent the next command (or released this object):
        // what is held now belongs to it.
        if (!alive || generation != m_generation)
            return;
    }
    if (m_store.isEmpty()) {
        m_gapTimer.stop();
        if (taken)
            m_commandTimer.stop();
    } else {
        m_gapTimer.start();
        if (taken && waiting)
            m_commandTimer.start(); // the answer is progressing: a full wait for the rest
    }
}

void FrameReceiver::stop()
{
    m_gapTimer.stop();
    m_commandTimer.stop();
    m_store.clear();
}

void FrameReceiver::onGap()
{
    // The remainder stopped growing: it will not complete.
    m_store.clear();
}

void FrameReceiver::onCommandTimeout()
{
    m_store.clear();
    m_gapTimer.stop();
    emit timedOut(m_command);
}
