#include "site_test.h"
#include "sites/affiches_cinema.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

class AffichesCinemaTest : public SiteTest
{
protected:
    void SetUp() override
    {
        playSite(QStringLiteral("Hote-AffichesCinema"), QStringLiteral("/ac"));
        answer(QStringLiteral("/affiche.php?id=1532"), fixture("film_1532.html"));
        answer(QStringLiteral("/affiche.php?id=1533"), fixture("film_1533.html"));
        answer(QStringLiteral("/affiche.php?id=1534"), fixture("film_nopicture.html"));
    }

    static QByteArray fixture(const char *name) { return fixtureFile(QStringLiteral("affichescinema"), QString::fromLatin1(name)); }
    void search() { searchBases({AffichesCinema::kBase}); }
    QList<QByteArray> filmPagesRead() const
    {
        QList<QByteArray> pages;
        for (const QByteArray &path : m_server.requestedPaths())
            if (path.contains("affiche.php"))
                pages << path;
        return pages;
    }
};

// The index of the title's first letter gives the links; each film page,
// read before its slot is made, gives the poster, which is the thumbnail too.
TEST_F(AffichesCinemaTest, readsTheLettersIndexThenEachFilmPage)
{
    answer(QStringLiteral("/page.php"), fixture("page_m.html"));
    answer(QStringLiteral("/affiches/m/matrix_1999.jpg"), pictureReply(jpegBytes()));
    const QString folder = m_test.dir.filePath(QStringLiteral("downloads"));
    QDir().mkpath(folder);
    program().retrieval().setSaveFolder(folder);
    program().setTitle(QStringLiteral("the matrix"));
    search();

    EXPECT_EQ(m_server.requestedPaths().value(0), "/ac/page.php?lettre=m");
    EXPECT_EQ(filmPagesRead(), (QList<QByteArray>{"/ac/affiche.php?id=1532", "/ac/affiche.php?id=1533", "/ac/affiche.php?id=1534"}));
    const QStringList posters = {QStringLiteral("affiches/m/matrix_1999.jpg"), QStringLiteral("affiches/m/matrix_reloaded_2003.jpg"), {}};
    ASSERT_EQ(program().results().NbVignettes(), posters.size());
    for (int i = 0; i < posters.size(); ++i) {
        EXPECT_EQ(hit(i + 1).Key, posters[i]);
        EXPECT_FALSE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, posters[i].isEmpty() ? QString() : siteUrl(u'/' + posters[i]));
    }
    EXPECT_EQ(hit(2).Title, QStringLiteral("matrix reloaded"));
    EXPECT_FALSE(slot(0).thumbnail.isNull());

    retrieve(0, false);
    retrieve(0, true);
    EXPECT_EQ(m_server.count("/ac/affiches/m/matrix_1999.jpg"), 3);
    const QString local = m_test.cached(QStringLiteral("Matrix (Affiches Cinéma).jpg"));
    EXPECT_EQ(m_actions.calls, (QStringList{QStringLiteral("viewer ") + local + QStringLiteral(" #0"),
                                            QStringLiteral("copy %1 -> %2").arg(local, program().retrieval().lastCopy())}));
}

// A title with nothing left would find every link; a film page that never
// comes must not lend the previous one's poster, and gives nothing to fetch.
TEST_F(AffichesCinemaTest, nothingIsReadOrLentWithoutATitleOrAFilmPage)
{
    answer(QStringLiteral("/page.php"), "<a href=\"affiche.php?id=1532\" target=\"film\">Matrix</a>"
                                        "<a href=\"affiche.php?id=9999\" target=\"film\">Matrix 4</a>");
    program().setTitle(QStringLiteral("le "));
    search();
    EXPECT_TRUE(m_server.requestedPaths().isEmpty());
    EXPECT_EQ(program().results().NbResultats(), 0);

    FixtureServer::Reply silent;
    silent.stall = true;
    answer(QStringLiteral("/affiche.php?id=9999"), silent);
    program().setTitle(QStringLiteral("matrix"));
    search();
    ASSERT_EQ(program().results().NbVignettes(), 2);
    EXPECT_EQ(hit(1).Key, QStringLiteral("affiches/m/matrix_1999.jpg"));
    EXPECT_EQ(hit(2).Key, QString());

    m_server.clearRequests();
    retrieve(1, false);
    EXPECT_TRUE(m_server.requestedPaths().isEmpty());
}

} // namespace
