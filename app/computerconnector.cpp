#include "app/computerconnector.h"

#include "app/commandwait.h"
#include "corvane/protocol/kelvobleprotocol.h"

ComputerConnector::ComputerConnector(KelvoSession* session, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_wait(new CommandWait(session, this))
{
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] { fail(tr("No answer from the computer")); });
    connect(m_wait, &CommandWait::finished, this, &ComputerConnector::onCommandEnd);
    connect(m_wait, &CommandWait::failed, this, &ComputerConnector::fail);
    if (!session)
        return;
    connect(session, &KelvoSession::createControllerStatus, this, &ComputerConnector::onCreateStatus);
    connect(session, &KelvoSession::connectControllerStatus, this, &ComputerConnector::onConnectStatus);
    connect(session, &KelvoSession::errorController, this, [this](QLowEnergyController::Error error) {
        if (m_running)
            fail(tr("Controller Error: ") + KelvoBleProtocol::controllerErrorString(error));
    });
    connect(session, &KelvoSession::disconnectController, this, &ComputerConnector::onLinkLost);
}

ComputerConnector::~ComputerConnector() = default;

void ComputerConnector::setCommandTimeoutMs(int ms)
{
    m_wait->setTimeoutMs(ms);
}

void ComputerConnector::start()
{
    m_running = true;
    m_linkUp = false;
    m_connectTimer.start(m_connectTimeoutMs);
    if (!m_session) {
        fail(tr("No Controller"));
        return;
    }
    if (m_session->isConnected()) {
        // Linked by someone else (the simulation tab) without its identity
        // read: only the reading is left to do.
        m_linkUp = true;
        m_connectTimer.stop();
        emit statusChanged(tr("Device Connected"));
        emit linkUp();
        m_wait->start(PelagonCommand::Identification);
    } else if (m_session->lastDevice().isValid()) {
        emit statusChanged(tr("Connect to computer..."));
        m_session->controllerConnect();
    } else {
        emit statusChanged(tr("Search computer..."));
        m_session->autoConnect(Gatt);
    }
}

void ComputerConnector::stop()
{
    m_running = false;
    m_connectTimer.stop();
    m_wait->cancel();
}

void ComputerConnector::onCreateStatus(CreateControllerStatus::CreateControllerStatusIn status)
{
    if (!m_running || m_linkUp)
        return;
    switch (status) {
    case CreateControllerStatus::NotFound: fail(tr("No Device Found")); break;
    case CreateControllerStatus::NotCreated: fail(tr("Problem on Create Device")); break;
    case CreateControllerStatus::Created: emit statusChanged(tr("Computer found, connecting...")); break;
    case CreateControllerStatus::Error: fail(tr("Error on Create Device")); break;
    }
}

void ComputerConnector::onConnectStatus(ConnectControllerStatus::ConnectControllerStatusIn status)
{
    if (!m_running || m_linkUp)
        return;
    switch (status) {
    case ConnectControllerStatus::NoController: fail(tr("No Controller")); break;
    case ConnectControllerStatus::NoService: fail(tr("No Computer Found")); break;
    case ConnectControllerStatus::Connected:
        m_linkUp = true;
        m_connectTimer.stop();
        emit statusChanged(tr("Device Connected"));
        emit linkUp();
        m_wait->start(PelagonCommand::Identification);
        break;
    }
}

void ComputerConnector::onCommandEnd(PelagonCommand::PelagonCommandIn command)
{
    if (!m_running)
        return;
    using namespace PelagonCommand;
    switch (command) {
    case Identification:
        emit statusChanged(tr("Firmware version: ") + m_session->firmwareVersionStr());
        m_wait->start(Serialnumber);
        break;
    case Serialnumber:
        emit statusChanged(tr("Serial number: ") + m_session->serialNumber());
        m_wait->start(Sensors);
        break;
    case Sensors:
        emit statusChanged(tr("Ambiant pressure: ") + QString::number(m_session->pamb()));
        m_wait->start(Computer_new);
        break;
    case Computer:
    case Computer_new:
        stop();
        emit succeeded();
        break;
    default: break;
    }
}

void ComputerConnector::onLinkLost()
{
    // While the chain's commands run their wait reports the loss itself.
    if (m_running && !m_wait->isWaiting())
        fail(CommandWait::linkLostText());
}

void ComputerConnector::fail(const QString& text)
{
    if (!m_running)
        return;
    stop();
    emit statusChanged(text);
    emit stopped();
}
