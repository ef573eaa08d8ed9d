#include "tools/computerlink.h"

#include "corvane/ble/simulatedblebackend.h"
#include "corvane/protocol/kelvobleprotocol.h"
#include "corvane/simulator/democomputer.h"

#include <QEventLoop>
#include <QTimer>

namespace divetool {

namespace {

// Longest waits: a scan lasts 30 s and the link's own time-outs end a stuck
// command after 5 s; these only guard against a session that says nothing.
constexpr int kConnectLimitMs = 60000;
constexpr int kJobLimitMs = 120000;

} // namespace

ComputerLink::ComputerLink(const DemoSetting& demo)
{
    if (demo.on) {
        m_demo = std::make_unique<DemoComputer>();
        QString problem;
        m_demo->setFaults(demo.faults, problem);
        m_session = std::make_unique<KelvoSession>(m_demo->backend(), nullptr);
    } else {
        m_session = std::make_unique<KelvoSession>();
    }
}

ComputerLink::~ComputerLink()
{
    m_session.reset();
}

QString ComputerLink::deviceText() const
{
    const BleDeviceInfo device = m_session->lastDevice();
    return QStringLiteral("%1 (%2)").arg(device.name(), device.address());
}

bool ComputerLink::connect(QString& problem)
{
    QEventLoop loop;
    bool connected = false;
    bool finished = false;
    KelvoSession* s = m_session.get();
    const auto finish = [&](bool ok, const QString& why) {
        if (finished)
            return;
        finished = true;
        connected = ok;
        if (!ok && problem.isEmpty())
            problem = why;
        loop.quit();
    };
    QObject guard;
    QObject::connect(s, &KelvoSession::createControllerStatus, &guard, [&](auto status) {
        if (status != CreateControllerStatus::Created)
            finish(false, s->message());
    });
    QObject::connect(s, &KelvoSession::connectControllerStatus, &guard, [&](auto status) {
        if (status == ConnectControllerStatus::Connected)
            finish(true, QString());
        else
            finish(false, s->message());
    });
    QObject::connect(s, &KelvoSession::disconnectController, &guard, [&] { finish(false, s->message()); });
    QTimer::singleShot(kConnectLimitMs, &guard, [&] { finish(false, QStringLiteral("no dive computer connected")); });
    // Without an adapter the scan fails inside autoConnect already.
    s->autoConnect(Gatt);
    if (!finished)
        loop.exec();
    if (!connected)
        return false;
    using namespace PelagonCommand;
    for (const auto command : {Identification, Serialnumber, Computer_new}) {
        if (!run(command, problem))
            return false;
    }
    return true;
}

bool ComputerLink::run(PelagonCommand::PelagonCommandIn command, QString& problem)
{
    return run(command, [this, command] { return m_session->startCommand(command); }, problem);
}

bool ComputerLink::run(PelagonCommand::PelagonCommandIn command, const std::function<bool()>& start,
                       QString& problem)
{
    QEventLoop loop;
    bool done = false;
    KelvoSession* s = m_session.get();
    QObject guard;
    const auto fail = [&](const QString& why) {
        if (problem.isEmpty())
            problem = why;
        loop.quit();
    };
    QObject::connect(s, &KelvoSession::endCommand, &guard, [&](PelagonCommand::PelagonCommandIn ended) {
        if (ended == command) {
            done = true;
            loop.quit();
        }
    });
    QObject::connect(s, &KelvoSession::exchangeError, &guard,
                     [&](PelagonCommand::PelagonCommandIn, ExchangeError::ExchangeErrorIn error) {
                         fail(KelvoBleProtocol::exchangeErrorString(error));
                     });
    QObject::connect(s, &KelvoSession::disconnectController, &guard, [&] { fail(s->message()); });
    QObject::connect(s, &KelvoSession::jobRefused, &guard,
                     [&](PelagonCommand::PelagonCommandIn) { fail(QStringLiteral("the computer is busy")); });
    QTimer::singleShot(kJobLimitMs, &guard, [&] { fail(QStringLiteral("the computer does not answer")); });
    if (!start() && problem.isEmpty()) {
        // A refused start reports itself through the signals above, some
        // only through the event loop: let them arrive.
        QTimer::singleShot(0, &guard, [&] { fail(QStringLiteral("the command could not be sent")); });
    }
    if (!done && problem.isEmpty())
        loop.exec();
    return done;
}

} // namespace divetool
