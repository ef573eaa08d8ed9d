#include "online/wordpressclient.h"

#include "online/httpget.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>

WordPressClient::WordPressClient(QUrl base, QString mimeType, QObject* parent)
    : QObject(parent)
    , mBase(std::move(base))
    , mMimeType(std::move(mimeType))
    , mManager(new QNetworkAccessManager(this))
    , mGet(new HttpGet(mManager, RepositoryAccess(), this))
{
    connect(mGet, &HttpGet::finished, this, &WordPressClient::onPage);
    connect(mGet, &HttpGet::failed, this, [this](const QString& reason) {
        qDebug().noquote() << "Network error:" << reason;
        emit listingFailed(reason);
    });
}

QUrl WordPressClient::pageUrl(int page) const
{
    QString base = mBase.toString();
    while (base.endsWith(u'/'))
        base.chop(1);
    QString url = QStringLiteral("%1/wp-json/wp/v2/media?per_page=%2&page=%3").arg(base).arg(kPageSize).arg(page);
    if (!mMimeType.isEmpty())
        url += QStringLiteral("&mime_type=") + mMimeType;
    return QUrl(url);
}

void WordPressClient::start()
{
    mPage = 1;
    mMedia.clear();
    requestPage();
}

void WordPressClient::setTransferTimeout(int milliseconds)
{
    mGet->setTransferTimeout(milliseconds);
}

void WordPressClient::requestPage()
{
    if (mGet->get(pageUrl(mPage)) != 0) {
        const QString reason = tr("Unsupported address: %1").arg(pageUrl(mPage).toString());
        QMetaObject::invokeMethod(this, [this, reason] { emit listingFailed(reason); }, Qt::QueuedConnection);
    }
}

void WordPressClient::onPage()
{
    const QJsonDocument document = QJsonDocument::fromJson(mGet->body());
    if (!document.isArray()) {
        qDebug().noquote() << "Unexpected response:" << mGet->body().left(200);
        emit listingFailed(tr("Unexpected response"));
        return;
    }
    const QJsonArray page = document.array();
    for (const QJsonValue& value : page)
        mMedia.append(value.toObject());

    const int totalPages = qMin(mGet->rawHeader("X-WP-TotalPages").trimmed().toInt(), kMaxPages);
    if (mPage < totalPages) {
        ++mPage;
        requestPage();
        return;
    }
    emit mediaListReady(mMedia);
}
