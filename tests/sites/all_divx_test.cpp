#include "site_test.h"
#include "sites/all_divx.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kBase = 9;

class AllDivXTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-AllDivX"), QStringLiteral("/alldivx"), registerAllDivX); }

    // The fixtures name the real site; here the test server plays it.
    QByteArray fixture(const QString &name) const
    {
        return fixtureFile(QStringLiteral("alldivx"), name).replace("http://www.alldivx.com", siteUrl({}).toUtf8());
    }
    void answerSearch(const QByteArray &page) { answer(QStringLiteral("/base.php"), page); }
    void answerMatrix()
    {
        answerSearch(fixture(QStringLiteral("matrix.html")));
        for (const char *id : {"1417", "2230", "2231"})
            answer(QStringLiteral("/jaquette/%1.html").arg(QLatin1StringView(id)),
                   fixture(QStringLiteral("jaquette_%1.html").arg(QLatin1StringView(id))));
    }
    void search() { searchBases({kBase}); }
    QStringList titles()
    {
        QStringList found;
        for (int index = 1; index <= program().results().NbResultats(); ++index)
            found << hit(index).Title;
        return found;
    }
};

TEST_F(AllDivXTest, theFormIsPostedAndEachJacketPageNamesThePicture)
{
    answerMatrix();
    search();

    const FixtureServer::Request post = m_server.requests().value(0);
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.target, "/alldivx/base.php?rub=site/recherche.php&var=recherche_cover");
    EXPECT_EQ(post.header("Host"), "127.0.0.1:" + QByteArray::number(m_server.port()));
    EXPECT_EQ(post.body, "nom=matrix&recherche=toutes");

    struct Expected
    {
        const char *title; // UTF-8
        const char *picture;
    };
    const Expected expected[] = {
        {"Matrix", "/images/jaquettes/1417.jpg"},
        {"Matrix Reloaded", "/images/jaquettes/2230.jpg"},
        {"Matrix Revolutions - édition spéciale", ""},
    };
    ASSERT_EQ(program().results().NbResultats(), int(std::size(expected)));
    for (int i = 0; i < int(std::size(expected)); ++i) {
        SCOPED_TRACE(i);
        const QString picture = *expected[i].picture ? siteUrl(QString::fromLatin1(expected[i].picture)) : QString();
        EXPECT_EQ(hit(i + 1).Title, QString::fromUtf8(expected[i].title));
        EXPECT_EQ(hit(i + 1).Year, 0);
        EXPECT_EQ(hit(i + 1).Key, picture);
        EXPECT_EQ(hit(i + 1).Site, QStringLiteral("AllDivX"));
        EXPECT_TRUE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, picture);
    }
    // Each jacket page, then its picture; the withdrawn one has none to fetch.
    EXPECT_EQ(m_server.requestedPaths(),
              (QList<QByteArray>{"/alldivx/base.php?rub=site/recherche.php&var=recherche_cover",
                                 "/alldivx/jaquette/1417.html", "/alldivx/images/jaquettes/1417.jpg",
                                 "/alldivx/jaquette/2230.html", "/alldivx/images/jaquettes/2230.jpg",
                                 "/alldivx/jaquette/2231.html"}));
}

TEST_F(AllDivXTest, theTitleIsPreparedForTheFormBody)
{
    const QPair<const char *, const char *> cases[] = {
        {"l'été-meurtrier", "nom=ete meurtrier&recherche=toutes"},
        {"Matrix Reloaded", "nom=Matrix Reloaded&recherche=toutes"},
        {"Fast & Furious = 100%", "nom=Fast %26 Furious %3D 100%25&recherche=toutes"},
    };
    for (const auto &[typed, body] : cases) {
        SCOPED_TRACE(typed);
        m_server.clearRequests();
        program().setTitle(QString::fromUtf8(typed));
        search();
        EXPECT_EQ(m_server.requests().value(0).body, QByteArray(body));
    }
}

TEST_F(AllDivXTest, onlyWholeLinksOfTheSiteAfterTheResultsHeadingAreHits)
{
    const QByteArray link = "<div style=\"float:left;\"> <a href=\"" + siteUrl(QStringLiteral("/jaquette/")).toUtf8();
    struct Case
    {
        const char *name;
        QByteArray page;
        QStringList titles;
    };
    const Case cases[] = {
        {"no result", fixture(QStringLiteral("empty.html")), {}},
        {"cut inside the second link", fixture(QStringLiteral("truncated.html")), {"Matrix"}},
        {"no heading: scanned from the start", link + "5.html\">\nFive\n</a></div></html>", {"Five"}},
        {"before the heading only", link + "5.html\">\nFive\n</a> R&eacute;sultats de la recherche</html>", {}},
        {"another host's jacket", "de la recherche <div style=\"float:left;\"> <a href=\"http://www.alldivx.com/jaquette/5.html\">\nFive\n</a></html>", {}},
        {"marker at the very end", "de la recherche " + link, {}},
        {"no text after the link", "de la recherche " + link + "5.html\">", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        answerSearch(c.page);
        search();
        EXPECT_EQ(titles(), c.titles);
    }
}

TEST_F(AllDivXTest, thePictureIsSavedOnceThenTakenFromTheCache)
{
    answerMatrix();
    answer(QStringLiteral("/images/jaquettes/1417.jpg"), pictureReply(jpegBytes()));
    search();
    const int thumbnailFetches = m_server.count("/alldivx/images/jaquettes/1417.jpg");

    program().retrieval().thumbPressed(0, 1);
    program().retrieval().thumbPressed(0, 1);

    EXPECT_EQ(m_server.count("/alldivx/images/jaquettes/1417.jpg"), thumbnailFetches + 1);
    const QString local = m_test.cached(QStringLiteral("Matrix (AllDivX).jpg"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
    EXPECT_EQ(m_actions.calls, (QStringList{QStringLiteral("viewer ") + local + QStringLiteral(" #0"),
                                            QStringLiteral("viewer ") + local + QStringLiteral(" #0")}));
}

TEST_F(AllDivXTest, aSiteThatNeverAnswersIsWaitedForUntilStop)
{
    FixtureServer::Reply silent;
    silent.stall = true;
    answer(QStringLiteral("/base.php"), silent);
    QTimer::singleShot(300, &program(), [this] { program().Lance(1); });
    QElapsedTimer waited;
    waited.start();
    search();

    EXPECT_GE(waited.elapsed(), 250);
    EXPECT_LT(waited.elapsed(), 3000);
    EXPECT_EQ(program().results().NbResultats(), 0);
    EXPECT_FALSE(program().searching());
}

} // namespace
