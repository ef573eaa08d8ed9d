#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class HttpGet;
class QNetworkAccessManager;

// Downloads one URL into a local file, without any authorization: streamed
// to disk (constant memory) through an atomic save, so that the file appears
// only when complete and an older file of the same name survives a failure.
// One download at a time; a new one cancels the previous.
class GenericFileDownloader : public QObject
{
    Q_OBJECT

public:
    explicit GenericFileDownloader(QObject* parent = nullptr);
    ~GenericFileDownloader() override;

    // Downloads `url` into `outputPath`; an empty path means the user's
    // download folder under the URL's file name. Every outcome is signalled
    // after this returns (an unusable URL or name through downloadFailed).
    void download(const QUrl& url, const QString& outputPath = QString(), qint64 maxBytes = -1);
    // Aborts the download: no file, no signal afterwards.
    void cancel();
    bool isRunning() const;
    const QString& outputPath() const { return mOutputPath; }

    void setTransferTimeout(int milliseconds);

    // The download folder joined with the URL's file name; empty when the
    // URL has no plain file name.
    static QString defaultOutputPath(const QUrl& url);

signals:
    void downloadFinished(const QString& outputPath);
    void downloadFailed(const QString& reason);
    void progressChanged(qint64 bytesReceived, qint64 bytesTotal);

private:
    void failLater(const QString& reason);

    QNetworkAccessManager* mManager;
    HttpGet* mGet;
    QString mOutputPath;
    quint64 mGeneration = 0; // bumped by every download and cancel
};
