#include "site_test.h"
#include "sites/affiches_cinema.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

constexpr int kBase = 0;

class AffichesCinemaTest : public SiteTest
{
protected:
    void SetUp() override
    {
        playSite(QStringLiteral("Hote-AffichesCinema"), QStringLiteral("/ac"), registerAffichesCinema);
        answer(QStringLiteral("/affiche.php?id=1532"), fixture(QStringLiteral("film_1532.html")));
        answer(QStringLiteral("/affiche.php?id=1533"), fixture(QStringLiteral("film_1533.html")));
        answer(QStringLiteral("/affiche.php?id=1534"), fixture(QStringLiteral("film_nopicture.html")));
    }

    void search() { searchBases({kBase}); }
    void answerIndex(const QByteArray &page) { answer(QStringLiteral("/page.php"), page); }
    static QByteArray fixture(const QString &name) { return fixtureFile(QStringLiteral("affichescinema"), name); }
    int hitCount() { return program().results().NbResultats(); }
    QStringList titles()
    {
        QStringList list;
        for (int index = 1; index <= hitCount(); ++index)
            list << hit(index).Title;
        return list;
    }
};

TEST_F(AffichesCinemaTest, theLettersIndexGivesLinksAndFilmPagesGivePictures)
{
    answerIndex(fixture(QStringLiteral("page_m.html")));
    search();

    const QList<QByteArray> requests = m_server.requestedPaths();
    EXPECT_EQ(requests.value(0), "/ac/page.php?lettre=m");
    EXPECT_TRUE(requests.contains("/ac/affiche.php?id=1532"));
    EXPECT_TRUE(requests.contains("/ac/affiche.php?id=1534"));
    struct Expected
    {
        const char *title;
        const char *key; // the film page's picture; none on the last
    };
    const Expected expected[] = {
        {"matrix", "affiches/m/matrix_1999.jpg"},
        {"matrix reloaded", "affiches/m/matrix_reloaded_2003.jpg"},
        {"matrix revolutions", ""},
    };
    ASSERT_EQ(hitCount(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QString key = QString::fromLatin1(expected[i].key);
        EXPECT_EQ(hit(i + 1).Title, QString::fromLatin1(expected[i].title));
        EXPECT_EQ(hit(i + 1).Year, 0);
        EXPECT_EQ(hit(i + 1).Key, key);
        EXPECT_EQ(hit(i + 1).Extra, QString());
        EXPECT_EQ(hit(i + 1).Site, QStringLiteral("Affiches Cinéma"));
        EXPECT_FALSE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, key.isEmpty() ? QString() : siteUrl(u'/' + key));
    }
}

TEST_F(AffichesCinemaTest, theTitleLosesItsArticlesAndIsFoundByItsFirstLetter)
{
    const struct
    {
        const char *typed;
        const char *page;
        QByteArray request;
        QStringList titles;
    } cases[] = {
        {"les visiteurs", "page_v.html", "/ac/page.php?lettre=v",
         {QStringLiteral("visiteurs (les)"), QStringLiteral("visiteurs 2 (les) : les couloirs du temps")}},
        // Found through the folded copy, shown with its accents.
        {"l'été meurtrier", "page_e.html", "/ac/page.php?lettre=e", {QStringLiteral("été meurtrier (l')")}},
        {"été", "page_e.html", "/ac/page.php?lettre=e",
         {QStringLiteral("été meurtrier (l')"), QStringLiteral("été en pente douce (l')")}},
        // "the " is tested twice.
        {"the the matrix", "page_m.html", "/ac/page.php?lettre=m",
         {QStringLiteral("matrix"), QStringLiteral("matrix reloaded"), QStringLiteral("matrix revolutions")}},
        {"la matrix reloaded", "page_m.html", "/ac/page.php?lettre=m", {QStringLiteral("matrix reloaded")}},
        // The page is lower-cased, the title is not.
        {"Matrix", "page_m.html", "/ac/page.php?lettre=M", {}},
    };
    for (const auto &c : cases) {
        m_server.clearRequests();
        program().setTitle(QString::fromUtf8(c.typed));
        answerIndex(fixture(QString::fromLatin1(c.page)));
        search();
        EXPECT_EQ(m_server.requestedPaths().value(0), c.request) << c.typed;
        EXPECT_EQ(titles(), c.titles) << c.typed;
    }
}

TEST_F(AffichesCinemaTest, aTitleWithNothingLeftAsksForNoPage)
{
    answerIndex(fixture(QStringLiteral("page_m.html")));
    program().setTitle(QStringLiteral("le "));
    search();
    EXPECT_TRUE(m_server.requestedPaths().isEmpty());
    EXPECT_EQ(hitCount(), 0);
}

TEST_F(AffichesCinemaTest, onlyWholeLinksWithATargetAreHits)
{
    const QByteArray link = "<a href=\"affiche.php?id=1532\" target=\"film\">Matrix</a>";
    const struct
    {
        const char *name;
        QByteArray page;
        int hits;
    } cases[] = {
        {"no link", fixture(QStringLiteral("empty.html")), 0},
        {"cut inside the second link", fixture(QStringLiteral("truncated.html")), 1},
        {"a heading before the link", "<h2>Matrix</h2>" + link, 1},
        {"a heading after the last link", link + "<h2>Matrix</h2> no more links", 1},
        {"a link without target", "<a href=\"affiche.php?id=1533\">Matrix</a>" + link, 1},
        {"the title inside a link's text", "<a href=\"x\" target=\"film\">Le film Matrix</a>" + link, 1},
    };
    for (const auto &c : cases) {
        answerIndex(c.page);
        search();
        EXPECT_EQ(hitCount(), c.hits) << c.name;
        for (int index = 1; index <= hitCount(); ++index) {
            EXPECT_EQ(hit(index).Title, QStringLiteral("matrix")) << c.name;
            EXPECT_EQ(hit(index).Key, QStringLiteral("affiches/m/matrix_1999.jpg")) << c.name;
        }
    }
}

TEST_F(AffichesCinemaTest, aFilmPageThatDoesNotComeLendsNoPicture)
{
    // The first film's page, still in the page buffer when the second never
    // comes, must not give the second its poster.
    answerIndex("<a href=\"affiche.php?id=1532\" target=\"film\">Matrix</a>"
                "<a href=\"affiche.php?id=9999\" target=\"film\">Matrix 4</a>");
    FixtureServer::Reply silent;
    silent.stall = true;
    answer(QStringLiteral("/affiche.php?id=9999"), silent);
    search();

    ASSERT_EQ(hitCount(), 2);
    EXPECT_EQ(hit(1).Key, QStringLiteral("affiches/m/matrix_1999.jpg"));
    EXPECT_EQ(hit(2).Key, QString());
    EXPECT_EQ(slot(1).thumbnailUrl, QString());

    m_server.clearRequests();
    program().retrieval().thumbPressed(1, 1);
    EXPECT_TRUE(m_server.requestedPaths().isEmpty());
    EXPECT_FALSE(program().retrieval().downloading());
}

TEST_F(AffichesCinemaTest, thePictureIsFetchedAgainOnEveryPress)
{
    answerIndex(fixture(QStringLiteral("page_m.html")));
    answer(QStringLiteral("/affiches/m/matrix_1999.jpg"), pictureReply(jpegBytes()));
    const QString folder = m_test.dir.filePath(QStringLiteral("downloads"));
    QDir().mkpath(folder);
    program().retrieval().setSaveFolder(folder);
    search();

    program().retrieval().thumbPressed(0, 1);
    program().retrieval().downloadClicked(0);

    // Once as the thumbnail, then on each press.
    EXPECT_EQ(m_server.count("/ac/affiches/m/matrix_1999.jpg"), 3);
    const QString local = m_test.cached(QStringLiteral("Matrix (Affiches Cinéma).jpg"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
    ASSERT_EQ(m_actions.calls.size(), 2);
    EXPECT_EQ(m_actions.calls.value(0), QStringLiteral("viewer ") + local + QStringLiteral(" #0"));
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("copy %1 -> %2").arg(local, program().retrieval().lastCopy()));
}

} // namespace
