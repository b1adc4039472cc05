#include "site_test.h"
#include "sites/movie_poster.h"

#include <gtest/gtest.h>

namespace {

constexpr int kBase = 7;
constexpr char kSiteHost[] = "http://www.movieposter.com";
constexpr char kSearchPath[] = "/cgi-bin/mpw8/search.pl";

class MoviePosterTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-MoviePoster"), QStringLiteral("/mp"), registerMoviePoster); }

    // The site's pages name their poster pages by absolute address: here, the test server's.
    QByteArray fixture(const QString &name) const
    {
        return fixtureFile(QStringLiteral("movieposter"), name).replace(kSiteHost, siteUrl(QString()).toLatin1());
    }

    void answerSearch(const QByteArray &page) { answer(QString::fromLatin1(kSearchPath), page); }

    void search() { searchBases({kBase}); }

    // One hit cell as the site writes it.
    static QByteArray hitCell(const QByteArray &key, const QByteArray &title)
    {
        return "<td class=\"pid\"><a href=\"http://www.movieposter.com/poster/" + key + "/x.html\" title=\"" + title
               + "\"><img class=\"pic2\" src=\"images/thumbs/" + key + ".jpg\" alt=\"\" border=\"0\"></a></td>\n";
    }
};

TEST_F(MoviePosterTest, theResultPageGivesEveryField)
{
    answerSearch(fixture(QStringLiteral("search_matrix.html")));
    search();

    EXPECT_EQ(m_server.requestedPaths().value(0),
              "/mp/cgi-bin/mpw8/search.pl?pl=kb&ti=matrix&prl=Greater&prh=1&th=y&rs=100&sv=0&page=0");
    struct Expected
    {
        const char *title;
        const char *page;
        const char *thumbnail;
    };
    const Expected expected[] = {
        {"The Matrix", "/poster/MPW-25871/Matrix.html", "images/thumbs/MPW-25871.jpg"},
        {"The Matrix Reloaded", "/poster/MPW-31420/Matrix_Reloaded.html", "images/thumbs/MPW-31420.jpg"},
        {"The Matrix Revolutions & Animatrix", "/poster/MPW-31977/Matrix_Revolutions.html", "images/thumbs/MPW-31977.jpg"},
    };
    ASSERT_EQ(program().results().NbResultats(), int(std::size(expected)));
    for (int i = 0; i < int(std::size(expected)); ++i) {
        const ResultEntry &entry = hit(i + 1);
        EXPECT_EQ(entry.Title, QString::fromLatin1(expected[i].title)) << i;
        EXPECT_EQ(entry.Year, 0) << i;
        EXPECT_EQ(entry.Key, siteUrl(QString::fromLatin1(expected[i].page))) << i;
        EXPECT_EQ(entry.Extra, QString::fromLatin1(expected[i].thumbnail)) << i;
        EXPECT_EQ(entry.Site, QStringLiteral("MoviePoster")) << i;
        EXPECT_EQ(slot(i).thumbnailUrl, siteUrl(u'/' + entry.Extra)) << i;
        EXPECT_FALSE(slot(i).wide) << i;
    }
}

TEST_F(MoviePosterTest, theTitleIsSentWithItsBlanksEscapedAndAccentsFolded)
{
    program().setTitle(QString::fromUtf8("l'été meurtrier"));
    search();
    EXPECT_EQ(m_server.requestedPaths().value(0),
              "/mp/cgi-bin/mpw8/search.pl?pl=kb&ti=l'ete%20meurtrier&prl=Greater&prh=1&th=y&rs=100&sv=0&page=0");
}

TEST_F(MoviePosterTest, pagesWithoutHitsOrCutShort)
{
    answerSearch(fixture(QStringLiteral("empty.html")));
    search();
    EXPECT_EQ(program().results().NbResultats(), 0);
    EXPECT_EQ(m_server.requestedPaths().size(), 1);

    // Cut after the second hit's title: it keeps its page and title, without a thumbnail.
    answerSearch(fixture(QStringLiteral("truncated.html")));
    search();
    ASSERT_EQ(program().results().NbResultats(), 2);
    EXPECT_EQ(hit(1).Extra, QStringLiteral("images/thumbs/MPW-25871.jpg"));
    EXPECT_EQ(hit(2).Title, QStringLiteral("The Matrix Reloaded"));
    EXPECT_EQ(hit(2).Key, siteUrl(QStringLiteral("/poster/MPW-31420/Matrix_Reloaded.html")));
    EXPECT_EQ(hit(2).Extra, QString());
}

TEST_F(MoviePosterTest, brokenHitsDoNotStopTheScan)
{
    struct Case
    {
        const char *name;
        QByteArray page;
        int hits;
        const char *lastTitle;
    };
    const Case cases[] = {
        {"cut before the title", hitCell("A", "One") + "<td class=\"pid\"><a href=\"x", 2, ""},
        {"cut in the title", hitCell("A", "One") + "<td class=\"pid\"><a href=\"x\" title=\"Tw", 2, ""},
        {"marker alone at the end", hitCell("A", "One") + "class=\"pid", 2, ""},
        // Its fields run on into the next hit, which is not read again.
        {"no thumbnail", "<td class=\"pid\"><a href=\"x\" title=\"One\"></a>" + hitCell("B", "Two"), 1, "One"},
    };
    for (const Case &c : cases) {
        answerSearch(c.page);
        search();
        ASSERT_EQ(program().results().NbResultats(), c.hits) << c.name;
        EXPECT_EQ(hit(c.hits).Title, QString::fromLatin1(c.lastTitle)) << c.name;
        EXPECT_EQ(hit(c.hits).Site, QStringLiteral("MoviePoster")) << c.name;
    }
}

TEST_F(MoviePosterTest, aFullListEndsTheScan)
{
    QByteArray page;
    for (int i = 0; i < 105; ++i)
        page += hitCell("K" + QByteArray::number(i), "T");
    answerSearch(page);
    search();
    EXPECT_EQ(program().results().NbResultats(), 100);
    EXPECT_EQ(hit(100).Extra, QStringLiteral("images/thumbs/K99.jpg"));
}

TEST_F(MoviePosterTest, thePictureIsReadFromThePostersPageEveryTime)
{
    answerSearch(fixture(QStringLiteral("search_matrix.html")));
    answer(QStringLiteral("/poster/MPW-25871/Matrix.html"), fixture(QStringLiteral("poster_25871.html")));
    answer(QStringLiteral("/posters/archive/main/26/MPW-25871"), pictureReply(jpegBytes()));
    search();

    program().retrieval().thumbPressed(0, 1);
    program().retrieval().thumbPressed(0, 1);

    EXPECT_EQ(m_server.count("/mp/poster/MPW-25871/Matrix.html"), 2);
    EXPECT_EQ(m_server.count("/mp/posters/archive/main/26/MPW-25871"), 2);
    const QString local = m_test.cached(QStringLiteral("The matrix (MoviePoster).jpg"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("viewer ") + local + QStringLiteral(" #0"));
}

TEST_F(MoviePosterTest, aPostersPageWithoutPictureOrThatNeverArrivesFetchesNothing)
{
    answerSearch(fixture(QStringLiteral("search_matrix.html")));
    answer(QStringLiteral("/poster/MPW-25871/Matrix.html"), fixture(QStringLiteral("poster_25871.html")));
    answer(QStringLiteral("/poster/MPW-31420/Matrix_Reloaded.html"), QByteArray("<html><body>Sold out</body></html>"));
    FixtureServer::Reply stalled;
    stalled.stall = true;
    answer(QStringLiteral("/poster/MPW-31977/Matrix_Revolutions.html"), stalled);
    search();

    program().retrieval().thumbPressed(0, 1);
    m_server.clearRequests();
    program().retrieval().downloadClicked(1);
    program().retrieval().downloadClicked(2);
    for (const QByteArray &path : m_server.requestedPaths())
        EXPECT_FALSE(path.startsWith("/mp/posters/")) << path.constData();
    EXPECT_FALSE(program().busy());
}

} // namespace
