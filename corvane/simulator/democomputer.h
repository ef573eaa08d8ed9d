#pragma once

#include "corvane/ble/blelinkmodel.h"
#include "corvane/ble/simulatedblebackend.h"
#include "corvane/ble/simulatedperipheral.h"
#include "corvane/corvaneglobal.h"
#include "corvane/simulator/simulatedlogbook.h"

#include <QObject>
#include <QString>
#include <QStringList>

class SimulatedComputer;

// A radio with one simulated dive computer in range: what demo mode puts in
// place of the Bluetooth stack (the program, divetool) and what tests and
// benchmarks talk to. The computer advertises a name the session recognises
// and holds a generated logbook that is the same on every run, so a second
// download finds every dive already stored.
class CORVANE_EXPORT DemoComputer : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QString name = QStringLiteral("Pelagon");
        QString address = QStringLiteral("C0:FF:EE:00:20:24");
        LogbookOptions logbook;
        int mtu = 247;
        // A desktop link with data length extension: 15 ms, 4 packets per
        // event, about 65 KB/s of notifications at MTU 247.
        BleLinkModel link = BleLinkModel::paced(15000, 4);
    };

    explicit DemoComputer(QObject* parent = nullptr);
    DemoComputer(const Options& options, QObject* parent);
    ~DemoComputer() override;

    SimulatedBleBackend* backend() const { return m_backend; }
    SimulatedPeripheral* peripheral() const { return m_peripheral; }
    SimulatedComputer* computer() const { return m_computer; }

    // Whether demo mode is asked for: "--demo" or "--demo-fault=LIST" among
    // the arguments, or the environment variable PELAGON_DEMO set to 1 or
    // PELAGON_DEMO_FAULT set.
    static bool isRequested(const QStringList& arguments);
    // Makes the computer show the faults of LIST (see DemoFaults::help());
    // false with the reason when LIST names an unknown fault.
    bool setFaults(const QString& list, QString& problem);
    // Demo mode for the whole program: a demo computer owned by the
    // application object, found again by installed(). A session the program
    // creates takes installed()->backend() when there is one.
    static DemoComputer* install();
    static DemoComputer* installed();

private:
    SimulatedBleBackend* m_backend;
    SimulatedPeripheral* m_peripheral;
    SimulatedComputer* m_computer;
};
