#include "app/commandwait.h"

#include "corvane/protocol/kelvobleprotocol.h"
#include "corvane/protocol/kelvosession.h"

CommandWait::CommandWait(KelvoSession* session, QObject* parent) : QObject(parent), m_session(session)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { fail(timeoutText()); });
    if (!session)
        return;
    connect(session, &KelvoSession::endCommand, this, &CommandWait::onEndCommand);
    connect(session, &KelvoSession::exchangeError, this,
            [this](PelagonCommand::PelagonCommandIn, ExchangeError::ExchangeErrorIn error) {
                fail(tr("Exchange Error: ") + KelvoBleProtocol::exchangeErrorString(error));
            });
    connect(session, &KelvoSession::jobRefused, this, [this](PelagonCommand::PelagonCommandIn) {
        fail(tr("The computer is still busy with another command, please try again."));
    });
    // The protocol ends a job it gets no answer for by dropping the link,
    // after saying so.
    connect(session, &KelvoSession::messageChanged, this, [this] {
        if (m_waiting && m_session->message() == QLatin1String("Receive timeout"))
            m_timedOut = true;
    });
    connect(session, &KelvoSession::disconnectController, this,
            [this] { fail(m_timedOut ? timeoutText() : linkLostText()); });
}

QString CommandWait::linkLostText()
{
    return tr("The connection to the computer was lost.");
}

QString CommandWait::timeoutText()
{
    return tr("The computer did not answer in time.");
}

void CommandWait::start(PelagonCommand::PelagonCommandIn awaited, const std::function<bool()>& send)
{
    m_awaited = awaited;
    m_waiting = true;
    m_timedOut = false;
    if (m_timeoutMs > 0)
        m_timer.start(m_timeoutMs);
    else
        m_timer.stop();
    if (!m_session) {
        QTimer::singleShot(0, this, [this] { fail(linkLostText()); });
        return;
    }
    // A job that cannot go out is reported by the session's own signals.
    send();
}

void CommandWait::start(PelagonCommand::PelagonCommandIn awaited)
{
    start(awaited, [this, awaited] { return m_session->startCommand(awaited); });
}

void CommandWait::cancel()
{
    m_waiting = false;
    m_timer.stop();
}

void CommandWait::onEndCommand(PelagonCommand::PelagonCommandIn command)
{
    using namespace PelagonCommand;
    const auto isComputer = [](PelagonCommandIn c) { return c == Computer || c == Computer_new; };
    if (!m_waiting || !(command == m_awaited || (isComputer(command) && isComputer(m_awaited))))
        return;
    cancel();
    emit finished(command);
}

void CommandWait::fail(const QString& reason)
{
    if (!m_waiting)
        return;
    cancel();
    emit failed(reason);
}
