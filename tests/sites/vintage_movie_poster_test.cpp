#include "site_test.h"
#include "sites/vintage_movie_poster.h"

#include <gtest/gtest.h>

namespace {

class VintageMoviePosterTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-Vintage"), QStringLiteral("/vmp")); }
};

// The hits show the large picture, reduced: the thumbnail and the full
// picture share one address, fetched again at every press.
TEST_F(VintageMoviePosterTest, searchesAndFetchesTheLargePictureAtEveryPress)
{
    answer(QStringLiteral("/result_key2_bis.asp"), fixtureFile(QStringLiteral("vintage"), QStringLiteral("search_matrix.html")));
    answer(QStringLiteral("/photos_gm/MX1999F.jpg"), pictureReply(jpegBytes()));
    program().setTitle(QString::fromUtf8("l'été meurtrier"));
    searchBases({VintageMoviePoster::kBase});

    EXPECT_EQ(m_server.requestedPaths().value(0),
              "/vmp/result_key2_bis.asp?page2=1&motclef=ete+meurtrier&prix=0&B1=See+Results");
    const QStringList keys = {QStringLiteral("photos_gm/MX1999F.jpg"), QStringLiteral("photos_gm/MX1999US.jpg"),
                              QStringLiteral("photos_gm/MXR2003I.jpg")};
    ASSERT_EQ(program().results().NbVignettes(), keys.size());
    for (int i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(hit(i + 1).Key, keys[i]);
        EXPECT_EQ(hit(i + 1).Site, QStringLiteral("Vintage Movie Poster"));
        EXPECT_FALSE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, siteUrl(u'/' + keys[i]));
    }
    EXPECT_EQ(hit(2).Title, QStringLiteral("Matrix, The (1999) - US One Sheet & Teaser"));
    EXPECT_FALSE(slot(0).thumbnail.isNull());

    retrieve(0, false);
    retrieve(0, false);
    EXPECT_EQ(m_server.count("/vmp/photos_gm/MX1999F.jpg"), 3);
    const QString local = m_test.cached(QStringLiteral("Matrix, the (1999) - french grande 47x63 (Vintage Movie Poster).jpg"));
    EXPECT_EQ(m_actions.calls, QStringList(2, QStringLiteral("viewer ") + local + QStringLiteral(" #0")));
}

} // namespace
