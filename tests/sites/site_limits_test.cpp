#include "site_test.h"
#include "sites/affiches_cinema.h"
#include "sites/cin_emotions.h"
#include "sites/cine_movies.h"
#include "sites/hd_covers.h"
#include "sites/imp_awards.h"
#include "sites/movie_poster.h"

#include <QUrlQuery>

namespace {

QByteArray number(int n)
{
    return QByteArray::number(n);
}

FixtureServer::Reply latinPage(const QByteArray &body)
{
    return pageReply(body, "text/html; charset=iso-8859-1");
}

// The request's query item `name`, as a number.
int queryValue(const FixtureServer::Request &request, const char *name)
{
    return QUrlQuery(QUrl::fromEncoded(request.path).query()).queryItemValue(QString::fromLatin1(name)).toInt();
}

class SiteLimitTest : public SiteTest
{
protected:
    // The paths asked for that contain `part`, in order.
    QList<QByteArray> requested(const char *part) const
    {
        QList<QByteArray> paths = m_server.requestedPaths();
        paths.removeIf([part](const QByteArray &path) { return !path.contains(part); });
        return paths;
    }
    // The HD Covers search pages asked for, as "mid/start".
    QStringList hdPages() const
    {
        QStringList pages;
        for (const FixtureServer::Request &request : m_server.requests())
            if (request.path.startsWith("/hd/search.php?"))
                pages << QStringLiteral("%1/%2").arg(queryValue(request, "mid")).arg(queryValue(request, "start"));
        return pages;
    }
    void serveHdPages(const std::function<FixtureServer::Reply(int, int)> &pageFor)
    {
        m_server.setFallback([pageFor](const FixtureServer::Request &request) {
            return pageFor(queryValue(request, "mid"), queryValue(request, "start"));
        });
    }
};

// A result page of `count` links keyed from `firstKey`, offering the next page or not.
QByteArray hdPage(int firstKey, int count, bool more)
{
    QByteArray page;
    for (int key = firstKey; key < firstKey + count; ++key)
        page += "<a href=\"showfile.php?lid=" + number(key) + "\">Film</a>";
    return more ? page + "<a href=\"search.php?start=20\">suivant &gt;&gt;</a>" : page;
}

// A title with nothing left would find every link; a film page that never
// comes must not lend the previous one's poster, and gives nothing to fetch.
TEST_F(SiteLimitTest, affichesCinemaReadsNothingOrLendsNothingWithoutATitleOrAFilmPage)
{
    playSite(QStringLiteral("Hote-AffichesCinema"), QStringLiteral("/ac"));
    answer(QStringLiteral("/affiche.php?id=1532"), fixtureFile(QStringLiteral("affichescinema"), QStringLiteral("film_1532.html")));
    answer(QStringLiteral("/affiche.php?id=9999"), stalledReply());
    answer(QStringLiteral("/page.php"), "<a href=\"affiche.php?id=1532\" target=\"film\">Matrix</a>"
                                        "<a href=\"affiche.php?id=9999\" target=\"film\">Matrix 4</a>");
    program().setTitle(QStringLiteral("le "));
    searchBases({AffichesCinema::kBase});
    EXPECT_TRUE(m_server.requestedPaths().isEmpty());
    EXPECT_EQ(program().results().NbResultats(), 0);

    program().setTitle(QStringLiteral("matrix"));
    searchBases({AffichesCinema::kBase});
    ASSERT_EQ(program().results().NbVignettes(), 2);
    EXPECT_EQ(hit(1).Key, QStringLiteral("affiches/m/matrix_1999.jpg"));
    EXPECT_EQ(hit(2).Key, QString());
    m_server.clearRequests();
    retrieve(1, false);
    EXPECT_TRUE(m_server.requestedPaths().isEmpty());
}

// A full list ends only the posters: every film's page is read all the same.
TEST_F(SiteLimitTest, cinEmotionsReadsEveryFilmPastAFullList)
{
    playSite(QStringLiteral("Hote-CinEmotions"), QStringLiteral("/ce"));
    QByteArray films;
    for (const QByteArray film : {"1", "2", "3"}) {
        films += "<A HREF=\"/film/" + film + ".html\" class=link4 onMouseOver=\"window.status='F" + film + "';\">";
        QByteArray posters;
        for (int i = 0; i < 60; ++i) {
            const QByteArray id = film + number(1000 + i);
            posters += "<A HREF=\"/film/affiche-" + id + ".html\"><IMG SRC=\"/data/films/" + id + ".jpg\" border=1></A>";
        }
        answer(QStringLiteral("/film/%1/affiches.html").arg(QString::fromLatin1(film)), latinPage(posters));
    }
    answer(QStringLiteral("/cinema-tv-dvd/film-serie-acteur-actrice-realisateur/matrix"), latinPage(films));
    searchBases({CinEmotions::kBase});
    ASSERT_EQ(program().results().NbVignettes(), 100);
    EXPECT_EQ(hit(100).Extra, QStringLiteral("/film/affiche-21039.html"));
    EXPECT_EQ(requested("/affiches.html").size(), 3);
}

// The walk of a film's poster pages ends: at a page that repeats the one
// before (a site that ignores "num"), else at rank 80; a full list ends only
// the posters, not the walk.
TEST_F(SiteLimitTest, cineMoviesEndsTheWalkOfPosterPages)
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
    playSite(QStringLiteral("Hote-CineMovies"), QStringLiteral("/cm"));
    answer(QStringLiteral("/search-1-matrix-0.html"), latinPage("<a href=\"fiche_film.php?idFilm=1\" class=\"titrefilm\"><b>A</b></a>"
                                                                "<a href=\"fiche_film.php?idFilm=2\" class=\"titrefilm\"><b>B</b></a>"));
    for (const auto &row : rows) {
        SCOPED_TRACE(row.pages);
        // Four posters on every page, numbered after the film and the rank.
        m_server.setFallback([&row](const FixtureServer::Request &request) {
            if (!request.path.startsWith("/cm/fiche_affiches.php"))
                return notFoundReply();
            const int first = queryValue(request, "IDfilm") * 1000 + (row.ignoresRank ? 0 : queryValue(request, "num"));
            QByteArray page;
            for (int n = first; n < first + 4; ++n)
                page += "<a onclick=\"popaff.php?IDaffiche=" + number(n) + "'\"><img src=\"images/data/affiches/P_" + number(n)
                        + ".jpg\"><font color=\"#990000\">x</font>";
            return latinPage(page);
        });
        m_server.clearRequests();
        searchBases({CineMovies::kBase});
        const QList<QByteArray> pages = requested("/cm/fiche_affiches.php?");
        EXPECT_EQ(pages.size(), row.pages);
        EXPECT_EQ(pages.value(row.pages - 1), row.lastPage);
        EXPECT_EQ(program().results().NbResultats(), row.hits);
    }
}

// Each category is paged while its pages offer the next one, up to start
// 1000; a stop ends the paging of both.
TEST_F(SiteLimitTest, hdCoversEndsThePagingWhereItMust)
{
    struct Case
    {
        const char *name;
        std::function<FixtureServer::Reply(int, int)> pageFor;
        bool stopAtTheSecondPage;
        QStringList pages; // "mid/start"; empty: 51 pages of each
        int hits;
    };
    const Case cases[] = {
        {"every page offers the next one", [](int, int) { return pageReply(hdPage(1, 0, true)); }, false, {}, 0},
        // 30 links a page: the list is full during the fourth page, yet pages go on.
        {"a full list ends what a page adds, not the paging",
         [](int mid, int start) { return pageReply(hdPage(mid * 10000 + start * 10, 30, start < 40)); }, false,
         {"5/0", "5/20", "5/40", "6/0", "6/20", "6/40"}, 100},
        {"a page that does not come ends its category",
         [](int mid, int start) { return mid == 5 && start == 20 ? notFoundReply() : pageReply(hdPage(mid * 1000 + start, 1, mid == 5)); },
         false, {"5/0", "5/20", "6/0"}, 2},
        {"a stop", [](int mid, int start) { return pageReply(hdPage(mid * 1000 + start, 2, true)); }, true, {"5/0", "5/20"}, 2},
    };
    playSite(QStringLiteral("Hote-HDCovers"), QStringLiteral("/hd"));
    bool stop = false;
    QObject::connect(&m_server, &FixtureServer::requestReceived, &program(), [this, &stop](const FixtureServer::Request &request) {
        if (stop && request.path.contains("start=20"))
            program().requestStop();
    });
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_server.clearRequests();
        stop = c.stopAtTheSecondPage;
        serveHdPages(c.pageFor);
        searchBases({HDCovers::kBase});
        const QStringList pages = hdPages();
        if (c.pages.isEmpty()) {
            ASSERT_EQ(pages.size(), 2 * 51);
            EXPECT_EQ(pages.at(50), QStringLiteral("5/1000"));
            EXPECT_EQ(pages.last(), QStringLiteral("6/1000"));
        } else {
            EXPECT_EQ(pages, c.pages);
        }
        EXPECT_EQ(program().results().NbResultats(), c.hits);
    }
}

// Four pages of forty posters: the third fills the list, the fourth is not read.
TEST_F(SiteLimitTest, impAwardsFullListEndsThePageLoop)
{
    playSite(QStringLiteral("Hote-IMPAwards"), QStringLiteral("/imp"));
    m_test.store.EcritValeur(QStringLiteral("Hote-MoteurRecherche"), m_server.url(QStringLiteral("/engine")));
    QByteArray engine;
    for (int page = 1; page <= 4; ++page) {
        const QString path = QStringLiteral("/2001/film%1.html").arg(page);
        engine += "<a class=l href=\"" + siteUrl(path).toLatin1() + "\">Poster</a>\n";
        QByteArray poster = "<img src=\"posters/main.jpg\" alt =\"\">";
        for (int version = 2; version <= 40; ++version)
            poster += "<img src=\"thumbs/imp_v" + number(version) + ".jpg\">";
        answer(path, poster);
    }
    m_server.setReply(QStringLiteral("/engine/custom"), pageReply(engine));
    searchBases({IMPAwards::kBase});

    EXPECT_EQ(requested(".html").size(), 3);
    ASSERT_EQ(program().results().NbResultats(), 100);
    EXPECT_EQ(hit(100).Key, siteUrl(QStringLiteral("/2001/posters/v20.jpg")));
    EXPECT_EQ(program().results().NbVignettes(), 100);
}

// The jacket's options go into its address and, as digits, into its file name.
TEST_F(SiteLimitTest, movieCoversJacketCarriesItsOptionsInAddressAndName)
{
    const struct
    {
        const char *format, *background, *font;
        const char *query;
        const char *file;
    } rows[] = {
        {"3", "0", "2", "taille=260x197-32&couleurfond=blanc&police=courier", "-302"},
        {"", "", "", "taille=&couleurfond=&police=", "-"},
    };
    playSite(QStringLiteral("Hote-MovieCovers"), QStringLiteral("/mc"));
    answer(QStringLiteral("/multicrit.html"), "<a href=\"/film/titre_MATRIX.html\">MATRIX</a> (1999)");
    searchBases({11});
    for (const auto &row : rows) {
        m_test.store.EcritValeur(QStringLiteral("PDF-Format"), QString::fromLatin1(row.format));
        m_test.store.EcritValeur(QStringLiteral("PDF-Fond"), QString::fromLatin1(row.background));
        m_test.store.EcritValeur(QStringLiteral("PDF-Police"), QString::fromLatin1(row.font));
        const QByteArray request = "/mc/getpdf5.html?idmc1=MATRIX&" + QByteArray(row.query) + "&submit=Voir...";
        m_server.setReply(QString::fromLatin1(request), pictureReply("%PDF-1.4 jacket", "application/pdf"));
        retrieve(0, false);
        EXPECT_EQ(m_server.count(request), 1) << row.query;
        const QString local = m_test.cached(QStringLiteral("Matrix [1999]  (MovieCovers)") + QString::fromLatin1(row.file) + QStringLiteral(".pdf"));
        EXPECT_EQ(m_actions.calls.last(), QStringLiteral("open ") + local);
    }
}

TEST_F(SiteLimitTest, moviePosterPageWithoutPictureFetchesNothing)
{
    const std::pair<const char *, FixtureServer::Reply> cases[] = {
        {"no picture named", pageReply("<html><body>Sold out</body></html>")},
        {"the page does not come", notFoundReply()},
    };
    playSite(QStringLiteral("Hote-MoviePoster"), QStringLiteral("/mp"));
    answer(QStringLiteral("/cgi-bin/mpw8/search.pl"), fixtureFile(QStringLiteral("movieposter"), QStringLiteral("search_matrix.html"))
                                                          .replace("http://www.movieposter.com", siteUrl({}).toLatin1()));
    for (const auto &[name, posterPage] : cases) {
        SCOPED_TRACE(name);
        answer(QStringLiteral("/poster/MPW-31420/Matrix_Reloaded.html"), posterPage);
        searchBases({MoviePoster::kBase});
        m_server.clearRequests();
        retrieve(1, false);
        EXPECT_EQ(m_server.requestedPaths(), QList<QByteArray>{"/mp/poster/MPW-31420/Matrix_Reloaded.html"});
        EXPECT_FALSE(program().busy());
    }
}

} // namespace
