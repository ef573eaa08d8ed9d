#pragma once

#include "app/firmwareuploader.h"

#include <QPointer>

class KelvoSession;
class QSettings;
class QWidget;

// The firmware dialog's uploader on the computer session: starts the
// session's upload and turns its progress, completion, exchange errors and a
// lost link into the dialog's signals. Signals of jobs that are not an
// upload it started are ignored.
class SessionFirmwareUploader : public FirmwareUploader
{
    Q_OBJECT

public:
    // `session` is not owned.
    explicit SessionFirmwareUploader(KelvoSession* session, QObject* parent = nullptr);

    int uploadFirmware(const QByteArray& image, const QString& name, bool force) override;
    qint64 uploadElapsedMs() const override;
    QString refusalReason() const override { return m_refusal; }
    bool isUploading() const { return m_running; }

private:
    void fail(const QString& reason);

    QPointer<KelvoSession> m_session;
    bool m_running = false;
    QString m_refusal;
};

// Runs the firmware dialog for `session` (the computer menu's entry). In
// demo mode the catalogue comes from demo mode's loopback repository.
int runSessionFirmwareDialog(QWidget* parent, QSettings* settings, KelvoSession* session);
