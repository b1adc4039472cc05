#include "await_task.h"
#include "settings/program_state.h"
#include "core/site_catalogue.h"
#include "core/site_search.h"
#include "net/form_post.h"
#include "test_program.h"

#include <functional>
#include <QHostAddress>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

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
                requestComplete = clientClosed = false;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] { clientClosed |= socket == m_latest; });
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

    // Of the latest connection:
    QByteArray request; // every byte of the request
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
        requestComplete = request.size() >= headEnd + 4 + bodyLength;
        if (requestComplete)
            send(socket, pieces, closeAfter);
    }

    // The script of one connection, which a later connection does not change.
    void send(QPointer<QTcpSocket> socket, QList<QByteArray> script, bool close)
    {
        if (socket && script.isEmpty() && close)
            socket->disconnectFromHost();
        if (!socket || script.isEmpty())
            return;
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
    ProgramState m_state;
    FormPost m_post{m_state};
    ScriptedServer m_server;
};

TEST_F(FormPostTest, theRequestIsWrittenByteForByte)
{
    const QByteArray host = "127.0.0.1:" + QByteArray::number(m_server.port());
    const QByteArray head = "\r\nAccept: text/html\r\nContent-Type: application/x-www-form-urlencoded\r\nHost: ";
    const QByteArray allDivX = "base.php?rub=site/recherche.php&var=recherche_cover HTTP/1.1" + head + host;
    const std::tuple<const char *, QString, QString, bool, QByteArray> cases[] = {
        {"CoverComoz", "abcde", m_server.address(), false,
         "POST /recherche.html HTTP/1.1" + head + host + "\r\nContent-Length: 12\r\n\r\nsearch=abcde"},
        {"AllDivX", "abcde", m_server.address(), false, "POST /" + allDivX + "\r\nContent-Length: 26\r\n\r\nnom=abcde&recherche=toutes"},
        // Under a path of its own; one byte a character, in Windows-1252; what it lacks becomes "?".
        {"CoverComoz", QString::fromUtf8("cœur Été € ł"), m_server.address("/cc"), false,
         "POST /cc/recherche.html HTTP/1.1" + head + host + "\r\nContent-Length: 19\r\n\r\nsearch=c\x9C" "ur \xC9t\xE9 \x80 ?"},
        // The site itself refuses connections: only the proxy answers, asked for the absolute address.
        {"CoverComoz", "abcde", "http://127.0.0.1:1/cc", true,
         "POST http://127.0.0.1:1/cc/recherche.html HTTP/1.1" + head + "127.0.0.1:1\r\nContent-Length: 12\r\n\r\nsearch=abcde"},
    };
    for (const auto &[site, title, address, viaProxy, expected] : cases) {
        SCOPED_TRACE(site + std::string(" ") + title.toStdString());
        m_state.ProxyHost = viaProxy ? QStringLiteral("127.0.0.1") : QString();
        m_state.ProxyPort = m_server.port();
        awaitTask(m_post.exchange(QString::fromLatin1(site), title, address), 5000);
        EXPECT_EQ(m_server.request, expected);
        EXPECT_TRUE(m_post.PostTermine());
    }
}

enum class End { Whole, ServerCloses, TimeLimit, SizeCap };

TEST_F(FormPostTest, theReplyEndsWhenWholeWithTheConnectionOrAtALimitAndIsReadByItsCharset)
{
    m_post.setCaps({64 * 1024, 64 * 1024});
    m_post.setTiming({300, 1000, 0});
    const QByteArray chunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const QByteArray utf8Head = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n";
    const QByteArray latin1Head = "HTTP/1.1 200 OK\r\ncontent-type: text/html; charset=ISO-8859-1\r\n\r\n";
    const QByteArray notFound = "HTTP/1.1 404 Not Found\r\nContent-Length: 14\r\n\r\n";
    // name, pieces, how the exchange ends, page (UTF-8): what came is kept unless past the cap
    const std::tuple<const char *, QList<QByteArray>, End, QByteArray> cases[] = {
        {"upper-case tag", {kOkHead + "<HTML><BODY>hits</BODY></HTML>"}, End::Whole, kOkHead + "<HTML><BODY>hits</BODY></HTML>"},
        {"tag split across two pieces", {kOkHead + "<html>one", " two</ht", "ml>"}, End::Whole, kOkHead + "<html>one two</html>"},
        {"no tag, then the server closes", {kOkHead + "<html><body>cut"}, End::ServerCloses, kOkHead + "<html><body>cut"},
        {"nothing at all, then the server closes", {}, End::ServerCloses, ""},
        {"no tag, the server falls silent", {kOkHead + "<html><body>hits"}, End::TimeLimit, kOkHead + "<html><body>hits"},
        {"no answer", {}, End::TimeLimit, ""},
        {"all of a declared length, no tag", {notFound + "not ", "found here"}, End::Whole, notFound + "not found here"},
        {"the last chunk, read without the framing", {chunkedHead + "6\r\n<p>hit\r\n", "5\r\ns</p>\r\n", "0\r\n\r\n"},
         End::Whole, chunkedHead + "<p>hits</p>"},
        {"declared UTF-8, a letter split across two pieces", {utf8Head + "<html>\xC3", "\x89t\xC3\xA9</html>"}, End::Whole,
         utf8Head + "<html>\xC3\x89t\xC3\xA9</html>"},
        {"declared Latin-1", {latin1Head + "<html>\xC9t\xE9</html>"}, End::Whole, latin1Head + "<html>Été</html>"},
        {"past the size cap", {kOkHead + QByteArray(40000, 'a'), QByteArray(40000, 'b') + "</html>"}, End::SizeCap, ""},
    };
    m_server.pauseMs = 30;
    for (const auto &[name, pieces, end, page] : cases) {
        SCOPED_TRACE(name);
        m_server.pieces = pieces;
        m_server.closeAfter = end == End::ServerCloses;
        EXPECT_EQ(awaitTask(m_post.exchange("CoverComoz", "matrix", m_server.address()), 5000), QString::fromUtf8(page));
        EXPECT_EQ((std::tuple(m_post.PostTermine(), m_post.gaveUp(), m_post.tooLarge())),
                  (std::tuple(end == End::Whole, end == End::TimeLimit, end == End::SizeCap)));
        EXPECT_TRUE(m_post.isClosed());
        // The post hangs up once it is done; the server need not.
        if (end != End::ServerCloses) {
            EXPECT_TRUE(QTest::qWaitFor([this] { return m_server.clientClosed; }, 2000));
        }
    }

    // Closed while it waits: the exchange ends within close().
    m_server.pieces.clear();
    m_server.requestComplete = false;
    QCoro::Task<QString> exchange = m_post.exchange("CoverComoz", "matrix", m_server.address());
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_server.requestComplete; }, 2000));
    m_post.close();
    EXPECT_TRUE(exchange.isReady());
    EXPECT_EQ(awaitTask(std::move(exchange), 5000), QString());
    EXPECT_FALSE(m_post.gaveUp());
    EXPECT_TRUE(QTest::qWaitFor([this] { return m_server.clientClosed; }, 2000));

    // A refused connection ends the exchange with nothing.
    EXPECT_EQ(awaitTask(m_post.exchange("AllDivX", "matrix", "http://127.0.0.1:1"), 5000), QString());
    EXPECT_FALSE(m_post.PostTermine());
}

QCoro::Task<> postTo(SiteSearch &search, QString address)
{
    co_await search.postForm(QStringLiteral("AllDivX"), QStringLiteral("matrix"), address);
}

// A socket that closed without a word still lets closing end the exchange.
TEST_F(FormPostTest, closingEndsAnExchangeWhoseSocketClosedSilently)
{
    m_server.pieces.clear();
    m_server.closeAfter = false;
    QCoro::Task<QString> reply = m_post.exchange(QStringLiteral("CoverComoz"), QStringLiteral("matrix"), m_server.address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_server.requestComplete; }, 5000));
    QTcpSocket *socket = m_post.findChild<QTcpSocket *>();
    socket->blockSignals(true);
    socket->abort();
    socket->blockSignals(false);
    m_post.close();
    EXPECT_TRUE(reply.isReady());
}

TEST(FormPostInProgram, theStopButtonAClearedListAndClosingEndThePost)
{
    const std::function<void(Program &)> stops[] = {
        [](Program &program) { program.requestStop(); },
        [](Program &program) { program.EffaceResultats(); },
        [](Program &program) { program.shutDown(); },
    };
    for (const auto &stop : stops) {
        ScriptedServer server;
        server.pieces.clear();
        server.closeAfter = false;
        TestProgram test;
        Program &program = test.program;
        program.download().setTiming({300, 20000, 100});
        program.setTitle(QStringLiteral("matrix"));
        program.setSearch(0, [address = server.address()](SiteSearch &search) { return postTo(search, address); });
        program.catalogue().setTick(0, 1);
        program.catalogue().AfficheNbrCoche();

        program.Lance(1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.requestComplete; }, 5000));
        stop(program);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !program.searching(); }, 5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientClosed; }, 5000));
    }
}

} // namespace
