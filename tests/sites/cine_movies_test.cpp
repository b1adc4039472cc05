#include "scan_case.h"
#include "site_test.h"
#include "sites/cine_movies.h"

#include <QUrlQuery>
#include <gtest/gtest.h>

namespace {

const QString kSite = QStringLiteral("CineMovies");

// The site serves its pages in Latin-1 and says so.
FixtureServer::Reply latinPage(const QByteArray &body)
{
    return pageReply(body, "text/html; charset=iso-8859-1");
}

class CineMoviesTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-CineMovies"), QStringLiteral("/cm")); }

    static QByteArray fixture(const char *name) { return fixtureFile(QStringLiteral("cinemovies"), QString::fromLatin1(name)); }
    void answerPage(const QString &path, const QByteArray &page) { answer(path, latinPage(page)); }

    QList<QByteArray> posterPages() const
    {
        QList<QByteArray> pages = m_server.requestedPaths();
        pages.removeIf([](const QByteArray &path) { return !path.startsWith("/cm/fiche_affiches.php?"); });
        return pages;
    }
};

// Matrix (1245): three posters; Matrix Reloaded (2210): four, then one;
// Animatrix (2388): none. Each thumbnail is waited for before the next poster.
TEST_F(CineMoviesTest, everyPosterOfEveryFilmIsAHit)
{
    answerPage(QStringLiteral("/search-1-matrix-0.html"), fixture("search_matrix.html"));
    answerPage(QStringLiteral("/fiche_affiches.php"), fixture("posters_none.html"));
    answerPage(QStringLiteral("/fiche_affiches.php?IDfilm=1245&num=0"), fixture("posters_1245_0.html"));
    answerPage(QStringLiteral("/fiche_affiches.php?IDfilm=2210&num=0"), fixture("posters_2210_0.html"));
    answerPage(QStringLiteral("/fiche_affiches.php?IDfilm=2210&num=4"), fixture("posters_2210_4.html"));
    answer(QStringLiteral("/images/data/affiches/1999/P_2471.jpg"), pictureReply(jpegBytes()));
    answer(QStringLiteral("/images/data/affiches/1999/G_2471.jpg"), pictureReply(jpegBytes()));
    searchBases({CineMovies::kBase});

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
    ASSERT_EQ(program().results().NbVignettes(), 8);
    EXPECT_EQ(hit(1), hitOf(QString::fromUtf8("matrix - Affiche française"), 1999, QStringLiteral("1999/P_2471.jpg"),
                            QStringLiteral("2471"), kSite));
    EXPECT_EQ(hit(8), hitOf(QStringLiteral("matrix reloaded - Affiche allemande"), 2003, QStringLiteral("2003/P_3305.jpg"),
                            QStringLiteral("3305"), kSite));
    EXPECT_EQ(slot(7).thumbnailUrl, siteUrl(QStringLiteral("/images/data/affiches/2003/P_3305.jpg")));
    EXPECT_FALSE(slot(0).thumbnail.isNull());
    EXPECT_FALSE(slot(0).wide);

    // The full picture sits next to the thumbnail, a "G" for the "P", fetched every time.
    retrieve(0, false);
    retrieve(0, false);
    EXPECT_EQ(m_server.count("/cm/images/data/affiches/1999/G_2471.jpg"), 2);
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("viewer ")
                                            + m_test.cached(QString::fromUtf8("Matrix - affiche française [1999]  (CineMovies).jpg"))
                                            + QStringLiteral(" #0"));
}

// The walk of a film's poster pages ends: at a page that repeats the one
// before (a site that ignores "num"), else at rank 80; a full list ends only
// the posters, not the walk.
TEST_F(CineMoviesTest, theWalkOfPosterPagesEnds)
{
    const struct
    {
        bool ignoresRank;
        int pages;
        int hits;
        const char *lastPage;
    } rows[] = {
        {true, 4, 8, "/cm/fiche_affiches.php?IDfilm=2&num=4"},
        {false, 42, 100, "/cm/fiche_affiches.php?IDfilm=2&num=80"},
    };
    answerPage(QStringLiteral("/search-1-matrix-0.html"),
               "<a href=\"fiche_film.php?idFilm=1\" class=\"titrefilm\"><b>A</b></a>"
               "<a href=\"fiche_film.php?idFilm=2\" class=\"titrefilm\"><b>B</b></a>");
    for (const auto &row : rows) {
        SCOPED_TRACE(row.pages);
        // Four posters on every page, numbered after the film and the rank.
        m_server.setFallback([&row](const FixtureServer::Request &request) {
            const QUrlQuery query(QUrl::fromEncoded(request.path).query());
            if (!request.path.startsWith("/cm/fiche_affiches.php"))
                return notFoundReply();
            int first = query.queryItemValue(QStringLiteral("IDfilm")).toInt() * 1000;
            if (!row.ignoresRank)
                first += query.queryItemValue(QStringLiteral("num")).toInt();
            QByteArray page;
            for (int number = first; number < first + 4; ++number)
                page += "<a onclick=\"popaff.php?IDaffiche=" + QByteArray::number(number) + "'\"><img src=\"images/data/affiches/P_"
                        + QByteArray::number(number) + ".jpg\"><font color=\"#990000\">x</font>";
            return latinPage(page);
        });
        m_server.clearRequests();
        searchBases({CineMovies::kBase});
        EXPECT_EQ(posterPages().size(), row.pages);
        EXPECT_EQ(posterPages().value(row.pages - 1), row.lastPage);
        EXPECT_EQ(program().results().NbResultats(), row.hits);
    }
}

} // namespace
