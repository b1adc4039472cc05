#include "text/text_helpers.h"
#include "site_test.h"
#include "sites/cover_comoz.h"

#include <gtest/gtest.h>

namespace {

constexpr int kBase = 13;

// The reply head that the test server writes before a page of `bodyLength` bytes.
qsizetype replyHeadLength(qsizetype bodyLength)
{
    return QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(bodyLength)
                      + "\r\nConnection: close\r\n\r\n")
        .size();
}

QByteArray cover(const char *title, const char *path, const char *thumbnail)
{
    return QByteArray("<td><font size=\"1\" color=\"#FFFFFF\">") + title + "</font><br>\n<a href=\"" + path
           + "\"><img border=\"0\" src=\"" + thumbnail + "\"></a></td>\n";
}

class CoverComozTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-CoverComoz"), QStringLiteral("/covercomoz"), registerCoverComoz); }

    // The fixtures name the real site; here the test server plays it.
    QByteArray fixture(const QString &name) const
    {
        return fixtureFile(QStringLiteral("covercomoz"), name).replace("http://www.comoz.com", siteUrl({}).toUtf8());
    }
    void answerSearch(const QByteArray &page) { answer(QStringLiteral("/recherche.html"), page); }
    void search() { searchBases({kBase}); }
    QStringList titles()
    {
        QStringList found;
        for (int index = 1; index <= program().results().NbResultats(); ++index)
            found << hit(index).Title;
        return found;
    }
};

TEST_F(CoverComozTest, theFormIsPostedAndEachWhiteTitleIsAHit)
{
    answerSearch(fixture(QStringLiteral("matrix.html")));
    search();

    const FixtureServer::Request post = m_server.requests().value(0);
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.target, "/covercomoz/recherche.html");
    EXPECT_EQ(post.header("Host"), "127.0.0.1:" + QByteArray::number(m_server.port()));
    EXPECT_EQ(post.body, "search=matrix");

    struct Expected
    {
        const char *title; // UTF-8
        const char *path;
        const char *thumbnail;
    };
    const Expected expected[] = {
        {"Matrix", "cover.php?id=311&type=dvd", "/covers/thumbs/311.jpg"},
        {"Matrix Reloaded (Zone 2)", "cover.php?id=1250&type=dvd", "/covers/thumbs/1250.jpg"},
        {"Matrix Revolutions - édition collector", "cover.php?id=1377&type=dvd", "/covers/thumbs/1377.jpg"},
    };
    ASSERT_EQ(program().results().NbResultats(), int(std::size(expected)));
    for (int i = 0; i < int(std::size(expected)); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(hit(i + 1).Title, QString::fromUtf8(expected[i].title));
        EXPECT_EQ(hit(i + 1).Year, 0);
        EXPECT_EQ(hit(i + 1).Extra, QString::fromLatin1(expected[i].path));
        EXPECT_EQ(hit(i + 1).Key, siteUrl(QString::fromLatin1(expected[i].thumbnail)));
        EXPECT_EQ(hit(i + 1).Site, QStringLiteral("Cover Comoz"));
        EXPECT_FALSE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, hit(i + 1).Key);
    }
}

TEST_F(CoverComozTest, theTitleIsPreparedForTheFormBody)
{
    program().setTitle(QString::fromUtf8("l'été meurtrier"));
    search();
    EXPECT_EQ(m_server.requests().value(0).body, "search=l ete meurtrier");
}

TEST_F(CoverComozTest, theHeadOfThePageIsSkippedAndTheScanAlwaysMovesOn)
{
    // A page whose first white title lies exactly on the last skipped character.
    const QByteArray covers = cover("Skipped", "cover.php?id=1", "t1.jpg") + cover("Kept", "cover.php?id=2", "t2.jpg");
    const QByteArray tail = covers + "</table></body></html>";
    const QByteArray before = "<td><font size=\"1\" color=\"";
    const qsizetype head = replyHeadLength(1000); // a body whose length has four digits
    const QByteArray onTheEdge = QByteArray(1600 - 1 - head - before.size(), 'x') + tail;
    ASSERT_EQ(replyHeadLength(onTheEdge.size()), head);

    struct Case
    {
        const char *name;
        QByteArray page;
        QStringList titles;
    };
    const Case cases[] = {
        {"no result", fixture(QStringLiteral("empty.html")), {}},
        {"cut inside the second cover", fixture(QStringLiteral("truncated.html")), {"Matrix"}},
        {"shorter than the head", "<html><table>" + covers + "</table></html>", {}},
        {"first title on the last skipped character", onTheEdge, {"Kept"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        answerSearch(c.page);
        search();
        EXPECT_EQ(titles(), c.titles);
    }
    EXPECT_EQ(text::find(program().state().PageHtml, u"#FFFFFF"), 1600) << "the page is not laid out as meant";
}

TEST_F(CoverComozTest, thePictureIsReadFromTheCoverPageAtEveryPress)
{
    answerSearch(fixture(QStringLiteral("matrix.html")));
    answer(QStringLiteral("/cover.php"), fixture(QStringLiteral("cover_311.html")));
    answer(QStringLiteral("/covers/311.jpg"), pictureReply(jpegBytes()));
    search();

    program().retrieval().thumbPressed(0, 1);
    program().retrieval().downloadClicked(0);

    EXPECT_EQ(m_server.count("/covercomoz/cover.php?id=311&type=dvd"), 2);
    EXPECT_EQ(m_server.count("/covercomoz/covers/311.jpg"), 2);
    const QString local = m_test.cached(QStringLiteral("Matrix (Cover Comoz).jpg"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
    EXPECT_EQ(m_actions.calls.value(0), QStringLiteral("viewer ") + local + QStringLiteral(" #0"));
}

} // namespace
