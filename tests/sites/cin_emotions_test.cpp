#include "scan_case.h"
#include "site_test.h"
#include "sites/cin_emotions.h"

#include <gtest/gtest.h>

namespace {

const QString kSite = QStringLiteral("CinEmotions");

// The site serves its pages in Latin-1 and says so.
FixtureServer::Reply latinPage(const QByteArray &body)
{
    return pageReply(body, "text/html; charset=iso-8859-1");
}

class CinEmotionsTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-CinEmotions"), QStringLiteral("/ce")); }

    void answerPage(const QString &path, const QByteArray &page) { answer(path, latinPage(page)); }
    void answerSearch(const QByteArray &page)
    {
        answerPage(QStringLiteral("/cinema-tv-dvd/film-serie-acteur-actrice-realisateur/matrix"), page);
    }
    QList<QByteArray> posterPages() const
    {
        QList<QByteArray> pages = m_server.requestedPaths();
        pages.removeIf([](const QByteArray &path) { return !path.endsWith("/affiches.html"); });
        return pages;
    }
};

// Every film's poster page first, then the thumbnails; a poster's own page
// gives its full picture, read again at every press.
TEST_F(CinEmotionsTest, everyPosterOfEveryFilmIsAHit)
{
    const auto fixture = [](const char *name) { return fixtureFile(QStringLiteral("cinemotions"), QString::fromLatin1(name)); };
    answerSearch(fixture("search_matrix.html"));
    answerPage(QStringLiteral("/film/1421/matrix/affiches.html"), fixture("affiches_matrix.html"));
    answerPage(QStringLiteral("/film/1987/matrix-reloaded/affiches.html"), fixture("affiches_reloaded.html"));
    answerPage(QStringLiteral("/film/1421/matrix/affiche-5012.html"), fixture("affiche_5012.html"));
    answer(QStringLiteral("/data/films/1421/vignettes/5012.jpg"), pictureReply(jpegBytes()));
    answer(QStringLiteral("/data/films/1421/affiches/5012.jpg"), pictureReply(jpegBytes()));
    searchBases({CinEmotions::kBase});

    const QList<QByteArray> requests = m_server.requestedPaths();
    ASSERT_EQ(requests.size(), 8);
    EXPECT_EQ(requests.mid(0, 4), (QList<QByteArray>{"/ce/cinema-tv-dvd/film-serie-acteur-actrice-realisateur/matrix",
                                                     "/ce/film/1421/matrix/affiches.html",
                                                     "/ce/film/1987/matrix-reloaded/affiches.html",
                                                     "/ce/data/films/1421/vignettes/5012.jpg"}));
    ASSERT_EQ(program().results().NbVignettes(), 5);
    EXPECT_EQ(hit(1), hitOf(QStringLiteral("Matrix"), 0, QStringLiteral("/data/films/1421/vignettes/5012.jpg"),
                            QStringLiteral("/film/1421/matrix/affiche-5012.html"), kSite));
    EXPECT_EQ(hit(5), hitOf(QStringLiteral("Matrix Reloaded"), 0, QStringLiteral("/data/films/1987/vignettes/6121.jpg"),
                            QStringLiteral("/film/1987/matrix-reloaded/affiche-6121.html"), kSite));
    EXPECT_EQ(slot(4).thumbnailUrl, siteUrl(hit(5).Key));
    EXPECT_FALSE(slot(0).thumbnail.isNull());
    EXPECT_FALSE(slot(0).wide);

    retrieve(0, false);
    retrieve(0, false);
    EXPECT_EQ(m_server.count("/ce/film/1421/matrix/affiche-5012.html"), 2);
    EXPECT_EQ(m_server.count("/ce/data/films/1421/affiches/5012.jpg"), 2);
    EXPECT_EQ(m_actions.calls.value(1),
              QStringLiteral("viewer ") + m_test.cached(QStringLiteral("Matrix (CinEmotions).jpg")) + QStringLiteral(" #0"));
}

// A full list ends only the posters: every film's page is read all the same.
TEST_F(CinEmotionsTest, aFullListOnlyEndsThePosters)
{
    QByteArray films;
    for (const QByteArray film : {"1", "2", "3"}) {
        films += "<A HREF=\"/film/" + film + ".html\" class=link4 onMouseOver=\"window.status='F" + film + "';\">";
        QByteArray posters;
        for (int i = 0; i < 60; ++i) {
            const QByteArray id = film + QByteArray::number(1000 + i);
            posters += "<A HREF=\"/film/affiche-" + id + ".html\"><IMG SRC=\"/data/films/" + id + ".jpg\" border=1></A>";
        }
        answerPage(QStringLiteral("/film/%1/affiches.html").arg(QString::fromLatin1(film)), posters);
    }
    answerSearch(films);
    searchBases({CinEmotions::kBase});
    ASSERT_EQ(program().results().NbVignettes(), 100);
    EXPECT_EQ(hit(100).Extra, QStringLiteral("/film/affiche-21039.html"));
    EXPECT_EQ(posterPages().size(), 3);
}

} // namespace
