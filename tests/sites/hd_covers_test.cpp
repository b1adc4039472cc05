#include "site_test.h"
#include "sites/hd_covers.h"

#include <QFile>
#include <QUrlQuery>
#include <gtest/gtest.h>

namespace {

constexpr int kBase = 10;

// A result page of `count` links keyed from `firstKey`, with the link to the next page or not.
QByteArray resultPage(int firstKey, int count, bool more)
{
    QByteArray page = "<table>";
    for (int key = firstKey; key < firstKey + count; ++key)
        page += "<tr><td><a href=\"showfile.php?lid=" + QByteArray::number(key) + "\">Film " + QByteArray::number(key)
                + "</a></td></tr>";
    page += "</table>";
    if (more)
        page += "<a href=\"search.php?query=x&amp;start=20\">suivant &gt;&gt;</a>";
    return page;
}

QByteArray searchPath(const char *mid, int start, const QByteArray &query = "matrix")
{
    return "/hd/search.php?query=" + query + "&mid=" + mid + "&action=showall&andor=AND&start=" + QByteArray::number(start);
}

class HDCoversTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-HDCovers"), QStringLiteral("/hd"), registerHDCovers); }

    void search() { searchBases({kBase}); }
    static QByteArray fixture(const QString &name) { return fixtureFile(QStringLiteral("hdcovers"), name); }

    void answerPage(const char *mid, int start, const QByteArray &page)
    {
        m_server.setReply(QString::fromLatin1(searchPath(mid, start)), pageReply(page));
    }

    // The search pages asked for, in order, as "mid/start".
    QStringList pagesRequested() const
    {
        QStringList pages;
        for (const QByteArray &path : m_server.requestedPaths()) {
            if (!path.startsWith("/hd/search.php?"))
                continue;
            const QUrlQuery query(QString::fromLatin1(path.mid(path.indexOf('?') + 1)));
            pages << query.queryItemValue(QStringLiteral("mid")) + u'/' + query.queryItemValue(QStringLiteral("start"));
        }
        return pages;
    }

    // Serves generated pages: `pageFor(mid, start)`.
    void servePages(std::function<QByteArray(int, int)> pageFor)
    {
        m_server.setFallback([pageFor](const FixtureServer::Request &request) {
            const QUrlQuery query(QString::fromLatin1(request.path.mid(request.path.indexOf('?') + 1)));
            return pageReply(pageFor(query.queryItemValue(QStringLiteral("mid")).toInt(),
                                     query.queryItemValue(QStringLiteral("start")).toInt()));
        });
    }
};

TEST_F(HDCoversTest, walksTheJacketPagesThenTheStickers)
{
    answerPage("5", 0, fixture(QStringLiteral("matrix-jaquettes-0.html")));
    answerPage("5", 20, fixture(QStringLiteral("matrix-jaquettes-20.html")));
    answerPage("6", 0, fixture(QStringLiteral("matrix-stickers-0.html")));
    search();

    EXPECT_EQ(pagesRequested(), (QStringList{"5/0", "5/20", "6/0"}));
    EXPECT_EQ(m_server.requestedPaths().value(0), searchPath("5", 0));

    struct Expected
    {
        const char *key;
        const char *title; // UTF-8
        const char *category;
        const char *thumbnail;
    };
    const Expected expected[] = {
        {"10234", "matrix", "Jaquettes", "/hd/uploads/thumbs/10234.jpg"},
        {"11872", "matrix reloaded - zone 2 édition collector", "Jaquettes", "/hd/uploads/thumbs/11872.jpg"},
        {"12906", "matrix revolutions & animatrix", "Jaquettes", "/hd/uploads/thumbs/12906.jpg"},
        {"20517", "matrix - disque 1", "Stickers", "/hd/uploads/thumbs0/20517.jpg"},
    };
    ASSERT_EQ(program().results().NbResultats(), int(std::size(expected)));
    for (int i = 0; i < int(std::size(expected)); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(hit(i + 1).Key, QString::fromLatin1(expected[i].key));
        EXPECT_EQ(hit(i + 1).Title, QString::fromUtf8(expected[i].title));
        EXPECT_EQ(hit(i + 1).Year, 0);
        EXPECT_EQ(hit(i + 1).Extra, QString::fromLatin1(expected[i].category));
        EXPECT_EQ(hit(i + 1).Site, QStringLiteral("HD Covers"));
        EXPECT_TRUE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, m_server.url(QString::fromLatin1(expected[i].thumbnail)));
    }
}

TEST_F(HDCoversTest, theTitleIsSentWithItsBlanksDashesAndQuotesAsPlusSigns)
{
    program().setTitle(QStringLiteral("L'été meurtrier-bis"));
    search();
    EXPECT_EQ(m_server.requestedPaths().value(0), searchPath("5", 0, "L+ete+meurtrier+bis"));
}

TEST_F(HDCoversTest, eachCategoryIsPagedWhileItsPageOffersTheNextOne)
{
    struct Case
    {
        const char *name;
        int jacketPages;  // pages offering "suivant >>" before the last one
        int stickerPages;
        QStringList expected;
    };
    const Case cases[] = {
        {"single pages", 0, 0, {"5/0", "6/0"}},
        {"two more jacket pages", 2, 0, {"5/0", "5/20", "5/40", "6/0"}},
        {"one more sticker page", 0, 1, {"5/0", "6/0", "6/20"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_server.clearRequests();
        servePages([c](int mid, int start) {
            const int more = mid == 5 ? c.jacketPages : c.stickerPages;
            return resultPage(mid * 1000 + start, 1, start / 20 < more);
        });
        search();
        EXPECT_EQ(pagesRequested(), c.expected);
        EXPECT_EQ(program().results().NbResultats(), c.expected.size());
    }
}

TEST_F(HDCoversTest, thePagingEndsAtStart1000)
{
    servePages([](int, int) { return resultPage(1, 0, true); });
    search();
    const QStringList pages = pagesRequested();
    ASSERT_EQ(pages.size(), 2 * 51);
    EXPECT_EQ(pages.at(50), QStringLiteral("5/1000"));
    EXPECT_EQ(pages.at(51), QStringLiteral("6/0"));
    EXPECT_EQ(pages.last(), QStringLiteral("6/1000"));
}

TEST_F(HDCoversTest, aFullListEndsThePassButNotThePaging)
{
    // 30 links a page: the list is full during the fourth page, yet pages go on.
    servePages([](int mid, int start) { return resultPage(mid * 10000 + start * 10, 30, start < 120); });
    search();
    EXPECT_EQ(program().results().NbResultats(), ResultList::kMaxHits);
    EXPECT_EQ(pagesRequested(), (QStringList{"5/0", "5/20", "5/40", "5/60", "5/80", "5/100", "5/120", "6/0", "6/20",
                                             "6/40", "6/60", "6/80", "6/100", "6/120"}));
    EXPECT_EQ(hit(100).Key, QStringLiteral("50609"));
}

TEST_F(HDCoversTest, brokenPagesAddOnlyWholeLinksAndEnd)
{
    struct Case
    {
        const char *name;
        QByteArray page;
        QStringList keys;
    };
    const Case cases[] = {
        {"no marker", fixture(QStringLiteral("empty.html")), {}},
        {"cut inside a link", fixture(QStringLiteral("truncated.html")), {"10234"}},
        {"link without its end", "<a href='showfile.php?lid=1'>one</a><a href='showfile.php?lid=2'>two", {"1"}},
        {"key without its quote", "<a href=showfile.php?lid=1>one</a><a href='showfile.php?lid=2'>two</a>", {"2"}},
        {"marker at the very end", "<a href='showfile.php?lid=", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_server.clearRequests();
        servePages([page = c.page](int, int) { return page; });
        search();
        QStringList keys;
        for (int index = 1; index <= program().results().NbResultats(); ++index)
            keys << hit(index).Key;
        // Both categories get the same page, so each key shows twice.
        EXPECT_EQ(keys, c.keys + c.keys);
        EXPECT_EQ(pagesRequested(), (QStringList{"5/0", "6/0"}));
    }
}

TEST_F(HDCoversTest, aStopEndsThePagingOfBothCategories)
{
    servePages([](int mid, int start) { return resultPage(mid * 1000 + start, 2, true); });
    QObject::connect(&m_server, &FixtureServer::requestReceived, &program(), [this](const FixtureServer::Request &request) {
        if (request.path.contains("start=20"))
            program().requestStop();
    });
    search();
    EXPECT_EQ(pagesRequested(), (QStringList{"5/0", "5/20"}));
    EXPECT_EQ(program().results().NbResultats(), 2);
}

TEST_F(HDCoversTest, aPageThatDoesNotComeEndsItsCategory)
{
    answerPage("5", 0, resultPage(1, 2, true));
    FixtureServer::Reply stalled;
    stalled.stall = true;
    m_server.setReply(QString::fromLatin1(searchPath("5", 20)), stalled);
    answerPage("6", 0, resultPage(7, 1, false));
    search();

    // The silent page is asked for twice (the fetcher's second try), then given up.
    QStringList pages = pagesRequested();
    pages.removeDuplicates();
    EXPECT_EQ(pages, (QStringList{"5/0", "5/20", "6/0"}));
    QStringList keys;
    for (int index = 1; index <= program().results().NbResultats(); ++index)
        keys << hit(index).Key;
    EXPECT_EQ(keys, (QStringList{"1", "2", "7"}));
}

TEST_F(HDCoversTest, thePictureOfEachCategoryIsFetchedOnceThenTakenFromTheCache)
{
    answerPage("5", 0, fixture(QStringLiteral("matrix-jaquettes-20.html")));
    answerPage("6", 0, fixture(QStringLiteral("matrix-stickers-0.html")));
    answer(QStringLiteral("/uploads/photos/12906.jpg"), pictureReply(jpegBytes()));
    answer(QStringLiteral("/uploads/photos0/20517.jpg"), pictureReply(jpegBytes({3, 4})));
    search();
    ASSERT_EQ(program().results().NbResultats(), 2);

    for (int pass = 0; pass < 2; ++pass) {
        program().retrieval().thumbPressed(0, 1);
        program().retrieval().thumbPressed(1, 1);
    }
    EXPECT_EQ(m_server.count("/hd/uploads/photos/12906.jpg"), 1);
    EXPECT_EQ(m_server.count("/hd/uploads/photos0/20517.jpg"), 1);

    const QString jacket = m_test.cached(QStringLiteral("Matrix revolutions & animatrix (HD Covers).jpg"));
    const QString sticker = m_test.cached(QStringLiteral("Matrix - disque 1 (HD Covers).jpg"));
    QFile jacketFile(jacket), stickerFile(sticker);
    ASSERT_TRUE(jacketFile.open(QIODevice::ReadOnly));
    ASSERT_TRUE(stickerFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(jacketFile.readAll(), jpegBytes());
    EXPECT_EQ(stickerFile.readAll(), jpegBytes({3, 4}));
    EXPECT_EQ(m_actions.calls.value(2), QStringLiteral("viewer ") + jacket + QStringLiteral(" #0"));
}

} // namespace
