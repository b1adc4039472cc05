#include "site_test.h"
#include "sites/dvd_fr.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

constexpr int kBase = 4;

class DvdFrTest : public SiteTest
{
protected:
    void SetUp() override { playSite(QStringLiteral("Hote-DvdFr"), QStringLiteral("/dvdfr"), registerDvdFr); }

    QString address(const char *path) const { return m_server.url(QString::fromLatin1(path)); }
    void search() { searchBases({kBase}); }
    void answerSearch(const QByteArray &page) { answer(QStringLiteral("/search/search.php"), page); }
    static QByteArray fixture(const QString &name) { return fixtureFile(QStringLiteral("dvdfr"), name); }

    // The matrix page, with the film page of 1012 showing a cover, that of
    // 9120 showing none and that of 7351 missing.
    void answerMatrix()
    {
        answerSearch(fixture(QStringLiteral("matrix.html")));
        answer(QStringLiteral("/dvd/dvd.php?id=1012"), fixture(QStringLiteral("film-1012.html")));
        answer(QStringLiteral("/dvd/dvd.php?id=9120"), fixture(QStringLiteral("film-9120.html")));
    }

    QList<QByteArray> filmPagesRequested() const
    {
        QList<QByteArray> pages;
        for (const QByteArray &path : m_server.requestedPaths())
            if (path.startsWith("/dvdfr/dvd/"))
                pages << path;
        return pages;
    }
};

TEST_F(DvdFrTest, eachHitTakesItsCoverFromItsFilmPage)
{
    answerMatrix();
    search();

    EXPECT_EQ(m_server.requestedPaths().value(0), "/dvdfr/search/search.php?multiname=matrix");
    EXPECT_EQ(filmPagesRequested(), (QList<QByteArray>{"/dvdfr/dvd/dvd.php?id=1012", "/dvdfr/dvd/dvd.php?id=7351",
                                                        "/dvdfr/dvd/dvd.php?id=9120"}));
    struct Expected
    {
        const char *title; // UTF-8
        int year;
        const char *filmPath;
        const char *cover;
    };
    const Expected expected[] = {
        {"Matrix", 1999, "dvd/dvd.php?id=1012", "/dvdfr/images/dvd/cover_200x280/1/1012.jpg"},
        {"Matrix Reloaded (édition 2 DVD)", 2003, "dvd/dvd.php?id=7351", "/dvdfr/images/dvd/nocover_200x280.jpg"},
        {"Matrix - Coffret l'intégrale", 0, "dvd/dvd.php?id=9120", "/dvdfr/images/dvd/nocover_200x280.jpg"},
    };
    ASSERT_EQ(program().results().NbResultats(), int(std::size(expected)));
    for (int i = 0; i < int(std::size(expected)); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(hit(i + 1).Title, QString::fromUtf8(expected[i].title));
        EXPECT_EQ(hit(i + 1).Year, expected[i].year);
        EXPECT_EQ(hit(i + 1).Extra, QString::fromLatin1(expected[i].filmPath));
        EXPECT_EQ(hit(i + 1).Key, address(expected[i].cover));
        EXPECT_EQ(hit(i + 1).Site, QStringLiteral("DvdFr"));
        EXPECT_FALSE(slot(i).wide);
        EXPECT_EQ(slot(i).thumbnailUrl, hit(i + 1).Key);
    }
}

TEST_F(DvdFrTest, theTitleIsSentFoldedWithPlusSignsAndWithoutALeadingArticle)
{
    program().setTitle(QStringLiteral("l'été meurtrier"));
    search();
    EXPECT_EQ(m_server.requestedPaths().value(0), "/dvdfr/search/search.php?multiname=ete+meurtrier");
}

TEST_F(DvdFrTest, brokenPagesAddOnlyWhatTheyHoldAndEnd)
{
    struct Case
    {
        const char *name;
        QByteArray page;
        QStringList titles;
        QList<int> years;
    };
    const Case cases[] = {
        {"no marker", fixture(QStringLiteral("empty.html")), {}, {}},
        {"cut inside a link", fixture(QStringLiteral("truncated.html")), {"Matrix"}, {1999}},
        {"no year cell after the last link",
         "<A CLASS=\"searchText\" HREF=\"../dvd/dvd.php?id=1\">One</A></TD><TD>1999</TD>"
         "<A CLASS=\"searchText\" HREF=\"../dvd/dvd.php?id=2\">Two</A></TD>",
         {"One", "Two"},
         {1999, 0}},
        {"marker at the very end", "<A CLASS=\"searchText\" HREF=", {}, {}},
        {"link too short for a path", "<A CLASS=\"searchText\" HREF=\"x\">Short</A></TD><TD>2001</TD>", {"Short"}, {2001}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        answerSearch(c.page);
        search();
        QStringList titles;
        QList<int> years;
        for (int index = 1; index <= program().results().NbResultats(); ++index) {
            titles << hit(index).Title;
            years << hit(index).Year;
        }
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(years, c.years);
    }
}

TEST_F(DvdFrTest, aFilmPageThatDoesNotComeGivesThePlaceholder)
{
    answerSearch("<A CLASS=\"searchText\" HREF=\"../dvd/dvd.php?id=1\">One</A></TD><TD>1999</TD>"
                 "<A CLASS=\"searchText\" HREF=\"../dvd/dvd.php?id=2\">Two</A></TD><TD>2000</TD>");
    answer(QStringLiteral("/dvd/dvd.php?id=1"), fixture(QStringLiteral("film-1012.html")));
    FixtureServer::Reply stalled;
    stalled.stall = true;
    answer(QStringLiteral("/dvd/dvd.php?id=2"), stalled);
    search();

    ASSERT_EQ(program().results().NbResultats(), 2);
    EXPECT_EQ(hit(1).Key, address("/dvdfr/images/dvd/cover_200x280/1/1012.jpg"));
    EXPECT_EQ(hit(2).Key, address("/dvdfr/images/dvd/nocover_200x280.jpg"));
}

TEST_F(DvdFrTest, theCoverIsSavedOnceThenTakenFromTheCache)
{
    answerMatrix();
    answer(QStringLiteral("/images/dvd/cover_200x280/1/1012.jpg"), pictureReply(jpegBytes()));
    answer(QStringLiteral("/images/dvd/nocover_200x280.jpg"), pictureReply(jpegBytes({3, 4})));
    search();
    const int thumbnailFetches = m_server.count("/dvdfr/images/dvd/cover_200x280/1/1012.jpg");

    program().retrieval().thumbPressed(0, 1);
    program().retrieval().thumbPressed(0, 1);
    program().retrieval().downloadClicked(2);

    EXPECT_EQ(m_server.count("/dvdfr/images/dvd/cover_200x280/1/1012.jpg"), thumbnailFetches + 1);
    const QString cover = m_test.cached(QStringLiteral("Matrix [1999]  (DvdFr).jpg"));
    const QString placeholder = m_test.cached(QString::fromUtf8("Matrix - coffret l'intégrale (DvdFr).jpg"));
    QFile coverFile(cover), placeholderFile(placeholder);
    ASSERT_TRUE(coverFile.open(QIODevice::ReadOnly));
    ASSERT_TRUE(placeholderFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(coverFile.readAll(), jpegBytes());
    EXPECT_EQ(placeholderFile.readAll(), jpegBytes({3, 4}));
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("viewer ") + cover + QStringLiteral(" #0"));
}

} // namespace
