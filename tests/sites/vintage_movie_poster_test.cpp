#include "site_test.h"
#include "sites/vintage_movie_poster.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

constexpr int kBase = 8;
const QString kSearchPath = QStringLiteral("/result_key2_bis.asp");

class VintageMoviePosterTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-Vintage"), QStringLiteral("/vmp"), registerVintageMoviePoster); }

    void search() { searchBases({kBase}); }
    void answerSearch(const QByteArray &page) { answer(kSearchPath, page); }
    static QByteArray fixture(const QString &name) { return fixtureFile(QStringLiteral("vintage"), name); }
    int hitCount() { return program().results().NbResultats(); }
};

TEST_F(VintageMoviePosterTest, resultPageGivesTitlesAndLargePictures)
{
    answerSearch(fixture(QStringLiteral("search_matrix.html")));
    search();

    EXPECT_EQ(m_server.requestedPaths().value(0),
              "/vmp/result_key2_bis.asp?page2=1&motclef=matrix&prix=0&B1=See+Results");
    struct Expected
    {
        const char *title;
        const char *key;
    };
    // The tip's text is the title; the list's small picture becomes the large one.
    const Expected expected[] = {
        {"Matrix, The (1999) - French Grande 47x63", "photos_gm/MX1999F.jpg"},
        {"Matrix, The (1999) - US One Sheet & Teaser", "photos_gm/MX1999US.jpg"},
        {"Matrix Reloaded, The (2003) - Italian 2 Fogli", "photos_gm/MXR2003I.jpg"},
    };
    ASSERT_EQ(hitCount(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QString key = QString::fromLatin1(expected[i].key);
        EXPECT_EQ(hit(i + 1).Title, QString::fromLatin1(expected[i].title));
        EXPECT_EQ(hit(i + 1).Year, 0);
        EXPECT_EQ(hit(i + 1).Key, key);
        EXPECT_EQ(hit(i + 1).Extra, QString());
        EXPECT_EQ(hit(i + 1).Site, QStringLiteral("Vintage Movie Poster"));
        EXPECT_FALSE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, siteUrl(u'/' + key));
    }
}

TEST_F(VintageMoviePosterTest, theKeywordHasPlusesForBlanksAndNoLeadingArticle)
{
    const struct
    {
        const char *typed;
        QByteArray keyword;
    } cases[] = {
        {"star wars", "star+wars"},
        {"l'été meurtrier", "ete+meurtrier"},
        {"la guerre des étoiles", "la+guerre+des+etoiles"},
    };
    answerSearch(fixture(QStringLiteral("empty.html")));
    for (const auto &c : cases) {
        m_server.clearRequests();
        program().setTitle(QString::fromUtf8(c.typed));
        search();
        EXPECT_EQ(m_server.requestedPaths().value(0),
                  "/vmp/result_key2_bis.asp?page2=1&motclef=" + c.keyword + "&prix=0&B1=See+Results")
            << c.typed;
    }
}

TEST_F(VintageMoviePosterTest, brokenHitsAreNeverHalfRead)
{
    const QByteArray whole = "<td bgcolor=\"#501828\"><a href=\"detail.asp?ref=A\" onMouseOver=\"showtip('A')\" "
                           "onMouseOut=\"hidetip();\"><img src=\"photos_pm/A.jpg\"></a></td>";
    const struct
    {
        const char *name;
        QByteArray page;
        int hits;
    } cases[] = {
        {"marker without a tip", whole + "<td bgcolor=\"#501828\">sold out</td>", 1},
        {"tip never closed", whole + "<td bgcolor=\"#501828\"><a onMouseOver=\"showtip('B", 1},
        {"tip without a picture", whole + "<td bgcolor=\"#501828\"><a onMouseOver=\"showtip('B')\">B</a>", 1},
        {"picture too close to the tip", "#501828 onMouseOver=\"showtip('B')\"><img src=\"b.jpg\">" + whole, 1},
        {"markers inside one hit", "#501828 #501828" + whole + whole, 2},
    };
    for (const auto &c : cases) {
        answerSearch(c.page);
        search();
        EXPECT_EQ(hitCount(), c.hits) << c.name;
        for (int index = 1; index <= hitCount(); ++index) {
            EXPECT_EQ(hit(index).Key, QStringLiteral("photos_gm/A.jpg")) << c.name;
            EXPECT_EQ(hit(index).Title, QStringLiteral("A")) << c.name;
        }
    }
}

TEST_F(VintageMoviePosterTest, pagesWithoutHitsOrCutInsideOneGiveTheWholeOnes)
{
    answerSearch(fixture(QStringLiteral("empty.html")));
    search();
    EXPECT_EQ(hitCount(), 0);

    answerSearch(fixture(QStringLiteral("truncated.html")));
    search();
    ASSERT_EQ(hitCount(), 1);
    EXPECT_EQ(hit(1).Title, QStringLiteral("Matrix, The (1999) - French Grande 47x63"));
    EXPECT_EQ(hit(1).Key, QStringLiteral("photos_gm/MX1999F.jpg"));
}

TEST_F(VintageMoviePosterTest, thePictureIsFetchedAgainOnEveryPress)
{
    answerSearch(fixture(QStringLiteral("search_matrix.html")));
    answer(QStringLiteral("/photos_gm/MX1999F.jpg"), pictureReply(jpegBytes()));
    search();

    program().retrieval().thumbPressed(0, 1);
    program().retrieval().thumbPressed(0, 1);

    // The thumbnail was the same picture: three fetches in all.
    EXPECT_EQ(m_server.count("/vmp/photos_gm/MX1999F.jpg"), 3);
    EXPECT_EQ(m_server.count("/vmp/photos_pm/MX1999F.jpg"), 0);
    const QString local = m_test.cached(QStringLiteral("Matrix, the (1999) - french grande 47x63 (Vintage Movie Poster).jpg"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("viewer ") + local + QStringLiteral(" #0"));
}

TEST_F(VintageMoviePosterTest, aDownloadCopiesTheLargePicture)
{
    answerSearch(fixture(QStringLiteral("search_matrix.html")));
    answer(QStringLiteral("/photos_gm/MXR2003I.jpg"), pictureReply(jpegBytes()));
    const QString folder = m_test.dir.filePath(QStringLiteral("downloads"));
    QDir().mkpath(folder);
    program().retrieval().setSaveFolder(folder);
    search();
    program().retrieval().downloadClicked(2);

    const QString name = QStringLiteral("Matrix reloaded, the (2003) - italian 2 fogli (Vintage Movie Poster).jpg");
    EXPECT_EQ(program().retrieval().lastCopy(), folder + QDir::separator() + name);
    QFile copy(program().retrieval().lastCopy());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), jpegBytes());
}

} // namespace
