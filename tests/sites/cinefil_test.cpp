#include "scan_case.h"
#include "site_test.h"
#include "sites/cinefil.h"

#include <gtest/gtest.h>

namespace {

const QString kSite = QStringLiteral("Cinefil");

class CinefilTest : public SiteTest
{
protected:
    void SetUp() override
    {
        playSite(QStringLiteral("Hote-Cinefil"), QStringLiteral("/cf"));
        // Pictures come from a host of their own.
        m_test.store.EcritValeur(QStringLiteral("Hote-CinefilImages"), m_server.url(QStringLiteral("/cfimg")));
    }

    QString pictureUrl(const QString &path) const { return m_server.url(QStringLiteral("/cfimg/ImagesCinefil/") + path); }
};

// The result page gives every field; thumbnails and the poster (a ".jpeg"
// kept as ".jpg", fetched once) come from the picture server.
TEST_F(CinefilTest, searchesTheSiteAndFetchesFromThePictureServer)
{
    answer(QStringLiteral("/cinefil2005/CFM_Recherches/filmsGRIS.cfm"), fixtureFile(QStringLiteral("cinefil"), QStringLiteral("matrix.html")));
    m_server.setReply(QStringLiteral("/cfimg/ImagesCinefil/AffichePetitFormat/4177.jpeg"), pictureReply(jpegBytes()));
    m_server.setReply(QStringLiteral("/cfimg/ImagesCinefil/AfficheGrandFormat/a4177.jpeg"), pictureReply(jpegBytes()));
    program().setTitle(QStringLiteral("l'été meurtrier"));
    searchBases({Cinefil::kBase});

    EXPECT_EQ(m_server.requestedPaths().value(0),
              "/cf/cinefil2005/CFM_Recherches/filmsGRIS.cfm?lachaine2=ete%20meurtrier&avecaffiche=1");
    ASSERT_EQ(program().results().NbVignettes(), 4);
    EXPECT_EQ(hit(1), hitOf(QStringLiteral("matrix"), 1999, QStringLiteral("4177"), {}, kSite));
    EXPECT_EQ(hit(4), hitOf(QStringLiteral("animatrix"), 0, QStringLiteral("12040"), {}, kSite));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(slot(i).thumbnailUrl, pictureUrl(QStringLiteral("AffichePetitFormat/") + hit(i + 1).Key + QStringLiteral(".jpeg")));
    EXPECT_FALSE(slot(0).thumbnail.isNull());
    EXPECT_FALSE(slot(0).wide);

    retrieve(0, false);
    retrieve(0, false);
    EXPECT_EQ(m_server.count("/cfimg/ImagesCinefil/AfficheGrandFormat/a4177.jpeg"), 1);
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("viewer ") + m_test.cached(QStringLiteral("Matrix [1999]  (Cinefil).jpg"))
                                            + QStringLiteral(" #0"));
}

} // namespace
