#include "site_test.h"
#include "sites/all_divx.h"

#include <gtest/gtest.h>

namespace {

class AllDivXTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-AllDivX"), QStringLiteral("/alldivx")); }

    // The fixtures name the real site; here the test server plays it.
    QByteArray fixture(const QString &name) const
    {
        return fixtureFile(QStringLiteral("alldivx"), name).replace("http://www.alldivx.com", siteUrl({}).toUtf8());
    }
};

// The form is posted; each hit's wide slot comes first, then its jacket page
// names the picture, thumbnail and full picture alike, saved once.
TEST_F(AllDivXTest, postsTheFormAndReadsEachJacketPage)
{
    answer(QStringLiteral("/base.php"), fixture(QStringLiteral("matrix.html")));
    for (const char *id : {"1417", "2230", "2231"})
        answer(QStringLiteral("/jaquette/%1.html").arg(QLatin1StringView(id)),
               fixture(QStringLiteral("jaquette_%1.html").arg(QLatin1StringView(id))));
    answer(QStringLiteral("/images/jaquettes/1417.jpg"), pictureReply(jpegBytes()));
    program().setTitle(QString::fromUtf8("l'été-meurtrier"));
    searchBases({AllDivX::kBase});

    const FixtureServer::Request post = m_server.requests().value(0);
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.header("Host"), "127.0.0.1:" + QByteArray::number(m_server.port()));
    EXPECT_EQ(post.body, "nom=ete meurtrier&recherche=toutes");
    // Each jacket page, then its picture; the withdrawn one has none to fetch.
    EXPECT_EQ(m_server.requestedPaths(),
              (QList<QByteArray>{"/alldivx/base.php?rub=site/recherche.php&var=recherche_cover",
                                 "/alldivx/jaquette/1417.html", "/alldivx/images/jaquettes/1417.jpg",
                                 "/alldivx/jaquette/2230.html", "/alldivx/images/jaquettes/2230.jpg",
                                 "/alldivx/jaquette/2231.html"}));
    const QStringList pictures = {siteUrl(QStringLiteral("/images/jaquettes/1417.jpg")),
                                  siteUrl(QStringLiteral("/images/jaquettes/2230.jpg")), {}};
    ASSERT_EQ(program().results().NbVignettes(), pictures.size());
    for (int i = 0; i < pictures.size(); ++i) {
        EXPECT_EQ(hit(i + 1).Key, pictures[i]);
        EXPECT_TRUE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, pictures[i]);
    }
    EXPECT_EQ(hit(3).Title, QString::fromUtf8("Matrix Revolutions - édition spéciale"));
    EXPECT_FALSE(slot(0).thumbnail.isNull());

    retrieve(0, false);
    retrieve(0, false);
    EXPECT_EQ(m_server.count("/alldivx/images/jaquettes/1417.jpg"), 2);
    const QString local = m_test.cached(QStringLiteral("Matrix (AllDivX).jpg"));
    EXPECT_EQ(m_actions.calls, QStringList(2, QStringLiteral("viewer ") + local + QStringLiteral(" #0")));
}

} // namespace
