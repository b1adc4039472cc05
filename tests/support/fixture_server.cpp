#include "fixture_server.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <sys/socket.h>

namespace {

QByteArray reasonPhrase(int status)
{
    static const QHash<int, QByteArray> phrases = {{200, "OK"},         {301, "Moved Permanently"}, {302, "Found"},
                                                   {304, "Not Modified"}, {403, "Forbidden"},        {404, "Not Found"},
                                                   {500, "Internal Server Error"}, {503, "Service Unavailable"}};
    return phrases.value(status, "Status");
}

// Parses one whole request out of `buffer`, or returns false while bytes are missing.
bool parseRequest(const QByteArray &buffer, FixtureServer::Request &request)
{
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return false;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    request.path = request.target;
    if (request.target.startsWith("http://") || request.target.startsWith("https://")) {
        const QUrl absolute(QString::fromLatin1(request.target));
        request.path = absolute.path(QUrl::FullyEncoded).toLatin1();
        if (absolute.hasQuery())
            request.path += '?' + absolute.query(QUrl::FullyEncoded).toLatin1();
    }
    qsizetype contentLength = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        request.headers.append({name, value});
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            contentLength = value.toLongLong();
    }
    const qsizetype bodyStart = headEnd + 4;
    if (buffer.size() - bodyStart < contentLength)
        return false;
    request.body = buffer.mid(bodyStart, contentLength);
    return true;
}

// A reset rather than an orderly close: without lingering, closing sends RST.
void resetConnection(QTcpSocket *socket)
{
    const linger noLinger{1, 0};
    ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
    socket->abort();
    socket->deleteLater();
}

} // namespace

QByteArray FixtureServer::Request::header(QByteArrayView name) const
{
    for (const Header &h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return {};
}

FixtureServer::FixtureServer(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &FixtureServer::onNewConnection);
}

FixtureServer::~FixtureServer()
{
    close();
}

bool FixtureServer::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

void FixtureServer::close()
{
    m_server->close();
    m_buffers.clear();
    for (const QPointer<QTcpSocket> &socket : std::as_const(m_sockets)) {
        if (socket) {
            socket->disconnect(this);
            socket->abort();
            socket->deleteLater();
        }
    }
    m_sockets.clear();
}

quint16 FixtureServer::port() const
{
    return m_server->serverPort();
}

QString FixtureServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void FixtureServer::setReply(const QString &path, const Reply &reply)
{
    m_replies.insert(path.toUtf8(), reply);
}

void FixtureServer::setFallback(Handler handler)
{
    m_fallback = std::move(handler);
}

QList<QByteArray> FixtureServer::requestedPaths() const
{
    QList<QByteArray> paths;
    for (const Request &r : m_requests)
        paths.append(r.path);
    return paths;
}

int FixtureServer::count(const QByteArray &path) const
{
    return int(requestedPaths().count(path));
}

void FixtureServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, {});
        m_sockets.append(socket);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void FixtureServer::onReadyRead(QTcpSocket *socket)
{
    auto buffer = m_buffers.find(socket);
    if (buffer == m_buffers.end())
        return;
    buffer->append(socket->readAll());
    Request request;
    if (!parseRequest(*buffer, request))
        return;
    m_buffers.remove(socket);
    socket->disconnect(this, nullptr);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    m_requests.append(request);
    emit requestReceived(request);

    const Reply reply = replyFor(request);
    QPointer<QTcpSocket> guarded(socket);
    if (reply.delayMs > 0)
        QTimer::singleShot(reply.delayMs, this, [this, guarded, reply] {
            if (guarded)
                respond(guarded, reply);
        });
    else
        respond(socket, reply);
}

FixtureServer::Reply FixtureServer::replyFor(const Request &request) const
{
    if (const auto exact = m_replies.constFind(request.path); exact != m_replies.cend())
        return *exact;
    const QByteArray withoutQuery = request.path.left(request.path.indexOf('?'));
    if (const auto byPath = m_replies.constFind(withoutQuery); byPath != m_replies.cend())
        return *byPath;
    if (m_fallback)
        return m_fallback(request);
    Reply notFound;
    notFound.status = 404;
    notFound.body = "<html><body>Not found</body></html>";
    return notFound;
}

void FixtureServer::respond(QTcpSocket *socket, const Reply &reply)
{
    if (reply.stall)
        return;
    if (reply.dropConnection) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (reply.reset && reply.cutAfter < 0) {
        resetConnection(socket);
        return;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    head += "Content-Type: " + reply.contentType + "\r\n";
    if (!reply.endless)
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    for (const Header &h : reply.headers)
        head += h.first + ": " + h.second + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    if (reply.endless) {
        // A copy every millisecond once the last has gone out: the server holds
        // little, and the client has moments with nothing left to read.
        auto *pace = new QTimer(socket);
        connect(pace, &QTimer::timeout, socket, [socket, body = reply.body] {
            if (socket->bytesToWrite() == 0)
                socket->write(body);
        });
        pace->start(1);
        return;
    }

    QByteArray body = reply.cutAfter >= 0 ? reply.body.left(reply.cutAfter) : reply.body;
    sendBody(socket, reply, body, qMax(1, reply.chunks));
}

void FixtureServer::sendBody(QTcpSocket *socket, const Reply &reply, QByteArray body, int piecesLeft)
{
    const qsizetype pieceSize = piecesLeft <= 1 ? body.size() : body.size() / piecesLeft;
    socket->write(body.left(pieceSize));
    socket->flush();
    body.remove(0, pieceSize);
    if (piecesLeft > 1) {
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(reply.chunkDelayMs, this, [this, guarded, reply, body, piecesLeft] {
            if (guarded)
                sendBody(guarded, reply, body, piecesLeft - 1);
        });
        return;
    }
    if (reply.cutAfter >= 0 && reply.stallAfterCut)
        return;
    if (reply.reset) {
        resetConnection(socket);
        return;
    }
    socket->disconnectFromHost();
}
