#include "corvane/simulator/democomputer.h"

#include "corvane/ble/simulatedblebackend.h"
#include "corvane/ble/simulatedperipheral.h"
#include "corvane/simulator/demofaults.h"
#include "corvane/simulator/simulatedcomputer.h"

#include <QCoreApplication>
#include <QtGlobal>

DemoComputer::DemoComputer(QObject* parent) : DemoComputer(Options(), parent) {}

DemoComputer::DemoComputer(const Options& options, QObject* parent)
    : QObject(parent), m_backend(new SimulatedBleBackend(this)), m_peripheral(new SimulatedPeripheral(this)),
      m_computer(new SimulatedComputer(this))
{
    m_peripheral->setName(options.name);
    m_peripheral->setAddress(options.address);
    m_peripheral->setMtu(options.mtu);
    m_peripheral->setLinkModel(options.link);
    m_backend->addPeripheral(m_peripheral);

    ComputerState& state = m_computer->state();
    state.model = options.logbook.model;
    state.settings.family = options.logbook.model;
    state.settings.name = options.name.toUtf8().left(32);
    state.logbook = SimulatedLogbook::generate(options.logbook);
    state.syslog = {QStringLiteral("Boot"), QStringLiteral("Battery check OK"), QStringLiteral("Logbook ready")};
    state.syslogBin = {{1717225200, 1, 4100, 0}, {1717228800, 2, 38, 1}};
    state.battery = {{0x00100F10u, 0x80000000u | 0x0ABCu}};
    state.layouts = SimulatedFlash::demoLayouts();
    m_computer->attach(m_peripheral);
}

DemoComputer::~DemoComputer()
{
    m_computer->attach(nullptr);
}

bool DemoComputer::isRequested(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--demo")) || qEnvironmentVariable("PELAGON_DEMO") == QLatin1String("1")
           || !DemoFaults::request(arguments).isEmpty();
}

bool DemoComputer::setFaults(const QString& list, QString& problem)
{
    return DemoFaults::parse(list, m_computer->state().faults, problem);
}

DemoComputer* DemoComputer::install()
{
    if (DemoComputer* existing = installed())
        return existing;
    return new DemoComputer(QCoreApplication::instance());
}

DemoComputer* DemoComputer::installed()
{
    QCoreApplication* application = QCoreApplication::instance();
    return application ? application->findChild<DemoComputer*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}
