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

    bool requested(const QByteArray &path, int times = 1)
    {
        return QTest::qWaitFor([&] { return m_server.count(path) >= times; }, 5000);
    }

    FixtureServer m_server;
    TestProgram m_test;
    Banner m_banner{m_test.program};
    double m_random = 0.0;
};

TEST_F(BannerTest, bannerNumbersGoIntoThePathsWithoutLeadingZeros)
{
    const struct
    {
        int n;
        const char *picture;
        const char *link;
    } cases[] = {
        {1, "/editeur/Bandeaux/dalinker.php3?file=Bandeau1", "/editeur/Bandeaux/Bandeau1-L.txt"},
        {7, "/editeur/Bandeaux/dalinker.php3?file=Bandeau7", "/editeur/Bandeaux/Bandeau7-L.txt"},
        {27, "/editeur/Bandeaux/dalinker.php3?file=Bandeau27", "/editeur/Bandeaux/Bandeau27-L.txt"},
    };
    for (const auto &c : cases) {
        m_banner.ChargeBandeau(c.n);
        EXPECT_EQ(m_banner.number(), c.n);
        EXPECT_TRUE(requested(c.picture)) << c.picture;
        EXPECT_TRUE(requested(c.link)) << c.link;
    }
}

TEST_F(BannerTest, startShowsBannerOneAndTheEighthTickARandomOne)
{
    EXPECT_FALSE(m_banner.running());
    m_banner.start();
    EXPECT_TRUE(m_banner.running());
    EXPECT_EQ(m_banner.number(), 1);

    const struct
    {
        double random;
        int banner;
    } cases[] = {{0.0, 2}, {0.5, 15}, {0.999999, 27}};
    for (const auto &c : cases) {
        m_random = c.random;
        const int before = m_banner.number();
        ticks(7);
        EXPECT_EQ(m_banner.number(), before) << "7 ticks";
        EXPECT_EQ(m_banner.tickCount(), 7);
        m_banner.tick();
        EXPECT_EQ(m_banner.number(), c.banner) << "r = " << c.random;
        EXPECT_EQ(m_banner.tickCount(), 0);
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
    EXPECT_EQ(m_banner.number(), 2);
    EXPECT_EQ(m_banner.tickCount(), 0);
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
    EXPECT_EQ(m_banner.picture().size(), QSize(468, 60));
    EXPECT_EQ(pictures[0][0].value<QImage>().size(), QSize(468, 60));
    EXPECT_EQ(m_banner.link(), offer);
    EXPECT_EQ(links[0][0].toString(), offer);

    // Banner 9 is missing on the site.
    QSignalSpy reads(&m_test.program.download(), &Download::readFinished);
    m_banner.ChargeBandeau(9);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reads.count() >= 2; }, 5000));
    EXPECT_EQ(pictures.count(), 1);
    EXPECT_EQ(links.count(), 1);
    EXPECT_EQ(m_banner.picture().size(), QSize(468, 60));
    EXPECT_EQ(m_banner.link(), offer);
}

} // namespace
