#pragma once

#include "online/onlineconfig.h"
#include "online/updatearchive.h"
#include "online/updateoffer.h"

#include "online/wordpressclient.h"

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>

class GenericFileDownloader;
class QThread;
class QWidget;

// Looks for a newer installer of the program in the website's media
// library, offers it, downloads it with a progress dialog, unpacks it into a
// folder of its own and starts it where the platform has such installers;
// elsewhere it tells the user where the new version is.
class ApplicationUpdater : public QObject
{
    Q_OBJECT

public:
    ApplicationUpdater(QWidget* window, const OnlineConfig& config, const QString& runningVersion);
    ~ApplicationUpdater() override;

    // Lists the site's zip media; mediaListed() follows when it is read.
    void check();
    // Decides on the listed media: asks, downloads, installs.
    void offer(const QList<QJsonObject>& media);

    QProgressDialog* progressDialog() const { return mProgress; }
    GenericFileDownloader& downloader() { return *mDownloader; }
    WordPressClient* mediaClient() const { return mClient; }

signals:
    void mediaListed(const QList<QJsonObject>& media);
    // Nothing more will happen: no offer, declined, cancelled, failed or done.
    void finished();

private:
    void onDownloadFinished(const QString& archivePath);
    void onDownloadFailed(const QString& reason);
    // Unpacks on a worker thread; finished() follows once it is done.
    void install(const QString& archivePath);
    void finishInstall(const QString& archivePath, const QString& folder, const UpdateArchive::Result& unpacked);
    // The window-modal progress dialog of the download and the unpacking
    // (maximum 0: a busy bar).
    void openProgress(const QString& title, const QString& label, const QString& cancel, int maximum);
    void closeProgress();

    QWidget* mWindow;
    OnlineConfig mConfig;
    VersionTriple mRunning;
    QPointer<WordPressClient> mClient;
    GenericFileDownloader* mDownloader;
    QPointer<QProgressDialog> mProgress;
    QThread* mUnpacker = nullptr;
};
