#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for the network clients' tests and
// benchmarks. Each path (optionally with its query) gets a scripted reply;
// replies can be refused (404), cut short, sent without a length, stalled
// half way or redirected, and large bodies are generated while the socket
// drains, so a 200 MiB reply costs no memory on this side either.

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>
#include <memory>

class LoopbackHttpServer
{
public:
    struct Reply
    {
        enum class Mode {
            Normal,   // the whole body with its Content-Length
            CutShort, // the announced length, then `sentBytes` of the body and the connection closes
            NoLength, // no Content-Length: the body ends when the connection closes
            Stall,    // the announced length, then `sentBytes` of the body and silence
        };
        int status = 200;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        qint64 generatedSize = -1; // >= 0: the body is that many bytes of pattern()
        Mode mode = Mode::Normal;
        qint64 sentBytes = -1; // CutShort and Stall; -1: half of the body

        qint64 size() const { return generatedSize >= 0 ? generatedSize : body.size(); }
    };

    struct Request
    {
        QByteArray method;
        QByteArray target; // path and query as sent
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };

    LoopbackHttpServer()
    {
        QObject::connect(&mServer, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = mServer.nextPendingConnection())
                accept(socket);
        });
    }

    bool listen() { return mServer.listen(QHostAddress::LocalHost); }
    quint16 port() const { return mServer.serverPort(); }
    // "http://127.0.0.1:PORT" followed by `target` ("/path?query").
    QUrl url(const QString& target = QString()) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(target));
    }

    // The reply to a request for `target`: the exact path and query first,
    // then the path alone; anything else gets 404.
    void setReply(const QString& target, const Reply& reply) { mReplies.insert(target.toUtf8(), reply); }
    void clearReplies() { mReplies.clear(); }
    const QList<Request>& requests() const { return mRequests; }
    void clearRequests() { mRequests.clear(); }

    // Reply builders.
    static Reply ok(const QByteArray& body, const QByteArray& contentType = "application/octet-stream")
    {
        Reply reply;
        reply.body = body;
        reply.headers.append({"Content-Type", contentType});
        return reply;
    }
    static Reply json(const QJsonDocument& document) { return ok(document.toJson(QJsonDocument::Compact), "application/json"); }
    static Reply generated(qint64 size)
    {
        Reply reply;
        reply.generatedSize = size;
        return reply;
    }
    static Reply status(int code, const QByteArray& body = "{\"message\":\"Not Found\"}")
    {
        Reply reply = ok(body, "application/json");
        reply.status = code;
        return reply;
    }
    static Reply redirect(const QUrl& location, int code = 302)
    {
        Reply reply = status(code, QByteArray());
        reply.headers.append({"Location", location.toEncoded()});
        return reply;
    }
    static Reply withMode(Reply reply, Reply::Mode mode, qint64 sentBytes = -1)
    {
        reply.mode = mode;
        reply.sentBytes = sentBytes;
        return reply;
    }

    // The bytes of generated bodies: not periodic over any power of two.
    static char patternByte(qint64 offset) { return char((offset * 131 + offset / 251) & 0xff); }
    static QByteArray pattern(qint64 offset, qint64 length)
    {
        QByteArray bytes(int(length), Qt::Uninitialized);
        for (qint64 i = 0; i < length; ++i)
            bytes[int(i)] = patternByte(offset + i);
        return bytes;
    }

    // The repository's answer for one file: a JSON object whose "content" is
    // the Base64 of `contents` in lines of 60 characters.
    static QByteArray repositoryFileObject(const QString& name, const QByteArray& contents)
    {
        const QByteArray base64 = contents.toBase64();
        QByteArray lines;
        for (int i = 0; i < base64.size(); i += 60)
            lines += base64.mid(i, 60) + '\n';
        QJsonObject object{{"name", name},
                           {"path", name},
                           {"type", "file"},
                           {"encoding", "base64"},
                           {"size", int(contents.size())},
                           {"content", QString::fromLatin1(lines)}};
        return QJsonDocument(object).toJson(QJsonDocument::Compact);
    }

    // A WordPress media library of `media` served at `path` in pages of
    // `perPage`, with "X-WP-TotalPages"; the queries name the page
    // ("?per_page=100&page=N" plus `extraQuery`).
    void serveMedia(const QString& path, const QList<QJsonObject>& media, int perPage = 100,
                    const QString& extraQuery = QString())
    {
        const int pages = qMax(1, int((media.size() + perPage - 1) / perPage));
        for (int page = 1; page <= pages; ++page) {
            QJsonArray array;
            for (int i = (page - 1) * perPage; i < qMin(int(media.size()), page * perPage); ++i)
                array.append(media[i]);
            Reply reply = json(QJsonDocument(array));
            reply.headers.append({"X-WP-Total", QByteArray::number(media.size())});
            reply.headers.append({"X-WP-TotalPages", QByteArray::number(pages)});
            setReply(QStringLiteral("%1?per_page=%2&page=%3%4").arg(path).arg(perPage).arg(page).arg(extraQuery), reply);
        }
    }

private:
    struct Connection
    {
        QPointer<QTcpSocket> socket;
        QByteArray head;
        Reply reply;
        qint64 offset = 0; // body bytes written
        qint64 limit = 0;  // body bytes to write
        bool answered = false;
    };

    void accept(QTcpSocket* socket)
    {
        socket->setParent(&mServer);
        auto connection = std::make_shared<Connection>();
        connection->socket = socket;
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, connection] { onRead(*connection); });
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [this, connection] { pump(*connection); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

    void onRead(Connection& connection)
    {
        connection.head += connection.socket->readAll();
        const int end = connection.head.indexOf("\r\n\r\n");
        if (connection.answered || end < 0)
            return;
        connection.answered = true;
        const QList<QByteArray> lines = connection.head.left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        Request request;
        request.method = first.value(0);
        request.target = first.value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        mRequests.append(request);
        answer(connection, request);
    }

    void answer(Connection& connection, const Request& request)
    {
        const QByteArray path = request.target.left(request.target.indexOf('?') >= 0 ? request.target.indexOf('?')
                                                                                      : request.target.size());
        Reply reply = mReplies.contains(request.target) ? mReplies.value(request.target)
            : mReplies.contains(path)                   ? mReplies.value(path)
                                                        : status(404);
        connection.reply = reply;
        const qint64 size = reply.size();
        QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
        for (const auto& header : reply.headers)
            head += header.first + ": " + header.second + "\r\n";
        if (reply.mode != Reply::Mode::NoLength)
            head += "Content-Length: " + QByteArray::number(size) + "\r\n";
        head += "Connection: close\r\n\r\n";
        connection.socket->write(head);
        const bool partial = reply.mode == Reply::Mode::CutShort || reply.mode == Reply::Mode::Stall;
        connection.limit = partial ? (reply.sentBytes >= 0 ? qMin(reply.sentBytes, size) : size / 2) : size;
        pump(connection);
    }

    // Keeps about 256 KiB in the socket's buffer until the body is written.
    void pump(Connection& connection)
    {
        QTcpSocket* socket = connection.socket;
        if (!socket || !connection.answered || socket->state() != QAbstractSocket::ConnectedState)
            return;
        while (connection.offset < connection.limit && socket->bytesToWrite() < 256 * 1024) {
            const qint64 length = qMin<qint64>(64 * 1024, connection.limit - connection.offset);
            const QByteArray chunk = connection.reply.generatedSize >= 0
                ? pattern(connection.offset, length)
                : connection.reply.body.mid(int(connection.offset), int(length));
            socket->write(chunk);
            connection.offset += length;
        }
        if (connection.offset >= connection.limit && connection.reply.mode != Reply::Mode::Stall
            && socket->bytesToWrite() == 0)
            socket->disconnectFromHost();
    }

    static QByteArray reasonPhrase(int status)
    {
        switch (status) {
        case 200: return "OK";
        case 301: return "Moved Permanently";
        case 302: return "Found";
        case 307: return "Temporary Redirect";
        case 404: return "Not Found";
        case 500: return "Internal Server Error";
        default: return "Status";
        }
    }

    QTcpServer mServer;
    QHash<QByteArray, Reply> mReplies;
    QList<Request> mRequests;
};
