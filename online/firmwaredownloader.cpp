#include "online/firmwaredownloader.h"

#include "online/httpget.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>

FirmwareDownloader::FirmwareDownloader(RepositoryAccess access, QObject* parent)
    : QObject(parent)
    , mManager(new QNetworkAccessManager(this))
    , mAccess(std::move(access))
{
}

QUrl FirmwareDownloader::url(int urlKind) const
{
    QUrl url = mAccess.contentsUrl();
    if (urlKind == TableOfContentsUrl)
        url.setPath(url.path() + QStringLiteral("/toc-private.json"));
    return url;
}

HttpGet* FirmwareDownloader::makeGet(int requestKind, const QString& path)
{
    auto* get = new HttpGet(mManager, mAccess, this);
    get->setTransferTimeout(mTransferTimeout);
    connect(get, &HttpGet::progressChanged, this, &FirmwareDownloader::progressChanged);
    connect(get, &HttpGet::finished, this, [this, get, requestKind, path] {
        mRequestKind = requestKind;
        mLastReply = get->body();
        mSavedPath = path;
        get->deleteLater();
        emit downloaded();
    });
    connect(get, &HttpGet::failed, this, [this, get, requestKind, path](const QString& reason) {
        qDebug().noquote() << "Firmware repository:" << reason;
        mRequestKind = requestKind;
        mLastReply.clear();
        mSavedPath = path;
        get->deleteLater();
        emit downloadFailed(reason);
    });
    return get;
}

int FirmwareDownloader::request(const QUrl& url, int requestKind)
{
    HttpGet* get = makeGet(requestKind, QString());
    const int error = get->get(url, kMaxListingBytes);
    if (error != 0)
        delete get;
    return error;
}

int FirmwareDownloader::requestFile(const QUrl& url, int requestKind, const QString& path, qint64 maxBytes,
                                    qint64 minBytes)
{
    HttpGet* get = makeGet(requestKind, path);
    get->setMinimumSize(minBytes);
    const int error = get->save(url, path, maxBytes);
    if (error != 0)
        delete get;
    return error;
}

void FirmwareDownloader::cancel()
{
    for (HttpGet* get : findChildren<HttpGet*>(QString(), Qt::FindDirectChildrenOnly)) {
        get->cancel();
        get->disconnect(this);
        get->deleteLater();
    }
}

bool FirmwareDownloader::isBusy() const
{
    for (const HttpGet* get : findChildren<HttpGet*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (get->isRunning())
            return true;
    }
    return false;
}

QJsonArray FirmwareDownloader::tableOfContents() const
{
    return tableOfContents(mLastReply);
}

QJsonArray FirmwareDownloader::tableOfContents(const QByteArray& fileObject)
{
    const QJsonObject object = QJsonDocument::fromJson(fileObject).object();
    // The decoder skips what is not in the Base64 alphabet: the line breaks
    // the repository puts every 60 characters.
    const QByteArray content = QByteArray::fromBase64(object.value(QLatin1String("content")).toString().toLatin1());
    return QJsonDocument::fromJson(content).array();
}

QJsonArray FirmwareDownloader::listing() const
{
    return QJsonDocument::fromJson(mLastReply).array();
}
