#include "scan_case.h"
#include "site_test.h"
#include "sites/movie_poster.h"

namespace {

class MoviePosterTest : public SiteTest
{
protected:
    void SetUp() override
    {
        playSite(QStringLiteral("Hote-MoviePoster"), QStringLiteral("/mp"));
        answer(QStringLiteral("/cgi-bin/mpw8/search.pl"), fixture("search_matrix.html"));
    }

    // The site's pages name their poster pages by absolute address: here, the test server's.
    QByteArray fixture(const char *name) const
    {
        return fixtureFile(QStringLiteral("movieposter"), QString::fromLatin1(name))
            .replace("http://www.movieposter.com", siteUrl(QString()).toLatin1());
    }
};

TEST_F(MoviePosterTest, theResultPageGivesEveryHitAndThePosterPageItsPicture)
{
    answer(QStringLiteral("/poster/MPW-25871/Matrix.html"), fixture("poster_25871.html"));
    answer(QStringLiteral("/posters/archive/main/26/MPW-25871"), pictureReply(jpegBytes()));
    program().setTitle(QString::fromUtf8("l'été matrix"));
    searchBases({MoviePoster::kBase});

    EXPECT_EQ(m_server.requestedPaths().value(0),
              "/mp/cgi-bin/mpw8/search.pl?pl=kb&ti=l'ete%20matrix&prl=Greater&prh=1&th=y&rs=100&sv=0&page=0");
    const QStringList titles = {"The Matrix", "The Matrix Reloaded", "The Matrix Revolutions & Animatrix"};
    const QStringList pages = {"/poster/MPW-25871/Matrix.html", "/poster/MPW-31420/Matrix_Reloaded.html",
                               "/poster/MPW-31977/Matrix_Revolutions.html"};
    const QStringList thumbnails = {"images/thumbs/MPW-25871.jpg", "images/thumbs/MPW-31420.jpg", "images/thumbs/MPW-31977.jpg"};
    ASSERT_EQ(program().results().NbResultats(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(hit(i + 1), hitOf(titles[i], 0, siteUrl(pages[i]), thumbnails[i], QStringLiteral("MoviePoster")));
        EXPECT_FALSE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, siteUrl(u'/' + thumbnails[i]));
    }

    // The poster's page is read, and the picture fetched, on every retrieval.
    retrieve(0, false);
    retrieve(0, false);
    EXPECT_EQ(m_server.count("/mp/poster/MPW-25871/Matrix.html"), 2);
    EXPECT_EQ(m_server.count("/mp/posters/archive/main/26/MPW-25871"), 2);
    QFile file(m_test.cached(QStringLiteral("The matrix (MoviePoster).jpg")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
}

TEST_F(MoviePosterTest, aPosterPageWithoutPictureFetchesNothing)
{
    struct Case
    {
        const char *name;
        FixtureServer::Reply posterPage;
    };
    const Case cases[] = {
        {"no picture named", pageReply("<html><body>Sold out</body></html>")},
        {"the page does not come", notFoundReply()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        answer(QStringLiteral("/poster/MPW-31420/Matrix_Reloaded.html"), c.posterPage);
        searchBases({MoviePoster::kBase});
        m_server.clearRequests();
        retrieve(1, false);
        EXPECT_EQ(m_server.requestedPaths(), QList<QByteArray>{"/mp/poster/MPW-31420/Matrix_Reloaded.html"});
        EXPECT_FALSE(program().busy());
    }
}

} // namespace
