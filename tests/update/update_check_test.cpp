#include "await_task.h"
#include "fixture_server.h"
#include "net/download.h"
#include "test_program.h"
#include "update/update_check.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2007, 1, 31), QTime(10, 30, 0));

FixtureServer::Reply padFile(const QByteArray &version)
{
    FixtureServer::Reply reply;
    reply.contentType = "text/xml";
    reply.body = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<XML_DIZ_INFO>\n<MASTER_PAD_VERSION_INFO>"
                 "<MASTER_PAD_VERSION>3.01</MASTER_PAD_VERSION></MASTER_PAD_VERSION_INFO>\n<Program_Info>"
                 "<Program_Name>Pellicam</Program_Name><Program_Version>"
                 + version + "</Program_Version><Program_Release_Year>2006</Program_Release_Year>"
                             "</Program_Info>\n</XML_DIZ_INFO>\n";
    return reply;
}

FixtureServer::Reply page(const QByteArray &body)
{
    FixtureServer::Reply reply;
    reply.body = body;
    return reply;
}

FixtureServer::Reply stalled()
{
    FixtureServer::Reply reply;
    reply.stall = true;
    return reply;
}

// What the maker's update file may hold, and what each announces; the
// silent one comes last, since its read stays open.
struct Answer
{
    FixtureServer::Reply reply;
    const char *announced;
};

QList<Answer> answers()
{
    FixtureServer::Reply missing = page("<html>Not found</html>");
    missing.status = 404;
    return {
        {padFile("2006.m"), "Pellicam 2006.m"},
        {padFile("2006.l"), ""},
        {padFile("2005.z"), "Pellicam 2005.z"},
        {padFile("200<b>"), ""},
        {page("<html><body>Maintenance</body></html>"), ""},
        {missing, ""},
        {stalled(), ""},
    };
}

class UpdateCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_test.store.EcritValeur("Hote-Editeur", m_server.url());
        m_check.setClock([this] { return m_now; });
    }

    QString liveUpdate() const { return m_test.store.LitValeur("LiveUpdate"); }

    // Leaves an update to 2006.m pending.
    void announce()
    {
        m_server.setReply("/pad_file.xml", padFile("2006.m"));
        awaitTask(m_check.RNouvelleVersion());
        ASSERT_EQ(m_check.NouvelleVersion(), "Pellicam 2006.m");
    }

    FixtureServer m_server;
    TestProgram m_test;
    UpdateCheck m_check{m_test.program};
    QDateTime m_now = kNow;
};

TEST(UpdateVersionTest, comparesYearThenLetterOnly)
{
    const struct
    {
        const char *candidate;
        const char *own;
        bool newer;
    } cases[] = {
        {"2006.m", "2006.l", true},
        {"2007.a", "2006.l", true},
        {"2006.l", "2006.l", false},
        {"2006.k", "2006.l", false},
        // The letter test ignores the year.
        {"2005.z", "2006.l", true},
        {"2005.a", "2006.l", false},
        {"2010.a", "2006.l", true},
        {"2006.M", "2006.l", false},
        {"", "2006.l", false},
        // Not four digits, a point and a letter: "200<" sorts after "2006".
        {"200<b>", "2006.l", false},
        {"2007.1", "2006.l", false},
        {"2007-a", "2006.l", false},
        {"2007.", "2006.l", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(UpdateCheck::isNewer(c.candidate, c.own), c.newer) << c.candidate << " against " << c.own;
    EXPECT_TRUE(UpdateCheck::isNewer("2006.m"));
    EXPECT_FALSE(UpdateCheck::isNewer(QString(kVersion)));
}

TEST(UpdateVersionTest, theVersionIsTheSixCharactersFromTheFirst200)
{
    const struct
    {
        const char *page;
        const char *version;
    } cases[] = {
        {"<Program_Version>2006.m</Program_Version>", "2006.m"},
        {"2007.a", "2007.a"},
        // Only the first "200" counts, and what follows it must be a version.
        {"<Size>1200</Size><Program_Version>2006.m</Program_Version>", ""},
        {"<Program_Version>200<b></Program_Version>", ""},
        {"<html>no version here</html>", ""},
        {"", ""},
        {"version 2006.", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(UpdateCheck::publishedVersion(QString::fromLatin1(c.page)), c.version) << c.page;
}

// Each answer replaces what an earlier check announced; a silent site is given up at the time limit.
TEST_F(UpdateCheckTest, announcesOnlyANewerPublishedVersion)
{
    for (const Answer &c : answers()) {
        announce();
        m_server.clearRequests();
        m_server.setReply("/pad_file.xml", c.reply);
        awaitTask(m_check.RNouvelleVersion());
        EXPECT_EQ(m_check.NouvelleVersion(), c.announced) << c.reply.body.toStdString();
        // A silent site is asked once more after a while, as every waited read.
        const qsizetype asked = c.reply.stall ? 2 : 1;
        EXPECT_EQ(m_server.requestedPaths(), QList<QByteArray>(asked, "/pad_file.xml"));
    }
}

TEST_F(UpdateCheckTest, startUpChecksWhenTheReminderDateIsMissingUnreadableOrPassed)
{
    const QDateTime inAMinute = kNow.addSecs(60);
    const QDateTime aMinuteAgo = kNow.addSecs(-60);
    const struct
    {
        QString stored;
        bool due;
    } cases[] = {
        {"", true},
        {"   ", true},
        {"soon", true},
        {"31/02/2007 10:00:00", true},
        {UpdateCheck::dateText(inAMinute), false},
        {UpdateCheck::dateText(kNow), false},
        {UpdateCheck::dateText(aMinuteAgo), true},
        // Written by the regional format of the system.
        {QLocale::system().toString(kNow.addDays(1), QLocale::LongFormat), false},
        {QLocale::system().toString(kNow.addDays(-1), QLocale::LongFormat), true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(UpdateCheck::checkDue(c.stored, kNow), c.due) << c.stored.toStdString();

    m_test.store.EcritValeur("LiveUpdate", UpdateCheck::dateText(inAMinute));
    EXPECT_FALSE(m_check.startUpCheck());
    m_test.store.EcritValeur("LiveUpdate", UpdateCheck::dateText(aMinuteAgo));
    EXPECT_TRUE(m_check.startUpCheck());
}

TEST_F(UpdateCheckTest, startUpGoesOnAtOnceAndTheAnswerAnnouncesWhenItComes)
{
    for (const Answer &c : answers()) {
        const std::string row = c.reply.stall ? "silent" : c.reply.body.toStdString();
        m_server.clearRequests();
        m_server.setReply("/pad_file.xml", c.reply);
        QSignalSpy found(&m_check, &UpdateCheck::newerVersionFound);
        QSignalSpy ended(&m_test.program.download(), &Download::readFinished);

        ASSERT_TRUE(m_check.startUpCheck());
        // Back before the server even saw the request: nothing waited for it.
        EXPECT_EQ(m_server.count("/pad_file.xml"), 0) << row;
        if (c.reply.stall)
            ASSERT_TRUE(QTest::qWaitFor([&] { return m_server.count("/pad_file.xml") == 1; }, 5000));
        else
            ASSERT_TRUE(ended.wait(5000)) << row;

        EXPECT_EQ(found.count(), *c.announced ? 1 : 0) << row;
        EXPECT_EQ(m_check.announceFound(), *c.announced != 0) << row;
        EXPECT_EQ(m_check.NouvelleVersion(), c.announced) << row;
        EXPECT_FALSE(m_check.announceFound()) << row << ": announced once";
        m_check.clearNouvelleVersion();
    }
}

TEST_F(UpdateCheckTest, remindersCountCalendarDaysAndMonths)
{
    const struct
    {
        int entry;
        QDateTime from;
        QDateTime until;
    } cases[] = {
        {UpdateCheck::RemindTomorrow, kNow, QDateTime(QDate(2007, 2, 1), QTime(10, 30))},
        {UpdateCheck::RemindIn3Days, kNow, QDateTime(QDate(2007, 2, 3), QTime(10, 30))},
        {UpdateCheck::RemindIn1Week, kNow, QDateTime(QDate(2007, 2, 7), QTime(10, 30))},
        {UpdateCheck::RemindIn1Month, kNow, QDateTime(QDate(2007, 2, 28), QTime(10, 30))},
        {UpdateCheck::RemindIn1Month, QDateTime(QDate(2008, 1, 31), QTime(23, 59, 59)),
         QDateTime(QDate(2008, 2, 29), QTime(23, 59, 59))},
        {UpdateCheck::RemindNever, kNow, QDateTime(QDate(2015, 5, 31), QTime(10, 30))},
        {UpdateCheck::DownloadNow, kNow, QDateTime()},
        {6, kNow, QDateTime()},
        {-1, kNow, QDateTime()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(UpdateCheck::reminderDate(c.entry, c.from), c.until) << "entry " << c.entry;
}

TEST_F(UpdateCheckTest, anAnswerStoresTheReminderDateThatStartUpReadsBack)
{
    announce();
    EXPECT_EQ(m_check.answer(UpdateCheck::RemindIn1Month), "");
    EXPECT_EQ(liveUpdate(), "2007-02-28T10:30:00");
    EXPECT_EQ(UpdateCheck::readDate(liveUpdate()), QDateTime(QDate(2007, 2, 28), QTime(10, 30)));

    EXPECT_EQ(m_check.answer(UpdateCheck::RemindNever), "");
    EXPECT_EQ(UpdateCheck::readDate(liveUpdate()), QDateTime(QDate(2015, 5, 31), QTime(10, 30)));

    m_check.answer(UpdateCheck::RemindTomorrow);
    m_now = kNow.addDays(1).addSecs(-60);
    EXPECT_FALSE(m_check.checkDue());
    m_now = kNow.addDays(1).addSecs(60);
    EXPECT_TRUE(m_check.checkDue());
}

TEST_F(UpdateCheckTest, downloadingNowForgetsTheReminderAndGivesTheDownloadPage)
{
    announce();
    m_test.store.EcritValeur("LiveUpdate", UpdateCheck::dateText(kNow));
    EXPECT_EQ(m_check.answer(UpdateCheck::DownloadNow), m_server.url("/telecharger.htm"));
    EXPECT_EQ(liveUpdate(), "");
    EXPECT_TRUE(m_check.checkDue());
}

TEST_F(UpdateCheckTest, withNothingPendingAnAnswerChangesNothing)
{
    announce();
    m_check.clearNouvelleVersion();
    EXPECT_EQ(m_check.NouvelleVersion(), "");
    m_test.store.EcritValeur("LiveUpdate", "kept");
    EXPECT_EQ(m_check.answer(UpdateCheck::DownloadNow), "");
    m_check.answer(UpdateCheck::RemindIn3Days);
    EXPECT_EQ(liveUpdate(), "kept");
}

} // namespace
