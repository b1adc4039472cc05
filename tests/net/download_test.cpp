#include "await_task.h"
#include "settings/program_state.h"
#include "fixture_server.h"
#include "net/download.h"
#include "test_pictures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Outcome = Download::Outcome;
using Purpose = Download::Purpose;
using Waiting = Download::Waiting;

constexpr int kReissueMs = 300;
constexpr int kLimitMs = 1000;
constexpr int kPauseMs = 500;

FixtureServer::Reply reply(const QByteArray &body, int delayMs = 0, int status = 200)
{
    FixtureServer::Reply reply;
    reply.body = body;
    reply.delayMs = delayMs;
    reply.status = status;
    return reply;
}

class DownloadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_state.ModeConnexion = Download::kResynchronise;
        m_download.setTiming({kReissueMs, kLimitMs, kPauseMs});
    }

    QString url(const QString &path) const { return m_server.url(path); }
    QString file(const QString &name) const { return m_files.filePath(name); }
    QStringList files() const { return QDir(m_files.path()).entryList(QDir::Files); }
    Outcome fetch(const QString &address, Purpose purpose = Purpose::Page, const QString &savePath = {})
    {
        const std::optional<Outcome> outcome = awaitTask(m_download.fetch(address, purpose, savePath));
        EXPECT_TRUE(outcome) << "the fetch ended";
        return outcome.value_or(Outcome{});
    }
    QString page(const QString &path) { return fetch(url(path)).text(); }

    FixtureServer m_server;
    QTemporaryDir m_cache;
    QTemporaryDir m_files;
    ProgramState m_state;
    Download m_download{m_state, m_cache.path()};
};

TEST_F(DownloadTest, pagesArriveWholeAndDecodedByTheirCharset)
{
    const QString text = QString::fromUtf8("<p>Été à Noël : 5 €</p>");
    QByteArray windows1252 = QString(text).replace(u'€', u'¤').toLatin1();
    windows1252.replace('\xA4', '\x80');
    const QByteArray meta = "<meta http-equiv='Content-Type' content='text/html; charset=windows-1252'>";
    FixtureServer::Reply declared = reply(windows1252);
    declared.contentType = "text/html; charset=ISO-8859-1";
    FixtureServer::Reply pieces = reply(QByteArray(30000, 'p') + "</html>");
    pieces.chunks = 4;
    pieces.chunkDelayMs = 50;
    FixtureServer::Reply moved = reply({}, 0, 302);
    moved.headers = {{"Location", "/pieces"}};
    m_server.setReply("/header", declared);
    m_server.setReply("/utf8", reply(text.toUtf8()));
    m_server.setReply("/meta", reply(meta + windows1252));
    m_server.setReply("/pieces", pieces);
    m_server.setReply("/moved", moved);

    EXPECT_EQ(page("/header"), text);
    EXPECT_EQ(page("/utf8"), text);
    EXPECT_EQ(page("/meta"), QString::fromLatin1(meta) + text);
    EXPECT_EQ(page("/moved"), QString(30000, u'p') + "</html>");
    EXPECT_EQ(m_server.requestedPaths().mid(3), (QList<QByteArray>{"/moved", "/pieces"}));
    EXPECT_EQ(m_server.requests()[0].method, "GET");
    EXPECT_FALSE(m_server.requests()[0].header("User-Agent").isEmpty());
}

TEST_F(DownloadTest, aSlowReadIsAskedForOnceMoreAndGivenUpAtTheLimit)
{
    struct Case
    {
        const char *path;
        int delayMs;
        bool done;
    };
    for (const Case &c : {Case{"/slow", kReissueMs + 200, true}, Case{"/late", kLimitMs + 300, false}}) {
        SCOPED_TRACE(c.path);
        m_server.setReply(c.path, reply("<html>late</html>", c.delayMs));
        QList<QByteArray> delivered;
        QElapsedTimer clock;
        clock.start();
        const auto ticket = m_download.start(url(c.path), Purpose::Page, [&](const Outcome &o) { delivered << o.body; });
        EXPECT_EQ(awaitTask(m_download.wait(ticket, Waiting::Done)), c.done);
        EXPECT_EQ(clock.elapsed() >= kLimitMs - 50, !c.done);
        EXPECT_EQ(m_server.count(c.path), 2) << "one re-issue, never more";
        // A read given up goes on: its answer still comes.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !m_download.inFlight(ticket); }, 5000));
        ASSERT_FALSE(delivered.isEmpty());
        EXPECT_EQ(delivered.first(), "<html>late</html>");
    }
    // The first try hangs, the second answers: the page comes then, the first is dropped.
    FixtureServer::Reply hanging;
    hanging.stall = true;
    m_server.setReply("/hang", hanging);
    QObject::connect(&m_server, &FixtureServer::requestReceived, [this] {
        if (m_server.count("/hang") == 2)
            m_server.setReply("/hang", reply("<html>second</html>", 0));
    });
    QByteArray second;
    const auto ticket = m_download.start(url("/hang"), Purpose::Page, [&](const Outcome &o) { second = o.body; });
    EXPECT_EQ(awaitTask(m_download.wait(ticket, Waiting::Done)), true) << "done before the limit";
    EXPECT_EQ(second, "<html>second</html>");

    m_server.setReply("/late", reply("<html>late</html>", kLimitMs + 300));
    const Outcome givenUp = fetch(url("/late"));
    EXPECT_TRUE(givenUp.timedOut);
    EXPECT_FALSE(givenUp.ok);
}

TEST_F(DownloadTest, waitsEndWithTheReadOrAfterTheSettleTime)
{
    FixtureServer::Reply stalled;
    stalled.stall = true;
    struct Case
    {
        const char *name;
        FixtureServer::Reply reply;
        int mode;
        Waiting waiting;
        bool done;
        int minMs, maxMs;
    };
    const Case cases[] = {
        {"quick, settle", reply(jpegBytes()), Download::kResynchronise, Waiting::Settle, true, 0, kPauseMs - 200},
        {"stalled, settle: not re-issued", stalled, Download::kResynchronise, Waiting::Settle, false, kPauseMs, kLimitMs},
        {"slow, synchronous: waited for though not asked to, not re-issued", reply("<html>sync</html>", kReissueMs + 200),
         Download::kSynchronous, Waiting::None, true, kReissueMs, kLimitMs},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_server.setReply("/read", c.reply);
        m_server.clearRequests();
        m_state.ModeConnexion = c.mode;
        QElapsedTimer clock;
        clock.start();
        const auto ticket = m_download.start(url("/read"), Purpose::Thumbnail);
        EXPECT_EQ(awaitTask(m_download.wait(ticket, c.waiting)), c.done);
        EXPECT_GE(clock.elapsed(), c.minMs - 50);
        EXPECT_LT(clock.elapsed(), c.maxMs);
        EXPECT_EQ(m_server.count("/read"), 1);
        m_download.cancel(ticket);
    }
}

TEST_F(DownloadTest, aCancelledReadEndsItsWaitAtOnceAndDeliversNothing)
{
    m_server.setReply("/slow", reply("<html>late</html>", 300));
    const std::function<void(Download::Ticket)> cancels[] = {
        [this](Download::Ticket ticket) { m_download.cancel(ticket); },
        [this](Download::Ticket) { m_download.cancelAll(); },
    };
    for (const auto &cancel : cancels) {
        int delivered = 0;
        const auto ticket = m_download.start(url("/slow"), Purpose::Page, [&](const Outcome &) { ++delivered; });
        QCoro::Task<bool> waiting = m_download.wait(ticket, Waiting::Done);
        ASSERT_FALSE(waiting.isReady());
        cancel(ticket);
        EXPECT_TRUE(waiting.isReady()) << "ended within the cancel";
        EXPECT_FALSE(m_download.inFlight(ticket));
        // A read started after it has come back: the cancelled one's answer would have too.
        EXPECT_TRUE(fetch(url("/slow")).ok);
        EXPECT_EQ(delivered, 0);
    }
}

TEST_F(DownloadTest, failedReadsBringNothingAndLeaveNoFile)
{
    FixtureServer::Reply dropped;
    dropped.dropConnection = true;
    FixtureServer::Reply cut = reply(QByteArray(20000, 'x'));
    cut.cutAfter = 5000;
    FixtureServer::Reply stalled = cut;
    stalled.stallAfterCut = true;
    struct Case
    {
        const char *path;
        FixtureServer::Reply reply;
        int status;
        bool timedOut;
    };
    const Case cases[] = {
        {"/missing", reply("<html>error page</html>", 0, 404), 404, false},
        {"/broken", reply("<html>error page</html>", 0, 500), 500, false},
        {"/dropped", dropped, 0, false},
        {"/cut", cut, 200, false},
        {"/stalled", stalled, 0, true},
    };
    for (const Case &c : cases) {
        m_server.setReply(c.path, c.reply);
        for (const Purpose purpose : {Purpose::Page, Purpose::Save}) {
            SCOPED_TRACE(c.path + std::string(purpose == Purpose::Page ? " page" : " save"));
            const Outcome outcome = fetch(url(c.path), purpose, file("poster.jpg"));
            EXPECT_FALSE(outcome.ok);
            EXPECT_TRUE(outcome.body.isEmpty());
            EXPECT_EQ(outcome.timedOut, c.timedOut);
            if (!c.timedOut && c.status != 200) {
                EXPECT_EQ(outcome.answered, c.status != 0);
                EXPECT_EQ(outcome.status, c.status);
            }
            EXPECT_EQ(files(), QStringList());
        }
    }
}

TEST_F(DownloadTest, onlyWebAddressesAreRead)
{
    // The same picture everywhere: read, it would show.
    const QByteArray jpeg = jpegBytes();
    QFile privateFile(file("private.jpg"));
    ASSERT_TRUE(privateFile.open(QIODevice::WriteOnly));
    privateFile.write(jpeg);
    privateFile.close();
    const QString addresses[] = {QUrl::fromLocalFile(privateFile.fileName()).toString(),
                                 "data:image/jpeg;base64," + QString::fromLatin1(jpeg.toBase64()),
                                 url("/private.jpg").replace("http:", "ftp:")};
    for (const QString &address : addresses) {
        for (const Purpose purpose : {Purpose::Page, Purpose::Thumbnail, Purpose::Save, Purpose::Banner}) {
            SCOPED_TRACE(address.left(40).toStdString() + " " + std::to_string(int(purpose)));
            std::optional<Outcome> outcome;
            m_download.start(address, purpose, [&](const Outcome &o) { outcome = o; }, file("copy.jpg"));
            ASSERT_TRUE(outcome) << "failed at once, nothing waited for";
            EXPECT_FALSE(outcome->ok);
            EXPECT_TRUE(outcome->body.isEmpty());
        }
    }
    EXPECT_EQ(files(), QStringList{"private.jpg"});
    EXPECT_TRUE(m_server.requests().isEmpty());
    m_server.setReply("/private.jpg", reply(jpeg));
    EXPECT_EQ(fetch(url("/private.jpg"), Purpose::Thumbnail).body, jpeg) << "the same picture over http";
}

TEST_F(DownloadTest, repliesPastTheirCapFailAndNothingIsKept)
{
    const QByteArray picture = jpegBytes({64, 64});
    // The picture fills the picture cap exactly and is one byte too many for a page.
    m_download.setCaps({picture.size() - 1, picture.size()});
    FixtureServer::Reply endless = reply(picture);
    endless.endless = true;
    m_server.setReply("/picture.jpg", reply(picture));
    m_server.setReply("/larger.jpg", reply(picture + ' '));
    m_server.setReply("/endless.jpg", endless);
    struct Case
    {
        const char *path;
        Purpose purpose;
        bool delivered;
    };
    const Case cases[] = {
        {"/picture.jpg", Purpose::Page, false},     {"/picture.jpg", Purpose::Save, true},
        {"/picture.jpg", Purpose::Thumbnail, true}, {"/larger.jpg", Purpose::Save, false},
        {"/larger.jpg", Purpose::Thumbnail, false}, {"/endless.jpg", Purpose::Page, false},
        {"/endless.jpg", Purpose::Save, false},     {"/endless.jpg", Purpose::Thumbnail, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path + (" " + std::to_string(int(c.purpose))));
        const Outcome outcome = fetch(url(c.path), c.purpose, file("poster.jpg"));
        EXPECT_FALSE(outcome.timedOut) << "the read ended before the time limit";
        EXPECT_EQ(outcome.ok, c.delivered);
        EXPECT_EQ(outcome.body, c.delivered ? picture : QByteArray());
        EXPECT_EQ(QFile::remove(file("poster.jpg")), c.delivered && c.purpose == Purpose::Save);
    }

    // A read given up at its cap did not fail for want of a network: the cache is not read instead.
    m_state.ModeConnexion = Download::kCacheIfNetworkFails;
    m_server.setReply("/grown", reply("<html>small</html>"));
    ASSERT_EQ(page("/grown"), "<html>small</html>");
    m_server.setReply("/grown", endless);
    EXPECT_EQ(page("/grown"), "");
}

TEST_F(DownloadTest, aSaveKeepsOnlyWhatItsNameSays)
{
    const QByteArray jpeg = jpegBytes();
    const QByteArray pdf = "%PDF-1.4\n1 0 obj\n";
    const QByteArray errorPage = "<html><body>This picture has moved.</body></html>";
    struct Case
    {
        QByteArray body;
        const char *name;
        bool kept;
    };
    const Case cases[] = {
        {jpeg, "Matrix (1999) - MovieCovers.JPG", true}, {pdf, "jacket.PDF", true},
        {errorPage, "poster.JPG", false},                {QByteArray(4096, '\0'), "poster.jpg", false},
        {errorPage, "jacket.pdf", false},                {jpeg, "jacket.pdf", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name + (" " + c.body.left(10).toStdString()));
        m_server.setReply("/reply", reply(c.body));
        const QString target = file(c.name);
        EXPECT_EQ(fetch(url("/reply"), Purpose::Save, target).ok, c.kept);
        QFile written(target);
        EXPECT_EQ(written.open(QIODevice::ReadOnly) ? written.readAll() : "no file", c.kept ? c.body : "no file");
        written.remove();
    }
}

TEST_F(DownloadTest, connectionModesUseTheNetworkOrTheCacheAsChosen)
{
    m_server.setReply("/page", reply("<html>version 1</html>"));
    ASSERT_EQ(page("/page"), "<html>version 1</html>");
    m_server.setReply("/page", reply("<html>version 2</html>"));

    m_state.ModeConnexion = Download::kOffline;
    EXPECT_EQ(page("/page"), "<html>version 1</html>") << "offline reads the cache";
    EXPECT_EQ(page("/never-fetched"), "") << "offline has nothing for an uncached page";
    EXPECT_EQ(m_server.requestedPaths(), QList<QByteArray>{"/page"});
    EXPECT_EQ(fetch(url("/page"), Purpose::BannerText).text(), "<html>version 2</html>")
        << "the maker's reads always go to the network";

    m_state.ModeConnexion = Download::kForceUpdate;
    m_server.setReply("/page", reply("<html>version 3</html>"));
    EXPECT_EQ(page("/page"), "<html>version 3</html>");

    m_state.ModeConnexion = Download::kCacheIfNetworkFails;
    m_server.setReply("/page", reply("<html>version 4</html>"));
    EXPECT_EQ(page("/page"), "<html>version 4</html>") << "the network comes first";

    const QString address = url("/page");
    m_server.close();
    EXPECT_EQ(fetch(address).text(), "<html>version 4</html>") << "the cache when the network fails";
    m_state.ModeConnexion = Download::kOffline;
    EXPECT_EQ(fetch(address).text(), "<html>version 4</html>") << "offline with the server stopped";
    m_state.ModeConnexion = Download::kForceUpdate;
    EXPECT_EQ(fetch(address).text(), "") << "a forced update never falls back on the cache";
}

TEST_F(DownloadTest, theProgramsProxyCarriesTheReads)
{
    m_server.setReply("/search", reply("<html>through the proxy</html>"));
    m_state.ProxyHost = "127.0.0.1";
    m_state.ProxyPort = m_server.port();

    EXPECT_EQ(fetch("http://films.invalid/search?q=alien").text(), "<html>through the proxy</html>");
    ASSERT_EQ(m_server.requests().size(), 1);
    EXPECT_EQ(m_server.requests()[0].target, "http://films.invalid/search?q=alien");
}

} // namespace
