#pragma once

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

class HttpGet;
class QNetworkAccessManager;

// Lists the media library of a WordPress site through its REST API, one page
// of at most 100 objects per request, following "X-WP-TotalPages".
class WordPressClient : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPageSize = 100;
    // A site that claims more pages than this is read up to here.
    static constexpr int kMaxPages = 100;

    // `base` is the site's root address; `mimeType` (may be empty) filters
    // the media.
    WordPressClient(QUrl base, QString mimeType, QObject* parent = nullptr);

    // Starts (again) from page 1.
    void start();
    void setTransferTimeout(int milliseconds);
    QUrl pageUrl(int page) const;

signals:
    // Once, after the last page, with every object of every page in order.
    void mediaListReady(const QList<QJsonObject>& list);
    // Instead of mediaListReady when a page failed or was not a JSON array.
    void listingFailed(const QString& reason);

private:
    void requestPage();
    void onPage();

    QUrl mBase;
    QString mMimeType;
    int mPage = 1;
    QList<QJsonObject> mMedia;
    QNetworkAccessManager* mManager;
    HttpGet* mGet;
};
