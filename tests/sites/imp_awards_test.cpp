#include "settings/site_addresses.h"
#include "site_test.h"
#include "sites/imp_awards.h"

#include <gtest/gtest.h>

namespace {

constexpr int kBase = 5;
constexpr char kSiteHost[] = "http://www.impawards.com";
constexpr char kEnginePrefix[] = "/engine";

class IMPAwardsTest : public SiteTest
{
protected:
    void SetUp() override
    {
        playSite(QStringLiteral("Hote-IMPAwards"), QStringLiteral("/imp"), registerIMPAwards);
        m_test.store.EcritValeur(QStringLiteral("Hote-MoteurRecherche"), m_server.url(QString::fromLatin1(kEnginePrefix)));
    }

    // Plays the site under another address; the search engine's links follow it.
    void moveSite(const QString &prefix)
    {
        m_prefix = prefix;
        m_test.store.EcritValeur(QStringLiteral("Hote-IMPAwards"), m_server.url(prefix));
    }

    // The engine and the site write the site's pages by absolute address: here, the test server's.
    QByteArray fixture(const QString &name) const
    {
        return fixtureFile(QStringLiteral("impawards"), name).replace(kSiteHost, siteUrl(QString()).toLatin1());
    }

    void answerEngine(const QByteArray &page) { m_server.setReply(QString::fromLatin1(kEnginePrefix) + QStringLiteral("/custom"), pageReply(page)); }

    void answerMatrix()
    {
        answerEngine(fixture(QStringLiteral("search_matrix.html")));
        for (const char *page : {"1999/matrix.html", "2003/matrix_reloaded.html", "2003/matrix_revolutions.html"}) {
            const QString path = QString::fromLatin1(page);
            answer(u'/' + path, fixture(path.mid(5)));
        }
    }

    // An engine page listing these addresses, as the engine writes its hits.
    static QByteArray enginePage(const QStringList &addresses)
    {
        QByteArray page = "<html><body><div>\n";
        for (const QString &address : addresses)
            page += "<div class=g><h2 class=r><a class=l href=\"" + address.toLatin1() + "\">Poster</a></h2></div>\n";
        return page + "</div></body></html>\n";
    }

    // A poster page in the site's shape with `versions` other versions.
    static QByteArray posterPage(const QByteArray &name, int versions)
    {
        QByteArray page = "<table><tr><td><center><font size=+2>" + name.toUpper() + " (<a href=\"/gallery/2001\">2001</a>)"
                          "</font></center></td></tr></table>\n<img src=\"posters/" + name + ".jpg\" alt =\"\" border=1>\n";
        for (int i = 2; i < versions + 2; ++i)
            page += "<a href=\"x.html\"><img src=\"thumbs/imp_" + name + "_ver" + QByteArray::number(i) + ".jpg\"></a>\n";
        return page;
    }

    QList<QByteArray> posterPages() const
    {
        QList<QByteArray> pages;
        for (const QByteArray &path : m_server.requestedPaths())
            if (path.endsWith(".html"))
                pages << path;
        return pages;
    }

    // Each search's requests alone.
    void search()
    {
        m_server.clearRequests();
        searchBases({kBase});
    }
};

TEST_F(IMPAwardsTest, everyPosterPageGivesItsPosterAndItsVersions)
{
    answerMatrix();
    search();

    const QString site = SiteAddresses::hostName(m_server.url());
    EXPECT_EQ(QString::fromLatin1(m_server.requestedPaths().value(0)),
              QStringLiteral("/engine/custom?domains=%1&sitesearch=%1&num=100"
                             "&q=%22Comments+on+the+Poster%22+%2B+%22contact+the%22+%2B+matrix")
                  .arg(site));
    EXPECT_EQ(posterPages(), (QList<QByteArray>{"/imp/1999/matrix.html", "/imp/2003/matrix_reloaded.html",
                                                "/imp/2003/matrix_revolutions.html"}));

    struct Expected
    {
        const char *title;
        int year;
        const char *picture; // under the site's address, "posters/" and "thumbs/imp_" left out
    };
    const Expected expected[] = {
        {"the matrix", 1999, "1999/matrix.jpg"},
        {"the matrix", 1999, "1999/matrix_ver2.jpg"},
        {"the matrix", 1999, "1999/matrix_ver3.jpg"},
        {"the matrix reloaded", 2003, "2003/matrix_reloaded.jpg"},
        {"the matrix reloaded", 2003, "2003/matrix_reloaded_ver2.jpg"},
        {"the matrix revolutions", 2003, "2003/matrix_revolutions.jpg"},
    };
    ASSERT_EQ(program().results().NbResultats(), int(std::size(expected)));
    for (int i = 0; i < int(std::size(expected)); ++i) {
        const ResultEntry &entry = hit(i + 1);
        const QString picture = QString::fromLatin1(expected[i].picture);
        EXPECT_EQ(entry.Title, QString::fromLatin1(expected[i].title)) << i;
        EXPECT_EQ(entry.Year, expected[i].year) << i;
        EXPECT_EQ(entry.Key, siteUrl(u'/' + picture.left(5) + QStringLiteral("posters/") + picture.mid(5))) << i;
        EXPECT_EQ(entry.Extra, siteUrl(u'/' + picture.left(5) + QStringLiteral("thumbs/imp_") + picture.mid(5))) << i;
        EXPECT_EQ(entry.Site, QStringLiteral("IMP Awards")) << i;
        EXPECT_EQ(slot(i).thumbnailUrl, entry.Extra) << i;
    }
}

TEST_F(IMPAwardsTest, theSitesOwnAddressIsSkippedWhateverItsLength)
{
    for (const char *prefix : {"/i", "/imp", "/a/much/longer/mirror/of/the/site"}) {
        moveSite(QString::fromLatin1(prefix));
        answerEngine(enginePage({siteUrl(QStringLiteral("/2001/film.html"))}));
        answer(QStringLiteral("/2001/film.html"), posterPage("film", 1));
        search();
        ASSERT_EQ(program().results().NbResultats(), 2) << prefix;
        EXPECT_EQ(hit(1).Key, siteUrl(QStringLiteral("/2001/posters/film.jpg"))) << prefix;
        EXPECT_EQ(hit(2).Extra, siteUrl(QStringLiteral("/2001/thumbs/imp_film_ver2.jpg"))) << prefix;
        EXPECT_EQ(hit(2).Title, QStringLiteral("film")) << prefix;
        EXPECT_EQ(hit(2).Year, 2001) << prefix;
    }
}

TEST_F(IMPAwardsTest, versionsAreFiledUnderTheYearFolderOnly)
{
    // The main poster lies in the page's own folder, the versions in the first five characters of it.
    answerEngine(enginePage({siteUrl(QStringLiteral("/2003/intl/film.html"))}));
    answer(QStringLiteral("/2003/intl/film.html"), posterPage("film", 1));
    search();
    ASSERT_EQ(program().results().NbResultats(), 2);
    EXPECT_EQ(hit(1).Key, siteUrl(QStringLiteral("/2003/intl/posters/film.jpg")));
    EXPECT_EQ(hit(2).Key, siteUrl(QStringLiteral("/2003/posters/film_ver2.jpg")));
}

TEST_F(IMPAwardsTest, theTitleIsSentWithItsBlanksEscapedArticleDroppedAndAccentsFolded)
{
    program().setTitle(QString::fromUtf8("l'été meurtrier"));
    search();
    EXPECT_TRUE(m_server.requestedPaths().value(0).endsWith("+%2B+ete%20meurtrier")) << m_server.requestedPaths().value(0).constData();
}

TEST_F(IMPAwardsTest, pagesWithoutHitsOrCutShort)
{
    answerMatrix();
    answerEngine(fixture(QStringLiteral("search_empty.html")));
    search();
    EXPECT_EQ(program().results().NbResultats(), 0);
    EXPECT_EQ(m_server.requestedPaths().size(), 1);

    // Cut inside the second link: only the first page is read.
    answerEngine(fixture(QStringLiteral("search_truncated.html")));
    search();
    EXPECT_EQ(posterPages(), QList<QByteArray>{"/imp/1999/matrix.html"});
    EXPECT_EQ(program().results().NbResultats(), 3);

    // A page without a poster adds nothing, even with thumbnails of its own; the next page is read.
    answer(QStringLiteral("/1999/matrix.html"), fixture(QStringLiteral("no_poster.html")));
    answerEngine(fixture(QStringLiteral("search_matrix.html")));
    search();
    EXPECT_EQ(posterPages().size(), 3);
    ASSERT_EQ(program().results().NbResultats(), 3);
    EXPECT_EQ(hit(1).Title, QStringLiteral("the matrix reloaded"));

    // A poster page cut inside its second version's name: that version is no hit.
    answer(QStringLiteral("/1999/matrix.html"), fixture(QStringLiteral("poster_truncated.html")));
    search();
    ASSERT_EQ(program().results().NbResultats(), 5);
    EXPECT_EQ(hit(2).Key, siteUrl(QStringLiteral("/1999/posters/matrix_ver2.jpg")));
    EXPECT_EQ(hit(3).Title, QStringLiteral("the matrix reloaded"));
}

TEST_F(IMPAwardsTest, brokenPagesDoNotStopTheScan)
{
    struct Case
    {
        const char *name;
        QByteArray page;
        int hits;
    };
    const Case cases[] = {
        {"no title cell", "<img src=\"posters/a.jpg\" alt =\"\">", 1},
        {"no alt", "<img src=\"posters/a.jpg\"><img src=\"thumbs/imp_b.jpg\">", 1},
        {"marker at the end", "<img src=\"posters/", 0},
        {"a version cut short", "<img src=\"posters/a.jpg\" alt =\"\">thumbs/imp", 1},
    };
    for (const Case &c : cases) {
        answerEngine(enginePage({siteUrl(QStringLiteral("/2001/a.html"))}));
        answer(QStringLiteral("/2001/a.html"), c.page);
        search();
        EXPECT_EQ(program().results().NbResultats(), c.hits) << c.name;
        for (int i = 1; i <= program().results().NbResultats(); ++i) {
            EXPECT_EQ(hit(i).Title, QString()) << c.name;
            EXPECT_EQ(hit(i).Year, 0) << c.name;
        }
    }
}

TEST_F(IMPAwardsTest, aFullListEndsThePageLoop)
{
    QStringList pages;
    for (int i = 1; i <= 4; ++i) {
        const QByteArray name = "film" + QByteArray::number(i);
        pages << siteUrl(QStringLiteral("/2001/") + QString::fromLatin1(name) + QStringLiteral(".html"));
        answer(QStringLiteral("/2001/") + QString::fromLatin1(name) + QStringLiteral(".html"), posterPage(name, 39));
    }
    answerEngine(enginePage(pages));
    search();
    ASSERT_EQ(program().results().NbResultats(), 100);
    EXPECT_EQ(hit(100).Key, siteUrl(QStringLiteral("/2001/posters/film3_ver20.jpg")));
    EXPECT_EQ(posterPages().size(), 3);
    EXPECT_EQ(program().results().NbVignettes(), 100);
}

TEST_F(IMPAwardsTest, thePictureIsFetchedAgainOnEveryRetrieval)
{
    answerMatrix();
    answer(QStringLiteral("/1999/posters/matrix_ver2.jpg"), pictureReply(jpegBytes()));
    search();

    program().retrieval().thumbPressed(1, 1);
    program().retrieval().thumbPressed(1, 1);

    EXPECT_EQ(m_server.count("/imp/1999/posters/matrix_ver2.jpg"), 2);
    const QString local = m_test.cached(QStringLiteral("The matrix [1999]  (IMP Awards).jpg"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("viewer ") + local + QStringLiteral(" #1"));
}

} // namespace
