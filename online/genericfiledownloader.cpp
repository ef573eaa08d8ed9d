#include "online/genericfiledownloader.h"

#include "online/httpget.h"
#include "online/safenames.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QStandardPaths>

GenericFileDownloader::GenericFileDownloader(QObject* parent)
    : QObject(parent)
    , mManager(new QNetworkAccessManager(this))
    , mGet(new HttpGet(mManager, RepositoryAccess(), this))
{
    connect(mGet, &HttpGet::progressChanged, this, &GenericFileDownloader::progressChanged);
    connect(mGet, &HttpGet::finished, this, [this] { emit downloadFinished(mOutputPath); });
    connect(mGet, &HttpGet::failed, this, &GenericFileDownloader::downloadFailed);
}

GenericFileDownloader::~GenericFileDownloader() = default;

QString GenericFileDownloader::defaultOutputPath(const QUrl& url)
{
    const QString name = SafeNames::fileNameOfUrl(url);
    if (name.isEmpty())
        return {};
    return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation) + u'/' + name;
}

void GenericFileDownloader::download(const QUrl& url, const QString& outputPath, qint64 maxBytes)
{
    cancel();
    mOutputPath = outputPath.isEmpty() ? defaultOutputPath(url) : outputPath;
    if (mOutputPath.isEmpty()) {
        failLater(tr("The address has no usable file name: %1").arg(url.toString()));
        return;
    }
    QDir().mkpath(QFileInfo(mOutputPath).absolutePath());
    if (mGet->save(url, mOutputPath, maxBytes) != 0)
        failLater(tr("Unsupported address: %1").arg(url.toString()));
}

void GenericFileDownloader::failLater(const QString& reason)
{
    const quint64 generation = mGeneration;
    QMetaObject::invokeMethod(
        this,
        [this, reason, generation] {
            if (generation == mGeneration)
                emit downloadFailed(reason);
        },
        Qt::QueuedConnection);
}

void GenericFileDownloader::cancel()
{
    ++mGeneration;
    mGet->cancel();
}

bool GenericFileDownloader::isRunning() const
{
    return mGet->isRunning();
}

void GenericFileDownloader::setTransferTimeout(int milliseconds)
{
    mGet->setTransferTimeout(milliseconds);
}
