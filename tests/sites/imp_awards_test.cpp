#include "settings/site_addresses.h"
#include "scan_case.h"
#include "site_test.h"
#include "sites/imp_awards.h"

namespace {

class IMPAwardsTest : public SiteTest
{
protected:
    void SetUp() override
    {
        playSite(QStringLiteral("Hote-IMPAwards"), QStringLiteral("/imp"));
        m_test.store.EcritValeur(QStringLiteral("Hote-MoteurRecherche"), m_server.url(QStringLiteral("/engine")));
    }

    // The engine and the site write the site's pages by absolute address: here, the test server's.
    QByteArray fixture(const QString &name) const
    {
        return fixtureFile(QStringLiteral("impawards"), name).replace("http://www.impawards.com", siteUrl(QString()).toLatin1());
    }

    void answerEngine(const QByteArray &page) { m_server.setReply(QStringLiteral("/engine/custom"), pageReply(page)); }

    QList<QByteArray> posterPages() const
    {
        QList<QByteArray> pages;
        for (const QByteArray &path : m_server.requestedPaths())
            if (path.endsWith(".html"))
                pages << path;
        return pages;
    }
};

TEST_F(IMPAwardsTest, everyPosterPageGivesItsPosterAndItsVersions)
{
    answerEngine(fixture(QStringLiteral("search_matrix.html")));
    for (const QString page : {"/1999/matrix.html", "/2003/matrix_reloaded.html", "/2003/matrix_revolutions.html"})
        answer(page, fixture(page.mid(6)));
    answer(QStringLiteral("/1999/posters/matrix_ver2.jpg"), pictureReply(jpegBytes()));
    program().setTitle(QString::fromUtf8("l'été matrix"));
    searchBases({IMPAwards::kBase});

    const QString site = SiteAddresses::hostName(m_server.url());
    EXPECT_EQ(QString::fromLatin1(m_server.requestedPaths().value(0)),
              QStringLiteral("/engine/custom?domains=%1&sitesearch=%1&num=100"
                             "&q=%22Comments+on+the+Poster%22+%2B+%22contact+the%22+%2B+ete%20matrix")
                  .arg(site));
    EXPECT_EQ(posterPages(), (QList<QByteArray>{"/imp/1999/matrix.html", "/imp/2003/matrix_reloaded.html",
                                                "/imp/2003/matrix_revolutions.html"}));
    struct Expected
    {
        const char *title;
        int year;
        const char *picture; // "FOLDER/NAME"
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
        SCOPED_TRACE(i);
        const QString picture = QString::fromLatin1(expected[i].picture);
        const QString folder = u'/' + picture.left(5);
        EXPECT_EQ(hit(i + 1), hitOf(QString::fromLatin1(expected[i].title), expected[i].year,
                                    siteUrl(folder + QStringLiteral("posters/") + picture.mid(5)),
                                    siteUrl(folder + QStringLiteral("thumbs/imp_") + picture.mid(5)), QStringLiteral("IMP Awards")));
        EXPECT_FALSE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, hit(i + 1).Extra);
    }

    // The picture is fetched again on every retrieval.
    retrieve(1, false);
    retrieve(1, false);
    EXPECT_EQ(m_server.count("/imp/1999/posters/matrix_ver2.jpg"), 2);
    QFile file(m_test.cached(QStringLiteral("The matrix [1999]  (IMP Awards).jpg")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
}

// Four pages of forty posters: the third fills the list, the fourth is not read.
TEST_F(IMPAwardsTest, aFullListEndsThePageLoop)
{
    QByteArray engine;
    for (int page = 1; page <= 4; ++page) {
        const QString path = QStringLiteral("/2001/film%1.html").arg(page);
        engine += "<a class=l href=\"" + siteUrl(path).toLatin1() + "\">Poster</a>\n";
        QByteArray poster = "<img src=\"posters/main.jpg\" alt =\"\">";
        for (int version = 2; version <= 40; ++version)
            poster += "<img src=\"thumbs/imp_v" + QByteArray::number(version) + ".jpg\">";
        answer(path, poster);
    }
    answerEngine(engine);
    searchBases({IMPAwards::kBase});

    EXPECT_EQ(posterPages().size(), 3);
    ASSERT_EQ(program().results().NbResultats(), 100);
    EXPECT_EQ(hit(100).Key, siteUrl(QStringLiteral("/2001/posters/v20.jpg")));
    EXPECT_EQ(program().results().NbVignettes(), 100);
}

} // namespace
