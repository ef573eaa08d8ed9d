// KelvoSession: the command jobs and the dispatch of their answers.

#include "corvane/protocol/kelvosession.h"

#include "corvane/protocol/kelvobleprotocol.h"

#include <QDateTime>
#include <QtEndian>

using namespace PelagonCommand;

namespace {

QByteArray littleEndian16(quint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    return QByteArray(raw, 2);
}

QByteArray littleEndian32(quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    return QByteArray(raw, 4);
}

QByteArray littleEndian64(qint64 value)
{
    char raw[8];
    qToLittleEndian(value, raw);
    return QByteArray(raw, 8);
}

} // namespace

bool KelvoSession::refuseWhileBusy(PelagonCommandIn command)
{
    if (!m_protocol) {
        // Nobody to send it: the caller still hears of it, after it returns.
        QMetaObject::invokeMethod(
            this, [this, command] { emit exchangeError(command, ExchangeError::GenericError); },
            Qt::QueuedConnection);
        return true;
    }
    if (m_jobInFlight) {
        emit jobRefused(command);
        return true;
    }
    return false;
}

bool KelvoSession::sendJob(PelagonCommandIn command, const QByteArray& payload)
{
    if (!m_protocol->sendCommand(BleCommand(command, payload))) {
        // The link has reported its own error; the job ends here.
        QMetaObject::invokeMethod(
            this, [this, command] { emit exchangeError(command, ExchangeError::GenericError); },
            Qt::QueuedConnection);
        return false;
    }
    m_jobInFlight = command;
    return true;
}

void KelvoSession::finishJob(PelagonCommandIn command)
{
    m_jobInFlight.reset();
    emit endCommand(command);
}

void KelvoSession::failJob(PelagonCommandIn command, ExchangeError::ExchangeErrorIn error)
{
    m_jobInFlight.reset();
    // A failed pressure is over as well: the next one may go.
    if (command == Set_sensors)
        m_pressureBusy = false;
    emit exchangeError(command, error);
}

bool KelvoSession::startCommand(PelagonCommandIn command)
{
    if (refuseWhileBusy(command))
        return false;
    if (command == Logbook)
        m_data.clearDiveHeaders();
    // A second download of the system log replaces the first.
    if (command == Syslog || command == SyslogBin)
        m_data.clearSyslog();
    return sendJob(command);
}

bool KelvoSession::startGetLogbook(const QList<quint16>& existingDiveIds)
{
    if (refuseWhileBusy(Logbook))
        return false;
    m_data.clearDiveHeaders();
    QByteArray payload;
    payload.reserve(existingDiveIds.size() * 2);
    for (const quint16 id : existingDiveIds)
        payload += littleEndian16(id);
    return sendJob(Logbook, payload);
}

bool KelvoSession::qmlStartGetLogbook(const QList<int>& existingDiveIds)
{
    QList<quint16> ids;
    ids.reserve(existingDiveIds.size());
    for (const int id : existingDiveIds)
        ids.append(quint16(id));
    return startGetLogbook(ids);
}

bool KelvoSession::startGetDiveSamples(quint16 diveName)
{
    if (refuseWhileBusy(Fullsamples))
        return false;
    m_data.clearSamples();
    return sendJob(Fullsamples, littleEndian16(diveName));
}

bool KelvoSession::startSetPressure(quint32 pressure)
{
    if (m_pressureBusy) {
        emit jobRefused(Set_sensors);
        return false;
    }
    if (refuseWhileBusy(Set_sensors))
        return false;
    if (!sendJob(Set_sensors, littleEndian32(pressure)))
        return false;
    m_pressureBusy = true;
    return true;
}

bool KelvoSession::startSetTime()
{
    if (refuseWhileBusy(Set_time))
        return false;
    const QDateTime now = QDateTime::currentDateTime();
    return sendJob(Set_time, littleEndian64(now.toSecsSinceEpoch() + now.offsetFromUtc()));
}

bool KelvoSession::setOwner(const QString& owner)
{
    if (refuseWhileBusy(Set_owner))
        return false;
    m_ownerSent = owner;
    return sendJob(Set_owner, owner.toUtf8());
}

bool KelvoSession::startGetGases(quint8 gasType)
{
    if (refuseWhileBusy(GetGases))
        return false;
    return sendJob(GetGases, QByteArray(1, char(gasType)));
}

bool KelvoSession::startAmphorSettings(const AmphorSettings& settings)
{
    if (refuseWhileBusy(AmphorSet))
        return false;
    return sendJob(AmphorSet, settings.toBytes());
}

bool KelvoSession::startSuperUserMode(bool activate)
{
    if (refuseWhileBusy(SuperUserMode))
        return false;
    return sendJob(SuperUserMode, QByteArray(1, activate ? '\1' : '\0'));
}

bool KelvoSession::startGetBatteryInformation()
{
    if (refuseWhileBusy(BatteryInformation))
        return false;
    m_data.clearBatteryInfo();
    return sendJob(BatteryInformation);
}

void KelvoSession::onResponseReceived(PelagonCommandIn command, const QByteArray& payload, quint16 payloadLength)
{
    dispatchResponse(command, payload, payloadLength);
}

void KelvoSession::dispatchResponse(PelagonCommandIn command, const QByteArray& payload, quint16 payloadLength)
{
    const RecordBuffer buffer = KelvoData::recordBuffer(quint8(command), payload);
    const bool endMarker = payloadLength < 2;
    const bool success = buffer[1] != 0;
    switch (command) {
    case Identification:
        m_data.processIdentification(buffer);
        finishJob(command);
        return;
    case Syslog:
        if (endMarker)
            finishJob(command);
        else
            m_data.processSyslog(buffer);
        return;
    case Serialnumber:
        m_data.processSerialNumber(buffer);
        finishJob(command);
        return;
    case Computer:
    case Computer_new:
        m_data.processComputer(buffer, command == Computer_new);
        finishJob(command);
        return;
    case Time:
    case Set_time:
        m_data.processTime(buffer);
        finishJob(command);
        return;
    case Sensors:
        m_data.processSensors(buffer);
        finishJob(command);
        return;
    case Set_sensors:
        m_data.processSensors(buffer);
        m_pressureBusy = false;
        finishJob(command);
        return;
    case Diver:
        m_data.processDiver(buffer);
        finishJob(command);
        return;
    case Logbook:
        if (endMarker)
            finishJob(command);
        else
            m_data.processLogbook(buffer);
        return;
    case Fullsamples:
        m_data.processSamples(buffer, payloadLength);
        if (endMarker)
            finishJob(command);
        return;
    case Owner:
        m_data.processOwner(buffer);
        finishJob(command);
        return;
    case Set_owner:
        if (success) {
            m_data.setOwner(m_ownerSent);
            finishJob(command);
        } else {
            failJob(command, ExchangeError::SetOwnerError);
        }
        return;
    case DeleteLastDive:
    case EraseDives:
        m_data.processDeleteDives(buffer, m_deleteResult);
        finishJob(DeleteLastDive);
        return;
    case SimulParams:
        m_data.processSimulationParams(buffer);
        finishJob(command);
        return;
    case SyslogBin:
        if (endMarker)
            finishJob(command);
        else
            m_data.processSyslogBin(buffer);
        return;
    case BootloaderVersion:
        m_data.processBootloaderVersion(buffer);
        finishJob(command);
        return;
    case GetGases:
        if (payload.size() >= 2)
            m_data.processGetGases(buffer, payloadLength);
        else
            finishJob(command);
        return;
    case AmphorSet:
        if (success)
            finishJob(command);
        else
            failJob(command, ExchangeError::GenericError);
        return;
    case BatteryInformation:
        if (endMarker)
            finishJob(command);
        else
            m_data.processBatteryInformation(buffer, payloadLength);
        return;
    case EraseDivesFlash:
        m_data.processEraseDivesFlash(buffer);
        break;
    case Begin_program:
    case Program:
    case End_program:
    case BeginUpdate:
    case ProgramUpdate:
    case EndUpdate:
        dispatchFirmwareResponse(command, buffer, payloadLength);
        return;
    case LayoutList:
    case LayoutGet:
    case LayoutAdd:
    case LayoutRemove:
    case LayoutRemoveAll:
    case LayoutActiveGet:
    case LayoutActiveSet:
        dispatchLayoutResponse(command, buffer, payload, payloadLength);
        return;
    case Reset:
        controllerDisconnect();
        return;
    default:
        break;
    }
    // An answer the session reports nothing for still ends its job.
    if (m_jobInFlight == command)
        m_jobInFlight.reset();
}
