#include "app/firmwaremgt.h"

#include "app/appsettings.h"
#include "app/firmwareuploader.h"
#include "app/transferprogress.h"
#include "app/userdialogs.h"
#include "online/firmwaredownloader.h"
#include "ui_firmwaremgt.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QSettings>
#include <QTime>
#include <QToolButton>
#include <QUrl>

namespace {

enum Column { FileColumn, VersionColumn, DateColumn, DescriptionColumn, DownloadColumn, ColumnCount };

} // namespace

FirmwareMgt::FirmwareMgt(QWidget* parent, const QString& dataFolder, QSettings* settings)
    : FirmwareMgt(parent, dataFolder, settings, OnlineConfig::fromSettings(*settings).repository)
{
}

FirmwareMgt::FirmwareMgt(QWidget* parent, const QString& dataFolder, QSettings* settings,
                         const RepositoryAccess& repository)
    : QDialog(parent)
    , ui(std::make_unique<Ui::FirmwareMgtClass>())
    , mDataFolder(dataFolder)
    , mSettings(settings)
    , mDownloader(new FirmwareDownloader(repository, this))
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("FirmwareMgt"));
    ui->btFirmwareFromDisk->setIcon(QIcon(QStringLiteral(":/TestGraphics/icons/dossier.png")));
    ui->btOk->setIcon(QIcon(QStringLiteral(":/TestGraphics/icons/ok.png")));
    ui->progressBar->setVisible(false);
    ui->tbFirmwares->setColumnCount(ColumnCount);
    ui->tbFirmwares->setHorizontalHeaderLabels({tr("File"), tr("Version"), tr("Date"), tr("Description"), QString()});
    connect(ui->btOk, &QPushButton::clicked, this, &QDialog::accept);

    connect(mDownloader, &FirmwareDownloader::downloaded, this, &FirmwareMgt::fileDownloaded);
    connect(mDownloader, &FirmwareDownloader::downloadFailed, this, &FirmwareMgt::onDownloadFailed);
    connect(mDownloader, &FirmwareDownloader::progressChanged, this, &FirmwareMgt::onDownloadProgress);
}

FirmwareMgt::~FirmwareMgt() = default;

QString FirmwareMgt::firmwareFolder() const
{
    return QDir(mDataFolder).filePath(QStringLiteral("Firmwares"));
}

int FirmwareMgt::run(FirmwareUploader* uploader)
{
    setUploader(uploader);
    const int result = UserDialogs::current().exec(*this);
    setUploader(nullptr);
    return result;
}

void FirmwareMgt::setUploader(FirmwareUploader* uploader)
{
    if (mUploader)
        mUploader->disconnect(this);
    mUploader = uploader;
    if (!uploader)
        return;
    connect(uploader, &FirmwareUploader::uploadProgress, this, &FirmwareMgt::onUploadFirmwareProgress);
    connect(uploader, &FirmwareUploader::uploadFinished, this, &FirmwareMgt::onUploadFinished);
    connect(uploader, &FirmwareUploader::uploadFailed, this, &FirmwareMgt::onUploadFailed);
}

void FirmwareMgt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!mCatalogueRequested) {
        mCatalogueRequested = true;
        requestCatalogue();
    }
}

void FirmwareMgt::requestCatalogue()
{
    const int error = mDownloader->request(mDownloader->url(FirmwareDownloader::TableOfContentsUrl),
                                           FirmwareDownloader::TableOfContents);
    if (error != 0)
        showCritical(this, tr("Download Error"), tr("Error %1").arg(error));
}

void FirmwareMgt::fileDownloaded()
{
    switch (mDownloader->requestKind()) {
    case FirmwareDownloader::TableOfContents: {
        mCatalogue = FirmwareCatalogue::fromTableOfContents(mDownloader->tableOfContents());
        const int error = mDownloader->request(mDownloader->url(FirmwareDownloader::ContentsUrl),
                                               FirmwareDownloader::Listing);
        if (error != 0)
            showCritical(this, tr("Download Error"), tr("Error %1").arg(error));
        break;
    }
    case FirmwareDownloader::Listing:
        FirmwareCatalogue::applyListing(mCatalogue, mDownloader->listing());
        fillTable();
        break;
    case FirmwareDownloader::FirmwareFile: {
        const int index = mDownloadIndex;
        mDownloadIndex = -1;
        ui->progressBar->setVisible(false);
        if (index < 0 || index >= mCatalogue.size() || mUploading)
            break;
        const FirmwareEntry& entry = mCatalogue[index];
        ui->lbInfo->setText(tr("%1 downloaded").arg(entry.file));
        mUploadIndex = index;
        confirmAndUpload(mDownloader->savedPath(), entry.file, entry.uploadName());
        break;
    }
    default:
        break;
    }
}

void FirmwareMgt::onDownloadFailed(const QString& reason)
{
    if (mDownloader->requestKind() == FirmwareDownloader::FirmwareFile) {
        mDownloadIndex = -1;
        ui->progressBar->setVisible(false);
        ui->lbInfo->clear();
    } else {
        ui->lbInfo->setText(tr("The firmware list is not available"));
    }
    showCritical(this, tr("Download Error"), reason);
}

void FirmwareMgt::onDownloadProgress(qint64 received, qint64 total)
{
    if (mDownloadIndex < 0 || mUploading)
        return;
    ui->progressBar->setVisible(true);
    showTransferProgress(*ui->progressBar, received, total);
}

void FirmwareMgt::fillTable()
{
    QTableWidget* table = ui->tbFirmwares;
    table->setRowCount(int(mCatalogue.size()));
    for (int row = 0; row < mCatalogue.size(); ++row) {
        const FirmwareEntry& entry = mCatalogue[row];
        const QStringList texts{entry.file, entry.versionText, entry.dateTime, entry.description};
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setBackground(entry.color);
            item->setForeground(Qt::black);
            table->setItem(row, column, item);
        }
        table->setCellWidget(row, DownloadColumn, nullptr);
        if (entry.downloadUrl.isEmpty())
            continue; // not published: nothing to download
        auto* button = new QToolButton(table);
        button->setObjectName(QStringLiteral("btDownload%1").arg(row));
        button->setIcon(QIcon(QStringLiteral(":/TestGraphics/icons/download.png")));
        button->setToolTip(tr("Download Firmware"));
        button->setProperty("id", row);
        connect(button, &QToolButton::clicked, this, &FirmwareMgt::downloadFirmware);
        table->setCellWidget(row, DownloadColumn, button);
    }
    table->resizeColumnsToContents();
    ui->lbInfo->setText(tr("%1 Firmwares Available").arg(mCatalogue.size()));
}

void FirmwareMgt::downloadFirmware()
{
    if (mDownloadIndex >= 0 || mUploading || !sender())
        return;
    const int row = sender()->property("id").toInt();
    if (row < 0 || row >= mCatalogue.size() || mCatalogue[row].downloadUrl.isEmpty())
        return;
    const FirmwareEntry& entry = mCatalogue[row];
    if (!QDir().mkpath(firmwareFolder())) {
        showCritical(this, tr("Error"), tr("Impossible to create the folder %1").arg(firmwareFolder()));
        return;
    }
    const QString path = QDir(firmwareFolder()).filePath(entry.localName());
    const int error = mDownloader->requestFile(entry.downloadUrl, FirmwareDownloader::FirmwareFile, path,
                                               FirmwareCatalogue::kMaxImageSize, FirmwareCatalogue::kMinImageSize);
    if (error != 0) {
        showCritical(this, tr("Download Error"), tr("Error %1").arg(error));
        return;
    }
    mDownloadIndex = row;
    ui->lbInfo->setText(tr("Downloading %1...").arg(entry.file));
}

void FirmwareMgt::on_btOpenFolder_clicked()
{
    QDir().mkpath(firmwareFolder());
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(firmwareFolder()).absoluteFilePath()));
}

void FirmwareMgt::on_btFirmwareFromDisk_clicked()
{
    if (mUploading)
        return;
    const QString path = UserDialogs::current().openFileName(
        this, tr("Open Firmware"), mSettings->value(SettingsKey::lastFirmwares).toString(),
        tr("Firmware Files (*.bin)"));
    if (path.isEmpty())
        return;
    mSettings->setValue(SettingsKey::lastFirmwares, QFileInfo(path).absolutePath());
    mSettings->sync();
    const QString name = QFileInfo(path).fileName();
    QString uploadName = name;
    if (uploadName.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive))
        uploadName.chop(4);
    mUploadIndex = -1;
    confirmAndUpload(path, name, uploadName);
}

void FirmwareMgt::confirmAndUpload(const QString& path, const QString& shownName, const QString& uploadName)
{
    QByteArray image;
    QString reason;
    if (!FirmwareCatalogue::loadImage(path, image, &reason)) {
        showCritical(this, tr("Error"), reason);
        clearSelection();
        return;
    }
    if (!UserDialogs::current().question(this, tr("Confirmation"), tr("Upload firmware %1?").arg(shownName))) {
        clearSelection(); // the downloaded file stays in the folder
        return;
    }
    if (!mUploader) {
        showCritical(this, tr("Error"), tr("No dive computer connected"));
        clearSelection();
        return;
    }
    showUploadResult(mUploader->uploadFirmware(image, uploadName, ui->ckForceSameVersion->isChecked()));
}

void FirmwareMgt::showUploadResult(int result)
{
    mUploadResult = result;
    if (result > 0) {
        mUploadSize = result;
        setUploading(true);
        ui->progressBar->setRange(0, 100);
        ui->progressBar->setValue(0);
        ui->progressBar->setVisible(true);
        ui->lbInfo->setText(tr("Number of bytes sent: %1/%2").arg(0).arg(mUploadSize));
        return;
    }
    switch (result) {
    case FirmwareUploader::NeedsBootloaderUpdate:
        showCritical(this, tr("Error"), tr("Update firmware needs bootloader update"));
        break;
    case FirmwareUploader::FirmwareAlreadyInstalled:
        showCritical(this, tr("Error"), tr("Firmware already installed"));
        break;
    case FirmwareUploader::BootloaderAlreadyInstalled:
        showCritical(this, tr("Error"), tr("Bootloader already installed"));
        break;
    case FirmwareUploader::TooOldFirmwareFile:
        showCritical(this, tr("Error"), tr("Too old firmware file"));
        break;
    case FirmwareUploader::NothingStarted: {
        // Nothing went to the computer: said, never silent.
        const QString reason = mUploader ? mUploader->refusalReason() : QString();
        showCritical(this, tr("Error"),
                     reason.isEmpty() ? tr("The firmware upload could not start")
                                      : tr("The firmware upload could not start: %1").arg(reason));
        break;
    }
    default:
        break;
    }
    clearSelection();
}

void FirmwareMgt::onUploadFirmwareProgress(int nbBytesSent, int percentageDone)
{
    if (!mUploading)
        return;
    if (nbBytesSent == 0 && percentageDone == 100) {
        ui->progressBar->setValue(0);
        ui->lbInfo->setText(tr("Nb sent: 0/0"));
        return;
    }
    ui->progressBar->setValue(percentageDone);
    ui->lbInfo->setText(tr("Number of bytes sent: %1/%2").arg(nbBytesSent).arg(mUploadSize));
}

void FirmwareMgt::onUploadFinished()
{
    if (!mUploading)
        return;
    const qint64 elapsed = mUploader ? mUploader->uploadElapsedMs() : 0;
    ui->lbInfo->setText(QTime(0, 0).addMSecs(int(elapsed)).toString(tr("'Installation Successfull in' hh:mm:ss")));
    setUploading(false);
    clearSelection();
}

void FirmwareMgt::onUploadFailed(const QString& reason)
{
    if (!mUploading)
        return;
    setUploading(false);
    ui->progressBar->setVisible(false);
    ui->lbInfo->clear();
    clearSelection();
    showCritical(this, tr("Error"), tr("The firmware upload failed: %1").arg(reason));
}

void FirmwareMgt::setUploading(bool uploading)
{
    mUploading = uploading;
    for (QWidget* widget : std::initializer_list<QWidget*>{ui->btOk, ui->btFirmwareFromDisk, ui->ckForceSameVersion,
                                                           ui->tbFirmwares})
        widget->setEnabled(!uploading);
}

void FirmwareMgt::clearSelection()
{
    mUploadIndex = -1;
    ui->tbFirmwares->clearSelection();
}

void FirmwareMgt::reject()
{
    if (mUploading)
        return; // the computer is being written: the dialog stays
    QDialog::reject();
}

void FirmwareMgt::closeEvent(QCloseEvent* event)
{
    if (mUploading) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

int runFirmwareDialog(QWidget* parent, QSettings* settings, FirmwareUploader* uploader)
{
    FirmwareMgt dialog(parent, DataDirectory::path(), settings);
    return dialog.run(uploader);
}

int runFirmwareDialog(QWidget* parent, QSettings* settings, FirmwareUploader* uploader,
                      const RepositoryAccess& repository)
{
    FirmwareMgt dialog(parent, DataDirectory::path(), settings, repository);
    return dialog.run(uploader);
}
