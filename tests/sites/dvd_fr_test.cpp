#include "scan_case.h"
#include "site_test.h"
#include "sites/dvd_fr.h"

namespace {

class DvdFrTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-DvdFr"), QStringLiteral("/dvdfr")); }

    static QByteArray fixture(const char *name) { return fixtureFile(QStringLiteral("dvdfr"), QString::fromLatin1(name)); }
};

// The film page of 1012 shows a cover, that of 9120 shows none and that of 7351 does not come.
TEST_F(DvdFrTest, eachHitTakesItsCoverFromItsFilmPage)
{
    answer(QStringLiteral("/search/search.php"), fixture("matrix.html"));
    answer(QStringLiteral("/dvd/dvd.php?id=1012"), fixture("film-1012.html"));
    answer(QStringLiteral("/dvd/dvd.php?id=9120"), fixture("film-9120.html"));
    answer(QStringLiteral("/images/dvd/cover_200x280/1/1012.jpg"), pictureReply(jpegBytes()));
    program().setTitle(QString::fromUtf8("l'été matrix"));
    searchBases({DvdFr::kBase});

    QList<QByteArray> pages = m_server.requestedPaths();
    pages.removeIf([](const QByteArray &path) { return path.startsWith("/dvdfr/images/"); });
    EXPECT_EQ(pages, (QList<QByteArray>{"/dvdfr/search/search.php?multiname=ete+matrix", "/dvdfr/dvd/dvd.php?id=1012",
                                        "/dvdfr/dvd/dvd.php?id=7351", "/dvdfr/dvd/dvd.php?id=9120"}));
    const QString cover = siteUrl(QStringLiteral("/images/dvd/cover_200x280/1/1012.jpg"));
    const QString placeholder = siteUrl(QStringLiteral("/images/dvd/nocover_200x280.jpg"));
    const QList<ResultEntry> expected = {
        hitOf(QStringLiteral("Matrix"), 1999, cover, QStringLiteral("dvd/dvd.php?id=1012"), QStringLiteral("DvdFr")),
        hitOf(QString::fromUtf8("Matrix Reloaded (édition 2 DVD)"), 2003, placeholder, QStringLiteral("dvd/dvd.php?id=7351"),
              QStringLiteral("DvdFr")),
        hitOf(QString::fromUtf8("Matrix - Coffret l'intégrale"), 0, placeholder, QStringLiteral("dvd/dvd.php?id=9120"),
              QStringLiteral("DvdFr")),
    };
    ASSERT_EQ(program().results().NbResultats(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(hit(i + 1), expected[i]);
        EXPECT_FALSE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, expected[i].Key);
    }

    // The cover is the full picture too: fetched once more, then taken from the cache.
    const int thumbnailFetches = m_server.count("/dvdfr/images/dvd/cover_200x280/1/1012.jpg");
    retrieve(0, false);
    retrieve(0, false);
    EXPECT_EQ(m_server.count("/dvdfr/images/dvd/cover_200x280/1/1012.jpg"), thumbnailFetches + 1);
    QFile file(m_test.cached(QStringLiteral("Matrix [1999]  (DvdFr).jpg")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
}

} // namespace
