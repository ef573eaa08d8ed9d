#pragma once

#include "online/onlineconfig.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
#include <QNetworkReply>
class QSaveFile;

// One HTTP GET whose outcome is either the whole body or a failure, never a
// part of a body taken for the whole: a network error, a status outside
// 2xx, a body shorter than its announced length, a body past its cap, a
// stalled transfer or a file that cannot be written all end in failed().
//
// The body goes to memory (get) or is streamed into a file through an atomic
// save (save): the file is replaced only once every byte arrived, and memory
// stays bounded whatever the size. Redirects are followed here (at most
// kMaxRedirects, never from https down to plain http off this machine), so
// that every hop gets its own decision about the Authorization header.
class HttpGet : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxRedirects = 5;
    static constexpr qint64 kDefaultMemoryCap = 16 * 1024 * 1024;
    static constexpr int kDefaultTransferTimeout = 60000; // ms without a byte

    // `access` decides the Authorization header of each hop; the default
    // sends none.
    explicit HttpGet(QNetworkAccessManager* manager, RepositoryAccess access = {}, QObject* parent = nullptr);
    ~HttpGet() override;

    // Start a GET of `url` whose body is kept in memory, at most maxBytes.
    // Returns 0 when started, else the network error code (an URL that is not
    // http or https) and nothing is emitted.
    int get(const QUrl& url, qint64 maxBytes = kDefaultMemoryCap);
    // Start a GET whose body is streamed into `path` (replaced atomically
    // when complete; maxBytes < 0: no cap). Same return as get(); a file that
    // cannot be created is reported through failed().
    int save(const QUrl& url, const QString& path, qint64 maxBytes = -1);

    // Aborts the transfer: the temporary file is removed, the previous file
    // stays, and no signal follows.
    void cancel();
    bool isRunning() const { return mReply != nullptr; }

    void setTransferTimeout(int milliseconds) { mTransferTimeout = milliseconds; }
    // A complete body shorter than this is a failure too (save() keeps the
    // previous file then).
    void setMinimumSize(qint64 bytes) { mMinBytes = bytes; }

    // The body of a finished get().
    const QByteArray& body() const { return mBody; }
    // A header of the last reply (after redirects).
    QByteArray rawHeader(const QByteArray& name) const;
    QUrl finalUrl() const { return mUrl; }

signals:
    void progressChanged(qint64 bytesReceived, qint64 bytesTotal);
    void finished();
    void failed(const QString& reason);

private:
    int start(const QUrl& url);
    void send();
    void onMetaData();
    void onReadyRead();
    void onFinished();
    bool followRedirect();
    void fail(const QString& reason);
    void releaseReply();

    QNetworkAccessManager* mManager;
    RepositoryAccess mAccess;
    QUrl mUrl;
    QPointer<QNetworkReply> mReply;
    std::unique_ptr<QSaveFile> mFile; // save(): the atomic target
    QString mPath;
    QByteArray mBody;
    QList<QPair<QByteArray, QByteArray>> mHeaders;
    qint64 mMaxBytes = kDefaultMemoryCap;
    qint64 mMinBytes = 0;
    qint64 mReceived = 0;
    int mRedirects = 0;
    int mTransferTimeout = kDefaultTransferTimeout;
    bool mAccepting = false; // the current reply's status is 2xx
    quint64 mGeneration = 0;  // bumped by every start and cancel
};
