#include "app/sessionfirmwareuploader.h"

#include "app/firmwaremgt.h"
#include "app/newestfirmware.h"
#include "corvane/protocol/kelvobleprotocol.h"
#include "corvane/protocol/kelvosession.h"

#include <chrono>

SessionFirmwareUploader::SessionFirmwareUploader(KelvoSession* session, QObject* parent)
    : FirmwareUploader(parent), m_session(session)
{
    if (!session)
        return;
    connect(session, &KelvoSession::uploadFirmwareProgress, this, [this](int sent, int percent) {
        if (m_running)
            emit uploadProgress(sent, percent);
    });
    connect(session, &KelvoSession::endCommand, this, [this](PelagonCommand::PelagonCommandIn command) {
        if (!m_running || command != PelagonCommand::End_program)
            return;
        m_running = false;
        emit uploadFinished();
    });
    connect(session, &KelvoSession::exchangeError, this,
            [this](PelagonCommand::PelagonCommandIn, ExchangeError::ExchangeErrorIn error) {
                if (!m_session || !m_session->isConnected())
                    fail(tr("the link to the dive computer was lost"));
                else
                    fail(KelvoBleProtocol::exchangeErrorString(error));
            });
    connect(session, &KelvoSession::disconnectController, this,
            [this] { fail(tr("the link to the dive computer was lost")); });
    connect(session, &QObject::destroyed, this, [this] { fail(tr("the link to the dive computer was lost")); });
}

int SessionFirmwareUploader::uploadFirmware(const QByteArray& image, const QString& name, bool force)
{
    m_refusal.clear();
    if (!m_session || !m_session->isConnected()) {
        m_refusal = tr("No dive computer connected");
        return NothingStarted;
    }
    const int result = m_session->uploadFirmware(image, name, force);
    if (result == NothingStarted)
        m_refusal = m_session->message();
    m_running = result > 0;
    return result;
}

qint64 SessionFirmwareUploader::uploadElapsedMs() const
{
    return m_session ? std::chrono::duration_cast<std::chrono::milliseconds>(m_session->uploadElapsed()).count() : 0;
}

void SessionFirmwareUploader::fail(const QString& reason)
{
    if (!m_running)
        return;
    m_running = false;
    emit uploadFailed(reason);
}

int runSessionFirmwareDialog(QWidget* parent, QSettings* settings, KelvoSession* session)
{
    SessionFirmwareUploader uploader(session);
    return runFirmwareDialog(parent, settings, &uploader, programFirmwareRepository(*settings));
}
