// KelvoSession: writing a firmware or bootloader image into the computer.

#include "corvane/protocol/firmwareimage.h"
#include "corvane/protocol/kelvobleprotocol.h"
#include "corvane/protocol/kelvosession.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

using namespace PelagonCommand;

namespace {

// What a failed answer of each step is reported as.
ExchangeError::ExchangeErrorIn stepError(PelagonCommandIn step)
{
    switch (step) {
    case Begin_program:
    case BeginUpdate: return ExchangeError::BeginProgramError;
    case End_program:
    case EndUpdate: return ExchangeError::EndProgramError;
    default: return ExchangeError::ProgramError;
    }
}

// The command a step's failure is reported under: both chunk commands as
// Program, both end commands as End_program.
PelagonCommandIn reportedStep(PelagonCommandIn step)
{
    switch (step) {
    case ProgramUpdate: return Program;
    case EndUpdate: return End_program;
    default: return step;
    }
}

} // namespace

int KelvoSession::refuseUpload(const QString& reason)
{
    setMessage(QStringLiteral("Firmware upload refused: ") + reason);
    return 0;
}

int KelvoSession::uploadFirmware(const QString& path, bool force)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuseUpload(QStringLiteral("cannot open %1").arg(path));
    // One byte past the limit is enough to tell an image that is too long.
    const QByteArray image = file.read(FirmwareImage::kMaximumSize + 1);
    if (file.error() != QFileDevice::NoError)
        return refuseUpload(QStringLiteral("cannot read %1").arg(path));
    return uploadFirmware(image, QFileInfo(path).fileName(), force);
}

int KelvoSession::uploadFirmware(const QByteArray& image, const QString& fileName, bool force)
{
    if (m_uploading || m_jobInFlight) {
        emit jobRefused(m_uploading ? m_uploadStep : Begin_program);
        return refuseUpload(QStringLiteral("the computer is busy"));
    }
    const FirmwareImage::Inspection inspection = FirmwareImage::inspect(image, fileName);
    if (inspection.isRefused())
        return refuseUpload(inspection.problem);
    switch (inspection.kind) {
    case FirmwareImage::Kind::Unknown:
        return -1;
    case FirmwareImage::Kind::Bootloader:
        if (inspection.version == bootloaderVersion() && !force)
            return -2;
        break;
    case FirmwareImage::Kind::Application:
        if (inspection.version == firmwareVersion() && !force)
            return -3;
        if (bootloaderVersion() == 0)
            return -4;
        break;
    case FirmwareImage::Kind::Headerless:
        break;
    }
    if (!m_protocol)
        return refuseUpload(QStringLiteral("no dive computer connected"));
    const bool headed = inspection.kind != FirmwareImage::Kind::Headerless;
    const PelagonCommandIn opening = headed ? BeginUpdate : Begin_program;
    if (!m_protocol->sendCommand(BleCommand(opening, inspection.opening)))
        return refuseUpload(QStringLiteral("the link did not take the request"));
    m_upload.start(image, headed);
    m_uploading = true;
    m_uploadStep = opening;
    m_jobInFlight = opening;
    return int(image.size());
}

void KelvoSession::sendUploadStep(PelagonCommandIn command, const QByteArray& payload)
{
    m_uploadStep = command;
    if (m_protocol && m_protocol->sendCommand(BleCommand(command, payload))) {
        m_jobInFlight = command;
        return;
    }
    // The link refused the write; its loss is reported by the link itself.
    m_uploading = false;
    m_jobInFlight.reset();
    QMetaObject::invokeMethod(
        this, [this, command] { emit exchangeError(reportedStep(command), stepError(command)); },
        Qt::QueuedConnection);
}

void KelvoSession::firmwareExecuteProgram()
{
    std::optional<FirmwareUpload::Progress> report;
    const QByteArray chunk = m_upload.nextChunk(m_protocol ? m_protocol->frameSize() : 1, report);
    if (report)
        emit uploadFirmwareProgress(report->bytesSent, report->percentDone);
    // A slot of the progress signal may have ended the link.
    if (m_uploading)
        sendUploadStep(m_upload.updateMode() ? ProgramUpdate : Program, chunk);
}

void KelvoSession::failUpload(PelagonCommandIn step)
{
    m_uploading = false;
    failJob(reportedStep(step), stepError(step));
}

void KelvoSession::abortUpload()
{
    if (!m_uploading)
        return;
    m_uploading = false;
    emit exchangeError(reportedStep(m_uploadStep), stepError(m_uploadStep));
}

void KelvoSession::dispatchFirmwareResponse(PelagonCommandIn command, const RecordBuffer& buffer,
                                            quint16 payloadLength)
{
    // Answers of an upload that already ended (or never ran) change nothing.
    if (!m_uploading) {
        if (m_jobInFlight == command)
            m_jobInFlight.reset();
        return;
    }
    const bool success = payloadLength >= 2 && buffer[1] != 0;
    if (!success) {
        failUpload(command);
        return;
    }
    switch (command) {
    case Begin_program:
        m_upload.setUpdateMode(false);
        firmwareExecuteProgram();
        return;
    case BeginUpdate:
        // The computer may already hold the start of the image.
        if (payloadLength > 2 && !m_upload.setStartOffset(qFromLittleEndian<quint32>(buffer.data() + 2))) {
            failUpload(BeginUpdate);
            return;
        }
        m_upload.setUpdateMode(true);
        firmwareExecuteProgram();
        return;
    case Program:
    case ProgramUpdate:
        if (!m_upload.endReached())
            firmwareExecuteProgram();
        else
            sendUploadStep(m_upload.updateMode() ? EndUpdate : End_program, QByteArray());
        return;
    case End_program:
    case EndUpdate:
        m_upload.finish();
        m_uploading = false;
        m_jobInFlight.reset();
        emit uploadFirmwareProgress(0, 100);
        emit endCommand(End_program);
        // The computer restarts into the new image; the link drops.
        if (m_protocol)
            m_protocol->sendCommand(BleCommand(Close));
        return;
    default:
        return;
    }
}
