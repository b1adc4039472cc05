#include "await_task.h"
#include "net/download.h"
#include "site_test.h"
#include "update/banner.h"
#include "update/update_check.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2007, 1, 31), QTime(10, 30, 0));

FixtureServer::Reply padFile(const QByteArray &version)
{
    return pageReply("<?xml version=\"1.0\" ?>\n<XML_DIZ_INFO><Program_Info><Program_Name>Pellicam</Program_Name><Program_Version>"
                         + version + "</Program_Version><Program_Release_Year>2006</Program_Release_Year></Program_Info>",
                     "text/xml");
}

// The maker's site, served under a path of its own, on a fixed day.
class UpdateCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_test.store.EcritValeur("Hote-Editeur", m_server.url("/editeur"));
        m_check.setClock([] { return kNow; });
        m_banner.setRandomSource([this] { return m_random; });
    }

    QString liveUpdate() const { return m_test.store.LitValeur("LiveUpdate"); }

    // Leaves an update to 2006.m pending.
    void announce()
    {
        m_server.setReply("/editeur/pad_file.xml", padFile("2006.m"));
        awaitTask(m_check.RNouvelleVersion());
        ASSERT_EQ(m_check.NouvelleVersion(), "Pellicam 2006.m");
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            m_banner.tick();
    }

    FixtureServer m_server;
    TestProgram m_test;
    UpdateCheck m_check{m_test.program};
    Banner m_banner{m_test.program};
    double m_random = 0.0;
};
using BannerTest = UpdateCheckTest;

TEST_F(UpdateCheckTest, startUpChecksWhenTheReminderDateIsMissingUnreadableOrPassed)
{
    const std::pair<QString, bool> cases[] = {
        {"", true}, {"   ", true}, {"soon", true}, {"31/02/2007 10:00:00", true}, {"2007-01-31T10:31:00", false},
        {"2007-01-31T10:30:00", false}, {"2007-01-31T10:29:00", true},
        // Written by the regional format of the system.
        {QLocale::system().toString(kNow.addDays(1), QLocale::LongFormat), false},
        {QLocale::system().toString(kNow.addDays(-1), QLocale::LongFormat), true},
        {QLocale::system().toString(kNow.addDays(1), QLocale::ShortFormat), false},
    };
    for (const auto &[stored, due] : cases) {
        m_test.store.EcritValeur("LiveUpdate", stored);
        EXPECT_EQ(m_check.checkDue(), due) << stored.toStdString();
    }
}

// A check asked for waits for the answer, which replaces what an earlier one
// announced; the one at start-up goes on at once and announces when it comes.
TEST_F(UpdateCheckTest, announcesOnlyANewerPublishedVersion)
{
    // The version is the six characters from the first "200" on: four digits,
    // a point and a letter. It is newer than the program's own 2006.l for a
    // later year or, whatever the year, a later letter. The silent site comes
    // last, since its read stays open.
    const std::pair<FixtureServer::Reply, const char *> answers[] = {
        {padFile("2006.m"), "Pellicam 2006.m"}, {padFile("2006.l"), ""}, {padFile("2006.k"), ""},
        {padFile("2005.z"), "Pellicam 2005.z"}, {padFile("2005.a"), ""}, {pageReply("2007.a"), "Pellicam 2007.a"},
        {padFile("2006.M"), ""}, {padFile("2007.1"), ""}, {padFile("2007-a"), ""},
        {padFile("200<b>"), ""}, {pageReply("version 2006."), ""},
        {pageReply("<Size>1200</Size><Program_Version>2006.m</Program_Version>"), ""},
        {pageReply("<html><body>Maintenance</body></html>"), ""}, {notFoundReply(), ""}, {stalledReply(), ""},
    };
    const QByteArray path = "/editeur/pad_file.xml";
    for (const auto &[reply, announced] : answers) {
        const std::string row = reply.stall ? "silent" : reply.body.toStdString();
        announce();
        m_server.clearRequests();
        m_server.setReply(path, reply);
        awaitTask(m_check.RNouvelleVersion());
        EXPECT_EQ(m_check.NouvelleVersion(), announced) << row;
        // A silent site is asked once more after a while, as every waited read.
        EXPECT_EQ(m_server.requestedPaths(), QList<QByteArray>(reply.stall ? 2 : 1, path)) << row;

        m_check.clearNouvelleVersion();
        m_server.clearRequests();
        QSignalSpy found(&m_check, &UpdateCheck::newerVersionFound);
        QSignalSpy ended(&m_test.program.download(), &Download::readFinished);

        ASSERT_TRUE(m_check.startUpCheck());
        // Back before the server even saw the request: nothing waited for it.
        EXPECT_EQ(m_server.count(path), 0) << row;
        if (reply.stall)
            ASSERT_TRUE(QTest::qWaitFor([&] { return m_server.count(path) == 1; }, 5000));
        else
            ASSERT_TRUE(ended.wait(5000)) << row;

        EXPECT_EQ(found.count(), *announced ? 1 : 0) << row;
        EXPECT_EQ(m_check.announceFound(), *announced != 0) << row;
        EXPECT_EQ(m_check.NouvelleVersion(), announced) << row;
        EXPECT_FALSE(m_check.announceFound()) << row << ": announced once";
    }
    m_test.store.EcritValeur("LiveUpdate", "2007-01-31T10:31:00");
    EXPECT_FALSE(m_check.startUpCheck()) << "not due";
}

TEST(UpdateReminderTest, remindersCountCalendarDaysAndMonths)
{
    const QDateTime leapEve(QDate(2008, 1, 31), QTime(23, 59, 59));
    const std::tuple<int, QDateTime, QDateTime> cases[] = {
        {UpdateCheck::RemindTomorrow, kNow, QDateTime(QDate(2007, 2, 1), QTime(10, 30))},
        {UpdateCheck::RemindIn1Week, kNow, QDateTime(QDate(2007, 2, 7), QTime(10, 30))},
        {UpdateCheck::RemindIn1Month, kNow, QDateTime(QDate(2007, 2, 28), QTime(10, 30))},
        {UpdateCheck::RemindIn1Month, leapEve, QDateTime(QDate(2008, 2, 29), QTime(23, 59, 59))},
        {UpdateCheck::RemindNever, kNow, QDateTime(QDate(2015, 5, 31), QTime(10, 30))},
        {UpdateCheck::DownloadNow, kNow, QDateTime()}, {6, kNow, QDateTime()}, {-1, kNow, QDateTime()},
    };
    for (const auto &[entry, from, until] : cases)
        EXPECT_EQ(UpdateCheck::reminderDate(entry, from), until) << "entry " << entry;
}

TEST_F(UpdateCheckTest, anAnswerToAPendingUpdateStoresTheReminderOrGivesTheDownloadPage)
{
    m_test.store.EcritValeur("LiveUpdate", "kept");
    EXPECT_EQ(m_check.answer(UpdateCheck::DownloadNow), "") << "nothing pending";
    m_check.answer(UpdateCheck::RemindIn3Days);
    EXPECT_EQ(liveUpdate(), "kept");

    announce();
    EXPECT_EQ(m_check.answer(UpdateCheck::RemindIn1Month), "");
    EXPECT_EQ(liveUpdate(), QLocale::system().toString(QDateTime(QDate(2007, 2, 28), QTime(10, 30)), QLocale::ShortFormat));
    EXPECT_FALSE(m_check.checkDue());

    EXPECT_EQ(m_check.answer(UpdateCheck::DownloadNow), m_server.url("/editeur/telecharger.htm"));
    EXPECT_EQ(liveUpdate(), "");
    EXPECT_TRUE(m_check.checkDue()) << "the reminder is forgotten";
}

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

    // Banner 27 is missing on the site; its number goes into the paths without leading zeros.
    QSignalSpy reads(&m_test.program.download(), &Download::readFinished);
    m_banner.ChargeBandeau(27);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reads.count() >= 2; }, 5000));
    EXPECT_EQ(m_server.count("/editeur/Bandeaux/dalinker.php3?file=Bandeau27"), 1);
    EXPECT_EQ(m_server.count("/editeur/Bandeaux/Bandeau27-L.txt"), 1);
    EXPECT_EQ((std::tuple(m_banner.number(), pictures.count(), links.count())), (std::tuple(27, 1, 1)));
    EXPECT_EQ(m_banner.picture().size(), QSize(468, 60));
    EXPECT_EQ(m_banner.link(), offer);
}

} // namespace
