#include "online/httpget.h"

#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

namespace {

// Qt reads at most this much ahead of a streamed body's writer.
constexpr qint64 kStreamBuffer = 256 * 1024;

bool isWebScheme(const QUrl& url)
{
    return url.isValid() && !url.host().isEmpty()
        && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

HttpGet::HttpGet(QNetworkAccessManager* manager, RepositoryAccess access, QObject* parent)
    : QObject(parent)
    , mManager(manager)
    , mAccess(std::move(access))
{
}

HttpGet::~HttpGet()
{
    cancel();
}

int HttpGet::get(const QUrl& url, qint64 maxBytes)
{
    cancel();
    mPath.clear();
    mMaxBytes = maxBytes;
    return start(url);
}

int HttpGet::save(const QUrl& url, const QString& path, qint64 maxBytes)
{
    cancel();
    mPath = path;
    mMaxBytes = maxBytes;
    return start(url);
}

int HttpGet::start(const QUrl& url)
{
    if (!isWebScheme(url))
        return QNetworkReply::ProtocolUnknownError;
    mUrl = url;
    mRedirects = 0;
    if (!mPath.isEmpty()) {
        mFile = std::make_unique<QSaveFile>(mPath);
        if (!mFile->open(QIODevice::WriteOnly)) {
            const QString reason = tr("Cannot write output file") + QStringLiteral(": ") + mFile->errorString();
            mFile.reset();
            const quint64 generation = mGeneration;
            QMetaObject::invokeMethod(
                this,
                [this, reason, generation] {
                    if (generation == mGeneration)
                        emit failed(reason);
                },
                Qt::QueuedConnection);
            return 0;
        }
    }
    send();
    return 0;
}

void HttpGet::send()
{
    QNetworkRequest request(mUrl);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(mTransferTimeout);
    const QByteArray authorization = mAccess.authorizationFor(mUrl);
    if (!authorization.isEmpty())
        request.setRawHeader("Authorization", authorization);

    mBody.clear();
    mHeaders.clear();
    mReceived = 0;
    mAccepting = false;
    mReply = mManager->get(request);
    if (mFile)
        mReply->setReadBufferSize(kStreamBuffer);
    connect(mReply, &QNetworkReply::metaDataChanged, this, &HttpGet::onMetaData);
    connect(mReply, &QIODevice::readyRead, this, &HttpGet::onReadyRead);
    connect(mReply, &QNetworkReply::finished, this, &HttpGet::onFinished);
    connect(mReply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        if (mAccepting)
            emit progressChanged(received, total);
    });
}

void HttpGet::onMetaData()
{
    const int status = mReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    mAccepting = status >= 200 && status < 300;
    mHeaders = mReply->rawHeaderPairs();
    bool known = false;
    const qint64 announced = mReply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    if (mAccepting && known && mMaxBytes >= 0 && announced > mMaxBytes)
        fail(tr("The file is larger than %1 bytes").arg(mMaxBytes));
}

void HttpGet::onReadyRead()
{
    if (!mReply || !mReply->isOpen())
        return;
    if (!mAccepting && mHeaders.isEmpty())
        onMetaData();
    if (!mReply)
        return;
    const QByteArray chunk = mReply->readAll();
    if (!mAccepting || chunk.isEmpty())
        return; // the body of a refusal or a redirect is not data
    mReceived += chunk.size();
    if (mMaxBytes >= 0 && mReceived > mMaxBytes) {
        fail(tr("The file is larger than %1 bytes").arg(mMaxBytes));
        return;
    }
    if (!mFile) {
        mBody.append(chunk);
    } else if (mFile->write(chunk) != chunk.size()) {
        fail(tr("Cannot write output file") + QStringLiteral(": ") + mFile->errorString());
    }
}

void HttpGet::onFinished()
{
    onReadyRead();
    if (!mReply)
        return;
    const int status = mReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (isRedirect(status) && followRedirect())
        return;
    if (mReply->error() != QNetworkReply::NoError) {
        fail(mReply->errorString());
        return;
    }
    if (!mAccepting) {
        fail(tr("The server answered %1 %2")
                 .arg(status)
                 .arg(mReply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
        return;
    }
    // A decompressed body has another length than the one announced.
    const QByteArray encoding = mReply->rawHeader("Content-Encoding").trimmed().toLower();
    bool known = false;
    const qint64 announced = mReply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    if (known && (encoding.isEmpty() || encoding == "identity") && announced != mReceived) {
        fail(tr("The reply ended after %1 of %2 bytes").arg(mReceived).arg(announced));
        return;
    }
    if (mReceived < mMinBytes) {
        fail(tr("The file is smaller than %1 bytes").arg(mMinBytes));
        return;
    }
    releaseReply();
    if (mFile) {
        const bool committed = mFile->commit();
        const QString error = mFile->errorString();
        mFile.reset();
        if (!committed) {
            emit failed(tr("Cannot write output file") + QStringLiteral(": ") + error);
            return;
        }
    }
    emit finished();
}

bool HttpGet::followRedirect()
{
    const QByteArray location = mReply->rawHeader("Location");
    if (location.isEmpty())
        return false;
    const QUrl next = mUrl.resolved(QUrl::fromEncoded(location));
    if (++mRedirects > kMaxRedirects) {
        fail(tr("Too many redirections"));
        return true;
    }
    const bool downgrade = mUrl.scheme() == QLatin1String("https") && next.scheme() == QLatin1String("http")
        && !isLoopbackHost(next.host());
    if (!isWebScheme(next) || downgrade) {
        fail(tr("Refused redirection to %1").arg(next.toString()));
        return true;
    }
    releaseReply();
    mUrl = next;
    send();
    return true;
}

QByteArray HttpGet::rawHeader(const QByteArray& name) const
{
    for (const auto& header : mHeaders) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return {};
}

void HttpGet::fail(const QString& reason)
{
    releaseReply();
    mFile.reset(); // never committed: the temporary file goes, the previous file stays
    mBody.clear();
    emit failed(reason);
}

void HttpGet::cancel()
{
    ++mGeneration;
    releaseReply();
    mFile.reset();
}

void HttpGet::releaseReply()
{
    if (!mReply)
        return;
    QNetworkReply* reply = mReply;
    mReply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    if (reply->isRunning())
        reply->abort();
    reply->deleteLater();
}
