#pragma once

#include "corvane/ble/simulatedperipheral.h"
#include "corvane/corvaneglobal.h"
#include "corvane/simulator/computerstate.h"

#include <QBluetoothUuid>
#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <memory>

class FrameStore;

// A dive computer behind a simulated peripheral: it reads the request frames
// the program writes, answers each command with the frames and records a
// real computer sends, through the peripheral's notifications (MTU-sized, at
// the pace of its link model), and can misbehave on demand (ComputerFaults).
// Its state (identity, owner, clock, logbook, the diver it simulates) is
// public in state() so that tests and demo set-ups can shape it.
class CORVANE_EXPORT SimulatedComputer : public QObject
{
    Q_OBJECT

public:
    explicit SimulatedComputer(QObject* parent = nullptr);
    ~SimulatedComputer() override;

    // Plugs the computer into the peripheral's byte pipe (one at a time;
    // nullptr unplugs it). The peripheral is not owned.
    void attach(SimulatedPeripheral* peripheral);
    SimulatedPeripheral* peripheral() const { return m_peripheral; }

    ComputerState& state() { return m_state; }
    const ComputerState& state() const { return m_state; }
    ComputerFaults& faults() { return m_state.faults; }

    // Requests answered since construction, and the code of the last one.
    int requestCount() const { return m_requests; }
    int lastCommand() const { return m_lastCommand; }

signals:
    // A request frame with a good CRC arrived (before it is answered).
    void requestReceived(int command, const QByteArray& payload);
    // A request frame failed its CRC and was not answered.
    void badRequest();

private:
    void onWritten(const QBluetoothUuid& characteristic, const QByteArray& data);
    void onLinkDown();
    // Answers one request; a damaged chunk (`damaged`) is refused.
    void answer(const QBluetoothUuid& characteristic, int command, const QByteArray& request, bool damaged = false);

    QPointer<SimulatedPeripheral> m_peripheral;
    std::unique_ptr<FrameStore> m_store;
    ComputerState m_state;
    int m_requests = 0;
    int m_lastCommand = -1;
};
