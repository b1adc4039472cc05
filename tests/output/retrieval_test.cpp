#include "core/result_entry.h"
#include "output/file_naming.h"
#include "output/retrieval.h"
#include "test_program.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(FileNamingTest, namesAreMadeFromTitleYearAndSite)
{
    struct Case
    {
        QString title;
        int year;
        QString site;
        QString name;
    };
    const Case cases[] = {
        {"STAR WARS", 1977, "MovieCovers", "Star wars [1977]  (MovieCovers)"},
        {"matrix", 0, "DvdFr", "Matrix (DvdFr)"},
        {"Alien: le 8e passager?", 1979, "AlloCiné", "Alien- le 8e passager- [1979]  (AlloCiné)"},
        {"a\\b/c:d*e?f<g>h|i\"j", 0, "X", "A-b-c-d-e-f-g-h-i-j (X)"},
        {"Tab\there\nand\x7f" "bell", 0, "X", "Tabhereandbell (X)"},
        {"", 0, "X", " (X)"},
    };
    for (const Case &c : cases) {
        ResultEntry hit;
        hit.Title = c.title;
        hit.Year = qint16(c.year);
        hit.Site = c.site;
        EXPECT_EQ(composeFileName(hit), c.name) << c.title.toStdString();
    }
}

TEST(FileNamingTest, aLongTitleIsShortenedToFitAFileName)
{
    ResultEntry hit;
    hit.Title = QString(300, QChar(u'é'));
    hit.Year = 2001;
    hit.Site = QStringLiteral("MoviePoster");
    const QString name = composeFileName(hit);
    EXPECT_TRUE(name.endsWith(QStringLiteral("é [2001]  (MoviePoster)")));
    EXPECT_LE((name + QStringLiteral("-302.pdf")).toUtf8().size(), 255);
    EXPECT_GT(name.toUtf8().size(), 200);
}

class RetrievalTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        retrieval().setOutputActions(&m_actions);
        m_saveFolder = m_test.dir.filePath(QStringLiteral("saved"));
        QDir().mkpath(m_saveFolder);
        retrieval().setSaveFolder(m_saveFolder + u'/');
        addHit(QStringLiteral("STAR WARS"), 1977, QStringLiteral("JPG"));
        addHit(QStringLiteral("ALIEN"), 0, QStringLiteral("PDF"));
        addHit(QStringLiteral("NOWHERE"), 0, QStringLiteral("JPG"), QStringLiteral("Unknown site"));
        // The site's resolver: fetches (here: writes) the picture, unless told the site has none.
        retrieval().setResolver(QStringLiteral("Site"), [this](int index, bool copy) {
            retrieval().PrepareTelechargement(index);
            m_busyWhileFetching = m_test.program.busy() && !m_test.program.searchButtonEnabled();
            if (m_siteAnswers) {
                const QString extension = results().entry(index + 1).Extra == u"PDF" ? ".pdf" : ".jpg";
                QFile file(m_test.cached(m_test.program.state().NomFichier + extension));
                file.open(QIODevice::WriteOnly);
                file.write("picture");
            }
            retrieval().OuvreFichier(index, copy);
        });
    }

    Retrieval &retrieval() { return m_test.program.retrieval(); }
    ResultList &results() { return m_test.program.results(); }

    void addHit(const QString &title, int year, const QString &extra, const QString &site = QStringLiteral("Site"))
    {
        results().countHit();
        results().resize(results().NbResultats() + 10);
        ResultEntry &hit = results().entry(results().NbResultats());
        hit.Title = title;
        hit.Year = qint16(year);
        hit.Extra = extra;
        hit.Site = site;
        results().addSlot(false, true);
    }

    TestProgram m_test;
    RecordedActions m_actions;
    QString m_saveFolder;
    bool m_siteAnswers = true;
    bool m_busyWhileFetching = false;
};

TEST_F(RetrievalTest, aPressShowsThePictureWhereTheButtonAsks)
{
    const QString poster = m_test.cached(QStringLiteral("Star wars [1977]  (Site).jpg"));
    retrieval().thumbPressed(0, 2);
    retrieval().thumbPressed(0, 1);
    retrieval().badgeClicked(0);
    retrieval().thumbPressed(1, 1);
    EXPECT_EQ(m_actions.calls, (QStringList{QStringLiteral("system viewer ") + poster, QStringLiteral("viewer ") + poster + QStringLiteral(" #0"),
                                            QStringLiteral("viewer ") + poster + QStringLiteral(" #0"),
                                            QStringLiteral("open ") + m_test.cached(QStringLiteral("Alien (Site).pdf"))}));
    EXPECT_FALSE(results().slot(0).downloaded);
}

TEST_F(RetrievalTest, theDownloadButtonCopiesAndShowsTheBadge)
{
    retrieval().downloadClicked(1);
    const QString copy = m_saveFolder + QStringLiteral("/Alien (Site).pdf");
    EXPECT_EQ(m_actions.calls, (QStringList{QStringLiteral("copy ") + m_test.cached(QStringLiteral("Alien (Site).pdf")) + QStringLiteral(" -> ") + copy}));
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_EQ(retrieval().lastCopy(), copy);
    EXPECT_TRUE(results().slot(1).downloaded);
    EXPECT_FALSE(results().slot(0).downloaded);
}

TEST_F(RetrievalTest, nothingFetchedMeansNothingCopiedAndNoBadge)
{
    m_siteAnswers = false;
    retrieval().downloadClicked(0);
    EXPECT_TRUE(m_actions.calls.isEmpty());
    EXPECT_FALSE(results().slot(0).downloaded);
    EXPECT_TRUE(retrieval().lastCopy().isEmpty());
}

TEST_F(RetrievalTest, aRefusedCopyShowsNoBadge)
{
    retrieval().setSaveFolder(m_test.dir.filePath(QStringLiteral("missing/folder")));
    retrieval().downloadClicked(0);
    EXPECT_EQ(m_actions.calls.size(), 1);
    EXPECT_FALSE(results().slot(0).downloaded);
}

TEST_F(RetrievalTest, theDownloadingStateLastsUntilThePictureIsHandled)
{
    retrieval().thumbPressed(0, 1);
    EXPECT_TRUE(m_busyWhileFetching);
    EXPECT_FALSE(m_test.program.busy());
    EXPECT_TRUE(m_test.program.searchButtonEnabled());
    EXPECT_TRUE(results().slot(0).enabled);
    EXPECT_FALSE(retrieval().downloading());
}

TEST_F(RetrievalTest, aSiteWithoutResolverDoesNothing)
{
    retrieval().thumbPressed(2, 1);
    EXPECT_TRUE(m_actions.calls.isEmpty());
    EXPECT_FALSE(m_test.program.busy());
}

TEST(FichierExisteTest, onlyAFileWithBytesCounts)
{
    QTemporaryDir dir;
    QFile empty(dir.filePath("empty.jpg"));
    empty.open(QIODevice::WriteOnly);
    empty.close();
    QFile full(dir.filePath("full.jpg"));
    full.open(QIODevice::WriteOnly);
    full.write("x");
    full.close();
    EXPECT_FALSE(Retrieval::FichierExiste(dir.filePath("empty.jpg")));
    EXPECT_TRUE(Retrieval::FichierExiste(dir.filePath("full.jpg")));
    EXPECT_FALSE(Retrieval::FichierExiste(dir.filePath("missing.jpg")));
    EXPECT_FALSE(Retrieval::FichierExiste(dir.path()));
}

} // namespace
