#include "settings/program_state.h"
#include "fixture_server.h"
#include "net/download.h"
#include "net/event_wait.h"
#include "test_pictures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kReissueMs = 300;
constexpr int kLimitMs = 1200;
constexpr int kPauseMs = 1500;

FixtureServer::Reply page(const QByteArray &body, int delayMs = 0)
{
    FixtureServer::Reply reply;
    reply.body = body;
    reply.delayMs = delayMs;
    return reply;
}

FixtureServer::Reply status(int code)
{
    FixtureServer::Reply reply;
    reply.status = code;
    reply.body = "<html>error page</html>";
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
    void waitForReads(QSignalSpy &finished, int count)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return finished.count() >= count; }, 5000));
    }

    FixtureServer m_server;
    QTemporaryDir m_cache;
    QTemporaryDir m_files;
    ProgramState m_state;
    Download m_download{m_state, m_cache.path()};
};

TEST_F(DownloadTest, eachPurposeLandsWhereItBelongs)
{
    const QByteArray jpeg = jpegBytes({6, 8});
    m_server.setReply("/page", page("<html>films</html>"));
    m_server.setReply("/thumb.jpg", page(jpeg));
    m_server.setReply("/banner.gif", page(jpegBytes({30, 5})));
    m_server.setReply("/banner.txt", page("http://example.org/offer"));
    m_server.setReply("/poster.jpg", page(jpeg));

    m_download.Start(url("/page"), "Html", false, true);
    EXPECT_EQ(m_state.PageHtml, "<html>films</html>");
    EXPECT_TRUE(m_download.Fini());

    QSignalSpy thumbs(&m_download, &Download::thumbnailArrived);
    QSignalSpy requested(&m_download, &Download::thumbnailRequested);
    m_download.Start(url("/thumb.jpg"), "Thum12", true, true);
    ASSERT_EQ(thumbs.count(), 1);
    EXPECT_EQ(thumbs[0][0].toInt(), 12);
    EXPECT_EQ(thumbs[0][1].value<QImage>().size(), QSize(6, 8));
    ASSERT_EQ(requested.count(), 1);
    EXPECT_EQ(requested[0][1].toString(), url("/thumb.jpg"));

    QSignalSpy banner(&m_download, &Download::bannerArrived);
    QSignalSpy bannerText(&m_download, &Download::bannerTextArrived);
    QSignalSpy finished(&m_download, &Download::readFinished);
    m_download.Start(url("/banner.gif"), "Bandeau", true);
    m_download.Start(url("/banner.txt"), "ToolTipText", false);
    waitForReads(finished, 2);
    ASSERT_EQ(banner.count(), 1);
    EXPECT_EQ(banner[0][0].value<QImage>().size(), QSize(30, 5));
    ASSERT_EQ(bannerText.count(), 1);
    EXPECT_EQ(bannerText[0][0].toString(), "http://example.org/offer");

    const QString target = file("Matrix (1999) - MovieCovers.JPG");
    m_download.Start(url("/poster.jpg"), "Save" + target, false, true);
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), jpeg);
    EXPECT_EQ(QDir(m_files.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(DownloadTest, pagesArriveWholeThroughPiecesAndRedirects)
{
    FixtureServer::Reply pieces = page(QByteArray(30000, 'p') + "</html>");
    pieces.chunks = 4;
    pieces.chunkDelayMs = 50;
    m_server.setReply("/pieces", pieces);
    FixtureServer::Reply moved = status(302);
    moved.headers = {{"Location", "/pieces"}};
    m_server.setReply("/moved", moved);

    m_download.Start(url("/moved"), "Html", false, true);

    EXPECT_EQ(m_state.PageHtml.size(), 30007);
    EXPECT_TRUE(m_state.PageHtml.endsWith("</html>"));
    EXPECT_EQ(m_server.requestedPaths(), (QList<QByteArray>{"/moved", "/pieces"}));
    EXPECT_EQ(m_server.requests()[0].method, "GET");
    EXPECT_FALSE(m_server.requests()[0].header("User-Agent").isEmpty());
}

TEST_F(DownloadTest, slotNumbersAndNonPicturesOfThumbnails)
{
    m_server.setReply("/t.png", page(jpegBytes()));
    m_server.setReply("/broken.jpg", page("not a picture at all"));
    QSignalSpy thumbs(&m_download, &Download::thumbnailArrived);

    m_download.Start(url("/t.png"), "Thum7", true, true);
    m_download.Start(url("/t.png"), "Thum0", true, true);
    m_download.Start(url("/broken.jpg"), "Thum3", true, true);
    m_download.Start(url("/t.png"), "Thumx", true, true);

    ASSERT_EQ(thumbs.count(), 2);
    EXPECT_EQ(thumbs[0][0].toInt(), 7);
    EXPECT_EQ(thumbs[1][0].toInt(), 0);
}

TEST_F(DownloadTest, slowPageIsAskedForOnceMoreThenWaitedFor)
{
    m_server.setReply("/slow", page("<html>late</html>", kReissueMs + 400));

    QElapsedTimer clock;
    clock.start();
    m_download.Start(url("/slow"), "Html", false, true);

    EXPECT_EQ(m_state.PageHtml, "<html>late</html>");
    EXPECT_LT(clock.elapsed(), kLimitMs);
    EXPECT_EQ(m_server.count("/slow"), 2);
}

TEST_F(DownloadTest, waitGivesUpAtTheLimitAndALateAnswerStillCounts)
{
    m_state.PageHtml = "previous site's page";
    m_server.setReply("/late", page("<html>arrived late</html>", kLimitMs + 300));

    QElapsedTimer clock;
    clock.start();
    m_download.Start(url("/late"), "Html", false, true);

    EXPECT_GE(clock.elapsed(), kLimitMs - 50);
    EXPECT_EQ(m_state.PageHtml, "previous site's page");
    EXPECT_EQ(m_server.count("/late"), 2) << "one re-issue, never more";

    QSignalSpy finished(&m_download, &Download::readFinished);
    waitForReads(finished, 1);
    EXPECT_EQ(m_state.PageHtml, "<html>arrived late</html>");
}

TEST_F(DownloadTest, lateAnswerOfAnEarlierPageDoesNotReplaceTheCurrentOne)
{
    m_server.setReply("/first", page("first site", kLimitMs + 500));
    m_server.setReply("/second", page("second site"));
    QSignalSpy finished(&m_download, &Download::readFinished);

    m_download.Start(url("/first"), "Html", false, true);
    m_download.Start(url("/second"), "Html", false, true);
    ASSERT_EQ(m_state.PageHtml, "second site");

    waitForReads(finished, 3);
    EXPECT_EQ(m_state.PageHtml, "second site");
}

TEST_F(DownloadTest, failedReadsLeaveNoPageAndNoFile)
{
    FixtureServer::Reply dropped;
    dropped.dropConnection = true;
    FixtureServer::Reply cut = page(QByteArray(20000, 'x'));
    cut.cutAfter = 5000;
    m_server.setReply("/missing", status(404));
    m_server.setReply("/broken", status(500));
    m_server.setReply("/dropped", dropped);
    m_server.setReply("/cut", cut);

    for (const QString path : {"/missing", "/broken", "/dropped", "/cut"}) {
        SCOPED_TRACE(path.toStdString());
        m_state.PageHtml = "stale";
        m_download.Start(url(path), "Html", false, true);
        EXPECT_EQ(m_state.PageHtml, "");

        QSignalSpy saved(&m_download, &Download::saveFinished);
        const QString target = file("poster" + path.mid(1) + ".jpg");
        m_download.Start(url(path), "Save" + target, false, true);
        ASSERT_EQ(saved.count(), 1);
        EXPECT_FALSE(saved[0][1].toBool());
        EXPECT_FALSE(QFile::exists(target));
    }
    EXPECT_TRUE(QDir(m_files.path()).isEmpty());
}

TEST_F(DownloadTest, stalledSaveLeavesNothingBehind)
{
    FixtureServer::Reply stalled = page(QByteArray(100000, 'j'));
    stalled.cutAfter = 1000;
    stalled.stallAfterCut = true;
    m_server.setReply("/stalled.jpg", stalled);

    const QString target = file("stalled.jpg");
    m_download.Start(url("/stalled.jpg"), "Save" + target, false, true);

    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(QDir(m_files.path()).isEmpty());
}

TEST_F(DownloadTest, onlyWebAddressesAreRead)
{
    // The same picture everywhere: read, it would show.
    const QByteArray jpeg = jpegBytes();
    const QString local = file("private.jpg");
    QFile privateFile(local);
    ASSERT_TRUE(privateFile.open(QIODevice::WriteOnly));
    privateFile.write(jpeg);
    privateFile.close();
    m_server.setReply("/private.jpg", page(jpeg));
    QSignalSpy thumbs(&m_download, &Download::thumbnailArrived);
    QSignalSpy banner(&m_download, &Download::bannerArrived);
    QSignalSpy saved(&m_download, &Download::saveFinished);
    const QString target = file("copy.jpg");

    const QStringList addresses = {QUrl::fromLocalFile(local).toString(),
                                   "data:image/jpeg;base64," + QString::fromLatin1(jpeg.toBase64()),
                                   url("/private.jpg").replace("http:", "ftp:")};
    for (const QString &address : addresses) {
        SCOPED_TRACE(address.left(40).toStdString());
        m_state.PageHtml = "stale";
        m_download.Start(address, "Html", false, true);
        EXPECT_EQ(m_state.PageHtml, "");
        m_download.Start(address, "Thum1", true, true);
        m_download.Start(address, "Save" + target, false, true);
        m_download.Start(address, "Bandeau", true);
        EXPECT_TRUE(m_download.Fini()) << "failed at once, nothing waited for";
    }
    EXPECT_EQ(thumbs.count(), 0);
    EXPECT_EQ(banner.count(), 0);
    ASSERT_EQ(saved.count(), 3);
    EXPECT_FALSE(saved[0][1].toBool() || saved[1][1].toBool() || saved[2][1].toBool());
    EXPECT_EQ(QDir(m_files.path()).entryList(QDir::Files), QStringList{"private.jpg"});
    EXPECT_TRUE(m_server.requests().isEmpty());

    m_download.Start(url("/private.jpg"), "Thum1", true, true);
    EXPECT_EQ(thumbs.count(), 1) << "the same picture over http";
}

TEST_F(DownloadTest, repliesPastTheirCapFailAndNothingIsKept)
{
    const QByteArray picture = jpegBytes({64, 64});
    // The picture fills the picture cap exactly and is one byte too many for a page.
    m_download.setCaps({picture.size() - 1, picture.size()});
    FixtureServer::Reply endless = page(picture);
    endless.endless = true;
    m_server.setReply("/picture.jpg", page(picture));
    m_server.setReply("/larger.jpg", page(picture + ' '));
    m_server.setReply("/endless.jpg", endless);

    // Whether the read, ended on its own, delivered what it brought.
    const auto delivered = [this](const QString &path, const QString &purpose) {
        QSignalSpy thumbs(&m_download, &Download::thumbnailArrived);
        QSignalSpy saved(&m_download, &Download::saveFinished);
        const QString target = file("poster.jpg");
        m_state.PageHtml = "stale";
        m_download.Start(url(path), purpose == u"Save" ? "Save" + target : purpose, purpose == u"Thum0", true);
        EXPECT_TRUE(m_download.Fini()) << "the read ended before the time limit";
        const bool kept = QFile::remove(target);
        EXPECT_EQ(kept, saved.count() == 1 && saved[0][1].toBool());
        return purpose == u"Html" ? !m_state.PageHtml.isEmpty() : thumbs.count() == 1 || kept;
    };
    struct Case
    {
        const char *path;
        const char *purpose;
        bool delivered;
    };
    const Case cases[] = {
        {"/picture.jpg", "Html", false}, {"/picture.jpg", "Save", true}, {"/picture.jpg", "Thum0", true},
        {"/larger.jpg", "Save", false},  {"/larger.jpg", "Thum0", false}, {"/endless.jpg", "Html", false},
        {"/endless.jpg", "Save", false}, {"/endless.jpg", "Thum0", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + c.purpose);
        EXPECT_EQ(delivered(c.path, c.purpose), c.delivered);
    }

    // A read given up at its cap did not fail for want of a network: the cache is not read instead.
    m_state.ModeConnexion = Download::kCacheIfNetworkFails;
    m_server.setReply("/grown", page("<html>small</html>"));
    m_download.Start(url("/grown"), "Html", false, true);
    ASSERT_EQ(m_state.PageHtml, "<html>small</html>");
    m_server.setReply("/grown", endless);
    m_download.Start(url("/grown"), "Html", false, true);
    EXPECT_EQ(m_state.PageHtml, "");
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
        {jpeg, "poster.jpg", true},        {pdf, "jacket.PDF", true},     {errorPage, "poster.JPG", false},
        {QByteArray(4096, '\0'), "poster.jpg", false}, {errorPage, "jacket.pdf", false}, {jpeg, "jacket.pdf", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name + (" " + c.body.left(10).toStdString()));
        m_server.setReply("/reply", page(c.body));
        QSignalSpy saved(&m_download, &Download::saveFinished);
        const QString target = file(c.name);
        m_download.Start(url("/reply"), "Save" + target, false, true);
        ASSERT_EQ(saved.count(), 1);
        EXPECT_EQ(saved[0][1].toBool(), c.kept);
        QFile written(target);
        EXPECT_EQ(written.open(QIODevice::ReadOnly) ? written.readAll() : "no file", c.kept ? c.body : "no file");
        written.remove();
    }
}

TEST_F(DownloadTest, pauseEndsWithTheReadOrAfterTheSettleTime)
{
    m_server.setReply("/quick.png", page(jpegBytes()));
    FixtureServer::Reply stalled;
    stalled.stall = true;
    m_server.setReply("/stalled.png", stalled);
    QSignalSpy thumbs(&m_download, &Download::thumbnailArrived);

    QElapsedTimer clock;
    clock.start();
    m_download.Start(url("/quick.png"), "Thum0", true, false, true);
    EXPECT_LT(clock.elapsed(), kPauseMs - 300);
    EXPECT_EQ(thumbs.count(), 1);

    clock.restart();
    m_download.Start(url("/stalled.png"), "Thum1", true, false, true);
    EXPECT_GE(clock.elapsed(), kPauseMs - 50);
    EXPECT_LT(clock.elapsed(), kLimitMs + kPauseMs);
    EXPECT_EQ(m_server.count("/stalled.png"), 1) << "a paused read is not re-issued";
}

TEST_F(DownloadTest, thumbnailsOfAnEarlierRunAreDropped)
{
    m_server.setReply("/old.png", page(jpegBytes(), 300));
    QSignalSpy thumbs(&m_download, &Download::thumbnailArrived);
    QSignalSpy finished(&m_download, &Download::readFinished);

    m_download.Start(url("/old.png"), "Thum4", true);
    m_download.newRun();
    waitForReads(finished, 1);

    EXPECT_EQ(thumbs.count(), 0);
}

TEST_F(DownloadTest, synchronousModeReturnsOnceTheDataIsThere)
{
    m_state.ModeConnexion = Download::kSynchronous;
    m_server.setReply("/page", page("<html>sync</html>", 200));

    m_download.Start(url("/page"), "Html", false);

    EXPECT_EQ(m_state.PageHtml, "<html>sync</html>");
}

TEST_F(DownloadTest, connectionModesUseTheNetworkOrTheCacheAsChosen)
{
    m_server.setReply("/page", page("<html>version 1</html>"));
    m_download.Start(url("/page"), "Html", false, true);
    ASSERT_EQ(m_state.PageHtml, "<html>version 1</html>");
    m_server.setReply("/page", page("<html>version 2</html>"));

    m_state.ModeConnexion = Download::kOffline;
    m_download.Start(url("/page"), "Html", false, true);
    EXPECT_EQ(m_state.PageHtml, "<html>version 1</html>") << "offline reads the cache";
    EXPECT_EQ(m_server.count("/page"), 1);

    m_download.Start(url("/never-fetched"), "Html", false, true);
    EXPECT_EQ(m_state.PageHtml, "") << "offline has nothing for an uncached page";
    EXPECT_EQ(m_server.count("/never-fetched"), 0);

    m_state.ModeConnexion = Download::kForceUpdate;
    m_download.Start(url("/page"), "Html", false, true);
    EXPECT_EQ(m_state.PageHtml, "<html>version 2</html>");

    m_state.ModeConnexion = Download::kCacheIfNetworkFails;
    m_server.setReply("/page", page("<html>version 3</html>"));
    m_download.Start(url("/page"), "Html", false, true);
    EXPECT_EQ(m_state.PageHtml, "<html>version 3</html>") << "the network comes first";

    const QString address = url("/page");
    m_server.close();
    m_download.Start(address, "Html", false, true);
    EXPECT_EQ(m_state.PageHtml, "<html>version 3</html>") << "the cache when the network fails";

    m_state.ModeConnexion = Download::kOffline;
    m_download.Start(address, "Html", false, true);
    EXPECT_EQ(m_state.PageHtml, "<html>version 3</html>") << "offline with the server stopped";

    m_state.ModeConnexion = Download::kForceUpdate;
    m_download.Start(address, "Html", false, true);
    EXPECT_EQ(m_state.PageHtml, "") << "a forced update never falls back on the cache";
}

TEST_F(DownloadTest, pagesAreDecodedByTheirCharset)
{
    const QString text = QString::fromUtf8("<p>Été à Noël : 5 €</p>");
    QByteArray windows1252 = QString(text).replace(u'€', u'¤').toLatin1();
    windows1252.replace('\xA4', '\x80');
    FixtureServer::Reply declared = page(windows1252);
    declared.contentType = "text/html; charset=ISO-8859-1";
    m_server.setReply("/header", declared);
    m_server.setReply("/utf8", page(text.toUtf8()));
    m_server.setReply("/meta", page("<meta http-equiv='Content-Type' content='text/html; charset=windows-1252'>"
                                    + windows1252));

    m_download.Start(url("/header"), "Html", false, true);
    EXPECT_EQ(m_state.PageHtml, text);
    m_download.Start(url("/utf8"), "Html", false, true);
    EXPECT_EQ(m_state.PageHtml, text);
    m_download.Start(url("/meta"), "Html", false, true);
    EXPECT_TRUE(m_state.PageHtml.endsWith(text)) << m_state.PageHtml.toStdString();
}

TEST_F(DownloadTest, theProgramsProxyCarriesTheReads)
{
    m_server.setReply("/search", page("<html>through the proxy</html>"));
    m_state.ProxyHost = "127.0.0.1";
    m_state.ProxyPort = m_server.port();

    m_download.Start("http://films.invalid/search?q=alien", "Html", false, true);

    EXPECT_EQ(m_state.PageHtml, "<html>through the proxy</html>");
    ASSERT_EQ(m_server.requests().size(), 1);
    EXPECT_EQ(m_server.requests()[0].target, "http://films.invalid/search?q=alien");
}

// Closing ends the waits of the whole process for good, so it runs in a child process.
TEST(DownloadClosingTest, closingTheProgramEndsEveryWaitAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            FixtureServer server;
            server.listen();
            FixtureServer::Reply stalled;
            stalled.stall = true;
            server.setReply("/stalled", stalled);
            QTemporaryDir cache;
            ProgramState state;
            Download download(state, cache.path());

            QTimer::singleShot(100, [] { EventWait::endAll(); });
            QElapsedTimer clock;
            clock.start();
            download.Start(server.url("/stalled"), "Html", false, true);
            const bool endedAtOnce = clock.elapsed() < 3000;
            clock.restart();
            download.Start(server.url("/stalled"), "Thum0", true, true, true);
            const bool noNewWait = clock.elapsed() < 100;
            // Straight out: the child needs no orderly shutdown of Qt.
            std::_Exit(endedAtOnce && noNewWait ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
