#pragma once

// One radio with simulated dive computers in range, and the session under
// test: shared by the session's tests.

#include "corvane/ble/simulatedblebackend.h"
#include "corvane/ble/simulatedperipheral.h"
#include "corvane/protocol/kelvosession.h"
#include "corvane/simulator/simulatedcomputer.h"
#include "corvane/simulator/simulatedlogbook.h"

#include <QSignalSpy>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace SessionRig {

using namespace PelagonCommand;

// One radio, computers in range, and the session under test.
struct Rig
{
    SimulatedBleBackend backend;
    std::vector<std::unique_ptr<SimulatedPeripheral>> peripherals;
    std::vector<std::unique_ptr<SimulatedComputer>> computers;
    KelvoSession session{&backend, nullptr};

    explicit Rig(const QStringList& names = {QStringLiteral("Pelagon")})
    {
        int n = 0;
        for (const QString& name : names) {
            auto peripheral = std::make_unique<SimulatedPeripheral>();
            peripheral->setName(name);
            peripheral->setAddress(QStringLiteral("00:11:22:33:44:%1").arg(10 + n++));
            peripheral->setServices({SimulatedService::genericAccess(), SimulatedService::transparentUart(),
                                     SimulatedService::serialPort()});
            auto computer = std::make_unique<SimulatedComputer>();
            LogbookOptions options;
            options.diveCount = 6;
            computer->state().logbook = SimulatedLogbook::generate(options);
            computer->attach(peripheral.get());
            backend.addPeripheral(peripheral.get());
            peripherals.push_back(std::move(peripheral));
            computers.push_back(std::move(computer));
        }
    }

    SimulatedComputer& computer() { return *computers.front(); }
    SimulatedPeripheral& peripheral() { return *peripherals.front(); }

    bool connect(BleMode mode = Gatt)
    {
        QSignalSpy ready(&session, &KelvoSession::connectControllerStatus);
        session.autoConnect(mode);
        return ready.wait(5000) && ready.last().at(0).toInt() == ConnectControllerStatus::Connected;
    }

    // Starts a job and waits for its end; true on endCommand(expected).
    bool run(const std::function<bool()>& start, PelagonCommandIn expected)
    {
        QSignalSpy ended(&session, &KelvoSession::endCommand);
        QSignalSpy failed(&session, &KelvoSession::exchangeError);
        QSignalSpy lost(&session, &KelvoSession::disconnectController);
        if (!start())
            return false;
        for (int i = 0; i < 50 && ended.isEmpty() && failed.isEmpty() && lost.isEmpty(); ++i)
            ended.wait(100);
        return failed.isEmpty() && ended.size() == 1 && ended.at(0).at(0).toInt() == int(expected);
    }
    bool run(PelagonCommandIn command)
    {
        return run([this, command] { return session.startCommand(command); }, command);
    }
};

} // namespace SessionRig
