// The simulated computer's command handlers: one small function per command,
// listed in one table.

#include "corvane/protocol/protocoltypes.h"
#include "corvane/simulator/computerhandlers_p.h"
#include "corvane/simulator/computerrecords.h"
#include "corvane/simulator/computerstate.h"

#include <QDateTime>
#include <QSet>
#include <QtEndian>

namespace {

using Handler = void (*)(ComputerState&, const QByteArray& request, ComputerReply& reply);

quint16 u16At(const QByteArray& bytes, int offset)
{
    return offset + 2 <= bytes.size() ? qFromLittleEndian<quint16>(bytes.constData() + offset) : 0;
}

quint32 u32At(const QByteArray& bytes, int offset)
{
    return offset + 4 <= bytes.size() ? qFromLittleEndian<quint32>(bytes.constData() + offset) : 0;
}

using ComputerHandlers::stream;

quint8 identificationKind(const ComputerState& s)
{
    if (s.legacyIdentification)
        return 0;
    return ComputerRecords::identificationKind(s.model, s.bootloaderMode ? 2 : 1);
}

void identification(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    reply.payloads = {ComputerRecords::identification(s.firmwareVersion, identificationKind(s), s.bootloaderVersion)};
}

void serialNumber(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    reply.payloads = {s.legacyIdentification
                          ? ComputerRecords::legacySerialNumber(s.legacySerial, s.legacySerialSuffix)
                          : ComputerRecords::serialNumber(s.serial[0], s.serial[1], s.serial[2])};
}

void syslog(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    for (const QString& line : s.syslog)
        reply.payloads.append(ComputerRecords::text(line));
    reply.payloads.append(QByteArray());
}

void syslogBin(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    for (const SimulatedLogRecord& r : s.syslogBin)
        reply.payloads.append(ComputerRecords::syslogBin(r.time, r.type, r.value1, r.value2));
    reply.payloads.append(QByteArray());
}

// The older settings record: the legacy one of a computer without family,
// else the layout before the 12-gas table.
void computerOld(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    SimulatedSettings settings = s.settings;
    settings.family = s.model;
    settings.version = s.legacyIdentification ? 0 : quint8(qMin<int>(settings.version, 12));
    reply.payloads = {ComputerRecords::settings(settings)};
}

void computerNew(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    SimulatedSettings settings = s.settings;
    settings.family = s.model;
    settings.version = quint8(qMax<int>(settings.version, 13));
    reply.payloads = {ComputerRecords::settings(settings)};
}

void time(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    reply.payloads = {ComputerRecords::time(localWallClock() + s.clockOffset)};
}

void setTime(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    if (request.size() >= 8)
        s.clockOffset = qFromLittleEndian<qint64>(request.constData()) - localWallClock();
    time(s, request, reply);
}

void sensors(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    reply.payloads = {ComputerRecords::sensors(s.diver.ambientPressure(), s.diver.stopCode())};
}

void setSensors(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    if (request.size() >= 4)
        s.diver.follow(u32At(request, 0));
    sensors(s, request, reply);
}

void simulationParameters(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    reply.payloads = {ComputerRecords::simulationParameters(s.diver.surfacePressure(), s.diver.ambientPressure(), 1025)};
}

void diver(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    reply.payloads = {ComputerRecords::diver(s.diver.nitrogen(), s.diver.helium(), s.diver.cns())};
}

void logbook(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    QSet<quint16> known;
    for (int at = 0; at + 2 <= request.size(); at += 2)
        known.insert(u16At(request, at));
    for (const SimulatedDive& dive : s.logbook) {
        if (!known.contains(dive.diveNumber))
            reply.payloads.append(ComputerRecords::logbookHeader(dive, s.model));
    }
    reply.payloads.append(QByteArray());
}

void fullSamples(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    const quint16 number = u16At(request, 0);
    const SimulatedDive* found = nullptr;
    for (const SimulatedDive& dive : s.logbook) {
        if (dive.diveNumber == number)
            found = &dive;
    }
    if (found == nullptr) {
        reply.payloads = {QByteArray()};
        return;
    }
    SimulatedDive dive = *found;
    if (s.faults.outOfRangeGases) {
        const bool layoutB = s.model == ComputerModel::Pelagon && dive.sampleVersion >= 3;
        for (int i = 0; i < dive.samples.size(); i += 4)
            dive.samples[i].gas = layoutB ? 7 : quint8(12 + (i / 4) % 4);
    }
    QByteArray bytes = ComputerRecords::samples(dive, s.model);
    if (s.faults.truncatedSamples && !dive.samples.isEmpty())
        bytes.chop(ComputerRecords::sampleRecordSize(dive.sampleVersion, s.model) / 2);
    if (s.faults.linkLossAfterDives >= 0 && s.divesSent >= s.faults.linkLossAfterDives) {
        // Half of the dive is on the air when the link goes.
        stream(bytes.left(bytes.size() / 2), s.framePayload, reply);
        reply.payloads.removeLast();
        reply.dropLinkAfter = true;
        return;
    }
    ++s.divesSent;
    stream(bytes, s.framePayload, reply);
}

void owner(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    reply.payloads = {ComputerRecords::text(s.owner)};
}

// The computer keeps at most 31 bytes of owner name; it refuses a longer
// one, or an empty one.
void setOwner(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    const bool accepted = !request.isEmpty() && request.size() <= 31;
    if (accepted)
        s.owner = QString::fromUtf8(request);
    reply.payloads = {ComputerRecords::status(accepted)};
}

void deleteLastDive(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    const quint32 deleted = s.logbook.isEmpty() ? 0 : 1;
    if (!s.logbook.isEmpty())
        s.logbook.removeLast();
    reply.payloads = {ComputerRecords::deleteResult(deleted, quint32(s.logbook.size()))};
}

void eraseDives(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    const auto deleted = quint32(s.logbook.size());
    s.logbook.clear();
    reply.payloads = {ComputerRecords::deleteResult(deleted, 0)};
}

void eraseDivesFlash(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    s.logbook.clear();
    Q_UNUSED(request);
    reply.payloads = {QByteArray(1, char(s.eraseFlashResult))};
}

void bootloaderVersion(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    reply.payloads = {ComputerRecords::bootloaderVersion(s.bootloaderVersion)};
}

void gases(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    const quint8 selector = request.isEmpty() ? 0 : quint8(request[0]);
    const auto& o2 = selector == 0 ? s.settings.gasO2 : s.diluentO2;
    const auto& he = selector == 0 ? s.settings.gasHe : s.diluentHe;
    for (int i = 0; i < 12; ++i) {
        if (o2[std::size_t(i)] == 0)
            continue;
        const SimulatedGas g{quint8(i), float(o2[std::size_t(i)]) / 100.0f, float(he[std::size_t(i)]) / 100.0f};
        reply.payloads.append(ComputerRecords::gas(selector, g));
    }
    reply.payloads.append(QByteArray(1, char(selector)));
}

void amphorSettings(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    const bool accepted = request.size() == 14;
    if (accepted)
        s.amphorSettings = request;
    reply.payloads = {ComputerRecords::status(accepted)};
}

void batteryInformation(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    // Whole entries per frame.
    const int perFrame = qMax(1, s.framePayload / 8);
    for (int i = 0; i < s.battery.size(); i += perFrame)
        reply.payloads.append(ComputerRecords::batteryEntries(s.battery.mid(i, perFrame)));
    reply.payloads.append(QByteArray());
}

void batteryInformationClear(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    s.battery.clear();
    reply.payloads = {ComputerRecords::status(true)};
}

void superUserMode(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    s.superUser = !request.isEmpty() && request[0] == 1;
    reply.payloads = {ComputerRecords::status(true)};
}

// Commands with nothing to do: accepted.
void accepted(ComputerState&, const QByteArray&, ComputerReply& reply)
{
    reply.payloads = {ComputerRecords::status(true)};
}

void reset(ComputerState&, const QByteArray&, ComputerReply& reply)
{
    reply.payloads = {ComputerRecords::status(true)};
    reply.dropLinkAfter = true;
}

void close(ComputerState&, const QByteArray&, ComputerReply& reply)
{
    reply.silent = true;
    reply.dropLinkAfter = true;
}

struct Entry
{
    PelagonCommand::PelagonCommandIn command;
    Handler handler;
};

using namespace PelagonCommand;
using namespace ComputerHandlers;

constexpr Entry kHandlers[] = {
    {Identification, identification},
    {Syslog, syslog},
    {Serialnumber, serialNumber},
    {Computer, computerOld},
    {Time, time},
    {Set_time, setTime},
    {Sensors, sensors},
    {Set_sensors, setSensors},
    {Begin_program, beginProgram},
    {Program, programChunk},
    {End_program, endProgram},
    {Diver, diver},
    {Logbook, logbook},
    {Fullsamples, fullSamples},
    {Owner, owner},
    {Set_owner, setOwner},
    {Computer_new, computerNew},
    {DeleteLastDive, deleteLastDive},
    {EraseDives, eraseDives},
    {EraseDivesFlash, eraseDivesFlash},
    {SimulParams, simulationParameters},
    {SyslogBin, syslogBin},
    {BeginUpdate, beginUpdate},
    {ProgramUpdate, programChunk},
    {EndUpdate, endProgram},
    {BootloaderVersion, bootloaderVersion},
    {GetGases, gases},
    {AmphorSet, amphorSettings},
    {LayoutList, layoutList},
    {LayoutGet, layoutGet},
    {LayoutAdd, layoutAdd},
    {LayoutRemove, layoutRemove},
    {LayoutRemoveAll, layoutRemoveAll},
    {LayoutActiveGet, layoutActiveGet},
    {LayoutActiveSet, layoutActiveSet},
    {BatteryInformationClear, batteryInformationClear},
    {BatteryInformation, batteryInformation},
    {SuperUserMode, superUserMode},
    {CleanNvram, accepted},
    {Reset, reset},
    {Close, close},
};

} // namespace

void ComputerHandlers::stream(const QByteArray& bytes, int framePayload, ComputerReply& reply)
{
    const int step = qMax(1, framePayload);
    for (qsizetype at = 0; at < bytes.size(); at += step)
        reply.payloads.append(bytes.mid(at, step));
    reply.payloads.append(QByteArray());
}

ComputerReply answerRequest(ComputerState& state, int command, const QByteArray& request)
{
    ComputerReply reply;
    reply.silent = true;
    for (const Entry& entry : kHandlers) {
        if (int(entry.command) == command) {
            reply.silent = false;
            entry.handler(state, request, reply);
            break;
        }
    }
    if (command == state.faults.silentCommand)
        reply.silent = true;
    return reply;
}

qint64 localWallClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.toSecsSinceEpoch() + now.offsetFromUtc();
}
