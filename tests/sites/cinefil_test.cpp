#include "site_test.h"
#include "sites/cinefil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kBase = 2;

class CinefilTest : public SiteTest
{
protected:
    void SetUp() override
    {
        playSite(QStringLiteral("Hote-Cinefil"), QStringLiteral("/cf"), registerCinefil);
        // Pictures come from a host of their own.
        m_test.store.EcritValeur(QStringLiteral("Hote-CinefilImages"), m_server.url(QStringLiteral("/cfimg")));
    }

    QString thumbnail(int index) { return slot(index).thumbnailUrl; }
    void search() { searchBases({kBase}); }
    void answerSearch(const QByteArray &page)
    {
        answer(QStringLiteral("/cinefil2005/CFM_Recherches/filmsGRIS.cfm"), page);
    }
    static QByteArray fixture(const QString &name) { return fixtureFile(QStringLiteral("cinefil"), name); }
};

TEST_F(CinefilTest, resultPageGivesEveryField)
{
    answerSearch(fixture(QStringLiteral("matrix.html")));
    search();

    EXPECT_EQ(m_server.requestedPaths().value(0),
              "/cf/cinefil2005/CFM_Recherches/filmsGRIS.cfm?lachaine2=matrix&avecaffiche=1");
    struct Expected
    {
        const char *title;
        int year;
        const char *key;
    };
    // Each film links twice (poster and title) and is listed once; "[n.c.]" is no year.
    const Expected expected[] = {
        {"matrix", 1999, "4177"},
        {"matrix reloaded", 2003, "11523"},
        {"matrix revolutions", 2003, "11816"},
        {"animatrix", 0, "12040"},
    };
    ASSERT_EQ(program().results().NbResultats(), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(hit(i + 1).Title, QString::fromLatin1(expected[i].title));
        EXPECT_EQ(hit(i + 1).Year, expected[i].year);
        EXPECT_EQ(hit(i + 1).Key, QString::fromLatin1(expected[i].key));
        EXPECT_EQ(hit(i + 1).Extra, QString());
        EXPECT_EQ(hit(i + 1).Site, QStringLiteral("Cinefil"));
        EXPECT_EQ(thumbnail(i), m_server.url(QStringLiteral("/cfimg/ImagesCinefil/AffichePetitFormat/%1.jpeg")
                                                 .arg(QString::fromLatin1(expected[i].key))));
    }
}

TEST_F(CinefilTest, theTitleIsSentWithoutArticleAccentsAndBlanks)
{
    program().setTitle(QStringLiteral("l'été meurtrier"));
    answerSearch(fixture(QStringLiteral("ete_meurtrier.html")));
    search();
    EXPECT_EQ(m_server.requestedPaths().value(0),
              "/cf/cinefil2005/CFM_Recherches/filmsGRIS.cfm?lachaine2=ete%20meurtrier&avecaffiche=1");
    ASSERT_EQ(program().results().NbResultats(), 1);
    EXPECT_EQ(hit(1).Title, QStringLiteral("l'été meurtrier"));
    EXPECT_EQ(hit(1).Year, 1983);
    EXPECT_EQ(hit(1).Key, QStringLiteral("2291"));
}

TEST_F(CinefilTest, pagesWithoutWholeFilmsEndTheScan)
{
    const struct
    {
        const char *name;
        QByteArray page;
        int hits;
    } cases[] = {
        {"no marker", fixture(QStringLiteral("empty.html")), 0},
        {"cut off inside the second film's title link", fixture(QStringLiteral("truncated.html")), 1},
        // No "[" after the film: the scan must not start over from the top.
        {"no year bracket",
         "<a href=\"/cinefil2005/fichefilm.cfm?ref=4177\" title=\"Matrix\">Matrix</a> 1999<br>"
         "<a href=\"/cinefil2005/fichefilm.cfm?ref=11523\" title=\"Matrix Reloaded\">Matrix Reloaded</a>",
         1},
        {"unclosed year bracket", "<a href=\"/cinefil2005/fichefilm.cfm?ref=4177\" title=\"Matrix\">Matrix</a> [1999", 1},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        answerSearch(test.page);
        // Would a scan never end, the stop request ends it and the time shows it.
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, &program(), [this] { program().requestStop(); });
        safety.start(5000);
        QElapsedTimer clock;
        clock.start();
        search();
        EXPECT_LT(clock.elapsed(), 4000);
        ASSERT_EQ(program().results().NbResultats(), test.hits);
        if (test.hits > 0) {
            EXPECT_EQ(hit(1).Title, QStringLiteral("matrix"));
            EXPECT_EQ(hit(1).Key, QStringLiteral("4177"));
        }
    }
}

TEST_F(CinefilTest, thePosterComesFromThePictureServerAsJpg)
{
    answerSearch(fixture(QStringLiteral("matrix.html")));
    const QByteArray poster = "/cfimg/ImagesCinefil/AfficheGrandFormat/a4177.jpeg";
    m_server.setReply(QString::fromLatin1(poster), pictureReply(jpegBytes()));
    search();
    program().retrieval().thumbPressed(0, 1);
    program().retrieval().thumbPressed(0, 1);

    const QString local = m_test.cached(QStringLiteral("Matrix [1999]  (Cinefil).jpg"));
    EXPECT_EQ(m_server.count(poster), 1);
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
    EXPECT_EQ(m_actions.calls.value(1), QStringLiteral("viewer ") + local + QStringLiteral(" #0"));
}

TEST_F(CinefilTest, aHitWithoutYearIsCopiedUnderItsTitleAlone)
{
    answerSearch(fixture(QStringLiteral("matrix.html")));
    m_server.setReply(QStringLiteral("/cfimg/ImagesCinefil/AfficheGrandFormat/a12040.jpeg"), pictureReply(jpegBytes()));
    const QString folder = m_test.dir.filePath(QStringLiteral("saved"));
    QDir().mkpath(folder);
    program().retrieval().setSaveFolder(folder);
    search();

    program().retrieval().downloadClicked(3);
    EXPECT_EQ(program().retrieval().lastCopy(), folder + QStringLiteral("/Animatrix (Cinefil).jpg"));
    QFile copy(program().retrieval().lastCopy());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), jpegBytes());
}

} // namespace
