#include "site_test.h"
#include "update/banner.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class BannerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_test.store.EcritValeur("Hote-Editeur", m_server.url("/editeur"));
        m_banner.setRandomSource([this] { return m_random; });
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            m_banner.tick();
    }

    FixtureServer m_server;
    TestProgram m_test;
    Banner m_banner{m_test.program};
    double m_random = 0.0;
};

TEST_F(BannerTest, startShowsBannerOneAndTheEighthTickARandomOne)
{
    EXPECT_FALSE(m_banner.running());
    m_banner.start();
    EXPECT_TRUE(m_banner.running());
    EXPECT_EQ(m_banner.number(), 1);
    for (const auto &[random, banner] : {std::pair(0.0, 2), std::pair(0.5, 15), std::pair(0.999999, 27)}) {
        m_random = random;
        const int before = m_banner.number();
        ticks(7);
        EXPECT_EQ((std::pair(m_banner.number(), m_banner.tickCount())), (std::pair(before, 7))) << "7 ticks";
        m_banner.tick();
        EXPECT_EQ((std::pair(m_banner.number(), m_banner.tickCount())), (std::pair(banner, 0))) << "r = " << random;
    }
}

// The small forms keep the count; no banner changes while a search runs.
TEST_F(BannerTest, theCountGoesOnAfterTheSmallFormsAndWaitsForTheSearch)
{
    m_banner.start();
    ticks(5);
    m_banner.setRunning(false);
    EXPECT_FALSE(m_banner.running());
    m_banner.setRunning(true);
    EXPECT_EQ(m_banner.tickCount(), 5);
    m_test.program.state().ArretDemande = false;
    ticks(20);
    EXPECT_EQ(m_banner.number(), 1);
    m_test.program.state().ArretDemande = true;
    m_banner.tick();
    EXPECT_EQ((std::pair(m_banner.number(), m_banner.tickCount())), (std::pair(2, 0)));
}

TEST_F(BannerTest, pictureAndLinkArriveAndAFailedFetchKeepsThem)
{
    const QString offer = m_server.url("/editeur/offre1");
    m_server.setReply("/editeur/Bandeaux/dalinker.php3?file=Bandeau1", pictureReply(jpegBytes(QSize(468, 60))));
    m_server.setReply("/editeur/Bandeaux/Bandeau1-L.txt", pageReply(offer.toLatin1(), "text/plain"));
    QSignalSpy pictures(&m_banner, &Banner::pictureChanged);
    QSignalSpy links(&m_banner, &Banner::linkChanged);

    m_banner.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pictures.count() == 1 && links.count() == 1; }, 5000));
    EXPECT_EQ(pictures[0][0].value<QImage>().size(), QSize(468, 60));
    EXPECT_EQ(links[0][0].toString(), offer);

    // Banner 27 is missing on the site; its number goes into the paths without leading zeros.
    QSignalSpy reads(&m_test.program.download(), &Download::readFinished);
    m_banner.ChargeBandeau(27);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reads.count() >= 2; }, 5000));
    EXPECT_EQ(m_banner.number(), 27);
    EXPECT_EQ(m_server.count("/editeur/Bandeaux/dalinker.php3?file=Bandeau27"), 1);
    EXPECT_EQ(m_server.count("/editeur/Bandeaux/Bandeau27-L.txt"), 1);
    EXPECT_EQ(pictures.count(), 1);
    EXPECT_EQ(links.count(), 1);
    EXPECT_EQ(m_banner.picture().size(), QSize(468, 60));
    EXPECT_EQ(m_banner.link(), offer);
}

} // namespace
