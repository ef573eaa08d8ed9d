#pragma once

#include "online/firmwarecatalogue.h"
#include "app/firmwareuploader.h"
#include "online/onlineconfig.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>

#include <memory>

class FirmwareDownloader;

class QSettings;

namespace Ui {
class FirmwareMgtClass;
}

// The dialog that installs firmware or a bootloader on the connected
// computer: the images published in the firmware repository (downloaded
// into the local "Firmwares" folder), or an image file from disk, confirmed
// by the user and written through the uploader. While an upload runs the
// dialog cannot be closed and starts nothing else.
class FirmwareMgt : public QDialog
{
    Q_OBJECT

public:
    // `dataFolder` holds the local "Firmwares" folder; `settings` keeps the
    // last firmware folder and points at the repository.
    FirmwareMgt(QWidget* parent, const QString& dataFolder, QSettings* settings);
    // The same with the repository given instead of read from `settings`
    // (demo mode's loopback repository).
    FirmwareMgt(QWidget* parent, const QString& dataFolder, QSettings* settings, const RepositoryAccess& repository);
    ~FirmwareMgt() override;

    // Follows `uploader`'s signals while the dialog runs modally.
    int run(FirmwareUploader* uploader);
    // The same connection without running: for callers that show the dialog
    // themselves.
    void setUploader(FirmwareUploader* uploader);

    QString firmwareFolder() const;
    const QList<FirmwareEntry>& catalogue() const { return mCatalogue; }
    bool uploadRunning() const { return mUploading; }
    FirmwareDownloader& downloader() { return *mDownloader; }

public slots:
    void fileDownloaded();
    void downloadFirmware();
    void on_btOpenFolder_clicked();
    void on_btFirmwareFromDisk_clicked();
    void onUploadFirmwareProgress(int nbBytesSent, int percentageDone);
    void onUploadFinished();
    void onUploadFailed(const QString& reason);
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void requestCatalogue();
    void onDownloadFailed(const QString& reason);
    void onDownloadProgress(qint64 received, qint64 total);
    void fillTable();
    void confirmAndUpload(const QString& path, const QString& shownName, const QString& uploadName);
    void showUploadResult(int result);
    void setUploading(bool uploading);
    void clearSelection();

    std::unique_ptr<Ui::FirmwareMgtClass> ui;
    QString mDataFolder;
    QSettings* mSettings;
    FirmwareDownloader* mDownloader;
    QPointer<FirmwareUploader> mUploader;
    QList<FirmwareEntry> mCatalogue;
    bool mCatalogueRequested = false;
    int mDownloadIndex = -1; // the entry being downloaded
    int mUploadIndex = -1;   // the entry being uploaded
    int mUploadSize = 0;
    int mUploadResult = 0;
    bool mUploading = false;
};

// Opens the firmware dialog over `parent` with the program's data folder and
// runs it until closed: the entry point of the computer menu.
int runFirmwareDialog(QWidget* parent, QSettings* settings, FirmwareUploader* uploader);
int runFirmwareDialog(QWidget* parent, QSettings* settings, FirmwareUploader* uploader,
                      const RepositoryAccess& repository);
