#include "site_test.h"
#include "sites/cine_movies.h"

#include <QFile>
#include <QUrlQuery>
#include <gtest/gtest.h>

namespace {

constexpr int kBase = 3;

// The site serves its pages in Latin-1 and says so.
FixtureServer::Reply latinPage(const QByteArray &body)
{
    return pageReply(body, "text/html; charset=iso-8859-1");
}

// A poster page in the site's shape, for posters made up on the spot.
QByteArray posterPage(const QList<int> &numbers)
{
    QByteArray page = "<table class=\"affiches\"><tr>\n";
    for (int number : numbers) {
        const QByteArray id = QByteArray::number(number);
        page += "<td><a href=\"#\" onclick=\"window.open('popaff.php?IDaffiche=" + id
                + "','affiche'); return false;\"><img src=\"images/data/affiches/x/P_" + id
                + ".jpg\" border=\"0\"></a><br><font size=\"1\" color=\"#990000\">Affiche " + id
                + "</font></td>\n";
    }
    return page + "</tr></table>\n";
}

QByteArray filmLink(int number, const QByteArray &title)
{
    return "<a href=\"fiche_film.php?idFilm=" + QByteArray::number(number) + "\" class=\"titrefilm\"><b>" + title
           + "</b></a>\n";
}

class CineMoviesTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-CineMovies"), QStringLiteral("/cm"), registerCineMovies); }

    void search() { searchBases({kBase}); }
    static QByteArray fixture(const QString &name) { return fixtureFile(QStringLiteral("cinemovies"), name); }

    void answerSearch(const QByteArray &page, const QString &title = QStringLiteral("matrix"))
    {
        answer(QStringLiteral("/search-1-") + title + QStringLiteral("-0.html"), latinPage(page));
    }

    // Every poster page that nothing more precise answers.
    void answerPosters(const QByteArray &page) { answer(QStringLiteral("/fiche_affiches.php"), latinPage(page)); }

    void answerPosterPage(int film, int num, const QByteArray &page)
    {
        answer(QStringLiteral("/fiche_affiches.php?IDfilm=%1&num=%2").arg(film).arg(num), latinPage(page));
    }

    // Matrix (1245): three posters; Matrix Reloaded (2210): four, then one;
    // Animatrix (2388): none.
    void answerMatrix()
    {
        answerSearch(fixture(QStringLiteral("search_matrix.html")));
        answerPosters(fixture(QStringLiteral("posters_none.html")));
        answerPosterPage(1245, 0, fixture(QStringLiteral("posters_1245_0.html")));
        answerPosterPage(2210, 0, fixture(QStringLiteral("posters_2210_0.html")));
        answerPosterPage(2210, 4, fixture(QStringLiteral("posters_2210_4.html")));
    }

    QList<QByteArray> posterPages() const
    {
        QList<QByteArray> pages;
        for (const QByteArray &path : m_server.requestedPaths())
            if (path.startsWith("/cm/fiche_affiches.php?"))
                pages << path.mid(int(qstrlen("/cm/fiche_affiches.php?")));
        return pages;
    }
};

TEST_F(CineMoviesTest, everyPosterOfEveryFilmIsAHit)
{
    answerMatrix();
    search();

    struct Expected
    {
        const char *title;
        int year;
        const char *key;
        const char *extra;
    };
    const Expected expected[] = {
        {"matrix - Affiche française", 1999, "1999/P_2471.jpg", "2471"},
        {"matrix - Affiche américaine", 1999, "1999/P_2472.jpg", "2472"},
        {"matrix - Affiche teaser 'The Matrix has you'", 1999, "1999/P_2473.jpg", "2473"},
        {"matrix reloaded - Affiche française", 2003, "2003/P_3301.jpg", "3301"},
        {"matrix reloaded - Affiche américaine", 2003, "2003/P_3302.jpg", "3302"},
        {"matrix reloaded - Affiche teaser", 2003, "2003/P_3303.jpg", "3303"},
        {"matrix reloaded - Affiche japonaise", 2003, "2003/P_3304.jpg", "3304"},
        {"matrix reloaded - Affiche allemande", 2003, "2003/P_3305.jpg", "3305"},
    };
    ASSERT_EQ(program().results().NbResultats(), int(std::size(expected)));
    ASSERT_EQ(program().results().NbVignettes(), int(std::size(expected)));
    for (int i = 0; i < int(std::size(expected)); ++i) {
        const ResultEntry &entry = hit(i + 1);
        EXPECT_EQ(entry.Title, QString::fromUtf8(expected[i].title)) << i;
        EXPECT_EQ(entry.Year, expected[i].year) << i;
        EXPECT_EQ(entry.Key, QString::fromLatin1(expected[i].key)) << i;
        EXPECT_EQ(entry.Extra, QString::fromLatin1(expected[i].extra)) << i;
        EXPECT_EQ(entry.Site, QStringLiteral("CineMovies")) << i;
        EXPECT_EQ(program().results().slot(i).thumbnailUrl,
                  siteUrl(QStringLiteral("/images/data/affiches/") + entry.Key)) << i;
    }

    // Each thumbnail is fetched before the next poster page; a page without
    // posters ends its film.
    const QList<QByteArray> requests = {
        "/cm/search-1-matrix-0.html",
        "/cm/fiche_affiches.php?IDfilm=1245&num=0",
        "/cm/images/data/affiches/1999/P_2471.jpg",
        "/cm/images/data/affiches/1999/P_2472.jpg",
        "/cm/images/data/affiches/1999/P_2473.jpg",
        "/cm/fiche_affiches.php?IDfilm=1245&num=4",
        "/cm/fiche_affiches.php?IDfilm=2210&num=0",
        "/cm/images/data/affiches/2003/P_3301.jpg",
        "/cm/images/data/affiches/2003/P_3302.jpg",
        "/cm/images/data/affiches/2003/P_3303.jpg",
        "/cm/images/data/affiches/2003/P_3304.jpg",
        "/cm/fiche_affiches.php?IDfilm=2210&num=4",
        "/cm/images/data/affiches/2003/P_3305.jpg",
        "/cm/fiche_affiches.php?IDfilm=2210&num=8",
        "/cm/fiche_affiches.php?IDfilm=2388&num=0",
    };
    EXPECT_EQ(m_server.requestedPaths(), requests);
}

TEST_F(CineMoviesTest, theTitleIsSentWithPlusesWithoutArticleAndAccents)
{
    program().setTitle(QStringLiteral("l'été meurtrier"));
    search();
    EXPECT_EQ(m_server.requestedPaths(), QList<QByteArray>{"/cm/search-1-ete+meurtrier-0.html"});
}

TEST_F(CineMoviesTest, pagesWithoutFilmsOrCutShort)
{
    answerSearch(fixture(QStringLiteral("empty.html")));
    search();
    EXPECT_EQ(program().results().NbResultats(), 0);
    EXPECT_EQ(m_server.requestedPaths().size(), 1);

    // The second film is cut off before its number: only the first is walked.
    m_server.clearRequests();
    answerMatrix();
    answerSearch(fixture(QStringLiteral("truncated.html")));
    search();
    EXPECT_EQ(posterPages(), (QList<QByteArray>{"IDfilm=1245&num=0", "IDfilm=1245&num=4"}));
    EXPECT_EQ(program().results().NbResultats(), 3);

    // A poster cut off before its picture gives no hit.
    answerPosterPage(1245, 0, fixture(QStringLiteral("posters_truncated.html")));
    search();
    ASSERT_EQ(program().results().NbResultats(), 1);
    EXPECT_EQ(hit(1).Extra, QStringLiteral("2471"));
}

TEST_F(CineMoviesTest, brokenFilmsAndPostersDoNotStopTheScan)
{
    // No year lines at all, and a poster whose caption is missing.
    answerSearch(filmLink(7, "Alpha") + filmLink(8, "Beta"));
    answerPosterPage(8, 0, "<a onclick=\"window.open('popaff.php?IDaffiche=90','a')\"><img src=\"images/data/affiches/b/P_90.jpg\"></a>"
                           + posterPage({91}));
    search();
    EXPECT_EQ(posterPages(), (QList<QByteArray>{"IDfilm=7&num=0", "IDfilm=8&num=0", "IDfilm=8&num=4"}));
    ASSERT_EQ(program().results().NbResultats(), 1);
    EXPECT_EQ(hit(1).Year, 0);
    EXPECT_EQ(hit(1).Key, QStringLiteral("b/P_90.jpg"));
    // The caption is looked for after the picture: the next poster's, whose
    // marker the scan has then passed.
    EXPECT_EQ(hit(1).Title, QStringLiteral("beta - Affiche 91"));
}

TEST_F(CineMoviesTest, aSiteThatIgnoresThePageNumberListsItsPostersOnce)
{
    answerSearch(filmLink(1245, "Matrix"));
    answerPosters(fixture(QStringLiteral("posters_1245_0.html")));
    search();
    EXPECT_EQ(program().results().NbResultats(), 3);
    EXPECT_EQ(posterPages(), (QList<QByteArray>{"IDfilm=1245&num=0", "IDfilm=1245&num=4"}));
}

TEST_F(CineMoviesTest, theWalkStopsAtRankEightyAndAFullListOnlyEndsThePosterPass)
{
    answerSearch(filmLink(1, "Alpha") + filmLink(2, "Beta"));
    // Every page has four new posters, for ever.
    m_server.setFallback([](const FixtureServer::Request &request) {
        const QUrlQuery query(QUrl::fromEncoded(request.path).query());
        if (!request.path.startsWith("/cm/fiche_affiches.php"))
            return notFoundReply();
        const int first = query.queryItemValue(QStringLiteral("IDfilm")).toInt() * 1000
                          + query.queryItemValue(QStringLiteral("num")).toInt();
        return latinPage(posterPage({first, first + 1, first + 2, first + 3}));
    });
    search();

    // 21 pages of the first film give 84 hits, the second film 16 more.
    ASSERT_EQ(program().results().NbResultats(), 100);
    EXPECT_EQ(hit(84).Extra, QStringLiteral("1083"));
    EXPECT_EQ(hit(100).Extra, QStringLiteral("2015"));
    const QList<QByteArray> pages = posterPages();
    EXPECT_EQ(pages.count(), 42);
    EXPECT_EQ(pages.value(20), "IDfilm=1&num=80");
    EXPECT_EQ(pages.last(), "IDfilm=2&num=80");
}

TEST_F(CineMoviesTest, aStopEndsTheWalk)
{
    answerMatrix();
    QObject::connect(&m_server, &FixtureServer::requestReceived, &m_server,
                     [this](const FixtureServer::Request &request) {
                         if (request.path.endsWith("P_2472.jpg"))
                             program().requestStop();
                     });
    search();
    EXPECT_EQ(program().results().NbResultats(), 2);
    EXPECT_EQ(posterPages(), QList<QByteArray>{"IDfilm=1245&num=0"});
}

TEST_F(CineMoviesTest, theFullPictureIsTheThumbnailsGAndIsFetchedEveryTime)
{
    answerMatrix();
    const QString picture = QStringLiteral("/cm/images/data/affiches/1999/G_2471.jpg");
    m_server.setReply(picture, pictureReply(jpegBytes()));
    search();

    program().retrieval().thumbPressed(0, 1);
    EXPECT_EQ(hit(1).Key, QStringLiteral("1999/G_2471.jpg"));
    program().retrieval().thumbPressed(0, 1);

    EXPECT_EQ(m_server.count(picture.toUtf8()), 2);
    const QString local = m_test.cached(QString::fromUtf8("Matrix - affiche française [1999]  (CineMovies).jpg"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("viewer ") + local + QStringLiteral(" #0"));
}

} // namespace
