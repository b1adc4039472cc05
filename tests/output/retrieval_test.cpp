#include "core/result_entry.h"
#include "disk_trouble.h"
#include "output/file_naming.h"
#include "output/retrieval.h"
#include "site_test.h"

#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

ResultEntry hitOf(const QString &title, int year, const QString &site)
{
    ResultEntry hit;
    hit.Title = title;
    hit.Year = qint16(year);
    hit.Site = site;
    return hit;
}

TEST(FileNamingTest, namesAreMadeFromTitleYearAndSite)
{
    const struct
    {
        QString title;
        int year;
        QString site;
        QString name;
    } cases[] = {
        {"STAR WARS", 1977, "MovieCovers", "Star wars [1977]  (MovieCovers)"},
        {"matrix", 0, "DvdFr", "Matrix (DvdFr)"},
        {"Alien: le 8e passager?", 1979, "AlloCiné", "Alien- le 8e passager- [1979]  (AlloCiné)"},
        {"a\\b/c:d*e?f<g>h|i\"j", 0, "X", "A-b-c-d-e-f-g-h-i-j (X)"},
        {"Tab\there\nand\x7f" "bell", 0, "X", "Tabhereandbell (X)"},
        {"", 0, "X", " (X)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(composeFileName(hitOf(c.title, c.year, c.site)), c.name) << c.title.toStdString();

    // A long title is shortened to fit a file name.
    const QString name = composeFileName(hitOf(QString(300, QChar(u'é')), 2001, QStringLiteral("MoviePoster")));
    EXPECT_TRUE(name.endsWith(QStringLiteral("é [2001]  (MoviePoster)")));
    EXPECT_LE((name + QStringLiteral("-302.pdf")).toUtf8().size(), 255);
    EXPECT_GT(name.toUtf8().size(), 200);
}

// Hits of a site whose resolver points at the test server, and one of a site without resolver.
class RetrievalTest : public SiteTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_server.setReply(QStringLiteral("/sw"), pictureReply(jpegBytes()));
        m_server.setReply(QStringLiteral("/alien"), pictureReply("%PDF-1.4 jacket", "application/pdf"));
        retrieval().setOutputActions(&m_actions);
        addHit(QStringLiteral("STAR WARS"), 1977, QStringLiteral("sw"), QStringLiteral("JPG"));
        addHit(QStringLiteral("ALIEN"), 0, QStringLiteral("alien"), QStringLiteral("PDF"));
        addHit(QStringLiteral("NOWHERE"), 0, QStringLiteral("x"), QStringLiteral("JPG"), QStringLiteral("Unknown site"));
        addHit(QStringLiteral("NO MEMORY"), 0, QStringLiteral("throws"), QStringLiteral("JPG"));
        retrieval().setResolver(0, [this](PictureRequest &request) -> QCoro::Task<PictureSource> {
            if (request.hit().Key == u"throws")
                throw std::bad_alloc();
            co_return PictureSource{m_server.url(u'/' + request.hit().Key), false, request.hit().Extra == u"PDF"};
        });
    }

    Retrieval &retrieval() { return program().retrieval(); }
    ResultList &results() { return program().results(); }
    bool ended() { return QTest::qWaitFor([this] { return !retrieval().downloading(); }, 10000); }

    void addHit(const QString &title, int year, const QString &key, const QString &extra,
                const QString &site = QStringLiteral("Site"))
    {
        results().countHit();
        results().resize(results().NbResultats() + 10);
        ResultEntry &added = results().entry(results().NbResultats());
        added = hitOf(title, year, site);
        added.Key = key;
        added.Extra = extra;
        added.Base = site == QStringLiteral("Site") ? 0 : -1; // no base, no resolver
        results().addSlot(false, true);
    }
};

TEST_F(RetrievalTest, aPressShowsThePictureWhereTheButtonAsks)
{
    const QString poster = m_test.cached(QStringLiteral("Star wars [1977]  (Site).jpg"));
    // Right button, left button, the badge (no button), then a PDF.
    for (const auto &[index, button] : {std::pair{0, 2}, std::pair{0, 1}, std::pair{0, 0}, std::pair{1, 1}}) {
        retrieval().thumbPressed(index, button);
        ASSERT_TRUE(ended());
    }
    EXPECT_EQ(m_actions.calls, (QStringList{QStringLiteral("system viewer ") + poster, QStringLiteral("viewer ") + poster + QStringLiteral(" #0"),
                                            QStringLiteral("viewer ") + poster + QStringLiteral(" #0"),
                                            QStringLiteral("open ") + m_test.cached(QStringLiteral("Alien (Site).pdf"))}));
    EXPECT_FALSE(slot(0).downloaded);
}

// The badge says the picture is in the download folder: only when it got there.
TEST_F(RetrievalTest, theDownloadButtonCopiesAndOnlyACopyShowsTheBadge)
{
    const struct
    {
        int index;
        const char *folder;
        const char *name;
        bool badge;
    } rows[] = {
        {1, "saved", "Alien (Site).pdf", true},
        {0, "missing", "Star wars [1977]  (Site).jpg", false}, // the copy refused
    };
    QDir().mkpath(m_test.dir.filePath(QStringLiteral("saved")));
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        m_actions.calls.clear();
        const QString folder = m_test.dir.filePath(QString::fromLatin1(row.folder));
        retrieval().setSaveFolder(folder);
        retrieval().downloadClicked(row.index);
        ASSERT_TRUE(ended());
        const QString copy = folder + u'/' + QString::fromLatin1(row.name);
        const QString cached = m_test.cached(QString::fromLatin1(row.name));
        EXPECT_EQ(m_actions.calls, QStringList{QStringLiteral("copy %1 -> %2").arg(cached, copy)});
        EXPECT_EQ(slot(row.index).downloaded, row.badge);
        EXPECT_EQ(QFile::exists(copy), row.badge);
        EXPECT_EQ(retrieval().lastCopy(), row.badge ? copy : QString());
    }
}

// The press returns at once; until the picture is handled, the program is busy
// and a second press, or a press on a site without resolver, does nothing. A
// resolver that throws ends its retrieval as a failed one.
TEST_F(RetrievalTest, oneRetrievalAtATimeAndTheProgramBusyUntilItEnds)
{
    FixtureServer::Reply slow = pictureReply(jpegBytes());
    slow.delayMs = 300;
    m_server.setReply(QStringLiteral("/sw"), slow);
    QSignalSpy finished(&retrieval(), &Retrieval::finished);
    retrieval().thumbPressed(0, 1);
    EXPECT_TRUE(retrieval().downloading());
    EXPECT_TRUE(program().busy());
    EXPECT_FALSE(program().searchButtonEnabled());
    retrieval().thumbPressed(1, 1);
    ASSERT_TRUE(ended());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(m_actions.calls.size(), 1);
    EXPECT_FALSE(program().busy());
    EXPECT_TRUE(program().searchButtonEnabled());
    EXPECT_TRUE(slot(0).enabled);

    retrieval().thumbPressed(2, 1);
    EXPECT_FALSE(retrieval().downloading());
    EXPECT_EQ(m_actions.calls.size(), 1);
    EXPECT_FALSE(program().busy());

    retrieval().downloadClicked(3);
    ASSERT_TRUE(ended());
    EXPECT_EQ(finished.count(), 2);
    EXPECT_EQ(m_actions.calls.size(), 1) << "nothing copied or shown";
    EXPECT_FALSE(slot(3).downloaded);
    EXPECT_FALSE(program().busy());
    EXPECT_TRUE(program().searchButtonEnabled());
    EXPECT_TRUE(slot(3).enabled);
}

TEST(FichierExisteTest, onlyAFileWithBytesCounts)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("empty.jpg")), "");
    writeFile(dir.filePath(QStringLiteral("full.jpg")), "x");
    EXPECT_TRUE(Retrieval::FichierExiste(dir.filePath(QStringLiteral("full.jpg"))));
    for (const QString &other :
         {dir.filePath(QStringLiteral("empty.jpg")), dir.filePath(QStringLiteral("missing.jpg")), dir.path()})
        EXPECT_FALSE(Retrieval::FichierExiste(other)) << other.toStdString();
}

} // namespace
