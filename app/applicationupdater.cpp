#include "app/applicationupdater.h"

#include "app/transferprogress.h"
#include "app/userdialogs.h"
#include "online/genericfiledownloader.h"
#include "online/updatearchive.h"
#include "online/wordpressclient.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QThread>

#include <memory>

ApplicationUpdater::ApplicationUpdater(QWidget* window, const OnlineConfig& config, const QString& runningVersion)
    : QObject(window)
    , mWindow(window)
    , mConfig(config)
    , mRunning(VersionTriple::fromString(runningVersion))
    , mDownloader(new GenericFileDownloader(this))
{
    connect(mDownloader, &GenericFileDownloader::downloadFinished, this, &ApplicationUpdater::onDownloadFinished);
    connect(mDownloader, &GenericFileDownloader::downloadFailed, this, &ApplicationUpdater::onDownloadFailed);
    connect(mDownloader, &GenericFileDownloader::progressChanged, this, [this](qint64 received, qint64 total) {
        if (mProgress)
            showTransferProgress(*mProgress, received, total);
    });
}

ApplicationUpdater::~ApplicationUpdater()
{
    mDownloader->cancel();
    delete mProgress;
    if (mUnpacker) {
        // The unpacking writes into its own fresh folder; let it end.
        mUnpacker->disconnect(this);
        mUnpacker->wait();
        delete mUnpacker;
    }
}

void ApplicationUpdater::check()
{
    if (mClient)
        return;
    mClient = new WordPressClient(mConfig.website, QStringLiteral("application/zip"), this);
    connect(mClient, &WordPressClient::mediaListReady, this, &ApplicationUpdater::mediaListed);
    connect(mClient, &WordPressClient::listingFailed, this, [this] {
        mClient->deleteLater();
        emit finished();
    });
    mClient->start();
}

void ApplicationUpdater::offer(const QList<QJsonObject>& media)
{
    const std::optional<UpdateOffer> offer = UpdateCheck::findOffer(media, mRunning);
    if (mClient)
        mClient->deleteLater();
    if (!offer) {
        emit finished();
        return;
    }
    if (!UserDialogs::current().question(
            mWindow, tr("Application update"),
            tr("A new version %1 is available, do you want to download and install it?").arg(offer->version.toString()))) {
        emit finished();
        return;
    }

    openProgress(tr("Downloading"), tr("Downloading new version..."), tr("Cancel"), 100);
    mProgress->setMinimumWidth(mProgress->sizeHint().width() * 3 / 2);
    connect(mProgress, &QProgressDialog::canceled, this, [this] {
        mDownloader->cancel();
        closeProgress();
        emit finished();
    });
    mProgress->setValue(0);
    mProgress->show();
    mDownloader->download(offer->url);
}

void ApplicationUpdater::onDownloadFailed(const QString& reason)
{
    closeProgress();
    showWarning(mWindow, tr("Download failed"), reason);
    emit finished();
}

void ApplicationUpdater::onDownloadFinished(const QString& archivePath)
{
    if (mProgress) {
        mProgress->setRange(0, 100);
        mProgress->setValue(100);
    }
    closeProgress();
    install(archivePath);
}

void ApplicationUpdater::install(const QString& archivePath)
{
    // A large archive takes seconds to inflate: on a thread of its own, with
    // a busy bar, so the window stays alive meanwhile.
    const QString folder = UpdateArchive::freshFolderFor(archivePath);
    auto result = std::make_shared<UpdateArchive::Result>();
    mUnpacker = QThread::create([archivePath, folder, result] { *result = UpdateArchive::unpack(archivePath, folder); });
    openProgress(tr("Download finished"), tr("Unpacking the new version..."), QString(), 0);
    mProgress->setCancelButton(nullptr);
    mProgress->show();
    connect(mUnpacker, &QThread::finished, this, [this, archivePath, folder, result] {
        mUnpacker->deleteLater();
        mUnpacker = nullptr;
        closeProgress();
        finishInstall(archivePath, folder, *result);
        emit finished();
    });
    mUnpacker->start();
}

void ApplicationUpdater::finishInstall(const QString& archivePath, const QString& folder,
                                       const UpdateArchive::Result& unpacked)
{
    if (!unpacked.ok) {
        qWarning().noquote() << "Update archive refused:" << unpacked.error;
        showInformation(mWindow, tr("Download finished"),
                        tr("The new version has been downloaded to %1").arg(QDir::toNativeSeparators(archivePath)));
        return;
    }
    QFile::remove(archivePath);
#ifdef Q_OS_WIN
    const QString installer = UpdateArchive::installerPath(folder, archivePath);
    if (QFileInfo(installer).isFile() && QProcess::startDetached(installer, {})) {
        QCoreApplication::quit();
        return;
    }
#endif
    // No installer this platform runs: the user starts the new version.
    showInformation(mWindow, tr("Download finished"),
                    tr("The new version has been downloaded to %1").arg(QDir::toNativeSeparators(folder)));
}

void ApplicationUpdater::openProgress(const QString& title, const QString& label, const QString& cancel, int maximum)
{
    mProgress = new QProgressDialog(label, cancel, 0, maximum, mWindow);
    mProgress->setObjectName(QStringLiteral("updateProgress"));
    mProgress->setWindowTitle(title);
    mProgress->setWindowModality(Qt::WindowModal);
    mProgress->setMinimumDuration(0);
    mProgress->setAutoClose(false);
    mProgress->setAutoReset(false);
}

void ApplicationUpdater::closeProgress()
{
    if (!mProgress)
        return;
    mProgress->disconnect(this);
    mProgress->close();
    mProgress->deleteLater();
    mProgress = nullptr;
}
