#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <functional>

class QTcpServer;
class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 for tests: serves canned replies and
// fixture files by path, can delay, split, cut or stall a reply, and records
// every request it receives. Each connection carries one exchange.
class FixtureServer : public QObject
{
    Q_OBJECT

public:
    using Header = QPair<QByteArray, QByteArray>;

    struct Reply
    {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/html";
        QList<Header> headers;       // sent after Content-Type and Content-Length
        int delayMs = 0;             // before anything is sent
        int chunks = 1;              // the body goes out in this many pieces...
        int chunkDelayMs = 0;        // ...with this pause between them
        bool stall = false;          // accept the request and never answer
        bool dropConnection = false; // close the connection without answering
        qsizetype cutAfter = -1;     // send only this many body bytes (Content-Length tells the whole)...
        bool stallAfterCut = false;  // ...then keep the connection open instead of closing it
        bool reset = false;          // end with a TCP reset: at once, or after the cut when one is set
        bool endless = false;        // no Content-Length: the body goes out again and again until the client hangs up
    };

    struct Request
    {
        QByteArray method;
        QByteArray target; // as sent: a path, or an absolute address through a proxy
        QByteArray path;   // path and query, also when the target was absolute
        QList<Header> headers;
        QByteArray body;

        QByteArray header(QByteArrayView name) const;
    };

    using Handler = std::function<Reply(const Request &)>;

    explicit FixtureServer(QObject *parent = nullptr);
    ~FixtureServer() override;

    // Listens on 127.0.0.1; port 0 takes any free port.
    bool listen(quint16 port = 0);
    void close();
    quint16 port() const;
    // "http://127.0.0.1:PORT" followed by `path`.
    QString url(const QString &path = {}) const;

    // Replies for a path with its query; a path without query also answers
    // requests that carry one, when nothing more precise is set.
    void setReply(const QString &path, const Reply &reply);
    // Answers whatever no set reply covers (404 without one).
    void setFallback(Handler handler);

    QList<Request> requests() const { return m_requests; }
    QList<QByteArray> requestedPaths() const;
    int count(const QByteArray &path) const;
    void clearRequests() { m_requests.clear(); }

signals:
    void requestReceived(const FixtureServer::Request &request);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    Reply replyFor(const Request &request) const;
    void respond(QTcpSocket *socket, const Reply &reply);
    void sendBody(QTcpSocket *socket, const Reply &reply, QByteArray body, int piecesLeft);

    QTcpServer *m_server;
    QHash<QByteArray, Reply> m_replies;
    Handler m_fallback;
    QList<Request> m_requests;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QList<QPointer<QTcpSocket>> m_sockets;
};
