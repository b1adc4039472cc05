#include "site_test.h"
#include "sites/cin_emotions.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

constexpr int kBase = 12;
constexpr char kSearchPath[] = "/ce/cinema-tv-dvd/film-serie-acteur-actrice-realisateur/";

// The site serves its pages in Latin-1 and says so.
FixtureServer::Reply latinPage(const QByteArray &body)
{
    return pageReply(body, "text/html; charset=iso-8859-1");
}

// A poster page in the site's shape, for posters made up on the spot.
QByteArray posterPage(int film, int count)
{
    QByteArray page = "<TABLE><TR>\n";
    for (int i = 0; i < count; ++i) {
        const QByteArray id = QByteArray::number(film * 1000 + i);
        page += "<TD><A HREF=\"/film/" + QByteArray::number(film) + "/affiche-" + id + ".html\"><IMG SRC=\"/data/films/v/"
                + id + ".jpg\" border=1></A></TD>\n";
    }
    return page + "</TR></TABLE>\n";
}

QByteArray filmLink(int film, const QByteArray &title)
{
    const QByteArray number = QByteArray::number(film);
    return "<A HREF=\"/film/" + number + ".html\" class=link4 onMouseOver=\"window.status='" + title
           + "';return true;\">" + title + "</A><BR>\n";
}

class CinEmotionsTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-CinEmotions"), QStringLiteral("/ce"), registerCinEmotions); }

    void search() { searchBases({kBase}); }
    static QByteArray fixture(const QString &name) { return fixtureFile(QStringLiteral("cinemotions"), name); }
    void answerPage(const QString &path, const QByteArray &page) { answer(path, latinPage(page)); }

    void answerSearch(const QByteArray &page, const QString &title = QStringLiteral("matrix"))
    {
        m_server.setReply(QString::fromLatin1(kSearchPath) + title, latinPage(page));
    }

    void answerMatrix()
    {
        answerSearch(fixture(QStringLiteral("search_matrix.html")));
        answerPage(QStringLiteral("/film/1421/matrix/affiches.html"), fixture(QStringLiteral("affiches_matrix.html")));
        answerPage(QStringLiteral("/film/1987/matrix-reloaded/affiches.html"), fixture(QStringLiteral("affiches_reloaded.html")));
    }

    QList<QByteArray> posterPages() const
    {
        QList<QByteArray> pages;
        for (const QByteArray &path : m_server.requestedPaths())
            if (path.endsWith("/affiches.html"))
                pages << path;
        return pages;
    }
};

TEST_F(CinEmotionsTest, everyPosterOfEveryFilmIsAHit)
{
    answerMatrix();
    search();

    struct Expected
    {
        const char *title;
        const char *key;
        const char *extra;
    };
    const Expected expected[] = {
        {"Matrix", "/data/films/1421/vignettes/5012.jpg", "/film/1421/matrix/affiche-5012.html"},
        {"Matrix", "/data/films/1421/vignettes/5013.jpg", "/film/1421/matrix/affiche-5013.html"},
        {"Matrix", "/data/films/1421/vignettes/5014.jpg", "/film/1421/matrix/affiche-5014.html"},
        {"Matrix Reloaded", "/data/films/1987/vignettes/6120.jpg", "/film/1987/matrix-reloaded/affiche-6120.html"},
        {"Matrix Reloaded", "/data/films/1987/vignettes/6121.jpg", "/film/1987/matrix-reloaded/affiche-6121.html"},
    };
    ASSERT_EQ(program().results().NbResultats(), int(std::size(expected)));
    ASSERT_EQ(program().results().NbVignettes(), int(std::size(expected)));
    for (int i = 0; i < int(std::size(expected)); ++i) {
        const ResultEntry &entry = hit(i + 1);
        EXPECT_EQ(entry.Title, QString::fromLatin1(expected[i].title)) << i;
        EXPECT_EQ(entry.Year, 0) << i;
        EXPECT_EQ(entry.Key, QString::fromLatin1(expected[i].key)) << i;
        EXPECT_EQ(entry.Extra, QString::fromLatin1(expected[i].extra)) << i;
        EXPECT_EQ(entry.Site, QStringLiteral("CinEmotions")) << i;
        EXPECT_EQ(program().results().slot(i).thumbnailUrl, siteUrl(entry.Key)) << i;
    }
    // All poster pages first, then the thumbnails.
    const QList<QByteArray> requests = m_server.requestedPaths();
    ASSERT_EQ(requests.size(), 8);
    EXPECT_EQ(requests.value(0), QByteArray(kSearchPath) + "matrix");
    EXPECT_EQ(requests.value(1), "/ce/film/1421/matrix/affiches.html");
    EXPECT_EQ(requests.value(2), "/ce/film/1987/matrix-reloaded/affiches.html");
    EXPECT_EQ(requests.value(3), "/ce/data/films/1421/vignettes/5012.jpg");
}

TEST_F(CinEmotionsTest, escapedQuotesOfTheStatusTextAreUnescaped)
{
    program().setTitle(QString::fromUtf8("L'été meurtrier"));
    answerSearch(fixture(QStringLiteral("search_ete.html")), QStringLiteral("L-ete-meurtrier"));
    answerPage(QStringLiteral("/film/2960/l-ete-meurtrier/affiches.html"), fixture(QStringLiteral("affiches_ete.html")));
    search();
    EXPECT_EQ(m_server.requestedPaths().value(0), QByteArray(kSearchPath) + "L-ete-meurtrier");
    ASSERT_EQ(program().results().NbResultats(), 1);
    EXPECT_EQ(hit(1).Title, QString::fromUtf8("L'été meurtrier"));
}

TEST_F(CinEmotionsTest, pagesWithoutFilmsOrCutShort)
{
    answerSearch(fixture(QStringLiteral("empty.html")));
    search();
    EXPECT_EQ(program().results().NbResultats(), 0);
    EXPECT_EQ(m_server.requestedPaths().size(), 1);

    // The second film's status text is cut off: its posters come without a title.
    answerMatrix();
    answerSearch(fixture(QStringLiteral("truncated.html")));
    search();
    ASSERT_EQ(program().results().NbResultats(), 5);
    EXPECT_EQ(hit(3).Title, QStringLiteral("Matrix"));
    EXPECT_EQ(hit(4).Title, QString());

    // A poster page cut inside its second poster.
    answerPage(QStringLiteral("/film/1421/matrix/affiches.html"), fixture(QStringLiteral("affiches_truncated.html")));
    search();
    EXPECT_EQ(program().results().NbResultats(), 3);
    EXPECT_EQ(hit(1).Key, QStringLiteral("/data/films/1421/vignettes/5012.jpg"));
}

TEST_F(CinEmotionsTest, brokenFilmsDoNotStopTheScan)
{
    // A whole film, one without its status text, one without its own link.
    answerSearch(filmLink(1, "One") + "<A HREF=\"/film/2.html\" class=link4 >Two</A>\n<TD class=link4 >Three</TD>\n");
    answerPage(QStringLiteral("/film/1/affiches.html"), posterPage(1, 1));
    answerPage(QStringLiteral("/film/2/affiches.html"), posterPage(2, 2));
    search();
    EXPECT_EQ(posterPages(), (QList<QByteArray>{"/ce/film/1/affiches.html", "/ce/film/2/affiches.html"}));
    ASSERT_EQ(program().results().NbResultats(), 3);
    EXPECT_EQ(hit(1).Title, QStringLiteral("One"));
    EXPECT_EQ(hit(2).Title, QString());

    // A poster without a link of its own, between two whole ones.
    answerPage(QStringLiteral("/film/1/affiches.html"),
               posterPage(1, 1) + "<TD><IMG SRC=\"/data/films/v/x.jpg\" border=1></A></TD>" + posterPage(5, 1));
    search();
    ASSERT_EQ(program().results().NbResultats(), 4);
    EXPECT_EQ(hit(1).Key, QStringLiteral("/data/films/v/1000.jpg"));
    EXPECT_EQ(hit(2).Key, QStringLiteral("/data/films/v/5000.jpg"));
}

TEST_F(CinEmotionsTest, aFullListOnlyEndsThePosterPass)
{
    answerSearch(filmLink(1, "One") + filmLink(2, "Two") + filmLink(3, "Three"));
    answerPage(QStringLiteral("/film/1/affiches.html"), posterPage(1, 60));
    answerPage(QStringLiteral("/film/2/affiches.html"), posterPage(2, 60));
    answerPage(QStringLiteral("/film/3/affiches.html"), posterPage(3, 5));
    search();
    ASSERT_EQ(program().results().NbResultats(), 100);
    EXPECT_EQ(hit(100).Extra, QStringLiteral("/film/2/affiche-2039.html"));
    EXPECT_EQ(posterPages().size(), 3);
    EXPECT_EQ(program().results().NbVignettes(), 100);
}

TEST_F(CinEmotionsTest, thePictureIsReadFromThePostersPageEveryTime)
{
    answerMatrix();
    answerPage(QStringLiteral("/film/1421/matrix/affiche-5012.html"), fixture(QStringLiteral("affiche_5012.html")));
    const QString picture = QStringLiteral("/ce/data/films/1421/affiches/5012.jpg");
    m_server.setReply(picture, pictureReply(jpegBytes()));
    search();

    program().retrieval().thumbPressed(0, 1);
    program().retrieval().thumbPressed(0, 1);

    EXPECT_EQ(m_server.count("/ce/film/1421/matrix/affiche-5012.html"), 2);
    EXPECT_EQ(m_server.count(picture.toUtf8()), 2);
    const QString local = m_test.cached(QStringLiteral("Matrix (CinEmotions).jpg"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("viewer ") + local + QStringLiteral(" #0"));
}

TEST_F(CinEmotionsTest, aPostersPageThatNeverArrivesFetchesNoPicture)
{
    answerMatrix();
    answerPage(QStringLiteral("/film/1421/matrix/affiche-5012.html"), fixture(QStringLiteral("affiche_5012.html")));
    FixtureServer::Reply stalled;
    stalled.stall = true;
    answer(QStringLiteral("/film/1421/matrix/affiche-5013.html"), stalled);
    search();

    program().retrieval().thumbPressed(0, 1);
    m_server.clearRequests();
    // The first poster's page is still the last one read.
    program().retrieval().downloadClicked(1);
    for (const QByteArray &path : m_server.requestedPaths())
        EXPECT_FALSE(path.startsWith("/ce/data/")) << path.constData();
}

} // namespace
