#include "await_task.h"
#include "net/download.h"
#include "settings/program_state.h"
#include "site_test.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <type_traits>
#include <gtest/gtest.h>

namespace {

using Outcome = Download::Outcome;
using Purpose = Download::Purpose;
using Reply = FixtureServer::Reply;
using Waiting = Download::Waiting;

constexpr int kReissueMs = 300;
constexpr int kLimitMs = 1000;
// Longer than any wait of a test: a wait that would run into it never ends.
constexpr int kNeverMs = 60000;

// `base` with one more of its fields set.
template<class T>
Reply with(Reply base, T Reply::*field, std::type_identity_t<T> value)
{
    base.*field = value;
    return base;
}

class DownloadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_state.ModeConnexion = Download::kResynchronise;
        m_download.setTiming({kReissueMs, kLimitMs, 500});
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
    void serve(const QString &path, const QByteArray &body) { m_server.setReply(path, pageReply(body)); }

    FixtureServer m_server;
    QTemporaryDir m_cache;
    QTemporaryDir m_files;
    ProgramState m_state;
    Download m_download{m_state, m_cache.path()};
};

TEST_F(DownloadTest, pagesArriveWholeAndDecodedByTheirCharsetAlsoThroughTheProxy)
{
    const QByteArray windows1252 = "<p>\xC9t\xE9 \xE0 No\xEBl : 5 \x80</p>";
    m_server.setReply("/header", pageReply(windows1252, "text/html; charset=ISO-8859-1"));
    m_server.setReply("/pieces", with(with(pageReply(QByteArray(30000, 'p') + "</html>"), &Reply::chunks, 4), &Reply::chunkDelayMs, 50));
    m_server.setReply("/moved", with(statusReply(302), &Reply::headers, {{"Location", "/pieces"}}));

    EXPECT_EQ(page("/header"), QString::fromUtf8("<p>Été à Noël : 5 €</p>"));
    EXPECT_EQ(page("/moved"), QString(30000, u'p') + "</html>");
    EXPECT_EQ(m_server.requestedPaths(), (QList<QByteArray>{"/header", "/moved", "/pieces"}));
    EXPECT_EQ(m_server.requests()[0].method, "GET");
    EXPECT_FALSE(m_server.requests()[0].header("User-Agent").isEmpty());

    m_state.ProxyHost = "127.0.0.1";
    m_state.ProxyPort = m_server.port();
    serve("/search", "<html>through the proxy</html>");
    EXPECT_EQ(fetch("http://films.invalid/search?q=alien").text(), "<html>through the proxy</html>");
    EXPECT_EQ(m_server.requests().last().target, "http://films.invalid/search?q=alien");
}

TEST_F(DownloadTest, aSlowReadIsAskedForOnceMoreAndGivenUpAtTheLimit)
{
    for (const auto &[path, delayMs, done] : {std::tuple("/slow", kReissueMs + 200, true),
                                              std::tuple("/late", kLimitMs + 300, false)}) {
        SCOPED_TRACE(path);
        m_server.setReply(path, with(pageReply("<html>late</html>"), &Reply::delayMs, delayMs));
        QList<QByteArray> delivered;
        const auto ticket = m_download.start(url(path), Purpose::Page, [&](const Outcome &o) { delivered << o.body; });
        EXPECT_EQ(awaitTask(m_download.wait(ticket, Waiting::Done)), done);
        EXPECT_EQ(m_server.count(path), 2) << "one re-issue, never more";
        // A read given up goes on: its answer still comes.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !m_download.inFlight(ticket); }, 5000));
        EXPECT_EQ(delivered, QList<QByteArray>{"<html>late</html>"});
    }

    // The first try hangs, the second answers: the page comes then, the first is dropped.
    m_server.setReply("/hang", with(Reply{}, &Reply::stall, true));
    QObject::connect(&m_server, &FixtureServer::requestReceived, [this] {
        if (m_server.count("/hang") == 2)
            serve("/hang", "<html>second</html>");
    });
    QByteArray second;
    const auto ticket = m_download.start(url("/hang"), Purpose::Page, [&](const Outcome &o) { second = o.body; });
    EXPECT_EQ(awaitTask(m_download.wait(ticket, Waiting::Done)), true) << "done before the limit";
    EXPECT_EQ(second, "<html>second</html>");
}

TEST_F(DownloadTest, aReAskIsSoundWhateverTheNumberOfLiveReads)
{
    // A re-ask adds a reply to the table of live ones, which moves its storage at some counts.
    m_server.setReply("/hang", with(Reply{}, &Reply::stall, true));
    m_download.setTiming({1, 2, 500});
    for (int live = 0; live <= 130; ++live) {
        if (live >= 40) {
            const auto page = m_download.start(url("/hang"), Purpose::Page, {});
            EXPECT_EQ(awaitTask(m_download.wait(page, Waiting::Done)), false) << "asked again, then given up";
            m_download.cancel(page);
        }
        m_download.start(url("/hang"), Purpose::Thumbnail, {});
    }
    m_download.cancelAll();
}

// Each case puts what it must not wait for out of reach: a wait that ran into it would not end.
TEST_F(DownloadTest, waitsEndWithTheReadOrAfterTheSettleTime)
{
    // name, reply, mode, waiting, timing, done
    const std::tuple<const char *, Reply, int, Waiting, Download::Timing, bool> cases[] = {
        {"quick, settle: ends with the read", pictureReply(jpegBytes()), Download::kResynchronise, Waiting::Settle,
         {kNeverMs, kNeverMs, kNeverMs}, true},
        {"stalled, settle: ends after the settle time, not re-issued", with(Reply{}, &Reply::stall, true), Download::kResynchronise,
         Waiting::Settle, {kReissueMs, kNeverMs, 500}, false},
        {"slow, synchronous: waited for though not asked to, not re-issued", with(pageReply("<html>sync</html>"), &Reply::delayMs, 500),
         Download::kSynchronous, Waiting::None, {kReissueMs, kNeverMs, 0}, true},
    };
    for (const auto &[name, reply, mode, waiting, timing, done] : cases) {
        SCOPED_TRACE(name);
        m_server.setReply("/read", reply);
        m_server.clearRequests();
        m_state.ModeConnexion = mode;
        m_download.setTiming(timing);
        const auto ticket = m_download.start(url("/read"), Purpose::Thumbnail);
        QCoro::Task<bool> wait = m_download.wait(ticket, waiting);
        EXPECT_FALSE(wait.isReady()) << "it waits";
        EXPECT_EQ(awaitTask(std::move(wait)), done);
        EXPECT_EQ(m_download.inFlight(ticket), !done);
        EXPECT_EQ(m_server.count("/read"), 1);
        m_download.cancel(ticket);
    }
}

TEST_F(DownloadTest, aCancelledReadEndsItsWaitAtOnceAndDeliversNothing)
{
    m_server.setReply("/slow", with(pageReply("<html>late</html>"), &Reply::delayMs, 300));
    for (const bool all : {false, true}) {
        int delivered = 0;
        const auto ticket = m_download.start(url("/slow"), Purpose::Page, [&](const Outcome &) { ++delivered; });
        QCoro::Task<bool> waiting = m_download.wait(ticket, Waiting::Done);
        ASSERT_FALSE(waiting.isReady());
        if (all)
            m_download.cancelAll();
        else
            m_download.cancel(ticket);
        EXPECT_TRUE(waiting.isReady()) << "ended within the cancel";
        EXPECT_FALSE(m_download.inFlight(ticket));
        // A read started after it has come back: the cancelled one's answer would have too.
        EXPECT_TRUE(fetch(url("/slow")).ok);
        EXPECT_EQ(delivered, 0);
    }
}

TEST_F(DownloadTest, onlyWebAddressesAreRead)
{
    // The same picture everywhere: over http it is read.
    const QByteArray jpeg = jpegBytes();
    serve("/private.jpg", jpeg);
    ASSERT_TRUE(fetch(url("/private.jpg"), Purpose::Save, file("private.jpg")).ok);
    m_server.clearRequests();
    const QString addresses[] = {QUrl::fromLocalFile(file("private.jpg")).toString(),
                                 "data:image/jpeg;base64," + QString::fromLatin1(jpeg.toBase64()),
                                 url("/private.jpg").replace("http:", "ftp:")};
    for (const QString &address : addresses) {
        for (const Purpose purpose : {Purpose::Page, Purpose::Thumbnail, Purpose::Save, Purpose::Banner}) {
            SCOPED_TRACE(address.left(40).toStdString() + " " + std::to_string(int(purpose)));
            std::optional<Outcome> outcome;
            m_download.start(address, purpose, [&](const Outcome &o) { outcome = o; }, file("copy.jpg"));
            ASSERT_TRUE(outcome) << "failed at once, nothing waited for";
            EXPECT_EQ((std::pair(outcome->ok, outcome->body)), (std::pair(false, QByteArray())));
        }
    }
    EXPECT_EQ(files(), QStringList{"private.jpg"});
    EXPECT_TRUE(m_server.requests().isEmpty());
}

// A read that fails, or that grows past its cap, brings nothing and leaves no file.
TEST_F(DownloadTest, failedOrOversizedReadsBringNothing)
{
    const QByteArray picture = jpegBytes({64, 64});
    // The picture fills the picture cap exactly and is one byte too many for a page.
    m_download.setCaps({picture.size() - 1, picture.size()});
    const Reply cut = with(pageReply(picture.left(2000)), &Reply::cutAfter, 500);
    const Reply endless = with(pageReply(picture), &Reply::endless, true);
    m_server.setReply("/missing", notFoundReply());
    m_server.setReply("/dropped", with(Reply{}, &Reply::dropConnection, true));
    m_server.setReply("/cut", cut);
    m_server.setReply("/stalled", with(cut, &Reply::stallAfterCut, true));
    serve("/picture.jpg", picture);
    serve("/larger.jpg", picture + ' ');
    m_server.setReply("/endless.jpg", endless);
    // path, purpose, delivered, status (-1: not looked at), timed out
    const std::tuple<const char *, Purpose, bool, int, bool> cases[] = {
        {"/missing", Purpose::Page, false, 404, false},        {"/missing", Purpose::Save, false, 404, false},
        {"/dropped", Purpose::Page, false, 0, false},          {"/dropped", Purpose::Save, false, 0, false},
        {"/cut", Purpose::Page, false, -1, false},             {"/cut", Purpose::Save, false, -1, false},
        {"/stalled", Purpose::Page, false, -1, true},          {"/stalled", Purpose::Save, false, -1, true},
        {"/picture.jpg", Purpose::Page, false, -1, false},     {"/picture.jpg", Purpose::Save, true, 200, false},
        {"/picture.jpg", Purpose::Thumbnail, true, 200, false}, {"/larger.jpg", Purpose::Save, false, -1, false},
        {"/larger.jpg", Purpose::Thumbnail, false, -1, false}, {"/endless.jpg", Purpose::Page, false, -1, false},
        {"/endless.jpg", Purpose::Save, false, -1, false},     {"/endless.jpg", Purpose::Thumbnail, false, -1, false},
    };
    for (const auto &[path, purpose, delivered, status, timedOut] : cases) {
        SCOPED_TRACE(path + (" " + std::to_string(int(purpose))));
        const Outcome outcome = fetch(url(path), purpose, file("poster.jpg"));
        const QByteArray body = delivered ? picture : QByteArray();
        EXPECT_EQ((std::tuple(outcome.ok, outcome.body, outcome.timedOut)), (std::tuple(delivered, body, timedOut)));
        if (status >= 0) {
            EXPECT_EQ((std::pair(outcome.answered, outcome.status)), (std::pair(status != 0, status)));
        }
        EXPECT_EQ(files(), delivered && purpose == Purpose::Save ? QStringList{"poster.jpg"} : QStringList());
        QFile::remove(file("poster.jpg"));
    }

    // A read given up at its cap did not fail for want of a network: the cache is not read instead.
    m_state.ModeConnexion = Download::kCacheIfNetworkFails;
    serve("/grown", "<html>small</html>");
    ASSERT_EQ(page("/grown"), "<html>small</html>");
    m_server.setReply("/grown", endless);
    EXPECT_EQ(page("/grown"), "");
}

TEST_F(DownloadTest, aSaveKeepsOnlyWhatItsNameSays)
{
    const QByteArray jpeg = jpegBytes();
    const QByteArray pdf = "%PDF-1.4\n1 0 obj\n";
    const QByteArray errorPage = "<html><body>This picture has moved.</body></html>";
    const std::tuple<QByteArray, const char *, bool> cases[] = {
        {jpeg, "Matrix (1999) - MovieCovers.JPG", true}, {pdf, "jacket.PDF", true},
        {errorPage, "poster.JPG", false},                {QByteArray(4096, '\0'), "poster.jpg", false},
        {errorPage, "jacket.pdf", false},                {jpeg, "jacket.pdf", false},
    };
    for (const auto &[body, name, kept] : cases) {
        SCOPED_TRACE(name + (" " + body.left(10).toStdString()));
        serve("/reply", body);
        QFile written(file(name));
        EXPECT_EQ(fetch(url("/reply"), Purpose::Save, written.fileName()).ok, kept);
        EXPECT_EQ(written.open(QIODevice::ReadOnly) ? written.readAll() : "no file", kept ? body : "no file");
        written.remove();
    }
}

TEST_F(DownloadTest, connectionModesUseTheNetworkOrTheCacheAsChosen)
{
    // mode, the version served (0: the server is stopped), path, purpose, what is read
    const std::tuple<int, int, const char *, Purpose, const char *> steps[] = {
        {Download::kResynchronise, 1, "/page", Purpose::Page, "<html>version 1</html>"},
        {Download::kOffline, 2, "/page", Purpose::Page, "<html>version 1</html>"}, // the cache
        {Download::kOffline, 2, "/never-fetched", Purpose::Page, ""},
        {Download::kOffline, 2, "/page", Purpose::BannerText, "<html>version 2</html>"}, // the maker's: always the network
        {Download::kForceUpdate, 3, "/page", Purpose::Page, "<html>version 3</html>"},
        {Download::kCacheIfNetworkFails, 4, "/page", Purpose::Page, "<html>version 4</html>"}, // the network first
        {Download::kCacheIfNetworkFails, 0, "/page", Purpose::Page, "<html>version 4</html>"},
        {Download::kOffline, 0, "/page", Purpose::Page, "<html>version 4</html>"},
        {Download::kForceUpdate, 0, "/page", Purpose::Page, ""}, // never falls back on the cache
    };
    const QString site = url({}); // still known once the server is stopped
    for (const auto &[mode, version, path, purpose, text] : steps) {
        SCOPED_TRACE(testing::Message() << mode << " " << version << " " << path);
        m_state.ModeConnexion = mode;
        if (version > 0)
            serve("/page", QStringLiteral("<html>version %1</html>").arg(version).toLatin1());
        else
            m_server.close();
        EXPECT_EQ(fetch(site + path, purpose).text(), text);
    }
    EXPECT_EQ(m_server.requestedPaths(), (QList<QByteArray>{"/page", "/page", "/page", "/page"}));
}

} // namespace
