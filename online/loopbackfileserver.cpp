#include "online/loopbackfileserver.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr int kMaxHead = 16 * 1024;
constexpr int kIdleMs = 10000;
// Kept on each socket: the request head so far, and whether it was answered.
constexpr char kHeadProperty[] = "pelagonRequestHead";
constexpr char kAnsweredProperty[] = "pelagonAnswered";

} // namespace

LoopbackFileServer::LoopbackFileServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection())
            accept(socket);
    });
}

bool LoopbackFileServer::listen()
{
    return m_server.isListening() || m_server.listen(QHostAddress::LocalHost);
}

QUrl LoopbackFileServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void LoopbackFileServer::serve(const QString& path, const QByteArray& body, const QByteArray& contentType)
{
    m_files.insert(path.toUtf8(), File{body, contentType});
}

void LoopbackFileServer::accept(QTcpSocket* socket)
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, socket, &QTcpSocket::abort);
    idle->start(kIdleMs);
}

void LoopbackFileServer::onReadyRead(QTcpSocket* socket)
{
    if (socket->property(kAnsweredProperty).toBool()) {
        socket->readAll(); // one request per connection: the rest is ignored
        return;
    }
    QByteArray head = socket->property(kHeadProperty).toByteArray() + socket->readAll();
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0) {
        if (head.size() > kMaxHead)
            reply(socket, 431, "Request Header Fields Too Large", File{}, true);
        else
            socket->setProperty(kHeadProperty, head);
        return;
    }
    const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
    const QByteArray method = words.value(0);
    QByteArray target = words.value(1);
    const qsizetype query = target.indexOf('?');
    if (query >= 0)
        target.truncate(query);
    if (method != "GET" && method != "HEAD")
        reply(socket, 405, "Method Not Allowed", File{}, true);
    else if (!m_files.contains(target))
        reply(socket, 404, "Not Found", File{}, true);
    else
        reply(socket, 200, "OK", m_files.value(target), method == "GET");
}

void LoopbackFileServer::reply(QTcpSocket* socket, int status, const QByteArray& reason, const File& file,
                               bool withBody)
{
    socket->setProperty(kAnsweredProperty, true);
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    if (!file.contentType.isEmpty())
        head += "Content-Type: " + file.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(file.body.size()) + "\r\nConnection: close\r\n\r\n";
    socket->write(head);
    if (withBody)
        socket->write(file.body);
    socket->disconnectFromHost(); // after the bytes are out
}
