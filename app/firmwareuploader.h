#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The step of the firmware dialog that writes an image into the connected
// computer. The session's firmware upload stands behind it; the dialog only
// starts it and follows its signals.
class FirmwareUploader : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Result codes of uploadFirmware besides the image size when started.
    enum Result {
        NothingStarted = 0,
        TooOldFirmwareFile = -1,
        BootloaderAlreadyInstalled = -2,
        FirmwareAlreadyInstalled = -3,
        NeedsBootloaderUpdate = -4,
    };

    // Starts writing `image`, named `name` (the file name up to ".bin");
    // `force` installs the version already installed. Returns the image size
    // when the upload started, else one of Result.
    virtual int uploadFirmware(const QByteArray& image, const QString& name, bool force) = 0;
    // Duration of the last completed upload, in milliseconds.
    virtual qint64 uploadElapsedMs() const = 0;
    // Why the last uploadFirmware started nothing (NothingStarted); may be empty.
    virtual QString refusalReason() const { return QString(); }

signals:
    // The computer has `bytesSent` bytes; (0, 100) is the final report.
    void uploadProgress(int bytesSent, int percentageDone);
    // The computer took the whole image and restarts.
    void uploadFinished();
    // The upload stopped: an exchange failed or the link was lost.
    void uploadFailed(const QString& reason);
};
