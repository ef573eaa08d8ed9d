#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 that serves fixed bodies by path: the
// firmware repository of demo mode. It answers GET and HEAD, one request per
// connection; unknown paths get 404, other methods 405, a request head over
// 16 KiB 431, and a connection that says nothing for 10 s is closed.
class LoopbackFileServer : public QObject
{
    Q_OBJECT

public:
    explicit LoopbackFileServer(QObject* parent = nullptr);

    // Listens on a free port of 127.0.0.1; false when none could be had.
    bool listen();
    bool isListening() const { return m_server.isListening(); }
    // "http://127.0.0.1:PORT" + `path`.
    QUrl url(const QString& path = QString()) const;
    // Serves `body` at `path` (without query).
    void serve(const QString& path, const QByteArray& body,
               const QByteArray& contentType = QByteArrayLiteral("application/octet-stream"));

private:
    struct File
    {
        QByteArray body;
        QByteArray contentType;
    };

    void accept(QTcpSocket* socket);
    void onReadyRead(QTcpSocket* socket);
    void reply(QTcpSocket* socket, int status, const QByteArray& reason, const File& file, bool withBody);

    QTcpServer m_server;
    QHash<QByteArray, File> m_files;
};
