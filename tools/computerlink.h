#pragma once

#include "corvane/protocol/kelvosession.h"

#include <QString>

#include <functional>
#include <memory>

class DemoComputer;

namespace divetool {

// Demo mode of one run: whether the simulated computer stands in for the
// Bluetooth stack, and the faults it shows (DemoFaults; checked already).
struct DemoSetting
{
    bool on = false;
    QString faults;
};

// The dive computer of one divetool command: a session on the platform's
// Bluetooth stack, or on the simulated computer of demo mode. Each step runs
// the event loop until the session reports its end; a step that fails says
// why in `problem` (one line).
class ComputerLink
{
public:
    explicit ComputerLink(const DemoSetting& demo);
    ~ComputerLink();
    ComputerLink(const ComputerLink&) = delete;
    ComputerLink& operator=(const ComputerLink&) = delete;

    // Scans, connects to the first dive computer found and reads its
    // identification, serial number and settings, as the program's
    // connection panel does.
    bool connect(QString& problem);
    // Starts a job with `start` and waits for the end of `command`.
    bool run(PelagonCommand::PelagonCommandIn command, const std::function<bool()>& start, QString& problem);
    bool run(PelagonCommand::PelagonCommandIn command, QString& problem);

    KelvoSession& session() { return *m_session; }
    // The device the session is linked to: "name (address)".
    QString deviceText() const;

private:
    std::unique_ptr<DemoComputer> m_demo;
    std::unique_ptr<KelvoSession> m_session;
};

} // namespace divetool
