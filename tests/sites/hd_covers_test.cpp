#include "scan_case.h"
#include "site_test.h"
#include "sites/hd_covers.h"

#include <QUrlQuery>

namespace {

// A result page of `count` links keyed from `firstKey`, offering the next page or not.
QByteArray resultPage(int firstKey, int count, bool more)
{
    QByteArray page;
    for (int key = firstKey; key < firstKey + count; ++key)
        page += "<a href=\"showfile.php?lid=" + QByteArray::number(key) + "\">Film</a>";
    return more ? page + "<a href=\"search.php?start=20\">suivant &gt;&gt;</a>" : page;
}

class HDCoversTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-HDCovers"), QStringLiteral("/hd")); }

    // The search pages asked for, in order, as "mid/start".
    QStringList pagesRequested() const
    {
        QStringList pages;
        for (const QByteArray &path : m_server.requestedPaths()) {
            const QUrlQuery query(QString::fromLatin1(path.mid(path.indexOf('?') + 1)));
            if (path.startsWith("/hd/search.php?"))
                pages << query.queryItemValue(QStringLiteral("mid")) + u'/' + query.queryItemValue(QStringLiteral("start"));
        }
        return pages;
    }

    // Serves the search pages `pageFor(mid, start)` gives.
    void servePages(std::function<FixtureServer::Reply(int, int)> pageFor)
    {
        m_server.setFallback([pageFor](const FixtureServer::Request &request) {
            const QUrlQuery query(QString::fromLatin1(request.path.mid(request.path.indexOf('?') + 1)));
            return pageFor(query.queryItemValue(QStringLiteral("mid")).toInt(), query.queryItemValue(QStringLiteral("start")).toInt());
        });
    }
};

TEST_F(HDCoversTest, walksTheJacketPagesThenTheStickersAndKeepsEachPicture)
{
    servePages([](int mid, int start) {
        const char *name = mid == 6 ? "matrix-stickers-0.html" : start == 0 ? "matrix-jaquettes-0.html" : "matrix-jaquettes-20.html";
        return pageReply(fixtureFile(QStringLiteral("hdcovers"), QString::fromLatin1(name)));
    });
    answer(QStringLiteral("/uploads/photos0/20517.jpg"), pictureReply(jpegBytes()));
    program().setTitle(QString::fromUtf8("L'été matrix-bis"));
    searchBases({HDCovers::kBase});

    EXPECT_EQ(m_server.requestedPaths().value(0), "/hd/search.php?query=L+ete+matrix+bis&mid=5&action=showall&andor=AND&start=0");
    EXPECT_EQ(pagesRequested(), (QStringList{"5/0", "5/20", "6/0"}));
    const QList<ResultEntry> expected = {
        hitOf(QStringLiteral("matrix"), 0, QStringLiteral("10234"), QStringLiteral("Jaquettes"), QStringLiteral("HD Covers")),
        hitOf(QString::fromUtf8("matrix reloaded - zone 2 édition collector"), 0, QStringLiteral("11872"), QStringLiteral("Jaquettes"),
              QStringLiteral("HD Covers")),
        hitOf(QStringLiteral("matrix revolutions & animatrix"), 0, QStringLiteral("12906"), QStringLiteral("Jaquettes"),
              QStringLiteral("HD Covers")),
        hitOf(QStringLiteral("matrix - disque 1"), 0, QStringLiteral("20517"), QStringLiteral("Stickers"), QStringLiteral("HD Covers")),
    };
    ASSERT_EQ(program().results().NbResultats(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(hit(i + 1), expected[i]);
        EXPECT_TRUE(slot(i).wide);
        const QString thumbnails = expected[i].Extra == u"Stickers" ? QStringLiteral("/uploads/thumbs0/") : QStringLiteral("/uploads/thumbs/");
        EXPECT_EQ(slot(i).thumbnailUrl, siteUrl(thumbnails + expected[i].Key + QStringLiteral(".jpg")));
    }

    // The sticker's picture is fetched once, then taken from the cache.
    retrieve(3, false);
    retrieve(3, false);
    EXPECT_EQ(m_server.count("/hd/uploads/photos0/20517.jpg"), 1);
    QFile file(m_test.cached(QStringLiteral("Matrix - disque 1 (HD Covers).jpg")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
}

// Each category is paged while its pages offer the next one, up to start 1000.
TEST_F(HDCoversTest, thePagingEndsWhereItMust)
{
    struct Case
    {
        const char *name;
        std::function<FixtureServer::Reply(int, int)> pageFor;
        QStringList pages; // "mid/start"; empty: 51 pages of each
        int hits;
    };
    const Case cases[] = {
        {"every page offers the next one", [](int, int) { return pageReply(resultPage(1, 0, true)); }, {}, 0},
        // 30 links a page: the list is full during the fourth page, yet pages go on.
        {"a full list ends what a page adds, not the paging",
         [](int mid, int start) { return pageReply(resultPage(mid * 10000 + start * 10, 30, start < 40)); },
         {"5/0", "5/20", "5/40", "6/0", "6/20", "6/40"},
         100},
        {"a page that does not come ends its category",
         [](int mid, int start) { return mid == 5 && start == 20 ? notFoundReply() : pageReply(resultPage(mid * 1000 + start, 1, mid == 5)); },
         {"5/0", "5/20", "6/0"},
         2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_server.clearRequests();
        servePages(c.pageFor);
        searchBases({HDCovers::kBase});
        const QStringList pages = pagesRequested();
        if (c.pages.isEmpty()) {
            ASSERT_EQ(pages.size(), 2 * 51);
            EXPECT_EQ(pages.at(50), QStringLiteral("5/1000"));
            EXPECT_EQ(pages.last(), QStringLiteral("6/1000"));
        } else {
            EXPECT_EQ(pages, c.pages);
        }
        EXPECT_EQ(program().results().NbResultats(), c.hits);
    }
}

TEST_F(HDCoversTest, aStopEndsThePagingOfBothCategories)
{
    servePages([](int mid, int start) { return pageReply(resultPage(mid * 1000 + start, 2, true)); });
    QObject::connect(&m_server, &FixtureServer::requestReceived, &program(), [this](const FixtureServer::Request &request) {
        if (request.path.contains("start=20"))
            program().requestStop();
    });
    searchBases({HDCovers::kBase});
    EXPECT_EQ(pagesRequested(), (QStringList{"5/0", "5/20"}));
    EXPECT_EQ(program().results().NbResultats(), 2);
}

} // namespace
