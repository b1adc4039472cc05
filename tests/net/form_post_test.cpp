#include "core/program.h"
#include "settings/program_state.h"
#include "net/form_post.h"
#include "test_program.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A waited post that never ends would hang the test run; this ends it as the
// stop button would, and says so. Each wait has its own.
constexpr int kWatchdogMs = 5000;

const QByteArray kOkHead = "HTTP/1.1 200 OK\r\n\r\n";

// A site on 127.0.0.1 that reads one whole request per connection, keeps its
// bytes, then answers by a script: pieces sent one after the other with a
// pause between them, then it closes the connection or leaves it open.
class ScriptedServer : public QObject
{
public:
    ScriptedServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                m_latest = socket;
                request.clear();
                requestComplete = false;
                clientClosed = false;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                    if (socket == m_latest)
                        clientClosed = true;
                });
            }
        });
    }

    quint16 port() const { return m_server.serverPort(); }
    QString address(const QString &prefix = {}) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(prefix);
    }

    QList<QByteArray> pieces{kOkHead + "<html></html>"};
    int pauseMs = 0;
    bool closeAfter = true;
    bool answers = true;

    // Of the latest connection:
    QByteArray request;        // every byte of the request
    bool requestComplete = false;
    bool clientClosed = false; // the post ended the connection

private:
    void onReadyRead(QTcpSocket *socket)
    {
        request += socket->readAll();
        const qsizetype headEnd = request.indexOf("\r\n\r\n");
        if (headEnd < 0 || requestComplete)
            return;
        static const QRegularExpression length(QStringLiteral("Content-Length: (\\d+)\r\n"));
        const qsizetype bodyLength = length.match(QString::fromLatin1(request.left(headEnd + 2))).captured(1).toLongLong();
        if (request.size() < headEnd + 4 + bodyLength)
            return;
        requestComplete = true;
        if (answers)
            send(socket, pieces, closeAfter);
    }

    // The script of one connection, which a later connection does not change.
    void send(QPointer<QTcpSocket> socket, QList<QByteArray> script, bool close)
    {
        if (!socket)
            return;
        if (script.isEmpty()) {
            if (close)
                socket->disconnectFromHost();
            return;
        }
        socket->write(script.takeFirst());
        socket->flush();
        QTimer::singleShot(pauseMs, this, [this, socket, script, close] { send(socket, script, close); });
    }

    QTcpServer m_server;
    // Only compared, never used: a socket being destroyed may still say it disconnected.
    const QObject *m_latest = nullptr;
};

class FormPostTest : public ::testing::Test
{
protected:
    FormPostTest()
    {
        m_state.ArretDemande = false;
        m_watchdog.setSingleShot(true);
        QObject::connect(&m_watchdog, &QTimer::timeout, [this] {
            m_watchdogFired = true;
            m_state.ArretDemande = true;
        });
        m_watchdog.start(kWatchdogMs);
    }

    void postAndWait(const QString &site, const QString &title, const QString &prefix = {})
    {
        m_watchdog.start(kWatchdogMs);
        m_post.post(site, title, m_server.address(prefix));
        m_post.waitForReply();
        EXPECT_FALSE(m_watchdogFired) << "the wait did not end by itself";
    }

    ProgramState m_state;
    FormPost m_post{m_state};
    ScriptedServer m_server;
    QTimer m_watchdog;
    bool m_watchdogFired = false;
};

TEST_F(FormPostTest, theRequestIsWrittenByteForByte)
{
    const QByteArray host = "127.0.0.1:" + QByteArray::number(m_server.port());
    const QByteArray head = "\r\nAccept: text/html\r\nContent-Type: application/x-www-form-urlencoded\r\nHost: " + host;
    struct Case
    {
        const char *site;
        QString title;
        const char *prefix;
        QByteArray expected;
    };
    const Case cases[] = {
        {"CoverComoz", QStringLiteral("abcde"), "",
         "POST /recherche.html HTTP/1.1" + head + "\r\nContent-Length: 12\r\n\r\nsearch=abcde"},
        {"AllDivX", QStringLiteral("abcde"), "",
         "POST /base.php?rub=site/recherche.php&var=recherche_cover HTTP/1.1" + head
             + "\r\nContent-Length: 26\r\n\r\nnom=abcde&recherche=toutes"},
        // A site served under a path of its own is posted to under it.
        {"AllDivX", QStringLiteral("ete meurtrier"), "/alldivx",
         "POST /alldivx/base.php?rub=site/recherche.php&var=recherche_cover HTTP/1.1" + head
             + "\r\nContent-Length: 34\r\n\r\nnom=ete meurtrier&recherche=toutes"},
        // One byte a character, in Windows-1252; what it lacks becomes "?".
        {"CoverComoz", QString::fromUtf8("cœur Été € ł"), "/cc",
         "POST /cc/recherche.html HTTP/1.1" + head + "\r\nContent-Length: 19\r\n\r\nsearch=c\x9C" "ur \xC9t\xE9 \x80 ?"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.site + std::string(" ") + c.title.toStdString());
        postAndWait(QString::fromLatin1(c.site), c.title, QString::fromLatin1(c.prefix));
        EXPECT_EQ(m_server.request, c.expected);
        EXPECT_EQ(m_post.SitePost(), QString::fromLatin1(c.site));
        EXPECT_EQ(m_post.TitrePost(), c.title);
        EXPECT_TRUE(m_post.PostTermine());
    }
}

TEST_F(FormPostTest, theReplyEndsWhenWholeOrWithTheConnection)
{
    m_post.setCaps({64 * 1024});
    const QByteArray chunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const QByteArray utf8Head = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n";
    struct Case
    {
        const char *name;
        QList<QByteArray> pieces;
        bool serverCloses;
        bool complete;
        const char *page;
    };
    const Case cases[] = {
        {"upper-case tag", {kOkHead + "<HTML><BODY>hits</BODY></HTML>"}, false, true,
         "HTTP/1.1 200 OK\r\n\r\n<HTML><BODY>hits</BODY></HTML>"},
        {"tag split across two pieces", {kOkHead + "<html>one", " two</ht", "ml>"}, false, true,
         "HTTP/1.1 200 OK\r\n\r\n<html>one two</html>"},
        {"no tag, then the server closes", {kOkHead + "<html><body>cut short"}, true, false,
         "HTTP/1.1 200 OK\r\n\r\n<html><body>cut short"},
        {"nothing at all, then the server closes", {}, true, false, ""},
        {"all of a declared length, no tag", {"HTTP/1.1 404 Not Found\r\nContent-Length: 14\r\n\r\nnot ", "found here"},
         false, true, "HTTP/1.1 404 Not Found\r\nContent-Length: 14\r\n\r\nnot found here"},
        {"the last chunk, read without the framing", {chunkedHead + "6\r\n<p>hit\r\n", "5\r\ns</p>\r\n", "0\r\n\r\n"},
         false, true, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n<p>hits</p>"},
        {"a letter split across two pieces", {utf8Head + "<html>\xC3", "\x89t\xC3\xA9</html>"}, false, true,
         "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<html>\xC3\x89t\xC3\xA9</html>"},
        {"past the size cap: nothing is kept", {kOkHead + QByteArray(40000, 'a'), QByteArray(40000, 'b') + "</html>"},
         false, false, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_server.pieces = c.pieces;
        m_server.pauseMs = 30;
        m_server.closeAfter = c.serverCloses;
        postAndWait(QStringLiteral("CoverComoz"), QStringLiteral("matrix"));
        EXPECT_EQ(m_post.PostTermine(), c.complete);
        EXPECT_EQ(m_state.PageHtml, QString::fromUtf8(c.page));
        EXPECT_TRUE(m_post.isClosed());
        // A complete reply is enough: the post hangs up, the server need not.
        if (c.complete) {
            EXPECT_TRUE(QTest::qWaitFor([this] { return m_server.clientClosed; }, 2000));
        }
    }
}

TEST_F(FormPostTest, theReplyIsReadByTheCharsetItDeclares)
{
    struct Case
    {
        const char *name;
        QByteArray reply;
        const char *page; // UTF-8
    };
    const Case cases[] = {
        {"declared UTF-8", "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<html>\xC3\x89t\xC3\xA9</html>",
         "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<html>Été</html>"},
        {"declared Latin-1", "HTTP/1.1 200 OK\r\ncontent-type: text/html; charset=ISO-8859-1\r\n\r\n<html>\xC9t\xE9</html>",
         "HTTP/1.1 200 OK\r\ncontent-type: text/html; charset=ISO-8859-1\r\n\r\n<html>Été</html>"},
        {"undeclared single bytes", "HTTP/1.1 200 OK\r\n\r\n<html>c\x9Cur \x80</html>",
         "HTTP/1.1 200 OK\r\n\r\n<html>cœur €</html>"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_server.pieces = {c.reply};
        postAndWait(QStringLiteral("AllDivX"), QStringLiteral("ete"));
        EXPECT_EQ(m_state.PageHtml, QString::fromUtf8(c.page));
    }
}

TEST_F(FormPostTest, aRefusedConnectionEndsTheWaitWithAnEmptyPage)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort());
    closed.close();

    m_state.PageHtml = QStringLiteral("the previous site's page");
    m_post.post(QStringLiteral("AllDivX"), QStringLiteral("matrix"), address);
    m_post.waitForReply();
    EXPECT_FALSE(m_watchdogFired);
    EXPECT_FALSE(m_post.PostTermine());
    EXPECT_TRUE(m_state.PageHtml.isEmpty());
}

TEST_F(FormPostTest, aSiteThatFallsSilentIsWaitedForUntilTheStopRequestOrTheTimeLimit)
{
    constexpr int kStopMs = 300;
    constexpr int kLimitMs = 600;
    m_post.setTiming({kStopMs, kLimitMs, 0});
    m_server.closeAfter = false;
    struct Case
    {
        const char *name;
        QList<QByteArray> pieces;
        std::function<void()> stop;
        int waitedMs;
        bool closes;
        const char *page;
    };
    const Case cases[] = {
        {"the stop button closes the post", {}, [this] { m_state.ArretDemande = true; m_post.close(); }, kStopMs, true, ""},
        {"the stop request alone", {}, [this] { m_state.ArretDemande = true; }, kStopMs, false, ""},
        {"no answer: given up at the limit", {}, {}, kLimitMs, true, ""},
        {"part of an answer: given up at the limit, what came is kept", {kOkHead + "<html><body>hits"}, {}, kLimitMs,
         true, "HTTP/1.1 200 OK\r\n\r\n<html><body>hits"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_state.ArretDemande = false;
        m_server.pieces = c.pieces;
        if (c.stop)
            QTimer::singleShot(kStopMs, c.stop);
        QElapsedTimer waited;
        waited.start();
        postAndWait(QStringLiteral("CoverComoz"), QStringLiteral("matrix"));
        EXPECT_GE(waited.elapsed(), c.waitedMs - 50);
        EXPECT_FALSE(m_post.PostTermine());
        EXPECT_TRUE(m_server.requestComplete);
        EXPECT_EQ(m_post.isClosed(), c.closes);
        EXPECT_EQ(m_state.PageHtml, QString::fromLatin1(c.page));
    }
}

TEST_F(FormPostTest, throughAProxyThePostAsksForTheAbsoluteAddress)
{
    // The site itself refuses connections: only the proxy can answer.
    m_state.ProxyHost = QStringLiteral("127.0.0.1");
    m_state.ProxyPort = m_server.port();
    m_post.post(QStringLiteral("CoverComoz"), QStringLiteral("abcde"), QStringLiteral("http://127.0.0.1:1/cc"));
    m_post.waitForReply();

    EXPECT_TRUE(m_post.PostTermine());
    EXPECT_EQ(m_server.request, "POST http://127.0.0.1:1/cc/recherche.html HTTP/1.1\r\n"
                                "Accept: text/html\r\n"
                                "Content-Type: application/x-www-form-urlencoded\r\n"
                                "Host: 127.0.0.1:1\r\n"
                                "Content-Length: 12\r\n"
                                "\r\n"
                                "search=abcde");
}

TEST(FormPostInProgram, theStopButtonAndAClearedListEndThePost)
{
    ScriptedServer server;
    server.answers = false;
    TestProgram test;
    Program &program = test.program;
    FormPost &post = program.formPost();

    program.AfficheAttente(true);
    QTimer::singleShot(200, &program, &Program::requestStop);
    post.post(QStringLiteral("AllDivX"), QStringLiteral("matrix"), server.address());
    post.waitForReply();
    EXPECT_TRUE(program.state().ArretDemande);
    EXPECT_TRUE(post.isClosed());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientClosed; }, 2000));

    server.requestComplete = false;
    post.post(QStringLiteral("AllDivX"), QStringLiteral("matrix"), server.address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requestComplete; }, 2000));
    EXPECT_FALSE(post.isClosed());
    program.EffaceResultats();
    EXPECT_TRUE(post.isClosed());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientClosed; }, 2000));

    server.requestComplete = false;
    post.post(QStringLiteral("AllDivX"), QStringLiteral("matrix"), server.address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requestComplete; }, 2000));
    program.closeFormPost();
    EXPECT_TRUE(post.isClosed());
}

} // namespace
