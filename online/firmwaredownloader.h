#pragma once

#include "online/onlineconfig.h"

#include <QByteArray>
#include <QJsonArray>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

// Reads the firmware repository through its REST contents interface: the
// table of contents ("/toc-private.json"), the listing of the published files
// and the files themselves. Requests may overlap; each reply keeps the kind
// it was sent with, and while downloaded() or downloadFailed() is being
// emitted requestKind() and lastReply() belong to that reply.
class FirmwareDownloader : public QObject
{
    Q_OBJECT

public:
    // What url() builds.
    enum UrlKind { ContentsUrl = 0, TableOfContentsUrl = 1 };
    // The kinds the firmware dialog sends; any int is carried back unchanged.
    enum RequestKind { TableOfContents = 0, Listing = 1, FirmwareFile = 2 };

    static constexpr qint64 kMaxListingBytes = 4 * 1024 * 1024;

    explicit FirmwareDownloader(RepositoryAccess access, QObject* parent = nullptr);

    QUrl url(int urlKind) const;

    // Requests `url` into memory. Returns 0 when sent, else the network error
    // code, and then nothing is emitted.
    int request(const QUrl& url, int requestKind);
    // Requests `url` streamed into `path` (atomic: the file is replaced only
    // by a complete body of minBytes to maxBytes, maxBytes < 0: no cap).
    // Same return as request().
    int requestFile(const QUrl& url, int requestKind, const QString& path, qint64 maxBytes, qint64 minBytes = 0);
    // Aborts every request in flight; none of them signals afterwards.
    void cancel();
    bool isBusy() const;

    // The reply being reported (body of a request(), empty for requestFile()).
    const QByteArray& lastReply() const { return mLastReply; }
    int requestKind() const { return mRequestKind; }
    // The file of the requestFile() being reported.
    const QString& savedPath() const { return mSavedPath; }

    // The table of contents in lastReply(): the repository's file object
    // whose "content" is the Base64 of a JSON array (line breaks allowed).
    // Empty when the reply is not such an object.
    QJsonArray tableOfContents() const;
    static QJsonArray tableOfContents(const QByteArray& fileObject);
    // The listing in lastReply() (a JSON array, else empty).
    QJsonArray listing() const;

    void setTransferTimeout(int milliseconds) { mTransferTimeout = milliseconds; }

signals:
    // A complete, successful reply.
    void downloaded();
    // A reply that failed (network error, status outside 2xx, short body,
    // too large, file not written): never data.
    void downloadFailed(const QString& reason);
    void progressChanged(qint64 bytesReceived, qint64 bytesTotal);

private:
    class HttpGet* makeGet(int requestKind, const QString& path);


    QNetworkAccessManager* mManager;
    RepositoryAccess mAccess;
    QByteArray mLastReply;
    QString mSavedPath;
    int mRequestKind = -1;
    int mTransferTimeout = 60000;
};
